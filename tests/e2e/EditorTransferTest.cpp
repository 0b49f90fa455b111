// The phrase editor's Export and Import driven through the system's save and open dialogs: the
// exported bytes in both encodings, the summary before an import, the merged and compiled files,
// Cancel, and Ctrl+Z taking the whole import back.
#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "Driver.h"
#include "DriverEditor.h"
#include "DriverFileDialog.h"
#include "editor/commands/EditorCommandIds.h"

using namespace driver;

namespace {

const std::string kBom = "\xEF\xBB\xBF";

// Starts Export or Import and gives the file to its dialog.
void ChooseInDialog(EditorRun& run, int command, const std::wstring& title,
                    const std::filesystem::path& file, int type = -1,
                    const std::string& screenshot = {}) {
    SendCommand(run.Main(), command);
    HWND dialog = WaitForDialog(run.program().Id(), title);
    ASSERT_NE(dialog, nullptr) << "no file dialog";
    ASSERT_NE(FileNameEdit(dialog), nullptr) << DescribeControls(dialog);
    if (type >= 0) {
        ASSERT_TRUE(ChooseFileType(dialog, type)) << DescribeControls(dialog);
    }
    if (!screenshot.empty())
        SaveScreenshot(dialog, screenshot);
    ChooseFile(dialog, file.wstring());
    ASSERT_TRUE(Eventually([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }))
        << "the dialog stayed open\n"
        << DescribeControls(dialog);
}

TEST(EditorTransfer, ExportWritesTheTreeAsUtf8WithAByteOrderMarkOrAsGb2312ByTheTypeList) {
    ScratchDirectory elsewhere;
    EditorRun run(elsewhere.Path());
    run.Start();

    ChooseInDialog(run, editor::IDM_EXPORT, L"导出语料", elsewhere / "utf8.txt");
    ASSERT_TRUE(Eventually([&] { return std::filesystem::exists(elsewhere / "utf8.txt"); }));
    run.Settle();
    EXPECT_EQ(ReadFileBytes(elsewhere / "utf8.txt"),
              kBom + "问候\r\n\t你好\r\n\t早上好\r\n其他\r\n");

    ChooseInDialog(run, editor::IDM_EXPORT, L"导出语料", elsewhere / "gb.txt", 1,
                   "editor-export-dialog");
    ASSERT_TRUE(Eventually([&] { return std::filesystem::exists(elsewhere / "gb.txt"); }));
    run.Settle();
    EXPECT_EQ(ReadFileBytes(elsewhere / "gb.txt"), EditorTree());

    // Another input method's dictionary, with readings: a Rime dictionary, categories as comments.
    SendCommand(run.Main(), editor::IDM_EXPORT);
    HWND dialog = WaitForDialog(run.program().Id(), L"导出语料");
    ASSERT_NE(dialog, nullptr);
    ScreenshotFileTypes(dialog, "export-types");
    ASSERT_TRUE(ChooseFileType(dialog, 3)) << DescribeControls(dialog);
    ChooseFile(dialog, (elsewhere / "mine.dict.yaml").wstring());
    ASSERT_TRUE(Eventually([&] { return std::filesystem::exists(elsewhere / "mine.dict.yaml"); }));
    run.Settle();
    const std::string rime = ReadFileBytes(elsewhere / "mine.dict.yaml");
    EXPECT_NE(rime.find("# 分类：问候\n你好\tni hao\t"), std::string::npos) << rime;
    // Nothing changed at home.
    EXPECT_EQ(run.File("srf_pub.dat"), EditorTree());
    EXPECT_EQ(run.Names(), EditorFileNames(false));
}

TEST(EditorTransfer, ImportShowsTheSummaryFirstMergesOnOkAndCtrlZTakesItAllBack) {
    ScratchDirectory elsewhere;
    EditorRun run(elsewhere.Path());
    run.Start();
    // 你好 exists; 早上, 好早 and 你们 are new (们 is not in the table, so 你们 is not compiled);
    // 33 characters are too long; the emoji has no GB2312 code; a blank line is empty.
    std::string longLine;
    for (int i = 0; i < 33; ++i)
        longLine += "好";
    WriteFileBytes(elsewhere / "in.txt",
                   kBom + "问候\r\n\t你好\r\n\t早上\r\n\t" + longLine +
                       "\r\n\t你\xF0\x9F\x98\x80\r\n\t \r\n新类\r\n\t好早\r\n\t你们\r\n");
    const std::wstring summary =
        L"将增加语料 3 条，新增分类 1 个。\n"
        L"跳过：已存在 1 条，超过64字节 1 条，空内容 1 条，含GB2312没有的字 1 条。\n"
        L"增加的语料中有 1 条不会编入 srf_pub.usr（字表中没有其中的字，或只有一个字）。\n"
        L"第 4 行: " +
        std::wstring(33, L'好') +
        L" (超过64字节)\n"
        L"第 5 行: 你? (含GB2312没有的字 U+1F600)\n"
        L"要导入吗?";

    // Cancel: nothing changes, nothing is written.
    ChooseInDialog(run, editor::IDM_IMPORT, L"导入语料", elsewhere / "in.txt");
    MessageBoxSeen box = WaitForMessageBox(run.program().Id());
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.caption, L"提示框");
    EXPECT_EQ(box.text, summary);
    EXPECT_NE(GetDlgItem(box.hwnd, IDCANCEL), nullptr);
    PressDialogButton(box.hwnd, IDCANCEL);
    ASSERT_TRUE(Eventually([&] { return !IsWindow(box.hwnd); }));
    run.Settle();
    EXPECT_EQ(run.File("srf_pub.dat"), EditorTree());
    EXPECT_EQ(run.Names(), EditorFileNames(false));
    EXPECT_EQ(run.Texts().size(), 4u);

    // OK: merged, saved and compiled once.
    ChooseInDialog(run, editor::IDM_IMPORT, L"导入语料", elsewhere / "in.txt");
    box = WaitForMessageBox(run.program().Id());
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.text, summary);
    SaveScreenshot(box.hwnd, "editor-import-summary");
    PressDialogButton(box.hwnd, IDOK);
    const std::string merged =
        Gb("问候\r\n\t你好\r\n\t早上好\r\n\t早上\r\n其他\r\n新类\r\n\t好早\r\n\t你们\r\n");
    EXPECT_TRUE(run.WaitForFile("srf_pub.dat", merged));
    // 早上 = 02 (3, 4) and 好早 = 02 (2, 3) after the two phrases before; 你们 is left out.
    const std::string compiled = EditorCompiled().substr(0, 12) +
                                 std::string("\x02\x03\x00\x04\x00\x02\x02\x00\x03\x00\x00", 11);
    EXPECT_TRUE(run.WaitForFile("srf_pub.usr", compiled));
    EXPECT_EQ(run.File("srf_pub.dat.bak"), EditorTree());
    run.Settle();
    const std::vector<std::wstring> shown = {L"问候", L"你好", L"早上好", L"早上",
                                             L"其他", L"新类", L"好早",   L"你们"};
    EXPECT_EQ(run.Texts(), shown);
    EXPECT_EQ(run.SelectedText(), L"早上");  // the first new phrase
    SaveScreenshot(run.Main(), "editor-after-import");

    // One undo step takes back every phrase and the new category.
    PressKey(run.Tree(), 'Z', true);
    EXPECT_TRUE(run.WaitForFile("srf_pub.dat", EditorTree()));
    EXPECT_TRUE(run.WaitForFile("srf_pub.usr", EditorCompiled()));
    run.Settle();
    EXPECT_EQ(run.Texts(), (std::vector<std::wstring>{L"问候", L"你好", L"早上好", L"其他"}));
}

TEST(EditorTransfer, PlainLinesGoToTheSelectedCategory) {
    ScratchDirectory elsewhere;
    EditorRun run(elsewhere.Path());
    run.Start();
    WriteFileBytes(elsewhere / "lines.txt", Gb("早上\r\n好早\r\n"));  // GB2312, no indentation
    run.Select(L"其他");
    run.Settle();
    ChooseInDialog(run, editor::IDM_IMPORT, L"导入语料", elsewhere / "lines.txt");
    const MessageBoxSeen box = WaitForMessageBox(run.program().Id());
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.text.substr(0, box.text.find(L'\n')), L"将增加语料 2 条，新增分类 0 个。");
    PressDialogButton(box.hwnd, IDOK);
    EXPECT_TRUE(run.WaitForFile("srf_pub.dat", EditorTree() + Gb("\t早上\r\n\t好早\r\n")));
}

// Another input method's dictionary through the open dialog: the question of its category, the
// summary naming the format, the words in a new category of the dictionary's name. A file of
// 100,000 lines shows the progress window while it is planned (photographed when the window is
// seen: a fast machine may plan it between two looks), and Cancel at its summary changes nothing.
TEST(EditorTransfer, ADictionaryOfAnotherInputMethodGoesToACategoryOfItsName) {
    ScratchDirectory elsewhere;
    EditorRun run(elsewhere.Path());
    run.Start();
    WriteFileBytes(
        elsewhere / "demo.dict.yaml",
        "# Rime dictionary\n---\nname: 演示词库\n...\n早上\tzao shang\t3\n你\tni\n好早\thao zao\n");
    run.Select(L"其他");
    run.Settle();
    ChooseInDialog(run, editor::IDM_IMPORT, L"导入语料", elsewhere / "demo.dict.yaml");
    MessageBoxSeen box = WaitForMessageBox(run.program().Id());
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.text.substr(0, box.text.find(L'\n')), L"导入到新分类 演示词库？");
    PressDialogButton(box.hwnd, IDYES);
    ASSERT_TRUE(Eventually([&] { return !IsWindow(box.hwnd); }));
    box = WaitForMessageBox(run.program().Id());
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.text.substr(0, box.text.find(L'\n')), L"格式：Rime 词库 (dict.yaml)");
    EXPECT_NE(box.text.find(L"跳过单字 1 条"), std::wstring::npos) << box.text;
    PressDialogButton(box.hwnd, IDOK);
    const std::string merged = EditorTree() + Gb("演示词库\r\n\t早上\r\n\t好早\r\n");
    EXPECT_TRUE(run.WaitForFile("srf_pub.dat", merged));

    // 100,000 words of two GB2312 characters each, all different.
    std::string big = "---\nname: big\n...\n";
    for (int k = 0; k < 100000; ++k) {
        const int first = k / 94, second = k % 94;
        big += {static_cast<char>(0xB0 + first % 40), static_cast<char>(0xA1 + first / 40 % 94),
                static_cast<char>(0xB0 + k % 7), static_cast<char>(0xA1 + second)};
        big += "\tx\n";
    }
    WriteFileBytes(elsewhere / "big.dict.yaml", big);
    run.Settle();
    ChooseInDialog(run, editor::IDM_IMPORT, L"导入语料", elsewhere / "big.dict.yaml");
    box = WaitForMessageBox(run.program().Id());
    ASSERT_NE(box.hwnd, nullptr);
    PressDialogButton(box.hwnd, IDYES);
    ASSERT_TRUE(Eventually([&] { return !IsWindow(box.hwnd); }));
    // The progress window, or already the summary.
    HWND progress = nullptr;
    ASSERT_TRUE(Eventually(
        [&] {
            for (HWND window : VisibleWindows(run.program().Id())) {
                if (WindowText(window) == L"导入") {
                    progress = window;
                    return true;
                }
                wchar_t name[32] = {};
                GetClassNameW(window, name, 32);
                if (std::wstring(name) == L"#32770" && window != box.hwnd)
                    return true;
            }
            return false;
        },
        60s));
    if (progress && IsWindowVisible(progress))
        SaveScreenshot(progress, "import-progress");
    std::printf("progress window %s\n", progress ? "seen" : "not seen: planned between two looks");
    box = WaitForMessageBox(run.program().Id(), 60s);
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_NE(box.text.find(L"将增加语料 100000 条"), std::wstring::npos) << box.text;
    PressDialogButton(box.hwnd, IDCANCEL);
    ASSERT_TRUE(Eventually([&] { return !IsWindow(box.hwnd); }));
    run.Settle();
    EXPECT_EQ(run.File("srf_pub.dat"), merged);
}

}  // namespace
