// The plan of an export to another input method's dictionary: each target's limits, and which
// phrases it takes; see DictionaryExport.h. The writers are in DictionaryWriters.cpp.
#include "pinyin/DictionaryExport.h"

#include <array>
#include <limits>
#include <unordered_map>

#include "ExportTexts.h"

namespace pinyin {

using phrases::SourceFormat;

namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

// What a target takes.
struct Limits {
    std::size_t letters = kNone;  // letters of the reading
    std::size_t characters = kNone;
    std::size_t entries = kNone;
    bool tab = false;         // a TAB separates the fields of a line
    bool space = false;       // a space ends the word
    bool hash = false;        // a line starting with # is a comment (or fcitx5's template)
    bool customEnds = false;  // fcitx5 unquotes "...", our reader and Sogou's continue a line
                              // ending in a backslash
    bool hanzi = false;       // a word is told from its code by holding a hanzi
};

Limits LimitsOf(SourceFormat format) {
    Limits limits;
    switch (format) {
    case SourceFormat::Rime:
        limits.tab = limits.hash = true;
        break;
    case SourceFormat::MicrosoftIme:
        // Microsoft IME's dictionary tool takes readings and words of up to 60 characters.
        limits.letters = limits.characters = 60;
        limits.tab = true;
        break;
    case SourceFormat::CustomPhrases:
        limits.hash = limits.customEnds = true;
        break;
    case SourceFormat::PinyinText:
        limits.space = limits.hanzi = true;
        break;
    case SourceFormat::Gboard:
        // Android's keyboards handle words of at most 48 characters; the shortcut is the word's
        // reading there.
        limits.letters = limits.characters = 48;
        limits.tab = true;
        break;
    case SourceFormat::MicrosoftPinyin:
        // Microsoft Pinyin keys a user-defined phrase by at most 32 letters, holds phrases of up
        // to 64 characters, and takes about 5,000 of them: a file of many more left it stuck.
        limits.letters = 32;
        limits.characters = 64;
        limits.entries = 5000;
        break;
    default:
        break;
    }
    return limits;
}

constexpr std::array<ExportFormatInfo, 7> kExportFormats = {{
    {SourceFormat::Rime, "rime", ".dict.yaml", true},
    {SourceFormat::MicrosoftIme, "msime", ".txt", true},
    {SourceFormat::CustomPhrases, "custom-phrases", ".txt", true},
    {SourceFormat::QqPhrases, "qq-phrases", ".txt", false},
    {SourceFormat::PinyinText, "pinyin-text", ".txt", false},
    {SourceFormat::Gboard, "gboard", ".zip", false},
    {SourceFormat::MicrosoftPinyin, "mspy-dat", ".dat", false},
}};

// The reason a target cannot hold the phrase as it is, if any.
bool CannotHold(std::string_view phrase, const Limits& limits) {
    for (std::size_t at = 0; at < phrase.size(); ++at) {
        const auto byte = static_cast<unsigned char>(phrase[at]);
        if (byte >= 0x80) {
            ++at;  // a double-byte character
            continue;
        }
        if ((byte < 0x20 && !(byte == '\t' && !limits.tab)) || byte == 0x7F ||
            (byte == ' ' && limits.space))
            return true;
    }
    if (limits.hash && phrase.starts_with('#'))
        return true;
    if (limits.customEnds &&
        (phrase.ends_with('\\') ||
         (phrase.size() >= 2 && phrase.starts_with('"') && phrase.ends_with('"'))))
        return true;
    return false;
}

bool HoldsHanzi(std::string_view phrase) {
    for (const char byte : phrase)
        if (static_cast<unsigned char>(byte) >= 0x80)
            return true;
    return false;
}

std::string Fill(const char* pattern, int number) {
    std::string text = pattern;
    if (const auto at = text.find("%d"); at != std::string::npos)
        text.replace(at, 2, std::to_string(number));
    return text;
}

}  // namespace

std::span<const ExportFormatInfo> ExportFormats() { return kExportFormats; }

const ExportFormatInfo* FindExportFormat(std::string_view name) {
    for (const ExportFormatInfo& info : kExportFormats)
        if (name == info.name)
            return &info;
    return nullptr;
}

std::string ExportNote::Text() const {
    // The pattern's two %s, filled in turn: a phrase may hold "%s" itself.
    const std::string_view pattern = texts::kLeftOutLine;
    const std::size_t first = pattern.find("%s");
    const std::size_t second = pattern.find("%s", first + 2);
    std::string text = std::string(pattern.substr(0, first)) + phrase +
                       std::string(pattern.substr(first + 2, second - first - 2)) + category +
                       std::string(pattern.substr(second + 2));
    switch (reason) {
    case ExportReason::NoReading:
        return text + texts::kNoReading;
    case ExportReason::Uncertain:
        return text + (leftOut ? texts::kUncertainLeftOut : texts::kUncertain);
    case ExportReason::ReadingTooLong:
        return text + Fill(texts::kReadingTooLong, limit);
    case ExportReason::TextTooLong:
        return text + Fill(texts::kTextTooLong, limit);
    case ExportReason::CannotHold:
        return text + texts::kCannotHold;
    case ExportReason::TooMany:
        return text + Fill(texts::kTooMany, limit);
    case ExportReason::NotChinese:
        return text + texts::kNotChinese;
    }
    return text;
}

DictionaryExportPlan PlanDictionaryExport(const phrases::TTreeNodes& tree, SourceFormat format,
                                          const ExportOptions& options) {
    DictionaryExportPlan plan;
    plan.format = format;
    const Limits limits = LimitsOf(format);
    std::unordered_map<std::string, int> places;  // letters of a reading -> entries so far
    Reading reading;
    std::string_view category;
    bool inCategory = false;
    tree.ForEachNode([&](const phrases::TTreeNode& node, int level) {
        if (level == 0) {
            category = node.Text();
            inCategory = !options.category || options.category == &node;
            return;
        }
        if (!inCategory)
            return;
        const std::string_view phrase = node.Text();
        const auto note = [&](ExportReason reason, bool leftOut, std::size_t limit = 0) {
            plan.notes.push_back({std::string(phrase), std::string(category), reason, leftOut,
                                  static_cast<int>(limit == kNone ? 0 : limit)});
            plan.leftOut += leftOut;
        };
        LookupReading(phrase, options.readings, reading);
        if (phrase.empty() || CannotHold(phrase, limits))
            return note(ExportReason::CannotHold, true);
        if (limits.hanzi && !HoldsHanzi(phrase))
            return note(ExportReason::NotChinese, true);
        if (!reading.Complete())
            return note(ExportReason::NoReading, true);
        if (reading.syllables.size() > limits.characters)
            return note(ExportReason::TextTooLong, true, limits.characters);
        std::string letters = ReadingText(reading.syllables, "");
        if (letters.size() > limits.letters)
            return note(ExportReason::ReadingTooLong, true, limits.letters);
        if (plan.entries.size() >= limits.entries)
            return note(ExportReason::TooMany, true, limits.entries);
        if (reading.uncertain) {
            note(ExportReason::Uncertain, options.leaveOutUncertain);
            if (options.leaveOutUncertain)
                return;
            ++plan.guessed;
        }
        const int place = ++places[std::move(letters)];
        plan.entries.push_back(
            {std::string(phrase), std::string(category), reading.syllables, place});
    });
    return plan;
}

}  // namespace pinyin
