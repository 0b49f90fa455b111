#include "phrases/CharacterTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "phrases/TableBytes.h"
#include "platform/Error.h"

namespace phrases {
namespace {

using testing::TableBytes;

int Find(const CharacterTable& table, const std::string& pair) {
    return table.Find(static_cast<unsigned char>(pair[0]), static_cast<unsigned char>(pair[1]));
}

CharacterTable TableOf(const std::vector<std::string>& entries, int count = -1) {
    CharacterTable table;
    table.LoadFromBytes(TableBytes(entries, count));
    return table;
}

TEST(CharacterTableTest, KeepsEntriesInFileOrderWithDuplicates) {
    const CharacterTable table = TableOf({"\xB0\xA1", "\xB0\xA2", "\xB0\xA1", "ab", "AB"});
    ASSERT_EQ(table.Size(), 5);
    EXPECT_EQ(table.Entry(2), "\xB0\xA1");
    EXPECT_EQ(table.Entry(4), "AB");
    EXPECT_EQ(Find(table, "\xB0\xA1"), 0);
    EXPECT_EQ(Find(table, "\xB0\xA2"), 1);
    EXPECT_EQ(Find(table, "AB"), 3);  // the first of the entries that match
    EXPECT_EQ(Find(table, "\xB0\xA3"), -1);
}

TEST(CharacterTableTest, ReadsOnlyTheWholeEntriesThatAreThere) {
    struct Case {
        std::string bytes;
        int size;
    };
    const Case cases[] = {
        {"", 0},
        {"HEAD\x05", 0},                                      // no whole count
        {TableBytes({}, 0), 0},                               // N = 0
        {TableBytes({"ab", "cd", "ef"}, 5) + "g", 3},         // ends early, half an entry
        {TableBytes({"ab", "cd", "ef"}, 2) + "trailing", 2},  // bytes after the entries ignored
        {TableBytes({"ab"}, 0xFFFF), 1},                      // the count is unsigned
    };
    for (const Case& c : cases) {
        CharacterTable table;
        table.LoadFromBytes(TableBytes({"zz"}));
        table.LoadFromBytes(c.bytes);
        EXPECT_EQ(table.Size(), c.size) << c.bytes;
        EXPECT_EQ(Find(table, "zz"), -1);
    }
}

TEST(CharacterTableTest, HoldsAllOfA65535EntryTable) {
    std::vector<std::string> entries;
    for (int i = 0; i < 0xFFFF; ++i)
        entries.push_back({static_cast<char>(i >> 8), static_cast<char>(i & 0xFF)});
    const CharacterTable table = TableOf(entries);
    ASSERT_EQ(table.Size(), 65535);
    EXPECT_EQ(Find(table, "\xFF\xFE"), 65534);
    EXPECT_EQ(Find(table, "\xFF\xFF"), -1);
    EXPECT_EQ(Find(table, "\xB0\xA1"), 0xB0A1);
}

TEST(CharacterTableTest, LetterCaseIsIgnoredForLettersOnly) {
    struct Case {
        const char* entry;
        const char* query;
        bool equal;
    };
    const Case cases[] = {
        {"ab", "AB", true},
        {"AB", "ab", true},
        {"ab", "aB", true},
        {"a1", "A1", true},
        {"a\xC1", "A\xC1", true},
        {"[@", "{`", false},
        {"\xA3\xC1", "\xA3\xE1", true},  // full-width A
        {"\xA3\xFA", "\xA3\xDA", true},  // full-width z
        {"\xA3\xC0", "\xA3\xE0", false},
        {"\xA3\xDB", "\xA3\xFB", false},
        {"\xA6\xA1", "\xA6\xC1", true},  // Greek alpha
        {"\xA6\xD8", "\xA6\xB8", true},  // Greek omega
        {"\xA6\xB9", "\xA6\xD9", false},
        {"\xA7\xA1", "\xA7\xD1", true},  // Cyrillic A
        {"\xA7\xF1", "\xA7\xC1", true},  // Cyrillic ya
        {"\xA7\xC2", "\xA7\xF2", false},
        {"\xD6\xC4", "\xF6\xE4", false},  // not a Latin-1 case pair here
        {"\xB0\xA1", "\xB0\xC1", false},
        {"\xC1"
         "a",
         "\xC1"
         "A",
         false},
    };
    for (const Case& c : cases) {
        const CharacterTable table = TableOf({"\xB0\xA2", c.entry});
        EXPECT_EQ(Find(table, c.query), c.equal ? 1 : -1) << c.entry << " / " << c.query;
        EXPECT_EQ(Find(table, c.entry), 1);
    }
}

TEST(CharacterTableTest, IndexAgreesWithTheScan) {
    std::vector<std::string> entries;
    for (int i = 0; i < 65536; i += 7)
        entries.push_back({static_cast<char>(i >> 8), static_cast<char>(i & 0xFF)});
    for (const char* extra : {"AB", "ab", "\xA3\xC1", "\xA3\xE1", "\xA6\xA1", "\xA7\xF1", "Zz"})
        entries.push_back(extra);
    const CharacterTable table = TableOf(entries);
    // Leads where folding matters, and a few where it must not.
    for (int lead :
         {0x00, 0x30, 0x41, 0x5A, 0x61, 0x7A, 0x7F, 0x80, 0xA3, 0xA6, 0xA7, 0xB0, 0xFF}) {
        for (int trail = 0; trail < 256; ++trail) {
            const auto l = static_cast<unsigned char>(lead);
            const auto t = static_cast<unsigned char>(trail);
            ASSERT_EQ(table.Find(l, t), table.FindByScan(l, t)) << lead << "," << trail;
        }
    }
}

TEST(CharacterTableTest, AFileThatCannotBeOpenedLeavesTheTableAsItWas) {
    CharacterTable table = TableOf({"ab", "cd"});
    const std::string missing = "/nonexistent directory/srf_pub.zc";
    try {
        table.Load(missing);
        FAIL();
    } catch (const platform::Error& error) {
        EXPECT_EQ(error.what(), "Cannot open file " + missing);
    }
    EXPECT_EQ(table.Size(), 2);
    EXPECT_EQ(Find(table, "cd"), 1);
}

}  // namespace
}  // namespace phrases
