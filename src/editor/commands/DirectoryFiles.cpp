// The data directory as the editor's commands use it; see DirectoryFiles.h.
#include "editor/commands/DirectoryFiles.h"

namespace editor {

void DirectoryFiles::Compile() {
    const phrases::CompileReport report = m_directory.Compile();
    m_observer.PhrasesChecked(m_health.Update(m_directory.Tree(), report));
}

void DirectoryFiles::TreeReloaded() {
    m_health.Clear();
    m_observer.TreeReloaded();
}

void DirectoryFiles::NodeDeleting(phrases::TTreeNode* node) {
    m_health.Forget(node);
    m_observer.NodeDeleting(node);
}

}  // namespace editor
