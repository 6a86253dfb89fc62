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

// Names as files of the other code pages hold them: in their own scripts, with their own
// accents, in any case, and the names those languages give the languages learnt most.
TEST(LanguageNames, NamesInTheirOwnScriptsAsTheirCodePagesStoreThem) {
    const struct {
        int page;
        std::string name; // UTF-8
        std::string language;
    } cases[] = {
        {1251, "Русский", "Russian"},
        {1251, "РУССКИЙ", "Russian"},
        {1251, "Русский язык", ""}, // a word after the name is no variant
        {1251, "Українська", "Ukrainian"},
        {1251, "Български", "Bulgarian"},
        {1251, "Беларуская", "Belarusian"},
        {1251, "Македонски", "Macedonian"},
        {1251, "Српски", "Serbian"},
        {1251, "Английский", "English"},
        {1251, "немецкий (Австрия)", "German"},
        {1253, "Ελληνικά", "Greek"},
        {1253, "ΕΛΛΗΝΙΚΑ", "Greek"},
        {1253, "Αγγλικά", "English"},
        {1250, "Polski", "Polish"},
        {1250, "Čeština", "Czech"},
        {1250, "Magyar", "Hungarian"},
        {1250, "Angielski", "English"},
        {1250, "Němčina", "German"},
        {1250, "Slovenčina", "Slovak"},
        {1250, "Română", "Romanian"},
        {1254, "Türkçe", "Turkish"},
        {1254, "TÜRKÇE", "Turkish"},
        {1254, "İngilizce", "English"},
        {1257, "Lietuvių", "Lithuanian"},
        {1257, "Latviešu", "Latvian"},
        {1257, "Angļu", "English"},
        {1257, "Vokiečių", "German"},
        // Accents that the file's code page lacks, written without them.
        {1252, "Cestina", "Czech"},
        {1252, "Nemcina", "German"},
        {1252, "Latviesu", "Latvian"},
    };
    for (const auto& c : cases) {
        const TCodePage& page = TCodePage::Get(c.page);
        std::string stored;
        ASSERT_TRUE(page.FromUtf8(c.name, stored)) << c.name;
        const auto found = VoiceLanguageOf(stored, page);
        if (c.language.empty()) {
            EXPECT_FALSE(found.has_value()) << c.name;
            continue;
        }
        ASSERT_TRUE(found.has_value()) << c.name << " in " << c.page;
        EXPECT_EQ(found->language, c.language) << c.name;
    }
    // The bytes of "Русский" read as Western European are no name.
    std::string russian;
    ASSERT_TRUE(TCodePage::Get(1251).FromUtf8("Русский", russian));
    EXPECT_FALSE(VoiceLanguageOf(russian).has_value());
    const std::vector<std::string_view> voices = {"English (Great Britain)", "Russian"};
    EXPECT_EQ(FindVoiceForLanguage(russian, voices, TCodePage::Get(1251)), 2);
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

// Files of the scripts that no single-byte code page holds name their languages in them; the
// voice is found among the voices as the espeak-ng control names their languages (Windows-1252;
// a voice whose name does not fit it by its file), without the learner naming one.
TEST(LanguageNames, NamesInAnyScriptFindTheirVoice) {
    const std::vector<std::string_view> voices = {
        "Arabic", // 1
        "Chinese (Cantonese)",
        "Chinese (Mandarin)",
        "English (Great Britain)",
        "Gaelic (Scottish)", // 5
        "Greek (Ancient)",
        "Hindi",
        "Japanese",
        "Korean",
        "Myanmar (Burmese)", // 10
        "Norwegian (Bokm\xE5l)",
        "poz/mi",
        "Setswana",
        "Thai",
    };
    const std::pair<std::string, std::int32_t> cases[] = {
        {"العربية", 1},       {"中文", 3},        {"普通话", 3},   {"粵語", 2},
        {"English", 4},       {"Gàidhlig", 5},    {"हिन्दी", 7},    {"日本語", 8},
        {"한국어", 9},        {"မြန်မာဘာသာ", 10},  {"Burmese", 10}, {"Norsk", 11},
        {"Māori", 12},        {"Tswana", 13},     {"ไทย", 14},     {"ภาษาไทย", 14},
        {"日本語 (東京)", 8}, {"Klingonisch", 0}, {"עברית", 0}, // no Hebrew voice here
    };
    for (const auto& [name, position] : cases)
        EXPECT_EQ(FindVoiceForLanguageUtf8(name, voices), position) << name;
    const auto thai = VoiceLanguageOfUtf8("ไทย");
    ASSERT_TRUE(thai.has_value());
    EXPECT_EQ(thai->language, "Thai");
}

} // namespace
} // namespace lexaro
