// Fuzzes the compile step: a table and a tree from one input (two bytes give the table's length,
// the table's bytes follow, the tree's file is the rest). The output must be well formed and
// every record must hold the numbers of its phrase's characters, and compiling the tree's file
// straight must give the same bytes and report, or the same error.
#include <algorithm>
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "phrases/PhraseCompiler.h"
#include "phrases/PhraseRules.h"
#include "phrases/TreeFile.h"
#include "platform/Error.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const std::string_view input = fuzz::Bytes(data, size).substr(2);
    const std::size_t tableLength = std::min<std::size_t>(data[0] | data[1] << 8, input.size());

    phrases::CharacterTable table;
    table.LoadFromBytes(input.substr(0, tableLength));
    const std::string_view treeFile = input.substr(tableLength);
    phrases::TTreeNodes tree;
    std::string parseError;
    try {
        phrases::ParseTree(tree, treeFile);
    } catch (const platform::Error& error) {
        // The lines before the faulty one stay and are compiled.
        parseError = error.what();
    }

    phrases::CompileReport report;
    const std::string file = phrases::CompilePhrases(tree, table, &report);

    phrases::CompileReport straightReport;
    try {
        const std::string straight(
            phrases::CompileTreeFile(treeFile, table, &straightReport).View());
        Check(parseError.empty() && straight == file);
        Check(straightReport.categories == report.categories &&
              straightReport.compiled == report.compiled &&
              straightReport.leftOutPhrases.size() == report.leftOutPhrases.size());
        for (std::size_t k = 0; k < report.leftOutPhrases.size(); ++k)
            Check(straightReport.leftOutPhrases[k].index == report.leftOutPhrases[k].index &&
                  straightReport.leftOutPhrases[k].verdict.status ==
                      report.leftOutPhrases[k].verdict.status);
    } catch (const platform::Error& error) {
        Check(error.what() == parseError);
    }
    Check(report.categories + report.phrases == tree.NodeCount());
    Check(report.compiled + report.leftOut == report.phrases);
    Check(static_cast<int>(report.leftOutPhrases.size()) == report.leftOut);

    // Walk the records beside the phrases they came from.
    std::size_t at = 0;
    int records = 0;
    int index = 0;
    tree.ForEachNode([&](const phrases::TTreeNode& node, int level) {
        const int nodeIndex = index++;
        if (level == 0)
            return;
        const phrases::PhraseVerdict verdict = phrases::CheckPhrase(node.Text(), table);
        if (!verdict.Compiled()) {
            Check(verdict.status != phrases::PhraseStatus::MissingCharacter ||
                  table.FindByScan(verdict.missingLead, verdict.missingTrail) < 0);
            return;
        }
        Check(nodeIndex >= 0);
        Check(at < file.size());
        const int count = static_cast<unsigned char>(file[at]);
        Check(count >= 2 && count <= phrases::kMaxPhraseCharacters);
        Check(count == verdict.characters);
        Check(at + 1 + 2 * static_cast<std::size_t>(count) < file.size());
        const std::string_view text = phrases::TrimText(node.Text());
        for (int k = 0; k < count; ++k) {
            const std::size_t byte = at + 1 + 2 * static_cast<std::size_t>(k);
            const int number = static_cast<unsigned char>(file[byte]) |
                               static_cast<unsigned char>(file[byte + 1]) << 8;
            const auto lead = static_cast<unsigned char>(text[2 * k]);
            const auto trail = static_cast<unsigned char>(text[2 * k + 1]);
            Check(number >= 1 && number <= table.Size());
            Check(number - 1 == table.FindByScan(lead, trail));
        }
        at += 1 + 2 * static_cast<std::size_t>(count);
        ++records;
    });
    Check(records == report.compiled);
    Check(at + 1 == file.size() && file[at] == '\0');
    return 0;
}
