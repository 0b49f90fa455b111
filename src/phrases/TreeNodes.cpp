// The phrase tree: sibling lists, depth-first order, the index cache and the node pool.
#include "phrases/TreeNodes.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <type_traits>

#include "platform/Error.h"

namespace phrases {

namespace {

static_assert(sizeof(void*) == 8 || sizeof(void*) == 4, "an address fits the 48 bits of a link");
static_assert(sizeof(TTreeNode) == 32, "a node takes four words");
static_assert(std::is_trivially_default_constructible_v<TTreeNode>, "blocks are not cleared");

constexpr std::size_t kFirstChunkSize = 64;
// Large enough to fill a large page; the last chunk's unused room stays small beside the rest.
constexpr std::size_t kLargestChunkSize = platform::kLargePageSize / sizeof(TTreeNode);
constexpr std::size_t kTextBlockSize = 64 * 1024;
constexpr std::uint64_t kAddressLimit = std::uint64_t{1} << 48;

}  // namespace

void ThrowInvalidIndex() { throw platform::Error("ListIndexError", "Invalid index"); }

int TTreeNode::Level() const {
    int level = 0;
    for (const TTreeNode* node = Parent(); node; node = node->Parent())
        ++level;
    return level;
}

TTreeNode* TTreeNode::LastChild() const {
    const TTreeNode* first = FirstChild();
    return first ? first->PreviousOrLast() : nullptr;
}

TTreeNode* TTreeNode::PreviousSibling() const {
    // For the first sibling PreviousOrLast is the last one, whose next sibling is none; for any
    // other it is the previous sibling, whose next sibling is this node.
    TTreeNode* previous = PreviousOrLast();
    return previous->NextSibling() ? previous : nullptr;
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
        node = m_firstRoot->PreviousOrLast();
        while (node->HasChildren())
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
    if (TTreeNode* child = node->FirstChild())
        return child;
    while (node && !node->NextSibling())
        node = node->Parent();
    return node ? node->NextSibling() : nullptr;
}

TTreeNode* TTreeNodes::PreviousNode(const TTreeNode* node) {
    TTreeNode* previous = node->PreviousSibling();
    if (!previous)
        return node->Parent();
    while (previous->HasChildren())
        previous = previous->LastChild();
    return previous;
}

TTreeNode* TTreeNodes::MakeNode(std::string_view text) {
    TTreeNode* node = m_freeNodes;
    try {
        const std::uint64_t stored = StoreText(text);
        if (node) {
            m_freeNodes = node->NextSibling();
        } else {
            if (m_chunkUsed == m_chunkSize) {
                const std::size_t size = m_chunkSize == 0
                                             ? kFirstChunkSize
                                             : std::min(m_chunkSize * 2, kLargestChunkSize);
                m_chunks.reserve(m_chunks.size() + 1);
                platform::LargeBlock chunk(size * sizeof(TTreeNode));
                if (reinterpret_cast<std::uintptr_t>(chunk.Data() + chunk.Capacity()) >
                    kAddressLimit)
                    throw std::bad_alloc();
                m_chunks.push_back(std::move(chunk));
                m_chunkSize = size;
                m_chunkUsed = 0;
            }
            // Made without clearing: every field is set below or by the caller.
            node = ::new (m_chunks.back().Data() + m_chunkUsed * sizeof(TTreeNode)) TTreeNode;
            ++m_chunkUsed;
        }
        node->m_text = stored;
    } catch (const std::bad_alloc&) {
        throw platform::Error("TreeInsertError", "Unable to insert an item");
    }
    ++m_count;
    ForgetCache();
    return node;
}

TTreeNode* TTreeNodes::NewNode(TTreeNode* parent, std::string_view text) {
    TTreeNode* node = MakeNode(text);
    node->Link(parent, nullptr, nullptr, node);
    return node;
}

std::uint64_t TTreeNodes::StoreText(std::string_view text) {
    const std::size_t length = text.size();
    const std::uint64_t address = TTreeNode::Word(text.data());
    if (length == 0)
        return 0;
    if (m_textsInFile && length < TTreeNode::kLongText && address < kAddressLimit)
        return address | std::uint64_t{length} << TTreeNode::kHighShift;

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
    const std::uint64_t stored = TTreeNode::Word(at);
    if (stored >= kAddressLimit)
        throw std::bad_alloc();
    return stored | std::uint64_t{isLong ? TTreeNode::kLongText : length} << TTreeNode::kHighShift;
}

void TTreeNodes::FreeNode(TTreeNode* node) {
    node->m_text = 0;
    node->Link(nullptr, nullptr, m_freeNodes, nullptr);
    m_freeNodes = node;
    --m_count;
}

TTreeNode* TTreeNodes::InsertFirstChild(TTreeNode* parent, std::string_view text) {
    TTreeNode* node = NewNode(parent, text);
    if (TTreeNode* first = FirstOf(parent)) {
        node->Link(parent, nullptr, first, first->PreviousOrLast());
        first->SetPreviousOrLast(node);
    }
    SetFirstOf(parent, node);
    return node;
}

TTreeNode* TTreeNodes::InsertLastChild(TTreeNode* parent, std::string_view text) {
    TTreeNode* first = FirstOf(parent);
    if (!first)
        return InsertFirstChild(parent, text);
    TTreeNode* node = MakeNode(text);
    TTreeNode* last = first->PreviousOrLast();
    node->Link(parent, nullptr, nullptr, last);
    TTreeNode::SetAddress(last->m_next, node);
    first->SetPreviousOrLast(node);
    return node;
}

TTreeNode* TTreeNodes::InsertFirstSibling(TTreeNode* sibling, std::string_view text) {
    return InsertFirstChild(sibling ? sibling->Parent() : nullptr, text);
}

TTreeNode* TTreeNodes::InsertLastSibling(TTreeNode* sibling, std::string_view text) {
    return InsertLastChild(sibling ? sibling->Parent() : nullptr, text);
}

TTreeNode* TTreeNodes::InsertAfter(TTreeNode* sibling, std::string_view text) {
    // After no node at all means before every root.
    if (!sibling)
        return InsertFirstChild(nullptr, text);
    TTreeNode* next = sibling->NextSibling();
    if (!next)
        return InsertLastChild(sibling->Parent(), text);
    TTreeNode* node = MakeNode(text);
    node->Link(sibling->Parent(), nullptr, next, sibling);
    next->SetPreviousOrLast(node);
    TTreeNode::SetAddress(sibling->m_next, node);
    return node;
}

TTreeNodes::Appender::Appender(TTreeNodes& tree) : m_tree(tree), m_textsInFile(tree.m_textsInFile) {
    m_tree.ForgetCache();
    if (TTreeNode* first = m_tree.m_firstRoot) {
        m_first.push_back(first);
        m_last.push_back(first->PreviousOrLast());
        m_level = 0;
    }
    TakeRoom();
}

TTreeNodes::Appender::~Appender() {
    GiveBackRoom();
    for (; m_level >= 0; --m_level)
        m_first[m_level]->SetPreviousOrLast(m_last[m_level]);
}

void TTreeNodes::Appender::TakeRoom() {
    m_room = m_roomEnd = nullptr;
    // While freed nodes wait, they are used first, through the tree.
    if (m_tree.m_freeNodes || m_tree.m_chunks.empty())
        return;
    auto* chunk = reinterpret_cast<TTreeNode*>(m_tree.m_chunks.back().Data());
    m_room = chunk + m_tree.m_chunkUsed;
    m_roomEnd = chunk + m_tree.m_chunkSize;
}

void TTreeNodes::Appender::GiveBackRoom() {
    if (m_room)
        m_tree.m_chunkUsed = m_tree.m_chunkSize - static_cast<std::size_t>(m_roomEnd - m_room);
    m_tree.m_count += m_added;
    m_added = 0;
    m_room = m_roomEnd = nullptr;
}

TTreeNode* TTreeNodes::Appender::MakeNodeSlowly(std::string_view text) {
    GiveBackRoom();
    TTreeNode* node = m_tree.MakeNode(text);
    TakeRoom();
    return node;
}

void TTreeNodes::Appender::StartList(TTreeNode* node, int level) {
    TTreeNode* parent = level > 0 ? m_last[level - 1] : nullptr;
    node->Link(parent, nullptr, nullptr, node);
    m_tree.SetFirstOf(parent, node);
    if (m_first.size() == static_cast<std::size_t>(level)) {
        m_first.push_back(node);
        m_last.push_back(node);
    }
    m_first[level] = node;
    m_last[level] = node;
    m_level = level;
}

void TTreeNodes::AppendRootsOf(TTreeNodes& other) {
    TTreeNode* otherFirst = other.m_firstRoot;
    if (!otherFirst)
        return;
    try {
        m_chunks.reserve(m_chunks.size() + other.m_chunks.size());
        m_textBlocks.reserve(m_textBlocks.size() + other.m_textBlocks.size());
    } catch (const std::bad_alloc&) {
        throw platform::Error("TreeInsertError", "Unable to insert an item");
    }
    if (TTreeNode* first = m_firstRoot) {
        TTreeNode* last = first->PreviousOrLast();
        first->SetPreviousOrLast(otherFirst->PreviousOrLast());
        TTreeNode::SetAddress(last->m_next, otherFirst);
        otherFirst->SetPreviousOrLast(last);
    } else {
        m_firstRoot = otherFirst;
    }
    m_count += other.m_count;
    ForgetCache();

    // The chunk being filled becomes other's; the room left in this tree's last chunk is given
    // up, while nodes freed later still come back through the free list.
    for (auto& chunk : other.m_chunks)
        m_chunks.push_back(std::move(chunk));
    if (!other.m_chunks.empty()) {
        m_chunkSize = other.m_chunkSize;
        m_chunkUsed = other.m_chunkUsed;
    }
    for (auto& block : other.m_textBlocks)
        m_textBlocks.push_back(std::move(block));
    if (other.m_textLeft > m_textLeft) {
        m_textFree = other.m_textFree;
        m_textLeft = other.m_textLeft;
    }
    other.m_chunks.clear();
    other.m_textBlocks.clear();
    other.ClearTree();
}

void TTreeNodes::Unlink(TTreeNode* node) {
    ForgetCache();
    TTreeNode* parent = node->Parent();
    TTreeNode* first = FirstOf(parent);
    TTreeNode* previous = node->PreviousSibling();
    TTreeNode* next = node->NextSibling();
    if (!previous) {
        if (next)
            next->SetPreviousOrLast(node->PreviousOrLast());
        SetFirstOf(parent, next);
    } else {
        TTreeNode::SetAddress(previous->m_next, next);
        if (next)
            next->SetPreviousOrLast(previous);
        else
            first->SetPreviousOrLast(previous);
    }
    TTreeNode::SetAddress(node->m_next, nullptr);
}

void TTreeNodes::MoveNode(TTreeNode* node, TTreeNode* newParent, TTreeNode* after) {
    for (const TTreeNode* above = newParent; above; above = above->Parent())
        if (above == node)
            ThrowInvalidIndex();
    if (after == node)
        return;  // already right after itself: where it is
    if (after && after->Parent() != newParent)
        ThrowInvalidIndex();
    Unlink(node);
    if (!after) {
        TTreeNode* first = FirstOf(newParent);
        node->Link(newParent, node->FirstChild(), first, first ? first->PreviousOrLast() : node);
        if (first)
            first->SetPreviousOrLast(node);
        SetFirstOf(newParent, node);
        return;
    }
    TTreeNode* next = after->NextSibling();
    node->Link(newParent, node->FirstChild(), next, after);
    TTreeNode::SetAddress(after->m_next, node);
    if (next)
        next->SetPreviousOrLast(node);
    else
        FirstOf(newParent)->SetPreviousOrLast(node);
}

void TTreeNodes::DeleteNode(TTreeNode* node) {
    if (!node)
        return;
    Unlink(node);

    // Free the subtree leaves first, climbing back up through the parents; no recursion, so a
    // deep chain cannot exhaust the stack.
    TTreeNode* current = node;
    for (;;) {
        while (TTreeNode* child = current->FirstChild())
            current = child;
        if (current == node) {
            FreeNode(current);
            return;
        }
        TTreeNode* following = current->NextSibling();
        TTreeNode* above = current->Parent();
        FreeNode(current);
        if (following) {
            current = following;
        } else {
            TTreeNode::SetAddress(above->m_firstChild, nullptr);
            current = above;
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
    m_file = platform::FileBytes();
    m_textBlocks.clear();
    m_textFree = nullptr;
    m_textLeft = 0;
}

}  // namespace phrases
