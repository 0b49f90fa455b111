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

std::string Application::ExecutablePath() const {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size())
            return platform::ToGb2312(std::wstring_view(buffer.data(), length));
        buffer.resize(buffer.size() * 2);
    }
}

std::string Application::DataDirectory() const { return app::DataDirectory(ExecutablePath()); }

void Application::CreateOwnerWindow() {
    m_title = ApplicationTitle(ExecutablePath());
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.lpszClassName = L"TApplication";
    RegisterClassExW(&windowClass);
    m_owner = CreateWindowExW(WS_EX_TOOLWINDOW, L"TApplication", platform::ToWide(m_title).c_str(),
                              WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
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
        ShowWindow(main, StartupShowCommand());
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
