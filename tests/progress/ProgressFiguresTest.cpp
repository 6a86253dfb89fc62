#include "progress/ProgressFigures.h"

#include "progress/JournalFields.h"
#include "support/LangFiles.h"
#include "support/TestFiles.h"

#include <string>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

std::int32_t Day(int year, int month, int day) {
    return static_cast<std::int32_t>(DaysFromCivil(year, month, day));
}

TEST(ProgressFigures, EachPairIsInExactlyOneState) {
    // Lesson 1: pairs 0..5 in use, 1 and 2 drawn; lesson 4: three retired pairs.
    TLangFHandler lang = test::GeneratedLangFile({{1, 6, true}, {4, 3, false}}, {{1, 1}, {1, 2}});
    lang.LessonAt(4)->PairAt(0)->use = true; // in use, not drawn
    // Held back: what the next exercise holds back. Pair 3 with priority 5 in the list (4 after
    // ageing); the held-back list of the last exercise (pair 2) is replaced by it, so pair 2
    // counts as practised. Priorities 0 and 9 are no holding back; a retired pair and a pair
    // the file lacks count nowhere.
    const ArrayWordData list = {{1, 3, 5}, {1, 4, 0}, {1, 5, 9}, {1, 99, 3}, {7, 0, 2}};
    const ArrayWordData held = {{1, 2, 1}, {4, 1, 8}};
    const auto figures = LessonFigures(lang, list, held);
    ASSERT_EQ(figures.size(), 2u);
    EXPECT_EQ(figures[0], (TLessonFigures{1, 3, 2, 1, 0}));
    EXPECT_EQ(figures[1], (TLessonFigures{4, 1, 0, 0, 2}));
    EXPECT_EQ(figures[0].Total(), 6);
}

TEST(ProgressFigures, HeldBackCountsWhatTheNextExerciseHoldsBack) {
    // One drawn pair per priority 0..9 in the exercise list: priority 1 rests no more at the
    // next exercise (ageing makes it 0), 2 to 8 do, 9 leaves the list.
    TLangFHandler lang = test::GeneratedLangFile(
        {{1, 10, true}},
        {{1, 0}, {1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}, {1, 7}, {1, 8}, {1, 9}});
    ArrayWordData list;
    for (std::int32_t p = 0; p <= 9; ++p)
        list.push_back({1, p, p});
    const auto figures = LessonFigures(lang, list, {});
    ASSERT_EQ(figures.size(), 1u);
    EXPECT_EQ(figures[0], (TLessonFigures{1, 0, 3, 7, 0}));
    // After the exercise window held them back (a run that retired a pair), the held-back list
    // is what the next exercise holds back, whatever its priorities.
    const ArrayWordData held = {{1, 1, 1}, {1, 2, 2}};
    EXPECT_EQ(LessonFigures(lang, {{1, 0, 0}}, held)[0], (TLessonFigures{1, 0, 8, 2, 0}));
    // No exercise list: the next exercise is composed anew and holds nothing back.
    EXPECT_EQ(LessonFigures(lang, {}, held)[0], (TLessonFigures{1, 0, 10, 0, 0}));
}

TEST(ProgressFigures, NinetyDaysEndingTodayAndTheShareRight) {
    TJournalTally tally;
    auto line = [](const char* time, const char* verdict) {
        return std::string(time) + "\t1\t2\tcat\t1\t" + verdict + "\t0\n";
    };
    tally.Feed(std::string(kJournalHeader) + "\n" + line("2026-09-12T10:00:00Z", "wrong") +
               line("2026-09-13T10:00:00Z", "right") + line("2026-12-11T10:00:00Z", "right") +
               line("2026-12-11T11:00:00Z", "") + line("2026-12-12T10:00:00Z", "wrong") +
               "broken\n");
    tally.Finish();
    const std::int32_t today = Day(2026, 12, 11);
    const TProgressFigures figures = ProgressFigures(TLangFHandler{}, {}, {}, tally, today);
    ASSERT_EQ(figures.days.size(), 90u);
    EXPECT_EQ(figures.days.front().day, Day(2026, 9, 13)); // 2026-09-12 is the 91st day back
    EXPECT_EQ(figures.days.back().day, today);
    EXPECT_EQ(figures.days.front().counts, (TDayCounts{1, 1, 0}));
    EXPECT_EQ(figures.days.back().counts, (TDayCounts{2, 1, 0}));
    EXPECT_EQ(figures.Cards(), 3);
    ASSERT_TRUE(figures.ShareRight());
    EXPECT_DOUBLE_EQ(*figures.ShareRight(), 1.0);
    EXPECT_EQ(figures.skippedLines, 1);

    TJournalTally untyped;
    untyped.Feed(std::string(kJournalHeader) + "\n" + line("2026-12-11T10:00:00Z", ""));
    untyped.Finish();
    EXPECT_FALSE(ProgressFigures(TLangFHandler{}, {}, {}, untyped, today).ShareRight());
}

TEST(ProgressFigures, WeeksRunMondayToSunday) {
    EXPECT_EQ(MondayOf(Day(2026, 12, 11)), Day(2026, 12, 7)); // a Friday
    EXPECT_EQ(MondayOf(Day(2026, 12, 7)), Day(2026, 12, 7));
    EXPECT_EQ(MondayOf(Day(2026, 12, 13)), Day(2026, 12, 7)); // a Sunday
    EXPECT_EQ(MondayOf(0), Day(1969, 12, 29));
    TJournalTally tally;
    tally.Feed(std::string(kJournalHeader) + "\n2026-11-29T10:00:00Z\t1\t2\tx\t1\tright\t0\n" +
               "2026-12-13T10:00:00Z\t1\t2\tx\t1\t\t0\n2026-12-07T10:00:00Z\t1\t2\tx\t1\t\t0\n");
    tally.Finish();
    const auto weeks = WeekFigures(tally);
    ASSERT_EQ(weeks.size(), 3u);
    EXPECT_EQ(weeks[0], (TWeekFigures{Day(2026, 11, 23), {1, 1, 0}}));
    EXPECT_EQ(weeks[1], (TWeekFigures{Day(2026, 11, 30), {}}));
    EXPECT_EQ(weeks[2], (TWeekFigures{Day(2026, 12, 7), {2, 0, 0}}));
}

// The learner's journal of the last days, read at 2026-12-11 18:00 UTC. A first review judged
// right holds for 3.17 days, one judged wrong for 9.7 hours (at a chance of recall of 90 %).
std::string ForecastJournal() {
    auto line = [](const char* time, int lesson, int id, int side, const char* verdict,
                   int priority) {
        return std::string(time) + "\t" + std::to_string(lesson) + "\t" + std::to_string(id) +
               "\tword " + std::to_string(lesson) + "." + std::to_string(id) + "\t" +
               std::to_string(side) + "\t" + verdict + "\t" + std::to_string(priority) + "\n";
    };
    return std::string(kJournalHeader) + "\n" +
           line("2026-12-06T10:00:00Z", 1, 0, 1, "right", 0) + // due 12-09: overdue
           line("2026-12-10T10:00:00Z", 1, 1, 1, "right", 0) + // due 12-13 from side 1,
           line("2026-12-08T10:00:00Z", 1, 1, 2, "wrong", 0) + // but overdue from side 2
           line("2026-12-01T10:00:00Z", 1, 2, 1, "", 0) +      // seen, not graded: no memory
           line("2026-12-11T10:00:00Z", 1, 3, 1, "", 3) +      // priority chosen: due 12-14
           line("2026-12-09T10:00:00Z", 2, 0, 1, "right", 0) + // due 12-12
           line("2026-12-11T10:00:00Z", 2, 1, 1, "wrong", 0) + // due today 19:40, not yet
           line("2026-12-01T10:00:00Z", 3, 0, 1, "right", 0);  // overdue, but retired
}

class ProgressForecast : public ::testing::Test {
protected:
    test::TempDir dir;
    std::filesystem::path langPath = dir.path() / "words.tsv";
    TLangFHandler lang = test::GeneratedLangFile({{1, 4, true}, {2, 3, true}, {3, 1, false}});
    const std::chrono::sys_seconds now =
        std::chrono::sys_days{std::chrono::year{2026} / 12 / 11} + std::chrono::hours{18};

    TProgressReport Load(double target = kDefaultTargetRecall) {
        return LoadProgress(langPath, lang, TCodePage::Western(), {}, {}, now, {}, target);
    }
};

TEST_F(ProgressForecast, TodayTheNextFourteenDaysAndPerLessonDueNow) {
    test::WriteFileBytes(JournalPath(langPath).string(), ForecastJournal());
    const TProgressReport report = Load();
    EXPECT_EQ(report.due.today, Day(2026, 12, 11));
    // Today: the two overdue pairs of lesson 1 (each once, from its earlier side) and the pair
    // of lesson 2 due this evening; then 12-12 and 12-14.
    std::vector<std::int32_t> days(15, 0);
    days[0] = 3;
    days[1] = 1;
    days[3] = 1;
    EXPECT_EQ(report.due.days, days);
    EXPECT_EQ(report.due.lessons, (std::map<std::int32_t, std::int32_t>{{1, 2}}));
    EXPECT_EQ(report.due.DueNow(), 2);
    EXPECT_EQ(report.figures.days.back().counts, (TDayCounts{2, 0, 1}));
    EXPECT_EQ(report.figures.skippedLines, 0);
    EXPECT_EQ(report.journals.read, std::vector{JournalPath(langPath)});

    // The learner's own target, 80 %: a first review right holds 7.6 days, one wrong 23 hours.
    // Due now only the pair forgotten on 12-08; the others on 12-12, 12-14, 12-17 and 12-19.
    const TProgressReport lower = Load(0.8);
    EXPECT_EQ(lower.due.days,
              (std::vector<std::int32_t>{1, 1, 0, 1, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(lower.due.lessons, (std::map<std::int32_t, std::int32_t>{{1, 1}}));

    // Without a journal nothing is due, and the days are still there to be drawn.
    std::filesystem::remove(JournalPath(langPath));
    const TProgressReport none = Load();
    EXPECT_EQ(none.due.days, std::vector<std::int32_t>(15, 0));
    EXPECT_TRUE(none.due.lessons.empty());
}

// Damaged lines are left out of the figures and the forecast alike and counted once; the rest
// gives the same forecast as a clean journal.
TEST_F(ProgressForecast, ADamagedJournalGivesTheForecastOfTheLinesItCanRead) {
    test::WriteFileBytes(JournalPath(langPath).string(), ForecastJournal());
    const TProgressReport clean = Load();
    test::WriteFileBytes(
        JournalPath(langPath).string(),
        ForecastJournal() + "broken\n" + std::string("\xff\xfe\0garbage\n", 11) +
            // A time before the journal's years: read, it would make a pair of lesson 2 due.
            "1999-12-31T10:00:00Z\t2\t2\tword 2.2\t1\tright\t0\n" +
            "2026-12-10T10:00:00Z\t1\t0\tword 1.0\t1\tmaybe\t0\n" + std::string(20000, 'x') + "\n");
    const TProgressReport damaged = Load();
    EXPECT_EQ(damaged.figures.skippedLines, 5);
    EXPECT_EQ(damaged.due, clean.due);
    EXPECT_EQ(damaged.figures.days, clean.figures.days);
}

} // namespace
} // namespace lexaro
