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
    // text is GB2312.
    bool Matches(std::string_view text) const;

private:
    int m_length = 0;            // letters in the query
    std::uint32_t m_first = 0;   // the bit of the query's first letter
    std::uint64_t m_accept = 0;  // the bit of the query's end
    // For each syllable s and query place j: the bits of the places j + 1 to j + n, n being the
    // longest common beginning of s (or another spelling of it) and the query from j, up to the
    // next boundary. At [s * m_length + j].
    std::vector<std::uint64_t> m_reach;
};

}  // namespace pinyin
