// Image1 of the phrase editor: the maker's banner at the right end of the tool bar, drawn by the
// window (an owner-drawn button, so that Tab reaches it and Space presses it; a screen reader
// names it by its words); a click on it opens the maker's home page. Under high contrast it takes
// the system's colours.
#pragma once

#include <windows.h>

namespace editor {

class MakerBanner {
public:
    void Create(HWND parent);
    // Its height at textDpi (the monitor's DPI enlarged by the user's text size).
    static int Height(UINT textDpi);
    // Places the banner at the right end of a tool bar of that height, in a size for textDpi.
    void LayOut(int clientWidth, int toolBarHeight, UINT textDpi);
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
