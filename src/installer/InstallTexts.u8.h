// The fixed Chinese texts of install mode; the build turns them into GB2312 (InstallTexts.h).
#pragma once

namespace installer::texts {

// "Chinese (Simplified) - ": the start of every layout text, followed by the display name.
inline constexpr char kLayoutTextPrefix[] = "中文（简体）- ";

// The in-use warning, the overwrite question and the refused-name notice, each split around the
// name it quotes between square brackets.
inline constexpr char kInUseBefore[] = "注意: 有以前安装过的[";
inline constexpr char kInUseAfter[] = "]输入法在使用, 请先关闭该应用程序, 或注销或重新启动再安装!";
inline constexpr char kOverwriteBefore[] = "注意: 如有以前安装过的[";
inline constexpr char kOverwriteAfter[] = "]输入法现将被覆盖!!";
inline constexpr char kRefusedNameBefore[] = "注意: 输入法名称[";
inline constexpr char kRefusedNameAfter[] = "]不正确, 安装已取消!";

// The notice of a packaged input method file of the other bitness, split around the file's name
// and the three bitnesses ("32" or "64"): the file's, this program's and the one to use.
inline constexpr char kBitnessBefore[] = "注意: 输入法文件[";
inline constexpr char kBitnessFileIs[] = "]是";
inline constexpr char kBitnessProgramIs[] = "位的, 而这个srf_user.exe是";
inline constexpr char kBitnessUse[] = "位的. 请用";
inline constexpr char kBitnessAfter[] = "位的srf_user.exe安装, 安装已取消!";

inline constexpr char kNoticeCaption[] = "提示框";
inline constexpr char kQuestionCaption[] = "要继续吗？";

}  // namespace installer::texts
