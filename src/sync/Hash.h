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

// The digest of a tree as its file would hold it: every node's level and text in file order.
class TreeDigest {
public:
    void Add(int level, std::string_view text) {
        m_value = Mix64(m_value + Hash64(text, static_cast<std::uint64_t>(level)) + ++m_count);
    }
    std::uint64_t Value() const { return m_value; }

private:
    std::uint64_t m_value = 0x5EED5EED5EED5EEDull;
    std::uint64_t m_count = 0;
};

}  // namespace synchro
