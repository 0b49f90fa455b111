// The data directory's instance key; see InstanceKey.h.
#include "editor/rules/InstanceKey.h"

#include <cstdint>
#include <cstdio>

#include "phrases/DiskChangeWatch.h"

namespace editor {

std::string InstanceKey(std::wstring_view directory) {
    // The folded name as bytes, each character as its four little-endian bytes.
    std::string folded;
    folded.reserve(directory.size() * 4);
    std::size_t length = 0;  // up to the last character that is not a separator
    for (wchar_t character : directory) {
        if (character >= L'a' && character <= L'z')
            character = static_cast<wchar_t>(character - L'a' + L'A');
        if (character == L'/')
            character = L'\\';
        const auto code = static_cast<std::uint32_t>(character);
        for (int shift = 0; shift < 32; shift += 8)
            folded += static_cast<char>((code >> shift) & 0xFF);
        if (character != L'\\')
            length = folded.size();
    }
    folded.resize(length);
    char key[17];
    std::snprintf(key, sizeof key, "%016llx",
                  static_cast<unsigned long long>(phrases::DiskChangeWatch::Hash(folded)));
    return key;
}

}  // namespace editor
