// How the work on user.mac grows with the file: the status evaluation, the install-time edit and the
// remove-time edit on files of 1 thousand to 1 million lines, each next to merely reading (and writing)
// the same bytes through the same file operations. Every edit starts from the original file, restored
// untimed before each iteration, and so do the read-and-write yardsticks. Split, Purge and Join time the
// stages of an edit in memory, to show where its time goes. The Peak benchmarks give the most heap the status
// and the edits hold at once (every allocation of this program is counted), beside the file's size.
//
//   orvbench-usermac [Google Benchmark options]        the benchmarks; files under $ORV_BENCH_DIR
//   orvbench-usermac make-user-mac LINES PATH          writes the test file of that many lines
//
// Second argument of the writing benchmarks: 1 = every write flushed to the disk (as the installer
// does), 0 = left to the page cache (only the work on the lines and the copying remain).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <new>
#include <string>

#include "HostLocation.h"
#include "LineList.h"
#include "PosixFiles.h"
#include "UserMacEdit.h"

// ---- every allocation counted: the heap in use and the most of it in use since the last reset

namespace heap {

std::atomic<std::size_t> inUse{0};
std::atomic<std::size_t> peak{0};

void* Taken(void* block) noexcept {
    if (block == nullptr) return nullptr;
    const std::size_t now = inUse += malloc_usable_size(block);
    std::size_t seen = peak.load(std::memory_order_relaxed);
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
    return block;
}

void Give(void* block) noexcept {
    if (block == nullptr) return;
    inUse -= malloc_usable_size(block);
    std::free(block);
}

void* TakeOrNull(std::size_t size) noexcept { return Taken(std::malloc(size == 0 ? 1 : size)); }

void* Take(std::size_t size) {
    void* block = TakeOrNull(size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

}  // namespace heap

void* operator new(std::size_t size) { return heap::Take(size); }
void* operator new[](std::size_t size) { return heap::Take(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return heap::TakeOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return heap::TakeOrNull(size); }
void operator delete(void* block) noexcept { heap::Give(block); }
void operator delete[](void* block) noexcept { heap::Give(block); }
void operator delete(void* block, std::size_t) noexcept { heap::Give(block); }
void operator delete[](void* block, std::size_t) noexcept { heap::Give(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { heap::Give(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { heap::Give(block); }

namespace {

// A user.mac of the given number of lines: every tenth names the add-on's folder (the purge takes it
// out) unless the file holds the site's own lines only, one in twenty is blank, none starts the add-on, so
// the status looks at every line.
std::string UserMacText(long lines, bool addonLines = true) {
    std::string text;
    text.reserve(static_cast<std::size_t>(lines) * 40);
    char line[96];
    for (long i = 0; i < lines; ++i) {
        if (addonLines && i % 10 == 5) std::snprintf(line, sizeof line, "MACRO \"..\\OV\\OVTOOL%ld.MAC\",GO", i);
        else if (i % 20 == 9) line[0] = '\0';
        else if (i % 3 == 0) std::snprintf(line, sizeof line, "  ! lab macro %ld, keep", i);
        else std::snprintf(line, sizeof line, "MACRO \"C:\\HPCHEM\\CORE\\USER%06ld.MAC\",GO", i);
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string WorkFolder() {
    const char* set = std::getenv("ORV_BENCH_DIR");
    return set != nullptr ? set : "/var/tmp/orvandel-bench-usermac";
}

// One tree per size: <work>/<lines>/core/user.mac (<lines>-site for the site's lines only), with the
// original bytes kept in memory.
struct Tree {
    std::string root;
    std::string userMac;
    std::string original;
};

const Tree& TreeOf(long lines, bool addonLines = true) {
    static std::map<std::pair<long, bool>, Tree> trees;
    auto found = trees.find({lines, addonLines});
    if (found != trees.end()) return found->second;
    Tree tree;
    tree.root = WorkFolder() + "/" + std::to_string(lines) + (addonLines ? "" : "-site");
    mkdir(WorkFolder().c_str(), 0777);
    mkdir(tree.root.c_str(), 0777);
    mkdir((tree.root + "/core").c_str(), 0777);
    tree.userMac = tree.root + "/core/user.mac";
    tree.original = UserMacText(lines, addonLines);
    return trees.emplace(std::make_pair(lines, addonLines), std::move(tree)).first->second;
}

void Restore(const Tree& tree) {
    orvbench::PosixFiles files(false);
    files.WriteWholeFile(tree.userMac, tree.original.data(), tree.original.size());
}

class NoView final : public orv::StatusView {
public:
    void ShowPanel(orv::Panel, bool) override {}
    void EnableButton(orv::Button, bool) override {}
    void SetVersionText(const std::string&) override {}
};

// Nobody at the screen: the clean-up question is answered No, as in a quiet run.
class NoPerson final : public orv::UserDialogs {
public:
    orv::DialogAnswer ShowMessageDialog(const std::string&, orv::DialogKind, orv::DialogButtons buttons) override {
        return buttons == orv::DialogButtons::YesNo ? orv::AnswerNo : orv::AnswerOk;
    }
    void EditUserMac() override {}
};

// The installer runs once, in a fresh process that has no freed heap to reuse: every timed run starts with
// this program's freed heap handed back to the system, so that its memory comes fresh from the system as
// the installer's does, the yardsticks' as well. Untimed. ORV_BENCH_KEEP_HEAP=1 keeps it instead, to time
// the work alone where taking memory costs nothing (with GLIBC_TUNABLES=glibc.malloc.mmap_threshold=...
// above the file's size, so that even the largest blocks are kept).
void HandBackHeap() {
    static const bool keep = std::getenv("ORV_BENCH_KEEP_HEAP") != nullptr;
    if (!keep) malloc_trim(0);
}

void FreshHeap(benchmark::State& state) {
    state.PauseTiming();
    HandBackHeap();
    state.ResumeTiming();
}

void Report(benchmark::State& state, long lines, const Tree& tree) {
    state.counters["lines"] = static_cast<double>(lines);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * tree.original.size()));
}

// ---- reading only: the status and its yardstick

void Read(benchmark::State& state) {
    const long lines = state.range(0);
    const Tree& tree = TreeOf(lines);
    Restore(tree);
    orvbench::PosixFiles files(false);
    for (auto _ : state) {
        FreshHeap(state);
        benchmark::DoNotOptimize(files.ReadWholeFile(tree.userMac));
    }
    Report(state, lines, tree);
}

void Status(benchmark::State& state) {
    const long lines = state.range(0);
    const Tree& tree = TreeOf(lines);
    Restore(tree);
    orvbench::PosixFiles files(false);
    NoView view;
    for (auto _ : state) {
        FreshHeap(state);
        orv::RefreshStatus(files, tree.root, view);
    }
    Report(state, lines, tree);
}

// ---- reading and writing: the two edits and their yardstick

template <typename Work>
void Rewrite(benchmark::State& state, Work work) {
    const long lines = state.range(0);
    const Tree& tree = TreeOf(lines);
    orvbench::PosixFiles files(state.range(1) != 0);
    for (auto _ : state) {
        state.PauseTiming();
        Restore(tree);
        HandBackHeap();
        state.ResumeTiming();
        work(files, tree);
    }
    Report(state, lines, tree);
}

void ReadWrite(benchmark::State& state) {
    Rewrite(state, [](orvbench::PosixFiles& files, const Tree& tree) {
        const std::string bytes = files.ReadWholeFile(tree.userMac);
        files.WriteWholeFile(tree.userMac, bytes.data(), bytes.size());
    });
}

void InstallEdit(benchmark::State& state) {
    Rewrite(state, [](orvbench::PosixFiles& files, const Tree& tree) {
        NoPerson nobody;
        orv::EditUserMacForInstall(files, tree.root, nobody);
    });
}

void RemoveEdit(benchmark::State& state) {
    Rewrite(state, [](orvbench::PosixFiles& files, const Tree& tree) {
        NoPerson nobody;
        orv::EditUserMacForRemove(files, tree.root, nobody);
    });
}

// ---- the stages of an edit, in memory: bytes to lines, the purge, lines to bytes (the copy that a save
// makes when the read bytes have no room for the text)

void Split(benchmark::State& state) {
    const Tree& tree = TreeOf(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        std::string bytes = tree.original;  // as read
        orv::LineList lines;
        HandBackHeap();
        state.ResumeTiming();
        lines.SetText(std::move(bytes));
        state.PauseTiming();
        lines = orv::LineList();  // freed untimed
        state.ResumeTiming();
    }
    Report(state, state.range(0), tree);
}

void Purge(benchmark::State& state) {
    const Tree& tree = TreeOf(state.range(0));
    orv::LineList original;
    original.SetText(tree.original);
    for (auto _ : state) {
        state.PauseTiming();
        orv::LineList lines = original;
        state.ResumeTiming();
        orv::PurgeAddonLines(lines);
        state.PauseTiming();
        lines = orv::LineList();  // freed untimed
        state.ResumeTiming();
    }
    Report(state, state.range(0), tree);
}

void Join(benchmark::State& state) {
    const Tree& tree = TreeOf(state.range(0));
    orv::LineList lines;
    lines.SetText(tree.original);
    orv::PurgeAddonLines(lines);
    lines.InsertAt(0, "MACRO \"..\\OV\\OV.MCX\",GO");
    for (auto _ : state) {
        FreshHeap(state);
        benchmark::DoNotOptimize(lines.Text());
    }
    Report(state, state.range(0), tree);
}

// ---- peak memory: the heap an operation holds at most beyond what was in use before it

template <typename Work>
void Peak(benchmark::State& state, const Tree& tree, Work work) {
    orvbench::PosixFiles files(false);
    std::size_t most = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Restore(tree);
        const std::size_t before = heap::inUse;
        heap::peak = before;
        state.ResumeTiming();
        work(files, tree);
        most = std::max(most, heap::peak - before);
    }
    state.counters["lines"] = static_cast<double>(state.range(0));
    state.counters["file_bytes"] = static_cast<double>(tree.original.size());
    state.counters["peak_bytes"] = static_cast<double>(most);
    state.counters["peak_per_file_byte"] = static_cast<double>(most) / static_cast<double>(tree.original.size());
}

void Install(orvbench::PosixFiles& files, const Tree& tree) {
    NoPerson nobody;
    orv::EditUserMacForInstall(files, tree.root, nobody);
}

void PeakStatus(benchmark::State& state) {
    NoView view;
    Peak(state, TreeOf(state.range(0)),
         [&view](orvbench::PosixFiles& files, const Tree& tree) { orv::RefreshStatus(files, tree.root, view); });
}

void PeakInstallEdit(benchmark::State& state) { Peak(state, TreeOf(state.range(0)), Install); }

// The first install into the site's own lines: nothing is purged and the start line is new, so the text to
// save is longer than the bytes read and is built beside them.
void PeakFirstInstallEdit(benchmark::State& state) { Peak(state, TreeOf(state.range(0), false), Install); }

void PeakRemoveEdit(benchmark::State& state) {
    Peak(state, TreeOf(state.range(0)), [](orvbench::PosixFiles& files, const Tree& tree) {
        NoPerson nobody;
        orv::EditUserMacForRemove(files, tree.root, nobody);
    });
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (long lines : {1000L, 10000L, 100000L, 1000000L}) b->Arg(lines);
}

void SizesAndFlush(benchmark::internal::Benchmark* b) {
    for (long flush : {1L, 0L}) {
        for (long lines : {1000L, 10000L, 100000L, 1000000L}) b->Args({lines, flush});
    }
}

BENCHMARK(Read)->Apply(Sizes)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Status)->Apply(Sizes)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadWrite)->Apply(SizesAndFlush)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(InstallEdit)->Apply(SizesAndFlush)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(RemoveEdit)->Apply(SizesAndFlush)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Split)->Apply(Sizes)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Purge)->Apply(Sizes)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Join)->Apply(Sizes)->UseRealTime()->Unit(benchmark::kMicrosecond);
// One run each: the heap an operation holds does not vary from run to run.
BENCHMARK(PeakStatus)->Apply(Sizes)->Iterations(1)->Repetitions(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(PeakInstallEdit)->Apply(Sizes)->Iterations(1)->Repetitions(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(PeakFirstInstallEdit)->Apply(Sizes)->Iterations(1)->Repetitions(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(PeakRemoveEdit)->Apply(Sizes)->Iterations(1)->Repetitions(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "make-user-mac") {
        std::ofstream out(argv[3], std::ios::binary);
        out << UserMacText(std::atol(argv[2]));
        return out.good() ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
