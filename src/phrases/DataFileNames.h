// The names of the phrase files in a data directory, the same for the editor and srf_tool.
#pragma once

#include <string_view>

#include "platform/Path.h"

namespace phrases {

inline constexpr char kTreeFileName[] = "srf_pub.dat";        // the phrase tree, GB2312 text
inline constexpr char kTableFileName[] = "srf_pub.zc";        // the character table
inline constexpr char kCompiledFileName[] = "srf_pub.usr";    // the compiled phrases
inline constexpr char kBackupFileName[] = "srf_pub.dat.bak";  // the tree before its last save
// The readings the user set for phrases, UTF-8 (see pinyin/UserReadings.h); never in srf_pub.dat.
inline constexpr char kReadingsFileName[] = "srf_pub.pinyin.txt";
// Synchronisation: the folder chosen (UTF-8, "folder=PATH"; absent means off) and the state of
// the merge between synchronisations.
inline constexpr char kSyncSettingFileName[] = "srf_pub.sync.ini";
inline constexpr char kSyncStateFileName[] = "srf_pub.sync.state";
// The tree file kept aside after a failed load; later ones add ".1", ".2", ...
inline constexpr char kUnreadableFileName[] = "srf_pub.dat.unreadable";

// srf_pub.dat.unreadable or one of its numbered forms (lower case, as compared).
bool IsUnreadableFileName(std::string_view name);
// The first of srf_pub.dat.unreadable, .unreadable.1, .2, ... that does not exist in the
// directory (given with its separator at the end).
platform::Path FreeUnreadablePath(const platform::Path& directory);

}  // namespace phrases
