// Test helper: the bytes of a character table file holding the given two-byte entries.
#pragma once

#include <string>
#include <vector>

namespace phrases::testing {

// count overrides the number written at offset 4 (it defaults to the number of entries).
inline std::string TableBytes(const std::vector<std::string>& entries, int count = -1) {
    if (count < 0)
        count = static_cast<int>(entries.size());
    std::string bytes = "HEAD";
    bytes += static_cast<char>(count & 0xFF);
    bytes += static_cast<char>(count >> 8 & 0xFF);
    bytes += "pad.";
    for (const std::string& entry : entries)
        bytes += entry;
    return bytes;
}

}  // namespace phrases::testing
