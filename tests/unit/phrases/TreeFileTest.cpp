#include "phrases/TreeFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "phrases/TreeDump.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "shared/TestDirectory.h"

namespace phrases {
namespace {

using namespace std::string_literals;
using testing::Dump;

std::string Parsed(std::string_view bytes) {
    TTreeNodes tree;
    ParseTree(tree, bytes);
    return Dump(tree);
}

struct ParseCase {
    std::string bytes;
    std::string tree;  // as Dump writes it
};

class ParseTreeTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTreeTest, BuildsTheTree) { EXPECT_EQ(Parsed(GetParam().bytes), GetParam().tree); }

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseTreeTest,
    ::testing::Values(
        // Line ends: CR LF, LF, CR; LF CR is two ends; a final end starts no line.
        ParseCase{"a\r\n\tb\r\n\tc\r\n", "a[b c]"}, ParseCase{"a\n\tb\n\tc\n", "a[b c]"},
        ParseCase{"a\r\tb\r\tc\r", "a[b c]"}, ParseCase{"a\r\n\tb\n\tc", "a[b c]"},
        ParseCase{"a\n\rb", "a  b"}, ParseCase{"a\n\r", "a "}, ParseCase{"a\r\n\r\n", "a "},
        ParseCase{"", ""}, ParseCase{"\r\n", ""}, ParseCase{"x", "x"},
        // Text ends at the first NUL.
        ParseCase{"a\r\n\tb\0\tc\r\n"s, "a[b]"}, ParseCase{"\0a"s, ""},
        ParseCase{"a\r\n\tb\r\0\n\tc"s, "a[b]"},
        // Levels: equal, one deeper, shallower by any amount.
        ParseCase{"a\r\n\tb\r\n\t\tc\r\nd\r\n", "a[b[c]] d"},
        ParseCase{"a\n\tb\n\t\tc\n\t\t\td\n\te\nf", "a[b[c[d]] e] f"},
        ParseCase{"a\n\tb\n\t\tc\n\t\t\td\n\t\te\n\tf", "a[b[c[d] e] f]"},
        // TAB and SPACE count alike, in any mix; trailing spaces stay.
        ParseCase{"a\n b\n \tc\n\t d \n", "a[b[c d ]]"},
        // The first line is a root whatever its indentation.
        ParseCase{"\t\ta\n\tb\n", "a[b]"}, ParseCase{"  \t a\nb", "a b"},
        // An empty line is a node with empty text; a line of indentation only, too.
        ParseCase{"c\n\tp1\n\n\tp2\n", "c[p1] [p2]"}, ParseCase{"c\n\t\n \t", "c[[]]"}));

TEST(TreeFileTest, ALineTooDeepFailsAndKeepsTheLinesBefore) {
    struct Case {
        std::string bytes;
        std::string message;
        std::string kept;
    };
    const Case cases[] = {
        {"cat\r\n\t\tdeep one\r\n\tlater\r\n", "Invalid level (2) for item \"deep one\"", "cat"},
        {"a\n\tb\n\t\t\t\t x\ny\n", "Invalid level (5) for item \"x\"", "a[b]"},
        {"a\n\tb\nc\n\t \t", "Invalid level (3) for item \"\"", "a[b] c"},
    };
    for (const Case& c : cases) {
        TTreeNodes tree;
        try {
            ParseTree(tree, c.bytes);
            ADD_FAILURE() << "no error for " << c.bytes;
        } catch (const platform::Error& error) {
            EXPECT_EQ(error.what(), c.message);
            EXPECT_EQ(error.Kind(), "TreeLevelError");
        }
        EXPECT_EQ(Dump(tree), c.kept);
    }
}

TEST(TreeFileTest, LineBreaksAreFoundAcrossBlocks) {
    std::mt19937 random(5);
    const char bytes[] = {'\r', '\n', 'a', '\t', '\xB0', '\0'};
    for (const std::size_t size : {0, 1, 63, 64, 65, 200, 1000}) {
        for (int odds : {2, 40, 500}) {
            std::string text(size, 'x');
            for (char& c : text)
                if (random() % odds == 0)
                    c = bytes[random() % std::size(bytes)];
            detail::LineBreaks breaks(text);
            for (std::size_t from = 0; from <= size; ++from) {
                const std::size_t expected = std::min(text.find_first_of("\r\n", from), size);
                ASSERT_EQ(breaks.Next(from), expected) << size << " " << from;
            }
        }
    }
}

// The tree the lines give, made one insertion at a time; the error's text, if any, in error.
std::string InsertedOneByOne(TTreeNodes& tree, std::string_view bytes, std::string& error) {
    std::vector<TTreeNode*> path;
    try {
        ForEachTreeLine(bytes, [&](std::string_view text, int level) {
            path.resize(static_cast<std::size_t>(level));
            path.push_back(tree.InsertLastChild(level > 0 ? path.back() : nullptr, text));
        });
    } catch (const platform::Error& thrown) {
        error = thrown.what();
    }
    return Dump(tree);
}

// A file of megabytes is read in two halves at once; the tree, the error and the nodes kept
// before it are those of a reading line by line, after the roots the tree had.
TEST(TreeFileTest, ALargeFileGivesTheTreeOfALineByLineReading) {
    std::string good;
    const char* const ends[] = {"\r\n", "\n", "\r"};
    for (int c = 0; good.size() < (std::size_t{3} << 19); ++c) {
        good += "category " + std::to_string(c) + ends[c % 3];
        for (int p = 0; p < 40; ++p)
            good += std::string(1 + p % 3 / 2, '\t') + "phrase " + std::to_string(p) + ends[p % 3];
    }
    const std::size_t quarter = good.find("category", good.size() / 4);
    const std::size_t threeQuarters = good.find("category", good.size() / 4 * 3);
    const std::string badFirst = good.substr(0, quarter) + "\t\t\tdeep\n" + good.substr(quarter);
    const std::string badSecond =
        good.substr(0, threeQuarters) + "x\n\t\t\tdeep\n" + good.substr(threeQuarters);
    const std::string nulFirst = good.substr(0, quarter) + '\0' + good.substr(quarter);
    for (const std::string& bytes : {good, badFirst, badSecond, nulFirst}) {
        TTreeNodes expected;
        expected.InsertLastChild(expected.InsertLastChild(nullptr, "old"), "p");
        std::string expectedError;
        const std::string expectedDump = InsertedOneByOne(expected, bytes, expectedError);

        TTreeNodes tree;
        tree.InsertLastChild(tree.InsertLastChild(nullptr, "old"), "p");
        std::string error;
        try {
            ParseTree(tree, bytes);
        } catch (const platform::Error& thrown) {
            error = thrown.what();
        }
        EXPECT_EQ(error, expectedError);
        EXPECT_EQ(Dump(tree), expectedDump);
        testing::ExpectLinksConsistent(tree);
    }
}

TEST(TreeFileTest, FormatWritesTabsTextAndCrLf) {
    TTreeNodes tree;
    EXPECT_EQ(FormatTree(tree), "");
    TTreeNode* c = tree.InsertLastChild(nullptr, "\xB3\xA3\xD3\xC3");
    tree.InsertLastChild(c, "p1");
    tree.InsertLastChild(tree.InsertLastChild(c, ""), "deep");
    tree.InsertLastChild(nullptr, "c2");
    EXPECT_EQ(FormatTree(tree),
              "\xB3\xA3\xD3\xC3\r\n\tp1\r\n\t\r\n\t\tdeep\r\n"
              "c2\r\n");
}

TEST(TreeFileTest, TextsOfEveryShortLengthAreWrittenWhole) {
    TTreeNodes tree;
    std::string expected;
    TTreeNode* category = tree.InsertLastChild(nullptr, "c");
    expected += "c\r\n";
    for (std::size_t size = 0; size <= 40; ++size) {
        std::string text;
        for (std::size_t k = 0; k < size; ++k)
            text += static_cast<char>('a' + k % 26);
        tree.InsertLastChild(category, text);
        expected += "\t" + text + "\r\n";
    }
    EXPECT_EQ(FormatTree(tree), expected);
}

// Pieces of any size join to the whole file, lines split between them included.
TEST(TreeFileTest, TheFormatterGivesTheFileInPiecesOfAnySize) {
    TTreeNodes tree;
    TTreeNode* c = tree.InsertLastChild(nullptr, "cat");
    tree.InsertLastChild(tree.InsertLastChild(tree.InsertLastChild(c, "p"), ""), "deep text");
    tree.InsertLastChild(c, "q");
    tree.InsertLastChild(nullptr, "c2");
    const std::string whole = FormatTree(tree);
    for (std::size_t capacity : {1, 2, 3, 5, 7, 40}) {
        TreeFormatter formatter(tree);
        std::string joined;
        char buffer[40];
        while (const std::size_t got = formatter.Fill(buffer, capacity)) {
            joined.append(buffer, got);
            if (got < capacity) {
                EXPECT_EQ(formatter.Fill(buffer, capacity), 0u);
            }
        }
        EXPECT_EQ(joined, whole) << capacity;
    }
}

TEST(TreeFileTest, TextsWithoutLeadingBlanksRoundTrip) {
    TTreeNodes tree;
    for (int c = 0; c < 20; ++c) {
        TTreeNode* category = tree.InsertLastChild(nullptr, "cat " + std::to_string(c) + " ");
        for (int p = 0; p < c; ++p)
            tree.InsertLastChild(category, "\xC4\xE3\xBA\xC3 " + std::to_string(p) + "\t");
        if (c % 5 == 0)
            tree.InsertLastChild(tree.InsertLastChild(category, ""), "deeper");
    }
    TTreeNodes copy;
    ParseTree(copy, FormatTree(tree));
    EXPECT_EQ(Dump(copy), Dump(tree));
    EXPECT_EQ(FormatTree(copy), FormatTree(tree));
}

TEST(TreeFileTest, LeadingSpacesReadBackOneLevelDeeper) {
    TTreeNodes tree;
    TTreeNode* a = tree.InsertLastChild(nullptr, "a");
    tree.InsertLastChild(nullptr, " b");  // a category starting with a space
    TTreeNodes copy;
    ParseTree(copy, FormatTree(tree));
    EXPECT_EQ(Dump(copy), "a[b]");

    tree.InsertLastChild(a, " p");  // a phrase starting with a space: two below "a"
    TTreeNodes failing;
    EXPECT_THROW(ParseTree(failing, FormatTree(tree)), platform::Error);
    EXPECT_EQ(Dump(failing), "a");
}

class TreeFileOnDiskTest : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return m_directory.Path(name); }

    testsupport::TestDirectory m_directory{"phrases-treefile"};
};

TEST_F(TreeFileOnDiskTest, SaveAndLoadRoundTrip) {
    TTreeNodes tree;
    tree.InsertLastChild(tree.InsertLastChild(nullptr, "c"), "p");
    phrases::SaveTree(tree, Path("srf_pub.dat"));
    EXPECT_EQ(platform::ReadWholeFile(Path("srf_pub.dat")), "c\r\n\tp\r\n");

    TTreeNodes loaded;
    loaded.InsertLastChild(nullptr, "old");
    loaded.NodeAt(0);
    phrases::LoadTree(loaded, Path("srf_pub.dat"));
    EXPECT_EQ(Dump(loaded), "c[p]");
    EXPECT_EQ(loaded.NodeAt(1)->Text(), "p");

    TTreeNodes empty;
    phrases::SaveTree(empty, Path("empty.dat"));
    EXPECT_EQ(std::filesystem::file_size(Path("empty.dat")), 0u);
    phrases::LoadTree(loaded, Path("empty.dat"));
    EXPECT_EQ(loaded.NodeCount(), 0);
}

// Loaded texts stay in the file's bytes and edited ones go to the tree's own store; texts of any
// length (64 KB and over take another way in both) keep their bytes through edits and a reload.
TEST_F(TreeFileOnDiskTest, TextsOfAnyLengthSurviveLoadEditAndSave) {
    const std::string longText(70000, 'x'), edge(65535, 'y'), below(65534, 'z');
    TTreeNodes tree;
    TTreeNode* c = tree.InsertLastChild(nullptr, "c");
    for (const std::string& text : {longText, edge, below, "p"s, ""s})
        tree.InsertLastChild(c, text);
    phrases::SaveTree(tree, Path("srf_pub.dat"));
    const std::string saved = FormatTree(tree);

    TTreeNodes loaded;
    phrases::LoadTree(loaded, Path("srf_pub.dat"));
    EXPECT_EQ(FormatTree(loaded), saved);
    TTreeNode* first = loaded.NodeAt(1);
    loaded.SetNodeText(loaded.NodeAt(4), first->Text());  // a text given from the tree itself
    loaded.SetNodeText(first, "q");
    for (int k = 0; k < 20000; ++k)  // several blocks of the store
        loaded.InsertLastChild(nullptr, std::to_string(k));
    EXPECT_EQ(loaded.NodeAt(1)->Text(), "q");
    EXPECT_EQ(loaded.NodeAt(2)->Text(), edge);
    EXPECT_EQ(loaded.NodeAt(3)->Text(), below);
    EXPECT_EQ(loaded.NodeAt(4)->Text(), longText);
    EXPECT_EQ(loaded.NodeAt(loaded.NodeCount() - 1)->Text(), "19999");
}

TEST_F(TreeFileOnDiskTest, LoadStopsAtALineTooDeep) {
    platform::ReplaceFileSafely(Path("bad.dat"), "c1\r\n\tp\r\nc2\r\n\t\tq\r\nc3\r\n");
    TTreeNodes tree;
    tree.InsertLastChild(nullptr, "old");
    tree.NodeAt(0);
    try {
        phrases::LoadTree(tree, Path("bad.dat"));
        FAIL();
    } catch (const platform::Error& error) {
        EXPECT_STREQ(error.what(), "Invalid level (2) for item \"q\"");
    }
    EXPECT_EQ(Dump(tree), "c1[p] c2");
    EXPECT_EQ(tree.NodeAt(0)->Text(), "c1");
}

TEST_F(TreeFileOnDiskTest, LoadOfAMissingFileFailsAndKeepsTheTree) {
    TTreeNodes tree;
    tree.InsertLastChild(nullptr, "kept");
    const std::string missing = Path("missing.dat");
    try {
        phrases::LoadTree(tree, missing);
        FAIL();
    } catch (const platform::Error& error) {
        EXPECT_EQ(error.what(), "Cannot open file " + missing);
    }
    EXPECT_EQ(Dump(tree), "kept");
}

}  // namespace
}  // namespace phrases
