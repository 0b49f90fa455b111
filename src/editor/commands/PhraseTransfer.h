// What Export and Import, two commands of EditorCommands, need beyond the other commands: the
// file dialogs, and the merge made through the editor's changes so that an import undoes as one
// step. The commands themselves are in PhraseTransfer.cpp. Portable: the file dialogs are reached
// through FileDialogs.
#pragma once

#include <optional>
#include <string>

#include "editor/commands/DictionaryImport.h"
#include "editor/commands/EditorCommands.h"
#include "editor/rules/RearrangedTree.h"
#include "phrases/CharacterTable.h"
#include "phrases/PhraseExport.h"
#include "phrases/PhraseImport.h"
#include "phrases/TreeNodes.h"

namespace editor {

struct ExportTarget {
    std::string path;  // GB2312, as the file layer takes it
    phrases::ExportEncoding encoding = phrases::ExportEncoding::Utf8;
    // Another input method's dictionary, each phrase with its reading; none: the tree's own form.
    std::optional<phrases::SourceFormat> dictionary;
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

// Makes the plan's inserts through the editor, as ApplyImport would make them on the tree, and
// returns the first new node (null when the tree file was replaced whole or nothing was added).
// The changes stay pending until the caller commits them: one undo step.
phrases::TTreeNode* MergeImport(TreeEditor& edits, const phrases::ImportPlan& plan,
                                std::size_t maxInsertsOneByOne = kMaxChangesOneByOne);

}  // namespace editor
