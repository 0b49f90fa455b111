// The Win32 side of install mode: FindFirstFile/CreateFile for the in-use test, DeleteFile and
// MoveFile for the data files, the registry and the Input Method Manager.
#include "installer/InstallSystem_win.h"

#include <windows.h>
#include <imm.h>

#include <vector>

#include "installer/InstallPlan.h"
#include "platform/TextConversion_win.h"
#include "platform/UniqueHandles_win.h"

namespace installer {

namespace {

constexpr wchar_t kKeyboardLayouts[] = L"System\\CurrentControlSet\\Control\\Keyboard Layouts";
constexpr DWORD kLongestKeyName = 256;

int g_failingValueWrite = 0;

// A key under HKEY_LOCAL_MACHINE opened with full access.
class RegistryKey {
public:
    bool Open(const std::wstring& path) {
        return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, m_key.Put()) == ERROR_SUCCESS;
    }
    bool Create(const std::wstring& path, bool& createdNew) {
        DWORD disposition = 0;
        const LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr,
                                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, m_key.Put(),
                                            &disposition);
        createdNew = disposition == REG_CREATED_NEW_KEY;
        return result == ERROR_SUCCESS;
    }
    void Close() { m_key.Reset(); }
    HKEY Get() const { return m_key.Get(); }

private:
    platform::UniqueHkey m_key;
};

std::vector<std::string> SubkeyNames(HKEY key) {
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[kLongestKeyName];
        DWORD length = kLongestKeyName;
        const LONG result = RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            return names;
        if (result != ERROR_SUCCESS)
            throw InstallFailure("cannot list the keyboard layouts");
        names.push_back(platform::ToGb2312(std::wstring_view(name, length)));
    }
}

// Whether the subkey's "layout text" equals layoutText; a subkey that cannot be opened does not.
bool HasLayoutText(const std::wstring& subkeyPath, const std::string& layoutText) {
    RegistryKey subkey;
    if (!subkey.Open(subkeyPath))
        return false;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(subkey.Get(), L"layout text", nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return IsSameLayoutText(REG_NONE, 0, {}, layoutText);
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD read = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegQueryValueExW(subkey.Get(), L"layout text", nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &read) != ERROR_SUCCESS)
        throw InstallFailure("cannot read a layout text");
    std::wstring_view text(data.data(), read / sizeof(wchar_t));
    text = text.substr(0, text.find(L'\0'));
    return IsSameLayoutText(type, read, platform::ToGb2312(text), layoutText);
}

void SetText(HKEY key, const wchar_t* name, const std::string& gb2312) {
    const std::wstring text = platform::ToWide(gb2312);
    const auto size = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    LONG result = ERROR_SUCCESS;
    if (g_failingValueWrite > 0 && --g_failingValueWrite == 0)
        result = ERROR_ACCESS_DENIED;
    else
        result = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), size);
    if (result != ERROR_SUCCESS)
        throw InstallFailure("cannot set a keyboard layout value");
}

// The keyboard driver of the US layout: the Windows 95 family sets the high bit of the version.
const char* LayoutFile() { return (GetVersion() & 0x80000000u) ? "kbdus.kbd" : "kbdus.dll"; }

bool PackagedFilePresent(const std::string& name) {
    const DWORD attributes = GetFileAttributesW(platform::ToWide(name).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

InstalledCopy CheckInstalledCopy(const std::string& fileName) {
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

void PlaceDataFiles(const std::string& baseName, const std::string& argument4) {
    for (const std::string& installed : FilesToDelete(baseName, argument4, PackagedFilePresent))
        DeleteFileW(platform::ToWide(installed).c_str());
    for (const DataFile& file : DataFiles(baseName))
        MoveFileW(platform::ToWide(file.packaged).c_str(), platform::ToWide(file.installed).c_str());
}

LayoutOutcome AddKeyboardLayout(const std::string& baseName, const std::string& layoutText) {
    try {
        const std::wstring layoutsPath = kKeyboardLayouts;
        RegistryKey layouts;
        if (!layouts.Open(layoutsPath))
            return LayoutOutcome::NoLayoutsKey;
        const std::vector<std::string> names = SubkeyNames(layouts.Get());
        bool alreadyPresent = false;
        for (const std::string& name : names)
            if (HasLayoutText(layoutsPath + L"\\" + platform::ToWide(name), layoutText))
                alreadyPresent = true;
        const std::string identifier = NewLayoutIdentifier(LargestLayoutIdentifier(names));
        layouts.Close();
        if (alreadyPresent)
            return LayoutOutcome::AlreadyPresent;

        const std::wstring newPath = layoutsPath + L"\\" + platform::ToWide(identifier);
        RegistryKey layout;
        bool createdNew = false;
        if (!layout.Create(newPath, createdNew))
            return LayoutOutcome::NotCreated;
        try {
            SetText(layout.Get(), L"IME file", baseName + ".ime");
            SetText(layout.Get(), L"layout file", LayoutFile());
            SetText(layout.Get(), L"layout text", layoutText);
        } catch (const InstallFailure&) {
            // A layout without all three values would be offered by the system but not work.
            layout.Close();
            if (createdNew)
                RegDeleteKeyW(HKEY_LOCAL_MACHINE, newPath.c_str());
            throw;
        }
        return LayoutOutcome::Added;
    } catch (const InstallFailure&) {
        return LayoutOutcome::Failed;
    }
}

void InstallInputMethod(const std::string& baseName, const std::string& layoutText) {
    wchar_t systemDirectory[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(systemDirectory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    const std::wstring path = std::wstring(systemDirectory, length) + L"\\" + platform::ToWide(baseName) + L".ime";
    const HKL layout = ImmInstallIMEW(path.c_str(), platform::ToWide(layoutText).c_str());
    ImmIsIME(layout);
}

void FailValueWriteForTesting(int k) { g_failingValueWrite = k; }

}  // namespace installer
