// The edit box of 批量编辑: a resizable dialog with a category's phrases one a line.
#pragma once

#include <string>
#include <vector>

#include "editor/BatchEdit.h"

namespace editor {

// Shows the dialog on text, modal to the active window. On OK returns true with the edited text
// (UTF-16, as typed) in text and its lines in lines; on Cancel returns false, text untouched.
bool ShowBatchEditBox(const std::string& caption, std::wstring& text, std::vector<EditedLine>& lines);

}  // namespace editor
