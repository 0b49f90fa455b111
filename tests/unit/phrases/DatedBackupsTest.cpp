// The dated copies of srf_pub.dat: names and the rotation by date.
#include "phrases/DatedBackups.h"

#include <gtest/gtest.h>

namespace phrases {
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

}  // namespace
}  // namespace phrases
