// Several phrases chosen; see PhraseChoice.h.
#include "editor/rules/PhraseChoice.h"

#include <algorithm>

namespace editor {

using phrases::TTreeNode;

void PhraseChoice::Toggle(TTreeNode* phrase, TTreeNode* selected) {
    std::vector<TTreeNode*> nodes = m_nodes;
    if (nodes.empty() && selected && selected->Level() > 0)
        nodes.push_back(selected);
    if (const auto at = std::find(nodes.begin(), nodes.end(), phrase); at != nodes.end())
        nodes.erase(at);
    else
        nodes.push_back(phrase);
    Set(std::move(nodes));
    m_anchor = phrase;
}

void PhraseChoice::Extend(TTreeNode* phrase, TTreeNode* selected,
                          const std::vector<TTreeNode*>& shownPhrasesOfCategory) {
    const auto& phrases = shownPhrasesOfCategory;
    auto to = std::find(phrases.begin(), phrases.end(), phrase);
    if (to == phrases.end())
        return;
    auto from = std::find(phrases.begin(), phrases.end(), m_anchor);
    if (from == phrases.end())
        from = std::find(phrases.begin(), phrases.end(), selected);
    if (from == phrases.end())
        from = to;
    TTreeNode* anchor = *from;
    if (from > to)
        std::swap(from, to);
    Set({from, to + 1});
    m_anchor = anchor;  // further runs count from it
}

TTreeNode* PhraseChoice::Step(TTreeNode* selected, int step,
                              const std::vector<TTreeNode*>& shownPhrasesOfCategory) {
    const auto& phrases = shownPhrasesOfCategory;
    const auto at = std::find(phrases.begin(), phrases.end(), selected);
    if (at == phrases.end())
        return nullptr;
    const auto index = (at - phrases.begin()) + step;
    if (index < 0 || index >= static_cast<std::ptrdiff_t>(phrases.size()))
        return nullptr;
    TTreeNode* next = phrases[static_cast<std::size_t>(index)];
    Extend(next, selected, phrases);
    return next;
}

void PhraseChoice::ChooseAll(std::vector<TTreeNode*> phrases) { Set(std::move(phrases)); }

bool PhraseChoice::Clear() {
    const bool had = !m_nodes.empty();
    Set({});
    return had;
}

void PhraseChoice::Set(std::vector<TTreeNode*> nodes) {
    if (nodes.empty())
        m_anchor = nullptr;  // it may be gone with the choice
    m_nodes = std::move(nodes);
    m_set = {m_nodes.begin(), m_nodes.end()};
}

}  // namespace editor
