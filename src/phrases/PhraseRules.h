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

// Why a text cannot be stored in the tree as it stands, the first reason in this order.
enum class TextFault {
    None,       // it can be stored
    Empty,      // nothing but blanks
    Untrimmed,  // TrimText would change it: a leading blank would read back one level deeper
    LineBreak,  // CR, LF or NUL inside
    TooLong,    // more than kMaxTextBytes
    NotGb2312,  // a byte that starts no GB2312 character (GBK codes, kUnheldMark, a lone lead)
};

// The one check of a text that comes from elsewhere (another computer, a command) before it is
// stored as it stands.
TextFault CheckStoredText(std::string_view text);

}  // namespace phrases
