// The data directory as the editor's commands use it: the show handler's loads and compile, and
// the health of the phrases kept in step with the tree, on real files.
#include "editor/commands/DirectoryFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "ScriptedDialogs.h"
#include "editor/rules/EditHistory.h"
#include "shared/TestDirectory.h"

namespace editor {
namespace {

namespace fs = std::filesystem;

class CountingObserver : public TreeObserver {
public:
    int reloads = 0;
    std::vector<const phrases::TTreeNode*> checked;  // as the last compile reported them
    void TreeReloaded() override { ++reloads; }
    void PhrasesChecked(const std::vector<const phrases::TTreeNode*>& changed) override {
        checked = changed;
    }
};

class DirectoryFilesTest : public ::testing::Test {
protected:
    void Write(const std::string& name, const std::string& bytes) { m_dir.Write(name, bytes); }
    std::string Read(const std::string& name) { return m_dir.Read(name); }
    void WriteTable() { Write("srf_pub.zc", testsupport::TwoCharacterTable()); }
    std::string Path(const std::string& name) { return m_dir.Path(name); }

    testsupport::TestDirectory m_dir{"directory-files"};
    const fs::path& directory = m_dir.Root();
    phrases::DataDirectory data{(directory / "").string()};
    phrases::TTreeNodes& tree = data.Tree();
    testing::ScriptedDialogs dialogs;
    CountingObserver observer;
    DirectoryFiles files{data, observer};
    EditorCommands commands{tree, dialogs, files, files, dialogs, data.Table()};
};

TEST_F(DirectoryFilesTest, ShowLoadsBothFilesAndCompilesSilently) {
    Write("srf_pub.dat", "c\r\n\t\xB0\xA1\xB0\xA2\r\n");
    WriteTable();
    commands.Load();
    EXPECT_TRUE(files.DataLoaded());
    EXPECT_EQ(observer.reloads, 1);
    EXPECT_EQ(Read("srf_pub.usr"), std::string("\x02\x01\x00\x02\x00\x00", 6));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DirectoryFilesTest, AMissingTableStopsTheShowAndKeepsTheFiles) {
    Write("srf_pub.dat", "c\r\n\tp\r\n");
    Write("srf_pub.usr", "old");
    try {
        commands.Load();
        FAIL() << "no error";
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file " + Path("srf_pub.zc"));
    }
    EXPECT_EQ(tree.NodeCount(), 2);  // the tree is shown all the same
    EXPECT_EQ(observer.reloads, 1);
    EXPECT_FALSE(files.DataLoaded());
    EXPECT_EQ(Read("srf_pub.usr"), "old");
}

TEST_F(DirectoryFilesTest, AMalformedTreeFileShowsItsFirstLinesAndCountsAsNotLoaded) {
    Write("srf_pub.dat", "c\r\n\t\tdeep\r\n");
    WriteTable();
    EXPECT_THROW(commands.Load(), std::exception);
    EXPECT_EQ(tree.NodeCount(), 1);
    EXPECT_EQ(observer.reloads, 1);
    EXPECT_FALSE(files.DataLoaded());
}

TEST_F(DirectoryFilesTest, TheCompileReportsWhichPhrasesItLeftOut) {
    Write("srf_pub.dat", "c\r\n\t\xB0\xA1\xB0\xA2\r\n\t\xB0\xA1\xB0\xA3\r\n");
    WriteTable();
    commands.Load();
    EXPECT_EQ(files.Health().Counts().compiled, 1);
    EXPECT_EQ(files.Health().Counts().leftOut, 1);
    const phrases::PhraseVerdict* verdict = files.Health().LeftOut(tree.FirstRoot()->LastChild());
    ASSERT_NE(verdict, nullptr);
    EXPECT_EQ(verdict->missingTrail, 0xA3);
}

// The health is the model's: a deleted phrase takes the entries of everything beneath it, however
// deep, so the next compile reports no freed node as changed and counts the tree as it is.
TEST_F(DirectoryFilesTest, DeletingASubtreeDropsTheHealthOfEveryLevelBeneathIt) {
    const std::string one = "\xB0\xA1";  // a single character: left out
    Write("srf_pub.dat",
          "c\r\n\t" + one + "\r\n\t\t" + one + "\r\n\t\t\t" + one + "\r\n\t" + one + one + "\r\n");
    WriteTable();
    commands.Load();
    EXPECT_EQ(files.Health().Counts().leftOut, 3);
    EXPECT_EQ(observer.checked.size(), 3u);

    TreeEditor(tree, files).Remove(tree.FirstRoot()->FirstChild());
    files.SaveAndCompile();
    EXPECT_TRUE(observer.checked.empty());
    EXPECT_EQ(files.Health().Counts().phrases, 1);
    EXPECT_EQ(files.Health().Counts().leftOut, 0);
}

}  // namespace
}  // namespace editor
