// Notices that another program has written a file since this program last read or wrote it: the
// file's stamp (size and write time) is kept, and a new stamp counts as a change only when the
// bytes differ too, so that a file merely touched or copied over with the same bytes is no change.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/FileStamp.h"
#include "platform/Path.h"

namespace phrases {

class DiskChangeWatch {
public:
    explicit DiskChangeWatch(platform::Path path) : m_path(std::move(path)) {}

    // The file now holds bytes, as this program read or wrote them.
    void Remember(std::string_view bytes);
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
