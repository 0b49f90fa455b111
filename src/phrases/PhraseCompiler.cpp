// Encoding the phrase tree into the compiled phrase file.
#include "phrases/PhraseCompiler.h"

#include <array>
#include <cstdint>

#include "phrases/PhraseRules.h"
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

std::string CompilePhrases(const TTreeNodes& tree, const CharacterTable& table,
                           CompileReport* report) {
    if (report)
        *report = CompileReport{};
    // A record is never longer than its phrase's text plus the count byte; reserving that once
    // spares the copies of a growing buffer.
    std::size_t bound = 1;
    tree.ForEachNode([&](const TTreeNode& node, int level) {
        if (level > 0)
            bound += 1 + node.Text().size();
    });
    std::string file;
    file.reserve(bound);
    Numbers numbers;
    char record[1 + 2 * kMaxPhraseCharacters];
    int index = 0;
    tree.ForEachNode([&](const TTreeNode& node, int level) {
        const int nodeIndex = index++;
        if (level == 0) {
            if (report)
                ++report->categories;
            return;
        }
        const PhraseVerdict verdict = Encode(node.Text(), table, numbers);
        if (report) {
            ++report->phrases;
            if (verdict.Compiled()) {
                ++report->compiled;
            } else {
                ++report->leftOut;
                report->leftOutPhrases.push_back({nodeIndex, verdict});
            }
        }
        if (!verdict.Compiled())
            return;
        // One append per record: a million phrases cost a million appends, not ten million.
        record[0] = static_cast<char>(verdict.characters);
        for (int k = 0; k < verdict.characters; ++k) {
            record[1 + 2 * k] = static_cast<char>(numbers[k] & 0xFF);
            record[2 + 2 * k] = static_cast<char>(numbers[k] >> 8);
        }
        file.append(record, 1 + 2 * static_cast<std::size_t>(verdict.characters));
    });
    file.push_back('\0');
    return file;
}

void WriteCompiledFile(const platform::Path& path, const TTreeNodes& tree,
                       const CharacterTable& table) {
    platform::ReplaceFileSafely(path, CompilePhrases(tree, table));
}

}  // namespace phrases
