#pragma once

#include "data/ArrayUtil.h"
#include "data/LangFHandler.h"
#include "data/PairRenumbering.h"
#include "exercise/ExerciseData.h"

namespace lexaro {

// Composition of the exercise list from the chosen lessons of a language file.
//
// It works on the language file as the caller loaded it and reads or writes no file itself:
// the operations that change drawn marks return true, and the caller then saves the file.
// No pair ever stands twice in the exercise list, nor in it and in the held-back list at once.
// The random generator is injectable so tests can fix the order.

// New composition: all used pairs of the chosen lessons, shuffled and cut to MaxWords; they
// are marked drawn and all other pairs not, and the held-back list starts anew. True when it
// composed; with nothing to compose both lists stay as they were.
bool composeNew(TExerciseData& ex, ArrayWordData& heldBack, TLangFHandler& lang,
                TRandomGen& rng = DefaultRandom());
// Continued composition; reset is the state of "Reset priority of Phrases": every priority
// below 9 becomes 0 and the held-back pairs come back (bringBackHeld). True when pairs were
// marked drawn (the list was filled up with fresh pairs first).
bool composeContinue(TExerciseData& ex, ArrayWordData& heldBack, TLangFHandler& lang, bool reset,
                     TRandomGen& rng = DefaultRandom());
// Appends pairs not drawn yet (and in neither list) up to MaxWords and marks the whole list
// drawn. True when it appended.
bool fillFresh(TExerciseData& ex, const ArrayWordData& heldBack, TLangFHandler& lang,
               TRandomGen& rng = DefaultRandom());
// Moves entries with priority 1..8 to the held-back list (replacing it when there is one)
// and drops 9.
void splitHeldBack(ArrayWordData& list, ArrayWordData& heldBack);
// "Reset priority of Phrases": the held-back pairs return to the list with priority 0 (in
// place of the fresh pairs that filled their places, up to MaxWords) and nothing stays held
// back. Entries naming no pair of the file in use are dropped.
void bringBackHeld(TExerciseData& ex, ArrayWordData& heldBack, const TLangFHandler& lang,
                   TRandomGen& rng = DefaultRandom());
// What the next continued composition does to the priorities: ages the entries of the list
// (1 to 8 go down by one), then holds back those still at 1 to 8 (splitHeldBack).
void ageAndHoldBack(ArrayWordData& list, ArrayWordData& heldBack);
// The entries the next exercise will hold back, as the start of an exercise composes it
// (continued, without reset; an empty list composes anew and holds nothing back): what
// ageAndHoldBack leaves in the held-back list. A pair given priority 1 is no longer held back.
ArrayWordData heldBackAtNextComposition(const ArrayWordData& list, const ArrayWordData& heldBack);
// The language file was written anew: every entry names its pair where it stands now, and an
// entry whose pair is gone leaves the list.
void renumberEntries(ArrayWordData& entries, const TPairRenumbering& renumbering);
// True when every entry names a lesson and a pair that the loaded file holds.
bool entriesValid(const ArrayWordData& list, const TLangFHandler& lang);

// The shared steps.
// The used pairs of the chosen lessons (each lesson once) in lesson and slot order.
ArrayWordData collectSelected(const TExerciseData& ex, const TLangFHandler& lang);
// The same, only pairs not drawn yet and in neither list.
ArrayWordData collectFresh(const TExerciseData& ex, const ArrayWordData& heldBack,
                           const TLangFHandler& lang, bool transient);
void shuffleEntries(ArrayWordData& entries, TRandomGen& rng = DefaultRandom());
void appendUpTo(TExerciseData& ex, const ArrayWordData& candidates);
void markDrawn(const ArrayWordData& list, TLangFHandler& lang, bool drawn);
void resetPriorities(ArrayWordData& entries);
void agePriorities(ArrayWordData& entries);
// Drops every entry whose pair an earlier entry names already.
void removeDoubles(ArrayWordData& entries);

} // namespace lexaro
