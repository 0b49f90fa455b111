// The phrase editor's controller: its commands (New, Modify, Delete, Save, Quit; Undo, Redo, the
// moves, New category, Find, Restore backup, Export and Import) with all their checks and texts,
// and whether each can act on the selection. The window is a view over it: it greys what
// IsEnabled refuses and runs the rest through Execute. Portable: the user is reached through
// UserDialogs and FileDialogs, the files through PhraseFiles, and the window learns of every
// change to the tree through TreeObserver.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/BoxAnswers.h"
#include "editor/commands/EditorCommandList.h"
#include "editor/rules/EditorObserver.h"
#include "editor/rules/StatusText.h"
#include "phrases/DataFileCheck.h"
#include "phrases/DatedBackups.h"
#include "phrases/PhraseRules.h"
#include "phrases/TreeNodes.h"
#include "pinyin/Reading.h"
#include "pinyin/UserReadings.h"
#include "sync/DirectorySync.h"

namespace phrases {
class CharacterTable;
}

namespace editor {

using app::Answer;
using app::BoxKind;
class FileDialogs;
struct EditedLine;
struct ExportTarget;

// What the 同步… box shows: the folder chosen (UTF-8; empty: off), the computers that synchronise
// there and the conflicts of the last synchronisation (GB2312 lines).
struct SyncBoxView {
    std::string folder;
    std::vector<std::string> members;
    std::vector<std::string> conflicts;
};

// What the user asked of the 同步… box.
struct SyncBoxAnswer {
    enum class Action { Close, ChooseFolder, TurnOff, SyncNow, PutBack };
    Action action = Action::Close;
    std::string folder;  // ChooseFolder: the folder picked (UTF-8)
    int conflict = -1;   // PutBack: the line of the conflict whose losing text goes back
};

// What the commands need from the user: the message box and the one-line input box.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // Shows a notice or asks a question; returns the button chosen.
    virtual Answer Ask(const std::string& text, const std::string& caption, BoxKind kind) = 0;
    // True and the typed text in value on OK; false and value untouched otherwise. On OK, unheld
    // is the first typed character that GB2312 (code page 936) cannot hold, or 0; value then has
    // a stand-in in its place and must not be stored.
    virtual bool PromptForText(const std::string& caption, const std::string& prompt,
                               std::string& value, char32_t& unheld) = 0;
    // The multi-line edit box of 批量编辑, opened on text (GB2312, CR LF between lines). On OK
    // the edited text goes back in text, its lines in lines, and the result is true; false on
    // Cancel, with both untouched.
    virtual bool EditLines(const std::string& /*caption*/, std::string& /*text*/,
                           std::vector<EditedLine>& /*lines*/) {
        return false;
    }
    // A list of GB2312 lines to choose one from; its index, or nullopt on Cancel.
    virtual std::optional<int> ChooseFromList(const std::string& /*caption*/,
                                              const std::vector<std::string>& /*items*/) {
        return std::nullopt;
    }
    // The 同步… box over what it shows; what the user asked for (Close on the close box).
    virtual SyncBoxAnswer ShowSyncBox(const SyncBoxView& /*view*/) { return {}; }
};

// What the commands need from the files beside the program: the data directory (see
// phrases/DataDirectory.h), which a test replaces.
class PhraseFiles {
public:
    virtual ~PhraseFiles() = default;
    // Reads srf_pub.dat into the tree (the observers hear of it) and tells what its bytes showed;
    // throws as phrases::DataDirectory::LoadTree does.
    virtual phrases::TreeFileCheck LoadTree() = 0;
    virtual void LoadTable() {}
    // srf_pub.dat in UTF-8 or UTF-16 converted to GB2312, the original kept apart.
    virtual phrases::ConvertedTreeFile ConvertTree() { return {}; }
    // False when srf_pub.dat or srf_pub.zc failed to load: writing then would destroy the
    // user's phrases, so the commands that write refuse.
    virtual bool DataLoaded() const = 0;
    // srf_pub.zc loaded: compiling would not empty srf_pub.usr.
    virtual bool TableLoaded() const { return DataLoaded(); }
    // True while the tree holds a change that srf_pub.dat lacks: a save failed since it was made.
    virtual bool TreeUnsaved() const { return false; }
    // True when the next save keeps srf_pub.dat apart as srf_pub.dat.unreadable rather than as
    // the backup: it failed to load, or holds bytes that are not part of the tree.
    virtual bool KeepsFileApart() const { return !DataLoaded(); }
    // The tree was replaced whole by a good file (the backup): it counts as loaded from now on.
    virtual void TreeRestored() {}
    // Writes srf_pub.dat whole with its backups and compiles srf_pub.usr.
    virtual void SaveAndCompile() = 0;
    // Compiles srf_pub.usr.
    virtual void Compile() = 0;
    // True when another program has written srf_pub.dat since it was last read or written here.
    virtual bool ChangedOnDisk() { return false; }
    // Takes srf_pub.dat as it now stands as known: the next save writes over it.
    virtual void AcceptDiskState() {}
    // True when srf_pub.dat.bak exists.
    virtual bool HasBackup() const { return false; }
    // srf_pub.dat.bak and the dated copies, for 恢复备份 to list.
    virtual std::vector<phrases::BackupEntry> ListBackups() const { return {}; }
    // The bytes of a backup the list named; nullopt when it is gone.
    virtual std::optional<std::string> ReadBackupNamed(const std::string&) { return std::nullopt; }
    // True when path names one of the editor's own files, whichever way it reaches it: Export
    // must not write over them.
    virtual bool IsOwnFile(const std::string& /*path*/) const { return false; }
    // The readings the user set for phrases (srf_pub.pinyin.txt), read at first use.
    virtual const pinyin::UserReadings& Readings() {
        static const pinyin::UserReadings none;
        return none;
    }
    // Sets a phrase's reading (none: the table's again) and writes the file whole.
    virtual void SetReading(std::string_view /*phrase*/,
                            const std::vector<pinyin::Syllable>& /*reading*/) {}
    // Synchronisation (see sync/DirectorySync.h): the folder chosen (UTF-8; empty: off).
    virtual std::string SyncFolder() const { return {}; }
    virtual void SetSyncFolder(const std::string& /*folder*/) {}
    // One synchronisation; a merge that changes the tree replaces it (the observers hear of it)
    // and saves and compiles it.
    virtual synchro::SyncReport Synchronise() {
        synchro::SyncReport off;
        off.status = synchro::SyncStatus::Off;
        return off;
    }
    virtual std::vector<synchro::MemberInfo> SyncMembers() { return {}; }
};

enum class Command {
#define SRF_COMMAND_NAME(name, ...) name,
    SRF_EDITOR_COMMANDS(SRF_COMMAND_NAME)
#undef SRF_COMMAND_NAME
};

// What the enabled states of the commands depend on besides the controller's own state.
struct CommandContext {
    const phrases::TTreeNode* selected = nullptr;  // null when nothing is selected
    bool filtered = false;                         // the tree shows only what the filter leaves
    std::size_t chosen = 0;                        // phrases chosen besides the selection
};

// What the window does after a command, besides showing the status bar and the commands' enabled
// states afresh: select a node, or close.
struct Outcome {
    phrases::TTreeNode* select = nullptr;  // null: the selection stays
    bool quit = false;
};

// What a command acts on: the selected node and the phrases chosen besides it, as the tree
// shows them.
struct CommandTarget {
    phrases::TTreeNode* selected = nullptr;
    const std::vector<phrases::TTreeNode*>& chosen;
    bool filtered = false;
};

// New and Modify take a text by the rules every stored text follows (trimmed, at most 64 bytes,
// no line-breaking byte), the same as the import.
using phrases::HasLineBreakingByte;
using phrases::kMaxTextBytes;
using phrases::TrimText;

// The notice for typed text holding a character that GB2312 cannot hold, named by its code
// (U+1F600): the message box shows GB2312 text, which cannot show the character itself.
std::string UnheldCharacterNotice(char32_t character);

class TreeEditor;
class EditHistory;
class ImportProgress;

class EditorCommands {
public:
    // Export and Import reach the user's files through fileDialogs and check the imported
    // phrases against table.
    EditorCommands(phrases::TTreeNodes& tree, UserDialogs& dialogs, PhraseFiles& files,
                   TreeObserver& observer, FileDialogs& fileDialogs,
                   const phrases::CharacterTable& table);
    ~EditorCommands();

    // False when the command cannot act now (see the enabled column of EditorCommandList.h):
    // Undo and Redo with nothing to take back or make again; the moves on a category, at the end
    // of its category, while filtered (their neighbours may be hidden), while several phrases are
    // chosen or while the data files failed to load; Restore backup with no backup; Export and
    // Import while the data files failed to load; Sort and Batch edit without a selected node or
    // while the data files failed to load, Sort also on a category of fewer than two phrases;
    // Move to on a category. The others are always enabled: their notices say why they cannot act.
    bool IsEnabled(Command command, const CommandContext& context) const;
    // Runs a command on its target, whether enabled or not (its own checks refuse what it cannot
    // do), and says what the window must do next; but the moves within a category do nothing at
    // all while filtered or while several phrases are chosen, as their greying says. Errors of the
    // files go to the caller; the node to select is then left for TakeSelection. The commands the
    // window does itself do nothing here.
    Outcome Execute(Command command, const CommandTarget& target);

    void New(phrases::TTreeNode* selected);
    void Modify(phrases::TTreeNode* selected);
    void Delete(phrases::TTreeNode* selected);
    // The show handler's work: reads srf_pub.dat (offering to convert one in another encoding,
    // telling of bytes after a NUL), then srf_pub.zc also when the tree failed, then compiles
    // silently when both are there. The tree's error is the one thrown.
    void Load();
    // Compiles and congratulates; while a change is not yet in srf_pub.dat (an earlier save
    // failed) writes srf_pub.dat with its backups first.
    void Save();
    // Asks the window to close (Outcome::quit).
    void Quit() { m_quit = true; }
    // Before the window closes: true unless a change is not in srf_pub.dat and the user keeps the
    // window to save it after all.
    bool ConfirmQuit();

    // Ctrl+Z and Ctrl+Y: take back or make again one step of this run, saved and compiled at once.
    void Undo();
    void Redo();
    // Ctrl+Up and Ctrl+Down: the phrase one place up or down within its category.
    void MoveUp(phrases::TTreeNode* selected);
    void MoveDown(phrases::TTreeNode* selected);
    // A phrase dropped on a node: it becomes the first phrase of that node's category. Dropped on
    // a phrase of its own category it stays where it is.
    void MoveToCategory(phrases::TTreeNode* phrase, phrases::TTreeNode* target);
    // Several phrases at once: deleted after one question, or moved in their order to the start
    // of the category of target. With one phrase (or none) they are Delete and MoveToCategory.
    void DeleteSet(const std::vector<phrases::TTreeNode*>& chosen, phrases::TTreeNode* selected);
    void MoveSetToCategory(const std::vector<phrases::TTreeNode*>& chosen,
                           phrases::TTreeNode* target);
    // 移动到分类…: the chosen phrases (or the selected one) to the start of a category picked
    // from the list of categories.
    void MoveTo(phrases::TTreeNode* selected, const std::vector<phrases::TTreeNode*>& chosen);
    // The phrases of the selected node's category by their GB2312 bytes; selects the category.
    void Sort(phrases::TTreeNode* selected);
    // The selected node's category as text in the edit box; OK shows what would change and what
    // is refused, and only its OK applies, as one step; its Cancel goes back to the edit box.
    void BatchEdit(phrases::TTreeNode* selected);
    // A category after the last one, with the checks of New.
    void NewCategory();
    // A backup takes the place of the tree after a confirmation; saved and compiled. With more
    // than one backup of different content (srf_pub.dat.bak and the dated copies) the user
    // picks one from a list first.
    void RestoreBackup();
    // Writes the whole tree to the chosen file. Refused while the data files failed to load,
    // since the tree then holds only part of srf_pub.dat, and for a target that is one of the
    // editor's own files, which would be overwritten without a backup.
    void Export(phrases::TTreeNode* selected);
    // Reads the chosen file, shows what the merge would do and, on OK, merges, saves and compiles
    // once, selecting the first new node. Plain lines go to the category of the selected node.
    void Import(phrases::TTreeNode* selected);
    // The window that shows the progress of a large import; none by default.
    void SetImportProgress(ImportProgress* progress) { m_progress = progress; }
    // 立即同步: synchronises now, saying why when it cannot. A merge that changes the tree starts a
    // fresh undo history: no 撤销 can send the merge's phrases away again as deletions.
    void SyncNow();
    // 同步…: the folder, the computers and the last conflicts, in a box that chooses the folder,
    // turns synchronisation off, synchronises, or puts a conflict's losing text back.
    void SyncSettings(phrases::TTreeNode* selected);
    // After the show handler's load, a save and an activation: a synchronisation when one is set
    // up and the data is whole; a failure goes to the status bar, not to a box.
    void SyncQuietly();
    // What the last synchronisation brought, for the status bar (GB2312); empty when nothing.
    const std::string& SyncNote() const { return m_syncNote; }
    void ClearSyncNote() { m_syncNote.clear(); }
    // 设定读音…: the selected phrase's reading in pinyin, as the user reads it, kept beside the
    // phrase file; an empty answer gives the phrase the table's reading again.
    void SetReading(phrases::TTreeNode* selected);
    // The selected phrase's reading, the user's first.
    pinyin::Reading ReadingOf(const phrases::TTreeNode* phrase);
    // The status bar's state with what the controller knows added: the table's note, the
    // synchronisation's note and the selected phrase's reading (see StatusText.h).
    StatusState& CompleteStatus(StatusState& state);
    // The next node after from whose text holds sought, wrapping; a notice when none does.
    void Find(const std::string& sought, phrases::TTreeNode* from);
    // On the window's activation: asks whether to read srf_pub.dat again when another program
    // has written it, then synchronises.
    void CheckDiskChange();

    // The node the last command is about, for the window to select; null to leave the selection.
    phrases::TTreeNode* TakeSelection();
    bool CanUndo() const;
    bool CanRedo() const;
    // For a command that makes several changes as one step (see TreeEditor).
    TreeEditor& Edits() { return *m_edits; }
    // Takes the changes made through Edits() as one undo step, then saves and compiles.
    void CommitAndSave();

    // True when a node's text equals text byte for byte, letter case included.
    bool Exists(std::string_view text) const;

private:
    void Notice(const std::string& text);
    // Reads srf_pub.dat again; what could be undone belonged to the tree that is gone.
    void Reload();
    // Reads srf_pub.dat with the questions and notices of what its bytes show.
    void LoadTree();
    // Puts the losing text of a conflict of the last synchronisation back, as New would.
    void PutBack(int conflict, phrases::TTreeNode* selected);
    // Takes a synchronisation's report: a fresh history after a merge that changed the tree, the
    // status bar's note, the conflicts for the 同步… box.
    void TakeSyncReport(const synchro::SyncReport& report);
    // Export to another input method's dictionary: one category or all where the target has no
    // categories, what it leaves out shown before anything is written.
    void ExportDictionary(const ExportTarget& target, phrases::TTreeNode* selected);
    // Saves and compiles, unless another program has written srf_pub.dat meanwhile and the user
    // chooses to read it again instead: then false.
    bool SaveChanges();
    void MoveWithin(phrases::TTreeNode* selected, int delta);
    // Shows the notice and returns false when the files did not load.
    bool CheckDataLoaded();
    // Shows the notice and returns false when the input box held a character GB2312 cannot hold:
    // the text would be stored with a stand-in in its place.
    bool Holdable(char32_t unheld);
    // The input box, opened again on the typed text after a character GB2312 cannot hold was
    // refused; false on Cancel.
    bool PromptHoldable(const std::string& prompt, std::string& value);
    // The notice for a trimmed text that must not be stored, by the one verdict every stored text
    // gets (empty gives `empty`); null when it may be stored.
    const char* Refusal(std::string_view text, const char* empty) const;
    // The input box of New and New category: the trimmed text once it passes every check; nullopt
    // on Cancel or after the notice of a refused text.
    std::optional<std::string> AskForNewText(const std::string& prompt);

    phrases::TTreeNodes& m_tree;
    UserDialogs& m_dialogs;
    PhraseFiles& m_files;
    FileDialogs& m_fileDialogs;
    const phrases::CharacterTable& m_table;
    std::unique_ptr<TreeEditor> m_edits;
    std::unique_ptr<EditHistory> m_history;
    phrases::TTreeNode* m_select = nullptr;
    bool m_quit = false;
    std::string m_syncNote;
    std::vector<synchro::Conflict> m_conflicts;  // of the last synchronisation
    ImportProgress* m_progress = nullptr;
};

}  // namespace editor
