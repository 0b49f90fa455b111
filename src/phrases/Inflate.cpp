// Raw deflate (RFC 1951), decoded bit by bit with canonical Huffman tables, as Mark Adler's
// public-domain "puff" shows it: small and strict rather than fast, which suits dictionaries of a
// few megabytes. Every read is bounded by the input, every copy by what has been written.
#include <array>
#include <cstdint>

#include "phrases/ZipArchive.h"

namespace phrases {

namespace {

constexpr int kMaxBits = 15;
constexpr int kMaxLiteralCodes = 286;
constexpr int kMaxDistanceCodes = 30;
constexpr int kFixedLiteralCodes = 288;

class Bits {
public:
    explicit Bits(std::string_view bytes) : m_bytes(bytes) {}

    // Takes count bits, least significant first; false once the input has ended.
    bool Take(int count, unsigned& value) {
        while (m_count < count) {
            if (m_at >= m_bytes.size())
                return false;
            m_buffer |= static_cast<std::uint32_t>(static_cast<unsigned char>(m_bytes[m_at++]))
                        << m_count;
            m_count += 8;
        }
        value = m_buffer & ((1u << count) - 1);
        m_buffer >>= count;
        m_count -= count;
        return true;
    }
    void SkipToByte() {
        m_buffer = 0;
        m_count = 0;
    }
    std::string_view TakeBytes(std::size_t count) {
        if (m_bytes.size() - m_at < count)
            return {};
        const std::string_view taken = m_bytes.substr(m_at, count);
        m_at += count;
        return taken;
    }
    bool HasBytes(std::size_t count) const { return m_bytes.size() - m_at >= count; }

private:
    std::string_view m_bytes;
    std::size_t m_at = 0;
    std::uint32_t m_buffer = 0;
    int m_count = 0;
};

// A canonical Huffman code: how many codes of each length, and the symbols ordered by code.
struct Huffman {
    std::array<std::uint16_t, kMaxBits + 1> count{};
    std::array<std::uint16_t, kFixedLiteralCodes> symbol{};
};

// Builds the code from the lengths of n symbols. Returns 0 for a complete code, more for an
// incomplete one, less than 0 for one that has too many codes of some length.
int Build(Huffman& code, const std::uint16_t* lengths, int n) {
    code.count.fill(0);
    for (int s = 0; s < n; ++s)
        ++code.count[lengths[s]];
    if (code.count[0] == n)
        return 0;
    int left = 1;
    for (int length = 1; length <= kMaxBits; ++length) {
        left <<= 1;
        left -= code.count[static_cast<std::size_t>(length)];
        if (left < 0)
            return left;
    }
    std::array<std::uint16_t, kMaxBits + 1> offsets{};
    for (int length = 1; length < kMaxBits; ++length)
        offsets[static_cast<std::size_t>(length) + 1] =
            static_cast<std::uint16_t>(offsets[static_cast<std::size_t>(length)] +
                                       code.count[static_cast<std::size_t>(length)]);
    for (int s = 0; s < n; ++s)
        if (lengths[s] != 0)
            code.symbol[offsets[lengths[s]]++] = static_cast<std::uint16_t>(s);
    return left;
}

// The next symbol, or -1 when the input ends or the bits make no code.
int Decode(Bits& bits, const Huffman& code) {
    int value = 0, first = 0, index = 0;
    for (int length = 1; length <= kMaxBits; ++length) {
        unsigned bit = 0;
        if (!bits.Take(1, bit))
            return -1;
        value |= static_cast<int>(bit);
        const int count = code.count[static_cast<std::size_t>(length)];
        if (value - count < first)
            return code.symbol[static_cast<std::size_t>(index + (value - first))];
        index += count;
        first += count;
        first <<= 1;
        value <<= 1;
    }
    return -1;
}

constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                           15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                           67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistanceBase[30] = {1,    2,    3,    4,     5,     7,    9,    13,
                                             17,   25,   33,   49,    65,    97,   129,  193,
                                             257,  385,  513,  769,   1025,  1537, 2049, 3073,
                                             4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// The symbols of one block up to its end code.
bool Codes(Bits& bits, std::string& out, std::size_t limit, const Huffman& literals,
           const Huffman& distances) {
    for (;;) {
        int symbol = Decode(bits, literals);
        if (symbol < 0)
            return false;
        if (symbol < 256) {
            if (out.size() >= limit)
                return false;
            out += static_cast<char>(symbol);
            continue;
        }
        if (symbol == 256)
            return true;
        symbol -= 257;
        if (symbol >= 29)
            return false;
        unsigned extra = 0;
        if (!bits.Take(kLengthExtra[symbol], extra))
            return false;
        const std::size_t length = kLengthBase[symbol] + extra;
        symbol = Decode(bits, distances);
        if (symbol < 0 || symbol >= 30 || !bits.Take(kDistanceExtra[symbol], extra))
            return false;
        const std::size_t distance = kDistanceBase[symbol] + extra;
        if (distance > out.size() || limit - out.size() < length)
            return false;
        // The copy may overlap what it writes: byte by byte.
        for (std::size_t k = 0; k < length; ++k)
            out += out[out.size() - distance];
    }
}

bool Stored(Bits& bits, std::string& out, std::size_t limit) {
    bits.SkipToByte();
    const std::string_view header = bits.TakeBytes(4);
    if (header.size() != 4)
        return false;
    const auto byte = [&](int k) {
        return static_cast<unsigned>(static_cast<unsigned char>(header[k]));
    };
    const unsigned length = byte(0) | byte(1) << 8;
    if ((byte(2) | byte(3) << 8) != (~length & 0xFFFF) || !bits.HasBytes(length) ||
        limit - out.size() < length)
        return false;
    out += bits.TakeBytes(length);
    return true;
}

bool Fixed(Bits& bits, std::string& out, std::size_t limit) {
    static const auto codes = [] {
        std::pair<Huffman, Huffman> made;
        std::uint16_t lengths[kFixedLiteralCodes];
        int s = 0;
        for (; s < 144; ++s)
            lengths[s] = 8;
        for (; s < 256; ++s)
            lengths[s] = 9;
        for (; s < 280; ++s)
            lengths[s] = 7;
        for (; s < kFixedLiteralCodes; ++s)
            lengths[s] = 8;
        Build(made.first, lengths, kFixedLiteralCodes);
        for (s = 0; s < kMaxDistanceCodes; ++s)
            lengths[s] = 5;
        Build(made.second, lengths, kMaxDistanceCodes);
        return made;
    }();
    return Codes(bits, out, limit, codes.first, codes.second);
}

bool Dynamic(Bits& bits, std::string& out, std::size_t limit) {
    static constexpr std::uint8_t kOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                11, 4,  12, 3, 13, 2, 14, 1, 15};
    unsigned literalCount = 0, distanceCount = 0, lengthCount = 0;
    if (!bits.Take(5, literalCount) || !bits.Take(5, distanceCount) || !bits.Take(4, lengthCount))
        return false;
    literalCount += 257;
    distanceCount += 1;
    lengthCount += 4;
    if (literalCount > kMaxLiteralCodes || distanceCount > kMaxDistanceCodes)
        return false;
    std::uint16_t lengths[kMaxLiteralCodes + kMaxDistanceCodes] = {};
    for (unsigned k = 0; k < lengthCount; ++k) {
        unsigned length = 0;
        if (!bits.Take(3, length))
            return false;
        lengths[kOrder[k]] = static_cast<std::uint16_t>(length);
    }
    Huffman lengthCode;
    if (Build(lengthCode, lengths, 19) != 0)
        return false;  // the code of the code lengths must be complete

    const unsigned total = literalCount + distanceCount;
    for (unsigned k = 0; k < total;) {
        const int symbol = Decode(bits, lengthCode);
        if (symbol < 0)
            return false;
        if (symbol < 16) {
            lengths[k++] = static_cast<std::uint16_t>(symbol);
            continue;
        }
        std::uint16_t value = 0;
        unsigned repeat = 0;
        if (symbol == 16) {
            if (k == 0 || !bits.Take(2, repeat))
                return false;
            value = lengths[k - 1];
            repeat += 3;
        } else if (symbol == 17) {
            if (!bits.Take(3, repeat))
                return false;
            repeat += 3;
        } else {
            if (!bits.Take(7, repeat))
                return false;
            repeat += 11;
        }
        if (k + repeat > total)
            return false;
        while (repeat--)
            lengths[k++] = value;
    }
    if (lengths[256] == 0)
        return false;  // no end code

    Huffman literals, distances;
    // An incomplete code is allowed only when it is a single code of one bit.
    int left = Build(literals, lengths, static_cast<int>(literalCount));
    if (left < 0 || (left > 0 && literalCount != 0u + literals.count[0] + literals.count[1]))
        return false;
    left = Build(distances, lengths + literalCount, static_cast<int>(distanceCount));
    if (left < 0 || (left > 0 && distanceCount != 0u + distances.count[0] + distances.count[1]))
        return false;
    return Codes(bits, out, limit, literals, distances);
}

}  // namespace

bool Inflate(std::string_view deflated, std::string& out, std::size_t limit) {
    Bits bits(deflated);
    for (;;) {
        unsigned last = 0, type = 0;
        if (!bits.Take(1, last) || !bits.Take(2, type))
            return false;
        const bool done = type == 0   ? Stored(bits, out, limit)
                          : type == 1 ? Fixed(bits, out, limit)
                          : type == 2 ? Dynamic(bits, out, limit)
                                      : false;
        if (!done)
            return false;
        if (last)
            return true;
    }
}

}  // namespace phrases
