// The base of every window of the program: stores `this` with the window and forwards messages to
// HandleMessage. Every message is a handler boundary: an error thrown by a handler is shown in the
// error box (anything that is not a std::exception in the last-resort box) and the window goes on.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/Error.h"

namespace app {

// Posted after the main window is first shown; its handler is the window's show handler.
constexpr UINT WM_APP_FORMSHOW = WM_APP + 1;

// RegisterClassExW and CreateWindowExW, checked: a refusal throws platform::Error "Cannot register
// window class NAME (error CODE)" or "Cannot create window CLASS (error CODE)", which the error box
// shows; the system's code is also the Error's SystemCode().
void RegisterWindowClass(const WNDCLASSEXW& windowClass);
// Registers className with windowProc and the look of the program's windows (arrow cursor, button
// face background, the program's icon) unless a class of that name is registered already.
void RegisterWindowClassOnce(const wchar_t* className, WNDPROC windowProc);
// The text of a window or control.
std::wstring WindowText(HWND hwnd);
// Where the mouse was, on the screen, when the message being handled was posted.
POINT MessagePosition();
// A dialog template of the given styles with no controls, no menu and no title: for a box that
// places its controls itself once its font is made.
std::vector<WORD> EmptyDialogTemplate(DWORD style, DWORD exStyle = 0);

// The error of a window the system could not create: "Cannot create window CLASS (error CODE)",
// the code also its SystemCode().
platform::Error WindowCreateError(const wchar_t* className, DWORD code);

HWND CreateWindowChecked(DWORD exStyle, const wchar_t* className, const wchar_t* caption,
                         DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu,
                         HINSTANCE instance, void* parameter);

class BaseWindow {
public:
    virtual ~BaseWindow();
    HWND Handle() const { return m_hwnd; }

    // Lets a window use keyboard accelerators or dialog keys before the message is dispatched.
    virtual bool PreTranslateMessage(MSG&) { return false; }

protected:
    BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    // Registers className on first use and creates the window; WM_CREATE reaches HandleMessage.
    // Throws platform::Error with the system's error code when either fails.
    void CreateWindowOfClass(const wchar_t* className, const std::wstring& caption, DWORD style,
                             DWORD exStyle, RECT bounds, HWND owner);
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Destroys the window (and its controls) without telling this object: for a destructor, when
    // the parts of the object that handle messages are gone already.
    void Destroy();

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
};

// The dots per inch of the monitor a window is on (96 before it exists), and a size scaled to it.
UINT DpiOf(HWND hwnd);
// AdjustWindowRectEx for a window shown at that DPI (no menu).
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);
inline int Scale(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), 96); }
// On WM_DPICHANGED: moves the window to the bounds the system suggests for the new DPI (lParam).
void MoveToSuggestedBounds(HWND hwnd, LPARAM dpiChangedLParam);

}  // namespace app
