// The phrase editor while another process holds srf_pub.dat or srf_pub.usr open without sharing:
// the change is reported as failed, the held file keeps its old bytes, no temporary file stays,
// and once the file is released the next change writes the whole tree, the earlier change included.
#include <gtest/gtest.h>

#include "DriverEditor.h"
#include "editor/commands/EditorCommandIds.h"

using namespace driver;

namespace {

// After the first change, 上好 last in 其他.
const std::string kTreeAfterFirst = EditorTree() + Gb("\t上好\r\n");

// Opens an existing file as another program would that takes it for itself.
class HeldFile {
public:
    explicit HeldFile(const std::filesystem::path& path)
        : m_handle(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldFile() { Release(); }
    bool Held() const { return m_handle != INVALID_HANDLE_VALUE; }
    void Release() {
        if (Held())
            CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle;
};

class EditorHeldOpen : public testing::TestWithParam<const char*> {};

TEST_P(EditorHeldOpen, TheChangeFailsWithTheOldFileIntactAndSucceedsOnceReleased) {
    const std::string held = GetParam();
    const bool treeHeld = held == "srf_pub.dat";
    EditorRun run(std::filesystem::temp_directory_path());
    run.Start();
    if (HasFatalFailure())
        return;

    HeldFile holder(run.Directory() / held);
    ASSERT_TRUE(holder.Held()) << "cannot hold " << held << " open: error " << GetLastError();
    run.New(L"其他", L"上好");
    run.ExpectErrorBox(L"Cannot create file " + run.ProgramPath(held) + L".");
    if (!treeHeld) {
        // Save compiles only, and fails the same way: no congratulation follows.
        SendCommand(run.Main(), editor::IDM_SAVE);
        run.ExpectErrorBox(L"Cannot create file " + run.ProgramPath(held) + L".");
        run.ExpectNoBox();
    }
    run.Settle();
    holder.Release();

    // The held file is as it was. srf_pub.dat is saved before the compile, so when only
    // srf_pub.usr was held the tree file already carries the change.
    EXPECT_EQ(run.File("srf_pub.dat"), treeHeld ? EditorTree() : kTreeAfterFirst);
    EXPECT_EQ(run.File("srf_pub.usr"), EditorCompiled());
    // A saved tree file leaves its predecessor as the backup; nothing else stays.
    EXPECT_EQ(run.Names(), EditorFileNames(!treeHeld))
        << "a temporary file was left beside the data files";
    if (!treeHeld) {
        EXPECT_EQ(run.File("srf_pub.dat.bak"), EditorTree());
    }
    // The window keeps the change it could not write.
    EXPECT_EQ(run.Texts(),
              (std::vector<std::wstring>{L"问候", L"你好", L"早上好", L"其他", L"上好"}));

    const std::string previous = run.File("srf_pub.dat");
    run.New(L"你好", L"早上");
    run.WaitForFile("srf_pub.dat", EditorTreeAfterBoth());
    run.WaitForFile("srf_pub.usr", EditorCompiledAfterBoth());
    EXPECT_EQ(run.File("srf_pub.dat.bak"), previous);
    EXPECT_EQ(run.Names(), EditorFileNames(true));
}

INSTANTIATE_TEST_SUITE_P(HeldFiles, EditorHeldOpen, testing::Values("srf_pub.dat", "srf_pub.usr"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param) == "srf_pub.dat" ? "Tree" : "Compiled";
                         });

// A change that could not be written is not dropped by Quit or the close box without a question
// (Cancel the default); once the file is free, Save writes it.
TEST(EditorUnsavedChange, QuitAsksAndSaveWritesTheTreeOnceTheFileIsFree) {
    EditorRun run(std::filesystem::temp_directory_path());
    run.Start();
    if (HasFatalFailure())
        return;
    HeldFile holder(run.Directory() / "srf_pub.dat");
    ASSERT_TRUE(holder.Held());
    run.New(L"其他", L"上好");
    run.ExpectErrorBox(L"Cannot create file " + run.ProgramPath("srf_pub.dat") + L".");
    run.Settle();

    const std::wstring question =
        L"有修改未能保存到 srf_pub.dat, 退出将丢失这些修改。确定要退出吗?";
    SendCommand(run.Main(), editor::IDM_QUIT);
    const MessageBoxSeen box = WaitForMessageBox(run.program().Id());
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.text, question);
    const auto isDefault = [&](int id) {
        return (GetWindowLongW(GetDlgItem(box.hwnd, id), GWL_STYLE) & BS_DEFPUSHBUTTON) != 0;
    };
    EXPECT_TRUE(isDefault(IDCANCEL));
    EXPECT_FALSE(isDefault(IDOK));
    PressDialogButton(box.hwnd, IDCANCEL);
    WaitUntilClosed(box.hwnd);
    PostMessageW(run.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
    run.Answer(L"确认框", question, IDCANCEL);
    run.Settle();
    EXPECT_FALSE(run.program().HasExited());

    holder.Release();
    SendCommand(run.Main(), editor::IDM_SAVE);
    run.Answer(L"提示框", L"祝贺：保存完成!");
    EXPECT_EQ(run.File("srf_pub.dat"), kTreeAfterFirst);
    EXPECT_EQ(run.File("srf_pub.dat.bak"), EditorTree());
    SendCommand(run.Main(), editor::IDM_QUIT);  // nothing left to lose: no question
    EXPECT_EQ(run.program().WaitForExit(), 0);
}

}  // namespace
