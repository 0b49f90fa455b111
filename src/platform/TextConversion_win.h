// The one conversion between the program's GB2312 text and the UTF-16 of the Windows API.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::wstring ToWide(std::string_view gb2312);
std::string ToGb2312(std::wstring_view wide);

}  // namespace platform
