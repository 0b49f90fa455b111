// Install mode's run against a stand-in system that logs every call that changes or shows anything.
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

struct FakeSystem : InstallSystem {
    InstalledCopy installedCopy = InstalledCopy::Absent;
    Answer answer = Answer::Ok;
    std::set<std::string> refused;  // files whose deletion or move the system refuses
    bool throwOnMove = false, layoutsKey = true, createFails = false, keyExisted = false;
    std::map<std::string, std::optional<StoredLayoutText>> layouts = {
        {"E0210804", StoredLayoutText{}}};
    int failingValue = 0;  // the k-th value write fails
    Log log;

    Answer Ask(const std::string& text, const std::string& caption, MessageKind kind) override {
        log.push_back((kind == MessageKind::Question ? "question " : "notice ") + caption + " " +
                      text);
        return kind == MessageKind::Question ? answer : Answer::Ok;
    }
    InstalledCopy CheckInstalledCopy(const std::string&) override { return installedCopy; }
    bool FileExists(const std::string& name) override { return name != "srf_zc"; }
    bool RemoveFile(const std::string& name) override { return Logged("delete " + name, name); }
    bool RenameFile(const std::string& from, const std::string& to) override {
        if (throwOnMove)
            throw std::runtime_error("unexpected");
        return Logged("move " + from + " " + to, from);
    }
    bool OpenLayoutsKey() override { return layoutsKey; }
    std::vector<std::string> LayoutNames() override {
        std::vector<std::string> names;
        for (const auto& entry : layouts)
            names.push_back(entry.first);
        return names;
    }
    std::optional<StoredLayoutText> ReadLayoutText(const std::string& name) override {
        return layouts.at(name);
    }
    void CloseLayoutsKey() override {}
    std::optional<bool> CreateLayoutKey(const std::string& name) override {
        log.push_back("create " + name);
        return createFails ? std::nullopt : std::optional<bool>(!keyExisted);
    }
    bool SetLayoutValue(const std::string& name, const std::string& text) override {
        log.push_back("set " + name + "=" + text);
        return --failingValue != 0;
    }
    void CloseLayoutKey() override {}
    void DeleteLayoutKey(const std::string& name) override { log.push_back("delete key " + name); }
    std::string LayoutFile() override { return "kbdus.dll"; }
    bool InstallInputMethod(const std::string& baseName, const std::string&) override {
        log.push_back("ime " + baseName);
        return false;  // a failing Input Method Manager changes nothing in the run
    }
    void OpenMakerPage() override { log.push_back("page"); }

    bool Logged(const std::string& entry, const std::string& name) {
        log.push_back(entry);
        return refused.count(name) == 0;
    }
};

const std::string kLayout = LayoutText("Lumo");
const Log kValues = {"set IME file=srf_py.ime", "set layout file=kbdus.dll",
                     "set layout text=" + kLayout};

Log RunLog(FakeSystem& system, const std::string& baseName = "srf_py") {
    RunInstall({baseName, "Lumo", ""}, system);
    return system.log;
}

TEST(InstallRun, InstallsInOrderPassingOverRefusedFilesAndAFailingImm) {
    FakeSystem system;
    system.refused = {"srf_py.set", "srf_set"};
    // srf_zc is missing from the package: the installed srf_pub.zc stays.
    Log expected = {"delete srf_py.ime",        "delete srf_py.set",
                    "delete srf_pub.py",        "delete srf_pub.pys",
                    "move srf_ime srf_py.ime",  "move srf_set srf_py.set",
                    "move srf_zc srf_pub.zc",   "move srf_py srf_pub.py",
                    "move srf_pys srf_pub.pys", "move srf_lm srf_pub.lm",
                    "move srf_pym srf_pub.pym", "move srf_kv srf_pub.kv",
                    "move srf_usr srf_pub.usr", "move srf_dat srf_pub.dat",
                    "move srf_zy srf_pub.zy",   "create E0220804"};
    expected.insert(expected.end(), kValues.begin(), kValues.end());
    expected.insert(expected.end(), {"ime srf_py", "page"});
    EXPECT_EQ(RunLog(system), expected);
}

TEST(InstallRun, ShowsItsNoticesAndQuestionAndChangesNothingUnlessTheAnswerIsOk) {
    const std::string notice = std::string("notice ") + texts::kNoticeCaption + " ";
    FakeSystem refusedName, inUse, cancelled, confirmed;
    EXPECT_EQ(RunLog(refusedName, "..\\x"), Log{notice + RefusedNameNotice("..\\x")});
    inUse.installedCopy = InstalledCopy::InUse;
    EXPECT_EQ(RunLog(inUse), Log{notice + InUseWarning("Lumo")});
    cancelled.installedCopy = confirmed.installedCopy = InstalledCopy::Replaceable;
    cancelled.answer = Answer::Cancel;
    const Log question = {std::string("question ") + texts::kQuestionCaption + " " +
                          OverwriteQuestion("Lumo")};
    EXPECT_EQ(RunLog(cancelled), question);
    EXPECT_EQ(RunLog(confirmed).front(), question.front());
    EXPECT_EQ(confirmed.log.back(), "page");
}

TEST(InstallRun, EachFailureOfTheRegistrationEndsItSilently) {
    FakeSystem noKey, empty, badName, badText, present, notCreated;
    noKey.layoutsKey = false;
    empty.layouts.clear();
    badName.layouts["Foo"] = StoredLayoutText{};
    badText.layouts["00000411"] = StoredLayoutText{4, 4, "\x07"};
    present.layouts["00000411"] = StoredLayoutText{2, 40, kLayout};
    present.layouts["E0300804"] = std::nullopt;  // cannot be opened: counts for the identifier only
    notCreated.createFails = true;
    const std::pair<FakeSystem*, LayoutOutcome> nothingWritten[] =
        {{&noKey, LayoutOutcome::NoLayoutsKey},     {&empty, LayoutOutcome::Failed},
         {&badName, LayoutOutcome::Failed},         {&badText, LayoutOutcome::Failed},
         {&present, LayoutOutcome::AlreadyPresent}, {&notCreated, LayoutOutcome::NotCreated}};
    for (auto [system, outcome] : nothingWritten) {
        EXPECT_EQ(AddKeyboardLayout(*system, "srf_py", kLayout), outcome);
        EXPECT_EQ(system->log, system->createFails ? Log{"create E0220804"} : Log{});
    }
    for (int failing = 1; failing <= 3; ++failing) {
        FakeSystem made, existing;
        made.failingValue = existing.failingValue = failing;
        existing.keyExisted = true;
        Log expected = {"create E0220804"};
        expected.insert(expected.end(), kValues.begin(), kValues.begin() + failing);
        EXPECT_EQ(AddKeyboardLayout(existing, "srf_py", kLayout), LayoutOutcome::Failed);
        EXPECT_EQ(existing.log, expected) << failing;
        expected.push_back("delete key E0220804");  // no half-made layout is left behind
        EXPECT_EQ(AddKeyboardLayout(made, "srf_py", kLayout), LayoutOutcome::Failed);
        EXPECT_EQ(made.log, expected) << failing;
    }
    // The run goes on to the Input Method Manager and the page all the same.
    const Log log = RunLog(noKey);
    EXPECT_EQ(Log(log.end() - 2, log.end()), (Log{"ime srf_py", "page"}));
}

TEST(InstallRun, AnUnexpectedFailureEndsTheInstallationSilently) {
    FakeSystem system;
    system.throwOnMove = true;
    EXPECT_NO_THROW(RunLog(system));
    EXPECT_EQ(system.log.back(), "delete srf_pub.pys");
}

}  // namespace
