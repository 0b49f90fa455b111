// The filter's pinyin rule: full pinyin, initials, mixed and partly typed syllables, boundaries,
// every reading of a character, u-umlaut as v, letters, and queries that are no pinyin.
#include "pinyin/PinyinMatch.h"

#include <gtest/gtest.h>

#include "phrases/TextEncoding.h"

namespace pinyin {
namespace {

std::string Gb(std::string_view utf8) {
    return phrases::ConvertToGb2312(utf8, phrases::TextEncoding::Utf8).bytes;
}

TEST(PinyinMatchTest, MatchesRunsOfCharactersByAnyBeginningOfTheirSyllables) {
    const struct {
        const char* query;
        const char* text;
        bool matches;
    } cases[] = {
        {"nihao", "你好", true},
        {"nh", "你好", true},
        {"nih", "你好", true},
        {"nhao", "你好", true},
        {"niha", "你好", true},  // the last syllable being typed
        {"NiHao", "你好", true},
        {"ni hao", "你好", true},
        {"ni'hao", "你好", true},
        {" nh ", "你好", true},
        {"nhh", "你好", false},       // more query than the text reads
        {"hn", "你好", false},        // order counts
        {"ni hao", "你们好", false},  // a run of characters one after another
        {"menh", "你们好", true},     // the run may start anywhere
        {"nih ao", "你好", false},    // a piece never crosses a boundary
        {"n ihao", "你好", false},
        {"xian", "西安", true},  // xi + an
        {"xi an", "西安", true},
        {"xian", "先生", true},  // one syllable
        {"zhg", "中国", true},   // zh as an initial
        {"zhgg", "中国", false},
        {"zg", "中国", true},
        {"zhonggu", "中华人民共和国", false},
        {"zhrmghg", "中华人民共和国", true},
        {"yinhang", "中国银行", true},  // any reading of 行
        {"yinxing", "中国银行", true},
        {"yh", "银行", true},
        {"nv", "女儿", true},  // u-umlaut as v
        {"nu", "女儿", false},
        {"lve", "策略", true},
        {"lue", "策略", true},
        {"jv", "居住", true},      // ju also typed jv
        {"klok", "卡拉OK", true},  // letters read as themselves
        {"kala", "卡拉OK", true},
        {"kl", "3D卡拉", true},
        {"dk", "3D卡拉", true},
        {"dianying", "3D电影", true},
        {"3d", "3D电影", false},  // not pinyin: the filter's text match finds it
        {"你", "你好", false},
        {"", "你好", false},
        {"n", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PinyinQuery(c.query).Matches(Gb(c.text)), c.matches)
            << c.query << " in " << c.text;
}

TEST(PinyinMatchTest, TakesLettersWithBoundariesOnlyAndAtMost63) {
    EXPECT_TRUE(PinyinQuery("ni hao").IsPinyin());
    EXPECT_FALSE(PinyinQuery("ni-hao").IsPinyin());
    EXPECT_FALSE(PinyinQuery("   ").IsPinyin());
    EXPECT_TRUE(PinyinQuery(std::string(63, 'a')).IsPinyin());
    EXPECT_FALSE(PinyinQuery(std::string(64, 'a')).IsPinyin());
    // GBK codes beyond GB2312 and a broken last byte read as nothing and end a run.
    EXPECT_FALSE(PinyinQuery("nh").Matches(Gb("你") + "\x81\x40" + Gb("好")));
    EXPECT_FALSE(PinyinQuery("n").Matches("\xC4"));
}

}  // namespace
}  // namespace pinyin
