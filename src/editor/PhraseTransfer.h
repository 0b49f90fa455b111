// Export and Import of the phrase editor: the checks and questions around the core's export and
// import, and the merge made through the editor's changes so that an import undoes as one step.
// Portable: the file dialogs are reached through FileDialogs.
#pragma once

#include <optional>
#include <string>

#include "editor/DictionaryImport.h"
#include "editor/EditorCommands.h"
#include "phrases/CharacterTable.h"
#include "phrases/PhraseExport.h"
#include "phrases/PhraseImport.h"
#include "phrases/TreeNodes.h"

namespace editor {

struct ExportTarget {
    std::string path;  // GB2312, as the file layer takes it
    phrases::ExportEncoding encoding = phrases::ExportEncoding::Utf8;
};

// What Export and Import need from the user beyond the boxes: the system's file dialogs.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The file to write and the encoding chosen in the type list; nullopt on Cancel.
    virtual std::optional<ExportTarget> ChooseExportFile() = 0;
    // The file to read; nullopt on Cancel.
    virtual std::optional<std::string> ChooseImportFile() = 0;
};

// Up to this many inserts an import is made node by node, so that the window shows each new
// node in place; a larger one replaces the tree file whole, which costs one pass over the tree
// where the node-by-node changes would cost a walk along the category for every phrase.
inline constexpr std::size_t kMaxInsertsOneByOne = 2000;

// Makes the plan's inserts through the editor, as ApplyImport would make them on the tree, and
// returns the first new node (null when the tree file was replaced whole or nothing was added).
// The changes stay pending until the caller commits them: one undo step.
phrases::TTreeNode* MergeImport(TreeEditor& edits, const phrases::ImportPlan& plan,
                                std::size_t maxInsertsOneByOne = kMaxInsertsOneByOne);

class PhraseTransfer {
public:
    PhraseTransfer(phrases::TTreeNodes& tree, EditorCommands& commands, UserDialogs& dialogs,
                   FileDialogs& fileDialogs, PhraseFiles& files, const phrases::CharacterTable& table)
        : m_tree(tree), m_commands(commands), m_dialogs(dialogs), m_fileDialogs(fileDialogs),
          m_files(files), m_table(table) {}

    // Writes the whole tree to the chosen file. Refused while the data files failed to load,
    // since the tree then holds only part of srf_pub.dat, and for a target that is one of the
    // editor's own files, which would be overwritten without a backup. Errors of the write go to
    // the caller.
    void Export();
    // Reads the chosen file, shows what the merge would do and, on OK, merges, saves and compiles
    // once. Plain lines go to the category of the selected node; for a dictionary of another
    // input method see PlanFileImport.
    void Import(phrases::TTreeNode* selected);
    // The window that shows the progress of a large import; none by default.
    void SetProgress(ImportProgress* progress) { m_progress = progress; }

    // The first node the import added, for the window to select; null to leave the selection.
    phrases::TTreeNode* TakeSelection();

private:
    bool CheckDataLoaded();
    void Notice(const std::string& text);

    phrases::TTreeNodes& m_tree;
    EditorCommands& m_commands;
    UserDialogs& m_dialogs;
    FileDialogs& m_fileDialogs;
    PhraseFiles& m_files;
    const phrases::CharacterTable& m_table;
    phrases::TTreeNode* m_select = nullptr;
    ImportProgress* m_progress = nullptr;
};

}  // namespace editor
