// The rules of synchronisation that the property test cannot pin exactly: where things land, what
// is reported, which files are skipped and read later, identities, and what the folder keeps.
#include "sync/Synchronise.h"

#include <gtest/gtest.h>

#include "sync/Replica.h"
#include "sync/SyncFile.h"
#include "sync/SyncTestKit.h"

namespace synchro {
namespace {

using testing::Computer;
using testing::MemoryFolder;

constexpr std::int64_t kDay = 24 * 60 * 60 * 1000;
constexpr std::int64_t kStart = 1'700'000'000'000;

// Every computer synchronises in turn, twice, each seeing the others' latest files.
void Exchange(MemoryFolder& folder, std::vector<Computer*> computers, std::int64_t& now) {
    for (int round = 0; round < 2; ++round)
        for (Computer* computer : computers)
            computer->Sync(folder, now += 1000);
}

TEST(SynchroniseTest, ChangesMeetWhereTheUsersPutThem) {
    // Each row: the tree both start with, A's and B's edits made without syncing, the result.
    const struct {
        const char* start;
        const char* a;
        const char* b;
        const char* merged;
    } cases[] = {
        // A category renamed while a phrase is added under its old name.
        {"k[x y]", "k2[x y]", "k[x y z]", "k2[x y z]"},
        // A reorder and additions elsewhere in the category.
        {"k[x y z]", "k[z x y]", "k[x y z w]", "k[z x y w]"},
        // A move to another category and an addition to the first.
        {"k[x y] m[v]", "k[y] m[x v]", "k[x y u] m[v]", "k[y u] m[x v]"},
        // The same text added on both: one node, where the later addition put it.
        {"k[x] m[v]", "k[x d] m[v]", "k[x] m[v d]", "k[x] m[v d]"},
        // A deeper level than phrases: a phrase under a phrase.
        {"k[x y]", "k[x[y]]", "k[x y z]", "k[x[y] z]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        MemoryFolder folder;
        std::int64_t now = kStart;
        Computer a("A", c.start, 1);
        Computer b("B", "", 2);
        a.Sync(folder, now += 1000);
        b.Sync(folder, now += 1000);
        ASSERT_EQ(b.Dump(), c.start);
        a.Edit(c.a);
        b.Edit(c.b);
        Exchange(folder, {&a, &b}, now);
        EXPECT_EQ(a.Dump(), c.merged);
        EXPECT_EQ(b.Dump(), c.merged);
    }
}

TEST(SynchroniseTest, MergedDuplicatesDoNotComeBack) {
    MemoryFolder folder;
    std::int64_t now = kStart;
    Computer a("A", "k[x] m[v]", 1);
    Computer b("B", "", 2);
    Exchange(folder, {&a, &b}, now);
    a.Edit("k[x d] m[v]");
    b.Edit("k[x] m[v d]");
    Exchange(folder, {&a, &b}, now);
    ASSERT_EQ(a.Dump(), "k[x] m[v d]");
    // The survivor renamed: the other d, merged into it, stays merged.
    a.Edit("k[x] m[v e]");
    Exchange(folder, {&a, &b}, now);
    EXPECT_EQ(a.Dump(), "k[x] m[v e]");
    EXPECT_EQ(b.Dump(), "k[x] m[v e]");
}

TEST(SynchroniseTest, ConflictsNameTheLoserTheCategoryAndWhoWroteThem) {
    // Each row: A's and B's edits of "k[x y]" (B's clock later), and the conflict A is told of.
    const struct {
        const char* a;
        const char* b;
        ConflictKind kind;
        const char* text;
        const char* category;
        const char* merged;
    } cases[] = {
        {"k[x1 y]", "k[x2 y]", ConflictKind::Text, "x1", "k", "k[x2 y]"},
        {"k[x1 y]", "k[y]", ConflictKind::EditLost, "x1", "k", "k[y]"},
        {"k[y]", "k[x1 y]", ConflictKind::Revived, "x1", "k", "k[x1 y]"},
        // A category deleted while a phrase is added to it: it comes back with that phrase.
        {"", "k[x y z]", ConflictKind::Revived, "k", "", "k[z]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.b);
        MemoryFolder folder;
        std::int64_t now = kStart;
        Computer a("A", "k[x y]", 1);
        Computer b("B", "", 2);
        Exchange(folder, {&a, &b}, now);
        a.Edit(c.a);
        a.Sync(folder, now += 1000);
        b.Edit(c.b);
        b.skewMs = 60 * 60 * 1000;  // an hour ahead: later by the stamps, whatever A has seen
        b.Sync(folder, now += 1000);
        a.Sync(folder, now += 1000);
        b.Sync(folder, now += 1000);
        a.Sync(folder, now += 1000);
        EXPECT_EQ(a.Dump(), c.merged);
        EXPECT_EQ(b.Dump(), c.merged);
        bool told = false;
        for (const Computer* computer : {&a, &b})
            for (const Conflict& conflict : computer->conflicts)
                told = told || (conflict.kind == c.kind && conflict.text == c.text &&
                                conflict.category == c.category && conflict.loserComputer == "A" &&
                                conflict.winnerComputer == "B");
        EXPECT_TRUE(told);
    }
}

TEST(SynchroniseTest, AClockHoursOffNeitherAlwaysWinsNorAlwaysLoses) {
    MemoryFolder folder;
    std::int64_t now = kStart;
    Computer fast("FAST", "k[x]", 1);
    Computer slow("SLOW", "", 2);
    fast.skewMs = 5 * 60 * 60 * 1000;
    Exchange(folder, {&fast, &slow}, now);
    // The fast clock's rename, then the slow one's made after seeing it: the later one wins.
    fast.Edit("k[x1]");
    fast.Sync(folder, now += 1000);
    slow.Sync(folder, now += 1000);
    slow.Edit("k[x2]");
    Exchange(folder, {&slow, &fast}, now);
    EXPECT_EQ(fast.Dump(), "k[x2]");
    EXPECT_TRUE(slow.conflicts.empty());
    EXPECT_TRUE(fast.conflicts.empty());
}

TEST(SynchroniseTest, FilesThatCannotBeUsedAreSkippedAndReadLater) {
    // Each row: what the sync service did to A's log, and how B reports it.
    const struct {
        void (*spoil)(std::string&);
        FileFault fault;
    } cases[] = {
        {[](std::string& bytes) { bytes.resize(bytes.size() / 2); }, FileFault::Damaged},
        {[](std::string& bytes) { bytes[bytes.size() / 2] ^= 0x40; }, FileFault::Damaged},
        {[](std::string& bytes) { bytes[7] = 9; }, FileFault::NewerFormat},
        {[](std::string& bytes) { bytes = "not a log at all"; }, FileFault::Invalid},
    };
    for (const auto& c : cases) {
        MemoryFolder shared;
        std::int64_t now = kStart;
        Computer a("A", "k[x]", 1);
        Computer b("B", "m[v]", 2);
        a.Sync(shared, now += 1000);
        MemoryFolder seen = shared;  // what reaches B
        const std::string name = LogName(ListMembers(a.state)[0].id);
        c.spoil(seen.files[name]);
        b.Sync(seen, now += 1000);
        ASSERT_EQ(b.last.skippedFiles.size(), 1u);
        EXPECT_EQ(b.last.skippedFiles[0].name, name);
        EXPECT_EQ(b.last.skippedFiles[0].fault, c.fault);
        EXPECT_EQ(b.Dump(), "m[v]");
        // The whole file arrives: read at the next sync.
        seen.files[name] = shared.files[name];
        b.Sync(seen, now += 1000);
        EXPECT_TRUE(b.last.skippedFiles.empty());
        // Two new top-level keys alike: their order is their members' ids'.
        EXPECT_TRUE(b.Dump() == "m[v] k[x]" || b.Dump() == "k[x] m[v]") << b.Dump();
    }
}

TEST(SynchroniseTest, ConflictedCopiesAreFurtherSourcesNeverTouched) {
    MemoryFolder folder;
    std::int64_t now = kStart;
    Computer a("A", "k[x]", 1);
    a.Sync(folder, now += 1000);
    const std::string log = LogName(ListMembers(a.state)[0].id);
    const std::string stem = log.substr(0, log.size() - 4);
    // Copies as the sync services name them hold what the member wrote; its own file is gone.
    const std::string copies[] = {stem + "-LAPTOP.log",
                                  stem + " (LAPTOP's conflicted copy 2024-05-01).log",
                                  stem + ".sync-conflict-20240501-101500-ABCDEFG.log"};
    for (const std::string& copy : copies) {
        MemoryFolder seen;
        seen.files[copy] = folder.files[log];
        Computer b("B", "", 2);
        b.Sync(seen, now += 1000);
        EXPECT_EQ(b.Dump(), "k[x]") << copy;
        EXPECT_EQ(seen.files[copy], folder.files[log]);
        EXPECT_EQ(seen.files.size(), 2u);  // the copy and B's own log
    }
}

TEST(SynchroniseTest, TextsThatCannotBeStoredAreReportedNotStored) {
    MemoryFolder folder;
    std::int64_t now = kStart;
    // Here a text that is no character of code page 936 stays in this tree and is not sent.
    Computer a("A", "k[x]", 1);
    a.tree = "k\r\n\tx\r\n\t\xFF\xFF\r\n";
    a.Sync(folder, now += 1000);
    ASSERT_EQ(a.last.skippedTexts.size(), 1u);
    EXPECT_TRUE(a.last.skippedTexts[0].local);
    EXPECT_EQ(a.last.skippedTexts[0].fault, phrases::TextFault::NotGb2312);
    EXPECT_EQ(a.Dump(), "k[x \xFF\xFF]");
    Computer b("B", "", 2);
    b.Sync(folder, now += 1000);
    EXPECT_EQ(b.Dump(), "k[x]");

    // One that another member's file holds is skipped and reported.
    Replica replica;
    const std::uint32_t writer = replica.MemberIndex(0x1234);
    replica.Members()[writer].computer = "OTHER";
    const Stamp stamp{ClockOfWall(kStart), writer};
    replica.AddNode({writer, 1}, "m", kRootNode, "V", stamp, false);
    replica.AddNode({writer, 2},
                    "too long ............................................................",
                    replica.Find({writer, 1}), "V", stamp, false);
    replica.AddNode({writer, 3}, "v", replica.Find({writer, 1}), "W", stamp, false);
    FileHeader header;
    header.writer = writer;
    header.version = header.content = stamp.clock;
    MemoryFolder other;
    other.files[LogName(0x1234)] = WriteFile(header, replica, replica.Touched(), nullptr);
    b.Sync(other, now += 1000);
    ASSERT_EQ(b.last.skippedTexts.size(), 1u);
    EXPECT_EQ(b.last.skippedTexts[0].fault, phrases::TextFault::TooLong);
    EXPECT_EQ(b.last.skippedTexts[0].computer, "OTHER");
    EXPECT_EQ(b.Dump(), "k[x] m[v]");
}

TEST(SynchroniseTest, ACopiedDataDirectoryBecomesAMemberOfItsOwn) {
    MemoryFolder folder;
    std::int64_t now = kStart;
    Computer a("A", "k[x]", 1);
    a.Sync(folder, now += 1000);
    Computer copy("A", "", 7);
    copy.state = a.state;
    copy.tree = a.tree;
    copy.directory = "E:\\backup\\srf";

    copy.Sync(folder, now += 1000);
    const std::vector<MemberInfo> members = ListMembers(copy.state);
    ASSERT_EQ(members.size(), 2u);
    EXPECT_FALSE(members[0].self);
    EXPECT_TRUE(members[1].self);
    EXPECT_NE(members[0].id, members[1].id);
    // It keeps what it knew: nothing is added twice, and both go on independently.
    EXPECT_EQ(copy.Dump(), "k[x]");
    copy.Edit("k[x y]");
    a.Edit("k[z x]");
    Exchange(folder, {&a, &copy}, now);
    EXPECT_EQ(a.Dump(), "k[z x y]");
    EXPECT_EQ(copy.Dump(), "k[z x y]");
}

TEST(SynchroniseTest, AStopBetweenTheTwoWritesLosesNothing) {
    MemoryFolder folder;
    std::int64_t now = kStart;
    Computer a("A", "k[x]", 1);
    Computer b("B", "", 2);
    Exchange(folder, {&a, &b}, now);
    b.Edit("k[x y]");
    b.Sync(folder, now += 1000);
    // A writes its state but stops before the tree: the next sync gives the same tree again,
    // finding no change of A's own.
    const std::string before = a.tree;
    a.Sync(folder, now += 1000);
    const std::string merged = a.tree;
    ASSERT_NE(merged, before);
    a.tree = before;
    a.Sync(folder, now += 1000);
    EXPECT_EQ(a.tree, merged);
    for (const MemberChanges& changes : a.last.changes)
        EXPECT_FALSE(changes.self);

    // Stopped again, and the user went on with the old tree before synchronising: the tree is
    // joined, so the merged phrases stay and the user's new one comes in.
    b.Edit("k[x y w]");
    b.Sync(folder, now += 1000);
    a.Sync(folder, now += 1000);
    a.tree = merged;
    a.Edit("k[x y u]");
    a.Sync(folder, now += 1000);
    EXPECT_TRUE(a.last.staleTree);
    EXPECT_EQ(a.Dump(), "k[x y u w]");
}

TEST(SynchroniseTest, TheFolderKeepsNoMoreThanTheTreeNeeds) {
    MemoryFolder folder;
    std::int64_t now = kStart;
    Computer a("A", "k[x]", 1);
    Computer b("B", "", 2);
    Exchange(folder, {&a, &b}, now);
    // Many phrases added and deleted again: the log grows, a snapshot takes it in, and once
    // both have seen the deletions, a month later, their markers go.
    std::string many = "k[x";
    for (int k = 0; k < 6000; ++k)
        many += " p" + std::to_string(k);
    a.Edit(many + "]");
    Exchange(folder, {&a, &b}, now);
    a.Edit("k[x]");
    Exchange(folder, {&a, &b}, now);
    now += 31 * kDay;
    Exchange(folder, {&a, &b}, now);
    Exchange(folder, {&a, &b}, now);
    EXPECT_EQ(b.Dump(), "k[x]");
    std::size_t bytes = 0;
    for (const auto& [name, file] : folder.files)
        bytes += file.size();
    EXPECT_LT(bytes, 4096u);
    EXPECT_LT(a.state.size() + b.state.size(), 4096u);
}

TEST(SynchroniseTest, OnceTheChangesAreExchangedSyncsWriteNothing) {
    // Each row: A's and B's edits, made without syncing ("" for none). A member's log that only
    // says what it has taken in is no news: answered with another, two computers syncing in
    // turn would rewrite their logs for ever, and the sync service carry them.
    const struct {
        const char* a;
        const char* b;
    } cases[] = {
        {"k[x y]", ""},
        {"k[x2]", "k[x3]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.a);
        MemoryFolder folder;
        std::int64_t now = kStart;
        Computer a("A", "k[x]", 1);
        Computer b("B", "", 2);
        Exchange(folder, {&a, &b}, now);
        a.Edit(c.a);
        if (*c.b)
            b.Edit(c.b);
        Exchange(folder, {&a, &b}, now);
        const int writes = folder.writes;
        Exchange(folder, {&a, &b}, now);
        EXPECT_EQ(folder.writes, writes);
        EXPECT_EQ(a.tree, b.tree);
        // A day later each writes its log once all the same: the others see it still syncs.
        now += kHeartbeatMs;
        Exchange(folder, {&a, &b}, now);
        EXPECT_EQ(folder.writes, writes + 2);
    }
}

TEST(SynchroniseTest, AQuietMemberWritesWhenTheFolderLacksWhatItSaid) {
    // Each row: what befalls the folder while A and B have nothing new to tell (A's log, and its
    // version before the last change), and how many files the next exchange writes: A's log
    // again, or both logs once for a member they first hear of.
    const struct {
        void (*befall)(MemoryFolder&, const std::string& log, const std::string& older);
        int writes;
    } cases[] = {
        {[](MemoryFolder& folder, const std::string& log, const std::string&) {
             folder.files.erase(log);
         },
         1},
        {[](MemoryFolder& folder, const std::string& log, const std::string&) {
             folder.files[log].resize(folder.files[log].size() / 2);
         },
         1},
        {[](MemoryFolder& folder, const std::string& log, const std::string& older) {
             folder.files[log] = older;
         },
         1},
        {[](MemoryFolder& folder, const std::string&, const std::string&) {
             MemoryFolder elsewhere;
             Computer n("N", "m[v]", 3);
             n.Sync(elsewhere, kStart);
             const std::string log = LogName(ListMembers(n.state)[0].id);
             folder.files[log.substr(0, log.size() - 4) + ".sync-conflict-20240501-101500-N.log"] =
                 elsewhere.files[log];
         },
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.writes);
        MemoryFolder folder;
        std::int64_t now = kStart;
        Computer a("A", "k[x]", 1);
        Computer b("B", "", 2);
        Exchange(folder, {&a, &b}, now);
        const std::string log = LogName(ListMembers(a.state)[0].id);
        const std::string older = folder.files[log];
        a.Edit("k[x y]");
        Exchange(folder, {&a, &b}, now);
        c.befall(folder, log, older);
        const int writes = folder.writes;
        Exchange(folder, {&a, &b}, now);
        EXPECT_EQ(folder.writes, writes + c.writes);
        // A newcomer that reads the folder alone gets all that A has.
        Computer newcomer("C", "", 4);
        newcomer.Sync(folder, now += 1000);
        EXPECT_EQ(newcomer.Dump(), a.Dump());
    }
}

TEST(SynchroniseTest, ALargeTreeIsWrittenWholeAndInOrder) {
    // A large tree goes into the folder as a snapshot at once, which a new member reads first;
    // it is written on two threads, a half of the categories each, in one block. Each row puts
    // most phrases in the first half or in the second.
    for (const bool firstLarge : {true, false}) {
        SCOPED_TRACE(firstLarge);
        phrases::TTreeNodes tree;
        for (int c = 0; c < 2; ++c) {
            auto* category = tree.InsertLastChild(nullptr, "k" + std::to_string(c));
            const int phrases = (c == 0) == firstLarge ? 70000 : 1;
            for (int p = 0; p < phrases; ++p)
                tree.InsertLastChild(category, "p" + std::to_string(c) + "-" + std::to_string(p));
        }
        MemoryFolder folder;
        std::int64_t now = kStart;
        Computer a("A", "", 1);
        Computer b("B", "", 2);
        a.tree = phrases::FormatTree(tree);
        a.Sync(folder, now += 1000);
        b.Sync(folder, now += 1000);
        ASSERT_EQ(b.tree, a.tree);
        // Edits at both ends of each category: found against the order the last sync wrote.
        for (auto* category = tree.FirstRoot(); category; category = category->NextSibling()) {
            tree.SetNodeText(category->FirstChild(),
                             std::string(category->FirstChild()->Text()) + "a");
            tree.InsertLastChild(category, std::string(category->Text()) + "-end");
        }
        a.tree = phrases::FormatTree(tree);
        a.Sync(folder, now += 1000);
        b.Sync(folder, now += 1000);
        EXPECT_EQ(a.tree, phrases::FormatTree(tree));
        EXPECT_EQ(b.tree, a.tree);
    }
}

}  // namespace
}  // namespace synchro
