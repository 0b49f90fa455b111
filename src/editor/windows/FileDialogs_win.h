// The system's save and open dialogs for the phrase editor's Export and Import.
#pragma once

#include <windows.h>

#include "editor/commands/PhraseTransfer.h"

namespace editor {

class SystemFileDialogs : public FileDialogs {
public:
    void SetOwner(HWND owner) { m_owner = owner; }

    // The save dialog; its type list holds UTF-8 (with a byte-order mark) first, then GB2312,
    // then the word list without categories.
    std::optional<ExportTarget> ChooseExportFile() override;
    // The open dialog for text files and other input methods' dictionaries (every type is read
    // by its content).
    std::optional<std::string> ChooseImportFile() override;

private:
    HWND m_owner = nullptr;
};

}  // namespace editor
