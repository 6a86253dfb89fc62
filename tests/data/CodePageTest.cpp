#include "data/CodePage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#ifndef _WIN32
#include <iconv.h>
#endif

namespace lexaro {
namespace {

#ifndef _WIN32
// The character glibc's converter gives for one byte of the code page; false where the code
// page leaves the byte undefined.
bool IconvCharacter(int codePage, unsigned char byte, char32_t& out) {
    const std::string from = "CP" + std::to_string(codePage);
    iconv_t cd = iconv_open("UTF-32LE", from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    char in[1] = {static_cast<char>(byte)};
    unsigned char utf32[8] = {};
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(utf32);
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof utf32;
    const std::size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<std::size_t>(-1) || outLeft != sizeof utf32 - 4)
        return false;
    out = static_cast<char32_t>(utf32[0] | utf32[1] << 8 | utf32[2] << 16 | utf32[3] << 24);
    return true;
}

// Every byte of every code page against an independent converter; the bytes a code page
// leaves undefined stand for the C1 control of their value (or, from A0, for a private-use
// character), and each character comes back as its byte.
TEST(CodePage, EveryByteAgreesWithGlibcsConverterAndComesBack) {
    for (const int number : TCodePage::kSingleByte) {
        SCOPED_TRACE(number);
        const TCodePage* page = TCodePage::Find(number);
        ASSERT_NE(page, nullptr);
        int undefined = 0;
        for (int b = 0; b < 256; ++b) {
            const auto byte = static_cast<unsigned char>(b);
            char32_t expected = byte;
            if (!IconvCharacter(number, byte, expected)) {
                ++undefined;
                EXPECT_GE(b, 0x80) << "undefined byte " << b;
                expected = b < 0xA0 ? char32_t{byte} : char32_t{0xF700} + byte;
            }
            EXPECT_EQ(page->ToUnicode(byte), expected) << "byte " << b;
            EXPECT_EQ(page->FromUnicode(page->ToUnicode(byte)), b) << "byte " << b;
        }
        EXPECT_LT(undefined, 20);
    }
}
#endif

TEST(CodePage, UnknownNumbersAreNoneAndTheDefaultIsWesternEuropean) {
    EXPECT_EQ(TCodePage::Find(1255), nullptr);
    EXPECT_EQ(TCodePage::Find(0), nullptr);
    EXPECT_EQ(TCodePage::Get(1200).Number(), 1252);
    EXPECT_EQ(TCodePage::Get(65001).Number(), 65001);
    EXPECT_EQ(TCodePage::Western().Number(), 1252);
}

// A character the code page cannot hold is refused where it stands, never replaced.
TEST(CodePage, ACharacterTheCodePageCannotHoldIsRefusedWhereItStands) {
    const struct {
        int page;
        const char* text;
        std::size_t bad;
    } cases[] = {
        {1251, "\xD0\xB6\xC3\xBC", 2},     // жü: no u with diaeresis in Cyrillic
        {1252, "ab\xD0\xB6", 2},           // ж in Western European
        {1253, "\xCE\xBB\xC5\x82", 2},     // λł
        {1250, "\xC5\x82\xE2\x82\xAC", 5}, // ł€: both held
        {1257, "\xC4\x81\xE2\x80\x8B", 2}, // ā and a zero-width space
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.page) + " " + c.text);
        const TCodePage& page = TCodePage::Get(c.page);
        std::string stored;
        std::size_t bad = 99;
        const bool held = page.FromUtf8(c.text, stored, &bad);
        if (c.bad == std::string(c.text).size()) {
            ASSERT_TRUE(held);
            EXPECT_EQ(page.ToUtf8(stored), c.text);
        } else {
            EXPECT_FALSE(held);
            EXPECT_EQ(bad, c.bad);
            EXPECT_NE(page.FromUtf8Lossy(c.text).find('?'), std::string::npos);
        }
    }
}

std::string Stored(const TCodePage& page, const std::string& utf8) {
    std::string out;
    EXPECT_TRUE(page.FromUtf8(utf8, out)) << utf8;
    return out;
}

// Upper case and sort order follow the code page: its letters, accented and not Latin, have
// their upper case, and sort alphabetically ignoring case and accents.
TEST(CodePage, CaseAndSortFollowTheCodePage) {
    const struct {
        int page;
        std::string lower;
        std::string upper;
        std::vector<std::string> sorted;
    } cases[] = {
        {1250,
         "łódź żółw ąę čř",
         "ŁÓDŹ ŻÓŁW ĄĘ ČŘ",
         {"łąka", "lato", "Ostrava", "řeka", "zebra", "źle"}},
        {1251,
         "жёлтый ґанок їжак",
         "ЖЁЛТЫЙ ҐАНОК ЇЖАК",
         {"арбуз", "гора", "ґанок", "ёж", "ель", "жук", "йод", "яблоко"}},
        {1252,
         "straße œuvre élan",
         "STRAßE ŒUVRE ÉLAN",
         {"Äpfel", "apple", "élan", "Ölung", "zebra"}},
        {1253, "σοφός άλφα ΐ", "ΣΟΦΌΣ ΆΛΦΑ ΐ", {"άλφα", "βήτα", "γάμμα", "ωμέγα"}},
        {1254,
         "istanbul ılık şeker",
         "İSTANBUL ILIK ŞEKER",
         {"ağaç", "çay", "ılık", "İstanbul", "şeker", "üzüm"}},
        {1257,
         "ąžuolas ēka ķiploks",
         "ĄŽUOLAS ĒKA ĶIPLOKS",
         {"ąžuolas", "bērzs", "ēka", "ķiploks", "žąsis"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        const TCodePage& page = TCodePage::Get(c.page);
        EXPECT_EQ(page.ToUtf8(page.UpperCase(Stored(page, c.lower))), c.upper);
        EXPECT_TRUE(page.SameTextUpper(Stored(page, c.lower), Stored(page, c.upper)));
        std::vector<std::string> stored;
        for (const std::string& word : c.sorted)
            stored.push_back(Stored(page, word));
        std::vector<std::string> shuffled(stored.rbegin(), stored.rend());
        std::stable_sort(shuffled.begin(), shuffled.end(), [&](const auto& a, const auto& b) {
            return page.Compare(a, b, false) < 0;
        });
        EXPECT_EQ(shuffled, stored);
    }
}

// Ties are broken the same way on every machine: accents, then case (lower first), then bytes;
// ignoring case, texts that differ only in case are equal.
TEST(CodePage, TiesAreBrokenByAccentThenCase) {
    const TCodePage& page = TCodePage::Get(1251);
    const std::string e = Stored(page, "ель");
    const std::string yo = Stored(page, "ёль");
    const std::string upper = Stored(page, "Ель");
    EXPECT_LT(page.Compare(e, yo, false), 0);
    EXPECT_LT(page.Compare(e, upper, false), 0);
    EXPECT_EQ(page.Compare(e, upper, true), 0);
    EXPECT_GT(page.Compare(yo, upper, true), 0);
}

// Case is no difference when letters pair under either rule for i, in every code page that
// holds them; the Turkish dotless and dotted i stay two letters.
TEST(CodePage, CaseIsNoDifferenceUnderEitherPairingOfI) {
    struct TCase {
        int codePage;
        const char* a;
        const char* b;
        bool same;
    };
    for (const TCase& c : {TCase{1254, "Italy", "italy", true}, TCase{1254, "İzmir", "izmir", true},
                           TCase{1254, "ırmak", "IRMAK", true}, TCase{1254, "kır", "kir", false},
                           TCase{1254, "İ", "ı", false}, TCase{1254, "İ", "I", false},
                           TCase{1252, "Italy", "ITALY", true}, TCase{1250, "Łódź", "łÓDŹ", true},
                           TCase{1252, "ab", "abc", false}}) {
        const TCodePage& page = TCodePage::Get(c.codePage);
        SCOPED_TRACE(std::to_string(c.codePage) + " " + c.a + " " + c.b);
        EXPECT_EQ(page.SameTextUpper(Stored(page, c.a), Stored(page, c.b)), c.same);
        EXPECT_EQ(page.SameTextUpper(Stored(page, c.b), Stored(page, c.a)), c.same);
    }
}

// The letter key ignores case and accents in every code page, and nothing else.
TEST(CodePage, TheLetterKeyIgnoresCaseAndAccentsOnly) {
    struct TCase {
        int codePage;
        const char* a;
        const char* b;
        bool same;
    };
    for (const TCase& c : {TCase{1252, "Tür", "TUR", true}, TCase{1252, "Straße", "STRASSE", true},
                           TCase{1252, "Tür", "Tor", false}, TCase{1250, "Łódź", "lodz", true},
                           TCase{1251, "Ёлка", "елка", true}, TCase{1251, "дом", "дым", false},
                           TCase{1253, "Άλφα", "αλφα", true}, TCase{1254, "İı", "ii", true},
                           TCase{1254, "şeker", "SEKER", true}, TCase{1252, "a b", "ab", false}}) {
        const TCodePage& page = TCodePage::Get(c.codePage);
        SCOPED_TRACE(std::to_string(c.codePage) + " " + c.a + " " + c.b);
        EXPECT_EQ(page.LetterKey(Stored(page, c.a)) == page.LetterKey(Stored(page, c.b)), c.same);
    }
}

// Under Unicode case, the letters and the order come from ICU for every script: the upper case
// may be longer than the text ("ß" as "SS"), case is ignored by full folding with the same
// leniency for i as the single-byte pages, and the order is the one shared by all languages.
TEST(CodePage, UnicodeCaseAndOrderHoldForEveryScript) {
    const TCodePage& page = TCodePage::Get(TCodePage::kUtf8);
    const struct {
        const char* text;
        const char* upper;
    } upper[] = {
        {"straße", "STRASSE"},        {"ǆemper", "ǄEMPER"},   {"σοφός", "ΣΟΦΌΣ"},
        {"жёлтый", "ЖЁЛТЫЙ"},         {"ﬁx", "FIX"},          {"ağaç ılık", "AĞAÇ ILIK"},
        {"日本語 abc", "日本語 ABC"}, {"العربية", "العربية"}, {"hello", "HELLO"},
        {"\xFF a", "\uFFFD A"},
    };
    for (const auto& c : upper)
        EXPECT_EQ(page.UpperCase(c.text), c.upper) << c.text;

    struct TSame {
        const char* a;
        const char* b;
        bool same;
    };
    for (const TSame& c :
         {TSame{"Straße", "STRASSE", true}, TSame{"Ωμέγα", "ΩΜΈΓΑ", true},
          TSame{"Italy", "italy", true}, TSame{"İzmir", "izmir", true},
          TSame{"ırmak", "IRMAK", true}, TSame{"kır", "kir", false}, TSame{"İ", "ı", false},
          TSame{"Łódź", "łÓDŹ", true}, TSame{"日本", "日本", true}, TSame{"日本", "日木", false},
          TSame{"Tür", "Tur", false}, TSame{"ab", "abc", false},
          // Western European letters (compared by a table) beside other letters and "ß".
          TSame{"Über Öl", "üBER öL", true}, TSame{"ÉTÉ", "été", true},
          TSame{"Müller", "Muller", false}, TSame{"µm", "ΜM", true}, TSame{"ÿ", "Ÿ", true},
          TSame{"ßa", "SSA", true}, TSame{"Maße", "MASSE", true}, TSame{"Masse", "Maße", true},
          TSame{"é", "e", false}, TSame{"\xC3", "\xC3", true}, TSame{"\xC3\xA9", "\xC3", false}}) {
        SCOPED_TRACE(std::string(c.a) + " " + c.b);
        EXPECT_EQ(page.SameTextUpper(c.a, c.b), c.same);
        EXPECT_EQ(page.SameTextUpper(c.b, c.a), c.same);
    }

    for (const TSame& c :
         {TSame{"Tür", "TUR", true}, TSame{"Straße", "STRASSE", true}, TSame{"Tür", "Tor", false},
          TSame{"Ёлка", "елка", true}, TSame{"Άλφα", "αλφα", true}, TSame{"日本", "日木", false},
          TSame{"a b", "ab", false}, TSame{"", "", true}}) {
        SCOPED_TRACE(std::string(c.a) + " " + c.b);
        EXPECT_EQ(page.LetterKey(c.a) == page.LetterKey(c.b), c.same);
    }

    // Latin, Greek and Cyrillic letters alphabetically whatever their case and accents.
    const std::vector<std::string> sorted{"Äpfel", "apple", "élan", "zebra", "άλφα",
                                          "ωμέγα", "арбуз", "ёж",   "яблоко"};
    std::vector<std::string> shuffled(sorted.rbegin(), sorted.rend());
    std::stable_sort(shuffled.begin(), shuffled.end(),
                     [&](const auto& a, const auto& b) { return page.Compare(a, b, false) < 0; });
    EXPECT_EQ(shuffled, sorted);
    // Ties: accents before case; ignoring case only case makes no difference; otherwise
    // texts the order finds equal are told apart by their bytes, so the order is total.
    EXPECT_LT(page.Compare("ель", "ёль", false), 0);
    EXPECT_LT(page.Compare("ель", "Ель", false), 0);
    EXPECT_EQ(page.Compare("ель", "Ель", true), 0);
    EXPECT_GT(page.Compare("ёль", "Ель", true), 0);
    EXPECT_LT(page.Compare("a", std::string("a\x01", 2), false), 0); // a control weighs nothing
    EXPECT_EQ(page.Compare("a", std::string("a\x01", 2), true), 0);
    EXPECT_EQ(page.Compare("日本", "日本", false), 0);
}

// Unicode text is stored in its composed form, with the letters a code page holds only as a
// look-alike folded to it; FoldedLetters counts each character so changed once.
TEST(CodePage, TextIsStoredComposedAndFoldedToTheCodePage) {
    const struct {
        int page;
        const char* typed;
        const char* stored; // nullptr: refused
        std::size_t folded;
    } cases[] = {
        {1252, "Cafe\u0301 cre\u0300me", "Café crème", 2},      // e + combining accents
        {1252, "A\u030Angstro\u0308m \u212B", "Ångström Å", 3}, // and the Angstrom sign
        {1252, "plain text, ü", "plain text, ü", 0},
        {1251, "\u0438\u0306\u043E\u0434", "йод", 1},  // и + breve
        {1250, "\u0219\u021B\u0218\u021A", "şţŞŢ", 4}, // Romanian comma below
        {1250, "s\u0326i", "şi", 1},                   // s + combining comma below
        {1250, "\u015F\u0163", "şţ", 0},               // cedilla letters as they are
        {1253, "\u03B3\u03B9\u03B1\u037E", "για;", 1}, // the Greek question mark
        {1252, "\u0219", nullptr, 0},                  // neither letter in 1252
        {1254, "\u0219", nullptr, 0},                  // folded under 1250 only
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.page) + " " + c.typed);
        const TCodePage& page = TCodePage::Get(c.page);
        std::string stored;
        const bool held = page.FromUtf8(c.typed, stored);
        EXPECT_EQ(held, c.stored != nullptr);
        if (held) {
            EXPECT_EQ(page.ToUtf8(stored), c.stored);
            EXPECT_EQ(page.FromUtf8Lossy(c.typed), stored);
        }
        EXPECT_EQ(page.FoldedLetters(c.typed), c.folded);
    }
}

// Every character a code page holds is stored as itself: the composed form never turns one
// into a character the page lacks.
TEST(CodePage, EveryHeldCharacterComesBackUnchanged) {
    for (const int number : TCodePage::kSingleByte) {
        const TCodePage& page = TCodePage::Get(number);
        for (int b = 1; b < 256; ++b) {
            const std::string byte(1, static_cast<char>(b));
            const std::string utf8 = page.ToUtf8(byte);
            std::string stored;
            EXPECT_TRUE(page.FromUtf8(utf8, stored)) << number << " byte " << b;
            EXPECT_EQ(stored, byte) << number << " byte " << b;
            EXPECT_EQ(page.FoldedLetters(utf8), 0u) << number << " byte " << b;
        }
    }
}

// A refused mark is named by the letter it joins; the display form shows one '?' for both.
TEST(CodePage, ARefusedCharacterWithItsMarksIsOne) {
    const TCodePage& page = TCodePage::Western();
    const std::string typed = "ab \u0436\u0301c"; // ж with an acute accent
    std::string stored;
    std::size_t bad = 99;
    EXPECT_FALSE(page.FromUtf8(typed, stored, &bad));
    EXPECT_EQ(bad, 3u);
    EXPECT_EQ(page.FromUtf8Lossy(typed), "ab ?c");
    EXPECT_EQ(page.FromUtf8Lossy("a\xFF"
                                 "b"),
              "a?b");
    // A hostile run of marks is taken in bounded pieces and refused at the letter they join.
    std::string marks = "x";
    for (int i = 0; i < 10000; ++i)
        marks += "\u0301\u0316";
    EXPECT_FALSE(page.FromUtf8(marks, stored, &bad));
    EXPECT_EQ(bad, 0u);
}

} // namespace
} // namespace lexaro
