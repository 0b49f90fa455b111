// Export to other input methods' dictionaries: every format reads back through this program's
// own import with the same phrases in the same order; each line as its target writes it; what a
// target leaves out and why.
#include "pinyin/DictionaryExport.h"

#include <gtest/gtest.h>

#include "phrases/CharacterTable.h"
#include "phrases/TreeFile.h"
#include "phrases/ZipArchive.h"

namespace pinyin {
namespace {

using phrases::SourceFormat;

std::string Gb(std::string_view utf8) {
    return phrases::ConvertToGb2312(utf8, phrases::TextEncoding::Utf8).bytes;
}

// 常用 [你好 银行 会计 卡拉OK] 地名 [北京 长城 重庆]
void BuildTree(phrases::TTreeNodes& tree) {
    phrases::ParseTree(tree, Gb("常用\r\n\t你好\r\n\t银行\r\n\t会计\r\n\t卡拉OK\r\n"
                                "地名\r\n\t北京\r\n\t长城\r\n\t重庆\r\n"));
}

TEST(DictionaryExportTest, EveryFormatReadsBackWithTheSamePhrasesInTheSameOrder) {
    phrases::TTreeNodes tree;
    BuildTree(tree);
    const phrases::CharacterTable table;
    for (const ExportFormatInfo& info : ExportFormats()) {
        const DictionaryExportPlan plan = PlanDictionaryExport(tree, info.format);
        EXPECT_EQ(plan.leftOut, 0) << info.name;
        const ExportFile file = WriteDictionary(plan);
        EXPECT_TRUE(file.name.ends_with(info.extension)) << info.name;

        const phrases::ImportSource source = phrases::ReadImportSource(file.bytes, file.name);
        EXPECT_EQ(source.format, info.format) << info.name;  // recognised by its content
        phrases::TTreeNodes empty;
        const phrases::ImportPlan imported = phrases::PlanSourceImport(empty, source, table, "x");
        std::vector<std::string> read, written;
        for (const phrases::ImportLine& line : imported.lines)
            if (!line.isCategory)
                read.push_back(line.text);
        for (const ExportEntry& entry : plan.entries)
            written.push_back(entry.phrase);
        EXPECT_EQ(read, written) << info.name;
        EXPECT_EQ(written.size(), 7u) << info.name;
    }
}

TEST(DictionaryExportTest, WritesEachLineAsItsTargetDoes) {
    phrases::TTreeNodes tree;
    BuildTree(tree);
    const auto utf16 = [](std::string_view utf8) {
        std::string out;
        for (const char32_t c : std::u32string(utf8.begin(), utf8.end()))
            out += {static_cast<char>(c), '\0'};
        return out;
    };
    const struct {
        SourceFormat format;
        std::string expected;  // a part of the file, in its own encoding
    } cases[] = {
        {SourceFormat::Rime,
         "---\nname: srf_phrases\nversion: \"1.0\"\nsort: by_weight\n...\n"
         "\n# 分类：常用\n你好\tni hao\t7\n银行\tyin hang\t6\n"},
        {SourceFormat::Rime, "卡拉OK\tka la o k\t4\n\n# 分类：地名\n"},
        {SourceFormat::MicrosoftIme,
         "\xFF\xFE" + utf16("!Microsoft IME Dictionary Tool\r\nnihao\t")},
        {SourceFormat::CustomPhrases, "; 分类：常用\nnihao,1=你好\nyinhang,1=银行\n"},
        {SourceFormat::QqPhrases, Gb("kuaiji=1,会计\r\nkalaok=1,卡拉OK\r\n")},
        {SourceFormat::PinyinText, Gb("'chong'qing 重庆\r\n")},
        {SourceFormat::MicrosoftPinyin,
         std::string("mschxudp\x02\x00\x60\x00\x01\x00\x00\x00\x40\x00\x00\x00\x5C", 17)},
        {SourceFormat::MicrosoftPinyin,
         std::string("\x10\x00\x10\x00\x1C\x00\x01\x06", 8) + std::string(8, '\0') +
             utf16("nihao") + std::string(2, '\0') + "\x60\x4F\x7D\x59" + std::string(2, '\0')},
    };
    for (const auto& c : cases) {
        const std::string bytes = WriteDictionary(PlanDictionaryExport(tree, c.format)).bytes;
        EXPECT_NE(bytes.find(c.expected), std::string::npos) << static_cast<int>(c.format);
    }
    const std::string zip = WriteDictionary(PlanDictionaryExport(tree, SourceFormat::Gboard)).bytes;
    EXPECT_EQ(phrases::ReadZipEntry(zip, "dictionary.txt")->substr(0, 49),
              "# Gboard Dictionary version:1\nnihao\t你好\tzh-CN\n");
}

TEST(DictionaryExportTest, ListsWhatEachTargetLeavesOutAndWhy) {
    phrases::TTreeNodes tree;
    phrases::ParseTree(tree, Gb("甲\r\n\t3D电影\r\n\t#标签\r\n\t你 好\r\n\thello\r\n\t还长\r\n"
                                "\t庄庄庄庄庄庄庄庄\r\n乙\r\n\t北京\r\n"));
    const phrases::TTreeNode* second = tree.FirstRoot()->NextSibling();
    const struct {
        SourceFormat format;
        bool leaveOutUncertain;
        const char* notes;  // phrase:reason(! when left out), reasons numbered as ExportReason
    } cases[] = {
        {SourceFormat::Rime, false, "3D电影:0! #标签:4! 你 好:0! 还长:1"},
        {SourceFormat::Rime, true, "3D电影:0! #标签:4! 你 好:0! 还长:1!"},
        {SourceFormat::PinyinText, false, "3D电影:0! #标签:0! 你 好:4! hello:6! 还长:1"},
        {SourceFormat::MicrosoftPinyin, false,
         "3D电影:0! #标签:0! 你 好:0! 还长:1 庄庄庄庄庄庄庄庄:2!"},
        {SourceFormat::CustomPhrases, false, "3D电影:0! #标签:4! 你 好:0! 还长:1"},
    };
    for (const auto& c : cases) {
        ExportOptions options;
        options.leaveOutUncertain = c.leaveOutUncertain;
        const DictionaryExportPlan plan = PlanDictionaryExport(tree, c.format, options);
        std::string notes;
        for (const ExportNote& note : plan.notes)
            notes += (notes.empty() ? "" : " ") + phrases::Gb2312ToUtf8(note.phrase) + ":" +
                     std::to_string(static_cast<int>(note.reason)) + (note.leftOut ? "!" : "");
        EXPECT_EQ(notes, c.notes) << static_cast<int>(c.format);
        EXPECT_EQ(plan.entries.size() + static_cast<std::size_t>(plan.leftOut), 7u);
    }
    ExportOptions one;
    one.category = second;
    EXPECT_EQ(PlanDictionaryExport(tree, SourceFormat::Rime, one).entries.size(), 1u);
    EXPECT_EQ(phrases::Gb2312ToUtf8(
                  PlanDictionaryExport(tree, SourceFormat::MicrosoftPinyin).notes.back().Text()),
              "庄庄庄庄庄庄庄庄（甲）: 拼音太长, 目标输入法最多 32 个字母");
}

}  // namespace
}  // namespace pinyin
