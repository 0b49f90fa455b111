// A sandbox of HKEY_LOCAL_MACHINE's Keyboard Layouts key for the install tests: it puts realistic
// layout subkeys in place, reads back what an installation wrote, and on destruction removes every
// subkey that was not there before (the whole key when the test prefix had none).
// Header-only, so that the Windows tests of the layout entry and the end-to-end tests share it.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace installtest {

inline constexpr wchar_t kKeyboardLayouts[] =
    L"System\\CurrentControlSet\\Control\\Keyboard Layouts";

struct RegistryValue {
    std::wstring name;
    DWORD type = REG_NONE;
    DWORD size = 0;     // in bytes, as stored
    std::wstring text;  // a string value's characters up to its terminating zero
};

struct LayoutSubkey {
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> texts;  // value name, REG_SZ text
};

// What a Windows machine with one Chinese input method installed besides the standard layouts has.
inline std::vector<LayoutSubkey> RealisticLayouts() {
    return {
        {L"00000409", {{L"layout file", L"KBDUS.DLL"}, {L"layout text", L"US"}}},
        {L"00000804",
         {{L"layout file", L"KBDUS.DLL"}, {L"layout text", L"Chinese (Simplified) - US Keyboard"}}},
        {L"E0200804",
         {{L"IME file", L"WINPY.IME"},
          {L"layout file", L"kbdus.dll"},
          {L"layout text", L"中文 (简体) - 全拼"}}},
        {L"E0210804",
         {{L"IME file", L"WINSP.IME"},
          {L"layout file", L"kbdus.dll"},
          {L"layout text", L"中文 (简体) - 双拼"}}},
    };
}

inline std::wstring LayoutPath(const std::wstring& subkey) {
    return subkey.empty() ? std::wstring(kKeyboardLayouts)
                          : std::wstring(kKeyboardLayouts) + L"\\" + subkey;
}

inline bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Subkey names of the Keyboard Layouts key in enumeration order; empty when the key is missing.
inline std::vector<std::wstring> LayoutSubkeys() {
    std::vector<std::wstring> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyboardLayouts, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return names;
}

// The values of a layout subkey in enumeration order.
inline std::vector<RegistryValue> LayoutValues(const std::wstring& subkey) {
    std::vector<RegistryValue> values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, LayoutPath(subkey).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        std::vector<wchar_t> data(1024, L'\0');
        RegistryValue value;
        value.size = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &value.type,
                          reinterpret_cast<BYTE*>(data.data()), &value.size) != ERROR_SUCCESS)
            break;
        value.name.assign(name, nameLength);
        if (value.type == REG_SZ || value.type == REG_EXPAND_SZ)
            value.text = data.data();
        values.push_back(value);
    }
    RegCloseKey(key);
    return values;
}

inline std::vector<std::wstring> ValueNames(const std::wstring& subkey) {
    std::vector<std::wstring> names;
    for (const RegistryValue& value : LayoutValues(subkey))
        names.push_back(value.name);
    return names;
}

inline void SetValue(const std::wstring& subkey, const std::wstring& name, DWORD type,
                     const void* data, DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, LayoutPath(subkey).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

inline void SetText(const std::wstring& subkey, const std::wstring& name, const std::wstring& text,
                    DWORD type = REG_SZ) {
    SetValue(subkey, name, type, text.c_str(),
             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// Keeps the Keyboard Layouts key as the test found it, apart from the subkeys a test is about.
class KeyboardLayoutsSandbox {
public:
    explicit KeyboardLayoutsSandbox(const std::vector<LayoutSubkey>& layouts = RealisticLayouts())
        : m_keyExisted(KeyExists(kKeyboardLayouts)), m_before(LayoutSubkeys()) {
        for (const LayoutSubkey& layout : layouts)
            Add(layout);
    }
    ~KeyboardLayoutsSandbox() {
        if (!m_keyExisted) {
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKeyboardLayouts);
            return;
        }
        for (const std::wstring& name : LayoutSubkeys())
            if (!WasThereBefore(name))
                RegDeleteTreeW(HKEY_LOCAL_MACHINE, LayoutPath(name).c_str());
    }
    KeyboardLayoutsSandbox(const KeyboardLayoutsSandbox&) = delete;
    KeyboardLayoutsSandbox& operator=(const KeyboardLayoutsSandbox&) = delete;

    // Puts a subkey in place unless one of that name was there before the test.
    void Add(const LayoutSubkey& layout) {
        if (WasThereBefore(layout.name))
            return;
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, LayoutPath(layout.name).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (key)
            RegCloseKey(key);
        for (const auto& [name, text] : layout.texts)
            SetText(layout.name, name, text);
        m_made.push_back(layout.name);
    }

    // True when the test found no Keyboard Layouts key, so that it may shape the whole key.
    bool OwnsTheKey() const { return !m_keyExisted; }

    // Subkeys that neither were there before nor were put in place by the sandbox.
    std::vector<std::wstring> NewSubkeys() const {
        std::vector<std::wstring> added;
        for (const std::wstring& name : LayoutSubkeys())
            if (!WasThereBefore(name) && !Made(name))
                added.push_back(name);
        return added;
    }

    // New subkeys written by the installer itself: they have a "layout file" value, which the
    // entries that Wine's own Input Method Manager adds (E0xx plus the user's language) lack.
    std::vector<std::wstring> NewLayoutsWithLayoutFile() const {
        std::vector<std::wstring> ours;
        for (const std::wstring& name : NewSubkeys()) {
            const auto names = ValueNames(name);
            if (std::any_of(names.begin(), names.end(), [](const std::wstring& value) {
                    return _wcsicmp(value.c_str(), L"layout file") == 0;
                }))
                ours.push_back(name);
        }
        return ours;
    }

private:
    static bool Contains(const std::vector<std::wstring>& names, const std::wstring& name) {
        return std::any_of(names.begin(), names.end(), [&](const std::wstring& other) {
            return _wcsicmp(other.c_str(), name.c_str()) == 0;
        });
    }
    bool WasThereBefore(const std::wstring& name) const { return Contains(m_before, name); }
    bool Made(const std::wstring& name) const { return Contains(m_made, name); }

    bool m_keyExisted;
    std::vector<std::wstring> m_before;
    std::vector<std::wstring> m_made;
};

}  // namespace installtest
