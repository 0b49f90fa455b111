// The ordered tree of text nodes that holds the user's phrases (and the help window's topics).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "platform/LargeBlock.h"

namespace phrases {

class TTreeNodes;

// One node: its text (GB2312 bytes), its parent and its place among its siblings.
class TTreeNode {
public:
    // Valid until the node's text is set again or the tree is cleared.
    std::string_view Text() const;
    TTreeNode* Parent() const { return Address(m_parent); }
    int Level() const;
    TTreeNode* FirstChild() const { return Address(m_firstChild); }
    TTreeNode* LastChild() const;
    TTreeNode* NextSibling() const { return Address(m_next); }
    TTreeNode* PreviousSibling() const;
    bool HasChildren() const { return Address(m_firstChild) != nullptr; }

private:
    friend class TTreeNodes;

    // A node takes four 64-bit words, in a 64-bit build and a 32-bit one alike. Addresses take
    // 48 bits (a 32-bit one the low 32 of them); the high 16 bits of the text's word hold its
    // length, and those of the three links each hold a third of a fifth link: the previous
    // sibling, or for a first child (or the first root) the last sibling instead, so that the
    // last child is found in one step. A text of kLongText bytes or more keeps its length in the
    // std::size_t before it (in the arena), the high bits then all set.
    static constexpr unsigned kHighShift = 48;
    static constexpr std::uint64_t kAddressBits = (std::uint64_t{1} << kHighShift) - 1;
    static constexpr std::size_t kLongText = 0xFFFF;

    // Through std::uintptr_t: a 32-bit pointer cast straight to a 64-bit integer is sign-extended
    // by GCC, which would fill the high bits of an address above 2 GB.
    static std::uint64_t Word(const void* address) {
        return reinterpret_cast<std::uintptr_t>(address);
    }
    static TTreeNode* Address(std::uint64_t word) {
        return reinterpret_cast<TTreeNode*>(static_cast<std::uintptr_t>(word & kAddressBits));
    }
    static void SetAddress(std::uint64_t& word, const TTreeNode* node) {
        word = (word & ~kAddressBits) | Word(node);
    }
    TTreeNode* PreviousOrLast() const {
        return Address(m_parent >> kHighShift | m_firstChild >> kHighShift << 16 |
                       m_next >> kHighShift << 32);
    }
    void SetPreviousOrLast(const TTreeNode* node) {
        const std::uint64_t address = Word(node);
        m_parent = (m_parent & kAddressBits) | address << kHighShift;
        m_firstChild = (m_firstChild & kAddressBits) | (address >> 16) << kHighShift;
        m_next = (m_next & kAddressBits) | (address >> 32) << kHighShift;
    }
    // All five links at once, for a node that is being made.
    void Link(const TTreeNode* parent, const TTreeNode* firstChild, const TTreeNode* next,
              const TTreeNode* previousOrLast) {
        const std::uint64_t links = Word(previousOrLast);
        m_parent = Word(parent) | links << kHighShift;
        m_firstChild = Word(firstChild) | (links >> 16) << kHighShift;
        m_next = Word(next) | (links >> 32) << kHighShift;
    }

    // No initializers: a block of nodes is not cleared before its nodes are made.
    std::uint64_t m_text;
    std::uint64_t m_parent;
    std::uint64_t m_firstChild;
    std::uint64_t m_next;
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

    // Appends nodes in absolute-index order, each given its level: 0 for a root (after the roots
    // there are), at most one more than the level of the node appended before. Cheaper than one
    // insertion per node: each sibling list's link to its last node is set once, when the
    // appender is destroyed, also by an exception, which keeps the nodes appended so far. The
    // tree must not be used otherwise meanwhile.
    class Appender {
    public:
        explicit Appender(TTreeNodes& tree);
        ~Appender();
        Appender(const Appender&) = delete;
        Appender& operator=(const Appender&) = delete;

        void Add(std::string_view text, int level);

    private:
        // Through the tree, for what the room below does not cover.
        TTreeNode* MakeNodeSlowly(std::string_view text);
        // Takes the room left in the tree's chunk being filled; gives back what is left of it.
        void TakeRoom();
        void GiveBackRoom();
        // node as the first child of the node appended before, or as the first root.
        void StartList(TTreeNode* node, int level);

        TTreeNodes& m_tree;
        const bool m_textsInFile;
        // Nodes of a text in the file come from this room, held as pointers (which the compiler
        // may keep in registers while it writes nodes) and counted in m_added.
        TTreeNode* m_room = nullptr;
        TTreeNode* m_roomEnd = nullptr;
        int m_added = 0;
        // For each level down to m_level: the first and the last node of the sibling list that
        // the next node of that level joins.
        std::vector<TTreeNode*> m_first;
        std::vector<TTreeNode*> m_last;
        int m_level = -1;
    };

    // Moves node, with everything beneath it, to the place after `after` among the children of
    // newParent (null: the roots); with `after` null, to their front. The nodes stay the same
    // nodes: nothing is copied. Throws Error "Invalid index" for a place inside the node itself
    // or an `after` that is not a child of newParent.
    void MoveNode(TTreeNode* node, TTreeNode* newParent, TTreeNode* after);
    void DeleteNode(TTreeNode* node);
    void SetNodeText(TTreeNode* node, std::string_view text);
    void ClearTree();

    // Calls visit(node, level) for every node in absolute-index order. The level is tracked on the
    // way, so the walk stays linear however deep the tree is.
    template <class Visit>
    void ForEachNode(Visit&& visit) const;

private:
    // Reads large files on two threads, each into a tree of its own, then joins the two.
    friend void ParseTree(TTreeNodes& tree, std::string_view bytes);
    // Keeps the file's bytes, into which the nodes' texts then point.
    friend void LoadTreeBytes(TTreeNodes& tree, platform::FileBytes file);

    // Takes the node out of its sibling list; its subtree stays with it.
    void Unlink(TTreeNode* node);

    // Moves the nodes and texts of other to this tree, its roots after the roots here; other is
    // left empty.
    void AppendRootsOf(TTreeNodes& other);
    // The first root, or the first child of parent: the head of the sibling list a node joins.
    TTreeNode* FirstOf(const TTreeNode* parent) const {
        return parent ? parent->FirstChild() : m_firstRoot;
    }
    void SetFirstOf(TTreeNode* parent, TTreeNode* first) {
        if (parent)
            TTreeNode::SetAddress(parent->m_firstChild, first);
        else
            m_firstRoot = first;
    }
    // A node with the text and no links yet, counted in NodeCount.
    TTreeNode* MakeNode(std::string_view text);
    TTreeNode* NewNode(TTreeNode* parent, std::string_view text);
    // The node's m_text for text: text itself when it lies in the loaded file and is short,
    // otherwise a copy in the arena.
    std::uint64_t StoreText(std::string_view text);
    void FreeNode(TTreeNode* node);
    void ForgetCache() { m_cacheNode = nullptr; }

    TTreeNode* m_firstRoot = nullptr;
    int m_count = 0;
    int m_cacheIndex = 0;
    TTreeNode* m_cacheNode = nullptr;

    // Nodes live in chunks that grow geometrically; freed nodes wait on a list linked through
    // their next-sibling link, so a million nodes cost a few hundred allocations, not a million.
    std::vector<platform::LargeBlock> m_chunks;
    std::size_t m_chunkSize = 0;
    std::size_t m_chunkUsed = 0;
    TTreeNode* m_freeNodes = nullptr;

    // The texts: the loaded file's bytes, whose lines the nodes point into (texts are not copied
    // while LoadTree builds the tree), and the arena, blocks that keep every other text given to
    // the tree. A replaced text stays in its block until the tree is cleared.
    platform::FileBytes m_file;
    bool m_textsInFile = false;
    std::vector<std::unique_ptr<char[]>> m_textBlocks;
    char* m_textFree = nullptr;
    std::size_t m_textLeft = 0;
};

inline void TTreeNodes::Appender::Add(std::string_view text, int level) {
    const std::uint64_t address = TTreeNode::Word(text.data());
    TTreeNode* node;
    if (m_room != m_roomEnd && m_textsInFile && text.size() < TTreeNode::kLongText &&
        address <= TTreeNode::kAddressBits) {
        node = ::new (m_room++) TTreeNode;
        node->m_text = address | std::uint64_t{text.size()} << TTreeNode::kHighShift;
        ++m_added;
    } else {
        node = MakeNodeSlowly(text);
    }
    // The lists below the new node's level are complete.
    for (; m_level > level; --m_level)
        m_first[m_level]->SetPreviousOrLast(m_last[m_level]);
    if (m_level < level) {
        StartList(node, level);
    } else {
        TTreeNode* previous = m_last[level];
        node->Link(previous->Parent(), nullptr, nullptr, previous);
        TTreeNode::SetAddress(previous->m_next, node);
        m_last[level] = node;
    }
}

inline std::string_view TTreeNode::Text() const {
    const auto* data =
        reinterpret_cast<const char*>(static_cast<std::uintptr_t>(m_text & kAddressBits));
    std::size_t length = m_text >> kHighShift;
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
        if (const TTreeNode* child = node->FirstChild()) {
            node = child;
            ++level;
            continue;
        }
        while (node && !node->NextSibling()) {
            node = node->Parent();
            --level;
        }
        if (node)
            node = node->NextSibling();
    }
}

}  // namespace phrases
