// Start-up: picks the mode from the first argument, creates its window and runs the event loop.
#include <windows.h>
#include <commctrl.h>

#include <exception>

#include "app/Accessibility_win.h"
#include "app/Application_win.h"
#include "app/CommandLine.h"
#include "app/Dialogs_win.h"
#include "app/ModeWindows_win.h"
#include "platform/TextConversion_win.h"

namespace {

std::unique_ptr<app::BaseWindow> CreateModeWindow(app::Mode mode) {
    switch (mode) {
    case app::Mode::Install:
        return installer::CreateInstallerWindow();
    case app::Mode::Help:
        return help::CreateHelpWindow();
    case app::Mode::User:
        return editor::CreateEditorWindow();
    case app::Mode::None:
        break;
    }
    return nullptr;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        // Screen readers reach the windows' annotations through COM. Made before the application
        // object, it ends after it: the main window lets its annotations go while COM is there.
        static const app::ComScope com;
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        auto& application = app::Application::Instance();
        application.CreateOwnerWindow();
        const std::string commandLine = platform::ToGb2312(GetCommandLineW());
        const app::Mode mode = app::ModeFromArgument(app::CommandLineArgument(commandLine, 1));
        application.SetMainWindow(CreateModeWindow(mode));
        application.Run();
        return 0;
    } catch (const std::exception& error) {
        app::ShowLastResortBox(error);
        return 1;
    } catch (...) {
        app::ShowLastResortBox();
        return 1;
    }
}
