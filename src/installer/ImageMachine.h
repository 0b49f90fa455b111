// The machine a Windows image (an exe, a dll, an input method's .ime) is built for, read from the
// bytes of its headers: install mode refuses a packaged input method of the other bitness.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace installer {

// The COFF header's machine types of x86 and x64.
constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kMachineAmd64 = 0x8664;

// How many bytes of a file ImageMachine is given: far beyond where any linker puts the PE header.
constexpr std::size_t kImageHeaderBytes = 64 * 1024;

// The Machine field of an image from its first bytes: "MZ", the PE header's offset at 0x3C
// (e_lfanew, little-endian), "PE\0\0" there, then the COFF header whose first field is Machine.
// Nothing for bytes that are no such image or that end before the field.
std::optional<std::uint16_t> ImageMachine(std::string_view bytes);

// 32 or 64 for the machines of x86 and x64; 0 for any other.
int MachineBits(std::uint16_t machine);

// The bitness of this program's own build.
constexpr int kOwnBits = static_cast<int>(sizeof(void*) * 8);

}  // namespace installer
