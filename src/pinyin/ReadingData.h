// The reading table as the lookups use it, decoded once from ReadingTable.cpp: per character slot
// (a GB2312 hanzi or a letter) its readings, the first letters they start with, and the words
// that start with it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "pinyin/ReadingTable.h"

namespace pinyin {

// A syllable: an index into the syllable list, 0 for none.
using Syllable = std::uint16_t;
inline constexpr Syllable kNoSyllable = 0;

namespace detail {

// Slots 0 to kHanziCount - 1 are the hanzi; the 26 after them the letters a to z.
inline constexpr int kSlotCount = kHanziCount + 26;
inline constexpr int kNoSlot = -1;

struct SlotEntry {
    std::uint32_t firstLetters = 0;  // bit c - 'a' for each letter a reading starts with
    std::uint16_t readings = 0;      // the first of the slot's readings in Tables::readings
    std::uint8_t readingCount = 0;
    bool ambiguous = false;        // a reading besides the first is not rare
    std::uint16_t wordsBegin = 0;  // the words starting with the slot's hanzi, [begin, end)
    std::uint16_t wordsEnd = 0;
};

// A slot's most frequent reading with two flags, in a dense array for the phrase reader: the
// lookups of a million phrases stay in the first-level cache.
inline constexpr std::uint16_t kQuickSyllable = 0x3FF;
inline constexpr std::uint16_t kQuickStartsWord = 0x4000;
inline constexpr std::uint16_t kQuickAmbiguous = 0x8000;

struct Tables {
    std::array<SlotEntry, kSlotCount> slots;
    std::array<std::uint16_t, kSlotCount> quick;
    std::vector<Syllable> readings;  // by weight, per slot
    // Word k: hanzi slots wordChars[wordStart[k] .. wordStart[k + 1]), with the syllables at the
    // same places in wordSyllables.
    std::vector<std::uint16_t> wordStart;
    std::vector<std::uint16_t> wordChars;
    std::vector<Syllable> wordSyllables;
    std::vector<bool> wordUncertain;
    // A bit per PairHash of each word's first two hanzi: most places of a phrase start no word,
    // and a test of this bit (8 KB) tells so before the words are searched.
    std::vector<std::uint64_t> wordPairs;
};

inline unsigned PairHash(int first, int second) {
    return (static_cast<unsigned>(first) * 40503u + static_cast<unsigned>(second)) & 0xFFFF;
}

const Tables& TheTables();

// The slot of a double-byte code (lead 0x80 or above), or kNoSlot.
inline int SlotOfCode(unsigned lead, unsigned trail) {
    const unsigned column = trail - 0xA1u;
    if (column >= 94)
        return kNoSlot;
    const unsigned row = lead - 0xB0u;
    if (row < 72)
        return static_cast<int>(row * 94 + column);
    // Row 0xA3 holds the full-width ASCII: Ａ at 0xC1, ａ at 0xE1.
    if (lead == 0xA3 && trail >= 0xC1) {
        const unsigned letter = ((trail - 0x80u) | 0x20u) - 'a';
        if (letter < 26)
            return kHanziCount + static_cast<int>(letter);
    }
    return kNoSlot;
}

// The slot of the character at text[at], setting size to its bytes: a GB2312 hanzi, an ASCII
// letter or a full-width Latin letter (either case); kNoSlot for any other character. A byte of
// 0x80 or above starts a double-byte character when another byte follows.
inline int SlotAt(std::string_view text, std::size_t at, std::size_t& size) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        size = 1;
        const unsigned letter = (lead | 0x20u) - 'a';
        return letter < 26 ? kHanziCount + static_cast<int>(letter) : kNoSlot;
    }
    if (at + 1 >= text.size()) {
        size = 1;
        return kNoSlot;
    }
    size = 2;
    return SlotOfCode(lead, static_cast<unsigned char>(text[at + 1]));
}

}  // namespace detail
}  // namespace pinyin
