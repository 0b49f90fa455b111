// The list 恢复备份 shows: the backups described, sorted and formatted.
#include "editor/rules/RestoreList.h"

#include <gtest/gtest.h>

#include "EditorTexts.h"

namespace editor {
namespace {

using phrases::BackupEntry;
using phrases::DescribeBackup;

std::string Name(int day) { return phrases::DatedBackupName({2026, 11, day}); }

TEST(RestoreListTest, TheListCountsPhrasesMarksUnreadableCopiesAndPutsTheLatestFirst) {
    std::vector<BackupEntry> entries = {
        DescribeBackup(Name(3), "A\r\n\tx\r\n\ty\nB\r\tzz\r\n"),
        DescribeBackup("srf_pub.dat.bak", std::string("A\n\tx\n\0\tjunk", 11)),
        DescribeBackup(Name(9), std::string(2000, 'A')),
        DescribeBackup(Name(5), "A\r\n\t\tdeep\r\n"),  // a line two levels down
        DescribeBackup(Name(4),
                       "\xEF\xBB\xBF"
                       "A\r\n\tx\r\n"),  // UTF-8: not as it stands
    };
    phrases::SortBackups(entries);
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
