// The fixed Chinese texts of the export to other input methods' dictionaries: why a phrase is
// left out, and the comment line that names a category. The build turns this file into GB2312
// (ExportTexts.h).
#pragma once

namespace pinyin::texts {

// "<phrase>（<category>）: <why>"
inline constexpr char kLeftOutLine[] = "%s（%s）: ";
inline constexpr char kNoReading[] = "有字没有拼音读音（数字、符号或 GB2312 以外的字）";
inline constexpr char kUncertain[] = "读音不确定（多音字）, 按最常见的读音写出";
inline constexpr char kUncertainLeftOut[] = "读音不确定（多音字）, 未写出";
inline constexpr char kReadingTooLong[] = "拼音太长, 目标输入法最多 %d 个字母";
inline constexpr char kTextTooLong[] = "语料太长, 目标输入法最多 %d 个字";
inline constexpr char kCannotHold[] = "含有目标格式不能保存的字符（TAB、空格、控制字符或开头的 #）";
inline constexpr char kTooMany[] = "超过目标输入法的条数上限 %d";
inline constexpr char kNotChinese[] = "不含汉字, 目标格式不收";

// A category named as a comment line of a Rime dictionary or of custom phrases.
inline constexpr char kCategoryComment[] = "分类：";

}  // namespace pinyin::texts
