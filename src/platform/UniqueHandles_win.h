// One owner for each system handle the program opens: a small move-only type per kind, in the
// manner of wil's unique_handle, that closes its handle exactly once when it goes out of scope.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace platform {

// Owns one handle described by Traits: its type, the value that means "none" and how it is closed.
template <typename Traits>
class UniqueAny {
public:
    using Handle = typename Traits::Handle;

    UniqueAny() = default;
    explicit UniqueAny(Handle handle) : m_handle(handle) {}
    ~UniqueAny() { Reset(); }
    UniqueAny(UniqueAny&& other) noexcept : m_handle(other.Release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Traits::None(); }

    // Closes the handle held (if any) and takes handle instead.
    void Reset(Handle handle = Traits::None()) {
        const Handle old = std::exchange(m_handle, handle);
        if (old != Traits::None())
            Traits::Close(old);
    }
    // Gives the handle up without closing it: for a close whose result is checked, or a new owner.
    Handle Release() { return std::exchange(m_handle, Traits::None()); }
    // For an out-parameter of a system call; the handle held so far is closed first.
    Handle* Put() {
        Reset();
        return &m_handle;
    }

private:
    Handle m_handle = Traits::None();
};

namespace handle_traits {

struct File {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { CloseHandle(handle); }
};
struct Kernel {
    using Handle = HANDLE;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { CloseHandle(handle); }
};
struct Find {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { FindClose(handle); }
};
struct Hkey {
    using Handle = HKEY;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { RegCloseKey(handle); }
};
template <typename Object>
struct Gdi {
    using Handle = Object;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { DeleteObject(handle); }
};
struct MemoryDc {
    using Handle = HDC;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { DeleteDC(handle); }
};
struct ImageList {
    using Handle = HIMAGELIST;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { ImageList_Destroy(handle); }
};
struct Menu {
    using Handle = HMENU;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { DestroyMenu(handle); }
};
struct Accelerators {
    using Handle = HACCEL;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { DestroyAcceleratorTable(handle); }
};
struct Icon {
    using Handle = HICON;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { DestroyIcon(handle); }
};

}  // namespace handle_traits

using UniqueFile = UniqueAny<handle_traits::File>;      // CreateFileW: INVALID_HANDLE_VALUE is none
using UniqueHandle = UniqueAny<handle_traits::Kernel>;  // mutexes, processes, threads: null is none
using UniqueFindHandle = UniqueAny<handle_traits::Find>;
using UniqueHkey = UniqueAny<handle_traits::Hkey>;
template <typename Object>
using UniqueGdiObject = UniqueAny<handle_traits::Gdi<Object>>;
using UniqueHfont = UniqueGdiObject<HFONT>;
using UniqueHbitmap = UniqueGdiObject<HBITMAP>;
using UniqueHbrush = UniqueGdiObject<HBRUSH>;
using UniqueHpen = UniqueGdiObject<HPEN>;
using UniqueHdc = UniqueAny<handle_traits::MemoryDc>;  // CreateCompatibleDC
using UniqueHimagelist = UniqueAny<handle_traits::ImageList>;
using UniqueHmenu = UniqueAny<handle_traits::Menu>;
using UniqueHaccel = UniqueAny<handle_traits::Accelerators>;
using UniqueHicon = UniqueAny<handle_traits::Icon>;

// A window's (or the screen's) device context from GetDC, released when it goes.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {}
    ~WindowDc() {
        if (m_dc)
            ReleaseDC(m_hwnd, m_dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

// An object selected into a device context for the scope; the one it replaced goes back after.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (m_old)
            SelectObject(m_dc, m_old);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

}  // namespace platform
