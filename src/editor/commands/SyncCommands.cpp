// Synchronisation, the commands of EditorCommands that reach the shared folder; see
// EditorCommands.h and sync/DirectorySync.h.
#include <algorithm>

#include "EditorTexts.h"
#include "editor/commands/EditorCommands.h"
#include "editor/rules/EditHistory.h"
#include "editor/rules/SyncLines.h"
#include "platform/Error.h"

namespace editor {

using phrases::TTreeNode;

void EditorCommands::SyncNow() {
    if (m_files.SyncFolder().empty())
        return Notice(texts::kSyncOff);
    if (!m_files.DataLoaded())
        return Notice(texts::kSyncNotWhole);
    const synchro::SyncReport report = m_files.Synchronise();
    if (report.status == synchro::SyncStatus::NotLoaded ||
        report.status == synchro::SyncStatus::NeedsAttention)
        return Notice(texts::kSyncNotWhole);
    TakeSyncReport(report);
}

void EditorCommands::SyncQuietly() {
    if (m_files.SyncFolder().empty() || !m_files.DataLoaded())
        return;
    try {
        TakeSyncReport(m_files.Synchronise());
    } catch (const std::exception& error) {
        // A folder out of reach (a network share, a service not running) must not stop the work:
        // it is said, and the next synchronisation tries again.
        m_syncNote = texts::kSyncFailed + std::string(error.what());
    }
}

void EditorCommands::TakeSyncReport(const synchro::SyncReport& report) {
    if (report.status != synchro::SyncStatus::Done)
        return;
    if (report.treeChanged) {
        // What could be undone belonged to the tree before the merge: taken back now, it would
        // go out to the others as the deletion of what they added.
        m_history->Clear();
        m_select = nullptr;
    }
    m_conflicts = report.outcome.conflicts;
    m_syncNote = editor::SyncNote(report);
}

void EditorCommands::SyncSettings(TTreeNode* selected) {
    for (;;) {
        SyncBoxView view;
        view.folder = m_files.SyncFolder();
        for (const synchro::MemberInfo& member : m_files.SyncMembers())
            view.members.push_back(MemberLine(member));
        for (const synchro::Conflict& conflict : m_conflicts)
            view.conflicts.push_back(ConflictLine(conflict));
        const SyncBoxAnswer answer = m_dialogs.ShowSyncBox(view);
        switch (answer.action) {
        case SyncBoxAnswer::Action::Close:
            return;
        case SyncBoxAnswer::Action::ChooseFolder:
            m_files.SetSyncFolder(answer.folder);
            SyncNow();
            break;
        case SyncBoxAnswer::Action::TurnOff:
            m_files.SetSyncFolder({});
            m_conflicts.clear();
            break;
        case SyncBoxAnswer::Action::SyncNow:
            SyncNow();
            break;
        case SyncBoxAnswer::Action::PutBack:
            PutBack(answer.conflict, selected);
            break;
        }
    }
}

void EditorCommands::PutBack(int index, TTreeNode* selected) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_conflicts.size() || !CheckDataLoaded())
        return;
    const synchro::Conflict conflict = m_conflicts[static_cast<std::size_t>(index)];
    // Into the category it stood in, a new phrase of this computer, by the checks of New.
    TTreeNode* category = nullptr;
    for (TTreeNode* root = m_tree.FirstRoot(); root && !category; root = root->NextSibling())
        if (root->Text() == conflict.category)
            category = root;
    if (!category)
        category = selected ? CategoryOf(selected) : m_tree.FirstRoot();
    if (!category)
        return Notice(texts::kSelectCategory);
    if (const char* refusal = Refusal(conflict.text, texts::kIncorrectInput))
        return Notice(refusal);
    m_select = m_edits->InsertAt(category, 0, conflict.text);
    m_conflicts.erase(m_conflicts.begin() + index);
    CommitAndSave();
}

}  // namespace editor
