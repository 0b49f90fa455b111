// The rules of a stored text that the editor's commands and the import share.
#include "phrases/PhraseRules.h"

#include <gtest/gtest.h>

#include <string>

namespace phrases {
namespace {

TEST(PhraseRulesTest, TrimsEveryByteUpToBlankAtBothEndsOnly) {
    const struct {
        std::string text;
        std::string trimmed;
    } cases[] = {
        {"", ""},
        {" \t\r\n", ""},
        {std::string("\0\x1F a b\x20\x7F\0", 8), "a b\x20\x7F"},  // 0x7F is no blank
        {"\xB0\xA1 \xB0\xA2", "\xB0\xA1 \xB0\xA2"},               // a blank inside stays
    };
    for (const auto& c : cases)
        EXPECT_EQ(TrimText(c.text), c.trimmed);
}

TEST(PhraseRulesTest, LineBreakingBytesAreCrLfAndNul) {
    EXPECT_TRUE(HasLineBreakingByte("a\rb"));
    EXPECT_TRUE(HasLineBreakingByte("a\nb"));
    EXPECT_TRUE(HasLineBreakingByte(std::string("a\0b", 3)));
    EXPECT_FALSE(HasLineBreakingByte("a\tb\x1F"));
    EXPECT_EQ(kMaxTextBytes, 64u);
}

TEST(PhraseRulesTest, StoredTextCheckNamesTheFirstFault) {
    const struct {
        std::string text;
        TextFault fault;
    } cases[] = {
        {"\xB0\xA1\xB0\xA2 ok", TextFault::None},
        {"a\tb\x01"
         "c",
         TextFault::None},  // ASCII controls inside are characters of GB2312 too
        {"", TextFault::Empty},
        {" \t ", TextFault::Empty},
        {" a", TextFault::Untrimmed},
        {"a\r", TextFault::Untrimmed},
        {"a\nb", TextFault::LineBreak},
        {std::string("a\0b", 3), TextFault::LineBreak},
        {std::string(64, 'x'), TextFault::None},
        {std::string(65, 'x'), TextFault::TooLong},
        {"\x81\x40", TextFault::NotGb2312},  // GBK, not GB2312
        {"a\xB0", TextFault::NotGb2312},     // a lead byte without its trail
        {"\xFF", TextFault::NotGb2312},      // the mark of a character GB2312 cannot hold
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckStoredText(c.text), c.fault) << c.text;
}

}  // namespace
}  // namespace phrases
