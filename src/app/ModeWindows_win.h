// The main window of each mode; each subsystem builds its own.
#pragma once

#include <memory>

#include "app/BaseWindow_win.h"

namespace editor {
// Form_User_Main, the phrase editor.
std::unique_ptr<app::BaseWindow> CreateEditorWindow();
}  // namespace editor

namespace help {
// Form_Help_Main, the help window.
std::unique_ptr<app::BaseWindow> CreateHelpWindow();
}  // namespace help

namespace installer {
// Form_Install_Main, whose creation handler runs the whole installation and requests the end.
std::unique_ptr<app::BaseWindow> CreateInstallerWindow();
}  // namespace installer
