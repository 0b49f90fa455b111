// What a screen reader is told of another process's windows, read through oleacc as a screen
// reader reads it (AccessibleObjectFromWindow, accName, accRole, accState), and the WinEvents
// that tell it of a change.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

// What oleacc says of a window (its client object).
struct AccessibleWindow {
    HWND hwnd = nullptr;
    std::wstring className;
    std::wstring name;
    long role = 0;
    long state = 0;
};
// The window and each of its visible descendants, in z-order.
std::vector<AccessibleWindow> AccessibleWindows(HWND window);
// Those among them that a screen reader's focus lands on (oleacc calls them focusable; static
// texts and the panels that only hold other controls are not) without a name: one line each.
std::vector<std::wstring> FocusableWithoutName(HWND window);

// Counts the name changes that the windows of a process announce, as a screen reader hears them
// (an out-of-context WinEvent hook: the events arrive as messages to this thread).
class NameChangeListener {
public:
    explicit NameChangeListener(DWORD processId);
    ~NameChangeListener();
    NameChangeListener(const NameChangeListener&) = delete;
    NameChangeListener& operator=(const NameChangeListener&) = delete;

    // Takes the events that have arrived; those of hwnd, as the child ids they named.
    std::vector<long> Take(HWND hwnd);
    // Waits (handling this thread's messages) until hwnd announces a change; false on time-out.
    bool WaitFor(HWND hwnd);

private:
    void* m_hook = nullptr;
};

}  // namespace driver
