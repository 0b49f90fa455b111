// Checked window creation and the error boundary of the window procedure.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <utility>

#include "app/Application_win.h"
#include "app/BaseWindow_win.h"
#include "platform/Error.h"

namespace app {
namespace {

constexpr UINT kCreateMissing = WM_APP + 10;
constexpr UINT kThrowNonException = WM_APP + 11;

// The message of the platform::Error that work throws, and the system's code it carries.
std::pair<std::string, int> ErrorOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const platform::Error& error) {
        return {error.what(), error.SystemCode()};
    }
    return {"no error", 0};
}

HWND CreateOfMissingClass() {
    return CreateWindowChecked(0, L"TNoSuchClass", nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
}

// The code this system gives for a window of a class that does not exist (Windows 1407, Wine
// 1411), and the message naming it.
int MissingClassCode() {
    SetLastError(0);
    CreateWindowExW(0, L"TNoSuchClass", nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                    GetModuleHandleW(nullptr), nullptr);
    return static_cast<int>(GetLastError());
}
std::string MissingClassMessage() {
    return "Cannot create window TNoSuchClass (error " + std::to_string(MissingClassCode()) + ")";
}

TEST(BaseWindow, ARefusedRegistrationOrCreationCarriesTheSystemsErrorCode) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TTwice";
    RegisterWindowClass(windowClass);
    // The code is data of the error, not only a part of its text.
    EXPECT_EQ(ErrorOf([&] { RegisterWindowClass(windowClass); }),
              std::pair(std::string("Cannot register window class TTwice (error 1410)"), 1410));
    EXPECT_EQ(ErrorOf([] { CreateOfMissingClass(); }),
              std::pair(MissingClassMessage(), MissingClassCode()));
    EXPECT_NE(MissingClassCode(), 0);
}

BOOL CALLBACK FindOwnBox(HWND hwnd, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    wchar_t className[16] = {};
    GetClassNameW(hwnd, className, 16);
    if (process != GetCurrentProcessId() || !IsWindowVisible(hwnd) ||
        std::wstring(className) != L"#32770")
        return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
}

// The user's side: waits up to ten seconds for a box of this process, answers it with OK and
// returns its text.
std::wstring AnswerTheBox() {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        HWND box = nullptr;
        EnumWindows(FindOwnBox, reinterpret_cast<LPARAM>(&box));
        if (!box) {
            Sleep(10);
            continue;
        }
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(box, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);  // initialised
        wchar_t text[512] = {};
        GetWindowTextW(GetDlgItem(box, 0xFFFF), text, 512);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return text;
    }
    return L"no box";
}

class ThrowingWindow : public BaseWindow {
public:
    ThrowingWindow() {
        CreateWindowOfClass(L"TThrowingWindow", L"", WS_POPUP, 0, RECT{0, 0, 10, 10}, nullptr);
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kCreateMissing)
            CreateOfMissingClass();
        if (message == kThrowNonException)
            throw 42;
        return BaseWindow::HandleMessage(message, wParam, lParam);
    }
};

TEST(BaseWindow, EveryErrorOfAHandlerReachesABoxAndTheWindowGoesOn) {
    Application& application = Application::Instance();
    if (!application.OwnerWindow())
        application.CreateOwnerWindow();
    ThrowingWindow window;
    const std::string missing = MissingClassMessage();
    for (const auto& [message, expected] :
         {std::pair{kCreateMissing, std::wstring(missing.begin(), missing.end())},
          std::pair{kThrowNonException, std::wstring(L"Exception UnknownException in module")}}) {
        std::wstring text;
        std::thread user([&] { text = AnswerTheBox(); });
        SendMessageW(window.Handle(), message, 0, 0);
        user.join();
        EXPECT_NE(text.find(expected), std::wstring::npos) << std::string(text.begin(), text.end());
        EXPECT_TRUE(IsWindow(window.Handle()));
    }
}

}  // namespace
}  // namespace app
