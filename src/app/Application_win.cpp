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
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
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
