// Form_User_Main: placeholder until the window is built.
#include "app/ModeWindows_win.h"

namespace editor {

namespace {

class TForm_User_Main : public app::BaseWindow {
public:
    TForm_User_Main() {
        CreateWindowOfClass(L"TForm_User_Main", L"Form_User_Main", WS_OVERLAPPEDWINDOW, 0,
                            RECT{100, 100, 600, 500}, nullptr);
    }
};

}  // namespace

std::unique_ptr<app::BaseWindow> CreateEditorWindow() { return std::make_unique<TForm_User_Main>(); }

}  // namespace editor
