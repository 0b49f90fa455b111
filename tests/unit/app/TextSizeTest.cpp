// The user's text size from the message font, and the DPI that text-bearing sizes take.
#include "app/TextSize.h"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(TextSize, TheMessageFontAgainstNinePoints) {
    struct Case {
        int height;
        unsigned dpi;
        int percent;
    };
    for (const Case& c :
         {Case{-12, 96, 100}, Case{-18, 96, 150}, Case{18, 96, 150}, Case{-27, 144, 150},
          Case{-24, 192, 100}, Case{-13, 96, 108}, Case{-11, 96, 100} /* Wine's 8 points */,
          Case{0, 96, 100}, Case{-200, 96, 400}}) {
        EXPECT_EQ(TextScalePercent(c.height, c.dpi), c.percent) << c.height << " at " << c.dpi;
    }
}

TEST(TextSize, TextDpiIsTheMonitorsEnlarged) {
    EXPECT_EQ(TextDpi(96, 100), 96u);
    EXPECT_EQ(TextDpi(96, 150), 144u);
    EXPECT_EQ(TextDpi(192, 150), 288u);
    EXPECT_EQ(TextDpi(120, 108), 130u);  // 129.6
}

}  // namespace
}  // namespace app
