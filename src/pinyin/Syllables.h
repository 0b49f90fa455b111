// Pinyin syllables as the readings name them: without tones, u-umlaut written v (lv, nv, lve,
// nve), as Rime's and Sogou's users type them; and a lone ASCII letter, the reading of a letter
// in a phrase ("卡拉OK" reads ka la o k).
#pragma once

#include <string_view>

#include "pinyin/ReadingData.h"

namespace pinyin {

// The syllable's text; empty for kNoSyllable.
std::string_view SyllableText(Syllable syllable);
// The syllable of a text in lower or upper case, or kNoSyllable. Also takes the spellings of
// u-umlaut that users type besides v: "lue" and "nue" for lve and nve.
Syllable FindSyllable(std::string_view text);
// True for a syllable of pinyin (a reading of a hanzi), false for a lone letter that is none.
bool IsPinyin(Syllable syllable);
// The reading of an ASCII letter in either case.
Syllable LetterSyllable(char letter);

}  // namespace pinyin
