#include "data/Languages.h"

#include "data/Collation.h"

#include <algorithm>
#include <map>
#include <string>

namespace lexaro {

namespace {

// english, own, german, locale, voice, speech, home, names. Sorted by the English name.
constexpr TLanguage kLanguages[] = {
    {"Afrikaans", "Afrikaans", "Afrikaans", "af", "af", "", "", ""},
    {"Albanian", "Shqip", "Albanisch", "sq", "sq", "", "", "gjuha shqipe"},
    {"Amharic", "አማርኛ", "Amharisch", "am", "am", "", "", "amarigna"},
    {"Ancient Greek", "Ἀρχαία ἑλληνικὴ", "Altgriechisch", "grc", "grc", "Greek", "Greek (Ancient)",
     "greek (ancient)|archaia ellinika"},
    {"Arabic", "العربية", "Arabisch", "ar", "ar", "", "", "arabiya|عربي"},
    {"Aragonese", "Aragonés", "Aragonesisch", "an", "an", "", "", ""},
    {"Armenian", "Հայերեն", "Armenisch", "hy", "hy", "", "Armenian (East Armenia)",
     "hayeren|eastern armenian|armenian (east armenia)"},
    {"Assamese", "অসমীয়া", "Assamesisch", "as", "as", "", "", "asamiya"},
    {"Azerbaijani", "Azərbaycan dili", "Aserbaidschanisch", "az", "az", "", "",
     "azərbaycanca|azeri"},
    {"Bashkir", "Башҡорт теле", "Baschkirisch", "ba", "ba", "", "", "башҡортса"},
    {"Basque", "Euskara", "Baskisch", "eu", "eu", "", "", ""},
    {"Belarusian", "Беларуская", "Weißrussisch", "be", "be", "", "", "belaruskaja|belarussisch"},
    {"Bengali", "বাংলা", "Bengalisch", "bn", "bn", "", "", "bangla"},
    {"Bishnupriya Manipuri", "বিষ্ণুপ্রিয়া মণিপুরী", "", "bpy", "bpy", "", "", "bishnupriya"},
    {"Bosnian", "Bosanski", "Bosnisch", "bs", "bs", "", "", ""},
    {"Bulgarian", "Български", "Bulgarisch", "bg", "bg", "", "", "balgarski"},
    {"Burmese", "မြန်မာဘာသာ", "Birmanisch", "my", "my", "", "", "myanmar|myanmar (burmese)|bama"},
    {"Cantonese", "粵語", "Kantonesisch", "yue", "yue", "Chinese", "Chinese (Cantonese)",
     "广东话|廣東話|粤语|chinese (cantonese)|chinese (cantonese, latin as jyutping)|yuet yu"},
    {"Catalan", "Català", "Katalanisch", "ca", "ca", "", "", ""},
    {"Cherokee", "ᏣᎳᎩ", "Cherokee", "chr", "chr-US-Qaaa-x-west", "", "", "tsalagi"},
    {"Chinese", "中文", "Chinesisch", "zh", "cmn", "", "Chinese (Mandarin)",
     "汉语|漢語|普通话|普通話|国语|國語|mandarin|zhongwen|putonghua|chinese (mandarin)"},
    {"Chuvash", "Чӑвашла", "Tschuwaschisch", "cv", "cv", "", "", "чӑваш чӗлхи"},
    {"Classical Nahuatl", "Nāhuatlahtōlli", "Klassisches Nahuatl", "nci", "nci", "", "",
     "nahuatl|nahuatl (classical)"},
    {"Croatian", "Hrvatski", "Kroatisch", "hr", "hr", "", "", ""},
    {"Czech", "Čeština", "Tschechisch", "cs", "cs", "", "", "český jazyk"},
    {"Danish", "Dansk", "Dänisch", "da", "da", "", "", ""},
    {"Dutch", "Nederlands", "Niederländisch", "nl", "nl", "", "",
     "hollands|flemish|vlaams|holländisch"},
    {"English", "English", "Englisch", "en", "en-gb", "", "English (Great Britain)",
     "английский|англійська|αγγλικά|angielski|angličtina|angol|ingilizce|anglų|angļu"},
    {"Esperanto", "Esperanto", "Esperanto", "eo", "eo", "", "", ""},
    {"Estonian", "Eesti", "Estnisch", "et", "et", "", "", "eesti keel"},
    {"Finnish", "Suomi", "Finnisch", "fi", "fi", "", "", ""},
    {"French", "Français", "Französisch", "fr", "fr-fr", "", "French (France)",
     "французский|французька|γαλλικά|francuski|francouzština|francia|fransızca|prancūzų|"
     "franču"},
    {"Georgian", "ქართული", "Georgisch", "ka", "ka", "", "", "kartuli"},
    {"German", "Deutsch", "Deutsch", "de", "de", "", "",
     "немецкий|німецька|γερμανικά|niemiecki|němčina|német|almanca|vokiečių|vācu"},
    {"Greek", "Ελληνικά", "Griechisch", "el", "el", "", "", "ellinika"},
    {"Greenlandic", "Kalaallisut", "Grönländisch", "kl", "kl", "", "", ""},
    {"Guarani", "Avañe'ẽ", "Guaraní", "gn", "gn", "", "", ""},
    {"Gujarati", "ગુજરાતી", "Gujarati", "gu", "gu", "", "", ""},
    {"Haitian Creole", "Kreyòl ayisyen", "Haitianisch", "ht", "ht", "", "", "haitian"},
    {"Hakka Chinese", "客家話", "Hakka", "hak", "hak", "", "", "客家话|hakka"},
    {"Hawaiian", "ʻŌlelo Hawaiʻi", "Hawaiisch", "haw", "haw", "", "", ""},
    {"Hebrew", "עברית", "Hebräisch", "he", "he", "", "", "ivrit"},
    {"Hindi", "हिन्दी", "Hindi", "hi", "hi", "", "", "हिंदी"},
    {"Hungarian", "Magyar", "Ungarisch", "hu", "hu", "", "", ""},
    {"Icelandic", "Íslenska", "Isländisch", "is", "is", "", "", ""},
    {"Ido", "Ido", "Ido", "io", "io", "", "", ""},
    {"Indonesian", "Bahasa Indonesia", "Indonesisch", "id", "id", "", "", ""},
    {"Interlingua", "Interlingua", "Interlingua", "ia", "ia", "", "", ""},
    {"Irish", "Gaeilge", "Irisch", "ga", "ga", "", "", "irish gaelic|gaelic (irish)"},
    {"Italian", "Italiano", "Italienisch", "it", "it", "", "",
     "итальянский|італійська|ιταλικά|włoski|italština|olasz|italyanca|italų|itāļu"},
    {"Japanese", "日本語", "Japanisch", "ja", "ja", "", "", "にほんご|nihongo"},
    {"K'iche'", "K'iche'", "K'iche'", "quc", "quc", "", "", "kiche|quiché"},
    {"Kannada", "ಕನ್ನಡ", "Kannada", "kn", "kn", "", "", ""},
    {"Kazakh", "Қазақ тілі", "Kasachisch", "kk", "kk", "", "", "қазақша|qazaqsha"},
    {"Klingon", "tlhIngan Hol", "", "tlh", "piqd", "", "", ""},
    {"Konkani", "कोंकणी", "Konkani", "kok", "kok", "", "", ""},
    {"Korean", "한국어", "Koreanisch", "ko", "ko", "", "", "조선말|hangugeo"},
    {"Kurdish", "Kurdî", "Kurdisch", "ku", "ku", "", "", "kurmancî"},
    {"Kyrgyz", "Кыргызча", "Kirgisisch", "ky", "ky", "", "", "кыргыз тили|kirghiz"},
    {"Lang Belta", "Lang Belta", "", "qdb", "qdb", "", "", "belter"},
    {"Latgalian", "Latgalīšu", "Lettgallisch", "ltg", "ltg", "", "", "latgaļu"},
    {"Latin", "Latina", "Latein", "la", "la", "", "", "lingua latina|lateinisch"},
    {"Latvian", "Latviešu", "Lettisch", "lv", "lv", "", "", "latviešu valoda"},
    {"Lingua Franca Nova", "Elefen", "", "lfn", "lfn", "", "", ""},
    {"Lithuanian", "Lietuvių", "Litauisch", "lt", "lt", "", "", "lietuvių kalba"},
    {"Lojban", "la .lojban.", "", "jbo", "jbo", "", "", ""},
    {"Lule Sami", "Julevsámegiella", "Lulesamisch", "smj", "smj", "", "", "lule saami"},
    {"Luxembourgish", "Lëtzebuergesch", "Luxemburgisch", "lb", "lb", "", "", ""},
    {"Macedonian", "Македонски", "Mazedonisch", "mk", "mk", "", "", "makedonski"},
    {"Malay", "Bahasa Melayu", "Malaiisch", "ms", "ms", "", "", ""},
    {"Malayalam", "മലയാളം", "Malayalam", "ml", "ml", "", "", ""},
    {"Maltese", "Malti", "Maltesisch", "mt", "mt", "", "", ""},
    {"Maori", "Māori", "Maori", "mi", "mi", "", "", "te reo māori"},
    {"Marathi", "मराठी", "Marathi", "mr", "mr", "", "", ""},
    {"Nepali", "नेपाली", "Nepalesisch", "ne", "ne", "", "", ""},
    {"Nogai", "Ногай тили", "Nogaisch", "nog", "nog", "", "", "ногайша"},
    {"Norwegian", "Norsk", "Norwegisch", "nb", "nb", "", "",
     "bokmål|norsk bokmål|norwegian bokmål"},
    {"Oriya", "ଓଡ଼ିଆ", "Oriya", "or", "or", "", "", "odia"},
    {"Oromo", "Afaan Oromoo", "Oromo", "om", "om", "", "", ""},
    {"Papiamento", "Papiamentu", "Papiamentu", "pap", "pap", "", "", ""},
    {"Persian", "فارسی", "Persisch", "fa", "fa", "", "", "farsi"},
    {"Polish", "Polski", "Polnisch", "pl", "pl", "", "", "język polski"},
    {"Portuguese", "Português", "Portugiesisch", "pt", "pt", "", "Portuguese (Portugal)", ""},
    {"Punjabi", "ਪੰਜਾਬੀ", "Panjabi", "pa", "pa", "", "", "پنجابی"},
    {"Pyash", "Pyash", "", "py", "py", "", "", ""},
    {"Quechua", "Runa Simi", "Quechua", "qu", "qu", "", "", ""},
    {"Quenya", "Quenya", "", "qya", "qya", "", "", ""},
    {"Romanian", "Română", "Rumänisch", "ro", "ro", "", "", ""},
    {"Russian", "Русский", "Russisch", "ru", "ru", "", "",
     "russkij|russkiy|російська|ρωσικά|rosyjski|ruština|orosz|rusça|rusų|krievu"},
    {"Scottish Gaelic", "Gàidhlig", "Schottisch-Gälisch", "gd", "gd", "", "", "gaelic (scottish)"},
    {"Serbian", "Српски", "Serbisch", "sr", "sr", "", "", "srpski"},
    {"Shan", "တႆး", "Shan", "shn", "shn", "", "", "tai yai|shan (tai yai)"},
    {"Sindarin", "Sindarin", "", "sjn", "sjn", "", "", ""},
    {"Sindhi", "سنڌي", "Sindhi", "sd", "sd", "", "", ""},
    {"Sinhala", "සිංහල", "Singhalesisch", "si", "si", "", "", "sinhalese"},
    {"Slovak", "Slovenčina", "Slowakisch", "sk", "sk", "", "", ""},
    {"Slovenian", "Slovenščina", "Slowenisch", "sl", "sl", "", "", "slovene"},
    {"Spanish", "Español", "Spanisch", "es", "es", "", "Spanish (Spain)",
     "castellano|испанский|іспанська|ισπανικά|hiszpański|španělština|spanyol|ispanyolca|"
     "ispanų|spāņu"},
    {"Swahili", "Kiswahili", "Suaheli", "sw", "sw", "", "", ""},
    {"Swedish", "Svenska", "Schwedisch", "sv", "sv", "", "", ""},
    {"Tamil", "தமிழ்", "Tamil", "ta", "ta", "", "", ""},
    {"Tatar", "Татарча", "Tatarisch", "tt", "tt", "", "", "татар теле"},
    {"Telugu", "తెలుగు", "Telugu", "te", "te", "", "", ""},
    {"Thai", "ไทย", "Thailändisch", "th", "th", "", "", "ภาษาไทย"},
    {"Tswana", "Setswana", "Tswana", "tn", "tn", "", "", ""},
    {"Turkish", "Türkçe", "Türkisch", "tr", "tr", "", "", ""},
    {"Turkmen", "Türkmençe", "Turkmenisch", "tk", "tk", "", "", "türkmen dili"},
    {"Ukrainian", "Українська", "Ukrainisch", "uk", "uk", "", "", "ukrainska"},
    {"Urdu", "اردو", "Urdu", "ur", "ur", "", "", ""},
    {"Uyghur", "ئۇيغۇرچە", "Uigurisch", "ug", "ug", "", "", "uyghurche"},
    {"Uzbek", "Oʻzbekcha", "Usbekisch", "uz", "uz", "", "", "o'zbek tili|uzbekcha"},
    {"Vietnamese", "Tiếng Việt", "Vietnamesisch", "vi", "vi", "", "", ""},
    {"Welsh", "Cymraeg", "Walisisch", "cy", "cy", "", "", ""},
    {"Western Armenian", "Արեւմտահայերէն", "Westarmenisch", "hy", "hyw", "Armenian",
     "Armenian (West Armenia)", "armenian (west armenia)"},
};

// Names compare by their letters alone: case and accents do not count ("Espanol" is
// "Español", "TÜRKÇE" is "Türkçe", "Nemcina" is "Němčina").
const TCollation& NameOrder() {
    thread_local const TCollation order({}, TCollationStrength::Letters);
    return order;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Blanks around the name dropped, those between words run together (U+00A0 as a blank too).
std::string Tidy(std::string_view utf8) {
    std::string tidy;
    bool blank = false;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const bool nbsp = utf8.compare(i, 2, "\xC2\xA0") == 0;
        if (IsBlank(utf8[i]) || nbsp) {
            blank = true;
            i += nbsp ? 1 : 0;
            continue;
        }
        if (blank && !tidy.empty())
            tidy += ' ';
        blank = false;
        tidy += utf8[i];
    }
    return tidy;
}

std::string NameKey(std::string_view utf8) {
    const std::string tidy = Tidy(utf8);
    return tidy.empty() ? std::string() : NameOrder().KeyOfUtf8(tidy);
}

// Every name of the table by its key; the first language that gives a name keeps it.
const std::map<std::string, const TLanguage*>& NameIndex() {
    static const std::map<std::string, const TLanguage*> index = [] {
        std::map<std::string, const TLanguage*> names;
        const TCollation order({}, TCollationStrength::Letters);
        auto add = [&](std::string_view name, const TLanguage& language) {
            const std::string tidy = Tidy(name);
            if (!tidy.empty())
                names.try_emplace(order.KeyOfUtf8(tidy), &language);
        };
        for (const TLanguage& language : kLanguages) {
            add(language.english, language);
            add(language.own, language);
            add(language.german, language);
            std::string_view rest = language.names;
            while (!rest.empty()) {
                const auto bar = rest.find('|');
                add(rest.substr(0, bar), language);
                rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
            }
        }
        return names;
    }();
    return index;
}

const TLanguage* Lookup(std::string_view utf8) {
    const std::string key = NameKey(utf8);
    if (key.empty())
        return nullptr;
    const auto& index = NameIndex();
    const auto found = index.find(key);
    return found == index.end() ? nullptr : found->second;
}

} // namespace

std::span<const TLanguage> Languages() {
    return kLanguages;
}

const TLanguage* FindLanguage(std::string_view utf8Name) {
    if (const TLanguage* language = Lookup(utf8Name))
        return language;
    // "English (UK)", "Deutsch - Schweiz", "Spanish, Mexico": the language before its variant.
    const auto cut = utf8Name.find_first_of("(-,/");
    if (cut == std::string_view::npos)
        return nullptr;
    return Lookup(utf8Name.substr(0, cut));
}

const TLanguage* FindLanguage(std::string_view storedName, const TCodePage& page) {
    return FindLanguage(page.ToUtf8(storedName));
}

const TLanguage* FindLanguageOfVoice(std::string_view code) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (const TLanguage& language : kLanguages)
        if (std::equal(code.begin(), code.end(), language.voice.begin(), language.voice.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }))
            return &language;
    return nullptr;
}

} // namespace lexaro
