// The filter of the phrase editor; see PhraseFilter.h.
#include "editor/rules/PhraseFilter.h"

#include <unordered_set>

#include "pinyin/PinyinMatch.h"

namespace editor {

using phrases::TTreeNode;

namespace {

// ContainsText with the sought text prepared once: a candidate is found by its first byte (the
// library's search, or one compare per byte for a letter in either case) before the rest is
// compared, the way a plain scan goes. Equal to ContainsText in every result.
class Matcher {
public:
    explicit Matcher(std::string_view sought)
        : m_sought(sought),
          m_first(sought.empty() ? '\0' : sought.front()),
          m_firstIsLetter(IsLetter(m_first)) {}

    bool Matches(std::string_view text) const {
        std::size_t boundary = 0;  // a character boundary at or before every candidate left
        for (std::size_t at = 0;; ++at) {
            at = FindFirst(text, at);
            if (at == std::string_view::npos || text.size() - at < m_sought.size())
                return false;
            // A lead byte and its trail byte make one character: step over both, as Find does.
            while (boundary < at)
                boundary +=
                    static_cast<unsigned char>(text[boundary]) >= 0x80 && boundary + 1 < text.size()
                        ? 2
                        : 1;
            if (boundary == at && SameFolded(text.substr(at, m_sought.size())))
                return true;
        }
    }

private:
    static bool IsLetter(char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

    std::size_t FindFirst(std::string_view text, std::size_t from) const {
        if (!m_firstIsLetter)
            return text.find(m_first, from);
        const char lower = static_cast<char>(m_first | 0x20);
        for (std::size_t at = from; at < text.size(); ++at)
            if ((text[at] | 0x20) == lower)
                return at;
        return std::string_view::npos;
    }

    bool SameFolded(std::string_view candidate) const {
        for (std::size_t k = 0; k < m_sought.size(); ++k) {
            const char a = candidate[k];
            const char b = m_sought[k];
            if (a != b && !(IsLetter(a) && (a ^ 0x20) == b))
                return false;
        }
        return true;
    }

    std::string_view m_sought;
    char m_first;
    bool m_firstIsLetter;
};

}  // namespace

FilterResult FilterTree(const phrases::TTreeNodes& tree, std::string_view sought, FilterRule rule) {
    FilterResult result;
    const Matcher matcher(sought);
    const pinyin::PinyinQuery pinyin(rule == FilterRule::TextOrPinyin ? sought : "");
    // Pinyin of letters alone finds whatever the text test finds, and more.
    const bool testText = !pinyin.LettersOnly();
    // The path from the root down to the node being visited; the first shownDepth of them are
    // shown already (a shown node's ancestors always are).
    std::vector<const TTreeNode*> path;
    std::size_t shownDepth = 0;
    int matchedLevel = -1;  // the highest level on the path whose own text holds sought; -1: none
    const auto show = [&](const TTreeNode* node, int level) {
        result.shown.push_back(node);
        ++(level == 0 ? result.counts.categories : result.counts.phrases);
    };
    tree.ForEachNode([&](const TTreeNode& node, int level) {
        if (level > 0)
            ++result.counts.totalPhrases;
        path.resize(static_cast<std::size_t>(level));
        if (shownDepth > path.size())
            shownDepth = path.size();
        if (matchedLevel >= level)
            matchedLevel = -1;
        // Below a matching node everything shows: its descendants need no test.
        if (matchedLevel < 0 && (sought.empty() || (testText && matcher.Matches(node.Text())) ||
                                 (pinyin.IsPinyin() && pinyin.Matches(node.Text()))))
            matchedLevel = level;
        path.push_back(&node);
        if (matchedLevel >= 0) {
            // Ancestors not shown yet come first; nothing beneath them was shown before, so the
            // order stays the tree's.
            for (; shownDepth < path.size(); ++shownDepth)
                show(path[shownDepth], static_cast<int>(shownDepth));
        }
    });
    return result;
}

bool HidesAny(const FilterResult& result, const std::vector<const phrases::TTreeNode*>& nodes) {
    if (nodes.empty())
        return false;
    std::unordered_set<const phrases::TTreeNode*> missing(nodes.begin(), nodes.end());
    for (const phrases::TTreeNode* shown : result.shown)
        if (missing.erase(shown) && missing.empty())
            return false;
    return !missing.empty();
}

std::optional<FilterResult> FilterState::Apply(const phrases::TTreeNodes& tree,
                                               std::string_view text) {
    m_hidesInserted = false;
    m_active = !text.empty();
    if (!m_active) {
        m_inserted.clear();
        return std::nullopt;
    }
    FilterResult result = FilterTree(tree, text);
    m_counts = result.counts;
    m_hidesInserted = HidesAny(result, m_inserted);
    m_inserted.clear();
    return result;
}

void FilterState::NodeInserted(phrases::TTreeNode* node) {
    if (m_active)
        m_inserted.push_back(node);
}

void FilterState::NodeDeleting(phrases::TTreeNode* node) { std::erase(m_inserted, node); }

}  // namespace editor
