// Export and Import, the commands of EditorCommands that reach files of the user's choice; see
// PhraseTransfer.h.
#include "editor/commands/PhraseTransfer.h"

#include <ctime>
#include <unordered_map>
#include <vector>

#include "EditorTexts.h"
#include "TransferTexts.h"
#include "editor/rules/EditHistory.h"
#include "phrases/TextEncoding.h"
#include "phrases/TreeFile.h"
#include "pinyin/DictionaryExport.h"
#include "platform/FileStamp.h"
#include "platform/FileSystem.h"

namespace editor {

namespace {

using phrases::ImportPlan;
using phrases::TTreeNode;
using phrases::TTreeNodes;

// The tree as it will be after the merge, as the bytes of its file. The plan points into tree;
// the copy's categories are found by their place among the roots.
std::string MergedTreeFile(const TTreeNodes& tree, const ImportPlan& plan) {
    TTreeNodes copy;
    phrases::ParseTree(copy, phrases::FormatTree(tree));
    std::unordered_map<const TTreeNode*, TTreeNode*> copyOf;
    for (TTreeNode *node = tree.FirstRoot(), *twin = copy.FirstRoot(); node && twin;
         node = node->NextSibling(), twin = twin->NextSibling())
        copyOf.emplace(node, twin);
    ImportPlan onCopy = plan;
    for (phrases::ImportCategory& category : onCopy.categories)
        if (category.node)
            category.node = copyOf.at(category.node);
    phrases::ApplyImport(copy, onCopy);
    return phrases::FormatTree(copy);
}

}  // namespace

TTreeNode* MergeImport(TreeEditor& edits, const ImportPlan& plan, std::size_t maxInsertsOneByOne) {
    if (plan.inserts.empty())
        return nullptr;
    TTreeNodes& tree = edits.Tree();
    if (plan.inserts.size() > maxInsertsOneByOne) {
        edits.ReplaceAll(MergedTreeFile(tree, plan));
        return nullptr;
    }
    std::vector<TTreeNode*> categories;
    for (const phrases::ImportCategory& category : plan.categories)
        categories.push_back(category.node);
    int roots = ChildCount(tree, nullptr);
    std::unordered_map<const TTreeNode*, int> children;  // counted once per category
    TTreeNode* first = nullptr;
    for (const phrases::ImportInsert& insert : plan.inserts) {
        TTreeNode*& category = categories.at(static_cast<std::size_t>(insert.category));
        TTreeNode* node = nullptr;
        if (insert.isCategory) {
            node = category = edits.InsertAt(nullptr, roots++, insert.text);
            children.emplace(node, 0);
        } else {
            auto count = children.try_emplace(category, 0);
            if (count.second)
                count.first->second = ChildCount(tree, category);
            node = edits.InsertAt(category, count.first->second++, insert.text);
        }
        if (!first)
            first = node;
    }
    return first;
}

void EditorCommands::Export(TTreeNode* selected) {
    if (!CheckDataLoaded())
        return;
    const std::optional<ExportTarget> target = m_fileDialogs.ChooseExportFile();
    if (!target)
        return;
    // The name is checked before any question: the editor's own files are never offered to replace.
    if (m_files.IsOwnFile(target->path))
        return Notice(texts::kExportToOwnFile);
    if (platform::StampOf(target->path).exists &&
        m_dialogs.Ask(target->path + texts::kReplaceQuestion, texts::kConfirmCaption,
                      BoxKind::Question) != Answer::Ok)
        return;
    if (target->dictionary)
        return ExportDictionary(*target, selected);
    phrases::ExportTreeToFile(target->path, m_tree, target->encoding);
}

void EditorCommands::ExportDictionary(const ExportTarget& target, TTreeNode* selected) {
    const pinyin::ExportFormatInfo* format = nullptr;
    for (const pinyin::ExportFormatInfo& info : pinyin::ExportFormats())
        if (info.format == *target.dictionary)
            format = &info;
    if (!format)
        return;
    pinyin::ExportOptions options;
    options.readings = &m_files.Readings();
    options.timestamp = static_cast<std::uint32_t>(std::time(nullptr));
    // A target without categories takes the selected one alone when the user says so.
    if (!format->keepsCategories && selected) {
        const TTreeNode* category = CategoryOf(selected);
        switch (m_dialogs.Ask(std::string(texts::kExportCategoryStart) +
                                  std::string(category->Text()) + texts::kExportCategoryEnd,
                              texts::kConfirmCaption, BoxKind::Choice)) {
        case Answer::Yes:
            options.category = category;
            break;
        case Answer::No:
            break;
        default:
            return;
        }
    }
    const pinyin::DictionaryExportPlan plan =
        pinyin::PlanDictionaryExport(m_tree, format->format, options);
    if (!plan.notes.empty()) {
        std::string question = texts::kExportCountStart + std::to_string(plan.entries.size()) +
                               texts::kExportCountEnd + "\n" + texts::kExportNotesHeading;
        constexpr std::size_t kListed = 10;
        for (std::size_t k = 0; k < plan.notes.size() && k < kListed; ++k)
            question += "\n" + plan.notes[k].Text();
        if (plan.notes.size() > kListed)
            question += "\n" + std::string(texts::kBatchMoreLines);
        if (m_dialogs.Ask(question + "\n" + texts::kExportQuestion, texts::kConfirmCaption,
                          BoxKind::Question) != Answer::Ok)
            return;
    }
    platform::ReplaceFileSafely(target.path, pinyin::WriteDictionary(plan, options).bytes);
}

void EditorCommands::Import(TTreeNode* selected) {
    if (!CheckDataLoaded())
        return;
    const std::optional<std::string> path = m_fileDialogs.ChooseImportFile();
    if (!path)
        return;
    const std::optional<PlannedImport> planned =
        PlanFileImport(*path, platform::ReadWholeFile(*path), selected, m_tree, m_table, m_dialogs,
                       m_progress);
    if (!planned)
        return;
    const ImportPlan& plan = planned->plan;
    const std::string summary = ImportQuestion(*planned);
    if (!plan.HasChanges())
        return Notice(summary + "\n" + phrases::texts::kNothingToImport);
    if (m_dialogs.Ask(summary + "\n" + phrases::texts::kImportQuestion, texts::kNoticeCaption,
                      BoxKind::Question) != Answer::Ok)
        return;
    TTreeNode* first = MergeImport(Edits(), plan);
    // Held as a place: the save may read srf_pub.dat again, when another program has written it.
    const TreePlace place = first ? PlaceOf(first) : TreePlace();
    CommitAndSave();
    m_select = place.empty() ? nullptr : NodeAtPlace(m_tree, place);
}

}  // namespace editor
