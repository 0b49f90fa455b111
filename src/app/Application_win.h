// The program as a whole: its title, its invisible owner window, the main window and the end
// request.
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
    // The program's own window: captioned with the title, it stands for the program in the task bar
    // (shown at no size while the main window is) and owns the main window and the message boxes,
    // which so have no task bar entry of their own. Activating it activates the main window.
    HWND OwnerWindow() const { return m_owner; }

    void CreateOwnerWindow();
    // Minimizes the program as a whole (its task bar entry; the main window hides with it) and
    // returns true; false while the owner window is not shown.
    bool Minimize();
    void SetMainWindow(std::unique_ptr<BaseWindow> window) { m_mainWindow = std::move(window); }
    BaseWindow* MainWindow() const { return m_mainWindow.get(); }

    // Ends the event loop at its next turn; a request made before the loop starts ends it at once.
    void RequestEnd();
    // Runs work that must end the program whatever happens (install mode's creation handler). An
    // error is shown in the error box first and the end is requested once the box is answered:
    // the box's own message loop would otherwise take the quit message and close at once.
    void RunThenEnd(const std::function<void()>& work);
    // Shows the main window (unless an end was requested), runs its show handler and the event
    // loop.
    void Run();

private:
    static LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void ActivateMainWindow();

    std::string m_title;
    HWND m_owner = nullptr;
    std::unique_ptr<BaseWindow> m_mainWindow;
    bool m_endRequested = false;
    bool m_minimized = false;
};

}  // namespace app
