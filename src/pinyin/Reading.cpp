// Reading a phrase by the table; see Reading.h.
#include "pinyin/Reading.h"

#include <algorithm>

namespace pinyin {

using detail::SlotAt;
using detail::TheTables;

namespace {

// Reads the longest word of the table that the phrase holds at at (a hanzi of the given slot)
// into next, returning its count of characters; 0 when there is none. A word's characters are
// hanzi, two bytes each, so its k-th character stands at at + 2k.
std::size_t ReadWord(const detail::Tables& tables, std::string_view phrase, std::size_t at,
                     int slot, Syllable*& next, bool& uncertain) {
    const detail::SlotEntry& entry = tables.slots[static_cast<std::size_t>(slot)];
    int best = -1;
    std::size_t bestLength = 0;
    for (int word = entry.wordsBegin; word < entry.wordsEnd; ++word) {
        const std::size_t begin = tables.wordStart[static_cast<std::size_t>(word)];
        const std::size_t length = tables.wordStart[static_cast<std::size_t>(word) + 1] - begin;
        if (length <= bestLength || at + 2 * length > phrase.size())
            continue;
        std::size_t k = 1;
        for (; k < length; ++k) {
            std::size_t ignored = 0;
            if (SlotAt(phrase, at + 2 * k, ignored) != tables.wordChars[begin + k])
                break;
        }
        if (k == length) {
            best = word;
            bestLength = length;
        }
    }
    if (best < 0)
        return 0;
    const Syllable* syllables = tables.wordSyllables.data() + tables.wordStart[best];
    for (std::size_t k = 0; k < bestLength; ++k)
        *next++ = syllables[k];
    uncertain = uncertain || tables.wordUncertain[static_cast<std::size_t>(best)];
    return bestLength;
}

}  // namespace

bool Reading::Complete() const {
    for (const Syllable syllable : syllables)
        if (syllable == kNoSyllable)
            return false;
    return true;
}

Reading ReadingOf(std::string_view phrase) {
    Reading reading;
    ReadingOf(phrase, reading);
    return reading;
}

void ReadingOf(std::string_view phrase, Reading& out) {
    const detail::Tables& tables = TheTables();
    // A character takes a byte at least: room for all of them, cut to size at the end. Only the
    // room not yet in use is cleared.
    if (out.syllables.size() < phrase.size())
        out.syllables.resize(std::max(phrase.size(), out.syllables.capacity()));
    Syllable* const first = out.syllables.data();
    Syllable* next = first;
    bool uncertain = false;
    std::size_t at = 0;
    while (at < phrase.size()) {
        std::size_t size = 0;
        const int slot = SlotAt(phrase, at, size);
        if (slot == detail::kNoSlot) {
            *next++ = kNoSyllable;
            at += size;
            continue;
        }
        const std::uint16_t quick = tables.quick[static_cast<std::size_t>(slot)];
        if (quick & detail::kQuickStartsWord && at + 4 <= phrase.size()) {
            std::size_t ignored = 0;
            const int second = SlotAt(phrase, at + 2, ignored);
            const unsigned pair = detail::PairHash(slot, second);
            if (second != detail::kNoSlot && (tables.wordPairs[pair / 64] >> (pair % 64) & 1)) {
                if (const std::size_t length =
                        ReadWord(tables, phrase, at, slot, next, uncertain)) {
                    at += 2 * length;
                    continue;
                }
            }
        }
        *next++ = quick & detail::kQuickSyllable;
        uncertain = uncertain || (quick & detail::kQuickAmbiguous);
        at += size;
    }
    out.syllables.resize(static_cast<std::size_t>(next - first));
    out.uncertain = uncertain;
}

std::string ReadingText(const std::vector<Syllable>& syllables, std::string_view separator) {
    std::string text;
    bool first = true;
    for (const Syllable syllable : syllables) {
        if (syllable == kNoSyllable)
            continue;
        if (!first)
            text += separator;
        text += SyllableText(syllable);
        first = false;
    }
    return text;
}

std::vector<Syllable> CharacterReadings(std::string_view text, std::size_t at, std::size_t& size) {
    const int slot = SlotAt(text, at, size);
    if (slot == detail::kNoSlot)
        return {};
    const detail::Tables& tables = TheTables();
    const detail::SlotEntry& entry = tables.slots[slot];
    const auto begin = tables.readings.begin() + entry.readings;
    return {begin, begin + entry.readingCount};
}

}  // namespace pinyin
