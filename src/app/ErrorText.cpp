#include "app/ErrorText.h"

#include <cstdio>

#include "app/AppPaths.h"
#include "platform/Error.h"

namespace app {

std::string WithFullStop(std::string_view message) {
    std::string text(message);
    if (message.empty())
        return text;
    bool lastIsDoubleByte = false;
    for (size_t i = 0; i < message.size(); ++i) {
        lastIsDoubleByte =
            IsLeadByte(static_cast<unsigned char>(message[i])) && i + 1 < message.size();
        if (lastIsDoubleByte)
            ++i;
    }
    if (lastIsDoubleByte || static_cast<unsigned char>(message.back()) > '.')
        text += '.';
    return text;
}

std::string LastResortText(std::string_view kind, std::string_view module, std::uintptr_t address,
                           std::string_view message, int systemCode) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(address & 0xFFFFFFFFu));
    std::string text = "Exception " + std::string(kind) + " in module " + std::string(module) +
                       " at " + hex + ".\n" + std::string(message);
    if (message.empty() || message.back() != '.')
        text += '.';
    return text + platform::SystemCodeNote(systemCode);
}

}  // namespace app
