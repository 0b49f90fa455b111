// Help mode as a user meets it: the Lumo and Ketra topic trees, the buttons and keys that switch
// between them, and the text pane that shows the chosen topic.
#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "Driver.h"
#include "DriverTreeView.h"
#include "help/HelpCommandIds.h"
#include "help/HelpTopics.h"

using namespace driver;
using help::Method;

namespace {

HWND FindControl(HWND parent, int id) {
    struct Search {
        int id;
        HWND found = nullptr;
    } search{id};
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lParam) CALLBACK -> BOOL {
            auto* search = reinterpret_cast<Search*>(lParam);
            if (GetDlgCtrlID(hwnd) != search->id)
                return TRUE;
            search->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring ShownText(Method method, int index) { return Wide(help::TopicText(method, index)); }

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

int Width(HWND hwnd) {
    RECT bounds{};
    GetWindowRect(hwnd, &bounds);
    return bounds.right - bounds.left;
}

class HelpWindow : public testing::Test {
protected:
    void SetUp() override {
        // Help mode reads no files; the scratch directory only keeps runs apart.
        m_program.emplace(m_directory.InstallProgram(), L"help", m_directory.Path());
        m_form = WaitForWindow(m_program->Id(), L"TForm_Help_Main");
        ASSERT_NE(m_form, nullptr);
        m_lumo = FindControl(m_form, IDC_TREEVIEW1);
        m_ketra = FindControl(m_form, IDC_TREEVIEW2);
        m_pane = FindControl(m_form, IDC_MEMO2);
        ASSERT_TRUE(m_lumo && m_ketra && m_pane);
        // The show handler fills both trees right after the window appears.
        ASSERT_TRUE(Eventually([&] { return TreeRootItems(m_lumo).size() == 11; }));
        ASSERT_EQ(TreeRootItems(m_ketra).size(), 13u);
    }

    std::wstring Pane() const { return WindowText(m_pane); }
    void Click(int buttonId) const { SendCommand(m_form, buttonId); }
    void Select(HWND tree, int index) const {
        SelectTreeItem(tree, TreeRootItems(tree).at(static_cast<size_t>(index)));
    }
    bool SelectedIndexIs(HWND tree, int index) const {
        return SelectedTreeItem(tree) == TreeRootItems(tree).at(static_cast<size_t>(index));
    }
    // Waits until the pane shows the topic (button clicks arrive as posted messages).
    void ExpectPaneShows(Method method, int index) const {
        const std::wstring expected = ShownText(method, index);
        EXPECT_TRUE(Eventually([&] { return Pane() == expected; }))
            << (method == Method::Lumo ? "Lumo " : "Ketra ") << index;
    }
    void ExpectKetraInFront(bool inFront) const {
        EXPECT_TRUE(Eventually([&] { return (IsWindowVisible(m_ketra) != FALSE) == inFront; }));
        EXPECT_TRUE(IsWindowVisible(m_lumo));
    }
    // What a method's button leaves: that method's tree in front with topic 0 selected and shown.
    void ExpectTopicZeroInFront(Method method) const {
        ExpectKetraInFront(method == Method::Ketra);
        ExpectPaneShows(method, 0);
        EXPECT_TRUE(SelectedIndexIs(method == Method::Ketra ? m_ketra : m_lumo, 0));
    }

    void Screenshot(const std::string& name) const {
        BringToFront(m_form);
        SaveScreenshot(m_form, name);
    }

    ScratchDirectory m_directory;
    std::optional<Program> m_program;
    HWND m_form = nullptr;
    HWND m_lumo = nullptr;
    HWND m_ketra = nullptr;
    HWND m_pane = nullptr;
};

TEST_F(HelpWindow, StartsWithTheLumoTitlesTheKetraTreeHiddenAndAnEmptyPane) {
    EXPECT_EQ(WindowText(m_form), L"帮助");
    for (const Method method : {Method::Lumo, Method::Ketra}) {
        const HWND tree = method == Method::Lumo ? m_lumo : m_ketra;
        const auto items = TreeRootItems(tree);
        const auto& titles = help::TopicTitles(method);
        ASSERT_EQ(items.size(), titles.size());
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(TreeItemText(tree, items[i]), Wide(titles[i])) << i;
            // Closed folder normally, open folder when selected.
            EXPECT_EQ(TreeItemImages(tree, items[i]), std::make_pair(1, 0)) << i;
            EXPECT_TRUE(TreeChildItems(tree, items[i]).empty());
        }
    }
    EXPECT_EQ(TreeItemText(m_lumo, TreeRootItems(m_lumo).back()), L"十、选择Ketra");
    EXPECT_TRUE(IsWindowVisible(m_lumo));
    EXPECT_FALSE(IsWindowVisible(m_ketra));
    EXPECT_EQ(SelectedTreeItem(m_lumo), nullptr);
    EXPECT_EQ(Pane(), L"");
}

TEST_F(HelpWindow, SelectingALumoTopicShowsItsParagraphsLineByLine) {
    for (int index = 0; index < 11; ++index) {
        Select(m_lumo, index);
        ExpectPaneShows(Method::Lumo, index);
    }
    Select(m_lumo, 3);
    ExpectPaneShows(Method::Lumo, 3);
    const std::wstring text = Pane();
    EXPECT_NE(text.find(L"“wmyaonltggongzuosp”"), std::wstring::npos);
    EXPECT_NE(text.find(L"。\r\n    例二"), std::wstring::npos);
    EXPECT_EQ(text.substr(0, 4), L"    ");
    Select(m_lumo, 0);
    EXPECT_EQ(Pane().substr(0, 4), L"Lumo");
    Select(m_lumo, 3);
    Screenshot("help_lumo_topic");
}

TEST_F(HelpWindow, KetraButtonShowsKetraTopicZeroEveryTime) {
    Click(IDC_SPEEDBUTTONKETRA);
    ExpectTopicZeroInFront(Method::Ketra);

    Select(m_ketra, 3);
    ExpectPaneShows(Method::Ketra, 3);
    Screenshot("help_ketra_topic");
    Click(IDC_SPEEDBUTTONKETRA);
    ExpectTopicZeroInFront(Method::Ketra);

    // Topic 0 is selected already, so only the button itself can bring its text back.
    SendMessageW(m_pane, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"-"));
    Click(IDC_SPEEDBUTTONKETRA);
    ExpectPaneShows(Method::Ketra, 0);
    ExpectKetraInFront(true);
}

TEST_F(HelpWindow, SharedTopicsShowTheSameTextInBothTrees) {
    for (const auto& [ketra, lumo] : {std::pair{7, 8}, std::pair{8, 7}, std::pair{10, 6}}) {
        Select(m_lumo, lumo);
        const std::wstring lumoText = Pane();
        Select(m_ketra, ketra);
        EXPECT_EQ(Pane(), lumoText);
        EXPECT_EQ(Pane(), ShownText(Method::Ketra, ketra));
    }
}

TEST_F(HelpWindow, KetraLumoKetraEndsOnKetraTopicZero) {
    Click(IDC_SPEEDBUTTONKETRA);
    ExpectPaneShows(Method::Ketra, 0);
    Select(m_ketra, 12);
    ExpectPaneShows(Method::Ketra, 12);

    Click(IDC_SPEEDBUTTONLUMO);
    ExpectTopicZeroInFront(Method::Lumo);
    Select(m_lumo, 5);
    ExpectPaneShows(Method::Lumo, 5);

    Click(IDC_SPEEDBUTTONKETRA);
    ExpectTopicZeroInFront(Method::Ketra);
    // The Lumo tree keeps its own selection underneath.
    EXPECT_TRUE(SelectedIndexIs(m_lumo, 5));
}

TEST_F(HelpWindow, AltAClicksTheLumoButtonAndAltXEndsTheProgram) {
    Click(IDC_SPEEDBUTTONKETRA);
    ExpectPaneShows(Method::Ketra, 0);
    Select(m_ketra, 2);
    ExpectPaneShows(Method::Ketra, 2);

    // Both help buttons carry A; the Lumo button comes first.
    PressKey(m_form, 'A', false, true);
    ExpectKetraInFront(false);
    ExpectPaneShows(Method::Lumo, 0);

    PressKey(m_form, 'X', false, true);
    EXPECT_EQ(m_program->WaitForExit(10s), 0);
}

TEST_F(HelpWindow, ASecondAltAGoesOnToTheOtherButtonThatCarriesA) {
    PressKey(m_form, 'A', false, true);  // the first button with A: Lumo
    ExpectPaneShows(Method::Lumo, 0);
    PressKey(m_form, 'A', false, true);  // again: on to Ketra
    ExpectTopicZeroInFront(Method::Ketra);
    PressKey(m_form, 'A', false, true);  // and round to Lumo
    ExpectTopicZeroInFront(Method::Lumo);
    // Another key between two presses starts again from the first button.
    PressKey(m_form, 'A', false, true);
    ExpectTopicZeroInFront(Method::Ketra);
    PressKey(m_form, VK_DOWN);
    ExpectPaneShows(Method::Ketra, 1);
    PressKey(m_form, 'A', false, true);
    ExpectTopicZeroInFront(Method::Lumo);
}

TEST_F(HelpWindow, KeysReachTheTreeInFrontAndTabMovesToThePane) {
    SetForegroundWindow(m_form);
    EXPECT_TRUE(Eventually([&] { return FocusOf(m_form) == m_lumo; }));
    Click(IDC_SPEEDBUTTONKETRA);
    EXPECT_TRUE(Eventually([&] { return FocusOf(m_form) == m_ketra; }));
    ExpectPaneShows(Method::Ketra, 0);

    PressKey(m_form, VK_DOWN);
    ExpectPaneShows(Method::Ketra, 1);
    PressKey(m_form, VK_TAB);
    EXPECT_TRUE(Eventually([&] { return FocusOf(m_form) == m_pane; }));
    // Back from the pane to the Ketra tree, never to the Lumo tree beneath it.
    PressKey(m_form, VK_TAB, false, false, true);
    EXPECT_TRUE(Eventually([&] { return FocusOf(m_form) == m_ketra; }));
    PressKey(m_form, VK_TAB);
    PressKey(m_form, VK_TAB);
    EXPECT_TRUE(Eventually([&] { return FocusOf(m_form) == m_ketra; }));
    ExpectPaneShows(Method::Ketra, 1);
}

TEST_F(HelpWindow, ExitButtonEndsTheProgram) {
    Click(IDC_SPEEDBUTTON1);
    EXPECT_EQ(m_program->WaitForExit(10s), 0);
}

TEST_F(HelpWindow, OnlyTheTextPaneGrowsWithTheWindow) {
    RECT bounds{};
    GetWindowRect(m_form, &bounds);
    const int treeWidth = Width(m_lumo);
    const int paneWidth = Width(m_pane);
    SetWindowPos(m_form, nullptr, 0, 0, bounds.right - bounds.left + 150,
                 bounds.bottom - bounds.top + 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(Eventually([&] { return Width(m_pane) == paneWidth + 150; })) << Width(m_pane);
    EXPECT_EQ(Width(m_lumo), treeWidth);
    EXPECT_EQ(Width(m_ketra), treeWidth);
}

}  // namespace
