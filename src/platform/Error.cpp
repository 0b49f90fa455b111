#include "platform/Error.h"

#include <cstring>
#include <string>
#include <string_view>

namespace platform {

namespace {

std::string Replace(std::string text, const std::string& placeholder, const std::string& value) {
    const auto at = text.find(placeholder);
    if (at != std::string::npos)
        text.replace(at, placeholder.size(), value);
    return text;
}

}  // namespace

Error::Error(std::string kind, const char* pattern, const Path& path, int systemCode)
    : Error(std::move(kind), Format(pattern, path.Text())) {
    m_systemCode = systemCode;
    const std::size_t at = std::string_view(pattern).find("%s");
    // The path's text is what the message holds beyond the pattern without its "%s".
    if (at != std::string_view::npos)
        m_file = NamedFile{path, at, std::string_view(what()).size() - (std::strlen(pattern) - 2)};
}

std::string SystemCodeNote(int systemCode) {
    if (systemCode == 0)
        return {};
    return " (system error " + std::to_string(systemCode) + ")";
}

std::string SystemCodeNote(const std::exception& error) {
    const auto* ours = dynamic_cast<const Error*>(&error);
    return ours ? SystemCodeNote(ours->SystemCode()) : std::string();
}

std::string Format(const char* pattern, const std::string& value) {
    return Replace(pattern, "%s", value);
}

std::string Format(const char* pattern, long long number, const std::string& text) {
    // The number goes in first so that a %s inside the text is never taken for a placeholder.
    std::string withNumber = Replace(pattern, "%d", std::to_string(number));
    return Replace(withNumber, "%s", text);
}

}  // namespace platform
