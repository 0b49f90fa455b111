// A control's drawing turned off for a scope, as Explorer++'s ScopedRedrawDisabler does: it is
// turned on again when the scope ends, also when what happens in between throws, so that a
// control is never left frozen.
#pragma once

#include <windows.h>

namespace app {

class ScopedRedrawDisabler {
public:
    explicit ScopedRedrawDisabler(HWND hwnd) : m_hwnd(hwnd) {
        SendMessageW(m_hwnd, WM_SETREDRAW, FALSE, 0);
    }
    ~ScopedRedrawDisabler() { SendMessageW(m_hwnd, WM_SETREDRAW, TRUE, 0); }
    ScopedRedrawDisabler(const ScopedRedrawDisabler&) = delete;
    ScopedRedrawDisabler& operator=(const ScopedRedrawDisabler&) = delete;

private:
    HWND m_hwnd;
};

}  // namespace app
