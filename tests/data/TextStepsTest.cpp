#include "data/TextSteps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lexaro {
namespace {

// The characters as a learner sees them: a letter with its marks, a conjunct's parts, a flag,
// a line end of two bytes; broken bytes one each.
TEST(TextSteps, Utf8TextIsSteppedByTheCharactersALearnerSees) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::size_t> starts;
    };
    const std::vector<Case> cases = {
        {"ascii", "Haus", {0, 1, 2, 3}},
        {"line end", "a\r\nb", {0, 1, 3}},
        {"composed", "caf\xC3\xA9", {0, 1, 2, 3}},
        {"decomposed", "cafe\xCC\x81!", {0, 1, 2, 3, 6}},
        {"arabic", "\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85", {0, 2, 4, 6}},
        {"arabic with a vowel mark", "\xD8\xB3\xD9\x8E\xD9\x84", {0, 4}},
        {"thai", "\xE0\xB8\x97\xE0\xB8\xB5\xE0\xB9\x88x", {0, 9}},
        {"devanagari",
         "\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87",
         {0, 3, 6}}, // the conjunct "ste" is one
        {"flag", "\xF0\x9F\x87\xA9\xF0\x9F\x87\xAAx", {0, 8}},
        {"broken bytes",
         "a\xFF\xC3"
         "b\xC3\xA9",
         {0, 1, 2, 3, 4}},
        {"empty", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf8CharacterStarts(c.text), c.starts);
    }
}

TEST(TextSteps, ASingleBytePageHasOneCharacterPerByte) {
    const TCodePage& page = TCodePage::Get(1252);
    EXPECT_EQ(CharacterStarts("T\xFCr", page), (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_EQ(CharacterCount("T\xFCr", page), 3u);
    EXPECT_EQ(FirstCharacters("T\xFCr", 2, page), "T\xFC");
    EXPECT_EQ(FirstCharacters("T\xFCr", 9, page), "T\xFCr");
    EXPECT_EQ(CutToBytes("T\xFCr", 2, page), "T\xFC");
}

// The first strong character decides; digits, punctuation and broken bytes do not.
TEST(TextSteps, ATextRunsRightToLeftWhenItsFirstLetterDoes) {
    const struct {
        const char* text;
        bool rightToLeft;
    } cases[] = {
        {"", false},
        {"Haus", false},
        {"الكتاب", true},
        {"עִבְרִית", true},
        {"فارسی", true},
        {"12, \"«الكتاب»", true},
        {"DVD دي في دي", false},
        {"\xFF\xFEשלום", true},
        {"123 - !?", false},
        {"日本語", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunsRightToLeft(c.text), c.rightToLeft) << c.text;
}

// Unicode (65001): stored text is UTF-8 in its composed form; bytes that are not UTF-8 are
// refused on the way in and shown as U+FFFD on the way out.
TEST(TextSteps, TheUnicodePageStoresComposedUtf8) {
    const TCodePage* page = TCodePage::Find(TCodePage::kUtf8);
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->IsUtf8());
    EXPECT_FALSE(TCodePage::Western().IsUtf8());
    std::string stored;
    ASSERT_TRUE(page->FromUtf8("cafe\xCC\x81 \xE6\x97\xA5\xE6\x9C\xAC", stored));
    EXPECT_EQ(stored, "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(page->ToUtf8(stored), stored);
    EXPECT_EQ(page->FoldedLetters("cafe\xCC\x81 \xC3\xA9"), 1u);
    std::size_t bad = 0;
    EXPECT_FALSE(page->FromUtf8("ab\xFF", stored, &bad));
    EXPECT_EQ(bad, 2u);
    EXPECT_EQ(page->FromUtf8Lossy("ab\xFF"), "ab?");
    EXPECT_EQ(page->ToUtf8("ab\xFF"), "ab\xEF\xBF\xBD");
    EXPECT_EQ(CharacterCount("cafe\xCC\x81", *page), 4u);
    EXPECT_EQ(FirstCharacters("cafe\xCC\x81!", 4, *page), "cafe\xCC\x81");
    EXPECT_EQ(CutToBytes("cafe\xCC\x81!", 5, *page), "caf");
}

} // namespace
} // namespace lexaro
