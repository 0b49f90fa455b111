// Encoding the phrase tree into the compiled phrase file.
#include "phrases/PhraseCompiler.h"

#include <array>
#include <cstdint>
#include <utility>

#include "phrases/TreeFile.h"
#include "platform/FileSystem.h"

namespace phrases {

namespace {

using Numbers = std::array<std::uint16_t, kMaxPhraseCharacters>;

bool IsTrimmed(char byte) {
    return static_cast<unsigned char>(byte) <= 0x20;
}

// The verdict, with the character numbers of a compiled phrase in numbers.
PhraseVerdict Encode(std::string_view text, const CharacterTable& table, Numbers& numbers) {
    PhraseVerdict verdict;
    const std::string_view trimmed = TrimPhrase(text);
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

std::string_view TrimPhrase(std::string_view text) {
    while (!text.empty() && IsTrimmed(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsTrimmed(text.back()))
        text.remove_suffix(1);
    return text;
}

PhraseVerdict CheckPhrase(std::string_view text, const CharacterTable& table) {
    Numbers numbers;
    return Encode(text, table, numbers);
}

namespace {

// Appends the record of every compiled phrase to the file and keeps the report; both compiles
// feed it node by node in absolute-index order, so they cannot differ.
class RecordWriter {
public:
    RecordWriter(const CharacterTable& table, CompileReport* report, std::size_t bound)
        : m_table(table), m_report(report) {
        if (m_report)
            *m_report = CompileReport{};
        // A record is never longer than its phrase's text plus the count byte; reserving that
        // bound once spares the copies of a growing buffer.
        m_file.reserve(bound);
    }

    void Add(std::string_view text, int level) {
        const int nodeIndex = m_index++;
        if (level == 0) {
            if (m_report)
                ++m_report->categories;
            return;
        }
        const PhraseVerdict verdict = Encode(text, m_table, m_numbers);
        if (m_report) {
            ++m_report->phrases;
            if (verdict.Compiled()) {
                ++m_report->compiled;
            } else {
                ++m_report->leftOut;
                m_report->leftOutPhrases.push_back({nodeIndex, verdict});
            }
        }
        if (!verdict.Compiled())
            return;
        // One append per record: a million phrases cost a million appends, not ten million.
        m_record[0] = static_cast<char>(verdict.characters);
        for (int k = 0; k < verdict.characters; ++k) {
            m_record[1 + 2 * k] = static_cast<char>(m_numbers[k] & 0xFF);
            m_record[2 + 2 * k] = static_cast<char>(m_numbers[k] >> 8);
        }
        m_file.append(m_record, 1 + 2 * static_cast<std::size_t>(verdict.characters));
    }

    std::string Finish() {
        m_file.push_back('\0');
        return std::move(m_file);
    }

private:
    const CharacterTable& m_table;
    CompileReport* m_report;
    std::string m_file;
    Numbers m_numbers;
    char m_record[1 + 2 * kMaxPhraseCharacters];
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
    // A record is no longer than its line's text and line end (the last line may lack its end),
    // and the closing 0 byte follows.
    RecordWriter writer(table, report, treeFile.size() + 2);
    ForEachTreeLine(treeFile, [&](std::string_view text, int level) { writer.Add(text, level); });
    return writer.Finish();
}

void WriteCompiledFile(const platform::Path& path, const TTreeNodes& tree,
                       const CharacterTable& table) {
    platform::ReplaceFileSafely(path, CompilePhrases(tree, table));
}

}  // namespace phrases
