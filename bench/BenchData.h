// The data the benchmarks run on, made at start-up: the GBK codes of the ideographs U+4E00 to
// U+9FA5 as the character table, and a large tree of phrases drawn from them.
#pragma once

#include <string>
#include <vector>

#include "phrases/TreeNodes.h"

namespace bench {

// The two-byte codes of the 20,902 ideographs, in the order of their code points.
std::vector<std::string> IdeographCodes();

// The two-byte codes of GB2312's 6,763 hanzi, in code order.
std::vector<std::string> Gb2312HanziCodes();

// The bytes of a character table file holding entries.
std::string TableFile(const std::vector<std::string>& entries);

// categories categories of phrasesEach phrases, each phrase 2 to 8 characters drawn from
// characters by a fixed-seed generator, so that every run sees the same tree.
void FillTree(phrases::TTreeNodes& tree, const std::vector<std::string>& characters, int categories,
              int phrasesEach);

}  // namespace bench
