// What a screen reader hears of a node; see PhraseDescription.h.
#include "editor/rules/PhraseDescription.h"

#include "EditorTexts.h"

namespace editor {

std::string PhraseDescription(const PhraseHealth& health, const phrases::TTreeNode* node,
                              bool chosen) {
    std::string description = chosen ? texts::kDescriptionChosen : "";
    if (const phrases::PhraseVerdict* verdict = health.LeftOut(node)) {
        if (!description.empty())
            description += texts::kDescriptionSeparator;
        description += LeftOutReason(*verdict);
    }
    return description;
}

}  // namespace editor
