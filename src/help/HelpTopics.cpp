// The topic tables over the fixed texts; topics both methods show point at the same paragraphs.
#include "help/HelpTopics.h"

#include <iterator>
#include <span>

#include "HelpTexts.h"

namespace help {

namespace {

using Paragraphs = std::span<const std::string_view>;

constexpr Paragraphs kLumoTopics[] = {
    texts::kLumoAbout,          texts::kLumoSingleCharacters, texts::kLumoWords,
    texts::kLumoSentences,      texts::kLumoAutomaticWords,   texts::kLumoSymbols,
    texts::kCharacterClasses,   texts::kShowEnglish,          texts::kShowDictionary,
    texts::kLumoUserCharacters, texts::kLumoChooseKetra,
};

constexpr Paragraphs kKetraTopics[] = {
    texts::kKetraAbout,          texts::kKetraKeysAndStrokes, texts::kKetraShapes,
    texts::kKetraComponents,     texts::kKetraLastStrokes,    texts::kKetraChoosing,
    texts::kKetraWords,          texts::kShowDictionary,      texts::kShowEnglish,
    texts::kKetraAutomaticWords, texts::kCharacterClasses,    texts::kKetraShapeRules,
    texts::kKetraChooseLumo,
};

static_assert(std::size(kLumoTopics) == std::size(texts::kLumoTitles));
static_assert(std::size(kKetraTopics) == std::size(texts::kKetraTitles));

std::span<const Paragraphs> TopicsOf(Method method) {
    if (method == Method::Lumo)
        return kLumoTopics;
    return kKetraTopics;
}

}  // namespace

const std::vector<std::string>& TopicTitles(Method method) {
    static const std::vector<std::string> lumo(std::begin(texts::kLumoTitles),
                                               std::end(texts::kLumoTitles));
    static const std::vector<std::string> ketra(std::begin(texts::kKetraTitles),
                                                std::end(texts::kKetraTitles));
    return method == Method::Lumo ? lumo : ketra;
}

int TopicCount(Method method) { return static_cast<int>(TopicsOf(method).size()); }

std::vector<std::string_view> TopicParagraphs(Method method, int index) {
    if (index < 0 || index >= TopicCount(method))
        return {};
    const Paragraphs paragraphs = TopicsOf(method)[static_cast<std::size_t>(index)];
    return {paragraphs.begin(), paragraphs.end()};
}

std::string TopicText(Method method, int index) {
    std::string text;
    const char* separator = "";
    for (std::string_view paragraph : TopicParagraphs(method, index)) {
        text += separator;
        text += paragraph;
        separator = "\r\n";
    }
    return text;
}

}  // namespace help
