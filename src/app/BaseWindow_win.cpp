#include "app/BaseWindow_win.h"

#include <windowsx.h>

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

#include "app/Application_win.h"
#include "app/Dialogs_win.h"
#include "platform/Error.h"
#include "platform/TextConversion_win.h"

namespace app {

namespace {

std::string ClassNameText(const wchar_t* className) {
    if (IS_INTRESOURCE(className))
        return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(className));
    return platform::ToGb2312(className);
}

platform::Error ErrorWithSystemCode(const char* kind, const char* pattern, const wchar_t* className,
                                    DWORD code) {
    return platform::Error(kind,
                           platform::Format(pattern, static_cast<long long>(code),
                                            ClassNameText(className)),
                           static_cast<int>(code));
}

[[noreturn]] void FailWithSystemCode(const char* kind, const char* pattern,
                                     const wchar_t* className) {
    throw ErrorWithSystemCode(kind, pattern, className, GetLastError());
}

}  // namespace

platform::Error WindowCreateError(const wchar_t* className, DWORD code) {
    return ErrorWithSystemCode("WindowCreateError", "Cannot create window %s (error %d)", className,
                               code);
}

void RegisterWindowClass(const WNDCLASSEXW& windowClass) {
    SetLastError(0);
    if (!RegisterClassExW(&windowClass))
        FailWithSystemCode("WindowClassError", "Cannot register window class %s (error %d)",
                           windowClass.lpszClassName);
}

void RegisterWindowClassOnce(const wchar_t* className, WNDPROC windowProc) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(instance, className, &windowClass))
        return;
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className;
    RegisterWindowClass(windowClass);
}

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

POINT MessagePosition() {
    const DWORD position = GetMessagePos();
    return {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
}

std::vector<WORD> EmptyDialogTemplate(DWORD style, DWORD exStyle) {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3, 0);  // + menu, class, title
    auto* dialog = reinterpret_cast<DLGTEMPLATE*>(words.data());
    dialog->style = style;
    dialog->dwExtendedStyle = exStyle;
    return words;
}

HWND CreateWindowChecked(DWORD exStyle, const wchar_t* className, const wchar_t* caption,
                         DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu,
                         HINSTANCE instance, void* parameter) {
    SetLastError(0);
    const HWND hwnd = CreateWindowExW(exStyle, className, caption, style, x, y, width, height,
                                      parent, menu, instance, parameter);
    if (!hwnd)
        throw WindowCreateError(className, GetLastError());
    return hwnd;
}

BaseWindow::~BaseWindow() { Destroy(); }

void BaseWindow::Destroy() {
    if (!m_hwnd)
        return;
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    DestroyWindow(std::exchange(m_hwnd, nullptr));
}

void BaseWindow::CreateWindowOfClass(const wchar_t* className, const std::wstring& caption,
                                     DWORD style, DWORD exStyle, RECT bounds, HWND owner) {
    RegisterWindowClassOnce(className, WindowProc);
    CreateWindowChecked(exStyle, className, caption.c_str(), style, bounds.left, bounds.top,
                        bounds.right - bounds.left, bounds.bottom - bounds.top, owner, nullptr,
                        GetModuleHandleW(nullptr), this);
}

LRESULT BaseWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

LRESULT CALLBACK BaseWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<BaseWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<BaseWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_DESTROY && self == Application::Instance().MainWindow())
        PostQuitMessage(0);
    // The main window has no task bar entry of its own: minimizing it minimizes the program's.
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE &&
        self == Application::Instance().MainWindow() && Application::Instance().Minimize())
        return 0;
    if (message == WM_NCDESTROY)
        self->m_hwnd = nullptr;
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        ReportError(error);
        return 0;
    } catch (...) {
        ShowLastResortBox();
        return 0;
    }
}

namespace {

// A user32 function of Windows 10 1607 or later, looked up so that the program starts on Windows 7
// and 8.1 as well; nullptr where the system lacks it.
template <typename Function>
Function* NewerUser32Function(const char* name) {
    return reinterpret_cast<Function*>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

UINT SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

}  // namespace

UINT DpiOf(HWND hwnd) {
    static auto* const forWindow = NewerUser32Function<UINT WINAPI(HWND)>("GetDpiForWindow");
    static auto* const forSystem = NewerUser32Function<UINT WINAPI()>("GetDpiForSystem");
    UINT dpi = 0;
    if (hwnd && forWindow)
        dpi = forWindow(hwnd);
    else if (forSystem)
        dpi = forSystem();
    else
        dpi = SystemDpi();
    return dpi ? dpi : 96;
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) {
    static auto* const forDpi = NewerUser32Function<BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT)>(
        "AdjustWindowRectExForDpi");
    if (forDpi) {
        forDpi(&rect, style, FALSE, exStyle, dpi);
        return;
    }
    // Older systems size the frame for the system DPI: scale it to the window's.
    RECT frame{};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const UINT system = SystemDpi();
    rect.left += MulDiv(frame.left, static_cast<int>(dpi), static_cast<int>(system));
    rect.top += MulDiv(frame.top, static_cast<int>(dpi), static_cast<int>(system));
    rect.right += MulDiv(frame.right, static_cast<int>(dpi), static_cast<int>(system));
    rect.bottom += MulDiv(frame.bottom, static_cast<int>(dpi), static_cast<int>(system));
}

void MoveToSuggestedBounds(HWND hwnd, LPARAM dpiChangedLParam) {
    const RECT& suggested = *reinterpret_cast<const RECT*>(dpiChangedLParam);
    SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace app
