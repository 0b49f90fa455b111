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
inline constexpr char kSaved[] = "祝贺：保存完成!";
inline constexpr char kDataNotLoaded[] = "数据文件未能正确读入, 不能保存修改!";

// Menu captions; the full-width and ASCII parentheses are mixed on purpose, as users know them.
inline constexpr char kMenuFile[] = "文件（&F）";
inline constexpr char kMenuNew[] = "新增（&N）";
inline constexpr char kMenuSave[] = "保存（&S）";
inline constexpr char kMenuQuit[] = "退出（&X）";
inline constexpr char kMenuUpdate[] = "编辑（&E）";
inline constexpr char kMenuEdit[] = "修改(&U)";
inline constexpr char kMenuDelete[] = "删除（&D）";
inline constexpr char kMenuHelp[] = "帮助(&H)";
inline constexpr char kMenuSystemHelp[] = "系统帮助（&E）";
inline constexpr char kMenuVersionHelp[] = "版本信息（&I）";

// Tool bar hints, also the captions of the context menu.
inline constexpr char kHintNew[] = "新增";
inline constexpr char kHintEdit[] = "修改";
inline constexpr char kHintDelete[] = "删除";
inline constexpr char kHintSave[] = "保存";
inline constexpr char kHintQuit[] = "退出";

// The window font and the words on the maker's picture at the right end of the tool bar.
inline constexpr char kFontName[] = "宋体";
inline constexpr char kBannerText[] = "输入法主页";

}  // namespace editor::texts
