// Large blocks on POSIX systems: anonymous mappings, in transparent huge pages on Linux.
#include <sys/mman.h>

#include <cstdint>

#include "platform/LargeBlock.h"

namespace platform::detail {

// Mapped with a large page's room to spare, so that the block can start on a large page's
// boundary; the spare ends are given back.
void* AllocatePages(std::size_t size) {
    void* mapping = ::mmap(nullptr, size + kLargePageSize, PROT_READ | PROT_WRITE,
                           MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(mapping);
    const std::uintptr_t aligned = (start + kLargePageSize - 1) & ~(kLargePageSize - 1);
    if (aligned != start)
        ::munmap(mapping, aligned - start);
    if (const std::size_t tail = start + kLargePageSize - aligned; tail != 0)
        ::munmap(reinterpret_cast<void*>(aligned + size), tail);
#if defined(MADV_HUGEPAGE)
    ::madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<void*>(aligned);
}

void FreePages(void* pages, std::size_t size) noexcept { ::munmap(pages, size); }

}  // namespace platform::detail
