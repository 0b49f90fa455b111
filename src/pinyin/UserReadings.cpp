// The user's readings and their file; see UserReadings.h.
#include "pinyin/UserReadings.h"

#include "PinyinTexts.h"
#include "phrases/TextEncoding.h"

namespace pinyin {

std::string ProblemText(ReadingProblem problem) {
    switch (problem) {
    case ReadingProblem::None:
        return {};
    case ReadingProblem::NotUtf8:
        return texts::kNotUtf8;
    case ReadingProblem::NoTab:
        return texts::kNoTab;
    case ReadingProblem::NotGb2312:
        return texts::kNotGb2312;
    case ReadingProblem::EmptyPhrase:
        return texts::kEmptyPhrase;
    case ReadingProblem::WrongCount:
        return texts::kWrongCount;
    case ReadingProblem::UnknownSyllable:
        return texts::kUnknownSyllable;
    case ReadingProblem::LetterMismatch:
        return texts::kLetterMismatch;
    case ReadingProblem::Duplicate:
        return texts::kDuplicate;
    case ReadingProblem::LineBreak:
        return texts::kLineBreak;
    }
    return {};
}

std::string ReadingsFileProblem::Text() const {
    std::string text = texts::kProblemLine;
    text.replace(text.find("%d"), 2, std::to_string(line));
    return text + ProblemText(problem);
}

bool ParseSyllables(std::string_view text, std::vector<Syllable>& out) {
    std::vector<Syllable> syllables;
    std::string name;
    const auto flush = [&] {
        if (name.empty())
            return true;
        const Syllable syllable = FindSyllable(name);
        name.clear();
        if (syllable == kNoSyllable)
            return false;
        syllables.push_back(syllable);
        return true;
    };
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c == ' ' || c == '\t' || c == '\'') {
            if (!flush())
                return false;
        } else if (text.substr(at, 2) == "\xC3\xBC" || text.substr(at, 2) == "\xC3\x9C") {
            name += 'v';  // ü in UTF-8
            ++at;
        } else {
            name += c;
        }
    }
    if (!flush())
        return false;
    out = std::move(syllables);
    return true;
}

ReadingProblem CheckReading(std::string_view phrase, const std::vector<Syllable>& syllables) {
    std::size_t k = 0;
    for (std::size_t at = 0, size = 0; at < phrase.size(); at += size, ++k) {
        const int slot = detail::SlotAt(phrase, at, size);
        if (k >= syllables.size())
            return ReadingProblem::WrongCount;
        const Syllable syllable = syllables[k];
        if (slot >= detail::kHanziCount) {
            if (syllable != LetterSyllable(static_cast<char>('a' + slot - detail::kHanziCount)))
                return ReadingProblem::LetterMismatch;
        } else if (!IsPinyin(syllable)) {
            return ReadingProblem::UnknownSyllable;
        }
    }
    return k == syllables.size() ? ReadingProblem::None : ReadingProblem::WrongCount;
}

UserReadings UserReadings::Parse(std::string_view fileBytes,
                                 std::vector<ReadingsFileProblem>* problems) {
    UserReadings readings;
    if (fileBytes.starts_with("\xEF\xBB\xBF"))
        fileBytes.remove_prefix(3);
    const auto report = [&](int line, ReadingProblem problem) {
        if (problems)
            problems->push_back({line, problem});
    };
    std::vector<int> lineOf;  // the file line of each entry, for a duplicate's report
    int number = 0;
    std::size_t start = 0;
    while (start < fileBytes.size()) {
        std::size_t end = fileBytes.find('\n', start);
        if (end == std::string_view::npos)
            end = fileBytes.size();
        std::string_view line = fileBytes.substr(start, end - start);
        start = end + 1;
        ++number;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.find_first_not_of(" \t") == std::string_view::npos)
            continue;
        if (!phrases::IsValidUtf8(line)) {
            report(number, ReadingProblem::NotUtf8);
            continue;
        }
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) {
            report(number, ReadingProblem::NoTab);
            continue;
        }
        const phrases::Gb2312Text phrase =
            phrases::ConvertToGb2312(line.substr(0, tab), phrases::TextEncoding::Utf8);
        std::vector<Syllable> syllables;
        ReadingProblem problem = ReadingProblem::None;
        if (phrase.bytes.empty())
            problem = ReadingProblem::EmptyPhrase;
        else if (!phrase.unheld.empty())
            problem = ReadingProblem::NotGb2312;
        else if (!ParseSyllables(line.substr(tab + 1), syllables))
            problem = ReadingProblem::UnknownSyllable;
        else
            problem = CheckReading(phrase.bytes, syllables);
        if (problem != ReadingProblem::None) {
            report(number, problem);
            continue;
        }
        if (const auto found = readings.m_index.find(phrase.bytes);
            found == readings.m_index.end()) {
            lineOf.push_back(number);
        } else {
            report(lineOf[found->second], ReadingProblem::Duplicate);
            lineOf[found->second] = number;
        }
        readings.Set(phrase.bytes, std::move(syllables));
    }
    return readings;
}

std::string UserReadings::Format() const {
    std::string bytes;
    for (const auto& [phrase, syllables] : m_entries)
        bytes += phrases::Gb2312ToUtf8(phrase) + '\t' + ReadingText(syllables) + "\r\n";
    return bytes;
}

const std::vector<Syllable>* UserReadings::Find(std::string_view phrase) const {
    if (m_entries.empty())
        return nullptr;
    const auto found = m_index.find(std::string(phrase));
    return found == m_index.end() ? nullptr : &m_entries[found->second].second;
}

ReadingProblem UserReadings::Set(std::string_view phrase, std::vector<Syllable> syllables) {
    if (phrase.empty())
        return ReadingProblem::EmptyPhrase;
    if (phrase.find_first_of("\t\n") != std::string_view::npos)
        return ReadingProblem::LineBreak;
    if (const ReadingProblem problem = CheckReading(phrase, syllables);
        problem != ReadingProblem::None)
        return problem;
    const auto [found, added] = m_index.emplace(std::string(phrase), m_entries.size());
    if (added)
        m_entries.emplace_back(std::string(phrase), std::move(syllables));
    else
        m_entries[found->second].second = std::move(syllables);
    return ReadingProblem::None;
}

bool UserReadings::Remove(std::string_view phrase) {
    const auto found = m_index.find(std::string(phrase));
    if (found == m_index.end())
        return false;
    const std::size_t place = found->second;
    m_index.erase(found);
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(place));
    for (auto& [text, index] : m_index)
        if (index > place)
            --index;
    return true;
}

void LookupReading(std::string_view phrase, const UserReadings* user, Reading& out) {
    if (const std::vector<Syllable>* set = user ? user->Find(phrase) : nullptr) {
        out.syllables = *set;
        out.uncertain = false;
        return;
    }
    ReadingOf(phrase, out);
}

}  // namespace pinyin
