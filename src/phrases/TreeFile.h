// The phrase tree's text file: one line per node in absolute-index order, the level as leading
// TABs, the text byte for byte, CR LF after every line.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>
#include <thread>

#include "phrases/TreeNodes.h"
#include "phrases/TreeObserver.h"
#include "platform/FileBlocks.h"
#include "platform/Path.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace phrases {

// Replaces the tree by the file's nodes. Throws "Cannot open file %s" (the tree then stays as it
// was) or "Invalid level (%d) for item "%s"" (the nodes before that line stay).
void LoadTree(TTreeNodes& tree, const platform::Path& path);
// The same from the file's bytes already read, which the tree keeps: the nodes' texts point into
// them rather than being copied.
void LoadTreeBytes(TTreeNodes& tree, platform::FileBytes file);
// Writes the file by safe replacement, formatted block by block while the blocks before are
// written. Throws "Cannot create file %s" or "Cannot write file %s"; the old file then stays.
void SaveTree(const TTreeNodes& tree, const platform::Path& path);
// Replaces the tree by the nodes of a tree file's bytes and tells the observer, also when the
// bytes are malformed and the reading throws part way.
void ReplaceTree(TTreeNodes& tree, std::string_view treeFile, TreeObserver& observer);

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

// The CR and LF bytes of a text as the bits of a mask, 64 bytes at a time (16 a step with SSE2),
// so that finding a line's end costs a count of trailing zeros, not a loop of its own whose end
// the processor cannot foresee.
class LineBreaks {
public:
    explicit LineBreaks(std::string_view text) : m_text(text) {}

    // The first CR or LF at or after from, or the size of the text; from never goes back.
    std::size_t Next(std::size_t from) {
        if (from >= m_text.size())
            return m_text.size();
        if (from - m_base >= kBlock)
            Load(from & ~(kBlock - 1));
        std::uint64_t mask = m_mask & (~std::uint64_t{0} << (from - m_base));
        while (mask == 0) {
            if (m_base + kBlock >= m_text.size())
                return m_text.size();
            Load(m_base + kBlock);
            mask = m_mask;
        }
        return m_base + static_cast<std::size_t>(std::countr_zero(mask));
    }

private:
    static constexpr std::size_t kBlock = 64;

    void Load(std::size_t base) {
        m_base = base;
        m_mask = 0;
        const char* const at = m_text.data() + base;
        if (base + kBlock <= m_text.size()) {
#if defined(__SSE2__)
            const __m128i cr = _mm_set1_epi8('\r');
            const __m128i lf = _mm_set1_epi8('\n');
            for (std::size_t k = 0; k < kBlock; k += 16) {
                const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + k));
                const auto bits = static_cast<unsigned>(_mm_movemask_epi8(
                    _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf))));
                m_mask |= std::uint64_t{bits} << k;
            }
            return;
#endif
        }
        const std::size_t count = std::min(kBlock, m_text.size() - base);
        for (std::size_t k = 0; k < count; ++k)
            if (at[k] == '\r' || at[k] == '\n')
                m_mask |= std::uint64_t{1} << k;
    }

    std::string_view m_text;
    // The block of text from m_base on and its breaks; none loaded at first (m_base is then far
    // from every offset).
    std::size_t m_base = ~std::size_t{0} - kBlock;
    std::uint64_t m_mask = 0;
};

// ForEachTreeLine over a text known to hold no NUL.
template <class Line>
void ForEachLine(std::string_view text, Line&& line) {
    LineBreaks breaks(text);
    bool first = true;
    int previousLevel = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = breaks.Next(start);
        std::size_t indent = start;
        while (indent < end && (text[indent] == '\t' || text[indent] == ' '))
            ++indent;
        int level = static_cast<int>(indent - start);
        const std::string_view content = text.substr(indent, end - indent);
        if (first) {
            level = 0;
            first = false;
        } else if (level > previousLevel + 1) {
            ThrowInvalidLevel(level, content);
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

}  // namespace detail

template <class Line>
void ForEachTreeLine(std::string_view bytes, Line&& line) {
    detail::ForEachLine(bytes.substr(0, bytes.find('\0')), line);
}

}  // namespace phrases
