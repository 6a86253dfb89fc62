// Which code page stored text reads plausibly in: words written in each code page read in each
// of the others.
#include "data/CodePageGuess.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace lexaro {
namespace {

struct TSample {
    std::string language;
    int page;
    std::vector<std::string> words; // UTF-8
};

// A few words per language, as learners keep them: a file's column holds one language.
const TSample kSamples[] = {
    {"Polish",
     1250,
     {"Polski", "łódź", "żółw", "Cześć, jak się masz?", "zażółć gęślą jaźń", "dziękuję", "pies",
      "jabłko", "mąka"}},
    {"Czech",
     1250,
     {"Čeština", "Příliš žluťoučký kůň", "děkuji", "kočka", "dobrý den", "řeka", "ústa"}},
    {"Hungarian",
     1250,
     {"Magyar", "főzőkanál", "Ősz", "köszönöm", "kutya", "macska", "tűz", "szép"}},
    {"Russian",
     1251,
     {"Русский", "Привет, как дела?", "ёжик в тумане", "Это было давно", "Тётя", "яблоко",
      "Москва"}},
    {"Ukrainian", 1251, {"Українська мова", "їжак", "дякую", "собака", "ґанок"}},
    {"German", 1252, {"Deutsch", "die Tür", "Straße", "Äpfel", "schön", "Grüße", "Mädchen", "Öl"}},
    {"French", 1252, {"Français", "élève", "œuvre", "ça va", "garçon", "être", "où", "Noël"}},
    {"Spanish", 1252, {"Español", "¿Qué tal?", "niño", "mañana", "corazón", "pingüino", "árbol"}},
    {"Greek",
     1253,
     {"Ελληνικά", "Καλημέρα σας", "η θάλασσα", "ο άνθρωπος", "Ευχαριστώ πολύ", "ψωμί", "Αθήνα",
      "Ευρωπαϊκός"}},
    {"Turkish",
     1254,
     {"Türkçe", "ılık", "şeker", "İstanbul", "ağaç", "Günaydın", "teşekkür ederim", "köpek", "kuş",
      "yılan"}},
    {"Lithuanian",
     1257,
     {"Lietuvių", "ąžuolas", "žąsis", "Ačiū", "šuo", "katė", "obuolys", "gėlė"}},
    {"Latvian",
     1257,
     {"Latviešu", "ēka", "ķiploks", "Labdien", "zaļš", "vējš", "ziņas", "paldies", "kaķis"}},
};

// Words that read the same in another code page (German in Central European, Baltic and
// Turkish) are not told apart; neither are these, whose bytes read as letters of a language
// of the other code page throughout.
const std::set<std::pair<std::string, int>> kTooCloseToTell = {};

TEST(CodePageGuess, TextReadInItsOwnCodePageHasNoOdditiesAndInAnotherOneIsFound) {
    for (const TSample& sample : kSamples) {
        const TCodePage& written = TCodePage::Get(sample.page);
        TCodePageGuess guess;
        for (const std::string& word : sample.words) {
            std::string stored;
            ASSERT_TRUE(written.FromUtf8(word, stored)) << word;
            EXPECT_EQ(CountOddities(written, stored), 0) << sample.language << ": " << word;
            guess.Add(stored);
            guess.Add("English words", 1);
        }
        EXPECT_EQ(guess.Oddities(sample.page), 0) << sample.language;
        EXPECT_EQ(guess.ClearlyBetterThan(written), nullptr) << sample.language;
        for (const int number : TCodePage::kNumbers) {
            if (number == sample.page)
                continue;
            SCOPED_TRACE(sample.language + " read in " + std::to_string(number) + ": " +
                         std::to_string(guess.Oddities(number)) + " oddities");
            const TCodePage& read = TCodePage::Get(number);
            bool same = true;
            for (const std::string& word : sample.words) {
                std::string stored;
                written.FromUtf8(word, stored);
                same = same && read.ToUtf8(stored) == word;
            }
            const TCodePage* better = guess.ClearlyBetterThan(read);
            if (same || kTooCloseToTell.count({sample.language, number}) != 0)
                EXPECT_EQ(better, nullptr);
            else
                EXPECT_EQ(better, &written);
        }
    }
}

TEST(CodePageGuess, WhatCountsAsOdd) {
    const struct {
        int page;
        std::string text; // UTF-8
        std::int64_t oddities;
    } cases[] = {
        {1252, "Ðóññêèé", 7 + 1}, // no plain letter, and letters of no one language
        {1252, "Straße m² ¿Qué? «oui» 20°C ‰", 0},
        {1252, "³ód", 1},       // a symbol that words do not carry
        {1252, "x²y", 1},       // a superscript before a letter
        {1252, "ÍslenskaÐ", 1}, // a capital after a small letter
        {1251, "Aбв", 1},       // Latin and Cyrillic in one word
        {1253, "ςα", 1},        // a final sigma before a letter
        {1253, "άέή", 2},       // three accents in one Greek word
        {1253, "Ευρωπαϊκός προϊόν", 0},
        {1253, "βϋλξ", 1},         // a dialytika after a consonant ("было" read as Greek)
        {1252, "aðaç", 1},         // ð and ç: no language has both
        {1252, "Müller Añejo", 0}, // each word in one language
        {1252, "Iceland and Spain", 0},
    };
    for (const auto& c : cases) {
        const TCodePage& page = TCodePage::Get(c.page);
        std::string stored;
        ASSERT_TRUE(page.FromUtf8(c.text, stored)) << c.text;
        EXPECT_EQ(CountOddities(page, stored), c.oddities) << c.page << ": " << c.text;
    }
    // Bytes that the code page leaves undefined.
    EXPECT_EQ(CountOddities(TCodePage::Get(1253), "\xAA\xD2"), 4);
    EXPECT_EQ(CountOddities(TCodePage::Western(), "a\x81"), 2);
}

// Turkish words of one special letter each read as Western European words of some language
// each; only together in their column do their letters (þ, ý, ð beside ü, ç) fit no one
// alphabet. The German of the other column is no part of that.
TEST(CodePageGuess, AColumnsLettersFitOneAlphabet) {
    TCodePageGuess guess;
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"kuş", "der Vogel"},    {"yılan", "die Schlange"}, {"köpek", "der Hund"},
        {"şeker", "der Zucker"}, {"üzüm", "die Traube"},    {"çay", "der Tee"},
        {"dağ", "der Berg"},     {"kız", "das Mädchen"},    {"söz", "das Wort"}};
    const TCodePage& turkish = TCodePage::Get(1254);
    for (const auto& [first, second] : pairs) {
        std::string stored1, stored2;
        ASSERT_TRUE(turkish.FromUtf8(first, stored1));
        ASSERT_TRUE(turkish.FromUtf8(second, stored2));
        EXPECT_EQ(CountOddities(TCodePage::Western(), stored1), 0) << first;
        guess.Add(stored1, 0);
        guess.Add(stored2, 1);
    }
    EXPECT_EQ(guess.Oddities(1254), 0);
    EXPECT_EQ(guess.Oddities(1252), 3) << "ü twice and ç, which Icelandic lacks";
    EXPECT_EQ(guess.ClearlyBetterThan(TCodePage::Western()), &turkish);
}

// A file of UTF-8 text read in a single-byte page is found to read as Unicode (65001), in any
// script; a single-byte file read as Unicode is found to read in its own page.
TEST(CodePageGuess, Utf8TextReadAsASingleBytePageAndTheReverseAreFound) {
    const TCodePage& unicode = TCodePage::Get(TCodePage::kUtf8);
    const struct {
        int read;
        std::vector<std::pair<std::string, std::string>> pairs; // UTF-8
    } cases[] = {
        {1252, {{"café", "Kaffee"}, {"crème brûlée", "Creme"}, {"élève", "Schüler"}}},
        {1251, {{"日本語", "Japanisch"}, {"水", "Wasser"}, {"火", "Feuer"}}},
        {1253, {{"مرحبا", "Hallo"}, {"ماء", "Wasser"}, {"كتاب", "Buch"}}},
        {1250, {{"नमस्ते", "Hallo"}, {"पानी", "Wasser"}, {"किताब", "Buch"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.read);
        TCodePageGuess guess;
        for (const auto& [first, second] : c.pairs) {
            guess.Add(first, 0); // UTF-8 is stored as it stands
            guess.Add(second, 1);
        }
        EXPECT_EQ(guess.Oddities(TCodePage::kUtf8), 0);
        EXPECT_EQ(guess.ClearlyBetterThan(TCodePage::Get(c.read)), &unicode);
        EXPECT_EQ(guess.ClearlyBetterThan(unicode), nullptr);
    }
    // Cyrillic and Western European files read as Unicode: their bytes are no UTF-8.
    for (const int page : {1251, 1252}) {
        TCodePageGuess guess;
        for (const char* word : page == 1251
                                    ? std::vector<const char*>{"жёлтый", "кошка", "дом"}
                                    : std::vector<const char*>{"Müller", "élan", "Straße"}) {
            std::string stored;
            ASSERT_TRUE(TCodePage::Get(page).FromUtf8(word, stored));
            guess.Add(stored);
        }
        EXPECT_EQ(guess.ClearlyBetterThan(unicode), &TCodePage::Get(page)) << page;
    }
    EXPECT_EQ(CountOddities(unicode, "a\xFF" "b"), 2);
    EXPECT_EQ(CountOddities(unicode, "iPhone"), CountOddities(TCodePage::Western(), "iPhone"));
}

TEST(CodePageGuess, AFewOddWordsInALongTextAreNoSign) {
    // Western European text with a name in Turkish letters: one odd word in 1252, none in
    // 1254, which is not enough to say the file was written in Turkish.
    TCodePageGuess guess;
    for (const char* word : {"the house", "das Haus", "Ça va", "Ağaç"}) {
        std::string stored;
        ASSERT_TRUE(TCodePage::Get(1254).FromUtf8(word, stored));
        guess.Add(stored);
    }
    EXPECT_EQ(guess.Oddities(1254), 0);
    EXPECT_GT(guess.Oddities(1252), 0);
    EXPECT_EQ(guess.ClearlyBetterThan(TCodePage::Western()), nullptr);
    EXPECT_EQ(TCodePageGuess().ClearlyBetterThan(TCodePage::Western()), nullptr) << "no text";
}

} // namespace
} // namespace lexaro
