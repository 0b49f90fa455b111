// The help topic tables: their shape, the texts both methods share, the indents, and the codes and
// figures the texts must teach.
#include "help/HelpTopics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

namespace help {
namespace {

std::string Name(Method method, int index) {
    return (method == Method::Lumo ? "Lumo " : "Ketra ") + std::to_string(index);
}

template <class Visit>
void ForEachTopic(Visit visit) {
    for (Method method : {Method::Lumo, Method::Ketra})
        for (int index = 0; index < TopicCount(method); ++index) {
            SCOPED_TRACE(Name(method, index));
            visit(method, index);
        }
}

std::string Joined(const std::vector<std::string_view>& paragraphs) {
    std::string text;
    for (std::string_view paragraph : paragraphs)
        text.append(paragraph).append("|");
    return text;
}

TEST(HelpTopics, EachTopicHasItsNumberOfParagraphs) {
    const std::vector<std::size_t> lumo = {1, 2, 1, 4, 1, 1, 1, 2, 2, 1, 1};
    const std::vector<std::size_t> ketra = {1, 2, 3, 5, 2, 1, 3, 2, 2, 1, 1, 4, 1};
    ASSERT_EQ(TopicTitles(Method::Lumo).size(), lumo.size());
    ASSERT_EQ(TopicTitles(Method::Ketra).size(), ketra.size());
    ASSERT_EQ(TopicCount(Method::Lumo), 11);
    ASSERT_EQ(TopicCount(Method::Ketra), 13);
    ForEachTopic([&](Method method, int index) {
        const auto& counts = method == Method::Lumo ? lumo : ketra;
        EXPECT_EQ(TopicParagraphs(method, index).size(), counts[static_cast<std::size_t>(index)]);
    });
}

TEST(HelpTopics, TitlesStartWithTheMethodsNameOrANumeral) {
    EXPECT_EQ(TopicTitles(Method::Lumo)[0].rfind("Lumo", 0), 0u);
    EXPECT_EQ(TopicTitles(Method::Ketra)[0].rfind("Ketra", 0), 0u);
    // "十、选择Ketra" and "十二、选择Lumo": each method's last topic points at the other.
    EXPECT_TRUE(TopicTitles(Method::Lumo).back().ends_with("Ketra"));
    EXPECT_TRUE(TopicTitles(Method::Ketra).back().ends_with("Lumo"));
}

TEST(HelpTopics, SharedTopicsAreTheSameBytes) {
    struct Case {
        int ketra;
        int lumo;
    };
    for (const Case c : {Case{7, 8}, Case{8, 7}, Case{10, 6}}) {
        SCOPED_TRACE(Name(Method::Ketra, c.ketra));
        EXPECT_EQ(Joined(TopicParagraphs(Method::Ketra, c.ketra)),
                  Joined(TopicParagraphs(Method::Lumo, c.lumo)));
        EXPECT_EQ(TopicText(Method::Ketra, c.ketra), TopicText(Method::Lumo, c.lumo));
    }
}

TEST(HelpTopics, AutomaticWordsDifferOnlyInOpeningWordsAndCode) {
    const auto lumo = TopicParagraphs(Method::Lumo, 4);
    const auto ketra = TopicParagraphs(Method::Ketra, 9);
    ASSERT_EQ(lumo.size(), 1u);
    ASSERT_EQ(ketra.size(), 1u);
    std::string lumoText(lumo[0]);
    std::string ketraText(ketra[0]);
    EXPECT_NE(lumoText.find("zq"), std::string::npos);
    ASSERT_NE(ketraText.find("5151"), std::string::npos);
    EXPECT_EQ(lumoText.find("5151"), std::string::npos);
    EXPECT_EQ(ketraText.find("zq"), std::string::npos);
    ketraText.replace(ketraText.find("5151"), 4, "zq");
    // Ketra's text is Lumo's without its opening word (one or two Chinese characters).
    const std::string indent = "    ";
    ASSERT_EQ(ketraText.rfind(indent, 0), 0u);
    ASSERT_EQ(lumoText.rfind(indent, 0), 0u);
    const std::string ketraBody = ketraText.substr(indent.size());
    ASSERT_TRUE(lumoText.ends_with(ketraBody));
    const std::size_t openingBytes = lumoText.size() - ketraText.size();
    EXPECT_TRUE(openingBytes == 2 || openingBytes == 4) << openingBytes;
}

TEST(HelpTopics, EveryParagraphButTheVeryFirstIsIndentedByFourSpaces) {
    ForEachTopic([](Method method, int index) {
        const auto paragraphs = TopicParagraphs(method, index);
        for (std::size_t i = 0; i < paragraphs.size(); ++i) {
            const bool atMargin = method == Method::Lumo && index == 0 && i == 0;
            EXPECT_EQ(paragraphs[i].rfind("    ", 0) == 0, !atMargin) << "paragraph " << i;
            EXPECT_NE(paragraphs[i].substr(atMargin ? 0 : 4, 1), " ") << "paragraph " << i;
        }
    });
}

TEST(HelpTopics, ParagraphsAreSingleLinesOfGb2312) {
    ForEachTopic([](Method method, int index) {
        for (std::string_view paragraph : TopicParagraphs(method, index)) {
            EXPECT_GT(paragraph.size(), 4u);
            for (std::size_t i = 0; i < paragraph.size(); ++i) {
                const auto byte = static_cast<unsigned char>(paragraph[i]);
                if (byte < 0x80) {
                    EXPECT_GE(byte, 0x20) << "control byte at " << i;
                    continue;
                }
                ASSERT_LT(i + 1, paragraph.size()) << "lead byte at the end";
                const auto trail = static_cast<unsigned char>(paragraph[++i]);
                EXPECT_TRUE(byte >= 0xA1 && byte <= 0xF7 && trail >= 0xA1 && trail <= 0xFE)
                    << "not a GB2312 character at " << i - 1;
            }
        }
    });
}

TEST(HelpTopics, TextJoinsTheParagraphsWithCrLf) {
    ForEachTopic([](Method method, int index) {
        std::string expected;
        for (std::string_view paragraph : TopicParagraphs(method, index))
            expected.append(expected.empty() ? "" : "\r\n").append(paragraph);
        EXPECT_EQ(TopicText(method, index), expected);
    });
    EXPECT_EQ(TopicText(Method::Lumo, 3).find("\r\n    "),
              TopicParagraphs(Method::Lumo, 3)[0].size());
}

TEST(HelpTopics, IndexOutsideTheTableHasNoParagraphs) {
    struct Case {
        Method method;
        int index;
    };
    for (const Case c : {Case{Method::Lumo, 11}, Case{Method::Ketra, 13}, Case{Method::Lumo, -1},
                         Case{Method::Ketra, -1}, Case{Method::Lumo, 1000}}) {
        SCOPED_TRACE(Name(c.method, c.index));
        EXPECT_TRUE(TopicParagraphs(c.method, c.index).empty());
        EXPECT_EQ(TopicText(c.method, c.index), "");
    }
    EXPECT_FALSE(TopicParagraphs(Method::Ketra, 12).empty());
}

TEST(HelpTopics, TextsTeachTheirCodesAndFigures) {
    struct Case {
        Method method;
        int index;
        std::vector<std::string> needles;
    };
    const Case cases[] = {
        {Method::Lumo, 0, {"2003", "20902", "60000"}},
        {Method::Lumo, 1, {"yi", "p", "h", "s", "d", "z", "Ctrl"}},
        {Method::Lumo, 2, {"zz", "zzh", "zhz", "xa", "xan"}},
        {Method::Lumo, 3, {"30", "15", "38", "wmyaonltggongzuosp", "Backspace"}},
        {Method::Lumo, 4, {"zq"}},
        {Method::Lumo, 5, {"v", "i", "u"}},
        {Method::Lumo, 6, {"7062", "6763", "299", "7242", "11529"}},
        {Method::Lumo, 7, {"60000"}},
        {Method::Lumo, 8, {"20902"}},
        {Method::Lumo, 9, {"TrueType", "AAA1", "va"}},
        {Method::Lumo, 10, {"Ketra", "Lumo", "1", "6"}},
        {Method::Ketra, 0, {"20902", "60000", "1", "6"}},
        {Method::Ketra, 1, {"1", "2", "3", "4", "5", "6"}},
        {Method::Ketra, 3, {"4"}},
        {Method::Ketra, 5, {"0", "7", "8", "9"}},
        {Method::Ketra, 9, {"5151"}},
        {Method::Ketra, 12, {"Ketra", "Lumo"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Name(c.method, c.index));
        const std::string text = TopicText(c.method, c.index);
        for (const std::string& needle : c.needles)
            EXPECT_NE(text.find(needle), std::string::npos) << needle;
    }
}

TEST(HelpTopics, TheLongSentenceExampleIsThirtyEightLettersInOneRun) {
    const std::string text = TopicText(Method::Lumo, 3);
    std::vector<std::size_t> runs;
    const std::regex letters("[a-z]+");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), letters);
         it != std::sregex_iterator(); ++it)
        runs.push_back(static_cast<std::size_t>(it->length()));
    EXPECT_NE(std::find(runs.begin(), runs.end(), 38u), runs.end());
}

}  // namespace
}  // namespace help
