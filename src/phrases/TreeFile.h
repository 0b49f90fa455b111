// The phrase tree's text file: one line per node in absolute-index order, the level as leading
// TABs, the text byte for byte, CR LF after every line.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>
#include <thread>

#include "phrases/TreeNodes.h"

namespace phrases {

// The whole file for the tree; an empty tree gives an empty string.
std::string FormatTree(const TTreeNodes& tree);

// The file of FormatTree in pieces, for platform::ReplaceFileSafely: each Fill puts the next bytes
// into buffer, filling it unless the file ends first (a line may be split between two calls), and
// returns how many; 0 once the file has ended. The tree must not change meanwhile.
class TreeFormatter {
public:
    explicit TreeFormatter(const TTreeNodes& tree) : m_node(tree.FirstRoot()) {}
    std::size_t Fill(char* buffer, std::size_t capacity);

private:
    void Advance();

    const TTreeNode* m_node;
    int m_level = 0;
    std::size_t m_lineDone = 0;  // bytes of m_node's line already given out
};

// Appends the nodes read from bytes to the tree. The text ends at the first NUL; CR, LF and
// CR LF end a line (LF CR ends two); leading TABs and SPACEs, in any mix, give a line's level.
// The first line becomes a root whatever its level; each later line may lie at most one level
// deeper than the one before. Throws Error "Invalid level (%d) for item "%s"" for a line that lies
// deeper, keeping the nodes of the lines before it.
void ParseTree(TTreeNodes& tree, std::string_view bytes);

// The reading of ParseTree without a tree: calls line(text, level) for every line of bytes in
// order, level being the depth of the node the line gives (0 for the first line, at most one more
// than the line before). Throws the same "Invalid level" error at the same line, after the calls
// for the lines before it.
template <class Line>
void ForEachTreeLine(std::string_view bytes, Line&& line);

// Where the lines of text (which holds no NUL) may be read in two halves at once: the start of a
// line at level 0 near the middle, or 0 for a text too small to be worth it or without such a
// line. That line is a root however the lines before it lie, so each half read on its own gives
// what the whole would give.
std::size_t HalfwaySplit(std::string_view text);

// Runs second on another thread while first runs on this one. Once both have ended, throws on
// first's exception, or returns second's (null without one).
template <class First, class Second>
std::exception_ptr RunBesides(First&& first, Second&& second) {
    std::exception_ptr secondError;
    std::thread thread([&] {
        try {
            second();
        } catch (...) {
            secondError = std::current_exception();
        }
    });
    try {
        first();
    } catch (...) {
        thread.join();
        throw;
    }
    thread.join();
    return secondError;
}

namespace detail {

[[noreturn]] void ThrowInvalidLevel(int level, std::string_view text);

// The first CR or LF at or after from, or the size of text. Eight bytes a step: a byte is CR or LF
// when XOR with it leaves a zero byte, and the lowest zero byte such a test finds is exact.
inline std::size_t FindLineEnd(std::string_view text, std::size_t from) {
    const char* at = text.data() + from;
    const char* const end = text.data() + text.size();
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kOnes = 0x0101010101010101;
        constexpr std::uint64_t kHighs = 0x8080808080808080;
        for (; end - at >= 8; at += 8) {
            std::uint64_t word;
            std::memcpy(&word, at, sizeof word);
            const std::uint64_t cr = word ^ (kOnes * '\r');
            const std::uint64_t lf = word ^ (kOnes * '\n');
            const std::uint64_t found = (((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHighs;
            if (found)
                return static_cast<std::size_t>(at - text.data()) +
                       static_cast<std::size_t>(std::countr_zero(found) / 8);
        }
    }
    while (at != end && *at != '\r' && *at != '\n')
        ++at;
    return static_cast<std::size_t>(at - text.data());
}

}  // namespace detail

template <class Line>
void ForEachTreeLine(std::string_view bytes, Line&& line) {
    const std::string_view text = bytes.substr(0, bytes.find('\0'));
    bool first = true;
    int previousLevel = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = detail::FindLineEnd(text, start);
        std::size_t indent = start;
        while (indent < end && (text[indent] == '\t' || text[indent] == ' '))
            ++indent;
        int level = static_cast<int>(indent - start);
        const std::string_view content = text.substr(indent, end - indent);
        if (first) {
            level = 0;
            first = false;
        } else if (level > previousLevel + 1) {
            detail::ThrowInvalidLevel(level, content);
        }
        line(content, level);
        previousLevel = level;

        if (end == text.size())
            break;
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
}

}  // namespace phrases
