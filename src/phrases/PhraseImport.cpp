// Import planning and merging; see PhraseImport.h.
#include "phrases/PhraseImport.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "DictionaryTexts.h"
#include "TransferTexts.h"
#include "phrases/PhraseRules.h"

namespace phrases {

namespace {

struct Line {
    std::size_t begin = 0;  // offsets in the converted text
    std::size_t end = 0;
};

// The lines as the tree file reader sees them: the text ends at the first NUL; CR, LF and CR LF
// end a line; a line end at the very end starts no further line.
std::vector<Line> SplitLines(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        lines.push_back({start, end});
        if (end == text.size())
            break;
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    return lines;
}

// One character: an ASCII byte, a double-byte code or the mark of a character GB2312 cannot hold.
bool IsSingleCharacter(std::string_view text) {
    if (text.size() == 1)
        return true;
    return text.size() == 2 && static_cast<unsigned char>(text[0]) >= 0x80 &&
           text[0] != kUnheldMark && text[1] != kUnheldMark;
}

bool IsIndented(std::string_view line) {
    return !line.empty() && (line.front() == '\t' || line.front() == ' ');
}

// Replaces each "%d" of pattern in turn by the next number.
std::string FillNumbers(std::string_view pattern, std::initializer_list<int> numbers) {
    std::string out;
    auto number = numbers.begin();
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        if (pattern.substr(at, 2) == "%d" && number != numbers.end()) {
            out += std::to_string(*number++);
            ++at;
        } else {
            out.push_back(pattern[at]);
        }
    }
    return out;
}

class Planner {
public:
    Planner(const TTreeNodes& tree, const Gb2312Text& text, const CharacterTable& table,
            ImportPlan& plan)
        : m_text(text), m_table(table), m_plan(plan) {
        tree.ForEachNode([&](const TTreeNode& node, int level) {
            m_treeTexts.insert(node.Text());
            if (level == 0)
                m_treeCategories.emplace(node.Text(), const_cast<TTreeNode*>(&node));
        });
    }

    // Checks a trimmed text by the verdict every stored text gets.
    ImportOutcome Check(std::string_view text, const Line& line, char32_t& unheld) const {
        switch (CheckStoredText(text)) {
        case TextFault::None:
        case TextFault::Exists:
            return ImportOutcome::Added;
        case TextFault::Empty:
            return ImportOutcome::Empty;
        case TextFault::TooLong:
            return ImportOutcome::TooLong;
        case TextFault::Untrimmed:
        case TextFault::LineBreak:
        case TextFault::NotGb2312:
            break;
        }
        unheld = m_text.FirstUnheldIn(line.begin, line.end);
        return ImportOutcome::NotGb2312;
    }

    // The line as the user wrote it, for the listing of a refused line.
    void Show(ImportLine& entry, const Line& line) const {
        if (entry.outcome == ImportOutcome::NotGb2312)
            entry.shown = TrimText(Utf8Of(m_text, line.begin, line.end));
    }

    void CategoryLine(ImportLine& entry, const Line& line) {
        entry.isCategory = true;
        entry.outcome = Check(entry.text, line, entry.unheld);
        Show(entry, line);
        m_category = -1;
        m_categoryOutcome = entry.outcome;
        if (entry.outcome == ImportOutcome::Added)
            m_category = entry.category = UseCategory(entry.text);
        else
            Count(entry.outcome);
    }

    void PhraseLine(ImportLine& entry, const Line& line, int category, bool words = false) {
        entry.category = category;
        entry.outcome = Check(entry.text, line, entry.unheld);
        Show(entry, line);
        if (words && entry.outcome != ImportOutcome::Empty && IsSingleCharacter(entry.text)) {
            entry.outcome = ImportOutcome::SingleCharacter;
            entry.unheld = 0;
        }
        // The phrases of a category that cannot be stored go with it.
        if (entry.outcome == ImportOutcome::Added && category < 0)
            entry.outcome = m_categoryOutcome.value_or(ImportOutcome::Empty);
        if (entry.outcome == ImportOutcome::Added && Exists(entry.text))
            entry.outcome = ImportOutcome::Existing;
        if (entry.outcome != ImportOutcome::Added)
            return Count(entry.outcome);
        m_added.insert(entry.text);
        entry.verdict = CheckPhrase(entry.text, m_table);
        ++m_plan.summary.added;
        if (!entry.verdict.Compiled())
            ++m_plan.summary.leftOutOfCompile;
        m_plan.inserts.push_back({false, category, entry.text});
    }

    int CurrentCategory() const { return m_category; }
    bool SeenCategory() const { return m_categoryOutcome.has_value(); }

    int UseCategory(const std::string& text) {
        if (const auto found = m_planCategories.find(text); found != m_planCategories.end())
            return found->second;
        const int index = static_cast<int>(m_plan.categories.size());
        TTreeNode* node = nullptr;
        if (const auto found = m_treeCategories.find(text); found != m_treeCategories.end())
            node = found->second;
        m_plan.categories.push_back({text, node});
        m_planCategories.emplace(text, index);
        if (!node) {
            ++m_plan.summary.newCategories;
            m_plan.inserts.push_back({true, index, text});
            m_added.insert(text);  // once inserted it is a node like any other
        }
        return index;
    }

private:
    bool Exists(const std::string& text) const {
        return m_treeTexts.contains(text) || m_added.contains(text);
    }

    void Count(ImportOutcome outcome) {
        ImportSummary& summary = m_plan.summary;
        switch (outcome) {
        case ImportOutcome::Existing:
            ++summary.existing;
            break;
        case ImportOutcome::TooLong:
            ++summary.tooLong;
            break;
        case ImportOutcome::Empty:
            ++summary.empty;
            break;
        case ImportOutcome::NotGb2312:
            ++summary.notGb2312;
            break;
        case ImportOutcome::SingleCharacter:
            ++summary.singleCharacters;
            break;
        case ImportOutcome::Added:
            break;
        }
    }

    const Gb2312Text& m_text;
    const CharacterTable& m_table;
    ImportPlan& m_plan;
    std::unordered_set<std::string_view> m_treeTexts;
    std::unordered_map<std::string_view, TTreeNode*> m_treeCategories;  // the first of a text
    std::unordered_set<std::string> m_added;
    std::unordered_map<std::string, int> m_planCategories;
    int m_category = -1;
    std::optional<ImportOutcome> m_categoryOutcome;
};

}  // namespace

ImportFormat DetectImportFormat(std::string_view gb2312) {
    bool first = true;
    for (const Line& line : SplitLines(gb2312)) {
        const std::string_view text = gb2312.substr(line.begin, line.end - line.begin);
        if (TrimText(text).empty())
            continue;
        if (first && IsIndented(text))
            return ImportFormat::PlainLines;
        if (!first && IsIndented(text))
            return ImportFormat::Indented;
        first = false;
    }
    return ImportFormat::PlainLines;
}

ImportPlan PlanImport(const TTreeNodes& tree, const Gb2312Text& text, const CharacterTable& table,
                      ImportFormat format, std::string_view plainLinesCategory,
                      const ImportProgressFn& progress) {
    ImportPlan plan;
    plan.format = format;
    plan.encoding = text.encoding;
    Planner planner(tree, text, table, plan);
    const std::string_view bytes = text.bytes;

    int plainCategory = -1;
    const bool plain = format != ImportFormat::Indented;
    if (plain)
        plainCategory = planner.UseCategory(std::string(TrimText(plainLinesCategory)));

    int number = 0;
    const std::vector<Line> lines = SplitLines(bytes);
    constexpr std::size_t kProgressStep = 4096;
    for (const Line& line : lines) {
        if (progress && number % kProgressStep == 0 &&
            !progress(static_cast<std::size_t>(number), lines.size()))
            throw ImportCancelled{};
        const std::string_view whole = bytes.substr(line.begin, line.end - line.begin);
        ImportLine entry;
        entry.line = ++number;
        entry.text = TrimText(whole);
        if (plain) {
            planner.PhraseLine(entry, line, plainCategory, format == ImportFormat::WordList);
        } else if (entry.text.empty()) {
            // A blank line belongs to no category and leaves the current one as it is.
            planner.PhraseLine(entry, line, planner.CurrentCategory());
        } else if (!IsIndented(whole) || !planner.SeenCategory()) {
            planner.CategoryLine(entry, line);
        } else {
            // Lines deeper than one level are phrases of their category all the same.
            planner.PhraseLine(entry, line, planner.CurrentCategory());
        }
        plan.lines.push_back(std::move(entry));
    }
    return plan;
}

std::vector<TTreeNode*> ApplyImport(TTreeNodes& tree, const ImportPlan& plan) {
    std::vector<TTreeNode*> categories;
    for (const ImportCategory& category : plan.categories)
        categories.push_back(category.node);
    std::vector<TTreeNode*> inserted;
    inserted.reserve(plan.inserts.size());
    for (const ImportInsert& insert : plan.inserts) {
        TTreeNode*& category = categories[static_cast<std::size_t>(insert.category)];
        if (insert.isCategory) {
            category = tree.InsertLastChild(nullptr, insert.text);
            inserted.push_back(category);
        } else {
            inserted.push_back(tree.InsertLastChild(category, insert.text));
        }
    }
    return inserted;
}

std::string FormatImportSummary(const ImportSummary& summary) {
    return FillNumbers(texts::kSummaryAdded, {summary.added, summary.newCategories}) + "\n" +
           FillNumbers(texts::kSummarySkipped,
                       {summary.existing, summary.tooLong, summary.empty, summary.notGb2312}) +
           "\n" + FillNumbers(texts::kSummaryLeftOut, {summary.leftOutOfCompile});
}

std::string FormatRefusedLines(const ImportPlan& plan, std::size_t count) {
    std::string text;
    std::size_t listed = 0;
    for (const ImportLine& line : plan.lines) {
        if (line.outcome != ImportOutcome::TooLong && line.outcome != ImportOutcome::NotGb2312)
            continue;
        if (listed++ == count)
            return text + "\n" + texts::kMoreLines;
        std::string shown = line.text;
        std::replace(shown.begin(), shown.end(), kUnheldMark, '?');
        std::string reason = ImportLineReason(line);
        if (line.unheld) {
            char code[16];
            std::snprintf(code, sizeof code, " U+%04X", static_cast<unsigned>(line.unheld));
            reason += code;
        }
        if (!text.empty())
            text += "\n";
        text += texts::kLineStart + std::to_string(line.line) + texts::kLineMiddle + shown + " (" +
                reason + ")";
    }
    return text;
}

std::string ImportLineReason(const ImportLine& line) {
    switch (line.outcome) {
    case ImportOutcome::Existing:
        return texts::kReasonExisting;
    case ImportOutcome::TooLong:
        return texts::kReasonTooLong;
    case ImportOutcome::Empty:
        return texts::kReasonEmpty;
    case ImportOutcome::NotGb2312:
        return texts::kReasonNotGb2312;
    case ImportOutcome::SingleCharacter:
        return texts::kReasonSingleCharacter;
    case ImportOutcome::Added:
        break;
    }
    return line.isCategory || line.verdict.Compiled() ? std::string() : texts::kReasonLeftOut;
}

}  // namespace phrases
