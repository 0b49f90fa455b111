// Little-endian numbers in the bytes of binary files: the dictionaries and archives that import
// reads and export writes. The reads take a range the caller has checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace phrases {

inline std::uint32_t U16(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}
inline std::uint32_t U32(std::string_view bytes, std::size_t at) {
    return U16(bytes, at) | U16(bytes, at + 2) << 16;
}
inline void Put16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}
inline void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace phrases
