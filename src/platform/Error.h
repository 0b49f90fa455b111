// The error that the tree and file layer raise; window handlers catch it and show its message.
#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/Path.h"

namespace platform {

// Carries a message of the program (GB2312 bytes) and the kind of failure, which the
// last-resort box names. A failed system call adds the system's code (errno, or GetLastError on
// Windows), which the last-resort box and srf_tool report beside the message; the message itself
// stays the program's own.
class Error : public std::runtime_error {
public:
    Error(std::string kind, const std::string& message)
        : std::runtime_error(message), m_kind(std::move(kind)) {}
    // A message of its own after a failed system call, with the system's code of the failure.
    Error(std::string kind, const std::string& message, int systemCode)
        : std::runtime_error(message), m_kind(std::move(kind)), m_systemCode(systemCode) {}
    // A message naming a file ("Cannot open file %s"): the pattern's %s filled with the path's
    // text. The path itself is kept, so that a box can show the name as the system has it.
    Error(std::string kind, const char* pattern, const Path& path, int systemCode = 0);

    const std::string& Kind() const { return m_kind; }
    // The system's code of the failure; 0 when no system call failed.
    int SystemCode() const { return m_systemCode; }

    // The file the message names, with where its text stands in what(); none for other messages.
    struct NamedFile {
        Path path;
        std::size_t at = 0;      // offset of the path's text in what()
        std::size_t length = 0;  // length of that text
    };
    const std::optional<NamedFile>& NamedPath() const { return m_file; }

private:
    std::string m_kind;
    std::optional<NamedFile> m_file;
    int m_systemCode = 0;
};

// " (system error N)", the short form in which a system code follows a message; empty for 0.
std::string SystemCodeNote(int systemCode);
// The note of an Error's system code; empty for any other error.
std::string SystemCodeNote(const std::exception& error);

// Fills the single %s or %d of one of the program's message patterns.
std::string Format(const char* pattern, const std::string& value);
std::string Format(const char* pattern, long long number, const std::string& text);

}  // namespace platform
