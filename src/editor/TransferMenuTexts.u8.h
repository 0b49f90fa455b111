// The fixed Chinese texts of the phrase editor's Export and Import: the menu captions and the
// file dialogs' titles and filters. The build turns this file into GB2312 (TransferMenuTexts.h).
#pragma once

namespace editor::texts {

inline constexpr char kMenuExport[] = "导出…（&E）";
inline constexpr char kMenuImport[] = "导入…（&I）";

inline constexpr char kExportTitle[] = "导出语料";
inline constexpr char kImportTitle[] = "导入语料";
// The open dialog's type list: a caption and its patterns, then the next pair.
inline constexpr char kImportTextFiles[] = "文本文件 (*.txt;*.dat)";
inline constexpr char kImportAllFiles[] = "所有文件 (*.*)";

// The export's types of other input methods' dictionaries, with readings in pinyin.
inline constexpr char kExportRimeType[] = "Rime 词典 (*.dict.yaml)";
inline constexpr char kExportMsimeType[] = "微软输入法/Mozc 词典文本 (*.txt)";
inline constexpr char kExportFcitxType[] = "fcitx5 自定义短语 (*.txt)";
inline constexpr char kExportQqPhrasesType[] = "QQ 自定义短语 (*.ini)";
inline constexpr char kExportPinyinTextType[] = "搜狗/QQ 拼音词库文本 (*.txt)";
inline constexpr char kExportGboardType[] = "Gboard 个人词典 (*.zip)";
inline constexpr char kExportMspyType[] = "微软拼音自定义短语 (*.dat)";

}  // namespace editor::texts
