// The ordered tree of text nodes that holds the user's phrases (and the help window's topics).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Path.h"

namespace phrases {

class TTreeNodes;

// One node: its text (GB2312 bytes), its parent and its place among its siblings.
class TTreeNode {
public:
    // Valid until the node's text is set again or the tree is cleared.
    std::string_view Text() const;
    TTreeNode* Parent() const { return m_parent; }
    int Level() const;
    TTreeNode* FirstChild() const { return m_firstChild; }
    TTreeNode* LastChild() const;
    TTreeNode* NextSibling() const { return m_next; }
    TTreeNode* PreviousSibling() const;
    bool HasChildren() const { return m_firstChild != nullptr; }

private:
    friend class TTreeNodes;

    // Where the text lies (in the loaded file's bytes, or in the tree's text arena) in the low 48
    // bits, its length in the high 16; a text of kLongText bytes or more keeps its length in the
    // 8 bytes before it (in the arena), the high bits then all set. So a node takes 40 bytes.
    static constexpr unsigned kLengthShift = 48;
    static constexpr std::size_t kLongText = 0xFFFF;
    std::uintptr_t m_text = 0;
    TTreeNode* m_parent = nullptr;
    TTreeNode* m_firstChild = nullptr;
    TTreeNode* m_next = nullptr;
    // The previous sibling; for a first child (or the first root) the last sibling instead, so
    // that the last child is found in one step without a field of its own.
    TTreeNode* m_previousOrLast = nullptr;
};

// Throws the one error of an index or a place that names no node: Error "Invalid index" of kind
// "ListIndexError".
[[noreturn]] void ThrowInvalidIndex();

// The tree: ordered root nodes, each with ordered children. Absolute indices number the nodes in
// depth-first pre-order; the last NodeAt lookup is remembered so that a scan 0, 1, 2, ... costs
// one step per node. Every insertion and deletion forgets it; SetNodeText keeps it.
class TTreeNodes {
public:
    TTreeNodes();
    ~TTreeNodes();
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;

    int NodeCount() const { return m_count; }
    TTreeNode* FirstRoot() const { return m_firstRoot; }

    // Throws Error "Invalid index" when index is negative or not below NodeCount.
    TTreeNode* NodeAt(int index);
    int AbsoluteIndex(const TTreeNode* node);
    static TTreeNode* NextNode(const TTreeNode* node);
    static TTreeNode* PreviousNode(const TTreeNode* node);

    // parent or sibling may be null (the root level). Each returns the new node.
    TTreeNode* InsertFirstChild(TTreeNode* parent, std::string_view text);
    TTreeNode* InsertLastChild(TTreeNode* parent, std::string_view text);
    TTreeNode* InsertFirstSibling(TTreeNode* sibling, std::string_view text);
    TTreeNode* InsertLastSibling(TTreeNode* sibling, std::string_view text);
    // Inserts text directly after sibling, under the same parent; with none, as the first root.
    TTreeNode* InsertAfter(TTreeNode* sibling, std::string_view text);

    void DeleteNode(TTreeNode* node);
    void SetNodeText(TTreeNode* node, std::string_view text);
    void ClearTree();

    // The indented text file; see TreeFile.h for the format.
    // Throws "Cannot open file %s" or "Invalid level (%d) for item "%s"".
    void LoadTree(const platform::Path& path);
    // Throws "Cannot create file %s" or "Cannot write file %s"; the old file then stays as it was.
    void SaveTree(const platform::Path& path) const;

    // Calls visit(node, level) for every node in absolute-index order. The level is tracked on the
    // way, so the walk stays linear however deep the tree is.
    template <class Visit>
    void ForEachNode(Visit&& visit) const;

private:
    // The first root, or the first child of parent: the head of the sibling list a node joins.
    TTreeNode*& FirstOf(TTreeNode* parent) { return parent ? parent->m_firstChild : m_firstRoot; }
    TTreeNode* NewNode(TTreeNode* parent, std::string_view text);
    // The node's m_text for text: text itself when it lies in the loaded file and is short,
    // otherwise a copy in the arena.
    std::uintptr_t StoreText(std::string_view text);
    void FreeNode(TTreeNode* node);
    void ForgetCache() { m_cacheNode = nullptr; }

    TTreeNode* m_firstRoot = nullptr;
    int m_count = 0;
    int m_cacheIndex = 0;
    TTreeNode* m_cacheNode = nullptr;

    // Nodes live in chunks that grow geometrically; freed nodes wait on a list linked through
    // m_next, so a million nodes cost a few hundred allocations instead of a million.
    std::vector<std::unique_ptr<TTreeNode[]>> m_chunks;
    std::size_t m_chunkSize = 0;
    std::size_t m_chunkUsed = 0;
    TTreeNode* m_freeNodes = nullptr;

    // The texts: the loaded file's bytes, whose lines the nodes point into (texts are not copied
    // while LoadTree builds the tree), and the arena, blocks that keep every other text given to
    // the tree. A replaced text stays in its block until the tree is cleared.
    std::unique_ptr<std::string> m_file;
    bool m_textsInFile = false;
    std::vector<std::unique_ptr<char[]>> m_textBlocks;
    char* m_textFree = nullptr;
    std::size_t m_textLeft = 0;
};

inline std::string_view TTreeNode::Text() const {
    const auto* data =
        reinterpret_cast<const char*>(m_text & ((std::uintptr_t{1} << kLengthShift) - 1));
    std::size_t length = m_text >> kLengthShift;
    if (length == kLongText)
        std::memcpy(&length, data - sizeof length, sizeof length);
    return {data, length};
}

template <class Visit>
void TTreeNodes::ForEachNode(Visit&& visit) const {
    const TTreeNode* node = m_firstRoot;
    int level = 0;
    while (node) {
        visit(*node, level);
        if (node->m_firstChild) {
            node = node->m_firstChild;
            ++level;
            continue;
        }
        while (node && !node->m_next) {
            node = node->m_parent;
            --level;
        }
        if (node)
            node = node->m_next;
    }
}

}  // namespace phrases
