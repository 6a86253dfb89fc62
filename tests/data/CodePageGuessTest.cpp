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
    int page;
    std::vector<std::string> words; // UTF-8
};

// A few lines of vocabulary per code page, as learners keep them.
const TSample kSamples[] = {
    {1250,
     {"Polski", "łódź", "żółw", "Cześć, jak się masz?", "zażółć gęślą jaźń", "Čeština",
      "Příliš žluťoučký kůň", "Magyar", "főzőkanál", "Ősz"}},
    {1251,
     {"Русский", "Привет, как дела?", "ёжик в тумане", "Українська мова", "Български език",
      "Это было давно", "Тётя", "яблоко", "Москва"}},
    {1252,
     {"Deutsch", "die Tür", "Straße", "Français", "élève", "œuvre", "Español", "¿Qué tal?", "niño",
      "Ærø", "Íslenska", "smørrebrød", "ça va"}},
    {1253,
     {"Ελληνικά", "Καλημέρα σας", "η θάλασσα", "ο άνθρωπος", "Ευχαριστώ πολύ", "ψωμί", "Αθήνα",
      "Ευρωπαϊκός"}},
    {1254, {"Türkçe", "ılık", "şeker", "İstanbul", "ağaç", "Günaydın", "teşekkür ederim", "ışık"}},
    {1257,
     {"Lietuvių", "ąžuolas", "Latviešu", "ēka", "ķiploks", "Labdien", "žąsis", "Ačiū", "zaļš",
      "vējš", "ziņas"}},
};

// Where the bytes of one code page read as plausible letters of another throughout, so that
// nothing tells them apart: Western European words without the few letters that Turkish puts
// in their place.
const std::set<std::pair<int, int>> kTooCloseToTell = {{1252, 1254}};

TEST(CodePageGuess, TextReadInItsOwnCodePageHasNoOdditiesAndInAnotherOneIsFound) {
    for (const TSample& sample : kSamples) {
        const TCodePage& written = TCodePage::Get(sample.page);
        TCodePageGuess guess;
        for (const std::string& word : sample.words) {
            std::string stored;
            ASSERT_TRUE(written.FromUtf8(word, stored)) << word;
            EXPECT_EQ(CountOddities(written, stored), 0) << sample.page << ": " << word;
            guess.Add(stored);
        }
        EXPECT_EQ(guess.ClearlyBetterThan(written), nullptr) << sample.page;
        for (const int number : TCodePage::kNumbers) {
            if (number == sample.page)
                continue;
            SCOPED_TRACE("written in " + std::to_string(sample.page) + ", read in " +
                         std::to_string(number) + ": " + std::to_string(guess.Oddities(number)) +
                         " oddities");
            const TCodePage* better = guess.ClearlyBetterThan(TCodePage::Get(number));
            if (kTooCloseToTell.count({sample.page, number}) != 0)
                EXPECT_EQ(better, nullptr);
            else
                EXPECT_EQ(better, &written);
        }
    }
}

// Each kind of oddity on its own, in text that only it makes odd.
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
