// The fixed Chinese texts of the readings: why a line of the user's readings file or a reading
// the user types is refused. The build turns this file into GB2312 (PinyinTexts.h).
#pragma once

namespace pinyin::texts {

// "第 %d 行: <why>", for a line of the readings file.
inline constexpr char kProblemLine[] = "第 %d 行: ";
inline constexpr char kNotUtf8[] = "不是 UTF-8 文本";
inline constexpr char kNoTab[] = "语料与读音之间缺少 TAB";
inline constexpr char kNotGb2312[] = "语料含 GB2312 没有的字";
inline constexpr char kEmptyPhrase[] = "语料为空";
inline constexpr char kWrongCount[] = "读音的音节数与语料的字数不同";
inline constexpr char kUnknownSyllable[] = "读音含不认识的拼音音节";
inline constexpr char kLetterMismatch[] = "字母的读音只能是这个字母本身";
inline constexpr char kLineBreak[] = "语料含 TAB 或换行";
inline constexpr char kDuplicate[] = "这条语料的读音前面已有, 以这一行为准";

}  // namespace pinyin::texts
