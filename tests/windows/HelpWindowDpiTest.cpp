// The help window moved to a monitor of another DPI: the pictures of its topic trees scale with it,
// as the editor's do.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "app/ModeWindows_win.h"

namespace help {
namespace {

BOOL CALLBACK CollectTree(HWND hwnd, LPARAM trees) {
    wchar_t className[32] = {};
    GetClassNameW(hwnd, className, 32);
    if (std::wstring_view(className) == WC_TREEVIEWW)
        reinterpret_cast<std::vector<HWND>*>(trees)->push_back(hwnd);
    return TRUE;
}

TEST(HelpWindowDpi, TreePicturesScaleWithTheMonitor) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    const auto window = CreateHelpWindow();
    ASSERT_TRUE(window->Handle());
    std::vector<HWND> trees;
    EnumChildWindows(window->Handle(), CollectTree, reinterpret_cast<LPARAM>(&trees));
    ASSERT_EQ(trees.size(), 2u);

    for (const UINT dpi : {144u, 120u, 96u}) {
        RECT bounds{};
        GetWindowRect(window->Handle(), &bounds);
        SendMessageW(window->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&bounds));
        for (HWND tree : trees) {
            int width = 0, height = 0;
            ASSERT_TRUE(
                ImageList_GetIconSize(TreeView_GetImageList(tree, TVSIL_NORMAL), &width, &height));
            EXPECT_EQ(width, MulDiv(16, static_cast<int>(dpi), 96)) << dpi;
            EXPECT_EQ(height, width) << dpi;
            EXPECT_EQ(ImageList_GetImageCount(TreeView_GetImageList(tree, TVSIL_NORMAL)), 2) << dpi;
        }
    }
}

}  // namespace
}  // namespace help
