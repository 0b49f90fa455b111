// What the editor says of synchronisation (GB2312): the status bar's note of what came from where,
// and the lines of the 同步… box for the computers and the conflicts.
#pragma once

#include <string>

#include "sync/DirectorySync.h"

namespace editor {

// "同步: 来自 办公室 新增 2, 删除 1; 冲突 1 个(详见“同步…”)", or that nothing changed.
std::string SyncNote(const synchro::SyncReport& report);
// "办公室 (本机)    最后写入: 2026-12-08 14:05", in the local time.
std::string MemberLine(const synchro::MemberInfo& member);
// "保留 新文本 (分类 问候, 办公室), 未采用 旧文本 (分类 问候, 家里)".
std::string ConflictLine(const synchro::Conflict& conflict);
// A computer's name (UTF-8) as GB2312, a character GB2312 lacks as "?".
std::string ComputerText(const std::string& utf8);

}  // namespace editor
