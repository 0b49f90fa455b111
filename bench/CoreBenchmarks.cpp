// The core's speed at full scale, each figure set against a baseline measured in the same run:
// the compile step against the plain scan of the table and against copying the same bytes,
// LoadTree and SaveTree against raw reads and writes, a save with its backup against a durable
// write, the NodeAt scan at three sizes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BenchData.h"
#include "MemoryCounter.h"
#include "editor/rules/PhraseFilter.h"
#include "phrases/CharacterTable.h"
#include "phrases/PhraseCompiler.h"
#include "phrases/PhraseRules.h"
#include "phrases/TextEncoding.h"
#include "phrases/TreeFile.h"
#include "phrases/TreeNodes.h"
#include "pinyin/Reading.h"
#include "platform/FileSystem.h"
#include "shared/MemoryFolder.h"
#include "sync/Synchronise.h"

namespace bench {
namespace {

constexpr int kCategories = 1000;
constexpr int kPhrasesEach = 1000;
constexpr int kPhrases = kCategories * kPhrasesEach;
constexpr int kScanSubset = 2000;  // phrases compiled by the plain scan

struct Data {
    std::string dir;
    std::vector<std::string> characters;
    phrases::CharacterTable table;
    phrases::TTreeNodes tree;
    phrases::TTreeNodes subset;  // the first phrases of the tree, for the plain scan
    // The same shape drawn from GB2312's hanzi only, each of which has a reading: the filter's
    // pinyin rule looks at more characters there than in the tree of all ideographs.
    phrases::TTreeNodes gb2312Tree;
    std::string treeFile;  // the path of srf_pub.dat
    std::size_t treeBytes = 0;
    std::size_t compiledBytes = 0;
};

Data& TheData() {
    static Data* data = [] {
        auto* made = new Data;
        made->dir = (std::filesystem::current_path() / "bench-data").string();
        std::filesystem::create_directories(made->dir);
        made->characters = IdeographCodes();
        made->table.LoadFromBytes(TableFile(made->characters));
        FillTree(made->tree, made->characters, kCategories, kPhrasesEach);
        FillTree(made->subset, made->characters, 1, kScanSubset);
        FillTree(made->gb2312Tree, Gb2312HanziCodes(), kCategories, kPhrasesEach);
        made->treeFile = made->dir + "/srf_pub.dat";
        phrases::SaveTree(made->tree, made->treeFile);
        platform::ReplaceFileSafely(made->dir + "/srf_pub.zc", TableFile(made->characters));
        made->treeBytes = platform::ReadWholeFile(made->treeFile).size();
        made->compiledBytes = phrases::CompilePhrases(made->tree, made->table).size();
        return made;
    }();
    return *data;
}

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "benchmark check failed: %s\n", what);
        std::exit(2);
    }
}

// Plain I/O, as any program would do it: one read into a buffer of the file's size; one
// write of the whole buffer, with fsync when the caller's file must be durable.
std::string RawRead(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    const off_t size = ::lseek(fd, 0, SEEK_END);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    Check(::pread(fd, bytes.data(), bytes.size(), 0) == size, "raw read");
    ::close(fd);
    return bytes;
}

void RawWrite(const std::string& path, const std::string& bytes, bool durable) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    Check(::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()),
          "raw write");
    if (durable)
        ::fsync(fd);
    ::close(fd);
}

// The compile step with the table's plain scan instead of its index, same rules otherwise.
std::string CompileByScan(const phrases::TTreeNodes& tree, const phrases::CharacterTable& table) {
    std::string file;
    tree.ForEachNode([&](const phrases::TTreeNode& node, int level) {
        if (level == 0)
            return;
        const std::string_view text = phrases::TrimText(node.Text());
        const std::size_t characters = text.size() / 2;
        if (text.size() % 2 != 0 || characters < 2 ||
            characters > static_cast<std::size_t>(phrases::kMaxPhraseCharacters))
            return;
        std::string record(1, static_cast<char>(characters));
        for (std::size_t k = 0; k < characters; ++k) {
            const int position = table.FindByScan(static_cast<unsigned char>(text[2 * k]),
                                                  static_cast<unsigned char>(text[2 * k + 1]));
            if (position < 0)
                return;
            record += static_cast<char>((position + 1) & 0xFF);
            record += static_cast<char>((position + 1) >> 8);
        }
        file += record;
    });
    file += '\0';
    return file;
}

void Compile(benchmark::State& state) {
    Data& data = TheData();
    for (auto _ : state)
        benchmark::DoNotOptimize(phrases::CompilePhrases(data.tree, data.table));
    state.SetItemsProcessed(state.iterations() * kPhrases);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.compiledBytes));
}

void CompileByScanSubset(benchmark::State& state) {
    Data& data = TheData();
    Check(CompileByScan(data.subset, data.table) ==
              phrases::CompilePhrases(data.subset, data.table),
          "the scan compiles as the index does");
    for (auto _ : state)
        benchmark::DoNotOptimize(CompileByScan(data.subset, data.table));
    state.SetItemsProcessed(state.iterations() * kScanSubset);
}

// The compile step as the editor does it, the bytes going to srf_pub.usr; beside it, the copy
// of the same size: srf_pub.dat read and a file of the compiled size written.
void CompileToFile(benchmark::State& state) {
    Data& data = TheData();
    const std::string path = data.dir + "/srf_pub.usr";
    for (auto _ : state)
        RawWrite(path, phrases::CompilePhrases(data.tree, data.table), false);
    state.SetItemsProcessed(state.iterations() * kPhrases);
}

// The compile as srf_tool does it, from the file's bytes without a tree, in memory.
void CompileTreeFile(benchmark::State& state) {
    Data& data = TheData();
    const std::string file = RawRead(data.treeFile);
    Check(phrases::CompileTreeFile(file, data.table).View() ==
              phrases::CompilePhrases(data.tree, data.table),
          "the straight compile gives the tree's bytes");
    for (auto _ : state)
        benchmark::DoNotOptimize(phrases::CompileTreeFile(file, data.table));
    state.SetItemsProcessed(state.iterations() * kPhrases);
}

// Runs a program to its end, its output discarded.
void RunProcess(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    Check(::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0, "spawn");
    ::posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    Check(::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0,
          argv[0]);
}

// `srf_tool compile` as a whole process: start, read both files, compile, durable replace.
void ToolCompileProcess(benchmark::State& state) {
    Data& data = TheData();
    for (auto _ : state)
        RunProcess({SRF_TOOL_PATH, "compile", data.dir});
}

// Its baseline: a durable copy of srf_pub.dat by dd, also a whole process.
void DurableCopyProcess(benchmark::State& state) {
    Data& data = TheData();
    for (auto _ : state)
        RunProcess(
            {"dd", "if=" + data.treeFile, "of=" + data.dir + "/copy.dat", "bs=1M", "conv=fsync"});
}

void CopyBaseline(benchmark::State& state) {
    Data& data = TheData();
    const std::string path = data.dir + "/copy.usr";
    for (auto _ : state) {
        std::string bytes = RawRead(data.treeFile);
        bytes.resize(data.compiledBytes);
        RawWrite(path, bytes, false);
    }
}

void WriteCompiledFile(benchmark::State& state) {
    Data& data = TheData();
    const std::string path = data.dir + "/srf_pub.usr";
    for (auto _ : state)
        phrases::WriteCompiledFile(path, data.tree, data.table);
}

void LoadTree(benchmark::State& state) {
    Data& data = TheData();
    for (auto _ : state) {
        phrases::TTreeNodes tree;
        phrases::LoadTree(tree, data.treeFile);
        benchmark::DoNotOptimize(tree.NodeCount());
        state.PauseTiming();  // freeing the tree is not part of the load
        tree.ClearTree();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.treeBytes));
}

// Drops the file's pages from the page cache, so that the next read comes from the disk.
void Evict(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

void LoadTreeCold(benchmark::State& state) {
    Data& data = TheData();
    for (auto _ : state) {
        state.PauseTiming();
        Evict(data.treeFile);
        state.ResumeTiming();
        phrases::TTreeNodes tree;
        phrases::LoadTree(tree, data.treeFile);
        benchmark::DoNotOptimize(tree.NodeCount());
        state.PauseTiming();
        tree.ClearTree();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.treeBytes));
}

void RawReadColdBaseline(benchmark::State& state) {
    Data& data = TheData();
    for (auto _ : state) {
        state.PauseTiming();
        Evict(data.treeFile);
        state.ResumeTiming();
        benchmark::DoNotOptimize(RawRead(data.treeFile));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.treeBytes));
}

void RawReadBaseline(benchmark::State& state) {
    Data& data = TheData();
    for (auto _ : state)
        benchmark::DoNotOptimize(RawRead(data.treeFile));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.treeBytes));
}

void SaveTree(benchmark::State& state) {
    Data& data = TheData();
    const std::string path = data.dir + "/saved.dat";
    for (auto _ : state)
        phrases::SaveTree(data.tree, path);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.treeBytes));
}

// SaveTree makes its file durable (fsync) before it takes the old one's place; the raw write
// does the same, so that the ratio shows what the tree adds.
void RawWriteBaseline(benchmark::State& state) {
    Data& data = TheData();
    const std::string bytes = RawRead(data.treeFile);
    const std::string path = data.dir + "/raw.dat";
    for (auto _ : state)
        RawWrite(path, bytes, true);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.treeBytes));
}

// One save of srf_pub.dat that keeps the file it replaces as srf_pub.dat.bak (by a hard link),
// against the raw durable write above; for reference, the file replaced alone, and the backup
// kept the way that copies it: the old file read and written again before the new one.
void SaveWithBackup(benchmark::State& state) {
    Data& data = TheData();
    const std::string bytes = RawRead(data.treeFile);
    const std::string path = data.dir + "/kept.dat";
    platform::ReplaceFileSafely(path, bytes);
    for (auto _ : state)
        platform::ReplaceFileKeepingBackup(path, bytes, path + ".bak");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.treeBytes));
}

void SaveAlone(benchmark::State& state) {
    Data& data = TheData();
    const std::string bytes = RawRead(data.treeFile);
    const std::string path = data.dir + "/alone.dat";
    for (auto _ : state)
        platform::ReplaceFileSafely(path, bytes);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.treeBytes));
}

void SaveCopyingBackup(benchmark::State& state) {
    Data& data = TheData();
    const std::string bytes = RawRead(data.treeFile);
    const std::string path = data.dir + "/copied.dat";
    platform::ReplaceFileSafely(path, bytes);
    for (auto _ : state) {
        platform::ReplaceFileSafely(path + ".bak", platform::ReadWholeFile(path));
        platform::ReplaceFileSafely(path, bytes);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.treeBytes));
}

void FormatTree(benchmark::State& state) {
    Data& data = TheData();
    for (auto _ : state)
        benchmark::DoNotOptimize(phrases::FormatTree(data.tree));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.treeBytes));
}

void NodeAtScan(benchmark::State& state) {
    const int nodes = static_cast<int>(state.range(0));
    phrases::TTreeNodes tree;
    FillTree(tree, TheData().characters, nodes / 1000, 999);
    Check(tree.NodeCount() == nodes, "scan tree size");
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (int i = 0; i < nodes; ++i)
            bytes += tree.NodeAt(i)->Text().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * nodes);
}

// The filter box, one keystroke: the sought text is one Chinese character of the generator's
// (a few hundred phrases hold it), an ASCII letter none holds (every byte compared with its case
// folded), or nothing at all (every node shown).
std::string FilterText(const Data& data, std::int64_t which) {
    return which == 0 ? data.characters[1000] : which == 1 ? "q" : "";
}

void Filter(benchmark::State& state) {
    Data& data = TheData();
    const std::string sought = FilterText(data, state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(editor::FilterTree(data.tree, sought));
    state.SetItemsProcessed(state.iterations() * kPhrases);
}

// The baseline of the filter: a plain scan of every node's text for the same character
// (std::string_view::find, case and character boundaries ignored), counting the hits.
void FilterScanBaseline(benchmark::State& state) {
    Data& data = TheData();
    const std::string sought = FilterText(data, 0);
    for (auto _ : state) {
        int hits = 0;
        data.tree.ForEachNode([&](const phrases::TTreeNode& node, int) {
            hits += std::string_view(node.Text()).find(sought) != std::string_view::npos;
        });
        benchmark::DoNotOptimize(hits);
    }
    state.SetItemsProcessed(state.iterations() * kPhrases);
}

// The filter with and without its pinyin rule, for the same letters: a letter that starts many
// syllables, initials, a full reading; over the tree of all ideographs and over the one of
// GB2312's hanzi. The pinyin rule costs a bit test per character.
const char* const kPinyinQueries[] = {"q", "zg", "zhongguo"};

void FilterByRule(benchmark::State& state) {
    Data& data = TheData();
    const char* sought = kPinyinQueries[state.range(0)];
    const auto rule = state.range(1) ? editor::FilterRule::TextOrPinyin : editor::FilterRule::Text;
    const phrases::TTreeNodes& tree = state.range(2) ? data.gb2312Tree : data.tree;
    std::size_t shown = 0;
    for (auto _ : state)
        shown = editor::FilterTree(tree, sought, rule).shown.size();
    state.counters["shown"] = static_cast<double>(shown);
    state.SetItemsProcessed(state.iterations() * kPhrases);
}

// The reading of every phrase of the tree, one Reading reused as the editor's export would.
void ReadingsOfTree(benchmark::State& state) {
    Data& data = TheData();
    pinyin::Reading reading;
    for (auto _ : state) {
        std::size_t syllables = 0;
        data.tree.ForEachNode([&](const phrases::TTreeNode& node, int level) {
            if (level == 0)
                return;
            pinyin::ReadingOf(node.Text(), reading);
            syllables += reading.syllables.size();
        });
        benchmark::DoNotOptimize(syllables);
    }
    state.SetItemsProcessed(state.iterations() * kPhrases);
}

// Synchronisation at full scale: a member that holds the million phrases merges the logs of
// three others, 10,000 changes in all (renames, deletions, additions spread over the categories).
// The phrases are of GB2312 characters, as synchronised texts must be; the baseline is LoadTree of
// that same tree. The merge reads the logs, applies them and gives the new srf_pub.dat bytes; the
// engine is kept in memory between syncs (SyncEngine), its state encoded apart (SaveState).
using synchro::testing::MemoryFolder;

constexpr int kSyncChanges = 10000;
constexpr int kSyncMembers = 3;

struct SyncData {
    std::string treeFile;  // the path of the GB2312 tree's srf_pub.dat
    phrases::TTreeNodes tree;
    std::string state;  // the member's state once it has joined with the tree
    MemoryFolder folder;
    int changes = 0;
};

synchro::Here HereOf(const std::string& name, std::int64_t nowMs) {
    return {name, "C:\\Users\\" + name + "\\srf", nowMs, std::hash<std::string>{}(name)};
}

// One member's share of the changes, made to its copy of the tree.
int ChangeTree(phrases::TTreeNodes& tree, int member, int count) {
    std::vector<phrases::TTreeNode*> categories;
    for (phrases::TTreeNode* node = tree.FirstRoot(); node; node = node->NextSibling())
        categories.push_back(node);
    int made = 0;
    for (int k = 0; k < count; ++k) {
        phrases::TTreeNode* category =
            categories[static_cast<std::size_t>((member * 331 + k * 7) % kCategories)];
        phrases::TTreeNode* phrase = category->FirstChild();
        for (int skip = (k * 13 + member * 101) % (kPhrasesEach - 2); skip > 0 && phrase; --skip)
            phrase = phrase->NextSibling();
        if (!phrase)
            continue;
        // New texts: a GB2312 character and the member's number and change's number in ASCII.
        const std::string fresh = "\xB0\xA1" + std::to_string(member) + "-" + std::to_string(k);
        switch (k % 3) {
        case 0:
            tree.SetNodeText(phrase, fresh);
            break;
        case 1:
            tree.DeleteNode(phrase);
            break;
        default:
            tree.InsertAfter(phrase, fresh);
            break;
        }
        ++made;
    }
    return made;
}

SyncData& TheSyncData() {
    static SyncData* data = [] {
        auto* made = new SyncData;
        std::vector<std::string> characters;
        for (const std::string& code : TheData().characters)
            if (phrases::InGb2312(static_cast<unsigned char>(code[0]),
                                  static_cast<unsigned char>(code[1])))
                characters.push_back(code);
        FillTree(made->tree, characters, kCategories, kPhrasesEach);
        made->treeFile = TheData().dir + "/sync_pub.dat";
        phrases::SaveTree(made->tree, made->treeFile);

        // The member joins with the whole tree, then three copies of its data directory (three
        // other computers) make their changes and publish them.
        const std::int64_t start = 1'700'000'000'000;
        synchro::SyncEngine member("");
        member.Synchronise(made->tree, HereOf("MEMBER", start), made->folder);
        made->state = member.SaveState();
        const std::string bytes = phrases::FormatTree(made->tree);
        for (int other = 0; other < kSyncMembers; ++other) {
            phrases::TTreeNodes tree;
            phrases::ParseTree(tree, bytes);
            made->changes += ChangeTree(tree, other, kSyncChanges / kSyncMembers + 1);
            synchro::SyncEngine engine(made->state);
            const std::string name = "OTHER" + std::to_string(other);
            engine.Synchronise(tree, HereOf(name, start + 1000 * (other + 1)), made->folder);
        }
        return made;
    }();
    return *data;
}

void LoadSyncTree(benchmark::State& state) {
    SyncData& data = TheSyncData();
    for (auto _ : state) {
        phrases::TTreeNodes tree;
        phrases::LoadTree(tree, data.treeFile);
        benchmark::DoNotOptimize(tree.NodeCount());
        state.PauseTiming();
        tree.ClearTree();
        state.ResumeTiming();
    }
}

void SyncMerge(benchmark::State& state) {
    SyncData& data = TheSyncData();
    for (auto _ : state) {
        state.PauseTiming();
        auto engine = std::make_unique<synchro::SyncEngine>(data.state);
        MemoryFolder folder = data.folder;
        state.ResumeTiming();
        const synchro::SyncOutcome outcome =
            engine->Synchronise(data.tree, HereOf("MEMBER", 1'700'000'100'000), folder);
        benchmark::DoNotOptimize(outcome.treeFile);
        state.PauseTiming();
        Check(outcome.treeFile && !outcome.changes.empty(), "the merge changed the tree");
        engine.reset();
        state.ResumeTiming();
    }
}

void SyncSaveState(benchmark::State& state) {
    SyncData& data = TheSyncData();
    const synchro::SyncEngine engine(data.state);
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.SaveState());
}

void SyncLoadState(benchmark::State& state) {
    SyncData& data = TheSyncData();
    for (auto _ : state) {
        auto engine = std::make_unique<synchro::SyncEngine>(data.state);
        benchmark::DoNotOptimize(engine.get());
        state.PauseTiming();
        engine.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(Compile)->Unit(benchmark::kMillisecond);
BENCHMARK(CompileByScanSubset)->Unit(benchmark::kMillisecond);
BENCHMARK(CompileToFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CompileTreeFile)->Unit(benchmark::kMillisecond);
BENCHMARK(ToolCompileProcess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DurableCopyProcess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CopyBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(WriteCompiledFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LoadTree)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RawReadBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LoadTreeCold)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RawReadColdBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SaveTree)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RawWriteBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SaveWithBackup)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SaveAlone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SaveCopyingBackup)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FormatTree)->Unit(benchmark::kMillisecond);
BENCHMARK(Filter)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(FilterScanBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(FilterByRule)->ArgsProduct({{0, 1, 2}, {0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(ReadingsOfTree)->Unit(benchmark::kMillisecond);
BENCHMARK(NodeAtScan)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadSyncTree)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SyncMerge)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(SyncSaveState)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(SyncLoadState)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Keeps every run's seconds per iteration (the median when repeated) for the summary.
class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Iteration || median)
                m_seconds[run.run_name.function_name +
                          (run.run_name.args.empty() ? "" : "/" + run.run_name.args)] =
                    run.real_accumulated_time / static_cast<double>(run.iterations);
        }
    }
    double Seconds(const std::string& name) const {
        const auto found = m_seconds.find(name);
        return found == m_seconds.end() ? 0.0 : found->second;
    }

private:
    std::map<std::string, double> m_seconds;
};

// Peak resident memory while a fresh tree loads the file, split into the file's bytes (which hold
// the nodes' texts) and the rest: the nodes and their blocks.
struct Memory {
    double peakPerNode = 0;
    double filePerNode = 0;
    double nodesPerNode = 0;
};

Memory MeasureLoadMemory() {
    Data& data = TheData();
    Memory memory;
    auto tree = std::make_unique<phrases::TTreeNodes>();
    const std::size_t before = StartResidentPeak();
    phrases::LoadTree(*tree, data.treeFile);
    const double peak = static_cast<double>(ResidentPeak() - before);
    const double nodes = tree->NodeCount();
    const double file = static_cast<double>(data.treeBytes + 1);
    memory.peakPerNode = peak / nodes;
    memory.filePerNode = file / nodes;
    memory.nodesPerNode = (peak - file) / nodes;
    return memory;
}

void PrintSummary(const Collector& results) {
    const Data& data = TheData();
    const auto s = [&](const char* name) { return results.Seconds(name); };
    const double mb = 1e6;
    const double compile = s("Compile");
    const double scanPerPhrase = s("CompileByScanSubset") / kScanSubset;
    const double compilePerPhrase = compile / kPhrases;
    const double byScan = scanPerPhrase / compilePerPhrase;
    const double copyRatio = s("CompileToFile") / s("CopyBaseline");
    const double toolRatio = s("ToolCompileProcess") / s("DurableCopyProcess");
    const double loadRatio = s("LoadTree") / s("RawReadBaseline");
    const double loadColdRatio = s("LoadTreeCold") / s("RawReadColdBaseline");
    const double saveRatio = s("SaveTree") / s("RawWriteBaseline");
    const double backupRatio = s("SaveWithBackup") / s("RawWriteBaseline");
    const double scan4 = s("NodeAtScan/10000") / 1e4 * 1e9;
    const double scan5 = s("NodeAtScan/100000") / 1e5 * 1e9;
    const double scan6 = s("NodeAtScan/1000000") / 1e6 * 1e9;
    const double flat = std::max({scan4, scan5, scan6}) / std::min({scan4, scan5, scan6});
    const Memory memory = MeasureLoadMemory();
    const auto verdict = [](bool met) { return met ? "met" : "MISSED"; };

    std::printf(
        "\nData: %d phrases of 2 to 8 characters in %d categories (%d nodes), a table of "
        "%zu entries;\n      srf_pub.dat %.1f MB, srf_pub.usr %.1f MB.\n",
        kPhrases, kCategories, data.tree.NodeCount(), data.characters.size(), data.treeBytes / mb,
        data.compiledBytes / mb);
    std::printf("\n%-44s %18s %14s %7s\n", "Figure", "Measured", "Goal", "");
    std::printf("%-44s %14.2f M/s %14s\n", "Compile: phrases per second", kPhrases / compile / 1e6,
                "");
    std::printf("%-44s %13.1f MB/s %14s\n", "Compile: output bytes per second",
                data.compiledBytes / compile / mb, "");
    std::printf("%-44s %16.0f x %14s %7s\n", "Compile vs. plain table scan (per phrase)", byScan,
                ">= 1000 x", verdict(byScan >= 1000));
    std::printf("%-44s %16.2f x %14s %7s\n", "Compile to file vs. copy of the same bytes",
                copyRatio, "<= 3 x", verdict(copyRatio <= 3));
    std::printf("%-44s %14.2f M/s %14s\n", "Compile straight from the file's bytes",
                kPhrases / s("CompileTreeFile") / 1e6, "");
    std::printf("%-44s %16.2f x %14s %7s\n", "srf_tool compile vs. durable copy (processes)",
                toolRatio, "<= 2 x", verdict(toolRatio <= 2));
    std::printf("%-44s %13.1f MB/s %14s\n", "LoadTree", data.treeBytes / s("LoadTree") / mb, "");
    std::printf("%-44s %16.2f x %14s %7s\n", "LoadTree vs. raw read, from the disk", loadColdRatio,
                "<= 4 x", verdict(loadColdRatio <= 4));
    std::printf("%-44s %16.2f x %14s %7s\n", "LoadTree vs. raw read, from the page cache",
                loadRatio, "<= 8 x", verdict(loadRatio <= 8));
    std::printf("%-44s %13.1f MB/s %14s\n", "SaveTree", data.treeBytes / s("SaveTree") / mb, "");
    std::printf("%-44s %16.2f x %14s %7s\n", "SaveTree vs. raw durable write", saveRatio,
                "<= 1.3 x", verdict(saveRatio <= 1.3));
    std::printf("%-44s %16.2f x %14s %7s\n", "Save with its backup vs. a durable write",
                backupRatio, "<= 1.2 x", verdict(backupRatio <= 1.2));
    std::printf("%-44s %16.1f B %14s %7s\n", "Load peak per node besides text", memory.nodesPerNode,
                "<= 40 B", verdict(memory.nodesPerNode <= 40));
    std::printf("%-44s %16.1f B\n", "  (whole peak per node", memory.peakPerNode);
    std::printf("%-44s %16.1f B)\n", "   of which the file's bytes, the texts", memory.filePerNode);
    const double filterRatio = s("Filter/0") / s("FilterScanBaseline");
    std::printf("%-44s %15.1f ms %14s %7s\n", "Filter, one character", s("Filter/0") * 1e3, "", "");
    std::printf("%-44s %16.2f x %14s %7s\n", "Filter vs. a plain scan of the texts", filterRatio,
                "", "");
    std::printf("%-44s %15.1f ms\n", "Filter, an ASCII letter no phrase holds",
                s("Filter/1") * 1e3);
    std::printf("%-44s %15.1f ms\n", "Filter, empty (every node shown)", s("Filter/2") * 1e3);
    for (int tree = 0; tree < 2; ++tree) {
        for (int q = 0; q < 3; ++q) {
            const std::string args = "/" + std::to_string(q) + "/";
            const std::string end = "/" + std::to_string(tree);
            const double text = s(("FilterByRule" + args + "0" + end).c_str());
            const double pinyin = s(("FilterByRule" + args + "1" + end).c_str());
            char label[64];
            std::snprintf(label, sizeof label, "Filter with pinyin vs. without, \"%s\"%s",
                          kPinyinQueries[q], tree ? ", GB2312" : "");
            std::printf("%-44s %16.2f x %14s %7s\n", label, pinyin / text, "<= 1.5 x",
                        verdict(pinyin / text <= 1.5));
            std::printf("%-44s %9.1f / %.1f ms\n", "  (without / with)", text * 1e3, pinyin * 1e3);
        }
    }
    const double readingsRatio = s("ReadingsOfTree") / s("LoadTree");
    std::printf("%-44s %16.2f x %14s\n", "Readings of every phrase vs. LoadTree", readingsRatio,
                "");
    std::printf("%-44s %15.1f ms\n", "  (readings of 1,000,000 phrases)",
                s("ReadingsOfTree") * 1e3);
    std::printf("%-44s %11.1f ns/step\n", "NodeAt scan at N = 10^4", scan4);
    std::printf("%-44s %11.1f ns/step\n", "NodeAt scan at N = 10^5", scan5);
    std::printf("%-44s %11.1f ns/step\n", "NodeAt scan at N = 10^6", scan6);
    std::printf("%-44s %16.2f x %14s %7s\n", "NodeAt scan: slowest step / fastest step", flat,
                "<= 2 x (flat)", verdict(flat <= 2));
    const double syncRatio = s("SyncMerge") / s("LoadSyncTree");
    std::printf("%-44s %16.2f x %14s %7s\n", "Sync: merge of 10,000 changes vs. LoadTree",
                syncRatio, "<= 2 x", verdict(syncRatio <= 2));
    std::printf("%-44s %15.1f ms\n", "  (the merge", s("SyncMerge") * 1e3);
    std::printf("%-44s %15.1f ms)\n", "   LoadTree of the same tree", s("LoadSyncTree") * 1e3);
    std::printf("%-44s %15.1f ms\n", "Sync: state encoded (SaveState)", s("SyncSaveState") * 1e3);
    std::printf("%-44s %15.1f ms\n", "Sync: state read (an engine made from it)",
                s("SyncLoadState") * 1e3);
    std::printf(
        "\nFor reference: WriteCompiledFile (temporary file, fsync, rename) %.1f ms; "
        "FormatTree %.1f ms;\nLoadTree %.1f ms from the disk, %.1f ms from the page cache; raw read %.1f ms "
        "from the disk, %.1f ms from the page cache;\nraw durable write %.1f ms; copy %.1f ms;\nsrf_tool compile %.1f ms, "
        "dd bs=1M conv=fsync %.1f ms (whole processes);\nsave with its backup %.1f ms, the file "
        "replaced alone %.1f ms, with the backup copied %.1f ms.\n",
        s("WriteCompiledFile") * 1e3, s("FormatTree") * 1e3, s("LoadTreeCold") * 1e3,
        s("LoadTree") * 1e3, s("RawReadColdBaseline") * 1e3, s("RawReadBaseline") * 1e3,
        s("RawWriteBaseline") * 1e3, s("CopyBaseline") * 1e3, s("ToolCompileProcess") * 1e3,
        s("DurableCopyProcess") * 1e3, s("SaveWithBackup") * 1e3, s("SaveAlone") * 1e3,
        s("SaveCopyingBackup") * 1e3);
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
    // Three runs of each, and the median of them, unless the command line says otherwise: a
    // busy machine then disturbs one run rather than the figure.
    std::vector<char*> arguments(argv, argv + argc);
    char repetitions[] = "--benchmark_repetitions=3";
    char aggregates[] = "--benchmark_report_aggregates_only=true";
    arguments.insert(arguments.begin() + 1, {repetitions, aggregates});
    argc = static_cast<int>(arguments.size());
    argv = arguments.data();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    bench::TheData();
    bench::Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    bench::PrintSummary(collector);
    benchmark::Shutdown();
    return 0;
}
