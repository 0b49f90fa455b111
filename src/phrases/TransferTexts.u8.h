// The fixed Chinese texts of import and export: the import summary and the questions around it.
// The build turns this file into GB2312 (TransferTexts.h).
#pragma once

namespace phrases::texts {

// The summary shown before an import changes anything; each line ends before the next starts.
inline constexpr char kSummaryAdded[] = "将增加语料 %d 条，新增分类 %d 个。";
inline constexpr char kSummarySkipped[] =
    "跳过：已存在 %d 条，超过64字节 %d 条，空内容 %d 条，含GB2312没有的字 %d 条。";
inline constexpr char kSummaryLeftOut[] =
    "增加的语料中有 %d 条不会编入 srf_pub.usr（字表中没有其中的字，或只有一个字）。";
inline constexpr char kImportQuestion[] = "要导入吗?";
inline constexpr char kNothingToImport[] = "没有可以导入的内容。";
inline constexpr char kPlainLinesNeedCategory[] = "请选择导入的分类!";

// Why a line of the imported file is not taken, for listings.
inline constexpr char kReasonExisting[] = "已存在";
inline constexpr char kReasonTooLong[] = "超过64字节";
inline constexpr char kReasonEmpty[] = "空内容";
inline constexpr char kReasonNotGb2312[] = "含GB2312没有的字";
inline constexpr char kReasonLeftOut[] = "不会编入 srf_pub.usr";
// A refused line in the summary: "第 12 行: text (reason)"; "…" after the last one listed.
inline constexpr char kLineStart[] = "第 ";
inline constexpr char kLineMiddle[] = " 行: ";
inline constexpr char kMoreLines[] = "…";

// The two types of the export's save dialog.
inline constexpr char kExportUtf8Type[] = "UTF-8 文本 (*.txt)";
inline constexpr char kExportGb2312Type[] = "GB2312 文本 (*.txt)";

}  // namespace phrases::texts
