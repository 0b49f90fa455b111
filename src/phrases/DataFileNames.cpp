// The names of the kept unreadable files; see DataFileNames.h.
#include "phrases/DataFileNames.h"

#include <algorithm>
#include <string>

#include "platform/FileStamp.h"

namespace phrases {

bool IsUnreadableFileName(std::string_view name) {
    const std::string_view base = kUnreadableFileName;
    if (!name.starts_with(base))
        return false;
    const std::string_view number = name.substr(base.size());
    if (number.empty())
        return true;
    return number.size() > 1 && number[0] == '.' &&
           std::all_of(number.begin() + 1, number.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

platform::Path FreeUnreadablePath(const platform::Path& directory) {
    platform::Path path = directory + kUnreadableFileName;
    for (int number = 1; platform::StampOf(path).exists; ++number)
        path = directory + kUnreadableFileName + "." + std::to_string(number);
    return path;
}

}  // namespace phrases
