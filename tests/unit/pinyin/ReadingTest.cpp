// The readings of phrases: characters of several readings, the word list, 儿化, u-umlaut as v,
// letters and characters without a reading, and the uncertain mark.
#include "pinyin/Reading.h"

#include <gtest/gtest.h>

#include "phrases/TextEncoding.h"

namespace pinyin {
namespace {

std::string Gb(std::string_view utf8) {
    return phrases::ConvertToGb2312(utf8, phrases::TextEncoding::Utf8).bytes;
}

TEST(ReadingTest, ReadsHardCasesAndMarksTheUncertainOnes) {
    const struct {
        const char* phrase;
        const char* reading;  // "?" where a character has none
        bool uncertain;
    } cases[] = {
        // Words of the table fix a reading the characters alone would get wrong.
        {"会计", "kuai ji", false},
        {"重庆", "chong qing", false},
        {"银行", "yin hang", false},
        {"长城", "chang cheng", false},
        // Longest match from the start: 银行 inside a longer phrase.
        {"中国银行", "zhong guo yin hang", false},
        {"会计师", "kuai ji shi", false},
        // 儿化: 儿 is a syllable of its own.
        {"哪儿", "na er", false},
        {"一点儿", "yi dian er", false},
        // u-umlaut as v.
        {"女儿", "nv er", false},
        {"绿色", "lv se", false},
        {"策略", "ce lve", false},
        {"虐待", "nve dai", false},
        // Not in the table's words: the most frequent reading, marked when another is real.
        {"还长", "hai chang", true},  // 还 huan, 长 zhang
        {"你好", "ni hao", false},
        {"我们走了", "wo men zou le", false},  // 走了 zou le
        {"行长", "hang zhang", false},         // the bank's, not xing
        {"长的", "zhang de", true},            // a word of the table read both ways
        {"的确", "di que", false},             // a word of the table confirms di
        // Letters are their own syllables; a digit or a sign has none.
        {"卡拉OK", "ka la o k", false},
        {"Ｔ恤", "t xu", false},
        {"3D电影", "? d dian ying", false},
        {"你好！", "ni hao ?", false},
    };
    for (const auto& c : cases) {
        const Reading reading = ReadingOf(Gb(c.phrase));
        std::string text;
        for (const Syllable syllable : reading.syllables)
            text.append(text.empty() ? "" : " ")
                .append(syllable == kNoSyllable ? "?" : SyllableText(syllable));
        EXPECT_EQ(text, c.reading) << c.phrase;
        EXPECT_EQ(reading.uncertain, c.uncertain) << c.phrase;
        EXPECT_EQ(reading.Complete(), text.find('?') == std::string::npos) << c.phrase;
    }
}

TEST(ReadingTest, FindsSyllablesInAnyCaseAndTheUsualSpellingsOfUmlaut) {
    EXPECT_EQ(SyllableText(FindSyllable("Zhuang")), "zhuang");
    EXPECT_EQ(SyllableText(FindSyllable("lue")), "lve");
    EXPECT_EQ(SyllableText(FindSyllable("nv")), "nv");
    EXPECT_EQ(SyllableText(FindSyllable("b")), "b");
    EXPECT_FALSE(IsPinyin(FindSyllable("b")));
    EXPECT_TRUE(IsPinyin(FindSyllable("a")));
    for (const char* unknown : {"", "bv", "zhuangg", "x1", "longerthaneight"})
        EXPECT_EQ(FindSyllable(unknown), kNoSyllable) << unknown;
    EXPECT_EQ(ReadingText(ReadingOf(Gb("银行")).syllables, "'"), "yin'hang");
}

}  // namespace
}  // namespace pinyin
