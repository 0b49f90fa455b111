// The merged registers of every node one member knows, with the members and what each has seen:
// the state that each synchronisation reads, changes and writes back. Nodes live in flat arrays;
// ids, texts and sibling order have indexes kept up to date change by change, so that applying a
// few changes to a million nodes costs the changes, and the tree file comes out in one pass.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include <string>
#include <string_view>
#include <vector>

#include "platform/LargeBlock.h"
#include "sync/FlatIndex.h"
#include "sync/IdTable.h"

#include "sync/SyncOutcome.h"

namespace synchro {

// A hybrid logical clock value: wall-clock milliseconds << 16 | a counter. It follows the wall
// clock but never goes back, and moves past every value it has seen, so that a change made after
// seeing another always carries the larger value, whatever the computers' clocks say.
using Clock = std::uint64_t;
inline constexpr unsigned kCounterBits = 16;
inline Clock ClockOfWall(std::int64_t ms) { return ms <= 0 ? 0 : Clock(ms) << kCounterBits; }
inline std::int64_t WallOfClock(Clock clock) {
    return static_cast<std::int64_t>(clock >> kCounterBits);
}

inline constexpr std::uint32_t kNoNode = 0xFFFFFFFF;
inline constexpr std::uint32_t kRootNode = 0xFFFFFFFE;  // the parent of a top-level node

// A node's life register. Unknown: only referred to (as a parent) so far. Merged: its text was the
// same as another node's, which it became part of (mergedInto, always a larger id).
enum class Life : std::uint8_t { Unknown, Alive, Deleted, Merged };

// When and by whom a register was written; by is an index into the replica's members.
struct Stamp {
    Clock clock = 0;
    std::uint32_t by = 0;
};

// A node's id: the member that made it (index into the members) and that member's counter.
struct NodeId {
    std::uint32_t origin = 0;
    std::uint32_t counter = 0;
    bool operator==(const NodeId&) const = default;
};

struct Member {
    std::uint64_t id = 0;
    std::string computer;          // UTF-8
    std::int64_t lastWriteMs = 0;  // when it wrote its newest file read here (its own clock)
    Clock known = 0;               // every change it made up to this clock is incorporated here
    Clock versionRead = 0;         // the newest of its files read here
    Clock base = 0;                // the snapshot its newest log read here follows
    std::vector<Clock> declared;   // per member index: what it said it has incorporated
};

// One node with its three registers, as a file or the state holds it (member indices resolved).
struct Record {
    NodeId id;
    std::string_view text;
    Stamp textStamp;
    Clock textPred = 0;  // the clock of the value the writer replaced: tells conflicts apart
    bool atRoot = true;
    NodeId parent;
    std::string_view key;
    Stamp placeStamp;
    Clock placePred = 0;
    Life life = Life::Alive;
    NodeId mergedInto;
    Stamp lifeStamp;
    Clock lifePred = 0;
    bool localOnly = false;  // the state's own: a text that stays on this computer
    bool touched = false;    // the state's own: written here since the last snapshot
};

// What applying a record did to the tree that is shown.
enum class Effect { None, Added, Deleted, Changed };

class Replica {
public:
    Replica();

    // Members -----------------------------------------------------------------------------------
    std::vector<Member>& Members() { return m_members; }
    const std::vector<Member>& Members() const { return m_members; }
    // The index of the member of this id, added when new.
    std::uint32_t MemberIndex(std::uint64_t id);
    std::uint32_t FindMember(std::uint64_t id) const;
    // Total order of stamps, the same on every member: clock, then the member's id.
    bool Before(const Stamp& a, const Stamp& b) const;
    bool IdBefore(NodeId a, NodeId b) const;

    // Nodes --------------------------------------------------------------------------------------
    std::uint32_t Find(NodeId id) const;
    std::size_t NodeSlots() const { return m_nodes.size(); }
    std::size_t NodeCount() const { return m_nodes.size() - m_freeNodes.size(); }
    NodeId IdOf(std::uint32_t node) const { return {m_nodes[node].origin, m_nodes[node].counter}; }
    Life LifeOf(std::uint32_t node) const { return m_nodes[node].life; }
    std::string_view TextOf(std::uint32_t node) const;
    std::string_view KeyOf(std::uint32_t node) const;
    std::uint32_t ParentOf(std::uint32_t node) const { return m_nodes[node].parent; }
    std::uint32_t MergedInto(std::uint32_t node) const { return m_nodes[node].mergedInto; }
    // The parent the node is shown under: its parent, through the nodes that parent was merged
    // into.
    std::uint32_t ShownParent(std::uint32_t node) const;
    bool IsLocalOnly(std::uint32_t node) const { return m_nodes[node].flags & kLocalOnly; }
    // The node's registers; not for a placeholder (Life::Unknown).
    Record RecordOf(std::uint32_t node) const;
    // The alive node of this text; kNoNode when none.
    std::uint32_t FindText(std::string_view text) const;
    // Visits each node slot in use.
    template <class Visit>
    void ForEachNode(Visit&& visit) const {
        for (std::uint32_t n = 0; n < m_nodes.size(); ++n)
            if (m_nodes[n].origin != kNoNode)
                visit(n);
    }

    // Changes made here, stamped by the caller. New nodes take their id from the caller too.
    std::uint32_t AddNode(NodeId id, std::string_view text, std::uint32_t parent,
                          std::string_view key, const Stamp& stamp, bool localOnly);
    void WriteText(std::uint32_t node, std::string_view text, const Stamp& stamp, bool localOnly);
    // change: the user moved it (a vote for its life, as WriteText); otherwise only its key is
    // made anew to make room, which must not bring it back from a deletion.
    void WritePlace(std::uint32_t node, std::uint32_t parent, std::string_view key,
                    const Stamp& stamp, bool change = true);
    void WriteLife(std::uint32_t node, Life life, std::uint32_t mergedInto, const Stamp& stamp);

    // A record read from a file (or the state). Each register takes the later write; a loser that
    // was made without knowledge of the winner is reported as a conflict (when conflicts is given).
    // A record of a node that every member has seen removed (all its writes at or below the
    // floor) is dropped. Returns what it did to the shown tree.
    Effect Apply(const Record& record, std::vector<Conflict>* conflicts);

    // How many writes were made here (AddNode, Write..., the writes of Normalise): tells whether a
    // sync changed anything of this member's own.
    std::uint64_t Writes() const { return m_writes; }

    // After records were applied without Normalise (a state read back): sibling lists and cycles
    // brought up to date, nothing written.
    void Reindex();
    // Room for this many nodes and some more, before a state is read.
    void Reserve(std::size_t nodes);

    // The nodes written here since the last snapshot, which the log carries.
    const std::vector<std::uint32_t>& Touched() const { return m_touched; }
    void ClearTouched();

    // Sibling order: the lists are brought up to date with the changes made since; call after a
    // batch of changes, before reading the order.
    void Settle();
    // The shown children of a node (kRootNode: the top level) in order, hidden ones included.
    const std::vector<std::uint32_t>& ListOf(std::uint32_t parent) const;

    // Makes the merged registers whole, with changes stamped by stamp: a deleted node that holds
    // an alive one comes back (reported as a conflict), and alive nodes of one text become one
    // (the largest id, placed where the latest place write of them put it). Then finds the
    // cycles concurrent moves made. Call after every batch of changes, before Materialise.
    void Normalise(const Stamp& stamp, std::vector<Conflict>* conflicts);

    // Removes deleted nodes whose deletion every member has seen (their life stamp at or below
    // the floor of its writer), made before horizon, and that no node refers to any more; their
    // ids go to collected.
    void Collect(const std::vector<Clock>& floor, Clock horizon,
                 std::vector<NodeId>* collected = nullptr);
    // Another member removed this node: it goes here too unless it holds a write that member did
    // not know of (known, per member). One that holds an alive node here (that member did not
    // know this one had seen it) comes back instead, by a write stamped stamp.
    void DropCollected(NodeId id, const std::vector<Clock>& known, const Stamp& stamp,
                       std::vector<Conflict>* conflicts);
    // Raises the floor below which records of unknown nodes are dropped.
    void SetFloor(const std::vector<Clock>& floor) { m_floor = floor; }
    const std::vector<Clock>& Floor() const { return m_floor; }

    // The tree file the registers give: the shown nodes in order, a line each, TABs for the
    // level, CR LF. Also keeps the order for the next comparison with the user's tree.
    struct Produced {
        platform::FileBytes bytes;  // in large pages, filled without clearing first
        std::uint64_t digest = 0;
    };
    Produced Materialise();
    // The shown nodes in file order with their levels, as the last Materialise gave them.
    struct Shown {
        std::uint32_t node;
        std::uint32_t level;
    };
    // In two parts, as two threads wrote them.
    class ShownView {
    public:
        ShownView(std::span<const Shown> first, std::span<const Shown> second)
            : m_first(first), m_second(second) {}
        std::size_t size() const { return m_first.size() + m_second.size(); }
        const Shown& operator[](std::size_t p) const {
            return p < m_first.size() ? m_first[p] : m_second[p - m_first.size()];
        }

    private:
        std::span<const Shown> m_first;
        std::span<const Shown> m_second;
    };
    ShownView LastShown() const { return {m_shown.View(), m_shownSecond.View()}; }

    // Marks every node of a snapshot read (MarkSeen), then (EndSnapshot) removes those of ours
    // that the snapshot's writer must have removed: their life write known to it, yet absent.
    void MarkSeen(NodeId id);

    void EndSnapshot(const std::vector<Clock>& knownByWriter, const Stamp& stamp,
                     std::vector<Conflict>* conflicts);

    // Texts and keys live in one arena; replaced ones leave garbage, given back here.
    void CompactArena();

private:
    enum Flag : std::uint8_t {
        kMoving = 1,      // its place changed since the lists were settled
        kDirty = 2,       // a register changed since the last Normalise
        kLocalOnly = 4,   // its text stays on this computer
        kTouched = 8,     // written here since the last snapshot
        kBreaker = 16,    // shown at the top level, breaking a cycle of parents
        kMark = 32,       // scratch
        kSeen = 64,       // in the snapshot being read
        kSurvivor = 128,  // other nodes were merged into it: its children come from several lists
    };

    // What writing the tree reads comes first, in one cache line with the key.
    struct Node {
        std::uint32_t textAt, textSize;
        std::uint32_t children;  // its list, or kNoNode
        Life life;
        std::uint8_t flags;
        std::uint32_t keyAt, keySize;
        std::uint32_t origin, counter;  // origin kNoNode: a free slot
        std::uint32_t parent;           // node, kRootNode, or kNoNode while unknown
        std::uint32_t mergedInto;
        std::uint32_t listedUnder;  // whose list holds it: kNoNode when none
        std::uint32_t textBy, placeBy, lifeBy;
        Clock textClock, placeClock, lifeClock;
        Clock textPred, placePred, lifePred;
    };

    std::uint32_t NewSlot(NodeId id);
    std::uint32_t FindOrPlaceholder(NodeId id);
    // Turns a node into a placeholder, to be removed with the collected ones; one with an alive
    // node below it is brought back instead.
    void Forget(std::uint32_t n, const Stamp& stamp, std::vector<Conflict>* conflicts);
    bool HasAliveBelow(std::uint32_t n);
    bool LifeKnownTo(std::uint32_t n, const std::vector<Clock>& known) const;
    std::uint32_t StoreBytes(std::string_view bytes);
    void SetText(Node& node, std::uint32_t n, std::string_view text);
    void SetLife(std::uint32_t n, Life life, std::uint32_t mergedInto);
    void MarkDirty(std::uint32_t n);
    void MarkMoving(std::uint32_t n);
    void Touch(std::uint32_t n);
    bool SortsBefore(std::uint32_t a, std::uint32_t b) const;
    std::vector<std::uint32_t>& ListFor(std::uint32_t parent);
    // The steps of Settle: the moving nodes leave the lists they were in; those with a place
    // (list, node) are listed, their marks cleared; grouped by list and sorted in each; and
    // merged into their lists.
    using ListEntries = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
    void LeaveLists();
    ListEntries EnteringLists();
    void GroupByList(ListEntries& entering) const;
    void EnterLists(const ListEntries& entering);
    bool Collected(const Record& record) const;
    void RemoveVictims(std::vector<std::uint32_t>& lists, const std::vector<std::uint32_t>& victims,
                       std::vector<NodeId>* collected, bool& removed);
    void FindCycles(const std::vector<std::uint32_t>& dirty);
    void Reveal(std::uint32_t dead, std::uint32_t cause, const Stamp& stamp,
                std::vector<Conflict>* conflicts);
    bool CollapseText(std::uint32_t n, const Stamp& stamp);
    // A conflict as Apply finds it; its texts are taken once the record is applied.
    struct Lost {
        ConflictKind kind;
        std::string text;
        std::uint32_t parent;
        std::uint32_t loser, winner;
    };
    Conflict MakeConflict(std::uint32_t node, const Lost& lost) const;
    // The steps of Apply. A node not known here yet takes every register as the record has it.
    // A known node's text, place and life registers each take the later write (parent and merged:
    // the record's, as slots here); a losing write made without knowledge of the winner goes to
    // lost when conflicts are asked for. Each returns whether its register's value changed.
    // Inline, defined beside Apply: they are its hot path.
    inline Effect ApplyNew(std::uint32_t n, const Record& record, std::uint32_t parent,
                           std::uint32_t merged);
    inline bool ApplyText(std::uint32_t n, const Record& record, std::vector<Conflict>* conflicts,
                          std::vector<Lost>& lost);
    inline bool ApplyPlace(std::uint32_t n, const Record& record, std::uint32_t parent,
                           std::vector<Conflict>* conflicts, std::vector<Lost>& lost);
    inline bool ApplyLife(std::uint32_t n, const Record& record, std::uint32_t merged,
                          std::vector<Conflict>* conflicts, std::vector<Lost>& lost);
    // The nodes merged into each survivor, rebuilt after merges change.
    void RefreshSurvivors();

public:
    // Writes the shown tree below the nodes first..last (siblings, at level 0) into out.
    struct Written;
    void WriteRun(const std::uint32_t* first, const std::uint32_t* last, Written& out) const;

public:
    // The children shown under node (kRootNode: the top level), in order, hidden ones included:
    // its list and the lists of the nodes merged into it, without the nodes that break cycles
    // (which the top level shows).
    void ShownChildren(std::uint32_t node, std::vector<std::uint32_t>& out);
    // The same once the survivors are up to date (as Materialise leaves them).
    void ShownChildren(std::uint32_t node, std::vector<std::uint32_t>& out) const;

private:
    std::vector<Member> m_members;
    std::vector<Node> m_nodes;
    std::vector<std::uint32_t> m_freeNodes;
    IdTable m_ids;
    HashIndex m_texts;  // alive nodes by the hash of their text
    std::string m_arena;
    std::size_t m_arenaGarbage = 0;

    std::vector<std::vector<std::uint32_t>> m_lists;  // [0]: the top level
    std::vector<std::uint32_t> m_freeLists;
    std::vector<std::uint32_t> m_moving;
    std::vector<std::uint32_t> m_dirty;
    std::vector<std::uint32_t> m_touched;
    std::vector<std::uint32_t> m_ended;   // deleted or merged at some time: candidates to collect
    std::vector<std::uint32_t> m_merged;  // merged at some time: their children are shown elsewhere
    std::vector<std::uint32_t> m_breakers;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_survivors;  // survivor, merged node
    bool m_survivorsStale = false;
    std::vector<Clock> m_floor;
    // The shown nodes in a large block: a million of them are 8 MB, filled anew at every sync.
    class ShownList {
    public:
        void Reserve(std::size_t count);
        void Clear() { m_size = 0; }
        void Push(const Shown& shown) {
            if (m_size == m_capacity)
                Reserve(m_capacity * 2 + 1024);
            reinterpret_cast<Shown*>(m_block.Data())[m_size++] = shown;
        }
        std::span<const Shown> View() const {
            return {reinterpret_cast<const Shown*>(m_block.Data()), m_size};
        }

    private:
        platform::LargeBlock m_block;
        std::size_t m_size = 0;
        std::size_t m_capacity = 0;
    };
    ShownList m_shown;
    ShownList m_shownSecond;
    std::uint64_t m_writes = 0;
};

}  // namespace synchro
