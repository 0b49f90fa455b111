// The base of the modal dialogs; see ModalDialog_win.h.
#include "app/ModalDialog_win.h"

#include <algorithm>
#include <utility>

#include "app/Accessibility_win.h"
#include "app/Application_win.h"
#include "app/BaseWindow_win.h"
#include "app/ModalScope_win.h"

namespace app {

INT_PTR ModalDialog::ShowModal(const std::vector<WORD>& dialogTemplate) {
    m_failure = nullptr;
    INT_PTR result = 0;
    DWORD creationError = 0;
    {
        const ModalScope modal;
        const HWND owner = modal.Active() ? modal.Active() : Application::Instance().OwnerWindow();
        SetLastError(0);
        result =
            DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                    reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
                                    owner, DialogProc, reinterpret_cast<LPARAM>(this));
        if (result == -1)
            creationError = GetLastError();
    }
    m_hwnd = nullptr;
    if (m_failure)
        std::rethrow_exception(std::exchange(m_failure, nullptr));
    if (result == -1)
        throw WindowCreateError(L"#32770", creationError);
    return result;
}

HWND ModalDialog::AddControl(ChildControl control) {
    return control.AddStyle(WS_VISIBLE).Font(m_font.Get()).Create(m_hwnd);
}

void ModalDialog::CentreIn(const RECT& area, int width, int height) {
    // Within the work area of the monitor: large text must not push the buttons off the screen.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    width = std::min<int>(width, work.right - work.left);
    height = std::min<int>(height, work.bottom - work.top);
    const int left = std::clamp<int>(area.left + (area.right - area.left - width) / 2, work.left,
                                     work.right - width);
    const int top = std::clamp<int>(area.top + (area.bottom - area.top - height) / 2, work.top,
                                    work.bottom - height);
    SetWindowPos(m_hwnd, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool ModalDialog::OnCommand(int id, int) {
    if (id != IDOK && id != IDCANCEL)
        return false;
    End(id);
    return true;
}

INT_PTR ModalDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInit();
        ShowKeyboardCues(m_hwnd);
        return FALSE;  // the focus is set
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_CLOSE:
        End(IDCANCEL);
        return TRUE;
    }
    return OnMessage(message, wParam, lParam);
}

INT_PTR CALLBACK ModalDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reinterpret_cast<ModalDialog*>(lParam)->m_hwnd = dialog;
    }
    auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self)
        return FALSE;  // a message before WM_INITDIALOG
    // Nothing throws across the system's dialog loop: the error ends the dialog and ShowModal
    // throws it again. Only the first is kept; what follows it is its consequence.
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        if (!self->m_failure)
            self->m_failure = std::current_exception();
        EndDialog(dialog, IDCANCEL);
        return message == WM_INITDIALOG ? FALSE : TRUE;
    }
}

}  // namespace app
