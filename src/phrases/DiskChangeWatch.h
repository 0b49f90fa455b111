// Notices that another program has written a file since this program last read or wrote it: the
// file's stamp (size and write time) is kept, and a new stamp counts as a change only when the
// bytes differ too, so that a file merely touched or copied over with the same bytes is no change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/FileStamp.h"
#include "platform/Path.h"

namespace phrases {

// The hash by which the watch compares a file's bytes, taken block by block as a file is written.
// Eight bytes a step: a change check at the speed of the disk, not a defence against anyone.
class ContentHash {
public:
    void Add(std::string_view bytes);
    std::uint64_t Value() const;

private:
    std::uint64_t m_hash = 0x9E3779B97F4A7C15ull;
    std::uint64_t m_size = 0;
    unsigned char m_tail[8] = {};  // the bytes of an unfinished step
    std::size_t m_tailSize = 0;
};

class DiskChangeWatch {
public:
    explicit DiskChangeWatch(platform::Path path) : m_path(std::move(path)) {}

    // The file now holds bytes, as this program read or wrote them.
    void Remember(std::string_view bytes);
    // The same for bytes written with the ContentHash hash.
    void RememberHash(std::uint64_t hash);
    // The file could not be read; a file appearing later is a change.
    void RememberMissing();
    // Nothing known: nothing counts as a change (before the first load).
    void Forget() { m_known = false; }

    // True when the file on disk is no longer what was remembered.
    bool Changed();
    // Takes the file as it now stands as remembered: the user chose to keep the editor's tree.
    void Accept();

    static std::uint64_t Hash(std::string_view bytes);

private:
    platform::Path m_path;
    bool m_known = false;
    platform::FileStamp m_stamp;
    std::uint64_t m_hash = 0;
};

}  // namespace phrases
