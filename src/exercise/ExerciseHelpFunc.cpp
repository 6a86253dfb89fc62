#include "exercise/ExerciseHelpFunc.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace lexaro {

namespace {

std::size_t MaxWordsOf(const TAppIniFile& settings) {
    const std::int32_t max = settings.exercise.MaxWords;
    return max > 0 ? static_cast<std::size_t>(max) : 0;
}

// The used pairs of the chosen lessons in lesson and slot order; with freshOnly only those not
// drawn yet. Stops after limit entries, for callers that keep no more than that anyway.
ArrayWordData Collect(const TAppIniFile& settings, const TLangFHandler& lang, bool freshOnly,
                      bool transient, std::size_t limit) {
    ArrayWordData out;
    std::size_t slots = 0;
    for (const std::int32_t number : settings.exercise.AvailableUnits)
        if (const auto lesson = lang.LessonAt(number))
            slots += static_cast<std::size_t>(lesson->SlotCount());
    out.reserve(std::min(slots, limit));
    for (const std::int32_t number : settings.exercise.AvailableUnits) {
        const std::shared_ptr<TLesson> lesson = lang.LessonAt(number);
        if (!lesson)
            continue;
        std::int32_t slot = 0;
        for (const auto& pair : lesson->pairs) {
            if (out.size() >= limit)
                return out;
            // The slot is what PairAt finds the pair by; it is the pair's id after a load.
            if (pair && pair->use && !(freshOnly && pair->drawn))
                out.push_back(ExerciseEntry{number, slot, 0, transient});
            ++slot;
        }
    }
    return out;
}

constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

// shuffleEntries followed by appendUpTo, without building the part of the shuffled list that
// appendUpTo would drop: the same entries in the same order.
void AppendShuffled(TAppIniFile& settings, const ArrayWordData& candidates, TRandomGen& rng) {
    intArray order(candidates.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<std::int32_t>(i);
    ShuffleInts(order, rng);
    ArrayWordData& list = settings.exercise.ExerciseWords;
    const std::size_t max = MaxWordsOf(settings);
    for (std::size_t i = 0; i < order.size() && list.size() < max; ++i)
        list.push_back(candidates[static_cast<std::size_t>(order[i])]);
}

void LoadLangFile(const TAppIniFile& settings, TLangFHandler& lang) {
    lang.Clear();
    lang.Load(settings.exercise.LangFileName);
}

} // namespace

ArrayWordData collectSelected(const TAppIniFile& settings, const TLangFHandler& lang) {
    return Collect(settings, lang, false, false, kNoLimit);
}

ArrayWordData collectFresh(const TAppIniFile& settings, const TLangFHandler& lang, bool transient) {
    return Collect(settings, lang, true, transient, kNoLimit);
}

void shuffleEntries(ArrayWordData& entries, TRandomGen& rng) {
    intArray order(entries.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<std::int32_t>(i);
    ShuffleInts(order, rng);
    ArrayWordData shuffled;
    shuffled.reserve(entries.size());
    for (const std::int32_t i : order)
        shuffled.push_back(entries[static_cast<std::size_t>(i)]);
    entries = std::move(shuffled);
}

void appendUpTo(TAppIniFile& settings, const ArrayWordData& candidates) {
    ArrayWordData& list = settings.exercise.ExerciseWords;
    const std::size_t max = MaxWordsOf(settings);
    for (const ExerciseEntry& e : candidates) {
        if (list.size() >= max)
            break;
        list.push_back(e);
    }
}

void markDrawn(const TAppIniFile& settings, TLangFHandler& lang, bool drawn) {
    for (const ExerciseEntry& e : settings.exercise.ExerciseWords) {
        const std::shared_ptr<TLesson> lesson = lang.LessonAt(e.lesson);
        if (!lesson)
            continue;
        if (const auto pair = lesson->PairAt(e.pairId))
            pair->drawn = drawn;
    }
}

void resetPriorities(ArrayWordData& entries) {
    for (ExerciseEntry& e : entries)
        if (e.priority < 9)
            e.priority = 0;
}

void agePriorities(ArrayWordData& entries) {
    for (ExerciseEntry& e : entries)
        if (e.priority >= 1 && e.priority <= 8)
            --e.priority;
}

void splitHeldBack(TAppIniFile& settings) {
    ArrayWordData kept;
    ArrayWordData held;
    bool anyHeld = false;
    for (const ExerciseEntry& e : settings.exercise.ExerciseWords) {
        if (e.priority == 0) {
            kept.push_back(e);
        } else if (e.priority < 9) {
            anyHeld = true;
            held.push_back(e);
        }
        // 9 and above: not more use, dropped.
    }
    settings.exercise.ExerciseWords = std::move(kept);
    if (anyHeld)
        settings.heldBack = std::move(held);
}

bool entriesValid(const TAppIniFile& settings, const TLangFHandler& lang) {
    for (const ExerciseEntry& e : settings.exercise.ExerciseWords) {
        const std::shared_ptr<TLesson> lesson = lang.LessonAt(e.lesson);
        if (!lesson || !lesson->PairAt(e.pairId))
            return false;
    }
    return true;
}

void composeNew(TAppIniFile& settings, TLangFHandler& lang, TRandomGen& rng) {
    LoadLangFile(settings, lang);
    ArrayWordData candidates = collectSelected(settings, lang);
    if (candidates.empty())
        return;
    settings.exercise.ExerciseWords.clear();
    AppendShuffled(settings, candidates, rng);
    lang.ClearDrawn();
    markDrawn(settings, lang, true);
    lang.Save(settings.exercise.LangFileName);
}

void fillFresh(TAppIniFile& settings, TLangFHandler& lang, TRandomGen& rng) {
    if (lang.SlotCount() == 0)
        lang.Load(settings.exercise.LangFileName);
    ArrayWordData candidates = collectFresh(settings, lang, false);
    if (candidates.empty())
        return;
    AppendShuffled(settings, candidates, rng);
    markDrawn(settings, lang, true);
    lang.Save(settings.exercise.LangFileName);
}

void composeContinue(TAppIniFile& settings, TLangFHandler& lang, bool resetPrio, TRandomGen& rng) {
    LoadLangFile(settings, lang);
    ArrayWordData& list = settings.exercise.ExerciseWords;
    const std::size_t max = MaxWordsOf(settings);
    if (list.size() < max)
        fillFresh(settings, lang, rng);
    if (list.empty())
        return;
    if (resetPrio) {
        resetPriorities(list);
    } else {
        agePriorities(list);
        splitHeldBack(settings);
    }
    if (list.size() < max) {
        // Not shuffled and cut by appendUpTo, so the walk can stop once the gap is filled.
        const ArrayWordData topUp = Collect(settings, lang, true, true, max - list.size());
        appendUpTo(settings, topUp);
    }
    shuffleEntries(list, rng);
}

} // namespace lexaro
