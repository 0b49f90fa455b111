// The lines of the restore list; see RestoreList.h.
#include "editor/rules/RestoreList.h"

#include <cstdio>

#include "EditorTexts.h"

namespace editor {

std::string FormatBackupEntry(const phrases::BackupEntry& entry) {
    char line[96];
    if (entry.date)
        std::snprintf(line, sizeof line, "%04d-%02d-%02d", entry.date->year, entry.date->month,
                      entry.date->day);
    std::string text = entry.date ? std::string(line) : std::string(texts::kBackupLatest);
    std::snprintf(line, sizeof line, "    %d", entry.phrases);
    text += line;
    text += texts::kBackupPhrases;
    if (entry.size < 1024) {
        std::snprintf(line, sizeof line, "    %llu", static_cast<unsigned long long>(entry.size));
        text += line;
        text += texts::kBackupBytes;
    } else {
        std::snprintf(line, sizeof line, "    %llu KB",
                      static_cast<unsigned long long>((entry.size + 1023) / 1024));
        text += line;
    }
    return entry.readable ? text : text + texts::kBackupUnreadable;
}

}  // namespace editor
