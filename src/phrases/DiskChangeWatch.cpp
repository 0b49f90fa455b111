// Noticing another program's writes; see DiskChangeWatch.h.
#include "phrases/DiskChangeWatch.h"

#include "platform/FileSystem.h"

namespace phrases {

void DiskChangeWatch::Remember(std::string_view bytes) {
    m_stamp = platform::StampOf(m_path);
    m_hash = Hash(bytes);
    m_known = true;
}

void DiskChangeWatch::RememberMissing() {
    m_stamp = {};
    m_hash = 0;
    m_known = true;
}

bool DiskChangeWatch::Changed() {
    if (!m_known)
        return false;
    const platform::FileStamp now = platform::StampOf(m_path);
    if (now == m_stamp)
        return false;
    if (!now.exists || !m_stamp.exists || now.size != m_stamp.size)
        return true;
    // Same size, new time: compare the bytes. A file held open by its writer counts as changed.
    try {
        if (Hash(platform::ReadWholeFile(m_path)) != m_hash)
            return true;
    } catch (const std::exception&) {
        return true;
    }
    m_stamp = now;
    return false;
}

void DiskChangeWatch::Accept() {
    m_stamp = platform::StampOf(m_path);
    m_hash = 0;
    if (m_stamp.exists) {
        try {
            m_hash = Hash(platform::ReadWholeFile(m_path));
        } catch (const std::exception&) {
            m_stamp = {};  // unreadable now: asked again once it can be read
        }
    }
    m_known = true;
}

std::uint64_t DiskChangeWatch::Hash(std::string_view bytes) {
    // FNV-1a, 64 bits: a change check, not a defence against anyone.
    std::uint64_t hash = 14695981039346656037ull;
    for (char byte : bytes) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 1099511628211ull;
    }
    return hash;
}

}  // namespace phrases
