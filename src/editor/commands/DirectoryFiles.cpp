// The data directory as the editor's commands use it; see DirectoryFiles.h.
#include "editor/commands/DirectoryFiles.h"

#include "platform/FileStamp.h"
#include "platform/FileSystem.h"

namespace editor {

const pinyin::UserReadings& DirectoryFiles::Readings() {
    if (!m_readings) {
        const platform::Path path = m_directory.ReadingsPath();
        m_readings = platform::StampOf(path).exists
                         ? pinyin::UserReadings::Parse(platform::ReadWholeFile(path))
                         : pinyin::UserReadings();
    }
    return *m_readings;
}

void DirectoryFiles::SetReading(std::string_view phrase,
                                const std::vector<pinyin::Syllable>& reading) {
    pinyin::UserReadings readings = Readings();
    if (reading.empty())
        readings.Remove(phrase);
    else
        readings.Set(phrase, reading);
    // The file it replaces is kept as its .bak: a line the reader could not take (a hand edit)
    // is not written again, so it must not be lost with the old file.
    const platform::Path path = m_directory.ReadingsPath();
    platform::ReplaceFileKeepingBackup(path, readings.Format(), path + ".bak");
    m_readings = std::move(readings);
}

synchro::SyncReport DirectoryFiles::Synchronise() {
    synchro::SyncReport report = m_sync.Synchronise(synchro::HereNow(m_directory), *this);
    if (report.treeChanged)
        Compile();
    if (report.readingsChanged)
        m_readings.reset();
    return report;
}

void DirectoryFiles::Compile() {
    const phrases::CompileReport report = m_directory.Compile();
    m_observer.PhrasesChecked(m_health.Update(m_directory.Tree(), report));
}

void DirectoryFiles::TreeReloaded() {
    m_health.Clear();
    m_readings.reset();  // read again at next use, as it may have changed with the tree
    m_observer.TreeReloaded();
}

void DirectoryFiles::NodeDeleting(phrases::TTreeNode* node) {
    m_health.Forget(node);
    m_observer.NodeDeleting(node);
}

}  // namespace editor
