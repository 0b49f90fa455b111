// The headers of a Windows image as a linker writes them, for the tests of the machine check.
#pragma once

#include <cstdint>
#include <string>

namespace installer {

inline std::string Little32(std::uint32_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
            static_cast<char>(value >> 24)};
}

// The MZ header with the PE header's offset at 0x3C, "PE\0\0" there, then the COFF header.
inline std::string Image(std::uint16_t machine, std::uint32_t peOffset = 0x80) {
    std::string bytes = "MZ" + std::string(0x3A, '\x90') + Little32(peOffset);
    bytes.resize(peOffset, '\0');
    return bytes + std::string("PE\0\0", 4) + Little32(machine).substr(0, 2) +
           std::string(18, '\0');
}

}  // namespace installer
