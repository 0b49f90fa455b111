// Two editors on two data directories that synchronise through one plain folder: a phrase added
// in one is in the other after 立即同步, and the 同步… box shows both computers.
#include <gtest/gtest.h>

#include "DriverEditor.h"
#include "DriverMouse.h"
#include "editor/commands/EditorCommandIds.h"

using namespace driver;

namespace {

TEST(EditorSync, ANewPhraseInOneEditorReachesTheOtherOnSyncNow) {
    ScratchDirectory shared;
    std::string folder;
    for (const wchar_t c : shared.Path().wstring())
        folder += static_cast<char>(c);  // the scratch path is ASCII
    EditorRun first;
    EditorRun second;
    for (EditorRun* run : {&first, &second})
        run->Put("srf_pub.sync.ini", "folder=" + folder + "\r\n");
    second.Put("srf_pub.dat", "");
    first.Start();
    second.Open();
    if (HasFatalFailure())
        return;
    // At start-up the second took the first's phrases.
    EXPECT_TRUE(second.WaitForFile("srf_pub.dat", EditorTree()));

    first.New(L"其他", L"上好");
    first.WaitForFile("srf_pub.dat", EditorTree() + Gb("\t上好\r\n"));
    second.Command(editor::IDM_SYNC_NOW);
    EXPECT_TRUE(second.WaitForFile("srf_pub.dat", EditorTree() + Gb("\t上好\r\n")));
    EXPECT_TRUE(Eventually([&] { return second.Item(L"上好") != nullptr; }));
    EXPECT_TRUE(
        Eventually([&] { return StatusBarText(second.Status(), 1).starts_with(L"同步: 来自 "); }));

    second.Command(editor::IDM_SYNC);
    const MessageBoxSeen box = WaitForMessageBox(second.program().Id());
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.caption, L"同步");
    HWND members = GetDlgItem(box.hwnd, 102);
    EXPECT_EQ(SendMessageW(members, LB_GETCOUNT, 0, 0), 2);
    SaveScreenshot(box.hwnd, "sync-box");
    PressDialogButton(box.hwnd, IDCANCEL);
    WaitUntilClosed(box.hwnd);
}

}  // namespace
