// Form_Install_Main: install mode's window. It shows nothing; its creation handler runs the whole
// installation and asks the program to end.
#include <windows.h>

#include "app/Application_win.h"
#include "app/CommandLine.h"
#include "app/ModeWindows_win.h"
#include "installer/InstallRun.h"
#include "installer/InstallSystem_win.h"
#include "platform/TextConversion_win.h"

namespace installer {

namespace {

class TForm_Install_Main : public app::BaseWindow {
public:
    TForm_Install_Main() {
        CreateWindowOfClass(L"TForm_Install_Main", L"Form_Install_Main", WS_OVERLAPPEDWINDOW, 0,
                            RECT{100, 100, 600, 500}, app::Application::Instance().OwnerWindow());
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CREATE) {
            FormCreate();
            return 0;
        }
        return BaseWindow::HandleMessage(message, wParam, lParam);
    }

private:
    void FormCreate() {
        // The program ends whatever happens here; an unexpected error is shown and answered first.
        app::Application::Instance().RunThenEnd([this] { Install(); });
    }

    void Install() {
        const std::string commandLine = platform::ToGb2312(GetCommandLineW());
        const InstallArguments arguments{app::CommandLineArgument(commandLine, 2),
                                         app::CommandLineArgument(commandLine, 3),
                                         app::CommandLineArgument(commandLine, 4)};
        WindowsInstallSystem system(Handle());
        RunInstall(arguments, system);
    }
};

}  // namespace

std::unique_ptr<app::BaseWindow> CreateInstallerWindow() {
    return std::make_unique<TForm_Install_Main>();
}

}  // namespace installer
