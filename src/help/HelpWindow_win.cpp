// Form_Help_Main: placeholder until the window is built.
#include "app/ModeWindows_win.h"

namespace help {

namespace {

class TForm_Help_Main : public app::BaseWindow {
public:
    TForm_Help_Main() {
        CreateWindowOfClass(L"TForm_Help_Main", L"Form_Help_Main", WS_OVERLAPPEDWINDOW, 0,
                            RECT{100, 100, 600, 500}, nullptr);
    }
};

}  // namespace

std::unique_ptr<app::BaseWindow> CreateHelpWindow() { return std::make_unique<TForm_Help_Main>(); }

}  // namespace help
