#include "progress/DueWords.h"

#include "exercise/ExerciseHelpFunc.h"

#include <algorithm>
#include <set>
#include <utility>

namespace lexaro {

namespace {

// A stored text in UTF-8: ASCII is the same in every code page and needs no copy.
std::string_view Utf8Of(const std::string& stored, const TCodePage& page, std::string& converted) {
    if (std::all_of(stored.begin(), stored.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return stored;
    converted = page.ToUtf8(stored);
    return converted;
}

} // namespace

std::vector<TDueEntry> ComposeDueFirst(const TExerciseData& ex, const ArrayWordData& heldBack,
                                       const TLangFHandler& lang, const TCodePage& page,
                                       const TMemoryReplay& model, const TDueOptions& options) {
    std::set<std::pair<std::int32_t, std::int32_t>> held;
    for (const ExerciseEntry& e : heldBack)
        held.emplace(e.lesson, e.pairId);
    const std::size_t max = static_cast<std::size_t>(std::max(ex.MaxWords, 0));
    std::vector<TDueEntry> due;
    std::vector<TDueEntry> fresh;
    // The used pairs of the chosen lessons in lesson and slot order, each lesson once, as
    // every composition takes them.
    std::vector<std::int32_t> lessons;
    for (const std::int32_t number : ex.AvailableUnits) {
        if (std::find(lessons.begin(), lessons.end(), number) != lessons.end())
            continue;
        lessons.push_back(number);
        const std::shared_ptr<TLesson> lesson = lang.LessonAt(number);
        if (!lesson)
            continue;
        // A lesson never practised holds no memory to look up: its pairs are fresh.
        const bool practised = model.HasLesson(number);
        std::int32_t slot = -1;
        for (const auto& pair : lesson->pairs) {
            ++slot;
            if (!pair || !pair->use || (!held.empty() && held.count({number, slot}) != 0))
                continue;
            const ExerciseEntry candidate{number, slot, 0, false};
            if (!practised) {
                if (fresh.size() >= max)
                    break;
                fresh.push_back({candidate, options.presentedSide, std::nullopt});
                continue;
            }
            std::string converted;
            const std::string_view text1 = Utf8Of(pair->text1, page, converted);
            const TMemoryReplay::TPairMemory* memories = model.FindPair(number, text1);
            std::optional<TDueEntry> lowest;
            bool unpractised = false;
            for (const std::int32_t side : {1, 2}) {
                const TMemoryState* memory = memories ? memories->Side(side) : nullptr;
                if (memory == nullptr) {
                    unpractised = unpractised || side == options.presentedSide;
                    continue;
                }
                const double recall = memory->RecallAt(options.now);
                if (recall < options.target && (!lowest || recall < *lowest->recall))
                    lowest = TDueEntry{candidate, side, recall};
            }
            if (lowest)
                due.push_back(*lowest);
            else if (unpractised && fresh.size() < max)
                fresh.push_back({candidate, options.presentedSide, std::nullopt});
        }
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

std::optional<std::int64_t> EarliestDue(const TExerciseData& ex, const ArrayWordData& heldBack,
                                        const TLangFHandler& lang, const TCodePage& page,
                                        const TMemoryReplay& model, double target) {
    std::set<std::pair<std::int32_t, std::int32_t>> held;
    for (const ExerciseEntry& e : heldBack)
        held.emplace(e.lesson, e.pairId);
    std::optional<std::int64_t> earliest;
    for (const ExerciseEntry& candidate : collectSelected(ex, lang)) {
        if (held.count({candidate.lesson, candidate.pairId}) != 0 ||
            !model.HasLesson(candidate.lesson))
            continue;
        const std::shared_ptr<TLesson> lesson = lang.LessonAt(candidate.lesson);
        const std::shared_ptr<TWordPear> pair = lesson ? lesson->PairAt(candidate.pairId) : nullptr;
        if (!pair)
            continue;
        std::string converted;
        const std::string_view text1 = Utf8Of(pair->text1, page, converted);
        const TMemoryReplay::TPairMemory* memories = model.FindPair(candidate.lesson, text1);
        for (const std::int32_t side : {1, 2})
            if (const TMemoryState* memory = memories ? memories->Side(side) : nullptr) {
                const std::int64_t due = memory->DueAt(target);
                if (!earliest || due < *earliest)
                    earliest = due;
            }
    }
    return earliest;
}

namespace {

// Calls visit(lesson, pair id, side, memory) for every memory of the file's used pairs.
template <typename Visit>
void ForEachMemory(const TLangFHandler& lang, const TCodePage& page, const TMemoryReplay& model,
                   Visit&& visit) {
    for (std::int32_t slot = 0; slot < lang.SlotCount(); ++slot) {
        const std::shared_ptr<TLesson> lesson = lang.LessonAt(slot);
        if (!lesson || !model.HasLesson(lesson->number))
            continue;
        for (std::int32_t id = 0; id < lesson->SlotCount(); ++id) {
            const std::shared_ptr<TWordPear> pair = lesson->PairAt(id);
            if (!pair || !pair->use)
                continue;
            std::string converted;
            const std::string_view text1 = Utf8Of(pair->text1, page, converted);
            const TMemoryReplay::TPairMemory* memories = model.FindPair(lesson->number, text1);
            for (const std::int32_t side : {1, 2})
                if (const TMemoryState* memory = memories ? memories->Side(side) : nullptr)
                    visit(lesson->number, id, side, *memory);
        }
    }
}

} // namespace

std::vector<TDueEntry> DueMemories(const TLangFHandler& lang, const TCodePage& page,
                                   const TMemoryReplay& model, std::int64_t now, double target) {
    std::vector<TDueEntry> due;
    ForEachMemory(
        lang, page, model,
        [&](std::int32_t lesson, std::int32_t id, std::int32_t side, const TMemoryState& memory) {
            const double recall = memory.RecallAt(now);
            if (recall < target)
                due.push_back({{lesson, id, 0, false}, side, recall});
        });
    std::stable_sort(due.begin(), due.end(),
                     [](const TDueEntry& a, const TDueEntry& b) { return *a.recall < *b.recall; });
    return due;
}

std::int32_t TDueForecast::DueNow() const {
    std::int32_t n = 0;
    for (const auto& [lesson, count] : lessons)
        n += count;
    return n;
}

TDueForecast ForecastDue(const TLangFHandler& lang, const TCodePage& page,
                         const TMemoryReplay& model, std::int64_t now, std::int32_t dayCount,
                         const TUtcOffset& offset, double target) {
    const auto dayOf = [&](std::int64_t seconds) {
        return DayOf(std::chrono::sys_seconds{std::chrono::seconds{seconds}}, offset);
    };
    TDueForecast forecast;
    forecast.today = dayOf(now);
    forecast.days.assign(static_cast<std::size_t>(std::max(dayCount, 0)), 0);
    // The earliest moment each pair comes due, of its sides.
    std::map<std::pair<std::int32_t, std::int32_t>, std::int64_t> firstDue;
    ForEachMemory(lang, page, model,
                  [&](std::int32_t lesson, std::int32_t id, std::int32_t, const TMemoryState& m) {
                      const std::int64_t due = m.DueAt(target);
                      const auto [it, added] = firstDue.try_emplace({lesson, id}, due);
                      if (!added)
                          it->second = std::min(it->second, due);
                  });
    for (const auto& [pair, due] : firstDue) {
        if (due <= now)
            ++forecast.lessons[pair.first];
        const std::int64_t day = std::max<std::int64_t>(dayOf(due) - forecast.today, 0);
        if (day < static_cast<std::int64_t>(forecast.days.size()))
            ++forecast.days[static_cast<std::size_t>(day)];
    }
    return forecast;
}

} // namespace lexaro
