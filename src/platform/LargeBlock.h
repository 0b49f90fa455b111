// Memory for bulk data written once and kept: a loaded file's bytes, a tree's nodes.
#pragma once

#include <cstddef>
#include <string_view>
#include <utility>

namespace platform {

// The size of a large page on the systems that give them on request.
constexpr std::size_t kLargePageSize = std::size_t{2} << 20;

// A block of at least size bytes, not cleared. From kLargePageSize up it comes straight from the
// system, in large pages where the system gives them on request: filling it then costs one page
// fault per 2 MB instead of one per 4 KB, which is most of the cost of filling fresh memory.
// Smaller blocks come from the heap. Throws std::bad_alloc.
class LargeBlock {
public:
    LargeBlock() = default;
    explicit LargeBlock(std::size_t size);
    ~LargeBlock() { Release(); }
    LargeBlock(LargeBlock&& other) noexcept;
    LargeBlock& operator=(LargeBlock&& other) noexcept;

    char* Data() const { return m_data; }
    std::size_t Capacity() const { return m_capacity; }

private:
    void Release() noexcept;

    char* m_data = nullptr;
    std::size_t m_capacity = 0;
    bool m_fromSystem = false;
};

// A whole file's bytes in a LargeBlock.
class FileBytes {
public:
    FileBytes() = default;
    FileBytes(FileBytes&& other) noexcept
        : m_block(std::move(other.m_block)), m_size(std::exchange(other.m_size, 0)) {}
    FileBytes& operator=(FileBytes&& other) noexcept {
        m_block = std::move(other.m_block);
        m_size = std::exchange(other.m_size, 0);
        return *this;
    }

    std::string_view View() const { return {m_block.Data(), m_size}; }
    std::size_t Size() const { return m_size; }
    char* Data() const { return m_block.Data(); }
    // Keeps the first bytes; grows the block (at least doubling) when size exceeds it.
    void Resize(std::size_t size);

private:
    LargeBlock m_block;
    std::size_t m_size = 0;
};

namespace detail {

// The system's pages for a block, per platform: size bytes (a multiple of kLargePageSize), or
// null when the system has none.
void* AllocatePages(std::size_t size);
void FreePages(void* pages, std::size_t size) noexcept;

}  // namespace detail

}  // namespace platform
