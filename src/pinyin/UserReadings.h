// The readings the user sets for phrases, mostly those the table cannot be sure of. They are kept
// in a UTF-8 file of their own beside the phrase file, never in srf_pub.dat: a line per phrase,
// "phrase<TAB>syllable syllable ...", e.g. "行长<TAB>hang zhang".
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "pinyin/Reading.h"

namespace pinyin {

enum class ReadingProblem {
    None,
    NotUtf8,          // the line is not UTF-8
    NoTab,            // no TAB between the phrase and its reading
    NotGb2312,        // the phrase holds a character GB2312 cannot hold
    EmptyPhrase,      // nothing before the TAB
    WrongCount,       // not as many syllables as the phrase has characters
    UnknownSyllable,  // a syllable that is no pinyin (nor a letter's own)
    LetterMismatch,   // a letter of the phrase read otherwise than as itself
    Duplicate,        // a second line for a phrase: the later one is kept
    LineBreak,        // a phrase to set holds a TAB or a line end, which would break its line
};

// The reason as a short GB2312 text.
std::string ProblemText(ReadingProblem problem);

// The syllables of a typed or stored reading: syllables of pinyin or single letters separated
// by blanks or apostrophes, in any case, u-umlaut written v, ue after l and n (lue), or ü in
// UTF-8. False, with out left as it was, when one is no syllable.
bool ParseSyllables(std::string_view text, std::vector<Syllable>& out);

// Whether syllables are a valid reading of the GB2312 phrase: one per character; a letter's its
// own letter; any other character's a syllable of pinyin (a hanzi's, or how the user reads a
// digit or a sign).
ReadingProblem CheckReading(std::string_view phrase, const std::vector<Syllable>& syllables);

struct ReadingsFileProblem {
    int line = 0;  // 1-based
    ReadingProblem problem = ReadingProblem::None;

    // "第 N 行: <why>", GB2312.
    std::string Text() const;
};

class UserReadings {
public:
    // Reads a readings file's bytes: UTF-8, a byte-order mark allowed, lines ended by LF or CR LF;
    // blank lines are skipped (a line starting with '#' is a phrase like any other). A malformed
    // line is skipped and listed in problems; for a phrase given twice the later line wins, the
    // earlier listed as Duplicate.
    static UserReadings Parse(std::string_view fileBytes,
                              std::vector<ReadingsFileProblem>* problems = nullptr);
    // The file's bytes: UTF-8 without a byte-order mark, a line per phrase in the order they were
    // set, CR LF after each.
    std::string Format() const;

    // The reading set for the GB2312 phrase, or null.
    const std::vector<Syllable>* Find(std::string_view phrase) const;
    // Sets the phrase's reading when CheckReading finds no problem; returns the problem found.
    ReadingProblem Set(std::string_view phrase, std::vector<Syllable> syllables);
    // False when the phrase had no reading set.
    bool Remove(std::string_view phrase);
    std::size_t Size() const { return m_entries.size(); }
    // Calls visit(phrase, reading) for every reading set, in the order they were set.
    template <class Visit>
    void ForEach(Visit&& visit) const {
        for (const auto& [phrase, reading] : m_entries)
            visit(std::string_view(phrase), reading);
    }

private:
    std::vector<std::pair<std::string, std::vector<Syllable>>> m_entries;
    std::unordered_map<std::string, std::size_t> m_index;  // phrase -> place in m_entries
};

// The phrase's reading: the user's when one is set (never uncertain), else the table's.
void LookupReading(std::string_view phrase, const UserReadings* user, Reading& out);

}  // namespace pinyin
