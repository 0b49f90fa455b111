#include "phrases/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace phrases {
namespace {

using namespace std::string_literals;

// "中文 a" and a line end, in the program's GB2312.
const std::string kGb = "\xD6\xD0\xCE\xC4 a\r\n";

TEST(TextEncodingTest, DetectsByMarkThenByUtf8Validity) {
    const struct {
        std::string bytes;
        TextEncoding expected;
    } cases[] = {
        {"\xEF\xBB\xBF"
         "abc",
         TextEncoding::Utf8WithBom},
        {"\xFF\xFE"
         "a\0"s,
         TextEncoding::Utf16LE},
        {"\xFE\xFF\0a"s, TextEncoding::Utf16BE},
        {"plain ascii\r\n", TextEncoding::Utf8},
        {"", TextEncoding::Utf8},
        {"中文", TextEncoding::Utf8},
        {kGb, TextEncoding::Gb2312},
        {"\xC0\xAF", TextEncoding::Gb2312},          // overlong
        {"\xED\xA0\x80", TextEncoding::Gb2312},      // a surrogate
        {"\xF4\x90\x80\x80", TextEncoding::Gb2312},  // beyond U+10FFFF
        {"\xE4\xB8", TextEncoding::Gb2312},          // cut short
    };
    for (const auto& c : cases)
        EXPECT_EQ(DetectEncoding(c.bytes), c.expected) << c.bytes;
}

TEST(TextEncodingTest, EveryEncodingGivesTheSameGb2312Bytes) {
    const std::string inputs[] = {
        "\xEF\xBB\xBF"
        "中文 a\r\n",
        "\xFF\xFE\x2D\x4E\x87\x65 \0a\0\r\0\n\0"s,
        "\xFE\xFF\x4E\x2D\x65\x87\0 \0a\0\r\0\n"s,
        "中文 a\r\n",
        kGb,
    };
    for (const std::string& input : inputs) {
        const Gb2312Text text = DecodeToGb2312(input);
        EXPECT_EQ(text.bytes, kGb);
        EXPECT_TRUE(text.unheld.empty());
    }
}

TEST(TextEncodingTest, MarksAndNamesWhatGb2312CannotHold) {
    const struct {
        std::string input;
        std::string bytes;
        char32_t character;
    } cases[] = {
        {"a😀b",
         "a\xFF"
         "b",
         U'\U0001F600'},
        {"\xFF\xFE"
         "a\0\x3D\xD8\x00\xDE"
         "b\0"s,
         "a\xFF"
         "b",
         U'\U0001F600'},  // a surrogate pair
        {"\xFF\xFE"
         "a\0\x00\xDE"
         "b\0"s,
         "a\xFF"
         "b",
         U'\uFFFD'},  // a lone surrogate
        {"a\x81\x40"
         "b",
         "a\xFF"
         "b",
         U'\u4E02'},  // GBK beyond GB2312, named all the same
        {"a\x80"
         "b\xD6",
         "a\xFF"
         "b\xFF",
         U'\uFFFD'},  // bytes that are no character
    };
    for (const auto& c : cases) {
        const Gb2312Text text = DecodeToGb2312(c.input);
        EXPECT_EQ(text.bytes, c.bytes);
        ASSERT_FALSE(text.unheld.empty());
        EXPECT_EQ(text.unheld[0].offset, 1u);
        EXPECT_EQ(text.unheld[0].character, c.character);
        EXPECT_EQ(text.FirstUnheldIn(0, 1), 0u);
        EXPECT_EQ(text.FirstUnheldIn(1, 2), c.character);
    }
}

TEST(TextEncodingTest, ReadsLikeWindowsAndAcceptsGb2312sOwnForms) {
    // Code page 936 reads A1A4 and A1AA as U+00B7 and U+2014; GB2312 itself as U+30FB, U+2015.
    EXPECT_EQ(Gb2312ToUtf8("\xA1\xA4\xA1\xAA"), "\u00B7\u2014");
    EXPECT_EQ(ConvertToGb2312("\u00B7\u30FB\u2014\u2015", TextEncoding::Utf8).bytes,
              "\xA1\xA4\xA1\xA4\xA1\xAA\xA1\xAA");
    EXPECT_EQ(Gb2312ToUtf8("\x81\x40"), "丂");
    EXPECT_EQ(Gb2312ToUtf8("a\x80"
                           "b\xFF\xD6"),
              "a\uFFFD"
              "b\uFFFD\uFFFD");
}

TEST(TextEncodingTest, EveryGb2312CharacterRoundTripsThroughUtf8) {
    int characters = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const auto l = static_cast<unsigned char>(lead), t = static_cast<unsigned char>(trail);
            if (!InGb2312(l, t))
                continue;
            ++characters;
            const std::string code = {static_cast<char>(lead), static_cast<char>(trail)};
            const Gb2312Text back = ConvertToGb2312(Gb2312ToUtf8(code), TextEncoding::Utf8);
            ASSERT_EQ(back.bytes, code) << std::hex << lead << trail;
        }
    }
    EXPECT_EQ(characters, 7445);  // 6,763 hanzi and 682 other characters
}

}  // namespace
}  // namespace phrases
