// Fuzzes import from arbitrary file bytes: the encoding's detection and conversion to GB2312, the
// detection of the file's form, the plan against a small tree and its merge. The converted text
// must be well formed, the summary must count the lines, a second import of the same file must
// add nothing, and deleting the inserted nodes must give the old tree back.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "phrases/CharacterTable.h"
#include "phrases/PhraseImport.h"
#include "phrases/PhraseRules.h"
#include "phrases/TextEncoding.h"
#include "phrases/TreeFile.h"
#include "phrases/TreeNodes.h"

using fuzz::Check;

namespace {

// 常用 [你好] 地址 [北京], GB2312.
const std::string kTree =
    "\xB3\xA3\xD3\xC3\r\n\t\xC4\xE3\xBA\xC3\r\n\xB5\xD8\xD6\xB7\r\n\t"
    "\xB1\xB1\xBE\xA9\r\n";

// A table of 你, 好, 北 and the letters A and b (as double-byte entries of the GB2312 full-width
// Latin letters), so that the compile verdicts vary.
phrases::CharacterTable MakeTable() {
    const std::string entries = "\xC4\xE3\xBA\xC3\xB1\xB1\xA3\xC1\xA3\xE2";
    std::string bytes = "HEAD";
    bytes += static_cast<char>(entries.size() / 2);
    bytes += std::string("\0pad.", 5);
    phrases::CharacterTable table;
    table.LoadFromBytes(bytes + entries);
    return table;
}

// The converted text holds ASCII, GB2312 characters and a mark at every offset of its list of
// characters GB2312 cannot hold, and only there.
void CheckConverted(const phrases::Gb2312Text& text) {
    std::size_t next = 0;
    for (std::size_t at = 0; at < text.bytes.size(); ++at) {
        const auto lead = static_cast<unsigned char>(text.bytes[at]);
        if (lead == static_cast<unsigned char>(phrases::kUnheldMark)) {
            Check(next < text.unheld.size() && text.unheld[next].offset == at);
            Check(text.unheld[next].character != 0);
            ++next;
        } else if (lead >= 0x80) {
            Check(at + 1 < text.bytes.size());
            Check(phrases::InGb2312(lead, static_cast<unsigned char>(text.bytes[at + 1])));
            ++at;
        }
    }
    Check(next == text.unheld.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const phrases::CharacterTable table = MakeTable();
    const std::string_view bytes = fuzz::Bytes(data, size);

    const phrases::Gb2312Text text = phrases::DecodeToGb2312(bytes);
    Check(text.encoding == phrases::DetectEncoding(bytes));
    CheckConverted(text);
    // As UTF-8 and back, the converted text is the same: every GB2312 character has one reading.
    Check(phrases::ConvertToGb2312(phrases::Gb2312ToUtf8(text.bytes), phrases::TextEncoding::Utf8)
              .bytes == text.bytes);

    phrases::TTreeNodes tree;
    phrases::ParseTree(tree, kTree);
    const phrases::ImportFormat format = phrases::DetectImportFormat(text.bytes);
    // Plain lines go to an existing category or a new one, as the input's length picks.
    const std::string category = size % 2 ? "\xB3\xA3\xD3\xC3" : "\xD0\xC2";
    const phrases::ImportPlan plan = phrases::PlanImport(tree, text, table, format, category);

    // Every line is added or counted once as skipped.
    const phrases::ImportSummary& summary = plan.summary;
    int added = 0, skipped = 0, leftOut = 0, newCategories = 0;
    for (const phrases::ImportLine& line : plan.lines) {
        if (line.outcome != phrases::ImportOutcome::Added)
            ++skipped;
        else if (!line.isCategory)
            ++added, leftOut += !line.verdict.Compiled();
        // A text holding a character GB2312 cannot hold is skipped, naming the character.
        Check(line.text.find(phrases::kUnheldMark) == std::string::npos ||
              (line.outcome == phrases::ImportOutcome::NotGb2312 && line.unheld != 0));
        Check(line.text.size() <= phrases::kMaxTextBytes ||
              line.outcome != phrases::ImportOutcome::Added);
    }
    for (const phrases::ImportCategory& entry : plan.categories)
        newCategories += entry.node == nullptr;
    Check(summary.added == added && summary.leftOutOfCompile == leftOut);
    Check(summary.existing + summary.tooLong + summary.empty + summary.notGb2312 == skipped);
    Check(summary.newCategories == newCategories);
    Check(static_cast<int>(plan.inserts.size()) == added + newCategories);

    // Merged, the tree writes and reads back as the same file.
    const std::string before = phrases::FormatTree(tree);
    const std::vector<phrases::TTreeNode*> inserted = phrases::ApplyImport(tree, plan);
    Check(inserted.size() == plan.inserts.size());
    Check(tree.NodeCount() == 4 + static_cast<int>(inserted.size()));
    const std::string after = phrases::FormatTree(tree);
    phrases::TTreeNodes again;
    phrases::ParseTree(again, after);
    Check(phrases::FormatTree(again) == after);

    // The same file again adds nothing.
    Check(!phrases::PlanImport(tree, text, table, format, category).HasChanges());

    // Deleting the new nodes in reverse order undoes the merge.
    for (auto node = inserted.rbegin(); node != inserted.rend(); ++node)
        tree.DeleteNode(*node);
    Check(phrases::FormatTree(tree) == before);
    return 0;
}
