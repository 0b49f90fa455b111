// Whole-file reads and safe replacement on POSIX systems: temporary file, fsync, rename(2).
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "platform/Error.h"
#include "platform/FileSystem.h"

namespace platform {

namespace {

constexpr std::size_t kWriteChunk = 64 * 1024;

[[noreturn]] void Fail(const char* kind, const char* pattern, const Path& path, int systemCode) {
    throw Error(kind, pattern, path, systemCode);
}

// An open file descriptor, closed once when it goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() { Reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    void Reset() {
        if (m_fd >= 0)
            ::close(std::exchange(m_fd, -1));
    }
    // For a close whose result is checked.
    int Release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// One write(2), or the failure a test asked for.
ssize_t WriteOnce(int fd, const char* data, std::size_t size, WriteFaults* faults) {
    if (faults && faults->FailNextWrite()) {
        errno = ENOSPC;
        return -1;
    }
    return ::write(fd, data, size);
}

bool WriteAll(int fd, std::string_view bytes, WriteFaults* faults) {
    while (!bytes.empty()) {
        const ssize_t written =
            WriteOnce(fd, bytes.data(), std::min(bytes.size(), kWriteChunk), faults);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        if (written == 0) {
            errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// An existing file that a replacement must keep the permissions of; none when there is none yet.
struct Existing {
    bool exists = false;
    mode_t mode = 0;
};

// Whether path may be replaced: throws Error "Cannot create file %s" when not. A file without any
// write permission counts as read-only even for a user whom the system would let write it, as a
// read-only file does on Windows; rename(2) alone would replace it silently.
Existing CheckReplaceable(const Path& path) {
    struct stat status {};
    if (::stat(path.Native().c_str(), &status) != 0) {
        if (errno == ENOENT)
            return {};
        Fail("FileCreateError", "Cannot create file %s", path, errno);
    }
    int refusal = 0;
    if (!S_ISREG(status.st_mode))
        refusal = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    else if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        refusal = EACCES;
    else if (::access(path.Native().c_str(), W_OK) != 0)
        refusal = errno;
    if (refusal != 0)
        Fail("FileCreateError", "Cannot create file %s", path, refusal);
    return {true, static_cast<mode_t>(status.st_mode & 07777)};
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

namespace {

// Reads the whole file straight into bytes, sized by the file and grown should the file grow
// meanwhile; resize(bytes, size) resizes them and returns where they start.
template <class Bytes, class Resize>
void ReadInto(const Path& path, Bytes& bytes, Resize resize) {
    const FileDescriptor file(::open(path.Native().c_str(), O_RDONLY | O_CLOEXEC));
    if (!file)
        Fail("FileOpenError", "Cannot open file %s", path, errno);
    const int fd = file.Get();
    struct stat status {};
    std::size_t size = kWriteChunk;
    if (::fstat(fd, &status) == 0 && status.st_size > 0) {
        // Checked before the size becomes a std::size_t, which a 32-bit build would cut short.
        if (static_cast<std::uint64_t>(status.st_size) > kLargestFileRead)
            Fail("FileOpenError", "Cannot open file %s: larger than 256 MB", path, 0);
        size = static_cast<std::size_t>(status.st_size) + 1;
    }
    char* data = resize(bytes, size);
    std::size_t filled = 0;
    for (;;) {
        if (filled == size) {
            size *= 2;
            data = resize(bytes, size);
        }
        const ssize_t got = ::read(fd, data + filled, size - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            Fail("FileOpenError", "Cannot open file %s", path, errno);
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
        if (filled > kLargestFileRead)  // it grew while it was read
            Fail("FileOpenError", "Cannot open file %s: larger than 256 MB", path, 0);
    }
    resize(bytes, filled);
}

}  // namespace

std::string ReadWholeFile(const Path& path) {
    std::string bytes;
    ReadInto(path, bytes, [](std::string& b, std::size_t size) {
        b.resize(size);
        return b.data();
    });
    return bytes;
}

FileBytes ReadFileBytes(const Path& path) {
    FileBytes bytes;
    ReadInto(path, bytes, [](FileBytes& b, std::size_t size) {
        b.Resize(size);
        return b.Data();
    });
    return bytes;
}

namespace {

// Writes a file's whole content to the open file; returns 0 or the errno of its failure.
using ContentWriter = std::function<int(int fd)>;

// Makes durable the renames made in path's directory.
void SyncDirectoryOf(const std::string& path) {
    const FileDescriptor directory(
        ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory)
        ::fsync(directory.Get());
}

// Writes a new file at temporary whole: every write checked, flushed and the close checked too,
// since it may be where the system reports a lost write. It gets the permissions of existing.
// On failure the file is removed and Error is thrown naming named, the file the user knows.
void WriteNewFile(const std::string& temporary, const Path& named, const Existing& existing,
                  const ContentWriter& writeContent) {
    // A leftover of an interrupted save is removed first, so that the exclusive create below
    // cannot be turned aside by a link planted under the temporary name.
    ::unlink(temporary.c_str());
    FileDescriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!file)
        Fail("FileCreateError", "Cannot create file %s", named, errno);
    if (existing.exists)
        ::fchmod(file.Get(), existing.mode);

    int written = 0;
    try {
        written = writeContent(file.Get());
    } catch (...) {
        file.Reset();
        ::unlink(temporary.c_str());
        throw;
    }
    if (written == 0 && ::fsync(file.Get()) != 0)
        written = errno;
    if (written == 0 && ::close(file.Release()) != 0)
        written = errno;
    if (written != 0) {
        file.Reset();
        ::unlink(temporary.c_str());
        Fail("FileWriteError", "Cannot write file %s", named, written);
    }
}

// Moves temporary over target; on failure removes temporary and throws "Cannot create file %s"
// naming named.
void MoveIntoPlace(const std::string& temporary, const std::string& target, const Path& named) {
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        Fail("FileCreateError", "Cannot create file %s", named, code);
    }
}

// Gives the existing file source a second name, temporary: a hard link, or where the volume
// refuses one a copy written as a new file. Throws, naming source when it cannot be read (with
// unreadable's pattern and kind) and target when the copy cannot be written.
void LinkOrCopy(const Path& source, const std::string& temporary, const Path& target,
                const char* unreadableKind, const char* unreadable, WriteFaults* faults) {
    ::unlink(temporary.c_str());
    const bool refused = faults && faults->RefuseLink();
    if (!refused && ::link(source.Native().c_str(), temporary.c_str()) == 0)
        return;
    // Any refusal leads to the copy, which reports what stands in its way itself.
    struct stat status {};
    if (::stat(source.Native().c_str(), &status) != 0)
        Fail(unreadableKind, unreadable, source, errno);
    FileBytes bytes;
    try {
        bytes = ReadFileBytes(source);
    } catch (const Error& error) {
        Fail(unreadableKind, unreadable, source, error.SystemCode());
    }
    WriteNewFile(temporary, target, Existing{true, static_cast<mode_t>(status.st_mode & 07777)},
                 [&](int fd) { return WriteAll(fd, bytes.View(), faults) ? 0 : errno; });
}

// The safe replacement around writeContent.
void Replace(const Path& path, const ContentWriter& writeContent) {
    const Existing existing = CheckReplaceable(path);
    const std::string temporary = path.Native() + ".tmp";
    WriteNewFile(temporary, path, existing, writeContent);
    MoveIntoPlace(temporary, path.Native(), path);
    // Make the rename itself durable; the new content is in place either way.
    SyncDirectoryOf(path.Native());
}

// The replacement that keeps the replaced file as backup, around writeContent.
void ReplaceKeeping(const Path& path, const ContentWriter& writeContent, const Path& backup,
                    WriteFaults* faults) {
    const Existing existing = CheckReplaceable(path);
    if (!existing.exists)
        return Replace(path, writeContent);
    // Checked before anything is written, so that a backup that cannot be replaced stops the
    // save while it has changed nothing.
    CheckReplaceable(backup);
    const std::string temporary = path.Native() + ".tmp";
    WriteNewFile(temporary, path, existing, writeContent);
    const std::string kept = backup.Native() + ".tmp";
    try {
        LinkOrCopy(path, kept, backup, "FileCreateError", "Cannot create file %s", faults);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    if (::rename(temporary.c_str(), path.Native().c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        ::unlink(kept.c_str());
        Fail("FileCreateError", "Cannot create file %s", path, code);
    }
    if (::rename(kept.c_str(), backup.Native().c_str()) != 0) {
        // The backup turned unreplaceable since it was checked: the old file goes back to path.
        const int code = errno;
        if (::rename(kept.c_str(), path.Native().c_str()) != 0)
            ::unlink(kept.c_str());
        SyncDirectoryOf(path.Native());
        Fail("FileCreateError", "Cannot create file %s", backup, code);
    }
    // Where backup already named the old file, rename(2) has left both names: one goes.
    ::unlink(kept.c_str());
    SyncDirectoryOf(path.Native());
    if (DirectoryOf(backup.Native()) != DirectoryOf(path.Native()))
        SyncDirectoryOf(backup.Native());
}

int WriteBytes(int fd, std::string_view bytes, WriteFaults* faults) {
    return WriteAll(fd, bytes, faults) ? 0 : errno;
}

int WriteFilled(int fd, const FileFiller& fill, WriteFaults* faults) {
    return WriteBlocks(fill, [fd, faults](std::string_view block) {
        if (!WriteAll(fd, block, faults))
            return errno;
#if defined(__linux__)
        // The disk starts on this block while the next is made, so that less is left for the
        // fsync at the end.
        const off_t end = ::lseek(fd, 0, SEEK_CUR);
        ::sync_file_range(fd, end - static_cast<off_t>(block.size()),
                          static_cast<off_t>(block.size()), SYNC_FILE_RANGE_WRITE);
#endif
        return 0;
    });
}

}  // namespace

void ReplaceFileSafely(const Path& path, std::string_view bytes, WriteFaults* faults) {
    Replace(path, [&](int fd) { return WriteBytes(fd, bytes, faults); });
}

void ReplaceFileSafely(const Path& path, const FileFiller& fill, WriteFaults* faults) {
    Replace(path, [&](int fd) { return WriteFilled(fd, fill, faults); });
}

void ReplaceFileKeepingBackup(const Path& path, std::string_view bytes, const Path& backup,
                              WriteFaults* faults) {
    ReplaceKeeping(
        path, [&](int fd) { return WriteBytes(fd, bytes, faults); }, backup, faults);
}

void ReplaceFileKeepingBackup(const Path& path, const FileFiller& fill, const Path& backup,
                              WriteFaults* faults) {
    ReplaceKeeping(
        path, [&](int fd) { return WriteFilled(fd, fill, faults); }, backup, faults);
}

void KeepCopy(const Path& source, const Path& target, WriteFaults* faults) {
    CheckReplaceable(target);
    const std::string temporary = target.Native() + ".tmp";
    LinkOrCopy(source, temporary, target, "FileOpenError", "Cannot open file %s", faults);
    MoveIntoPlace(temporary, target.Native(), target);
    // Where target already named source, rename(2) has left both names: one goes.
    ::unlink(temporary.c_str());
    SyncDirectoryOf(target.Native());
}

namespace {

bool SameIdentity(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

bool IsSameFile(const Path& pathA, const Path& pathB) {
    const std::string& a = pathA.Native();
    const std::string& b = pathB.Native();
    struct stat statA {
    }, statB{};
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

namespace {

// Calls visit with every entry of the directory.
template <class Visit>
void ForEachEntry(const Path& directory, Visit visit) {
    DIR* listing = ::opendir(directory.Native().empty() ? "." : directory.Native().c_str());
    if (!listing)
        return;
    while (const dirent* entry = ::readdir(listing))
        visit(*entry);
    ::closedir(listing);
}

}  // namespace

std::vector<std::string> ListFileNames(const Path& directory, std::string_view prefix) {
    std::vector<std::string> names;
    ForEachEntry(directory, [&](const dirent& entry) {
        const std::string_view name = entry.d_name;
        if (name.starts_with(prefix) && std::all_of(name.begin(), name.end(), [](char c) {
                return static_cast<unsigned char>(c) < 0x80;
            }))
            names.emplace_back(name);
    });
    return names;
}

std::vector<std::string> ListFileNamesUtf8(const Path& directory) {
    std::vector<std::string> names;
    ForEachEntry(directory, [&](const dirent& entry) {
        const std::string_view name = entry.d_name;
        if (name != "." && name != ".." && entry.d_type != DT_DIR)
            names.emplace_back(name);
    });
    return names;
}

bool RemoveFile(const Path& path) { return ::unlink(path.Native().c_str()) == 0; }

}  // namespace platform
