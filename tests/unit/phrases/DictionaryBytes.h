// Test helper: the bytes of binary dictionaries written by their published layouts.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace phrases::testing::dictionary {

using namespace std::string_literals;

inline std::string Utf16(std::u16string_view text) {
    std::string bytes;
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}
inline std::string U16(unsigned value) { return {char(value & 0xFF), char(value >> 8 & 0xFF)}; }
inline std::string U32(unsigned value) { return U16(value & 0xFFFF) + U16(value >> 16); }

// A Sogou cell dictionary of groups of words, by its published layout.
inline std::string Scel(std::u16string_view name,
                        const std::vector<std::vector<std::u16string>>& groups) {
    std::string bytes(0x2628, '\0');
    bytes.replace(0, 12, "\x40\x15\0\0\x44\x43\x53\x01\x01\0\0\0"s);
    bytes.replace(0x130, name.size() * 2, Utf16(name));
    for (const auto& group : groups) {
        bytes += U16(static_cast<unsigned>(group.size())) + U16(4) + U16(1) + U16(2);
        for (const std::u16string& word : group)
            bytes += U16(static_cast<unsigned>(word.size() * 2)) + Utf16(word) + U16(4) + U32(7);
    }
    return bytes;
}

// Microsoft Pinyin user-defined phrases, pinyin and phrase, by the published layout.
inline std::string MsPinyin(const std::vector<std::pair<std::u16string, std::u16string>>& entries) {
    const auto count = static_cast<unsigned>(entries.size());
    std::string table, body;
    for (const auto& [pinyin, phrase] : entries) {
        table += U32(static_cast<unsigned>(body.size()));
        body += U32(0x00100010) + U16(static_cast<unsigned>(16 + pinyin.size() * 2 + 2)) +
                "\x01\x06"s + U32(0) + U32(12345) + Utf16(pinyin) + U16(0) + Utf16(phrase) + U16(0);
    }
    const unsigned start = 0x40 + 4 * count;
    std::string header = "mschxudp\x02\0\x60\0\x01\0\0\0"s + U32(0x40) + U32(start) +
                         U32(start + static_cast<unsigned>(body.size())) + U32(count);
    header.resize(0x40, '\0');
    return header + table + body;
}

}  // namespace phrases::testing::dictionary
