// The one conversion between the program's GB2312 text and the UTF-16 of the Windows API.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::wstring ToWide(std::string_view gb2312);
// Converts as the system does: a character code page 936 cannot hold becomes "?" or a look-alike.
std::string ToGb2312(std::wstring_view wide);
// The first character of wide that ToGb2312 would not keep as it is, or 0 when it keeps them all.
char32_t FirstUnheldCharacter(std::wstring_view wide);

}  // namespace platform
