// Zip archives and deflate: what another zip tool packed reads back, what the writer packs reads
// back, and a damaged archive is refused without a crash; Gboard's dictionary imports.
#include "phrases/ZipArchive.h"

#include <gtest/gtest.h>

#include "phrases/ImportSource.h"
#include "platform/Error.h"

namespace phrases {
namespace {

// Python's zipfile, deflated: readme.txt ("x") and a Gboard dictionary.txt of three words.
const std::string kGboardZip(
    "\x50\x4B\x03\x04\x14\x00\x00\x00\x08\x00\x04\x67\x88\x5D\x83\x16\xDC\x8C\x03\x00\x00\x00\x01\x00"
    "\x00\x00\x0A\x00\x00\x00\x72\x65\x61\x64\x6D\x65\x2E\x74\x78\x74\xAB\x00\x00\x50\x4B\x03\x04\x14"
    "\x00\x00\x00\x08\x00\x04\x67\x88\x5D\xA9\xE0\x54\xF6\x52\x00\x00\x00\x55\x00\x00\x00\x0E\x00\x00"
    "\x00\x64\x69\x63\x74\x69\x6F\x6E\x61\x72\x79\x2E\x74\x78\x74\x53\x56\x70\x4F\xCA\x4F\x2C\x4A\x51"
    "\x70\xC9\x4C\x2E\xC9\xCC\xCF\x4B\x2C\xAA\x54\x28\x4B\x2D\x2A\x06\x32\xAD\x0C\xB9\xF2\x32\x33\x12"
    "\xF3\x39\x9F\xEC\x5D\xF0\x74\xE9\x5E\xCE\xAA\x0C\x5D\x67\x3F\xAE\xCA\xCC\xBC\x8C\xC4\xBC\x74\xCE"
    "\x97\x93\xB7\xBD\x58\xD8\x03\x15\xCC\x2E\x4D\xCC\xCC\xCA\xE4\x7C\xB2\x67\xD6\x8B\x75\x0B\x39\xB9"
    "\x00\x50\x4B\x01\x02\x14\x03\x14\x00\x00\x00\x08\x00\x04\x67\x88\x5D\x83\x16\xDC\x8C\x03\x00\x00"
    "\x00\x01\x00\x00\x00\x0A\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x80\x01\x00\x00\x00\x00\x72"
    "\x65\x61\x64\x6D\x65\x2E\x74\x78\x74\x50\x4B\x01\x02\x14\x03\x14\x00\x00\x00\x08\x00\x04\x67\x88"
    "\x5D\xA9\xE0\x54\xF6\x52\x00\x00\x00\x55\x00\x00\x00\x0E\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x80\x01\x2B\x00\x00\x00\x64\x69\x63\x74\x69\x6F\x6E\x61\x72\x79\x2E\x74\x78\x74\x50\x4B\x05"
    "\x06\x00\x00\x00\x00\x02\x00\x02\x00\x74\x00\x00\x00\xA9\x00\x00\x00\x00\x00",
    307);
const char kGboardText[] =
    "# Gboard Dictionary version:1\nnihao\t你好\tzh-CN\nyinhang\t银行\tzh-CN\nkuaiji\t会计\t\n";

TEST(ZipArchiveTest, ReadsWhatAnotherToolDeflatedAndInflatesEveryBlockType) {
    EXPECT_TRUE(IsZip(kGboardZip));
    EXPECT_EQ(ZipEntryNames(kGboardZip),
              (std::vector<std::string>{"readme.txt", "dictionary.txt"}));
    EXPECT_EQ(ReadZipEntry(kGboardZip, "readme.txt"), "x");
    EXPECT_EQ(ReadZipEntry(kGboardZip, "dictionary.txt"), kGboardText);
    EXPECT_EQ(ReadZipEntry(kGboardZip, "other.txt"), std::nullopt);

    // zlib's raw deflate with a dynamic Huffman block; the zip above holds fixed ones.
    const std::string dynamic(
        "\x15\xC6\x31\x0A\x80\x40\x0C\x05\xD1\x3E\xA7\x08\x78\x02\x5B\x6B\xC1\x73\xCC\x4F\x2C\xB6"
        "\x71\x61\x57\x04\x6F\x6F\x2C\x66\x78\x8B\x1F\xEA\x8C\xF4\xBD\xC5\xDD\xFA\xC5\x78\xFD\x39"
        "\xC7\x2C\x6E\xAB\x91\x01\xA6\xC4\x10\x45\x45\x48\x40\xFC\xCB\x0A\x99\xA4\xFC\x00",
        64);
    std::string out;
    ASSERT_TRUE(Inflate(dynamic, out, 1000));
    EXPECT_EQ(out, "# Gboard Dictionary version:1\nadcaa\nbda\nabacaabccbbaaacbaaadaaaab\nbbbd");
    out.clear();
    EXPECT_FALSE(Inflate(dynamic, out, 69));  // one byte more than the limit
    // A stored block: header bits, LEN, NLEN, the bytes.
    out.clear();
    ASSERT_TRUE(Inflate(std::string("\x01\x03\x00\xFC\xFF"
                                    "abc",
                                    8),
                        out, 10));
    EXPECT_EQ(out, "abc");
}

TEST(ZipArchiveTest, WritesStoredEntriesThatReadBack) {
    const std::vector<ZipEntry> entries = {{"dictionary.txt", kGboardText}, {"empty", ""}};
    const std::string archive = WriteZip(entries);
    EXPECT_EQ(ZipEntryNames(archive), (std::vector<std::string>{"dictionary.txt", "empty"}));
    EXPECT_EQ(ReadZipEntry(archive, "dictionary.txt"), kGboardText);
    EXPECT_EQ(ReadZipEntry(archive, "empty"), "");
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);  // the check value of CRC-32
    EXPECT_EQ(ZipEntryNames(WriteZip({})), std::vector<std::string>{});
}

TEST(ZipArchiveTest, RefusesEveryCutAndAChangedByteOfTheData) {
    for (std::size_t size = 0; size < kGboardZip.size(); ++size)
        EXPECT_EQ(ReadZipEntry(kGboardZip.substr(0, size), "dictionary.txt"), std::nullopt) << size;
    std::string changed = kGboardZip;
    changed[0x60] ^= 0x10;  // inside the deflated text: no longer inflates or fails its CRC
    EXPECT_EQ(ReadZipEntry(changed, "dictionary.txt"), std::nullopt);
}

TEST(ZipArchiveTest, GboardDictionariesImportTheirWords) {
    EXPECT_EQ(DetectSourceFormat(kGboardZip), SourceFormat::Gboard);
    EXPECT_EQ(DetectSourceFormat(WriteZip({{"other.txt", "x"}})), SourceFormat::PlainLines);
    const ImportSource source = ReadImportSource(kGboardZip, "PersonalDictionary.zip");
    EXPECT_EQ(source.text.bytes, "\xC4\xE3\xBA\xC3\n\xD2\xF8\xD0\xD0\n\xBB\xE1\xBC\xC6\n");
    EXPECT_EQ(source.wordLines, (std::vector<int>{2, 3, 4}));
    EXPECT_THROW(ReadImportSource(kGboardZip.substr(0, 200), "x.zip", SourceFormat::Gboard),
                 platform::Error);
}

}  // namespace
}  // namespace phrases
