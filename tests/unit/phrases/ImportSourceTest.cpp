#include "phrases/ImportSource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "DictionaryTexts.h"
#include "phrases/DictionaryBytes.h"
#include "phrases/PhraseExport.h"
#include "phrases/PhraseRules.h"
#include "phrases/TableBytes.h"
#include "phrases/TreeDump.h"
#include "phrases/TreeFile.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"

namespace phrases {
namespace {

using namespace std::string_literals;
using namespace testing::dictionary;

std::string Gb(std::string_view utf8) { return ConvertToGb2312(utf8, TextEncoding::Utf8).bytes; }

// The words a file is read into, as UTF-8.
std::vector<std::string> Words(const ImportSource& source) {
    std::vector<std::string> words;
    std::string_view bytes = source.text.bytes;
    while (!bytes.empty()) {
        const auto end = bytes.find('\n');
        words.push_back(Gb2312ToUtf8(bytes.substr(0, end)));
        bytes.remove_prefix(end + 1);
    }
    return words;
}

ImportSource Read(const std::string& bytes) { return ReadImportSource(bytes, "dict.txt"); }

TEST(ImportSourceTest, DetectsEachFormatByItsContent) {
    const struct {
        std::string file;
        SourceFormat expected;
    } cases[] = {
        {"# Rime dictionary\n\n---\nname: t\n...\n你好\tni hao\t1\n", SourceFormat::Rime},
        // A Rime header wins over entries that look like another form.
        {"---\nname: t\n...\nab,1=你好\n", SourceFormat::Rime},
        {"# Rime user dictionary\n#@/db_name\tt.userdb\nni hao \t你好\tc=1 d=1 t=1\n",
         SourceFormat::RimeUserDb},
        {"\xFF\xFE" + Utf16(u"!Microsoft IME Dictionary Tool\r\nnihao\t你好\t名词\r\n"),
         SourceFormat::MicrosoftIme},
        {"nihao\t你好\t名詞\t\nbeijing\t北京\t地名\tcomment\n", SourceFormat::MicrosoftIme},
        {"# c\n; c\nnh,1=你好\nbj,2=北京\\\n第二行\n", SourceFormat::CustomPhrases},
        {"nh=1,你好\r\nbj=2,北京\r\n", SourceFormat::QqPhrases},
        {Gb("'ni'hao 你好\r\n'bei'jing 北京\r\n"), SourceFormat::PinyinText},
        {"\xFF\xFE" + Utf16(u"ni'hao 你好 5\r\n"), SourceFormat::PinyinText},
        {Scel(u"x", {}), SourceFormat::Scel},
        {MsPinyin({}), SourceFormat::MicrosoftPinyin},
        // Plain lines stay the fallback, also when one line is off a dictionary's form.
        {"你好\n北京\n", SourceFormat::PlainLines},
        {"nh,1=你好\n随便\n", SourceFormat::PlainLines},
        {"nihao\t你好\n", SourceFormat::PlainLines},
        {"分类\n\t你好\n", SourceFormat::Indented},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DetectSourceFormat(c.file), c.expected) << c.file;
}

TEST(ImportSourceTest, TextReadersTakeTheWordsOnly) {
    const struct {
        std::string file;
        std::vector<std::string> words;
        std::string name;
        int continued = 0;
    } cases[] = {
        {"---\nname: \"pinyin_x\"  # the name\nversion: 1\n...\n# comment\n你好\tni hao\t9\n\n北京\n",
         {"你好", "北京"},
         "pinyin_x",
         0},
        // The columns of the header say where the text stands.
        {"---\nname: c\ncolumns: [code, text]\n...\nni\t你们\n", {"你们"}, "c", 0},
        {"---\nname: b\ncolumns:\n  - code\n  - text\n...\nni\t你们\n", {"你们"}, "b", 0},
        {"#@/db_name\tx\n#@/tick\t5\nni hao \t你好\tc=3 d=1 t=2\n", {"你好"}, "", 0},
        {"!Microsoft IME Dictionary Tool\n!Version:1\nnihao\t你好\t名词\t\n", {"你好"}, "", 0},
        // A continued custom phrase gives its first line and is counted.
        {"# x\nnh,1=你好\nbj,1=北京\\\n上海\\\n天津\nzz,2=再见\n", {"你好", "北京", "再见"}, "", 1},
        {"; x\nnh=1,你好\nzj=2,再见\n", {"你好", "再见"}, "", 0},
        {Gb("'ni'hao 你好\n'bei'jing 北京\n"), {"你好", "北京"}, "", 0},
        {"ni'hao 你好 12\n", {"你好"}, "", 0},
    };
    for (const auto& c : cases) {
        const ImportSource source = Read(c.file);
        EXPECT_EQ(Words(source), c.words) << c.file;
        EXPECT_EQ(source.name, c.name) << c.file;
        EXPECT_EQ(source.continued, c.continued) << c.file;
    }
}

TEST(ImportSourceTest, DictionaryWordsFollowTheImportRulesAndSkipSingleCharacters) {
    TTreeNodes tree;
    ParseTree(tree, Gb("常用\r\n\t你好\r\n"));
    CharacterTable table;
    table.LoadFromBytes(testing::TableBytes({Gb("北"), Gb("京")}));
    const std::string file =
        "---\nname: t\n...\n你\tni\n 北京 \tbei jing\n你好\tni hao\n"
        "北京\tbj\n😀好\tx\n" +
        std::string(66, 'a') + "\n上海\tsh\n";
    const ImportSource source = Read(file);
    const ImportPlan plan = PlanSourceImport(tree, source, table, Gb("新"));
    EXPECT_EQ(plan.summary.added, 2);
    EXPECT_EQ(plan.summary.singleCharacters, 1);
    EXPECT_EQ(plan.summary.existing, 2);  // in the tree, and earlier in the file
    EXPECT_EQ(plan.summary.notGb2312, 1);
    EXPECT_EQ(plan.summary.tooLong, 1);
    EXPECT_EQ(plan.summary.leftOutOfCompile, 1);  // 上海: not in the table
    EXPECT_EQ(plan.lines.front().line, 4);        // numbered as in the file
    EXPECT_EQ(ImportLineReason(plan.lines.front()), texts::kReasonSingleCharacter);

    const std::string summary = FormatSourceSummary(source, plan);
    EXPECT_TRUE(summary.starts_with(platform::Format(texts::kSummaryFormat, texts::kFormatRime)));
    EXPECT_NE(summary.find("1"), std::string::npos);
    ApplyImport(tree, plan);
    EXPECT_EQ(Gb2312ToUtf8(testing::Dump(tree)), "常用[你好] 新[北京 上海]");
}

TEST(ImportSourceTest, ReadsScelWordsAndName) {
    const std::string file = Scel(u"网络流行语", {{u"你好", u"拟好"}, {u"北京"}, {u"啊"}});
    const ImportSource source = Read(file);
    EXPECT_EQ(source.format, SourceFormat::Scel);
    EXPECT_EQ(Gb2312ToUtf8(source.name), "网络流行语");
    EXPECT_EQ(Words(source), (std::vector<std::string>{"你好", "拟好", "北京", "啊"}));
    EXPECT_EQ(source.wordLines, (std::vector<int>{1, 2, 3, 4}));
    // A closing block of deleted words ends the word table.
    EXPECT_EQ(Words(Read(file + Utf16(u"DELTBL") + U16(1))).size(), 4u);
    EXPECT_EQ(DictionaryCategoryName(source, "C:\\x\\y.scel"), source.name);
}

TEST(ImportSourceTest, ReadsMicrosoftPinyinPhrases) {
    const ImportSource source = Read(MsPinyin({{u"nh", u"你好"}, {u"bj", u"北京"}}));
    EXPECT_EQ(source.format, SourceFormat::MicrosoftPinyin);
    EXPECT_EQ(Words(source), (std::vector<std::string>{"你好", "北京"}));
    EXPECT_EQ(DictionaryCategoryName(source, Gb("dir/我的短语.dat")), Gb("我的短语"));
}

TEST(ImportSourceTest, RefusesDamagedBinaryFiles) {
    const std::string scel = Scel(u"x", {{u"你好", u"北京"}});
    const std::string ms = MsPinyin({{u"nh", u"你好"}, {u"bj", u"北京"}});
    std::vector<std::string> damaged = {
        scel.substr(0, 0x2000),           // ends before the word table
        scel.substr(0, scel.size() - 3),  // inside the last word's extra data
        scel + U16(1) + U16(200),         // a group's pinyin runs past the end
        ms.substr(0, 0x18),               // a header cut short
        ms.substr(0, ms.size() - 2),      // the entries end beyond the file
        ms.substr(0, 0x1C) + U32(0x10000000) + ms.substr(0x20),  // too many entries
        ms.substr(0, ms.size() - 2) + "xx",                      // the last phrase has no NUL
    };
    std::string badMark = ms;
    badMark[0x40 + 8] = 'x';  // not the mark of an entry
    damaged.push_back(badMark);
    std::string badOffset = ms;
    badOffset.replace(0x44, 4, U32(0x7FFFFFF0));  // the second entry beyond the end
    damaged.push_back(badOffset);
    for (const std::string& file : damaged) {
        try {
            Read(file);
            ADD_FAILURE() << "read a damaged file of " << file.size() << " bytes";
        } catch (const platform::Error& error) {
            EXPECT_EQ(error.what(), platform::Format(texts::kDamagedFile, "dict.txt"));
        }
    }
}

TEST(ImportSourceTest, FormatsCanBeForcedByName) {
    EXPECT_EQ(FormatByName("mspy-dat"), SourceFormat::MicrosoftPinyin);
    EXPECT_FALSE(FormatByName("word"));
    for (const SourceFormatInfo& info : SourceFormats())
        EXPECT_EQ(FormatByName(info.name), info.format);
    // Read as QQ phrases, the lines of another form give nothing.
    const ImportSource source =
        ReadImportSource("nh=1,你好\nnh,1=北京\n", "x", SourceFormat::QqPhrases);
    EXPECT_EQ(Words(source), std::vector<std::string>{"你好"});
}

TEST(ImportSourceTest, ExportsAWordListWithoutCategories) {
    TTreeNodes tree;
    ParseTree(tree, Gb("常用\r\n\t你好\r\n\t\t深处\r\n地址\r\n\t北京\r\n"));
    EXPECT_EQ(ExportTree(tree, ExportEncoding::WordList), "\xEF\xBB\xBF你好\r\n深处\r\n北京\r\n");
}

// A real dictionary nobody here wrote, checked against a count made here from its lines.
TEST(ImportSourceTest, ImportsTheRimePinyinDictionary) {
    const std::string path = "/usr/share/rime-data/pinyin_simp.dict.yaml";
    if (!std::filesystem::exists(path))
        GTEST_SKIP() << path << " is missing: install the Debian package rime-data-pinyin-simp";
    const std::string bytes = platform::ReadWholeFile(path);

    // The entries after the header's "...": the text before the first TAB of each line.
    std::vector<std::string> expected;
    // Texts anywhere in the tree are there already; counted in GB2312, where two readings of one
    // code are one text.
    std::set<std::string> seen = {Gb("常用"), Gb("你好")};
    int singles = 0, entries = 0;
    std::ifstream in(path);
    bool body = false;
    for (std::string line; std::getline(in, line);) {
        if (!body) {
            body = line == "...";
            continue;
        }
        if (line.empty() || line[0] == '#')
            continue;
        ++entries;
        const std::string text = line.substr(0, line.find('\t'));
        int characters = 0;
        for (const char c : text)
            characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        if (characters == 1) {
            ++singles;
        } else if (const Gb2312Text gb = ConvertToGb2312(text, TextEncoding::Utf8);
                   gb.unheld.empty() && seen.insert(gb.bytes).second) {
            expected.push_back(gb.bytes);
        }
    }
    ASSERT_GT(entries, 60000);

    TTreeNodes tree;
    ParseTree(tree, Gb("常用\r\n\t你好\r\n"));
    CharacterTable table;
    const ImportSource source = ReadImportSource(bytes, path);
    ASSERT_EQ(source.format, SourceFormat::Rime);
    const std::string category = DictionaryCategoryName(source, path);
    EXPECT_EQ(category, "pinyin_simp");
    const ImportPlan plan = PlanSourceImport(tree, source, table, category);
    EXPECT_EQ(plan.lines.size(), static_cast<std::size_t>(entries));
    EXPECT_EQ(plan.summary.singleCharacters, singles);
    EXPECT_EQ(plan.summary.added, static_cast<int>(expected.size()));
    EXPECT_EQ(plan.summary.newCategories, 1);
    ApplyImport(tree, plan);

    ASSERT_EQ(tree.FirstRoot()->NextSibling()->Text(), "pinyin_simp");
    std::vector<std::string> added;
    for (const TTreeNode* node = tree.FirstRoot()->NextSibling()->FirstChild(); node;
         node = node->NextSibling())
        added.emplace_back(node->Text());
    EXPECT_TRUE(added == expected);
    EXPECT_TRUE(testing::Dump(tree).starts_with(Gb("常用[你好] pinyin_simp[")));
}

}  // namespace
}  // namespace phrases
