// The core at the largest sizes its files allow or its users reach: a full 65,535-entry character
// table and a tree of a million nodes, each through its files and the compile step.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "phrases/CharacterTable.h"
#include "phrases/PhraseCompiler.h"
#include "phrases/TableBytes.h"
#include "phrases/TreeFile.h"
#include "phrases/TreeNodes.h"
#include "platform/FileSystem.h"
#include "shared/TestDirectory.h"

namespace phrases {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class ScaleTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return m_directory.Path(name); }

    testsupport::TestDirectory m_directory{"phrases-scale"};
};

// Every pair value from 00 01 to FF FF, each at position value - 1: the count field reads FF FF.
std::string FullTableBytes() {
    std::vector<std::string> entries;
    for (int value = 1; value <= 0xFFFF; ++value)
        entries.push_back({static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)});
    std::string bytes = testing::TableBytes(entries);
    EXPECT_EQ(bytes.substr(4, 2), "\xFF\xFF"s);
    return bytes;
}

TEST_F(ScaleTest, AFullTableLoadsAndCompilesToTheLastNumber) {
    platform::ReplaceFileSafely(Path("srf_pub.zc"), FullTableBytes());
    CharacterTable table;
    table.Load(Path("srf_pub.zc"));
    ASSERT_EQ(table.Size(), 65535);
    EXPECT_EQ(table.Entry(65534), "\xFF\xFF"s);

    // Folded pairs (the small letters and their capitals) answer with the first of the two.
    for (int value = 0x2121; value <= 0xFFFF; value += 97) {
        const auto lead = static_cast<unsigned char>(value >> 8);
        const auto trail = static_cast<unsigned char>(value & 0xFF);
        ASSERT_EQ(table.Find(lead, trail), table.FindByScan(lead, trail)) << value;
    }

    TTreeNodes tree;
    TTreeNode* category = tree.InsertLastChild(nullptr, "category");
    tree.InsertLastChild(category, "\xFF\xFF\xB0\xA1");
    tree.InsertLastChild(category, "\xB0\xA1\xFF\xFE\xFF\xFF");
    WriteCompiledFile(Path("srf_pub.usr"), tree, table);
    EXPECT_EQ(platform::ReadWholeFile(Path("srf_pub.usr")),
              "\x02\xFF\xFF\xA1\xB0"
              "\x03\xA1\xB0\xFE\xFF\xFF\xFF\x00"s);
}

TEST_F(ScaleTest, AMillionNodeTreeSavesLoadsAndCompiles) {
    // 1,000 categories of 999 phrases: two characters each, drawn from a 94-entry table.
    std::vector<std::string> entries;
    for (int i = 0; i < 94; ++i)
        entries.push_back({'\xB0', static_cast<char>(0xA1 + i)});
    CharacterTable table;
    table.LoadFromBytes(testing::TableBytes(entries));

    TTreeNodes tree;
    for (int c = 0; c < 1000; ++c) {
        TTreeNode* category = tree.InsertLastChild(nullptr, "category " + std::to_string(c));
        for (int p = 0; p < 999; ++p)
            tree.InsertLastChild(category, entries[(c + p) % 94] + entries[p % 94]);
    }
    ASSERT_EQ(tree.NodeCount(), 1000000);

    phrases::SaveTree(tree, Path("srf_pub.dat"));
    const std::string file = platform::ReadWholeFile(Path("srf_pub.dat"));
    EXPECT_EQ(file, FormatTree(tree));

    TTreeNodes loaded;
    phrases::LoadTree(loaded, Path("srf_pub.dat"));
    ASSERT_EQ(loaded.NodeCount(), 1000000);
    EXPECT_EQ(FormatTree(loaded), file);
    EXPECT_EQ(loaded.NodeAt(999999)->Text(), entries[(999 + 998) % 94] + entries[998 % 94]);
    EXPECT_EQ(loaded.NodeAt(999999)->Level(), 1);

    WriteCompiledFile(Path("srf_pub.usr"), loaded, table);
    const std::string compiled = platform::ReadWholeFile(Path("srf_pub.usr"));
    ASSERT_EQ(compiled.size(), 999000u * 5 + 1);
    // The last record: category 999, phrase 998.
    const std::string last = compiled.substr(compiled.size() - 6);
    EXPECT_EQ(last, "\x02"s + static_cast<char>(1 + (999 + 998) % 94) + '\0' +
                        static_cast<char>(1 + 998 % 94) + '\0' + '\0');
}

}  // namespace
}  // namespace phrases
