// The phrase editor for the fault suites; see DriverEditor.h.
#include "DriverEditor.h"

#include <gtest/gtest.h>

#include <thread>

#include "DriverTreeView.h"
#include "editor/EditorCommandIds.h"

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
    static const std::string tree = Gb("问候\r\n\t早上\r\n\t你好\r\n\t早上好\r\n其他\r\n\t上好\r\n");
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
    if (withBackup)
        names.insert("srf_pub.dat.bak");
    return names;
}

EditorRun::EditorRun(const fs::path& parent) : m_directory(parent) {
    m_executable = m_directory.InstallProgram();
    WriteFileBytes(m_directory / "srf_pub.dat", EditorTree());
    WriteFileBytes(m_directory / "srf_pub.zc", EditorTable());
}

void EditorRun::Start() {
    m_program = std::make_unique<Program>(m_executable, L"user", m_directory.Path());
    m_main = WaitForWindow(m_program->Id(), L"TForm_User_Main");
    ASSERT_NE(m_main, nullptr) << "the editor window did not appear";
    m_tree = FindChild(m_main, L"SysTreeView32");
    ASSERT_NE(m_tree, nullptr);
    ASSERT_TRUE(WaitForFile("srf_pub.usr", EditorCompiled()));
}

std::wstring EditorRun::ProgramPath(const std::string& name) const {
    return (m_directory / name).make_preferred().wstring();
}

std::string EditorRun::File(const std::string& name) const { return ReadFileBytes(m_directory / name); }

std::set<std::string> EditorRun::Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_directory.Path()))
        names.insert(entry.path().filename().string());
    return names;
}

bool EditorRun::WaitForFile(const std::string& name, const std::string& expected) const {
    if (Eventually([&] { return File(name) == expected; }))
        return true;
    ADD_FAILURE() << name << " never held the expected bytes";
    return false;
}

void EditorRun::Settle() const {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(m_main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
}

std::vector<std::wstring> EditorRun::Texts() const {
    std::vector<std::wstring> texts;
    for (HTREEITEM item : TreeItems(m_tree))
        texts.push_back(TreeItemText(m_tree, item));
    return texts;
}

namespace {

void PressAndWaitUntilClosed(HWND box, int button) {
    PressDialogButton(box, button);
    EXPECT_TRUE(Eventually([&] { return !IsWindow(box) || !IsWindowVisible(box); }))
        << "the box stayed open";
}

}  // namespace

void EditorRun::New(const std::wstring& selectText, const std::wstring& text) {
    HTREEITEM target = nullptr;
    for (HTREEITEM item : TreeItems(m_tree))
        if (TreeItemText(m_tree, item) == selectText)
            target = item;
    ASSERT_NE(target, nullptr) << "no tree item of that text";
    SelectTreeItem(m_tree, target);
    SendCommand(m_main, editor::IDM_NEW);
    const MessageBoxSeen box = WaitForMessageBox(m_program->Id());
    ASSERT_NE(box.hwnd, nullptr) << "no input box";
    ASSERT_EQ(box.caption, L"输入框");
    HWND edit = FindChild(box.hwnd, L"Edit");
    ASSERT_NE(edit, nullptr);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    PressAndWaitUntilClosed(box.hwnd, IDOK);
}

void EditorRun::ExpectErrorBox(const std::wstring& text) {
    const MessageBoxSeen box = WaitForMessageBox(m_program->Id());
    ASSERT_NE(box.hwnd, nullptr) << "no error box";
    EXPECT_EQ(box.caption, L"srf_user");
    EXPECT_EQ(box.text, text);
    PressAndWaitUntilClosed(box.hwnd, IDOK);
}

void EditorRun::ExpectNoBox() const {
    Settle();
    std::this_thread::sleep_for(300ms);
    for (HWND hwnd : VisibleWindows(m_program->Id())) {
        wchar_t name[16] = {};
        GetClassNameW(hwnd, name, 16);
        EXPECT_NE(std::wstring(name), L"#32770") << "a box appeared: " << WindowText(hwnd).size()
                                                 << " characters of caption";
    }
}

}  // namespace driver
