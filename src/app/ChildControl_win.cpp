// Child controls; see ChildControl_win.h.
#include "app/ChildControl_win.h"

#include "app/BaseWindow_win.h"
#include "platform/TextConversion_win.h"

namespace app {

HWND ChildControl::Create(HWND parent) const {
    const HWND hwnd =
        CreateWindowChecked(m_exStyle, m_className, m_text.c_str(), WS_CHILD | m_style, m_at.left,
                            m_at.top, m_at.width, m_at.height, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(m_id)),
                            GetModuleHandleW(nullptr), nullptr);
    if (m_font)
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    return hwnd;
}

void SetControlFont(std::initializer_list<HWND> controls, HFONT font) {
    for (const HWND control : controls)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

platform::UniqueHfont CreateChineseFont(std::string_view face, int pixelHeight, UINT dpi) {
    return platform::UniqueHfont(
        CreateFontW(-Scale(pixelHeight, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                    GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    DEFAULT_PITCH | FF_DONTCARE, platform::ToWide(face).c_str()));
}

}  // namespace app
