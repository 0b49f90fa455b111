// Image1 of the phrase editor: the maker's banner at the right end of the tool bar, drawn by the
// window (an owner-drawn static control); a click on it opens the maker's home page.
#pragma once

#include <windows.h>

namespace editor {

class MakerBanner {
public:
    void Create(HWND parent);
    // Places the banner at the right end of a tool bar of that height.
    void LayOut(int clientWidth, int toolBarHeight, UINT dpi);
    // WM_COMMAND: true when it came from the banner (a click opens the home page).
    bool OnCommand(int id, int code);
    // WM_SETCURSOR: over the banner the cursor is a hand; true when it was over it.
    bool SetCursorOver(HWND hwnd) const;
    // WM_DRAWITEM: draws the banner in the font; true when the item was the banner.
    bool Draw(const DRAWITEMSTRUCT& item, HFONT font) const;

private:
    HWND m_hwnd = nullptr;
};

}  // namespace editor
