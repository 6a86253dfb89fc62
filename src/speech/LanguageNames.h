#pragma once

// Which voice speaks a language file's language. A file names its languages as its learner
// wrote them ("English", "Deutsch", "Français", "Espanol", "Englisch", "Русский", "Ελληνικά"),
// in the code page the file is written in; the speech control names a voice's language in
// English, with its variant ("English (Great Britain)", "German", "French (Belgium)"). A table
// of names in English, in the language itself (in its own script too), in German (the
// program's other language) and, for the languages learnt most, in the languages of the code
// pages joins the two; case, accents and a variant in brackets or after a dash in the file's
// name do not matter.

#include "data/CodePage.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace lexaro {

struct TVoiceLanguage {
    std::string_view language; // as voices name it: "French"
    std::string_view home;     // the variant chosen first when there are several: "French (France)"
};

// The language that a file's language name (stored in that code page) means, or nothing when
// the table does not know the name.
std::optional<TVoiceLanguage> VoiceLanguageOf(std::string_view languageName,
                                              const TCodePage& page = TCodePage::Western());

// The 1-based position of the voice for a file's language name among voices whose languages
// are given in list order: the first voice of the language's home variant, else the first voice
// of the language in any variant; 0 when the name is unknown or no voice speaks the language.
std::int32_t FindVoiceForLanguage(std::string_view languageName,
                                  const std::vector<std::string_view>& voiceLanguages,
                                  const TCodePage& page = TCodePage::Western());

} // namespace lexaro
