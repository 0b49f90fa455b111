// The dated copies of srf_pub.dat: besides srf_pub.dat.bak (the version before the last save),
// srf_pub.dat.YYYYMMDD.bak holds the file as it stood before the first change of a day, the
// copies of the last ten such days kept. The naming and rotation rules, and the list 恢复备份
// shows; the files themselves are written by DataDirectory.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace phrases {

struct BackupDate {
    int year = 0;
    int month = 0;
    int day = 0;
    auto operator<=>(const BackupDate&) const = default;
};

inline constexpr int kDatedBackupsKept = 10;
inline constexpr char kLatestBackupName[] = "srf_pub.dat.bak";
// Every dated copy's name starts so.
inline constexpr char kDatedBackupPrefix[] = "srf_pub.dat.";

// Today in the local time of the machine.
BackupDate Today();

// "srf_pub.dat.20261208.bak".
std::string DatedBackupName(BackupDate date);
// The date in a name of that form (lower case, a real month and day); nullopt for any other
// name, srf_pub.dat.bak among them.
std::optional<BackupDate> DateOfBackupName(std::string_view name);

// What a save does about the dated copies, given the file names in the data directory.
struct DatedBackupPlan {
    std::optional<std::string> write;  // today's copy, when there is none yet
    std::vector<std::string> remove;   // the copies beyond the kept number, oldest dates first
};

// Today's copy is written when the directory holds none; the copies of the `kept` latest dates
// (today's included) stay, the others go. A date after today (the clock was set back) counts as
// a late one.
DatedBackupPlan PlanDatedBackup(const std::vector<std::string>& names, BackupDate today,
                                int kept = kDatedBackupsKept);

// One line of the list 恢复备份 shows.
struct BackupEntry {
    std::string name;                // the file's name in the data directory
    std::optional<BackupDate> date;  // none for srf_pub.dat.bak
    int phrases = 0;
    std::uint64_t size = 0;  // bytes
    // False for a file the tree's reader refuses or one in another encoding: listed, marked, but
    // not restored.
    bool readable = true;
};

// The entry of a backup file of these bytes; the phrases are counted as the lines below level 0
// by the tree file's line reader, without building a tree.
BackupEntry DescribeBackup(std::string name, std::string_view bytes);
// srf_pub.dat.bak first, then the dated copies, the latest first.
void SortBackups(std::vector<BackupEntry>& entries);

}  // namespace phrases
