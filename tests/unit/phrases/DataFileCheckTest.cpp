// The data files' checks: another encoding than GB2312, bytes after a NUL, the conversion to
// GB2312, an incomplete character table.
#include "phrases/DataFileCheck.h"

#include <gtest/gtest.h>

#include "phrases/CharacterTable.h"
#include "phrases/TableBytes.h"

namespace phrases {
namespace {

TEST(DataFileCheckTest, TellsOtherEncodingsAndBytesAfterANul) {
    struct Case {
        std::string bytes;
        TreeFileForm form;
        std::optional<std::size_t> nul;
        std::size_t after = 0;
    };
    const Case cases[] = {
        {"A\r\n\t\xC4\xE3\xBA\xC3\r\n", TreeFileForm::Gb2312, {}},
        {"ascii only\r\n", TreeFileForm::Gb2312, {}},
        // GB2312 whose bytes are valid UTF-8 as well (隆) stays GB2312.
        {"\xC2\xA1\xC2\xA2\r\n\t\xC2\xA1\xC2\xA3", TreeFileForm::Gb2312, {}},
        {"\xEF\xBB\xBF"
         "A\r\n",
         TreeFileForm::Utf8,
         {}},
        {"A\r\n\t\xE4\xBD\xA0\xE5\xA5\xBD\r\n", TreeFileForm::Utf8, {}},  // 你好, no mark
        {std::string("\xFF\xFE"
                     "A\0\r\0\n\0",
                     8),
         TreeFileForm::Utf16,
         {}},
        {std::string("A\r\n\tx\0\0\0", 8), TreeFileForm::Gb2312, {}},  // NUL padding only
        {std::string("A\r\n\tx\0\0\tlost\r\n", 14), TreeFileForm::Gb2312, 5, 8},
    };
    for (const Case& c : cases) {
        const TreeFileCheck check = CheckTreeFile(c.bytes);
        EXPECT_EQ(check.form, c.form) << c.bytes;
        EXPECT_EQ(check.strayNul, c.nul) << c.bytes;
        EXPECT_EQ(check.bytesAfterNul, c.after) << c.bytes;
    }
}

TEST(DataFileCheckTest, ConversionLeavesOutAndListsWhatGb2312Lacks) {
    // 地址 / 北京, 한국 / 你好 in UTF-8 with a mark: the Korean characters go, by line.
    const ConvertedTreeFile converted = ConvertTreeFile(
        "\xEF\xBB\xBF\xE5\x9C\xB0\xE5\x9D\x80\r\n\t\xE5\x8C\x97\xE4\xBA\xAC\r\n"
        "\t\xED\x95\x9C\xEA\xB5\xAD\xE4\xBD\xA0\r\n");
    EXPECT_EQ(converted.bytes, "\xB5\xD8\xD6\xB7\r\n\t\xB1\xB1\xBE\xA9\r\n\t\xC4\xE3\r\n");
    ASSERT_EQ(converted.dropped.size(), 2u);
    EXPECT_EQ(converted.dropped[0].line, 3);
    EXPECT_EQ(converted.dropped[0].character, U'\uD55C');
    EXPECT_EQ(converted.dropped[1].character, U'\uAD6D');
    EXPECT_EQ(converted.dropped[1].lineUtf8, "\t\xED\x95\x9C\xEA\xB5\xAD\xE4\xBD\xA0");
}

TEST(DataFileCheckTest, ATableThatEndsBeforeItsCountIsShort) {
    const std::string whole = testing::TableBytes({"\xB0\xA1", "\xB0\xA2", "\xB0\xA3", "\xB0\xA4"});
    struct Case {
        std::string bytes;
        bool isShort;
        std::optional<int> declared;
    };
    const Case cases[] = {
        {whole, false, 4},
        {"", true, std::nullopt},
        {whole.substr(0, 7), true, 4},
        {whole.substr(0, whole.size() / 2), true, 4},
    };
    for (const Case& c : cases) {
        CharacterTable table;
        table.LoadFromBytes(c.bytes);
        EXPECT_EQ(table.IsShort(), c.isShort) << c.bytes.size();
        EXPECT_EQ(table.DeclaredCount(), c.declared) << c.bytes.size();
    }
    EXPECT_FALSE(CharacterTable().IsShort());  // never loaded: nothing is missing
}

}  // namespace
}  // namespace phrases
