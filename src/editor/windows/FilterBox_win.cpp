// The phrase editor's filter box; see FilterBox_win.h.
#include "editor/windows/FilterBox_win.h"

#include <optional>
#include <utility>

#include "EditorTexts.h"
#include "editor/commands/EditorCommandIds.h"
#include "platform/TextConversion_win.h"

namespace editor {

namespace {

constexpr int kCloseWidth = 26;  // at 96 DPI

}  // namespace

void FilterBox::Create(HWND parent) {
    m_bar.Create(parent, {.label = platform::ToWide(texts::kFilterLabel),
                          .editId = IDC_FILTER_EDIT,
                          .buttons = {{platform::ToWide(texts::kFindClose), IDM_FILTER_CLOSE,
                                       kCloseWidth, platform::ToWide(texts::kFilterCloseName)}},
                          .closeCommand = IDM_FILTER_CLOSE});
}

bool FilterBox::Apply() {
    phrases::TTreeNode* selected = m_view.SelectedNode();
    std::optional<FilterResult> result = m_state.Apply(m_tree, m_bar.Text());
    if (result)
        m_view.ShowFiltered(std::move(*result));
    else if (m_view.Filtered())
        m_view.ShowAll();
    else
        return false;
    m_view.Select(selected);
    return true;
}

bool FilterBox::Close() {
    m_bar.Close();
    return Apply();
}

}  // namespace editor
