// Does "due words first" help? A simulated learner practises 1,000 pairs (10 lessons of 100),
// one exercise of 20 typed cards a day for 90 days, once with the composition by priorities
// (priorities from answers, as Write mode sets them) and once with due words first (the
// memory model replayed from the journal the run writes). The learner's memory follows a model
// of its own, not the scheduler's: exponential forgetting with a half-life per pair that grows
// with spaced successful reviews, by a per-pair ease, and shrinks with a failure. The figure
// is the expected number of pairs the learner recalls on days 30, 60 and 90 (the sum over
// all pairs of the chance of recall that morning). Deterministic: a fixed seed.
//   memory_simulation [seed]
#include "BenchSupport.h"
#include "data/CodePage.h"
#include "data/LangFHandler.h"
#include "exercise/ExerciseHelpFunc.h"
#include "exercise/ExerciseRun.h"
#include "progress/DueWords.h"
#include "progress/Journal.h"
#include "progress/MemoryModel.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace lexaro;

constexpr int kLessons = 10;
constexpr int kPairsPerLesson = 100;
constexpr int kCardsPerDay = 20;
constexpr int kDays = 90;
constexpr std::int64_t kDay = 86400;
// 2026-01-01T18:00:00Z: the learner practises in the evening.
constexpr std::int64_t kFirstEvening = 1767290400;
constexpr int kMeasureDays[] = {30, 60, 90};

// The simulated learner's memory of one pair.
struct TLearnerMemory {
    double ease = 1;         // 0.5 (hard pair) .. 2 (easy pair)
    double halfLifeDays = 0; // 0: never seen
    std::int64_t lastSeen = 0;

    double Recall(std::int64_t now) const {
        if (halfLifeDays <= 0)
            return 0;
        const double days = static_cast<double>(now - lastSeen) / static_cast<double>(kDay);
        return std::exp2(-days / halfLifeDays);
    }
    // The card was answered (right or not) and its solution shown.
    void Practised(bool right, double recall, std::int64_t now) {
        if (halfLifeDays <= 0)
            halfLifeDays = ease;
        else if (right)
            // Spaced retrieval strengthens most: the lower the chance was, the more.
            halfLifeDays *= 1.5 + 2.0 * ease * (1 - recall);
        else
            halfLifeDays = std::max(0.5 * ease, 0.5 * halfLifeDays);
        lastSeen = now;
    }
};

struct TLearner {
    std::vector<TLearnerMemory> memory;
    std::mt19937_64 rng;

    explicit TLearner(std::uint64_t seed) : memory(kLessons * kPairsPerLesson), rng(seed) {
        std::uniform_real_distribution<double> ease(0.5, 2.0);
        for (TLearnerMemory& m : memory)
            m.ease = ease(rng);
    }
    TLearnerMemory& Of(std::int32_t lesson, std::int32_t id) {
        return memory[static_cast<std::size_t>((lesson - 1) * kPairsPerLesson + id)];
    }
    // Answers a card at a time; true when right.
    bool Answer(std::int32_t lesson, std::int32_t id, std::int64_t now) {
        TLearnerMemory& m = Of(lesson, id);
        const double recall = m.Recall(now);
        const bool right = std::uniform_real_distribution<double>(0, 1)(rng) < recall;
        m.Practised(right, recall, now);
        return right;
    }
    double Expected(std::int64_t now) const {
        double sum = 0;
        for (const TLearnerMemory& m : memory)
            sum += m.Recall(now);
        return sum;
    }
};

TLangFHandler MakeFile() {
    TLangFHandler lang;
    lang.SetLanguageNames("English", "Deutsch");
    bench::FillLessons(lang, kLessons, kPairsPerLesson,
                       [](TWordPear& pair, std::int32_t lesson, std::int64_t k) {
                           pair.text1 = "word " + std::to_string(lesson * 1000 + k);
                           pair.text2 = "Wort " + std::to_string(lesson * 1000 + k);
                           pair.use = true;
                       });
    return lang;
}

TExerciseData MakeExercise() {
    TExerciseData ex;
    ex.MaxWords = kCardsPerDay;
    ex.FirstLang = true;
    for (int n = 1; n <= kLessons; ++n)
        ex.AvailableUnits.push_back(n);
    return ex;
}

using TFigures = std::map<int, double>;

// The composition by priorities: each evening the program starts (the held-back entries come
// back at the end of the list, cut to the maximum), continues the composition, and the learner
// types each card; the verdicts set the priorities; the close holds entries back.
TFigures ByPriorities(std::uint64_t seed) {
    TLearner learner(seed);
    TLangFHandler lang = MakeFile();
    TExerciseData ex = MakeExercise();
    ArrayWordData heldBack;
    // The shuffle reseeds from its clock now and then: a clock of its own keeps the run the same.
    TRandomGen rng(static_cast<std::uint32_t>(seed),
                   [tick = std::uint32_t{0}]() mutable { return ++tick; });
    TFigures figures;
    for (int day = 0; day < kDays; ++day) {
        const std::int64_t evening = kFirstEvening + day * kDay;
        for (const int d : kMeasureDays)
            if (day == d - 1)
                figures[d] = learner.Expected(evening - 10 * 3600); // that morning
        if (day == 0) {
            composeNew(ex, heldBack, lang, rng);
        } else {
            // The settings as a start reads them: the list, then the held-back entries.
            ArrayWordData read;
            for (const ExerciseEntry& e : ex.ExerciseWords)
                if (e.priority < 9 && !e.transient)
                    read.push_back(e);
            read.insert(read.end(), heldBack.begin(), heldBack.end());
            if (read.size() > static_cast<std::size_t>(ex.MaxWords))
                read.resize(static_cast<std::size_t>(ex.MaxWords));
            ex.ExerciseWords = read;
            heldBack.clear();
            composeContinue(ex, heldBack, lang, /*reset=*/false, rng);
        }
        std::int64_t t = evening;
        for (ExerciseEntry& e : ex.ExerciseWords) {
            const bool right = learner.Answer(e.lesson, e.pairId, t);
            e.priority = PriorityAfterAnswer(right, e.priority);
            t += 30;
        }
        splitHeldBack(ex.ExerciseWords, heldBack);
    }
    figures[kDays] = learner.Expected(kFirstEvening + kDays * kDay - 10 * 3600);
    return figures;
}

// Due words first: each evening the memory model replayed from the journal names the cards.
TFigures DueFirst(std::uint64_t seed) {
    TLearner learner(seed);
    const TLangFHandler lang = MakeFile();
    const TExerciseData ex = MakeExercise();
    const TCodePage& page = TCodePage::Western();
    TMemoryReplay model;
    TFigures figures;
    for (int day = 0; day < kDays; ++day) {
        const std::int64_t evening = kFirstEvening + day * kDay;
        for (const int d : kMeasureDays)
            if (day == d - 1)
                figures[d] = learner.Expected(evening - 10 * 3600);
        TDueOptions options;
        options.now = evening;
        std::int64_t t = evening;
        for (const TDueEntry& due : ComposeDueFirst(ex, {}, lang, page, model, options)) {
            const bool right = learner.Answer(due.entry.lesson, due.entry.pairId, t);
            TJournalLine line;
            line.time = std::chrono::sys_seconds{std::chrono::seconds{t}};
            line.lesson = due.entry.lesson;
            line.pairId = due.entry.pairId;
            line.text1 =
                page.ToUtf8(lang.LessonAt(due.entry.lesson)->PairAt(due.entry.pairId)->text1);
            line.presentedSide = due.side;
            line.verdict = right ? TJournalVerdict::Right : TJournalVerdict::Wrong;
            std::string text = FormatJournalLine(line);
            text.pop_back();
            model.Feed(text + "\n");
            t += 30;
        }
    }
    figures[kDays] = learner.Expected(kFirstEvening + kDays * kDay - 10 * 3600);
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    const std::uint64_t seed = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 20261211;
    const TFigures priorities = ByPriorities(seed);
    const TFigures due = DueFirst(seed);
    std::printf("pairs recalled (expected), %d pairs, %d cards a day, seed %llu\n",
                kLessons * kPairsPerLesson, kCardsPerDay, static_cast<unsigned long long>(seed));
    std::printf("day\tby priorities\tdue words first\tratio\n");
    bool goal = true;
    for (const int d : kMeasureDays) {
        const double ratio = priorities.at(d) > 0 ? due.at(d) / priorities.at(d) : 0;
        std::printf("%d\t%.1f\t%.1f\t%.2f\n", d, priorities.at(d), due.at(d), ratio);
        goal = goal && ratio >= 1.5;
    }
    std::printf("goal (at least 1.5x on each day): %s\n", goal ? "met" : "not met");
    return 0;
}
