// Form_Install_Main: placeholder until the window is built.
#include "app/Application_win.h"
#include "app/ModeWindows_win.h"

namespace installer {

namespace {

class TForm_Install_Main : public app::BaseWindow {
public:
    TForm_Install_Main() {
        CreateWindowOfClass(L"TForm_Install_Main", L"Form_Install_Main", WS_OVERLAPPEDWINDOW, 0,
                            RECT{100, 100, 600, 500}, nullptr);
        app::Application::Instance().RequestEnd();
    }
};

}  // namespace

std::unique_ptr<app::BaseWindow> CreateInstallerWindow() { return std::make_unique<TForm_Install_Main>(); }

}  // namespace installer
