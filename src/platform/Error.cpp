#include "platform/Error.h"

#include <string>

namespace platform {

namespace {

std::string Replace(std::string text, const std::string& placeholder, const std::string& value) {
    const auto at = text.find(placeholder);
    if (at != std::string::npos)
        text.replace(at, placeholder.size(), value);
    return text;
}

}  // namespace

std::string Format(const char* pattern, const std::string& value) {
    return Replace(pattern, "%s", value);
}

std::string Format(const char* pattern, long long number, const std::string& text) {
    // The number goes in first so that a %s inside the text is never taken for a placeholder.
    std::string withNumber = Replace(pattern, "%d", std::to_string(number));
    return Replace(withNumber, "%s", text);
}

}  // namespace platform
