// The phrase tree's text file: one line per node in absolute-index order, the level as leading
// TABs, the text byte for byte, CR LF after every line.
#pragma once

#include <string>
#include <string_view>

#include "phrases/TreeNodes.h"

namespace phrases {

// The whole file for the tree; an empty tree gives an empty string.
std::string FormatTree(const TTreeNodes& tree);

// Appends the nodes read from bytes to the tree. The text ends at the first NUL; CR, LF and
// CR LF end a line (LF CR ends two); leading TABs and SPACEs, in any mix, give a line's level.
// The first line becomes a root whatever its level; each later line may lie at most one level
// deeper than the one before. Throws Error "Invalid level (%d) for item "%s"" for a line that lies
// deeper, keeping the nodes of the lines before it.
void ParseTree(TTreeNodes& tree, std::string_view bytes);

}  // namespace phrases
