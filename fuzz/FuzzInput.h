// What every fuzz target shares: its input as bytes, and the check that stops the run at the first
// property that does not hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace fuzz {

// Aborts, so that libFuzzer reports the input and keeps it as a crash artifact.
inline void Check(bool condition) {
    if (!condition)
        std::abort();
}

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace fuzz
