// The phrase editor driven as a user drives it: srf_user.exe user in a scratch directory with its
// srf_pub.dat and srf_pub.zc, commands sent to its window, the input box filled in, every message
// box read and answered, and srf_pub.dat and srf_pub.usr checked byte for byte.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "Driver.h"
#include "DriverTreeView.h"
#include "editor/EditorCommandIds.h"

using namespace driver;
using namespace editor;

namespace {

// The character table: 你 好 早 上 (numbers 1 to 4), with the header's unread bytes zero.
std::string Table() {
    const std::string characters = Gb("你好早上");
    std::string bytes(10, '\0');
    bytes[4] = static_cast<char>(characters.size() / 2);
    return bytes + characters;
}

// 问候 holds 你好 and 早上好; 其他 is empty.
const std::string kTree = Gb("问候\r\n\t你好\r\n\t早上好\r\n其他\r\n");
// 你好 = 02 (1, 2); 早上好 = 03 (3, 4, 2); then the end mark.
const std::string kCompiled("\x02\x01\x00\x02\x00\x03\x03\x00\x04\x00\x02\x00\x00", 13);

class EditorSession {
public:
    explicit EditorSession(bool withTable = true, const std::string& tree = kTree) {
        m_executable = m_directory.InstallProgram();
        WriteFileBytes(m_directory / "srf_pub.dat", tree);
        if (withTable)
            WriteFileBytes(m_directory / "srf_pub.zc", Table());
    }

    void Start() {
        m_program = std::make_unique<Program>(m_executable, L"user", m_directory.Path());
        m_main = WaitForWindow(m_program->Id(), L"TForm_User_Main");
        ASSERT_NE(m_main, nullptr);
        m_tree = FindChild(m_main, L"SysTreeView32");
        ASSERT_NE(m_tree, nullptr);
    }
    // Starts and waits until the show handler has compiled srf_pub.usr.
    void StartAndWaitForCompile() {
        Start();
        WaitForFile("srf_pub.usr", kCompiled);
    }

    Program& program() { return *m_program; }
    HWND Main() const { return m_main; }
    HWND Tree() const { return m_tree; }

    std::string File(const std::string& name) const { return ReadFileBytes(m_directory / name); }
    bool Exists(const std::string& name) const { return std::filesystem::exists(m_directory / name); }
    void Remove(const std::string& name) const { std::filesystem::remove(m_directory / name); }

    // Waits until the file holds the bytes (a command writes after its last box has closed).
    void WaitForFile(const std::string& name, const std::string& expected) {
        const auto end = std::chrono::steady_clock::now() + 10s;
        while (File(name) != expected && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(50ms);
        EXPECT_EQ(File(name), expected) << name;
    }
    // Returns once the window's thread takes messages again: the command has ended or waits in a box.
    void Settle() const {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(m_main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
    }
    void ExpectFilesUnchanged() {
        Settle();
        std::this_thread::sleep_for(300ms);
        EXPECT_EQ(File("srf_pub.dat"), kTree);
        EXPECT_EQ(File("srf_pub.usr"), kCompiled);
    }

    HTREEITEM Item(const std::wstring& text) const {
        for (HTREEITEM item : TreeItems(m_tree))
            if (TreeItemText(m_tree, item) == text)
                return item;
        ADD_FAILURE() << "no tree item of that text";
        return nullptr;
    }
    void Select(const std::wstring& text) { SelectTreeItem(m_tree, Item(text)); }
    void Command(int id) { SendCommand(m_main, id); }

    std::vector<std::wstring> Texts() const {
        std::vector<std::wstring> texts;
        for (HTREEITEM item : TreeItems(m_tree))
            texts.push_back(TreeItemText(m_tree, item));
        return texts;
    }

private:
    ScratchDirectory m_directory;
    std::filesystem::path m_executable;
    std::unique_ptr<Program> m_program;
    HWND m_main = nullptr;
    HWND m_tree = nullptr;
};

void WaitUntilClosed(HWND hwnd) {
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (IsWindow(hwnd) && IsWindowVisible(hwnd) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(IsWindow(hwnd) && IsWindowVisible(hwnd)) << "the box stayed open";
}

// Waits for the next box, checks its caption and text, presses the button and waits until it is gone.
void Answer(EditorSession& session, const std::wstring& caption, const std::wstring& text, int button = IDOK) {
    const MessageBoxSeen box = WaitForMessageBox(session.program().Id());
    ASSERT_NE(box.hwnd, nullptr) << "no message box";
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.text, text);
    PressDialogButton(box.hwnd, button);
    WaitUntilClosed(box.hwnd);
}

struct InputBox {
    HWND hwnd = nullptr;
    HWND edit = nullptr;
    std::wstring prompt;
    std::wstring value;
};

InputBox WaitForInputBox(EditorSession& session) {
    InputBox box;
    const MessageBoxSeen seen = WaitForMessageBox(session.program().Id());
    EXPECT_EQ(seen.caption, L"输入框");
    box.hwnd = seen.hwnd;
    if (!box.hwnd)
        return box;
    box.edit = FindChild(box.hwnd, L"Edit");
    if (HWND prompt = FindChild(box.hwnd, L"Static"))
        box.prompt = WindowText(prompt);
    if (box.edit)
        box.value = WindowText(box.edit);
    return box;
}

// Types text into the input box and presses OK or Cancel.
void Fill(const InputBox& box, const std::wstring& text, int button = IDOK) {
    ASSERT_NE(box.edit, nullptr);
    SendMessageW(box.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    PressDialogButton(box.hwnd, button);
    WaitUntilClosed(box.hwnd);
}

TEST(Editor, ShowsThePhraseTreeAndCompilesItAtOnce) {
    EditorSession session;
    session.StartAndWaitForCompile();
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
    EditorSession session;
    session.StartAndWaitForCompile();
    session.Select(L"早上好");  // a phrase: the new one still goes first in its category
    session.Command(IDM_NEW);
    const InputBox box = WaitForInputBox(session);
    EXPECT_EQ(box.prompt, L"问候 ");
    EXPECT_EQ(box.value, L"");
    SendMessageW(box.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"  好上你 "));
    std::this_thread::sleep_for(200ms);
    SaveScreenshot(box.hwnd, "input-box");
    PressDialogButton(box.hwnd, IDOK);
    WaitUntilClosed(box.hwnd);
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t好上你\r\n\t你好\r\n\t早上好\r\n其他\r\n"));
    session.WaitForFile("srf_pub.usr", std::string("\x03\x02\x00\x04\x00\x01\x00", 7) + kCompiled);
    EXPECT_EQ(session.Texts(), (std::vector<std::wstring>{L"问候", L"好上你", L"你好", L"早上好", L"其他"}));
}

TEST(Editor, NewOnAnEmptyCategoryAndItsRefusals) {
    EditorSession session;
    session.StartAndWaitForCompile();
    session.Select(L"其他");
    session.Command(IDM_NEW);
    Fill(WaitForInputBox(session), L"早上好");  // already in the tree
    Answer(session, L"提示框", L"输入的内容已经存在, 请检查!");
    session.Command(IDM_NEW);
    Fill(WaitForInputBox(session), L"   ");
    Answer(session, L"提示框", L"请输入的内容不正确!");
    session.Command(IDM_NEW);
    Fill(WaitForInputBox(session), L"上好", IDCANCEL);
    session.ExpectFilesUnchanged();

    session.Command(IDM_NEW);
    Fill(WaitForInputBox(session), L"上好");
    session.WaitForFile("srf_pub.dat", kTree + Gb("\t上好\r\n"));
    session.WaitForFile("srf_pub.usr", kCompiled.substr(0, 12) + std::string("\x02\x04\x00\x02\x00\x00", 6));
}

TEST(Editor, ModifyRenamesTheSelectedNodeOrLeavesItOnCancel) {
    EditorSession session;
    session.StartAndWaitForCompile();
    session.Select(L"你好");
    session.Command(IDM_EDIT);
    InputBox box = WaitForInputBox(session);
    EXPECT_EQ(box.prompt, L"内容");
    EXPECT_EQ(box.value, L"你好");
    Fill(box, L"你好你好", IDCANCEL);
    session.ExpectFilesUnchanged();

    session.Command(IDM_EDIT);
    Fill(WaitForInputBox(session), L" 你好你好\t");  // kept without the blanks
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t你好你好\r\n\t早上好\r\n其他\r\n"));
    session.WaitForFile("srf_pub.usr",
                        std::string("\x04\x01\x00\x02\x00\x01\x00\x02\x00", 9) + kCompiled.substr(5));
    EXPECT_EQ(session.Texts(), (std::vector<std::wstring>{L"问候", L"你好你好", L"早上好", L"其他"}));
}

TEST(Editor, DeleteAsksFirstAndRefusesCategories) {
    EditorSession session;
    session.StartAndWaitForCompile();
    session.Select(L"问候");
    session.Command(IDM_DELETE);
    Answer(session, L"提示框", L"分类不能删除!");
    session.Select(L"你好");
    session.Command(IDM_DELETE);
    Answer(session, L"确认框", L"确定要删除[你好]吗?", IDCANCEL);
    session.ExpectFilesUnchanged();

    session.Command(IDM_DELETE);
    Answer(session, L"确认框", L"确定要删除[你好]吗?", IDOK);
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t早上好\r\n其他\r\n"));
    session.WaitForFile("srf_pub.usr", kCompiled.substr(5));
    EXPECT_EQ(session.Texts(), (std::vector<std::wstring>{L"问候", L"早上好", L"其他"}));
}

TEST(Editor, SaveRewritesTheCompiledFileWithItsNoticeAndQuitEnds) {
    EditorSession session;
    session.StartAndWaitForCompile();
    session.Remove("srf_pub.usr");
    session.Command(IDM_SAVE);
    Answer(session, L"提示框", L"祝贺：保存完成!");
    EXPECT_EQ(session.File("srf_pub.usr"), kCompiled);  // written before the notice
    EXPECT_EQ(session.File("srf_pub.dat"), kTree);
    session.Command(IDM_QUIT);
    EXPECT_EQ(session.program().WaitForExit(), 0);
}

TEST(Editor, KeysReachTheCommands) {
    EditorSession session;
    session.StartAndWaitForCompile();
    session.Select(L"早上好");
    PressKey(session.Tree(), VK_F2);
    InputBox box = WaitForInputBox(session);
    EXPECT_EQ(box.value, L"早上好");
    PressKey(box.edit, VK_ESCAPE);
    WaitUntilClosed(box.hwnd);
    PressKey(session.Tree(), VK_RETURN);
    Fill(WaitForInputBox(session), L"", IDCANCEL);
    PressKey(session.Tree(), VK_INSERT);
    Fill(WaitForInputBox(session), L"", IDCANCEL);
    PressKey(session.Tree(), VK_DELETE);
    Answer(session, L"确认框", L"确定要删除[早上好]吗?", IDCANCEL);
    PressKey(session.Tree(), 'S', true);
    Answer(session, L"提示框", L"祝贺：保存完成!");
    session.ExpectFilesUnchanged();
}

TEST(Editor, AMissingCharacterTableIsReportedAndNothingIsWrittenAfterwards) {
    EditorSession session(false);
    session.Start();
    const MessageBoxSeen error = WaitForMessageBox(session.program().Id());
    ASSERT_NE(error.hwnd, nullptr);
    EXPECT_EQ(error.caption, L"srf_user");
    EXPECT_EQ(error.text.rfind(L"Cannot open file ", 0), 0u) << std::string(error.text.begin(), error.text.end());
    EXPECT_TRUE(error.text.ends_with(L"\\srf_pub.zc.")) << std::string(error.text.begin(), error.text.end());
    PressDialogButton(error.hwnd, IDOK);
    WaitUntilClosed(error.hwnd);
    EXPECT_EQ(session.Texts().size(), 4u);  // the tree is shown all the same

    // The window still answers, and keeps both files as they are.
    session.Select(L"你好");
    for (int command : {IDM_NEW, IDM_EDIT, IDM_DELETE, IDM_SAVE}) {
        session.Command(command);
        Answer(session, L"提示框", L"数据文件未能正确读入, 不能保存修改!");
    }
    session.Settle();
    EXPECT_EQ(session.File("srf_pub.dat"), kTree);
    EXPECT_FALSE(session.Exists("srf_pub.usr"));
}

TEST(Editor, AMissingTreeFileIsReportedAndTheEmptyWindowKeepsWorking) {
    EditorSession session;
    session.Remove("srf_pub.dat");
    session.Start();
    const MessageBoxSeen error = WaitForMessageBox(session.program().Id());
    ASSERT_NE(error.hwnd, nullptr);
    EXPECT_TRUE(error.text.ends_with(L"\\srf_pub.dat.")) << std::string(error.text.begin(), error.text.end());
    PressDialogButton(error.hwnd, IDOK);
    WaitUntilClosed(error.hwnd);
    EXPECT_TRUE(session.Texts().empty());
    session.Command(IDM_NEW);
    Answer(session, L"提示框", L"数据文件未能正确读入, 不能保存修改!");
    EXPECT_FALSE(session.Exists("srf_pub.dat"));
    EXPECT_FALSE(session.Exists("srf_pub.usr"));
}

}  // namespace

namespace {

TEST(Editor, TheInputBoxTakesAtMost255BytesOfGb2312) {
    EditorSession session;
    session.StartAndWaitForCompile();
    session.Select(L"其他");
    session.Command(IDM_NEW);
    const InputBox box = WaitForInputBox(session);
    ASSERT_NE(box.edit, nullptr);
    const std::wstring pasted(130, L'你');  // 260 bytes: only 127 characters fit
    SendMessageW(box.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pasted.c_str()));
    EXPECT_EQ(WindowText(box.edit), std::wstring(127, L'你'));
    const std::wstring ascii(255, L'a');
    SendMessageW(box.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ascii.c_str()));
    EXPECT_EQ(WindowText(box.edit), ascii);
    Fill(box, L"", IDCANCEL);
    session.ExpectFilesUnchanged();
}

}  // namespace
