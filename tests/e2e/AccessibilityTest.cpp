// The editor and the help window for users without a mouse, with a screen reader, under high
// contrast and with large text: what oleacc shows of every window, the keyboard alone through a
// choice of phrases and a move, the status bar's announcements, and the windows photographed
// under a high-contrast colour scheme, at 150% text size and at 200% DPI.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Driver.h"
#include "DriverAccessible.h"
#include "DriverEditor.h"
#include "DriverMouse.h"
#include "DriverTreeView.h"
#include "editor/commands/EditorCommandIds.h"

using namespace driver;
using namespace editor;

namespace {

// Four phrases in 问候, so that three can be chosen: 你好 早上好 你早 上好.
const std::string kFourPhrases = "问候\r\n\t你好\r\n\t早上好\r\n\t你早\r\n\t上好\r\n其他\r\n";
const std::string kFourCompiled(
    "\x02\x01\x00\x02\x00\x03\x03\x00\x04\x00\x02\x00\x02\x01\x00"
    "\x03\x00\x02\x04\x00\x02\x00\x00",
    23);

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

void ExpectEveryFocusableNamed(HWND window, const char* which) {
    for (const std::wstring& unnamed : FocusableWithoutName(window))
        ADD_FAILURE() << which << ": a focusable control without a name: "
                      << testing::PrintToString(unnamed);
}

// From the keyboard alone, with nothing selected yet: the first category (Home), opened (Right),
// its first phrase (Down).
void OpenFirstPhrase(EditorRun& session) {
    PressKey(session.Tree(), VK_HOME);
    PressKey(session.Tree(), VK_RIGHT);
    PressKey(session.Tree(), VK_DOWN);
    session.WaitForSelected(L"你好");
}

// Waits for the next box of the program with that caption.
HWND WaitForBox(EditorRun& session, const std::wstring& caption) {
    const MessageBoxSeen box = WaitForMessageBox(session.program().Id());
    EXPECT_EQ(box.caption, caption);
    return box.hwnd;
}

TEST(Accessibility, EveryFocusableControlOfEveryWindowHasAName) {
    EditorRun session;
    session.Start();
    session.Command(IDM_FIND);
    session.Command(IDM_FILTER);
    session.Settle();
    ExpectEveryFocusableNamed(session.Main(), "the editor with its bars");
    // The tree, the edit boxes (by their labels) and the tool bar, by name.
    std::vector<std::wstring> names;
    for (const AccessibleWindow& seen : AccessibleWindows(session.Main()))
        names.push_back(seen.name);
    for (const wchar_t* name : {L"语料", L"查找:", L"筛选:", L"工具栏", L"输入法主页"})
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;

    session.Select(L"你好");
    struct Box {
        int command;
        const wchar_t* caption;
    };
    for (const Box& each : {Box{IDM_NEW, L"输入框"}, Box{IDM_BATCH_EDIT, L"批量编辑 - 问候"},
                            Box{IDM_MOVE_TO, L"移动到分类"}, Box{IDM_SYNC, L"同步"}}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(each.caption)));
        session.Command(each.command);
        const HWND box = WaitForBox(session, each.caption);
        ExpectEveryFocusableNamed(box, "a box");
        PressDialogButton(box, IDCANCEL);
        WaitUntilClosed(box);
    }

    ScratchDirectory directory;
    Program help(directory.InstallProgram(), L"help", directory.Path());
    const HWND form = WaitForWindow(help.Id(), L"TForm_Help_Main");
    ASSERT_NE(form, nullptr);
    ExpectEveryFocusableNamed(form, "the help window");
}

TEST(EditorKeyboard, ShiftDownChoosesThreePhrasesAndDeleteDeletesThem) {
    EditorRun session;
    session.Put("srf_pub.dat", Gb(kFourPhrases));
    session.Start(kFourCompiled);
    OpenFirstPhrase(session);
    PressKey(session.Tree(), VK_DOWN, false, false, true);
    PressKey(session.Tree(), VK_DOWN, false, false, true);
    EXPECT_TRUE(Eventually([&] {
        return StatusBarText(session.Status(), 1) == L"已选中 3 条语料";
    })) << testing::PrintToString(StatusBarText(session.Status(), 1));
    EXPECT_EQ(session.SelectedText(), L"你早");  // the selection moved with the choice
    PressKey(session.Tree(), VK_DELETE);
    const HWND box = WaitForBox(session, L"确认框");
    PressKey(box, VK_RETURN);
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t上好\r\n其他\r\n"));
}

TEST(EditorKeyboard, APhraseMovesToAnotherCategoryThroughTheMenuKeys) {
    EditorRun session;
    session.Start();
    OpenFirstPhrase(session);
    PressKey(session.Tree(), VK_DOWN);
    session.WaitForSelected(L"早上好");
    // 编辑 (Alt+E), 移动到分类… (M): Esc closes the list and nothing moves.
    PressKey(session.Main(), 'E', false, true);
    PressKey(session.Main(), 'M');
    HWND box = WaitForBox(session, L"移动到分类");
    PressKey(box, VK_ESCAPE);
    WaitUntilClosed(box);
    EXPECT_EQ(session.File("srf_pub.dat"), EditorTree());

    PressKey(session.Main(), 'E', false, true);
    PressKey(session.Main(), 'M');
    box = WaitForBox(session, L"移动到分类");
    EXPECT_TRUE(Eventually([&] { return FocusOf(box) == FindChild(box, L"ListBox"); }));
    PressKey(box, VK_DOWN);  // 其他
    PressKey(box, VK_RETURN);
    session.WaitForFile("srf_pub.dat", Gb("问候\r\n\t你好\r\n其他\r\n\t早上好\r\n"));
}

TEST(EditorKeyboard, F6GoesBetweenTheTreeAndTheOpenBarsAndTabRoundTheControls) {
    EditorRun session;
    session.Start();
    const HWND filter = GetDlgItem(session.Main(), IDC_FILTER_EDIT);
    const HWND find = FindChild(session.Main(), L"Edit");
    PressKey(session.Tree(), 'E', true);
    ASSERT_TRUE(Eventually([&] { return FocusOf(session.Main()) == filter; }));
    PressKey(filter, VK_F6);
    EXPECT_TRUE(Eventually([&] { return FocusOf(session.Main()) == session.Tree(); }));
    PressKey(session.Tree(), VK_F6);  // the find bar is closed: round to the filter bar
    EXPECT_TRUE(Eventually([&] { return FocusOf(session.Main()) == filter; }));
    PressKey(filter, VK_F6);
    ASSERT_TRUE(Eventually([&] { return FocusOf(session.Main()) == session.Tree(); }));
    PressKey(session.Tree(), 'F', true);
    ASSERT_TRUE(Eventually([&] { return FocusOf(session.Main()) == find; }));
    PressKey(find, VK_F6);  // from the bottom round to the top: the filter bar
    EXPECT_TRUE(Eventually([&] { return FocusOf(session.Main()) == filter; }));
    PressKey(filter, VK_F6, false, false, true);  // Shift+F6: back round to the find bar
    EXPECT_TRUE(Eventually([&] { return FocusOf(session.Main()) == find; }));
    PressKey(find, VK_F6, false, false, true);  // and up to the tree
    EXPECT_TRUE(Eventually([&] { return FocusOf(session.Main()) == session.Tree(); }));
    PressKey(session.Tree(), VK_F6);
    EXPECT_TRUE(Eventually([&] { return FocusOf(session.Main()) == find; }));
    // Tab from the find box to its buttons, which Enter presses.
    PressKey(find, VK_TAB);
    EXPECT_TRUE(Eventually([&] { return GetDlgCtrlID(FocusOf(session.Main())) == IDM_FIND_NEXT; }));
    PressKey(find, VK_TAB, false, false, true);
    EXPECT_TRUE(Eventually([&] { return FocusOf(session.Main()) == find; }));
    PressKey(find, VK_ESCAPE);
    EXPECT_TRUE(Eventually([&] { return FocusOf(session.Main()) == session.Tree(); }));
}

TEST(EditorScreenReader, TheStatusBarAnnouncesTheFilterButNotTheSelection) {
    EditorRun session;
    session.Start();
    NameChangeListener listener(session.program().Id());
    OpenFirstPhrase(session);
    EXPECT_TRUE(Eventually([&] { return StatusBarText(session.Status(), 1) == L"读音: ni hao"; }));
    session.Settle();
    EXPECT_TRUE(listener.Take(session.Status()).empty()) << "the tree announces the selection";

    PressKey(session.Tree(), 'E', true);
    const HWND edit = GetDlgItem(session.Main(), IDC_FILTER_EDIT);
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(edit) != FALSE; }));
    // Typed as keys: this thread stays free to hear the announcement meanwhile.
    PressKey(edit, 'S');  // shang: 早上好
    ASSERT_TRUE(listener.WaitFor(session.Status()));
    EXPECT_EQ(StatusBarText(session.Status(), 1), L"筛选出 1 条语料 (共 2 条)");
    const std::vector<long> parts = listener.Take(session.Status());
    EXPECT_NE(std::find(parts.begin(), parts.end(), 2), parts.end()) << "the right part, child 2";
}

// A look the session's settings give every program started while it lasts: a colour scheme, the
// message font's size, the DPI. The settings go back as they were when it ends.
class SessionLook {
public:
    SessionLook() = default;
    ~SessionLook() {
        if (!m_colours.empty())
            SetSysColors(static_cast<int>(m_elements.size()), m_elements.data(), m_colours.data());
        if (m_fontHeight) {
            NONCLIENTMETRICSW metrics = Metrics();
            metrics.lfMessageFont.lfHeight = *m_fontHeight;
            SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        }
        if (m_logPixels)
            SetLogPixels(*m_logPixels);
        if (m_themeActive)
            SetThemeActive(*m_themeActive);
        _putenv("SRF_HIGH_CONTRAST=");
    }
    SessionLook(const SessionLook&) = delete;
    SessionLook& operator=(const SessionLook&) = delete;

    // The colours of Windows' "High Contrast Black", visual styles off (as Windows turns them off
    // under high contrast) and high contrast reported on through the program's switch (Wine
    // always reports it off).
    void HighContrastBlack() {
        const std::vector<std::pair<int, COLORREF>> scheme =
            {{COLOR_WINDOW, RGB(0, 0, 0)},
             {COLOR_WINDOWTEXT, RGB(255, 255, 255)},
             {COLOR_BTNFACE, RGB(0, 0, 0)},
             {COLOR_BTNTEXT, RGB(255, 255, 255)},
             {COLOR_HIGHLIGHT, RGB(26, 235, 255)},
             {COLOR_HIGHLIGHTTEXT, RGB(0, 0, 0)},
             {COLOR_GRAYTEXT, RGB(63, 242, 63)},
             {COLOR_HOTLIGHT, RGB(255, 255, 0)},
             {COLOR_MENU, RGB(0, 0, 0)},
             {COLOR_MENUTEXT, RGB(255, 255, 255)},
             {COLOR_3DLIGHT, RGB(255, 255, 255)},
             {COLOR_3DSHADOW, RGB(255, 255, 255)},
             {COLOR_3DHILIGHT, RGB(255, 255, 255)},
             {COLOR_3DDKSHADOW, RGB(255, 255, 255)},
             {COLOR_WINDOWFRAME, RGB(255, 255, 255)},
             {COLOR_ACTIVECAPTION, RGB(0, 0, 255)},
             {COLOR_CAPTIONTEXT, RGB(255, 255, 255)},
             {COLOR_APPWORKSPACE, RGB(0, 0, 0)},
             {COLOR_MENUBAR, RGB(0, 0, 0)},
             {COLOR_MENUHILIGHT, RGB(26, 235, 255)},
             {COLOR_INACTIVECAPTION, RGB(0, 0, 0)},
             {COLOR_INACTIVECAPTIONTEXT, RGB(63, 242, 63)},
             {COLOR_GRADIENTACTIVECAPTION, RGB(0, 0, 255)},
             {COLOR_GRADIENTINACTIVECAPTION, RGB(0, 0, 0)},
             {COLOR_SCROLLBAR, RGB(0, 0, 0)},
             {COLOR_INFOBK, RGB(0, 0, 0)},
             {COLOR_INFOTEXT, RGB(255, 255, 255)}};
        std::vector<int> elements;
        std::vector<COLORREF> colours;
        for (const auto& [element, colour] : scheme) {
            m_elements.push_back(element);
            m_colours.push_back(GetSysColor(element));
            elements.push_back(element);
            colours.push_back(colour);
        }
        SetSysColors(static_cast<int>(elements.size()), elements.data(), colours.data());
        m_themeActive = ThemeActive();
        SetThemeActive(L"0");
        _putenv("SRF_HIGH_CONTRAST=1");
    }
    // The message font at 1.5 times its height: Windows' "make text bigger" at 150%.
    void TextSize150() {
        NONCLIENTMETRICSW metrics = Metrics();
        m_fontHeight = metrics.lfMessageFont.lfHeight;
        metrics.lfMessageFont.lfHeight = -18;  // 12 pixels at 100%
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    }
    // 192 DPI for the programs started from now on; back to what it was with Restore or the end.
    void Dpi200() {
        m_logPixels = LogPixels();
        SetLogPixels(192);
    }
    void RestoreDpi() {
        if (m_logPixels)
            SetLogPixels(*std::exchange(m_logPixels, std::nullopt));
    }

private:
    static NONCLIENTMETRICSW Metrics() {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        return metrics;
    }
    static DWORD LogPixels() {
        DWORD value = 96, size = sizeof value;
        RegGetValueW(HKEY_CURRENT_CONFIG, L"Software\\Fonts", L"LogPixels", RRF_RT_REG_DWORD,
                     nullptr, &value, &size);
        return value;
    }
    // Whether programs started from now on draw with visual styles ("1") or in the classic look.
    static constexpr wchar_t kThemeManager[] =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
    static std::wstring ThemeActive() {
        wchar_t value[8] = L"1";
        DWORD size = sizeof value;
        RegGetValueW(HKEY_CURRENT_USER, kThemeManager, L"ThemeActive", RRF_RT_REG_SZ, nullptr,
                     value, &size);
        return value;
    }
    static void SetThemeActive(const std::wstring& value) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kThemeManager, L"ThemeActive", REG_SZ, value.c_str(),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    static void SetLogPixels(DWORD value) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_CONFIG, L"Software\\Fonts", 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value);
        RegCloseKey(key);
    }

    std::vector<int> m_elements;
    std::vector<COLORREF> m_colours;
    std::optional<LONG> m_fontHeight;
    std::optional<DWORD> m_logPixels;
    std::optional<std::wstring> m_themeActive;
};

// The editor with a phrase left out (你们好: 们 is not in the table) and two chosen, the filter
// bar open.
void ShowChosenAndLeftOut(EditorRun& session) {
    session.Put("srf_pub.dat", Gb("问候\r\n\t你好\r\n\t你们好\r\n\t早上好\r\n其他\r\n"));
    session.Start(std::string("\x02\x01\x00\x02\x00\x03\x03\x00\x04\x00\x02\x00\x00", 13));
    session.Select(L"你们好");
    PressKey(session.Tree(), VK_DOWN, false, false, true);
    EXPECT_TRUE(
        Eventually([&] { return StatusBarText(session.Status(), 1) == L"已选中 2 条语料"; }));
    session.Select(L"你们好");  // selected alone again: its reason in the status bar
    EXPECT_TRUE(Eventually(
        [&] { return StatusBarText(session.Status(), 1) == L"未编入: 字“们”不在字表中"; }));
}

TEST(EditorLook, UnderHighContrastThePicturesAreDrawnInTheSystemsColours) {
    SessionLook look;
    look.HighContrastBlack();
    EditorRun session;
    ShowChosenAndLeftOut(session);
    // A picture of the tree, left of its item's text: the text colour on black, no yellow bubble.
    const POINT text = TreeItemCenter(session.Tree(), session.Item(L"你好"));
    HDC screen = GetDC(nullptr);
    int ink = 0, yellow = 0;
    for (int x = text.x - 60; x < text.x - 10; ++x)
        for (int y = text.y - 10; y < text.y + 10; ++y) {
            const COLORREF pixel = GetPixel(screen, x, y);
            ink += pixel == RGB(255, 255, 255);
            yellow += pixel == RGB(255, 226, 120);
        }
    ReleaseDC(nullptr, screen);
    EXPECT_GT(ink, 20);
    EXPECT_EQ(yellow, 0);
    // Two chosen, for the picture: highlighted and ticked.
    session.Select(L"你好");
    PressKey(session.Tree(), VK_DOWN, false, false, true);
    EXPECT_TRUE(
        Eventually([&] { return StatusBarText(session.Status(), 1) == L"已选中 2 条语料"; }));
    BringToFront(session.Main());
    SaveScreenshot(session.Main(), "editor-high-contrast");

    ScratchDirectory directory;
    Program help(directory.InstallProgram(), L"help", directory.Path());
    const HWND form = WaitForWindow(help.Id(), L"TForm_Help_Main");
    ASSERT_NE(form, nullptr);
    const HWND lumo = GetDlgItem(GetDlgItem(GetDlgItem(form, 202), 203), 205);
    ASSERT_TRUE(Eventually([&] { return TreeRootItems(lumo).size() == 11; }));
    SelectTreeItem(lumo, TreeRootItems(lumo).at(1));
    BringToFront(form);
    SaveScreenshot(form, "help-high-contrast");
}

TEST(EditorLook, At150PercentTextTheWindowsGrowAndCutNothing) {
    SessionLook look;
    look.TextSize150();
    EditorRun session;
    ShowChosenAndLeftOut(session);
    session.Command(IDM_FIND);
    session.Command(IDM_FILTER);
    session.Settle();
    SaveScreenshot(session.Main(), "editor-text-150");

    // The input box of the longest prompt (设定读音…) is as wide as its prompt needs.
    session.Select(L"你好");
    session.Command(IDM_SET_READING);
    const InputBox box = session.WaitForInputBox();
    ASSERT_NE(box.hwnd, nullptr);
    RECT client{}, prompt{};
    GetClientRect(box.hwnd, &client);
    GetWindowRect(FindChild(box.hwnd, L"Static"), &prompt);
    MapWindowPoints(nullptr, box.hwnd, reinterpret_cast<POINT*>(&prompt), 2);
    EXPECT_LT(prompt.right, client.right);
    SaveScreenshot(box.hwnd, "input-box-text-150");
    Fill(box, L"", IDCANCEL);

    ScratchDirectory directory;
    Program help(directory.InstallProgram(), L"help", directory.Path());
    const HWND form = WaitForWindow(help.Id(), L"TForm_Help_Main");
    ASSERT_NE(form, nullptr);
    BringToFront(form);
    SaveScreenshot(form, "help-text-150");
}

TEST(EditorLook, At200PercentDpiTheEditorFitsTheScreen) {
    SessionLook look;
    look.Dpi200();
    EditorRun session;
    session.Open();
    look.RestoreDpi();  // the program has read it
    ASSERT_TRUE(Eventually([&] { return !StatusBarText(session.Status(), 0).empty(); }));
    RECT window{}, work{};
    GetWindowRect(session.Main(), &window);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_GE(window.top, work.top);
    EXPECT_LE(window.bottom, work.bottom);
    PressKey(session.Tree(), 'F', true);
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(FindChild(session.Main(), L"Edit")); }));
    SaveScreenshot(session.Main(), "editor-dpi-200");
}

}  // namespace
