// Start-up as a user meets it: which first arguments open a window and which end at once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "Driver.h"
#include "DriverEditor.h"

using namespace driver;

namespace {

// Runs the program with arguments; true when it showed a window before ending or within a while.
struct Outcome {
    bool showedWindow = false;
    long exitCode = -1;
};

Outcome RunWith(const std::wstring& arguments) {
    ScratchDirectory directory;
    const auto executable = directory.InstallProgram();
    Program program(executable, arguments, directory.Path());
    Outcome outcome;
    const auto end = std::chrono::steady_clock::now() + 15s;
    while (!program.HasExited() && std::chrono::steady_clock::now() < end) {
        if (!VisibleWindows(program.Id()).empty()) {
            outcome.showedWindow = true;
            break;
        }
        std::this_thread::sleep_for(20ms);
    }
    if (!outcome.showedWindow)
        outcome.exitCode = program.WaitForExit(5s);
    return outcome;
}

// The windows of a process that have a button in the task bar: visible, no tool window, and either
// owned by no window or marked as an application window.
std::vector<HWND> TaskBarWindows(DWORD processId) {
    std::vector<HWND> found;
    for (HWND hwnd : VisibleWindows(processId)) {
        const LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
        if (!(exStyle & WS_EX_TOOLWINDOW) &&
            (!GetWindow(hwnd, GW_OWNER) || (exStyle & WS_EX_APPWINDOW)))
            found.push_back(hwnd);
    }
    return found;
}

// The program's one task bar entry carries the application title, choosing it (activating its
// window) brings the main window to the front, and it minimizes and restores the program.
void ExpectOneTaskBarEntryFor(DWORD processId, HWND main) {
    ASSERT_NE(main, nullptr);
    std::vector<HWND> entries;
    EXPECT_TRUE(Eventually([&] { return (entries = TaskBarWindows(processId)).size() == 1; }))
        << entries.size() << " task bar entries";
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(WindowText(entries[0]), L"srf_user");
    HWND elsewhere = CreateWindowExW(0, L"Static", L"elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                     50, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(elsewhere);
    Eventually([&] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        return GetForegroundWindow() == elsewhere;
    });
    SetForegroundWindow(entries[0]);
    EXPECT_TRUE(Eventually([&] { return GetForegroundWindow() == main; }));
    DestroyWindow(elsewhere);
    // Minimizing the main window minimizes the entry; restoring the entry brings the window back.
    PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(Eventually([&] { return IsIconic(entries[0]) && !IsWindowVisible(main); }));
    PostMessageW(entries[0], WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(Eventually([&] { return !IsIconic(entries[0]) && IsWindowVisible(main); }));
}

}  // namespace

TEST(Startup, UserAndHelpModeHaveOneTaskBarEntryCaptionedWithTheTitle) {
    {
        SCOPED_TRACE("user");
        EditorRun editor;
        editor.Start();
        ExpectOneTaskBarEntryFor(editor.program().Id(), editor.Main());
    }
    SCOPED_TRACE("help");
    ScratchDirectory directory;
    Program help(directory.InstallProgram(), L"help", directory.Path());
    ExpectOneTaskBarEntryFor(help.Id(), WaitForWindow(help.Id(), L"TForm_Help_Main"));
}

TEST(Startup, EndsAtOnceWithoutAWindowUnlessTheFirstArgumentIsAModeWord) {
    for (const wchar_t* arguments :
         {L"", L"User", L"user.", L"help2", L"USER", L"Help", L"install.", L"\"\""}) {
        SCOPED_TRACE(testing::Message()
                     << "arguments: " << std::string(arguments, arguments + wcslen(arguments)));
        const Outcome outcome = RunWith(arguments);
        EXPECT_FALSE(outcome.showedWindow);
        EXPECT_EQ(outcome.exitCode, 0);
    }
}

TEST(Startup, ModeWordsOpenTheirWindow) {
    for (const wchar_t* arguments :
         {L"user", L"help", L"\"user\"", L"\"\" user", L"help extra words"}) {
        SCOPED_TRACE(testing::Message()
                     << "arguments: " << std::string(arguments, arguments + wcslen(arguments)));
        EXPECT_TRUE(RunWith(arguments).showedWindow);
    }
}

// The suites run on a Windows whose code page cannot show Chinese, where the Chinese texts they
// read back from the windows prove the Unicode boundary, and again on a Chinese one (code page
// 936).
TEST(Startup, TheSuitesRunOnTheCodePageTheirRunAsksFor) {
    if (const char* expected = std::getenv("SRF_EXPECTED_CODE_PAGE")) {
        EXPECT_EQ(GetACP(), std::strtoul(expected, nullptr, 10));
    } else {
        EXPECT_NE(GetACP(), 936u);
    }
}
