// Reading the practice journal: a journal of 1M lines (years of practice) counted per day by
// TJournalTally through ReadJournalFile, against a raw count of the line ends of the same file
// read in the same blocks; goal: within 3x. The memory model replayed from the same journal
// (TMemoryReplay), against the tally; goal: within 3x of it. Both from one pass over the file
// (TJournalLinesBoth, as the progress window reads them), against the two read one after the
// other; goal: no slower.
#include "progress/Journal.h"
#include "progress/JournalReader.h"
#include "progress/MemoryModel.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace lexaro;
using namespace std::chrono;

constexpr int kLines = 1'000'000;

const std::filesystem::path& Journal() {
    static const std::filesystem::path path = [] {
        const auto p = std::filesystem::temp_directory_path() / "lexaro_bench_journal.tsv";
        std::ofstream out(p, std::ios::binary);
        out << kJournalHeader << '\n';
        // About 150 cards a day over 18 years, words of the starter file's lengths, a quarter
        // typed.
        const char* words[] = {"the house",
                               "the kitchen",
                               "to go for a walk",
                               "das Zimmer",
                               "K\xC3\xBC"
                               "che",
                               "the flat"};
        sys_seconds t = sys_days{year{2008} / 1 / 1} + hours{8};
        std::string block;
        for (int i = 0; i < kLines; ++i) {
            TJournalLine line;
            line.time = t;
            line.lesson = 1 + i % 30;
            line.pairId = i % 500;
            line.text1 = words[i % 6];
            line.presentedSide = 1 + i % 2;
            line.verdict = i % 4 == 0   ? TJournalVerdict::Right
                           : i % 4 == 1 ? TJournalVerdict::Wrong
                                        : TJournalVerdict::None;
            line.priorityChosen = i % 10;
            block += FormatJournalLine(line);
            t += seconds{576};
            if (block.size() > (1u << 20)) {
                out << block;
                block.clear();
            }
        }
        out << block;
        return p;
    }();
    return path;
}

void BM_RawLineCount(benchmark::State& state) {
    const auto& path = Journal();
    std::vector<char> buffer(256 * 1024);
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        std::int64_t lines = 0;
        for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;)
            for (ssize_t i = 0; i < n; ++i)
                lines += buffer[static_cast<std::size_t>(i)] == '\n';
        ::close(fd);
        benchmark::DoNotOptimize(lines);
        if (lines != kLines + 1)
            state.SkipWithError("wrong line count");
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_RawLineCount)->Unit(benchmark::kMillisecond);

void BM_JournalTally(benchmark::State& state) {
    const auto& path = Journal();
    for (auto _ : state) {
        TJournalTally tally;
        ReadJournalFile(path, tally);
        benchmark::DoNotOptimize(tally.Lines());
        if (tally.Lines() != kLines || tally.Skipped() != 0)
            state.SkipWithError("wrong tally");
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_JournalTally)->Unit(benchmark::kMillisecond);

// The same with the learner's time zone asked (cached per hour).
void BM_JournalTallyLocalTime(benchmark::State& state) {
    const auto& path = Journal();
    for (auto _ : state) {
        TJournalTally tally(LocalUtcOffset);
        ReadJournalFile(path, tally);
        benchmark::DoNotOptimize(tally.Lines());
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_JournalTallyLocalTime)->Unit(benchmark::kMillisecond);

// The memory of every pair and direction replayed from the journal, read in the same blocks.
void BM_MemoryReplay(benchmark::State& state) {
    const auto& path = Journal();
    std::vector<char> buffer(256 * 1024);
    for (auto _ : state) {
        TMemoryReplay replay;
        const int fd = ::open(path.c_str(), O_RDONLY);
        for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;)
            replay.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
        ::close(fd);
        replay.Finish();
        benchmark::DoNotOptimize(replay.Memories());
        if (replay.Lines() != kLines || replay.Skipped() != 0)
            state.SkipWithError("wrong replay");
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_MemoryReplay)->Unit(benchmark::kMillisecond);

// The day counts and the memory model as the progress window gets them: one pass, each line
// handed to both.
void BM_TallyAndReplayOnePass(benchmark::State& state) {
    const auto& path = Journal();
    for (auto _ : state) {
        TJournalTally tally;
        TMemoryReplay replay;
        TJournalLinesBoth both(tally, replay);
        ReadJournalFile(path, both);
        benchmark::DoNotOptimize(replay.Memories());
        if (both.Lines() != kLines || both.Skipped() != 0)
            state.SkipWithError("wrong pass");
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_TallyAndReplayOnePass)->Unit(benchmark::kMillisecond);

// The baseline: the file read twice, once for each.
void BM_TallyAndReplayTwoPasses(benchmark::State& state) {
    const auto& path = Journal();
    for (auto _ : state) {
        TJournalTally tally;
        TMemoryReplay replay;
        ReadJournalFile(path, tally);
        ReadJournalFile(path, replay);
        benchmark::DoNotOptimize(replay.Memories());
        if (tally.Lines() != kLines || replay.Lines() != kLines)
            state.SkipWithError("wrong passes");
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_TallyAndReplayTwoPasses)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
