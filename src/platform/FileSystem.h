// Whole-file reads and safe whole-file replacement.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileBlocks.h"
#include "platform/LargeBlock.h"
#include "platform/Path.h"

namespace platform {

// The largest file a 32-bit build reads whole (a 64-bit one reads any): its 2 to 4 GB of addresses
// must also hold what is made of the bytes, a phrase tree's nodes taking up to five times the
// size of its file.
constexpr std::uint64_t kLargestFileRead =
    sizeof(void*) == 4 ? std::uint64_t{256} << 20 : ~std::uint64_t{0};

// Reads the existing file whole, opened for reading without sharing.
// Throws Error "Cannot open file %s" when it cannot be opened, and "Cannot open file %s: larger
// than 256 MB" for a file larger than kLargestFileRead, before anything is read.
std::string ReadWholeFile(const Path& path);
// The same, into a large block: for files of megabytes that are kept once read.
FileBytes ReadFileBytes(const Path& path);

// Asked before each write ReplaceFileSafely makes whether that write fails as on a full disk, and
// before each hard link whether the volume refuses it (as FAT32 does), so that tests reach every
// failure path and the copy made instead of a link; without one, everything goes to the system.
class WriteFaults {
public:
    virtual ~WriteFaults() = default;
    virtual bool FailNextWrite() = 0;
    virtual bool RefuseLink() { return false; }
};

// Replaces the file at path with bytes so that the old content survives any failure: the bytes go
// to a temporary file beside it, every write is checked and flushed, and the temporary file then
// takes the target's place in one step. Throws Error "Cannot create file %s" when the temporary
// file cannot be made or the target cannot be replaced, "Cannot write file %s" when a write fails;
// in both cases the old file is unchanged and no temporary file is left.
void ReplaceFileSafely(const Path& path, std::string_view bytes, WriteFaults* faults = nullptr);
// The same for a file made block by block by fill (see WriteBlocks): each block is written while
// the next is made. When fill throws, the old file stays and no temporary file is left either.
void ReplaceFileSafely(const Path& path, const FileFiller& fill, WriteFaults* faults = nullptr);

// Replaces the file at path as ReplaceFileSafely does and keeps the file it replaces as backup,
// without reading or copying it: the old file gets a second name (a hard link) beside backup, the
// new file takes path's place, then that name takes backup's place. Where the volume refuses hard
// links (FAT32, exFAT, some network shares) the old file is copied there instead. At every moment
// a complete file stands at path. Throws Error "Cannot create file %s" naming path when the new
// file cannot be made or put in place (another program holds path, it is read-only, the old file
// cannot be read for a copy) and naming backup when backup cannot be replaced (held, read-only, a
// directory); "Cannot write file %s" naming the file whose write failed. On any failure path and
// backup are as they were and no temporary file is left. When path does not exist yet, it is
// written and backup is left alone.
void ReplaceFileKeepingBackup(const Path& path, std::string_view bytes, const Path& backup,
                              WriteFaults* faults = nullptr);
void ReplaceFileKeepingBackup(const Path& path, const FileFiller& fill, const Path& backup,
                              WriteFaults* faults = nullptr);

// Gives the existing file at source a second name, target, replacing a file there: a hard link,
// or a copy written as ReplaceFileSafely writes where the volume refuses links. The target is
// whole or as it was. A link shares its content with source, so source must be a file that is
// only ever replaced whole, never written in place: keep a backup this way, not the live file.
// Throws Error "Cannot open file %s" naming source when it cannot be read for a copy, otherwise
// the errors of ReplaceFileSafely naming target.
void KeepCopy(const Path& source, const Path& target, WriteFaults* faults = nullptr);

// True when both paths name the same file. Existing files are compared by their identity (volume
// and file number), so another letter case, a ".." or a link reaching the file counts as the same;
// a file that does not exist yet by its name (letter case ignored where the system ignores it)
// within the same directory.
bool IsSameFile(const Path& a, const Path& b);

// The names of the entries in directory whose names start with prefix (ASCII, letter case as
// given); names other than ASCII are left out. Empty when the directory cannot be read.
std::vector<std::string> ListFileNames(const Path& directory, std::string_view prefix);

// The names of every file in the directory as UTF-8 (names beyond ASCII included); empty when
// the directory cannot be read.
std::vector<std::string> ListFileNamesUtf8(const Path& directory);

// Deletes the file; false when it could not be deleted.
bool RemoveFile(const Path& path);

}  // namespace platform
