// The reading of a phrase in pinyin: a syllable per character, from the table of readings
// compiled into the program (see ReadingTable.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pinyin/Syllables.h"

namespace pinyin {

struct Reading {
    // One per character of the phrase: a hanzi's reading, an ASCII or full-width letter's own
    // letter in lower case, kNoSyllable for any other character (digits, signs, codes GB2312
    // has no hanzi for), which pinyin cannot spell.
    std::vector<Syllable> syllables;
    // The phrase holds a character read by its most frequent reading while another of its
    // readings holds at least 1% of its weight in the source, and no word of the table covers it;
    // or a word of the table that is itself read two ways.
    bool uncertain = false;

    // Every character has a syllable.
    bool Complete() const;
};

// The reading of a GB2312 phrase. Each hanzi takes its most frequent reading unless a word of the
// table covers it: from the start, the longest word that the phrase holds at that place is read
// as the word is (中国银行 zhong guo yin hang, 会计 kuai ji); 儿 is read er (哪儿 na er).
Reading ReadingOf(std::string_view phrase);
// The same into out, reusing its memory: no allocation once out has room.
void ReadingOf(std::string_view phrase, Reading& out);

// The syllables' texts joined by separator ("yin hang", "yin'hang", "yinhang" with none);
// kNoSyllable gives nothing.
std::string ReadingText(const std::vector<Syllable>& syllables, std::string_view separator = " ");

// Every reading the table gives the character at text[at] (a hanzi's by weight, a letter's own),
// setting size to the character's bytes; empty for a character without one.
std::vector<Syllable> CharacterReadings(std::string_view text, std::size_t at, std::size_t& size);

}  // namespace pinyin
