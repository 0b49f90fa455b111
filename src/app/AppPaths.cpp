#include "app/AppPaths.h"

namespace app {

namespace {

// Length of the directory part: up to and including the last separator outside a double-byte
// character, so that a trail byte 0x5C never splits a character.
size_t DirectoryLength(std::string_view path) {
    size_t length = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(byte) && i + 1 < path.size()) {
            ++i;
        } else if (byte == '\\' || byte == ':') {
            length = i + 1;
        }
    }
    return length;
}

}  // namespace

std::string DataDirectory(std::string_view executablePath) {
    return std::string(executablePath.substr(0, DirectoryLength(executablePath)));
}

std::string ApplicationTitle(std::string_view executablePath) {
    std::string_view name = executablePath.substr(DirectoryLength(executablePath));
    name = name.substr(0, name.find('.'));
    std::string title(name);
    for (size_t i = 1; i < title.size(); ++i) {
        const auto byte = static_cast<unsigned char>(title[i]);
        if (IsLeadByte(byte)) {
            ++i;
        } else if (byte >= 'A' && byte <= 'Z') {
            title[i] = static_cast<char>(byte - 'A' + 'a');
        }
    }
    return title;
}

}  // namespace app
