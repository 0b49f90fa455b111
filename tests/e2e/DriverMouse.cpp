#include "DriverMouse.h"

#include <cstring>
#include <stdexcept>

#include "Driver.h"

namespace driver {

namespace {

// A buffer inside another process, for messages that return data through a pointer.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, SIZE_T size) : m_size(size) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                processId);
        if (!m_process)
            throw std::runtime_error("cannot open the window's process");
        m_memory = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        VirtualFreeEx(m_process, m_memory, 0, MEM_RELEASE);
        CloseHandle(m_process);
    }
    LPARAM Address() const { return reinterpret_cast<LPARAM>(m_memory); }
    void Write(const void* data, SIZE_T size) {
        WriteProcessMemory(m_process, m_memory, data, size, nullptr);
    }
    void Read(void* data, SIZE_T size) const {
        ReadProcessMemory(m_process, m_memory, data, size, nullptr);
    }

private:
    HANDLE m_process = nullptr;
    void* m_memory = nullptr;
    SIZE_T m_size;
};

}  // namespace

std::wstring StatusBarText(HWND bar, int part) {
    const LRESULT length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, part, 0));
    RemoteBuffer buffer(bar, (length + 1) * sizeof(wchar_t));
    SendMessageW(bar, SB_GETTEXTW, part, buffer.Address());
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    buffer.Read(text.data(), text.size() * sizeof(wchar_t));
    text.resize(static_cast<size_t>(length));
    return text;
}

POINT TreeItemCenter(HWND tree, HTREEITEM item) {
    RemoteBuffer buffer(tree, sizeof(RECT));
    RECT bounds{};
    std::memcpy(&bounds, &item, sizeof item);  // TVM_GETITEMRECT takes the item in the rectangle
    buffer.Write(&bounds, sizeof bounds);
    SendMessageW(tree, TVM_GETITEMRECT, TRUE, buffer.Address());
    buffer.Read(&bounds, sizeof bounds);
    POINT center{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
    ClientToScreen(tree, &center);
    return center;
}

void ClickToolButton(HWND toolBar, int id) {
    const LRESULT index = SendMessageW(toolBar, TB_COMMANDTOINDEX, static_cast<WPARAM>(id), 0);
    RemoteBuffer buffer(toolBar, sizeof(RECT));
    SendMessageW(toolBar, TB_GETITEMRECT, static_cast<WPARAM>(index), buffer.Address());
    RECT bounds{};
    buffer.Read(&bounds, sizeof bounds);
    const LPARAM middle =
        MAKELPARAM((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
    PostMessageW(toolBar, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    PostMessageW(toolBar, WM_LBUTTONUP, 0, middle);
}

namespace {

// The window holding the mouse capture in the thread of that window, nullptr when none does.
HWND CaptureIn(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndCapture;
}

void PressLeftButton(bool down) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

// Puts the cursor on the point and waits until it stays there. Under Wine the display server
// echoes a move back as a motion of its own, and the echo can carry the place the cursor came
// from: seen, it is undone at once; a press that followed it would land on the old place.
bool PlaceCursor(POINT point) {
    SetCursorPos(point.x, point.y);
    int stillFor = 0;
    return Eventually([&] {
        POINT cursor{};
        GetCursorPos(&cursor);
        if (cursor.x != point.x || cursor.y != point.y) {
            SetCursorPos(point.x, point.y);
            stillFor = 0;
            return false;
        }
        return ++stillFor >= 10;
    });
}

const char kWrongItem[] = "the button landed on another item";

// One try of the drag; kWrongItem when the press landed elsewhere and was let go harmlessly.
std::string TryDrag(HWND tree, HTREEITEM from, HTREEITEM to) {
    const POINT start = TreeItemCenter(tree, from);
    const POINT end = TreeItemCenter(tree, to);
    if (!PlaceCursor(start))
        return "the cursor never stayed on the dragged item";
    if (!Eventually([&] { return !CaptureIn(tree) && !TreeView_GetDropHilight(tree); }))
        return "an earlier drag never ended";

    // Holding the button on an item, the control captures the mouse to tell a click from a drag;
    // past the drag distance it reports the drag (marking the item it began on), and the program
    // takes the capture for itself and selects the dragged phrase.
    PressLeftButton(true);
    auto letGo = [&](POINT at, const std::string& missed) {
        PlaceCursor(at);
        PressLeftButton(false);
        Eventually([&] { return !CaptureIn(tree); });
        return missed;
    };
    if (!Eventually([&] { return CaptureIn(tree) || TreeView_GetDropHilight(tree); }))
        return letGo(start, "the tree never took the mouse");
    int polls = 0;
    auto towardTarget = [&] {
        if (polls++ % 25 == 0)  // again now and then, should the control have missed the motion
            SetCursorPos(end.x, end.y + polls % 2);
    };
    // The control marks the item once the program has had the report of the drag.
    if (!Eventually([&] {
            towardTarget();
            return TreeView_GetDropHilight(tree) != nullptr;
        }))
        return letGo(end, "the drag never began");
    if (!CaptureIn(tree)) {
        // The program refused the drag (a category): take the control's mark away and let go.
        TreeView_SelectDropTarget(tree, nullptr);
        return letGo(end, kWrongItem);
    }
    if (TreeView_GetSelection(tree) != from) {
        // Another phrase is being dragged: let it go where nothing takes it.
        RECT bounds{};
        GetWindowRect(tree, &bounds);
        PlaceCursor({bounds.left + 2, bounds.top - 2});
        Eventually([&] { return !TreeView_GetDropHilight(tree); });
        return letGo({bounds.left + 2, bounds.top - 2}, kWrongItem);
    }
    if (!Eventually([&] {
            towardTarget();
            return TreeView_GetDropHilight(tree) == to;
        }))
        return letGo(end, "the target was never highlighted");
    PlaceCursor(end);
    if (TreeView_GetDropHilight(tree) != to)
        return letGo(end, "the target lost its highlight");
    PressLeftButton(false);
    if (!Eventually([&] { return !CaptureIn(tree) && !TreeView_GetDropHilight(tree); }))
        return "the drag never ended";
    return {};
}

}  // namespace

std::string DragTreeItem(HWND tree, HTREEITEM from, HTREEITEM to) {
    const HWND window = GetAncestor(tree, GA_ROOT);
    SetForegroundWindow(window);
    Eventually([&] { return GetForegroundWindow() == window; }, 5s);
    std::string missed;
    for (int attempt = 0; attempt < 3; ++attempt) {
        missed = TryDrag(tree, from, to);
        if (missed != kWrongItem)
            break;
    }
    return missed;
}

void DoubleClickTreeItem(HWND tree, HTREEITEM item) {
    POINT point = TreeItemCenter(tree, item);
    PlaceCursor(point);  // the editor finds the item under the message's mouse position
    ScreenToClient(tree, &point);
    const LPARAM at = MAKELPARAM(point.x, point.y);
    PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(tree, WM_LBUTTONUP, 0, at);
    PostMessageW(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(tree, WM_LBUTTONUP, 0, at);
}

}  // namespace driver
