// The input box's geometry in dialog units and its 255-byte limit on GB2312 text.
#include "app/PromptLayout.h"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(PromptLayout, BaseUnitsDropTheRemainder) {
    EXPECT_EQ(BaseUnitsFromText(311, 13).x, 5);  // 5.98 -> 5
    EXPECT_EQ(BaseUnitsFromText(312, 13).x, 6);
    EXPECT_EQ(BaseUnitsFromText(312, 13).y, 13);
}

TEST(PromptLayout, UnitsRoundToTheNearestPixelHalvesAwayFromZero) {
    const DialogBaseUnits base{7, 13};
    struct Case {
        int units;
        int across;
        int down;
    };
    for (const Case& c :
         {Case{0, 0, 0}, Case{2, 4, 3} /* 3.5, 3.25 */, Case{38, 67, 62} /* 66.5, 61.75 */,
          Case{4, 7, 7} /* 6.5 */, Case{-2, -4, -3}}) {
        SCOPED_TRACE(c.units);
        EXPECT_EQ(HorizontalPixels(c.units, base), c.across);
        EXPECT_EQ(VerticalPixels(c.units, base), c.down);
    }
}

TEST(PromptLayout, TheBoxForSixByThirteen) {
    const PromptGeometry geometry = LayOutPrompt({6, 13}, 40, 13, 21);
    EXPECT_EQ(geometry.clientWidth, 270);
    EXPECT_EQ(geometry.clientHeight, 102);  // 63 * 13 / 8 = 102.375
    EXPECT_EQ(geometry.prompt, (PixelRect{12, 13, 40, 13}));
    EXPECT_EQ(geometry.edit, (PixelRect{12, 31, 246, 21}));  // 19 * 13 / 8 = 30.875
    EXPECT_EQ(geometry.ok, (PixelRect{57, 67, 75, 23}));     // 41 * 13 / 8 = 66.625; 14 -> 22.75
    EXPECT_EQ(geometry.cancel, (PixelRect{138, 67, 75, 23}));
}

TEST(PromptLayout, ALongPromptWidensTheBoxKeepingTheButtonsInTheMiddle) {
    const PromptGeometry geometry = LayOutPrompt({6, 13}, 300, 13, 21);
    EXPECT_EQ(geometry.clientWidth, 324);  // 12 + 300 + 12, not 270
    EXPECT_EQ(geometry.prompt, (PixelRect{12, 13, 300, 13}));
    EXPECT_EQ(geometry.edit, (PixelRect{12, 31, 300, 21}));
    EXPECT_EQ(geometry.ok, (PixelRect{84, 67, 75, 23}));  // 57 + 54 / 2
    EXPECT_EQ(geometry.cancel, (PixelRect{165, 67, 75, 23}));
}

const std::string kHan = "\xB0\xA1";  // Chinese characters, two bytes each
const std::string kHan2 = "\xB0\xA2";
const std::string kHan3 = "\xB0\xA3";

std::string Repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

TEST(PromptLayout, TextWithinTheLimitStands) {
    struct Case {
        std::string before, after;
    };
    for (const Case& c :
         {Case{"", std::string(255, 'a')}, Case{"", Repeat(kHan, 127) + "a"},
          Case{std::string(300, 'a'), std::string(299, 'a')} /* deleting from too long */}) {
        const LimitedText limited = LimitInsertion(c.before, c.after);
        EXPECT_EQ(limited.text, c.after);
        EXPECT_EQ(limited.caret, c.after.size());
    }
}

TEST(PromptLayout, TypingOverTheLimitIsCutToWholeCharacters) {
    struct Case {
        std::string before, after, expected;
        std::size_t caret;
    };
    const std::string full = std::string(254, 'a');
    const std::vector<Case> cases = {
        {std::string(255, 'a'), std::string(256, 'a'), std::string(255, 'a'), 255},
        {full, full + kHan, full, 254},                  // a Chinese character needs two bytes
        {full, full + "b" + kHan, full + "b", 255},      // pasted: the part that fits stays
        {"x" + full, "x" + kHan + full, "x" + full, 1},  // typed at the start: nothing fits
        {Repeat(kHan, 60) + Repeat(kHan2, 60),
         Repeat(kHan, 60) + Repeat(kHan3, 20) + Repeat(kHan2, 60),
         Repeat(kHan, 60) + Repeat(kHan3, 7) + Repeat(kHan2, 60), 134},  // pasted in the middle
        {"ab", "a" + Repeat(kHan, 200), "a" + Repeat(kHan, 127), 255},   // a selection replaced
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after.size());
        const LimitedText limited = LimitInsertion(c.before, c.after);
        EXPECT_EQ(limited.text, c.expected);
        EXPECT_EQ(limited.caret, c.caret);
        EXPECT_LE(limited.text.size(), 255u);
    }
}

}  // namespace
}  // namespace app
