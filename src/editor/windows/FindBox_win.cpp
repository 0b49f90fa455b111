// The phrase editor's find box; see FindBox_win.h.
#include "editor/windows/FindBox_win.h"

#include "EditorTexts.h"
#include "editor/commands/EditorCommandIds.h"
#include "platform/TextConversion_win.h"

namespace editor {

namespace {

// Widths at 96 DPI.
constexpr int kNextWidth = 64;
constexpr int kCloseWidth = 26;

}  // namespace

void FindBox::Create(HWND parent) {
    m_bar.Create(parent,
                 {.label = platform::ToWide(texts::kFindLabel),
                  .buttons = {{platform::ToWide(texts::kFindNext), IDM_FIND_NEXT, kNextWidth},
                              {platform::ToWide(texts::kFindClose), IDM_FIND_CLOSE, kCloseWidth,
                               platform::ToWide(texts::kFindCloseName)}},
                  .nextCommand = IDM_FIND_NEXT,
                  .closeCommand = IDM_FIND_CLOSE,
                  .keepsText = true});
}

}  // namespace editor
