// Local changes found by comparing trees; see TreeDiff.h.
#include "sync/TreeDiff.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "phrases/PhraseRules.h"
#include "sync/PositionKey.h"

namespace synchro {

namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFF;

// Children of each parent in order, the parents numbered by position (the top level last):
// offsets into one array, so a million nodes cost two arrays.
struct Children {
    std::vector<std::uint32_t> begin;  // per parent + 1 (the top level at the end)
    std::vector<std::uint32_t> items;

    void Build(const std::vector<std::uint32_t>& parentOf) {
        const std::size_t count = parentOf.size();
        begin.assign(count + 2, 0);
        for (const std::uint32_t parent : parentOf)
            ++begin[Slot(parent, count) + 1];
        for (std::size_t k = 1; k < begin.size(); ++k)
            begin[k] += begin[k - 1];
        items.resize(count);
        std::vector<std::uint32_t> fill(begin.begin(), begin.end() - 1);
        for (std::uint32_t k = 0; k < count; ++k)
            items[fill[Slot(parentOf[k], count)]++] = k;
    }
    static std::size_t Slot(std::uint32_t parent, std::size_t count) {
        return parent == kNone ? count : parent;
    }
    const std::uint32_t* First(std::uint32_t parent) const {
        return items.data() + begin[Slot(parent, begin.size() - 2)];
    }
    std::uint32_t Size(std::uint32_t parent) const {
        const std::size_t slot = Slot(parent, begin.size() - 2);
        return begin[slot + 1] - begin[slot];
    }
};

// The positions (into values) of a longest strictly increasing subsequence.
std::vector<std::size_t> LongestIncreasing(const std::vector<std::uint32_t>& values) {
    std::vector<std::size_t> tails;  // position of the smallest tail of each length
    std::vector<std::size_t> previous(values.size(), kNone);
    for (std::size_t k = 0; k < values.size(); ++k) {
        const auto at =
            std::lower_bound(tails.begin(), tails.end(), values[k],
                             [&](std::size_t t, std::uint32_t v) { return values[t] < v; });
        if (at != tails.begin())
            previous[k] = *(at - 1);
        if (at == tails.end())
            tails.push_back(k);
        else
            *at = k;
    }
    std::vector<std::size_t> run;
    for (std::size_t k = tails.empty() ? kNone : tails.back(); k != kNone; k = previous[k])
        run.push_back(k);
    std::reverse(run.begin(), run.end());
    return run;
}

// Keys for count nodes in the gap between low and high (either empty: open).
std::vector<std::string> RunKeys(const std::string& low, const std::string& high,
                                 std::size_t count) {
    constexpr std::size_t kSteps = 8;
    std::vector<std::string> keys;
    if (count <= kSteps && high.empty()) {
        std::string at = low;
        for (std::size_t k = 0; k < count; ++k)
            keys.push_back(at = KeyBetween(at, "", KeyBias::NearLow));
        return keys;
    }
    if (count <= kSteps && low.empty()) {
        std::string at = high;
        for (std::size_t k = 0; k < count; ++k)
            keys.push_back(at = KeyBetween("", at, KeyBias::NearHigh));
        std::reverse(keys.begin(), keys.end());
        return keys;
    }
    return KeysBetween(low, high, count);
}

bool KeysFit(const std::vector<std::string>& keys) {
    return std::all_of(keys.begin(), keys.end(),
                       [](const std::string& key) { return key.size() <= kMaxKeyBytes; });
}

class Differ {
public:
    Differ(Replica& replica, const phrases::TTreeNodes& current, const Stamp& stamp,
           std::uint32_t& counter, DiffMode mode, const std::string& computer,
           const std::vector<MergeChange>& merged)
        : m_replica(replica),
          m_stamp(stamp),
          m_counter(counter),
          m_mode(mode),
          m_computer(computer),
          m_merged(merged) {
        ReadBase();
        ReadCurrent(current);
    }

    LocalDiff Run() {
        MatchTexts();
        if (m_mode == DiffMode::Changes && Stale()) {
            m_mode = DiffMode::Join;
            m_diff.stale = true;
            MatchEarlierForms();
        }
        if (m_mode == DiffMode::Changes) {
            MatchRenames();
            WriteRenames();
        }
        if (m_mode == DiffMode::Changes)
            WriteDeletions();
        WritePlaces();
        return std::move(m_diff);
    }

private:
    struct Current {
        const phrases::TTreeNode* node;
        std::uint32_t parent;  // position, kNone for the top level
        std::uint32_t match;   // replica node, kNone while new
    };

    void ReadBase() {
        const auto& shown = m_replica.LastShown();
        m_basePos.assign(m_replica.NodeSlots(), kNone);
        m_baseParent.resize(shown.size());
        m_baseMatched.assign(shown.size(), false);
        std::vector<std::uint32_t> stack;
        for (std::uint32_t p = 0; p < shown.size(); ++p) {
            m_basePos[shown[p].node] = p;
            stack.resize(shown[p].level);
            m_baseParent[p] = stack.empty() ? kNone : stack.back();
            stack.push_back(p);
        }
        m_baseChildren.Build(m_baseParent);
    }

    void ReadCurrent(const phrases::TTreeNodes& current) {
        m_current.reserve(static_cast<std::size_t>(current.NodeCount()));
        std::vector<std::uint32_t> stack;
        std::vector<std::uint32_t> parents;
        parents.reserve(static_cast<std::size_t>(current.NodeCount()));
        current.ForEachNode([&](const phrases::TTreeNode& node, int level) {
            stack.resize(static_cast<std::size_t>(level));
            const std::uint32_t parent = stack.empty() ? kNone : stack.back();
            stack.push_back(static_cast<std::uint32_t>(m_current.size()));
            m_current.push_back({&node, parent, kNone});
            parents.push_back(parent);
        });
        m_currentChildren.Build(parents);
    }

    std::string_view BaseText(std::uint32_t pos) const {
        return m_replica.TextOf(m_replica.LastShown()[pos].node);
    }

    void Match(std::uint32_t k, std::uint32_t pos) {
        m_current[k].match = m_replica.LastShown()[pos].node;
        m_baseMatched[pos] = true;
    }

    // Same texts: first the next node of the old tree (a tree mostly unchanged costs a
    // comparison a node), else by the index of texts.
    void MatchTexts() {
        std::uint32_t cursor = 0;
        const std::uint32_t baseSize = static_cast<std::uint32_t>(m_baseParent.size());
        for (std::uint32_t k = 0; k < m_current.size(); ++k) {
            const std::string_view text = m_current[k].node->Text();
            if (cursor < baseSize && !m_baseMatched[cursor] && BaseText(cursor) == text) {
                Match(k, cursor++);
                continue;
            }
            const std::uint32_t found = m_replica.FindText(text);
            if (found == kNoNode || m_basePos[found] == kNone || m_baseMatched[m_basePos[found]])
                continue;
            Match(k, m_basePos[found]);
            cursor = m_basePos[found] + 1;
        }
    }

    // The unmatched current nodes by text.
    std::unordered_map<std::string_view, std::uint32_t> Unmatched() const {
        std::unordered_map<std::string_view, std::uint32_t> unmatched;
        for (std::uint32_t k = 0; k < m_current.size(); ++k)
            if (m_current[k].match == kNone)
                unmatched.emplace(m_current[k].node->Text(), k);
        return unmatched;
    }

    // Whether current is the tree from before the last merge. Evidence for it: the earlier texts
    // of nodes the merge renamed or removed are there (strong), the nodes it added are missing
    // (weak: the user may have deleted them); against it: the merge's texts are there.
    bool Stale() {
        if (m_merged.empty())
            return false;
        const auto unmatched = Unmatched();
        int after = 0;
        int strong = 0;
        int weak = 0;
        for (const MergeChange& change : m_merged) {
            const bool shown = change.node < m_basePos.size() && m_basePos[change.node] != kNone;
            // Only a node whose text the merge changed (added, removed, renamed) tells the trees
            // apart by its texts; one it only moved is in both.
            if (change.before == (shown ? m_replica.TextOf(change.node) : std::string_view()))
                continue;
            if (shown && m_baseMatched[m_basePos[change.node]])
                ++after;
            else if (!change.before.empty() && unmatched.count(change.before))
                ++strong;
            else if (shown && change.before.empty())
                ++weak;
        }
        return strong > after || (strong == 0 && weak > 4 * after);
    }

    // In a tree of before the merge, a node's earlier text stands for that node.
    void MatchEarlierForms() {
        auto unmatched = Unmatched();
        for (const MergeChange& change : m_merged) {
            if (change.before.empty() || change.node >= m_replica.NodeSlots() ||
                m_replica.LifeOf(change.node) == Life::Unknown)
                continue;
            const auto found = unmatched.find(change.before);
            if (found == unmatched.end())
                continue;
            const std::uint32_t pos =
                m_basePos[change.node] == kNone ? kNone : m_basePos[change.node];
            if (pos != kNone && m_baseMatched[pos])
                continue;
            m_current[found->second].match = change.node;
            if (pos != kNone)
                m_baseMatched[pos] = true;
            unmatched.erase(found);
        }
    }

    // The base parent position of the node of current position k's parent; kNone for the top
    // level; returns false when that parent is new.
    bool BaseParentOf(std::uint32_t k, std::uint32_t& pos) const {
        const std::uint32_t parent = m_current[k].parent;
        if (parent == kNone) {
            pos = kNone;
            return true;
        }
        const std::uint32_t match = m_current[parent].match;
        if (match == kNone || m_basePos[match] == kNone)
            return false;
        pos = m_basePos[match];
        return true;
    }

    // A new text at the place of a vanished one is that node renamed (the editor's Modify). The
    // place is taken between the neighbours both trees hold: within each gap between such
    // siblings, the vanished nodes and the new ones pair in order, so a deletion or an insertion
    // elsewhere among the siblings does not shift the pairs. Parents come first, so that the
    // children of a renamed category are found at their places too.
    void MatchRenames() {
        std::vector<std::uint32_t> newOnes;
        std::vector<std::uint32_t> vanished;
        for (std::uint32_t parent = 0; parent <= m_current.size(); ++parent) {
            const std::uint32_t parentPos = parent == 0 ? kNone : parent - 1;
            const std::uint32_t size = m_currentChildren.Size(parentPos);
            if (size == 0)
                continue;
            const std::uint32_t* children = m_currentChildren.First(parentPos);
            std::uint32_t base = kNone;
            if (!BaseParentOf(children[0], base))
                continue;
            const std::uint32_t baseSize = m_baseChildren.Size(base);
            const std::uint32_t* baseChildren = m_baseChildren.First(base);
            // The index among the base siblings of each node here, for the anchors.
            std::uint32_t baseAt = 0;
            for (std::uint32_t s = 0; s <= size; ++s) {
                std::uint32_t anchor = baseSize;  // the end closes the last gap
                if (s < size) {
                    const std::uint32_t match = m_current[children[s]].match;
                    if (match == kNone || match >= m_basePos.size() || m_basePos[match] == kNone ||
                        m_baseParent[m_basePos[match]] != base) {
                        if (match == kNone)
                            newOnes.push_back(children[s]);
                        continue;
                    }
                    anchor = IndexAmong(baseChildren, baseSize, m_basePos[match], baseAt);
                    if (anchor == kNone)
                        continue;  // out of order: no anchor
                }
                for (std::uint32_t b = baseAt; b < anchor; ++b)
                    if (!m_baseMatched[baseChildren[b]])
                        vanished.push_back(baseChildren[b]);
                for (std::size_t k = 0; k < newOnes.size() && k < vanished.size(); ++k)
                    Match(newOnes[k], vanished[k]);
                newOnes.clear();
                vanished.clear();
                baseAt = anchor + 1;
            }
        }
    }

    // The index of pos among the base siblings at or after from; kNone when it is not there.
    static std::uint32_t IndexAmong(const std::uint32_t* siblings, std::uint32_t size,
                                    std::uint32_t pos, std::uint32_t from) {
        // Siblings are in tree order, so positions ascend: a binary search.
        const std::uint32_t* found = std::lower_bound(siblings + from, siblings + size, pos);
        return found != siblings + size && *found == pos
                   ? static_cast<std::uint32_t>(found - siblings)
                   : kNone;
    }

    bool KeepHere(std::string_view text) {
        const phrases::TextFault fault = phrases::CheckStoredText(text);
        if (fault == phrases::TextFault::None)
            return false;
        m_diff.kept.push_back({std::string(text), m_computer, fault, true});
        return true;
    }

    void WriteRenames() {
        m_renamed.assign(m_current.size(), false);
        for (std::uint32_t k = 0; k < m_current.size(); ++k) {
            const Current& current = m_current[k];
            if (current.match == kNone)
                continue;
            const std::string_view text = current.node->Text();
            if (m_replica.TextOf(current.match) == text)
                continue;
            m_replica.WriteText(current.match, text, m_stamp, KeepHere(text));
            ++m_diff.changed;
            m_renamed[k] = true;
        }
    }

    void WriteDeletions() {
        const auto& shown = m_replica.LastShown();
        for (std::uint32_t p = 0; p < shown.size(); ++p) {
            if (m_baseMatched[p])
                continue;
            m_replica.WriteLife(shown[p].node, Life::Deleted, kNoNode, m_stamp);
            ++m_diff.deleted;
        }
    }

    // The replica node a current position stands for, kRootNode for the top level.
    std::uint32_t NodeOf(std::uint32_t k) const {
        return k == kNone ? kRootNode : m_current[k].match;
    }

    // The parent a node had in the old tree (kRootNode for the top level), or kNoNode when it
    // was not shown there.
    std::uint32_t BaseParentNode(std::uint32_t node) const {
        const std::uint32_t pos = node < m_basePos.size() ? m_basePos[node] : kNone;
        if (pos == kNone)
            return kNoNode;
        const std::uint32_t parent = m_baseParent[pos];
        return parent == kNone ? kRootNode : m_replica.LastShown()[parent].node;
    }

    // True when the parent's children are the same nodes in the same order as before.
    bool Unchanged(std::uint32_t parentNode, const std::uint32_t* children, std::uint32_t size) {
        if (parentNode != kRootNode &&
            (parentNode >= m_basePos.size() || m_basePos[parentNode] == kNone))
            return false;  // a new node, or one not shown before
        const std::uint32_t basePos = parentNode == kRootNode ? kNone : m_basePos[parentNode];
        if (m_baseChildren.Size(basePos) != size)
            return false;
        const std::uint32_t* base = m_baseChildren.First(basePos);
        const auto& shown = m_replica.LastShown();
        for (std::uint32_t s = 0; s < size; ++s)
            if (m_current[children[s]].match != shown[base[s]].node)
                return false;
        return true;
    }

    void WritePlaces() {
        std::vector<std::uint32_t> ordered;
        std::vector<std::uint32_t> values;
        std::vector<bool> kept;
        std::vector<std::uint32_t> shownKeys;
        for (std::uint32_t parent = 0; parent <= m_current.size(); ++parent) {
            // The top level first, then each node's children in tree order: a parent is made
            // before its children.
            const std::uint32_t parentPos = parent == 0 ? kNone : parent - 1;
            const std::uint32_t size = m_currentChildren.Size(parentPos);
            if (size == 0)
                continue;
            const std::uint32_t* children = m_currentChildren.First(parentPos);
            const std::uint32_t parentNode = NodeOf(parentPos);
            if (m_mode == DiffMode::Changes && Unchanged(parentNode, children, size))
                continue;

            // Which children keep their positions.
            kept.assign(size, false);
            if (m_mode == DiffMode::Changes) {
                ordered.clear();
                values.clear();
                for (std::uint32_t s = 0; s < size; ++s) {
                    const std::uint32_t node = m_current[children[s]].match;
                    if (node != kNone && BaseParentNode(node) == parentNode) {
                        ordered.push_back(s);
                        values.push_back(m_basePos[node]);
                    }
                }
                for (const std::size_t at : LongestIncreasing(values))
                    kept[ordered[at]] = true;
            } else {
                for (std::uint32_t s = 0; s < size; ++s)
                    kept[s] = m_current[children[s]].match != kNone;
            }
            if (!PlaceRuns(parentNode, children, size, kept))
                Rekey(parentNode, children, size, kept);
        }
    }

    // Keys grew too long: every child of this parent takes a fresh one, those kept only to make
    // room.
    void Rekey(std::uint32_t parentNode, const std::uint32_t* children, std::uint32_t size,
               const std::vector<bool>& kept) {
        const std::vector<std::string> keys = KeysBetween("", "", size);
        for (std::uint32_t k = 0; k < size; ++k)
            Place(children[k], parentNode, keys[k], !kept[k]);
    }

    // The key above low among the parent's children now, for the join: new nodes go between a
    // node and whatever follows it.
    std::string NextKey(std::uint32_t parentNode, const std::string& low) {
        m_replica.ShownChildren(parentNode, m_siblings);
        std::string next;
        for (const std::uint32_t sibling : m_siblings) {
            const std::string_view key = m_replica.KeyOf(sibling);
            if (key > low && m_replica.LifeOf(sibling) == Life::Alive &&
                (next.empty() || key < next))
                next = std::string(key);
        }
        return next;
    }

    // Gives the children that are not kept their places, run by run between kept ones. Two
    // siblings may share a key (added at one place on two computers at once, told apart by
    // their ids): a run between them takes the second one and those after it that are not above
    // the first, which are given new keys as well. Returns false, writing nothing for the run,
    // when a run's keys would grow too long.
    bool PlaceRuns(std::uint32_t parentNode, const std::uint32_t* children, std::uint32_t size,
                   const std::vector<bool>& kept) {
        std::string low;
        for (std::uint32_t s = 0; s < size;) {
            if (kept[s]) {
                low = std::string(m_replica.KeyOf(m_current[children[s]].match));
                ++s;
                continue;
            }
            std::uint32_t end = s;
            while (end < size &&
                   (!kept[end] || (m_mode == DiffMode::Changes &&
                                   m_replica.KeyOf(m_current[children[end]].match) <= low)))
                ++end;
            std::string high;
            if (m_mode == DiffMode::Join)
                high = NextKey(parentNode, low);
            else if (end < size)
                high = std::string(m_replica.KeyOf(m_current[children[end]].match));
            const std::vector<std::string> keys = RunKeys(low, high, end - s);
            if (!KeysFit(keys))
                return false;
            for (std::uint32_t k = s; k < end; ++k)
                Place(children[k], parentNode, keys[k - s], !kept[k]);
            low = keys.back();
            s = end;
        }
        return true;
    }

    // moved: the user put it here; otherwise it only makes room.
    void Place(std::uint32_t k, std::uint32_t parentNode, const std::string& key, bool moved) {
        Current& current = m_current[k];
        if (current.match == kNone) {
            const std::string_view text = current.node->Text();
            const NodeId id{m_stamp.by, ++m_counter};
            current.match = m_replica.AddNode(id, text, parentNode, key, m_stamp, KeepHere(text));
            ++m_diff.added;
            return;
        }
        if (m_mode == DiffMode::Join)
            return;  // a shared node stays where the others put it
        if (m_replica.ParentOf(current.match) == parentNode &&
            m_replica.KeyOf(current.match) == key)
            return;
        // Only a move to another parent is a change of the node itself, which brings it back from
        // a deletion made meanwhile elsewhere: within its parent, which node of a reorder moved
        // is not known (one moved down or the next one up give the same order).
        const bool toAnotherParent = BaseParentNode(current.match) != parentNode;
        m_replica.WritePlace(current.match, parentNode, key, m_stamp, moved && toAnotherParent);
        if (moved && !m_renamed[k])
            ++m_diff.changed;
    }

    Replica& m_replica;
    const Stamp m_stamp;
    std::uint32_t& m_counter;
    DiffMode m_mode;
    const std::string& m_computer;
    const std::vector<MergeChange>& m_merged;

    std::vector<std::uint32_t> m_basePos;  // per replica node: its position in the old tree
    std::vector<std::uint32_t> m_baseParent;
    std::vector<bool> m_baseMatched;
    Children m_baseChildren;
    std::vector<Current> m_current;
    Children m_currentChildren;
    std::vector<bool> m_renamed;  // per current position: not counted again when moved
    std::vector<std::uint32_t> m_siblings;
    LocalDiff m_diff;
};

}  // namespace

LocalDiff ApplyLocalChanges(Replica& replica, const phrases::TTreeNodes& current,
                            const Stamp& stamp, std::uint32_t& counter, DiffMode mode,
                            const std::string& computer, const std::vector<MergeChange>& merged) {
    return Differ(replica, current, stamp, counter, mode, computer, merged).Run();
}

}  // namespace synchro
