// Fuzzes the readings from arbitrary bytes: the reading of a phrase (a syllable per character,
// each a known one), the filter's pinyin rule with a query taken from the input, and the user's
// readings file, whose reading and writing must come back to the same file.
#include <cstddef>
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "pinyin/PinyinMatch.h"
#include "pinyin/Reading.h"
#include "pinyin/UserReadings.h"

using fuzz::Check;

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
