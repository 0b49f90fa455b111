// One synchronisation: identity, local changes, the folder's files, the merge, this member's own
// files and the new tree; see Synchronise.h.
#include "sync/Synchronise.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <map>
#include <unordered_set>

#include "phrases/TreeFile.h"
#include "platform/Error.h"
#include "sync/Hash.h"
#include "sync/Replica.h"
#include "sync/SyncFile.h"
#include "sync/TreeDiff.h"

namespace synchro {

namespace {

constexpr std::string_view kPrefix = "srfsync-";
constexpr std::string_view kLogSuffix = ".log";
constexpr std::string_view kSnapshotSuffix = ".snap";

// The digest of the nodes from first up to (not including) the top-level node last.
TreeDigest DigestRun(const phrases::TTreeNode* first, const phrases::TTreeNode* last) {
    TreeDigest digest;
    int level = 0;
    for (const phrases::TTreeNode* node = first; node && node != last;) {
        digest.Add(level, node->Text());
        if (const phrases::TTreeNode* child = node->FirstChild()) {
            node = child;
            ++level;
            continue;
        }
        while (node && !node->NextSibling()) {
            node = node->Parent();
            --level;
        }
        if (node)
            node = node->NextSibling();
    }
    return digest;
}

// The digest of a tree, as Replica::Materialise gives it: a large tree's two halves of the top
// level on two threads.
std::uint64_t DigestOf(const phrases::TTreeNodes& tree) {
    constexpr int kSplitNodes = 1 << 16;
    std::vector<const phrases::TTreeNode*> roots;
    for (const phrases::TTreeNode* root = tree.FirstRoot(); root; root = root->NextSibling())
        roots.push_back(root);
    if (tree.NodeCount() < kSplitNodes || roots.size() < 2)
        return DigestRun(tree.FirstRoot(), nullptr).Value();
    const phrases::TTreeNode* middle = roots[roots.size() / 2];
    TreeDigest first;
    TreeDigest second;
    const std::exception_ptr error =
        phrases::RunBesides([&] { first = DigestRun(tree.FirstRoot(), middle); },
                            [&] { second = DigestRun(middle, nullptr); });
    if (error)
        std::rethrow_exception(error);
    first.Join(second);
    return first.Value();
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string LogName(std::uint64_t member) {
    char name[40];
    std::snprintf(name, sizeof name, "srfsync-%016" PRIx64 ".log", member);
    return name;
}

std::string SnapshotName(std::uint64_t member) {
    char name[40];
    std::snprintf(name, sizeof name, "srfsync-%016" PRIx64 ".snap", member);
    return name;
}

NameKind ClassifyName(std::string_view name, std::uint64_t& member) {
    if (!name.starts_with(kPrefix) || name.size() < kPrefix.size() + 16)
        return NameKind::Other;
    member = 0;
    for (std::size_t k = 0; k < 16; ++k) {
        const int digit = HexDigit(name[kPrefix.size() + k]);
        if (digit < 0)
            return NameKind::Other;
        member = member << 4 | static_cast<std::uint64_t>(digit);
    }
    const std::string_view rest = name.substr(kPrefix.size() + 16);
    if (rest == kLogSuffix)
        return NameKind::Log;
    if (rest == kSnapshotSuffix)
        return NameKind::Snapshot;
    // A sync service's copy keeps the start of the name and its extension: "-PC.log",
    // " (PC's conflicted copy 2024-05-01).log", ".sync-conflict-20240501-101500-ABC.log".
    if (rest.ends_with(kLogSuffix))
        return NameKind::LogCopy;
    if (rest.ends_with(kSnapshotSuffix))
        return NameKind::SnapshotCopy;
    return NameKind::Other;
}

// The engine's whole state and one synchronisation's work.
class Engine {
public:
    explicit Engine(std::string_view state) {
        if (!state.empty())
            Load(state);
    }

    SyncOutcome Synchronise(const phrases::TTreeNodes& current, const Here& here,
                            SyncFolder& folder, bool withState) {
        m_out = SyncOutcome{};
        m_here = &here;
        if (m_stateDamaged) {
            m_out.skippedFiles.push_back({"(state)", FileFault::State, m_stateDetail});
            m_stateDamaged = false;
        }
        TakeIdentity(here);
        m_replica.SetFloor(m_floor);
        const std::vector<std::string> names = folder.ListNames();
        PeekOwnLog(names, folder);

        // The user's changes since the last sync, stamped before the folder's are read: they
        // compete with those by the time they were found.
        const std::uint64_t currentDigest = DigestOf(current);
        const std::uint64_t writesBefore = m_replica.Writes();
        LocalDiff local = TakeLocalChanges(current, currentDigest, here);
        m_merged.clear();
        m_mergedSeen.clear();
        m_freshlyLoaded = false;
        ReadFolder(names, folder);

        // A member's first sync: what it has joins what the others have.
        if (!m_joined) {
            m_replica.Normalise(Tick(), &m_out.conflicts);
            m_replica.Materialise();
            local = ApplyLocalChanges(m_replica, current, Tick(), m_counter, DiffMode::Join,
                                      here.computer);
            m_joined = true;
        }
        m_replica.Normalise(Tick(), &m_out.conflicts);
        const bool wrote = m_replica.Writes() != writesBefore;
        if (wrote)
            m_content = m_clock;

        CollectRemoved(here);
        m_replica.CompactArena();
        Replica::Produced produced = m_replica.Materialise();
        m_shownValid = true;
        if (produced.digest != currentDigest)
            m_out.treeFile = std::move(produced.bytes);
        m_givenDigest = currentDigest;
        m_producedDigest = produced.digest;

        Publish(folder, wrote);

        ReportOwnChanges(local);
        m_out.members = Members();
        if (withState)
            m_out.state = SaveState();
        m_here = nullptr;
        return std::move(m_out);
    }

    void SetSnapshotNodes(std::size_t nodes) { m_snapshotNodes = nodes; }

    std::string SaveState() const {
        StateExtras extras;
        extras.computer = m_computer;
        extras.directory = m_directory;
        extras.clock = m_clock;
        extras.counter = m_counter;
        extras.producedDigest = m_producedDigest;
        extras.givenDigest = m_givenDigest;
        extras.joined = m_joined;
        extras.published = m_published;
        extras.content = m_content;
        extras.snapshotBase = m_snapshotBase;
        extras.floor = m_floor;
        extras.copiesRead = m_copiesRead;
        for (const auto& [id, before] : m_merged)
            if (m_replica.Find(id) != kNoNode)
                extras.merged.emplace_back(id, before);
        FileHeader header;
        header.kind = FileKind::State;
        header.writer = m_self;
        header.version = m_clock;
        header.content = std::min(m_content, m_clock);
        header.base = std::min(m_snapshotBase, header.content);
        header.wallMs = m_lastWallMs;
        std::vector<std::uint32_t> nodes;
        m_replica.ForEachNode([&](std::uint32_t n) { nodes.push_back(n); });
        return WriteFile(header, m_replica, nodes, &extras, m_collected);
    }

    std::vector<MemberInfo> Members() const {
        std::vector<MemberInfo> members;
        const std::int64_t newest = NewestWrite();
        for (std::uint32_t k = 0; k < m_replica.Members().size(); ++k) {
            const Member& member = m_replica.Members()[k];
            MemberInfo info;
            info.id = member.id;
            info.computer = member.computer;
            info.lastWriteMs = member.lastWriteMs;
            info.self = k == m_self && m_hasIdentity;
            info.retired = !info.self && Retired(member, newest);
            members.push_back(std::move(info));
        }
        return members;
    }

    bool Loaded() const { return !m_stateDamaged; }

private:
    const Member& Self() const { return m_replica.Members()[m_self]; }
    Member& Self() { return m_replica.Members()[m_self]; }

    Stamp Tick() {
        const Clock wall = ClockOfWall(m_here->nowMs);
        m_clock = std::max(m_clock + 1, wall);
        m_lastWallMs = m_here->nowMs;
        return {m_clock, m_self};
    }
    void Observe(Clock clock) { m_clock = std::max(m_clock, clock); }

    // State ------------------------------------------------------------------------------------

    void Load(std::string_view bytes) {
        try {
            const ParsedFile file = ParseFile(bytes);
            if (file.header.kind != FileKind::State)
                throw FileError{FileFault::Invalid, "not a state file"};
            std::vector<std::uint32_t> refs;
            for (std::uint32_t k = 0; k < file.members.size(); ++k)
                refs.push_back(k);
            // One pass: a fault anywhere drops the whole state, so nothing half read stays.
            Replica replica;
            // The count is the file's word: no more than its bytes can hold (a record takes
            // eight at least).
            replica.Reserve(std::min<std::size_t>(file.count, bytes.size() / 8));

            for (const FileMember& fileMember : file.members) {
                Member& member = replica.Members().emplace_back();
                member.id = fileMember.id;
                member.computer = fileMember.computer;
                member.lastWriteMs = fileMember.lastWriteMs;
                member.known = fileMember.known;
                member.versionRead = fileMember.versionRead;
                member.base = fileMember.base;
                member.declared = fileMember.declared;
            }
            ForEachRecord(
                bytes, file, refs, [&](const Record& record) { replica.Apply(record, nullptr); },
                [](const Record&, phrases::TextFault) {});
            replica.Reindex();
            m_replica = std::move(replica);
            m_self = file.header.writer;
            const StateExtras& state = file.state;
            m_hasIdentity = true;
            m_computer = state.computer;
            m_directory = state.directory;
            m_clock = std::max(state.clock, file.header.version);
            m_counter = state.counter;
            m_producedDigest = state.producedDigest;
            m_givenDigest = state.givenDigest;
            m_joined = state.joined;
            m_published = state.published;
            m_content = state.content;
            m_snapshotBase = state.snapshotBase;
            m_floor = state.floor;
            m_floor.resize(m_replica.Members().size(), 0);
            m_copiesRead = state.copiesRead;
            m_merged = state.merged;
            m_collected = file.collected;
            m_lastWallMs = file.header.wallMs;
        } catch (const FileError& error) {
            m_replica = Replica();
            m_stateDamaged = true;
            m_stateDetail = error.detail;
        }
    }

    void TakeIdentity(const Here& here) {
        if (m_hasIdentity && here.computer == m_computer && here.directory == m_directory)
            return;
        // A new directory, or this one copied or moved: a member of its own, keeping what it
        // knows. Its id comes from the caller's random bits, never one already known.
        std::uint64_t id = Mix64(here.random ^ static_cast<std::uint64_t>(here.nowMs));
        while (id == 0 || m_replica.FindMember(id) != kNoNode)
            id = Mix64(id + 0x9E3779B97F4A7C15ull);
        m_self = m_replica.MemberIndex(id);
        Self().computer = here.computer;
        m_hasIdentity = true;
        m_computer = here.computer;
        m_directory = here.directory;
        m_counter = 0;
        m_content = 0;
        m_snapshotBase = 0;
        m_published = false;
        m_floor.resize(m_replica.Members().size(), 0);
    }

    // The user's changes since the last sync (current, of this digest), applied to the merged
    // registers; none before this member has joined or when the tree is the one last given.
    LocalDiff TakeLocalChanges(const phrases::TTreeNodes& current, std::uint64_t currentDigest,
                               const Here& here) {
        LocalDiff local;
        if (m_joined && currentDigest != m_producedDigest && currentDigest != m_givenDigest) {
            if (!m_shownValid)
                m_replica.Materialise();
            // Only a tree the last merge changed can have been left unwritten, and only by a
            // process that ended before it wrote it: this engine was just read from the state.
            std::vector<MergeChange> merged;
            if (m_producedDigest != m_givenDigest && m_freshlyLoaded)
                for (const auto& [id, before] : m_merged)
                    if (const std::uint32_t n = m_replica.Find(id); n != kNoNode)
                        merged.push_back({n, before});
            local = ApplyLocalChanges(m_replica, current, Tick(), m_counter, DiffMode::Changes,
                                      here.computer, merged);
            m_out.staleTree = local.stale;
        }
        return local;
    }

    // Removes the nodes every member has seen removed, long enough ago, and keeps the list of
    // those removed here up to date.
    void CollectRemoved(const Here& here) {
        UpdateFloor();
        const std::size_t collectedBefore = m_collected.size();
        m_replica.Collect(m_floor, ClockOfWall(here.nowMs - kKeepDeletedMs), &m_collected);
        // Markers removed here are news: the readers drop the same nodes.
        if (m_collected.size() > collectedBefore)
            m_knowledgeChanged = true;
        // A node removed here and then brought back by a later change elsewhere is no longer
        // removed: listing it would make the readers drop it.
        std::erase_if(m_collected, [&](NodeId id) {
            const std::uint32_t n = m_replica.Find(id);
            return n != kNoNode && m_replica.LifeOf(n) != Life::Unknown;
        });
    }

    // This member's own changes and the texts it kept back, at the head of the outcome.
    void ReportOwnChanges(LocalDiff& local) {
        MemberChanges mine;
        mine.id = Self().id;
        mine.computer = Self().computer;
        mine.self = true;
        mine.added = local.added;
        mine.deleted = local.deleted;
        mine.changed = local.changed;
        if (mine.added || mine.deleted || mine.changed)
            m_out.changes.insert(m_out.changes.begin(), mine);
        for (SkippedText& text : local.kept)
            m_out.skippedTexts.push_back(std::move(text));
    }

    // Own files ---------------------------------------------------------------------------------

    // The member's own log may be newer than its state (a crash after the folder was written and
    // before the state was): its node counter and clock go past what it holds, so that no id or
    // stamp is given twice. A log gone from the folder, damaged or put back older is written
    // again: a member with no news would otherwise leave the others without its changes.
    void PeekOwnLog(const std::vector<std::string>& names, SyncFolder& folder) {
        const std::string own = LogName(Self().id);
        if (std::find(names.begin(), names.end(), own) == names.end()) {
            m_published = false;
            return;
        }
        const std::optional<std::string> bytes = folder.Read(own);
        if (!bytes)
            return;
        try {
            const ParsedFile file = ParseFile(*bytes);
            const bool ours = file.members[file.header.writer].id == Self().id;
            if (!ours || file.header.version < Self().versionRead)
                m_published = false;
            if (!ours || file.header.version <= Self().versionRead)
                return;
            Observe(file.header.version);
            // The counters of its own nodes, read with the file's own member numbers.
            std::vector<std::uint32_t> identity;
            for (std::uint32_t k = 0; k < file.members.size(); ++k)
                identity.push_back(k);
            ForEachRecord(
                *bytes, file, identity,
                [&](const Record& record) {
                    if (file.members[record.id.origin].id == Self().id)
                        m_counter = std::max(m_counter, record.id.counter);
                },
                [&](const Record& record, phrases::TextFault) {
                    if (file.members[record.id.origin].id == Self().id)
                        m_counter = std::max(m_counter, record.id.counter);
                });
        } catch (const FileError&) {
            // Reported with the other files.
            m_published = false;
        }
    }

    // The folder --------------------------------------------------------------------------------

    struct Listed {
        std::string name;
        std::uint64_t member;
        NameKind kind;
    };

    void Skip(const std::string& name, FileFault fault, std::string detail) {
        m_out.skippedFiles.push_back({name, fault, std::move(detail)});
    }

    // Reads and checks a file; none (reported) when it cannot be used now.
    std::optional<std::pair<std::string, ParsedFile>> Open(const Listed& listed, SyncFolder& folder,
                                                           FileKind kind) {
        std::optional<std::string> bytes = folder.Read(listed.name);
        if (!bytes) {
            Skip(listed.name, FileFault::Unreadable, "could not be read");
            return std::nullopt;
        }
        try {
            ParsedFile file = ParseFile(*bytes);
            if (file.header.kind != kind)
                throw FileError{FileFault::Invalid, "not the kind its name says"};
            std::vector<std::uint32_t> refs(file.members.size());
            for (std::uint32_t k = 0; k < refs.size(); ++k)
                refs[k] = k;
            ForEachRecord(
                *bytes, file, refs, [](const Record&) {}, [](const Record&, phrases::TextFault) {});
            return std::make_pair(std::move(*bytes), std::move(file));
        } catch (const FileError& error) {
            Skip(listed.name, error.fault, error.detail);
            return std::nullopt;
        }
    }

    void ReadFolder(const std::vector<std::string>& names, SyncFolder& folder) {
        std::map<std::uint64_t, Listed> logs;
        std::map<std::uint64_t, Listed> snapshots;
        std::vector<Listed> copies;
        for (const std::string& name : names) {
            std::uint64_t member = 0;
            const NameKind kind = ClassifyName(name, member);
            if (kind == NameKind::Log)
                logs[member] = {name, member, kind};
            else if (kind == NameKind::Snapshot)
                snapshots[member] = {name, member, kind};
            else if (kind == NameKind::LogCopy || kind == NameKind::SnapshotCopy)
                copies.push_back({name, member, kind});
        }

        for (const auto& [member, listed] : logs) {
            auto opened = Open(listed, folder, FileKind::Log);
            if (!opened)
                continue;
            auto& [bytes, file] = *opened;
            const std::uint64_t writer = file.members[file.header.writer].id;
            if (writer != member) {
                Skip(listed.name, FileFault::Invalid, "written by another member than its name");
                continue;
            }
            const std::uint32_t index = m_replica.FindMember(writer);
            const Member* known = index == kNoNode ? nullptr : &m_replica.Members()[index];
            if (known && file.header.version <= known->versionRead)
                continue;  // read before, or an old copy
            if (file.header.base > (known ? known->known : 0)) {
                // The log follows a snapshot this member has not taken in yet.
                const auto snapshot = snapshots.find(member);
                bool read = false;
                if (snapshot != snapshots.end()) {
                    auto whole = Open(snapshot->second, folder, FileKind::Snapshot);
                    if (whole && whole->second.members[whole->second.header.writer].id == member &&
                        whole->second.header.content >= file.header.base) {
                        Take(whole->first, whole->second, false);
                        read = true;
                    }
                }
                if (!read) {
                    Skip(listed.name, FileFault::Waiting, "its snapshot is not readable yet");
                    continue;
                }
            }
            Take(bytes, file, false);
        }

        // Copies the sync services made: their nodes count, their clocks do not.
        std::vector<std::pair<std::string, std::uint64_t>> stillListed;
        for (const Listed& listed : copies) {
            const FileKind kind =
                listed.kind == NameKind::LogCopy ? FileKind::Log : FileKind::Snapshot;
            auto opened = Open(listed, folder, kind);
            if (!opened)
                continue;
            const std::pair<std::string, std::uint64_t> seen{listed.name, opened->second.checksum};
            stillListed.push_back(seen);
            if (std::find(m_copiesRead.begin(), m_copiesRead.end(), seen) != m_copiesRead.end())
                continue;
            Take(opened->first, opened->second, true);
        }
        // Copies read before and still there stay remembered; the others are forgotten.
        std::sort(stillListed.begin(), stillListed.end());
        m_copiesRead = std::move(stillListed);
    }

    // Merges a checked file. A copy only brings its nodes: what it says of clocks and knowledge
    // may belong to another copy of the same member.
    void Take(const std::string& bytes, const ParsedFile& file, bool copy) {
        const std::vector<Clock> knownBefore = KnownOfEach();
        const std::vector<std::uint32_t> refs = TakeMembers(file);
        const std::uint32_t writer = refs[file.header.writer];
        Member& author = m_replica.Members()[writer];
        if (!copy) {
            author.computer = file.members[file.header.writer].computer;
            author.lastWriteMs = file.header.wallMs;
        }
        Observe(file.header.version);

        const bool snapshot = file.header.kind == FileKind::Snapshot;
        TakeRecords(bytes, file, refs, writer, author, snapshot, copy);
        if (copy) {
            // A member first heard of in a copy is news all the same: the copy may be gone before
            // the others read it, and until they know of the member they may drop markers of
            // deletions it still needs.
            if (m_replica.Members().size() != knownBefore.size())
                m_knowledgeChanged = true;
            return;
        }
        TakeKnowledge(file, refs, writer, author, snapshot, knownBefore);
    }

    // The file's members, added here when new (a newer name of a computer taken); returns the
    // index here of each of the file's members.
    std::vector<std::uint32_t> TakeMembers(const ParsedFile& file) {
        std::vector<std::uint32_t> refs;
        for (const FileMember& fileMember : file.members) {
            const std::uint32_t index = m_replica.MemberIndex(fileMember.id);
            refs.push_back(index);
            Member& member = m_replica.Members()[index];
            if (member.computer.empty() || fileMember.lastWriteMs > member.lastWriteMs) {
                member.computer = fileMember.computer;
                member.lastWriteMs = std::max(member.lastWriteMs, fileMember.lastWriteMs);
            }
        }
        m_floor.resize(m_replica.Members().size(), 0);
        return refs;
    }

    // The file's records merged, each change counted for the writer and remembered with the node
    // as shown before; a snapshot's nodes marked seen.
    void TakeRecords(const std::string& bytes, const ParsedFile& file,
                     const std::vector<std::uint32_t>& refs, std::uint32_t writer,
                     const Member& author, bool snapshot, bool copy) {
        MemberChanges& changes = ChangesOf(writer);
        ForEachRecord(
            bytes, file, refs,
            [&](const Record& record) {
                // The node as shown before, should this merge change it.
                const std::uint32_t n = m_replica.Find(record.id);
                std::string before;
                if (n != kNoNode && m_replica.LifeOf(n) == Life::Alive)
                    before = std::string(m_replica.TextOf(n));
                const Effect effect = m_replica.Apply(record, &m_out.conflicts);
                // Marked once applied: a node new here is in the snapshot too.
                if (snapshot && !copy)
                    m_replica.MarkSeen(record.id);
                if (effect != Effect::None &&
                    m_mergedSeen.insert(std::uint64_t{record.id.origin} << 32 | record.id.counter)
                        .second)
                    m_merged.emplace_back(record.id, std::move(before));
                switch (effect) {
                case Effect::Added:
                    ++changes.added;
                    break;
                case Effect::Deleted:
                    ++changes.deleted;
                    break;
                case Effect::Changed:
                    ++changes.changed;
                    break;
                case Effect::None:
                    break;
                }
            },
            [&](const Record& record, phrases::TextFault fault) {
                if (snapshot && !copy)
                    m_replica.MarkSeen(record.id);
                m_out.skippedTexts.push_back(
                    {std::string(record.text), author.computer, fault, false});
            });
    }

    // What a file (not a copy) says of knowledge: the nodes its writer removed, and what its
    // writer and (a snapshot) every member has seen.
    void TakeKnowledge(const ParsedFile& file, const std::vector<std::uint32_t>& refs,
                       std::uint32_t writer, Member& author, bool snapshot,
                       const std::vector<Clock>& knownBefore) {
        // What the writer knows: its own changes up to its content clock, and (a snapshot) all
        // it had taken in of every member.
        std::vector<Clock> knownByWriter(m_replica.Members().size(), 0);
        for (std::uint32_t k = 0; k < file.members.size(); ++k)
            knownByWriter[refs[k]] = file.members[k].known;
        knownByWriter[writer] = std::max(knownByWriter[writer], file.header.content);
        if (snapshot || !file.collected.empty())
            m_dropStamp = Tick();
        if (snapshot)
            m_replica.EndSnapshot(knownByWriter, m_dropStamp, &m_out.conflicts);
        // The nodes the writer removed, as every member it knew had seen them removed: a member
        // it did not know of yet (one that read its files but wrote none) may hold them still.
        for (const NodeId id : file.collected)
            m_replica.DropCollected({refs[id.origin], id.counter}, knownByWriter, m_dropStamp,
                                    &m_out.conflicts);
        for (std::uint32_t k = 0; k < file.members.size(); ++k) {
            Member& member = m_replica.Members()[refs[k]];
            if (snapshot) {
                member.known = std::max(member.known, knownByWriter[refs[k]]);
                // What the writer knew each member had seen.
                member.declared.resize(m_replica.Members().size(), 0);
                const std::vector<Clock>& declared = file.members[k].declared;
                for (std::uint32_t d = 0; d < declared.size(); ++d)
                    member.declared[refs[d]] = std::max(member.declared[refs[d]], declared[d]);
            }
        }
        author.known = std::max(author.known, file.header.content);
        author.versionRead = std::max(author.versionRead, file.header.version);
        if (!snapshot)
            author.base = file.header.base;
        author.declared.resize(m_replica.Members().size(), 0);
        for (std::uint32_t k = 0; k < file.members.size(); ++k)
            author.declared[refs[k]] = std::max(author.declared[refs[k]], knownByWriter[refs[k]]);
        // Only what this member has taken in is news to the others. A log that brought nothing
        // more is not answered: two members would otherwise answer each other's logs at every
        // sync, for ever.
        if (KnownOfEach() != knownBefore)
            m_knowledgeChanged = true;
    }

    // What this member's log says it has taken in of each member (a new member included).
    std::vector<Clock> KnownOfEach() const {
        std::vector<Clock> known;
        for (const Member& member : m_replica.Members())
            known.push_back(member.known);
        return known;
    }

    MemberChanges& ChangesOf(std::uint32_t member) {
        const std::uint64_t id = m_replica.Members()[member].id;
        for (MemberChanges& changes : m_out.changes)
            if (changes.id == id) {
                changes.computer = m_replica.Members()[member].computer;
                return changes;
            }
        MemberChanges& changes = m_out.changes.emplace_back();
        changes.id = id;
        changes.computer = m_replica.Members()[member].computer;
        return changes;
    }

    // Removal of markers ------------------------------------------------------------------------

    std::int64_t NewestWrite() const {
        std::int64_t newest = 0;
        for (const Member& member : m_replica.Members())
            newest = std::max(newest, member.lastWriteMs);
        return newest;
    }
    static bool Retired(const Member& member, std::int64_t newest) {
        return member.lastWriteMs < newest - kRetireMs;
    }

    // Our own column of what each member has seen: everything incorporated here.
    void SyncSelfDeclared(Replica& replica) const {
        std::vector<Member>& members = replica.Members();
        if (!m_hasIdentity || m_self >= members.size())
            return;
        members[m_self].declared.resize(members.size(), 0);
        for (std::uint32_t k = 0; k < members.size(); ++k)
            members[m_self].declared[k] = std::max(members[m_self].declared[k], members[k].known);
    }

    // The floor of each member's changes: the least of what every active member has said it has
    // seen of them. It only rises.
    void UpdateFloor() {
        Self().known = std::max(Self().known, m_content);
        SyncSelfDeclared(m_replica);
        const std::vector<Member>& members = m_replica.Members();
        const std::int64_t newest = NewestWrite();
        m_floor.resize(members.size(), 0);
        for (std::uint32_t origin = 0; origin < members.size(); ++origin) {
            Clock floor = ~Clock{0};
            for (std::uint32_t k = 0; k < members.size(); ++k) {
                if (k != m_self && Retired(members[k], newest))
                    continue;
                const std::vector<Clock>& declared = members[k].declared;
                floor = std::min(floor, origin < declared.size() ? declared[origin] : 0);
            }
            m_floor[origin] = std::max(m_floor[origin], floor);
        }
        m_replica.SetFloor(m_floor);
    }

    // This member's files -----------------------------------------------------------------------

    void Publish(SyncFolder& folder, bool wrote) {
        const bool heartbeat = m_here->nowMs - Self().lastWriteMs >= kHeartbeatMs;
        if (!wrote && !m_knowledgeChanged && m_published && !heartbeat)
            return;
        m_knowledgeChanged = false;
        std::vector<std::uint32_t> nodes;
        for (const std::uint32_t n : m_replica.Touched())
            if (m_replica.LifeOf(n) != Life::Unknown && !m_replica.IsLocalOnly(n))
                nodes.push_back(n);
        // A snapshot takes the log in once it has grown, best when this sync brought nothing new
        // of ours: a member that has read the last log then need not read the snapshot.
        const std::size_t limit = std::max(m_snapshotNodes, m_replica.NodeCount() / 32);
        const std::size_t size = nodes.size() + m_collected.size();
        if (size > limit && (!wrote || size > 4 * limit))
            WriteSnapshot(folder, nodes);

        FileHeader header;
        header.kind = FileKind::Log;
        header.writer = m_self;
        header.version = Tick().clock;
        header.content = m_content;
        header.base = m_snapshotBase;
        header.wallMs = m_here->nowMs;
        SyncSelfDeclared(m_replica);
        Self().known = m_content;
        Self().lastWriteMs = m_here->nowMs;
        const std::string bytes = WriteFile(header, m_replica, nodes, nullptr, m_collected);
        try {
            folder.Write(LogName(Self().id), bytes);
            Self().versionRead = header.version;
            m_published = true;
        } catch (const platform::Error& error) {
            Skip(LogName(Self().id), FileFault::Unwritable, error.what());
            m_published = false;
        }
    }

    void WriteSnapshot(SyncFolder& folder, std::vector<std::uint32_t>& logNodes) {
        std::vector<std::uint32_t> nodes;
        m_replica.ForEachNode([&](std::uint32_t n) {
            if (m_replica.LifeOf(n) != Life::Unknown && !m_replica.IsLocalOnly(n))
                nodes.push_back(n);
        });
        FileHeader header;
        header.kind = FileKind::Snapshot;
        header.writer = m_self;
        header.version = Tick().clock;
        header.content = m_content;
        header.base = 0;
        header.wallMs = m_here->nowMs;
        SyncSelfDeclared(m_replica);
        Self().known = m_content;
        const std::string bytes = WriteFile(header, m_replica, nodes, nullptr);
        try {
            folder.Write(SnapshotName(Self().id), bytes);
        } catch (const platform::Error& error) {
            Skip(SnapshotName(Self().id), FileFault::Unwritable, error.what());
            return;
        }
        m_snapshotBase = m_content;
        m_replica.ClearTouched();
        m_collected.clear();
        logNodes.clear();
    }

    Replica m_replica;
    std::uint32_t m_self = 0;
    bool m_hasIdentity = false;
    std::string m_computer;
    std::string m_directory;
    Clock m_clock = 0;
    std::int64_t m_lastWallMs = 0;
    std::uint32_t m_counter = 0;
    std::uint64_t m_producedDigest = 0;
    std::uint64_t m_givenDigest = 0;
    bool m_joined = false;
    bool m_published = false;
    Clock m_content = 0;
    Clock m_snapshotBase = 0;
    std::size_t m_snapshotNodes = kSnapshotNodes;
    std::vector<Clock> m_floor;
    std::vector<std::pair<std::string, std::uint64_t>> m_copiesRead;
    std::vector<std::pair<NodeId, std::string>> m_merged;  // see StateExtras::merged
    std::vector<NodeId> m_collected;                       // removed here since the last snapshot
    std::unordered_set<std::uint64_t> m_mergedSeen;
    bool m_shownValid = false;
    Stamp m_dropStamp;
    bool m_freshlyLoaded = true;
    bool m_knowledgeChanged = false;
    bool m_stateDamaged = false;
    std::string m_stateDetail;

    SyncOutcome m_out;
    const Here* m_here = nullptr;
};

SyncEngine::SyncEngine(std::string_view state) : m_engine(std::make_unique<Engine>(state)) {}
SyncEngine::~SyncEngine() = default;
SyncEngine::SyncEngine(SyncEngine&&) noexcept = default;
SyncEngine& SyncEngine::operator=(SyncEngine&&) noexcept = default;

SyncOutcome SyncEngine::Synchronise(const phrases::TTreeNodes& current, const Here& here,
                                    SyncFolder& folder) {
    return m_engine->Synchronise(current, here, folder, false);
}

void SyncEngine::SetSnapshotNodes(std::size_t nodes) { m_engine->SetSnapshotNodes(nodes); }

std::string SyncEngine::SaveState() const { return m_engine->SaveState(); }

std::vector<MemberInfo> SyncEngine::Members() const { return m_engine->Members(); }

SyncOutcome Synchronise(const phrases::TTreeNodes& current, std::string_view state,
                        const Here& here, SyncFolder& folder) {
    Engine engine(state);
    return engine.Synchronise(current, here, folder, true);
}

std::vector<MemberInfo> ListMembers(std::string_view state) {
    if (state.empty())
        return {};
    const Engine engine(state);
    return engine.Loaded() ? engine.Members() : std::vector<MemberInfo>{};
}

}  // namespace synchro
