// File stamps on POSIX systems: stat(2) with nanosecond times.
#include <sys/stat.h>

#include "platform/FileStamp.h"

namespace platform {

FileStamp StampOf(const Path& path) {
    struct stat status {};
    if (::stat(path.Native().c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return {};
    return {true, static_cast<std::uint64_t>(status.st_size),
            static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

}  // namespace platform
