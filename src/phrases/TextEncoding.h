// Text coming into and going out of the program: recognising a file's encoding and converting
// between Unicode forms and the GB2312 bytes the phrase files hold, with no system call.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace phrases {

enum class TextEncoding { Utf8WithBom, Utf16LE, Utf16BE, Utf8, Gb2312 };

// By the byte-order mark (UTF-8, UTF-16 little or big endian); without one, UTF-8 when the
// bytes are valid UTF-8 (plain ASCII included), otherwise GB2312.
TextEncoding DetectEncoding(std::string_view bytes);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// Stands in converted text for one character that GB2312 cannot hold. The byte never occurs in
// GB2312 text, nor is it a line end, a NUL or indentation, so lines and levels stay as they were.
inline constexpr char kUnheldMark = '\xFF';

struct UnheldCharacter {
    std::size_t offset = 0;  // where its kUnheldMark stands in the converted bytes
    char32_t character = 0;  // U+FFFD when the input was no character at all
};

struct Gb2312Text {
    std::string bytes;  // ASCII, GB2312 double-byte characters and kUnheldMark
    TextEncoding encoding = TextEncoding::Gb2312;
    std::vector<UnheldCharacter> unheld;  // in order of offset

    // The first character GB2312 cannot hold within bytes [begin, end), or 0.
    char32_t FirstUnheldIn(std::size_t begin, std::size_t end) const;
};

// A whole file's bytes: the encoding detected, its byte-order mark dropped, the text converted.
// GB2312 input is kept byte for byte except codes outside GB2312 (such as the GBK extension),
// which are marked like any other character GB2312 cannot hold.
Gb2312Text DecodeToGb2312(std::string_view fileBytes);
// The same for bytes known to be in the given encoding, without a byte-order mark.
Gb2312Text ConvertToGb2312(std::string_view bytes, TextEncoding encoding);

// The bytes [begin, end) of converted text as UTF-8, each character GB2312 could not hold shown as
// itself rather than as its stand-in: for telling the user which text was refused.
std::string Utf8Of(const Gb2312Text& text, std::size_t begin, std::size_t end);

// GB2312 text as UTF-8. Codes of code page 936 beyond GB2312 are converted as Windows reads
// them; bytes that are no character (kUnheldMark among them) become U+FFFD.
std::string Gb2312ToUtf8(std::string_view gb2312);

// One character as UTF-8.
std::string CharacterToUtf8(char32_t character);

// The Unicode character of a double-byte code of code page 936, or 0 when it has none.
char32_t DoubleByteCharacter(unsigned char lead, unsigned char trail);
// True when GB2312 itself holds the double-byte code.
bool InGb2312(unsigned char lead, unsigned char trail);

}  // namespace phrases
