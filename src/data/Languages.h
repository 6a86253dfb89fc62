#pragma once

// The languages Lexaro knows by name: every language espeak-ng speaks, each with its name in
// the language itself and in English (and in German, the program's other language, for the
// languages learnt most), the locale of its alphabetical order and the espeak-ng voice that
// speaks it. A language file names its two languages as its learner wrote them ("English",
// "Deutsch", "Français", "Svenska", "日本語", "Englisch"); FindLanguage finds the language
// such a name means, ignoring case, accents, blanks around and between words, and a variant
// in brackets or after a dash or comma ("English (UK)", "Deutsch - Schweiz").

#include "data/CodePage.h"

#include <span>
#include <string_view>

namespace lexaro {

struct TLanguage {
    std::string_view english; // "French"
    std::string_view own;     // in the language itself: "Français" (UTF-8)
    std::string_view german;  // "Französisch"; empty where the table has none
    std::string_view locale;  // the locale id of its alphabetical order: "fr"
    std::string_view voice;   // the espeak-ng language code that speaks it: "fr-fr"
    // The language as the speech control names its voices ("Chinese" for Cantonese too), and
    // the variant chosen first when there are several ("Chinese (Cantonese)"); each empty
    // means the English name.
    std::string_view speech;
    std::string_view home;
    // Further names (UTF-8), separated by "|": other spellings, in other scripts, in Latin
    // letters, in German, as espeak-ng names its voices, and for the languages learnt most in
    // the languages of the code pages that files are written in.
    std::string_view names;

    std::string_view SpeechName() const { return speech.empty() ? english : speech; }
    std::string_view HomeVoice() const { return home.empty() ? SpeechName() : home; }
};

// Every language of the table.
std::span<const TLanguage> Languages();

// The language a name means (UTF-8), or nullptr when the table knows no such name.
const TLanguage* FindLanguage(std::string_view utf8Name);
// The same for a name stored in that code page.
const TLanguage* FindLanguage(std::string_view storedName, const TCodePage& page);
// The language that espeak-ng speaks under that language code ("sv", "en-gb"; any case), or
// nullptr.
const TLanguage* FindLanguageOfVoice(std::string_view code);

} // namespace lexaro
