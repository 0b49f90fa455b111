// Phrase health; see PhraseHealth.h.
#include "editor/rules/PhraseHealth.h"

#include <algorithm>
#include <cstdio>

#include "EditorTexts.h"

namespace editor {

using phrases::PhraseStatus;
using phrases::PhraseVerdict;
using phrases::TTreeNode;

std::vector<const TTreeNode*> PhraseHealth::Update(const phrases::TTreeNodes& tree,
                                                   const phrases::CompileReport& report) {
    std::unordered_map<const TTreeNode*, PhraseVerdict> leftOut;
    leftOut.reserve(report.leftOutPhrases.size());
    // The report names left-out phrases by absolute index, in rising order: one walk finds them.
    auto next = report.leftOutPhrases.begin();
    int index = 0;
    if (next != report.leftOutPhrases.end()) {
        tree.ForEachNode([&](const TTreeNode& node, int) {
            if (next != report.leftOutPhrases.end() && next->index == index) {
                leftOut.emplace(&node, next->verdict);
                ++next;
            }
            ++index;
        });
    }
    std::vector<const TTreeNode*> changed;
    for (const auto& [node, verdict] : leftOut)
        if (!m_leftOut.count(node))
            changed.push_back(node);
    for (const auto& [node, verdict] : m_leftOut)
        if (!leftOut.count(node))
            changed.push_back(node);
    m_leftOut = std::move(leftOut);
    m_counts = report;
    m_counts.leftOutPhrases.clear();
    m_known = true;
    return changed;
}

void PhraseHealth::Forget(const TTreeNode* node) {
    if (m_leftOut.empty())
        return;
    // Walked in order up to the node after the subtree: no recursion.
    const TTreeNode* end = node;
    while (end && !end->NextSibling())
        end = end->Parent();
    end = end ? end->NextSibling() : nullptr;
    for (const TTreeNode* gone = node; gone != end; gone = phrases::TTreeNodes::NextNode(gone))
        m_leftOut.erase(gone);
}

void PhraseHealth::Clear() {
    m_leftOut.clear();
    m_counts = {};
    m_known = false;
}

const PhraseVerdict* PhraseHealth::LeftOut(const TTreeNode* node) const {
    const auto found = m_leftOut.find(node);
    return found == m_leftOut.end() ? nullptr : &found->second;
}

std::string CountsText(const phrases::CompileReport& counts) {
    const auto part = [](const char* label, int value) { return label + std::to_string(value); };
    return part(texts::kCountCategories, counts.categories) + "  " +
           part(texts::kCountPhrases, counts.phrases) + "  " +
           part(texts::kCountCompiled, counts.compiled) + "  " +
           part(texts::kCountLeftOut, counts.leftOut);
}

namespace {

// The pair as it can be shown: a double-byte character as itself, other bytes as printable
// ASCII or as a hex escape.
std::string ShownPair(unsigned char lead, unsigned char trail) {
    if (lead >= 0xA1 && lead <= 0xFE && trail >= 0xA1 && trail <= 0xFE)
        return {static_cast<char>(lead), static_cast<char>(trail)};
    std::string shown;
    for (unsigned char byte : {lead, trail}) {
        if (byte >= 0x21 && byte <= 0x7E) {
            shown += static_cast<char>(byte);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            shown += hex;
        }
    }
    return shown;
}

}  // namespace

std::string LeftOutReason(const PhraseVerdict& verdict) {
    switch (verdict.status) {
    case PhraseStatus::Compiled:
        return {};
    case PhraseStatus::Empty:
        return texts::kReasonEmpty;
    case PhraseStatus::OddLength:
        return texts::kReasonOddLength;
    case PhraseStatus::SingleCharacter:
        return texts::kReasonSingleCharacter;
    case PhraseStatus::TooLong:
        return texts::kReasonTooLongBefore + std::to_string(phrases::kMaxPhraseCharacters) +
               texts::kReasonTooLongAfter;
    case PhraseStatus::MissingCharacter: {
        std::string reason = texts::kReasonMissingStart +
                             ShownPair(verdict.missingLead, verdict.missingTrail) +
                             texts::kReasonMissingEnd;
        // A half-width character shifts the pairs after it; say so, as it is the usual cause.
        if (verdict.missingLead < 0x80 || verdict.missingTrail < 0x80)
            reason += texts::kReasonHalfWidth;
        return reason;
    }
    }
    return {};
}

}  // namespace editor
