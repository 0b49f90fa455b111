// What a screen reader is told; see DriverAccessible.h.
#include "DriverAccessible.h"

#include <oleacc.h>

#include <chrono>
#include <thread>
#include <utility>

#include "Driver.h"

namespace driver {

namespace {

// IID_IAccessible, spelled out: the import libraries' copies of it clash.
constexpr IID kAccessibleInterface = {0x618736e0,
                                      0x3c3d,
                                      0x11cf,
                                      {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

AccessibleWindow Describe(HWND hwnd) {
    AccessibleWindow window{hwnd, ClassOf(hwnd), {}, 0, 0};
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                          kAccessibleInterface,
                                          reinterpret_cast<void**>(&object))) ||
        !object)
        return window;
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (SUCCEEDED(object->get_accName(self, &name)) && name) {
        window.name = name;
        SysFreeString(name);
    }
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(object->get_accRole(self, &value)) && value.vt == VT_I4)
        window.role = value.lVal;
    VariantInit(&value);
    if (SUCCEEDED(object->get_accState(self, &value)) && value.vt == VT_I4)
        window.state = value.lVal;
    object->Release();
    return window;
}

// A panel that only holds other controls, or only keeps room between them (the help window's
// spacer): the keyboard never stops on it, and a screen reader passes through it to its controls.
bool IsPanel(HWND hwnd) {
    return (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) &&
           !(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_TABSTOP);
}

std::vector<std::pair<HWND, long>>& Events() {
    static std::vector<std::pair<HWND, long>> events;
    return events;
}

void CALLBACK OnNameChange(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT)
        Events().emplace_back(hwnd, child);
}

void HandleMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

BOOL CALLBACK AddVisible(HWND hwnd, LPARAM windows) {
    if (IsWindowVisible(hwnd))
        reinterpret_cast<std::vector<HWND>*>(windows)->push_back(hwnd);
    return TRUE;
}

}  // namespace

std::vector<AccessibleWindow> AccessibleWindows(HWND window) {
    static const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    (void)com;
    std::vector<HWND> windows{window};
    EnumChildWindows(window, AddVisible, reinterpret_cast<LPARAM>(&windows));
    std::vector<AccessibleWindow> described;
    for (HWND hwnd : windows)
        described.push_back(Describe(hwnd));
    return described;
}

std::vector<std::wstring> FocusableWithoutName(HWND window) {
    std::vector<std::wstring> unnamed;
    for (const AccessibleWindow& seen : AccessibleWindows(window)) {
        const bool focusable = (seen.state & STATE_SYSTEM_FOCUSABLE) &&
                               !(seen.state & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE));
        if (!focusable || _wcsicmp(seen.className.c_str(), L"Static") == 0 || IsPanel(seen.hwnd))
            continue;
        if (seen.name.empty())
            unnamed.push_back(seen.className + L" (id " + std::to_wstring(GetDlgCtrlID(seen.hwnd)) +
                              L", role " + std::to_wstring(seen.role) + L")");
    }
    return unnamed;
}

NameChangeListener::NameChangeListener(DWORD processId) {
    Events().clear();
    m_hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
                             OnNameChange, processId, 0, WINEVENT_OUTOFCONTEXT);
}

NameChangeListener::~NameChangeListener() {
    if (m_hook)
        UnhookWinEvent(static_cast<HWINEVENTHOOK>(m_hook));
}

std::vector<long> NameChangeListener::Take(HWND hwnd) {
    HandleMessages();
    std::vector<long> children;
    for (const auto& [from, child] : Events())
        if (from == hwnd)
            children.push_back(child);
    Events().clear();
    return children;
}

bool NameChangeListener::WaitFor(HWND hwnd) {
    return Eventually([&] {
        HandleMessages();
        for (const auto& event : Events())
            if (event.first == hwnd)
                return true;
        return false;
    });
}

}  // namespace driver
