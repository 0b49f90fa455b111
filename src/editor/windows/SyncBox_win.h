// The box of 同步…: the folder chosen (with the system's folder picker), the computers that
// synchronise there, the conflicts of the last synchronisation, and the buttons that act on them.
#pragma once

#include "editor/commands/EditorCommands.h"

namespace editor {

// Shows the box, modal for the whole program, until the user asks for something.
SyncBoxAnswer ShowSyncBox(const SyncBoxView& view);

}  // namespace editor
