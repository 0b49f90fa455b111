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

}  // namespace
}  // namespace phrases
