// Large blocks on Windows: committed pages.
#include <windows.h>

#include "platform/LargeBlock.h"

namespace platform::detail {

// Large pages on Windows need a privilege that programs do not have; committed pages it is.
void* AllocatePages(std::size_t size) {
    return VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void FreePages(void* pages, std::size_t) noexcept { VirtualFree(pages, 0, MEM_RELEASE); }

}  // namespace platform::detail
