// Counts the heap bytes of the benchmark program through replaced global operator new/delete.
#pragma once

#include <cstddef>

namespace bench {

std::size_t HeapInUse();
std::size_t HeapPeak();
// Starts a new peak from the bytes in use now.
void ResetHeapPeak();

}  // namespace bench
