// Reading a phrase by the table; see Reading.h.
#include "pinyin/Reading.h"

namespace pinyin {

using detail::SlotAt;
using detail::TheTables;

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
    out.syllables.clear();
    out.uncertain = false;
    std::size_t at = 0;
    while (at < phrase.size()) {
        std::size_t size = 0;
        const int slot = SlotAt(phrase, at, size);
        if (slot == detail::kNoSlot) {
            out.syllables.push_back(kNoSyllable);
            at += size;
            continue;
        }
        const detail::SlotEntry& entry = tables.slots[slot];
        // The longest word starting here; a word's characters are hanzi, two bytes each, so
        // its k-th character stands at at + 2k.
        int best = -1;
        std::size_t bestLength = 0;
        for (int word = entry.wordsBegin; word < entry.wordsEnd; ++word) {
            const std::size_t begin = tables.wordStart[word];
            const std::size_t length = tables.wordStart[word + 1] - begin;
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
        if (best >= 0) {
            const auto begin = tables.wordSyllables.begin() + tables.wordStart[best];
            out.syllables.insert(out.syllables.end(), begin,
                                 begin + static_cast<std::ptrdiff_t>(bestLength));
            out.uncertain = out.uncertain || tables.wordUncertain[best];
            at += 2 * bestLength;
            continue;
        }
        out.syllables.push_back(entry.readingCount ? tables.readings[entry.readings] : kNoSyllable);
        out.uncertain = out.uncertain || entry.ambiguous;
        at += size;
    }
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
