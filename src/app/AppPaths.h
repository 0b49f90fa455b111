// The data directory and the application title, both derived from the executable's path.
#pragma once

#include <string>
#include <string_view>

namespace app {

// True for a byte that starts a double-byte GB2312 (code page 936) character.
inline bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// Everything up to and including the last "\" or ":" that is not the second byte of a
// double-byte character; file names are appended to it directly.
std::string DataDirectory(std::string_view executablePath);

// The file name without directory, cut at its first dot, all but its first character in lower case.
std::string ApplicationTitle(std::string_view executablePath);

}  // namespace app
