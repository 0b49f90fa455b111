// The fixed Chinese texts of the phrase editor window: its caption, menu captions, tool bar hints,
// notices and questions. The build turns this file into GB2312 (EditorTexts.h).
#pragma once

namespace editor::texts {

inline constexpr char kWindowCaption[] = "用户语料";

// Captions of the boxes.
inline constexpr char kNoticeCaption[] = "提示框";
inline constexpr char kConfirmCaption[] = "确认框";
inline constexpr char kInputCaption[] = "输入框";

// Prompt of Modify.
inline constexpr char kContentPrompt[] = "内容";

// Notices and the delete question.
inline constexpr char kSelectCategory[] = "请选择增加的分类!";
inline constexpr char kIncorrectInput[] = "请输入的内容不正确!";
inline constexpr char kTooLong[] = "注意: 输入内容最多为32个汉字长度!";
inline constexpr char kAlreadyExists[] = "输入的内容已经存在, 请检查!";
inline constexpr char kSelectToModify[] = "请选择修改的内容!";
inline constexpr char kEmptyInput[] = "输入内容不能为空!";
inline constexpr char kSelectToDelete[] = "请选择要删除的内容!";
inline constexpr char kCategoryNotDeletable[] = "分类不能删除!";
inline constexpr char kDeleteQuestionStart[] = "确定要删除[";
inline constexpr char kDeleteQuestionEnd[] = "]吗?";
// Split around the number of phrases selected.
inline constexpr char kDeleteSetStart[] = "确实要删除选中的 ";
inline constexpr char kDeleteSetEnd[] = " 条语料吗?";
inline constexpr char kSaved[] = "祝贺：保存完成!";
inline constexpr char kDataNotLoaded[] = "数据文件未能正确读入, 不能保存修改!";
inline constexpr char kSelectToMove[] = "请选择要移动的语料!";
inline constexpr char kCategoryNotMovable[] = "分类不能移动!";
inline constexpr char kNotFound[] = "没有找到要查找的内容!";
inline constexpr char kNoBackup[] = "没有找到备份文件srf_pub.dat.bak!";
// Split around the code of the first character GB2312 cannot hold, as U+1F600.
inline constexpr char kUnheldStart[] = "输入的内容含GB2312没有的字 ";
inline constexpr char kUnheldEnd[] = ", 不能保存!";
inline constexpr char kExportToOwnFile[] =
    "不能导出到编辑器自己的文件(srf_pub.dat, srf_pub.usr, srf_pub.zc, srf_pub.dat.bak), 请另选文件名!";
// After the export target's path, when that file exists.
inline constexpr char kReplaceQuestion[] = " 已存在。\n要替换它吗?";
inline constexpr char kRestoreQuestion[] = "确定要用备份恢复语料吗? 现在的语料将成为新的备份.";
// The same question while srf_pub.dat failed to load: it is kept apart, not as the backup.
inline constexpr char kRestoreOverUnreadableQuestion[] =
    "确定要用备份恢复语料吗? 现在的srf_pub.dat未能正确读入, 将原样保留为srf_pub.dat.unreadable.";
inline constexpr char kBackupUnreadable[] = "    (无法读入)";
inline constexpr char kBackupNotRestorable[] = "这个备份无法读入, 不能用来恢复!";
// Quit or the close box while the tree holds a change that srf_pub.dat lacks.
inline constexpr char kQuitUnsaved[] =
    "有修改未能保存到 srf_pub.dat, 退出将丢失这些修改。确定要退出吗?";

// What the load of the data files found. Split around the byte's number (from 1) and the number
// of bytes after it.
inline constexpr char kStrayNulStart[] = "语料文件srf_pub.dat的第 ";
inline constexpr char kStrayNulMiddle[] = " 个字节是NUL(0), 其后的 ";
inline constexpr char kStrayNulEnd[] =
    " 个字节不属于语料, 没有读入.\n整个文件将在第一次保存之前原样保留为srf_pub.dat.unreadable.";
inline constexpr char kUtf8Question[] =
    "语料文件srf_pub.dat是UTF-8编码的(例如由记事本保存), 不是本程序使用的GB2312编码.\n"
    "要把它转换为GB2312吗? 原文件将原样保留为srf_pub.dat.unreadable.\n"
    "(取消: 不读入该文件, 也不保存任何修改)";
inline constexpr char kUtf16Question[] =
    "语料文件srf_pub.dat是UTF-16(Unicode)编码的(例如由记事本保存), 不是本程序使用的GB2312编码.\n"
    "要把它转换为GB2312吗? 原文件将原样保留为srf_pub.dat.unreadable.\n"
    "(取消: 不读入该文件, 也不保存任何修改)";
inline constexpr char kConvertedDropped[] = "转换完成. 以下的字GB2312没有, 已经略去:";
inline constexpr char kLineStart[] = "第 ";
inline constexpr char kLineEnd[] = " 行: ";
// Split around the count the character table gives and the characters read.
inline constexpr char kShortTableStart[] = "字表 srf_pub.zc 不完整: 应有 ";
inline constexpr char kShortTableMiddle[] = " 个字, 只读到 ";
inline constexpr char kShortTableEnd[] = " 个";
inline constexpr char kShortTableNoCount[] = "字表 srf_pub.zc 不完整: 文件太短, 读不到字数";
inline constexpr char kChangedOnDisk[] =
    "语料文件srf_pub.dat已被其他程序修改, 要重新读入吗?\n(取消: 保留窗口中的语料, 下次保存时覆盖该文件)";
inline constexpr char kChangedBeforeSave[] =
    "语料文件srf_pub.dat已被其他程序修改!\n确定: 重新读入该文件, 放弃这次修改;\n取消: 用窗口中的语料覆盖该文件.";

// The summary of the batch edit of a category, before anything changes.
inline constexpr char kBatchAdded[] = "新增: ";
inline constexpr char kBatchRemoved[] = "删除: ";
inline constexpr char kBatchKept[] = "保留: ";
inline constexpr char kBatchPhrases[] = " 条";
inline constexpr char kBatchReordered[] = ", 顺序有改变";
inline constexpr char kBatchTooLong[] = "超过32个汉字, 不能保存: ";
inline constexpr char kBatchDuplicate[] = "已经存在或重复, 不能保存: ";
inline constexpr char kBatchNotGb2312[] = "含GB2312没有的字, 不能保存: ";
inline constexpr char kBatchInvalid[] = "含不正确的字符, 不能保存: ";
inline constexpr char kBatchLinesStart[] = " 行 (第";
inline constexpr char kBatchMoreLines[] = "…";
inline constexpr char kBatchLinesEnd[] = "行)";
inline constexpr char kBatchRefusedNote[] = "不能保存的行不会写入, 其余的修改照常保存.";
inline constexpr char kBatchQuestion[] = "确定要保存这些修改吗?";
inline constexpr char kBatchNoChange[] = "没有要保存的修改.";
// The edit box's caption, before the category's name.
inline constexpr char kBatchCaption[] = "批量编辑 - ";
// The labels of the batch-edit box and of the list of Restore backup and Move to category.
inline constexpr char kBatchLabel[] = "语料, 每行一条(&T):";
inline constexpr char kChoiceLabel[] = "请选择(&L):";

// The list of backups to restore: srf_pub.dat.bak in place of a date, and the phrase count.
inline constexpr char kBackupLatest[] = "最近一次修改前";
inline constexpr char kBackupPhrases[] = " 条语料";
inline constexpr char kBackupBytes[] = " 字节";

// The captions of the lists of Restore backup and Move to category.
inline constexpr char kRestoreCaption[] = "恢复备份";
inline constexpr char kMoveToCaption[] = "移动到分类";

// Set reading: the prompt, and the notices of a reading that cannot be set.
inline constexpr char kReadingPrompt[] = "读音(拼音, 每个字一个音节, 用空格分开, ü 写作 v)";
inline constexpr char kReadingInvalid[] = "读音不正确: 请每个字写一个拼音音节, 用空格分开!";
inline constexpr char kReadingOfCategory[] = "分类没有读音, 请选择语料!";
// The status bar: a selected phrase's reading.
inline constexpr char kReadingShown[] = "读音: ";
inline constexpr char kReadingUncertain[] = " (多音字, 读音不确定: 可用“设定读音…”设定)";
inline constexpr char kReadingSet[] = " (已设定)";

// Export to another input method's dictionary: a target without categories, and what it leaves
// out, before anything is written.
inline constexpr char kExportCategoryStart[] = "这种词库不分类. 是: 只导出分类[";
inline constexpr char kExportCategoryEnd[] = "]; 否: 导出全部分类.";
inline constexpr char kExportCountStart[] = "将导出 ";
inline constexpr char kExportCountEnd[] = " 条语料.";
inline constexpr char kExportNotesHeading[] = "以下语料不导出, 或按最常见的读音导出:";
inline constexpr char kExportQuestion[] = "确定要导出吗?";

// Synchronisation: the status bar's note of what came from where, the lines of the sync box, its
// captions and the notices of a synchronisation that cannot run.
inline constexpr char kSyncNoteStart[] = "同步: ";
inline constexpr char kSyncFrom[] = "来自 ";
inline constexpr char kSyncAdded[] = " 新增 ";
inline constexpr char kSyncDeleted[] = ", 删除 ";
inline constexpr char kSyncChanged[] = ", 修改 ";
inline constexpr char kSyncNothing[] = "同步: 没有新的修改";
inline constexpr char kSyncConflicts[] = "; 冲突 %d 个(详见“同步…”)";
inline constexpr char kSyncSkipped[] = "; 跳过 %d 个文件(下次再读)";
inline constexpr char kSyncFailed[] = "同步失败: ";
inline constexpr char kSyncOff[] = "还没有选择同步文件夹: 请用“文件 > 同步…”选择.";
inline constexpr char kSyncNotWhole[] = "数据文件未能正确读入或需要处理, 现在不能同步!";
inline constexpr char kSyncCaption[] = "同步";
inline constexpr char kSyncFolderLabel[] = "同步文件夹:";
inline constexpr char kSyncFolderNone[] = "(没有选择: 同步已关闭)";
inline constexpr char kSyncMembersLabel[] = "在这个文件夹同步的计算机:";
inline constexpr char kSyncConflictsLabel[] = "上次同步的冲突:";
inline constexpr char kSyncChoose[] = "选择文件夹…";
inline constexpr char kSyncTurnOff[] = "关闭同步";
inline constexpr char kSyncNow[] = "立即同步";
inline constexpr char kSyncPutBack[] = "恢复选中的文本";
inline constexpr char kSyncClose[] = "关闭";
inline constexpr char kSyncPickTitle[] =
    "选择同步文件夹 (OneDrive、Dropbox、Syncthing 或网络共享中的文件夹)";
// A member's line: its name, then when it last wrote (or never); this computer marked.
inline constexpr char kSyncLastWrite[] = "    最后写入: ";
inline constexpr char kSyncNever[] = "    还没有写入";
inline constexpr char kSyncThisComputer[] = " (本机)";
// A conflict's line: the kept text and who made it, the lost one and who made it.
inline constexpr char kSyncKept[] = "保留 ";
inline constexpr char kSyncLost[] = ", 未采用 ";
inline constexpr char kSyncIn[] = " (分类 ";
inline constexpr char kSyncBy[] = ", ";
inline constexpr char kSyncDeletedBy[] = "已被删除";

// Prompt of New category.
inline constexpr char kCategoryPrompt[] = "分类";

// The status bar: the counts of the last compile, and why a selected phrase was left out.
inline constexpr char kCountCategories[] = "分类: ";
inline constexpr char kCountPhrases[] = "语料: ";
inline constexpr char kCountCompiled[] = "已编入: ";
inline constexpr char kCountLeftOut[] = "未编入: ";
inline constexpr char kReasonEmpty[] = "未编入: 内容为空";
inline constexpr char kReasonOddLength[] = "未编入: 字节数为单数, 含有半角字符";
inline constexpr char kReasonSingleCharacter[] = "未编入: 只有一个字, 语料至少要两个字";
// Around the longest phrase the compile takes, in characters.
inline constexpr char kReasonTooLongBefore[] = "未编入: 超过";
inline constexpr char kReasonTooLongAfter[] = "个字";
inline constexpr char kReasonMissingStart[] = "未编入: 字“";
inline constexpr char kReasonMissingEnd[] = "”不在字表中";
// Around the number of phrases chosen with Ctrl+click, Shift+click or Ctrl+A.
inline constexpr char kChosenStart[] = "已选中 ";
inline constexpr char kChosenEnd[] = " 条语料";
inline constexpr char kReasonHalfWidth[] = " (半角字符使后面的字错位)";
// What a screen reader hears of a chosen phrase, before why it was left out.
inline constexpr char kDescriptionChosen[] = "已选中";
inline constexpr char kDescriptionSeparator[] = "; ";

// The filter box, and the status bar while it holds a text.
inline constexpr char kFilterLabel[] = "筛选:";
inline constexpr char kFilterShownStart[] = "筛选出 ";
inline constexpr char kFilterShownMiddle[] = " 条语料 (共 ";
inline constexpr char kFilterShownEnd[] = " 条)";
inline constexpr char kHintFilter[] = "筛选 (Ctrl+E)";

// The find box.
inline constexpr char kFindLabel[] = "查找:";
inline constexpr char kFindNext[] = "下一个";
inline constexpr char kFindClose[] = "×";
// What a screen reader says of the close buttons of the find and filter boxes.
inline constexpr char kFindCloseName[] = "关闭查找";
inline constexpr char kFilterCloseName[] = "关闭筛选";

// Menu captions; the full-width and ASCII parentheses are mixed on purpose, as users know them.
inline constexpr char kMenuFile[] = "文件（&F）";
inline constexpr char kMenuNew[] = "新增（&N）";
inline constexpr char kMenuSave[] = "保存（&S）";
inline constexpr char kMenuQuit[] = "退出（&X）";
inline constexpr char kMenuUpdate[] = "编辑（&E）";
inline constexpr char kMenuEdit[] = "修改(&U)";
inline constexpr char kMenuDelete[] = "删除（&D）";
inline constexpr char kMenuHelp[] = "帮助(&H)";
inline constexpr char kMenuNewCategory[] = "新增分类（&C）";
inline constexpr char kMenuRestore[] = "恢复备份…（&R）";
inline constexpr char kMenuUndo[] = "撤销（&Z）";
inline constexpr char kMenuRedo[] = "重做（&Y）";
inline constexpr char kMenuFind[] = "查找（&F）";
inline constexpr char kMenuMoveUp[] = "上移（&K）";
inline constexpr char kMenuMoveDown[] = "下移（&J）";
inline constexpr char kMenuSort[] = "排序（&O）";
inline constexpr char kMenuBatchEdit[] = "批量编辑…（&B）";
inline constexpr char kMenuMoveTo[] = "移动到分类…（&M）";
inline constexpr char kMenuSelectAll[] = "全选本类（&A）";
inline constexpr char kMenuFilter[] = "筛选（&L）";
inline constexpr char kMenuSetReading[] = "设定读音…（&P）";
inline constexpr char kMenuSync[] = "同步…（&Y）";
inline constexpr char kMenuSyncNow[] = "立即同步（&W）";
inline constexpr char kMenuSystemHelp[] = "系统帮助（&E）";
inline constexpr char kMenuVersionHelp[] = "版本信息（&I）";

// Tool bar hints, with their keys: also what a screen reader says of the tool buttons.
inline constexpr char kHintNew[] = "新增 (Insert)";
inline constexpr char kHintEdit[] = "修改 (F2, Enter)";
inline constexpr char kHintDelete[] = "删除 (Delete)";
inline constexpr char kHintSave[] = "保存 (Ctrl+S)";
inline constexpr char kHintQuit[] = "退出";
inline constexpr char kHintUndo[] = "撤销 (Ctrl+Z)";
inline constexpr char kHintRedo[] = "重做 (Ctrl+Y)";
inline constexpr char kHintFind[] = "查找 (Ctrl+F, F3)";
inline constexpr char kHintMoveUp[] = "上移 (Ctrl+↑)";
inline constexpr char kHintMoveDown[] = "下移 (Ctrl+↓)";

// What a screen reader says of the tool bar and of the tree (neither shows a text of its own).
inline constexpr char kToolBarName[] = "工具栏";
inline constexpr char kTreeName[] = "语料";

// The window font and the words on the maker's picture at the right end of the tool bar.
inline constexpr char kFontName[] = "宋体";
inline constexpr char kBannerText[] = "输入法主页";

}  // namespace editor::texts
