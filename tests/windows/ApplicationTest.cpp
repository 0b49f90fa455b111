// The program's end request around install mode's creation work: an error box that stays until
// the user answers it, and the end that follows.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>

#include "app/Application_win.h"

namespace app {
namespace {

std::atomic<bool> g_answered{false};
bool g_boxShown = false;
bool g_quitPendingWhenShown = false;

bool IsDialog(HWND hwnd) {
    wchar_t className[16] = {};
    GetClassNameW(hwnd, className, 16);
    return std::wstring(className) == L"#32770";
}

// Runs on the box's thread as the box becomes active: a quit message waiting then would be taken
// by the box's own message loop, which would close the box at once.
LRESULT CALLBACK WatchTheBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && IsDialog(reinterpret_cast<HWND>(wParam)) && !g_boxShown) {
        g_boxShown = true;
        MSG quit{};
        g_quitPendingWhenShown =
            PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK FindOwnBox(HWND hwnd, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(hwnd) || !IsDialog(hwnd))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
}

// The user's side: waits up to ten seconds for the error box, then answers it with OK.
void AnswerTheBox() {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        HWND box = nullptr;
        EnumWindows(FindOwnBox, reinterpret_cast<LPARAM>(&box));
        if (box) {
            g_answered = true;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return;
        }
        Sleep(10);
    }
}

TEST(Application, AnErrorOfTheWorkStaysOnScreenUntilAnsweredAndTheEndFollows) {
    Application& application = Application::Instance();
    if (!application.OwnerWindow())
        application.CreateOwnerWindow();
    HHOOK hook = SetWindowsHookExW(WH_CBT, WatchTheBox, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    std::thread user(AnswerTheBox);
    application.RunThenEnd([] { throw std::runtime_error("Cannot create file x"); });
    const bool answeredBeforeTheBoxClosed = g_answered;
    user.join();
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(g_boxShown);
    EXPECT_FALSE(g_quitPendingWhenShown);
    EXPECT_TRUE(answeredBeforeTheBoxClosed);
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
}

}  // namespace
}  // namespace app
