// Fuzzes the reading of the character table from arbitrary bytes, and checks the constant-time
// index against the plain scan of the entries.
#include <algorithm>
#include <string_view>

#include "FuzzInput.h"
#include "phrases/CharacterTable.h"

namespace {

using fuzz::Check;

void CheckPair(const phrases::CharacterTable& table, unsigned char lead, unsigned char trail) {
    const int position = table.Find(lead, trail);
    Check(position == table.FindByScan(lead, trail));
    if (position >= 0) {
        const auto entry = table.Entry(position);
        Check(phrases::CharacterTable::Fold(static_cast<unsigned char>(entry[0]),
                                            static_cast<unsigned char>(entry[1])) ==
              phrases::CharacterTable::Fold(lead, trail));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    phrases::CharacterTable table;
    table.LoadFromBytes(fuzz::Bytes(data, size));

    const std::size_t count = size >= 6 ? (data[4] | data[5] << 8) : 0;
    const std::size_t whole = size > 10 ? (size - 10) / 2 : 0;
    Check(static_cast<std::size_t>(table.Size()) == std::min(count, whole));

    // Every entry is found at or before its own position; the first few are checked against the
    // scan in every letter case.
    for (int i = 0; i < table.Size(); ++i) {
        const auto entry = table.Entry(i);
        const auto lead = static_cast<unsigned char>(entry[0]);
        const auto trail = static_cast<unsigned char>(entry[1]);
        const int position = table.Find(lead, trail);
        Check(position >= 0 && position <= i);
        if (i < 64) {
            CheckPair(table, lead, trail);
            CheckPair(table, lead, static_cast<unsigned char>(trail ^ 0x20));
            CheckPair(table, static_cast<unsigned char>(lead ^ 0x20), trail);
        }
    }
    // Pairs taken from the input, in the table or not.
    for (std::size_t at = 0; at + 1 < size && at < 128; at += 2)
        CheckPair(table, data[at], data[at + 1]);
    return 0;
}
