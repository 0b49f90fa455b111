// The one way the program's windows and dialogs make a child control: a description of it, built
// step by step, that creates the control checked and gives it its font; and the font of the
// program's Chinese texts.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "app/PixelRect.h"
#include "platform/UniqueHandles_win.h"

namespace app {

// A child control: its window class and the styles it adds to WS_CHILD (WS_VISIBLE among them
// when it shows at once); then, where they matter, its id (the WM_COMMAND id of its
// notifications), its text, where it goes (left empty when a layout places it later) and its font
// (none: the system's).
class ChildControl {
public:
    ChildControl(const wchar_t* className, DWORD style) : m_className(className), m_style(style) {}
    ChildControl& AddStyle(DWORD style) {
        m_style |= style;
        return *this;
    }
    ChildControl& ExStyle(DWORD exStyle) {
        m_exStyle = exStyle;
        return *this;
    }
    ChildControl& Id(int id) {
        m_id = id;
        return *this;
    }
    ChildControl& Text(std::wstring text) {
        m_text = std::move(text);
        return *this;
    }
    ChildControl& At(const PixelRect& at) {
        m_at = at;
        return *this;
    }
    ChildControl& Font(HFONT font) {
        m_font = font;
        return *this;
    }

    // Creates the control as parent's child. Throws platform::Error with the system's code when
    // the system refuses (as CreateWindowChecked).
    HWND Create(HWND parent) const;

private:
    const wchar_t* m_className;
    DWORD m_style;
    DWORD m_exStyle = 0;
    int m_id = 0;
    std::wstring m_text;
    PixelRect m_at;
    HFONT m_font = nullptr;
};

// Gives each control the font and redraws it.
void SetControlFont(std::initializer_list<HWND> controls, HFONT font);

// The font of the program's Chinese texts: the face named in GB2312 (宋体), of pixelHeight at 96
// DPI scaled to dpi.
platform::UniqueHfont CreateChineseFont(std::string_view face, int pixelHeight, UINT dpi);

}  // namespace app
