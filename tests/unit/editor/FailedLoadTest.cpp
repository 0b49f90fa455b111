// After srf_pub.dat failed to load: the commands and the files together on a real directory, every
// file's bytes checked after each step.
#include <gtest/gtest.h>

#include <filesystem>

#include "EditorTexts.h"
#include "ScriptedDialogs.h"
#include "editor/commands/DirectoryFiles.h"
#include "editor/commands/EditorCommands.h"
#include "shared/TestDirectory.h"

namespace editor {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedDialogs;
using testing::Shown;

Shown Notice(const char* text) { return {text, texts::kNoticeCaption, BoxKind::Notice}; }

const std::string kGood = "c\r\n\t\xB0\xA1\xB0\xA2\r\n";
const std::string kCompiledGood("\x02\x01\x00\x02\x00\x00", 6);
const std::string kBad = "c\r\n\t\t\xB0\xA1\r\n";  // a line two levels below the one before
constexpr const char* kNone = "(none)";

class FailedLoadTest : public ::testing::Test {
protected:
    FailedLoadTest() { Write("srf_pub.zc", testsupport::TwoCharacterTable()); }

    void Write(const std::string& name, const std::string& bytes) { m_dir.Write(name, bytes); }
    std::string Read(const std::string& name) {
        return fs::exists(directory / name) ? m_dir.Read(name) : kNone;
    }
    void ExpectFiles(const std::string& tree, const std::string& backup,
                     const std::string& unreadable) {
        EXPECT_EQ(Read("srf_pub.dat"), tree);
        EXPECT_EQ(Read("srf_pub.dat.bak"), backup);
        EXPECT_EQ(Read("srf_pub.dat.unreadable"), unreadable);
    }
    void NewPhrase(const std::string& text) {
        dialogs.typed.push_back(text);
        commands.New(tree.FirstRoot());
    }

    testsupport::TestDirectory m_dir{"failed-load"};
    const fs::path& directory = m_dir.Root();
    phrases::DataDirectory data{(directory / "").string()};
    phrases::TTreeNodes& tree = data.Tree();
    ScriptedDialogs dialogs;
    TreeObserver observer;
    DirectoryFiles files{data, observer};
    EditorCommands commands{tree, dialogs, files, files, dialogs, data.Table()};
};

TEST_F(FailedLoadTest, RestoreKeepsTheUnreadableFileAndLeavesNothingToUndo) {
    Write("srf_pub.dat", kGood);
    commands.Load();
    NewPhrase("p1");
    const std::string withP1 = "c\r\n\tp1\r\n\t\xB0\xA1\xB0\xA2\r\n";
    ExpectFiles(withP1, kGood, kNone);

    // Another program writes a file with a bad level; the next change notices it and the user
    // reads it again: the load fails, leaving the first lines in the tree.
    Write("srf_pub.dat", kBad);
    dialogs.answers = {Answer::Ok};
    EXPECT_THROW(NewPhrase("p2"), std::exception);
    EXPECT_FALSE(files.DataLoaded());
    ExpectFiles(kBad, kGood, kNone);

    commands.RestoreBackup();
    ExpectFiles(kGood, kGood, kBad);
    EXPECT_EQ(Read("srf_pub.usr"), kCompiledGood);
    EXPECT_FALSE(commands.CanUndo());

    const auto shown = dialogs.shown.size();
    commands.Undo();
    commands.Redo();
    ExpectFiles(kGood, kGood, kBad);
    EXPECT_EQ(dialogs.shown.size(), shown);

    // From here on the editor works as ever; the kept file stays where it is.
    NewPhrase("p3");
    const std::string withP3 = "c\r\n\tp3\r\n\t\xB0\xA1\xB0\xA2\r\n";
    ExpectFiles(withP3, kGood, kBad);
    commands.Undo();
    ExpectFiles(kGood, withP3, kBad);
    commands.Redo();
    ExpectFiles(withP3, kGood, kBad);
}

TEST_F(FailedLoadTest, AtStartUpTheTableLoadsAndASecondUnreadableFileGetsANumber) {
    Write("srf_pub.dat", kBad);
    Write("srf_pub.dat.bak", kGood);
    Write("srf_pub.dat.unreadable", "earlier");
    try {
        commands.Load();
        FAIL() << "no error";
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what()), "Invalid level (2) for item \"\xB0\xA1\"");
    }
    EXPECT_FALSE(files.DataLoaded());
    EXPECT_TRUE(files.TableLoaded());
    EXPECT_EQ(Read("srf_pub.usr"), kNone);  // a partly read tree is never compiled

    NewPhrase("refused");
    EXPECT_EQ(dialogs.shown.back(), Notice(texts::kDataNotLoaded));
    commands.RestoreBackup();
    ExpectFiles(kGood, kGood, "earlier");
    EXPECT_EQ(Read("srf_pub.dat.unreadable.1"), kBad);
    EXPECT_EQ(Read("srf_pub.usr"), kCompiledGood);
    EXPECT_TRUE(files.DataLoaded());
}

TEST_F(FailedLoadTest, BytesAfterANulAreToldOnceAndKeptWholeBeforeTheFirstSave) {
    const std::string withNul = kGood + std::string("\0\tlost\r\n", 8);
    Write("srf_pub.dat", withNul);
    commands.Load();
    const std::string notice = std::string(texts::kStrayNulStart) + "11" + texts::kStrayNulMiddle +
                               "7" + texts::kStrayNulEnd;
    EXPECT_EQ(dialogs.shown, std::vector<Shown>{Notice(notice.c_str())});
    EXPECT_EQ(Read("srf_pub.usr"), kCompiledGood);  // the tree before the NUL, as read

    NewPhrase("p1");
    const std::string withP1 = "c\r\n\tp1\r\n\t\xB0\xA1\xB0\xA2\r\n";
    ExpectFiles(withP1, kNone, withNul);
    NewPhrase("p2");  // kept once: from now on the backup takes the file it replaces
    ExpectFiles("c\r\n\tp2\r\n\tp1\r\n\t\xB0\xA1\xB0\xA2\r\n", withP1, withNul);
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(FailedLoadTest, AUtf8FileIsConvertedOnRequestAndOtherwiseNeverWritten) {
    // c / 啊阿 in UTF-8 with its mark, as Notepad saves it.
    const std::string utf8 =
        "\xEF\xBB\xBF"
        "c\r\n\t\xE5\x95\x8A\xE9\x98\xBF\r\n";
    Write("srf_pub.dat", utf8);
    dialogs.answers = {Answer::Cancel};
    commands.Load();
    EXPECT_EQ(dialogs.shown, (std::vector<Shown>{{texts::kUtf8Question, texts::kConfirmCaption,
                                                  BoxKind::Question}}));
    EXPECT_FALSE(files.DataLoaded());
    EXPECT_EQ(tree.NodeCount(), 0);
    NewPhrase("refused");
    EXPECT_EQ(dialogs.shown.back(), Notice(texts::kDataNotLoaded));
    ExpectFiles(utf8, kNone, kNone);

    commands.Load();  // asked again; OK converts
    EXPECT_TRUE(files.DataLoaded());
    ExpectFiles(kGood, kNone, utf8);
    EXPECT_EQ(Read("srf_pub.usr"), kCompiledGood);
}

TEST_F(FailedLoadTest, AChangeAFailedSaveLeftIsWrittenBySaveAndQuitAsksFirst) {
    Write("srf_pub.dat", kGood);
    commands.Load();
    EXPECT_TRUE(commands.ConfirmQuit());
    fs::create_directory(directory / "srf_pub.dat.bak");  // the backup cannot be written
    EXPECT_THROW(NewPhrase("p1"), std::exception);
    EXPECT_TRUE(data.TreeUnsaved());

    dialogs.shown.clear();
    dialogs.answers = {Answer::Cancel};
    EXPECT_FALSE(commands.ConfirmQuit());
    EXPECT_EQ(dialogs.shown, (std::vector<Shown>{{texts::kQuitUnsaved, texts::kConfirmCaption,
                                                  BoxKind::CautiousQuestion}}));

    fs::remove(directory / "srf_pub.dat.bak");
    commands.Save();
    EXPECT_EQ(Read("srf_pub.dat"), "c\r\n\tp1\r\n\t\xB0\xA1\xB0\xA2\r\n");
    EXPECT_EQ(Read("srf_pub.dat.bak"), kGood);
    EXPECT_EQ(dialogs.shown.back(), Notice(texts::kSaved));
    EXPECT_FALSE(data.TreeUnsaved());
    EXPECT_TRUE(commands.ConfirmQuit());
}

}  // namespace
}  // namespace editor
