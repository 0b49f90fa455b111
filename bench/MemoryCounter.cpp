// Replaced global operator new/delete that keep the bytes in use and their peak; the sizes are
// the allocator's usable sizes, so the figures include its rounding.
#include "MemoryCounter.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

namespace {

std::size_t g_inUse = 0;
std::size_t g_peak = 0;

void* Allocate(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    g_inUse += ::malloc_usable_size(block);
    if (g_inUse > g_peak)
        g_peak = g_inUse;
    return block;
}

void Release(void* block) {
    if (!block)
        return;
    g_inUse -= ::malloc_usable_size(block);
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }

namespace bench {

std::size_t HeapInUse() { return g_inUse; }
std::size_t HeapPeak() { return g_peak; }
void ResetHeapPeak() { g_peak = g_inUse; }

}  // namespace bench
