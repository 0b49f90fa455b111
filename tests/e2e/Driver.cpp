#include "Driver.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "Png.h"

namespace driver {

namespace fs = std::filesystem;

namespace {

fs::path WindowsPath(const std::string& path) {
    // The build passes Unix paths; Wine shows the Unix root as drive Z:.
    if (!path.empty() && path[0] == '/')
        return fs::path("Z:" + path);
    return fs::path(path);
}

std::wstring ClassName(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

}  // namespace

ScratchDirectory::ScratchDirectory() : ScratchDirectory(fs::temp_directory_path()) {}

ScratchDirectory::ScratchDirectory(const fs::path& parent) {
    static int counter = 0;
    m_path = parent /
             ("srf_e2e_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter));
    fs::remove_all(m_path);
    fs::create_directories(m_path);
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(m_path, ignored))
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(m_path, ignored);
}

fs::path ScratchDirectory::InstallProgram() const {
    const fs::path target = m_path / "srf_user.exe";
    fs::copy_file(WindowsPath(SRF_USER_EXE), target, fs::copy_options::overwrite_existing);
    return target;
}

std::string ReadFileBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteFileBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Gb(const std::string& utf8) {
    const int wideLength =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        wideLength);
    const int length =
        WideCharToMultiByte(936, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(936, 0, wide.data(), wideLength, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

std::wstring Wide(const std::string& gb2312) {
    const int length =
        MultiByteToWideChar(936, 0, gb2312.data(), static_cast<int>(gb2312.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(936, 0, gb2312.data(), static_cast<int>(gb2312.size()), wide.data(),
                        length);
    return wide;
}

Program::Program(const fs::path& executable, const std::wstring& arguments,
                 const fs::path& currentDirectory) {
    std::wstring commandLine = L"\"" + executable.wstring() + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // A copy of the program made a moment ago may still be held by Wine's own scan of it for a
    // moment (seen in a fresh prefix as a failed start): try again before giving up.
    DWORD error = 0;
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                           nullptr, currentDirectory.c_str(), &startup, &m_process))
            return;
        error = GetLastError();
        std::this_thread::sleep_for(200ms);
    }
    throw std::runtime_error("cannot start " + executable.string() + " (error " +
                             std::to_string(error) + ")");
}

Program::~Program() {
    if (!HasExited()) {
        TerminateProcess(m_process.hProcess, 99);
        WaitForSingleObject(m_process.hProcess, 5000);
    }
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
}

bool Program::HasExited() const {
    return WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0;
}

long Program::WaitForExit(std::chrono::milliseconds timeout) {
    if (WaitForSingleObject(m_process.hProcess, static_cast<DWORD>(timeout.count())) !=
        WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(m_process.hProcess, &code);
    return static_cast<long>(code);
}

void Program::WaitUntilIdle(std::chrono::milliseconds timeout) const {
    // A window that answers a message has finished the command it was running.
    for (HWND hwnd : VisibleWindows(Id()))
        RoundTrip(hwnd, timeout);
}

void RoundTrip(HWND window, std::chrono::milliseconds timeout) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeout.count()),
                        &ignored);
}

std::vector<HWND> VisibleWindows(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) CALLBACK -> BOOL {
            auto* search = reinterpret_cast<Search*>(lParam);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner == search->processId && IsWindowVisible(hwnd))
                search->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(DWORD processId, const std::wstring& className,
                   std::chrono::milliseconds timeout) {
    HWND found = nullptr;
    Eventually(
        [&] {
            for (HWND hwnd : VisibleWindows(processId))
                if (ClassName(hwnd) == className)
                    found = hwnd;
            return found != nullptr;
        },
        timeout);
    return found;
}

MessageBoxSeen WaitForMessageBox(DWORD processId, std::chrono::milliseconds timeout) {
    MessageBoxSeen seen;
    Eventually(
        [&] {
            for (HWND hwnd : VisibleWindows(processId))
                if (ClassName(hwnd) == L"#32770")
                    seen.hwnd = hwnd;
            return seen.hwnd != nullptr;
        },
        timeout);
    if (!seen.hwnd)
        return seen;
    RoundTrip(seen.hwnd);  // the box has ended its initialisation
    seen.caption = WindowText(seen.hwnd);
    // The message box keeps its text in a static control with id 0xFFFF.
    if (HWND text = GetDlgItem(seen.hwnd, 0xFFFF))
        seen.text = WindowText(text);
    return seen;
}

void PressDialogButton(HWND dialog, int buttonId) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

std::wstring WindowText(HWND hwnd) {
    const auto length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

HWND FindChild(HWND parent, const std::wstring& className, int index) {
    struct Search {
        std::wstring className;
        int index;
        HWND found = nullptr;
    } search{className, index};
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lParam) CALLBACK -> BOOL {
            auto* search = reinterpret_cast<Search*>(lParam);
            if (ClassName(hwnd) == search->className && search->index-- == 0) {
                search->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void SendCommand(HWND window, int commandId) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
}

void BringToFront(HWND window) {
    const HWND root = GetAncestor(window, GA_ROOT);
    SetForegroundWindow(root);
    // Keys go to the window that has the focus when they are queued: wait until it is this one's.
    Eventually(
        [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            GetGUIThreadInfo(GetWindowThreadProcessId(root, nullptr), &info);
            return GetForegroundWindow() == root && info.hwndFocus &&
                   (info.hwndFocus == root || IsChild(root, info.hwndFocus));
        },
        5s);
}

void PressKey(HWND window, WORD virtualKey, bool control, bool alt, bool shift) {
    BringToFront(window);
    std::vector<INPUT> inputs;
    auto key = [&](WORD vk, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (control)
        key(VK_CONTROL, false);
    if (alt)
        key(VK_MENU, false);
    if (shift)
        key(VK_SHIFT, false);
    key(virtualKey, false);
    key(virtualKey, true);
    if (shift)
        key(VK_SHIFT, true);
    if (alt)
        key(VK_MENU, true);
    if (control)
        key(VK_CONTROL, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

namespace {

// The window's pixels as they are on the screen, 32-bit BGRA from the top row down.
std::vector<unsigned char> CapturePixels(const RECT& bounds) {
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, bounds.left, bounds.top, SRCCOPY);
    SelectObject(memory, old);
    const auto* first = static_cast<const unsigned char*>(bits);
    std::vector<unsigned char> pixels(first, first + static_cast<size_t>(width) * height * 4);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

}  // namespace

fs::path SaveScreenshot(HWND hwnd, const std::string& name) {
    // Paint what is pending, then read the screen until two reads agree: the picture has settled.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RoundTrip(hwnd);
    RECT bounds{};
    GetWindowRect(hwnd, &bounds);
    std::vector<unsigned char> pixels = CapturePixels(bounds);
    Eventually(
        [&] {
            std::vector<unsigned char> again = CapturePixels(bounds);
            std::swap(again, pixels);
            return again == pixels;
        },
        3s);
    const fs::path folder = WindowsPath(SRF_SCREENSHOT_DIR);
    fs::create_directories(folder);
    const fs::path file = folder / (name + ".png");
    WritePng(file, bounds.right - bounds.left, bounds.bottom - bounds.top, pixels.data());
    return file;
}

}  // namespace driver
