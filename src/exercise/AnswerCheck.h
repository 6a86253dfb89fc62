#pragma once

// What counts as the right answer in the exercise's Write mode: the learner's typed text
// against the card's solution, both stored text of the language file's code page.

#include "data/CodePage.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace lexaro {

// The most a typed answer holds: the answer field's limit, in characters.
inline constexpr std::size_t kAnswerLimit = 200;

struct TAnswerCheck {
    bool right = false;
    // One per byte of the typed text: true for a letter that the nearest form of the solution
    // does not have there (none when right). The nearest form is the alternative sharing the
    // longest common subsequence with the typed text, letters compared as the check compares
    // them.
    std::vector<bool> differs;
};

// Right when the typed text equals the solution, or every one of its parts separated by ";"
// or "," equals one of the solution's alternatives (its parts separated by ";" or ","), after:
//   - the parts in "(..)" and "[..]" are left out, as the speech leaves them out;
//   - blanks (spaces, tabs, no-break spaces) at either end are dropped, runs of them count as
//     one;
//   - case is ignored, as the code page pairs its letters (Turkish i with İ, ı with I);
//   - with ignoreAccents, accents are ignored too ("Tur" for "Tür", "strasse" for "Straße").
// An empty answer (nothing but blanks) is wrong: the learner did not know.
TAnswerCheck CheckAnswer(std::string_view solution, std::string_view typed, const TCodePage& page,
                         bool ignoreAccents);

} // namespace lexaro
