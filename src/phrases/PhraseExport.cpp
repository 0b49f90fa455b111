// Export of the phrase tree; see PhraseExport.h.
#include "phrases/PhraseExport.h"

#include "phrases/PhraseRules.h"
#include "phrases/TextEncoding.h"
#include "phrases/TreeFile.h"
#include "platform/FileSystem.h"

namespace phrases {

std::string ExportTree(const TTreeNodes& tree, ExportEncoding encoding) {
    if (encoding == ExportEncoding::WordList) {
        std::string words;
        tree.ForEachNode([&](const TTreeNode& node, int level) {
            if (level > 0 && !TrimText(node.Text()).empty())
                words.append(node.Text()).append("\r\n");
        });
        return "\xEF\xBB\xBF" + Gb2312ToUtf8(words);
    }
    const std::string file = FormatTree(tree);
    if (encoding == ExportEncoding::Gb2312)
        return file;
    return "\xEF\xBB\xBF" + Gb2312ToUtf8(file);
}

void ExportTreeToFile(const platform::Path& path, const TTreeNodes& tree, ExportEncoding encoding) {
    platform::ReplaceFileSafely(path, ExportTree(tree, encoding));
}

}  // namespace phrases
