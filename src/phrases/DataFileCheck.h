// What about the data files needs the user's attention before the program works on them: a phrase
// file that another program saved as UTF-8 or UTF-16, bytes that follow a NUL and so are not part
// of the tree, a character table that ends before its count. Read as usual, each would quietly
// lose or mangle what the user wrote.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace phrases {

enum class TreeFileForm {
    Gb2312,  // as the program writes it
    Utf8,    // a UTF-8 byte-order mark, or valid UTF-8 with a multi-byte sequence that is no GB2312
    Utf16,   // a UTF-16 byte-order mark (Notepad's "Unicode")
};

struct TreeFileCheck {
    TreeFileForm form = TreeFileForm::Gb2312;
    // A GB2312 file with a NUL byte that anything other than NUL bytes follows: the offset of the
    // first NUL and the number of bytes after it. The tree ends at that NUL.
    std::optional<std::size_t> strayNul;
    std::size_t bytesAfterNul = 0;

    bool NeedsConversion() const { return form != TreeFileForm::Gb2312; }
};

// Looks at the bytes of srf_pub.dat: first for another encoding (by the rule of TreeFileForm),
// then for bytes after a NUL. Stops at the first byte that settles the encoding, so a GB2312 file
// costs little more than a search for NUL.
TreeFileCheck CheckTreeFile(std::string_view bytes);

// True when every byte of 0x80 or more is half of a GB2312 double-byte character.
bool IsValidGb2312(std::string_view bytes);

// A UTF-8 or UTF-16 phrase file as GB2312. Each character that GB2312 lacks is left out of its
// line and listed with the line's number (from 1) and the line's text as UTF-8.
struct ConvertedTreeFile {
    struct Dropped {
        int line = 0;
        std::string lineUtf8;
        char32_t character = 0;
    };
    std::string bytes;
    std::vector<Dropped> dropped;
};
ConvertedTreeFile ConvertTreeFile(std::string_view bytes);

}  // namespace phrases
