// Writing and reading the files of synchronisation; see SyncFile.h.
#include "sync/SyncFile.h"

#include <cstring>

#include "sync/FlatIndex.h"
#include "sync/Hash.h"
#include "sync/PositionKey.h"

namespace synchro {

namespace {

constexpr std::string_view kMagic = "SRFSYNC";
constexpr std::string_view kTrailerMagic = "SEND";
constexpr std::size_t kTrailerBytes = 16;
constexpr std::size_t kMaxMembers = 4096;
constexpr std::size_t kMaxNameBytes = 1024;
constexpr std::size_t kMaxPathBytes = 32 * 1024;
constexpr std::size_t kMaxStateText = std::size_t{1} << 24;
// Longer texts than any stored one are skipped one by one, not the whole file with them.
constexpr std::size_t kMaxFolderText = std::size_t{1} << 16;

// The bits of a record's first number.
namespace flag {
constexpr std::uint64_t kPlaceAsText = 1, kLifeAsText = 2, kHasPreds = 4, kAtRoot = 8,
                        kLifeShift = 4,  // two bits: 1 alive, 2 deleted, 3 merged
    kLocalOnlyFlag = 64, kTouchedFlag = 128, kAllFlags = 255;
}  // namespace flag
using namespace flag;

[[noreturn]] void Fail(FileFault fault, std::string detail) {
    throw FileError{fault, std::move(detail)};
}

class Writer {
public:
    void Raw(std::string_view bytes) { m_bytes.append(bytes); }
    void Byte(std::uint8_t value) { m_bytes.push_back(static_cast<char>(value)); }
    void Varint(std::uint64_t value) {
        char buffer[10];
        std::size_t size = 0;
        while (value >= 0x80) {
            buffer[size++] = static_cast<char>(value | 0x80);
            value >>= 7;
        }
        buffer[size++] = static_cast<char>(value);
        m_bytes.append(buffer, size);
    }
    void Signed(std::int64_t value) {
        Varint((static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63));
    }
    void Fixed(std::uint64_t value, std::size_t size) {
        for (std::size_t k = 0; k < size; ++k)
            m_bytes.push_back(static_cast<char>(value >> (8 * k)));
    }
    void Bytes(std::string_view bytes) {
        Varint(bytes.size());
        m_bytes.append(bytes);
    }
    std::string& Out() { return m_bytes; }

private:
    std::string m_bytes;
};

class Reader {
public:
    Reader(std::string_view bytes, std::size_t at, std::size_t end)
        : m_bytes(bytes), m_at(at), m_end(end) {}

    std::size_t At() const { return m_at; }
    bool AtEnd() const { return m_at == m_end; }
    std::uint8_t Byte() {
        Need(1);
        return static_cast<std::uint8_t>(m_bytes[m_at++]);
    }
    std::uint64_t Varint() {
        std::uint64_t value = 0;
        for (unsigned shift = 0;; shift += 7) {
            const std::uint8_t byte = Byte();
            if (shift == 63 && byte > 1)
                Fail(FileFault::Invalid, "number too large");
            value |= std::uint64_t{byte & 0x7Fu} << shift;
            if (!(byte & 0x80))
                return value;
        }
    }
    std::int64_t Signed() {
        const std::uint64_t value = Varint();
        return static_cast<std::int64_t>((value >> 1) ^ (~(value & 1) + 1));
    }
    std::uint64_t Fixed(std::size_t size) {
        Need(size);
        std::uint64_t value = 0;
        for (std::size_t k = 0; k < size; ++k)
            value |= std::uint64_t{static_cast<std::uint8_t>(m_bytes[m_at + k])} << (8 * k);
        m_at += size;
        return value;
    }
    std::string_view Bytes(std::size_t limit) {
        const std::uint64_t size = Varint();
        if (size > limit)
            Fail(FileFault::Invalid, "text too long");
        Need(static_cast<std::size_t>(size));
        const std::string_view bytes = m_bytes.substr(m_at, static_cast<std::size_t>(size));
        m_at += static_cast<std::size_t>(size);
        return bytes;
    }
    std::uint32_t Count(std::size_t limit, const char* what) {
        const std::uint64_t count = Varint();
        if (count > limit)
            Fail(FileFault::Invalid, std::string("too many ") + what);
        return static_cast<std::uint32_t>(count);
    }

private:
    void Need(std::size_t size) {
        if (m_end - m_at < size)
            Fail(FileFault::Invalid, "a field runs past the end");
    }

    std::string_view m_bytes;
    std::size_t m_at;
    std::size_t m_end;
};

void WriteId(Writer& out, NodeId id) {
    out.Varint(id.origin);
    out.Varint(id.counter);
}

// A clock relative to another, zero meaning none (preds of a first write are 0).
void WritePred(Writer& out, Clock pred, Clock clock) {
    if (pred == 0) {
        out.Varint(0);
        return;
    }
    out.Varint(((static_cast<std::uint64_t>(clock - pred) << 1) ^
                static_cast<std::uint64_t>(static_cast<std::int64_t>(clock - pred) >> 63)) +
               1);
}

Clock ReadPred(Reader& in, Clock clock) {
    const std::uint64_t value = in.Varint();
    if (value == 0)
        return 0;
    const std::uint64_t zigzag = value - 1;
    const auto delta = static_cast<std::int64_t>((zigzag >> 1) ^ (~(zigzag & 1) + 1));
    return clock - static_cast<Clock>(delta);
}

void WriteDelta(Writer& out, Clock clock, Clock from) {
    out.Signed(static_cast<std::int64_t>(clock - from));
}

Clock ReadDelta(Reader& in, Clock from) { return from + static_cast<Clock>(in.Signed()); }

void WriteMembers(Writer& out, const FileHeader& header, const std::vector<Member>& members) {
    const bool withDeclared = header.kind != FileKind::Log;
    out.Varint(members.size());
    for (const Member& member : members) {
        out.Fixed(member.id, 8);
        out.Bytes(member.computer);
        out.Signed(member.lastWriteMs);
        out.Varint(member.known);
        if (header.kind == FileKind::State) {
            out.Varint(member.versionRead);
            out.Varint(member.base);
        }
        if (withDeclared) {
            const std::size_t count = std::min(member.declared.size(), members.size());
            out.Varint(count);
            for (std::size_t k = 0; k < count; ++k)
                out.Varint(member.declared[k]);
        }
    }
}

void WriteStateExtras(Writer& out, const StateExtras& state, std::size_t members) {
    out.Bytes(state.computer);
    out.Bytes(state.directory);
    out.Varint(state.clock);
    out.Varint(state.counter);
    out.Fixed(state.producedDigest, 8);
    out.Fixed(state.givenDigest, 8);
    out.Byte(static_cast<std::uint8_t>((state.joined ? 1 : 0) | (state.published ? 2 : 0)));
    out.Varint(state.content);
    out.Varint(state.snapshotBase);
    const std::size_t floors = std::min(state.floor.size(), members);
    out.Varint(floors);
    for (std::size_t k = 0; k < floors; ++k)
        out.Varint(state.floor[k]);
    out.Varint(state.copiesRead.size());
    for (const auto& [name, checksum] : state.copiesRead) {
        out.Bytes(name);
        out.Fixed(checksum, 8);
    }
    out.Varint(state.merged.size());
    for (const auto& [id, before] : state.merged) {
        WriteId(out, id);
        out.Bytes(before);
    }
}

// One record; previous: the text clock of the record before, which this one's is written after.
inline void WriteRecord(Writer& out, const Record& record, FileKind kind, Clock& previous) {
    const bool placeAsText = record.placeStamp.clock == record.textStamp.clock &&
                             record.placeStamp.by == record.textStamp.by;
    const bool lifeAsText = record.lifeStamp.clock == record.textStamp.clock &&
                            record.lifeStamp.by == record.textStamp.by;
    const bool preds = record.textPred || record.placePred || record.lifePred;
    std::uint64_t flags = (placeAsText ? kPlaceAsText : 0) | (lifeAsText ? kLifeAsText : 0) |
                          (preds ? kHasPreds : 0) | (record.atRoot ? kAtRoot : 0) |
                          std::uint64_t{static_cast<std::uint8_t>(record.life)} << kLifeShift;
    if (kind == FileKind::State)
        flags |= (record.localOnly ? kLocalOnlyFlag : 0) | (record.touched ? kTouchedFlag : 0);
    out.Varint(flags);
    WriteId(out, record.id);
    out.Bytes(record.text);
    WriteDelta(out, record.textStamp.clock, previous);
    out.Varint(record.textStamp.by);
    previous = record.textStamp.clock;
    if (!placeAsText) {
        WriteDelta(out, record.placeStamp.clock, record.textStamp.clock);
        out.Varint(record.placeStamp.by);
    }
    if (!lifeAsText) {
        WriteDelta(out, record.lifeStamp.clock, record.textStamp.clock);
        out.Varint(record.lifeStamp.by);
    }
    if (preds) {
        WritePred(out, record.textPred, record.textStamp.clock);
        WritePred(out, record.placePred, record.placeStamp.clock);
        WritePred(out, record.lifePred, record.lifeStamp.clock);
    }
    if (!record.atRoot)
        WriteId(out, record.parent);
    out.Bytes(record.key);
    if (record.life == Life::Merged)
        WriteId(out, record.mergedInto);
}

void ReadMembers(Reader& in, ParsedFile& file, std::uint32_t members) {
    const bool withDeclared = file.header.kind != FileKind::Log;
    HashIndex ids;
    for (std::uint32_t k = 0; k < members; ++k) {
        FileMember member;
        member.id = in.Fixed(8);
        if (member.id == 0 || ids.Find(member.id) != HashIndex::kAbsent)
            Fail(FileFault::Invalid, "a member id twice or zero");
        ids.Insert(member.id, k);
        member.computer = std::string(in.Bytes(kMaxNameBytes));
        member.lastWriteMs = in.Signed();
        member.known = in.Varint();
        if (file.header.kind == FileKind::State) {
            member.versionRead = in.Varint();
            member.base = in.Varint();
        }
        if (withDeclared) {
            const std::uint32_t declared = in.Count(members, "declared clocks");
            for (std::uint32_t d = 0; d < declared; ++d)
                member.declared.push_back(in.Varint());
        }
        file.members.push_back(std::move(member));
    }
}

void ReadStateExtras(Reader& in, StateExtras& state, std::uint32_t members) {
    state.computer = std::string(in.Bytes(kMaxNameBytes));
    state.directory = std::string(in.Bytes(kMaxPathBytes));
    state.clock = in.Varint();
    const std::uint64_t counter = in.Varint();
    if (counter > 0xFFFFFFFFu)
        Fail(FileFault::Invalid, "counter too large");
    state.counter = static_cast<std::uint32_t>(counter);
    state.producedDigest = in.Fixed(8);
    state.givenDigest = in.Fixed(8);
    const std::uint8_t flags = in.Byte();
    if (flags > 3)
        Fail(FileFault::Invalid, "unknown state flags");
    state.joined = flags & 1;
    state.published = flags & 2;
    state.content = in.Varint();
    state.snapshotBase = in.Varint();
    const std::uint32_t floors = in.Count(members, "floor clocks");
    for (std::uint32_t k = 0; k < floors; ++k)
        state.floor.push_back(in.Varint());
    const std::uint32_t copies = in.Count(1u << 16, "copies");
    for (std::uint32_t k = 0; k < copies; ++k) {
        std::string name(in.Bytes(kMaxNameBytes));
        state.copiesRead.emplace_back(std::move(name), in.Fixed(8));
    }
    const std::uint32_t merged = in.Count(1u << 30, "merged nodes");
    for (std::uint32_t k = 0; k < merged; ++k) {
        NodeId id;
        const std::uint64_t origin = in.Varint();
        const std::uint64_t counter = in.Varint();
        if (origin >= members || counter == 0 || counter > 0xFFFFFFFFu)
            Fail(FileFault::Invalid, "a merged node out of range");
        id.origin = static_cast<std::uint32_t>(origin);
        id.counter = static_cast<std::uint32_t>(counter);
        state.merged.emplace_back(id, std::string(in.Bytes(kMaxStateText)));
    }
}

void ReadCollected(Reader& in, ParsedFile& file, std::uint32_t members) {
    const std::uint32_t collected = in.Count(1u << 30, "collected nodes");
    for (std::uint32_t k = 0; k < collected; ++k) {
        const std::uint64_t origin = in.Varint();
        const std::uint64_t counter = in.Varint();
        if (origin >= members || counter == 0 || counter > 0xFFFFFFFFu)
            Fail(FileFault::Invalid, "a collected node out of range");
        file.collected.push_back(
            {static_cast<std::uint32_t>(origin), static_cast<std::uint32_t>(counter)});
    }
}

inline std::uint32_t ReadRef(Reader& in, std::size_t members) {
    const std::uint64_t ref = in.Varint();
    if (ref >= members)
        Fail(FileFault::Invalid, "a member reference out of range");
    return static_cast<std::uint32_t>(ref);
}

inline NodeId ReadId(Reader& in, std::size_t members) {
    NodeId id;
    id.origin = ReadRef(in, members);
    const std::uint64_t counter = in.Varint();
    if (counter == 0 || counter > 0xFFFFFFFFu)
        Fail(FileFault::Invalid, "a node counter out of range");
    id.counter = static_cast<std::uint32_t>(counter);
    return id;
}

// One record as the file has it, its member references the file's own; id: the node's.
// previous: the text clock of the record before, which this one's is read after.
inline Record ReadRecord(Reader& in, const ParsedFile& file, bool isState, Clock& previous,
                         NodeId& id) {
    const std::size_t members = file.members.size();
    const auto readRef = [&] { return ReadRef(in, members); };
    const auto readId = [&] { return ReadId(in, members); };
    const auto idAbove = [&](NodeId a, NodeId b) {
        const std::uint64_t left = file.members[a.origin].id;
        const std::uint64_t right = file.members[b.origin].id;
        return left != right ? left > right : a.counter > b.counter;
    };
    const std::uint64_t flags = in.Varint();
    if (flags & ~std::uint64_t{kAllFlags} ||
        (!isState && (flags & (kLocalOnlyFlag | kTouchedFlag))))
        Fail(FileFault::Invalid, "unknown record flags");
    const auto life = static_cast<Life>(flags >> kLifeShift & 3);
    if (life == Life::Unknown)
        Fail(FileFault::Invalid, "a record without life");
    Record record;
    // A node twice is taken twice: the later write of each register wins either way.
    id = readId();
    record.text = in.Bytes(isState ? kMaxStateText : kMaxFolderText);
    record.textStamp.clock = ReadDelta(in, previous);
    previous = record.textStamp.clock;
    record.textStamp.by = readRef();
    record.placeStamp = record.textStamp;
    record.lifeStamp = record.textStamp;
    if (!(flags & kPlaceAsText)) {
        record.placeStamp.clock = ReadDelta(in, record.textStamp.clock);
        record.placeStamp.by = readRef();
    }
    if (!(flags & kLifeAsText)) {
        record.lifeStamp.clock = ReadDelta(in, record.textStamp.clock);
        record.lifeStamp.by = readRef();
    }
    if (flags & kHasPreds) {
        record.textPred = ReadPred(in, record.textStamp.clock);
        record.placePred = ReadPred(in, record.placeStamp.clock);
        record.lifePred = ReadPred(in, record.lifeStamp.clock);
    }
    record.atRoot = flags & kAtRoot;
    if (!record.atRoot) {
        record.parent = readId();
        if (record.parent == id)
            Fail(FileFault::Invalid, "a node its own parent");
    }
    record.key = in.Bytes(kMaxKeyBytes);
    if (!IsValidKey(record.key))
        Fail(FileFault::Invalid, "a position key out of form");
    record.life = life;
    if (life == Life::Merged) {
        record.mergedInto = readId();
        if (!idAbove(record.mergedInto, id))
            Fail(FileFault::Invalid, "merged into a smaller id");
    }
    record.localOnly = flags & kLocalOnlyFlag;
    record.touched = flags & kTouchedFlag;
    return record;
}

// The record's member references (node id, stamps, parent, merge target) become the caller's.
inline void ToCallersMembers(Record& record, NodeId id, const std::vector<std::uint32_t>& refs) {
    const auto map = [&](NodeId raw) { return NodeId{refs[raw.origin], raw.counter}; };
    record.id = map(id);
    record.textStamp.by = refs[record.textStamp.by];
    record.placeStamp.by = refs[record.placeStamp.by];
    record.lifeStamp.by = refs[record.lifeStamp.by];
    if (!record.atRoot)
        record.parent = map(record.parent);
    if (record.life == Life::Merged)
        record.mergedInto = map(record.mergedInto);
}

}  // namespace

std::string WriteFile(const FileHeader& header, const Replica& replica,
                      const std::vector<std::uint32_t>& nodes, const StateExtras* state,
                      const std::vector<NodeId>& collected) {
    Writer out;
    out.Raw(kMagic);
    out.Byte(kFormat);
    out.Byte(static_cast<std::uint8_t>(header.kind));
    out.Varint(header.writer);
    out.Varint(header.version);
    out.Varint(header.content);
    out.Varint(header.base);
    out.Signed(header.wallMs);

    const std::vector<Member>& members = replica.Members();
    WriteMembers(out, header, members);
    if (header.kind == FileKind::State)
        WriteStateExtras(out, *state, members.size());

    if (header.kind != FileKind::Snapshot) {
        out.Varint(collected.size());
        for (const NodeId id : collected)
            WriteId(out, id);
    }

    Clock previous = 0;
    std::uint32_t count = 0;
    for (const std::uint32_t n : nodes) {
        if (replica.LifeOf(n) == Life::Unknown)
            continue;  // a placeholder: only referred to
        WriteRecord(out, replica.RecordOf(n), header.kind, previous);
        ++count;
    }
    out.Raw(kTrailerMagic);
    out.Fixed(count, 4);
    out.Fixed(Hash64(out.Out()), 8);
    return std::move(out.Out());
}

ParsedFile ParseFile(std::string_view bytes) {
    if (bytes.size() < kMagic.size() + 2 + kTrailerBytes || !bytes.starts_with(kMagic))
        Fail(bytes.starts_with(kMagic) ? FileFault::Damaged : FileFault::Invalid,
             "not a sync file");
    const auto format = static_cast<std::uint8_t>(bytes[kMagic.size()]);
    if (format > kFormat)
        Fail(FileFault::NewerFormat, "format " + std::to_string(format));
    if (format == 0)
        Fail(FileFault::Invalid, "format 0");
    const std::size_t trailer = bytes.size() - kTrailerBytes;
    Reader tail(bytes, trailer, bytes.size());
    const std::uint64_t magic = tail.Fixed(4);
    ParsedFile file;
    file.count = static_cast<std::uint32_t>(tail.Fixed(4));
    file.checksum = tail.Fixed(8);
    if (std::memcmp(&magic, kTrailerMagic.data(), 4) != 0 ||
        Hash64(bytes.substr(0, bytes.size() - 8)) != file.checksum)
        Fail(FileFault::Damaged, "cut short or damaged (checksum)");

    Reader in(bytes, kMagic.size() + 1, trailer);
    const std::uint8_t kind = in.Byte();
    if (kind < 1 || kind > 3)
        Fail(FileFault::Invalid, "unknown kind");
    file.header.kind = static_cast<FileKind>(kind);
    const std::uint64_t writer = in.Varint();
    file.header.version = in.Varint();
    file.header.content = in.Varint();
    file.header.base = in.Varint();
    file.header.wallMs = in.Signed();
    if (file.header.content > file.header.version || file.header.base > file.header.content)
        Fail(FileFault::Invalid, "clocks out of order");

    const std::uint32_t members = in.Count(kMaxMembers, "members");
    if (members == 0 || writer >= members)
        Fail(FileFault::Invalid, "no writer");
    file.header.writer = static_cast<std::uint32_t>(writer);
    ReadMembers(in, file, members);
    if (file.header.kind == FileKind::State)
        ReadStateExtras(in, file.state, members);
    if (file.header.kind != FileKind::Snapshot)
        ReadCollected(in, file, members);
    file.recordsAt = in.At();
    file.recordsEnd = trailer;
    return file;
}

void ForEachRecord(std::string_view bytes, const ParsedFile& file,
                   const std::vector<std::uint32_t>& refs,
                   const std::function<void(const Record&)>& visit,
                   const std::function<void(const Record&, phrases::TextFault)>& badText) {
    const bool isState = file.header.kind == FileKind::State;
    Reader in(bytes, file.recordsAt, file.recordsEnd);

    Clock previous = 0;
    std::uint32_t count = 0;
    while (!in.AtEnd()) {
        NodeId id;
        Record record = ReadRecord(in, file, isState, previous, id);
        ++count;

        // Member references become the caller's.
        ToCallersMembers(record, id, refs);

        const phrases::TextFault fault = phrases::CheckStoredText(record.text);
        if (fault != phrases::TextFault::None && !record.localOnly) {
            if (isState)
                Fail(FileFault::Invalid, "a text that cannot be stored");
            badText(record, fault);
            continue;
        }
        visit(record);
    }
    if (count != file.count)
        Fail(FileFault::Damaged, "record count does not match");
}

}  // namespace synchro
