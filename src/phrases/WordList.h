// The words a dictionary reader collects, one a line, with the file line each came from; shared
// by the readers of ImportSource.cpp, TextDictionaries.cpp and BinaryDictionaries.cpp.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "phrases/TextEncoding.h"

namespace phrases::detail {

class WordList {
public:
    // Appends bytes [begin, end) of a converted text as one word, keeping the characters GB2312
    // cannot hold with their marks.
    void Add(const Gb2312Text& text, std::size_t begin, std::size_t end, int line);
    // Appends a word of UTF-16 LE units. A line end or NUL inside it stands as a character GB2312
    // cannot hold, so that the word stays one line.
    void AddUtf16(std::string_view utf16le, int entry);

    Gb2312Text text;
    std::vector<int> lines;
};

// Calls visit(begin, end, number) for each line of the converted text as the import splits it:
// up to the first NUL; CR, LF and CR LF end a line; numbers from 1.
void ForEachLine(std::string_view bytes,
                 const std::function<void(std::size_t, std::size_t, int)>& visit);

// The line without blanks and control bytes at its ends.
std::string_view TrimLine(std::string_view line);

}  // namespace phrases::detail
