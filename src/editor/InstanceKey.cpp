// The data directory's instance key; see InstanceKey.h.
#include "editor/InstanceKey.h"

#include <cstdio>

#include "editor/DiskChangeWatch.h"

namespace editor {

std::string InstanceKey(std::string_view directory) {
    std::string folded;
    folded.reserve(directory.size());
    std::size_t length = 0;  // up to the last character that is not a separator
    for (std::size_t i = 0; i < directory.size(); ++i) {
        char byte = directory[i];
        if (static_cast<unsigned char>(byte) >= 0x80 && i + 1 < directory.size()) {
            // A double-byte character: its trail byte may look like an ASCII letter or '\'.
            folded += byte;
            folded += directory[++i];
            length = folded.size();
            continue;
        }
        if (byte >= 'a' && byte <= 'z')
            byte = static_cast<char>(byte - 'a' + 'A');
        if (byte == '/')
            byte = '\\';
        folded += byte;
        if (byte != '\\')
            length = folded.size();
    }
    folded.resize(length);
    char key[17];
    std::snprintf(key, sizeof key, "%016llx", static_cast<unsigned long long>(DiskChangeWatch::Hash(folded)));
    return key;
}

}  // namespace editor
