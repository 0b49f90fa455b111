#include "DriverMouse.h"

#include <cstring>
#include <stdexcept>
#include <thread>

namespace driver {

namespace {

// A buffer inside another process, for messages that return data through a pointer.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, SIZE_T size) : m_size(size) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (!m_process)
            throw std::runtime_error("cannot open the window's process");
        m_memory = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        VirtualFreeEx(m_process, m_memory, 0, MEM_RELEASE);
        CloseHandle(m_process);
    }
    LPARAM Address() const { return reinterpret_cast<LPARAM>(m_memory); }
    void Write(const void* data, SIZE_T size) { WriteProcessMemory(m_process, m_memory, data, size, nullptr); }
    void Read(void* data, SIZE_T size) const { ReadProcessMemory(m_process, m_memory, data, size, nullptr); }

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

void DragMouse(POINT from, POINT to) {
    auto send = [](DWORD flags) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        SendInput(1, &input, sizeof input);
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
    };
    // The window under the cursor must be in front, and a busy machine needs time between the
    // steps for the control to see the button held before it sees the motion.
    if (HWND window = WindowFromPoint(from))
        SetForegroundWindow(GetAncestor(window, GA_ROOT));
    SetCursorPos(from.x, from.y);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    send(MOUSEEVENTF_LEFTDOWN);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    constexpr int kSteps = 10;
    for (int step = 1; step <= kSteps; ++step) {
        SetCursorPos(from.x + (to.x - from.x) * step / kSteps, from.y + (to.y - from.y) * step / kSteps);
        send(MOUSEEVENTF_MOVE);
    }
    send(MOUSEEVENTF_LEFTUP);
}

}  // namespace driver
