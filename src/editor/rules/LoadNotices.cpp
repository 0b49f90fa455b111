// The notices about data files that need attention; see LoadNotices.h.
#include "editor/rules/LoadNotices.h"

#include <cstdio>

#include "EditorTexts.h"

namespace editor {

namespace {

constexpr std::size_t kListedCharacters = 10;

}  // namespace

std::string StrayNulNotice(std::size_t offset, std::size_t bytesAfter) {
    return texts::kStrayNulStart + std::to_string(offset + 1) + texts::kStrayNulMiddle +
           std::to_string(bytesAfter) + texts::kStrayNulEnd;
}

std::string ConversionNotice(const phrases::ConvertedTreeFile& converted) {
    // The box shows GB2312 text only, so a character it lacks is named by its code.
    std::string notice = texts::kConvertedDropped;
    for (std::size_t k = 0; k < converted.dropped.size() && k < kListedCharacters; ++k) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X",
                      static_cast<unsigned>(converted.dropped[k].character));
        notice += "\n" + std::string(texts::kLineStart) +
                  std::to_string(converted.dropped[k].line) + texts::kLineEnd + code;
    }
    if (converted.dropped.size() > kListedCharacters)
        notice += "\n" + std::string(texts::kBatchMoreLines);
    return notice;
}

std::string ShortTableNote(const phrases::CharacterTable& table) {
    if (!table.IsShort())
        return {};
    if (!table.DeclaredCount())
        return texts::kShortTableNoCount;
    return texts::kShortTableStart + std::to_string(*table.DeclaredCount()) +
           texts::kShortTableMiddle + std::to_string(table.Size()) + texts::kShortTableEnd;
}

}  // namespace editor
