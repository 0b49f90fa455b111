// The system's file dialogs driven from outside; see DriverFileDialog.h.
#include "DriverFileDialog.h"

#include <vector>

#include "Driver.h"

namespace driver {

namespace {

// Control ids of the common file dialogs (dlgs.h): the file name as a combo box or an edit, and
// the type list.
constexpr int kFileNameCombo = 0x47c;  // cmb13
constexpr int kFileNameEdit = 0x480;   // edt1
constexpr int kTypeList = 0x470;       // cmb1

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lParam) CALLBACK -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

}  // namespace

HWND WaitForDialog(DWORD processId, const std::wstring& title, std::chrono::milliseconds timeout) {
    HWND found = nullptr;
    Eventually(
        [&] {
            for (HWND hwnd : VisibleWindows(processId))
                if (ClassOf(hwnd) == L"#32770" && WindowText(hwnd) == title)
                    found = hwnd;
            return found != nullptr;
        },
        timeout);
    return found;
}

HWND FileNameEdit(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, kFileNameCombo)) {
        if (ClassOf(combo) == L"Edit")
            return combo;
        if (HWND edit = FindChild(combo, L"Edit"))
            return edit;
    }
    return GetDlgItem(dialog, kFileNameEdit);
}

bool ChooseFileType(HWND dialog, int index) {
    HWND list = GetDlgItem(dialog, kTypeList);
    if (!list || SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0) != index)
        return false;
    // A pick sends both; Wine's dialog takes the new type on CBN_SELENDOK.
    for (const WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kTypeList, code),
                     reinterpret_cast<LPARAM>(list));
    return true;
}

void ScreenshotFileTypes(HWND dialog, const std::string& name) {
    HWND list = GetDlgItem(dialog, kTypeList);
    if (!list)
        return;
    // The dropped list is a window of the dialog's process: found by its class, as a pointer
    // cannot cross into that process.
    DWORD processId = 0;
    GetWindowThreadProcessId(dialog, &processId);
    SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
    HWND dropped = nullptr;
    Eventually([&] {
        for (HWND hwnd : VisibleWindows(processId))
            if (ClassOf(hwnd) == L"ComboLBox")
                dropped = hwnd;
        return dropped != nullptr;
    });
    if (dropped)
        SaveScreenshot(dropped, name);
    SendMessageW(list, CB_SHOWDROPDOWN, FALSE, 0);
}

void ChooseFile(HWND dialog, const std::wstring& path) {
    HWND edit = FileNameEdit(dialog);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PressDialogButton(dialog, IDOK);
}

std::string DescribeControls(HWND dialog) {
    std::string out;
    for (HWND child : Children(dialog)) {
        out += std::to_string(GetDlgCtrlID(child)) + ": ";
        for (wchar_t c : WindowText(child) + L" (" + ClassOf(child) + L")")
            out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        out += "\n";
    }
    return out;
}

}  // namespace driver
