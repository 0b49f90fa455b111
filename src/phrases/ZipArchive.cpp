// Zip archives; see ZipArchive.h. The layout, little endian (PKWARE's APPNOTE):
//   local file header  50 4B 03 04, version, flags, method, time, date, CRC-32, packed size,
//                      size, name length, extra length (u16 u16 u16 u16 u16 u32 u32 u32 u16 u16),
//                      the name, the extra field, then the entry's data
//   central directory  per entry 50 4B 01 02, made by, version, flags, method, time, date,
//                      CRC-32, packed size, size, name length, extra length, comment length,
//                      disk, internal and external attributes, local header offset; the name,
//                      extra field and comment
//   end record         50 4B 05 06, disk, directory disk, entries here, entries, directory
//                      size, directory offset, comment length, comment (the last 22 to 65,557
//                      bytes of the archive)
// The central directory is what counts: sizes in a local header may be zero when a data
// descriptor follows the data (flag bit 3).
#include "phrases/ZipArchive.h"

#include "phrases/LittleEndian.h"

#include <array>

namespace phrases {

namespace {

constexpr std::string_view kLocalSignature("PK\x03\x04", 4);
constexpr std::string_view kCentralSignature("PK\x01\x02", 4);
constexpr std::string_view kEndSignature("PK\x05\x06", 4);
constexpr std::size_t kLocalHeader = 30;
constexpr std::size_t kCentralHeader = 46;
constexpr std::size_t kEndRecord = 22;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kEncrypted = 1;

struct CentralEntry {
    std::string_view name;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint32_t crc = 0;
    std::uint32_t packedSize = 0;
    std::uint32_t size = 0;
    std::uint32_t localHeader = 0;
};

// The entries of the central directory, or nullopt for a damaged archive.
std::optional<std::vector<CentralEntry>> CentralDirectory(std::string_view archive) {
    if (archive.size() < kEndRecord)
        return std::nullopt;
    // The end record: the last one whose comment reaches exactly to the end.
    std::size_t end = archive.size() - kEndRecord;
    const std::size_t lowest = end > 0xFFFF ? end - 0xFFFF : 0;
    for (;; --end) {
        if (archive.substr(end, 4) == kEndSignature &&
            end + kEndRecord + U16(archive, end + 20) == archive.size())
            break;
        if (end == lowest)
            return std::nullopt;
    }
    const std::uint32_t count = U16(archive, end + 10);
    const std::uint64_t directorySize = U32(archive, end + 12);
    const std::uint64_t directory = U32(archive, end + 16);
    if (U16(archive, end + 4) != 0 || U16(archive, end + 6) != 0 ||
        U16(archive, end + 8) != count || directory + directorySize > end)
        return std::nullopt;  // split archives and ZIP64 (all bits set) land here
    std::vector<CentralEntry> entries;
    auto at = static_cast<std::size_t>(directory);
    const auto limit = static_cast<std::size_t>(directory + directorySize);
    for (std::uint32_t k = 0; k < count; ++k) {
        if (limit - at < kCentralHeader || archive.substr(at, 4) != kCentralSignature)
            return std::nullopt;
        CentralEntry entry;
        entry.flags = static_cast<std::uint16_t>(U16(archive, at + 8));
        entry.method = static_cast<std::uint16_t>(U16(archive, at + 10));
        entry.crc = U32(archive, at + 16);
        entry.packedSize = U32(archive, at + 20);
        entry.size = U32(archive, at + 24);
        const std::size_t nameLength = U16(archive, at + 28);
        const std::size_t rest = nameLength + U16(archive, at + 30) + U16(archive, at + 32);
        entry.localHeader = U32(archive, at + 42);
        if (limit - at - kCentralHeader < rest)
            return std::nullopt;
        entry.name = archive.substr(at + kCentralHeader, nameLength);
        entries.push_back(entry);
        at += kCentralHeader + rest;
    }
    return entries;
}

}  // namespace

bool IsZip(std::string_view bytes) {
    return bytes.starts_with(kLocalSignature) ||
           (bytes.size() == kEndRecord && bytes.starts_with(kEndSignature));
}

std::optional<std::vector<std::string>> ZipEntryNames(std::string_view archive) {
    const auto entries = CentralDirectory(archive);
    if (!entries)
        return std::nullopt;
    std::vector<std::string> names;
    for (const CentralEntry& entry : *entries)
        names.emplace_back(entry.name);
    return names;
}

std::optional<std::string> ReadZipEntry(std::string_view archive, std::string_view name) {
    const auto entries = CentralDirectory(archive);
    if (!entries)
        return std::nullopt;
    for (const CentralEntry& entry : *entries) {
        if (entry.name != name)
            continue;
        const std::uint64_t local = entry.localHeader;
        if ((entry.flags & kEncrypted) || entry.size > kMaxZipEntryBytes ||
            archive.size() < kLocalHeader || local > archive.size() - kLocalHeader ||
            archive.substr(static_cast<std::size_t>(local), 4) != kLocalSignature)
            return std::nullopt;
        const std::uint64_t data = local + kLocalHeader +
                                   U16(archive, static_cast<std::size_t>(local) + 26) +
                                   U16(archive, static_cast<std::size_t>(local) + 28);
        if (data > archive.size() || entry.packedSize > archive.size() - data)
            return std::nullopt;
        const std::string_view packed =
            archive.substr(static_cast<std::size_t>(data), entry.packedSize);
        std::string bytes;
        if (entry.method == kStored) {
            if (entry.packedSize != entry.size)
                return std::nullopt;
            bytes = packed;
        } else if (entry.method == kDeflated) {
            bytes.reserve(entry.size);
            if (!Inflate(packed, bytes, entry.size) || bytes.size() != entry.size)
                return std::nullopt;
        } else {
            return std::nullopt;
        }
        if (Crc32(bytes) != entry.crc)
            return std::nullopt;
        return bytes;
    }
    return std::nullopt;
}

std::string WriteZip(const std::vector<ZipEntry>& entries) {
    constexpr std::uint32_t kVersion = 10;                    // 1.0: stored entries only
    constexpr std::uint32_t kDate = (0 << 9) | (1 << 5) | 1;  // 1980-01-01, MS-DOS form
    std::string archive, directory;
    for (const ZipEntry& entry : entries) {
        const std::uint32_t crc = Crc32(entry.bytes);
        const auto size = static_cast<std::uint32_t>(entry.bytes.size());
        const auto nameLength = static_cast<std::uint32_t>(entry.name.size());
        const auto offset = static_cast<std::uint32_t>(archive.size());
        archive += kLocalSignature;
        Put16(archive, kVersion);
        Put16(archive, 0);  // flags
        Put16(archive, kStored);
        Put16(archive, 0);  // time
        Put16(archive, kDate);
        Put32(archive, crc);
        Put32(archive, size);
        Put32(archive, size);
        Put16(archive, nameLength);
        Put16(archive, 0);  // extra field
        archive += entry.name;
        archive += entry.bytes;

        directory += kCentralSignature;
        Put16(directory, kVersion);  // made by: MS-DOS, 1.0
        Put16(directory, kVersion);
        Put16(directory, 0);
        Put16(directory, kStored);
        Put16(directory, 0);
        Put16(directory, kDate);
        Put32(directory, crc);
        Put32(directory, size);
        Put32(directory, size);
        Put16(directory, nameLength);
        Put16(directory, 0);  // extra field
        Put16(directory, 0);  // comment
        Put16(directory, 0);  // disk
        Put16(directory, 0);  // internal attributes
        Put32(directory, 0);  // external attributes
        Put32(directory, offset);
        directory += entry.name;
    }
    const auto directoryOffset = static_cast<std::uint32_t>(archive.size());
    archive += directory;
    archive += kEndSignature;
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, static_cast<std::uint32_t>(entries.size()));
    Put16(archive, static_cast<std::uint32_t>(entries.size()));
    Put32(archive, static_cast<std::uint32_t>(directory.size()));
    Put32(archive, directoryOffset);
    Put16(archive, 0);  // comment
    return archive;
}

std::uint32_t Crc32(std::string_view bytes) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> made{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            made[n] = c;
        }
        return made;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes)
        crc = table[(crc ^ static_cast<unsigned char>(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

}  // namespace phrases
