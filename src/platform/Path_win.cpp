// Paths on Windows are UTF-16; the program's GB2312 text joins them through the one conversion.
#include "platform/Path.h"

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

}  // namespace platform
