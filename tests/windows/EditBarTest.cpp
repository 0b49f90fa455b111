// The edit bar of the find and filter boxes: the keys that mean a command, the text it keeps or
// empties when closed, and its line of controls across the window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/EditBar_win.h"

namespace app {
namespace {

constexpr int kNext = 11;
constexpr int kClose = 12;
constexpr int kWidth = 400;

class EditBarTest : public testing::Test {
protected:
    void SetUp() override {
        m_parent = CreateWindowExW(0, L"Static", L"parent", WS_POPUP | WS_VISIBLE, 0, 0, kWidth,
                                   200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    void TearDown() override { DestroyWindow(m_parent); }

    // A find box's bar (Enter, F3 and Esc mean commands; it keeps its text) or a filter box's.
    void Create(EditBar& bar, bool findBox) {
        bar.Create(m_parent, {.label = L"find:",
                              .buttons = {{L"next", kNext, 64}, {L"x", kClose, 26}},
                              .nextCommand = findBox ? kNext : 0,
                              .closeCommand = kClose,
                              .keepsText = findBox});
    }
    HWND Child(const wchar_t* className, int index = 0) const {
        HWND child = nullptr;
        for (int i = 0; i <= index; ++i)
            child = FindWindowExW(m_parent, child, className, nullptr);
        return child;
    }
    RECT PlaceOf(HWND control) const {
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, m_parent, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    HWND m_parent = nullptr;
};

TEST_F(EditBarTest, OnlyEnterF3AndEscMeanCommandsAndOnlyInTheBar) {
    EditBar find, filter;
    Create(find, true);
    const HWND edit = Child(L"Edit");
    const HWND closeButton = Child(L"Button", 1);
    Create(filter, false);
    const HWND filterEdit = Child(L"Edit", 1);
    const struct {
        const EditBar& bar;
        HWND hwnd;
        UINT message;
        WPARAM key;
        int command;
    } cases[] = {
        {find, edit, WM_KEYDOWN, VK_RETURN, kNext},
        {find, edit, WM_KEYDOWN, VK_F3, kNext},
        {find, edit, WM_KEYDOWN, VK_ESCAPE, kClose},
        {find, closeButton, WM_KEYDOWN, VK_RETURN, kNext},
        {find, edit, WM_KEYDOWN, 'A', 0},
        {find, edit, WM_CHAR, VK_RETURN, 0},
        {find, m_parent, WM_KEYDOWN, VK_RETURN, 0},
        {find, filterEdit, WM_KEYDOWN, VK_ESCAPE, 0},
        {filter, filterEdit, WM_KEYDOWN, VK_RETURN, 0},
        {filter, filterEdit, WM_KEYDOWN, VK_ESCAPE, kClose},
    };
    for (const auto& [bar, hwnd, message, key, command] : cases) {
        const MSG msg{hwnd, message, key, 0, 0, {}};
        EXPECT_EQ(bar.CommandOfKey(msg), command) << key;
    }
}

TEST_F(EditBarTest, TheTextIsSeenOnlyWhileOpenAndKeptWhereTheBarKeepsIt) {
    for (const bool keeps : {true, false}) {
        EditBar bar;
        Create(bar, keeps);
        const HWND edit = Child(L"Edit", keeps ? 0 : 1);
        bar.Open();
        SetWindowTextW(edit, L"中文");
        EXPECT_EQ(bar.Text(), "\xD6\xD0\xCE\xC4");  // GB2312
        bar.Close();
        EXPECT_EQ(bar.Text(), "");
        bar.Open();
        EXPECT_EQ(bar.Text(), keeps ? "\xD6\xD0\xCE\xC4" : "") << keeps;
    }
}

TEST_F(EditBarTest, TheEditBoxTakesTheRoomTheLabelAndButtonsLeave) {
    EditBar bar;
    Create(bar, true);
    EXPECT_EQ(bar.Height(96), 0);  // closed
    bar.Open();
    EXPECT_EQ(bar.Height(144), 42);
    bar.LayOut(100, kWidth, 144);
    const RECT label = PlaceOf(Child(L"Static")), edit = PlaceOf(Child(L"Edit"));
    const RECT next = PlaceOf(Child(L"Button")), close = PlaceOf(Child(L"Button", 1));
    EXPECT_EQ(label.left, 6);
    EXPECT_EQ(edit.left, label.right + 6);
    EXPECT_EQ(next.left, edit.right + 6);
    EXPECT_EQ(next.right - next.left, 96);
    EXPECT_EQ(close.left, next.right + 6);
    EXPECT_EQ(close.right, kWidth - 6);
    EXPECT_EQ(edit.top, 103);  // centred in the 42 pixels from 100
    EXPECT_EQ(edit.bottom, 139);
}

}  // namespace
}  // namespace app
