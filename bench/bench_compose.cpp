// Composition against loading the language file alone: 100,000 used pairs in 100 chosen
// lessons, MaxWords 500. A start loads the file before it composes, so Load is the baseline;
// the compositions run on the loaded file.
#include "BenchSupport.h"
#include "data/FileUtil.h"
#include "exercise/ExerciseHelpFunc.h"
#include "progress/DueWords.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace {

using namespace lexaro;

constexpr int kLessons = 100;
constexpr int kPairsPerLesson = 1000;

struct Fixture {
    std::filesystem::path folder;
    std::string langPath;
    byteArray pristine;
    TExerciseData ex;
    ArrayWordData heldBack;

    Fixture() {
        folder = bench::BenchFolder("compose");
        langPath = (folder / "en-de.lang").string();

        TLangFHandler lang;
        lang.SetLanguageNames("English", "Deutsch");
        for (int n = 1; n <= kLessons; ++n) {
            auto lesson = std::make_shared<TLesson>();
            lesson->number = n;
            for (int k = 0; k < kPairsPerLesson; ++k) {
                auto pair = lesson->NewPair(k);
                pair->text1 = "the word number " + std::to_string(n * kPairsPerLesson + k);
                pair->text2 = "das Wort Nummer " + std::to_string(n * kPairsPerLesson + k);
                pair->use = true;
            }
            lang.PutLesson(lesson);
        }
        pristine = lang.SaveBytes();
        Restore();

        ex.MaxWords = 500;
        for (int n = 1; n <= kLessons; ++n)
            ex.AvailableUnits.push_back(n);
    }
    ~Fixture() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    void Restore() const {
        std::ofstream out(langPath, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(pristine.data()),
                  static_cast<std::streamsize>(pristine.size()));
    }
    // The file as a start loads it. Each run draws at most a few hundred of the 100,000
    // pairs, so the runs find nearly the same number of fresh pairs.
    void Load(TLangFHandler& lang) const {
        lang.Clear();
        lang.LoadBytes(pristine);
    }
    // An exercise list as a run leaves it: n entries with mixed priorities.
    ArrayWordData RunList(int n) const {
        ArrayWordData list;
        for (int i = 0; i < n; ++i)
            list.push_back({1 + i % kLessons, i / kLessons, i % 4 == 0 ? 9 : i % 3, false});
        return list;
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_Load(benchmark::State& state) {
    Fixture& f = Shared();
    TLangFHandler lang;
    for (auto _ : state) {
        lang.Clear();
        benchmark::DoNotOptimize(lang.Load(f.langPath));
    }
}

void BM_ComposeNew(benchmark::State& state) {
    Fixture& f = Shared();
    TLangFHandler lang;
    f.Load(lang);
    TRandomGen rng(1);
    for (auto _ : state) {
        composeNew(f.ex, f.heldBack, lang, rng);
        benchmark::DoNotOptimize(f.ex.ExerciseWords.data());
    }
}

void BM_ComposeContinue(benchmark::State& state) {
    Fixture& f = Shared();
    TLangFHandler lang;
    f.Load(lang);
    TRandomGen rng(1);
    // 400 entries: the fill runs, then the split frees places for the top-up.
    const ArrayWordData start = f.RunList(400);
    for (auto _ : state) {
        f.ex.ExerciseWords = start;
        composeContinue(f.ex, f.heldBack, lang, false, rng);
        benchmark::DoNotOptimize(f.ex.ExerciseWords.data());
    }
}

void BM_FillFresh(benchmark::State& state) {
    Fixture& f = Shared();
    TLangFHandler lang;
    f.Load(lang);
    TRandomGen rng(1);
    const ArrayWordData start = f.RunList(250);
    for (auto _ : state) {
        f.ex.ExerciseWords = start;
        fillFresh(f.ex, f.heldBack, lang, rng);
        benchmark::DoNotOptimize(f.ex.ExerciseWords.data());
    }
}

// A year of practice: 60,000 graded cards over 20,000 of the pairs, both sides, as journal text.
const std::string& PracticeJournal() {
    static const std::string journal = [] {
        std::string text = std::string(kJournalHeader) + "\n";
        const std::int64_t start = 1767290400; // 2026-01-01T18:00:00Z
        for (std::int64_t i = 0; i < 60'000; ++i) {
            const std::int64_t pair = (i * 7919) % 20'000;
            TJournalLine line;
            line.time = std::chrono::sys_seconds{std::chrono::seconds{start + i * 500}};
            line.lesson = static_cast<std::int32_t>(1 + pair / kPairsPerLesson);
            line.pairId = static_cast<std::int32_t>(pair % kPairsPerLesson);
            line.text1 =
                "the word number " + std::to_string(line.lesson * kPairsPerLesson + line.pairId);
            line.presentedSide = 1 + static_cast<std::int32_t>(i % 2);
            line.verdict = i % 5 == 0 ? TJournalVerdict::Wrong : TJournalVerdict::Right;
            text += FormatJournalLine(line);
        }
        return text;
    }();
    return journal;
}

// Due words first on the loaded file, the memory model replayed beforehand.
void BM_ComposeDueFirst(benchmark::State& state) {
    Fixture& f = Shared();
    TLangFHandler lang;
    f.Load(lang);
    TMemoryReplay model;
    model.Feed(PracticeJournal());
    model.Finish();
    TDueOptions options;
    options.now = 1767290400 + 60'000 * 500 + 86400;
    for (auto _ : state) {
        auto list = ComposeDueFirst(f.ex, f.heldBack, lang, TCodePage::Western(), model, options);
        benchmark::DoNotOptimize(list.data());
    }
}

// The same with the replay of the journal, as a start does it.
void BM_ReplayAndComposeDueFirst(benchmark::State& state) {
    Fixture& f = Shared();
    TLangFHandler lang;
    f.Load(lang);
    TDueOptions options;
    options.now = 1767290400 + 60'000 * 500 + 86400;
    for (auto _ : state) {
        TMemoryReplay model;
        model.Feed(PracticeJournal());
        model.Finish();
        auto list = ComposeDueFirst(f.ex, f.heldBack, lang, TCodePage::Western(), model, options);
        benchmark::DoNotOptimize(list.data());
    }
}

BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeDueFirst)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplayAndComposeDueFirst)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeNew)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeContinue)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillFresh)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
