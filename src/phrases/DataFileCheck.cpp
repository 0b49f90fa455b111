// The checks of the data files; see DataFileCheck.h.
#include "phrases/DataFileCheck.h"

#include <algorithm>
#include <cstring>

#include "phrases/TextEncoding.h"

namespace phrases {

namespace {

// The length of the valid UTF-8 sequence of more than one byte at bytes[at], or 0.
std::size_t MultiByteSequence(std::string_view bytes, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[at + k]); };
    const unsigned first = byte(0);
    std::size_t more = 0;
    unsigned low = 0x80, high = 0xBF;
    if (first >= 0xC2 && first <= 0xDF) {
        more = 1;
    } else if (first >= 0xE0 && first <= 0xEF) {
        more = 2;
        low = first == 0xE0 ? 0xA0 : 0x80;
        high = first == 0xED ? 0x9F : 0xBF;
    } else if (first >= 0xF0 && first <= 0xF4) {
        more = 3;
        low = first == 0xF0 ? 0x90 : 0x80;
        high = first == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + more >= bytes.size())
        return 0;
    for (std::size_t k = 1; k <= more; ++k)
        if (byte(k) < (k == 1 ? low : 0x80) || byte(k) > (k == 1 ? high : 0xBF))
            return 0;
    return more + 1;
}

// Valid UTF-8 holding at least one character beyond ASCII. Ends at the first byte that is no
// UTF-8, which in GB2312 text is nearly always its first Chinese character.
bool IsMultiByteUtf8(std::string_view bytes) {
    bool multiByte = false;
    for (std::size_t at = 0; at < bytes.size();) {
        if (static_cast<unsigned char>(bytes[at]) < 0x80) {
            ++at;
            continue;
        }
        const std::size_t length = MultiByteSequence(bytes, at);
        if (length == 0)
            return false;
        multiByte = true;
        at += length;
    }
    return multiByte;
}

int LineOf(std::string_view text, std::size_t offset, std::size_t& lineStart, std::size_t& from,
           int line) {
    for (; from < offset; ++from) {
        if (text[from] != '\r' && text[from] != '\n')
            continue;
        if (text[from] == '\r' && from + 1 < text.size() && text[from + 1] == '\n')
            ++from;
        ++line;
        lineStart = from + 1;
    }
    return line;
}

}  // namespace

bool IsValidGb2312(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        if (lead < 0x80)
            continue;
        if (at + 1 == bytes.size() || !InGb2312(lead, static_cast<unsigned char>(bytes[at + 1])))
            return false;
        ++at;
    }
    return true;
}

TreeFileCheck CheckTreeFile(std::string_view bytes) {
    TreeFileCheck check;
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        check.form = TreeFileForm::Utf16;
        return check;
    }
    if (bytes.starts_with("\xEF\xBB\xBF") || (IsMultiByteUtf8(bytes) && !IsValidGb2312(bytes))) {
        check.form = TreeFileForm::Utf8;
        return check;
    }
    const std::size_t nul = bytes.find('\0');
    if (nul == std::string_view::npos)
        return check;
    const std::string_view after = bytes.substr(nul + 1);
    if (std::any_of(after.begin(), after.end(), [](char byte) { return byte != '\0'; })) {
        check.strayNul = nul;
        check.bytesAfterNul = after.size();
    }
    return check;
}

ConvertedTreeFile ConvertTreeFile(std::string_view bytes) {
    const Gb2312Text text = DecodeToGb2312(bytes);
    ConvertedTreeFile converted;
    converted.bytes.reserve(text.bytes.size());
    std::size_t at = 0;
    std::size_t lineStart = 0;
    std::size_t scanned = 0;
    int line = 1;
    for (const UnheldCharacter& unheld : text.unheld) {
        converted.bytes.append(text.bytes, at, unheld.offset - at);
        at = unheld.offset + 1;
        line = LineOf(text.bytes, unheld.offset, lineStart, scanned, line);
        const std::size_t lineEnd = text.bytes.find_first_of("\r\n", unheld.offset);
        converted.dropped.push_back(
            {line,
             Utf8Of(text, lineStart, lineEnd == std::string::npos ? text.bytes.size() : lineEnd),
             unheld.character});
    }
    converted.bytes.append(text.bytes, at);
    return converted;
}

}  // namespace phrases
