#include "app/CommandLine.h"

#include <gtest/gtest.h>

using app::CommandLineArgument;
using app::Mode;
using app::ModeFromArgument;

namespace {

struct SplitCase {
    const char* line;
    int index;
    const char* expected;
};

class CommandLineSplitting : public testing::TestWithParam<SplitCase> {};

TEST_P(CommandLineSplitting, YieldsTheArgument) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(CommandLineArgument(c.line, c.index), c.expected) << "line: " << c.line;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineSplitting,
    testing::Values(
        SplitCase{"srf_user.exe user", 1, "user"}, SplitCase{"  srf_user.exe\t\tuser  ", 1, "user"},
        SplitCase{"srf_user.exe", 1, ""}, SplitCase{"", 0, ""},
        SplitCase{"srf_user.exe help", 5, ""},
        SplitCase{"\"C:\\Program Files\\srf_user.exe\" user", 0, "C:\\Program Files\\srf_user.exe"},
        SplitCase{"\"C:\\Program Files\\srf_user.exe\" user", 1, "user"},
        SplitCase{"srf_user.exe \"user\"", 1, "user"},
        SplitCase{"srf_user.exe \"\" user", 1, "user"},
        SplitCase{"srf_user.exe \"\"\"\"  user", 1, "user"},
        SplitCase{"srf_user.exe install a\"b c\"d e", 2, "ab cd"},
        SplitCase{"srf_user.exe install a\"b c\"d e", 3, "e"},
        SplitCase{"srf_user.exe install \"open to the end", 2, "open to the end"},
        SplitCase{"srf_user.exe install srf_py \"\xC2\xB7\xC4\xA3\" zy", 3, "\xC2\xB7\xC4\xA3"},
        SplitCase{"srf_user.exe install srf_py \xCA\xE4\xC8\xEB\xB7\xA8", 3,
                  "\xCA\xE4\xC8\xEB\xB7\xA8"},
        SplitCase{"srf_user.exe\x01user\x1F"
                  "x",
                  2, "x"}));

TEST(ModeWord, MatchesOnlyTheExactWord) {
    EXPECT_EQ(ModeFromArgument("install"), Mode::Install);
    EXPECT_EQ(ModeFromArgument("help"), Mode::Help);
    EXPECT_EQ(ModeFromArgument("user"), Mode::User);
    for (const char* other :
         {"", "User", "USER", "Help", "user.", "help2", "install ", " user", "users"})
        EXPECT_EQ(ModeFromArgument(other), Mode::None) << other;
}

}  // namespace
