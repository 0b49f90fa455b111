// The phrase editor started in a directory of the test's choosing (a temporary folder or a small
// disk), with the commands, boxes and file checks that the fault suites share.
#pragma once

#include <windows.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Driver.h"

namespace driver {

// The character table 你 好 早 上 (numbers 1 to 4) and a tree of two categories:
// 问候 with 你好 and 早上好, 其他 without phrases.
std::string EditorTable();
const std::string& EditorTree();
// EditorTree compiled: 你好 = 02 (1, 2), 早上好 = 03 (3, 4, 2), the end mark.
const std::string& EditorCompiled();
// The tree and its compiled form after the fault suites' two changes: 上好 (02 (4, 2)) into 其他,
// then 早上 (02 (3, 4)) into 问候.
const std::string& EditorTreeAfterBoth();
const std::string& EditorCompiledAfterBoth();
// The files of the data directory, with or without the backup srf_pub.dat.bak that a save
// leaves; nothing else (no temporary file).
std::set<std::string> EditorFileNames(bool withBackup);

class EditorRun {
public:
    // Installs the program, srf_pub.dat and srf_pub.zc in a fresh directory inside parent.
    explicit EditorRun(const std::filesystem::path& parent);

    // Starts `user` and waits until the show handler has compiled srf_pub.usr.
    void Start();

    Program& program() { return *m_program; }
    HWND Main() const { return m_main; }
    const std::filesystem::path& Directory() const { return m_directory.Path(); }
    // The full path of a file as the program names it in its messages.
    std::wstring ProgramPath(const std::string& name) const;

    std::string File(const std::string& name) const;
    // The names of all files in the directory.
    std::set<std::string> Names() const;
    // Waits until the file holds the bytes; false (with a test failure) when it never does.
    bool WaitForFile(const std::string& name, const std::string& expected) const;
    // Returns once the window's thread takes messages again.
    void Settle() const;

    std::vector<std::wstring> Texts() const;
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
};

}  // namespace driver
