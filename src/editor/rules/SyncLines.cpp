// What the editor says of synchronisation; see SyncLines.h.
#include "editor/rules/SyncLines.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "EditorTexts.h"
#include "phrases/TextEncoding.h"

namespace editor {

namespace {

std::string Counted(const char* pattern, std::size_t count) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, static_cast<int>(count));
    return text;
}

}  // namespace

std::string ComputerText(const std::string& utf8) {
    std::string text = phrases::ConvertToGb2312(utf8, phrases::TextEncoding::Utf8).bytes;
    std::replace(text.begin(), text.end(), phrases::kUnheldMark, '?');
    return text;
}

std::string SyncNote(const synchro::SyncReport& report) {
    std::string note;
    for (const synchro::MemberChanges& changes : report.outcome.changes) {
        if (changes.self || (!changes.added && !changes.deleted && !changes.changed))
            continue;
        note += note.empty() ? texts::kSyncNoteStart : "; ";
        note += texts::kSyncFrom + ComputerText(changes.computer) + texts::kSyncAdded +
                std::to_string(changes.added) + texts::kSyncDeleted +
                std::to_string(changes.deleted);
        if (changes.changed)
            note += texts::kSyncChanged + std::to_string(changes.changed);
    }
    if (note.empty())
        note = texts::kSyncNothing;
    if (!report.outcome.conflicts.empty())
        note += Counted(texts::kSyncConflicts, report.outcome.conflicts.size());
    if (!report.outcome.skippedFiles.empty())
        note += Counted(texts::kSyncSkipped, report.outcome.skippedFiles.size());
    return note;
}

std::string MemberLine(const synchro::MemberInfo& member) {
    std::string line = ComputerText(member.computer);
    if (member.self)
        line += texts::kSyncThisComputer;
    if (member.lastWriteMs <= 0)
        return line + texts::kSyncNever;
    const std::time_t seconds = static_cast<std::time_t>(member.lastWriteMs / 1000);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", &local);
    return line + texts::kSyncLastWrite + when;
}

std::string ConflictLine(const synchro::Conflict& conflict) {
    const auto side = [](const std::string& text, const std::string& category,
                         const std::string& computer) {
        return text + texts::kSyncIn + category + texts::kSyncBy + ComputerText(computer) + ")";
    };
    std::string kept =
        conflict.kind == synchro::ConflictKind::EditLost
            ? std::string(texts::kSyncDeletedBy) + " (" + ComputerText(conflict.winnerComputer) +
                  ")"
            : side(conflict.keptText, conflict.keptCategory, conflict.winnerComputer);
    return texts::kSyncKept + kept + texts::kSyncLost +
           side(conflict.text, conflict.category, conflict.loserComputer);
}

}  // namespace editor
