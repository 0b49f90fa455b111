// The phrase editor started in a directory of the test's choosing (a temporary folder or a small
// disk), with the commands, boxes and file checks that every editor suite shares.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Driver.h"

namespace driver {

// The character table 你 好 早 上 (numbers 1 to 4; 们 is not in it) and a tree of two categories:
// 问候 with 你好 and 早上好, 其他 without phrases.
std::string EditorTable();
const std::string& EditorTree();
// EditorTree compiled: 你好 = 02 (1, 2), 早上好 = 03 (3, 4, 2), the end mark.
const std::string& EditorCompiled();
// The tree and its compiled form after the fault suites' two changes: 上好 (02 (4, 2)) into 其他,
// then 早上 (02 (3, 4)) into 问候.
const std::string& EditorTreeAfterBoth();
const std::string& EditorCompiledAfterBoth();
// The files of the data directory, with or without the backups that a save leaves
// (srf_pub.dat.bak and today's dated copy); nothing else (no temporary file).
std::set<std::string> EditorFileNames(bool withBackup);

// The input box of New, Modify and New category as read when it appeared.
struct InputBox {
    HWND hwnd = nullptr;
    HWND edit = nullptr;
    std::wstring prompt;
    std::wstring value;
};
// Types text into the input box, presses OK or Cancel and waits until the box is gone.
void Fill(const InputBox& box, const std::wstring& text, int button = IDOK);
// Waits until a box is closed or hidden; a test failure when it stays.
void WaitUntilClosed(HWND box);

class EditorRun {
public:
    // Installs the program, srf_pub.dat (EditorTree) and srf_pub.zc (EditorTable) in a fresh
    // directory inside parent; a test may Put or Remove either before Start.
    explicit EditorRun(const std::filesystem::path& parent);
    // The same in the system's temporary folder.
    EditorRun();

    // Starts `user` and finds its window, tree and status bar; waits for nothing else.
    void Open();
    // Opens and waits until the show handler has compiled srf_pub.usr into those bytes and filled
    // the status bar.
    void Start(const std::string& compiled = EditorCompiled());

    Program& program() { return *m_program; }
    HWND Main() const { return m_main; }
    HWND Tree() const { return m_tree; }
    HWND Status() const { return m_status; }
    const std::filesystem::path& Directory() const { return m_directory.Path(); }
    const std::filesystem::path& Executable() const { return m_executable; }
    // The full path of a file as the program names it in its messages.
    std::wstring ProgramPath(const std::string& name) const;

    std::string File(const std::string& name) const;
    void Put(const std::string& name, const std::string& bytes) const;
    bool Exists(const std::string& name) const;
    void Remove(const std::string& name) const;
    // The names of all files in the directory.
    std::set<std::string> Names() const;
    // Waits until the file holds the bytes (a command writes after its last box has closed) and the
    // command has ended; false (with a test failure showing both) when it never does.
    bool WaitForFile(const std::string& name, const std::string& expected) const;
    // Returns once the editor has handled every command sent to it so far: each has ended or
    // waits in a box. Keys are not commands: wait for what they do.
    void Settle() const;
    // Waits until the item of that text is selected; false (with a test failure) when it never is.
    bool WaitForSelected(const std::wstring& text) const;

    // The texts of all tree items, in order; the item of that text (nullptr when there is none).
    std::vector<std::wstring> Texts() const;
    HTREEITEM Item(const std::wstring& text) const;
    // Selects the item of that text; a test failure when there is none.
    void Select(const std::wstring& text) const;
    std::wstring SelectedText() const;
    void Command(int id) const;

    // Waits for the next box, checks its caption and text, presses the button and waits until it is
    // gone.
    void Answer(const std::wstring& caption, const std::wstring& text, int button = IDOK);
    // Waits for the input box and reads its prompt and value.
    InputBox WaitForInputBox();
    // Fills the next input box and presses the button; returns its prompt.
    std::wstring Type(const std::wstring& text, int button = IDOK);
    // Selects the item of that text and runs New through the input box with text.
    void New(const std::wstring& selectText, const std::wstring& text);
    // Waits for the error box and checks its caption and text, then closes it.
    void ExpectErrorBox(const std::wstring& text);
    // Checks that no box follows (the congratulation after a failed Save, for one).
    void ExpectNoBox() const;

private:
    ScratchDirectory m_directory;
    std::filesystem::path m_executable;
    std::unique_ptr<Program> m_program;
    HWND m_main = nullptr;
    HWND m_tree = nullptr;
    HWND m_status = nullptr;
};

}  // namespace driver
