#include "app/Dialogs_win.h"

#include "app/AppPaths.h"
#include "app/Application_win.h"
#include "app/ErrorText.h"
#include "app/ModalScope_win.h"
#include "platform/Error.h"
#include "platform/TextConversion_win.h"

namespace app {

namespace {

// While a message box is up: the owner window sits on the active window's monitor, so that the
// box appears there; the program's other windows are disabled (ModalScope). The destructor puts
// the owner back before the scope enables the windows again.
class MessageBoxScope {
public:
    explicit MessageBoxScope(HWND owner) : m_owner(owner) {
        GetWindowRect(m_owner, &m_ownerBounds);
        MoveOwnerToActiveMonitor();
    }
    ~MessageBoxScope() {
        SetWindowPos(m_owner, nullptr, m_ownerBounds.left, m_ownerBounds.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    MessageBoxScope(const MessageBoxScope&) = delete;
    MessageBoxScope& operator=(const MessageBoxScope&) = delete;

private:
    void MoveOwnerToActiveMonitor() {
        const HWND active = m_modal.Active();
        if (!active || !m_owner)
            return;
        const HMONITOR activeMonitor = MonitorFromWindow(active, MONITOR_DEFAULTTONEAREST);
        if (activeMonitor == MonitorFromWindow(m_owner, MONITOR_DEFAULTTONEAREST))
            return;
        MONITORINFO info{};
        info.cbSize = sizeof info;
        GetMonitorInfoW(activeMonitor, &info);
        const int x = (info.rcWork.left + info.rcWork.right) / 2;
        const int y = (info.rcWork.top + info.rcWork.bottom) / 2;
        SetWindowPos(m_owner, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    ModalScope m_modal;  // first: it takes the active window before anything moves
    HWND m_owner;
    RECT m_ownerBounds{};
};

int ShowBox(const std::wstring& text, const std::string& caption, unsigned flags) {
    const HWND owner = Application::Instance().OwnerWindow();
    const MessageBoxScope scope(owner);
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
