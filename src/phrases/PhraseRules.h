// The rules every text stored in the phrase tree follows, shared by the editor's commands and the
// import: blanks trimmed, at most 64 bytes, and no byte that would break the one-node-per-line
// file.
#pragma once

#include <cstddef>
#include <string_view>

namespace phrases {

// The longest text a node may hold, in bytes: 32 Chinese characters.
inline constexpr std::size_t kMaxTextBytes = 64;

// The text without its leading and trailing bytes of value 0x20 or less.
std::string_view TrimText(std::string_view text);
// True when the text holds a byte that would break the one-node-per-line file (CR, LF, NUL).
bool HasLineBreakingByte(std::string_view text);

}  // namespace phrases
