// The fixed Chinese texts of importing other input methods' dictionaries: the formats' names as
// the summary shows them, the summary's extra counts and the error of a damaged file.
// The build turns this file into GB2312 (DictionaryTexts.h).
#pragma once

namespace phrases::texts {

inline constexpr char kFormatIndented[] = "缩进格式（分类与语料）";
inline constexpr char kFormatPlainLines[] = "纯文本（一行一条）";
inline constexpr char kFormatRime[] = "Rime 词库 (dict.yaml)";
inline constexpr char kFormatRimeUserDb[] = "Rime 用户词典快照 (userdb.txt)";
inline constexpr char kFormatMicrosoftIme[] = "微软输入法 / Mozc 词典文本";
inline constexpr char kFormatCustomPhrases[] = "fcitx5 / 搜狗自定义短语";
inline constexpr char kFormatQqPhrases[] = "QQ 自定义短语";
inline constexpr char kFormatPinyinText[] = "搜狗 / QQ 文本词库";
inline constexpr char kFormatScel[] = "搜狗细胞词库 (.scel)";
inline constexpr char kFormatMicrosoftPinyin[] = "微软拼音自定义短语 (.dat)";
inline constexpr char kFormatGboard[] = "Gboard 个人字典 (.zip)";

// The first line of the summary: "格式：<name>".
inline constexpr char kSummaryFormat[] = "格式：%s";
// Counted only when there are any.
inline constexpr char kSummarySingleCharacters[] = "跳过单字 %d 条（单字不是词语）。";
inline constexpr char kSummaryContinued[] = "多行短语 %d 条只取了第一行。";
inline constexpr char kReasonSingleCharacter[] = "单字";

// A binary dictionary whose lengths or offsets do not fit the file.
inline constexpr char kDamagedFile[] = "文件格式不正确: %s";

// The export's third type: phrases only.
inline constexpr char kExportWordListType[] = "纯词表 UTF-8 (*.txt)";

}  // namespace phrases::texts
