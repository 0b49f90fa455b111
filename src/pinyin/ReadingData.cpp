// Decoding the reading table once; see ReadingData.h and ReadingTable.h.
#include "pinyin/ReadingData.h"

#include <algorithm>
#include <cstring>

#include "pinyin/Syllables.h"

namespace pinyin {

namespace detail {

namespace {

class Digits {
public:
    explicit Digits(const char* codes) : m_at(codes) {}
    int One() {
        const char digit = *m_at++;
        return digit - '#' - (digit > '\\' ? 1 : 0);
    }
    int Two() {
        const int high = One();
        return high * kCodeBase + One();
    }
    bool AtEnd() const { return *m_at == '\0'; }

private:
    const char* m_at;
};

Tables* MakeTables() {
    auto* tables = new Tables;
    Digits chars(kCharReadingCodes);
    tables->readings.reserve(kCharReadingCount);
    for (int slot = 0; slot < kHanziCount; ++slot) {
        SlotEntry& entry = tables->slots[slot];
        entry.readings = static_cast<std::uint16_t>(tables->readings.size());
        entry.readingCount = static_cast<std::uint8_t>(chars.One());
        for (int k = 0; k < entry.readingCount; ++k) {
            const int code = chars.Two();
            const auto syllable = static_cast<Syllable>(code % kRareReading);
            tables->readings.push_back(syllable);
            entry.firstLetters |= 1u << (SyllableText(syllable)[0] - 'a');
            if (k > 0 && code < kRareReading)
                entry.ambiguous = true;
        }
    }
    for (int letter = 0; letter < 26; ++letter) {
        SlotEntry& entry = tables->slots[kHanziCount + letter];
        entry.readings = static_cast<std::uint16_t>(tables->readings.size());
        entry.readingCount = 1;
        entry.firstLetters = 1u << letter;
        tables->readings.push_back(LetterSyllable(static_cast<char>('a' + letter)));
    }

    Digits words(kWordCodes);
    tables->wordChars.reserve(kWordCharCount);
    tables->wordSyllables.reserve(kWordCharCount);
    while (!words.AtEnd()) {
        const int head = words.One();
        const int length = head / 2;
        const auto start = static_cast<std::uint16_t>(tables->wordChars.size());
        tables->wordStart.push_back(start);
        tables->wordUncertain.push_back(head % 2 != 0);
        for (int k = 0; k < length; ++k)
            tables->wordChars.push_back(static_cast<std::uint16_t>(words.Two()));
        for (int k = 0; k < length; ++k) {
            const int which = words.One();
            const SlotEntry& entry = tables->slots[tables->wordChars[start + k]];
            tables->wordSyllables.push_back(which == kCodeBase - 1
                                                ? static_cast<Syllable>(words.Two())
                                                : tables->readings[entry.readings + which]);
        }
    }
    const auto count = static_cast<std::uint16_t>(tables->wordStart.size());
    tables->wordStart.push_back(static_cast<std::uint16_t>(tables->wordChars.size()));
    // The words come sorted by their characters: those of one first hanzi lie together.
    tables->wordPairs.assign(65536 / 64, 0);
    for (std::uint16_t word = 0; word < count; ++word) {
        const std::uint16_t* chars = tables->wordChars.data() + tables->wordStart[word];
        const unsigned pair = PairHash(chars[0], chars[1]);
        tables->wordPairs[pair / 64] |= std::uint64_t{1} << (pair % 64);
        SlotEntry& entry = tables->slots[chars[0]];
        if (entry.wordsEnd == 0)
            entry.wordsBegin = word;
        entry.wordsEnd = static_cast<std::uint16_t>(word + 1);
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const SlotEntry& entry = tables->slots[slot];
        tables->quick[slot] = static_cast<std::uint16_t>(
            (entry.readingCount ? tables->readings[entry.readings] : kNoSyllable) |
            (entry.wordsEnd > entry.wordsBegin ? kQuickStartsWord : 0) |
            (entry.ambiguous ? kQuickAmbiguous : 0));
    }
    return tables;
}

}  // namespace

const Tables& TheTables() {
    static const Tables* const tables = MakeTables();
    return *tables;
}

}  // namespace detail

std::string_view SyllableText(Syllable syllable) {
    return syllable < detail::kSyllableCount ? detail::kSyllableNames[syllable] : "";
}

namespace {

// The syllables in their order, which is alphabetical within each of the two groups.
Syllable Search(std::string_view text, int begin, int end) {
    const auto* first = detail::kSyllableNames + begin;
    const auto* last = detail::kSyllableNames + end;
    const auto* found =
        std::lower_bound(first, last, text,
                         [](const char* name, std::string_view t) { return name < t; });
    return found != last && *found == text ? static_cast<Syllable>(found - detail::kSyllableNames)
                                           : kNoSyllable;
}

}  // namespace

Syllable FindSyllable(std::string_view text) {
    char lower[8];
    if (text.empty() || text.size() > sizeof lower)
        return kNoSyllable;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = static_cast<char>(text[k] | 0x20);
        if (c < 'a' || c > 'z')
            return kNoSyllable;
        lower[k] = c;
    }
    std::string_view name(lower, text.size());
    if (name == "lue" || name == "nue")
        lower[1] = 'v';
    if (const Syllable found = Search(name, 1, detail::kPinyinSyllableCount + 1))
        return found;
    return name.size() == 1 ? Search(name, detail::kPinyinSyllableCount + 1, detail::kSyllableCount)
                            : kNoSyllable;
}

bool IsPinyin(Syllable syllable) {
    return syllable != kNoSyllable && syllable <= detail::kPinyinSyllableCount;
}

Syllable LetterSyllable(char letter) { return FindSyllable(std::string_view(&letter, 1)); }

}  // namespace pinyin
