// The edit box of 批量编辑; see BatchEditBox_win.h. Built in memory like the input box, with a
// frame the user can size: under its label the edit box takes all room above the OK and Cancel
// buttons. Its sizes follow the DPI and the user's text size.
#include "editor/windows/BatchEditBox_win.h"

#include <windows.h>

#include <string>
#include <utility>

#include "EditorTexts.h"
#include "app/BaseWindow_win.h"
#include "app/ChildControl_win.h"
#include "app/ModalDialog_win.h"
#include "app/SystemLook_win.h"
#include "platform/TextConversion_win.h"
#include "platform/UniqueHandles_win.h"

namespace editor {

namespace {

constexpr int kLabelId = 100;
constexpr int kEditId = 101;
// Sizes at 96 DPI.
constexpr int kWidth = 420;
constexpr int kHeight = 460;
constexpr int kMargin = 8;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr int kFontHeight = 16;

// The batch-edit box (an edit box of many lines) or, given items, the list to choose one from.
class LinesBox : public app::ModalDialog {
public:
    LinesBox(const std::string& caption, std::wstring text,
             const std::vector<std::string>* items = nullptr)
        : m_caption(caption), m_text(std::move(text)), m_items(items) {}

    bool Show() {
        return ShowModal(app::EmptyDialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU |
                                                  WS_THICKFRAME)) == IDOK;
    }
    const std::wstring& Text() const { return m_text; }
    int Chosen() const { return m_chosen; }

private:
    // Everything in the box holds text: its sizes follow the text size too.
    int Scaled(int pixels) const { return app::Scale(pixels, m_textDpi); }
    void OnInit() override;
    bool OnCommand(int id, int code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void LayOut();

    std::string m_caption;
    std::wstring m_text;
    const std::vector<std::string>* m_items;  // a choice box: the lines of its list
    int m_chosen = -1;
    UINT m_textDpi = 96;
    int m_labelHeight = 0;
};

void LinesBox::LayOut() {
    const HWND dialog = Handle();
    RECT client{};
    GetClientRect(dialog, &client);
    const int margin = Scaled(kMargin);
    const int buttonWidth = Scaled(kButtonWidth);
    const int buttonHeight = Scaled(kButtonHeight);
    const int buttonTop = client.bottom - margin - buttonHeight;
    MoveWindow(GetDlgItem(dialog, kLabelId), margin, margin, client.right - 2 * margin,
               m_labelHeight, TRUE);
    const int editTop = margin + m_labelHeight + margin / 2;
    MoveWindow(GetDlgItem(dialog, kEditId), margin, editTop, client.right - 2 * margin,
               buttonTop - margin - editTop, TRUE);
    MoveWindow(GetDlgItem(dialog, IDCANCEL), client.right - margin - buttonWidth, buttonTop,
               buttonWidth, buttonHeight, TRUE);
    MoveWindow(GetDlgItem(dialog, IDOK), client.right - 2 * (margin + buttonWidth), buttonTop,
               buttonWidth, buttonHeight, TRUE);
}

void LinesBox::OnInit() {
    const HWND dialog = Handle();
    SetWindowTextW(dialog, platform::ToWide(m_caption).c_str());
    m_textDpi = app::TextDpiOf(app::DpiOf(dialog));
    SetFont(app::CreateChineseFont(texts::kFontName, kFontHeight, m_textDpi));
    HWND owner = GetWindow(dialog, GW_OWNER);
    RECT around{};
    GetWindowRect(owner ? owner : GetDesktopWindow(), &around);
    CentreIn(around, Scaled(kWidth), Scaled(kHeight));
    // The label goes just before the box it names: screen readers take it as the box's name, and
    // its mnemonic reaches the box.
    const HWND label =
        AddControl(app::ChildControl(L"Static", SS_LEFT)
                       .Id(kLabelId)
                       .Text(platform::ToWide(m_items ? texts::kChoiceLabel : texts::kBatchLabel)));
    {
        const platform::WindowDc dc(label);
        const platform::SelectedObject font(dc.Get(), Font());
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc.Get(), &metrics);
        m_labelHeight = metrics.tmHeight;
    }
    HWND edit = nullptr;
    if (m_items) {
        // A list shows no window text: it carries the label's too, for the screen readers that
        // read that instead.
        std::wstring name = platform::ToWide(texts::kChoiceLabel);
        std::erase(name, L'&');
        edit = AddControl(app::ChildControl(L"ListBox", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                                                            WS_VSCROLL | WS_TABSTOP)
                              .ExStyle(WS_EX_CLIENTEDGE)
                              .Id(kEditId)
                              .Text(name));
        for (const std::string& item : *m_items)
            SendMessageW(edit, LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(platform::ToWide(item).c_str()));
        SendMessageW(edit, LB_SETCURSEL, 0, 0);
    } else {
        edit = AddControl(app::ChildControl(L"Edit", ES_MULTILINE | ES_AUTOVSCROLL |
                                                         ES_AUTOHSCROLL | ES_WANTRETURN |
                                                         WS_VSCROLL | WS_HSCROLL | WS_TABSTOP)
                              .ExStyle(WS_EX_CLIENTEDGE)
                              .Id(kEditId)
                              .Text(m_text));
        SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);  // as much as the category holds
    }
    AddControl(app::ChildControl(L"Button", BS_DEFPUSHBUTTON | WS_TABSTOP).Id(IDOK).Text(L"OK"));
    AddControl(
        app::ChildControl(L"Button", BS_PUSHBUTTON | WS_TABSTOP).Id(IDCANCEL).Text(L"Cancel"));
    LayOut();
    SetFocus(edit);
}

bool LinesBox::OnCommand(int id, int code) {
    // A double click in the list chooses as OK does.
    if (id == kEditId && m_items && code == LBN_DBLCLK)
        id = IDOK;
    if (id == IDOK) {
        if (m_items)
            m_chosen = static_cast<int>(SendDlgItemMessageW(Handle(), kEditId, LB_GETCURSEL, 0, 0));
        else
            m_text = app::WindowText(GetDlgItem(Handle(), kEditId));
    }
    return ModalDialog::OnCommand(id, code);
}

bool LinesBox::OnMessage(UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        LayOut();
        return true;
    case WM_GETMINMAXINFO: {
        auto& info = *reinterpret_cast<MINMAXINFO*>(lParam);
        info.ptMinTrackSize = {Scaled(3 * kButtonWidth), Scaled(5 * kButtonHeight)};
        return true;
    }
    }
    return false;
}

// The wide text split into lines at CR LF, CR or LF, each in GB2312 with its first unheld
// character.
std::vector<EditedLine> LinesOf(const std::wstring& text) {
    std::vector<EditedLine> lines;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != L'\r' && text[i] != L'\n')
            continue;
        const std::wstring_view line(text.data() + start, i - start);
        lines.push_back({platform::ToGb2312(line), platform::FirstUnheldCharacter(line)});
        if (i + 1 < text.size() && text[i] == L'\r' && text[i + 1] == L'\n')
            ++i;
        start = i + 1;
    }
    return lines;
}

}  // namespace

bool ShowBatchEditBox(const std::string& caption, std::wstring& text,
                      std::vector<EditedLine>& lines) {
    LinesBox box(caption, text);
    if (!box.Show())
        return false;
    text = box.Text();
    lines = LinesOf(text);
    return true;
}

std::optional<int> ShowChoiceBox(const std::string& caption,
                                 const std::vector<std::string>& items) {
    LinesBox box(caption, std::wstring(), &items);
    if (!box.Show() || box.Chosen() < 0)
        return std::nullopt;
    return box.Chosen();
}

}  // namespace editor
