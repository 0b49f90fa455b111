// The phrase editor in a folder whose name code page 936 cannot hold: it loads, compiles and saves
// there, and its error box names the file as the system names it.
#include <gtest/gtest.h>

#include "DriverEditor.h"
#include "editor/commands/EditorCommandIds.h"

using namespace driver;

TEST(EditorDataDirectory, AKoreanFolderNameLoadsCompilesSavesAndIsNamedInTheErrorBox) {
    ScratchDirectory parent;
    const std::filesystem::path korean = parent.Path() / L"가나다";
    std::filesystem::create_directory(korean);
    EditorRun run(korean);
    run.Start();  // srf_pub.dat and srf_pub.zc read, srf_pub.usr compiled
    if (HasFatalFailure())
        return;
    EXPECT_EQ(run.Texts(), (std::vector<std::wstring>{L"问候", L"你好", L"早上好", L"其他"}));

    run.New(L"其他", L"上好");
    run.WaitForFile("srf_pub.dat", EditorTree() + Gb("\t上好\r\n"));
    run.WaitForFile("srf_pub.usr",
                    EditorCompiled().substr(0, 12) + std::string("\x02\x04\x00\x02\x00\x00", 6));
    EXPECT_EQ(run.File("srf_pub.dat.bak"), EditorTree());

    const std::wstring compiled = run.ProgramPath("srf_pub.usr");
    ASSERT_TRUE(SetFileAttributesW(compiled.c_str(), FILE_ATTRIBUTE_READONLY));
    SendCommand(run.Main(), editor::IDM_SAVE);
    run.ExpectErrorBox(L"Cannot create file " + compiled + L".");
    SetFileAttributesW(compiled.c_str(), FILE_ATTRIBUTE_NORMAL);
}
