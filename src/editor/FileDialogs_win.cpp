// The save and open dialogs of Export and Import; see FileDialogs_win.h.
#include "editor/FileDialogs_win.h"

#include <commdlg.h>

#include "TransferMenuTexts.h"
#include "TransferTexts.h"
#include "platform/Error.h"
#include "platform/TextConversion_win.h"

namespace editor {

namespace {

// A dialog's type list: pairs of caption and patterns, each ended by NUL, the list by another.
std::wstring Filter(std::initializer_list<std::pair<const char*, const wchar_t*>> types) {
    std::wstring filter;
    for (const auto& [caption, patterns] : types) {
        filter += platform::ToWide(caption);
        filter.push_back(L'\0');
        filter += patterns;
        filter.push_back(L'\0');
    }
    filter.push_back(L'\0');
    return filter;
}

// The file layer takes GB2312 paths: a path with a character code page 936 cannot hold would name
// another file, so it fails as that file layer's error for the path.
std::string FilePath(const wchar_t* wide, const char* kind, const char* pattern) {
    const std::string path = platform::ToGb2312(wide);
    if (platform::ToWide(path) != wide)
        throw platform::Error(kind, platform::Format(pattern, path));
    return path;
}

}  // namespace

std::optional<ExportTarget> SystemFileDialogs::ChooseExportFile() {
    const std::wstring filter = Filter({{phrases::texts::kExportUtf8Type, L"*.txt"},
                                        {phrases::texts::kExportGb2312Type, L"*.txt"}});
    const std::wstring title = platform::ToWide(texts::kExportTitle);
    wchar_t file[MAX_PATH * 4] = L"srf_pub.txt";
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = static_cast<DWORD>(std::size(file));
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = L"txt";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog))
        return std::nullopt;
    ExportTarget target;
    target.path = FilePath(file, "FileCreateError", "Cannot create file %s");
    target.encoding = dialog.nFilterIndex == 2 ? phrases::ExportEncoding::Gb2312 : phrases::ExportEncoding::Utf8;
    return target;
}

std::optional<std::string> SystemFileDialogs::ChooseImportFile() {
    const std::wstring filter = Filter({{texts::kImportTextFiles, L"*.txt;*.dat"}, {texts::kImportAllFiles, L"*.*"}});
    const std::wstring title = platform::ToWide(texts::kImportTitle);
    wchar_t file[MAX_PATH * 4] = L"";
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = static_cast<DWORD>(std::size(file));
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog))
        return std::nullopt;
    return FilePath(file, "FileOpenError", "Cannot open file %s");
}

}  // namespace editor
