// Writing and reading the indented text form of a tree.
#include "phrases/TreeFile.h"

#include "phrases/ShortCopy.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"

namespace phrases {

void LoadTree(TTreeNodes& tree, const platform::Path& path) {
    // Read first: when the file cannot be opened the tree stays as it was.
    LoadTreeBytes(tree, platform::ReadFileBytes(path));
}

void LoadTreeBytes(TTreeNodes& tree, platform::FileBytes file) {
    tree.ClearTree();
    tree.m_file = std::move(file);
    tree.m_textsInFile = true;
    try {
        ParseTree(tree, tree.m_file.View());
    } catch (...) {
        tree.m_textsInFile = false;
        throw;
    }
    tree.m_textsInFile = false;
}

void SaveTree(const TTreeNodes& tree, const platform::Path& path) {
    TreeFormatter formatter(tree);
    platform::ReplaceFileSafely(path, [&](char* buffer, std::size_t capacity) {
        return formatter.Fill(buffer, capacity);
    });
}

void ReplaceTree(TTreeNodes& tree, std::string_view treeFile, TreeObserver& observer) {
    tree.ClearTree();
    try {
        ParseTree(tree, treeFile);
    } catch (...) {
        observer.TreeReloaded();
        throw;
    }
    observer.TreeReloaded();
}

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

namespace {

// The node after node in absolute-index order, level following it.
const TTreeNode* Advance(const TTreeNode* node, int& level) {
    if (const TTreeNode* child = node->FirstChild()) {
        ++level;
        return child;
    }
    while (node && !node->NextSibling()) {
        node = node->Parent();
        --level;
    }
    return node ? node->NextSibling() : nullptr;
}

}  // namespace

std::size_t TreeFormatter::Fill(char* buffer, std::size_t capacity) {
    // The walk's state in locals: the stores of the bytes below may alias any member, locals they
    // cannot, so these stay in registers.
    const TTreeNode* node = m_node;
    int nodeLevel = m_level;
    std::size_t lineDone = m_lineDone;
    char* at = buffer;
    char* const end = buffer + capacity;
    while (node) {
        const std::string_view text = node->Text();
        const auto level = static_cast<std::size_t>(nodeLevel);
        const std::size_t length = level + text.size() + 2;
        if (lineDone == 0 && length <= static_cast<std::size_t>(end - at)) {
            for (std::size_t tab = 0; tab < level; ++tab)
                *at++ = '\t';
            CopyShort(at, text.data(), text.size());
            at += text.size();
            *at++ = '\r';
            *at++ = '\n';
        } else {
            // The line goes out byte by byte, as far as the buffer reaches.
            for (; lineDone < length && at != end; ++lineDone) {
                const std::size_t k = lineDone;
                *at++ = k < level                 ? '\t'
                        : k < level + text.size() ? text[k - level]
                        : k == length - 2         ? '\r'
                                                  : '\n';
            }
            if (lineDone < length)
                break;
            lineDone = 0;
        }
        node = Advance(node, nodeLevel);
    }
    m_node = node;
    m_level = nodeLevel;
    m_lineDone = lineDone;
    return static_cast<std::size_t>(at - buffer);
}

namespace detail {

void ThrowInvalidLevel(int level, std::string_view text) {
    throw platform::Error("TreeLevelError", platform::Format("Invalid level (%d) for item \"%s\"",
                                                             level, std::string(text)));
}

}  // namespace detail

namespace {

// Below this, a second thread costs more than it saves.
constexpr std::size_t kSplitBytes = std::size_t{1} << 20;

void AppendLines(TTreeNodes::Appender& appender, std::string_view text) {
    detail::ForEachLine(text, [&](std::string_view line, int level) { appender.Add(line, level); });
}

}  // namespace

std::size_t HalfwaySplit(std::string_view text) {
    if (text.size() < kSplitBytes)
        return 0;
    for (std::size_t at = text.size() / 2; at < text.size(); ++at) {
        const char before = text[at - 1];
        const bool lineStart = before == '\n' || (before == '\r' && text[at] != '\n');
        if (lineStart && text[at] != '\t' && text[at] != ' ')
            return at;
    }
    return 0;
}

void ParseTree(TTreeNodes& tree, std::string_view bytes) {
    const std::string_view text = bytes.substr(0, bytes.find('\0'));
    const std::size_t split = HalfwaySplit(text);
    if (split == 0) {
        TTreeNodes::Appender appender(tree);
        AppendLines(appender, text);
        return;
    }

    // The second half goes into a tree of its own, joined to this one once both are read.
    TTreeNodes second;
    second.m_textsInFile = tree.m_textsInFile;
    const std::exception_ptr secondError = RunBesides(
        [&] {
            TTreeNodes::Appender appender(tree);
            AppendLines(appender, text.substr(0, split));
        },
        [&] {
            TTreeNodes::Appender appender(second);
            AppendLines(appender, text.substr(split));
        });
    // The nodes before an error in the second half are kept, as a reading in one go keeps them.
    tree.AppendRootsOf(second);
    if (secondError)
        std::rethrow_exception(secondError);
}

}  // namespace phrases
