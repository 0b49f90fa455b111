#include "phrases/PhraseCompiler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "phrases/TableBytes.h"
#include "phrases/TreeFile.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "shared/TestDirectory.h"

namespace phrases {
namespace {

using namespace std::string_literals;
using testing::TableBytes;

// Characters of the test tables: jia, yi, bing, ding.
const std::string kJia = "\xBC\xD7";
const std::string kYi = "\xD2\xD2";
const std::string kBing = "\xB1\xFB";
const std::string kDing = "\xB6\xA1";

CharacterTable TableOf(const std::vector<std::string>& entries, int count = -1) {
    CharacterTable table;
    table.LoadFromBytes(TableBytes(entries, count));
    return table;
}

// A table with kJia at position 0, kYi at 255, kBing at 299 and filler elsewhere.
CharacterTable NumberedTable() {
    std::vector<std::string> entries;
    for (int i = 0; i < 300; ++i)
        entries.push_back({'\xF7', static_cast<char>(0x01 + i % 200)});
    entries[0] = kJia;
    entries[255] = kYi;
    entries[299] = kBing;
    return TableOf(entries);
}

// A tree of one category per group, the group's phrases beneath it.
std::string Compiled(const std::vector<std::vector<std::string>>& groups,
                     const CharacterTable& table, CompileReport* report = nullptr) {
    TTreeNodes tree;
    for (const auto& group : groups) {
        TTreeNode* category = tree.InsertLastChild(nullptr, "category");
        for (const std::string& phrase : group)
            tree.InsertLastChild(category, phrase);
    }
    return CompilePhrases(tree, table, report);
}

TEST(PhraseCompilerTest, WritesCountAndCharacterNumbers) {
    const CharacterTable table = NumberedTable();
    EXPECT_EQ(Compiled({{kJia + kBing}}, table), "\x02\x01\x00\x2C\x01\x00"s);
    EXPECT_EQ(Compiled({{kYi + kJia + kYi}}, table), "\x03\x00\x01\x01\x00\x00\x01\x00"s);
}

TEST(PhraseCompilerTest, OnlyPhrasesReachTheFileInTreeOrder) {
    const CharacterTable table = NumberedTable();
    EXPECT_EQ(Compiled({}, table), "\0"s);
    EXPECT_EQ(Compiled({{}, {}}, table), "\0"s);
    // Categories leave no mark; left-out phrases leave no trace, not even a count byte.
    EXPECT_EQ(Compiled({{kJia + kYi, kJia + kDing}, {}, {kJia + "x", kBing + kJia}}, table),
              "\x02\x01\x00\x00\x01"
              "\x02\x2C\x01\x01\x00"
              "\x00"s);

    TTreeNodes tree;
    TTreeNode* category = tree.InsertLastChild(nullptr, kJia + kYi);
    TTreeNode* phrase = tree.InsertLastChild(category, kJia + kYi);
    tree.InsertLastChild(tree.InsertLastChild(phrase, kBing + kYi), kYi + kBing);
    EXPECT_EQ(CompilePhrases(tree, table),
              "\x02\x01\x00\x00\x01"
              "\x02\x2C\x01\x00\x01"
              "\x02\x00\x01\x2C\x01"
              "\x00"s);
}

TEST(PhraseCompilerTest, VerdictOnEachKindOfPhrase) {
    const CharacterTable table = TableOf({kJia, kYi, "ab"});
    struct Case {
        std::string text;
        PhraseStatus status;
        int missingAt = -1;
    };
    const Case cases[] = {
        {kJia + kYi, PhraseStatus::Compiled},
        {" \t\r\n" + kJia + kYi + "\x01 \x1F \x20", PhraseStatus::Compiled},
        {"AB" + kJia, PhraseStatus::Compiled},  // letters match whatever their case
        {"", PhraseStatus::Empty},
        {" \t \x7F", PhraseStatus::OddLength},  // DEL is not trimmed
        {"\t \r\n", PhraseStatus::Empty},
        {kJia + " ", PhraseStatus::SingleCharacter},
        {kJia + "x", PhraseStatus::OddLength},
        {kJia + " " + kYi, PhraseStatus::OddLength},
        {kJia + "  " + kYi, PhraseStatus::MissingCharacter, 1},  // inner spaces shift the pairs
        {"\xA1\xA1" + kJia + kYi, PhraseStatus::MissingCharacter, 0},  // full-width space kept
        {kJia + kYi + kDing, PhraseStatus::MissingCharacter, 2},
        {"\xBC" + kJia + "\xD7", PhraseStatus::MissingCharacter, 0},  // pairs straddle characters
    };
    for (const Case& c : cases) {
        const PhraseVerdict verdict = CheckPhrase(c.text, table);
        EXPECT_EQ(verdict.status, c.status) << c.text;
        EXPECT_EQ(verdict.missingAt, c.missingAt) << c.text;
    }
    const PhraseVerdict missing = CheckPhrase(kJia + kYi + kDing + kDing, table);
    EXPECT_EQ(missing.characters, 4);
    EXPECT_EQ(std::string({static_cast<char>(missing.missingLead),
                           static_cast<char>(missing.missingTrail)}),
              kDing);
}

TEST(PhraseCompilerTest, FiftyCharactersAtMost) {
    const CharacterTable table = TableOf({kJia, kYi});
    std::string fifty;
    for (int i = 0; i < 50; ++i)
        fifty += i % 2 ? kYi : kJia;
    const std::string compiled = Compiled({{fifty, fifty + kJia}}, table);
    ASSERT_EQ(compiled.size(), 1u + 100u + 1u);
    EXPECT_EQ(compiled[0], 50);
    EXPECT_EQ(compiled.substr(99), "\x02\x00\x00"s);
    EXPECT_EQ(CheckPhrase(fifty + kJia, table).status, PhraseStatus::TooLong);
}

TEST(PhraseCompilerTest, TableShapesDecideTheNumbers) {
    // The first of two equal entries gives the number.
    EXPECT_EQ(Compiled({{kJia + kYi}}, TableOf({kYi, kJia, kYi})), "\x02\x02\x00\x01\x00\x00"s);
    EXPECT_EQ(Compiled({{"ab" + kJia}}, TableOf({kJia, "AB", "ab"})), "\x02\x02\x00\x01\x00\x00"s);
    // The full 16-bit range: the 65535th entry is FF FF.
    std::vector<std::string> entries;
    for (int i = 0; i < 0xFFFF; ++i)
        entries.push_back({static_cast<char>(i >> 8), static_cast<char>(i & 0xFF)});
    EXPECT_EQ(Compiled({{"\xB0\xA1\xFF\xFE"}}, TableOf(entries)), "\x02\xA2\xB0\xFF\xFF\x00"s);
    // No entries: nothing compiles.
    CompileReport report;
    EXPECT_EQ(Compiled({{kJia + kYi}}, TableOf({kJia, kYi}, 0), &report), "\0"s);
    EXPECT_EQ(report.leftOut, 1);
}

TEST(PhraseCompilerTest, ReportCountsAndExplainsLeftOutPhrases) {
    const CharacterTable table = TableOf({kJia, kYi});
    CompileReport report;
    report.compiled = 99;  // a reused report starts again from nothing
    Compiled({{kJia + kYi, kJia, kJia + kDing}, {}, {kYi + kJia, "odd"}}, table, &report);
    EXPECT_EQ(report.categories, 3);
    EXPECT_EQ(report.phrases, 5);
    EXPECT_EQ(report.compiled, 2);
    EXPECT_EQ(report.leftOut, 3);
    ASSERT_EQ(report.leftOutPhrases.size(), 3u);
    EXPECT_EQ(report.leftOutPhrases[0].index, 2);
    EXPECT_EQ(report.leftOutPhrases[0].verdict.status, PhraseStatus::SingleCharacter);
    EXPECT_EQ(report.leftOutPhrases[1].index, 3);
    EXPECT_EQ(report.leftOutPhrases[1].verdict.status, PhraseStatus::MissingCharacter);
    EXPECT_EQ(report.leftOutPhrases[1].verdict.missingLead, 0xB6);
    EXPECT_EQ(report.leftOutPhrases[2].index, 7);
    EXPECT_EQ(report.leftOutPhrases[2].verdict.status, PhraseStatus::OddLength);
}

TEST(PhraseCompilerTest, WriteCompiledFileReplacesTheFile) {
    const testsupport::TestDirectory directory("phrases-compiler");
    const auto path = directory.Path("srf_pub.usr");
    platform::ReplaceFileSafely(path, "old content");
    TTreeNodes tree;
    tree.InsertLastChild(tree.InsertLastChild(nullptr, "c"), kJia + kYi);
    WriteCompiledFile(path, tree, TableOf({kYi, kJia}));
    EXPECT_EQ(platform::ReadWholeFile(path), "\x02\x02\x00\x01\x00\x00"s);
}

// The file's bytes compiled both ways: through the tree ParseTree builds, and straight. Each gives
// the file and the report's counts and indices, or the error's text.
std::string ThroughTree(std::string_view file, const CharacterTable& table) {
    TTreeNodes tree;
    try {
        ParseTree(tree, file);
    } catch (const platform::Error& error) {
        return error.what();
    }
    CompileReport report;
    std::string result = CompilePhrases(tree, table, &report);
    for (const LeftOutPhrase& phrase : report.leftOutPhrases)
        result += " " + std::to_string(phrase.index);
    return result + " " + std::to_string(report.categories) + "/" + std::to_string(report.compiled);
}

std::string Straight(std::string_view file, const CharacterTable& table) {
    CompileReport report;
    std::string result;
    try {
        result = CompileTreeFile(file, table, &report).View();
    } catch (const platform::Error& error) {
        return error.what();
    }
    for (const LeftOutPhrase& phrase : report.leftOutPhrases)
        result += " " + std::to_string(phrase.index);
    return result + " " + std::to_string(report.categories) + "/" + std::to_string(report.compiled);
}

TEST(PhraseCompilerTest, CompilingTheFileStraightEqualsCompilingItsTree) {
    const CharacterTable table = TableOf({kJia, kYi, kBing});
    const std::string p = kJia + kYi, q = kBing + kJia + kYi;
    const std::string files[] = {"",
                                 "\r\n",
                                 "c\r\n\t" + p + "\r\n\t" + q + "\r\nd\r\n\t" + p + kDing,
                                 "\t\t" + p + "\n\t" + q + "\n\t\t" + p + "\r\t" + kJia +
                                     "\n\r\n odd\n" + p,
                                 "c\n\t" + p + "\0\t" + q + "\n"s,
                                 "c\n\t" + p + "\n\t\t\t" + q + "\n\tlater",
                                 "a\n\tb\nc\n\t \t",
                                 "c\n \t" + p + " \n\t\t" + q + "\n"};
    for (const std::string& file : files)
        EXPECT_EQ(Straight(file, table), ThroughTree(file, table)) << file;

    // Random files over the bytes that matter: line ends, indentation, NUL, blanks, characters.
    std::mt19937 random(17);
    const std::string pieces[] = {"\r", "\n", "\r\n", "\t",  " ",  "\0"s,
                                  "x",  kJia, kYi,    kBing, kDing};
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 60);
    for (int round = 0; round < 2000; ++round) {
        std::string file;
        for (int k = length(random); k > 0; --k)
            file += pieces[piece(random)];
        ASSERT_EQ(Straight(file, table), ThroughTree(file, table))
            << ::testing::PrintToString(file);
    }

    // Files of megabytes, compiled in two halves: phrases left out on both sides, an error on
    // either side, a NUL in the first half.
    std::string large;
    for (int c = 0; large.size() < (std::size_t{3} << 19); ++c) {
        large += "c" + std::to_string(c) + "\r\n";
        for (int k = 0; k < 50; ++k)
            large += "\t" + (k % 7 == 0 ? kDing + p : q) + (c % 2 ? "\n" : "\r\n");
    }
    const std::size_t quarter = large.find('c', large.size() / 4);
    const std::size_t threeQuarters = large.find('c', large.size() / 4 * 3);
    const std::string deep = "\t\t\tdeep\n";
    for (const std::string& file :
         {large, large.substr(0, quarter) + deep + large.substr(quarter),
          large.substr(0, threeQuarters) + deep + large.substr(threeQuarters),
          large.substr(0, quarter) + '\0' + large.substr(quarter)})
        EXPECT_EQ(Straight(file, table), ThroughTree(file, table));
}

}  // namespace
}  // namespace phrases
