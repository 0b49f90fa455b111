// The dated copies of srf_pub.dat: names, the rotation by date, and the list 恢复备份 shows.
#include "editor/DatedBackups.h"

#include <gtest/gtest.h>

#include "EditorTexts.h"

namespace editor {
namespace {

std::string Name(int day) { return DatedBackupName({2026, 11, day}); }

TEST(DatedBackupsTest, NamesCarryTheDateAndOtherNamesAreNoDatedCopy) {
    EXPECT_EQ(DatedBackupName({2026, 1, 9}), "srf_pub.dat.20260109.bak");
    EXPECT_EQ(DateOfBackupName("srf_pub.dat.20261231.bak"), (BackupDate{2026, 12, 31}));
    for (const char* other :
         {"srf_pub.dat.bak", "srf_pub.dat.20261331.bak", "srf_pub.dat.20261200.bak",
          "srf_pub.dat.2026120.bak", "srf_pub.dat.2026120x.bak", "SRF_PUB.DAT.20261201.BAK",
          "srf_pub.dat.20261201.bak.tmp"})
        EXPECT_EQ(DateOfBackupName(other), std::nullopt) << other;
}

TEST(DatedBackupsTest, TheFirstSaveOfADayWritesItsCopyAndTheLatestTenDatesStay) {
    std::vector<std::string> names = {"srf_pub.dat.bak", "srf_pub.dat.unreadable", "other.txt"};
    for (int day = 1; day <= 10; ++day)
        names.push_back(Name(day));
    const DatedBackupPlan plan = PlanDatedBackup(names, {2026, 11, 12});
    EXPECT_EQ(plan.write, Name(12));
    EXPECT_EQ(plan.remove, (std::vector<std::string>{Name(1)}));

    const DatedBackupPlan again = PlanDatedBackup(names, {2026, 11, 10});  // today's copy is there
    EXPECT_EQ(again.write, std::nullopt);
    EXPECT_TRUE(again.remove.empty());

    // A clock set back before every kept date: today's copy would be the one to go, so none.
    const DatedBackupPlan behind = PlanDatedBackup(names, {2025, 1, 1});
    EXPECT_EQ(behind.write, std::nullopt);
    EXPECT_TRUE(behind.remove.empty());
}

TEST(DatedBackupsTest, TheListCountsPhrasesMarksUnreadableCopiesAndPutsTheLatestFirst) {
    std::vector<BackupEntry> entries = {
        DescribeBackup(Name(3), "A\r\n\tx\r\n\ty\nB\r\tzz\r\n"),
        DescribeBackup("srf_pub.dat.bak", std::string("A\n\tx\n\0\tjunk", 11)),
        DescribeBackup(Name(9), std::string(2000, 'A')),
        DescribeBackup(Name(5), "A\r\n\t\tdeep\r\n"),  // a line two levels down
        DescribeBackup(Name(4),
                       "\xEF\xBB\xBF"
                       "A\r\n\tx\r\n"),  // UTF-8: not as it stands
    };
    SortBackups(entries);
    EXPECT_EQ(entries[0].name, "srf_pub.dat.bak");
    EXPECT_EQ(entries[0].phrases, 1);  // the text ends at the NUL
    EXPECT_EQ(entries[1].name, Name(9));
    EXPECT_EQ(FormatBackupEntry(entries[1]),
              std::string("2026-11-09    0") + texts::kBackupPhrases + "    2 KB");
    EXPECT_EQ(entries[4].phrases, 3);
    EXPECT_EQ(FormatBackupEntry(entries[4]), std::string("2026-11-03    3") +
                                                 texts::kBackupPhrases + "    17" +
                                                 texts::kBackupBytes);
    for (const BackupEntry& entry : {entries[2], entries[3]}) {
        EXPECT_FALSE(entry.readable) << entry.name;
        EXPECT_TRUE(FormatBackupEntry(entry).ends_with(texts::kBackupUnreadable));
    }
}

}  // namespace
}  // namespace editor
