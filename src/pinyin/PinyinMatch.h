// The filter's pinyin rule: a text matches a query of pinyin when a run of its characters, one
// after another, can be read so that each character's syllable is matched by the next piece of
// the query.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace pinyin {

// A query prepared once for many texts. The query is pinyin when it holds ASCII letters (at most
// 63), with spaces or apostrophes between them as syllable boundaries, and nothing else; v
// stands for u-umlaut. A character's syllable takes any non-empty beginning of the rest of the
// query that is also a beginning of the syllable: the full syllable ("nihao"), its initial
// ("nh", zh ch sh being initials too) or any part in between ("nih", "zhongg"), so that the
// matches stay while a syllable is being typed. A piece never crosses a boundary. Every reading
// of a character counts (银行 is found by "yinhang" and by "yinxing"); an ASCII or full-width
// letter reads as itself. Matching allocates nothing.
class PinyinQuery {
public:
    explicit PinyinQuery(std::string_view sought);

    // False when the query is not pinyin: then nothing matches.
    bool IsPinyin() const { return m_length > 0; }
    // True when the query is letters alone: then it matches every text that holds it (a letter
    // reads as itself), and a test of the text besides adds nothing.
    bool LettersOnly() const { return m_lettersOnly; }
    // text is GB2312.
    bool Matches(std::string_view text) const;

private:
    // The code of the character at at, a byte below 0x80 or lead << 8 | trail, stepping over it.
    static unsigned CodeAt(const unsigned char*& at, const unsigned char* end) {
        const unsigned lead = *at++;
        if (lead < 0x80 || at == end)
            return lead;
        return lead << 8 | *at++;
    }
    static bool Has(const std::uint64_t* bits, unsigned code) {
        return bits[code / 64] >> (code % 64) & 1;
    }
    // The match from the character at text[from] on, which can start a run.
    bool MatchesFrom(std::string_view text, std::size_t from) const;
    // The bits of m_starts, m_continues and m_accepts, from m_reach.
    void MarkCharacters();
    // One step over a character of the given slot: the places reached from those of state.
    std::uint64_t Step(std::uint64_t state, int slot) const;

    int m_length = 0;  // letters in the query
    bool m_lettersOnly = false;
    std::uint64_t m_accept = 0;  // the bit of the query's end
    // A bit per character code (a byte below 0x80, lead << 8 | trail otherwise): the character
    // has a reading that starts with the query's first letter. Outside a run, only such a
    // character needs a look: 8 KB that the test of a million phrases keeps in the first-level
    // cache.
    std::vector<std::uint64_t> m_starts;
    // The same for a character that can go on with a run at some place after the first: inside
    // a run, a character without one ends it at the cost of a bit test.
    std::vector<std::uint64_t> m_continues;
    // The same for a character whose reading alone matches the whole query.
    std::vector<std::uint64_t> m_accepts;
    // For each character slot c and query place j: the places a run at j reaches by reading c,
    // j + 1 to j + n, n being the longest common beginning of one of c's syllables (or another
    // spelling of it) and the query from j, up to the next boundary. At [c * m_length + j]: a
    // step reads the row of one character, a cache line for a query of up to 8 letters.
    std::vector<std::uint64_t> m_reach;
};

// Inline, as the filter calls it for every node: the scan for a character that can start a run
// that the next character can go on with (or that matches alone), which ends most texts.
inline bool PinyinQuery::Matches(std::string_view text) const {
    if (m_length == 0)
        return false;
    const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = begin + text.size();
    const std::uint64_t* const starts = m_starts.data();
    for (const unsigned char* at = begin; at < end;) {
        const unsigned char* const character = at;
        const unsigned code = CodeAt(at, end);
        if (!Has(starts, code))
            continue;
        if (Has(m_accepts.data(), code))
            return true;
        const unsigned char* next = at;
        if (next < end && Has(m_continues.data(), CodeAt(next, end)))
            return MatchesFrom(text, static_cast<std::size_t>(character - begin));
    }
    return false;
}

}  // namespace pinyin
