// The Win32 side of install mode: only the system calls; the sequence is InstallRun's.
#include "installer/InstallSystem_win.h"

#include <imm.h>
#include <shellapi.h>

#include <memory>
#include <utility>
#include <vector>

#include "app/Dialogs_win.h"
#include "app/MakerSite.h"
#include "installer/InstallPlan.h"
#include "platform/TextConversion_win.h"
#include "platform/UniqueHandles_win.h"

namespace installer {

namespace {

constexpr wchar_t kKeyboardLayouts[] = L"System\\CurrentControlSet\\Control\\Keyboard Layouts";
constexpr DWORD kLongestKeyName = 256;

// Throws InstallFailure with the registry function's code unless it succeeded.
void Check(LONG result, const char* what) {
    if (result != ERROR_SUCCESS)
        throw InstallFailure(what, result);
}

// One key of the registry, closed when it goes.
class WindowsRegistryKey : public RegistryKey {
public:
    explicit WindowsRegistryKey(platform::UniqueHkey key) : m_key(std::move(key)) {}

    std::vector<std::string> SubkeyNames() override {
        std::vector<std::string> names;
        for (DWORD index = 0;; ++index) {
            wchar_t name[kLongestKeyName];
            DWORD length = kLongestKeyName;
            const LONG result = RegEnumKeyExW(m_key.Get(), index, name, &length, nullptr, nullptr,
                                              nullptr, nullptr);
            if (result == ERROR_NO_MORE_ITEMS)
                return names;
            Check(result, "cannot list the keyboard layouts");
            names.push_back(platform::ToGb2312(std::wstring_view(name, length)));
        }
    }

    OwnedKey OpenSubkey(const std::string& name) override {
        platform::UniqueHkey subkey;
        Check(RegOpenKeyExW(m_key.Get(), platform::ToWide(name).c_str(), 0, KEY_ALL_ACCESS,
                            subkey.Put()),
              "cannot open a keyboard layout");
        return std::make_unique<WindowsRegistryKey>(std::move(subkey));
    }

    Created CreateSubkey(const std::string& name) override {
        platform::UniqueHkey subkey;
        DWORD disposition = 0;
        Check(RegCreateKeyExW(m_key.Get(), platform::ToWide(name).c_str(), 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, subkey.Put(),
                              &disposition),
              "cannot create a keyboard layout");
        return {std::make_unique<WindowsRegistryKey>(std::move(subkey)),
                disposition == REG_CREATED_NEW_KEY};
    }

    void DeleteSubkey(const std::string& name) override {
        Check(RegDeleteKeyW(m_key.Get(), platform::ToWide(name).c_str()),
              "cannot delete a keyboard layout");
    }

    StoredLayoutText ReadText(const std::string& valueName) override {
        const std::wstring wideName = platform::ToWide(valueName);
        DWORD type = REG_NONE;
        DWORD size = 0;
        // A value whose size cannot be asked counts as missing.
        if (RegQueryValueExW(m_key.Get(), wideName.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS)
            return StoredLayoutText{};
        std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
        DWORD read = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        Check(RegQueryValueExW(m_key.Get(), wideName.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(data.data()), &read),
              "cannot read a layout text");
        std::wstring_view text(data.data(), read / sizeof(wchar_t));
        text = text.substr(0, text.find(L'\0'));
        return StoredLayoutText{type, read, platform::ToGb2312(text)};
    }

    void SetText(const std::string& valueName, const std::string& text) override {
        const std::wstring wide = platform::ToWide(text);
        const auto size = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
        Check(RegSetValueExW(m_key.Get(), platform::ToWide(valueName).c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(wide.c_str()), size),
              "cannot set a keyboard layout value");
    }

private:
    platform::UniqueHkey m_key;
};

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

std::string WindowsInstallSystem::ReadFileStart(const std::string& fileName, std::size_t size) {
    // Shared with any reader and writer, and closed before the in-use check opens the files.
    const platform::UniqueFile file(CreateFileW(platform::ToWide(fileName).c_str(), GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return {};
    std::string bytes(size, '\0');
    DWORD got = 0;
    if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(size), &got, nullptr))
        return {};
    bytes.resize(got);
    return bytes;
}

bool WindowsInstallSystem::RemoveFile(const std::string& fileName) {
    return DeleteFileW(platform::ToWide(fileName).c_str()) != FALSE;
}

bool WindowsInstallSystem::RenameFile(const std::string& from, const std::string& to) {
    return MoveFileW(platform::ToWide(from).c_str(), platform::ToWide(to).c_str()) != FALSE;
}

OwnedKey WindowsInstallSystem::OpenLayoutsKey() {
    platform::UniqueHkey key;
    Check(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyboardLayouts, 0, KEY_ALL_ACCESS, key.Put()),
          "cannot open the keyboard layouts");
    return std::make_unique<WindowsRegistryKey>(std::move(key));
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
