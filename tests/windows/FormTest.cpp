// The form base of the main windows: the keyboard kept on its control across activations, and
// everything made again for a new DPI.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/ChildControl_win.h"
#include "app/Form_win.h"

namespace app {
namespace {

// A form of two edit boxes that counts what the base asks of it.
class TwoBoxForm : public Form {
public:
    TwoBoxForm() {
        CreateForm(L"TTwoBoxForm", L"form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {200, 100});
    }

    HWND first = nullptr;
    HWND second = nullptr;
    int activations = 0;
    UINT dpiApplied = 0;
    int layOutsSinceDpi = 0;

private:
    void FormCreate() override {
        first = ChildControl(L"Edit", WS_VISIBLE | WS_TABSTOP).Create(Handle());
        second = ChildControl(L"Edit", WS_VISIBLE | WS_TABSTOP).Create(Handle());
    }
    void ApplyDpi() override {
        dpiApplied = Dpi();
        layOutsSinceDpi = 0;
    }
    void LayOut() override { ++layOutsSinceDpi; }
    HWND DefaultFocus() const override { return first; }
    void Activated() override { ++activations; }
};

void Activate(HWND hwnd, bool active) {
    SendMessageW(hwnd, WM_ACTIVATE, active ? WA_ACTIVE : WA_INACTIVE, 0);
}

TEST(Form, TheKeyboardGoesBackToItsControlOrElseToTheDefault) {
    TwoBoxForm form;
    const int shown = form.activations;  // shown, the window was activated
    SetFocus(form.second);
    Activate(form.Handle(), false);
    SetFocus(form.first);  // as another window would take it
    Activate(form.Handle(), true);
    EXPECT_EQ(GetFocus(), form.second);

    // A hidden control takes no keys: the default one has them then.
    Activate(form.Handle(), false);
    ShowWindow(form.second, SW_HIDE);
    Activate(form.Handle(), true);
    EXPECT_EQ(GetFocus(), form.first);
    EXPECT_EQ(form.activations - shown, 2);
}

TEST(Form, ANewDpiMakesEverythingAgainAndTakesTheSuggestedBounds) {
    TwoBoxForm form;
    EXPECT_EQ(form.dpiApplied, DpiOf(form.Handle()));  // on creation
    RECT suggested{10, 20, 310, 170};
    SendMessageW(form.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(form.dpiApplied, 144u);
    EXPECT_GE(form.layOutsSinceDpi, 1);
    RECT bounds{};
    GetWindowRect(form.Handle(), &bounds);
    EXPECT_EQ(bounds.left, 10);
    EXPECT_EQ(bounds.bottom, 170);
}

}  // namespace
}  // namespace app
