// The data directory as the editor's commands use it (PhraseFiles over phrases::DataDirectory),
// with the health of the phrases as the last compile found it. It hears of every change to the
// tree before the window does, so that the health it keeps is never stale when the window draws.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "editor/commands/EditorCommands.h"
#include "editor/rules/PhraseHealth.h"
#include "phrases/DataDirectory.h"

namespace editor {

class DirectoryFiles : public PhraseFiles, public TreeObserver {
public:
    // Tells observer of every change to the tree once the health has dropped what it makes stale,
    // and of the phrases each compile finds changed.
    DirectoryFiles(phrases::DataDirectory& directory, TreeObserver& observer)
        : m_directory(directory), m_observer(observer) {}

    phrases::TreeFileCheck LoadTree() override { return m_directory.LoadTree(*this); }
    void LoadTable() override { m_directory.LoadTable(); }
    phrases::ConvertedTreeFile ConvertTree() override { return m_directory.ConvertTree(); }
    bool DataLoaded() const override { return m_directory.DataLoaded(); }
    bool TableLoaded() const override { return m_directory.TableLoaded(); }
    bool TreeUnsaved() const override { return m_directory.TreeUnsaved(); }
    bool KeepsFileApart() const override { return m_directory.KeepsFileApart(); }
    void TreeRestored() override { m_directory.TreeRestored(); }
    void SaveAndCompile() override {
        m_directory.Save();
        Compile();
    }
    // Compiles srf_pub.usr and takes the compile's report into Health().
    void Compile() override;
    bool ChangedOnDisk() override { return m_directory.ChangedOnDisk(); }
    void AcceptDiskState() override { m_directory.AcceptDiskState(); }
    bool HasBackup() const override { return m_directory.HasBackup(); }
    std::vector<phrases::BackupEntry> ListBackups() const override {
        return m_directory.ListBackups();
    }
    std::optional<std::string> ReadBackupNamed(const std::string& name) override {
        return m_directory.ReadBackupNamed(name);
    }
    bool IsOwnFile(const std::string& path) const override { return m_directory.IsOwnFile(path); }
    std::string SyncFolder() const override { return m_sync.Folder(); }
    void SetSyncFolder(const std::string& folder) override { m_sync.SetFolder(folder); }
    synchro::SyncReport Synchronise() override;
    std::vector<synchro::MemberInfo> SyncMembers() override { return m_sync.Members(); }
    const pinyin::UserReadings& Readings() override;
    void SetReading(std::string_view phrase, const std::vector<pinyin::Syllable>& reading) override;

    const PhraseHealth& Health() const { return m_health; }

    void TreeReloaded() override;
    void NodeInserted(phrases::TTreeNode* node) override { m_observer.NodeInserted(node); }
    void NodeTextChanged(phrases::TTreeNode* node) override { m_observer.NodeTextChanged(node); }
    void NodeDeleting(phrases::TTreeNode* node) override;
    void NodeMoving(phrases::TTreeNode* node) override { m_observer.NodeMoving(node); }
    void NodeMoved(phrases::TTreeNode* node) override { m_observer.NodeMoved(node); }

private:
    phrases::DataDirectory& m_directory;
    TreeObserver& m_observer;
    PhraseHealth m_health;
    std::optional<pinyin::UserReadings> m_readings;  // read at first use
    synchro::DirectorySync m_sync{m_directory};
};

}  // namespace editor
