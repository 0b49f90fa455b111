// While a box is up the program's other windows take no input: a scope that disables them and puts
// them back.
#pragma once

#include <windows.h>

#include <vector>

namespace app {

// Disables every visible, enabled window of the thread; when it ends, enables them again and
// activates the window that was active before (if it still is a window). A box that is modal for
// the whole program is shown within one.
class ModalScope {
public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

    // The window that was active when the scope began; null when none of the thread's was.
    HWND Active() const { return m_active; }

private:
    HWND m_active;
    std::vector<HWND> m_disabled;
};

}  // namespace app
