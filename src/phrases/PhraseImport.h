// Import: reading phrases from a file in the indented form of srf_pub.dat or as plain lines,
// planning their merge into the tree with a summary the user sees first, and applying the plan.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "phrases/CharacterTable.h"
#include "phrases/PhraseCompiler.h"
#include "phrases/TextEncoding.h"
#include "phrases/TreeNodes.h"

namespace phrases {

// Indented: the first line that is not blank starts at level 0 and a later line is indented;
// levels 0 are categories, every deeper line a phrase of the category above it. Otherwise every
// line is a phrase of one category the caller names. WordList is plain lines read from another
// input method's dictionary: a text of a single character is a character, not a phrase, and is
// skipped.
enum class ImportFormat { Indented, PlainLines, WordList };

ImportFormat DetectImportFormat(std::string_view gb2312);

enum class ImportOutcome {
    Added,
    Existing,         // a node of the tree, or a line before it, has the same text
    TooLong,          // more than 64 bytes
    Empty,            // nothing left after trimming
    NotGb2312,        // a character GB2312 cannot hold
    SingleCharacter,  // a dictionary's text of one character
};

// One line of the file.
struct ImportLine {
    int line = 0;  // 1-based
    bool isCategory = false;
    std::string text;  // trimmed; kUnheldMark where a character could not be held
    ImportOutcome outcome = ImportOutcome::Added;
    int category = -1;      // index in ImportPlan::categories; -1 for a skipped category line
    char32_t unheld = 0;    // for NotGb2312: the first such character
    std::string shown;      // for NotGb2312: the trimmed line as UTF-8, every character as itself
    PhraseVerdict verdict;  // for an added phrase: what the compile will make of it
};

struct ImportCategory {
    std::string text;
    TTreeNode* node = nullptr;  // the tree's category of that text; null for a new one
};

// One node the merge inserts. Done in order, a new category comes before its phrases.
struct ImportInsert {
    bool isCategory = false;
    int category = 0;  // index in ImportPlan::categories
    std::string text;
};

struct ImportSummary {
    int added = 0;  // phrases
    int newCategories = 0;
    int existing = 0;
    int tooLong = 0;
    int empty = 0;
    int notGb2312 = 0;
    int singleCharacters = 0;  // only for ImportFormat::WordList
    int leftOutOfCompile = 0;  // added phrases that the compiled file will not hold
};

struct ImportPlan {
    ImportFormat format = ImportFormat::Indented;
    TextEncoding encoding = TextEncoding::Gb2312;
    std::vector<ImportCategory> categories;
    std::vector<ImportLine> lines;
    std::vector<ImportInsert> inserts;
    ImportSummary summary;

    bool HasChanges() const { return !inserts.empty(); }
};

// Plans the merge of a converted file into the tree without changing it. Categories are matched
// by their text; a phrase is checked like the editor's New: trimmed, not empty, at most 64
// bytes, not yet anywhere in the tree nor earlier in the file. plainLinesCategory names the
// category that plain lines go to (made anew when the tree has none of that text); it is not
// used for the indented form. The plan holds pointers into the tree: apply it before any change.
// progress, when given, is called now and then with the lines planned and the lines in all; when
// it returns false the planning stops by throwing ImportCancelled.
using ImportProgressFn = std::function<bool(std::size_t done, std::size_t total)>;
struct ImportCancelled {};
ImportPlan PlanImport(const TTreeNodes& tree, const Gb2312Text& text, const CharacterTable& table,
                      ImportFormat format, std::string_view plainLinesCategory = {},
                      const ImportProgressFn& progress = {});

// Performs the plan's inserts: a new category after the last one, a phrase at the end of its
// category. Returns the new nodes in the order of plan.inserts; deleting them in reverse order
// undoes the merge.
std::vector<TTreeNode*> ApplyImport(TTreeNodes& tree, const ImportPlan& plan);

// The summary as GB2312 lines separated by "\n", for the question before the merge.
std::string FormatImportSummary(const ImportSummary& summary);

// The first lines the import refuses (too long, or holding a character GB2312 cannot hold) as
// GB2312 lines "第 N 行: text (reason)", at most `count` of them and "…" when there are more;
// empty when none is refused. A character GB2312 cannot hold is named by its code.
std::string FormatRefusedLines(const ImportPlan& plan, std::size_t count = 5);

// Why a line is not taken (or, for an added phrase the compile leaves out, why not compiled),
// as a short GB2312 text; empty for a phrase that is added and compiled.
std::string ImportLineReason(const ImportLine& line);

}  // namespace phrases
