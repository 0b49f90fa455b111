// Fuzzes the zip reader and the inflate beneath it from arbitrary bytes: no read beyond the
// input, an entry never larger than declared, and what the writer packs reads back.
#include <cstddef>
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "phrases/ZipArchive.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);

    if (const auto names = phrases::ZipEntryNames(bytes)) {
        for (const std::string& name : *names)
            if (const auto entry = phrases::ReadZipEntry(bytes, name))
                Check(entry->size() <= phrases::kMaxZipEntryBytes);
    }
    (void)phrases::ReadZipEntry(bytes, "dictionary.txt");

    std::string out;
    const bool inflated = phrases::Inflate(bytes, out, 1 << 20);
    Check(out.size() <= 1 << 20);
    (void)inflated;

    const std::string archive = phrases::WriteZip({{"dictionary.txt", std::string(bytes)}});
    Check(phrases::ReadZipEntry(archive, "dictionary.txt") == bytes);
    return 0;
}
