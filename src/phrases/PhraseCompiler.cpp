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
        // Held in a local, the index stays in a register across the stores below.
        const std::uint16_t* const index = m_table.Index();
        if (trimmed.size() % 2 == 0 && characters >= 2 &&
            characters <= static_cast<std::size_t>(kMaxPhraseCharacters) && index) {
            char* at = m_at;
            *at++ = static_cast<char>(characters);
            std::size_t k = 0;
            for (; k < characters; ++k) {
                const unsigned number = index[static_cast<unsigned char>(trimmed[2 * k]) << 8 |
                                              static_cast<unsigned char>(trimmed[2 * k + 1])];
                if (number == 0)
                    break;
                *at++ = static_cast<char>(number & 0xFF);
                *at++ = static_cast<char>(number >> 8);
            }
            if (k == characters) {
                m_at = at;
                if (m_report)
                    ++m_report->compiled;
                return;
            }
            if (m_report) {
                // Told from what was found: the text may lie under the bytes just written.
                PhraseVerdict verdict;
                verdict.status = PhraseStatus::MissingCharacter;
                verdict.characters = static_cast<int>(characters);
                verdict.missingLead = static_cast<unsigned char>(trimmed[2 * k]);
                verdict.missingTrail = static_cast<unsigned char>(trimmed[2 * k + 1]);
                verdict.missingAt = static_cast<int>(k);
                LeaveOut(nodeIndex, verdict);
            }
            return;
        }
        if (m_report)
            LeaveOut(nodeIndex, CheckPhrase(text, m_table));
    }

    // Where the next record would go.
    char* End() const { return m_at; }
    // The nodes fed so far, counted from firstIndex.
    int NextIndex() const { return m_index; }

private:
    void LeaveOut(int nodeIndex, const PhraseVerdict& verdict) {
        ++m_report->leftOut;
        m_report->leftOutPhrases.push_back({nodeIndex, verdict});
    }

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
    platform::FileBytes file;
    file.Resize(treeFile.size());
    if (!treeFile.empty())
        std::memcpy(file.Data(), treeFile.data(), treeFile.size());
    return CompileTreeFile(std::move(file), table, report);
}

platform::FileBytes CompileTreeFile(platform::FileBytes treeFile, const CharacterTable& table,
                                    CompileReport* report) {
    const std::size_t size = treeFile.View().find('\0');
    // The records go over the lines already read: a record is never longer than its line, the
    // line's end included, so writing never overtakes reading (a record's bytes pass a pair of
    // its text only once the pair has been read). The last line may lack its end, and the
    // closing 0 byte follows: two bytes more.
    const std::size_t length = size == std::string_view::npos ? treeFile.Size() : size;
    treeFile.Resize(length + 2);
    char* const bytes = treeFile.Data();
    const std::string_view text(bytes, length);
    // Each half's writer and report live on its own thread's stack, away from the other's cache
    // lines, and are handed out at the end.
    struct Half {
        char* end = nullptr;
        int nextIndex = 0;
        CompileReport report;
    };
    const auto compile = [&](std::string_view lines, char* out, Half& half) {
        CompileReport halfReport;
        RecordWriter writer(table, report ? &halfReport : nullptr, out);
        detail::ForEachLine(lines,
                            [&](std::string_view line, int level) { writer.Add(line, level); });
        half.end = writer.End();
        half.nextIndex = writer.NextIndex();
        half.report = std::move(halfReport);
    };

    const std::size_t split = HalfwaySplit(text);
    Half first;
    if (split == 0) {
        compile(text, bytes, first);
    } else {
        // Each half over its own lines; the second half's records then move up behind the first's.
        Half second;
        if (const std::exception_ptr error =
                RunBesides([&] { compile(text.substr(0, split), bytes, first); },
                           [&] { compile(text.substr(split), bytes + split, second); }))
            std::rethrow_exception(error);
        const auto secondSize = static_cast<std::size_t>(second.end - (bytes + split));
        std::memmove(first.end, bytes + split, secondSize);
        first.end += secondSize;
        for (LeftOutPhrase& phrase : second.report.leftOutPhrases)
            phrase.index += first.nextIndex;
        AddReport(first.report, std::move(second.report));
    }
    if (report)
        *report = std::move(first.report);
    char* end = first.end;
    *end++ = '\0';
    treeFile.Resize(static_cast<std::size_t>(end - bytes));
    return treeFile;
}

void WriteCompiledFile(const platform::Path& path, const TTreeNodes& tree,
                       const CharacterTable& table) {
    platform::ReplaceFileSafely(path, CompilePhrases(tree, table));
}

}  // namespace phrases
