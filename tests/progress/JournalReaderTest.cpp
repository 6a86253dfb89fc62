#include "progress/JournalReader.h"

#include "progress/JournalFields.h"
#include "support/TestFiles.h"

#include <string>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

using test::TempDir;
using test::WriteFileBytes;

const std::string kHeader = std::string(kJournalHeader) + "\n";

std::int32_t Day(int year, int month, int day) {
    return static_cast<std::int32_t>(DaysFromCivil(year, month, day));
}

std::string Entry(const char* time, const char* verdict = "") {
    return std::string(time) + "\t1\t2\tcat\t1\t" + verdict + "\t0\n";
}

TEST(JournalTally, CountsCardsAndTypedAnswersPerDayAndSkipsBadLines) {
    const std::string journal = kHeader + Entry("2026-12-10T08:00:00Z", "right") +
                                Entry("2026-12-10T23:59:59Z", "wrong") + "garbage line\n" +
                                Entry("2026-12-11T00:00:00Z") +
                                "2026-12-11T09:00:00Z\t1\t2\tcat\t1\tright\n" + "\n" +
                                Entry("2026-12-11T10:00:00Z", "right");
    // The same count however the bytes are cut into blocks.
    for (const std::size_t block : {std::size_t{1}, std::size_t{7}, journal.size()}) {
        SCOPED_TRACE(block);
        TJournalTally tally;
        for (std::size_t i = 0; i < journal.size(); i += block)
            tally.Feed(std::string_view(journal).substr(i, block));
        tally.Finish();
        EXPECT_EQ(tally.Lines(), 4);
        EXPECT_EQ(tally.Skipped(), 2);
        EXPECT_EQ(tally.Day(Day(2026, 12, 10)), (TDayCounts{2, 1, 1}));
        EXPECT_EQ(tally.Day(Day(2026, 12, 11)), (TDayCounts{2, 1, 0}));
        EXPECT_EQ(tally.Day(Day(2026, 12, 12)), TDayCounts{});
        EXPECT_EQ(tally.FirstDay(), Day(2026, 12, 10));
        EXPECT_EQ(tally.LastDay(), Day(2026, 12, 11));
    }
}

TEST(JournalTally, DaysFollowTheLearnersTimeZone) {
    // Two hours east of UTC: 23:00Z is already the next day.
    TJournalTally tally([](std::int64_t) { return std::int64_t{2 * 3600}; });
    tally.Feed(kHeader + Entry("2026-12-10T21:00:00Z") + Entry("2026-12-10T23:00:00Z"));
    tally.Finish();
    EXPECT_EQ(tally.Day(Day(2026, 12, 10)).cards, 1);
    EXPECT_EQ(tally.Day(Day(2026, 12, 11)).cards, 1);
}

TEST(JournalTally, OverlongLinesAreSkippedWithoutBeingKept) {
    TJournalTally tally;
    tally.Feed(kHeader);
    const std::string longText(kMaxJournalLineBytes, 'x');
    tally.Feed("2026-12-10T08:00:00Z\t1\t2\t");
    for (int i = 0; i < 100; ++i)
        tally.Feed(longText);
    tally.Feed("\t1\t\t0\n");
    tally.Feed(std::string(kMaxJournalLineBytes + 1, 'y') + "\n");
    tally.Feed(Entry("2026-12-10T09:00:00Z"));
    tally.Feed(std::string(kMaxJournalLineBytes + 1, 'z')); // unended at the file's end
    tally.Finish();
    EXPECT_EQ(tally.Skipped(), 3);
    EXPECT_EQ(tally.Lines(), 1);
}

TEST(JournalTally, FirstLineOfEachFileMayBeAHeaderNotLaterOnes) {
    TJournalTally tally;
    tally.Feed(kHeader + Entry("2026-12-10T08:00:00Z") + kHeader);
    tally.Finish();
    tally.Feed(kHeader + Entry("2026-12-10T08:00:00Z"));
    tally.Finish();
    EXPECT_EQ(tally.Lines(), 2);
    EXPECT_EQ(tally.Skipped(), 1);
}

TEST(JournalFiles, ReadsEveryJournalOfTheFileAndNamesForeignOnes) {
    TempDir dir;
    const auto lang = dir.path() / "a.tsv";
    WriteFileBytes(JournalPath(lang, 1).string(),
                   "not a journal\n" + Entry("2026-12-10T08:00:00Z"));
    WriteFileBytes(JournalPath(lang, 2).string(), kHeader + Entry("2026-12-10T08:00:00Z"));
    WriteFileBytes(JournalPath(lang, 3).string(), kHeader + Entry("2026-12-11T08:00:00Z"));
    std::filesystem::create_directory(JournalPath(lang, 4));
    TJournalTally tally;
    const TJournalRead read = ReadJournals(lang, tally);
    EXPECT_EQ(read.read, (std::vector{JournalPath(lang, 2), JournalPath(lang, 3)}));
    EXPECT_EQ(read.foreign, (std::vector{JournalPath(lang, 1), JournalPath(lang, 4)}));
    EXPECT_TRUE(read.failed.empty());
    EXPECT_EQ(tally.Lines(), 2);
    EXPECT_EQ(tally.Skipped(), 0);
}

TEST(JournalDays, CalendarArithmetic) {
    EXPECT_EQ(DaysFromCivil(1970, 1, 1), 0);
    EXPECT_EQ(FormatDay(Day(2024, 2, 29)), "2024-02-29");
    EXPECT_EQ(FormatDay(Day(2026, 12, 11)), "2026-12-11");
    EXPECT_EQ(DayOf(std::chrono::sys_seconds{std::chrono::seconds{86400 - 1}}), 0);
    EXPECT_EQ(DayOf(std::chrono::sys_seconds{std::chrono::seconds{86400 - 1}},
                    [](std::int64_t) { return std::int64_t{3600}; }),
              1);
}

} // namespace
} // namespace lexaro
