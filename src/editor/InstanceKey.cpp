// The data directory's instance key; see InstanceKey.h.
#include "editor/InstanceKey.h"

#include <cstdio>

#include "editor/DiskChangeWatch.h"

namespace editor {

std::string InstanceKey(std::string_view directory) {
    std::string folded;
    folded.reserve(directory.size());
    for (std::size_t i = 0; i < directory.size(); ++i) {
        char byte = directory[i];
        if (static_cast<unsigned char>(byte) >= 0x80 && i + 1 < directory.size()) {
            // A double-byte character: its trail byte may look like an ASCII letter or '\'.
            folded += byte;
            folded += directory[++i];
            continue;
        }
        if (byte >= 'a' && byte <= 'z')
            byte = static_cast<char>(byte - 'a' + 'A');
        if (byte == '/')
            byte = '\\';
        folded += byte;
    }
    while (!folded.empty() && folded.back() == '\\')
        folded.pop_back();
    char key[17];
    std::snprintf(key, sizeof key, "%016llx", static_cast<unsigned long long>(DiskChangeWatch::Hash(folded)));
    return key;
}

}  // namespace editor
