// Paths on POSIX systems are the bytes as given.
#include "platform/Path.h"

namespace platform {

Path::Path(std::string_view text) : m_native(text) {}

Path Path::FromNative(NativeString native) {
    Path path;
    path.m_native = std::move(native);
    return path;
}

Path Path::operator+(std::string_view text) const {
    return FromNative(m_native + std::string(text));
}

std::string Path::Text() const { return m_native; }

Path Path::FromUtf8(std::string_view utf8) { return FromNative(std::string(utf8)); }

std::string Path::Utf8() const { return m_native; }

}  // namespace platform
