// What the editor tells the user about data files that need attention (see
// phrases/DataFileCheck.h): the texts of the notices at load and of the status bar (GB2312).
#pragma once

#include <cstddef>
#include <string>

#include "phrases/CharacterTable.h"
#include "phrases/DataFileCheck.h"

namespace editor {

// Which byte of srf_pub.dat is the NUL (counted from 1) and how many bytes follow it.
std::string StrayNulNotice(std::size_t offset, std::size_t bytesAfter);
// The characters a conversion to GB2312 left out, by line: the first few, then "…".
std::string ConversionNotice(const phrases::ConvertedTreeFile& converted);
// "字表 srf_pub.zc 不完整: 应有 N 个字, 只读到 M 个"; empty for a whole table.
std::string ShortTableNote(const phrases::CharacterTable& table);

}  // namespace editor
