// Whole-file reads and safe replacement on Windows: temporary file, FlushFileBuffers,
// MoveFileExW, on the UTF-16 paths the system takes.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Retry.h"
#include "platform/UniqueHandles_win.h"

namespace platform {

namespace {

constexpr DWORD kWriteChunk = 64 * 1024;

[[noreturn]] void Fail(const char* kind, const char* pattern, const Path& path, DWORD systemCode) {
    throw Error(kind, pattern, path, static_cast<int>(systemCode));
}

// One WriteFile, or the failure a test asked for.
bool WriteOnce(HANDLE file, const char* data, DWORD size, DWORD& written, WriteFaults* faults) {
    if (faults && faults->FailNextWrite()) {
        SetLastError(ERROR_DISK_FULL);
        written = 0;
        return false;
    }
    return WriteFile(file, data, size, &written, nullptr) != FALSE;
}

bool WriteAll(HANDLE file, std::string_view bytes, WriteFaults* faults) {
    while (!bytes.empty()) {
        const DWORD size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kWriteChunk));
        DWORD written = 0;
        if (!WriteOnce(file, bytes.data(), size, written, faults))
            return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

// An existing target must be a writable file that nobody holds open; opening it for writing
// without sharing, and without truncating it, asks exactly that. Returns ERROR_SUCCESS when it may
// be replaced, otherwise the system's code of the reason.
DWORD CheckTargetReplaceable(const std::wstring& target) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
    }
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))
        return ERROR_ACCESS_DENIED;
    // Another program that only glances at the file (a scanner, an indexer) gets a moment to let
    // go.
    DWORD error = ERROR_SUCCESS;
    const auto probe = [&] {
        return static_cast<bool>(
            UniqueFile(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr)));
    };
    const auto busy = [&] {
        error = GetLastError();
        return error == ERROR_SHARING_VIOLATION;
    };
    return RetryWhileBusy(probe, busy) ? ERROR_SUCCESS : error;
}

bool MoveIntoPlace(const std::wstring& temporary, const std::wstring& target) {
    // A virus scanner or indexer may hold the target for a moment; wait briefly for it.
    const auto move = [&] {
        return MoveFileExW(temporary.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    };
    const auto busy = [] {
        const DWORD error = GetLastError();
        return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
    };
    return RetryWhileBusy(move, busy);
}

}  // namespace

FileBytes ReadFileBytes(const Path& path) {
    const UniqueFile file(CreateFileW(path.Native().c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        Fail("FileOpenError", "Cannot open file %s", path, GetLastError());
    // Read straight into the result, sized by the file and grown should the file grow meanwhile.
    FileBytes bytes;
    LARGE_INTEGER size{};
    std::size_t room = kWriteChunk;
    if (GetFileSizeEx(file.Get(), &size) && size.QuadPart > 0) {
        // Checked before the size becomes a std::size_t, which a 32-bit build would cut short.
        if (static_cast<std::uint64_t>(size.QuadPart) > kLargestFileRead)
            throw Error("FileOpenError", "Cannot open file %s: larger than 256 MB", path);
        room = static_cast<std::size_t>(size.QuadPart) + 1;
    }
    bytes.Resize(room);
    std::size_t filled = 0;
    for (;;) {
        if (filled == room) {
            room *= 2;
            bytes.Resize(room);
        }
        const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(room - filled, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(file.Get(), bytes.Data() + filled, asked, &got, nullptr))
            Fail("FileOpenError", "Cannot open file %s", path, GetLastError());
        if (got == 0)
            break;
        filled += got;
        if (filled > kLargestFileRead)  // it grew while it was read
            throw Error("FileOpenError", "Cannot open file %s: larger than 256 MB", path);
    }
    bytes.Resize(filled);
    return bytes;
}

std::string ReadWholeFile(const Path& path) { return std::string(ReadFileBytes(path).View()); }

namespace {

// Writes a file's whole content to the open file; returns 0 or the system's code of its failure.
using ContentWriter = std::function<DWORD(HANDLE file)>;

// Throws Error "Cannot create file %s" when path cannot be replaced; returns whether it exists.
bool CheckReplaceable(const Path& path) {
    if (path.Empty())
        Fail("FileCreateError", "Cannot create file %s", path, ERROR_INVALID_NAME);
    if (const DWORD refusal = CheckTargetReplaceable(path.Native()); refusal != ERROR_SUCCESS)
        Fail("FileCreateError", "Cannot create file %s", path, refusal);
    return GetFileAttributesW(path.Native().c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Clears a leftover of an interrupted save away, read-only or not.
void RemoveLeftover(const std::wstring& temporary) {
    SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(temporary.c_str());
}

// Writes a new file at temporary whole: every write checked, flushed and the close checked too,
// since it may be where the system reports a lost write. On failure the file is removed and
// Error is thrown naming named, the file the user knows.
void WriteNewFile(const std::wstring& temporary, const Path& named,
                  const ContentWriter& writeContent) {
    RemoveLeftover(temporary);
    UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        Fail("FileCreateError", "Cannot create file %s", named, GetLastError());
    DWORD written = 0;
    try {
        written = writeContent(file.Get());
    } catch (...) {
        file.Reset();
        DeleteFileW(temporary.c_str());
        throw;
    }
    if (written == 0 && !FlushFileBuffers(file.Get()))
        written = GetLastError();
    if (written == 0 && !CloseHandle(file.Release()))
        written = GetLastError();
    if (written != 0) {
        file.Reset();
        DeleteFileW(temporary.c_str());
        Fail("FileWriteError", "Cannot write file %s", named, written);
    }
}

// Moves temporary over target; on failure removes temporary and throws "Cannot create file %s"
// naming named.
void MoveOrFail(const std::wstring& temporary, const std::wstring& target, const Path& named) {
    if (!MoveIntoPlace(temporary, target)) {
        const DWORD code = GetLastError();
        DeleteFileW(temporary.c_str());
        Fail("FileCreateError", "Cannot create file %s", named, code);
    }
}

// Gives the existing file source a second name, temporary: a hard link, or where the volume
// refuses one a copy written as a new file. Throws, naming source when it cannot be read (with
// unreadable's pattern and kind) and target when the copy cannot be written.
void LinkOrCopy(const Path& source, const std::wstring& temporary, const Path& target,
                const char* unreadableKind, const char* unreadable, WriteFaults* faults) {
    RemoveLeftover(temporary);
    const bool refused = faults && faults->RefuseLink();
    if (!refused && CreateHardLinkW(temporary.c_str(), source.Native().c_str(), nullptr))
        return;
    // Any refusal leads to the copy, which reports what stands in its way itself.
    FileBytes bytes;
    try {
        bytes = ReadFileBytes(source);
    } catch (const Error& error) {
        Fail(unreadableKind, unreadable, source, static_cast<DWORD>(error.SystemCode()));
    }
    WriteNewFile(temporary, target, [&](HANDLE file) {
        return WriteAll(file, bytes.View(), faults) ? DWORD{0} : GetLastError();
    });
}

// The safe replacement around writeContent.
void Replace(const Path& path, const ContentWriter& writeContent) {
    CheckReplaceable(path);
    const std::wstring temporary = (path + ".tmp").Native();
    WriteNewFile(temporary, path, writeContent);
    MoveOrFail(temporary, path.Native(), path);
}

// The replacement that keeps the replaced file as backup, around writeContent.
void ReplaceKeeping(const Path& path, const ContentWriter& writeContent, const Path& backup,
                    WriteFaults* faults) {
    if (!CheckReplaceable(path))
        return Replace(path, writeContent);
    // Checked before anything is written, so that a backup that cannot be replaced stops the
    // save while it has changed nothing.
    CheckReplaceable(backup);
    const std::wstring temporary = (path + ".tmp").Native();
    WriteNewFile(temporary, path, writeContent);
    const std::wstring kept = (backup + ".tmp").Native();
    try {
        LinkOrCopy(path, kept, backup, "FileCreateError", "Cannot create file %s", faults);
    } catch (...) {
        DeleteFileW(temporary.c_str());
        throw;
    }
    // Not ReplaceFileW with its backup argument: it can fail with
    // ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 and leave no file at path at all.
    if (!MoveIntoPlace(temporary, path.Native())) {
        const DWORD code = GetLastError();
        DeleteFileW(temporary.c_str());
        DeleteFileW(kept.c_str());
        Fail("FileCreateError", "Cannot create file %s", path, code);
    }
    if (!MoveIntoPlace(kept, backup.Native())) {
        // The backup turned unreplaceable since it was checked: the old file goes back to path.
        const DWORD code = GetLastError();
        if (!MoveIntoPlace(kept, path.Native()))
            DeleteFileW(kept.c_str());
        Fail("FileCreateError", "Cannot create file %s", backup, code);
    }
    // Where backup already named the old file, the move may have left both names: one goes.
    DeleteFileW(kept.c_str());
}

DWORD WriteBytes(HANDLE file, std::string_view bytes, WriteFaults* faults) {
    return WriteAll(file, bytes, faults) ? DWORD{0} : GetLastError();
}

DWORD WriteFilled(HANDLE file, const FileFiller& fill, WriteFaults* faults) {
    return static_cast<DWORD>(WriteBlocks(fill, [file, faults](std::string_view block) {
        return WriteAll(file, block, faults) ? 0 : static_cast<int>(GetLastError());
    }));
}

}  // namespace

void ReplaceFileSafely(const Path& path, std::string_view bytes, WriteFaults* faults) {
    Replace(path, [&](HANDLE file) { return WriteBytes(file, bytes, faults); });
}

void ReplaceFileSafely(const Path& path, const FileFiller& fill, WriteFaults* faults) {
    Replace(path, [&](HANDLE file) { return WriteFilled(file, fill, faults); });
}

void ReplaceFileKeepingBackup(const Path& path, std::string_view bytes, const Path& backup,
                              WriteFaults* faults) {
    ReplaceKeeping(
        path, [&](HANDLE file) { return WriteBytes(file, bytes, faults); }, backup, faults);
}

void ReplaceFileKeepingBackup(const Path& path, const FileFiller& fill, const Path& backup,
                              WriteFaults* faults) {
    ReplaceKeeping(
        path, [&](HANDLE file) { return WriteFilled(file, fill, faults); }, backup, faults);
}

void KeepCopy(const Path& source, const Path& target, WriteFaults* faults) {
    CheckReplaceable(target);
    const std::wstring temporary = (target + ".tmp").Native();
    LinkOrCopy(source, temporary, target, "FileOpenError", "Cannot open file %s", faults);
    MoveOrFail(temporary, target.Native(), target);
    // Where target already named source, the move may have left both names: one goes.
    DeleteFileW(temporary.c_str());
}

namespace {

struct FileIdentity {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
    bool operator==(const FileIdentity&) const = default;
};

// Opened for no access at all: that works while another program holds the file without sharing.
std::optional<FileIdentity> IdentityOf(const std::wstring& path) {
    const UniqueFile file(CreateFileW(path.c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.Get(), &info))
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

// The absolute path with "." and ".." resolved and every "/" turned into a backslash.
std::wstring FullPath(const std::wstring& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return path;
    full.resize(length);
    return full;
}

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

bool IsSameFile(const Path& a, const Path& b) {
    const std::wstring fullA = FullPath(a.Native());
    const std::wstring fullB = FullPath(b.Native());
    const std::optional<FileIdentity> fileA = IdentityOf(fullA);
    const std::optional<FileIdentity> fileB = IdentityOf(fullB);
    if (fileA || fileB)
        return fileA && fileB && *fileA == *fileB;
    const std::size_t slashA = fullA.find_last_of(L'\\');
    const std::size_t slashB = fullB.find_last_of(L'\\');
    if (slashA == std::wstring::npos || slashB == std::wstring::npos)
        return EqualIgnoringCase(fullA, fullB);
    if (!EqualIgnoringCase(std::wstring_view(fullA).substr(slashA),
                           std::wstring_view(fullB).substr(slashB)))
        return false;
    const std::wstring directoryA = fullA.substr(0, slashA + 1);
    const std::wstring directoryB = fullB.substr(0, slashB + 1);
    const std::optional<FileIdentity> folderA = IdentityOf(directoryA);
    const std::optional<FileIdentity> folderB = IdentityOf(directoryB);
    if (folderA && folderB)
        return *folderA == *folderB;
    return EqualIgnoringCase(directoryA, directoryB);
}

namespace {

// Calls visit with what the system finds of every entry of the directory.
template <class Visit>
void ForEachEntry(const Path& directory, Visit visit) {
    WIN32_FIND_DATAW found;
    const std::wstring pattern =
        (directory.Native().empty() ? std::wstring(L".\\") : directory.Native()) + L"*";
    const UniqueFindHandle search(FindFirstFileW(pattern.c_str(), &found));
    if (!search)
        return;
    do
        visit(found);
    while (FindNextFileW(search.Get(), &found));
}

}  // namespace

std::vector<std::string> ListFileNames(const Path& directory, std::string_view prefix) {
    std::vector<std::string> names;
    ForEachEntry(directory, [&](const WIN32_FIND_DATAW& found) {
        std::string name;
        for (const wchar_t* c = found.cFileName; *c && *c < 0x80; ++c)
            name += static_cast<char>(*c);
        if (name.size() == wcslen(found.cFileName) && name.starts_with(prefix))
            names.push_back(std::move(name));
    });
    return names;
}

std::vector<std::string> ListFileNamesUtf8(const Path& directory) {
    std::vector<std::string> names;
    ForEachEntry(directory, [&](const WIN32_FIND_DATAW& found) {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(Path::FromNative(found.cFileName).Utf8());
    });
    return names;
}

bool RemoveFile(const Path& path) { return DeleteFileW(path.Native().c_str()) != FALSE; }

}  // namespace platform
