// Reading a compiled phrase file; see CompiledFile.h.
#include "phrases/CompiledFile.h"

#include "platform/Error.h"

namespace phrases {

void ReadCompiledFile(std::string_view bytes, const CharacterTable& table, const std::string& name,
                      const std::function<void(const std::string&)>& phrase) {
    const auto byteAt = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
    std::size_t at = 0;
    while (true) {
        if (at >= bytes.size())
            throw platform::Error("Format", "No end mark in " + name);
        const std::size_t count = byteAt(at);
        if (count == 0)
            break;
        if (at + 1 + 2 * count > bytes.size())
            throw platform::Error("Format", "Record at offset " + std::to_string(at) +
                                                " runs past the end of " + name);
        std::string text;
        for (std::size_t k = 0; k < count; ++k) {
            const int number = byteAt(at + 1 + 2 * k) | byteAt(at + 2 + 2 * k) << 8;
            if (number < 1 || number > table.Size())
                throw platform::Error("Format", "Character number " + std::to_string(number) +
                                                    " at offset " + std::to_string(at + 1 + 2 * k) +
                                                    " is not in the character table");
            text += table.Entry(number - 1);
        }
        phrase(text);
        at += 1 + 2 * count;
    }
}

}  // namespace phrases
