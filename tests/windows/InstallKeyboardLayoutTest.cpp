// The keyboard layout entry against the real registry of the test prefix: which subkey is made,
// with which values, and when nothing is written.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "../e2e/InstallRegistry.h"
#include "installer/InstallPlan.h"
#include "installer/InstallRun.h"
#include "installer/InstallSystem_win.h"
#include "platform/TextConversion_win.h"

namespace installer {
namespace {

using namespace installtest;
using Names = std::vector<std::wstring>;

// "中文（简体）- " + display name, the way install mode builds it from its arguments.
std::string Layout(const std::wstring& displayName) {
    return LayoutText(platform::ToGb2312(displayName));
}

// A real key whose k-th value write from the start fails (1 = the first; 0 none), as the
// registry fails it: with a code.
class FailingValueKey : public RegistryKey {
public:
    FailingValueKey(OwnedKey key, int& left) : m_key(std::move(key)), m_left(left) {}
    std::vector<std::string> SubkeyNames() override { return m_key->SubkeyNames(); }
    OwnedKey OpenSubkey(const std::string& name) override { return m_key->OpenSubkey(name); }
    Created CreateSubkey(const std::string& name) override {
        Created created = m_key->CreateSubkey(name);
        created.key = std::make_unique<FailingValueKey>(std::move(created.key), m_left);
        return created;
    }
    void DeleteSubkey(const std::string& name) override { m_key->DeleteSubkey(name); }
    StoredLayoutText ReadText(const std::string& valueName) override {
        return m_key->ReadText(valueName);
    }
    void SetText(const std::string& valueName, const std::string& text) override {
        if (m_left > 0 && --m_left == 0)
            throw InstallFailure("refused", ERROR_WRITE_PROTECT);
        m_key->SetText(valueName, text);
    }

private:
    OwnedKey m_key;
    int& m_left;
};

class FailingValueWrite : public WindowsInstallSystem {
public:
    explicit FailingValueWrite(int k) : m_left(k) {}
    OwnedKey OpenLayoutsKey() override {
        return std::make_unique<FailingValueKey>(WindowsInstallSystem::OpenLayoutsKey(), m_left);
    }

private:
    int m_left;
};

LayoutResult AddKeyboardLayoutWithCode(const std::string& baseName, const std::string& layoutText,
                                       int failingWrite = 0) {
    FailingValueWrite system(failingWrite);
    return installer::AddKeyboardLayout(system, baseName, layoutText);
}

LayoutOutcome AddKeyboardLayout(const std::string& baseName, const std::string& layoutText,
                                int failingWrite = 0) {
    return AddKeyboardLayoutWithCode(baseName, layoutText, failingWrite).outcome;
}

using InstallKeyboardLayout = ::testing::Test;

TEST_F(InstallKeyboardLayout, AddsTheNextIdentifierWithItsThreeValues) {
    KeyboardLayoutsSandbox sandbox;
    EXPECT_EQ(AddKeyboardLayout("srf_py", Layout(L"Lumo")), LayoutOutcome::Added);
    ASSERT_EQ(sandbox.NewSubkeys(), Names{L"E0220804"});

    const std::vector<RegistryValue> values = LayoutValues(L"E0220804");
    ASSERT_EQ(values.size(), 3u);
    const std::wstring layoutText = L"中文（简体）- Lumo";
    const std::pair<const wchar_t*, std::wstring> expected[] = {{L"IME file", L"srf_py.ime"},
                                                                {L"layout file", L"kbdus.dll"},
                                                                {L"layout text", layoutText}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(values[i].name, expected[i].first);
        EXPECT_EQ(values[i].type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(values[i].text, expected[i].second);
        EXPECT_EQ(values[i].size, (expected[i].second.size() + 1) * sizeof(wchar_t))
            << "the size counts the zero";
    }
}

TEST_F(InstallKeyboardLayout, TheSameLayoutTextTwiceAddsNothingAnotherAddsTheNextIdentifier) {
    KeyboardLayoutsSandbox sandbox;
    EXPECT_EQ(AddKeyboardLayout("srf_py", Layout(L"Lumo")), LayoutOutcome::Added);
    EXPECT_EQ(AddKeyboardLayout("srf_kv", Layout(L"Lumo")), LayoutOutcome::AlreadyPresent);
    EXPECT_EQ(sandbox.NewSubkeys(), Names{L"E0220804"});
    EXPECT_EQ(AddKeyboardLayout("srf_kv", Layout(L"Ketra")), LayoutOutcome::Added);
    EXPECT_EQ(sandbox.NewSubkeys(), (Names{L"E0220804", L"E0230804"}));
    EXPECT_EQ(LayoutValues(L"E0230804")[0].text, L"srf_kv.ime");
}

TEST_F(InstallKeyboardLayout, AnyLayoutWithThisTextCountsAsPresentStringOrExpandableString) {
    KeyboardLayoutsSandbox sandbox;
    sandbox.Add({L"00000411", {}});
    SetText(L"00000411", L"layout text", L"中文（简体）- Lumo", REG_EXPAND_SZ);
    EXPECT_EQ(AddKeyboardLayout("srf_py", Layout(L"Lumo")), LayoutOutcome::AlreadyPresent);
    // The comparison is exact: another letter case is another layout text.
    EXPECT_EQ(AddKeyboardLayout("srf_py", Layout(L"lumo")), LayoutOutcome::Added);
    EXPECT_EQ(sandbox.NewSubkeys(), Names{L"E0220804"});
}

TEST_F(InstallKeyboardLayout, ReadsSubkeyNamesAsNumbersInEitherLetterCase) {
    KeyboardLayoutsSandbox sandbox;
    sandbox.Add({L"e0230804", {{L"layout text", L"other"}}});
    EXPECT_EQ(AddKeyboardLayout("srf_py", Layout(L"Lumo")), LayoutOutcome::Added);
    EXPECT_EQ(sandbox.NewSubkeys(), Names{L"E0240804"});
}

TEST_F(InstallKeyboardLayout, KeepsAChineseDisplayNameByteForByte) {
    KeyboardLayoutsSandbox sandbox;
    const std::string layoutText = Layout(L"中文输入法·路模");
    EXPECT_EQ(AddKeyboardLayout("srf_pylm", layoutText), LayoutOutcome::Added);
    const std::vector<RegistryValue> values = LayoutValues(L"E0220804");
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[2].text, L"中文（简体）- 中文输入法·路模");
    EXPECT_EQ(platform::ToGb2312(values[2].text), layoutText);
}

TEST_F(InstallKeyboardLayout, WritesNothingWhenTheListCannotBeRead) {
    struct Case {
        const char* what;
        LayoutSubkey extra;
    };
    const DWORD number = 7;
    for (const Case& c : {Case{"a name that is no number", {L"Foo", {{L"layout text", L"x"}}}},
                          Case{"a layout text that is no string", {L"00000411", {}}}}) {
        SCOPED_TRACE(c.what);
        KeyboardLayoutsSandbox sandbox;
        sandbox.Add(c.extra);
        if (c.extra.texts.empty())
            SetValue(c.extra.name, L"layout text", REG_DWORD, &number, sizeof number);
        EXPECT_EQ(AddKeyboardLayout("srf_py", Layout(L"Lumo")), LayoutOutcome::Failed);
        EXPECT_EQ(sandbox.NewSubkeys(), Names{});
    }
}

TEST_F(InstallKeyboardLayout, AnEmptyValueOfAnotherTypeReadsAsEmptyText) {
    KeyboardLayoutsSandbox sandbox;
    sandbox.Add({L"00000411", {}});
    SetValue(L"00000411", L"layout text", REG_BINARY, nullptr, 0);
    EXPECT_EQ(AddKeyboardLayout("srf_py", Layout(L"Lumo")), LayoutOutcome::Added);
    EXPECT_EQ(sandbox.NewSubkeys(), Names{L"E0220804"});
}

TEST_F(InstallKeyboardLayout, LeavesNoHalfMadeLayoutWhenAValueCannotBeSet) {
    for (int failing = 1; failing <= 3; ++failing) {
        SCOPED_TRACE(failing);
        KeyboardLayoutsSandbox sandbox;
        const LayoutResult result = AddKeyboardLayoutWithCode("srf_py", Layout(L"Lumo"), failing);
        EXPECT_EQ(result.outcome, LayoutOutcome::Failed);
        EXPECT_EQ(result.systemCode, ERROR_WRITE_PROTECT);
        EXPECT_EQ(sandbox.NewSubkeys(), Names{});
    }
}

TEST_F(InstallKeyboardLayout, AfterFFFFTheIdentifierWrapsAndAnExistingLayoutIsNeverDeleted) {
    KeyboardLayoutsSandbox sandbox;
    sandbox.Add({L"FFFF0804", {{L"layout text", L"last"}}});
    EXPECT_EQ(AddKeyboardLayout("srf_py", Layout(L"Lumo"), 2), LayoutOutcome::Failed);
    // 00000804 existed before, so the failure leaves it, with the one value written before it.
    EXPECT_TRUE(KeyExists(LayoutPath(L"00000804")));
    EXPECT_EQ(sandbox.NewSubkeys(), Names{});
}

TEST_F(InstallKeyboardLayout, ARefusedRegistryCallCarriesTheRegistrysCode) {
    KeyboardLayoutsSandbox sandbox;
    WindowsInstallSystem system;
    const OwnedKey layouts = system.OpenLayoutsKey();
    const std::pair<std::function<void()>, long> cases[] = {
        {[&] { layouts->OpenSubkey("E0FF0804"); }, ERROR_FILE_NOT_FOUND},
        {[&] { layouts->DeleteSubkey("E0FF0804"); }, ERROR_FILE_NOT_FOUND},
    };
    for (const auto& [call, code] : cases) {
        try {
            call();
            ADD_FAILURE() << "no failure";
        } catch (const InstallFailure& failure) {
            EXPECT_EQ(failure.SystemCode(), code);
        }
    }
}

TEST_F(InstallKeyboardLayout, WithoutTheKeyOrWithoutSubkeysNothingIsWritten) {
    if (KeyExists(kKeyboardLayouts))
        GTEST_SKIP() << "this machine has a Keyboard Layouts key of its own";
    {
        KeyboardLayoutsSandbox sandbox(std::vector<LayoutSubkey>{});
        // The registry's own reason comes with the outcome.
        const LayoutResult result = AddKeyboardLayoutWithCode("srf_py", Layout(L"Lumo"));
        EXPECT_EQ(result.outcome, LayoutOutcome::NoLayoutsKey);
        EXPECT_EQ(result.systemCode, ERROR_FILE_NOT_FOUND);
        EXPECT_FALSE(KeyExists(kKeyboardLayouts)) << "the key is never created";
    }
    {
        KeyboardLayoutsSandbox sandbox(std::vector<LayoutSubkey>{});
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKeyboardLayouts, 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr);
        RegCloseKey(key);
        EXPECT_EQ(AddKeyboardLayout("srf_py", Layout(L"Lumo")), LayoutOutcome::Failed);
        EXPECT_EQ(LayoutSubkeys(), Names{});
    }
    EXPECT_FALSE(KeyExists(kKeyboardLayouts));
}

}  // namespace
}  // namespace installer
