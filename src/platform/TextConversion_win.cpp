#include "platform/TextConversion_win.h"

#include <windows.h>

#include "platform/Error.h"

namespace platform {

namespace {
constexpr UINT kGbCodePage = 936;
}

std::wstring ToWide(std::string_view gb2312) {
    if (gb2312.empty())
        return {};
    const int size = static_cast<int>(gb2312.size());
    const int length = MultiByteToWideChar(kGbCodePage, 0, gb2312.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(kGbCodePage, 0, gb2312.data(), size, wide.data(), length);
    return wide;
}

std::string ToGb2312(std::wstring_view wide) {
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(kGbCodePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(kGbCodePage, 0, wide.data(), size, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

std::wstring ToWideMessage(std::string_view text, const std::exception& error) {
    const auto* ours = dynamic_cast<const Error*>(&error);
    if (!ours || !ours->NamedPath())
        return ToWide(text);
    const Error::NamedFile& file = *ours->NamedPath();
    const std::size_t message = text.find(error.what());
    if (message == std::string_view::npos)
        return ToWide(text);
    const std::size_t at = message + file.at;
    return ToWide(text.substr(0, at)) + file.path.Native() + ToWide(text.substr(at + file.length));
}

char32_t FirstUnheldCharacter(std::wstring_view wide) {
    if (ToWide(ToGb2312(wide)) == wide)
        return 0;
    for (std::size_t at = 0; at < wide.size();) {
        std::size_t length = 1;
        char32_t character = wide[at];
        if (IS_HIGH_SURROGATE(wide[at]) && at + 1 < wide.size() && IS_LOW_SURROGATE(wide[at + 1])) {
            length = 2;
            character = 0x10000 + ((character - 0xD800) << 10) + (wide[at + 1] - 0xDC00);
        }
        const std::wstring_view one = wide.substr(at, length);
        if (ToWide(ToGb2312(one)) != one)
            return character;
        at += length;
    }
    return 0;
}

}  // namespace platform
