// Paths on Windows are UTF-16; the program's GB2312 text joins them through the one conversion.
#include "platform/Path.h"

#include <windows.h>

#include "platform/TextConversion_win.h"

namespace platform {

Path::Path(std::string_view text) : m_native(ToWide(text)) {}

Path Path::FromNative(NativeString native) {
    Path path;
    path.m_native = std::move(native);
    return path;
}

Path Path::operator+(std::string_view text) const { return FromNative(m_native + ToWide(text)); }

std::string Path::Text() const { return ToGb2312(m_native); }

Path Path::FromUtf8(std::string_view utf8) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
    return FromNative(std::move(wide));
}

std::string Path::Utf8() const {
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, m_native.data(), static_cast<int>(m_native.size()), nullptr,
                            0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, m_native.data(), static_cast<int>(m_native.size()), utf8.data(),
                        length, nullptr, nullptr);
    return utf8;
}

}  // namespace platform
