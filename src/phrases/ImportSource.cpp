// Format detection and the reading of import files; see ImportSource.h.
#include "phrases/ImportSource.h"

#include <algorithm>
#include <array>

#include "DictionaryTexts.h"
#include "phrases/PhraseRules.h"
#include "phrases/WordList.h"
#include "platform/Error.h"

namespace phrases {

namespace detail {

void WordList::Add(const Gb2312Text& source, std::size_t begin, std::size_t end, int line) {
    auto unheld = std::lower_bound(source.unheld.begin(), source.unheld.end(), begin,
                                   [](const UnheldCharacter& item, std::size_t offset) {
                                       return item.offset < offset;
                                   });
    for (std::size_t at = begin; at < end; ++at) {
        const char byte = source.bytes[at];
        if (byte == kUnheldMark && unheld != source.unheld.end() && unheld->offset == at) {
            text.unheld.push_back({text.bytes.size(), unheld->character});
            ++unheld;
        } else if (byte == '\r' || byte == '\n' || byte == '\0' || byte == kUnheldMark) {
            text.unheld.push_back(
                {text.bytes.size(), byte == kUnheldMark ? 0xFFFD : char32_t(byte)});
            text.bytes.push_back(kUnheldMark);
            continue;
        }
        text.bytes.push_back(byte);
    }
    text.bytes.push_back('\n');
    lines.push_back(line);
}

void WordList::AddUtf16(std::string_view utf16le, int entry) {
    const Gb2312Text word = ConvertToGb2312(utf16le, TextEncoding::Utf16LE);
    Add(word, 0, word.bytes.size(), entry);
}

void ForEachLine(std::string_view bytes,
                 const std::function<void(std::size_t, std::size_t, int)>& visit) {
    bytes = bytes.substr(0, bytes.find('\0'));
    std::size_t start = 0;
    int number = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = bytes.size();
        visit(start, end, ++number);
        if (end == bytes.size())
            break;
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n')
            ++start;
    }
}

std::string_view TrimLine(std::string_view line) { return TrimText(line); }

}  // namespace detail

namespace {

constexpr std::array<SourceFormatInfo, 11> kFormats = {{
    {SourceFormat::Indented, "indented", texts::kFormatIndented},
    {SourceFormat::PlainLines, "plain", texts::kFormatPlainLines},
    {SourceFormat::Rime, "rime", texts::kFormatRime},
    {SourceFormat::RimeUserDb, "rime-userdb", texts::kFormatRimeUserDb},
    {SourceFormat::MicrosoftIme, "msime", texts::kFormatMicrosoftIme},
    {SourceFormat::CustomPhrases, "custom-phrases", texts::kFormatCustomPhrases},
    {SourceFormat::QqPhrases, "qq-phrases", texts::kFormatQqPhrases},
    {SourceFormat::PinyinText, "pinyin-text", texts::kFormatPinyinText},
    {SourceFormat::Scel, "scel", texts::kFormatScel},
    {SourceFormat::MicrosoftPinyin, "mspy-dat", texts::kFormatMicrosoftPinyin},
    {SourceFormat::Gboard, "gboard", texts::kFormatGboard},
}};

// Replaces each "%d" of pattern by the number.
std::string FillNumber(std::string_view pattern, int number) {
    std::string out(pattern);
    if (const auto at = out.find("%d"); at != std::string::npos)
        out.replace(at, 2, std::to_string(number));
    return out;
}

}  // namespace

std::span<const SourceFormatInfo> SourceFormats() { return kFormats; }

const SourceFormatInfo& FormatInfo(SourceFormat format) {
    for (const SourceFormatInfo& info : kFormats)
        if (info.format == format)
            return info;
    return kFormats.front();
}

std::optional<SourceFormat> FormatByName(std::string_view name) {
    for (const SourceFormatInfo& info : kFormats)
        if (name == info.name)
            return info.format;
    return std::nullopt;
}

SourceFormat DetectSourceFormat(std::string_view fileBytes) {
    if (detail::IsScel(fileBytes))
        return SourceFormat::Scel;
    if (detail::IsMicrosoftPinyin(fileBytes))
        return SourceFormat::MicrosoftPinyin;
    if (detail::IsGboard(fileBytes))
        return SourceFormat::Gboard;
    const Gb2312Text text = DecodeToGb2312(fileBytes);
    if (const auto found = detail::DetectTextDictionary(text.bytes))
        return *found;
    return DetectImportFormat(text.bytes) == ImportFormat::Indented ? SourceFormat::Indented
                                                                    : SourceFormat::PlainLines;
}

ImportSource ReadImportSource(std::string_view fileBytes, const platform::Path& path,
                              std::optional<SourceFormat> format) {
    ImportSource source;
    source.format = format ? *format : DetectSourceFormat(fileBytes);
    detail::WordList words;
    bool whole = true;
    switch (source.format) {
    case SourceFormat::Indented:
    case SourceFormat::PlainLines:
        source.text = DecodeToGb2312(fileBytes);
        return source;
    case SourceFormat::Scel:
        whole = detail::ReadScel(fileBytes, words, source.name);
        break;
    case SourceFormat::MicrosoftPinyin:
        whole = detail::ReadMicrosoftPinyin(fileBytes, words);
        break;
    case SourceFormat::Gboard:
        whole = detail::ReadGboard(fileBytes, words);
        source.text.encoding = TextEncoding::Utf8;
        break;
    default: {
        const Gb2312Text text = DecodeToGb2312(fileBytes);
        switch (source.format) {
        case SourceFormat::Rime:
            detail::ReadRime(text, words, source.name);
            break;
        case SourceFormat::RimeUserDb:
            detail::ReadRimeUserDb(text, words);
            break;
        case SourceFormat::MicrosoftIme:
            detail::ReadMicrosoftIme(text, words);
            break;
        case SourceFormat::CustomPhrases:
            detail::ReadCustomPhrases(text, words, source.continued);
            break;
        case SourceFormat::QqPhrases:
            detail::ReadQqPhrases(text, words);
            break;
        default:
            detail::ReadPinyinText(text, words);
            break;
        }
        source.text.encoding = text.encoding;
    }
    }
    if (!whole)
        throw platform::Error("FormatError", texts::kDamagedFile, path);
    const TextEncoding encoding = source.text.encoding;
    source.text = std::move(words.text);
    source.text.encoding = encoding;
    source.wordLines = std::move(words.lines);
    return source;
}

std::string DictionaryCategoryName(const ImportSource& source, std::string_view pathText) {
    const auto usable = [](std::string_view text) {
        return CheckStoredText(text) == TextFault::None;
    };
    const std::string_view own = TrimText(source.name);
    if (usable(own))
        return std::string(own);
    std::string_view base = pathText;
    if (const auto slash = base.find_last_of("/\\"); slash != std::string_view::npos)
        base.remove_prefix(slash + 1);
    // "pinyin_simp.dict.yaml" and "x.userdb.txt" lose both extensions. The path is GB2312, whose
    // trail bytes are never a dot.
    if (const auto dot = base.find('.'); dot != std::string_view::npos && dot > 0)
        base = base.substr(0, dot);
    base = TrimText(base);
    const Gb2312Text converted = ConvertToGb2312(base, TextEncoding::Gb2312);
    return usable(converted.bytes) ? converted.bytes : std::string();
}

ImportPlan PlanSourceImport(const TTreeNodes& tree, const ImportSource& source,
                            const CharacterTable& table, std::string_view category,
                            const ImportProgressFn& progress) {
    if (!IsDictionary(source.format)) {
        const ImportFormat format = source.format == SourceFormat::Indented
                                        ? ImportFormat::Indented
                                        : ImportFormat::PlainLines;
        return PlanImport(tree, source.text, table, format, category, progress);
    }
    ImportPlan plan =
        PlanImport(tree, source.text, table, ImportFormat::WordList, category, progress);
    if (plan.summary.added == 0) {
        // No new category for a dictionary that brings nothing new.
        plan.inserts.clear();
        plan.summary.newCategories = 0;
    }
    for (ImportLine& line : plan.lines) {
        const auto index = static_cast<std::size_t>(line.line - 1);
        if (index < source.wordLines.size())
            line.line = source.wordLines[index];
    }
    return plan;
}

std::string FormatSourceSummary(const ImportSource& source, const ImportPlan& plan) {
    std::string summary = FormatImportSummary(plan.summary);
    if (!IsDictionary(source.format))
        return summary;
    summary =
        platform::Format(texts::kSummaryFormat, FormatInfo(source.format).title) + "\n" + summary;
    if (plan.summary.singleCharacters)
        summary +=
            "\n" + FillNumber(texts::kSummarySingleCharacters, plan.summary.singleCharacters);
    if (source.continued)
        summary += "\n" + FillNumber(texts::kSummaryContinued, source.continued);
    return summary;
}

}  // namespace phrases
