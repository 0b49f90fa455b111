// The phrase editor's files; see EditorFiles.h.
#include "editor/EditorFiles.h"

#include "EditorTexts.h"
#include "phrases/PhraseCompiler.h"

namespace editor {

void EditorFiles::FormShow() {
    LoadPhraseTree();
    LoadCharacterTable();
    CompilePhraseFile(false);
}

void EditorFiles::LoadPhraseTree() {
    m_treeLoaded = false;
    try {
        m_tree.LoadTree(TreePath());
    } catch (...) {
        m_observer.TreeReloaded();
        throw;
    }
    m_observer.TreeReloaded();
    m_treeLoaded = true;
}

void EditorFiles::LoadCharacterTable() {
    m_table.Load(TablePath());
    m_tableLoaded = true;
}

void EditorFiles::SaveAndCompile() {
    m_tree.SaveTree(TreePath());
    CompilePhraseFile(false);
}

void EditorFiles::CompilePhraseFile(bool announce) {
    phrases::WriteCompiledFile(CompiledPath(), m_tree, m_table);
    if (announce)
        m_dialogs.MessageBox(texts::kSaved, texts::kNoticeCaption, kNoticeFlags);
}

}  // namespace editor
