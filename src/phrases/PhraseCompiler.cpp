// Encoding the phrase tree into the compiled phrase file.
#include "phrases/PhraseCompiler.h"

#include <array>
#include <cstdint>
#include <utility>

#include "phrases/PhraseRules.h"
#include "phrases/TreeFile.h"
#include "platform/FileSystem.h"

namespace phrases {

namespace {

using Numbers = std::array<std::uint16_t, kMaxPhraseCharacters>;

// The verdict, with the character numbers of a compiled phrase in numbers.
PhraseVerdict Encode(std::string_view text, const CharacterTable& table, Numbers& numbers) {
    PhraseVerdict verdict;
    const std::string_view trimmed = TrimText(text);
    verdict.characters = static_cast<int>(trimmed.size() / 2);
    if (trimmed.empty())
        verdict.status = PhraseStatus::Empty;
    else if (trimmed.size() % 2 != 0)
        verdict.status = PhraseStatus::OddLength;
    else if (trimmed.size() == 2)
        verdict.status = PhraseStatus::SingleCharacter;
    else if (verdict.characters > kMaxPhraseCharacters)
        verdict.status = PhraseStatus::TooLong;
    if (!verdict.Compiled())
        return verdict;

    // Pairs go strictly by byte position, whether or not they are whole characters.
    for (int k = 0; k < verdict.characters; ++k) {
        const auto lead = static_cast<unsigned char>(trimmed[2 * k]);
        const auto trail = static_cast<unsigned char>(trimmed[2 * k + 1]);
        const int position = table.Find(lead, trail);
        if (position < 0) {
            verdict.status = PhraseStatus::MissingCharacter;
            verdict.missingLead = lead;
            verdict.missingTrail = trail;
            verdict.missingAt = k;
            return verdict;
        }
        numbers[k] = static_cast<std::uint16_t>(position + 1);
    }
    return verdict;
}

}  // namespace

PhraseVerdict CheckPhrase(std::string_view text, const CharacterTable& table) {
    Numbers numbers;
    return Encode(text, table, numbers);
}

namespace {

// Writes the record of every compiled phrase into the file and keeps the report; both compiles
// feed it node by node in absolute-index order, so they cannot differ.
class RecordWriter {
public:
    // bound: at least the file's size. A record is never longer than its phrase's text plus the
    // count byte, so the text's size and one byte per phrase, and the closing byte, are enough.
    RecordWriter(const CharacterTable& table, CompileReport* report, std::size_t bound)
        : m_table(table), m_report(report), m_file(bound, '\0'), m_at(m_file.data()) {
        if (m_report)
            *m_report = CompileReport{};
    }

    void Add(std::string_view text, int level) {
        const int nodeIndex = m_index++;
        if (level == 0) {
            if (m_report)
                ++m_report->categories;
            return;
        }
        if (m_report)
            ++m_report->phrases;
        // The rules of Encode on the way, the record written in place: a compiled phrase costs
        // no more than its table lookups.
        const std::string_view trimmed = TrimText(text);
        const std::size_t characters = trimmed.size() / 2;
        if (trimmed.size() % 2 == 0 && characters >= 2 &&
            characters <= static_cast<std::size_t>(kMaxPhraseCharacters)) {
            char* at = m_at;
            *at++ = static_cast<char>(characters);
            std::size_t k = 0;
            for (; k < characters; ++k) {
                const int position = m_table.Find(static_cast<unsigned char>(trimmed[2 * k]),
                                                  static_cast<unsigned char>(trimmed[2 * k + 1]));
                if (position < 0)
                    break;
                const auto number = static_cast<unsigned>(position + 1);
                *at++ = static_cast<char>(number & 0xFF);
                *at++ = static_cast<char>(number >> 8);
            }
            if (k == characters) {
                m_at = at;
                if (m_report)
                    ++m_report->compiled;
                return;
            }
        }
        if (m_report) {
            ++m_report->leftOut;
            m_report->leftOutPhrases.push_back({nodeIndex, CheckPhrase(text, m_table)});
        }
    }

    std::string Finish() {
        *m_at++ = '\0';
        m_file.resize(static_cast<std::size_t>(m_at - m_file.data()));
        return std::move(m_file);
    }

private:
    const CharacterTable& m_table;
    CompileReport* m_report;
    std::string m_file;
    char* m_at;
    int m_index = 0;
};

}  // namespace

std::string CompilePhrases(const TTreeNodes& tree, const CharacterTable& table,
                           CompileReport* report) {
    std::size_t bound = 1;
    tree.ForEachNode([&](const TTreeNode& node, int level) {
        if (level > 0)
            bound += 1 + node.Text().size();
    });
    RecordWriter writer(table, report, bound);
    tree.ForEachNode([&](const TTreeNode& node, int level) { writer.Add(node.Text(), level); });
    return writer.Finish();
}

std::string CompileTreeFile(std::string_view treeFile, const CharacterTable& table,
                            CompileReport* report) {
    // A line's text and line end take at least a record's room (the last line may lack its end;
    // the closing 0 byte follows).
    RecordWriter writer(table, report, treeFile.size() + 2);
    ForEachTreeLine(treeFile, [&](std::string_view text, int level) { writer.Add(text, level); });
    return writer.Finish();
}

void WriteCompiledFile(const platform::Path& path, const TTreeNodes& tree,
                       const CharacterTable& table) {
    platform::ReplaceFileSafely(path, CompilePhrases(tree, table));
}

}  // namespace phrases
