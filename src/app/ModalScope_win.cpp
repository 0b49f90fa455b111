// The scope of a box modal for the whole program; see ModalScope_win.h.
#include "app/ModalScope_win.h"

namespace app {

namespace {

BOOL CALLBACK DisableWindow(HWND hwnd, LPARAM lParam) {
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    }
    return TRUE;
}

}  // namespace

ModalScope::ModalScope() : m_active(GetActiveWindow()) {
    EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(&m_disabled));
}

ModalScope::~ModalScope() {
    for (const HWND hwnd : m_disabled)
        EnableWindow(hwnd, TRUE);
    if (m_active && IsWindow(m_active))
        SetActiveWindow(m_active);
}

}  // namespace app
