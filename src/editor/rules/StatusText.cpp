// The status bar's texts; see StatusText.h.
#include "editor/rules/StatusText.h"

#include "EditorTexts.h"

namespace editor {

StatusText MakeStatusText(const StatusState& state) {
    if (!state.health || !state.health->Known())
        return {};
    StatusText text{CountsText(state.health->Counts()), {}};
    const phrases::PhraseVerdict* verdict = state.health->LeftOut(state.selected);
    if (state.chosen > 1) {
        text.right = texts::kChosenStart + std::to_string(state.chosen) + texts::kChosenEnd;
    } else if (verdict) {
        text.right = LeftOutReason(*verdict);
        if (verdict->status == phrases::PhraseStatus::MissingCharacter && !state.shortTable.empty())
            text.right += " (" + state.shortTable + ")";
    } else if (state.filter) {
        text.right = texts::kFilterShownStart + std::to_string(state.filter->phrases) +
                     texts::kFilterShownMiddle + std::to_string(state.filter->totalPhrases) +
                     texts::kFilterShownEnd;
    } else if (!state.syncNote.empty()) {
        text.right = state.syncNote;
    } else if (!state.shortTable.empty() || !state.reading) {
        text.right = state.shortTable;
    } else {
        text.right = texts::kReadingShown + pinyin::ReadingText(state.reading->syllables);
        if (state.reading->uncertain)
            text.right += texts::kReadingUncertain;
        else if (state.readingSet)
            text.right += texts::kReadingSet;
    }
    return text;
}

}  // namespace editor
