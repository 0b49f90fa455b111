// Fuzzes the reading of other input methods' dictionaries from arbitrary file bytes: the format's
// detection and every reader, forced on the same bytes. Only a binary reader may refuse a file,
// and only with the damaged-file error; the words come out one a line, every mark of a character
// GB2312 cannot hold listed, every word with its line; the plan counts every word once.
#include <cstddef>
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "phrases/CharacterTable.h"
#include "phrases/ImportSource.h"
#include "phrases/TreeFile.h"
#include "phrases/TreeNodes.h"
#include "platform/Error.h"

using fuzz::Check;

namespace {

// 常用 [你好]
const std::string kTree = "\xB3\xA3\xD3\xC3\r\n\t\xC4\xE3\xBA\xC3\r\n";

void CheckWords(const phrases::ImportSource& source) {
    const std::string& bytes = source.text.bytes;
    std::size_t lines = 0, next = 0;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const char byte = bytes[at];
        Check(byte != '\r' && byte != '\0');
        lines += byte == '\n';
        if (byte == phrases::kUnheldMark) {
            Check(next < source.text.unheld.size() && source.text.unheld[next].offset == at);
            ++next;
        }
    }
    Check(next == source.text.unheld.size());
    Check(bytes.empty() || bytes.back() == '\n');
    Check(lines == source.wordLines.size());
    for (std::size_t k = 0; k < source.wordLines.size(); ++k)
        Check(source.wordLines[k] > 0 &&
              (k == 0 || source.wordLines[k] >= source.wordLines[k - 1]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const phrases::CharacterTable table;
    const std::string_view bytes = fuzz::Bytes(data, size);
    const phrases::SourceFormat detected = phrases::DetectSourceFormat(bytes);

    for (const phrases::SourceFormatInfo& info : phrases::SourceFormats()) {
        if (!phrases::IsDictionary(info.format))
            continue;
        const bool binary = info.format == phrases::SourceFormat::Scel ||
                            info.format == phrases::SourceFormat::MicrosoftPinyin ||
                            info.format == phrases::SourceFormat::Gboard;
        phrases::ImportSource source;
        try {
            source = phrases::ReadImportSource(bytes, "f", info.format);
        } catch (const platform::Error& error) {
            Check(binary && error.Kind() == "FormatError");
            continue;
        }
        CheckWords(source);
        if (info.format != detected)
            continue;

        phrases::TTreeNodes tree;
        phrases::ParseTree(tree, kTree);
        const phrases::ImportPlan plan = phrases::PlanSourceImport(tree, source, table, "x");
        const phrases::ImportSummary& s = plan.summary;
        Check(plan.lines.size() == source.wordLines.size());
        Check(static_cast<std::size_t>(s.added + s.existing + s.tooLong + s.empty + s.notGb2312 +
                                       s.singleCharacters) == plan.lines.size());
        Check(static_cast<int>(plan.inserts.size()) == s.added + s.newCategories);
        phrases::ApplyImport(tree, plan);
        Check(tree.NodeCount() == 2 + static_cast<int>(plan.inserts.size()));
    }
    return 0;
}
