// Command ids of the phrase editor's menu items, tool buttons and keys (from the one list in
// EditorCommandList.h), shared with the tests that drive the window from outside.
#pragma once

#include "editor/commands/EditorCommandList.h"

namespace editor {

#define SRF_COMMAND_ID(name, id, number, ...) constexpr int id = number;
SRF_EDITOR_COMMANDS(SRF_COMMAND_ID)
#undef SRF_COMMAND_ID

constexpr int IDC_FILTER_EDIT = 125;  // the filter box's edit control

}  // namespace editor
