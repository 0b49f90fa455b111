// Whole-file reads and safe whole-file replacement.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/FileBlocks.h"
#include "platform/LargeBlock.h"
#include "platform/Path.h"

namespace platform {

// Reads the existing file whole, opened for reading without sharing.
// Throws Error "Cannot open file %s" when it cannot be opened.
std::string ReadWholeFile(const Path& path);
// The same, into a large block: for files of megabytes that are kept once read.
FileBytes ReadFileBytes(const Path& path);

// Asked before each write ReplaceFileSafely makes whether that write fails as on a full disk, so
// that tests reach every failure path; without one, every write goes to the system.
class WriteFaults {
public:
    virtual ~WriteFaults() = default;
    virtual bool FailNextWrite() = 0;
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

// True when both paths name the same file. Existing files are compared by their identity (volume
// and file number), so another letter case, a ".." or a link reaching the file counts as the same;
// a file that does not exist yet by its name (letter case ignored where the system ignores it)
// within the same directory.
bool IsSameFile(const Path& a, const Path& b);

// The names of the entries in directory whose names start with prefix (ASCII, letter case as
// given); names other than ASCII are left out. Empty when the directory cannot be read.
std::vector<std::string> ListFileNames(const Path& directory, std::string_view prefix);

// Deletes the file; false when it could not be deleted.
bool RemoveFile(const Path& path);

}  // namespace platform
