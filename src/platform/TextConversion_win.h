// The one conversion between the program's GB2312 text and the UTF-16 of the Windows API.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace platform {

std::wstring ToWide(std::string_view gb2312);
// Converts as the system does: a character code page 936 cannot hold becomes "?" or a look-alike.
std::string ToGb2312(std::wstring_view wide);
// The first character of wide that ToGb2312 would not keep as it is, or 0 when it keeps them all.
char32_t FirstUnheldCharacter(std::wstring_view wide);

// A box's text that quotes the message of error: converted as ToWide does, except that the file
// the message names (Error::NamedPath) appears as the system names it, so that a name code page
// 936 cannot hold is shown whole instead of as "?".
std::wstring ToWideMessage(std::string_view text, const std::exception& error);

}  // namespace platform
