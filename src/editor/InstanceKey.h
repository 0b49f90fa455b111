// The name under which an editor claims its data directory, so that a second editor started on
// the same directory finds the first, while editors of other directories run side by side.
#pragma once

#include <string>
#include <string_view>

namespace editor {

// A short ASCII key of the directory (GB2312 bytes): the same for spellings that Windows takes
// for the same directory (letter case of ASCII letters, / or \, a trailing separator or not).
std::string InstanceKey(std::string_view directory);

}  // namespace editor
