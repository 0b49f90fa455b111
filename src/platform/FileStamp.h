// A file's size and last write time, read without opening it: enough to notice that another
// program has written the file since this one last read or wrote it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Path.h"

namespace platform {

struct FileStamp {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // in the system's own unit; only compared for equality
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at path; exists is false when there is no such file.
FileStamp StampOf(const Path& path);

}  // namespace platform
