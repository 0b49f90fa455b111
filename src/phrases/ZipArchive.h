// Zip archives, as far as dictionaries travel in them (Gboard's personal dictionary is a zip
// holding dictionary.txt): a reader of stored and deflated entries and a writer of stored ones.
// The standard library only; every offset and length is checked against the archive's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace phrases {

struct ZipEntry {
    std::string name;
    std::string bytes;
};

// The largest entry the reader unpacks, against archives that claim or inflate to absurd sizes.
inline constexpr std::size_t kMaxZipEntryBytes = 256u << 20;

// True when the bytes start as a zip archive does (a local file header, or the end record of an
// empty archive).
bool IsZip(std::string_view bytes);

// The names of the archive's entries from its central directory, in its order; nullopt for an
// archive that is damaged or that this reader cannot read (ZIP64, split over disks).
std::optional<std::vector<std::string>> ZipEntryNames(std::string_view archive);

// The unpacked bytes of the entry of that name (the first, where names repeat); nullopt when the
// archive has none, is damaged, or the entry is encrypted, stored by a method other than stored
// (0) or deflate (8), larger than kMaxZipEntryBytes, or fails its CRC-32.
std::optional<std::string> ReadZipEntry(std::string_view archive, std::string_view name);

// An archive of the entries, stored (not compressed), each with its CRC-32, dated 1980-01-01.
std::string WriteZip(const std::vector<ZipEntry>& entries);

std::uint32_t Crc32(std::string_view bytes);

// Unpacks raw deflate data (RFC 1951) into out; false for data that is not deflate, ends early,
// or would unpack to more than limit bytes.
bool Inflate(std::string_view deflated, std::string& out, std::size_t limit);

}  // namespace phrases
