// The phrase editor's five commands (New, Modify, Delete, Save, Quit) with all their checks and
// texts. Portable: the user is reached through UserDialogs, the files through PhraseFiles, and
// the window learns of every change to the tree through TreeObserver.
#pragma once

#include <string>
#include <string_view>

#include "phrases/TreeNodes.h"

namespace editor {

// What the commands need from the user: the message box and the one-line input box.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // Returns the button chosen: 1 for OK, anything else for no.
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
    // True and the typed text in value on OK; false and value untouched otherwise.
    virtual bool PromptForText(const std::string& caption, const std::string& prompt,
                               std::string& value) = 0;
};

// What the commands need from the files beside the program.
class PhraseFiles {
public:
    virtual ~PhraseFiles() = default;
    // False when srf_pub.dat or srf_pub.zc failed to load: writing then would destroy the
    // user's phrases, so the commands that write refuse.
    virtual bool DataLoaded() const = 0;
    // Writes srf_pub.dat whole and compiles srf_pub.usr silently.
    virtual void SaveAndCompile() = 0;
    // Compiles srf_pub.usr; with announce, the congratulation follows a successful write.
    virtual void CompilePhraseFile(bool announce) = 0;
};

// Told of every change to the tree right after it is made and before the files are written,
// so that a window showing the tree stays in step even when the writing fails.
class TreeObserver {
public:
    virtual ~TreeObserver() = default;
    virtual void TreeReloaded() {}
    virtual void NodeInserted(phrases::TTreeNode*) {}
    virtual void NodeTextChanged(phrases::TTreeNode*) {}
    // Before the node and everything beneath it go.
    virtual void NodeDeleting(phrases::TTreeNode*) {}
};

enum class Command { New, Modify, Delete, Save, Quit };

// Flags of the message box: a notice has an OK button only, a question OK and Cancel.
constexpr unsigned kNoticeFlags = 0;
constexpr unsigned kQuestionFlags = 1;
// The longest text New and Modify accept, in bytes: 32 Chinese characters.
constexpr std::size_t kMaxTextBytes = 64;

// The text without its leading and trailing bytes of value 0x20 or less.
std::string_view TrimText(std::string_view text);
// True when the text holds a byte that would break the one-node-per-line file (CR, LF, NUL).
bool HasLineBreakingByte(std::string_view text);

class EditorCommands {
public:
    EditorCommands(phrases::TTreeNodes& tree, UserDialogs& dialogs, PhraseFiles& files,
                   TreeObserver& observer)
        : m_tree(tree), m_dialogs(dialogs), m_files(files), m_observer(observer) {}

    // Runs a command on the selected node (null when nothing is selected). Returns true when the
    // window should close (Quit). Errors of the files go to the caller.
    bool Run(Command command, phrases::TTreeNode* selected);

    void New(phrases::TTreeNode* selected);
    void Modify(phrases::TTreeNode* selected);
    void Delete(phrases::TTreeNode* selected);
    void Save();

    // True when a node's text equals text byte for byte, letter case included.
    bool Exists(std::string_view text) const;

private:
    void Notice(const char* text);
    // Shows the notice and returns false when the files did not load.
    bool CheckDataLoaded();
    // The checks New and Modify share after their own: a line-breaking byte, the length and
    // the duplicate test. Shows the notice and returns false for a text that must not be stored.
    bool Acceptable(std::string_view text);

    phrases::TTreeNodes& m_tree;
    UserDialogs& m_dialogs;
    PhraseFiles& m_files;
    TreeObserver& m_observer;
};

}  // namespace editor
