#pragma once

// The exercise's part of the settings: the exercise entry and list, what the learner chose to
// practise, and the records that say how an exercise runs, is drawn and is spoken.

#include "data/IntVector.h"
#include "data/PairRenumbering.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lexaro {

// One entry of the exercise list: a pair named by its lesson and its id in that lesson.
struct ExerciseEntry {
    std::int32_t lesson = 0;
    std::int32_t pairId = 0;
    // 0 "use always", 1..8 "not use once" .. "not use eight times", 9 "not more use".
    std::int32_t priority = 0;
    // Added by the top-up of a continued composition: exercised, never written.
    bool transient = false;
    // The side the card presents: 0 as the learner chose for the exercise, 1 the first
    // language, 2 the second (a due-words-first composition presents the direction that is
    // due). Never written.
    std::int32_t side = 0;

    friend bool operator==(const ExerciseEntry&, const ExerciseEntry&) = default;
};
using ArrayWordData = std::vector<ExerciseEntry>;

// The two marks of a pair that an exercise changes ("not more use" clears both), to be applied
// to the language file as it is on disk when the exercise saves.
struct TPairMarks {
    TPairKey pair;
    bool use = false;
    bool drawn = false;
    friend bool operator==(const TPairMarks&, const TPairMarks&) = default;
};

// How a typed answer was judged: None for a card shown without one (outside Write mode, or
// left before the answer).
enum class TAnswerVerdict : std::int32_t { None = 0, Right = 1, Wrong = 2 };

// One card of a run, in the order the cards were shown, every mode.
struct TCardResult {
    // The entry as it stood when the card came, with the priority it had then.
    ExerciseEntry entry;
    bool firstLanguagePresented = true;
    // What the learner typed, stored text of the code page (characters it cannot hold as
    // "?"); empty outside Write mode.
    std::string typed;
    TAnswerVerdict verdict = TAnswerVerdict::None;
    // The priority the pair had when the card left the table (or the run closed).
    std::int32_t priorityChosen = 0;

    friend bool operator==(const TCardResult&, const TCardResult&) = default;
};

// "lesson-pairId-priority"; false (entry -1, -1, -1) when the text does not parse.
bool ParseExerciseEntry(std::string_view text, ExerciseEntry& entry);
std::string FormatExerciseEntry(const ExerciseEntry& entry);
// True when the entry can name a pair of a language file (lesson and pair 0..999,999) and has
// a priority from 0 to 9.
bool EntryValid(const ExerciseEntry& entry);
// True when both entries name the same pair.
inline bool SamePair(const ExerciseEntry& a, const ExerciseEntry& b) {
    return a.lesson == b.lesson && a.pairId == b.pairId;
}

// What the learner chose to practise, and the exercise list: the part of the settings that
// composition and the exercise work on.
struct TExerciseData {
    // Stored (Windows-1252) path text; relative paths start at the application folder.
    std::string LangFileName;
    std::string Lang1;
    std::string Lang2;
    bool FirstLang = true;
    std::int32_t MaxWords = 300;
    intArray AvailableUnits;
    ArrayWordData ExerciseWords;
    // The list was composed from the due words: answers set no priorities then. Never
    // written.
    bool ComposedDueFirst = false;
};

// How an exercise runs: presentation mode and delays (whole seconds), voice output, table.
struct TGeneralProperty {
    // Write mode: the learner types each answer; it takes the place of manual and automatic.
    bool WriteAnswer = false;
    // Write mode: accents do not count in the answers ("Tur" for "Tür").
    bool IgnoreAccents = false;
    // Write mode: a right answer raises the pair's priority by one step (up to 8), a wrong one
    // sets it to 0.
    bool PrioritiesFromAnswers = true;
    // Write mode: a comma separates alternatives of an answer as ";" does ("to look, to see");
    // otherwise a comma is part of the answer ("1,5", "Ja, bitte").
    bool CommaSeparates = false;
    // Exercises are composed from the words about to be forgotten ("Due words first"): the
    // pairs and directions whose chance of recall is below DueTarget percent.
    bool DueWordsFirst = false;
    std::int32_t DueTarget = 90;
    bool AutoPresent = false;
    std::int32_t DelayPresent = 10;
    bool VoiceAnswer = true;
    bool LetterAnswer = false;
    std::int32_t DelayAnswer = 10;
    std::int32_t VoicePresent = 0;
    bool ShowTable = true;
};

// The card font: name, style (0 bold, otherwise bold italic), colour index, size in pixels.
struct TFontProperty {
    std::string Font = "Times New Roman";
    std::int32_t Style = 1;
    std::int32_t Color = 2;
    std::int32_t Size = 14;
};

// A voice by its display name, with speed and pitch; one for each language of the file.
struct TVoiceProperty {
    std::string Voice = "no Voice";
    std::int32_t Speed = 0;
    std::int32_t Pitch = 0;
};
using AVoiceProperty = std::array<TVoiceProperty, 2>;

} // namespace lexaro
