// The Win32 side of install mode: only the system calls; the sequence is InstallRun's.
#include "installer/InstallSystem_win.h"

#include <imm.h>
#include <shellapi.h>

#include <vector>

#include "app/Dialogs_win.h"
#include "app/MakerSite.h"
#include "installer/InstallPlan.h"
#include "platform/TextConversion_win.h"

namespace installer {

namespace {

constexpr wchar_t kKeyboardLayouts[] = L"System\\CurrentControlSet\\Control\\Keyboard Layouts";
constexpr DWORD kLongestKeyName = 256;

std::wstring LayoutPath(const std::string& name) {
    return std::wstring(kKeyboardLayouts) + L"\\" + platform::ToWide(name);
}

}  // namespace

Answer WindowsInstallSystem::Ask(const std::string& text, const std::string& caption,
                                 MessageKind kind) {
    return app::Ask(text, caption, kind);
}

InstalledCopy WindowsInstallSystem::CheckInstalledCopy(const std::string& fileName) {
    const std::wstring name = platform::ToWide(fileName);
    WIN32_FIND_DATAW found{};
    if (!platform::UniqueFindHandle(FindFirstFileW(name.c_str(), &found)))
        return InstalledCopy::Absent;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return InstalledCopy::Absent;
    // A read-only file refuses a write open on Windows, but not for a privileged user under Wine.
    if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        return InstalledCopy::InUse;
    // Closed again at once: the probe only asks whether the open succeeds.
    if (!platform::UniqueFile(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)))
        return InstalledCopy::InUse;
    return InstalledCopy::Replaceable;
}

bool WindowsInstallSystem::FileExists(const std::string& fileName) {
    const DWORD attributes = GetFileAttributesW(platform::ToWide(fileName).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WindowsInstallSystem::RemoveFile(const std::string& fileName) {
    return DeleteFileW(platform::ToWide(fileName).c_str()) != FALSE;
}

bool WindowsInstallSystem::RenameFile(const std::string& from, const std::string& to) {
    return MoveFileW(platform::ToWide(from).c_str(), platform::ToWide(to).c_str()) != FALSE;
}

bool WindowsInstallSystem::OpenLayoutsKey() {
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyboardLayouts, 0, KEY_ALL_ACCESS,
                         m_layouts.Put()) == ERROR_SUCCESS;
}

std::vector<std::string> WindowsInstallSystem::LayoutNames() {
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[kLongestKeyName];
        DWORD length = kLongestKeyName;
        const LONG result = RegEnumKeyExW(m_layouts.Get(), index, name, &length, nullptr, nullptr,
                                          nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            return names;
        if (result != ERROR_SUCCESS)
            throw InstallFailure("cannot list the keyboard layouts");
        names.push_back(platform::ToGb2312(std::wstring_view(name, length)));
    }
}

std::optional<StoredLayoutText> WindowsInstallSystem::ReadLayoutText(const std::string& name) {
    platform::UniqueHkey subkey;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, LayoutPath(name).c_str(), 0, KEY_ALL_ACCESS,
                      subkey.Put()) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(subkey.Get(), L"layout text", nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS)
        return StoredLayoutText{};
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD read = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegQueryValueExW(subkey.Get(), L"layout text", nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &read) != ERROR_SUCCESS)
        throw InstallFailure("cannot read a layout text");
    std::wstring_view text(data.data(), read / sizeof(wchar_t));
    text = text.substr(0, text.find(L'\0'));
    return StoredLayoutText{type, read, platform::ToGb2312(text)};
}

void WindowsInstallSystem::CloseLayoutsKey() { m_layouts.Reset(); }

std::optional<bool> WindowsInstallSystem::CreateLayoutKey(const std::string& name) {
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, LayoutPath(name).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, m_layout.Put(),
                        &disposition) != ERROR_SUCCESS)
        return std::nullopt;
    return disposition == REG_CREATED_NEW_KEY;
}

bool WindowsInstallSystem::SetLayoutValue(const std::string& valueName, const std::string& text) {
    const std::wstring wide = platform::ToWide(text);
    const auto size = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(m_layout.Get(), platform::ToWide(valueName).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(wide.c_str()), size) == ERROR_SUCCESS;
}

void WindowsInstallSystem::CloseLayoutKey() { m_layout.Reset(); }

void WindowsInstallSystem::DeleteLayoutKey(const std::string& name) {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, LayoutPath(name).c_str());
}

// The keyboard driver of the US layout: the Windows 95 family sets the high bit of the version.
std::string WindowsInstallSystem::LayoutFile() {
    return (GetVersion() & 0x80000000u) ? "kbdus.kbd" : "kbdus.dll";
}

bool WindowsInstallSystem::InstallInputMethod(const std::string& baseName,
                                              const std::string& layoutText) {
    wchar_t systemDirectory[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(systemDirectory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    const std::wstring path =
        std::wstring(systemDirectory, length) + L"\\" + platform::ToWide(baseName) + L".ime";
    const HKL layout = ImmInstallIMEW(path.c_str(), platform::ToWide(layoutText).c_str());
    ImmIsIME(layout);
    return layout != nullptr;
}

void WindowsInstallSystem::OpenMakerPage() {
    ShellExecuteW(m_owner, nullptr, app::kMakerInstallPage, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace installer
