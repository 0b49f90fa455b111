// The phrase editor's command rules; see EditorCommands.h.
#include "editor/commands/EditorCommands.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <type_traits>

#include "EditorTexts.h"
#include "editor/rules/BatchEdit.h"
#include "editor/rules/CategorySort.h"
#include "editor/rules/EditHistory.h"
#include "editor/rules/LoadNotices.h"
#include "editor/rules/PhraseFinder.h"
#include "editor/rules/PhraseSelection.h"
#include "editor/rules/RestoreList.h"

namespace editor {

std::string UnheldCharacterNotice(char32_t character) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
    return std::string(texts::kUnheldStart) + code + texts::kUnheldEnd;
}

using phrases::TTreeNode;
using phrases::TTreeNodes;

EditorCommands::EditorCommands(TTreeNodes& tree, UserDialogs& dialogs, PhraseFiles& files,
                               TreeObserver& observer, FileDialogs& fileDialogs,
                               const phrases::CharacterTable& table)
    : m_tree(tree),
      m_dialogs(dialogs),
      m_files(files),
      m_fileDialogs(fileDialogs),
      m_table(table),
      m_edits(std::make_unique<TreeEditor>(tree, observer)),
      m_history(std::make_unique<EditHistory>()) {}

EditorCommands::~EditorCommands() = default;

namespace {

// What the enabled column of EditorCommandList.h names: whether a command can act, from the
// context and the controller's state.
struct EnableState {
    const CommandContext& context;
    bool dataLoaded;
    bool canUndo;
    bool canRedo;
    bool hasBackup;

    bool OnPhrase() const {
        return context.selected && context.selected->Level() > 0 && dataLoaded;
    }
    // The moves within a category pass neighbours that a filter may hide, and move one phrase.
    bool Movable() const { return OnPhrase() && !context.filtered && context.chosen <= 1; }
};

namespace enabled {
bool Always(const EnableState&) { return true; }
bool CanUndo(const EnableState& state) { return state.canUndo; }
bool CanRedo(const EnableState& state) { return state.canRedo; }
bool HasBackup(const EnableState& state) { return state.hasBackup; }
bool DataLoaded(const EnableState& state) { return state.dataLoaded; }
bool OnNode(const EnableState& state) { return state.context.selected && state.dataLoaded; }
bool OnPhrase(const EnableState& state) { return state.OnPhrase(); }
bool MoveUp(const EnableState& state) {
    return state.Movable() && state.context.selected->PreviousSibling();
}
bool MoveDown(const EnableState& state) {
    return state.Movable() && state.context.selected->NextSibling();
}
bool Sort(const EnableState& state) {
    if (!OnNode(state))
        return false;
    const TTreeNode* first = CategoryOf(state.context.selected)->FirstChild();
    return first && first->NextSibling();
}
}  // namespace enabled

// Calls a command's rule with what it takes of the target.
template <auto Rule>
void Run(EditorCommands& commands, const CommandTarget& target) {
    using R = decltype(Rule);
    if constexpr (std::is_invocable_v<R, EditorCommands&>)
        (commands.*Rule)();
    else if constexpr (std::is_invocable_v<R, EditorCommands&, TTreeNode*>)
        (commands.*Rule)(target.selected);
    else if constexpr (std::is_invocable_v<R, EditorCommands&, TTreeNode*,
                                           const std::vector<TTreeNode*>&>)
        (commands.*Rule)(target.selected, target.chosen);
    else
        (commands.*Rule)(target.chosen, target.selected);
}

struct CommandRow {
    bool (*enabled)(const EnableState&);
    void (*run)(EditorCommands&, const CommandTarget&);  // null: the window's own
};

template <auto Rule>
constexpr auto RunOf() {
    if constexpr (std::is_null_pointer_v<decltype(Rule)>)
        return static_cast<void (*)(EditorCommands&, const CommandTarget&)>(nullptr);
    else
        return &Run<Rule>;
}

#define SRF_COMMAND_ROW(name, id, number, caption, hint, image, key1, key2, menu, menuPlace, \
                        toolPlace, contextPlace, enabledRule, rule)                          \
    CommandRow{&enabled::enabledRule, RunOf<rule>()},
// By Command: each row of EditorCommandList.h in its order.
const CommandRow kRows[] = {SRF_EDITOR_COMMANDS(SRF_COMMAND_ROW)};
#undef SRF_COMMAND_ROW

const CommandRow& RowOf(Command command) { return kRows[static_cast<std::size_t>(command)]; }

}  // namespace

bool EditorCommands::IsEnabled(Command command, const CommandContext& context) const {
    const EnableState state{context, m_files.DataLoaded(), m_history->CanUndo(),
                            m_history->CanRedo(), m_files.HasBackup()};
    return RowOf(command).enabled(state);
}

Outcome EditorCommands::Execute(Command command, const CommandTarget& target) {
    const bool move = command == Command::MoveUp || command == Command::MoveDown;
    if (move && (target.filtered || target.chosen.size() > 1))
        return {};
    if (const auto run = RowOf(command).run)
        run(*this, target);
    const bool quit = m_quit;
    m_quit = false;
    return {.select = TakeSelection(), .quit = quit};
}

void EditorCommands::New(TTreeNode* selected) {
    if (!CheckDataLoaded())
        return;
    if (!selected)
        return Notice(texts::kSelectCategory);
    const bool onCategory = selected->Level() == 0;
    const TTreeNode* category = onCategory ? selected : selected->Parent();
    const std::optional<std::string> text = AskForNewText(std::string(category->Text()) + ' ');
    if (!text)
        return;
    // A new phrase always goes first in its category, also when a phrase is selected.
    m_edits->InsertAt(onCategory ? selected : selected->Parent(), 0, *text);
    CommitAndSave();
}

void EditorCommands::Modify(TTreeNode* selected) {
    if (!CheckDataLoaded())
        return;
    if (!selected)
        return Notice(texts::kSelectToModify);
    std::string entered(selected->Text());
    if (!PromptHoldable(texts::kContentPrompt, entered))
        return;
    // The text left as it stands is no change, whatever it holds: a stored text the rules of New
    // would refuse or trim stays as the file has it.
    if (entered == selected->Text())
        return;
    // Trimmed like New: a leading blank would read back from the file one level deeper.
    const std::string_view text = TrimText(entered);
    if (!text.empty() && text == selected->Text())
        return;
    if (const char* refusal = Refusal(text, texts::kEmptyInput))
        return Notice(refusal);
    m_edits->SetText(selected, text);
    CommitAndSave();
}

void EditorCommands::Delete(TTreeNode* selected) {
    if (!CheckDataLoaded())
        return;
    if (!selected)
        return Notice(texts::kSelectToDelete);
    if (selected->Level() == 0)
        return Notice(texts::kCategoryNotDeletable);
    const std::string question = std::string(texts::kDeleteQuestionStart) +
                                 std::string(selected->Text()) + texts::kDeleteQuestionEnd;
    if (m_dialogs.Ask(question, texts::kConfirmCaption, BoxKind::Question) != Answer::Ok)
        return;
    m_edits->Remove(selected);
    CommitAndSave();
}

void EditorCommands::Load() {
    // A tree file that fails to load does not stop the table: with the table there, 恢复备份 is
    // the way back at once.
    std::exception_ptr treeError;
    try {
        LoadTree();
    } catch (...) {
        treeError = std::current_exception();
    }
    try {
        m_files.LoadTable();
    } catch (...) {
        if (!treeError)
            throw;
    }
    if (treeError)
        std::rethrow_exception(treeError);
    if (m_files.DataLoaded())
        m_files.Compile();
    // Before the user edits: after a stop between a merge's two writes, the tree on disk is then
    // the one the state knows.
    SyncQuietly();
}

void EditorCommands::LoadTree() {
    phrases::TreeFileCheck check = m_files.LoadTree();
    if (check.NeedsConversion()) {
        // Declined, the file counts as one that failed to load: nothing is written over it.
        const char* question = check.form == phrases::TreeFileForm::Utf16 ? texts::kUtf16Question
                                                                          : texts::kUtf8Question;
        if (m_dialogs.Ask(question, texts::kConfirmCaption, BoxKind::Question) != Answer::Ok)
            return;
        const phrases::ConvertedTreeFile converted = m_files.ConvertTree();
        if (!converted.dropped.empty())
            Notice(ConversionNotice(converted));
        check = m_files.LoadTree();
    }
    if (check.strayNul)
        Notice(StrayNulNotice(*check.strayNul, check.bytesAfterNul));
}

void EditorCommands::Save() {
    if (!CheckDataLoaded())
        return;
    if (!m_files.TreeUnsaved())
        m_files.Compile();
    else if (!SaveChanges())
        return;  // the user read the other program's file instead
    Notice(texts::kSaved);
}

bool EditorCommands::ConfirmQuit() {
    return !m_files.TreeUnsaved() || m_dialogs.Ask(texts::kQuitUnsaved, texts::kConfirmCaption,
                                                   BoxKind::CautiousQuestion) == Answer::Ok;
}

void EditorCommands::Undo() {
    if (!CheckDataLoaded() || !m_history->CanUndo())
        return;
    m_select = m_history->Undo(*m_edits);
    SaveChanges();
}

void EditorCommands::Redo() {
    if (!CheckDataLoaded() || !m_history->CanRedo())
        return;
    m_select = m_history->Redo(*m_edits);
    SaveChanges();
}

void EditorCommands::MoveUp(TTreeNode* selected) { MoveWithin(selected, -1); }

void EditorCommands::MoveDown(TTreeNode* selected) { MoveWithin(selected, +1); }

void EditorCommands::MoveWithin(TTreeNode* selected, int delta) {
    if (!CheckDataLoaded())
        return;
    if (!selected)
        return Notice(texts::kSelectToMove);
    if (selected->Level() == 0)
        return Notice(texts::kCategoryNotMovable);
    // At either end of its category the phrase stays, without a word: there is nothing to do.
    if (delta < 0 ? !selected->PreviousSibling() : !selected->NextSibling())
        return;
    const int index = PlaceOf(selected).back();
    m_select = m_edits->Move(selected, selected->Parent(), index + delta);
    CommitAndSave();
}

void EditorCommands::MoveToCategory(TTreeNode* phrase, TTreeNode* target) {
    if (!phrase || !target || phrase->Level() == 0 || !CheckDataLoaded())
        return;
    TTreeNode* category = CategoryOf(target);
    // A drop on a phrase of its own category, or on the phrase itself, means no move.
    if (category == CategoryOf(phrase) && (target != category || phrase == category->FirstChild()))
        return;
    m_select = m_edits->Move(phrase, category, 0);
    CommitAndSave();
}

void EditorCommands::DeleteSet(const std::vector<TTreeNode*>& chosen, TTreeNode* selected) {
    if (chosen.size() <= 1)
        return Delete(chosen.empty() ? selected : chosen.front());
    if (!CheckDataLoaded())
        return;
    const std::vector<TTreeNode*> phrases = InTreeOrder(m_tree, chosen);
    if (phrases.empty())
        return Notice(texts::kCategoryNotDeletable);
    if (m_dialogs.Ask(DeleteSetQuestion(phrases.size()), texts::kConfirmCaption,
                      BoxKind::Question) != Answer::Ok)
        return;
    DeletePhrases(*m_edits, phrases);
    CommitAndSave();
}

void EditorCommands::MoveSetToCategory(const std::vector<TTreeNode*>& chosen, TTreeNode* target) {
    if (chosen.size() <= 1)
        return MoveToCategory(chosen.empty() ? nullptr : chosen.front(), target);
    if (!target || !CheckDataLoaded())
        return;
    const std::vector<TTreeNode*> phrases = InTreeOrder(m_tree, chosen);
    if (phrases.empty())
        return;
    const std::vector<TTreeNode*> moved = MovePhrasesToCategory(*m_edits, phrases, target);
    if (!m_edits->HasPending())
        return;
    if (!moved.empty())
        m_select = moved.front();
    CommitAndSave();
}

void EditorCommands::MoveTo(TTreeNode* selected, const std::vector<TTreeNode*>& chosen) {
    if (!CheckDataLoaded())
        return;
    if (chosen.size() <= 1) {
        if (!selected)
            return Notice(texts::kSelectToMove);
        if (selected->Level() == 0)
            return Notice(texts::kCategoryNotMovable);
    }
    std::vector<std::string> names;
    for (const TTreeNode* category = m_tree.FirstRoot(); category;
         category = category->NextSibling())
        names.emplace_back(category->Text());
    const std::optional<int> index = m_dialogs.ChooseFromList(texts::kMoveToCaption, names);
    if (!index)
        return;
    TTreeNode* target = ChildAt(m_tree, nullptr, *index);
    if (chosen.size() > 1)
        MoveSetToCategory(chosen, target);
    else
        MoveToCategory(chosen.empty() ? selected : chosen.front(), target);
}

void EditorCommands::Sort(TTreeNode* selected) {
    if (!CheckDataLoaded())
        return;
    if (!selected)
        return Notice(texts::kSelectCategory);
    // A large category is sorted by replacing the tree: its place outlives its pointer.
    const TreePlace place = PlaceOf(CategoryOf(selected));
    if (!SortCategory(*m_edits, CategoryOf(selected)))
        return;
    m_select = NodeAtPlace(m_tree, place);
    CommitAndSave();
}

void EditorCommands::BatchEdit(TTreeNode* selected) {
    if (!CheckDataLoaded())
        return;
    if (!selected)
        return Notice(texts::kSelectCategory);
    TTreeNode* category = CategoryOf(selected);
    const TreePlace place = PlaceOf(category);
    std::string text = CategoryText(category);
    for (;;) {
        std::vector<EditedLine> lines;
        if (!m_dialogs.EditLines(std::string(texts::kBatchCaption) + std::string(category->Text()),
                                 text, lines))
            return;
        const BatchPlan plan = PlanBatchEdit(m_tree, category, lines);
        const std::string summary = FormatBatchSummary(plan);
        if (!plan.HasChanges()) {
            // Nothing to apply: with refused lines the user goes back to correct them.
            Notice(plan.summary.Refused() ? summary + "\n" + texts::kBatchNoChange
                                          : texts::kBatchNoChange);
            if (plan.summary.Refused())
                continue;
            return;
        }
        if (m_dialogs.Ask(summary + "\n" + texts::kBatchQuestion, texts::kConfirmCaption,
                          BoxKind::Question) != Answer::Ok)
            continue;  // back to the edit box with the text as the user left it
        ApplyBatchEdit(*m_edits, plan);
        m_select = NodeAtPlace(m_tree, place);
        return CommitAndSave();
    }
}

void EditorCommands::NewCategory() {
    if (!CheckDataLoaded())
        return;
    const std::optional<std::string> text = AskForNewText(texts::kCategoryPrompt);
    if (!text)
        return;
    m_select = m_edits->InsertAt(nullptr, ChildCount(m_tree, nullptr), *text);
    CommitAndSave();
}

void EditorCommands::RestoreBackup() {
    // The tree may have failed to load: the backup is then the way back. The table must be
    // there, or the compile would empty srf_pub.usr.
    if (!m_files.TableLoaded())
        return Notice(texts::kDataNotLoaded);
    // The backups of different content, srf_pub.dat.bak first: a dated copy that holds what
    // srf_pub.dat.bak holds offers nothing to choose.
    std::vector<std::string> lines;
    std::vector<std::optional<std::string>> contents;  // nullopt: listed but unreadable
    std::vector<std::string> seen;
    for (const phrases::BackupEntry& entry : m_files.ListBackups()) {
        std::optional<std::string> bytes = m_files.ReadBackupNamed(entry.name);
        if (!bytes || std::find(seen.begin(), seen.end(), *bytes) != seen.end())
            continue;
        seen.push_back(*bytes);
        lines.push_back(FormatBackupEntry(entry));
        contents.push_back(entry.readable ? std::move(bytes) : std::nullopt);
    }
    if (contents.empty())
        return Notice(texts::kNoBackup);
    std::size_t chosen = 0;
    for (;;) {
        if (contents.size() > 1) {
            const std::optional<int> index =
                m_dialogs.ChooseFromList(texts::kRestoreCaption, lines);
            if (!index)
                return;
            chosen = static_cast<std::size_t>(*index);
        }
        if (contents[chosen])
            break;
        Notice(texts::kBackupNotRestorable);
        if (contents.size() == 1)
            return;
    }
    const std::string backup = std::move(*contents[chosen]);
    const bool overFailedLoad = !m_files.DataLoaded();
    if (m_dialogs.Ask(m_files.KeepsFileApart() ? texts::kRestoreOverUnreadableQuestion
                                               : texts::kRestoreQuestion,
                      texts::kConfirmCaption, BoxKind::Question) != Answer::Ok)
        return;
    m_edits->ReplaceAll(backup);
    m_files.TreeRestored();
    if (!overFailedLoad)
        return CommitAndSave();
    // The tree it replaces is what was read of a file that failed to load: it must never be
    // written, so it is no undo state. The history starts afresh with the restored tree.
    m_edits->TakePending();
    m_history->Clear();
    SaveChanges();
}

void EditorCommands::SetReading(TTreeNode* selected) {
    if (!CheckDataLoaded())
        return;
    if (!selected)
        return Notice(texts::kSelectToModify);
    if (selected->Level() == 0)
        return Notice(texts::kReadingOfCategory);
    const std::string phrase(selected->Text());
    std::string entered = pinyin::ReadingText(ReadingOf(selected).syllables);
    for (;;) {
        char32_t unheld = 0;
        if (!m_dialogs.PromptForText(texts::kInputCaption, texts::kReadingPrompt, entered, unheld))
            return;
        std::vector<pinyin::Syllable> syllables;
        if (phrases::TrimText(entered).empty())
            return m_files.SetReading(phrase, {});  // the table's reading again
        if (!unheld && pinyin::ParseSyllables(entered, syllables)) {
            const pinyin::ReadingProblem problem = pinyin::CheckReading(phrase, syllables);
            if (problem == pinyin::ReadingProblem::None)
                return m_files.SetReading(phrase, syllables);
            Notice(pinyin::ProblemText(problem));
        } else {
            Notice(texts::kReadingInvalid);
        }
    }
}

pinyin::Reading EditorCommands::ReadingOf(const TTreeNode* phrase) {
    pinyin::Reading reading;
    pinyin::LookupReading(phrase->Text(), &m_files.Readings(), reading);
    return reading;
}

StatusState& EditorCommands::CompleteStatus(StatusState& state) {
    state.shortTable = ShortTableNote(m_table);
    state.syncNote = m_syncNote;
    const TTreeNode* node = state.selected;
    if (node && node->Level() > 0) {
        state.reading = ReadingOf(node);
        state.readingSet = m_files.Readings().Find(node->Text()) != nullptr;
    }
    return state;
}

void EditorCommands::Find(const std::string& sought, TTreeNode* from) {
    if (sought.empty())
        return;
    TTreeNode* found = FindNext(m_tree, from, sought);
    if (!found)
        return Notice(texts::kNotFound);
    m_select = found;
}

void EditorCommands::CheckDiskChange() {
    // Also while the data is not loaded: a file that appears or changes then may be the way back.
    if (m_files.ChangedOnDisk()) {
        if (m_dialogs.Ask(texts::kChangedOnDisk, texts::kConfirmCaption, BoxKind::Question) ==
            Answer::Ok)
            Reload();
        else
            m_files.AcceptDiskState();
    }
    // The other computers' changes come in where the other programs' do.
    SyncQuietly();
}

TTreeNode* EditorCommands::TakeSelection() {
    TTreeNode* node = m_select;
    m_select = nullptr;
    return node;
}

bool EditorCommands::CanUndo() const { return m_history->CanUndo(); }

bool EditorCommands::CanRedo() const { return m_history->CanRedo(); }

void EditorCommands::CommitAndSave() {
    m_history->Commit(*m_edits);
    SaveChanges();
}

void EditorCommands::Reload() {
    m_select = nullptr;
    m_history->Clear();
    LoadTree();
    if (m_files.DataLoaded())
        m_files.Compile();
}

bool EditorCommands::SaveChanges() {
    if (m_files.ChangedOnDisk()) {
        if (m_dialogs.Ask(texts::kChangedBeforeSave, texts::kConfirmCaption, BoxKind::Question) ==
            Answer::Ok) {
            Reload();
            return false;
        }
        m_files.AcceptDiskState();
    }
    m_files.SaveAndCompile();
    SyncQuietly();
    return true;
}

bool EditorCommands::Exists(std::string_view text) const {
    for (const TTreeNode* node = m_tree.FirstRoot(); node; node = TTreeNodes::NextNode(node))
        if (node->Text() == text)
            return true;
    return false;
}

void EditorCommands::Notice(const std::string& text) {
    m_dialogs.Ask(text, texts::kNoticeCaption, BoxKind::Notice);
}

bool EditorCommands::CheckDataLoaded() {
    if (m_files.DataLoaded())
        return true;
    Notice(texts::kDataNotLoaded);
    return false;
}

std::optional<std::string> EditorCommands::AskForNewText(const std::string& prompt) {
    std::string entered;
    if (!PromptHoldable(prompt, entered))
        return std::nullopt;
    const std::string_view text = TrimText(entered);
    if (const char* refusal = Refusal(text, texts::kIncorrectInput)) {
        Notice(refusal);
        return std::nullopt;
    }
    return std::string(text);
}

bool EditorCommands::Holdable(char32_t unheld) {
    if (!unheld)
        return true;
    Notice(UnheldCharacterNotice(unheld));
    return false;
}

bool EditorCommands::PromptHoldable(const std::string& prompt, std::string& value) {
    for (;;) {
        char32_t unheld = 0;
        if (!m_dialogs.PromptForText(texts::kInputCaption, prompt, value, unheld))
            return false;
        if (Holdable(unheld))
            return true;
    }
}

const char* EditorCommands::Refusal(std::string_view text, const char* empty) const {
    switch (phrases::CheckStoredText(text, [&](std::string_view t) { return Exists(t); })) {
    case phrases::TextFault::None:
        return nullptr;
    case phrases::TextFault::Empty:
        return empty;
    case phrases::TextFault::Untrimmed:
    case phrases::TextFault::LineBreak:
    case phrases::TextFault::NotGb2312:
        return texts::kIncorrectInput;
    case phrases::TextFault::TooLong:
        return texts::kTooLong;
    case phrases::TextFault::Exists:
        return texts::kAlreadyExists;
    }
    return texts::kIncorrectInput;
}

}  // namespace editor
