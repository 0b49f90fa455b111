// The readers of other input methods' text dictionaries and phrase files, and the detection of
// their line forms; see ImportSource.h. They work on the file converted to GB2312, so every
// encoding the import recognises is read alike.
#include <cctype>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "phrases/ImportSource.h"
#include "phrases/WordList.h"

namespace phrases::detail {

namespace {

// The fields of a line between TABs: offsets relative to the line.
std::vector<std::pair<std::size_t, std::size_t>> TabFields(std::string_view line) {
    std::vector<std::pair<std::size_t, std::size_t>> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.emplace_back(start, tab == std::string_view::npos ? line.size() : tab);
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

bool IsAsciiDigits(std::string_view text) {
    if (text.empty())
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// A key of a custom phrase: ASCII letters, digits and a few signs, no blank.
bool IsKey(std::string_view text) {
    if (text.empty())
        return false;
    for (const char c : text)
        if (static_cast<unsigned char>(c) <= ' ' || static_cast<unsigned char>(c) >= 0x7F ||
            c == ',' || c == '=')
            return false;
    return true;
}

bool HasNonAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

// "key,order=phrase": where the phrase starts, or npos.
std::size_t CustomPhraseStart(std::string_view line) {
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos || !IsKey(line.substr(0, comma)))
        return std::string_view::npos;
    const std::size_t equals = line.find('=', comma);
    if (equals == std::string_view::npos ||
        !IsAsciiDigits(line.substr(comma + 1, equals - comma - 1)))
        return std::string_view::npos;
    return equals + 1;
}

// "key=order,phrase": where the phrase starts, or npos.
std::size_t QqPhraseStart(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || !IsKey(line.substr(0, equals)))
        return std::string_view::npos;
    const std::size_t comma = line.find(',', equals);
    if (comma == std::string_view::npos ||
        !IsAsciiDigits(line.substr(equals + 1, comma - equals - 1)))
        return std::string_view::npos;
    return comma + 1;
}

// "'pin'yin 词" or "pin'yin 词 频率": the word's [begin, end) in the line, if it has that form.
std::optional<std::pair<std::size_t, std::size_t>> PinyinTextWord(std::string_view line) {
    const std::size_t space = line.find(' ');
    if (space == 0 || space == std::string_view::npos)
        return std::nullopt;
    for (const char c : line.substr(0, space))
        if (!(c == '\'' || (c >= 'a' && c <= 'z')))
            return std::nullopt;
    std::size_t begin = line.find_first_not_of(' ', space);
    if (begin == std::string_view::npos)
        return std::nullopt;
    std::size_t end = line.find(' ', begin);
    if (end == std::string_view::npos)
        end = line.size();
    const std::string_view rest = TrimLine(line.substr(end));
    if (!HasNonAscii(line.substr(begin, end - begin)) || (!rest.empty() && !IsAsciiDigits(rest)))
        return std::nullopt;
    return std::make_pair(begin, end);
}

// The line is a line of reading<TAB>word<TAB>part of speech<TAB>comment.
bool IsFourColumns(std::string_view line) { return TabFields(line).size() == 4; }

bool IsComment(std::string_view line, bool semicolon) {
    return line.starts_with('#') || (semicolon && line.starts_with(';'));
}

// Adds field index (0-based, TAB-separated) of the line starting at offset begin; an empty word
// when the line has fewer fields, so that the summary counts it.
void AddField(const Gb2312Text& text, WordList& words, std::size_t begin, std::string_view line,
              std::size_t index, int number) {
    const auto fields = TabFields(line);
    if (index >= fields.size())
        return words.Add(text, begin, begin, number);
    words.Add(text, begin + fields[index].first, begin + fields[index].second, number);
}

std::string_view LineAt(const Gb2312Text& text, std::size_t begin, std::size_t end) {
    return std::string_view(text.bytes).substr(begin, end - begin);
}

// A YAML scalar: trailing comment, blanks and quotes dropped.
std::string_view YamlValue(std::string_view value) {
    if (const auto hash = value.find(" #"); hash != std::string_view::npos)
        value = value.substr(0, hash);
    value = TrimLine(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

void ReadRime(const Gb2312Text& text, WordList& words, std::string& name) {
    enum { Before, Header, Columns, Body } state = Before;
    std::vector<std::string> columns;
    std::size_t textColumn = 0;
    ForEachLine(text.bytes, [&](std::size_t begin, std::size_t end, int number) {
        const std::string_view line = LineAt(text, begin, end);
        const std::string_view trimmed = TrimLine(line);
        if (state == Before) {
            if (trimmed == "---")
                state = Header;
            else if (!trimmed.empty() && !trimmed.starts_with('#'))
                state = Body;  // no header: the entries start at once
            if (state != Body)
                return;
        }
        if (state == Header || state == Columns) {
            if (trimmed == "...") {
                for (std::size_t k = 0; k < columns.size(); ++k)
                    if (columns[k] == "text")
                        textColumn = k;
                state = Body;
            } else if (state == Columns && trimmed.starts_with("- ")) {
                columns.emplace_back(YamlValue(trimmed.substr(2)));
            } else if (line.starts_with("name:")) {
                name = std::string(YamlValue(line.substr(5)));
                state = Header;
            } else if (line.starts_with("columns:")) {
                std::string_view value = YamlValue(line.substr(8));
                state = Header;
                if (value.empty()) {
                    state = Columns;  // a block list follows
                } else if (value.front() == '[') {
                    value = value.substr(1, value.find(']') - 1);
                    while (!value.empty()) {
                        const auto comma = value.find(',');
                        columns.emplace_back(YamlValue(value.substr(0, comma)));
                        value = comma == std::string_view::npos ? "" : value.substr(comma + 1);
                    }
                }
            } else if (!line.starts_with(' ') && !line.starts_with('\t') && !trimmed.empty()) {
                state = Header;
            }
            return;
        }
        if (trimmed.empty() || line.starts_with('#'))
            return;
        AddField(text, words, begin, line, textColumn, number);
    });
}

void ReadRimeUserDb(const Gb2312Text& text, WordList& words) {
    ForEachLine(text.bytes, [&](std::size_t begin, std::size_t end, int number) {
        const std::string_view line = LineAt(text, begin, end);
        if (TrimLine(line).empty() || line.starts_with('#'))
            return;
        AddField(text, words, begin, line, 1, number);
    });
}

void ReadMicrosoftIme(const Gb2312Text& text, WordList& words) {
    ForEachLine(text.bytes, [&](std::size_t begin, std::size_t end, int number) {
        const std::string_view line = LineAt(text, begin, end);
        if (TrimLine(line).empty() || line.starts_with('!') || line.starts_with('#'))
            return;
        AddField(text, words, begin, line, 1, number);
    });
}

void ReadCustomPhrases(const Gb2312Text& text, WordList& words, int& continued) {
    bool continuation = false;
    ForEachLine(text.bytes, [&](std::size_t begin, std::size_t end, int number) {
        std::string_view line = LineAt(text, begin, end);
        const bool wasContinuation = continuation;
        continuation = line.ends_with('\\');
        if (wasContinuation || IsComment(line, true))
            return;
        const std::size_t start = CustomPhraseStart(line);
        if (start == std::string_view::npos) {
            continuation = false;
            return;
        }
        if (continuation) {
            ++continued;
            line.remove_suffix(1);
        }
        words.Add(text, begin + start, begin + line.size(), number);
    });
}

void ReadQqPhrases(const Gb2312Text& text, WordList& words) {
    ForEachLine(text.bytes, [&](std::size_t begin, std::size_t end, int number) {
        const std::string_view line = LineAt(text, begin, end);
        if (IsComment(line, true))
            return;
        if (const std::size_t start = QqPhraseStart(line); start != std::string_view::npos)
            words.Add(text, begin + start, end, number);
    });
}

void ReadPinyinText(const Gb2312Text& text, WordList& words) {
    ForEachLine(text.bytes, [&](std::size_t begin, std::size_t end, int number) {
        if (const auto word = PinyinTextWord(LineAt(text, begin, end)))
            words.Add(text, begin + word->first, begin + word->second, number);
    });
}

std::optional<SourceFormat> DetectTextDictionary(std::string_view bytes) {
    // Which forms every line so far has (a bit each), and the state of the Rime header.
    enum : unsigned { kFour = 1, kCustom = 2, kQq = 4, kPinyin = 8, kAll = 15 };
    unsigned forms = kAll;
    int candidates = 0;
    bool first = true, userDb = false, microsoft = false, continuation = false;
    enum { Before, Header, Closed, None } rime = Before;
    ForEachLine(bytes, [&](std::size_t begin, std::size_t end, int) {
        const std::string_view line = bytes.substr(begin, end - begin);
        const std::string_view trimmed = TrimLine(line);
        if (line.starts_with("#@/db_name"))
            userDb = true;
        if (trimmed.empty())
            return;
        if (first && line.starts_with("!Microsoft IME Dictionary Tool"))
            microsoft = true;
        first = false;
        if (rime == Before && !trimmed.starts_with('#'))
            rime = trimmed == "---" ? Header : None;
        else if (rime == Header && trimmed == "...")
            rime = Closed;
        const bool wasContinuation = continuation;
        continuation = line.ends_with('\\');
        if (wasContinuation || IsComment(line, true)) {
            // Comments in ';' belong to the phrase files only; a continued line to fcitx5's.
            if (line.starts_with(';'))
                forms &= kCustom | kQq;
            if (wasContinuation)
                forms &= kCustom;
            return;
        }
        ++candidates;
        if (!IsFourColumns(line))
            forms &= ~kFour;
        if (CustomPhraseStart(line) == std::string_view::npos)
            forms &= ~kCustom;
        if (QqPhraseStart(line) == std::string_view::npos)
            forms &= ~kQq;
        if (!PinyinTextWord(line))
            forms &= ~kPinyin;
    });
    if (rime == Closed)
        return SourceFormat::Rime;
    if (userDb)
        return SourceFormat::RimeUserDb;
    if (microsoft)
        return SourceFormat::MicrosoftIme;
    if (candidates == 0)
        return std::nullopt;
    if (forms & kFour)
        return SourceFormat::MicrosoftIme;
    if (forms & kCustom)
        return SourceFormat::CustomPhrases;
    if (forms & kQq)
        return SourceFormat::QqPhrases;
    if (forms & kPinyin)
        return SourceFormat::PinyinText;
    return std::nullopt;
}

}  // namespace phrases::detail
