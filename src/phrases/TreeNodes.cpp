// The phrase tree: sibling lists, depth-first order, the index cache and the node pool.
#include "phrases/TreeNodes.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "phrases/TreeFile.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"

namespace phrases {

namespace {

static_assert(sizeof(void*) == 8, "a node's text keeps its length beside a 48-bit address");
static_assert(sizeof(TTreeNode) <= 40, "a node takes five words");

constexpr std::size_t kFirstChunkSize = 64;
constexpr std::size_t kLargestChunkSize = 16 * 1024;  // the last chunk's unused room stays small
constexpr std::size_t kTextBlockSize = 64 * 1024;
constexpr std::uintptr_t kAddressLimit = std::uintptr_t{1} << 48;

}  // namespace

void ThrowInvalidIndex() { throw platform::Error("ListIndexError", "Invalid index"); }

int TTreeNode::Level() const {
    int level = 0;
    for (const TTreeNode* node = m_parent; node; node = node->m_parent)
        ++level;
    return level;
}

TTreeNode* TTreeNode::LastChild() const {
    return m_firstChild ? m_firstChild->m_previousOrLast : nullptr;
}

TTreeNode* TTreeNode::PreviousSibling() const {
    // For the first sibling m_previousOrLast is the last one, whose m_next is empty; for any other
    // it is the previous sibling, whose m_next is this node.
    return m_previousOrLast->m_next ? m_previousOrLast : nullptr;
}

TTreeNodes::TTreeNodes() = default;
TTreeNodes::~TTreeNodes() = default;

TTreeNode* TTreeNodes::NodeAt(int index) {
    if (index < 0 || index >= m_count)
        ThrowInvalidIndex();

    // Start from whichever known node is nearest: the cached one, the first or the last. A scan
    // 0, 1, 2, ... thus costs one NextNode step per call.
    TTreeNode* node = m_firstRoot;
    int at = 0;
    int distance = index;
    if (m_cacheNode && std::abs(index - m_cacheIndex) < distance) {
        node = m_cacheNode;
        at = m_cacheIndex;
        distance = std::abs(index - m_cacheIndex);
    }
    if (m_count - 1 - index < distance) {
        node = m_firstRoot->m_previousOrLast;
        while (node->m_firstChild)
            node = node->LastChild();
        at = m_count - 1;
    }
    for (; at < index; ++at)
        node = NextNode(node);
    for (; at > index; --at)
        node = PreviousNode(node);

    m_cacheIndex = index;
    m_cacheNode = node;
    return node;
}

int TTreeNodes::AbsoluteIndex(const TTreeNode* node) {
    if (node == m_cacheNode)
        return m_cacheIndex;
    int index = 0;
    for (const TTreeNode* previous = PreviousNode(node); previous;
         previous = PreviousNode(previous))
        ++index;
    return index;
}

TTreeNode* TTreeNodes::NextNode(const TTreeNode* node) {
    if (node->m_firstChild)
        return node->m_firstChild;
    while (node && !node->m_next)
        node = node->m_parent;
    return node ? node->m_next : nullptr;
}

TTreeNode* TTreeNodes::PreviousNode(const TTreeNode* node) {
    TTreeNode* previous = node->PreviousSibling();
    if (!previous)
        return node->m_parent;
    while (previous->m_firstChild)
        previous = previous->LastChild();
    return previous;
}

TTreeNode* TTreeNodes::NewNode(TTreeNode* parent, std::string_view text) {
    TTreeNode* node = m_freeNodes;
    try {
        const std::uintptr_t stored = StoreText(text);
        if (node) {
            m_freeNodes = node->m_next;
        } else {
            if (m_chunkUsed == m_chunkSize) {
                const std::size_t size = m_chunkSize == 0
                                             ? kFirstChunkSize
                                             : std::min(m_chunkSize * 2, kLargestChunkSize);
                m_chunks.reserve(m_chunks.size() + 1);
                m_chunks.push_back(std::make_unique<TTreeNode[]>(size));
                m_chunkSize = size;
                m_chunkUsed = 0;
            }
            node = &m_chunks.back()[m_chunkUsed];
            ++m_chunkUsed;
        }
        node->m_text = stored;
    } catch (const std::bad_alloc&) {
        throw platform::Error("TreeInsertError", "Unable to insert an item");
    }
    node->m_parent = parent;
    node->m_firstChild = nullptr;
    node->m_next = nullptr;
    node->m_previousOrLast = node;
    ++m_count;
    ForgetCache();
    return node;
}

std::uintptr_t TTreeNodes::StoreText(std::string_view text) {
    const std::size_t length = text.size();
    const auto address = reinterpret_cast<std::uintptr_t>(text.data());
    if (length == 0)
        return 0;
    if (m_textsInFile && length < TTreeNode::kLongText && address < kAddressLimit)
        return address | std::uintptr_t{length} << TTreeNode::kLengthShift;

    // Into the arena, a long text behind its length.
    const bool isLong = length >= TTreeNode::kLongText;
    const std::size_t size = length + (isLong ? sizeof length : 0);
    if (size > m_textLeft) {
        const std::size_t blockSize = std::max(size, kTextBlockSize);
        m_textBlocks.reserve(m_textBlocks.size() + 1);
        m_textBlocks.push_back(std::make_unique_for_overwrite<char[]>(blockSize));
        m_textFree = m_textBlocks.back().get();
        m_textLeft = blockSize;
    }
    char* at = m_textFree;
    if (isLong) {
        std::memcpy(at, &length, sizeof length);
        at += sizeof length;
    }
    std::memcpy(at, text.data(), length);
    m_textFree += size;
    m_textLeft -= size;
    const auto stored = reinterpret_cast<std::uintptr_t>(at);
    if (stored >= kAddressLimit)
        throw std::bad_alloc();
    return stored | std::uintptr_t{isLong ? TTreeNode::kLongText : length}
                        << TTreeNode::kLengthShift;
}

void TTreeNodes::FreeNode(TTreeNode* node) {
    node->m_text = 0;
    node->m_parent = nullptr;
    node->m_firstChild = nullptr;
    node->m_previousOrLast = nullptr;
    node->m_next = m_freeNodes;
    m_freeNodes = node;
    --m_count;
}

TTreeNode* TTreeNodes::InsertFirstChild(TTreeNode* parent, std::string_view text) {
    TTreeNode* node = NewNode(parent, text);
    TTreeNode*& first = FirstOf(parent);
    if (first) {
        node->m_previousOrLast = first->m_previousOrLast;
        node->m_next = first;
        first->m_previousOrLast = node;
    }
    first = node;
    return node;
}

TTreeNode* TTreeNodes::InsertLastChild(TTreeNode* parent, std::string_view text) {
    TTreeNode*& first = FirstOf(parent);
    if (!first)
        return InsertFirstChild(parent, text);
    TTreeNode* node = NewNode(parent, text);
    TTreeNode* last = first->m_previousOrLast;
    last->m_next = node;
    node->m_previousOrLast = last;
    first->m_previousOrLast = node;
    return node;
}

TTreeNode* TTreeNodes::InsertFirstSibling(TTreeNode* sibling, std::string_view text) {
    return InsertFirstChild(sibling ? sibling->m_parent : nullptr, text);
}

TTreeNode* TTreeNodes::InsertLastSibling(TTreeNode* sibling, std::string_view text) {
    return InsertLastChild(sibling ? sibling->m_parent : nullptr, text);
}

TTreeNode* TTreeNodes::InsertAfter(TTreeNode* sibling, std::string_view text) {
    // After no node at all means before every root.
    if (!sibling)
        return InsertFirstChild(nullptr, text);
    if (!sibling->m_next)
        return InsertLastChild(sibling->m_parent, text);
    TTreeNode* node = NewNode(sibling->m_parent, text);
    node->m_next = sibling->m_next;
    node->m_previousOrLast = sibling;
    sibling->m_next->m_previousOrLast = node;
    sibling->m_next = node;
    return node;
}

void TTreeNodes::DeleteNode(TTreeNode* node) {
    if (!node)
        return;
    ForgetCache();

    // Unlink the node from its siblings.
    TTreeNode*& first = FirstOf(node->m_parent);
    TTreeNode* previous = node->PreviousSibling();
    TTreeNode* next = node->m_next;
    if (!previous) {
        if (next)
            next->m_previousOrLast = node->m_previousOrLast;
        first = next;
    } else {
        previous->m_next = next;
        if (next)
            next->m_previousOrLast = previous;
        else
            first->m_previousOrLast = previous;
    }
    node->m_next = nullptr;

    // Free the subtree leaves first, climbing back up through the parents; no recursion, so a
    // deep chain cannot exhaust the stack.
    TTreeNode* current = node;
    for (;;) {
        while (current->m_firstChild)
            current = current->m_firstChild;
        if (current == node) {
            FreeNode(current);
            return;
        }
        TTreeNode* following = current->m_next;
        TTreeNode* parent = current->m_parent;
        FreeNode(current);
        if (following) {
            current = following;
        } else {
            parent->m_firstChild = nullptr;
            current = parent;
        }
    }
}

void TTreeNodes::SetNodeText(TTreeNode* node, std::string_view text) {
    try {
        node->m_text = StoreText(text);
    } catch (const std::bad_alloc&) {
        throw platform::Error("TreeInsertError", "Unable to insert an item");
    }
}

void TTreeNodes::ClearTree() {
    ForgetCache();
    m_firstRoot = nullptr;
    m_count = 0;
    m_freeNodes = nullptr;
    m_chunks.clear();
    m_chunkSize = 0;
    m_chunkUsed = 0;
    m_file.reset();
    m_textBlocks.clear();
    m_textFree = nullptr;
    m_textLeft = 0;
}

void TTreeNodes::LoadTree(const platform::Path& path) {
    // Read first: when the file cannot be opened the tree stays as it was.
    auto file = std::make_unique<std::string>(platform::ReadWholeFile(path));
    ClearTree();
    // The nodes' texts stay in the file's bytes, kept with the tree.
    m_file = std::move(file);
    m_textsInFile = true;
    try {
        ParseTree(*this, *m_file);
    } catch (...) {
        m_textsInFile = false;
        throw;
    }
    m_textsInFile = false;
}

void TTreeNodes::SaveTree(const platform::Path& path) const {
    // Formatted block by block, each block written while the next is formatted.
    TreeFormatter formatter(*this);
    platform::ReplaceFileSafely(path, [&](char* buffer, std::size_t capacity) {
        return formatter.Fill(buffer, capacity);
    });
}

}  // namespace phrases
