// The progress window of a large import: a bar and Cancel in a small window over the editor,
// shown while the file is planned. The editor is disabled meanwhile; Step pumps the messages so
// that the window paints and Cancel is heard.
#pragma once

#include <windows.h>

#include <memory>

#include "editor/commands/DictionaryImport.h"

namespace editor {

class ProgressWindow;

class ImportProgressWindow : public ImportProgress {
public:
    ImportProgressWindow();
    ~ImportProgressWindow() override;
    void SetOwner(HWND owner) { m_owner = owner; }

    void Begin() override;
    bool Step(std::size_t done, std::size_t total) override;
    void End() override;

private:
    HWND m_owner = nullptr;
    std::unique_ptr<ProgressWindow> m_window;
};

}  // namespace editor
