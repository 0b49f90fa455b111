// The maker's banner; see MakerBanner_win.h.
#include "editor/windows/MakerBanner_win.h"

#include <shellapi.h>

#include <string>

#include "EditorTexts.h"
#include "app/BaseWindow_win.h"
#include "app/ChildControl_win.h"
#include "app/MakerSite.h"
#include "app/SystemLook_win.h"
#include "platform/TextConversion_win.h"
#include "platform/UniqueHandles_win.h"

namespace editor {

namespace {

constexpr int kBannerId = 200;
// Sizes at 96 DPI.
constexpr int kWidth = 147;
constexpr int kHeight = 30;

// Under high contrast: the words in the colour of a link on the button's face, framed.
void PaintHighContrast(HDC dc, const RECT& bounds) {
    FillRect(dc, &bounds, GetSysColorBrush(COLOR_BTNFACE));
    FrameRect(dc, &bounds, GetSysColorBrush(COLOR_BTNTEXT));
    SetTextColor(dc, GetSysColor(COLOR_HOTLIGHT));
}

void Paint(HDC dc, const RECT& bounds, HFONT font, bool focused) {
    const platform::SelectedObject selected(dc, font);
    SetBkMode(dc, TRANSPARENT);
    if (app::HighContrast()) {
        PaintHighContrast(dc, bounds);
    } else {
        // A blue band shading to the right, the maker's words in white and a thin light frame.
        const int width = bounds.right - bounds.left;
        for (int x = 0; x < width; ++x) {
            auto mix = [&](int from, int to) {
                return from + (to - from) * x / (width > 1 ? width - 1 : 1);
            };
            const RECT column{bounds.left + x, bounds.top, bounds.left + x + 1, bounds.bottom};
            const platform::UniqueHbrush brush(
                CreateSolidBrush(RGB(mix(30, 70), mix(70, 140), mix(150, 220))));
            FillRect(dc, &column, brush.Get());
        }
        const platform::UniqueHbrush frame(CreateSolidBrush(RGB(170, 200, 240)));
        FrameRect(dc, &bounds, frame.Get());
        SetTextColor(dc, RGB(255, 255, 255));
    }
    RECT text = bounds;
    const std::wstring words = platform::ToWide(texts::kBannerText);
    DrawTextW(dc, words.c_str(), static_cast<int>(words.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (focused) {
        RECT focus = bounds;
        InflateRect(&focus, -2, -2);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace

void MakerBanner::Create(HWND parent) {
    m_hwnd = app::ChildControl(L"Button", WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | BS_OWNERDRAW)
                 .Id(kBannerId)
                 .Text(platform::ToWide(texts::kBannerText))
                 .Create(parent);
    // Above the tool bar, which spans the whole width beneath it.
    SetWindowPos(m_hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

int MakerBanner::Height(UINT textDpi) { return app::Scale(kHeight, textDpi); }

void MakerBanner::LayOut(int clientWidth, int toolBarHeight, UINT textDpi) {
    const int width = app::Scale(kWidth, textDpi);
    const int height = Height(textDpi);
    MoveWindow(m_hwnd, clientWidth - width, (toolBarHeight - height) / 2, width, height, TRUE);
}

bool MakerBanner::OnCommand(int id, int code) {
    if (id != kBannerId)
        return false;
    if (code == BN_CLICKED)
        ShellExecuteW(GetParent(m_hwnd), nullptr, app::kMakerHomePage, nullptr, nullptr,
                      SW_SHOWNORMAL);
    return true;
}

bool MakerBanner::SetCursorOver(HWND hwnd) const {
    if (hwnd != m_hwnd)
        return false;
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

bool MakerBanner::Draw(const DRAWITEMSTRUCT& item, HFONT font) const {
    if (item.hwndItem != m_hwnd)
        return false;
    Paint(item.hDC, item.rcItem, font, (item.itemState & ODS_FOCUS) != 0);
    return true;
}

}  // namespace editor
