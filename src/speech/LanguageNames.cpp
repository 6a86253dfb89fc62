#include "speech/LanguageNames.h"

#include <string>

namespace lexaro {

namespace {

struct TLanguageEntry {
    std::string_view language; // as voices name it; its lower case is a name too
    std::string_view home;     // the variant chosen first; empty: the language itself
    // Further names, lower case without accents, separated by "|": in the language itself
    // (written in Latin letters where its own script is not), and in German.
    std::string_view names;
};

// The languages that espeak-ng speaks and learners commonly keep vocabulary of.
constexpr TLanguageEntry kLanguages[] = {
    {"Afrikaans", "", ""},
    {"Albanian", "", "shqip|albanisch"},
    {"Arabic", "", "arabiya|arabisch"},
    {"Basque", "", "euskara|baskisch"},
    {"Bulgarian", "", "balgarski|bulgarisch"},
    {"Catalan", "", "catala|katalanisch"},
    {"Chinese", "Chinese (Mandarin)", "mandarin|zhongwen|putonghua|chinesisch"},
    {"Croatian", "", "hrvatski|kroatisch"},
    {"Czech", "", "cestina|tschechisch"},
    {"Danish", "", "dansk|danisch"},
    {"Dutch", "", "nederlands|hollands|flemish|vlaams|niederlandisch|hollandisch"},
    {"English", "English (Great Britain)", "englisch"},
    {"Esperanto", "", ""},
    {"Estonian", "", "eesti|estnisch"},
    {"Finnish", "", "suomi|finnisch"},
    {"French", "French (France)", "francais|franzosisch"},
    {"German", "", "deutsch"},
    {"Greek", "", "ellinika|griechisch"},
    {"Hebrew", "", "ivrit|hebraisch"},
    {"Hindi", "", ""},
    {"Hungarian", "", "magyar|ungarisch"},
    {"Icelandic", "", "islenska|islandisch"},
    {"Indonesian", "", "bahasa indonesia|indonesisch"},
    {"Irish", "", "gaeilge|irish gaelic|irisch"},
    {"Italian", "", "italiano|italienisch"},
    {"Japanese", "", "nihongo|japanisch"},
    {"Korean", "", "hangugeo|koreanisch"},
    {"Latin", "", "latina|lingua latina|latein|lateinisch"},
    {"Latvian", "", "latviesu|lettisch"},
    {"Lithuanian", "", "lietuviu|litauisch"},
    {"Macedonian", "", "makedonski|mazedonisch"},
    {"Malay", "", "bahasa melayu|malaiisch"},
    {"Maltese", "", "malti|maltesisch"},
    {"Norwegian", "", "norsk|bokmal|norwegisch"},
    {"Persian", "", "farsi|persisch"},
    {"Polish", "", "polski|polnisch"},
    {"Portuguese", "Portuguese (Portugal)", "portugues|portugiesisch"},
    {"Romanian", "", "romana|rumanisch"},
    {"Russian", "", "russkij|russkiy|russisch"},
    {"Serbian", "", "srpski|serbisch"},
    {"Slovak", "", "slovencina|slowakisch"},
    {"Slovenian", "", "slovene|slovenscina|slowenisch"},
    {"Spanish", "Spanish (Spain)", "espanol|castellano|spanisch"},
    {"Swahili", "", "kiswahili|suaheli"},
    {"Swedish", "", "svenska|schwedisch"},
    {"Turkish", "", "turkce|turkisch"},
    {"Ukrainian", "", "ukrainska|ukrainisch"},
    {"Vietnamese", "", "tieng viet|vietnamesisch"},
    {"Welsh", "", "cymraeg|walisisch"},
};

// A letter of Windows-1252 without its accent, in lower case; other characters as they are.
char Folded(char c) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 'A' && b <= 'Z')
        return static_cast<char>(b - 'A' + 'a');
    if (b < 0xC0) {
        switch (b) {
        case 0x8A: // S caron
        case 0x9A:
            return 's';
        case 0x8E: // Z caron
        case 0x9E:
            return 'z';
        case 0x9F: // Y diaeresis
            return 'y';
        default:
            return c;
        }
    }
    // U+00C0 to U+00FF: the letter each one is made from.
    static constexpr std::string_view kBase = "aaaaaaaceeeeiiiidnooooo*ouuuuyts"
                                              "aaaaaaaceeeeiiiidnooooo/ouuuuyty";
    const char base = kBase[b - 0xC0];
    return base == '*' || base == '/' ? c : base;
}

// Lower case, no accents, blanks trimmed and run together.
std::string Fold(std::string_view name) {
    std::string folded;
    for (const char c : name) {
        if (c == ' ' || c == '\t' || c == '\xA0') {
            if (!folded.empty() && folded.back() != ' ')
                folded += ' ';
            continue;
        }
        folded += Folded(c);
    }
    if (!folded.empty() && folded.back() == ' ')
        folded.pop_back();
    return folded;
}

const TLanguageEntry* Lookup(const std::string& folded) {
    for (const auto& entry : kLanguages) {
        if (Fold(entry.language) == folded)
            return &entry;
        std::string_view names = entry.names;
        while (!names.empty()) {
            const auto bar = names.find('|');
            if (names.substr(0, bar) == folded)
                return &entry;
            names = bar == std::string_view::npos ? std::string_view() : names.substr(bar + 1);
        }
    }
    return nullptr;
}

} // namespace

std::optional<TVoiceLanguage> VoiceLanguageOf(std::string_view languageName) {
    std::string folded = Fold(languageName);
    const TLanguageEntry* entry = Lookup(folded);
    // "English (UK)", "Deutsch - Schweiz", "Spanish, Mexico": the language before its variant.
    if (entry == nullptr) {
        const auto cut = folded.find_first_of("(-,/");
        if (cut != std::string::npos) {
            folded = Fold(folded.substr(0, cut));
            entry = Lookup(folded);
        }
    }
    if (entry == nullptr)
        return std::nullopt;
    return TVoiceLanguage{entry->language, entry->home.empty() ? entry->language : entry->home};
}

std::int32_t FindVoiceForLanguage(std::string_view languageName,
                                  const std::vector<std::string_view>& voiceLanguages) {
    const auto language = VoiceLanguageOf(languageName);
    if (!language)
        return 0;
    for (std::size_t i = 0; i < voiceLanguages.size(); ++i)
        if (voiceLanguages[i] == language->home)
            return static_cast<std::int32_t>(i + 1);
    const std::string variant = std::string(language->language) + " (";
    for (std::size_t i = 0; i < voiceLanguages.size(); ++i) {
        const std::string_view voice = voiceLanguages[i];
        if (voice == language->language || voice.substr(0, variant.size()) == variant)
            return static_cast<std::int32_t>(i + 1);
    }
    return 0;
}

} // namespace lexaro
