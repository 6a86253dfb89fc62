#pragma once

// "Due words first": an exercise composed from what the memory model says is about to be
// forgotten. From the chosen lessons it takes the pairs and directions whose chance of recall
// has fallen below the target, lowest first, then pairs never practised, up to the maximum.
// Pairs the learner holds back and retired pairs stay out, as in every composition.

#include "data/CodePage.h"
#include "data/LangFHandler.h"
#include "exercise/ExerciseData.h"
#include "progress/JournalReader.h"
#include "progress/MemoryModel.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace lexaro {

// The chance of recall below which a memory is due.
inline constexpr double kDefaultTargetRecall = 0.9;

struct TDueEntry {
    ExerciseEntry entry;
    // The side to present: the direction that is due (for a pair never practised, the one
    // the learner chose to present).
    std::int32_t side = 1;
    // The chance of recall now; none for a pair never practised from that side.
    std::optional<double> recall;

    friend bool operator==(const TDueEntry&, const TDueEntry&) = default;
};

struct TDueOptions {
    std::int64_t now = 0; // seconds since 1970, UTC
    double target = kDefaultTargetRecall;
    // The side presented for pairs never practised: 1 for the first language.
    std::int32_t presentedSide = 1;
};

// The entries of a due-words-first exercise, at most ex.MaxWords: the due ones lowest chance
// first, then the pairs never practised in lesson order. Each pair at most once, from its
// more forgotten side; pairs in heldBack stay out. The file's first texts are read in page.
std::vector<TDueEntry> ComposeDueFirst(const TExerciseData& ex, const ArrayWordData& heldBack,
                                       const TLangFHandler& lang, const TCodePage& page,
                                       const TMemoryReplay& model, const TDueOptions& options);

// When the first of the chosen lessons' pairs (outside heldBack) falls below the target, in
// seconds since 1970; none when none of them has been practised.
std::optional<std::int64_t> EarliestDue(const TExerciseData& ex, const ArrayWordData& heldBack,
                                        const TLangFHandler& lang, const TCodePage& page,
                                        const TMemoryReplay& model,
                                        double target = kDefaultTargetRecall);

// Every memory of the file's used pairs whose chance of recall is below the target now, lowest
// first: each pair and side that is due.
std::vector<TDueEntry> DueMemories(const TLangFHandler& lang, const TCodePage& page,
                                   const TMemoryReplay& model, std::int64_t now,
                                   double target = kDefaultTargetRecall);

// What comes due: per day from today, the pairs whose first side falls below the target that
// day (today: also every pair due already), and per lesson the pairs due now. Days are the
// learner's (offset), counted as DayOf counts them.
struct TDueForecast {
    std::int32_t today = 0;
    std::vector<std::int32_t> days;               // days[0] today, days[1] tomorrow, ...
    std::map<std::int32_t, std::int32_t> lessons; // lesson -> pairs due now
    std::int32_t DueNow() const;
    friend bool operator==(const TDueForecast&, const TDueForecast&) = default;
};
TDueForecast ForecastDue(const TLangFHandler& lang, const TCodePage& page,
                         const TMemoryReplay& model, std::int64_t now, std::int32_t dayCount,
                         const TUtcOffset& offset = {}, double target = kDefaultTargetRecall);

} // namespace lexaro
