// The fixed Chinese texts of importing other input methods' dictionaries in the editor: the open
// dialog's type, the question of the target category and the progress window.
// The build turns this file into GB2312 (DictionaryImportTexts.h).
#pragma once

namespace editor::texts {

inline constexpr char kImportDictionaries[] =
    "其他输入法的词库 (*.yaml;*.txt;*.scel;*.dat;*.ini;*.zip)";

// %s: the dictionary's name, then the selected category.
inline constexpr char kNewCategoryQuestion[] =
    "导入到新分类 %s？\n\n是：新建分类 %s\n否：导入到选中的分类 %s";
inline constexpr char kImportTarget[] = "导入到分类：%s";

inline constexpr char kProgressTitle[] = "导入";
inline constexpr char kProgressText[] = "正在读入和检查文件……";
inline constexpr char kProgressCancel[] = "取消";

}  // namespace editor::texts
