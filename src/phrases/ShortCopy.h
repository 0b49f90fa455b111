// memcpy for the short texts of phrases: two overlapping words instead of a call (a call per node
// costs as much as the rest of writing a tree file).
#pragma once

#include <cstddef>
#include <cstring>

namespace phrases {

inline void CopyShort(char* to, const char* from, std::size_t size) {
    if (size >= 8 && size <= 16) {
        std::memcpy(to, from, 8);
        std::memcpy(to + size - 8, from + size - 8, 8);
    } else if (size >= 4 && size < 8) {
        std::memcpy(to, from, 4);
        std::memcpy(to + size - 4, from + size - 4, 4);
    } else if (size != 0) {
        std::memcpy(to, from, size);
    }
}

}  // namespace phrases
