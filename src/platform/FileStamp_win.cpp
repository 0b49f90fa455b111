// File stamps on Windows: GetFileAttributesExW, which needs no handle and so never collides with
// the no-sharing opens of the program or of others.
#include <windows.h>

#include "platform/FileStamp.h"

namespace platform {

FileStamp StampOf(const Path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.Native().c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    return {true, (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
            static_cast<std::int64_t>(
                (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                data.ftLastWriteTime.dwLowDateTime)};
}

}  // namespace platform
