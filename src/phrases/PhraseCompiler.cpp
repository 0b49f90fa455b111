// Encoding the phrase tree into the compiled phrase file.
#include "phrases/PhraseCompiler.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <exception>
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

// Writes the record of every compiled phrase from out on and keeps the report; both compiles
// feed it node by node in absolute-index order, so they cannot differ. A record is never longer
// than its phrase's text plus the count byte, which bounds the room it needs.
class RecordWriter {
public:
    RecordWriter(const CharacterTable& table, CompileReport* report, char* out, int firstIndex = 0)
        : m_table(table), m_report(report), m_at(out), m_index(firstIndex) {
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

    // Where the next record would go.
    char* End() const { return m_at; }
    // The nodes fed so far, counted from firstIndex.
    int NextIndex() const { return m_index; }

private:
    const CharacterTable& m_table;
    CompileReport* m_report;
    char* m_at;
    int m_index;
};

void AddReport(CompileReport& total, CompileReport&& part) {
    total.categories += part.categories;
    total.phrases += part.phrases;
    total.compiled += part.compiled;
    total.leftOut += part.leftOut;
    total.leftOutPhrases.insert(total.leftOutPhrases.end(), part.leftOutPhrases.begin(),
                                part.leftOutPhrases.end());
}

}  // namespace

std::string CompilePhrases(const TTreeNodes& tree, const CharacterTable& table,
                           CompileReport* report) {
    std::size_t bound = 1;
    tree.ForEachNode([&](const TTreeNode& node, int level) {
        if (level > 0)
            bound += 1 + node.Text().size();
    });
    std::string file(bound, '\0');
    RecordWriter writer(table, report, file.data());
    tree.ForEachNode([&](const TTreeNode& node, int level) { writer.Add(node.Text(), level); });
    char* end = writer.End();
    *end++ = '\0';
    file.resize(static_cast<std::size_t>(end - file.data()));
    return file;
}

platform::FileBytes CompileTreeFile(std::string_view treeFile, const CharacterTable& table,
                                    CompileReport* report) {
    const std::string_view text = treeFile.substr(0, treeFile.find('\0'));
    // A line's text and line end take at least its record's room; the last line may lack its
    // end, and the closing 0 byte follows.
    platform::FileBytes file;
    file.Resize(text.size() + 2);
    char* const out = file.Data();
    const auto compile = [&](std::string_view lines, RecordWriter& writer) {
        ForEachTreeLine(lines, [&](std::string_view line, int level) { writer.Add(line, level); });
    };

    const std::size_t split = HalfwaySplit(text);
    char* end = nullptr;
    if (split == 0) {
        RecordWriter writer(table, report, out);
        compile(text, writer);
        end = writer.End();
    } else {
        // The second half's records go beyond the first half's room, then move up behind them.
        CompileReport firstReport;
        CompileReport secondReport;
        RecordWriter first(table, report ? &firstReport : nullptr, out);
        RecordWriter second(table, report ? &secondReport : nullptr, out + split + 1);
        if (const std::exception_ptr error =
                RunBesides([&] { compile(text.substr(0, split), first); },
                           [&] { compile(text.substr(split), second); }))
            std::rethrow_exception(error);
        const auto secondSize = static_cast<std::size_t>(second.End() - (out + split + 1));
        std::memmove(first.End(), out + split + 1, secondSize);
        end = first.End() + secondSize;
        if (report) {
            for (LeftOutPhrase& phrase : secondReport.leftOutPhrases)
                phrase.index += first.NextIndex();
            *report = std::move(firstReport);
            AddReport(*report, std::move(secondReport));
        }
    }
    *end++ = '\0';
    file.Resize(static_cast<std::size_t>(end - out));
    return file;
}

void WriteCompiledFile(const platform::Path& path, const TTreeNodes& tree,
                       const CharacterTable& table) {
    platform::ReplaceFileSafely(path, CompilePhrases(tree, table));
}

}  // namespace phrases
