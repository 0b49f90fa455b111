// Noticing another program's writes; see DiskChangeWatch.h.
#include "phrases/DiskChangeWatch.h"

#include "platform/FileSystem.h"

namespace phrases {

namespace {

std::uint64_t Mix(std::uint64_t hash, std::uint64_t word) {
    return (hash ^ word) * 0xBF58476D1CE4E5B9ull + (hash >> 29);
}

std::uint64_t LoadWord(const unsigned char* bytes) {
    // Little-endian whatever the machine, so that one file hashes the same everywhere.
    std::uint64_t word = 0;
    for (int k = 7; k >= 0; --k)
        word = word << 8 | bytes[k];
    return word;
}

}  // namespace

void ContentHash::Add(std::string_view bytes) {
    auto data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t size = bytes.size();
    m_size += size;
    while (m_tailSize > 0 && m_tailSize < 8 && size > 0) {
        m_tail[m_tailSize++] = *data++;
        --size;
    }
    if (m_tailSize == 8) {
        m_hash = Mix(m_hash, LoadWord(m_tail));
        m_tailSize = 0;
    }
    for (; size >= 8; data += 8, size -= 8)
        m_hash = Mix(m_hash, LoadWord(data));
    for (; size > 0; --size)
        m_tail[m_tailSize++] = *data++;
}

std::uint64_t ContentHash::Value() const {
    unsigned char last[8] = {};
    for (std::size_t k = 0; k < m_tailSize; ++k)
        last[k] = m_tail[k];
    return Mix(Mix(m_hash, LoadWord(last)), m_size);
}

void DiskChangeWatch::Remember(std::string_view bytes) { RememberHash(Hash(bytes)); }

void DiskChangeWatch::RememberHash(std::uint64_t hash) {
    m_stamp = platform::StampOf(m_path);
    m_hash = hash;
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
    ContentHash hash;
    hash.Add(bytes);
    return hash.Value();
}

}  // namespace phrases
