// The filter's pinyin rule; see PinyinMatch.h.
#include "pinyin/PinyinMatch.h"

#include <bit>
#include <span>
#include <string>

#include "pinyin/ReadingData.h"
#include "pinyin/Syllables.h"

namespace pinyin {

namespace {

constexpr int kMaxLetters = 63;

// The spelling users also type for a syllable: ju qu xu yu (and their finals) as jv qv xv yv,
// lve nve as lue nue. Empty when there is none.
std::string OtherSpelling(std::string_view syllable) {
    std::string other(syllable);
    if (syllable.size() >= 2 && syllable[1] == 'u' &&
        std::string_view("jqxy").find(syllable[0]) != std::string_view::npos)
        other[1] = 'v';
    else if (syllable == "lve" || syllable == "nve")
        other[1] = 'u';
    else
        other.clear();
    return other;
}

int CommonStart(std::string_view a, std::string_view b) {
    std::size_t k = 0;
    while (k < a.size() && k < b.size() && a[k] == b[k])
        ++k;
    return static_cast<int>(k);
}

// The query's letters in lower case, and the places where a space or an apostrophe ends a
// piece of it. False when the query holds anything else: it is not pinyin.
bool ReadLetters(std::string_view sought, std::string& letters, std::vector<int>& boundaries) {
    for (const char c : sought) {
        const char lower = static_cast<char>(c | 0x20);
        if (lower >= 'a' && lower <= 'z') {
            letters += lower;
        } else if (c == ' ' || c == '\'') {
            if (!letters.empty() &&
                (boundaries.empty() || boundaries.back() != static_cast<int>(letters.size())))
                boundaries.push_back(static_cast<int>(letters.size()));
        } else {
            return false;
        }
    }
    return true;
}

// For each place of the query's length letters, where its piece of the query ends; the query's
// end closes the last piece.
std::vector<int> PieceEnds(int length, std::vector<int>& boundaries) {
    std::vector<int> pieceEnd;
    boundaries.push_back(length);
    pieceEnd.resize(static_cast<std::size_t>(length));
    for (int j = 0, b = 0; j < length; ++j) {
        while (boundaries[static_cast<std::size_t>(b)] <= j)
            ++b;
        pieceEnd[static_cast<std::size_t>(j)] = boundaries[static_cast<std::size_t>(b)];
    }
    return pieceEnd;
}

// Per syllable and place j, the places a reading of that syllable can reach from j: bit
// j + k for each k letters of it that the query holds from j on, within j's piece.
std::vector<std::uint64_t> SyllableReach(const std::string& letters,
                                         const std::vector<int>& pieceEnd) {
    const int length = static_cast<int>(letters.size());
    std::vector<std::uint64_t> bySyllable(
        static_cast<std::size_t>(detail::kSyllableCount * length));
    for (int s = 1; s < detail::kSyllableCount; ++s) {
        const std::string_view name = SyllableText(static_cast<Syllable>(s));
        const std::string other = OtherSpelling(name);
        for (int j = 0; j < length; ++j) {
            const std::string_view rest =
                std::string_view(letters).substr(static_cast<std::size_t>(j),
                                                 static_cast<std::size_t>(pieceEnd[j] - j));
            const int common = std::max(CommonStart(name, rest), CommonStart(other, rest));
            if (common > 0)
                bySyllable[static_cast<std::size_t>(s * length + j)] =
                    ((std::uint64_t{1} << common) - 1) << (j + 1);
        }
    }
    return bySyllable;
}

// The same per character slot: the union over the slot's readings.
std::vector<std::uint64_t> SlotReach(const std::vector<std::uint64_t>& bySyllable, int length) {
    const detail::Tables& tables = detail::TheTables();
    std::vector<std::uint64_t> reach(static_cast<std::size_t>(detail::kSlotCount * length), 0);
    for (int slot = 0; slot < detail::kSlotCount; ++slot) {
        const detail::SlotEntry& entry = tables.slots[static_cast<std::size_t>(slot)];
        std::uint64_t* row = reach.data() + slot * length;
        for (int r = 0; r < entry.readingCount; ++r) {
            const std::uint64_t* readingReach =
                bySyllable.data() + tables.readings[entry.readings + r] * length;
            for (int j = 0; j < length; ++j)
                row[j] |= readingReach[j];
        }
    }
    return reach;
}

}  // namespace

PinyinQuery::PinyinQuery(std::string_view sought) {
    std::string letters;
    std::vector<int> boundaries;
    if (!ReadLetters(sought, letters, boundaries))
        return;  // not pinyin
    if (letters.empty() || letters.size() > kMaxLetters)
        return;
    const int length = static_cast<int>(letters.size());
    const std::vector<int> pieceEnd = PieceEnds(length, boundaries);

    // The reach of each syllable first, then of each slot: the union over its readings.
    const std::vector<std::uint64_t> bySyllable = SyllableReach(letters, pieceEnd);
    m_reach = SlotReach(bySyllable, length);

    m_length = length;
    m_lettersOnly = sought.size() == letters.size();
    m_accept = std::uint64_t{1} << length;
    MarkCharacters();
}

void PinyinQuery::MarkCharacters() {
    const int length = m_length;
    m_starts.assign(65536 / 64, 0);
    m_continues.assign(65536 / 64, 0);
    m_accepts.assign(65536 / 64, 0);
    const auto mark = [](std::vector<std::uint64_t>& bits, unsigned code) {
        bits[code / 64] |= std::uint64_t{1} << (code % 64);
    };
    for (int slot = 0; slot < detail::kSlotCount; ++slot) {
        const std::uint64_t* row = m_reach.data() + slot * length;
        bool continues = false;
        for (int j = 1; j < length; ++j)
            continues = continues || row[j] != 0;
        // A hanzi has one code; a letter four: ASCII and full-width, in either case.
        const auto letter = static_cast<unsigned>(slot - detail::kHanziCount);
        const unsigned codes[5] = {static_cast<unsigned>((0xB0 + slot / 94) << 8 |
                                                         (0xA1 + slot % 94)),
                                   'a' + letter, 'A' + letter, 0xA3C1 + letter, 0xA3E1 + letter};
        for (const unsigned code :
             slot < detail::kHanziCount ? std::span(codes, 1) : std::span(codes + 1, 4)) {
            if (row[0])
                mark(m_starts, code);
            if (row[0] & m_accept)
                mark(m_accepts, code);
            if (continues)
                mark(m_continues, code);
        }
    }
}

std::uint64_t PinyinQuery::Step(std::uint64_t state, int slot) const {
    if (slot == detail::kNoSlot)
        return 1;
    const std::uint64_t* row = m_reach.data() + slot * m_length;
    std::uint64_t next = 1;
    for (; state; state &= state - 1)
        next |= row[std::countr_zero(state)];
    return next;
}

bool PinyinQuery::MatchesFrom(std::string_view text, std::size_t from) const {
    const auto* at = reinterpret_cast<const unsigned char*>(text.data()) + from;
    const auto* const end = reinterpret_cast<const unsigned char*>(text.data()) + text.size();
    const std::uint64_t* const starts = m_starts.data();
    const std::uint64_t* const continues = m_continues.data();
    // Bit j: the characters read so far end a run that has matched the query's first j letters.
    // Bit 0 is always set: a run may start at any character.
    std::uint64_t state = 1;
    while (at < end) {
        const unsigned lead = *at;
        const unsigned code = CodeAt(at, end);
        // Only a character that can go on with the run, or start one, needs a look.
        if (state != 1 && !Has(continues, code))
            state = 1;
        if (state == 1 && !Has(starts, code))
            continue;
        const unsigned letter = (code | 0x20u) - 'a';
        const int slot = code > 0xFF   ? detail::SlotOfCode(lead, code & 0xFF)
                         : letter < 26 ? detail::kHanziCount + static_cast<int>(letter)
                                       : detail::kNoSlot;
        state = Step(state, slot);
        if (state & m_accept)
            return true;
    }
    return false;
}

}  // namespace pinyin
