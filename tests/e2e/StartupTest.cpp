// Start-up as a user meets it: which first arguments open a window and which end at once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "Driver.h"

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

}  // namespace

TEST(Startup, EndsAtOnceWithoutAWindowUnlessTheFirstArgumentIsAModeWord) {
    for (const wchar_t* arguments : {L"", L"User", L"user.", L"help2", L"USER", L"Help", L"install.", L"\"\""}) {
        SCOPED_TRACE(testing::Message() << "arguments: " << std::string(arguments, arguments + wcslen(arguments)));
        const Outcome outcome = RunWith(arguments);
        EXPECT_FALSE(outcome.showedWindow);
        EXPECT_EQ(outcome.exitCode, 0);
    }
}

TEST(Startup, ModeWordsOpenTheirWindow) {
    for (const wchar_t* arguments : {L"user", L"help", L"\"user\"", L"\"\" user", L"help extra words"}) {
        SCOPED_TRACE(testing::Message() << "arguments: " << std::string(arguments, arguments + wcslen(arguments)));
        EXPECT_TRUE(RunWith(arguments).showedWindow);
    }
}

// The suites run on a Windows whose code page cannot show Chinese, where the Chinese texts they read
// back from the windows prove the Unicode boundary, and again on a Chinese one (code page 936).
TEST(Startup, TheSuitesRunOnTheCodePageTheirRunAsksFor) {
    if (const char* expected = std::getenv("SRF_EXPECTED_CODE_PAGE")) {
        EXPECT_EQ(GetACP(), std::strtoul(expected, nullptr, 10));
    } else {
        EXPECT_NE(GetACP(), 936u);
    }
}
