// Export: the whole phrase tree in the indented form of srf_pub.dat, as UTF-8 with a byte-order
// mark or as GB2312, for other machines, other input methods and version control.
#pragma once

#include <string>

#include "phrases/TreeNodes.h"
#include "platform/Path.h"

namespace phrases {

// WordList is the word list every other input method reads: one phrase a line, no categories,
// UTF-8 with a byte-order mark.
enum class ExportEncoding { Utf8, Gb2312, WordList };

// The file's bytes: one line per node, TABs for the level, CR LF after every line. The UTF-8 form
// starts with a byte-order mark, so that it is told from GB2312 even when it holds ASCII only.
// The word list holds every node below a category, in the tree's order, CR LF after each.
std::string ExportTree(const TTreeNodes& tree, ExportEncoding encoding);

// Writes the export to path by safe replacement; throws the errors of platform::ReplaceFileSafely.
void ExportTreeToFile(const platform::Path& path, const TTreeNodes& tree, ExportEncoding encoding);

}  // namespace phrases
