// The filter's pinyin rule; see PinyinMatch.h.
#include "pinyin/PinyinMatch.h"

#include <bit>
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

}  // namespace

PinyinQuery::PinyinQuery(std::string_view sought) {
    std::string letters;
    std::vector<int> pieceEnd;  // for each place, where its piece of the query ends
    std::vector<int> boundaries;
    for (const char c : sought) {
        const char lower = static_cast<char>(c | 0x20);
        if (lower >= 'a' && lower <= 'z') {
            letters += lower;
        } else if (c == ' ' || c == '\'') {
            if (!letters.empty() &&
                (boundaries.empty() || boundaries.back() != static_cast<int>(letters.size())))
                boundaries.push_back(static_cast<int>(letters.size()));
        } else {
            return;  // not pinyin
        }
    }
    if (letters.empty() || letters.size() > kMaxLetters)
        return;
    const int length = static_cast<int>(letters.size());
    boundaries.push_back(length);
    pieceEnd.resize(static_cast<std::size_t>(length));
    for (int j = 0, b = 0; j < length; ++j) {
        while (boundaries[static_cast<std::size_t>(b)] <= j)
            ++b;
        pieceEnd[static_cast<std::size_t>(j)] = boundaries[static_cast<std::size_t>(b)];
    }

    m_reach.assign(static_cast<std::size_t>(detail::kSyllableCount * length), 0);
    for (int s = 1; s < detail::kSyllableCount; ++s) {
        const std::string_view name = SyllableText(static_cast<Syllable>(s));
        const std::string other = OtherSpelling(name);
        for (int j = 0; j < length; ++j) {
            const std::string_view rest =
                std::string_view(letters).substr(static_cast<std::size_t>(j),
                                                 static_cast<std::size_t>(pieceEnd[j] - j));
            const int common = std::max(CommonStart(name, rest), CommonStart(other, rest));
            if (common > 0)
                m_reach[static_cast<std::size_t>(s * length + j)] =
                    ((std::uint64_t{1} << common) - 1) << (j + 1);
        }
    }
    m_length = length;
    m_first = 1u << (letters[0] - 'a');
    m_accept = std::uint64_t{1} << length;
}

bool PinyinQuery::Matches(std::string_view text) const {
    if (m_length == 0)
        return false;
    const detail::Tables& tables = detail::TheTables();
    // Bit j: the characters read so far end a run that has matched the query's first j letters.
    // Bit 0 is always set: a run may start at any character.
    std::uint64_t state = 1;
    std::size_t size = 0;
    for (std::size_t at = 0; at < text.size(); at += size) {
        const int slot = detail::SlotAt(text, at, size);
        if (slot == detail::kNoSlot) {
            state = 1;
            continue;
        }
        const detail::SlotEntry& entry = tables.slots[static_cast<std::size_t>(slot)];
        if (state == 1 && !(entry.firstLetters & m_first))
            continue;
        std::uint64_t next = 1;
        const Syllable* reading = tables.readings.data() + entry.readings;
        for (int r = 0; r < entry.readingCount; ++r) {
            const std::uint64_t* reach = m_reach.data() + reading[r] * m_length;
            for (std::uint64_t places = state; places; places &= places - 1)
                next |= reach[std::countr_zero(places)];
        }
        if (next & m_accept)
            return true;
        state = next;
    }
    return false;
}

}  // namespace pinyin
