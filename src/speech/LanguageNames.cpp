#include "speech/LanguageNames.h"

#include "data/Charset.h"

#include <string>

namespace lexaro {

namespace {

struct TLanguageEntry {
    std::string_view language; // as voices name it; its lower case is a name too
    std::string_view home;     // the variant chosen first; empty: the language itself
    // Further names (UTF-8) separated by "|", in any case and with or without accents: in the
    // language itself, in its own script and in Latin letters, in German (the program's other
    // language), and for the languages learnt most, in the languages of the code pages that
    // files are written in (Russian, Ukrainian, Greek, Polish, Czech, Hungarian, Turkish,
    // Lithuanian, Latvian).
    std::string_view names;
};

// The languages that espeak-ng speaks and learners commonly keep vocabulary of.
constexpr TLanguageEntry kLanguages[] = {
    {"Afrikaans", "", ""},
    {"Albanian", "", "shqip|albanisch"},
    {"Arabic", "", "arabiya|arabisch"},
    {"Basque", "", "euskara|baskisch"},
    {"Belarusian", "", "беларуская|belaruskaja|weißrussisch|belarussisch"},
    {"Bosnian", "", "bosanski|bosnisch"},
    {"Bulgarian", "", "български|balgarski|bulgarisch"},
    {"Catalan", "", "catala|katalanisch"},
    {"Chinese", "Chinese (Mandarin)", "mandarin|zhongwen|putonghua|chinesisch"},
    {"Croatian", "", "hrvatski|kroatisch"},
    {"Czech", "", "čeština|tschechisch"},
    {"Danish", "", "dansk|danisch"},
    {"Dutch", "", "nederlands|hollands|flemish|vlaams|niederlandisch|hollandisch"},
    {"English", "English (Great Britain)",
     "englisch|английский|англійська|αγγλικά|angielski|angličtina|angol|ingilizce|anglų|angļu"},
    {"Esperanto", "", ""},
    {"Estonian", "", "eesti|estnisch"},
    {"Finnish", "", "suomi|finnisch"},
    {"French", "French (France)",
     "français|französisch|французский|французька|γαλλικά|francuski|francouzština|francia|"
     "fransızca|prancūzų|franču"},
    {"German", "",
     "deutsch|немецкий|німецька|γερμανικά|niemiecki|němčina|német|almanca|vokiečių|vācu"},
    {"Greek", "", "ελληνικά|ellinika|griechisch"},
    {"Hebrew", "", "ivrit|hebraisch"},
    {"Hindi", "", ""},
    {"Hungarian", "", "magyar|ungarisch"},
    {"Icelandic", "", "islenska|islandisch"},
    {"Indonesian", "", "bahasa indonesia|indonesisch"},
    {"Irish", "", "gaeilge|irish gaelic|irisch"},
    {"Italian", "",
     "italiano|italienisch|итальянский|італійська|ιταλικά|włoski|italština|olasz|italyanca|"
     "italų|itāļu"},
    {"Japanese", "", "nihongo|japanisch"},
    {"Korean", "", "hangugeo|koreanisch"},
    {"Latin", "", "latina|lingua latina|latein|lateinisch"},
    {"Latvian", "", "latviešu|lettisch"},
    {"Lithuanian", "", "lietuvių|litauisch"},
    {"Macedonian", "", "македонски|makedonski|mazedonisch"},
    {"Malay", "", "bahasa melayu|malaiisch"},
    {"Maltese", "", "malti|maltesisch"},
    {"Norwegian", "", "norsk|bokmal|norwegisch"},
    {"Persian", "", "farsi|persisch"},
    {"Polish", "", "polski|polnisch"},
    {"Portuguese", "Portuguese (Portugal)", "português|portugiesisch"},
    {"Romanian", "", "română|rumänisch"},
    {"Russian", "",
     "русский|russkij|russkiy|russisch|російська|ρωσικά|rosyjski|ruština|orosz|rusça|rusų|"
     "krievu"},
    {"Serbian", "", "српски|srpski|serbisch"},
    {"Slovak", "", "slovenčina|slowakisch"},
    {"Slovenian", "", "slovene|slovenščina|slowenisch"},
    {"Spanish", "Spanish (Spain)",
     "español|castellano|spanisch|испанский|іспанська|ισπανικά|hiszpański|španělština|"
     "spanyol|ispanyolca|ispanų|spāņu"},
    {"Swahili", "", "kiswahili|suaheli"},
    {"Swedish", "", "svenska|schwedisch"},
    {"Turkish", "", "türkçe|türkisch"},
    {"Ukrainian", "", "українська|ukrainska|ukrainisch"},
    {"Vietnamese", "", "tieng viet|vietnamesisch"},
    {"Welsh", "", "cymraeg|walisisch"},
};

// A name as letters ignoring case and accents: the code page's primary sort weights, blanks
// trimmed and run together. Names compare alike whatever code page they are stored in.
using TFolded = std::basic_string<std::uint16_t>;
constexpr std::uint16_t kBlank = ' ';

TFolded Fold(std::string_view stored, const TCodePage& page) {
    TFolded folded;
    for (const char c : stored) {
        const TCodePageRow& row = page.Row(static_cast<unsigned char>(c));
        if (row.unicode == ' ' || row.unicode == '\t' || row.unicode == 0xA0) {
            if (!folded.empty() && folded.back() != kBlank)
                folded += kBlank;
            continue;
        }
        folded += row.primary;
        if (row.second != 0)
            folded += row.second;
    }
    if (!folded.empty() && folded.back() == kBlank)
        folded.pop_back();
    return folded;
}

// A name of the table (UTF-8) folded alike. Letters weigh the same in every code page, so a
// letter that this one lacks is weighed in one that has it ("němčina" matches a file's
// "Nemcina" in Western European); empty for a name that no code page can hold.
TFolded FoldName(std::string_view utf8, const TCodePage& page) {
    std::string stored;
    if (page.FromUtf8(utf8, stored))
        return Fold(stored, page);
    TFolded folded;
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t cp = 0;
        if (!Utf8CharAt(utf8, pos, cp))
            return {};
        pos += Utf8Length(cp);
        const TCodePageRow* row = nullptr;
        for (const int number : TCodePage::kNumbers) {
            const TCodePage& other = TCodePage::Get(number);
            if (const int byte = other.FromUnicode(cp); byte >= 0) {
                row = &other.Row(static_cast<unsigned char>(byte));
                break;
            }
        }
        if (row == nullptr)
            return {};
        folded += row->primary;
        if (row->second != 0)
            folded += row->second;
    }
    return folded;
}

const TLanguageEntry* Lookup(const TFolded& folded, const TCodePage& page) {
    if (folded.empty())
        return nullptr;
    for (const auto& entry : kLanguages) {
        if (FoldName(entry.language, page) == folded)
            return &entry;
        std::string_view names = entry.names;
        while (!names.empty()) {
            const auto bar = names.find('|');
            if (FoldName(names.substr(0, bar), page) == folded)
                return &entry;
            names = bar == std::string_view::npos ? std::string_view() : names.substr(bar + 1);
        }
    }
    return nullptr;
}

} // namespace

std::optional<TVoiceLanguage> VoiceLanguageOf(std::string_view languageName,
                                              const TCodePage& page) {
    TFolded folded = Fold(languageName, page);
    const TLanguageEntry* entry = Lookup(folded, page);
    // "English (UK)", "Deutsch - Schweiz", "Spanish, Mexico": the language before its variant.
    // Symbols weigh their own byte, so the ASCII ones are found as they are.
    if (entry == nullptr) {
        const auto cut = folded.find_first_of(TFolded{'(', '-', ',', '/'});
        if (cut != TFolded::npos) {
            folded.resize(cut);
            while (!folded.empty() && folded.back() == kBlank)
                folded.pop_back();
            entry = Lookup(folded, page);
        }
    }
    if (entry == nullptr)
        return std::nullopt;
    return TVoiceLanguage{entry->language, entry->home.empty() ? entry->language : entry->home};
}

std::int32_t FindVoiceForLanguage(std::string_view languageName,
                                  const std::vector<std::string_view>& voiceLanguages,
                                  const TCodePage& page) {
    const auto language = VoiceLanguageOf(languageName, page);
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
