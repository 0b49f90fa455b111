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
    char* at = file.data();
    tree.ForEachNode([&](const TTreeNode& node, int level) {
        for (int tab = 0; tab < level; ++tab)
            *at++ = '\t';
        const std::string& text = node.Text();
        if (!text.empty())
            std::memcpy(at, text.data(), text.size());
        at += text.size();
        *at++ = '\r';
        *at++ = '\n';
    });
    return file;
}

namespace {

std::size_t FindLineEnd(std::string_view text, std::size_t from) {
    for (std::size_t at = from; at < text.size(); ++at) {
        if (text[at] == '\r' || text[at] == '\n')
            return at;
    }
    return text.size();
}

}  // namespace

void ParseTree(TTreeNodes& tree, std::string_view bytes) {
    const std::string_view text = bytes.substr(0, bytes.find('\0'));

    TTreeNode* previous = nullptr;
    int previousLevel = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = FindLineEnd(text, start);
        std::string_view line = text.substr(start, end - start);

        std::size_t indent = 0;
        while (indent < line.size() && (line[indent] == '\t' || line[indent] == ' '))
            ++indent;
        const int level = static_cast<int>(indent);
        line.remove_prefix(indent);

        if (!previous) {
            previous = tree.InsertLastChild(nullptr, line);
            previousLevel = 0;
        } else if (level == previousLevel + 1) {
            previous = tree.InsertLastChild(previous, line);
            previousLevel = level;
        } else if (level > previousLevel) {
            throw platform::Error(
                "TreeLevelError",
                platform::Format("Invalid level (%d) for item \"%s\"", level, std::string(line)));
        } else {
            // The new node becomes a sibling of the ancestor at its own level.
            TTreeNode* sibling = previous;
            for (int at = previousLevel; at > level; --at)
                sibling = sibling->Parent();
            previous = tree.InsertLastSibling(sibling, line);
            previousLevel = level;
        }

        if (end == text.size())
            break;
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
}

}  // namespace phrases
