// The program as a whole: its title, its invisible owner window, the main window and the end request.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/BaseWindow_win.h"
#include "platform/Path.h"

namespace app {

// The data directory of an executable at modulePath, with its trailing backslash. A path that code
// page 936 holds is cut by the double-byte rule on its GB2312 bytes (see AppPaths.h); any other is
// cut after its last "\" or ":" as UTF-16, where no character hides a separator.
platform::Path DataDirectoryOf(const std::wstring& modulePath);

class Application {
public:
    static Application& Instance();

    // The executable's full path as the system reports it, in GB2312 bytes (for the title and
    // the last-resort box; files are reached through DataDirectory).
    std::string ExecutablePath() const;
    // The executable's directory with its trailing backslash; computed afresh at every call.
    platform::Path DataDirectory() const;
    const std::string& Title() const { return m_title; }
    // The hidden window that owns the program's message boxes.
    HWND OwnerWindow() const { return m_owner; }

    void CreateOwnerWindow();
    void SetMainWindow(std::unique_ptr<BaseWindow> window) { m_mainWindow = std::move(window); }
    BaseWindow* MainWindow() const { return m_mainWindow.get(); }

    // Ends the event loop at its next turn; a request made before the loop starts ends it at once.
    void RequestEnd();
    // Runs work that must end the program whatever happens (install mode's creation handler). An
    // error is shown in the error box first and the end is requested once the box is answered:
    // the box's own message loop would otherwise take the quit message and close at once.
    void RunThenEnd(const std::function<void()>& work);
    // Shows the main window (unless an end was requested), runs its show handler and the event loop.
    void Run();

private:
    std::string m_title;
    HWND m_owner = nullptr;
    std::unique_ptr<BaseWindow> m_mainWindow;
    bool m_endRequested = false;
};

}  // namespace app
