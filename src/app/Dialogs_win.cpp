#include "app/Dialogs_win.h"

#include <vector>

#include "app/AppPaths.h"
#include "app/Application_win.h"
#include "app/ErrorText.h"
#include "platform/Error.h"
#include "platform/TextConversion_win.h"

namespace app {

namespace {

BOOL CALLBACK DisableWindow(HWND hwnd, LPARAM lParam) {
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    }
    return TRUE;
}

// While a message box is up: the owner window sits on the active window's monitor and every other
// window of the program is disabled. The destructor puts everything back.
class ModalScope {
public:
    explicit ModalScope(HWND owner) : m_owner(owner), m_active(GetActiveWindow()) {
        GetWindowRect(m_owner, &m_ownerBounds);
        MoveOwnerToActiveMonitor();
        EnumThreadWindows(GetCurrentThreadId(), DisableWindow,
                          reinterpret_cast<LPARAM>(&m_disabled));
    }
    ~ModalScope() {
        SetWindowPos(m_owner, nullptr, m_ownerBounds.left, m_ownerBounds.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        for (HWND hwnd : m_disabled)
            EnableWindow(hwnd, TRUE);
        if (m_active && IsWindow(m_active))
            SetActiveWindow(m_active);
    }

private:
    void MoveOwnerToActiveMonitor() {
        if (!m_active || !m_owner)
            return;
        const HMONITOR activeMonitor = MonitorFromWindow(m_active, MONITOR_DEFAULTTONEAREST);
        if (activeMonitor == MonitorFromWindow(m_owner, MONITOR_DEFAULTTONEAREST))
            return;
        MONITORINFO info{};
        info.cbSize = sizeof info;
        GetMonitorInfoW(activeMonitor, &info);
        const int x = (info.rcWork.left + info.rcWork.right) / 2;
        const int y = (info.rcWork.top + info.rcWork.bottom) / 2;
        SetWindowPos(m_owner, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    HWND m_owner;
    HWND m_active;
    RECT m_ownerBounds{};
    std::vector<HWND> m_disabled;
};

int ShowBox(const std::wstring& text, const std::string& caption, unsigned flags) {
    const HWND owner = Application::Instance().OwnerWindow();
    ModalScope scope(owner);
    return MessageBoxW(owner, text.c_str(), platform::ToWide(caption).c_str(), flags);
}

}  // namespace

Answer Ask(const std::string& text, const std::string& caption, BoxKind kind) {
    const unsigned flags = kind == BoxKind::Question           ? MB_OKCANCEL
                           : kind == BoxKind::CautiousQuestion ? MB_OKCANCEL | MB_DEFBUTTON2
                           : kind == BoxKind::Choice           ? MB_YESNOCANCEL | MB_DEFBUTTON2
                                                               : MB_OK;
    switch (ShowBox(platform::ToWide(text), caption, flags)) {
    case IDOK:
        return Answer::Ok;
    case IDYES:
        return Answer::Yes;
    case IDNO:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

void ReportError(const std::exception& error) {
    if (GetCapture())
        ReleaseCapture();
    ShowBox(platform::ToWideMessage(WithFullStop(error.what()), error),
            Application::Instance().Title(), MB_ICONSTOP);
}

namespace {

__attribute__((noinline)) std::uintptr_t CallerAddress() {
    return reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
}

}  // namespace

void ShowLastResortBox(const std::exception& error) {
    const auto* ours = dynamic_cast<const platform::Error*>(&error);
    const std::string kind = ours ? ours->Kind() : "Exception";
    const std::string path = Application::Instance().ExecutablePath();
    const std::string module = path.substr(DataDirectory(path).size());
    const std::string text =
        LastResortText(kind, module, CallerAddress(), error.what(), ours ? ours->SystemCode() : 0);
    MessageBoxW(nullptr, platform::ToWideMessage(text, error).c_str(), L"Application Error",
                MB_TASKMODAL | MB_ICONSTOP);
}

void ShowLastResortBox() {
    const std::string path = Application::Instance().ExecutablePath();
    const std::string module = path.substr(DataDirectory(path).size());
    const std::string text =
        LastResortText("UnknownException", module, CallerAddress(), "Unknown exception");
    MessageBoxW(nullptr, platform::ToWide(text).c_str(), L"Application Error",
                MB_TASKMODAL | MB_ICONSTOP);
}

}  // namespace app
