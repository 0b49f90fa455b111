// Writing a file that is produced block by block: the producing and the writing overlap.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace platform {

// Puts the next bytes of a file into buffer and returns how many: capacity, unless the file ends
// within them; 0 once it has ended.
using FileFiller = std::function<std::size_t(char* buffer, std::size_t capacity)>;

// Writes one block; returns 0, or the system's code of the failure.
using BlockWriter = std::function<int(std::string_view block)>;

// The size of a block: large enough that a block costs one system call among many bytes, small
// enough that writing begins early.
constexpr std::size_t kFileBlockSize = std::size_t{2} << 20;

// Calls fill for block after block and write for each, on a second thread, so that every block
// is written while the next is filled (two buffers of kFileBlockSize take turns). A file within
// one block is written on this thread alone. Returns 0, or the code of the first failed write,
// after which nothing more is filled or written. An exception of fill is thrown on once the
// writing thread has ended.
int WriteBlocks(const FileFiller& fill, const BlockWriter& write);

}  // namespace platform
