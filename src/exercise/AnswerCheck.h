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
    // them. In Unicode text (65001) a letter is a character as the learner sees it (a grapheme
    // cluster: a letter with its vowel signs or marks), and all its bytes are marked alike.
    std::vector<bool> differs;
};

// Right when the typed text, or every one of its alternatives, equals a form of the solution
// or of one of its alternatives. Alternatives are separated by ";" (a comma inside an answer
// separates nothing: "1,5", "Ja, bitte"), also by "," when commaSeparates ("to look, to see");
// a separator inside brackets separates nothing either. Compared:
//   - what brackets "(..)" and "[..]" hold may be typed (without the brackets) or left out,
//     each part on its own: for "(der) Tisch", "der Tisch", "Tisch" and "(der) Tisch" are right;
//   - blanks (spaces, tabs, no-break spaces) at either end are dropped, runs of them count as
//     one;
//   - case is ignored as TCodePage::SameLetterIgnoringCase pairs letters (in a Turkish file
//     "italy" for "Italy", but not "irmak" for "ırmak");
//   - with ignoreAccents, accents are ignored too ("Tur" for "Tür", "strasse" for "Straße").
// Unicode text (65001) is compared composed (NFC) and case folded as Unicode folds it ("STRASSE"
// for "Straße" without ignoreAccents); ignoreAccents leaves out the accents of Latin, Greek and
// Cyrillic letters, the Arabic vowel marks (with the madda and hamza on alef) and the Hebrew
// points, but never the vowel signs or viramas of the Indic scripts or the Japanese voicing
// marks, which make another word.
// An empty answer (nothing but blanks) is wrong: the learner did not know.
TAnswerCheck CheckAnswer(std::string_view solution, std::string_view typed, const TCodePage& page,
                         bool ignoreAccents, bool commaSeparates);

} // namespace lexaro
