// The boxes through which the editor's commands reach the user (UserDialogs): the message box, the
// input box, the batch-edit box and the list box.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "editor/commands/EditorCommands.h"

namespace editor {

// A box opened again on the text it returned shows it as typed, characters that GB2312 cannot
// hold included: the controller hands the text back in GB2312, by which the box knows it.
class EditorDialogs : public UserDialogs {
public:
    Answer Ask(const std::string& text, const std::string& caption, BoxKind kind) override;
    bool PromptForText(const std::string& caption, const std::string& prompt, std::string& value,
                       char32_t& unheld) override;
    bool EditLines(const std::string& caption, std::string& text,
                   std::vector<EditedLine>& lines) override;
    std::optional<int> ChooseFromList(const std::string& caption,
                                      const std::vector<std::string>& items) override;
    SyncBoxAnswer ShowSyncBox(const SyncBoxView& view) override;

private:
    // A text as last typed (UTF-16) with its GB2312 form.
    struct Typed {
        std::wstring wide;
        std::string gb2312;
    };
    Typed m_prompt;
    Typed m_batch;
};

}  // namespace editor
