// The phrase editor's command rules; see EditorCommands.h.
#include "editor/EditorCommands.h"

#include "EditorTexts.h"

namespace editor {

using phrases::TTreeNode;
using phrases::TTreeNodes;

std::string_view TrimText(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20)
        text.remove_suffix(1);
    return text;
}

bool HasLineBreakingByte(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool EditorCommands::Run(Command command, TTreeNode* selected) {
    switch (command) {
    case Command::New:
        New(selected);
        break;
    case Command::Modify:
        Modify(selected);
        break;
    case Command::Delete:
        Delete(selected);
        break;
    case Command::Save:
        Save();
        break;
    case Command::Quit:
        return true;
    }
    return false;
}

void EditorCommands::New(TTreeNode* selected) {
    if (!CheckDataLoaded())
        return;
    if (!selected)
        return Notice(texts::kSelectCategory);
    const bool onCategory = selected->Level() == 0;
    const TTreeNode* category = onCategory ? selected : selected->Parent();
    std::string entered;
    if (!m_dialogs.PromptForText(texts::kInputCaption, category->Text() + ' ', entered))
        return;
    const std::string_view text = TrimText(entered);
    if (text.empty())
        return Notice(texts::kIncorrectInput);
    if (!Acceptable(text))
        return;
    // A new phrase always goes first in its category, also when a phrase is selected.
    TTreeNode* node = onCategory ? m_tree.InsertFirstChild(selected, text)
                                 : m_tree.InsertFirstSibling(selected, text);
    m_observer.NodeInserted(node);
    m_files.SaveAndCompile();
}

void EditorCommands::Modify(TTreeNode* selected) {
    if (!CheckDataLoaded())
        return;
    if (!selected)
        return Notice(texts::kSelectToModify);
    std::string entered = selected->Text();
    if (!m_dialogs.PromptForText(texts::kInputCaption, texts::kContentPrompt, entered))
        return;
    // Trimmed like New: a leading blank would read back from the file one level deeper.
    const std::string_view text = TrimText(entered);
    if (text.empty())
        return Notice(texts::kEmptyInput);
    if (text == selected->Text())
        return;
    if (!Acceptable(text))
        return;
    m_tree.SetNodeText(selected, text);
    m_observer.NodeTextChanged(selected);
    m_files.SaveAndCompile();
}

void EditorCommands::Delete(TTreeNode* selected) {
    if (!CheckDataLoaded())
        return;
    if (!selected)
        return Notice(texts::kSelectToDelete);
    if (selected->Level() == 0)
        return Notice(texts::kCategoryNotDeletable);
    const std::string question =
        std::string(texts::kDeleteQuestionStart) + selected->Text() + texts::kDeleteQuestionEnd;
    if (m_dialogs.MessageBox(question, texts::kConfirmCaption, kQuestionFlags) != 1)
        return;
    m_observer.NodeDeleting(selected);
    m_tree.DeleteNode(selected);
    m_files.SaveAndCompile();
}

void EditorCommands::Save() {
    if (!CheckDataLoaded())
        return;
    m_files.CompilePhraseFile(true);
}

bool EditorCommands::Exists(std::string_view text) const {
    for (const TTreeNode* node = m_tree.FirstRoot(); node; node = TTreeNodes::NextNode(node))
        if (node->Text() == text)
            return true;
    return false;
}

void EditorCommands::Notice(const char* text) {
    m_dialogs.MessageBox(text, texts::kNoticeCaption, kNoticeFlags);
}

bool EditorCommands::CheckDataLoaded() {
    if (m_files.DataLoaded())
        return true;
    Notice(texts::kDataNotLoaded);
    return false;
}

bool EditorCommands::Acceptable(std::string_view text) {
    if (HasLineBreakingByte(text)) {
        Notice(texts::kIncorrectInput);
        return false;
    }
    if (text.size() > kMaxTextBytes) {
        Notice(texts::kTooLong);
        return false;
    }
    if (Exists(text)) {
        Notice(texts::kAlreadyExists);
        return false;
    }
    return true;
}

}  // namespace editor
