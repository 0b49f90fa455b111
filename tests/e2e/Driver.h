// Drives the real srf_user.exe from another process, as a user would: starts it in a scratch
// directory, finds its windows, clicks, types, answers its message boxes and takes screenshots.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace driver {

using namespace std::chrono_literals;

// Polls condition until it holds or the time is up; true when it held.
template <typename Condition>
bool Eventually(Condition condition, std::chrono::milliseconds timeout = 10s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// A fresh directory under the system's temporary folder, removed with everything in it.
class ScratchDirectory {
public:
    ScratchDirectory();
    // A fresh directory inside parent instead, e.g. on a disk of its own.
    explicit ScratchDirectory(const std::filesystem::path& parent);
    ~ScratchDirectory();
    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

    // Copies srf_user.exe into the directory, so that it becomes the program's data directory.
    std::filesystem::path InstallProgram() const;

private:
    std::filesystem::path m_path;
};

std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);
// GB2312 bytes of a UTF-8 text and back (through code page 936).
std::string Gb(const std::string& utf8);
std::wstring Wide(const std::string& gb2312);

// A running srf_user.exe; killed on destruction if it is still running.
class Program {
public:
    // commandLine follows the program's name, e.g. L"user" or L"install srf_py \"Lumo\"".
    Program(const std::filesystem::path& executable, const std::wstring& arguments,
            const std::filesystem::path& currentDirectory);
    ~Program();

    DWORD Id() const { return m_process.dwProcessId; }
    bool HasExited() const;
    // The exit code, or -1 when the program has not ended within the time.
    long WaitForExit(std::chrono::milliseconds timeout = 20s);
    // Waits until the program processes input without delay (after a command has run).
    void WaitUntilIdle(std::chrono::milliseconds timeout = 10s) const;

private:
    PROCESS_INFORMATION m_process{};
};

// The visible top-level windows of a process.
std::vector<HWND> VisibleWindows(DWORD processId);
// Returns once the window's thread has handled a message sent now: whatever it was doing when the
// message arrived has ended or waits in a modal loop.
void RoundTrip(HWND window, std::chrono::milliseconds timeout = 10s);
// Waits for a visible top-level window of the process with that class name; nullptr on time-out.
HWND WaitForWindow(DWORD processId, const std::wstring& className,
                   std::chrono::milliseconds timeout = 20s);

struct MessageBoxSeen {
    HWND hwnd = nullptr;
    std::wstring caption;
    std::wstring text;
};
// Waits for a message box (or any dialog) of the process and reads its caption and text.
MessageBoxSeen WaitForMessageBox(DWORD processId, std::chrono::milliseconds timeout = 20s);
// Presses a button of a dialog (IDOK, IDCANCEL) as a click would.
void PressDialogButton(HWND dialog, int buttonId);

std::wstring WindowText(HWND hwnd);
HWND FindChild(HWND parent, const std::wstring& className, int index = 0);
// Sends a command to a window as a click on a tool button or menu item with that id does.
void SendCommand(HWND window, int commandId);
// Brings the window's top-level window to the front and waits until its thread has the focus.
void BringToFront(HWND window);
// Presses a key (with modifiers held) through the system's input queue, window brought to the
// front. It returns once the key is queued: wait for its effect, not for time.
void PressKey(HWND window, WORD virtualKey, bool control = false, bool alt = false,
              bool shift = false);

// Saves a PNG of the window as it is on the screen into the build tree's screenshot folder.
std::filesystem::path SaveScreenshot(HWND hwnd, const std::string& name);

}  // namespace driver
