// The editor's boxes; see EditorDialogs_win.h.
#include "editor/windows/EditorDialogs_win.h"

#include "editor/windows/SyncBox_win.h"

#include <utility>

#include "app/Dialogs_win.h"
#include "editor/windows/BatchEditBox_win.h"
#include "platform/TextConversion_win.h"

namespace editor {

Answer EditorDialogs::Ask(const std::string& text, const std::string& caption, BoxKind kind) {
    return app::Ask(text, caption, kind);
}

bool EditorDialogs::PromptForText(const std::string& caption, const std::string& prompt,
                                  std::string& value, char32_t& unheld) {
    std::wstring typed = value == m_prompt.gb2312 ? m_prompt.wide : std::wstring();
    if (!app::PromptForText(caption, prompt, value, unheld, &typed))
        return false;
    m_prompt = {std::move(typed), value};
    return true;
}

bool EditorDialogs::EditLines(const std::string& caption, std::string& text,
                              std::vector<EditedLine>& lines) {
    std::wstring wide =
        text == m_batch.gb2312 && !m_batch.wide.empty() ? m_batch.wide : platform::ToWide(text);
    if (!ShowBatchEditBox(caption, wide, lines))
        return false;
    m_batch = {wide, platform::ToGb2312(wide)};
    text = m_batch.gb2312;
    return true;
}

std::optional<int> EditorDialogs::ChooseFromList(const std::string& caption,
                                                 const std::vector<std::string>& items) {
    return ShowChoiceBox(caption, items);
}

SyncBoxAnswer EditorDialogs::ShowSyncBox(const SyncBoxView& view) {
    return editor::ShowSyncBox(view);
}

}  // namespace editor
