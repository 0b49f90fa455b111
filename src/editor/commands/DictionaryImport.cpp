// Import of a file up to the summary; see DictionaryImport.h.
#include "editor/commands/DictionaryImport.h"

#include <algorithm>

#include "DictionaryImportTexts.h"
#include "EditorTexts.h"
#include "TransferTexts.h"
#include "editor/rules/EditHistory.h"
#include "platform/Error.h"

namespace editor {

namespace {

// Ends the progress window however the planning ends.
class ProgressScope {
public:
    ProgressScope(ImportProgress* progress) : m_progress(progress) {
        if (m_progress)
            m_progress->Begin();
    }
    ~ProgressScope() {
        if (m_progress)
            m_progress->End();
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    ImportProgress* m_progress;
};

std::string FillTwice(const char* pattern, const std::string& first, const std::string& second,
                      const std::string& third) {
    std::string text = pattern;
    for (const std::string* value : {&first, &second, &third})
        if (const auto at = text.find("%s"); at != std::string::npos)
            text.replace(at, 2, *value);
    return text;
}

}  // namespace

std::optional<PlannedImport> PlanFileImport(const std::string& path, const std::string& bytes,
                                            phrases::TTreeNode* selected,
                                            const phrases::TTreeNodes& tree,
                                            const phrases::CharacterTable& table,
                                            UserDialogs& dialogs, ImportProgress* progress) {
    PlannedImport planned;
    planned.source = phrases::ReadImportSource(bytes, path);
    const phrases::ImportSource& source = planned.source;
    const std::string selectedCategory =
        selected ? std::string(CategoryOf(selected)->Text()) : std::string();
    const auto notice = [&](const char* text) {
        dialogs.Ask(text, editor::texts::kNoticeCaption, BoxKind::Notice);
        return std::nullopt;
    };
    if (source.format == phrases::SourceFormat::PlainLines) {
        if (!selected)
            return notice(phrases::texts::kPlainLinesNeedCategory);
        planned.category = selectedCategory;
    } else if (phrases::IsDictionary(source.format)) {
        const std::string name = phrases::DictionaryCategoryName(source, path);
        planned.category = name.empty() ? selectedCategory : name;
        if (planned.category.empty())
            return notice(phrases::texts::kPlainLinesNeedCategory);
        if (!name.empty() && selected && name != selectedCategory) {
            // A choice with No the default: Enter keeps the words in the selected category.
            const Answer answer =
                dialogs.Ask(FillTwice(texts::kNewCategoryQuestion, name, name, selectedCategory),
                            editor::texts::kNoticeCaption, BoxKind::Choice);
            if (answer == Answer::No)
                planned.category = selectedCategory;
            else if (answer != Answer::Yes)
                return std::nullopt;
        }
    }

    const std::size_t lines =
        phrases::IsDictionary(source.format)
            ? source.wordLines.size()
            : static_cast<std::size_t>(
                  std::count(source.text.bytes.begin(), source.text.bytes.end(), '\n'));
    ImportProgress* shown = lines > kProgressLines ? progress : nullptr;
    ProgressScope scope(shown);
    phrases::ImportProgressFn step;
    if (shown)
        step = [shown](std::size_t done, std::size_t total) { return shown->Step(done, total); };
    try {
        planned.plan = phrases::PlanSourceImport(tree, source, table, planned.category, step);
    } catch (const phrases::ImportCancelled&) {
        return std::nullopt;
    }
    return planned;
}

std::string ImportQuestion(const PlannedImport& planned) {
    std::string text = phrases::FormatSourceSummary(planned.source, planned.plan);
    if (const std::string refused = phrases::FormatRefusedLines(planned.plan); !refused.empty())
        text += "\n" + refused;
    if (phrases::IsDictionary(planned.source.format))
        text += "\n" + platform::Format(texts::kImportTarget, planned.category);
    return text;
}

}  // namespace editor
