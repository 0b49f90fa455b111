// The editor's own dialogs beyond the input box: the edit box of 批量编辑, a resizable dialog with
// a category's phrases one a line, and the list to choose one line from (恢复备份…, 移动到分类…).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "editor/rules/BatchEdit.h"

namespace editor {

// Shows the dialog on text, modal for the whole program. On OK returns true with the edited text
// (UTF-16, as typed) in text and its lines in lines; on Cancel returns false, text untouched.
bool ShowBatchEditBox(const std::string& caption, std::wstring& text,
                      std::vector<EditedLine>& lines);

// Shows the GB2312 lines in a list, the first selected, modal for the whole program; the index of
// the line chosen with OK or a double click, nullopt on Cancel.
std::optional<int> ShowChoiceBox(const std::string& caption, const std::vector<std::string>& items);

}  // namespace editor
