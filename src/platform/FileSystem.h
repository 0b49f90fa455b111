// Whole-file reads and safe whole-file replacement.
#pragma once

#include <string>
#include <string_view>

#include "platform/FileBlocks.h"
#include "platform/Path.h"

namespace platform {

// Reads the existing file whole, opened for reading without sharing.
// Throws Error "Cannot open file %s" when it cannot be opened.
std::string ReadWholeFile(const Path& path);

// Replaces the file at path with bytes so that the old content survives any failure: the bytes go
// to a temporary file beside it, every write is checked and flushed, and the temporary file then
// takes the target's place in one step. Throws Error "Cannot create file %s" when the temporary
// file cannot be made or the target cannot be replaced, "Cannot write file %s" when a write fails;
// in both cases the old file is unchanged and no temporary file is left.
void ReplaceFileSafely(const Path& path, std::string_view bytes);
// The same for a file made block by block by fill (see WriteBlocks): each block is written while
// the next is made. When fill throws, the old file stays and no temporary file is left either.
void ReplaceFileSafely(const Path& path, const FileFiller& fill);

// True when both paths name the same file. Existing files are compared by their identity (volume
// and file number), so another letter case, a ".." or a link reaching the file counts as the same;
// a file that does not exist yet by its name (letter case ignored where the system ignores it)
// within the same directory.
bool IsSameFile(const Path& a, const Path& b);

// Test seam: makes the k-th write from now on fail (1 = the next write); 0 turns it off.
void FailWriteForTesting(int k);

}  // namespace platform
