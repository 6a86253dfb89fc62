#include "progress/DueWords.h"

#include "exercise/ExerciseHelpFunc.h"

#include <algorithm>
#include <set>
#include <utility>

namespace lexaro {

std::vector<TDueEntry> ComposeDueFirst(const TExerciseData& ex, const ArrayWordData& heldBack,
                                       const TLangFHandler& lang, const TCodePage& page,
                                       const TMemoryReplay& model, const TDueOptions& options) {
    std::set<std::pair<std::int32_t, std::int32_t>> held;
    for (const ExerciseEntry& e : heldBack)
        held.emplace(e.lesson, e.pairId);
    const std::size_t max = static_cast<std::size_t>(std::max(ex.MaxWords, 0));
    std::vector<TDueEntry> due;
    std::vector<TDueEntry> fresh;
    for (const ExerciseEntry& candidate : collectSelected(ex, lang)) {
        if (held.count({candidate.lesson, candidate.pairId}) != 0)
            continue;
        const std::shared_ptr<TLesson> lesson = lang.LessonAt(candidate.lesson);
        const std::shared_ptr<TWordPear> pair = lesson ? lesson->PairAt(candidate.pairId) : nullptr;
        if (!pair)
            continue;
        const std::string text1 = page.ToUtf8(pair->text1);
        std::optional<TDueEntry> lowest;
        bool unpractised = false;
        for (const std::int32_t side : {1, 2}) {
            const TMemoryState* memory = model.Find(candidate.lesson, text1, side);
            if (memory == nullptr) {
                unpractised = unpractised || side == options.presentedSide;
                continue;
            }
            const double recall = memory->RecallAt(options.now);
            if (recall < options.target && (!lowest || recall < *lowest->recall))
                lowest = TDueEntry{{candidate.lesson, candidate.pairId, 0, false}, side, recall};
        }
        if (lowest)
            due.push_back(*lowest);
        else if (unpractised && fresh.size() < max)
            fresh.push_back({{candidate.lesson, candidate.pairId, 0, false},
                             options.presentedSide,
                             std::nullopt});
    }
    std::stable_sort(due.begin(), due.end(),
                     [](const TDueEntry& a, const TDueEntry& b) { return *a.recall < *b.recall; });
    if (due.size() > max)
        due.resize(max);
    for (TDueEntry& e : fresh) {
        if (due.size() >= max)
            break;
        due.push_back(std::move(e));
    }
    return due;
}

} // namespace lexaro
