// The voice for a language file's language: the names learners give their languages, and the
// voice chosen among the voices as espeak-ng names their languages.
#include "speech/LanguageNames.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

TEST(LanguageNames, NamesInEnglishInTheLanguageItselfAndInGerman) {
    const std::pair<std::string, std::string> cases[] = {
        {"English", "English"},
        {"Deutsch", "German"},
        {"Fran\xE7"
         "ais",
         "French"},
        {"Francais", "French"},
        {"Espa\xF1ol", "Spanish"},
        {"Espanol", "Spanish"},
        {"  ESPA\xD1OL ", "Spanish"},
        {"Englisch", "English"},
        {"Franz\xF6sisch", "French"},
        {"Italiano", "Italian"},
        {"Nederlands", "Dutch"},
        {"Portugu\xEAs", "Portuguese"},
        {"Norsk", "Norwegian"},
        {"T\xFCrk\xE7"
         "e",
         "Turkish"},
        {"Latein", "Latin"},
        // A variant after the language.
        {"English (UK)", "English"},
        {"Deutsch - Schweiz", "German"},
        {"Spanish, Mexico", "Spanish"},
    };
    for (const auto& [name, language] : cases) {
        const auto found = VoiceLanguageOf(name);
        ASSERT_TRUE(found.has_value()) << name;
        EXPECT_EQ(found->language, language) << name;
    }
    for (const char* unknown : {"", "Klingonisch", "Lesson words", "Eng", "-"})
        EXPECT_FALSE(VoiceLanguageOf(unknown).has_value()) << unknown;
}

TEST(LanguageNames, TheHomeVariantFirstThenTheFirstVoiceOfTheLanguage) {
    // Voice languages as espeak-ng's voices have them, in the voice list's order.
    const std::vector<std::string_view> voices = {
        "Chinese (Cantonese)",
        "English (America)",
        "English (Great Britain)",
        "French (Belgium)",
        "French (France)",
        "German",
        "Greek",
        "Greek (Ancient)",
        "Norwegian (Bokm\xE5l)",
        "Portuguese (Brazil)",
        "Russian",
        "Spanish (Latin America)",
        "Vietnamese (Southern)",
        "Vietnamese",
    };
    const std::pair<std::string, std::int32_t> cases[] = {
        {"English", 3}, // Great Britain before America
        {"Fran\xE7"
         "ais",
         5}, // France before Belgium
        {"Deutsch", 6},
        {"Ellinika", 7},      // the language itself before its variants
        {"Norsk", 9},         // a variant only
        {"Portugu\xEAs", 10}, // no voice of Portugal: Brazil
        {"Espa\xF1ol", 12},   // no voice of Spain: Latin America
        {"Vietnamese", 14},   // the language itself, though a variant comes first
        {"Chinese", 1},       // no Mandarin voice: the first of the language
        {"Italiano", 0},      // no voice speaks it
        {"Klingonisch", 0},   // an unknown name
    };
    for (const auto& [name, position] : cases)
        EXPECT_EQ(FindVoiceForLanguage(name, voices), position) << name;
}

} // namespace
} // namespace lexaro
