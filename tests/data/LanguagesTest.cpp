// The table of languages: a file's language name in the language itself, in English or in
// German finds the language, its alphabetical order and the espeak-ng voice that speaks it.
#include "data/Languages.h"

#include "data/Charset.h"
#include "data/CodePage.h"
#include "data/Collation.h"
#include "data/LangFHandler.h"
#include "data/TextSteps.h"
#include "support/TestFiles.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

std::string Base(std::string_view code) {
    return std::string(code.substr(0, code.find('-')));
}

TEST(Languages, NamesInTheLanguageInEnglishAndInGermanGiveLocaleAndVoice) {
    const struct {
        int page; // 0: the name in UTF-8
        const char* name;
        const char* locale;
        const char* voice;
    } cases[] = {
        {1252, "Deutsch", "de", "de"},
        {1252, "German", "de", "de"},
        {1252, "Englisch", "en", "en-gb"},
        {1252, "Svenska", "sv", "sv"},
        {1252, "SVENSKA", "sv", "sv"},
        {1252, "Schwedisch", "sv", "sv"},
        {1250, "Čeština", "cs", "cs"},
        {1252, "Cestina", "cs", "cs"},
        {1254, "Türkçe", "tr", "tr"},
        {1257, "Lietuvių", "lt", "lt"},
        {1251, "Русский", "ru", "ru"},
        {1253, "Ελληνικά", "el", "el"},
        {1252, "Français (Canada)", "fr", "fr-fr"},
        {1252, "  Norsk  bokmål ", "nb", "nb"},
        {0, "日本語", "ja", "ja"},
        {0, "中文", "zh", "cmn"},
        {0, "粵語", "yue", "yue"},
        {0, "العربية", "ar", "ar"},
        {0, "हिन्दी", "hi", "hi"},
        {0, "ไทย", "th", "th"},
        {0, "한국어", "ko", "ko"},
        {0, "עברית", "he", "he"},
        {0, "Japanese", "ja", "ja"},
        {0, "Gaelic (Scottish)", "gd", "gd"},
        {0, "Gaelic (Irish)", "ga", "ga"},
    };
    for (const auto& c : cases) {
        const TLanguage* language = nullptr;
        if (c.page == 0) {
            language = FindLanguage(c.name);
        } else {
            const TCodePage& page = TCodePage::Get(c.page);
            std::string stored;
            ASSERT_TRUE(page.FromUtf8(c.name, stored)) << c.name;
            language = FindLanguage(stored, page);
        }
        ASSERT_NE(language, nullptr) << c.name;
        EXPECT_EQ(language->locale, c.locale) << c.name;
        EXPECT_EQ(language->voice, c.voice) << c.name;
    }
    for (const char* unknown : {"", "   ", "Klingonisch", "Vocabulary", "(English)", "Eng"})
        EXPECT_EQ(FindLanguage(unknown), nullptr) << unknown;
}

// No name of the table is taken by another language: each finds its own.
TEST(Languages, EveryNameOfTheTableFindsItsOwnLanguage) {
    for (const TLanguage& language : Languages()) {
        std::vector<std::string_view> names = {language.english, language.own};
        if (!language.german.empty())
            names.push_back(language.german);
        std::string_view rest = language.names;
        while (!rest.empty()) {
            const auto bar = rest.find('|');
            names.push_back(rest.substr(0, bar));
            rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
        }
        for (const std::string_view name : names) {
            const TLanguage* found = FindLanguage(name);
            ASSERT_NE(found, nullptr) << name;
            EXPECT_EQ(found->english, language.english) << name;
        }
        EXPECT_EQ(FindLanguageOfVoice(language.voice), &language) << language.english;
    }
}

// The languages espeak-ng lists (code, voice name), as kept beside this test.
std::vector<std::pair<std::string, std::string>> ListedLanguages() {
    const char* data = std::getenv("LEXARO_TEST_DATA");
    std::ifstream in(std::string(data != nullptr ? data : ".") + "/espeak-languages.txt");
    std::vector<std::pair<std::string, std::string>> listed;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const auto tab = line.find('\t');
        std::string name = tab == std::string::npos ? std::string() : line.substr(tab + 1);
        for (char& c : name)
            c = c == '_' ? ' ' : c;
        listed.emplace_back(line.substr(0, tab), name);
    }
    return listed;
}

// The language of an espeak-ng language code: its own entry, else that of its language
// ("en-gb-scotland" is English, "es-419" Spanish).
const TLanguage* LanguageOfCode(const std::string& code) {
    if (const TLanguage* exact = FindLanguageOfVoice(code))
        return exact;
    for (const TLanguage& language : Languages())
        if (Base(language.voice) == Base(code))
            return &language;
    return nullptr;
}

TEST(Languages, EveryLanguageEspeakNgListsByItsOwnNameAndItsEnglishName) {
    const auto listed = ListedLanguages();
    ASSERT_GT(listed.size(), 100u) << "espeak-languages.txt beside the test";
    std::set<std::string> codes;
    for (const auto& [code, voiceName] : listed) {
        codes.insert(code);
        const TLanguage* language = LanguageOfCode(code);
        ASSERT_NE(language, nullptr) << code;
        EXPECT_FALSE(language->locale.empty()) << code;
        EXPECT_EQ(FindLanguage(language->own), language) << code << " " << language->own;
        EXPECT_EQ(FindLanguage(language->english), language) << code << " " << language->english;
        // As espeak-ng names its voice: "Gaelic (Irish)", "Spanish (Latin America)".
        EXPECT_EQ(FindLanguage(voiceName), language) << code << " " << voiceName;
    }
    // A voice that espeak-ng has under that very code.
    for (const TLanguage& language : Languages())
        EXPECT_TRUE(codes.contains(std::string(language.voice))) << language.voice;
}

// The sample word of each language code (tests/data/sample-words.txt).
std::map<std::string, std::string> SampleWords() {
    const char* data = std::getenv("LEXARO_TEST_DATA");
    std::ifstream in(std::string(data != nullptr ? data : ".") + "/sample-words.txt");
    std::map<std::string, std::string> words;
    std::string line;
    while (std::getline(in, line)) {
        const auto tab = line.find('\t');
        if (!line.empty() && line[0] != '#' && tab != std::string::npos)
            words[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return words;
}

// Whether ICU's upper case changes any character of UTF-8 text (a script with case).
bool ChangesWhenUpperCased(std::string_view utf8) {
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t cp = 0;
        if (!Utf8CharAt(utf8, pos, cp))
            return false;
        pos += Utf8Length(cp);
        if (u_hasBinaryProperty(static_cast<UChar32>(cp), UCHAR_CHANGES_WHEN_UPPERCASED))
            return true;
    }
    return false;
}

// Every language espeak-ng speaks can be kept under Unicode: its name in itself and a word of
// it are stored in a language file, read back byte for byte, sorted in its own order,
// upper-cased where its script has case, and spoken by its voice.
TEST(Languages, EveryLanguageEspeakNgListsIsKeptSortedAndSpokenUnderUnicode) {
    const auto listed = ListedLanguages();
    ASSERT_GT(listed.size(), 100u) << "espeak-languages.txt beside the test";
    const auto samples = SampleWords();
    ASSERT_GT(samples.size(), 100u) << "sample-words.txt beside the test";
    const TCodePage& page = TCodePage::Get(TCodePage::kUtf8);

    struct TKept {
        std::string code;
        const TLanguage* language;
        std::string name; // stored: composed UTF-8
        std::string word;
    };
    std::vector<TKept> kept;
    for (const auto& [code, voiceName] : listed) {
        const TLanguage* language = LanguageOfCode(code);
        ASSERT_NE(language, nullptr) << code;
        const auto sample = samples.find(code);
        const std::string word =
            sample != samples.end() ? sample->second : std::string(language->own);
        TKept k{code, language, {}, {}};
        ASSERT_TRUE(page.FromUtf8(language->own, k.name)) << code;
        ASSERT_TRUE(page.FromUtf8(word, k.word)) << code;
        EXPECT_EQ(page.ToUtf8(k.name), k.name) << code;
        EXPECT_GT(CharacterCount(k.word, page), 0u) << code;
        // Mapped to its voice by its own name.
        EXPECT_EQ(FindLanguage(k.name, page), language) << code << " " << k.name;
        EXPECT_FALSE(language->voice.empty()) << code;
        kept.push_back(std::move(k));
    }

    // One file: a lesson per language with its name and its word, and the reverse pair.
    test::TempDir dir{"lexaro_languages_"};
    const std::string path = dir.file("every-language.lang");
    {
        TLangFHandler model;
        model.SetLanguageNames(kept[0].name, "English");
        for (std::size_t i = 0; i < kept.size(); ++i) {
            auto lesson = std::make_shared<TLesson>();
            lesson->number = static_cast<std::int32_t>(i + 1);
            auto pair = lesson->NewPair(0);
            pair->text1 = kept[i].name;
            pair->text2 = kept[i].word;
            pair->use = true;
            auto reverse = lesson->NewPair(1);
            reverse->text1 = kept[i].word;
            reverse->text2 = kept[i].name + " (" + std::string(kept[i].language->english) + ")";
            model.PutLesson(lesson);
        }
        ASSERT_TRUE(model.Save(path));
    }
    TLangFHandler read;
    ASSERT_TRUE(read.Load(path));
    EXPECT_EQ(read.GetLang1Name(), kept[0].name);
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const TKept& k = kept[i];
        SCOPED_TRACE(k.code + " " + k.name + " " + k.word);
        const auto lesson = read.LessonAt(static_cast<std::int64_t>(i + 1));
        ASSERT_TRUE(lesson);
        ASSERT_EQ(lesson->PairCount(), 2);
        EXPECT_EQ(lesson->PairAt(0)->text1, k.name);
        EXPECT_EQ(lesson->PairAt(0)->text2, k.word);
        EXPECT_EQ(lesson->PairAt(1)->text1, k.word);

        // Sorted in the language's own order: the same order from either start, each text
        // at most the next.
        const TCollation order(k.language->locale);
        const std::string upper = page.UpperCase(k.word);
        std::vector<std::string> texts{k.word, k.name, upper, "water", "", k.name + k.word};
        std::vector<std::string> reversed(texts.rbegin(), texts.rend());
        const auto byKey = [&](const std::string& a, const std::string& b) {
            return order.Key(a, page) < order.Key(b, page);
        };
        std::stable_sort(texts.begin(), texts.end(), byKey);
        std::stable_sort(reversed.begin(), reversed.end(), byKey);
        for (std::size_t t = 0; t + 1 < texts.size(); ++t) {
            EXPECT_LE(order.Compare(texts[t], texts[t + 1], page), 0);
            EXPECT_EQ(order.Compare(texts[t], reversed[t], page), 0);
        }

        // Upper case where the script has it: a different text, the same ignoring case.
        for (const std::string& text : {k.name, k.word}) {
            const std::string up = page.UpperCase(text);
            if (ChangesWhenUpperCased(text))
                EXPECT_NE(up, text);
            else
                EXPECT_EQ(up, text);
            EXPECT_TRUE(page.SameTextUpper(text, up)) << up;
            EXPECT_EQ(page.LetterKey(text), page.LetterKey(up)) << up;
        }
    }
}

TEST(Languages, TheInstalledEspeakNgListsNoLanguageTheTableLacks) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen("espeak-ng --voices 2>/dev/null", "r"),
                                               pclose);
    std::string output;
    if (pipe) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
            output.append(buffer, n);
    }
    if (output.find("Language") == std::string::npos)
        GTEST_SKIP() << "espeak-ng is not installed";
    std::size_t lines = 0;
    std::size_t start = output.find('\n');
    while (start != std::string::npos && start + 1 < output.size()) {
        const std::size_t end = output.find('\n', start + 1);
        const std::string line = output.substr(start + 1, end - start - 1);
        start = end;
        char code[128] = {};
        int priority = 0;
        if (std::sscanf(line.c_str(), "%d %127s", &priority, code) != 2)
            continue;
        ++lines;
        EXPECT_NE(LanguageOfCode(code), nullptr) << "espeak-ng speaks " << line;
    }
    EXPECT_GT(lines, 0u);
}

} // namespace
} // namespace lexaro
