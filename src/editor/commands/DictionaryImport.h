// Import of a file in the editor up to the summary: the file read in its detected format, the
// target category of a dictionary chosen by the user, and a progress window with Cancel while a
// large file is planned. Nothing in the tree changes here. Portable: the window is reached
// through ImportProgress.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "editor/commands/EditorCommands.h"
#include "phrases/CharacterTable.h"
#include "phrases/ImportSource.h"
#include "phrases/TreeNodes.h"

namespace editor {

// The progress window: shown for an import of more than kProgressLines lines.
class ImportProgress {
public:
    virtual ~ImportProgress() = default;
    virtual void Begin() = 0;
    // Moves the bar; false once the user has chosen Cancel.
    virtual bool Step(std::size_t done, std::size_t total) = 0;
    virtual void End() = 0;
};
inline constexpr std::size_t kProgressLines = 20000;

struct PlannedImport {
    phrases::ImportSource source;
    phrases::ImportPlan plan;
    std::string category;  // where plain lines and a dictionary's words go; GB2312
};

// Reads the file at path (GB2312) and plans its import. Plain lines go to the category of the
// selected node; a dictionary's words, after a question, to the selected node's category (the
// default answer) or to a new category named after it (without a selection, to the new one).
// nullopt when the user cancels or a notice said why nothing can be done. A damaged file throws its
// error.
std::optional<PlannedImport> PlanFileImport(const std::string& path, const std::string& bytes,
                                            phrases::TTreeNode* selected,
                                            const phrases::TTreeNodes& tree,
                                            const phrases::CharacterTable& table,
                                            UserDialogs& dialogs, ImportProgress* progress);

// The question before the merge: the summary, for a dictionary with its target, then "要导入吗?".
std::string ImportQuestion(const PlannedImport& planned);

}  // namespace editor
