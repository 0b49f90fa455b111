// Install mode's system calls on Windows: the message boxes, FindFirstFile/CreateFile for the
// in-use test, ReadFile for the input method file's header, DeleteFile and MoveFile for the data
// files, the registry (keys owned by platform::UniqueHkey), the Input Method Manager and the shell.
#pragma once

#include <windows.h>

#include "installer/InstallRun.h"

namespace installer {

class WindowsInstallSystem : public InstallSystem {
public:
    // owner: the window that owns the shell request of the maker's page.
    explicit WindowsInstallSystem(HWND owner = nullptr) : m_owner(owner) {}

    Answer Ask(const std::string& text, const std::string& caption, MessageKind kind) override;
    InstalledCopy CheckInstalledCopy(const std::string& fileName) override;
    bool FileExists(const std::string& fileName) override;
    std::string ReadFileStart(const std::string& fileName, std::size_t size) override;
    bool RemoveFile(const std::string& fileName) override;
    bool RenameFile(const std::string& from, const std::string& to) override;
    OwnedKey OpenLayoutsKey() override;
    std::string LayoutFile() override;
    bool InstallInputMethod(const std::string& baseName, const std::string& layoutText) override;
    void OpenMakerPage() override;

private:
    HWND m_owner;
};

}  // namespace installer
