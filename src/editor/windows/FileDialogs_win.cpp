// The save and open dialogs of Export and Import; see FileDialogs_win.h.
#include "editor/windows/FileDialogs_win.h"

#include <commdlg.h>

#include <optional>
#include <string>
#include <vector>

#include "DictionaryImportTexts.h"
#include "DictionaryTexts.h"
#include "TransferMenuTexts.h"
#include "TransferTexts.h"
#include "platform/Error.h"
#include "platform/TextConversion_win.h"

namespace editor {

namespace {

// A dialog's type list: pairs of caption and patterns, each ended by NUL, the list by another.
std::wstring Filter(const std::vector<std::pair<const char*, const wchar_t*>>& types) {
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
std::string FilePath(const std::wstring& wide, const char* kind, const char* pattern) {
    const std::string path = platform::ToGb2312(wide);
    if (platform::ToWide(path) != wide)
        throw platform::Error(kind, platform::Format(pattern, path));
    return path;
}

// What differs between the save and the open dialog; the rest of their fields are the same.
struct FileDialogRequest {
    std::wstring filter;
    const char* title;
    const wchar_t* initialName;
    const wchar_t* defaultExtension;  // null: none
    DWORD flags;
};

struct FileDialogChoice {
    std::wstring path;
    DWORD type;  // the type chosen in the list, from 1
};

// Runs GetSaveFileNameW or GetOpenFileNameW; nullopt on Cancel.
std::optional<FileDialogChoice> RunFileDialog(HWND owner, BOOL(WINAPI* run)(OPENFILENAMEW*),
                                              const FileDialogRequest& request) {
    const std::wstring title = platform::ToWide(request.title);
    std::wstring file = request.initialName;
    file.resize(MAX_PATH * 4);  // the room the dialog writes the chosen path into
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = request.filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = request.defaultExtension;
    dialog.Flags = request.flags;
    if (!run(&dialog))
        return std::nullopt;
    return FileDialogChoice{file.c_str(), dialog.nFilterIndex};
}

}  // namespace

namespace {

// The export's types after the tree's own three forms, in the list's order.
struct DictionaryType {
    phrases::SourceFormat format;
    const char* caption;
    const wchar_t* patterns;
};
const DictionaryType kDictionaryTypes[] = {
    {phrases::SourceFormat::Rime, texts::kExportRimeType, L"*.dict.yaml"},
    {phrases::SourceFormat::MicrosoftIme, texts::kExportMsimeType, L"*.txt"},
    {phrases::SourceFormat::CustomPhrases, texts::kExportFcitxType, L"*.txt"},
    {phrases::SourceFormat::QqPhrases, texts::kExportQqPhrasesType, L"*.ini"},
    {phrases::SourceFormat::PinyinText, texts::kExportPinyinTextType, L"*.txt"},
    {phrases::SourceFormat::Gboard, texts::kExportGboardType, L"*.zip"},
    {phrases::SourceFormat::MicrosoftPinyin, texts::kExportMspyType, L"*.dat"},
};

}  // namespace

std::optional<ExportTarget> SystemFileDialogs::ChooseExportFile() {
    std::vector<std::pair<const char*, const wchar_t*>> types =
        {{phrases::texts::kExportUtf8Type, L"*.txt"},
         {phrases::texts::kExportGb2312Type, L"*.txt"},
         {phrases::texts::kExportWordListType, L"*.txt"}};
    for (const DictionaryType& type : kDictionaryTypes)
        types.emplace_back(type.caption, type.patterns);
    const std::optional<FileDialogChoice> choice =
        RunFileDialog(m_owner, GetSaveFileNameW,
                      {Filter(types), texts::kExportTitle, L"srf_pub.txt", L"txt",
                       // No overwrite prompt: the command checks the name first, then asks.
                       OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR});
    if (!choice)
        return std::nullopt;
    ExportTarget target;
    target.path = FilePath(choice->path, "FileCreateError", "Cannot create file %s");
    target.encoding = choice->type == 2   ? phrases::ExportEncoding::Gb2312
                      : choice->type == 3 ? phrases::ExportEncoding::WordList
                                          : phrases::ExportEncoding::Utf8;
    if (choice->type > 3 && choice->type - 4 < std::size(kDictionaryTypes))
        target.dictionary = kDictionaryTypes[choice->type - 4].format;
    return target;
}

std::optional<std::string> SystemFileDialogs::ChooseImportFile() {
    const std::optional<FileDialogChoice> choice =
        RunFileDialog(m_owner, GetOpenFileNameW,
                      {Filter(
                           {{texts::kImportTextFiles, L"*.txt;*.dat"},
                            {texts::kImportDictionaries, L"*.yaml;*.txt;*.scel;*.dat;*.ini;*.zip"},
                            {texts::kImportAllFiles, L"*.*"}}),
                       texts::kImportTitle, L"", nullptr,
                       OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR});
    if (!choice)
        return std::nullopt;
    return FilePath(choice->path, "FileOpenError", "Cannot open file %s");
}

}  // namespace editor
