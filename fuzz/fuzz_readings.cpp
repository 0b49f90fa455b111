// Fuzzes the readings from arbitrary bytes: the reading of a phrase (a syllable per character,
// each a known one), the filter's pinyin rule with a query taken from the input, and the user's
// readings file, whose reading and writing must come back to the same file.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "pinyin/PinyinMatch.h"
#include "pinyin/Reading.h"
#include "pinyin/UserReadings.h"

using fuzz::Check;

namespace {

// The pinyin rule as plainly as it can be said, for the optimised matcher to agree with: from any
// character, each character in turn takes a non-empty beginning of the rest of the query that
// begins one of its syllables (or that syllable's other spelling), never across a boundary.
struct Reference {
    std::string letters;
    std::vector<bool> boundary;                       // before letter k
    std::vector<std::vector<std::string>> spellings;  // per character

    bool From(std::size_t character, std::size_t place) const {
        if (place == letters.size())
            return true;
        if (character == spellings.size())
            return false;
        for (const std::string& spelling : spellings[character])
            for (std::size_t k = 1; k <= spelling.size() && place + k <= letters.size(); ++k) {
                if (spelling[k - 1] != letters[place + k - 1] || (k > 1 && boundary[place + k - 1]))
                    break;
                if (From(character + 1, place + k))
                    return true;
            }
        return false;
    }
};

bool ReferenceMatches(std::string_view query, std::string_view text) {
    Reference reference;
    for (const char c : query) {
        const char lower = static_cast<char>(c | 0x20);
        if (lower >= 'a' && lower <= 'z') {
            reference.boundary.resize(reference.letters.size() + 1);
            reference.letters += lower;
        } else if (c == ' ' || c == '\'') {
            if (!reference.letters.empty()) {
                reference.boundary.resize(reference.letters.size() + 1);
                reference.boundary[reference.letters.size()] = true;
            }
        } else {
            return false;
        }
    }
    reference.boundary.resize(reference.letters.size() + 1);
    if (reference.letters.empty() || reference.letters.size() > 63)
        return false;
    for (std::size_t at = 0, size = 0; at < text.size(); at += size) {
        std::vector<std::string> spellings;
        for (const pinyin::Syllable syllable : pinyin::CharacterReadings(text, at, size)) {
            std::string name(pinyin::SyllableText(syllable));
            spellings.push_back(name);
            if (name.size() >= 2 && name[1] == 'u' &&
                std::string_view("jqxy").find(name[0]) != std::string_view::npos)
                spellings.push_back(name.substr(0, 1) + "v" + name.substr(2));
            if (name == "lve" || name == "nve")
                spellings.push_back(name.substr(0, 1) + "ue");
        }
        reference.spellings.push_back(std::move(spellings));
    }
    for (std::size_t start = 0; start < reference.spellings.size(); ++start)
        if (reference.From(start, 0))
            return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);

    pinyin::Reading reading;
    pinyin::ReadingOf(bytes, reading);
    Check(reading.syllables.size() <= bytes.size());
    Check(bytes.size() <= 2 * reading.syllables.size());
    for (const pinyin::Syllable syllable : reading.syllables)
        Check(syllable == pinyin::kNoSyllable || !pinyin::SyllableText(syllable).empty());
    if (reading.Complete())
        Check(pinyin::CheckReading(bytes, reading.syllables) == pinyin::ReadingProblem::None);

    // The first line is the query, the rest the text.
    const std::size_t newline = bytes.find('\n');
    const std::string_view query = bytes.substr(0, newline);
    const std::string_view text =
        newline == std::string_view::npos ? std::string_view() : bytes.substr(newline + 1);
    const pinyin::PinyinQuery pinyin(query);
    const bool matches = pinyin.Matches(text);
    Check(!matches || pinyin.IsPinyin());
    if (text.size() <= 64)
        Check(matches == ReferenceMatches(query, text));
    // A text that holds a match still matches with more around it.
    if (matches)
        Check(pinyin.Matches(std::string("\x01") + std::string(text) + "\x01"));

    std::vector<pinyin::ReadingsFileProblem> problems;
    const pinyin::UserReadings readings = pinyin::UserReadings::Parse(bytes, &problems);
    for (const pinyin::ReadingsFileProblem& problem : problems)
        Check(problem.line > 0 && problem.problem != pinyin::ReadingProblem::None);
    const std::string file = readings.Format();
    std::vector<pinyin::ReadingsFileProblem> again;
    const pinyin::UserReadings back = pinyin::UserReadings::Parse(file, &again);
    Check(again.empty() && back.Size() == readings.Size() && back.Format() == file);
    return 0;
}
