#pragma once

#include "app/AppIniFile.h"
#include "data/ArrayUtil.h"
#include "data/LangFHandler.h"

namespace lexaro {

// Composition of the exercise list (kept in the settings) from the chosen lessons of the
// language file. The random generator is injectable so tests can fix the order.

// New composition: load, take all used pairs of the chosen lessons, shuffle, cut to MaxWords,
// mark them drawn (all others not) and save the file.
void composeNew(TAppIniFile& settings, TLangFHandler& lang, TRandomGen& rng = DefaultRandom());
// Continued composition; resetPriorities is the state of "Reset priority of Phrases".
void composeContinue(TAppIniFile& settings, TLangFHandler& lang, bool resetPriorities,
                     TRandomGen& rng = DefaultRandom());
// Appends pairs not yet drawn up to MaxWords, marks and saves.
void fillFresh(TAppIniFile& settings, TLangFHandler& lang, TRandomGen& rng = DefaultRandom());
// Moves entries with priority 1..8 to the held-back list and drops 9.
void splitHeldBack(TAppIniFile& settings);
// True when every entry names a lesson and a pair that the loaded file holds.
bool entriesValid(const TAppIniFile& settings, const TLangFHandler& lang);

// The shared steps.
ArrayWordData collectSelected(const TAppIniFile& settings, const TLangFHandler& lang);
ArrayWordData collectFresh(const TAppIniFile& settings, const TLangFHandler& lang, bool transient);
void shuffleEntries(ArrayWordData& entries, TRandomGen& rng = DefaultRandom());
void appendUpTo(TAppIniFile& settings, const ArrayWordData& candidates);
void markDrawn(const TAppIniFile& settings, TLangFHandler& lang, bool drawn);
void resetPriorities(ArrayWordData& entries);
void agePriorities(ArrayWordData& entries);

} // namespace lexaro
