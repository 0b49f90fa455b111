// A fast 64-bit hash of bytes: the checksum of the files in the sync folder, the digest of a tree
// and the hash of the flat index tables. Not cryptographic: it finds damage, not forgery.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace synchro {

inline std::uint64_t Mix64(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return h;
}

inline std::uint64_t Hash64(std::string_view bytes, std::uint64_t seed = 0) {
    constexpr std::uint64_t kPrime = 0x9E3779B97F4A7C15ull;
    std::uint64_t h = seed ^ (bytes.size() * kPrime);
    const char* at = bytes.data();
    std::size_t left = bytes.size();
    // Two lanes, so that the multiplications of neighbouring words overlap.
    std::uint64_t other = h ^ 0x2545F4914F6CDD1Dull;
    for (; left >= 16; at += 16, left -= 16) {
        std::uint64_t a, b;
        std::memcpy(&a, at, 8);
        std::memcpy(&b, at + 8, 8);
        h = (h ^ a) * kPrime;
        h ^= h >> 29;
        other = (other ^ b) * kPrime;
        other ^= other >> 31;
    }
    if (left >= 8) {
        std::uint64_t a;
        std::memcpy(&a, at, 8);
        h = (h ^ a) * kPrime;
        h ^= h >> 29;
        at += 8;
        left -= 8;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, at, left);
    h = (h ^ tail ^ (std::uint64_t{left} << 59)) * kPrime;
    return Mix64(h ^ Mix64(other));
}

// The digest of a tree as its file would hold it: every node's level and text in file order. A
// node costs two multiplications when its text is short (most phrases are), so that digesting a
// million nodes costs little beside walking them. It is a polynomial of the nodes' hashes, so the
// digests of two halves give the digest of the whole (Join): halves are digested on two threads.
class TreeDigest {
public:
    static constexpr std::uint64_t kBase = 0x100000001B3ull;

    void Add(int level, std::string_view text) {
        constexpr std::uint64_t kPrime = 0x9E3779B97F4A7C15ull;
        const std::size_t size = text.size();
        std::uint64_t head;
        std::uint64_t tail;
        if (size >= 8 && size <= 16) {
            std::memcpy(&head, text.data(), 8);
            std::memcpy(&tail, text.data() + size - 8, 8);
        } else if (size < 8) {
            head = 0;
            tail = 0;
            std::memcpy(&head, text.data(), size);
        } else {
            head = Hash64(text);
            tail = 0;
        }
        const std::uint64_t shape = std::uint64_t{size} << 32 | static_cast<std::uint32_t>(level);
        std::uint64_t node = (head ^ 0x5EED5EED5EED5EEDull) * kPrime;
        node = (node ^ tail ^ shape) * kPrime;
        node ^= node >> 29;
        m_value = m_value * kBase + node;
        m_power *= kBase;
    }
    // This digest followed by the nodes of other.
    void Join(const TreeDigest& other) {
        m_value = m_value * other.m_power + other.m_value;
        m_power *= other.m_power;
    }
    std::uint64_t Value() const { return Mix64(m_value); }

private:
    std::uint64_t m_value = 0;
    std::uint64_t m_power = 1;  // kBase to the number of nodes
};

}  // namespace synchro
