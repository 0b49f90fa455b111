// The fixed Chinese texts of the phrase editor's Export and Import: the menu captions and the
// file dialogs' titles and filters. The build turns this file into GB2312 (TransferMenuTexts.h).
#pragma once

namespace editor::texts {

inline constexpr char kMenuExport[] = "导出…";
inline constexpr char kMenuImport[] = "导入…";

inline constexpr char kExportTitle[] = "导出语料";
inline constexpr char kImportTitle[] = "导入语料";
// The open dialog's type list: a caption and its patterns, then the next pair.
inline constexpr char kImportTextFiles[] = "文本文件 (*.txt;*.dat)";
inline constexpr char kImportAllFiles[] = "所有文件 (*.*)";

}  // namespace editor::texts
