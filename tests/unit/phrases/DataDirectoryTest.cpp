// A data directory's files: what a load reads, what a save writes and keeps, on real files.
#include "phrases/DataDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "platform/Error.h"
#include "shared/TestDirectory.h"

namespace phrases {
namespace {

namespace fs = std::filesystem;

class DataDirectoryTest : public ::testing::Test {
protected:
    void Write(const std::string& name, const std::string& bytes) { m_dir.Write(name, bytes); }
    std::string Read(const std::string& name) { return m_dir.Read(name); }
    void WriteTable() { Write("srf_pub.zc", testsupport::TwoCharacterTable()); }
    std::string Path(const std::string& name) { return m_dir.Path(name); }
    TTreeNodes& Tree() { return files.Tree(); }
    void Load() {
        files.LoadTree(observer);
        files.LoadTable();
        files.Compile();
    }
    void Reload() {
        files.LoadTree(observer);
        files.Compile();
    }
    void SaveAndCompile() {
        files.Save();
        files.Compile();
    }

    testsupport::TestDirectory m_dir{"data-directory"};
    const fs::path& directory = m_dir.Root();
    TreeObserver observer;
    DataDirectory files{(directory / "").string()};
};

// Export must not write over these files, whichever way its path reaches them; srf_pub.dat.bak
// counts before it exists.
TEST_F(DataDirectoryTest, OwnFilesAreKnownByIdentityAndByNameBeforeTheyExist) {
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

TEST_F(DataDirectoryTest, SaveAndCompileWritesBothFiles) {
    Write("srf_pub.dat", "");
    WriteTable();
    Load();
    Tree().InsertLastChild(Tree().InsertLastChild(nullptr, "c"), "\xB0\xA2\xB0\xA1");
    SaveAndCompile();
    EXPECT_EQ(Read("srf_pub.dat"), "c\r\n\t\xB0\xA2\xB0\xA1\r\n");
    EXPECT_EQ(Read("srf_pub.usr"), std::string("\x02\x02\x00\x01\x00\x00", 6));

    // A tree file that cannot be saved leaves the compiled file as it was.
    fs::create_directory(directory / "srf_pub.dat.tmp");  // the save's temporary name is taken
    Tree().InsertLastChild(Tree().FirstRoot(), "\xB0\xA1\xB0\xA1");
    EXPECT_THROW(SaveAndCompile(), platform::Error);
    EXPECT_EQ(Read("srf_pub.dat"), "c\r\n\t\xB0\xA2\xB0\xA1\r\n");
    EXPECT_EQ(Read("srf_pub.usr"), std::string("\x02\x02\x00\x01\x00\x00", 6));
}

TEST_F(DataDirectoryTest, EverySaveKeepsTheFileItReplacesAsTheBackup) {
    Write("srf_pub.dat", "c\r\n");
    WriteTable();
    Load();
    EXPECT_FALSE(files.HasBackup());
    Tree().InsertLastChild(Tree().FirstRoot(), "p");
    SaveAndCompile();
    EXPECT_EQ(Read("srf_pub.dat.bak"), "c\r\n");
    EXPECT_EQ(files.ReadBackupNamed("srf_pub.dat.bak"), std::optional<std::string>("c\r\n"));
    Tree().InsertLastChild(Tree().FirstRoot(), "q");
    SaveAndCompile();  // one generation: the backup is the version before the last save
    EXPECT_EQ(Read("srf_pub.dat.bak"), "c\r\n\tp\r\n");
    EXPECT_EQ(Read("srf_pub.dat"), "c\r\n\tp\r\n\tq\r\n");
}

TEST_F(DataDirectoryTest, TheFirstSaveOfADayKeepsADatedCopyAndTheLastTenDaysStay) {
    Write("srf_pub.dat", "c\r\n");
    WriteTable();
    BackupDate today{2026, 11, 1};
    files.SetClock([&] { return today; });
    Load();
    for (int day = 1; day <= 12; ++day) {
        today.day = day;
        for (const char* phrase : {"p", "q"}) {  // two saves a day, the first one dated
            Tree().InsertLastChild(Tree().FirstRoot(), phrase + std::to_string(day));
            SaveAndCompile();
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

TEST_F(DataDirectoryTest, AWriteByAnotherProgramIsNoticedAndCanBeReadAgain) {
    Write("srf_pub.dat", "c\r\n");
    WriteTable();
    Load();
    EXPECT_FALSE(files.ChangedOnDisk());
    Tree().InsertLastChild(Tree().FirstRoot(), "p");
    SaveAndCompile();
    EXPECT_FALSE(files.ChangedOnDisk());  // its own writes are no change

    Write("srf_pub.dat", "other\r\n\t\xB0\xA1\xB0\xA2\r\n");
    EXPECT_TRUE(files.ChangedOnDisk());
    Reload();
    EXPECT_FALSE(files.ChangedOnDisk());
    EXPECT_EQ(Tree().FirstRoot()->Text(), "other");
    EXPECT_EQ(Read("srf_pub.usr"), std::string("\x02\x01\x00\x02\x00\x00", 6));  // compiled at once

    Write("srf_pub.dat", "third\r\n");
    EXPECT_TRUE(files.ChangedOnDisk());
    files.AcceptDiskState();  // the user keeps the window's tree
    EXPECT_FALSE(files.ChangedOnDisk());
}

}  // namespace
}  // namespace phrases
