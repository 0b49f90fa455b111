// Form_Install_Main: install mode's window. It shows nothing; its creation handler runs the whole
// installation and asks the program to end.
#include <windows.h>
#include <shellapi.h>

#include "InstallTexts.h"
#include "app/Application_win.h"
#include "app/CommandLine.h"
#include "app/Dialogs_win.h"
#include "app/MakerSite.h"
#include "app/ModeWindows_win.h"
#include "installer/InstallPlan.h"
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
        const std::string baseName = app::CommandLineArgument(commandLine, 2);
        const std::string displayName = app::CommandLineArgument(commandLine, 3);
        const std::string argument4 = app::CommandLineArgument(commandLine, 4);
        const std::string layoutText = LayoutText(displayName);

        if (!IsAcceptableBaseName(baseName)) {
            app::Ask(RefusedNameNotice(baseName), texts::kNoticeCaption, app::BoxKind::Notice);
            return;
        }
        switch (CheckInstalledCopy(baseName + ".ime")) {
        case InstalledCopy::InUse:
            app::Ask(InUseWarning(displayName), texts::kNoticeCaption, app::BoxKind::Notice);
            return;
        case InstalledCopy::Replaceable:
            if (app::Ask(OverwriteQuestion(displayName), texts::kQuestionCaption,
                                app::BoxKind::Question) != app::Answer::Ok)
                return;
            break;
        case InstalledCopy::Absent:
            break;
        }

        // Install mode reports neither success nor failure of the installation itself.
        try {
            PlaceDataFiles(baseName, argument4);
            AddKeyboardLayout(baseName, layoutText);
            InstallInputMethod(baseName, layoutText);
            ShellExecuteW(Handle(), nullptr, app::kMakerInstallPage, nullptr, nullptr, SW_SHOWNORMAL);
        } catch (...) {
        }
    }
};

}  // namespace

std::unique_ptr<app::BaseWindow> CreateInstallerWindow() { return std::make_unique<TForm_Install_Main>(); }

}  // namespace installer
