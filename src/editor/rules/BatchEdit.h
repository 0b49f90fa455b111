// 批量编辑: a category's phrases as text, one a line; the edited text becomes a plan (kept, new,
// removed, refused lines) shown to the user before anything changes, then one undo step.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "editor/rules/EditHistory.h"
#include "editor/rules/RearrangedTree.h"
#include "phrases/TreeNodes.h"

namespace editor {

// One line of the edit box as the window hands it over: its GB2312 bytes, and the first
// character GB2312 cannot hold (0 when none; the text then holds a stand-in for it).
struct EditedLine {
    std::string text;
    char32_t unheld = 0;
};

// The category's phrases one a line, CR LF after each but the last: the edit box's first text.
std::string CategoryText(const phrases::TTreeNode* category);
// GB2312 text split into lines at CR LF, CR or LF; no line has an unheld character.
std::vector<EditedLine> SplitEditedText(std::string_view gb2312);

enum class BatchOutcome {
    Kept,       // a phrase of the category, by its exact text or its trimmed text
    Added,      // a new phrase
    TooLong,    // more than 64 bytes
    Duplicate,  // the text is elsewhere in the tree, or on a line before
    NotGb2312,  // a character GB2312 cannot hold
    Invalid,    // a NUL byte
};

// A line that is not empty after trimming (an empty line is ignored, unless it stands for an
// empty phrase of the category, which it keeps).
struct BatchLine {
    int line = 0;      // 1-based
    std::string text;  // trimmed, except for a phrase kept by its exact text
    BatchOutcome outcome = BatchOutcome::Added;
    char32_t unheld = 0;
    phrases::TTreeNode* kept = nullptr;  // for Kept: the phrase
};

struct BatchSummary {
    int kept = 0;
    int added = 0;
    int removed = 0;
    bool reordered = false;  // the kept phrases stand in another order
    int tooLong = 0;
    int duplicate = 0;
    int notGb2312 = 0;
    int invalid = 0;
    int Refused() const { return tooLong + duplicate + notGb2312 + invalid; }
};

struct BatchPlan {
    phrases::TTreeNode* category = nullptr;
    std::vector<BatchLine> lines;
    std::vector<phrases::TTreeNode*> removed;  // in tree order
    BatchSummary summary;
    bool HasChanges() const { return summary.added || summary.removed || summary.reordered; }
};

// Compares the edited lines with the category's phrases without changing anything. A line is
// checked as New checks a text: trimmed, at most 64 bytes, not anywhere else in the tree (nor
// earlier in the text), all its characters held by GB2312. A phrase of the category that no line
// keeps is removed; a refused line adds nothing. The plan holds pointers into the tree: apply it
// before any other change.
BatchPlan PlanBatchEdit(const phrases::TTreeNodes& tree, phrases::TTreeNode* category,
                        const std::vector<EditedLine>& lines);

// Makes the plan's changes through edits, pending until the caller commits them as one undo
// step: the category's phrases become the kept and added lines in the order of the text, kept
// phrases with everything beneath them. Above maxOneByOne changes the tree file is replaced whole
// instead, after which every node is new.
void ApplyBatchEdit(TreeEditor& edits, const BatchPlan& plan,
                    std::size_t maxOneByOne = kMaxChangesOneByOne);

// The summary as GB2312 lines separated by "\n", refused lines with their numbers: what the user
// sees before anything changes.
std::string FormatBatchSummary(const BatchPlan& plan);

}  // namespace editor
