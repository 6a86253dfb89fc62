#pragma once

// The figures of the progress window and of "lexaro-lang stats": per lesson how many pairs
// wait, were practised this cycle, are held back and are retired, and from the journal how
// much was practised per day and how many typed answers were right.

#include "data/CodePage.h"
#include "data/LangFHandler.h"
#include "exercise/ExerciseData.h"
#include "progress/DueWords.h"
#include "progress/JournalReader.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace lexaro {

// The four states of a pair; each pair is in exactly one.
struct TLessonFigures {
    std::int32_t lesson = 0;
    std::int32_t waiting = 0;   // in use, not drawn
    std::int32_t practised = 0; // in use and drawn: practised this cycle
    std::int32_t heldBack = 0;  // in use, held back by the next exercise's composition
    std::int32_t retired = 0;   // not in use
    std::int32_t Total() const { return waiting + practised + heldBack + retired; }
    friend bool operator==(const TLessonFigures&, const TLessonFigures&) = default;
};

struct TDayFigures {
    std::int32_t day = 0; // days since 1970-01-01
    TDayCounts counts;
    friend bool operator==(const TDayFigures&, const TDayFigures&) = default;
};

// Practice per week, Monday to Sunday.
struct TWeekFigures {
    std::int32_t monday = 0; // the week's first day
    TDayCounts counts;
    friend bool operator==(const TWeekFigures&, const TWeekFigures&) = default;
};

inline constexpr std::int32_t kProgressDays = 90;

struct TProgressFigures {
    std::vector<TLessonFigures> lessons; // every lesson of the file, in number order
    std::vector<TDayFigures> days;       // the last kProgressDays days, oldest first
    std::int64_t skippedLines = 0;       // journal lines that did not parse

    std::int64_t Cards() const;
    std::int64_t TypedRight() const;
    std::int64_t TypedWrong() const;
    // The share of typed answers judged right over the days, 0..1; nothing without any.
    std::optional<double> ShareRight() const;
};

// The lessons' figures. The lists are the exercise list and the held-back list of the
// settings; held back are the pairs the next exercise holds back
// (heldBackAtNextComposition); entries naming pairs that the file does not hold are ignored.
std::vector<TLessonFigures> LessonFigures(const TLangFHandler& lang,
                                          const ArrayWordData& exerciseList,
                                          const ArrayWordData& heldBack);
// The days up to and including today (day number), oldest first.
std::vector<TDayFigures> DayFigures(const TJournalTally& tally, std::int32_t today,
                                    std::int32_t count = kProgressDays);
// Every week from the first practised day's to the last's, oldest first.
std::vector<TWeekFigures> WeekFigures(const TJournalTally& tally);
// The Monday of the week a day lies in.
std::int32_t MondayOf(std::int32_t day);

TProgressFigures ProgressFigures(const TLangFHandler& lang, const ArrayWordData& exerciseList,
                                 const ArrayWordData& heldBack, const TJournalTally& tally,
                                 std::int32_t today);

// The days the progress window looks ahead: today and the next 14.
inline constexpr std::int32_t kForecastDays = 15;

// What the progress window shows of a language file: its figures, what comes due (the memory
// model at the chance of recall target: kForecastDays days from today and per lesson the pairs
// due now) and what reading its journals found. Days are the learner's (DayOf
// with the offset). The journals are read once for both; a line that cannot be read is left
// out of both and counted once (figures.skippedLines). The file's texts are in page.
struct TProgressReport {
    TProgressFigures figures;
    TDueForecast due;
    TJournalRead journals;
};
TProgressReport LoadProgress(const std::filesystem::path& langFile, const TLangFHandler& lang,
                             const TCodePage& page, const ArrayWordData& exerciseList,
                             const ArrayWordData& heldBack, std::chrono::sys_seconds now,
                             const TUtcOffset& offset = {}, double target = kDefaultTargetRecall);

} // namespace lexaro
