// A bar of one line with a label, an edit box and buttons; see EditBar_win.h.
#include "app/EditBar_win.h"

#include <algorithm>
#include <utility>

#include "app/BaseWindow_win.h"
#include "app/ChildControl_win.h"
#include "platform/TextConversion_win.h"

namespace app {

namespace {

// Sizes at 96 DPI.
constexpr int kHeight = 28;
constexpr int kLabelWidth = 44;
constexpr int kGap = 4;

}  // namespace

void EditBar::Create(HWND parent, Definition definition) {
    m_definition = std::move(definition);
    m_label =
        ChildControl(L"Static", SS_RIGHT | SS_CENTERIMAGE).Text(m_definition.label).Create(parent);
    m_edit = ChildControl(L"Edit", WS_TABSTOP | ES_AUTOHSCROLL)
                 .ExStyle(WS_EX_CLIENTEDGE)
                 .Id(m_definition.editId)
                 .Create(parent);
    m_buttons.clear();
    for (const Button& button : m_definition.buttons)
        m_buttons.push_back(ChildControl(L"Button", WS_TABSTOP | BS_PUSHBUTTON)
                                .Id(button.command)
                                .Text(button.caption)
                                .Create(parent));
}

std::vector<HWND> EditBar::Controls() const {
    std::vector<HWND> controls{m_label, m_edit};
    controls.insert(controls.end(), m_buttons.begin(), m_buttons.end());
    return controls;
}

void EditBar::SetFont(HFONT font) {
    for (const HWND control : Controls())
        SetControlFont({control}, font);
}

int EditBar::Height(UINT dpi) const { return m_open ? Scale(kHeight, dpi) : 0; }

void EditBar::LayOut(int top, int clientWidth, UINT dpi) {
    if (!m_open)
        return;
    const auto scaled = [dpi](int pixels) { return Scale(pixels, dpi); };
    const int height = scaled(kHeight);
    const int inner = height - scaled(kGap);
    const int y = top + (height - inner) / 2;
    const int editLeft = scaled(kGap) + scaled(kLabelWidth) + scaled(kGap);
    MoveWindow(m_label, scaled(kGap), y, scaled(kLabelWidth), inner, TRUE);
    // The buttons from the right edge leftwards; the edit box takes what is left.
    int right = clientWidth;
    for (std::size_t i = m_buttons.size(); i-- > 0;) {
        const int width = scaled(m_definition.buttons[i].width);
        right -= scaled(kGap) + width;
        MoveWindow(m_buttons[i], right, y, width, inner, TRUE);
    }
    MoveWindow(m_edit, editLeft, y, std::max(0, right - scaled(kGap) - editLeft), inner, TRUE);
}

void EditBar::Open() {
    m_open = true;
    for (const HWND control : Controls())
        ShowWindow(control, SW_SHOW);
    SetFocus(m_edit);
    SendMessageW(m_edit, EM_SETSEL, 0, -1);
}

void EditBar::Close() {
    m_open = false;
    for (const HWND control : Controls())
        ShowWindow(control, SW_HIDE);
    if (!m_definition.keepsText)
        SetWindowTextW(m_edit, L"");
}

std::string EditBar::Text() const {
    return m_open ? platform::ToGb2312(WindowText(m_edit)) : std::string();
}

bool EditBar::Owns(HWND hwnd) const {
    return hwnd && (hwnd == m_edit || std::ranges::find(m_buttons, hwnd) != m_buttons.end());
}

int EditBar::CommandOfKey(const MSG& message) const {
    if (message.message != WM_KEYDOWN || !Owns(message.hwnd))
        return 0;
    switch (message.wParam) {
    case VK_RETURN:
    case VK_F3:
        return m_definition.nextCommand;
    case VK_ESCAPE:
        return m_definition.closeCommand;
    }
    return 0;
}

}  // namespace app
