#include "app/Application_win.h"

#include <vector>

#include "app/AppPaths.h"
#include "app/Dialogs_win.h"
#include "platform/TextConversion_win.h"

namespace app {

Application& Application::Instance() {
    static Application application;
    return application;
}

namespace {

std::wstring ModulePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

platform::Path DataDirectoryOf(const std::wstring& modulePath) {
    const std::string text = platform::ToGb2312(modulePath);
    if (platform::ToWide(text) == modulePath)
        return platform::Path(app::DataDirectory(text));
    return platform::Path::FromNative(modulePath.substr(0, modulePath.find_last_of(L"\\:") + 1));
}

std::string Application::ExecutablePath() const { return platform::ToGb2312(ModulePath()); }

platform::Path Application::DataDirectory() const { return DataDirectoryOf(ModulePath()); }

namespace {

// Posted to the owner window when it has been activated: activation then moves on to the main
// window.
constexpr UINT WM_APP_ACTIVATEMAIN = WM_APP + 2;

}  // namespace

void Application::CreateOwnerWindow() {
    m_title = ApplicationTitle(ExecutablePath());
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = OwnerProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.lpszClassName = L"TApplication";
    RegisterWindowClass(windowClass);
    // A normal top-level window of no size in the middle of the screen, so that the task bar shows
    // it with the title and message boxes it owns appear on that monitor.
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
    m_owner =
        CreateWindowChecked(0, L"TApplication", platform::ToWide(m_title).c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            x, y, 0, 0, nullptr, nullptr, instance, nullptr);
}

bool Application::Minimize() {
    if (!m_owner || !IsWindowVisible(m_owner))
        return false;
    ShowWindow(m_owner, SW_MINIMIZE);
    return true;
}

void Application::ActivateMainWindow() {
    if (GetActiveWindow() != m_owner || IsIconic(m_owner))
        return;
    const HWND main = m_mainWindow ? m_mainWindow->Handle() : nullptr;
    // A box that is up stays in front: the window last active among those the owner owns.
    HWND target = GetLastActivePopup(m_owner);
    if (target == m_owner || !IsWindowVisible(target) || !IsWindowEnabled(target))
        target = main && !IsWindowEnabled(main) ? GetLastActivePopup(main) : main;
    if (target && target != m_owner && IsWindowVisible(target))
        SetForegroundWindow(target);
}

LRESULT CALLBACK Application::OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Application& application = Instance();
    const HWND main = application.m_mainWindow ? application.m_mainWindow->Handle() : nullptr;
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            PostMessageW(hwnd, WM_APP_ACTIVATEMAIN, 0, 0);
        break;
    case WM_APP_ACTIVATEMAIN:
        application.ActivateMainWindow();
        return 0;
    case WM_SIZE:
        // The main window is hidden while the program is minimized and comes back with it.
        if (wParam == SIZE_MINIMIZED) {
            application.m_minimized = true;
            if (main)
                ShowWindow(main, SW_HIDE);
        } else if (wParam == SIZE_RESTORED && application.m_minimized) {
            application.m_minimized = false;
            if (main)
                ShowWindow(main, SW_SHOW);
        }
        return 0;
    case WM_CLOSE:
        // Closing the task bar entry closes the main window, through its own close handling.
        if (main) {
            if (IsWindowEnabled(main))
                PostMessageW(main, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Application::RequestEnd() {
    m_endRequested = true;
    PostQuitMessage(0);
}

void Application::RunThenEnd(const std::function<void()>& work) {
    try {
        work();
    } catch (const std::exception& error) {
        ReportError(error);
    } catch (...) {
        RequestEnd();
        throw;
    }
    RequestEnd();
}

namespace {

int StartupShowCommand() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    if (startup.dwFlags & STARTF_USESHOWWINDOW) {
        if (startup.wShowWindow == SW_SHOWMINNOACTIVE)
            return SW_SHOWMINNOACTIVE;
        if (startup.wShowWindow == SW_SHOWMAXIMIZED)
            return SW_SHOWMAXIMIZED;
    }
    return SW_SHOWNORMAL;
}

}  // namespace

void Application::Run() {
    if (!m_mainWindow || !m_mainWindow->Handle())
        return;
    const HWND main = m_mainWindow->Handle();
    if (!m_endRequested) {
        // Started minimized, the program's task bar entry is minimized and the main window hidden
        // until it is restored.
        const int show = StartupShowCommand();
        if (show == SW_SHOWMINNOACTIVE) {
            ShowWindow(m_owner, SW_SHOWMINNOACTIVE);
        } else {
            ShowWindow(m_owner, SW_SHOWNOACTIVATE);
            ShowWindow(main, show);
        }
        UpdateWindow(main);
        PostMessageW(main, WM_APP_FORMSHOW, 0, 0);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        BaseWindow* window = m_mainWindow.get();
        if (window && window->PreTranslateMessage(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace app
