// The lines of the list 恢复备份 shows, one for each backup of srf_pub.dat (GB2312).
#pragma once

#include <string>

#include "phrases/DatedBackups.h"

namespace editor {

// "2026-12-08    1234 条语料    13 KB", or the latest backup's words in place of the date; a size
// below 1 KB in bytes; a file that cannot be read marked.
std::string FormatBackupEntry(const phrases::BackupEntry& entry);

}  // namespace editor
