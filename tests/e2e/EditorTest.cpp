// The phrase editor driven as a user drives it: srf_user.exe user in a scratch directory with its
// srf_pub.dat and srf_pub.zc, commands sent to its window, the input box filled in, every message
// box read and answered, and srf_pub.dat and srf_pub.usr checked byte for byte.
#include <gtest/gtest.h>

#include "Driver.h"
#include "DriverEditor.h"
#include "DriverMouse.h"
#include "DriverTreeView.h"
#include "editor/commands/EditorCommandIds.h"

using namespace driver;
using namespace editor;

namespace {

// Both files as they were once the command has ended (a refused or cancelled change writes
// nothing).
void ExpectFilesUnchanged(const EditorRun& session) {
    session.Settle();
    EXPECT_EQ(session.File("srf_pub.dat"), EditorTree());
    EXPECT_EQ(session.File("srf_pub.usr"), EditorCompiled());
}

TEST(Editor, ShowsThePhraseTreeAndCompilesItAtOnce) {
    EditorRun session;
    session.Start();
    EXPECT_EQ(session.Texts(), (std::vector<std::wstring>{L"问候", L"你好", L"早上好", L"其他"}));
    const auto roots = TreeRootItems(session.Tree());
    ASSERT_EQ(roots.size(), 2u);
    EXPECT_EQ(TreeChildItems(session.Tree(), roots[0]).size(), 2u);
    EXPECT_EQ(TreeItemImages(session.Tree(), roots[0]), std::make_pair(0, 0));
    EXPECT_EQ(WindowText(session.Main()), L"用户语料");
    TreeView_Expand(session.Tree(), roots[0], TVE_EXPAND);
    session.Select(L"早上好");
    session.Settle();
    SaveScreenshot(session.Main(), "editor");
}

TEST(Editor, NewPutsTheTrimmedTextFirstInTheCategoryAndSavesBothFiles) {
    EditorRun session;
    session.Start();
    session.Select(L"早上好");  // a phrase: the new one still goes first in its category
    session.Command(IDM_NEW);
    const InputBox box = session.WaitForInputBox();
    EXPECT_EQ(box.prompt, L"问候 ");
    EXPECT_EQ(box.value, L"");
    SendMessageW(box.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"  好上你 "));
    SaveScreenshot(box.hwnd, "input-box");
    PressDialogButton(box.hwnd, IDOK);
    WaitUntilClosed(box.hwnd);
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t好上你\r\n\t你好\r\n\t早上好\r\n其他\r\n"));
    session.WaitForFile("srf_pub.usr",
                        std::string("\x03\x02\x00\x04\x00\x01\x00", 7) + EditorCompiled());
    EXPECT_EQ(session.Texts(),
              (std::vector<std::wstring>{L"问候", L"好上你", L"你好", L"早上好", L"其他"}));
}

TEST(Editor, NewOnAnEmptyCategoryAndItsRefusals) {
    EditorRun session;
    session.Start();
    session.Select(L"其他");
    session.Command(IDM_NEW);
    Fill(session.WaitForInputBox(), L"早上好");  // already in the tree
    session.Answer(L"提示框", L"输入的内容已经存在, 请检查!");
    session.Command(IDM_NEW);
    Fill(session.WaitForInputBox(), L"   ");
    session.Answer(L"提示框", L"请输入的内容不正确!");
    session.Command(IDM_NEW);
    Fill(session.WaitForInputBox(), L"上好", IDCANCEL);
    ExpectFilesUnchanged(session);

    session.Command(IDM_NEW);
    Fill(session.WaitForInputBox(), L"上好");
    session.WaitForFile("srf_pub.dat", EditorTree() + Gb("\t上好\r\n"));
    session.WaitForFile("srf_pub.usr", EditorCompiled().substr(0, 12) +
                                           std::string("\x02\x04\x00\x02\x00\x00", 6));
}

TEST(Editor, NewRefusesTextThatGb2312CannotHoldNamingItsFirstCharacter) {
    EditorRun session;
    session.Start();
    session.Select(L"其他");
    session.Command(IDM_NEW);
    Fill(session.WaitForInputBox(), L"\U0001F600好");  // the system would store "?好"
    session.Answer(L"提示框", L"输入的内容含GB2312没有的字 U+1F600, 不能保存!");
    session.Settle();
    EXPECT_EQ(session.File("srf_pub.dat"), EditorTree());
    EXPECT_EQ(session.File("srf_pub.usr"), EditorCompiled());
}

TEST(Editor, ModifyRenamesTheSelectedNodeOrLeavesItOnCancel) {
    EditorRun session;
    session.Start();
    session.Select(L"你好");
    session.Command(IDM_EDIT);
    InputBox box = session.WaitForInputBox();
    EXPECT_EQ(box.prompt, L"内容");
    EXPECT_EQ(box.value, L"你好");
    Fill(box, L"你好你好", IDCANCEL);
    ExpectFilesUnchanged(session);

    session.Command(IDM_EDIT);
    Fill(session.WaitForInputBox(), L" 你好你好\t");  // kept without the blanks
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t你好你好\r\n\t早上好\r\n其他\r\n"));
    session.WaitForFile("srf_pub.usr", std::string("\x04\x01\x00\x02\x00\x01\x00\x02\x00", 9) +
                                           EditorCompiled().substr(5));
    EXPECT_EQ(session.Texts(),
              (std::vector<std::wstring>{L"问候", L"你好你好", L"早上好", L"其他"}));
}

TEST(Editor, DeleteAsksFirstAndRefusesCategories) {
    EditorRun session;
    session.Start();
    session.Select(L"问候");
    session.Command(IDM_DELETE);
    session.Answer(L"提示框", L"分类不能删除!");
    session.Select(L"你好");
    session.Command(IDM_DELETE);
    session.Answer(L"确认框", L"确定要删除[你好]吗?", IDCANCEL);
    ExpectFilesUnchanged(session);

    session.Command(IDM_DELETE);
    session.Answer(L"确认框", L"确定要删除[你好]吗?", IDOK);
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t早上好\r\n其他\r\n"));
    session.WaitForFile("srf_pub.usr", EditorCompiled().substr(5));
    EXPECT_EQ(session.Texts(), (std::vector<std::wstring>{L"问候", L"早上好", L"其他"}));
}

TEST(Editor, SaveRewritesTheCompiledFileWithItsNoticeAndQuitEnds) {
    EditorRun session;
    session.Start();
    session.Remove("srf_pub.usr");
    session.Command(IDM_SAVE);
    session.Answer(L"提示框", L"祝贺：保存完成!");
    EXPECT_EQ(session.File("srf_pub.usr"), EditorCompiled());  // written before the notice
    EXPECT_EQ(session.File("srf_pub.dat"), EditorTree());
    session.Command(IDM_QUIT);
    EXPECT_EQ(session.program().WaitForExit(), 0);
}

TEST(Editor, KeysReachTheCommands) {
    EditorRun session;
    session.Start();
    session.Select(L"早上好");
    PressKey(session.Tree(), VK_F2);
    InputBox box = session.WaitForInputBox();
    EXPECT_EQ(box.value, L"早上好");
    PressKey(box.edit, VK_ESCAPE);
    WaitUntilClosed(box.hwnd);
    PressKey(session.Tree(), VK_RETURN);
    Fill(session.WaitForInputBox(), L"", IDCANCEL);
    PressKey(session.Tree(), VK_INSERT);
    Fill(session.WaitForInputBox(), L"", IDCANCEL);
    PressKey(session.Tree(), VK_DELETE);
    session.Answer(L"确认框", L"确定要删除[早上好]吗?", IDCANCEL);
    PressKey(session.Tree(), 'S', true);
    session.Answer(L"提示框", L"祝贺：保存完成!");
    ExpectFilesUnchanged(session);
}

TEST(Editor, DoubleClickModifiesAPhraseAndOnlyOpensOrClosesACategory) {
    EditorRun session;
    session.Start();
    const auto expanded = [&] {
        return (SendMessageW(session.Tree(), TVM_GETITEMSTATE,
                             reinterpret_cast<WPARAM>(session.Item(L"问候")), TVIS_EXPANDED) &
                TVIS_EXPANDED) != 0;
    };
    const bool before = expanded();
    DoubleClickTreeItem(session.Tree(), session.Item(L"问候"));
    EXPECT_TRUE(Eventually([&] { return expanded() != before; }));
    session.ExpectNoBox();
    if (!expanded())
        DoubleClickTreeItem(session.Tree(), session.Item(L"问候"));
    ASSERT_TRUE(Eventually(expanded));
    DoubleClickTreeItem(session.Tree(), session.Item(L"你好"));
    InputBox box = session.WaitForInputBox();
    EXPECT_EQ(box.value, L"你好");
    Fill(box, L"", IDCANCEL);
    ExpectFilesUnchanged(session);
}

TEST(Editor, AMissingCharacterTableIsReportedAndNothingIsWrittenAfterwards) {
    EditorRun session;
    session.Remove("srf_pub.zc");
    session.Open();
    const MessageBoxSeen error = WaitForMessageBox(session.program().Id());
    ASSERT_NE(error.hwnd, nullptr);
    EXPECT_EQ(error.caption, L"srf_user");
    EXPECT_EQ(error.text.rfind(L"Cannot open file ", 0), 0u)
        << std::string(error.text.begin(), error.text.end());
    EXPECT_TRUE(error.text.ends_with(L"\\srf_pub.zc."))
        << std::string(error.text.begin(), error.text.end());
    PressDialogButton(error.hwnd, IDOK);
    WaitUntilClosed(error.hwnd);
    EXPECT_EQ(session.Texts().size(), 4u);  // the tree is shown all the same

    // The window still answers, and keeps both files as they are.
    session.Select(L"你好");
    for (int command : {IDM_NEW, IDM_EDIT, IDM_DELETE, IDM_SAVE}) {
        session.Command(command);
        session.Answer(L"提示框", L"数据文件未能正确读入, 不能保存修改!");
    }
    session.Settle();
    EXPECT_EQ(session.File("srf_pub.dat"), EditorTree());
    EXPECT_FALSE(session.Exists("srf_pub.usr"));
}

TEST(Editor, AMissingTreeFileIsReportedAndTheEmptyWindowKeepsWorking) {
    EditorRun session;
    session.Remove("srf_pub.dat");
    session.Open();
    const MessageBoxSeen error = WaitForMessageBox(session.program().Id());
    ASSERT_NE(error.hwnd, nullptr);
    EXPECT_TRUE(error.text.ends_with(L"\\srf_pub.dat."))
        << std::string(error.text.begin(), error.text.end());
    PressDialogButton(error.hwnd, IDOK);
    WaitUntilClosed(error.hwnd);
    EXPECT_TRUE(session.Texts().empty());
    session.Command(IDM_NEW);
    session.Answer(L"提示框", L"数据文件未能正确读入, 不能保存修改!");
    EXPECT_FALSE(session.Exists("srf_pub.dat"));
    EXPECT_FALSE(session.Exists("srf_pub.usr"));
}

TEST(Editor, TheInputBoxTakesAtMost255BytesOfGb2312) {
    EditorRun session;
    session.Start();
    session.Select(L"其他");
    session.Command(IDM_NEW);
    const InputBox box = session.WaitForInputBox();
    ASSERT_NE(box.edit, nullptr);
    const std::wstring pasted(130, L'你');  // 260 bytes: only 127 characters fit
    SendMessageW(box.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pasted.c_str()));
    EXPECT_EQ(WindowText(box.edit), std::wstring(127, L'你'));
    const std::wstring ascii(255, L'a');
    SendMessageW(box.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ascii.c_str()));
    EXPECT_EQ(WindowText(box.edit), ascii);
    Fill(box, L"", IDCANCEL);
    ExpectFilesUnchanged(session);
}

TEST(Editor, SetReadingKeepsTheReadingBesideThePhraseFileAndTheStatusBarShowsIt) {
    EditorRun session;
    session.Start();
    session.Select(L"早上好");
    EXPECT_TRUE(
        Eventually([&] { return StatusBarText(session.Status(), 1) == L"读音: zao shang hao"; }));
    session.Command(IDM_SET_READING);
    InputBox box = session.WaitForInputBox();
    EXPECT_EQ(box.value, L"zao shang hao");
    Fill(box, L"zao shang hao");
    session.WaitForFile("srf_pub.pinyin.txt", "早上好\tzao shang hao\r\n");
    EXPECT_TRUE(Eventually(
        [&] { return StatusBarText(session.Status(), 1) == L"读音: zao shang hao (已设定)"; }));
    EXPECT_EQ(session.File("srf_pub.dat"), EditorTree());  // the phrase file stays as it is
}

}  // namespace
