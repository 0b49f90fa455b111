// 批量编辑; see BatchEdit.h.
#include "editor/rules/BatchEdit.h"

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "EditorTexts.h"
#include "phrases/PhraseRules.h"

namespace editor {

using phrases::TTreeNode;
using phrases::TTreeNodes;

namespace {

// The refused lines of one kind, as "label N 行 (第3, 7行)"; at most kListed numbers.
std::string RefusedLine(const BatchPlan& plan, BatchOutcome outcome, int count, const char* label) {
    constexpr int kListed = 10;
    std::string text = label + std::to_string(count) + texts::kBatchLinesStart;
    int listed = 0;
    for (const BatchLine& line : plan.lines) {
        if (line.outcome != outcome)
            continue;
        if (listed == kListed) {
            text += texts::kBatchMoreLines;
            break;
        }
        text += (listed++ ? ", " : "") + std::to_string(line.line);
    }
    return text + texts::kBatchLinesEnd;
}

// The phrases of one text in the category, and how many lines have kept one of them.
struct SameText {
    std::vector<TTreeNode*> phrases;
    std::size_t taken = 0;
};
using PhrasesByText = std::unordered_map<std::string_view, SameText>;

// The next phrase of this text that no line has kept yet; null when none.
inline TTreeNode* Take(PhrasesByText& phrasesByText, std::string_view text) {
    const auto found = phrasesByText.find(text);
    if (found == phrasesByText.end() || found->second.taken == found->second.phrases.size())
        return nullptr;
    return found->second.phrases[found->second.taken++];
}

// First the lines that keep a phrase or are refused on their own; the rest are candidates,
// checked against the rest of the tree in one pass. Returns the candidates' texts.
std::unordered_set<std::string> SortLines(BatchPlan& plan, PhrasesByText& phrasesByText,
                                          const std::vector<EditedLine>& lines) {
    std::unordered_set<std::string> candidates;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const EditedLine& edited = lines[index];
        BatchLine line;
        line.line = static_cast<int>(index) + 1;
        if (!edited.unheld && (line.kept = Take(phrasesByText, edited.text))) {
            line.text = edited.text;
            line.outcome = BatchOutcome::Kept;
            plan.lines.push_back(std::move(line));
            continue;
        }
        line.text = std::string(phrases::TrimText(edited.text));
        if (line.text.empty())
            continue;
        if (edited.unheld) {
            line.outcome = BatchOutcome::NotGb2312;
            line.unheld = edited.unheld;
        } else if ((line.kept = Take(phrasesByText, line.text))) {
            line.outcome = BatchOutcome::Kept;
        } else if (const phrases::TextFault fault = phrases::CheckStoredText(line.text);
                   fault == phrases::TextFault::None) {
            candidates.insert(line.text);
        } else {
            line.outcome = fault == phrases::TextFault::TooLong ? BatchOutcome::TooLong
                                                                : BatchOutcome::Invalid;
        }
        plan.lines.push_back(std::move(line));
    }
    return candidates;
}

// The candidates that another category holds, that a phrase of this one holds, or that an
// earlier line gave, are duplicates.
void MarkDuplicates(BatchPlan& plan, const TTreeNodes& tree, const TTreeNode* category,
                    const std::unordered_set<std::string>& candidates,
                    const PhrasesByText& phrasesByText) {
    std::unordered_set<std::string_view> elsewhere;
    if (!candidates.empty()) {
        tree.ForEachNode([&](const TTreeNode& node, int) {
            if (node.Parent() != category && candidates.count(std::string(node.Text())))
                elsewhere.insert(node.Text());
        });
    }
    // A candidate equal to a phrase of the category repeats a line that kept it.
    std::unordered_set<std::string_view> used;
    for (BatchLine& line : plan.lines) {
        if (line.outcome == BatchOutcome::Kept)
            used.insert(line.text);
    }
    for (BatchLine& line : plan.lines) {
        if (line.outcome != BatchOutcome::Added)
            continue;
        if (elsewhere.count(line.text) || phrasesByText.count(line.text) ||
            !used.insert(line.text).second)
            line.outcome = BatchOutcome::Duplicate;
    }
}

// The counts of each outcome, whether the kept phrases change their order, and the phrases of
// the category (children, in order) that no line kept.
void Summarise(BatchPlan& plan, const std::vector<TTreeNode*>& children) {
    BatchSummary& summary = plan.summary;
    std::unordered_set<const TTreeNode*> kept;
    const TTreeNode* previous = nullptr;
    std::unordered_map<const TTreeNode*, std::size_t> position;
    for (std::size_t at = 0; at < children.size(); ++at)
        position.emplace(children[at], at);
    for (const BatchLine& line : plan.lines) {
        switch (line.outcome) {
        case BatchOutcome::Kept:
            ++summary.kept;
            kept.insert(line.kept);
            if (previous && position.at(previous) > position.at(line.kept))
                summary.reordered = true;
            previous = line.kept;
            break;
        case BatchOutcome::Added:
            ++summary.added;
            break;
        case BatchOutcome::TooLong:
            ++summary.tooLong;
            break;
        case BatchOutcome::Duplicate:
            ++summary.duplicate;
            break;
        case BatchOutcome::NotGb2312:
            ++summary.notGb2312;
            break;
        case BatchOutcome::Invalid:
            ++summary.invalid;
            break;
        }
    }
    for (TTreeNode* child : children)
        if (!kept.count(child))
            plan.removed.push_back(child);
    summary.removed = static_cast<int>(plan.removed.size());
}

}  // namespace

std::string CategoryText(const TTreeNode* category) {
    std::string text;
    for (const TTreeNode* phrase = category->FirstChild(); phrase; phrase = phrase->NextSibling()) {
        text += phrase->Text();
        if (phrase->NextSibling())
            text += "\r\n";
    }
    return text;
}

std::vector<EditedLine> SplitEditedText(std::string_view gb2312) {
    std::vector<EditedLine> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = gb2312.find_first_of("\r\n", start);
        lines.push_back({std::string(gb2312.substr(start, end - start)), 0});
        if (end == std::string_view::npos)
            return lines;
        start = end + (gb2312.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
}

BatchPlan PlanBatchEdit(const TTreeNodes& tree, TTreeNode* category,
                        const std::vector<EditedLine>& lines) {
    BatchPlan plan;
    plan.category = category;
    // The category's phrases by text (viewing the nodes' own texts); equal texts are taken in
    // their order.
    PhrasesByText phrasesByText;
    std::vector<TTreeNode*> children;
    for (TTreeNode* phrase = category->FirstChild(); phrase; phrase = phrase->NextSibling()) {
        children.push_back(phrase);
        phrasesByText[phrase->Text()].phrases.push_back(phrase);
    }
    const std::unordered_set<std::string> candidates = SortLines(plan, phrasesByText, lines);
    MarkDuplicates(plan, tree, category, candidates, phrasesByText);
    Summarise(plan, children);
    return plan;
}

void ApplyBatchEdit(TreeEditor& edits, const BatchPlan& plan, std::size_t maxOneByOne) {
    if (!plan.HasChanges())
        return;
    TTreeNode* category = plan.category;
    const std::size_t changes =
        plan.removed.size() + static_cast<std::size_t>(plan.summary.added + plan.summary.kept);
    if (changes > maxOneByOne) {
        ChildLists lists;
        std::vector<ListedChild>& list = lists[category];
        for (const BatchLine& line : plan.lines) {
            if (line.outcome == BatchOutcome::Kept)
                list.push_back({line.kept, {}});
            else if (line.outcome == BatchOutcome::Added)
                list.push_back({nullptr, line.text});
        }
        edits.ReplaceAll(FormatRearranged(edits.Tree(), lists));
        return;
    }
    for (TTreeNode* phrase : plan.removed)
        edits.Remove(phrase);
    // Places 0 .. at-1 hold their phrases; a kept phrase already at its place stays.
    TTreeNode* current = category->FirstChild();
    int at = 0;
    for (const BatchLine& line : plan.lines) {
        TTreeNode* placed = nullptr;
        if (line.outcome == BatchOutcome::Kept)
            placed = line.kept == current ? current : edits.Move(line.kept, category, at);
        else if (line.outcome == BatchOutcome::Added)
            placed = edits.InsertAt(category, at, line.text);
        else
            continue;
        current = placed->NextSibling();
        ++at;
    }
}

std::string FormatBatchSummary(const BatchPlan& plan) {
    const BatchSummary& summary = plan.summary;
    std::string text = texts::kBatchAdded + std::to_string(summary.added) + texts::kBatchPhrases +
                       "\n" + texts::kBatchRemoved + std::to_string(summary.removed) +
                       texts::kBatchPhrases + "\n" + texts::kBatchKept +
                       std::to_string(summary.kept) + texts::kBatchPhrases;
    if (summary.reordered)
        text += texts::kBatchReordered;
    const struct {
        BatchOutcome outcome;
        int count;
        const char* label;
    } refusals[] = {
        {BatchOutcome::TooLong, summary.tooLong, texts::kBatchTooLong},
        {BatchOutcome::Duplicate, summary.duplicate, texts::kBatchDuplicate},
        {BatchOutcome::NotGb2312, summary.notGb2312, texts::kBatchNotGb2312},
        {BatchOutcome::Invalid, summary.invalid, texts::kBatchInvalid},
    };
    for (const auto& refusal : refusals)
        if (refusal.count)
            text += "\n" + RefusedLine(plan, refusal.outcome, refusal.count, refusal.label);
    if (summary.Refused())
        text += std::string("\n") + texts::kBatchRefusedNote;
    return text;
}

}  // namespace editor
