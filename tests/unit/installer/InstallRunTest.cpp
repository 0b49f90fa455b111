// Install mode's run against a stand-in system that keeps files and registry keys as state: the
// tests check what the run leaves, what it shows, and that every key it opened is closed again.
#include "installer/InstallRun.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <stdexcept>

#include "InstallTexts.h"
#include "installer/ImageBytes.h"
#include "installer/ImageMachine.h"
#include "installer/InstallPlan.h"

using namespace installer;

namespace {

using Log = std::vector<std::string>;
using Files = std::map<std::string, std::string>;  // name, content
using Values = std::map<std::string, StoredLayoutText>;
using Layouts = std::map<std::string, Values>;  // the Keyboard Layouts subkeys

// The registry's codes the stand-in fails with, one for each kind of call.
constexpr long kNotFound = 2, kDenied = 5, kMoreData = 234, kBadKey = 1010, kCantWrite = 1013;

StoredLayoutText Text(const std::string& text, std::uint32_t type = kStringType) {
    return {type, (text.size() + 1) * 2, text};
}

// The Keyboard Layouts key and what it refuses; openKeys counts the keys handed out and not yet
// closed.
struct FakeRegistry {
    bool hasLayoutsKey = true;
    Layouts layouts = {{"E0210804", {{"layout text", Text("other")}}}};
    std::set<std::string> unopenable, unreadable;
    bool listFails = false, createFails = false;
    int failingValue = 0;  // the k-th value write fails
    int openKeys = 0;
};

class FakeKey : public RegistryKey {
public:
    FakeKey(FakeRegistry& registry, std::string subkey)
        : m_registry(registry), m_subkey(std::move(subkey)) {
        ++m_registry.openKeys;
    }
    ~FakeKey() override { --m_registry.openKeys; }

    std::vector<std::string> SubkeyNames() override {
        if (m_registry.listFails)
            throw InstallFailure("list", kBadKey);
        std::vector<std::string> names;
        for (const auto& entry : m_registry.layouts)
            names.push_back(entry.first);
        return names;
    }
    OwnedKey OpenSubkey(const std::string& name) override {
        if (!m_registry.layouts.contains(name) || m_registry.unopenable.contains(name))
            throw InstallFailure("open", kNotFound);
        return std::make_unique<FakeKey>(m_registry, name);
    }
    Created CreateSubkey(const std::string& name) override {
        if (m_registry.createFails)
            throw InstallFailure("create", kDenied);
        const bool createdNew = m_registry.layouts.emplace(name, Values{}).second;
        return {std::make_unique<FakeKey>(m_registry, name), createdNew};
    }
    void DeleteSubkey(const std::string& name) override { m_registry.layouts.erase(name); }
    StoredLayoutText ReadText(const std::string& valueName) override {
        if (m_registry.unreadable.contains(m_subkey))
            throw InstallFailure("read", kMoreData);
        const Values& values = m_registry.layouts.at(m_subkey);
        const auto found = values.find(valueName);
        return found == values.end() ? StoredLayoutText{} : found->second;
    }
    void SetText(const std::string& valueName, const std::string& text) override {
        if (--m_registry.failingValue == 0)
            throw InstallFailure("set", kCantWrite);
        m_registry.layouts.at(m_subkey)[valueName] = Text(text);
    }

private:
    FakeRegistry& m_registry;
    std::string m_subkey;
};

// A package of srf_py beside an earlier installation: the packaged files (all but srf_zc) hold
// their own names, the installed ones "installed".
Files PackageBesideInstallation() {
    Files files;
    for (const DataFile& file : DataFiles("srf_py"))
        if (file.packaged != "srf_zc")
            files[file.packaged] = file.packaged;
    for (const char* name : {"srf_py.ime", "srf_py.set", "srf_pub.zc", "srf_pub.py", "srf_pub.pys",
                             "srf_pub.usr", "srf_pub.dat"})
        files[name] = "installed";
    return files;
}

struct FakeSystem : InstallSystem {
    InstalledCopy installedCopy = InstalledCopy::Absent;
    Answer answer = Answer::Ok;
    Files files = PackageBesideInstallation();
    std::set<std::string> refused;  // files whose deletion or move the system refuses
    bool throwOnMove = false;
    FakeRegistry registry;
    Log shown;  // the boxes, the hand-over to the Input Method Manager, the maker's page

    ~FakeSystem() override { EXPECT_EQ(registry.openKeys, 0) << "a registry key was left open"; }

    Answer Ask(const std::string& text, const std::string& caption, MessageKind kind) override {
        shown.push_back((kind == MessageKind::Question ? "question " : "notice ") + caption + " " +
                        text);
        return kind == MessageKind::Question ? answer : Answer::Ok;
    }
    InstalledCopy CheckInstalledCopy(const std::string&) override { return installedCopy; }
    bool FileExists(const std::string& name) override { return files.contains(name); }
    std::string ReadFileStart(const std::string& name, std::size_t size) override {
        return files.contains(name) ? files[name].substr(0, size) : "";
    }
    bool RemoveFile(const std::string& name) override {
        return !refused.contains(name) && files.erase(name) == 1;
    }
    bool RenameFile(const std::string& from, const std::string& to) override {
        if (throwOnMove)
            throw std::runtime_error("unexpected");
        if (refused.contains(from) || !files.contains(from) || files.contains(to))
            return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    OwnedKey OpenLayoutsKey() override {
        if (!registry.hasLayoutsKey)
            throw InstallFailure("no key", kNotFound);
        return std::make_unique<FakeKey>(registry, "");
    }
    std::string LayoutFile() override { return "kbdus.dll"; }
    bool InstallInputMethod(const std::string& baseName, const std::string&) override {
        shown.push_back("ime " + baseName);
        return false;  // a failing Input Method Manager changes nothing in the run
    }
    void OpenMakerPage() override { shown.push_back("page"); }
};

const std::string kLayout = LayoutText("Lumo");

// The values of the new layout, the first count of them.
Values LayoutValues(int count = 3) {
    const std::pair<const char*, std::string> all[] = {{"IME file", "srf_py.ime"},
                                                       {"layout file", "kbdus.dll"},
                                                       {"layout text", kLayout}};
    Values values;
    for (int i = 0; i < count; ++i)
        values[all[i].first] = Text(all[i].second);
    return values;
}

void Install(FakeSystem& system, const std::string& baseName = "srf_py") {
    RunInstall({baseName, "Lumo", ""}, system);
}

TEST(InstallRun, InstallsInOrderPassingOverRefusedFilesAndAFailingImm) {
    FakeSystem system;
    system.refused = {"srf_py.set", "srf_set"};
    Install(system);
    // srf_zc is missing from the package: the installed srf_pub.zc stays; so do the user's
    // srf_pub.usr and srf_pub.dat, which a move never replaces.
    const Files expected = {{"srf_py.ime", "srf_ime"},    {"srf_py.set", "installed"},
                            {"srf_set", "srf_set"},       {"srf_pub.zc", "installed"},
                            {"srf_pub.py", "srf_py"},     {"srf_pub.pys", "srf_pys"},
                            {"srf_pub.lm", "srf_lm"},     {"srf_pub.pym", "srf_pym"},
                            {"srf_pub.kv", "srf_kv"},     {"srf_pub.zy", "srf_zy"},
                            {"srf_pub.usr", "installed"}, {"srf_usr", "srf_usr"},
                            {"srf_pub.dat", "installed"}, {"srf_dat", "srf_dat"}};
    EXPECT_EQ(system.files, expected);
    EXPECT_EQ(system.registry.layouts.at("E0220804"), LayoutValues());
    EXPECT_EQ(system.shown, (Log{"ime srf_py", "page"}));
}

TEST(InstallRun, ShowsItsNoticesAndQuestionAndChangesNothingUnlessTheAnswerIsOk) {
    const std::string notice = std::string("notice ") + texts::kNoticeCaption + " ";
    const std::string question =
        std::string("question ") + texts::kQuestionCaption + " " + OverwriteQuestion("Lumo");
    FakeSystem refusedName, inUse, cancelled, confirmed;
    inUse.installedCopy = InstalledCopy::InUse;
    cancelled.installedCopy = confirmed.installedCopy = InstalledCopy::Replaceable;
    cancelled.answer = Answer::Cancel;
    const std::pair<FakeSystem*, std::string> unchanged[] = {{&refusedName,
                                                              notice + RefusedNameNotice("..\\x")},
                                                             {&inUse,
                                                              notice + InUseWarning("Lumo")},
                                                             {&cancelled, question}};
    const FakeRegistry untouched;
    for (auto& [system, shown] : unchanged) {
        Install(*system, system == &refusedName ? "..\\x" : "srf_py");
        EXPECT_EQ(system->shown, Log{shown});
        EXPECT_EQ(system->files, PackageBesideInstallation());
        EXPECT_EQ(system->registry.layouts, untouched.layouts);
    }
    Install(confirmed);
    EXPECT_EQ(confirmed.shown, (Log{question, "ime srf_py", "page"}));
    EXPECT_EQ(confirmed.files.at("srf_py.ime"), "srf_ime");
}

TEST(InstallRun, RefusesAnInputMethodFileOfTheOtherBitnessBeforeAnyOtherCheck) {
    const int otherBits = kOwnBits == 64 ? 32 : 64;
    const std::string own = Image(kOwnBits == 64 ? kMachineAmd64 : kMachineI386);
    const std::string other = Image(kOwnBits == 64 ? kMachineI386 : kMachineAmd64);
    const std::string notice = std::string("notice ") + texts::kNoticeCaption + " ";
    // srf_ime is judged, or srf_py.ime where the package brings none; a file that is no image is
    // not judged.
    const struct {
        std::string srfIme, baseIme;  // "" for no such file
        std::string shown;            // the notice, or "" for going on
    } cases[] = {
        {other, "installed", notice + OtherBitnessNotice("srf_ime", otherBits, kOwnBits)},
        {"", other, notice + OtherBitnessNotice("srf_py.ime", otherBits, kOwnBits)},
        {own, other, ""},
        {"srf_ime", other, ""},
    };
    for (const auto& c : cases) {
        FakeSystem system;
        // The in-use warning would come next.
        system.installedCopy = InstalledCopy::InUse;
        system.files.erase("srf_ime");
        system.files.erase("srf_py.ime");
        if (!c.srfIme.empty())
            system.files["srf_ime"] = c.srfIme;
        if (!c.baseIme.empty())
            system.files["srf_py.ime"] = c.baseIme;
        const Files before = system.files;
        Install(system);
        EXPECT_EQ(system.shown, Log{c.shown.empty() ? notice + InUseWarning("Lumo") : c.shown});
        EXPECT_EQ(system.files, before);
    }
}

TEST(InstallRun, EachFailureOfTheRegistrationEndsItSilently) {
    const struct {
        const char* what;
        std::function<void(FakeRegistry&)> arrange;
        LayoutOutcome outcome;
        long code;
    } nothingWritten[] = {
        {"no Keyboard Layouts key", [](auto& r) { r.hasLayoutsKey = false; },
         LayoutOutcome::NoLayoutsKey, kNotFound},
        {"no subkeys", [](auto& r) { r.layouts.clear(); }, LayoutOutcome::Failed, 0},
        {"a list that cannot be read", [](auto& r) { r.listFails = true; }, LayoutOutcome::Failed,
         kBadKey},
        {"a name that is no number", [](auto& r) { r.layouts["Foo"]; }, LayoutOutcome::Failed, 0},
        {"a layout text that is no string",
         [](auto& r) {
             r.layouts["00000411"]["layout text"] = {4, 4, "\x07"};
         },
         LayoutOutcome::Failed, 0},
        {"a layout text that cannot be read", [](auto& r) { r.unreadable = {"E0210804"}; },
         LayoutOutcome::Failed, kMoreData},
        // A subkey that cannot be opened counts for the identifier only.
        {"present already",
         [](auto& r) {
             r.layouts["00000411"]["layout text"] = Text(kLayout, kExpandableStringType);
             r.layouts["E0300804"];
             r.unopenable = {"E0300804"};
         },
         LayoutOutcome::AlreadyPresent, 0},
        {"no subkey made", [](auto& r) { r.createFails = true; }, LayoutOutcome::NotCreated,
         kDenied},
    };
    for (const auto& c : nothingWritten) {
        SCOPED_TRACE(c.what);
        FakeSystem system;
        c.arrange(system.registry);
        const Layouts before = system.registry.layouts;
        const LayoutResult result = AddKeyboardLayout(system, "srf_py", kLayout);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.systemCode, c.code);
        EXPECT_EQ(system.registry.layouts, before);
    }

    // A value that cannot be set: the subkey made for it goes again; a subkey that existed (the
    // identifier wraps after FFFF to 0000) keeps the values written before.
    const Values existing = {{"layout text", Text("Chinese")}};
    for (int failing = 1; failing <= 3; ++failing) {
        SCOPED_TRACE(failing);
        FakeSystem made, wrapped;
        made.registry.failingValue = wrapped.registry.failingValue = failing;
        wrapped.registry.layouts = {{"FFFF0804", {}}, {"00000804", existing}};
        const Layouts before = made.registry.layouts;
        for (FakeSystem* system : {&made, &wrapped}) {
            const LayoutResult result = AddKeyboardLayout(*system, "srf_py", kLayout);
            EXPECT_EQ(result.outcome, LayoutOutcome::Failed);
            EXPECT_EQ(result.systemCode, kCantWrite);
        }
        EXPECT_EQ(made.registry.layouts, before);
        Values kept = LayoutValues(failing - 1);
        kept.insert(existing.begin(), existing.end());
        EXPECT_EQ(wrapped.registry.layouts.at("00000804"), kept);
    }

    // The run goes on to the Input Method Manager and the page all the same.
    FakeSystem noKey;
    noKey.registry.hasLayoutsKey = false;
    Install(noKey);
    EXPECT_EQ(noKey.shown, (Log{"ime srf_py", "page"}));
}

TEST(InstallRun, AnUnexpectedFailureEndsTheInstallationSilently) {
    FakeSystem system;
    system.throwOnMove = true;
    EXPECT_NO_THROW(Install(system));
    // The deletions before the first move happened; nothing after it did.
    Files expected = PackageBesideInstallation();
    for (const char* name : {"srf_py.ime", "srf_py.set", "srf_pub.py", "srf_pub.pys"})
        expected.erase(name);
    EXPECT_EQ(system.files, expected);
    EXPECT_EQ(system.registry.layouts, FakeRegistry().layouts);
    EXPECT_EQ(system.shown, Log{});
}

}  // namespace
