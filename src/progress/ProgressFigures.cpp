#include "progress/ProgressFigures.h"

#include "exercise/ExerciseHelpFunc.h"

#include <unordered_set>

namespace lexaro {

namespace {

std::int64_t PairKey(std::int32_t lesson, std::int32_t pairId) {
    return std::int64_t{lesson} * (std::int64_t{kMaxSlotNumber} + 1) + pairId;
}

} // namespace

std::vector<TLessonFigures> LessonFigures(const TLangFHandler& lang,
                                          const ArrayWordData& exerciseList,
                                          const ArrayWordData& heldBack) {
    // Held back is what the next exercise will really leave out, as its composition decides.
    std::unordered_set<std::int64_t> held;
    for (const ExerciseEntry& e : heldBackAtNextComposition(exerciseList, heldBack))
        held.insert(PairKey(e.lesson, e.pairId));
    std::vector<TLessonFigures> out;
    for (std::int32_t number = 0; number < lang.SlotCount(); ++number) {
        const auto lesson = lang.LessonAt(number);
        if (!lesson)
            continue;
        TLessonFigures figures;
        figures.lesson = number;
        std::int32_t slot = 0;
        for (const auto& pair : lesson->pairs) {
            const std::int32_t id = slot++;
            if (!pair)
                continue;
            if (!pair->use)
                ++figures.retired;
            else if (held.count(PairKey(number, id)) != 0)
                ++figures.heldBack;
            else if (pair->drawn)
                ++figures.practised;
            else
                ++figures.waiting;
        }
        out.push_back(figures);
    }
    return out;
}

std::vector<TDayFigures> DayFigures(const TJournalTally& tally, std::int32_t today,
                                    std::int32_t count) {
    std::vector<TDayFigures> out;
    out.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (std::int32_t day = today - count + 1; day <= today; ++day)
        out.push_back({day, tally.Day(day)});
    return out;
}

std::int32_t MondayOf(std::int32_t day) {
    // 1970-01-01 was a Thursday: day 0 is weekday 3 counting from Monday.
    const std::int32_t weekday = ((day % 7) + 7 + 3) % 7;
    return day - weekday;
}

std::vector<TWeekFigures> WeekFigures(const TJournalTally& tally) {
    std::vector<TWeekFigures> out;
    const std::int32_t first = tally.FirstDay();
    const std::int32_t last = tally.LastDay();
    if (first > last)
        return out;
    for (std::int32_t monday = MondayOf(first); monday <= last; monday += 7) {
        TWeekFigures week{monday, {}};
        for (std::int32_t day = monday; day < monday + 7; ++day) {
            const TDayCounts counts = tally.Day(day);
            week.counts.cards += counts.cards;
            week.counts.right += counts.right;
            week.counts.wrong += counts.wrong;
        }
        out.push_back(week);
    }
    return out;
}

std::int64_t TProgressFigures::Cards() const {
    std::int64_t sum = 0;
    for (const TDayFigures& d : days)
        sum += d.counts.cards;
    return sum;
}

std::int64_t TProgressFigures::TypedRight() const {
    std::int64_t sum = 0;
    for (const TDayFigures& d : days)
        sum += d.counts.right;
    return sum;
}

std::int64_t TProgressFigures::TypedWrong() const {
    std::int64_t sum = 0;
    for (const TDayFigures& d : days)
        sum += d.counts.wrong;
    return sum;
}

std::optional<double> TProgressFigures::ShareRight() const {
    const std::int64_t right = TypedRight();
    const std::int64_t typed = right + TypedWrong();
    if (typed == 0)
        return std::nullopt;
    return static_cast<double>(right) / static_cast<double>(typed);
}

TProgressFigures ProgressFigures(const TLangFHandler& lang, const ArrayWordData& exerciseList,
                                 const ArrayWordData& heldBack, const TJournalTally& tally,
                                 std::int32_t today) {
    TProgressFigures figures;
    figures.lessons = LessonFigures(lang, exerciseList, heldBack);
    figures.days = DayFigures(tally, today);
    figures.skippedLines = tally.Skipped();
    return figures;
}

TProgressReport LoadProgress(const std::filesystem::path& langFile, const TLangFHandler& lang,
                             const TCodePage& page, const ArrayWordData& exerciseList,
                             const ArrayWordData& heldBack, std::chrono::sys_seconds now,
                             const TUtcOffset& offset, double target) {
    TProgressReport report;
    TJournalTally tally(offset);
    TMemoryReplay memory;
    // One pass over the journals feeds the day counts and the memory model alike.
    TJournalLinesBoth both(tally, memory);
    report.journals = ReadJournals(langFile, both);
    report.figures = ProgressFigures(lang, exerciseList, heldBack, tally, DayOf(now, offset));
    report.figures.skippedLines = both.Skipped();
    report.due = ForecastDue(lang, page, memory, now.time_since_epoch().count(), kForecastDays,
                             offset, target);
    return report;
}

} // namespace lexaro
