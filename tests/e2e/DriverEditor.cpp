// The phrase editor for every editor suite; see DriverEditor.h.
#include "DriverEditor.h"

#include <gtest/gtest.h>

#include "DriverMouse.h"
#include "DriverTreeView.h"
#include "editor/commands/EditorCommandIds.h"
#include "phrases/DatedBackups.h"

namespace driver {

namespace fs = std::filesystem;

std::string EditorTable() {
    const std::string characters = Gb("你好早上");
    std::string bytes(10, '\0');
    bytes[4] = static_cast<char>(characters.size() / 2);
    return bytes + characters;
}

const std::string& EditorTree() {
    static const std::string tree = Gb("问候\r\n\t你好\r\n\t早上好\r\n其他\r\n");
    return tree;
}

const std::string& EditorCompiled() {
    static const std::string compiled("\x02\x01\x00\x02\x00\x03\x03\x00\x04\x00\x02\x00\x00", 13);
    return compiled;
}

const std::string& EditorTreeAfterBoth() {
    static const std::string tree =
        Gb("问候\r\n\t早上\r\n\t你好\r\n\t早上好\r\n其他\r\n\t上好\r\n");
    return tree;
}

const std::string& EditorCompiledAfterBoth() {
    static const std::string compiled = std::string("\x02\x03\x00\x04\x00", 5) +
                                        EditorCompiled().substr(0, 12) +
                                        std::string("\x02\x04\x00\x02\x00\x00", 6);
    return compiled;
}

std::set<std::string> EditorFileNames(bool withBackup) {
    std::set<std::string> names = {"srf_pub.dat", "srf_pub.usr", "srf_pub.zc", "srf_user.exe"};
    if (withBackup) {
        names.insert("srf_pub.dat.bak");
        names.insert(phrases::DatedBackupName(phrases::Today()));
    }
    return names;
}

void WaitUntilClosed(HWND box) {
    EXPECT_TRUE(Eventually([&] { return !IsWindow(box) || !IsWindowVisible(box); }))
        << "the box stayed open";
}

void Fill(const InputBox& box, const std::wstring& text, int button) {
    ASSERT_NE(box.edit, nullptr) << "no input box";
    SendMessageW(box.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    PressDialogButton(box.hwnd, button);
    WaitUntilClosed(box.hwnd);
}

EditorRun::EditorRun(const fs::path& parent) : m_directory(parent) {
    m_executable = m_directory.InstallProgram();
    Put("srf_pub.dat", EditorTree());
    Put("srf_pub.zc", EditorTable());
}

EditorRun::EditorRun() : EditorRun(fs::temp_directory_path()) {}

void EditorRun::Open() {
    m_program = std::make_unique<Program>(m_executable, L"user", m_directory.Path());
    m_main = WaitForWindow(m_program->Id(), L"TForm_User_Main");
    ASSERT_NE(m_main, nullptr) << "the editor window did not appear";
    m_tree = FindChild(m_main, L"SysTreeView32");
    ASSERT_NE(m_tree, nullptr);
    m_status = FindChild(m_main, L"msctls_statusbar32");
    ASSERT_NE(m_status, nullptr);
}

void EditorRun::Start(const std::string& compiled) {
    Open();
    if (testing::Test::HasFatalFailure())
        return;
    ASSERT_TRUE(WaitForFile("srf_pub.usr", compiled));
    ASSERT_TRUE(Eventually([&] { return !StatusBarText(m_status, 0).empty(); }))
        << "the status bar stayed empty";
}

std::wstring EditorRun::ProgramPath(const std::string& name) const {
    return (m_directory / name).make_preferred().wstring();
}

std::string EditorRun::File(const std::string& name) const {
    return ReadFileBytes(m_directory / name);
}

void EditorRun::Put(const std::string& name, const std::string& bytes) const {
    WriteFileBytes(m_directory / name, bytes);
}

bool EditorRun::Exists(const std::string& name) const { return fs::exists(m_directory / name); }

void EditorRun::Remove(const std::string& name) const { fs::remove(m_directory / name); }

std::set<std::string> EditorRun::Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_directory.Path()))
        names.insert(entry.path().filename().string());
    return names;
}

bool EditorRun::WaitForFile(const std::string& name, const std::string& expected) const {
    if (Eventually([&] { return File(name) == expected; })) {
        Settle();  // the command that wrote it has ended: the window shows its result
        return true;
    }
    EXPECT_EQ(File(name), expected) << name << " never held the expected bytes";
    return false;
}

void EditorRun::Settle() const {
    // Posted messages are handled in order: once a mark posted behind the commands has been taken,
    // every command posted before it has ended or waits in a box. The mark is the colour of the
    // tree's insertion mark, which the editor never shows.
    if (!IsWindow(m_tree))
        return;
    static COLORREF lastMark = 0;
    const COLORREF mark = lastMark = (lastMark + 1) & 0xFFFFFF;
    PostMessageW(m_tree, TVM_SETINSERTMARKCOLOR, 0, static_cast<LPARAM>(mark));
    EXPECT_TRUE(Eventually([&] {
        DWORD_PTR color = CLR_NONE;
        SendMessageTimeoutW(m_tree, TVM_GETINSERTMARKCOLOR, 0, 0, SMTO_NORMAL, 10000, &color);
        return color == mark;
    })) << "the editor did not get through its messages";
}

bool EditorRun::WaitForSelected(const std::wstring& text) const {
    if (Eventually([&] { return SelectedText() == text; }))
        return true;
    EXPECT_EQ(SelectedText(), text) << "the selection never came";
    return false;
}

std::vector<std::wstring> EditorRun::Texts() const {
    std::vector<std::wstring> texts;
    for (HTREEITEM item : TreeItems(m_tree))
        texts.push_back(TreeItemText(m_tree, item));
    return texts;
}

HTREEITEM EditorRun::Item(const std::wstring& text) const {
    for (HTREEITEM item : TreeItems(m_tree))
        if (TreeItemText(m_tree, item) == text)
            return item;
    return nullptr;
}

void EditorRun::Select(const std::wstring& text) const {
    HTREEITEM item = Item(text);
    ASSERT_NE(item, nullptr) << "no tree item of that text";
    SelectTreeItem(m_tree, item);
}

std::wstring EditorRun::SelectedText() const {
    HTREEITEM item = SelectedTreeItem(m_tree);
    return item ? TreeItemText(m_tree, item) : L"";
}

void EditorRun::Command(int id) const { SendCommand(m_main, id); }

void EditorRun::Answer(const std::wstring& caption, const std::wstring& text, int button) {
    const MessageBoxSeen box = WaitForMessageBox(m_program->Id());
    ASSERT_NE(box.hwnd, nullptr) << "no message box";
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.text, text);
    PressDialogButton(box.hwnd, button);
    WaitUntilClosed(box.hwnd);
}

InputBox EditorRun::WaitForInputBox() {
    InputBox box;
    const MessageBoxSeen seen = WaitForMessageBox(m_program->Id());
    EXPECT_EQ(seen.caption, L"输入框") << "text: " << testing::PrintToString(seen.text);
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

std::wstring EditorRun::Type(const std::wstring& text, int button) {
    const InputBox box = WaitForInputBox();
    Fill(box, text, button);
    return box.prompt;
}

void EditorRun::New(const std::wstring& selectText, const std::wstring& text) {
    Select(selectText);
    Command(editor::IDM_NEW);
    const InputBox box = WaitForInputBox();
    ASSERT_NE(box.hwnd, nullptr) << "no input box";
    Fill(box, text);
}

void EditorRun::ExpectErrorBox(const std::wstring& text) { Answer(L"srf_user", text); }

void EditorRun::ExpectNoBox() const {
    Settle();  // a box that follows is on the screen by now
    for (HWND hwnd : VisibleWindows(m_program->Id())) {
        wchar_t name[16] = {};
        GetClassNameW(hwnd, name, 16);
        EXPECT_NE(std::wstring(name), L"#32770")
            << "a box appeared: " << WindowText(hwnd).size() << " characters of caption";
    }
}

}  // namespace driver
