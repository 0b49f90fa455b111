// The readers of two binary dictionaries, after their published layouts; see ImportSource.h.
// Every length and offset is checked against the file's size before it is used.
//
// Sogou cell dictionary (.scel), little endian:
//   0x000  signature 40 15 00 00, two bytes of origin, 53 01 01 00 00 00
//   0x130  the dictionary's name, UTF-16 LE, ended by NUL (up to 0x338)
//   0x1540 the pinyin table (not needed here)
//   0x2628 the word table to the end of the file, or to a closing block "DELTBL" (UTF-16 LE):
//          groups of words of one reading: u16 words, u16 n, n bytes of pinyin indexes, then
//          for each word: u16 m, m bytes of the word (UTF-16 LE), u16 k, k bytes of extra data.
//
// Microsoft Pinyin user-defined phrases (.dat), little endian:
//   0x00 "mschxudp", then a version (8 bytes)
//   0x10 u32 offset of the entry offset table; 0x14 u32 start of the entries;
//   0x18 u32 end of the entries; 0x1C u32 number of entries
//   table: one u32 per entry, its offset from the start of the entries; an entry ends where the
//   next starts (the last at the end of the entries)
//   entry: u32 10 00 10 00, u16 offset of the phrase in the entry, u8 position, u8 flag,
//          4 bytes zero, u32 time, the pinyin (UTF-16 LE, NUL), the phrase (UTF-16 LE, NUL).
//
// Gboard's personal dictionary (.zip): an archive holding dictionary.txt, UTF-8, a first line
//   "# Gboard Dictionary version:1", then shortcut<TAB>word<TAB>language code per line.
#include <algorithm>

#include <cstdint>
#include <string>
#include <string_view>
#include "phrases/LittleEndian.h"

#include "phrases/ImportSource.h"
#include "phrases/WordList.h"
#include "phrases/ZipArchive.h"

namespace phrases::detail {

namespace {

constexpr std::string_view kScelStart("\x40\x15\x00\x00", 4);
constexpr std::string_view kScelSignature("\x53\x01\x01\x00\x00\x00", 6);
constexpr std::size_t kScelName = 0x130;
constexpr std::size_t kScelNameEnd = 0x338;
constexpr std::size_t kScelWords = 0x2628;
constexpr std::string_view kScelDeleted("D\0E\0L\0T\0B\0L\0", 12);

constexpr std::string_view kMsSignature = "mschxudp";
constexpr std::string_view kGboardText = "dictionary.txt";
constexpr std::size_t kMsHeader = 0x20;
constexpr std::uint32_t kMsEntryMark = 0x00100010;
constexpr std::size_t kMsEntryHeader = 16;

// The UTF-16 LE text in [begin, end) up to its first NUL unit; found tells whether there was one.
std::string_view Utf16UpToNul(std::string_view bytes, std::size_t begin, std::size_t end,
                              bool* found = nullptr) {
    std::size_t at = begin;
    while (at + 2 <= end && (bytes[at] != 0 || bytes[at + 1] != 0))
        at += 2;
    if (found)
        *found = at + 2 <= end;
    return bytes.substr(begin, at - begin);
}

}  // namespace

bool IsScel(std::string_view bytes) {
    return bytes.size() >= 12 && bytes.starts_with(kScelStart) &&
           bytes.substr(6, 6) == kScelSignature;
}

bool IsMicrosoftPinyin(std::string_view bytes) { return bytes.starts_with(kMsSignature); }

bool IsGboard(std::string_view bytes) {
    if (!IsZip(bytes))
        return false;
    const auto names = ZipEntryNames(bytes);
    return names && std::find(names->begin(), names->end(), kGboardText) != names->end();
}

bool ReadScel(std::string_view bytes, WordList& words, std::string& name) {
    if (!IsScel(bytes) || bytes.size() < kScelWords)
        return false;
    name =
        ConvertToGb2312(Utf16UpToNul(bytes, kScelName, kScelNameEnd), TextEncoding::Utf16LE).bytes;
    const std::size_t size = bytes.size();
    std::size_t at = kScelWords;
    int entry = 0;
    // Reads a u16 length and that many bytes after it; false when they pass the end.
    const auto block = [&](std::string_view& out) {
        if (size - at < 2)
            return false;
        const std::size_t length = U16(bytes, at);
        at += 2;
        if (size - at < length)
            return false;
        out = bytes.substr(at, length);
        at += length;
        return true;
    };
    while (at < size) {
        if (bytes.substr(at, kScelDeleted.size()) == kScelDeleted)
            break;
        if (size - at < 2)
            return false;
        const std::size_t count = U16(bytes, at);
        at += 2;
        std::string_view skipped;
        if (!block(skipped))
            return false;
        for (std::size_t k = 0; k < count; ++k) {
            std::string_view word, extra;
            if (!block(word) || !block(extra))
                return false;
            words.AddUtf16(word, ++entry);
        }
    }
    return true;
}

bool ReadMicrosoftPinyin(std::string_view bytes, WordList& words) {
    const std::uint64_t size = bytes.size();
    if (!IsMicrosoftPinyin(bytes) || size < kMsHeader)
        return false;
    const std::uint64_t table = U32(bytes, 0x10);
    const std::uint64_t start = U32(bytes, 0x14);
    const std::uint64_t end = U32(bytes, 0x18);
    const std::uint64_t count = U32(bytes, 0x1C);
    if (end > size || start > end || table > size || count > (size - table) / 4)
        return false;
    for (std::uint64_t k = 0; k < count; ++k) {
        const std::uint64_t begin = start + U32(bytes, static_cast<std::size_t>(table + 4 * k));
        const std::uint64_t next =
            k + 1 < count ? start + U32(bytes, static_cast<std::size_t>(table + 4 * (k + 1))) : end;
        if (begin > next || next > end || next - begin < kMsEntryHeader)
            return false;
        const auto entry = static_cast<std::size_t>(begin);
        const std::size_t phrase = U16(bytes, entry + 4);
        if (U32(bytes, entry) != kMsEntryMark || phrase < kMsEntryHeader || phrase > next - begin)
            return false;
        bool ended = false;
        const std::string_view text =
            Utf16UpToNul(bytes, entry + phrase, static_cast<std::size_t>(next), &ended);
        if (!ended)
            return false;
        words.AddUtf16(text, static_cast<int>(k + 1));
    }
    return true;
}

bool ReadGboard(std::string_view bytes, WordList& words) {
    const std::optional<std::string> text = ReadZipEntry(bytes, kGboardText);
    if (!text)
        return false;
    const Gb2312Text converted = DecodeToGb2312(*text);
    ForEachLine(converted.bytes, [&](std::size_t begin, std::size_t end, int number) {
        const std::string_view line = std::string_view(converted.bytes).substr(begin, end - begin);
        if (TrimLine(line).empty() || line.starts_with('#'))
            return;
        // The word is the second field; a line without one counts as an empty word.
        const std::size_t tab = line.find('\t');
        const std::size_t wordBegin = tab == std::string_view::npos ? line.size() : tab + 1;
        const std::size_t wordEnd = std::min(line.find('\t', wordBegin), line.size());
        words.Add(converted, begin + wordBegin, begin + wordEnd, number);
    });
    return true;
}

}  // namespace phrases::detail
