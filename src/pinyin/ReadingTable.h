// The reading table compiled into the program: every GB2312 hanzi with its readings by weight and
// the words whose reading decides between a character's readings. ReadingTable.cpp is made by
// tools/make_readings.py from Rime's pinyin_simp dictionary; its numbers are digits of base
// kCodeBase in strings, decoded once into the tables of ReadingData.h.
#pragma once

#include <cstdint>

namespace pinyin::detail {

// GB2312's hanzi: rows 0xB0 to 0xF7 of 94 codes each.
inline constexpr int kHanziCount = 72 * 94;
// Syllable 0 is none; then the pinyin syllables in alphabetical order; then the letters that are
// no pinyin syllable on their own (b, c, d, ...), the reading of an ASCII letter in a phrase.
inline constexpr int kSyllableCount = 437;
inline constexpr int kPinyinSyllableCount = 415;
inline constexpr int kCharReadingCount = 7305;
inline constexpr int kWordCount = 4859;
inline constexpr int kWordCharCount = 12406;

// The digits: the printable ASCII characters from '#' on, the backslash left out.
inline constexpr int kCodeBase = 91;
// A rare reading (less than 1% of its character's weight) is stored with this added.
inline constexpr int kRareReading = 512;

extern const char* const kSyllableNames[kSyllableCount];
// For each hanzi in code order: one digit, its count of readings; then per reading two digits,
// the syllable (plus kRareReading when rare).
extern const char kCharReadingCodes[];
// For each word, in the order of its characters' codes: one digit, twice its count of characters
// plus 1 when its reading is uncertain; two digits per character, the hanzi; then per character
// one digit, which of the character's readings it takes, or kCodeBase - 1 and two digits, the
// syllable.
extern const char kWordCodes[];

}  // namespace pinyin::detail
