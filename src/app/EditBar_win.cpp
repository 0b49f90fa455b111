// A bar of one line with a label, an edit box and buttons; see EditBar_win.h.
#include "app/EditBar_win.h"

#include <algorithm>
#include <utility>

#include "app/Accessibility_win.h"
#include "app/BaseWindow_win.h"
#include "app/ChildControl_win.h"
#include "platform/TextConversion_win.h"
#include "platform/UniqueHandles_win.h"

namespace app {

namespace {

// Sizes at 96 DPI.
constexpr int kHeight = 28;
constexpr int kLabelWidth = 44;
constexpr int kGap = 4;
constexpr int kButtonPadding = 12;  // both sides of a button's caption together
constexpr int kLinePadding = 8;     // above and below the text of the edit box together

// The height of a line of the control's font.
int LineHeight(HWND control) {
    const platform::WindowDc dc(control);
    const platform::SelectedObject font(dc.Get(), reinterpret_cast<HFONT>(
                                                      SendMessageW(control, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.Get(), &metrics);
    return metrics.tmHeight;
}

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
    for (const Button& button : m_definition.buttons) {
        m_buttons.push_back(ChildControl(L"Button", WS_TABSTOP | BS_PUSHBUTTON)
                                .Id(button.command)
                                .Text(button.caption)
                                .Create(parent));
        if (!button.name.empty())
            SetAccessibleName(m_buttons.back(), button.name);
    }
}

int EditBar::TextWidth(HWND control) const {
    const std::wstring text = WindowText(control);
    const platform::WindowDc dc(control);
    const platform::SelectedObject font(dc.Get(), reinterpret_cast<HFONT>(
                                                      SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
    return extent.cx;
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

int EditBar::Height(UINT dpi) const {
    if (!m_open)
        return 0;
    const int line = LineHeight(m_edit) + Scale(kLinePadding, dpi) + Scale(kGap, dpi);
    return std::max(Scale(kHeight, dpi), line);
}

void EditBar::LayOut(int top, int clientWidth, UINT dpi) {
    if (!m_open)
        return;
    const auto scaled = [dpi](int pixels) { return Scale(pixels, dpi); };
    const int height = Height(dpi);
    const int inner = height - scaled(kGap);
    const int y = top + (height - inner) / 2;
    const int labelWidth = std::max(scaled(kLabelWidth), TextWidth(m_label) + scaled(kGap));
    const int editLeft = scaled(kGap) + labelWidth + scaled(kGap);
    MoveWindow(m_label, scaled(kGap), y, labelWidth, inner, TRUE);
    // The buttons from the right edge leftwards; the edit box takes what is left.
    int right = clientWidth;
    for (std::size_t i = m_buttons.size(); i-- > 0;) {
        const int width = std::max(scaled(m_definition.buttons[i].width),
                                   TextWidth(m_buttons[i]) + scaled(kButtonPadding));
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
