// Whole-file reads and safe replacement on POSIX systems: temporary file, fsync, rename(2).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/Error.h"
#include "platform/FileSystem.h"

namespace platform {

namespace {

constexpr std::size_t kWriteChunk = 64 * 1024;

int g_failingWrite = 0;

[[noreturn]] void Fail(const char* kind, const char* pattern, const Path& path) {
    throw Error(kind, pattern, path);
}

// One write(2), or the failure a test asked for.
ssize_t WriteOnce(int fd, const char* data, std::size_t size) {
    if (g_failingWrite > 0 && --g_failingWrite == 0) {
        errno = ENOSPC;
        return -1;
    }
    return ::write(fd, data, size);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = WriteOnce(fd, bytes.data(), std::min(bytes.size(), kWriteChunk));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Whether an existing target may be replaced. A file without any write permission counts as
// read-only even for a user whom the system would let write it, as a read-only file does on
// Windows; rename(2) alone would replace it silently.
bool TargetReplaceable(const std::string& path, mode_t& mode) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return errno == ENOENT;
    if (!S_ISREG(status.st_mode))
        return false;
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    if (::access(path.c_str(), W_OK) != 0)
        return false;
    mode = status.st_mode & 07777;
    return true;
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string ReadWholeFile(const Path& path) {
    const int fd = ::open(path.Native().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        Fail("FileOpenError", "Cannot open file %s", path);
    // Read straight into the result, sized by the file and grown should the file grow meanwhile.
    struct stat status {};
    std::size_t size = kWriteChunk;
    if (::fstat(fd, &status) == 0 && status.st_size > 0)
        size = static_cast<std::size_t>(status.st_size) + 1;
    std::string bytes(size, '\0');
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ::close(fd);
            Fail("FileOpenError", "Cannot open file %s", path);
        }
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes.resize(filled);
    return bytes;
}

void ReplaceFileSafely(const Path& path, std::string_view bytes) {
    const std::string& target = path.Native();
    mode_t mode = 0666;
    const bool existed = ::access(target.c_str(), F_OK) == 0;
    if (!TargetReplaceable(target, mode))
        Fail("FileCreateError", "Cannot create file %s", path);

    // A leftover of an interrupted save is removed first, so that the exclusive create below
    // cannot be turned aside by a link planted under the temporary name.
    const std::string temporary = target + ".tmp";
    ::unlink(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        Fail("FileCreateError", "Cannot create file %s", path);
    if (existed)
        ::fchmod(fd, mode);

    const auto abandon = [&](const char* kind, const char* pattern, bool open) {
        if (open)
            ::close(fd);
        ::unlink(temporary.c_str());
        Fail(kind, pattern, path);
    };
    if (!WriteAll(fd, bytes) || ::fsync(fd) != 0)
        abandon("FileWriteError", "Cannot write file %s", true);
    if (::close(fd) != 0)
        abandon("FileWriteError", "Cannot write file %s", false);
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        abandon("FileCreateError", "Cannot create file %s", false);

    // Make the rename itself durable; the new content is in place either way.
    const int directory = ::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
}

namespace {

bool SameIdentity(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

bool IsSameFile(const Path& pathA, const Path& pathB) {
    const std::string& a = pathA.Native();
    const std::string& b = pathB.Native();
    struct stat statA{}, statB{};
    const bool hasA = ::stat(a.c_str(), &statA) == 0;
    const bool hasB = ::stat(b.c_str(), &statB) == 0;
    if (hasA || hasB)
        return hasA && hasB && SameIdentity(statA, statB);
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path fullA = fs::absolute(a, error).lexically_normal();
    const fs::path fullB = fs::absolute(b, error).lexically_normal();
    if (fullA.filename() != fullB.filename())
        return false;
    const std::string directoryA = fullA.parent_path().string();
    const std::string directoryB = fullB.parent_path().string();
    if (::stat(directoryA.c_str(), &statA) == 0 && ::stat(directoryB.c_str(), &statB) == 0)
        return SameIdentity(statA, statB);
    return directoryA == directoryB;
}

void FailWriteForTesting(int k) {
    g_failingWrite = k;
}

}  // namespace platform
