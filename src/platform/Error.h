// The error that the tree and file layer raise; window handlers catch it and show its message.
#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// Carries a message of the program (GB2312 bytes) and the kind of failure, which the
// last-resort box names.
class Error : public std::runtime_error {
public:
    Error(std::string kind, const std::string& message)
        : std::runtime_error(message), m_kind(std::move(kind)) {}

    const std::string& Kind() const { return m_kind; }

private:
    std::string m_kind;
};

// Fills the single %s or %d of one of the program's message patterns.
std::string Format(const char* pattern, const std::string& value);
std::string Format(const char* pattern, long long number, const std::string& text);

}  // namespace platform
