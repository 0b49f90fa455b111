// The names of the phrase files in a data directory, the same for the editor and srf_tool.
#pragma once

namespace phrases {

inline constexpr char kTreeFileName[] = "srf_pub.dat";        // the phrase tree, GB2312 text
inline constexpr char kTableFileName[] = "srf_pub.zc";        // the character table
inline constexpr char kCompiledFileName[] = "srf_pub.usr";    // the compiled phrases
inline constexpr char kBackupFileName[] = "srf_pub.dat.bak";  // the tree before its last save
// The tree file kept aside after a failed load; later ones add ".1", ".2", ...
inline constexpr char kUnreadableFileName[] = "srf_pub.dat.unreadable";

}  // namespace phrases
