// A file or directory name as the system takes it: UTF-16 on Windows, so that a folder whose name
// code page 936 cannot hold (Korean, Thai, emoji) is reached all the same; bytes elsewhere.
#pragma once

#include <string>
#include <string_view>

namespace platform {

class Path {
public:
#ifdef _WIN32
    using NativeString = std::wstring;
#else
    using NativeString = std::string;
#endif

    Path() = default;
    // A name given as the program's text (GB2312 on Windows, which UTF-16 holds without loss).
    Path(std::string_view text);
    Path(const std::string& text) : Path(std::string_view(text)) {}
    Path(const char* text) : Path(std::string_view(text)) {}
    // A name as the system reported it.
    static Path FromNative(NativeString native);
    // A name kept as UTF-8 (a setting, a command-line argument), whatever code page the system
    // uses; and the name as UTF-8.
    static Path FromUtf8(std::string_view utf8);
    std::string Utf8() const;

    const NativeString& Native() const { return m_native; }
    bool Empty() const { return m_native.empty(); }

    // The path with the text appended directly: a directory ends with its separator.
    Path operator+(std::string_view text) const;
    // The path as the program's text, for messages: on Windows a character that GB2312 cannot
    // hold reads "?" (a box shows the real name, see Error::NamedPath).
    std::string Text() const;

    bool operator==(const Path&) const = default;

private:
    NativeString m_native;
};

}  // namespace platform
