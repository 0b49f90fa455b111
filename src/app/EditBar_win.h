// A bar of one line across a window, opened and closed by it: a label, an edit box and buttons
// (the editor's find box and filter box). In the bar the keys edit the text; only Enter and F3
// (the bar's next command) and Esc (its close command) mean something more. The label names the
// edit box for screen readers; a button whose caption is no word ("×") has a name of its own.
// The bar is as high, the label and buttons as wide, as their texts need in the bar's font.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace app {

class EditBar {
public:
    struct Button {
        std::wstring caption;
        int command;          // sent to the parent as WM_COMMAND when clicked
        int width;            // at 96 DPI, at least
        std::wstring name{};  // what a screen reader says of it; empty: the caption
    };
    struct Definition {
        std::wstring label{};
        int editId = 0;  // the edit box's changes reach the parent as WM_COMMAND from this id
        std::vector<Button> buttons{};  // right of the edit box, in this order
        int nextCommand = 0;            // Enter and F3; 0: they reach the edit box
        int closeCommand = 0;           // Esc
        bool keepsText = false;         // closed and opened again, the bar shows its text again
    };

    // Makes the controls, hidden until Open.
    void Create(HWND parent, Definition definition);
    void SetFont(HFONT font);
    // The bar's height at that DPI (the one of its texts: the monitor's enlarged by the text
    // size), and at least what its font needs; 0 while closed.
    int Height(UINT dpi) const;
    // Places the bar's controls on a line from top across the width of the parent's client area.
    void LayOut(int top, int clientWidth, UINT dpi);
    // The edit box, which takes the keyboard when the bar is reached with F6.
    HWND Edit() const { return m_edit; }

    // Shows the bar and gives the edit box the keyboard, its text selected.
    void Open();
    // Hides the bar; empties it unless it keeps its text.
    void Close();
    bool IsOpen() const { return m_open; }
    // The text in GB2312; empty while closed.
    std::string Text() const;
    // The edit box or one of the buttons.
    bool Owns(HWND hwnd) const;
    // A key pressed in the bar: the command it means, or 0 to let it through.
    int CommandOfKey(const MSG& message) const;

private:
    std::vector<HWND> Controls() const;
    // The width of a control's text in the bar's font.
    int TextWidth(HWND control) const;

    Definition m_definition;
    HWND m_label = nullptr;
    HWND m_edit = nullptr;
    std::vector<HWND> m_buttons;
    bool m_open = false;
};

}  // namespace app
