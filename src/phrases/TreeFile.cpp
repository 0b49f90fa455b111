// Writing and reading the indented text form of a tree.
#include "phrases/TreeFile.h"

#include <cstring>

#include "platform/Error.h"

namespace phrases {

std::string FormatTree(const TTreeNodes& tree) {
    std::size_t size = 0;
    tree.ForEachNode([&](const TTreeNode& node, int level) {
        size += static_cast<std::size_t>(level) + node.Text().size() + 2;
    });
    // Sized once and filled through a pointer: three appends per line would cost more than
    // the copying itself.
    std::string file(size, '\0');
    TreeFormatter(tree).Fill(file.data(), size);
    return file;
}

void TreeFormatter::Advance() {
    if (m_node->FirstChild()) {
        m_node = m_node->FirstChild();
        ++m_level;
        return;
    }
    while (m_node && !m_node->NextSibling()) {
        m_node = m_node->Parent();
        --m_level;
    }
    if (m_node)
        m_node = m_node->NextSibling();
}

std::size_t TreeFormatter::Fill(char* buffer, std::size_t capacity) {
    char* at = buffer;
    char* const end = buffer + capacity;
    while (m_node) {
        const std::string_view text = m_node->Text();
        const auto level = static_cast<std::size_t>(m_level);
        const std::size_t length = level + text.size() + 2;
        if (m_lineDone == 0 && length <= static_cast<std::size_t>(end - at)) {
            for (std::size_t tab = 0; tab < level; ++tab)
                *at++ = '\t';
            if (!text.empty())
                std::memcpy(at, text.data(), text.size());
            at += text.size();
            *at++ = '\r';
            *at++ = '\n';
        } else {
            // The line goes out byte by byte, as far as the buffer reaches.
            for (; m_lineDone < length && at != end; ++m_lineDone) {
                const std::size_t k = m_lineDone;
                *at++ = k < level                 ? '\t'
                        : k < level + text.size() ? text[k - level]
                        : k == length - 2         ? '\r'
                                                  : '\n';
            }
            if (m_lineDone < length)
                break;
            m_lineDone = 0;
        }
        Advance();
    }
    return static_cast<std::size_t>(at - buffer);
}

namespace detail {

void ThrowInvalidLevel(int level, std::string_view text) {
    throw platform::Error("TreeLevelError", platform::Format("Invalid level (%d) for item \"%s\"",
                                                             level, std::string(text)));
}

}  // namespace detail

void ParseTree(TTreeNodes& tree, std::string_view bytes) {
    TTreeNode* previous = nullptr;
    int previousLevel = 0;
    ForEachTreeLine(bytes, [&](std::string_view text, int level) {
        if (!previous || level == previousLevel + 1) {
            previous = tree.InsertLastChild(previous, text);
        } else {
            // The new node becomes a sibling of the ancestor at its own level.
            TTreeNode* sibling = previous;
            for (int at = previousLevel; at > level; --at)
                sibling = sibling->Parent();
            previous = tree.InsertLastSibling(sibling, text);
        }
        previousLevel = level;
    });
}

}  // namespace phrases
