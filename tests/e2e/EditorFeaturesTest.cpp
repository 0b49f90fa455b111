// The phrase editor's newer commands driven as a user drives them: phrase health in the tree and
// the status bar, Find, Undo and Redo, the moves, New category, one editor per data directory,
// another program's write to srf_pub.dat, the backup, and the tool buttons greyed when their
// commands cannot act.
#include <gtest/gtest.h>

#include "Driver.h"
#include "DriverEditor.h"
#include "DriverMouse.h"
#include "DriverTreeView.h"
#include "editor/commands/EditorCommandIds.h"

using namespace driver;
using namespace editor;

namespace {

void ExpectStatus(const EditorRun& session, int part, const std::wstring& text) {
    EXPECT_TRUE(Eventually([&] { return StatusBarText(session.Status(), part) == text; }))
        << "status bar part " << part << ": "
        << testing::PrintToString(StatusBarText(session.Status(), part));
}

TEST(EditorHealth, ALeftOutPhraseShowsItsImageAndTheReasonInTheStatusBar) {
    EditorRun session;
    session.Put("srf_pub.dat", Gb("问候\r\n\t你好\r\n\t你们好\r\n\t早\r\n其他\r\n"));
    session.Start(std::string("\x02\x01\x00\x02\x00\x00", 6));  // 你好 alone is compiled
    EXPECT_EQ(StatusBarText(session.Status(), 0), L"分类: 2  语料: 3  已编入: 1  未编入: 2");
    EXPECT_EQ(TreeItemImages(session.Tree(), session.Item(L"你好")), std::make_pair(0, 0));
    EXPECT_EQ(TreeItemImages(session.Tree(), session.Item(L"你们好")), std::make_pair(6, 6));
    session.Select(L"你们好");
    ExpectStatus(session, 1, L"未编入: 字“们”不在字表中");
    SaveScreenshot(session.Main(), "editor-left-out");
    session.Select(L"早");
    ExpectStatus(session, 1, L"未编入: 只有一个字, 语料至少要两个字");
    session.Select(L"你好");
    ExpectStatus(session, 1, L"读音: ni hao");  // a compiled phrase: its reading

    // Mending the phrase changes its image and the counts at once.
    session.Select(L"你们好");
    session.Command(IDM_EDIT);
    session.Type(L"你好好");
    session.Settle();
    EXPECT_EQ(TreeItemImages(session.Tree(), session.Item(L"你好好")), std::make_pair(0, 0));
    EXPECT_EQ(StatusBarText(session.Status(), 0), L"分类: 2  语料: 3  已编入: 2  未编入: 1");
}

TEST(EditorFind, CtrlFOpensTheBoxAndEnterAndF3GoToTheNextMatchWrapping) {
    EditorRun session;
    session.Start();
    session.Select(L"问候");
    PressKey(session.Tree(), 'F', true);
    HWND edit = FindChild(session.Main(), L"Edit");
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(edit) != FALSE; }));
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"好"));
    PressKey(edit, VK_RETURN);
    session.WaitForSelected(L"你好");
    PressKey(edit, VK_F3);
    session.WaitForSelected(L"早上好");
    PressKey(session.Tree(), VK_F3);  // F3 works from the tree as well, and wraps
    session.WaitForSelected(L"你好");

    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"晚安"));
    session.Command(IDM_FIND_NEXT);
    session.Answer(L"提示框", L"没有找到要查找的内容!");
    EXPECT_EQ(session.SelectedText(), L"你好");
    PressKey(edit, VK_ESCAPE);
    EXPECT_TRUE(Eventually([&] { return !IsWindowVisible(edit); }));
}

TEST(EditorUndo, CtrlZAndCtrlYUndoAndRedoADeleteAndAModifySavingEachStep) {
    EditorRun session;
    session.Start();
    session.Select(L"你好");
    session.Command(IDM_DELETE);
    session.Answer(L"确认框", L"确定要删除[你好]吗?");
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t早上好\r\n其他\r\n"));
    session.Select(L"其他");
    session.Command(IDM_EDIT);
    session.Type(L"别的");
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t早上好\r\n别的\r\n"));

    PressKey(session.Tree(), 'Z', true);
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t早上好\r\n其他\r\n"));
    PressKey(session.Tree(), 'Z', true);  // the phrase comes back at its old place
    session.WaitForFile("srf_pub.dat", EditorTree());
    session.WaitForFile("srf_pub.usr", EditorCompiled());
    EXPECT_EQ(session.SelectedText(), L"你好");
    PressKey(session.Tree(), 'Y', true);
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t早上好\r\n其他\r\n"));
    session.Command(IDM_REDO);
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t早上好\r\n别的\r\n"));
}

TEST(EditorOrder, CtrlUpAndDownMoveWithinTheCategoryAndADragMovesToAnother) {
    EditorRun session;
    session.Start();
    session.Select(L"你好");
    PressKey(session.Tree(), VK_DOWN, true);
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t早上好\r\n\t你好\r\n其他\r\n"));
    session.WaitForFile("srf_pub.usr",
                        std::string("\x03\x03\x00\x04\x00\x02\x00\x02\x01\x00\x02\x00\x00", 13));
    EXPECT_EQ(session.SelectedText(), L"你好");
    PressKey(session.Tree(), VK_DOWN, true);  // last already: nothing
    PressKey(session.Tree(), VK_UP, true);    // handled after it, as keys are
    session.WaitForFile("srf_pub.dat", EditorTree());
    session.Command(IDM_MOVE_UP);  // first already: nothing
    session.Settle();
    EXPECT_EQ(session.File("srf_pub.dat"), EditorTree());

    EXPECT_EQ(DragTreeItem(session.Tree(), session.Item(L"早上好"), session.Item(L"其他")), "");
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t你好\r\n其他\r\n\t早上好\r\n"));
}

TEST(EditorNewCategory, AddsACategoryAfterTheLastWithTheChecksOfNew) {
    EditorRun session;
    session.Start();
    session.Command(IDM_NEW_CATEGORY);
    EXPECT_EQ(session.Type(L"你好"), L"分类");
    session.Answer(L"提示框", L"输入的内容已经存在, 请检查!");
    session.Command(IDM_NEW_CATEGORY);
    session.Type(L" 新类 ");
    session.WaitForFile("srf_pub.dat", EditorTree() + Gb("新类\r\n"));
    EXPECT_EQ(session.SelectedText(), L"新类");
    session.Command(IDM_NEW);  // the new category takes phrases at once
    session.Type(L"早早");
    session.WaitForFile("srf_pub.dat", EditorTree() + Gb("新类\r\n\t早早\r\n"));
}

TEST(EditorSingleInstance, ASecondEditorOnTheSameDirectoryBringsTheFirstForwardAndEnds) {
    EditorRun first;
    first.Start();
    EditorRun other;  // another directory: runs side by side
    other.Start();
    EXPECT_FALSE(other.program().HasExited());
    SetForegroundWindow(other.Main());
    Eventually([&] { return GetForegroundWindow() == other.Main(); }, 3s);

    Program second(first.Executable(), L"user", first.Directory());
    EXPECT_EQ(second.WaitForExit(10s), 0);
    EXPECT_TRUE(Eventually([&] { return GetForegroundWindow() == first.Main(); }, 3s));
    EXPECT_FALSE(first.program().HasExited());
    EXPECT_FALSE(other.program().HasExited());
}

// Activates the editor anew, as a click on it after working in another program does.
void SwitchAwayAndBack(EditorRun& session) {
    HWND elsewhere = CreateWindowExW(0, L"Static", L"elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                     50, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(elsewhere);
    EXPECT_TRUE(Eventually([&] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        return GetForegroundWindow() == elsewhere;
    }));
    BringToFront(session.Main());
    DestroyWindow(elsewhere);
}

// Activates the editor again after another window had the foreground, until the box its
// activation check shows is up. Under load, Wine now and then moves the foreground away and back
// between two processes without the editor ever seeing itself deactivated; it then gets no
// activation either, as a user switching programs always gives it.
void Reactivate(EditorRun& session) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        SwitchAwayAndBack(session);
        if (WaitForMessageBox(session.program().Id(), 5s).hwnd)
            return;
    }
}

TEST(EditorDiskChange, AnotherProgramsWriteIsOfferedForReadingAndNeverOverwrittenUnasked) {
    EditorRun session;
    session.Start();
    const std::string theirs = Gb("他们的\r\n\t你好上\r\n");
    session.Put("srf_pub.dat", theirs);
    Reactivate(session);
    session.Answer(
        L"确认框",
        L"语料文件srf_pub.dat已被其他程序修改, 要重新读入吗?\n(取消: 保留窗口中的语料, 下次保存时覆盖该文件)");
    session.WaitForFile("srf_pub.usr", std::string("\x03\x01\x00\x02\x00\x04\x00\x00", 8));
    EXPECT_NE(session.Item(L"他们的"), nullptr);

    // Written again while the editor stays active: the next save asks first.
    session.Put("srf_pub.dat", EditorTree());
    session.Select(L"他们的");
    session.Command(IDM_NEW);
    session.Type(L"上上");
    session.Answer(
        L"确认框",
        L"语料文件srf_pub.dat已被其他程序修改!\n确定: 重新读入该文件, 放弃这次修改;\n取消: 用窗口中的语料覆盖该文件.",
        IDCANCEL);
    session.WaitForFile("srf_pub.dat", Gb("他们的\r\n\t上上\r\n\t你好上\r\n"));
}

TEST(EditorBackup, EverySaveKeepsTheLastVersionAndRestoreBringsItBack) {
    EditorRun session;
    session.Start();
    session.Command(IDM_RESTORE);
    session.Answer(L"提示框", L"没有找到备份文件srf_pub.dat.bak!");
    session.Select(L"其他");
    session.Command(IDM_NEW);
    session.Type(L"上早");
    const std::string changed = EditorTree() + Gb("\t上早\r\n");
    session.WaitForFile("srf_pub.dat", changed);
    EXPECT_EQ(session.File("srf_pub.dat.bak"), EditorTree());

    session.Command(IDM_RESTORE);
    session.Answer(L"确认框", L"确定要用备份恢复语料吗? 现在的语料将成为新的备份.");
    session.WaitForFile("srf_pub.dat", EditorTree());
    session.WaitForFile("srf_pub.usr", EditorCompiled());
    EXPECT_EQ(session.File("srf_pub.dat.bak"), changed);
    EXPECT_EQ(session.Item(L"上早"), nullptr);
}

TEST(EditorBackup, AfterAFailedLoadAtStartUpRestoreKeepsTheUnreadableFile) {
    EditorRun session;
    // A chain 1,000 levels deep, shown whole, then a line two levels too deep.
    std::string unreadable = Gb("问候\r\n");
    for (int level = 1; level <= 1000; ++level)
        unreadable += std::string(level, '\t') + Gb("你好\r\n");
    unreadable += std::string(1002, '\t') + "x\r\n";
    session.Put("srf_pub.dat", unreadable);
    session.Put("srf_pub.dat.bak", EditorTree());
    session.Open();
    session.ExpectErrorBox(L"Invalid level (1002) for item \"x\"");
    EXPECT_EQ(session.Texts().size(), 1001u);

    session.Command(IDM_RESTORE);
    // The file that failed to load goes to the unreadable name, and the question says so.
    session.Answer(L"确认框",
                   L"确定要用备份恢复语料吗? 现在的srf_pub.dat未能正确读入, "
                   L"将原样保留为srf_pub.dat.unreadable.");
    session.WaitForFile("srf_pub.dat", EditorTree());
    session.WaitForFile("srf_pub.usr", EditorCompiled());
    EXPECT_EQ(session.File("srf_pub.dat.unreadable"), unreadable);
    EXPECT_EQ(session.File("srf_pub.dat.bak"), EditorTree());
    EXPECT_EQ(session.Texts().size(), 4u);
}

// The rules of the enabled states are the controller's (unit-tested there); this is their wiring:
// the buttons follow every command and every change of the selection, and an enabled one runs.
TEST(EditorToolBar, GreysTheCommandsThatCannotActAndRunsTheOthers) {
    EditorRun session;
    session.Start();
    const HWND toolBar = FindWindowExW(session.Main(), nullptr, TOOLBARCLASSNAMEW, nullptr);
    ASSERT_NE(toolBar, nullptr);
    const auto enabled = [&](int id) {
        return SendMessageW(toolBar, TB_ISBUTTONENABLED, id, 0) != 0;
    };
    EXPECT_FALSE(enabled(IDM_UNDO));
    EXPECT_TRUE(enabled(IDM_NEW));
    session.Select(L"问候");
    EXPECT_TRUE(Eventually([&] { return !enabled(IDM_MOVE_UP) && !enabled(IDM_MOVE_DOWN); }));
    session.Select(L"你好");
    EXPECT_TRUE(Eventually([&] { return !enabled(IDM_MOVE_UP) && enabled(IDM_MOVE_DOWN); }));

    session.New(L"其他", L"上早");
    session.WaitForFile("srf_pub.dat", EditorTree() + Gb("\t上早\r\n"));
    ASSERT_TRUE(Eventually([&] { return enabled(IDM_UNDO); }));
    ClickToolButton(toolBar, IDM_UNDO);
    session.WaitForFile("srf_pub.dat", EditorTree());
    EXPECT_TRUE(Eventually([&] { return !enabled(IDM_UNDO) && enabled(IDM_REDO); }));
}

}  // namespace
