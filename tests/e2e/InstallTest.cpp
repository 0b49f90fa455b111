// Install mode as an installer package runs it: the real program in a directory holding a fake
// package, its message boxes answered, the files and Keyboard Layouts entries it leaves checked.
#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "Driver.h"
#include "InstallRegistry.h"

using namespace driver;
using namespace installtest;

namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;
using Names = std::vector<std::wstring>;

const char* const kPackagedNames[] = {"srf_ime", "srf_set", "srf_zc",  "srf_py",
                                      "srf_pys", "srf_lm",  "srf_pym", "srf_kv",
                                      "srf_usr", "srf_dat", "srf_zy"};
const char* const kDataNames[] = {"srf_pub.zc",  "srf_pub.py",  "srf_pub.pys",
                                  "srf_pub.lm",  "srf_pub.pym", "srf_pub.kv",
                                  "srf_pub.usr", "srf_pub.dat", "srf_pub.zy"};

std::string New(const std::string& packaged) { return "new " + packaged; }
std::string Old(const std::string& installed) { return "old " + installed; }

// The install directory: a package, optionally over an earlier installation.
class InstallDirectory {
public:
    InstallDirectory() : m_program(m_programDirectory.InstallProgram()) {}
    // The package in a fresh directory inside parent.
    explicit InstallDirectory(const fs::path& parent)
        : m_program(m_programDirectory.InstallProgram()), m_directory(parent) {}
    const fs::path& Path() const { return m_directory.Path(); }

    void AddPackage() {
        for (const char* name : kPackagedNames)
            Add(name, New(name));
    }
    // Installed files of an earlier copy with base name base (data files, .set and, if asked,
    // .ime).
    void AddInstallation(const std::string& base, bool withIme) {
        for (const char* name : kDataNames)
            Add(name, Old(name));
        Add(base + ".set", Old(base + ".set"));
        if (withIme)
            Add(base + ".ime", Old(base + ".ime"));
    }
    void Add(const std::string& name, const std::string& bytes) {
        WriteFileBytes(m_directory / name, bytes);
    }
    void Remove(const std::string& name) { fs::remove(m_directory / name); }

    // Every entry of the directory: a file with its content, a directory as "<directory>".
    Files Contents() const {
        Files files;
        for (const auto& entry : fs::directory_iterator(Path()))
            files[entry.path().filename().string()] =
                entry.is_directory() ? "<directory>" : ReadFileBytes(entry.path());
        return files;
    }

    Program Start(const std::wstring& arguments) const {
        return Program(m_program, L"install " + arguments, Path());
    }

private:
    ScratchDirectory m_programDirectory;
    fs::path m_program;
    ScratchDirectory m_directory;
};

// Waits until the program ends or shows a message box; the box, if one came.
MessageBoxSeen BoxOrEnd(Program& program) {
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (!program.HasExited() && std::chrono::steady_clock::now() < end) {
        const MessageBoxSeen box = WaitForMessageBox(program.Id(), 100ms);
        if (box.hwnd)
            return box;
    }
    return {};
}

// Runs an installation that asks nothing and expects it to end normally.
void InstallSilently(const InstallDirectory& directory, const std::wstring& arguments) {
    Program program = directory.Start(arguments);
    const MessageBoxSeen box = BoxOrEnd(program);
    EXPECT_EQ(box.hwnd, nullptr) << "unexpected box: "
                                 << std::string(box.text.begin(), box.text.end());
    if (box.hwnd)
        PressDialogButton(box.hwnd, IDOK);
    EXPECT_EQ(program.WaitForExit(), 0);
}

// Runs an installation that shows one box, checks the box and answers it.
void InstallAnswering(const InstallDirectory& directory, const std::wstring& arguments,
                      const std::wstring& caption, const std::wstring& text, int answer,
                      const std::string& screenshot = {}) {
    Program program = directory.Start(arguments);
    const MessageBoxSeen box = BoxOrEnd(program);
    ASSERT_NE(box.hwnd, nullptr) << "no message box";
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.text, text);
    if (!screenshot.empty())
        SaveScreenshot(box.hwnd, screenshot);
    PressDialogButton(box.hwnd, answer);
    EXPECT_EQ(program.WaitForExit(), 0);
}

const std::wstring kQuestionCaption = L"要继续吗？";
const std::wstring kNoticeCaption = L"提示框";
std::wstring Question(const std::wstring& name) {
    return L"注意: 如有以前安装过的[" + name + L"]输入法现将被覆盖!!";
}
std::wstring InUse(const std::wstring& name) {
    return L"注意: 有以前安装过的[" + name +
           L"]输入法在使用, 请先关闭该应用程序, 或注销或重新启动再安装!";
}

// What the directory holds after installing a complete package with base name base over an
// earlier copy, when the installed names in replaced are deleted first.
Files Expected(const std::string& base, const std::vector<std::string>& replaced, bool hadIme) {
    Files files;
    const std::vector<std::pair<std::string, std::string>> moves =
        {{"srf_ime", base + ".ime"}, {"srf_set", base + ".set"}, {"srf_zc", "srf_pub.zc"},
         {"srf_py", "srf_pub.py"},   {"srf_pys", "srf_pub.pys"}, {"srf_lm", "srf_pub.lm"},
         {"srf_pym", "srf_pub.pym"}, {"srf_kv", "srf_pub.kv"},   {"srf_usr", "srf_pub.usr"},
         {"srf_dat", "srf_pub.dat"}, {"srf_zy", "srf_pub.zy"}};
    for (const auto& [packaged, installed] : moves) {
        const bool wasThere = installed != base + ".ime" || hadIme;
        if (!wasThere || std::find(replaced.begin(), replaced.end(), installed) != replaced.end()) {
            files[installed] = New(packaged);
        } else {
            files[installed] = Old(installed);
            files[packaged] = New(packaged);
        }
    }
    return files;
}

bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::wstring SystemDirectory() {
    wchar_t path[MAX_PATH] = {};
    GetSystemDirectoryW(path, MAX_PATH);
    return path;
}

}  // namespace

TEST(Install, FirstInstallationPlacesEveryFileAndEntersTheLayout) {
    KeyboardLayoutsSandbox layouts;
    InstallDirectory directory;
    directory.AddPackage();
    InstallSilently(directory, L"srf_py Lumo");

    std::vector<std::string> everything(std::begin(kDataNames), std::end(kDataNames));
    everything.insert(everything.end(), {"srf_py.ime", "srf_py.set"});
    EXPECT_EQ(directory.Contents(), Expected("srf_py", everything, true));

    ASSERT_EQ(layouts.NewLayoutsWithLayoutFile(), Names{L"E0220804"});
    EXPECT_EQ(ValueNames(L"E0220804"), (Names{L"IME file", L"layout file", L"layout text"}));
    EXPECT_EQ(LayoutValues(L"E0220804")[0].text, L"srf_py.ime");
    EXPECT_EQ(LayoutValues(L"E0220804")[2].text, L"中文（简体）- Lumo");
    if (UnderWine()) {
        // Wine's Input Method Manager enters the system directory's file under a layout of its own.
        bool handedOver = false;
        for (const std::wstring& name : layouts.NewSubkeys())
            for (const RegistryValue& value : LayoutValues(name))
                if (_wcsicmp(value.name.c_str(), L"Ime File") == 0 &&
                    value.text == SystemDirectory() + L"\\srf_py.ime")
                    handedOver = LayoutValues(name).back().text == L"中文（简体）- Lumo";
        EXPECT_TRUE(handedOver);
    }
}

TEST(Install, ReinstallationAsksThenReplacesTheVariantsFilesAndKeepsTheUsersPhrases) {
    KeyboardLayoutsSandbox layouts;
    InstallDirectory directory;
    directory.AddInstallation("srf_py", true);
    directory.AddPackage();
    InstallAnswering(directory, L"srf_py Lumo", kQuestionCaption, Question(L"Lumo"), IDOK,
                     "install-question");
    EXPECT_EQ(directory.Contents(),
              Expected("srf_py",
                       {"srf_py.ime", "srf_py.set", "srf_pub.zc", "srf_pub.py", "srf_pub.pys"},
                       true));
    EXPECT_EQ(layouts.NewLayoutsWithLayoutFile(), Names{L"E0220804"});
}

TEST(Install, EachVariantReplacesItsOwnDataFiles) {
    const std::map<std::string, std::vector<std::string>> variants =
        {{"srf_pylm", {"srf_pub.py", "srf_pub.pys", "srf_pub.lm"}},
         {"srf_kvlm", {"srf_pub.lm", "srf_pub.kv", "srf_pub.pym"}},
         {"srf_py", {"srf_pub.py", "srf_pub.pys"}},
         {"srf_lm", {"srf_pub.lm", "srf_pub.pym"}},
         {"srf_kv", {"srf_pub.kv", "srf_pub.pym"}},
         {"SRF_PY", {}},
         {"other", {}}};
    for (const auto& [base, variantFiles] : variants) {
        SCOPED_TRACE(base);
        KeyboardLayoutsSandbox layouts;
        InstallDirectory directory;
        directory.AddInstallation(base, false);
        directory.AddPackage();
        InstallSilently(directory, std::wstring(base.begin(), base.end()) + L" Lumo");
        std::vector<std::string> replaced = {base + ".set", "srf_pub.zc"};
        replaced.insert(replaced.end(), variantFiles.begin(), variantFiles.end());
        EXPECT_EQ(directory.Contents(), Expected(base, replaced, false));
    }
}

TEST(Install, ArgumentFourZyInAnyLetterCaseReplacesTheInstalledZyFile) {
    const std::pair<const wchar_t*, bool> cases[] = {{L"zy", true},   {L"ZY", true},
                                                     {L"zY", true},   {L"\"zy \"", false},
                                                     {L"zyx", false}, {L"", false}};
    for (const auto& [argument, replaces] : cases) {
        SCOPED_TRACE(std::string(argument, argument + wcslen(argument)));
        KeyboardLayoutsSandbox layouts;
        InstallDirectory directory;
        directory.AddInstallation("other", false);
        directory.AddPackage();
        InstallSilently(directory, std::wstring(L"other Lumo ") + argument);
        const Files files = directory.Contents();
        EXPECT_EQ(files.at("srf_pub.zy"), replaces ? New("srf_zy") : Old("srf_pub.zy"));
        EXPECT_EQ(files.count("srf_zy"), replaces ? 0u : 1u);
    }
}

TEST(Install, AnInstalledFileStaysWhenThePackageLacksItsReplacement) {
    KeyboardLayoutsSandbox layouts;
    InstallDirectory directory;
    directory.AddInstallation("srf_py", false);
    directory.AddPackage();
    directory.Remove("srf_zc");
    directory.Remove("srf_py");
    InstallSilently(directory, L"srf_py Lumo");
    Files expected = Expected("srf_py", {"srf_py.set", "srf_pub.pys"}, false);
    expected.erase("srf_zc");
    expected.erase("srf_py");
    EXPECT_EQ(directory.Contents(), expected);
}

TEST(Install, CancellingTheQuestionChangesNothing) {
    KeyboardLayoutsSandbox layouts;
    InstallDirectory directory;
    directory.AddInstallation("srf_py", true);
    directory.AddPackage();
    const Files before = directory.Contents();
    InstallAnswering(directory, L"srf_py Lumo", kQuestionCaption, Question(L"Lumo"), IDCANCEL);
    EXPECT_EQ(directory.Contents(), before);
    EXPECT_EQ(layouts.NewSubkeys(), Names{});
}

TEST(Install, AnInputMethodFileInUseOrReadOnlyIsWarnedAboutAndNothingChanges) {
    for (const bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "read-only" : "held open");
        KeyboardLayoutsSandbox layouts;
        InstallDirectory directory;
        directory.AddInstallation("srf_py", true);
        directory.AddPackage();
        const Files before = directory.Contents();
        const fs::path ime = directory.Path() / "srf_py.ime";
        HANDLE held = INVALID_HANDLE_VALUE;
        if (readOnly)
            SetFileAttributesW(ime.c_str(), FILE_ATTRIBUTE_READONLY);
        else
            held = CreateFileW(ime.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        InstallAnswering(directory, L"srf_py \"路模 Lumo\"", kNoticeCaption, InUse(L"路模 Lumo"),
                         IDOK);
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        SetFileAttributesW(ime.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(directory.Contents(), before);
        EXPECT_EQ(layouts.NewSubkeys(), Names{});
    }
}

TEST(Install, AnInputMethodFileOfTheOtherBitnessIsRefusedBeforeTheQuestion) {
    KeyboardLayoutsSandbox layouts;
    InstallDirectory directory;
    directory.AddInstallation("srf_py", true);
    directory.AddPackage();
    // The headers of an image for the other machine than this test's (and the program's): "MZ",
    // the PE header's offset at 0x3C, "PE\0\0", the machine.
    const bool program64 = sizeof(void*) == 8;
    const char machine[] = {program64 ? '\x4C' : '\x64', program64 ? '\x01' : '\x86'};
    directory.Add("srf_ime", "MZ" + std::string(0x3A, '\0') + std::string("\x40\0\0\0PE\0\0", 8) +
                                 std::string(machine, 2) + std::string(18, '\0'));
    const Files before = directory.Contents();
    const std::wstring own = program64 ? L"64" : L"32";
    const std::wstring other = program64 ? L"32" : L"64";
    InstallAnswering(directory, L"srf_py Lumo", kNoticeCaption,
                     L"注意: 输入法文件[srf_ime]是" + other + L"位的, 而这个srf_user.exe是" + own +
                         L"位的. 请用" + other + L"位的srf_user.exe安装, 安装已取消!",
                     IDOK, "install-other-bitness");
    EXPECT_EQ(directory.Contents(), before);
    EXPECT_EQ(layouts.NewSubkeys(), Names{});
}

TEST(Install, ADirectoryNamedLikeTheInputMethodFileCountsAsAbsent) {
    KeyboardLayoutsSandbox layouts;
    InstallDirectory directory;
    directory.AddPackage();
    fs::create_directory(directory.Path() / "srf_py.ime");
    InstallSilently(directory, L"srf_py Lumo");
    const Files files = directory.Contents();
    EXPECT_EQ(files.at("srf_py.ime"), "<directory>");
    EXPECT_EQ(files.at("srf_ime"), New("srf_ime"));
    EXPECT_EQ(files.at("srf_pub.zc"), New("srf_zc"));
    EXPECT_EQ(layouts.NewLayoutsWithLayoutFile(), Names{L"E0220804"});
}

TEST(Install, AKoreanFolderNameIsInstalledInAsAnyOther) {
    KeyboardLayoutsSandbox layouts;
    ScratchDirectory parent;
    fs::create_directory(parent.Path() / L"가나다");
    InstallDirectory directory(parent.Path() / L"가나다");
    directory.AddInstallation("srf_py", true);
    directory.AddPackage();
    InstallAnswering(directory, L"srf_py Lumo", kQuestionCaption, Question(L"Lumo"), IDOK);
    EXPECT_EQ(directory.Contents(),
              Expected("srf_py",
                       {"srf_py.ime", "srf_py.set", "srf_pub.zc", "srf_pub.py", "srf_pub.pys"},
                       true));
    EXPECT_EQ(layouts.NewLayoutsWithLayoutFile(), Names{L"E0220804"});
}

TEST(Install, AChineseDisplayNameReachesTheLayoutTextAndTheQuestion) {
    KeyboardLayoutsSandbox layouts;
    InstallDirectory directory;
    directory.AddPackage();
    directory.Add("srf_pylm.ime", Old("srf_pylm.ime"));
    InstallAnswering(directory, L"srf_pylm \"中文·路模 输入法\"", kQuestionCaption,
                     Question(L"中文·路模 输入法"), IDOK);
    ASSERT_EQ(layouts.NewLayoutsWithLayoutFile(), Names{L"E0220804"});
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, LayoutPath(L"E0220804").c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    wchar_t text[256] = {};
    DWORD type = 0, size = sizeof text;
    EXPECT_EQ(RegQueryValueExW(key, L"layout text", nullptr, &type, reinterpret_cast<BYTE*>(text),
                               &size),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    const std::wstring expected = L"中文（简体）- 中文·路模 输入法";
    EXPECT_EQ(std::wstring(text), expected);
    EXPECT_EQ(size, (expected.size() + 1) * sizeof(wchar_t));
    const std::string bytes = Gb("中文（简体）- 中文·路模 输入法");
    EXPECT_EQ(bytes.substr(0, 14), "\xD6\xD0\xCE\xC4\xA3\xA8\xBC\xF2\xCC\xE5\xA3\xA9\x2D\x20");
    EXPECT_EQ(Wide(bytes), expected);
}

TEST(Install, ASecondRunWithTheSameDisplayNameAddsNoLayoutAnotherNameTheNext) {
    KeyboardLayoutsSandbox layouts;
    InstallDirectory directory;
    directory.AddPackage();
    InstallSilently(directory, L"srf_py Lumo");
    directory.AddPackage();
    InstallAnswering(directory, L"srf_py Lumo", kQuestionCaption, Question(L"Lumo"), IDOK);
    EXPECT_EQ(layouts.NewLayoutsWithLayoutFile(), Names{L"E0220804"});
    directory.AddPackage();
    InstallAnswering(directory, L"srf_py Ketra", kQuestionCaption, Question(L"Ketra"), IDOK);
    EXPECT_EQ(layouts.NewLayoutsWithLayoutFile(), (Names{L"E0220804", L"E0230804"}));
    EXPECT_EQ(LayoutValues(L"E0230804")[2].text, L"中文（简体）- Ketra");
}

TEST(Install, ABaseNameReachingOutsideTheDirectoryIsRefused) {
    // The arguments after "install" and the base name the notice quotes.
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {{L"..\\srf_py Lumo zy",
                                                                L"..\\srf_py"},
                                                               {L"C:\\srf_py Lumo", L"C:\\srf_py"},
                                                               {L"sub/srf_py Lumo", L"sub/srf_py"},
                                                               {L".. Lumo", L".."},
                                                               {L"", L""}};
    for (const auto& [arguments, base] : cases) {
        SCOPED_TRACE(std::string(arguments, arguments + wcslen(arguments)));
        KeyboardLayoutsSandbox layouts;
        InstallDirectory directory;
        directory.AddPackage();
        const Files before = directory.Contents();
        InstallAnswering(directory, arguments, kNoticeCaption,
                         L"注意: 输入法名称[" + std::wstring(base) + L"]不正确, 安装已取消!", IDOK);
        EXPECT_EQ(directory.Contents(), before);
        EXPECT_EQ(layouts.NewSubkeys(), Names{});
    }
}
