// Large blocks: the heap for small sizes, the system's pages for the rest.
#include "platform/LargeBlock.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace platform {

LargeBlock::LargeBlock(std::size_t size) {
    if (size < kLargePageSize) {
        m_data = new char[std::max<std::size_t>(size, 1)];
        m_capacity = size;
        return;
    }
    const std::size_t rounded = (size + kLargePageSize - 1) & ~(kLargePageSize - 1);
    if (rounded < size)
        throw std::bad_alloc();
    m_data = static_cast<char*>(detail::AllocatePages(rounded));
    if (!m_data)
        throw std::bad_alloc();
    m_capacity = rounded;
    m_fromSystem = true;
}

LargeBlock::LargeBlock(LargeBlock&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)),
      m_capacity(std::exchange(other.m_capacity, 0)),
      m_fromSystem(std::exchange(other.m_fromSystem, false)) {}

LargeBlock& LargeBlock::operator=(LargeBlock&& other) noexcept {
    if (this != &other) {
        Release();
        m_data = std::exchange(other.m_data, nullptr);
        m_capacity = std::exchange(other.m_capacity, 0);
        m_fromSystem = std::exchange(other.m_fromSystem, false);
    }
    return *this;
}

void LargeBlock::Release() noexcept {
    if (m_fromSystem)
        detail::FreePages(m_data, m_capacity);
    else
        delete[] m_data;
    m_data = nullptr;
    m_capacity = 0;
    m_fromSystem = false;
}

void FileBytes::Resize(std::size_t size) {
    if (size > m_block.Capacity()) {
        LargeBlock larger(std::max(size, m_block.Capacity() * 2));
        if (m_size != 0)
            std::memcpy(larger.Data(), m_block.Data(), m_size);
        m_block = std::move(larger);
    }
    m_size = size;
}

}  // namespace platform
