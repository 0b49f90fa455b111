// The phrase editor's files: what the show handler loads and what a change writes, on real files.
#include "editor/EditorFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "EditorTexts.h"
#include "editor/EditHistory.h"
#include "platform/Error.h"

namespace editor {
namespace {

namespace fs = std::filesystem;

class CountingDialogs : public UserDialogs {
public:
    std::vector<std::string> shown;
    Answer Ask(const std::string& text, const std::string&, BoxKind) override {
        shown.push_back(text);
        return Answer::Ok;
    }
    bool PromptForText(const std::string&, const std::string&, std::string&, char32_t&) override {
        return false;
    }
};

class CountingObserver : public TreeObserver {
public:
    int reloads = 0;
    std::vector<const phrases::TTreeNode*> checked;  // as the last compile reported them
    void TreeReloaded() override { ++reloads; }
    void PhrasesChecked(const std::vector<const phrases::TTreeNode*>& changed) override {
        checked = changed;
    }
};

class EditorFilesTest : public ::testing::Test {
protected:
    static fs::path FreshDirectory() {
        const fs::path path = fs::temp_directory_path() /
                              (std::string("srf_editor_files_") +
                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path);
        fs::create_directories(path);
        return path;
    }
    ~EditorFilesTest() override { fs::remove_all(directory); }

    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(directory / name, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) {
        std::ifstream file(directory / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    // A table of two characters, numbers 1 and 2.
    void WriteTable() {
        Write("srf_pub.zc", std::string("\0\0\0\0\2\0\0\0\0\0\xB0\xA1\xB0\xA2", 14));
    }
    std::string Path(const std::string& name) { return (directory / name).string(); }

    fs::path directory = FreshDirectory();
    phrases::TTreeNodes tree;
    CountingDialogs dialogs;
    CountingObserver observer;
    EditorFiles files{(directory / "").string(), tree, dialogs, observer};
};

// Export must not write over these files, whichever way its path reaches them; srf_pub.dat.bak
// counts before it exists.
TEST_F(EditorFilesTest, OwnFilesAreKnownByIdentityAndByNameBeforeTheyExist) {
    Write("srf_pub.dat", "a\r\n");
    WriteTable();
    Write("srf_pub.usr", "");
    Write("other.txt", "");
    fs::create_directories(directory / "sub");
    fs::create_hard_link(directory / "srf_pub.usr", directory / "sub" / "linked.txt");
    for (const char* name :
         {"srf_pub.dat", "srf_pub.usr", "srf_pub.zc", "srf_pub.dat.bak", "srf_pub.dat.20261208.bak",
          "srf_pub.dat.unreadable", "srf_pub.dat.unreadable.12"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(files.IsOwnFile(Path(name)));
        EXPECT_TRUE(files.IsOwnFile((directory / "sub" / ".." / name).string()));
    }
    EXPECT_TRUE(files.IsOwnFile((directory / "sub" / "linked.txt").string()));
#ifdef _WIN32
    // Names differ in letter case only: the same file on Windows.
    EXPECT_TRUE(files.IsOwnFile(Path("SRF_PUB.DAT")));
    EXPECT_TRUE(files.IsOwnFile((directory / "SUB" / ".." / "Srf_Pub.Dat.BAK").string()));
#endif
    EXPECT_FALSE(files.IsOwnFile(Path("other.txt")));
    EXPECT_FALSE(files.IsOwnFile(Path("srf_pub.txt")));
    EXPECT_FALSE(files.IsOwnFile(Path("srf_pub.dat.unreadable.x")));
    EXPECT_FALSE(files.IsOwnFile((directory / "sub" / "srf_pub.dat").string()));
    EXPECT_FALSE(files.IsOwnFile((directory / "sub" / "srf_pub.dat.bak").string()));
    EXPECT_FALSE(files.IsOwnFile((directory / "sub" / "srf_pub.dat.20261208.bak").string()));
}

TEST_F(EditorFilesTest, ShowLoadsBothFilesAndCompilesSilently) {
    Write("srf_pub.dat", "c\r\n\t\xB0\xA1\xB0\xA2\r\n");
    WriteTable();
    files.FormShow();
    EXPECT_TRUE(files.DataLoaded());
    EXPECT_EQ(observer.reloads, 1);
    EXPECT_EQ(Read("srf_pub.usr"), std::string("\x02\x01\x00\x02\x00\x00", 6));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(EditorFilesTest, AMissingTableStopsTheShowAndKeepsTheFiles) {
    Write("srf_pub.dat", "c\r\n\tp\r\n");
    Write("srf_pub.usr", "old");
    try {
        files.FormShow();
        FAIL() << "no error";
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file " + Path("srf_pub.zc"));
    }
    EXPECT_EQ(tree.NodeCount(), 2);  // the tree is shown all the same
    EXPECT_EQ(observer.reloads, 1);
    EXPECT_FALSE(files.DataLoaded());
    EXPECT_EQ(Read("srf_pub.usr"), "old");
}

TEST_F(EditorFilesTest, AMalformedTreeFileShowsItsFirstLinesAndCountsAsNotLoaded) {
    Write("srf_pub.dat", "c\r\n\t\tdeep\r\n");
    WriteTable();
    EXPECT_THROW(files.FormShow(), std::exception);
    EXPECT_EQ(tree.NodeCount(), 1);
    EXPECT_EQ(observer.reloads, 1);
    EXPECT_FALSE(files.DataLoaded());
}

TEST_F(EditorFilesTest, SaveAndCompileWritesBothFilesAndSaveAnnounces) {
    Write("srf_pub.dat", "");
    WriteTable();
    files.FormShow();
    tree.InsertLastChild(tree.InsertLastChild(nullptr, "c"), "\xB0\xA2\xB0\xA1");
    files.SaveAndCompile();
    EXPECT_EQ(Read("srf_pub.dat"), "c\r\n\t\xB0\xA2\xB0\xA1\r\n");
    EXPECT_EQ(Read("srf_pub.usr"), std::string("\x02\x02\x00\x01\x00\x00", 6));
    EXPECT_TRUE(dialogs.shown.empty());
    files.CompilePhraseFile(true);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{texts::kSaved});

    // A tree file that cannot be saved leaves the compiled file as it was.
    fs::create_directory(directory / "srf_pub.dat.tmp");  // the save's temporary name is taken
    tree.InsertLastChild(tree.FirstRoot(), "\xB0\xA1\xB0\xA1");
    EXPECT_THROW(files.SaveAndCompile(), platform::Error);
    EXPECT_EQ(Read("srf_pub.dat"), "c\r\n\t\xB0\xA2\xB0\xA1\r\n");
    EXPECT_EQ(Read("srf_pub.usr"), std::string("\x02\x02\x00\x01\x00\x00", 6));
}

TEST_F(EditorFilesTest, EverySaveKeepsTheFileItReplacesAsTheBackup) {
    Write("srf_pub.dat", "c\r\n");
    WriteTable();
    files.FormShow();
    EXPECT_EQ(files.ReadBackup(), std::nullopt);
    tree.InsertLastChild(tree.FirstRoot(), "p");
    files.SaveAndCompile();
    EXPECT_EQ(Read("srf_pub.dat.bak"), "c\r\n");
    EXPECT_EQ(files.ReadBackup(), std::optional<std::string>("c\r\n"));
    tree.InsertLastChild(tree.FirstRoot(), "q");
    files.SaveAndCompile();  // one generation: the backup is the version before the last save
    EXPECT_EQ(Read("srf_pub.dat.bak"), "c\r\n\tp\r\n");
    EXPECT_EQ(Read("srf_pub.dat"), "c\r\n\tp\r\n\tq\r\n");
}

TEST_F(EditorFilesTest, TheFirstSaveOfADayKeepsADatedCopyAndTheLastTenDaysStay) {
    Write("srf_pub.dat", "c\r\n");
    WriteTable();
    BackupDate today{2026, 11, 1};
    files.SetClock([&] { return today; });
    files.FormShow();
    for (int day = 1; day <= 12; ++day) {
        today.day = day;
        for (const char* phrase : {"p", "q"}) {  // two saves a day, the first one dated
            tree.InsertLastChild(tree.FirstRoot(), phrase + std::to_string(day));
            files.SaveAndCompile();
        }
    }
    EXPECT_FALSE(fs::exists(directory / DatedBackupName({2026, 11, 2})));
    EXPECT_TRUE(fs::exists(directory / DatedBackupName({2026, 11, 3})));
    // The day's copy is the file before its first change; the backup, before its last.
    EXPECT_EQ(Read(DatedBackupName({2026, 11, 12})) + "\tp12\r\n", Read("srf_pub.dat.bak"));
    const std::vector<BackupEntry> list = files.ListBackups();
    ASSERT_EQ(list.size(), 11u);
    EXPECT_EQ(list[0].name, "srf_pub.dat.bak");
    EXPECT_EQ(list[1].phrases, 22);  // the file before day 12's first change
    EXPECT_EQ(files.ReadBackupNamed(list[1].name), Read(list[1].name));
    EXPECT_EQ(files.ReadBackupNamed("srf_pub.dat"), std::nullopt);
}

TEST_F(EditorFilesTest, AWriteByAnotherProgramIsNoticedAndCanBeReadAgain) {
    Write("srf_pub.dat", "c\r\n");
    WriteTable();
    files.FormShow();
    EXPECT_FALSE(files.ChangedOnDisk());
    tree.InsertLastChild(tree.FirstRoot(), "p");
    files.SaveAndCompile();
    EXPECT_FALSE(files.ChangedOnDisk());  // its own writes are no change

    Write("srf_pub.dat", "other\r\n\t\xB0\xA1\xB0\xA2\r\n");
    EXPECT_TRUE(files.ChangedOnDisk());
    files.ReloadPhraseTree();
    EXPECT_FALSE(files.ChangedOnDisk());
    EXPECT_EQ(tree.FirstRoot()->Text(), "other");
    EXPECT_EQ(Read("srf_pub.usr"), std::string("\x02\x01\x00\x02\x00\x00", 6));  // compiled at once

    Write("srf_pub.dat", "third\r\n");
    EXPECT_TRUE(files.ChangedOnDisk());
    files.AcceptDiskState();  // the user keeps the window's tree
    EXPECT_FALSE(files.ChangedOnDisk());
}

TEST_F(EditorFilesTest, TheCompileReportsWhichPhrasesItLeftOut) {
    Write("srf_pub.dat", "c\r\n\t\xB0\xA1\xB0\xA2\r\n\t\xB0\xA1\xB0\xA3\r\n");
    WriteTable();
    files.FormShow();
    EXPECT_EQ(files.Health().Counts().compiled, 1);
    EXPECT_EQ(files.Health().Counts().leftOut, 1);
    const phrases::PhraseVerdict* verdict = files.Health().LeftOut(tree.FirstRoot()->LastChild());
    ASSERT_NE(verdict, nullptr);
    EXPECT_EQ(verdict->missingTrail, 0xA3);
}

// The health is the model's: a deleted phrase takes the entries of everything beneath it, however
// deep, so the next compile reports no freed node as changed and counts the tree as it is.
TEST_F(EditorFilesTest, DeletingASubtreeDropsTheHealthOfEveryLevelBeneathIt) {
    const std::string one = "\xB0\xA1";  // a single character: left out
    Write("srf_pub.dat",
          "c\r\n\t" + one + "\r\n\t\t" + one + "\r\n\t\t\t" + one + "\r\n\t" + one + one + "\r\n");
    WriteTable();
    files.FormShow();
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
