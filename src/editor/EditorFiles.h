// The phrase editor's files in the data directory: srf_pub.dat (the tree), srf_pub.zc (the
// character table, read only) and srf_pub.usr (the compiled phrases). Portable.
#pragma once

#include <string>

#include "editor/EditorCommands.h"
#include "phrases/CharacterTable.h"
#include "phrases/TreeNodes.h"

namespace editor {

class EditorFiles : public PhraseFiles {
public:
    // dataDirectory ends with its separator; the file names are appended to it.
    EditorFiles(std::string dataDirectory, phrases::TTreeNodes& tree, UserDialogs& dialogs,
                TreeObserver& observer)
        : m_directory(std::move(dataDirectory)), m_tree(tree), m_dialogs(dialogs),
          m_observer(observer) {}

    std::string TreePath() const { return m_directory + "srf_pub.dat"; }
    std::string TablePath() const { return m_directory + "srf_pub.zc"; }
    std::string CompiledPath() const { return m_directory + "srf_pub.usr"; }

    // The show handler's work: LoadPhraseTree, LoadCharacterTable, then a silent compile. The
    // first failure ends it; the data counts as loaded only when both loads succeeded.
    void FormShow();
    // Loads the tree; the observer hears of it also when the file is malformed, since the lines
    // before the faulty one stay in the tree.
    void LoadPhraseTree();
    void LoadCharacterTable();

    bool DataLoaded() const override { return m_treeLoaded && m_tableLoaded; }
    void SaveAndCompile() override;
    void CompilePhraseFile(bool announce) override;

    const phrases::CharacterTable& Table() const { return m_table; }

private:
    std::string m_directory;
    phrases::TTreeNodes& m_tree;
    UserDialogs& m_dialogs;
    TreeObserver& m_observer;
    phrases::CharacterTable m_table;
    bool m_treeLoaded = false;
    bool m_tableLoaded = false;
};

}  // namespace editor
