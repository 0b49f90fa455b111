// The name under which an editor claims its data directory, so that a second editor started on
// the same directory finds the first, while editors of other directories run side by side.
#pragma once

#include <string>
#include <string_view>

namespace editor {

// A short ASCII key of the directory as the system names it (UTF-16 on Windows): the same for
// spellings that Windows takes for the same directory (letter case of ASCII letters, / or \, a
// trailing separator or not), different for directories whose names differ in any other
// character, also in characters that code page 936 cannot hold.
std::string InstanceKey(std::wstring_view directory);

}  // namespace editor
