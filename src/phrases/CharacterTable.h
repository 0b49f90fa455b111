// The character table read from srf_pub.zc: the ordered two-byte characters whose 1-based
// positions are the character numbers of the compiled phrase file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Path.h"

namespace phrases {

// Entries keep the file's order, duplicates included. Lookup ignores letter case: ASCII letters
// and the GB2312 full-width Latin, Greek and Cyrillic capitals match their small forms; every
// other pair matches only itself. The first matching entry wins.
class CharacterTable {
public:
    // Reads the whole file; throws Error "Cannot open file %s" and then keeps the old entries.
    void Load(const platform::Path& path);
    // The count at offset 4 (16 bits, little-endian) and the entries from offset 10, two bytes
    // each. Bytes that end before the count is reached give only the whole entries there are.
    void LoadFromBytes(std::string_view bytes);

    int Size() const { return static_cast<int>(m_entries.size()); }
    // The count the file gives; nullopt when its bytes end before the count itself.
    std::optional<int> DeclaredCount() const { return m_declared; }
    // The bytes ended before the count was reached, or before the count: a damaged file, whose
    // missing characters leave phrases out of the compile.
    bool IsShort() const { return !m_declared || *m_declared > Size(); }
    bool Empty() const { return m_entries.empty(); }
    // The two bytes of the entry at position (0-based), lead byte first.
    std::string Entry(int position) const;

    // The 0-based position of the first entry matching the pair, or -1. Constant time.
    int Find(unsigned char lead, unsigned char trail) const {
        return m_numbers.empty() ? -1 : static_cast<int>(m_numbers[lead << 8 | trail]) - 1;
    }
    // The index behind Find, for loops that keep it at hand: the position + 1 of the first
    // matching entry at lead << 8 | trail, 0 when there is none; null while the table is empty.
    const std::uint16_t* Index() const { return m_numbers.empty() ? nullptr : m_numbers.data(); }
    // The same answer by a linear scan of the entries; kept to check and measure the index.
    int FindByScan(unsigned char lead, unsigned char trail) const;

    // The pair's case-folded form as one 16-bit value, lead byte high; equal pairs fold equal.
    static std::uint16_t Fold(unsigned char lead, unsigned char trail);

private:
    std::vector<std::uint16_t> m_entries;  // lead << 8 | trail
    std::optional<int> m_declared = 0;
    // For every pair, the position + 1 of the first entry that folds as it does (the character
    // number); 0 when absent. Empty while the table is.
    std::vector<std::uint16_t> m_numbers;
};

}  // namespace phrases
