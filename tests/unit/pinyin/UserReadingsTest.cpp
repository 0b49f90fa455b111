// The user's readings file: lines read and refused with their reasons, the file written back, and
// the lookup that prefers the user's reading.
#include "pinyin/UserReadings.h"

#include <gtest/gtest.h>

#include "phrases/TextEncoding.h"

namespace pinyin {
namespace {

std::string Gb(std::string_view utf8) {
    return phrases::ConvertToGb2312(utf8, phrases::TextEncoding::Utf8).bytes;
}

std::vector<Syllable> Syllables(std::string_view text) {
    std::vector<Syllable> syllables;
    EXPECT_TRUE(ParseSyllables(text, syllables)) << text;
    return syllables;
}

TEST(UserReadingsTest, SkipsAndReportsEachMalformedLine) {
    const struct {
        const char* line;
        ReadingProblem problem;
    } cases[] = {
        {"行长\thang zhang", ReadingProblem::None},
        {"女儿\tnü er", ReadingProblem::None},  // ü, v and ue all spell u-umlaut
        {"策略\tCE'LUE", ReadingProblem::None},
        {"卡拉OK\tka la o k", ReadingProblem::None},
        {"3D\tsan d", ReadingProblem::None},  // the user says how a digit reads
        {"行长 hang zhang", ReadingProblem::NoTab},
        {"\xC4\xE3\tni", ReadingProblem::NotUtf8},
        {"😀好\tx hao", ReadingProblem::NotGb2312},
        {"\thang", ReadingProblem::EmptyPhrase},
        {"行长\thang", ReadingProblem::WrongCount},
        {"行长\thang zhang le", ReadingProblem::WrongCount},
        {"行长\thang zhangg", ReadingProblem::UnknownSyllable},
        {"行长\thang 3", ReadingProblem::UnknownSyllable},
        {"行长\tb zhang", ReadingProblem::UnknownSyllable},  // a lone letter reads no hanzi
        {"OK\to x", ReadingProblem::LetterMismatch},
    };
    for (const auto& c : cases) {
        std::vector<ReadingsFileProblem> problems;
        const UserReadings readings =
            UserReadings::Parse(std::string("\r\n \t\n") + c.line + "\r\n", &problems);
        EXPECT_EQ(readings.Size(), c.problem == ReadingProblem::None ? 1u : 0u) << c.line;
        if (c.problem == ReadingProblem::None) {
            EXPECT_TRUE(problems.empty()) << c.line;
        } else {
            ASSERT_EQ(problems.size(), 1u) << c.line;
            EXPECT_EQ(problems[0].line, 3) << c.line;
            EXPECT_EQ(problems[0].problem, c.problem) << c.line;
        }
    }
    EXPECT_EQ((ReadingsFileProblem{7, ReadingProblem::WrongCount}.Text()),
              Gb("第 7 行: 读音的音节数与语料的字数不同"));
}

TEST(UserReadingsTest, WritesWhatItReadsAndTheLaterOfTwoLinesWins) {
    std::vector<ReadingsFileProblem> problems;
    UserReadings readings = UserReadings::Parse(
        "\xEF\xBB\xBF行长\thang zhang\n银行\tyin xing\n策略\tce lue\n银行\tyin hang\n", &problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].line, 2);
    EXPECT_EQ(problems[0].problem, ReadingProblem::Duplicate);
    EXPECT_EQ(readings.Format(), "行长\thang zhang\r\n银行\tyin hang\r\n策略\tce lve\r\n");
    EXPECT_EQ(UserReadings::Parse(readings.Format()).Format(), readings.Format());

    EXPECT_TRUE(readings.Remove(Gb("行长")));
    EXPECT_FALSE(readings.Remove(Gb("行长")));
    EXPECT_EQ(readings.Set(Gb("重庆"), Syllables("chong qing")), ReadingProblem::None);
    EXPECT_EQ(readings.Set(Gb("重庆"), Syllables("chong")), ReadingProblem::WrongCount);
    EXPECT_EQ(readings.Set(Gb("重\t庆"), Syllables("chong a qing")), ReadingProblem::LineBreak);
    EXPECT_EQ(readings.Set(Gb("#号"), Syllables("a hao")), ReadingProblem::None);
    EXPECT_EQ(UserReadings::Parse(readings.Format()).Format(), readings.Format());
    EXPECT_TRUE(readings.Remove(Gb("#号")));
    EXPECT_EQ(readings.Format(), "银行\tyin hang\r\n策略\tce lve\r\n重庆\tchong qing\r\n");
}

TEST(UserReadingsTest, LookupPrefersTheUsersReadingWhichIsNeverUncertain) {
    UserReadings readings;
    ASSERT_EQ(readings.Set(Gb("还长"), Syllables("huan zhang")), ReadingProblem::None);
    Reading reading;
    LookupReading(Gb("还长"), &readings, reading);
    EXPECT_EQ(ReadingText(reading.syllables), "huan zhang");
    EXPECT_FALSE(reading.uncertain);
    LookupReading(Gb("还长"), nullptr, reading);
    EXPECT_EQ(ReadingText(reading.syllables), "hai chang");
    EXPECT_TRUE(reading.uncertain);
}

}  // namespace
}  // namespace pinyin
