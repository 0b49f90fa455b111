// One editor per data directory: the first editor claims the directory with a named mutex and
// marks its window; a second one started on the same directory brings that window to the front
// and ends. Editors of different directories run side by side.
#pragma once

#include <windows.h>

#include <string>

#include "platform/Path.h"
#include "platform/UniqueHandles_win.h"

namespace editor {

class SingleInstance {
public:
    explicit SingleInstance(const platform::Path& dataDirectory);
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process holds the directory; otherwise the running editor has been brought
    // to the front (once its window is there) and this one should end.
    bool Claimed() const { return m_claimed; }
    // Marks the window as the editor of the directory, for the next editor to find.
    void Publish(HWND window) const;
    void BringRunningEditorForward() const;

private:
    std::wstring m_mark;
    platform::UniqueHandle m_mutex;
    bool m_claimed = false;
};

}  // namespace editor
