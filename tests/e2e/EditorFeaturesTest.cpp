// The phrase editor's newer commands driven as a user drives them: phrase health in the tree and
// the status bar, Find, Undo and Redo, the moves, New category, one editor per data directory,
// another program's write to srf_pub.dat, and the backup.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "Driver.h"
#include "DriverMouse.h"
#include "DriverTreeView.h"
#include "editor/EditorCommandIds.h"

using namespace driver;
using namespace editor;

namespace {

// 你 好 早 上 (numbers 1 to 4); 们 is not in the table.
std::string Table() {
    const std::string characters = Gb("你好早上");
    std::string bytes(10, '\0');
    bytes[4] = static_cast<char>(characters.size() / 2);
    return bytes + characters;
}

const std::string kTree = Gb("问候\r\n\t你好\r\n\t早上好\r\n其他\r\n");
const std::string kCompiled("\x02\x01\x00\x02\x00\x03\x03\x00\x04\x00\x02\x00\x00", 13);

class Session {
public:
    explicit Session(const std::string& tree = kTree) {
        m_executable = m_directory.InstallProgram();
        WriteFileBytes(m_directory / "srf_pub.dat", tree);
        WriteFileBytes(m_directory / "srf_pub.zc", Table());
    }

    void Start() {
        m_program = std::make_unique<Program>(m_executable, L"user", m_directory.Path());
        m_main = WaitForWindow(m_program->Id(), L"TForm_User_Main");
        ASSERT_NE(m_main, nullptr);
        m_tree = FindChild(m_main, L"SysTreeView32");
        m_status = FindChild(m_main, L"msctls_statusbar32");
        ASSERT_NE(m_status, nullptr);
        WaitUntil([&] { return Exists("srf_pub.usr") && !StatusBarText(m_status, 0).empty(); });
    }

    Program& program() { return *m_program; }
    const std::filesystem::path& Executable() const { return m_executable; }
    const std::filesystem::path& Directory() const { return m_directory.Path(); }
    HWND Main() const { return m_main; }
    HWND Tree() const { return m_tree; }
    HWND Status() const { return m_status; }

    std::string File(const std::string& name) const { return ReadFileBytes(m_directory / name); }
    void Put(const std::string& name, const std::string& bytes) const { WriteFileBytes(m_directory / name, bytes); }
    bool Exists(const std::string& name) const { return std::filesystem::exists(m_directory / name); }

    template <class Condition>
    static bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = 10s) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(20ms);
        }
        return true;
    }
    void WaitForFile(const std::string& name, const std::string& expected) {
        WaitUntil([&] { return File(name) == expected; });
        EXPECT_EQ(File(name), expected) << name;
    }
    void Settle() const {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(m_main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
    }

    HTREEITEM Item(const std::wstring& text) const {
        for (HTREEITEM item : TreeItems(m_tree))
            if (TreeItemText(m_tree, item) == text)
                return item;
        return nullptr;
    }
    void Select(const std::wstring& text) {
        HTREEITEM item = Item(text);
        ASSERT_NE(item, nullptr);
        SelectTreeItem(m_tree, item);
    }
    std::wstring SelectedText() const {
        HTREEITEM item = SelectedTreeItem(m_tree);
        return item ? TreeItemText(m_tree, item) : L"";
    }
    void Command(int id) { SendCommand(m_main, id); }

private:
    ScratchDirectory m_directory;
    std::filesystem::path m_executable;
    std::unique_ptr<Program> m_program;
    HWND m_main = nullptr;
    HWND m_tree = nullptr;
    HWND m_status = nullptr;
};

void WaitUntilClosed(HWND hwnd) {
    Session::WaitUntil([&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); });
}

void Answer(Session& session, const std::wstring& caption, const std::wstring& text, int button = IDOK) {
    const MessageBoxSeen box = WaitForMessageBox(session.program().Id());
    ASSERT_NE(box.hwnd, nullptr) << "no message box";
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.text, text);
    PressDialogButton(box.hwnd, button);
    WaitUntilClosed(box.hwnd);
}

// Fills the input box and presses the button; returns its prompt.
std::wstring Type(Session& session, const std::wstring& text, int button = IDOK) {
    const MessageBoxSeen box = WaitForMessageBox(session.program().Id());
    EXPECT_EQ(box.caption, L"输入框") << std::string(box.text.begin(), box.text.end());
    if (!box.hwnd)
        return L"";
    HWND prompt = FindChild(box.hwnd, L"Static");
    const std::wstring promptText = prompt ? WindowText(prompt) : L"";
    HWND edit = FindChild(box.hwnd, L"Edit");
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    PressDialogButton(box.hwnd, button);
    WaitUntilClosed(box.hwnd);
    return promptText;
}

TEST(EditorHealth, ALeftOutPhraseShowsItsImageAndTheReasonInTheStatusBar) {
    Session session(Gb("问候\r\n\t你好\r\n\t你们好\r\n\t早\r\n其他\r\n"));
    session.Start();
    EXPECT_EQ(StatusBarText(session.Status(), 0), L"分类: 2  语料: 3  已编入: 1  未编入: 2");
    EXPECT_EQ(TreeItemImages(session.Tree(), session.Item(L"你好")), std::make_pair(0, 0));
    EXPECT_EQ(TreeItemImages(session.Tree(), session.Item(L"你们好")), std::make_pair(6, 6));
    session.Select(L"你们好");
    session.Settle();
    EXPECT_EQ(StatusBarText(session.Status(), 1), L"未编入: 字“们”不在字表中");
    SaveScreenshot(session.Main(), "editor-left-out");
    session.Select(L"早");
    session.Settle();
    EXPECT_EQ(StatusBarText(session.Status(), 1), L"未编入: 只有一个字, 语料至少要两个字");
    session.Select(L"你好");
    session.Settle();
    EXPECT_EQ(StatusBarText(session.Status(), 1), L"");

    // Mending the phrase changes its image and the counts at once.
    session.Select(L"你们好");
    session.Command(IDM_EDIT);
    Type(session, L"你好好");
    session.Settle();
    EXPECT_EQ(TreeItemImages(session.Tree(), session.Item(L"你好好")), std::make_pair(0, 0));
    EXPECT_EQ(StatusBarText(session.Status(), 0), L"分类: 2  语料: 3  已编入: 2  未编入: 1");
}

TEST(EditorFind, CtrlFOpensTheBoxAndEnterAndF3GoToTheNextMatchWrapping) {
    Session session;
    session.Start();
    session.Select(L"问候");
    PressKey(session.Tree(), 'F', true);
    HWND edit = FindChild(session.Main(), L"Edit");
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(Session::WaitUntil([&] { return IsWindowVisible(edit) != FALSE; }));
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"好"));
    PressKey(edit, VK_RETURN);
    session.Settle();
    EXPECT_EQ(session.SelectedText(), L"你好");
    PressKey(edit, VK_F3);
    session.Settle();
    EXPECT_EQ(session.SelectedText(), L"早上好");
    PressKey(session.Tree(), VK_F3);  // F3 works from the tree as well, and wraps
    session.Settle();
    EXPECT_EQ(session.SelectedText(), L"你好");

    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"晚安"));
    session.Command(IDM_FIND_NEXT);
    Answer(session, L"提示框", L"没有找到要查找的内容!");
    EXPECT_EQ(session.SelectedText(), L"你好");
    PressKey(edit, VK_ESCAPE);
    session.Settle();
    EXPECT_FALSE(IsWindowVisible(edit));
}

TEST(EditorUndo, CtrlZAndCtrlYUndoAndRedoADeleteAndAModifySavingEachStep) {
    Session session;
    session.Start();
    session.Select(L"你好");
    session.Command(IDM_DELETE);
    Answer(session, L"确认框", L"确定要删除[你好]吗?");
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t早上好\r\n其他\r\n"));
    session.Select(L"其他");
    session.Command(IDM_EDIT);
    Type(session, L"别的");
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t早上好\r\n别的\r\n"));

    PressKey(session.Tree(), 'Z', true);
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t早上好\r\n其他\r\n"));
    PressKey(session.Tree(), 'Z', true);  // the phrase comes back at its old place
    session.WaitForFile("srf_pub.dat", kTree);
    session.WaitForFile("srf_pub.usr", kCompiled);
    EXPECT_EQ(session.SelectedText(), L"你好");
    PressKey(session.Tree(), 'Y', true);
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t早上好\r\n其他\r\n"));
    session.Command(IDM_REDO);
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t早上好\r\n别的\r\n"));
}

TEST(EditorOrder, CtrlUpAndDownMoveWithinTheCategoryAndADragMovesToAnother) {
    Session session;
    session.Start();
    session.Select(L"你好");
    PressKey(session.Tree(), VK_DOWN, true);
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t早上好\r\n\t你好\r\n其他\r\n"));
    session.WaitForFile("srf_pub.usr", std::string("\x03\x03\x00\x04\x00\x02\x00\x02\x01\x00\x02\x00\x00", 13));
    EXPECT_EQ(session.SelectedText(), L"你好");
    PressKey(session.Tree(), VK_DOWN, true);  // last already: nothing
    session.Command(IDM_MOVE_UP);
    session.WaitForFile("srf_pub.dat", kTree);

    DragMouse(TreeItemCenter(session.Tree(), session.Item(L"早上好")),
              TreeItemCenter(session.Tree(), session.Item(L"其他")));
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t你好\r\n其他\r\n\t早上好\r\n"));
}

TEST(EditorNewCategory, AddsACategoryAfterTheLastWithTheChecksOfNew) {
    Session session;
    session.Start();
    session.Command(IDM_NEW_CATEGORY);
    EXPECT_EQ(Type(session, L"你好"), L"分类");
    Answer(session, L"提示框", L"输入的内容已经存在, 请检查!");
    session.Command(IDM_NEW_CATEGORY);
    Type(session, L" 新类 ");
    session.WaitForFile("srf_pub.dat", kTree + Gb("新类\r\n"));
    EXPECT_EQ(session.SelectedText(), L"新类");
    session.Command(IDM_NEW);  // the new category takes phrases at once
    Type(session, L"早早");
    session.WaitForFile("srf_pub.dat", kTree + Gb("新类\r\n\t早早\r\n"));
}

TEST(EditorSingleInstance, ASecondEditorOnTheSameDirectoryBringsTheFirstForwardAndEnds) {
    Session first;
    first.Start();
    Session other;  // another directory: runs side by side
    other.Start();
    EXPECT_FALSE(other.program().HasExited());
    SetForegroundWindow(other.Main());
    Session::WaitUntil([&] { return GetForegroundWindow() == other.Main(); }, 3s);

    Program second(first.Executable(), L"user", first.Directory());
    EXPECT_EQ(second.WaitForExit(10s), 0);
    EXPECT_TRUE(Session::WaitUntil([&] { return GetForegroundWindow() == first.Main(); }, 3s));
    EXPECT_FALSE(first.program().HasExited());
    EXPECT_FALSE(other.program().HasExited());
}

// Activates the editor anew, as a click on it after working in another program does.
void Reactivate(Session& session) {
    HWND elsewhere = CreateWindowExW(0, L"Static", L"elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                     nullptr, nullptr, nullptr);
    SetForegroundWindow(elsewhere);
    MSG message;
    for (int i = 0; i < 10; ++i) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        std::this_thread::sleep_for(20ms);
    }
    SetForegroundWindow(session.Main());
    DestroyWindow(elsewhere);
}

TEST(EditorDiskChange, AnotherProgramsWriteIsOfferedForReadingAndNeverOverwrittenUnasked) {
    Session session;
    session.Start();
    const std::string theirs = Gb("他们的\r\n\t你好上\r\n");
    session.Put("srf_pub.dat", theirs);
    Reactivate(session);
    Answer(session, L"确认框",
           L"语料文件srf_pub.dat已被其他程序修改, 要重新读入吗?\n(取消: 保留窗口中的语料, 下次保存时覆盖该文件)");
    session.WaitForFile("srf_pub.usr", std::string("\x03\x01\x00\x02\x00\x04\x00\x00", 8));
    EXPECT_NE(session.Item(L"他们的"), nullptr);

    // Written again while the editor stays active: the next save asks first.
    session.Put("srf_pub.dat", kTree);
    session.Select(L"他们的");
    session.Command(IDM_NEW);
    Type(session, L"上上");
    Answer(session, L"确认框",
           L"语料文件srf_pub.dat已被其他程序修改!\n确定: 重新读入该文件, 放弃这次修改;\n取消: 用窗口中的语料覆盖该文件.",
           IDCANCEL);
    session.WaitForFile("srf_pub.dat", Gb("他们的\r\n\t上上\r\n\t你好上\r\n"));
}

TEST(EditorBackup, EverySaveKeepsTheLastVersionAndRestoreBringsItBack) {
    Session session;
    session.Start();
    session.Command(IDM_RESTORE);
    Answer(session, L"提示框", L"没有找到备份文件srf_pub.dat.bak!");
    session.Select(L"其他");
    session.Command(IDM_NEW);
    Type(session, L"上早");
    const std::string changed = kTree + Gb("\t上早\r\n");
    session.WaitForFile("srf_pub.dat", changed);
    EXPECT_EQ(session.File("srf_pub.dat.bak"), kTree);

    session.Command(IDM_RESTORE);
    Answer(session, L"确认框", L"确定要用备份恢复语料吗? 现在的语料将成为新的备份.");
    session.WaitForFile("srf_pub.dat", kTree);
    session.WaitForFile("srf_pub.usr", kCompiled);
    EXPECT_EQ(session.File("srf_pub.dat.bak"), changed);
    EXPECT_EQ(session.Item(L"上早"), nullptr);
}

}  // namespace
