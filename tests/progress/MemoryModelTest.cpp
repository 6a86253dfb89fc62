#include "progress/MemoryModel.h"
#include "progress/DueWords.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lexaro {
namespace {

constexpr std::int64_t kDay = 86400;
// 2026-12-01T00:00:00Z
constexpr std::int64_t kStart = 1796083200;

// The formulas against values worked out by hand from the published FSRS-5 formulas and
// default weights: a first "good", a second one three days later, then a lapse after a long
// gap of 100 days, and a second review on the same day.
TEST(Fsrs, TheFormulasGiveThePublishedModelsValues) {
    const TFsrs fsrs;
    EXPECT_DOUBLE_EQ(TFsrs::Retrievability(10, 10), 0.9) << "S is the time to 90 %";
    EXPECT_NEAR(TFsrs::IntervalDays(10, 0.9), 10.0, 1e-9);
    EXPECT_NEAR(TFsrs::IntervalDays(10, 0.8), 23.98026, 1e-5);
    EXPECT_DOUBLE_EQ(fsrs.InitialDifficulty(TRecallGrade::Again), 7.1949) << "w4";
    EXPECT_NEAR(fsrs.InitialDifficulty(TRecallGrade::Good), 5.282434, 1e-6);
    EXPECT_DOUBLE_EQ(fsrs.InitialStability(TRecallGrade::Good), 3.173) << "w2";
    EXPECT_DOUBLE_EQ(fsrs.InitialStability(TRecallGrade::Again), 0.40255) << "w0";

    const TMemoryState first = Review(fsrs, std::nullopt, TRecallGrade::Good, kStart);
    EXPECT_DOUBLE_EQ(first.stability, 3.173);
    EXPECT_NEAR(first.RecallAt(kStart + 3 * kDay), 0.904698, 1e-6);
    const TMemoryState second = Review(fsrs, first, TRecallGrade::Good, kStart + 3 * kDay);
    EXPECT_NEAR(second.stability, 10.738926, 1e-5);
    EXPECT_NEAR(second.difficulty, 5.272968, 1e-6);
    EXPECT_EQ(second.reviews, 2);

    // A lapse after a long gap: the chance of recall had fallen to 56 %.
    const std::int64_t late = second.lastReview + 100 * kDay;
    EXPECT_NEAR(second.RecallAt(late), 0.560395, 1e-6);
    const TMemoryState lapse = Review(fsrs, second, TRecallGrade::Again, late);
    EXPECT_NEAR(lapse.stability, 4.702543, 1e-5);
    EXPECT_NEAR(lapse.difficulty, 6.790568, 1e-6);
    EXPECT_EQ(lapse.lapses, 1);
    EXPECT_LT(lapse.stability, second.stability) << "a lapse never raises stability";

    // A second "good" on the same day: the short-term formula.
    const TMemoryState again = Review(fsrs, first, TRecallGrade::Good, kStart + 3600);
    EXPECT_NEAR(again.stability, 4.466858, 1e-5);
    EXPECT_EQ(again.DueAt(0.9), again.lastReview + std::llround(again.stability * kDay));
}

// What the learner did gives the grade: a typed answer right or wrong, a priority 1 to 8
// chosen; a card passed without a choice, and "not more use", grade nothing.
TEST(Fsrs, EachGradeSource) {
    struct Case {
        TJournalVerdict verdict;
        std::int32_t priority;
        std::optional<TRecallGrade> grade;
    };
    const Case cases[] = {
        {TJournalVerdict::Right, 0, TRecallGrade::Good},
        {TJournalVerdict::Right, 9, TRecallGrade::Good},
        {TJournalVerdict::Wrong, 3, TRecallGrade::Again},
        {TJournalVerdict::None, 1, TRecallGrade::Good},
        {TJournalVerdict::None, 8, TRecallGrade::Good},
        {TJournalVerdict::None, 0, std::nullopt},
        {TJournalVerdict::None, 9, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.verdict) * 100 + c.priority);
        EXPECT_EQ(GradeOf(c.verdict, c.priority), c.grade);
    }
}

std::string Line(std::int64_t seconds, std::int32_t lesson, std::int32_t id, const char* text1,
                 std::int32_t side, TJournalVerdict verdict, std::int32_t priority) {
    TJournalLine line;
    line.time = std::chrono::sys_seconds{std::chrono::seconds{seconds}};
    line.lesson = lesson;
    line.pairId = id;
    line.text1 = text1;
    line.presentedSide = side;
    line.verdict = verdict;
    line.priorityChosen = priority;
    return FormatJournalLine(line);
}

// The journal replayed: each direction has its own memory; a pair renumbered by the editor
// keeps its history through its lesson and text; damaged lines are skipped and counted, the
// rest is replayed.
TEST(MemoryReplay, DirectionsRenumberingAndDamagedLines) {
    const TFsrs fsrs;
    std::string journal = std::string(kJournalHeader) + "\n";
    journal += Line(kStart, 1, 4, "Haus", 1, TJournalVerdict::Right, 2);
    journal += Line(kStart, 1, 4, "Haus", 2, TJournalVerdict::Wrong, 0);
    journal += "2026-12-0";
    journal += "2T00:00:00Z\tbroken\n"; // a damaged line, split across two pieces
    // The editor renumbered the pair from 4 to 1; a day later it is right again.
    journal += Line(kStart + kDay, 1, 1, "Haus", 1, TJournalVerdict::Right, 3);
    journal += Line(kStart + kDay, 2, 7, "Haus", 1, TJournalVerdict::None, 0); // seen only
    journal += Line(kStart, 3, 1, "Bank", 1, TJournalVerdict::Right, 2);
    journal += Line(kStart, 3, 2, "Bank", 1, TJournalVerdict::Wrong, 0);
    journal += Line(kStart + 2 * kDay, 4, 0, "Baum", 1, TJournalVerdict::None, 5);

    TMemoryReplay replay;
    // In pieces, as blocks of a file arrive.
    for (std::size_t at = 0; at < journal.size(); at += 7)
        replay.Feed(std::string_view(journal).substr(at, 7));
    replay.Finish();
    EXPECT_EQ(replay.Lines(), 7);
    EXPECT_EQ(replay.Skipped(), 1);

    const TMemoryState first = Review(fsrs, std::nullopt, TRecallGrade::Good, kStart);
    const TMemoryState* forward = replay.Find(1, "Haus", 1);
    ASSERT_NE(forward, nullptr);
    EXPECT_EQ(*forward, Review(fsrs, first, TRecallGrade::Good, kStart + kDay));
    const TMemoryState* backward = replay.Find(1, "Haus", 2);
    ASSERT_NE(backward, nullptr);
    EXPECT_EQ(*backward, Review(fsrs, std::nullopt, TRecallGrade::Again, kStart));
    EXPECT_EQ(replay.Find(2, "Haus", 1), nullptr) << "seen, never graded";

    // Two pairs of one text in a lesson ask the same question: one memory, whichever id.
    const TMemoryState* bank = replay.Find(3, "Bank", 1);
    ASSERT_NE(bank, nullptr);
    EXPECT_EQ(bank->reviews, 2);
    EXPECT_EQ(bank->lapses, 1);
    ASSERT_NE(replay.Find(4, "Baum", 1), nullptr) << "a priority chosen: remembered";
    EXPECT_EQ(replay.Find(4, "Baum", 1)->reviews, 1);
}

// "Due words first": the due memories lowest chance first, from the side that is due, then
// the pairs never practised, up to the maximum; pairs the learner holds back, retired pairs
// and memories not due yet stay out.
TEST(DueWords, DueLowestFirstThenNeverPractisedUpToTheMaximum) {
    TLangFHandler lang;
    auto lesson = std::make_shared<TLesson>();
    lesson->number = 1;
    const char* texts[] = {"a", "b", "c", "d", "e", "f", "g", "h"};
    for (std::int32_t i = 0; i < 8; ++i) {
        auto pair = lesson->NewPair(i);
        pair->text1 = texts[i];
        pair->text2 = texts[i];
        pair->use = i != 5; // f is retired
    }
    lang.PutLesson(lesson);
    TExerciseData ex;
    ex.AvailableUnits = {1};
    ex.MaxWords = 5;
    const ArrayWordData heldBack = {{1, 6, 3, false}}; // g: held back by the learner

    std::string journal = std::string(kJournalHeader) + "\n";
    const auto right = TJournalVerdict::Right;
    journal += Line(kStart, 1, 0, "a", 1, right, 2);            // 10 days ago: due
    journal += Line(kStart + 8 * kDay, 1, 1, "b", 2, right, 2); // 2 days ago: not yet due
    journal += Line(kStart + 5 * kDay, 1, 2, "c", 1, right, 2); // 5 days ago: due
    journal += Line(kStart + 5 * kDay, 1, 2, "c", 2, TJournalVerdict::Wrong, 0); // more due
    journal += Line(kStart, 1, 5, "f", 1, right, 2);                             // retired
    journal += Line(kStart, 1, 6, "g", 1, right, 2);                             // held back
    TMemoryReplay model;
    model.Feed(journal);
    model.Finish();

    TDueOptions options;
    options.now = kStart + 10 * kDay;
    const std::vector<TDueEntry> list =
        ComposeDueFirst(ex, heldBack, lang, TCodePage::Western(), model, options);
    std::vector<std::pair<std::int32_t, std::int32_t>> got; // pair id, side
    for (const TDueEntry& e : list)
        got.emplace_back(e.entry.pairId, e.side);
    // c from side 2 (forgotten), a; then the pairs never practised from the presented side in
    // lesson order: b (only its other side was practised, not due yet), d, e; h is cut.
    EXPECT_EQ(got, (std::vector<std::pair<std::int32_t, std::int32_t>>{
                       {2, 2}, {0, 1}, {1, 1}, {3, 1}, {4, 1}}));
    ASSERT_TRUE(list[0].recall && list[1].recall);
    EXPECT_LT(*list[0].recall, *list[1].recall);
    EXPECT_LT(*list[1].recall, kDefaultTargetRecall);
    EXPECT_FALSE(list[2].recall);
}

// Every due memory lowest first; the forecast counts each pair once, on the day its first side
// comes due (today with everything overdue), and per lesson the pairs due now.
TEST(DueWords, DueMemoriesAndTheForecast) {
    TLangFHandler lang;
    for (std::int32_t n : {1, 2}) {
        auto lesson = std::make_shared<TLesson>();
        lesson->number = n;
        for (std::int32_t i = 0; i < 3; ++i) {
            auto pair = lesson->NewPair(i);
            pair->text1 = std::string(1, static_cast<char>('a' + i));
            pair->use = true;
        }
        lang.PutLesson(lesson);
    }
    // Stability after a first "good": 3.173 days; after a first "again": 0.40255 days.
    std::string journal = std::string(kJournalHeader) + "\n";
    journal += Line(kStart, 1, 0, "a", 1, TJournalVerdict::Right, 2); // due after 3.2 days
    journal += Line(kStart, 1, 0, "a", 2, TJournalVerdict::Wrong, 0); // due after 0.4 days
    journal += Line(kStart, 1, 1, "b", 1, TJournalVerdict::Right, 2);
    journal += Line(kStart + kDay, 2, 2, "c", 1, TJournalVerdict::Right, 2); // day 4.2
    TMemoryReplay model;
    model.Feed(journal);
    model.Finish();

    const std::int64_t now = kStart + 2 * kDay; // day 2, 00:00 UTC
    const std::vector<TDueEntry> due = DueMemories(lang, TCodePage::Western(), model, now);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].entry.pairId, 0);
    EXPECT_EQ(due[0].side, 2);

    const TDueForecast forecast = ForecastDue(lang, TCodePage::Western(), model, now, 4);
    EXPECT_EQ(forecast.today, DayOf(std::chrono::sys_seconds{std::chrono::seconds{now}}));
    // a: overdue (today); b: day 3.17, tomorrow; c: day 4.17, in two days.
    EXPECT_EQ(forecast.days, (std::vector<std::int32_t>{1, 1, 1, 0}));
    EXPECT_EQ(forecast.lessons, (std::map<std::int32_t, std::int32_t>{{1, 1}}));
    EXPECT_EQ(forecast.DueNow(), 1);
}

} // namespace
} // namespace lexaro
