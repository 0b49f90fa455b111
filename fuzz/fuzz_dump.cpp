// Fuzzes the reading of a compiled phrase file as srf_tool dump reads it: a table and a compiled
// file from one input (two bytes give the table's length, the table's bytes follow, the compiled
// file is the rest). Whatever the bytes, the reader ends with the phrases or with its error, and
// every phrase is made of table entries, one per character number of its record.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "phrases/CharacterTable.h"
#include "phrases/CompiledFile.h"
#include "platform/Error.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const std::string_view input = fuzz::Bytes(data, size).substr(2);
    const std::size_t tableLength = std::min<std::size_t>(data[0] | data[1] << 8, input.size());
    phrases::CharacterTable table;
    table.LoadFromBytes(input.substr(0, tableLength));
    const std::string_view file = input.substr(tableLength);

    std::vector<std::string> decoded;
    bool whole = true;
    try {
        phrases::ReadCompiledFile(file, table, "srf_pub.usr",
                                  [&](const std::string& phrase) { decoded.push_back(phrase); });
    } catch (const platform::Error&) {
        whole = false;
    }

    // The records read lie within the file, each a count and its character numbers.
    std::size_t at = 0;
    for (const std::string& phrase : decoded) {
        Check(at < file.size());
        const std::size_t count = static_cast<unsigned char>(file[at]);
        Check(count >= 1 && phrase.size() == 2 * count);
        Check(at + 1 + 2 * count <= file.size());
        for (std::size_t k = 0; k < count; ++k) {
            const int number = static_cast<unsigned char>(file[at + 1 + 2 * k]) |
                               static_cast<unsigned char>(file[at + 2 + 2 * k]) << 8;
            Check(number >= 1 && number <= table.Size());
            Check(phrase.substr(2 * k, 2) == table.Entry(number - 1));
        }
        at += 1 + 2 * count;
    }
    // A whole file ends with its end mark; otherwise the record after the last one read is
    // missing, cut short or names a character the table does not have.
    if (whole)
        Check(at < file.size() && file[at] == '\0');
    else
        Check(at >= file.size() || file[at] != '\0');
    return 0;
}
