// Reading the character table and finding a character's number.
#include "phrases/CharacterTable.h"

#include <algorithm>

#include "platform/FileSystem.h"

namespace phrases {

namespace {

constexpr std::size_t kCountOffset = 4;
constexpr std::size_t kEntriesOffset = 10;
constexpr std::size_t kPairValues = 65536;

unsigned char LowerAscii(unsigned char byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

}  // namespace

std::uint16_t CharacterTable::Fold(unsigned char lead, unsigned char trail) {
    if (lead < 0x80) {
        lead = LowerAscii(lead);
        trail = LowerAscii(trail);
    } else if (lead == 0xA3 && trail >= 0xC1 && trail <= 0xDA) {
        trail += 0x20;  // full-width Latin A-Z
    } else if (lead == 0xA6 && trail >= 0xA1 && trail <= 0xB8) {
        trail += 0x20;  // Greek capitals
    } else if (lead == 0xA7 && trail >= 0xA1 && trail <= 0xC1) {
        trail += 0x30;  // Cyrillic capitals
    }
    return static_cast<std::uint16_t>(lead << 8 | trail);
}

void CharacterTable::Load(const platform::Path& path) {
    LoadFromBytes(platform::ReadWholeFile(path));
}

void CharacterTable::LoadFromBytes(std::string_view bytes) {
    const auto byteAt = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
    std::size_t count = 0;
    std::optional<int> declared;
    if (bytes.size() >= kCountOffset + 2) {
        count = byteAt(kCountOffset) | byteAt(kCountOffset + 1) << 8;
        declared = static_cast<int>(count);
    }
    const std::size_t available =
        bytes.size() > kEntriesOffset ? (bytes.size() - kEntriesOffset) / 2 : 0;
    count = std::min(count, available);

    std::vector<std::uint16_t> entries(count);
    std::vector<std::uint16_t> numbers(count ? kPairValues : 0, 0);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char lead = byteAt(kEntriesOffset + 2 * i);
        const unsigned char trail = byteAt(kEntriesOffset + 2 * i + 1);
        entries[i] = static_cast<std::uint16_t>(lead << 8 | trail);
        std::uint16_t& number = numbers[Fold(lead, trail)];
        if (number == 0)
            number = static_cast<std::uint16_t>(i + 1);
    }
    // Every pair, not only the folded ones, gets the number of its folded form, so that Find is
    // one access without folding. A folded pair folds to itself, so filling in place is safe.
    if (count) {
        for (std::size_t pair = 0; pair < kPairValues; ++pair) {
            const std::uint16_t folded = Fold(static_cast<unsigned char>(pair >> 8),
                                              static_cast<unsigned char>(pair & 0xFF));
            if (folded != pair)
                numbers[pair] = numbers[folded];
        }
    }
    m_entries = std::move(entries);
    m_numbers = std::move(numbers);
    m_declared = declared;
}

std::string CharacterTable::Entry(int position) const {
    const std::uint16_t pair = m_entries.at(static_cast<std::size_t>(position));
    return {static_cast<char>(pair >> 8), static_cast<char>(pair & 0xFF)};
}

int CharacterTable::FindByScan(unsigned char lead, unsigned char trail) const {
    const std::uint16_t wanted = Fold(lead, trail);
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (Fold(static_cast<unsigned char>(m_entries[i] >> 8),
                 static_cast<unsigned char>(m_entries[i] & 0xFF)) == wanted)
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace phrases
