// The box of 同步…; see SyncBox_win.h. Built in memory on the dialog base: two lists one above
// the other, their labels, and a row of buttons; the folder is picked with SHBrowseForFolder,
// which every Windows since 2000 has.
#include "editor/windows/SyncBox_win.h"

#include <windows.h>
#include <shlobj.h>

#include "EditorTexts.h"
#include "app/BaseWindow_win.h"
#include "app/ChildControl_win.h"
#include "app/ModalDialog_win.h"
#include "app/SystemLook_win.h"
#include "platform/Path.h"
#include "platform/TextConversion_win.h"

namespace editor {

namespace {

enum : int {
    kFolderId = 101,
    kMembersId,
    kConflictsId,
    kChooseId,
    kTurnOffId,
    kSyncId,
    kPutBackId
};
// Sizes at 96 DPI.
constexpr int kWidth = 620;
constexpr int kHeight = 420;
constexpr int kMargin = 10;
constexpr int kLine = 20;
constexpr int kButtonWidth = 120;
constexpr int kButtonHeight = 26;
constexpr int kFontHeight = 16;

// The folder the user picks; empty on Cancel.
std::string PickFolder(HWND owner) {
    const std::wstring title = platform::ToWide(texts::kSyncPickTitle);
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    if (!chosen)
        return {};
    wchar_t path[MAX_PATH * 4] = {};
    const bool named = SHGetPathFromIDListW(chosen, path) != FALSE;
    CoTaskMemFree(chosen);
    return named ? platform::Path::FromNative(path).Utf8() : std::string();
}

class SyncBox : public app::ModalDialog {
public:
    explicit SyncBox(const SyncBoxView& view) : m_view(view) {}

    SyncBoxAnswer Show() {
        ShowModal(app::EmptyDialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                                           WS_EX_DLGMODALFRAME));
        return m_answer;
    }

private:
    int Scaled(int pixels) const { return app::Scale(pixels, m_dpi); }

    void OnInit() override {
        const HWND dialog = Handle();
        SetWindowTextW(dialog, platform::ToWide(texts::kSyncCaption).c_str());
        m_dpi = app::TextDpiOf(app::DpiOf(dialog));
        SetFont(app::CreateChineseFont(texts::kFontName, kFontHeight, m_dpi));
        HWND owner = GetWindow(dialog, GW_OWNER);
        RECT around{};
        GetWindowRect(owner ? owner : GetDesktopWindow(), &around);
        CentreIn(around, Scaled(kWidth), Scaled(kHeight));

        RECT client{};
        GetClientRect(dialog, &client);
        const int margin = Scaled(kMargin);
        const int width = client.right - 2 * margin;
        const int line = Scaled(kLine);
        const int buttonHeight = Scaled(kButtonHeight);
        const int buttonWidth = Scaled(kButtonWidth);
        int top = margin;
        const auto label = [&](const char* text) {
            AddControl(app::ChildControl(L"Static", SS_LEFT | SS_NOPREFIX)
                           .Text(platform::ToWide(text))
                           .At({margin, top, width, line}));
            top += line;
        };
        label(texts::kSyncFolderLabel);
        const std::wstring folder = m_view.folder.empty()
                                        ? platform::ToWide(texts::kSyncFolderNone)
                                        : platform::Path::FromUtf8(m_view.folder).Native();
        AddControl(app::ChildControl(L"Edit", ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP)
                       .ExStyle(WS_EX_CLIENTEDGE)
                       .Id(kFolderId)
                       .Text(folder)
                       .At({margin, top, width, line + Scaled(4)}));
        top += line + margin;
        const int listHeight = (client.bottom - top - 2 * line - buttonHeight - 3 * margin) / 2;
        label(texts::kSyncMembersLabel);
        AddList(kMembersId, texts::kSyncMembersLabel, m_view.members,
                {margin, top, width, listHeight});
        top += listHeight + margin / 2;
        label(texts::kSyncConflictsLabel);
        AddList(kConflictsId, texts::kSyncConflictsLabel, m_view.conflicts,
                {margin, top, width, listHeight});

        const int buttonTop = client.bottom - margin - buttonHeight;
        int left = margin;
        const auto button = [&](int id, const char* text, DWORD style = BS_PUSHBUTTON) {
            AddControl(app::ChildControl(L"Button", style | WS_TABSTOP)
                           .Id(id)
                           .Text(platform::ToWide(text))
                           .At({left, buttonTop, buttonWidth, buttonHeight}));
            left += buttonWidth + margin / 2;
        };
        button(kChooseId, texts::kSyncChoose);
        button(kSyncId, texts::kSyncNow);
        button(kTurnOffId, texts::kSyncTurnOff);
        button(kPutBackId, texts::kSyncPutBack);
        left = client.right - margin - Scaled(70);
        AddControl(app::ChildControl(L"Button", BS_DEFPUSHBUTTON | WS_TABSTOP)
                       .Id(IDCANCEL)
                       .Text(platform::ToWide(texts::kSyncClose))
                       .At({left, buttonTop, Scaled(70), buttonHeight}));
        EnableWindow(GetDlgItem(dialog, kSyncId), !m_view.folder.empty());
        EnableWindow(GetDlgItem(dialog, kTurnOffId), !m_view.folder.empty());
        EnableWindow(GetDlgItem(dialog, kPutBackId), !m_view.conflicts.empty());
        SetFocus(GetDlgItem(dialog, m_view.folder.empty() ? kChooseId : kSyncId));
    }

    // A list shows no window text: it carries its label's, which screen readers speak as its name.
    void AddList(int id, const char* label, const std::vector<std::string>& lines,
                 const app::PixelRect& at) {
        HWND list = AddControl(app::ChildControl(L"ListBox", LBS_NOINTEGRALHEIGHT | WS_VSCROLL |
                                                                 WS_HSCROLL | WS_TABSTOP)
                                   .ExStyle(WS_EX_CLIENTEDGE)
                                   .Id(id)
                                   .Text(platform::ToWide(label))
                                   .At(at));
        for (const std::string& line : lines)
            SendMessageW(list, LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(platform::ToWide(line).c_str()));
        SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(Scaled(kWidth * 2)), 0);
        SendMessageW(list, LB_SETCURSEL, 0, 0);
    }

    bool OnCommand(int id, int code) override {
        using Action = SyncBoxAnswer::Action;
        switch (id) {
        case kChooseId: {
            const std::string folder = PickFolder(Handle());
            if (folder.empty())
                return true;
            m_answer = {Action::ChooseFolder, folder, -1};
            End(IDOK);
            return true;
        }
        case kTurnOffId:
            m_answer = {Action::TurnOff, {}, -1};
            End(IDOK);
            return true;
        case kSyncId:
            m_answer = {Action::SyncNow, {}, -1};
            End(IDOK);
            return true;
        case kPutBackId: {
            const auto chosen =
                static_cast<int>(SendDlgItemMessageW(Handle(), kConflictsId, LB_GETCURSEL, 0, 0));
            if (chosen < 0)
                return true;
            m_answer = {Action::PutBack, {}, chosen};
            End(IDOK);
            return true;
        }
        }
        return ModalDialog::OnCommand(id, code);
    }

    const SyncBoxView& m_view;
    SyncBoxAnswer m_answer;
    UINT m_dpi = 96;  // of the text: the monitor's DPI grown with the message font
};

}  // namespace

SyncBoxAnswer ShowSyncBox(const SyncBoxView& view) { return SyncBox(view).Show(); }

}  // namespace editor
