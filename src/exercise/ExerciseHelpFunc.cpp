#include "exercise/ExerciseHelpFunc.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <unordered_set>

namespace lexaro {

namespace {

std::size_t MaxWordsOf(const TExerciseData& ex) {
    return ex.MaxWords > 0 ? static_cast<std::size_t>(ex.MaxWords) : 0;
}

// One number per pair: lesson and pair ids stay below a million.
std::int64_t PairKey(std::int32_t lesson, std::int32_t pairId) {
    return std::int64_t{lesson} * (std::int64_t{kMaxSlotNumber} + 1) + pairId;
}

using PairSet = std::unordered_set<std::int64_t>;

PairSet PairsOf(const ArrayWordData& a, const ArrayWordData& b) {
    PairSet pairs;
    pairs.reserve(a.size() + b.size());
    for (const ArrayWordData* list : {&a, &b})
        for (const ExerciseEntry& e : *list)
            pairs.insert(PairKey(e.lesson, e.pairId));
    return pairs;
}

// The used pairs of the chosen lessons in lesson and slot order, each lesson once; with
// freshOnly only those not drawn yet and not in skip. Stops after limit entries, for callers
// that keep no more than that anyway.
ArrayWordData Collect(const TExerciseData& ex, const TLangFHandler& lang, bool freshOnly,
                      const PairSet& skip, bool transient, std::size_t limit) {
    ArrayWordData out;
    std::vector<std::int32_t> lessons;
    std::size_t slots = 0;
    for (const std::int32_t number : ex.AvailableUnits) {
        if (std::find(lessons.begin(), lessons.end(), number) != lessons.end())
            continue;
        lessons.push_back(number);
        if (const auto lesson = lang.LessonAt(number))
            slots += static_cast<std::size_t>(lesson->SlotCount());
    }
    out.reserve(std::min(slots, limit));
    for (const std::int32_t number : lessons) {
        const std::shared_ptr<TLesson> lesson = lang.LessonAt(number);
        if (!lesson)
            continue;
        std::int32_t slot = 0;
        for (const auto& pair : lesson->pairs) {
            if (out.size() >= limit)
                return out;
            // The slot is what PairAt finds the pair by; it is the pair's id after a load.
            if (pair && pair->use &&
                !(freshOnly && (pair->drawn || skip.count(PairKey(number, slot)) != 0)))
                out.push_back(ExerciseEntry{number, slot, 0, transient});
            ++slot;
        }
    }
    return out;
}

constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

// shuffleEntries followed by appendUpTo, without building the part of the shuffled list that
// appendUpTo would drop: the same entries in the same order.
void AppendShuffled(TExerciseData& ex, const ArrayWordData& candidates, TRandomGen& rng) {
    intArray order(candidates.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<std::int32_t>(i);
    ShuffleInts(order, rng);
    ArrayWordData& list = ex.ExerciseWords;
    const std::size_t max = MaxWordsOf(ex);
    for (std::size_t i = 0; i < order.size() && list.size() < max; ++i)
        list.push_back(candidates[static_cast<std::size_t>(order[i])]);
}

} // namespace

ArrayWordData collectSelected(const TExerciseData& ex, const TLangFHandler& lang) {
    return Collect(ex, lang, false, {}, false, kNoLimit);
}

ArrayWordData collectFresh(const TExerciseData& ex, const ArrayWordData& heldBack,
                           const TLangFHandler& lang, bool transient) {
    return Collect(ex, lang, true, PairsOf(ex.ExerciseWords, heldBack), transient, kNoLimit);
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

void appendUpTo(TExerciseData& ex, const ArrayWordData& candidates) {
    ArrayWordData& list = ex.ExerciseWords;
    const std::size_t max = MaxWordsOf(ex);
    for (const ExerciseEntry& e : candidates) {
        if (list.size() >= max)
            break;
        list.push_back(e);
    }
}

void markDrawn(const ArrayWordData& list, TLangFHandler& lang, bool drawn) {
    for (const ExerciseEntry& e : list) {
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

void removeDoubles(ArrayWordData& entries) {
    PairSet seen;
    seen.reserve(entries.size());
    std::erase_if(entries, [&](const ExerciseEntry& e) {
        return !seen.insert(PairKey(e.lesson, e.pairId)).second;
    });
}

void renumberEntries(ArrayWordData& entries, const TPairRenumbering& renumbering) {
    std::erase_if(entries, [&](ExerciseEntry& e) {
        const std::optional<TPairKey> now = renumbering.PlaceOf({e.lesson, e.pairId});
        if (!now)
            return true;
        e.lesson = now->lesson;
        e.pairId = now->id;
        return false;
    });
    // Two entries never name one pair, also when a renumbering would merge them.
    removeDoubles(entries);
}

void splitHeldBack(ArrayWordData& list, ArrayWordData& heldBack) {
    ArrayWordData kept;
    ArrayWordData held;
    bool anyHeld = false;
    for (const ExerciseEntry& e : list) {
        if (e.priority == 0) {
            kept.push_back(e);
        } else if (e.priority < 9) {
            anyHeld = true;
            held.push_back(e);
        }
        // 9 and above: not more use, dropped.
    }
    list = std::move(kept);
    if (anyHeld)
        heldBack = std::move(held);
}

void bringBackHeld(TExerciseData& ex, ArrayWordData& heldBack, const TLangFHandler& lang,
                   TRandomGen& rng) {
    ArrayWordData& list = ex.ExerciseWords;
    if (heldBack.empty())
        return;
    // The fresh pairs that filled the held-back pairs' places make room for them again.
    std::erase_if(list, [](const ExerciseEntry& e) { return e.transient; });
    for (ExerciseEntry e : heldBack) {
        // Only pairs the file holds and uses come back.
        const std::shared_ptr<TLesson> lesson = lang.LessonAt(e.lesson);
        const auto pair = lesson ? lesson->PairAt(e.pairId) : nullptr;
        if (!pair || !pair->use)
            continue;
        e.priority = 0;
        e.transient = false;
        list.push_back(e);
    }
    heldBack.clear();
    removeDoubles(list);
    const std::size_t max = MaxWordsOf(ex);
    if (list.size() > max) {
        // Only when the maximum was lowered meanwhile: which pairs wait for the next cycle is
        // left to chance, as in any composition.
        shuffleEntries(list, rng);
        list.resize(max);
    }
}

void ageAndHoldBack(ArrayWordData& list, ArrayWordData& heldBack) {
    agePriorities(list);
    splitHeldBack(list, heldBack);
}

ArrayWordData heldBackAtNextComposition(const ArrayWordData& list, const ArrayWordData& heldBack) {
    // An empty list is composed anew, and a new composition starts a new held-back list.
    if (list.empty())
        return {};
    ArrayWordData next = list;
    ArrayWordData held = heldBack;
    removeDoubles(next);
    ageAndHoldBack(next, held);
    return held;
}

bool entriesValid(const ArrayWordData& list, const TLangFHandler& lang) {
    for (const ExerciseEntry& e : list) {
        const std::shared_ptr<TLesson> lesson = lang.LessonAt(e.lesson);
        if (!lesson || !lesson->PairAt(e.pairId))
            return false;
    }
    return true;
}

bool composeNew(TExerciseData& ex, ArrayWordData& heldBack, TLangFHandler& lang, TRandomGen& rng) {
    const ArrayWordData candidates = collectSelected(ex, lang);
    if (candidates.empty())
        return false;
    ex.ExerciseWords.clear();
    // What an earlier composition held back names pairs of that composition, perhaps of
    // another file: a new composition starts a new held-back list.
    heldBack.clear();
    AppendShuffled(ex, candidates, rng);
    lang.ClearDrawn();
    markDrawn(ex.ExerciseWords, lang, true);
    return true;
}

bool fillFresh(TExerciseData& ex, const ArrayWordData& heldBack, TLangFHandler& lang,
               TRandomGen& rng) {
    const ArrayWordData candidates = collectFresh(ex, heldBack, lang, false);
    if (candidates.empty())
        return false;
    AppendShuffled(ex, candidates, rng);
    markDrawn(ex.ExerciseWords, lang, true);
    return true;
}

bool composeContinue(TExerciseData& ex, ArrayWordData& heldBack, TLangFHandler& lang, bool reset,
                     TRandomGen& rng) {
    ArrayWordData& list = ex.ExerciseWords;
    removeDoubles(list);
    const std::size_t max = MaxWordsOf(ex);
    bool marked = false;
    if (list.size() < max)
        marked = fillFresh(ex, heldBack, lang, rng);
    if (list.empty())
        return marked;
    if (reset) {
        resetPriorities(list);
        bringBackHeld(ex, heldBack, lang, rng);
    } else {
        ageAndHoldBack(list, heldBack);
    }
    if (list.size() < max) {
        // Not shuffled and cut by appendUpTo, so the walk can stop once the gap is filled.
        // Top-up pairs stay undrawn, so they are skipped by pair, not by their mark.
        const ArrayWordData topUp =
            Collect(ex, lang, true, PairsOf(list, heldBack), true, max - list.size());
        appendUpTo(ex, topUp);
    }
    shuffleEntries(list, rng);
    return marked;
}

} // namespace lexaro
