// Install mode's run against a stand-in system that records every call in order.
#include "installer/InstallRun.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

#include "InstallTexts.h"
#include "installer/InstallPlan.h"

using namespace installer;

namespace {

using Log = std::vector<std::string>;

class FakeSystem : public InstallSystem {
public:
    InstalledCopy installedCopy = InstalledCopy::Absent;
    Answer answer = Answer::Ok;
    std::set<std::string> files = {"srf_ime", "srf_set", "srf_zc", "srf_dat"};
    std::set<std::string> refused;  // deletions and moves the system refuses, by file name
    bool layoutsKey = true;
    std::map<std::string, std::optional<StoredLayoutText>> layouts = {{"E0210804", StoredLayoutText{}}};
    bool createFails = false;
    bool keyExisted = false;
    int failingValue = 0;  // the k-th value write fails
    bool imeFails = false;
    bool throwOnFirstMove = false;
    Log log;

    Answer Ask(const std::string& text, const std::string& caption, MessageKind kind) override {
        log.push_back((kind == MessageKind::Question ? "question " : "notice ") + caption + " " + text);
        return kind == MessageKind::Question ? answer : Answer::Ok;
    }
    InstalledCopy CheckInstalledCopy(const std::string& fileName) override {
        log.push_back("check " + fileName);
        return installedCopy;
    }
    bool FileExists(const std::string& fileName) override { return files.count(fileName) > 0; }
    bool RemoveFile(const std::string& fileName) override {
        log.push_back("delete " + fileName);
        return refused.count(fileName) == 0;
    }
    bool RenameFile(const std::string& from, const std::string& to) override {
        if (throwOnFirstMove)
            throw std::runtime_error("unexpected");
        log.push_back("move " + from + " " + to);
        return refused.count(from) == 0 && files.count(from) > 0;
    }
    bool OpenLayoutsKey() override { return layoutsKey; }
    std::vector<std::string> LayoutNames() override {
        std::vector<std::string> names;
        for (const auto& entry : layouts)
            names.push_back(entry.first);
        return names;
    }
    std::optional<StoredLayoutText> ReadLayoutText(const std::string& name) override { return layouts.at(name); }
    void CloseLayoutsKey() override {}
    std::optional<bool> CreateLayoutKey(const std::string& name) override {
        log.push_back("create " + name);
        if (createFails)
            return std::nullopt;
        return !keyExisted;
    }
    bool SetLayoutValue(const std::string& valueName, const std::string& text) override {
        log.push_back("set " + valueName + "=" + text);
        return --failingValue != 0;
    }
    void CloseLayoutKey() override {}
    void DeleteLayoutKey(const std::string& name) override { log.push_back("delete key " + name); }
    std::string LayoutFile() override { return "kbdus.dll"; }
    bool InstallInputMethod(const std::string& baseName, const std::string& layoutText) override {
        log.push_back("ime " + baseName + " " + layoutText);
        return !imeFails;
    }
    void OpenMakerPage() override { log.push_back("page"); }
};

const InstallArguments kArguments{"srf_py", "Lumo", ""};
const std::string kLayout = LayoutText("Lumo");

Log RunLog(FakeSystem& system, const InstallArguments& arguments = kArguments) {
    RunInstall(arguments, system);
    return system.log;
}

// The log without the file placement, which the first test checks in full.
Log AfterPlacement(const Log& log) {
    Log rest;
    for (const std::string& entry : log)
        if (!entry.starts_with("delete srf") && !entry.starts_with("move ") && !entry.starts_with("check "))
            rest.push_back(entry);
    return rest;
}

TEST(InstallRun, WithoutAnInstalledCopyInstallsInOrderWithoutABox) {
    FakeSystem system;
    system.refused = {"srf_set", "srf_pub.zc"};  // each refusal is passed over
    const Log expected = {"check srf_py.ime",
                          "delete srf_py.ime", "delete srf_py.set", "delete srf_pub.zc",
                          "move srf_ime srf_py.ime", "move srf_set srf_py.set", "move srf_zc srf_pub.zc",
                          "move srf_py srf_pub.py", "move srf_pys srf_pub.pys", "move srf_lm srf_pub.lm",
                          "move srf_pym srf_pub.pym", "move srf_kv srf_pub.kv", "move srf_usr srf_pub.usr",
                          "move srf_dat srf_pub.dat", "move srf_zy srf_pub.zy",
                          "create E0220804", "set IME file=srf_py.ime", "set layout file=kbdus.dll",
                          "set layout text=" + kLayout, "ime srf_py " + kLayout, "page"};
    EXPECT_EQ(RunLog(system), expected);
}

TEST(InstallRun, ARefusedNameOrAFileInUseEndsWithItsNoticeAndChangesNothing) {
    const std::string notice = std::string("notice ") + texts::kNoticeCaption + " ";
    FakeSystem refusedName;
    EXPECT_EQ(RunLog(refusedName, {"..\\x", "Lumo", ""}), Log{notice + RefusedNameNotice("..\\x")});
    FakeSystem inUse;
    inUse.installedCopy = InstalledCopy::InUse;
    EXPECT_EQ(RunLog(inUse), (Log{"check srf_py.ime", notice + InUseWarning("Lumo")}));
}

TEST(InstallRun, AReplaceableCopyIsAskedAboutOkInstallsCancelChangesNothing) {
    const std::string question = std::string("question ") + texts::kQuestionCaption + " " + OverwriteQuestion("Lumo");
    FakeSystem cancelled;
    cancelled.installedCopy = InstalledCopy::Replaceable;
    cancelled.answer = Answer::Cancel;
    EXPECT_EQ(RunLog(cancelled), (Log{"check srf_py.ime", question}));

    FakeSystem confirmed;
    confirmed.installedCopy = InstalledCopy::Replaceable;
    const Log log = RunLog(confirmed);
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[1], question);
    EXPECT_EQ(log[2], "delete srf_py.ime");
    EXPECT_EQ(log.back(), "page");
}

TEST(InstallRun, EachFailureOfTheRegistrationEndsItSilentlyAndTheRunGoesOn) {
    const Log imeAndPage = {"ime srf_py " + kLayout, "page"};
    const auto check = [&](FakeSystem& system, LayoutOutcome outcome, Log registryCalls) {
        FakeSystem copy = system;
        EXPECT_EQ(AddKeyboardLayout(copy, "srf_py", kLayout), outcome);
        registryCalls.insert(registryCalls.end(), imeAndPage.begin(), imeAndPage.end());
        EXPECT_EQ(AfterPlacement(RunLog(system)), registryCalls);
    };
    {
        SCOPED_TRACE("no Keyboard Layouts key");
        FakeSystem system;
        system.layoutsKey = false;
        check(system, LayoutOutcome::NoLayoutsKey, {});
    }
    {
        SCOPED_TRACE("no subkey, a name that is no number, a layout text that is no string");
        FakeSystem empty, badName, badText;
        empty.layouts.clear();
        badName.layouts["Foo"] = StoredLayoutText{};
        badText.layouts["00000411"] = StoredLayoutText{4, 4, "\x07"};
        for (FakeSystem* system : {&empty, &badName, &badText})
            check(*system, LayoutOutcome::Failed, {});
    }
    {
        SCOPED_TRACE("already present, also in a subkey that is no layout of its own");
        FakeSystem system;
        system.layouts["00000411"] = StoredLayoutText{2, 40, kLayout};
        system.layouts["E0300804"] = std::nullopt;  // cannot be opened: counts for the identifier only
        check(system, LayoutOutcome::AlreadyPresent, {});
    }
    {
        SCOPED_TRACE("the new subkey cannot be made");
        FakeSystem system;
        system.createFails = true;
        check(system, LayoutOutcome::NotCreated, {"create E0220804"});
    }
    for (int failing = 1; failing <= 3; ++failing) {
        SCOPED_TRACE(failing);
        FakeSystem made, existing;
        made.failingValue = existing.failingValue = failing;
        existing.keyExisted = true;
        Log calls = {"create E0220804", "set IME file=srf_py.ime", "set layout file=kbdus.dll",
                     "set layout text=" + kLayout};
        calls.resize(1 + failing);
        check(existing, LayoutOutcome::Failed, calls);
        calls.push_back("delete key E0220804");  // no half-made layout is left behind
        check(made, LayoutOutcome::Failed, calls);
    }
}

TEST(InstallRun, AnImmFailureStillOpensThePageAnUnexpectedFailureEndsTheRunSilently) {
    FakeSystem imeFails;
    imeFails.imeFails = true;
    EXPECT_EQ(RunLog(imeFails).back(), "page");

    FakeSystem throwing;
    throwing.throwOnFirstMove = true;
    EXPECT_NO_THROW(RunLog(throwing));
    EXPECT_EQ(throwing.log, (Log{"check srf_py.ime", "delete srf_py.ime", "delete srf_py.set", "delete srf_pub.zc"}));
}

}  // namespace
