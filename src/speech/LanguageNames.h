#pragma once

// Which voice speaks a language file's language. A file names its languages as its learner
// wrote them ("English", "Deutsch", "Français", "Espanol", "Englisch", "Русский", "日本語"),
// in the code page the file is written in; the speech control names a voice's language in
// English, with its variant ("English (Great Britain)", "German", "French (Belgium)"). The
// table of languages (data/Languages.h) joins the two: its names in English, in the language
// itself, in German and more; case, accents and a variant in brackets or after a dash in the
// file's name do not matter.

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
// The same for a name in UTF-8.
std::optional<TVoiceLanguage> VoiceLanguageOfUtf8(std::string_view utf8Name);

// The 1-based position of the voice for a file's language name among voices whose languages
// are given in list order: the first voice of the language's home variant, else the first voice
// of the language in any variant; 0 when the name is unknown or no voice speaks the language.
std::int32_t FindVoiceForLanguage(std::string_view languageName,
                                  const std::vector<std::string_view>& voiceLanguages,
                                  const TCodePage& page = TCodePage::Western());
// The same for a name in UTF-8.
std::int32_t FindVoiceForLanguageUtf8(std::string_view utf8Name,
                                      const std::vector<std::string_view>& voiceLanguages);

} // namespace lexaro
