// The merged registers and their indexes; see Replica.h.
#include "sync/Replica.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "phrases/ShortCopy.h"
#include "phrases/TreeFile.h"
#include "sync/Hash.h"

namespace synchro {

namespace {

bool Concurrent(Clock incomingPred, Clock incoming, Clock currentPred, Clock current) {
    // Neither writer had the other's value when it wrote.
    return incomingPred < current && currentPred < incoming;
}

}  // namespace

Replica::Replica() { m_lists.emplace_back(); }

std::uint32_t Replica::MemberIndex(std::uint64_t id) {
    const std::uint32_t found = FindMember(id);
    if (found != kNoNode)
        return found;
    Member member;
    member.id = id;
    m_members.push_back(std::move(member));
    return static_cast<std::uint32_t>(m_members.size() - 1);
}

std::uint32_t Replica::FindMember(std::uint64_t id) const {
    for (std::uint32_t k = 0; k < m_members.size(); ++k)
        if (m_members[k].id == id)
            return k;
    return kNoNode;
}

bool Replica::Before(const Stamp& a, const Stamp& b) const {
    if (a.clock != b.clock)
        return a.clock < b.clock;
    return m_members[a.by].id < m_members[b.by].id;
}

bool Replica::IdBefore(NodeId a, NodeId b) const {
    const std::uint64_t left = m_members[a.origin].id;
    const std::uint64_t right = m_members[b.origin].id;
    return left != right ? left < right : a.counter < b.counter;
}

std::uint32_t Replica::Find(NodeId id) const { return m_ids.Find(id.origin, id.counter); }

std::string_view Replica::TextOf(std::uint32_t node) const {
    return {m_arena.data() + m_nodes[node].textAt, m_nodes[node].textSize};
}

std::string_view Replica::KeyOf(std::uint32_t node) const {
    return {m_arena.data() + m_nodes[node].keyAt, m_nodes[node].keySize};
}

std::uint32_t Replica::ShownParent(std::uint32_t node) const {
    std::uint32_t parent = m_nodes[node].parent;
    // Merges always go to a larger id, so the chain ends.
    while (parent < kRootNode && m_nodes[parent].life == Life::Merged)
        parent = m_nodes[parent].mergedInto;
    return parent;
}

std::uint32_t Replica::FindText(std::string_view text) const {
    return m_texts.FindIf(Hash64(text), [&](std::uint32_t n) { return TextOf(n) == text; });
}

Record Replica::RecordOf(std::uint32_t n) const {
    const Node& node = m_nodes[n];
    Record record;
    record.id = IdOf(n);
    record.text = TextOf(n);
    record.textStamp = {node.textClock, node.textBy};
    record.textPred = node.textPred;
    record.atRoot = node.parent == kRootNode;
    if (!record.atRoot)
        record.parent = IdOf(node.parent);
    record.key = KeyOf(n);
    record.placeStamp = {node.placeClock, node.placeBy};
    record.placePred = node.placePred;
    record.life = node.life;
    if (node.life == Life::Merged)
        record.mergedInto = IdOf(node.mergedInto);
    record.lifeStamp = {node.lifeClock, node.lifeBy};
    record.lifePred = node.lifePred;
    record.localOnly = node.flags & kLocalOnly;
    record.touched = node.flags & kTouched;
    return record;
}

std::uint32_t Replica::NewSlot(NodeId id) {
    std::uint32_t n;
    if (!m_freeNodes.empty()) {
        n = m_freeNodes.back();
        m_freeNodes.pop_back();
    } else {
        if (m_nodes.size() >= kRootNode)
            throw std::length_error("too many nodes");
        n = static_cast<std::uint32_t>(m_nodes.size());
        m_nodes.emplace_back();
    }
    Node& node = m_nodes[n];
    node = Node{};
    node.origin = id.origin;
    node.counter = id.counter;
    node.parent = kNoNode;
    node.mergedInto = kNoNode;
    node.listedUnder = kNoNode;
    node.children = kNoNode;
    node.life = Life::Unknown;
    m_ids.Insert(id.origin, id.counter, n);
    return n;
}

std::uint32_t Replica::FindOrPlaceholder(NodeId id) {
    const std::uint32_t found = Find(id);
    if (found != kNoNode)
        return found;
    const std::uint32_t n = NewSlot(id);
    m_ended.push_back(n);  // a candidate to collect once nothing refers to it
    return n;
}

std::uint32_t Replica::StoreBytes(std::string_view bytes) {
    if (m_arena.size() + bytes.size() > 0xFFFFFFFFu)
        throw std::length_error("text arena full");
    const auto at = static_cast<std::uint32_t>(m_arena.size());
    // Bytes of the arena itself (another node's text or key) are appended by their offset, as
    // the arena may move while it grows.
    const char* const begin = m_arena.data();
    const bool inside =
        !bytes.empty() && bytes.data() >= begin && bytes.data() < begin + m_arena.size();
    const std::size_t offset = inside ? static_cast<std::size_t>(bytes.data() - begin) : 0;
    // Grown by a quarter at least: a copy of the arena costs as much as a million texts.
    if (m_arena.size() + bytes.size() > m_arena.capacity())
        m_arena.reserve(m_arena.size() + bytes.size() + m_arena.size() / 4 + 4096);

    if (inside)
        m_arena.append(m_arena, offset, bytes.size());
    else
        m_arena.append(bytes);
    return at;
}

void Replica::SetText(Node& node, std::uint32_t n, std::string_view text) {
    if (node.life == Life::Alive)
        m_texts.Erase(Hash64(TextOf(n)), n);
    m_arenaGarbage += node.textSize;
    node.textAt = StoreBytes(text);
    node.textSize = static_cast<std::uint32_t>(text.size());
    if (node.life == Life::Alive)
        m_texts.Insert(Hash64(TextOf(n)), n);
}

void Replica::SetLife(std::uint32_t n, Life life, std::uint32_t mergedInto) {
    Node& node = m_nodes[n];
    const Life old = node.life;
    if (old == Life::Alive && life != Life::Alive)
        m_texts.Erase(Hash64(TextOf(n)), n);
    if (old != Life::Alive && life == Life::Alive)
        m_texts.Insert(Hash64(TextOf(n)), n);
    if ((life == Life::Deleted || life == Life::Merged) && old != life)
        m_ended.push_back(n);
    if (life == Life::Merged)
        m_merged.push_back(n);
    const bool shownElsewhere = old == Life::Merged || life == Life::Merged;
    if (shownElsewhere)
        m_survivorsStale = true;
    node.life = life;
    node.mergedInto = life == Life::Merged ? mergedInto : kNoNode;
    // The children of a node that is merged (or no longer) are shown under another parent.
    if (shownElsewhere && node.children != kNoNode)
        for (const std::uint32_t child : m_lists[node.children])
            MarkDirty(child);
}

void Replica::MarkDirty(std::uint32_t n) {
    if (!(m_nodes[n].flags & kDirty)) {
        m_nodes[n].flags |= kDirty;
        m_dirty.push_back(n);
    }
}

void Replica::MarkMoving(std::uint32_t n) {
    if (!(m_nodes[n].flags & kMoving)) {
        m_nodes[n].flags |= kMoving;
        m_moving.push_back(n);
    }
}

void Replica::Touch(std::uint32_t n) {
    ++m_writes;
    if (!(m_nodes[n].flags & kTouched)) {
        m_nodes[n].flags |= kTouched;
        m_touched.push_back(n);
    }
}

void Replica::ClearTouched() {
    for (const std::uint32_t n : m_touched)
        m_nodes[n].flags &= static_cast<std::uint8_t>(~kTouched);
    m_touched.clear();
}

std::uint32_t Replica::AddNode(NodeId id, std::string_view text, std::uint32_t parent,
                               std::string_view key, const Stamp& stamp, bool localOnly) {
    const std::uint32_t n = FindOrPlaceholder(id);
    Node& node = m_nodes[n];
    SetText(node, n, text);
    node.keyAt = StoreBytes(key);
    node.keySize = static_cast<std::uint32_t>(key.size());
    node.parent = parent;
    node.textClock = node.placeClock = node.lifeClock = stamp.clock;
    node.textBy = node.placeBy = node.lifeBy = stamp.by;
    if (localOnly)
        node.flags |= kLocalOnly;
    SetLife(n, Life::Alive, kNoNode);
    MarkMoving(n);
    MarkDirty(n);
    Touch(n);
    return n;
}

void Replica::WriteText(std::uint32_t n, std::string_view text, const Stamp& stamp,
                        bool localOnly) {
    Node& node = m_nodes[n];
    node.textPred = node.textClock;
    node.textClock = stamp.clock;
    node.textBy = stamp.by;
    SetText(node, n, text);
    if (localOnly)
        node.flags |= kLocalOnly;
    else
        node.flags &= static_cast<std::uint8_t>(~kLocalOnly);
    // A change of a node is also a vote for its life: a deletion made without knowing of it
    // loses when the change is later.
    WriteLife(n, Life::Alive, kNoNode, stamp);
}

void Replica::WritePlace(std::uint32_t n, std::uint32_t parent, std::string_view key,
                         const Stamp& stamp, bool change) {
    Node& node = m_nodes[n];
    node.placePred = node.placeClock;
    node.placeClock = stamp.clock;
    node.placeBy = stamp.by;
    node.parent = parent;
    m_arenaGarbage += node.keySize;
    node.keyAt = StoreBytes(key);
    node.keySize = static_cast<std::uint32_t>(key.size());
    MarkMoving(n);
    if (change) {
        WriteLife(n, Life::Alive, kNoNode, stamp);
    } else {
        MarkDirty(n);
        Touch(n);
    }
}

void Replica::WriteLife(std::uint32_t n, Life life, std::uint32_t mergedInto, const Stamp& stamp) {
    Node& node = m_nodes[n];
    node.lifePred = node.lifeClock;
    node.lifeClock = stamp.clock;
    node.lifeBy = stamp.by;
    SetLife(n, life, mergedInto);
    MarkDirty(n);
    Touch(n);
}

bool Replica::Collected(const Record& record) const {
    const auto below = [&](const Stamp& stamp) {
        return stamp.by < m_floor.size() && stamp.clock <= m_floor[stamp.by];
    };
    // Every write up to the floor has been seen here: a node unknown here whose life write is
    // among them was removed (see LifeKnownTo).
    return below(record.lifeStamp);
}

Conflict Replica::MakeConflict(std::uint32_t node, const Lost& lost) const {
    Conflict conflict;
    conflict.kind = lost.kind;
    conflict.text = lost.text;
    if (lost.parent < kRootNode && m_nodes[lost.parent].life != Life::Unknown)
        conflict.category = std::string(TextOf(lost.parent));
    conflict.keptText = std::string(TextOf(node));
    const std::uint32_t keptParent = ShownParent(node);
    if (keptParent < kRootNode && m_nodes[keptParent].life != Life::Unknown)
        conflict.keptCategory = std::string(TextOf(keptParent));
    conflict.loserComputer = m_members[lost.loser].computer;
    conflict.winnerComputer = m_members[lost.winner].computer;
    conflict.loserId = m_members[lost.loser].id;
    conflict.winnerId = m_members[lost.winner].id;
    return conflict;
}

Effect Replica::Apply(const Record& record, std::vector<Conflict>* conflicts) {
    std::uint32_t n = Find(record.id);
    const bool known = n != kNoNode && m_nodes[n].life != Life::Unknown;
    if (!known && Collected(record))
        return Effect::None;
    if (n == kNoNode)
        n = NewSlot(record.id);
    // Parents and merge targets may be new slots: made before a reference to the node is taken.
    const std::uint32_t parent = record.atRoot ? kRootNode : FindOrPlaceholder(record.parent);
    const std::uint32_t merged =
        record.life == Life::Merged ? FindOrPlaceholder(record.mergedInto) : kNoNode;
    Node& node = m_nodes[n];
    if (record.localOnly)
        node.flags |= kLocalOnly;
    if (record.touched)
        Touch(n);

    if (!known)
        return ApplyNew(n, record, parent, merged);

    const bool wasShown = node.life == Life::Alive;
    std::vector<Lost> lost;
    const bool textChanged = ApplyText(n, record, conflicts, lost);
    const bool placeChanged = ApplyPlace(n, record, parent, conflicts, lost);
    const bool lifeChanged = ApplyLife(n, record, merged, conflicts, lost);
    const bool changed = textChanged || placeChanged || lifeChanged;
    for (const Lost& each : lost)
        conflicts->push_back(MakeConflict(n, each));

    const bool isShown = m_nodes[n].life == Life::Alive;
    if (!wasShown && isShown)
        return Effect::Added;
    if (wasShown && !isShown)
        return Effect::Deleted;
    return isShown && changed ? Effect::Changed : Effect::None;
}

inline Effect Replica::ApplyNew(std::uint32_t n, const Record& record, std::uint32_t parent,
                                std::uint32_t merged) {
    Node& node = m_nodes[n];
    SetText(node, n, record.text);
    node.textClock = record.textStamp.clock;
    node.textBy = record.textStamp.by;
    node.textPred = record.textPred;
    node.parent = parent;
    node.keyAt = StoreBytes(record.key);
    node.keySize = static_cast<std::uint32_t>(record.key.size());
    node.placeClock = record.placeStamp.clock;
    node.placeBy = record.placeStamp.by;
    node.placePred = record.placePred;
    node.lifeClock = record.lifeStamp.clock;
    node.lifeBy = record.lifeStamp.by;
    node.lifePred = record.lifePred;
    SetLife(n, record.life, merged);
    MarkMoving(n);
    MarkDirty(n);
    return record.life == Life::Alive ? Effect::Added : Effect::None;
}

inline bool Replica::ApplyText(std::uint32_t n, const Record& record,
                               std::vector<Conflict>* conflicts, std::vector<Lost>& lost) {
    Node& node = m_nodes[n];
    bool changed = false;
    const Stamp current{node.textClock, node.textBy};
    const std::string_view text = TextOf(n);
    const bool later = Before(current, record.textStamp) ||
                       (!Before(record.textStamp, current) && record.text > text);
    const bool concurrent =
        record.text != text &&
        Concurrent(record.textPred, record.textStamp.clock, node.textPred, current.clock);
    if (later) {
        if (concurrent && conflicts)
            lost.push_back({ConflictKind::Text, std::string(text), node.parent, current.by,
                            record.textStamp.by});
        if (record.text != text) {
            SetText(node, n, record.text);
            changed = true;
            MarkDirty(n);
        }
        node.textClock = record.textStamp.clock;
        node.textBy = record.textStamp.by;
        node.textPred = record.textPred;
    } else if (concurrent && conflicts && Before(record.textStamp, current)) {
        lost.push_back({ConflictKind::Text, std::string(record.text), node.parent,
                        record.textStamp.by, current.by});
    }
    return changed;
}

inline bool Replica::ApplyPlace(std::uint32_t n, const Record& record, std::uint32_t parent,
                                std::vector<Conflict>* conflicts, std::vector<Lost>& lost) {
    Node& node = m_nodes[n];
    bool changed = false;
    const Stamp current{node.placeClock, node.placeBy};
    const std::string_view key = KeyOf(n);
    const bool sameValue = parent == node.parent && record.key == key;
    // Equal stamps with other values come only from a damaged twin; the larger value wins.
    const bool valueAbove = parent != node.parent ? parent > node.parent : record.key > key;
    const bool later = Before(current, record.placeStamp) ||
                       (!Before(record.placeStamp, current) && !sameValue && valueAbove);
    const bool concurrent =
        parent != node.parent &&
        Concurrent(record.placePred, record.placeStamp.clock, node.placePred, current.clock);
    if (later) {
        if (concurrent && conflicts)
            lost.push_back({ConflictKind::Place, std::string(TextOf(n)), node.parent, current.by,
                            record.placeStamp.by});
        if (!sameValue) {
            node.parent = parent;
            m_arenaGarbage += node.keySize;
            node.keyAt = StoreBytes(record.key);
            node.keySize = static_cast<std::uint32_t>(record.key.size());
            MarkMoving(n);
            MarkDirty(n);
            changed = true;
        }
        node.placeClock = record.placeStamp.clock;
        node.placeBy = record.placeStamp.by;
        node.placePred = record.placePred;
    } else if (concurrent && conflicts && Before(record.placeStamp, current)) {
        lost.push_back({ConflictKind::Place, std::string(TextOf(n)), parent, record.placeStamp.by,
                        current.by});
    }
    return changed;
}

inline bool Replica::ApplyLife(std::uint32_t n, const Record& record, std::uint32_t merged,
                               std::vector<Conflict>* conflicts, std::vector<Lost>& lost) {
    bool changed = false;
    Node& same = m_nodes[n];
    const Stamp current{same.lifeClock, same.lifeBy};
    const bool sameValue = record.life == same.life && merged == same.mergedInto;
    const bool valueAbove =
        record.life != same.life ? record.life > same.life : merged > same.mergedInto;
    const bool later = Before(current, record.lifeStamp) ||
                       (!Before(record.lifeStamp, current) && !sameValue && valueAbove);
    // A change against a deletion is a conflict worth telling; so is one against a merge with
    // a node of the same text (the change made the text differ). Merges with each other are
    // the engine's own.
    const auto ended = [](Life life) { return life == Life::Deleted || life == Life::Merged; };
    const bool aliveAgainstDeleted = (record.life == Life::Alive && ended(same.life)) ||
                                     (ended(record.life) && same.life == Life::Alive);
    const bool concurrent =
        aliveAgainstDeleted &&
        Concurrent(record.lifePred, record.lifeStamp.clock, same.lifePred, current.clock);
    if (later) {
        if (concurrent && conflicts)
            lost.push_back(
                {same.life == Life::Alive ? ConflictKind::EditLost : ConflictKind::Revived,
                 std::string(TextOf(n)), same.parent, current.by, record.lifeStamp.by});
        if (!sameValue) {
            SetLife(n, record.life, merged);
            MarkDirty(n);
            changed = true;
        }
        Node& again = m_nodes[n];
        again.lifeClock = record.lifeStamp.clock;
        again.lifeBy = record.lifeStamp.by;
        again.lifePred = record.lifePred;
    } else if (concurrent && conflicts && Before(record.lifeStamp, current)) {
        lost.push_back({record.life == Life::Alive ? ConflictKind::EditLost : ConflictKind::Revived,
                        std::string(TextOf(n)), same.parent, record.lifeStamp.by, current.by});
    }
    return changed;
}

// Sibling order -----------------------------------------------------------------------------------

bool Replica::SortsBefore(std::uint32_t a, std::uint32_t b) const {
    const int order = KeyOf(a).compare(KeyOf(b));
    if (order != 0)
        return order < 0;
    return IdBefore(IdOf(a), IdOf(b));
}

std::vector<std::uint32_t>& Replica::ListFor(std::uint32_t parent) {
    if (parent == kRootNode)
        return m_lists[0];
    Node& node = m_nodes[parent];
    if (node.children == kNoNode) {
        if (!m_freeLists.empty()) {
            node.children = m_freeLists.back();
            m_freeLists.pop_back();
        } else {
            node.children = static_cast<std::uint32_t>(m_lists.size());
            m_lists.emplace_back();
        }
    }
    return m_lists[node.children];
}

const std::vector<std::uint32_t>& Replica::ListOf(std::uint32_t parent) const {
    static const std::vector<std::uint32_t> kEmpty;
    if (parent == kRootNode)
        return m_lists[0];
    const std::uint32_t list = m_nodes[parent].children;
    return list == kNoNode ? kEmpty : m_lists[list];
}

void Replica::Settle() {
    if (m_moving.empty())
        return;
    LeaveLists();
    // Into the lists of their parents now, in order: grouped by list, sorted, merged in.
    ListEntries entering = EnteringLists();
    GroupByList(entering);
    EnterLists(entering);
}

void Replica::LeaveLists() {
    // Out of the lists they were in, found by their numbers (reading the numbers of a list costs
    // less than reading each sibling's node); a list that many leave is filtered once.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> leaving;  // list, node
    for (const std::uint32_t n : m_moving) {
        const std::uint32_t under = m_nodes[n].listedUnder;
        if (under != kNoNode)
            leaving.emplace_back(under == kRootNode ? 0 : m_nodes[under].children, n);
    }
    std::sort(leaving.begin(), leaving.end());
    for (std::size_t begin = 0; begin < leaving.size();) {
        const std::uint32_t list = leaving[begin].first;
        std::size_t end = begin;
        while (end < leaving.size() && leaving[end].first == list)
            ++end;
        std::vector<std::uint32_t>& siblings = m_lists[list];
        if ((end - begin) * 16 < siblings.size()) {
            for (std::size_t k = begin; k < end; ++k) {
                const auto at = std::find(siblings.begin(), siblings.end(), leaving[k].second);
                if (at != siblings.end())
                    siblings.erase(at);
            }
        } else {
            std::erase_if(siblings,
                          [&](std::uint32_t n) { return (m_nodes[n].flags & kMoving) != 0; });
        }
        begin = end;
    }
}

Replica::ListEntries Replica::EnteringLists() {
    ListEntries entering;  // list, node
    for (const std::uint32_t n : m_moving) {
        Node& node = m_nodes[n];
        node.flags &= static_cast<std::uint8_t>(~kMoving);
        node.listedUnder = kNoNode;
        if (node.origin == kNoNode || node.life == Life::Unknown || node.parent == kNoNode)
            continue;
        ListFor(node.parent);
        const std::uint32_t list = node.parent == kRootNode ? 0 : m_nodes[node.parent].children;
        m_nodes[n].listedUnder = node.parent;
        entering.emplace_back(list, n);
    }
    m_moving.clear();
    return entering;
}

void Replica::GroupByList(ListEntries& entering) const {
    // Grouped by list (by counting when many enter at once, as when a state is read), then each
    // list's entries in order: sorted only where they do not come so already.
    if (entering.size() * 4 > m_lists.size()) {
        std::vector<std::uint32_t> starts(m_lists.size() + 1, 0);
        for (const auto& [list, n] : entering)
            ++starts[list + 1];
        for (std::size_t k = 1; k < starts.size(); ++k)
            starts[k] += starts[k - 1];
        std::vector<std::pair<std::uint32_t, std::uint32_t>> grouped(entering.size());
        for (const auto& item : entering)
            grouped[starts[item.first]++] = item;
        entering.swap(grouped);
    } else {
        std::stable_sort(entering.begin(), entering.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    }
    const auto before = [&](const auto& a, const auto& b) {
        return SortsBefore(a.second, b.second);
    };
    for (std::size_t begin = 0; begin < entering.size();) {
        std::size_t end = begin;
        while (end < entering.size() && entering[end].first == entering[begin].first)
            ++end;
        const auto first = entering.begin() + static_cast<std::ptrdiff_t>(begin);
        const auto last = entering.begin() + static_cast<std::ptrdiff_t>(end);
        if (!std::is_sorted(first, last, before))
            std::sort(first, last, before);
        begin = end;
    }
}

void Replica::EnterLists(const ListEntries& entering) {
    for (std::size_t begin = 0; begin < entering.size();) {
        const std::uint32_t list = entering[begin].first;
        std::size_t end = begin;
        while (end < entering.size() && entering[end].first == list)
            ++end;
        std::vector<std::uint32_t>& siblings = m_lists[list];
        const auto before = [&](std::uint32_t a, std::uint32_t b) { return SortsBefore(a, b); };
        if ((end - begin) * 16 < siblings.size()) {
            // A few into a long list: each by a binary search.
            for (std::size_t k = begin; k < end; ++k) {
                const std::uint32_t n = entering[k].second;
                siblings.insert(std::upper_bound(siblings.begin(), siblings.end(), n, before), n);
            }
        } else {
            const std::size_t old = siblings.size();
            for (std::size_t k = begin; k < end; ++k)
                siblings.push_back(entering[k].second);
            std::inplace_merge(siblings.begin(),
                               siblings.begin() + static_cast<std::ptrdiff_t>(old), siblings.end(),
                               before);
        }
        begin = end;
    }
}

void Replica::RefreshSurvivors() {
    if (!m_survivorsStale)
        return;
    for (const auto& [survivor, merged] : m_survivors)
        if (survivor < kRootNode)
            m_nodes[survivor].flags &= static_cast<std::uint8_t>(~kSurvivor);
    m_survivors.clear();
    std::erase_if(m_merged, [&](std::uint32_t m) {
        return m_nodes[m].origin == kNoNode || m_nodes[m].life != Life::Merged;
    });
    std::sort(m_merged.begin(), m_merged.end());
    m_merged.erase(std::unique(m_merged.begin(), m_merged.end()), m_merged.end());
    for (const std::uint32_t m : m_merged) {
        std::uint32_t target = m;
        while (target < kRootNode && m_nodes[target].life == Life::Merged)
            target = m_nodes[target].mergedInto;
        if (target < kRootNode) {
            m_nodes[target].flags |= kSurvivor;
            m_survivors.emplace_back(target, m);
        }
    }
    std::sort(m_survivors.begin(), m_survivors.end());
    m_survivorsStale = false;
}

void Replica::ShownChildren(std::uint32_t node, std::vector<std::uint32_t>& out) {
    RefreshSurvivors();
    std::as_const(*this).ShownChildren(node, out);
}

void Replica::ShownChildren(std::uint32_t node, std::vector<std::uint32_t>& out) const {
    out.clear();

    const auto add = [&](const std::vector<std::uint32_t>& list) {
        for (const std::uint32_t child : list)
            if (!(m_nodes[child].flags & kBreaker))
                out.push_back(child);
    };
    add(ListOf(node));
    bool more = false;
    if (node < kRootNode && (m_nodes[node].flags & kSurvivor)) {
        auto at = std::lower_bound(m_survivors.begin(), m_survivors.end(),
                                   std::pair<std::uint32_t, std::uint32_t>(node, 0));
        for (; at != m_survivors.end() && at->first == node; ++at)
            add(ListOf(at->second));
        more = true;
    }
    if (node == kRootNode && !m_breakers.empty()) {
        for (const std::uint32_t breaker : m_breakers)
            out.push_back(breaker);
        more = true;
    }
    if (more)
        std::sort(out.begin(), out.end(),
                  [&](std::uint32_t a, std::uint32_t b) { return SortsBefore(a, b); });
}

// Making the registers whole ----------------------------------------------------------------------

void Replica::Reveal(std::uint32_t dead, std::uint32_t cause, const Stamp& stamp,
                     std::vector<Conflict>* conflicts) {
    const Lost lost{ConflictKind::Revived, std::string(TextOf(dead)), m_nodes[dead].parent,
                    m_nodes[dead].lifeBy, m_nodes[cause].placeBy};
    WriteLife(dead, Life::Alive, kNoNode, stamp);
    if (conflicts)
        conflicts->push_back(MakeConflict(dead, lost));
}

bool Replica::CollapseText(std::uint32_t n, const Stamp& stamp) {
    const std::string text(TextOf(n));
    std::vector<std::uint32_t> group;
    m_texts.FindIf(Hash64(text), [&](std::uint32_t other) {
        if (TextOf(other) == text)
            group.push_back(other);
        return false;
    });
    if (group.size() < 2)
        return false;
    std::uint32_t survivor = group[0];
    std::uint32_t placed = group[0];
    for (const std::uint32_t member : group) {
        if (IdBefore(IdOf(survivor), IdOf(member)))
            survivor = member;
        if (Before({m_nodes[placed].placeClock, m_nodes[placed].placeBy},
                   {m_nodes[member].placeClock, m_nodes[member].placeBy}))
            placed = member;
    }
    // The survivor goes where the latest placing of any of them put it, unless that is within
    // itself.
    const std::uint32_t parent = m_nodes[placed].parent;
    std::uint32_t shownParent = parent;
    while (shownParent < kRootNode && m_nodes[shownParent].life == Life::Merged)
        shownParent = m_nodes[shownParent].mergedInto;
    const std::string key(KeyOf(placed));
    for (const std::uint32_t member : group)
        if (member != survivor)
            WriteLife(member, Life::Merged, survivor, stamp);
    if (placed != survivor && shownParent != survivor &&
        (m_nodes[survivor].parent != parent || KeyOf(survivor) != key))
        WritePlace(survivor, parent, key, stamp);
    return true;
}

void Replica::Normalise(const Stamp& stamp, std::vector<Conflict>* conflicts) {
    std::vector<std::uint32_t> all;
    std::vector<std::uint32_t> children;
    for (int round = 0; round < 64; ++round) {
        Settle();
        if (m_dirty.empty())
            break;
        std::vector<std::uint32_t> dirty = std::move(m_dirty);
        m_dirty.clear();
        for (const std::uint32_t d : dirty)
            m_nodes[d].flags &= static_cast<std::uint8_t>(~kDirty);
        all.insert(all.end(), dirty.begin(), dirty.end());
        for (const std::uint32_t d : dirty) {
            if (m_nodes[d].origin == kNoNode)
                continue;
            const Life life = m_nodes[d].life;
            if (life == Life::Alive) {
                const std::uint32_t parent = ShownParent(d);
                if (parent < kRootNode && m_nodes[parent].life == Life::Deleted)
                    Reveal(parent, d, stamp, conflicts);
                if (m_nodes[d].life == Life::Alive)
                    CollapseText(d, stamp);
            } else if (life == Life::Deleted) {
                ShownChildren(d, children);
                for (const std::uint32_t child : children) {
                    if (m_nodes[child].life == Life::Alive) {
                        Reveal(d, child, stamp, conflicts);
                        break;
                    }
                }
            }
        }
    }
    Settle();
    FindCycles(all);
}

void Replica::Reserve(std::size_t nodes) {
    // With room for the nodes of the next syncs: the first new node would copy the whole array
    // (96 MB at a million) into memory never touched before.
    const std::size_t room = nodes + nodes / 8 + 1024;
    m_nodes.reserve(room);
    m_texts.Reserve(room);
    m_moving.reserve(nodes);
    m_dirty.reserve(nodes);
}

void Replica::Reindex() {
    // Room for the changes of the next syncs, so that the arena is not copied at the first.
    m_arena.reserve(m_arena.size() + m_arena.size() / 4 + 4096);
    Settle();

    std::vector<std::uint32_t> dirty = std::move(m_dirty);
    m_dirty.clear();
    for (const std::uint32_t d : dirty)
        m_nodes[d].flags &= static_cast<std::uint8_t>(~kDirty);
    FindCycles(dirty);
}

void Replica::FindCycles(const std::vector<std::uint32_t>& dirty) {
    constexpr std::uint8_t kOnPath = kSeen;  // free while no snapshot is being read
    std::vector<std::uint32_t> candidates = dirty;
    for (const std::uint32_t b : m_breakers) {
        m_nodes[b].flags &= static_cast<std::uint8_t>(~kBreaker);
        candidates.push_back(b);
    }
    m_breakers.clear();
    std::vector<std::uint32_t> visited;
    std::vector<std::uint32_t> path;
    for (const std::uint32_t start : candidates) {
        if (start >= m_nodes.size() || m_nodes[start].origin == kNoNode)
            continue;
        path.clear();
        std::uint32_t at = start;
        while (at < kRootNode && !(m_nodes[at].flags & kMark)) {
            if (m_nodes[at].flags & kOnPath) {
                // A cycle: from at's place on the path to its end. The node of the latest move
                // breaks it, shown at the top level.
                const auto first = std::find(path.begin(), path.end(), at);
                std::uint32_t breaker = at;
                for (auto it = first; it != path.end(); ++it)
                    if (Before({m_nodes[breaker].placeClock, m_nodes[breaker].placeBy},
                               {m_nodes[*it].placeClock, m_nodes[*it].placeBy}))
                        breaker = *it;
                m_nodes[breaker].flags |= kBreaker;
                m_breakers.push_back(breaker);
                break;
            }
            m_nodes[at].flags |= kOnPath;
            path.push_back(at);
            if (m_nodes[at].life == Life::Unknown)
                break;
            at = ShownParent(at);
        }
        for (const std::uint32_t n : path) {
            m_nodes[n].flags = static_cast<std::uint8_t>((m_nodes[n].flags & ~kOnPath) | kMark);
            visited.push_back(n);
        }
    }
    for (const std::uint32_t n : visited)
        m_nodes[n].flags &= static_cast<std::uint8_t>(~kMark);
    // The same set in the same order whatever order the cycles were found in.
    std::sort(m_breakers.begin(), m_breakers.end());
}

// Removing what every member has seen removed -----------------------------------------------------

void Replica::Collect(const std::vector<Clock>& floor, Clock horizon,
                      std::vector<NodeId>* collected) {
    m_survivorsStale = true;
    RefreshSurvivors();
    // Nodes still named as a merge target stay.
    std::vector<std::uint32_t> targets;
    for (const std::uint32_t m : m_merged)
        targets.push_back(m_nodes[m].mergedInto);
    std::sort(targets.begin(), targets.end());

    const auto ended = [&](std::uint32_t n) {
        const Node& node = m_nodes[n];
        return node.origin != kNoNode && (node.life == Life::Unknown ||
                                          node.life == Life::Deleted || node.life == Life::Merged);
    };
    const auto removable = [&](std::uint32_t n) {
        const Node& node = m_nodes[n];
        if (node.children != kNoNode && !m_lists[node.children].empty())
            return false;
        if (std::binary_search(targets.begin(), targets.end(), n))
            return false;
        if (node.life == Life::Unknown || (node.flags & kLocalOnly))
            return true;
        return node.lifeBy < floor.size() && node.lifeClock <= floor[node.lifeBy] &&
               node.lifeClock <= horizon;
    };

    std::sort(m_ended.begin(), m_ended.end());
    m_ended.erase(std::unique(m_ended.begin(), m_ended.end()), m_ended.end());
    std::vector<std::uint32_t> candidates = std::move(m_ended);
    std::vector<std::uint32_t> kept;
    bool removed = false;
    while (!candidates.empty()) {
        std::vector<std::uint32_t> victims;
        std::vector<std::uint32_t> lists;
        std::vector<std::uint32_t> parents;
        for (const std::uint32_t n : candidates) {
            if (n >= m_nodes.size() || !ended(n) || (m_nodes[n].flags & kMark))
                continue;
            if (!removable(n)) {
                kept.push_back(n);
                continue;
            }
            m_nodes[n].flags |= kMark;
            victims.push_back(n);
            const std::uint32_t under = m_nodes[n].listedUnder;
            if (under != kNoNode) {
                lists.push_back(under == kRootNode ? 0 : m_nodes[under].children);
                if (under != kRootNode)
                    parents.push_back(under);  // may be removable once this is gone
            }
        }
        RemoveVictims(lists, victims, collected, removed);
        candidates = std::move(parents);
    }
    std::sort(kept.begin(), kept.end());
    kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
    std::erase_if(kept, [&](std::uint32_t n) { return !ended(n); });
    m_ended = std::move(kept);
    if (removed) {
        std::erase_if(m_touched, [&](std::uint32_t n) { return m_nodes[n].origin == kNoNode; });
        std::erase_if(m_breakers, [&](std::uint32_t n) { return m_nodes[n].origin == kNoNode; });
        m_survivorsStale = true;
    }
}

// One round of Collect: the victims (marked) leave their lists and their slots are freed.
void Replica::RemoveVictims(std::vector<std::uint32_t>& lists,
                            const std::vector<std::uint32_t>& victims,
                            std::vector<NodeId>* collected, bool& removed) {
    std::sort(lists.begin(), lists.end());
    lists.erase(std::unique(lists.begin(), lists.end()), lists.end());
    for (const std::uint32_t list : lists)
        std::erase_if(m_lists[list],
                      [&](std::uint32_t c) { return (m_nodes[c].flags & kMark) != 0; });
    for (const std::uint32_t n : victims) {
        Node& node = m_nodes[n];
        if (collected && node.life != Life::Unknown && !(node.flags & kLocalOnly))
            collected->push_back(IdOf(n));
        m_ids.Erase(node.origin, node.counter, n);

        if (node.children != kNoNode) {
            m_lists[node.children].clear();
            m_freeLists.push_back(node.children);
        }
        m_arenaGarbage += node.textSize + node.keySize;
        node.origin = kNoNode;
        node.flags = 0;
        node.life = Life::Unknown;
        m_freeNodes.push_back(n);
        removed = true;
    }
}

void Replica::MarkSeen(NodeId id) {
    const std::uint32_t n = Find(id);
    if (n != kNoNode)
        m_nodes[n].flags |= kSeen;
}

void Replica::EndSnapshot(const std::vector<Clock>& knownByWriter, const Stamp& stamp,
                          std::vector<Conflict>* conflicts) {
    std::vector<std::uint32_t> gone;
    for (std::uint32_t n = 0; n < m_nodes.size(); ++n) {
        Node& node = m_nodes[n];
        if (node.origin == kNoNode)
            continue;
        const bool seen = node.flags & kSeen;
        node.flags &= static_cast<std::uint8_t>(~kSeen);
        if (seen || node.life == Life::Unknown || (node.flags & kLocalOnly))
            continue;
        if (LifeKnownTo(n, knownByWriter))
            gone.push_back(n);
    }
    for (const std::uint32_t n : gone)
        Forget(n, stamp, conflicts);
    Settle();
}

bool Replica::HasAliveBelow(std::uint32_t n) {
    std::vector<std::uint32_t> work{n};
    std::vector<std::uint32_t> children;
    for (std::size_t at = 0; at < work.size(); ++at) {
        ShownChildren(work[at], children);
        for (const std::uint32_t child : children) {
            if (m_nodes[child].life == Life::Alive)
                return true;
            work.push_back(child);
        }
    }
    return false;
}

// Its writer removed it: it goes as removed nodes do, children first, a node that still has
// children staying as a mere placeholder. One with an alive node below it was removed by a
// member that did not know this one had seen it alive (it knew of no such member yet); the
// node comes back, as a deleted category does when a phrase is added to it meanwhile.
void Replica::Forget(std::uint32_t n, const Stamp& stamp, std::vector<Conflict>* conflicts) {
    if (HasAliveBelow(n)) {
        if (m_nodes[n].life != Life::Alive) {
            const Lost lost{ConflictKind::Revived, std::string(TextOf(n)), m_nodes[n].parent,
                            m_nodes[n].lifeBy, stamp.by};
            WriteLife(n, Life::Alive, kNoNode, stamp);
            if (conflicts)
                conflicts->push_back(MakeConflict(n, lost));
        } else {
            WriteLife(n, Life::Alive, kNoNode, stamp);
        }
        return;
    }
    if (m_nodes[n].life == Life::Alive)
        SetLife(n, Life::Deleted, kNoNode);
    m_nodes[n].life = Life::Unknown;
    m_nodes[n].parent = kNoNode;
    MarkMoving(n);
    MarkDirty(n);
    m_ended.push_back(n);
}

// Whether the node's life register is one the member of known had: its removal then beat it. A
// later change of the text or a move to another parent votes for the life register too; a
// reorder does not, and a removed node is not kept for one.
bool Replica::LifeKnownTo(std::uint32_t n, const std::vector<Clock>& known) const {
    const Node& node = m_nodes[n];
    return node.lifeBy < known.size() && node.lifeClock <= known[node.lifeBy];
}

void Replica::DropCollected(NodeId id, const std::vector<Clock>& known, const Stamp& stamp,
                            std::vector<Conflict>* conflicts) {
    const std::uint32_t n = Find(id);
    // A write the other member did not know of (our own not yet published among them) keeps it.
    if (n == kNoNode || m_nodes[n].life == Life::Unknown || (m_nodes[n].flags & kLocalOnly) ||
        !LifeKnownTo(n, known))
        return;
    Settle();
    Forget(n, stamp, conflicts);
}

// One run of the shown tree in file order: its lines, its shown nodes and its digest. The lines
// go to a region of a block both runs share, or, when they outgrow it, to a block of their own.
struct Replica::Written {
    char* data = nullptr;
    std::size_t capacity = 0;
    std::size_t used = 0;
    platform::FileBytes own;
    ShownList shown;
    TreeDigest digest;
};

void Replica::WriteRun(const std::uint32_t* first, const std::uint32_t* last, Written& out) const {
    char* at = out.data + out.used;
    char* end = out.data + out.capacity;
    struct Frame {
        const std::uint32_t* at;
        const std::uint32_t* end;
        std::uint32_t level;
    };
    std::vector<Frame> stack;
    // The merged lists of a survivor, one per level: a frame's list stays put while the frames
    // below it use the next.
    std::vector<std::vector<std::uint32_t>> merged;
    const auto push = [&](std::uint32_t node, std::uint32_t level) {
        if (m_nodes[node].flags & kSurvivor) {
            if (merged.size() <= level)
                merged.resize(level + 1);
            ShownChildren(node, merged[level]);
            if (!merged[level].empty())
                stack.push_back(
                    {merged[level].data(), merged[level].data() + merged[level].size(), level});
            return;
        }
        const std::vector<std::uint32_t>& list = ListOf(node);
        if (!list.empty())
            stack.push_back({list.data(), list.data() + list.size(), level});
    };
    if (first != last)
        stack.push_back({first, last, 0});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.at == frame.end) {
            stack.pop_back();
            continue;
        }
        const std::uint32_t n = *frame.at++;
        const Node& node = m_nodes[n];
        const std::uint32_t level = frame.level;
        if (node.life != Life::Alive || ((node.flags & kBreaker) && level > 0))
            continue;
        const std::string_view text = TextOf(n);
        const std::size_t length = level + text.size() + 2;
        if (static_cast<std::size_t>(end - at) < length) {
            const std::size_t used = static_cast<std::size_t>(at - out.data);
            const std::size_t size = std::max(out.capacity * 2, used + length);
            if (out.own.Size() != 0 && out.data == out.own.Data()) {
                out.own.Resize(size);
            } else {
                platform::FileBytes own;
                own.Resize(size);
                std::memcpy(own.Data(), out.data, used);
                out.own = std::move(own);
            }
            out.data = out.own.Data();
            out.capacity = out.own.Size();
            at = out.data + used;
            end = out.data + out.capacity;
        }
        for (std::uint32_t tab = 0; tab < level; ++tab)
            *at++ = '\t';
        phrases::CopyShort(at, text.data(), text.size());
        at += text.size();
        *at++ = '\r';
        *at++ = '\n';
        out.digest.Add(static_cast<int>(level), text);
        out.shown.Push({n, level});
        if (node.children != kNoNode || (node.flags & kSurvivor))
            push(n, level + 1);
    }
    out.used = static_cast<std::size_t>(at - out.data);
}

void Replica::ShownList::Reserve(std::size_t count) {
    if (count <= m_capacity)
        return;
    platform::LargeBlock block(count * sizeof(Shown));
    if (m_size != 0)
        std::memcpy(block.Data(), m_block.Data(), m_size * sizeof(Shown));
    m_block = std::move(block);
    m_capacity = count;
}

Replica::Produced Replica::Materialise() {
    Settle();
    RefreshSurvivors();
    // The top level, with the nodes that break cycles.
    std::vector<std::uint32_t> roots;
    ShownChildren(kRootNode, roots);

    // Two halves of the top level on two threads when the tree is large; each half's lines go
    // after the other's. The block is sized by the texts; the second half writes from its
    // middle and is moved down to the end of the first: memory the system gives anew is
    // cleared at first touch, which costs as much as the writing.
    constexpr std::size_t kSplitNodes = std::size_t{1} << 16;
    const std::size_t estimate = m_arena.size() + 4 * m_ids.Size() + 64;
    const std::size_t split = m_ids.Size() >= kSplitNodes ? roots.size() / 2 : 0;
    platform::FileBytes block;
    block.Resize(estimate);
    const std::size_t middle = split == 0 ? estimate : estimate / 2;
    Written whole;
    Written second;
    whole.data = block.Data();
    whole.capacity = middle;
    second.data = block.Data() + middle;
    second.capacity = estimate - middle;
    std::swap(whole.shown, m_shown);
    std::swap(second.shown, m_shownSecond);
    whole.shown.Clear();
    second.shown.Clear();
    whole.shown.Reserve(m_ids.Size());  // pages are taken when touched
    if (split == 0) {
        WriteRun(roots.data(), roots.data() + roots.size(), whole);
    } else {
        second.shown.Reserve(m_ids.Size());
        const std::exception_ptr error =
            phrases::RunBesides([&] { WriteRun(roots.data(), roots.data() + split, whole); },
                                [&] {
                                    WriteRun(roots.data() + split, roots.data() + roots.size(),
                                             second);
                                });
        if (error)
            std::rethrow_exception(error);
        whole.digest.Join(second.digest);
    }
    platform::FileBytes bytes =
        whole.data == block.Data() ? std::move(block) : std::move(whole.own);
    const std::size_t size = whole.used + second.used;
    if (bytes.Size() < size)
        bytes.Resize(size);  // only when one of the runs wrote a block of its own
    if (second.used != 0)
        std::memmove(bytes.Data() + whole.used, second.data, second.used);
    bytes.Resize(size);
    std::swap(m_shown, whole.shown);
    std::swap(m_shownSecond, second.shown);
    return {std::move(bytes), whole.digest.Value()};
}

void Replica::CompactArena() {
    if (m_arenaGarbage < (std::size_t{1} << 20) || m_arenaGarbage * 2 < m_arena.size())
        return;
    std::string arena;
    arena.reserve(m_arena.size() - m_arenaGarbage);
    for (Node& node : m_nodes) {
        if (node.origin == kNoNode)
            continue;
        const auto textAt = static_cast<std::uint32_t>(arena.size());
        arena.append(m_arena, node.textAt, node.textSize);
        const auto keyAt = static_cast<std::uint32_t>(arena.size());
        arena.append(m_arena, node.keyAt, node.keySize);
        node.textAt = textAt;
        node.keyAt = keyAt;
    }
    m_arena = std::move(arena);
    m_arenaGarbage = 0;
}

}  // namespace synchro
