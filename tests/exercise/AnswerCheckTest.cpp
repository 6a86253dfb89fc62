#include "exercise/AnswerCheck.h"

#include "data/TextSteps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lexaro {
namespace {

// Stored text of that code page from UTF-8 written in the test.
std::string Stored(int codePage, std::string_view utf8) {
    std::string out;
    EXPECT_TRUE(TCodePage::Get(codePage).FromUtf8(utf8, out)) << utf8;
    return out;
}

// What the learner ticked in the settings.
enum TRules : unsigned { kPlain = 0, kAccents = 1, kComma = 2 };

struct TCase {
    int codePage;
    const char* solution;
    const char* typed;
    unsigned rules;
    bool right;
};

TEST(AnswerCheck, WhatCountsAsRight) {
    const std::vector<TCase> cases = {
        // Exact, case, blanks.
        {1252, "house", "house", kPlain, true},
        {1252, "house", "House", kPlain, true},
        {1252, "the house", "  THE   house ", kPlain, true},
        {1252, "the house", "the\thouse", kPlain, true},
        {1252, "the house", "thehouse", kPlain, false},
        {1252, "house", "hose", kPlain, false},
        {1252, "house", "houses", kPlain, false},
        // Nothing typed: not known.
        {1252, "house", "", kPlain, false},
        {1252, "house", "   ", kPlain, false},
        {1252, "(house)", "", kPlain, false},
        // Brackets the speech leaves out.
        {1252, "to go (went, gone)", "to go", kPlain, true},
        {1252, "[sich] freuen", "freuen", kPlain, true},
        {1252, "die Tür (-en)", "die Tür", kPlain, true},
        {1252, "to go (went, gone)", "to go (went)", kPlain, true},
        {1252, "to go (went, gone)", "went", kPlain, false},
        // Alternatives: ";" separates them, a comma only when the learner ticked it.
        {1252, "big; large", "large", kPlain, true},
        {1252, "big; large", "large; big", kPlain, true},
        {1252, "big; large", "big; small", kPlain, false},
        {1252, "big, large, huge", "huge", kComma, true},
        {1252, "big, large, huge", "huge", kPlain, false},
        {1252, "big, large", "big, large", kPlain, true},
        {1252, "big, large", "big, large", kComma, true},
        {1252, "big, large", "large; big", kComma, true},
        {1252, "big, large", "large; big", kPlain, false},
        {1252, "big, large", "big, small", kComma, false},
        {1252, "big, large", "bi", kComma, false},
        {1252, "big, large", ",", kComma, false},
        {1252, "big, large", ";", kPlain, false},
        // A comma inside an answer separates nothing.
        {1252, "1,5", "1", kPlain, false},
        {1252, "1,5", "5", kPlain, false},
        {1252, "1,5", "1,5", kPlain, true},
        {1252, "Ja, bitte", "bitte", kPlain, false},
        {1252, "Ja, bitte", "ja, BITTE", kPlain, true},
        {1252, "Excuse me, where is the station?", "Excuse me", kPlain, false},
        {1252, "Excuse me, where is the station?", "excuse me, where is the station?", kPlain,
         true},
        {1252, "3 Uhr; drei Uhr", "drei Uhr", kPlain, true},
        {1252, "to look, to see", "to see", kComma | kAccents, true},
        // Nor does a separator inside brackets.
        {1252, "Tisch (m; pl. Tische)", "Tisch", kPlain, true},
        {1252, "Tisch (m; pl. Tische)", "pl. Tische", kPlain, false},
        {1252, "Tisch (m, pl. Tische)", "pl. Tische", kComma, false},
        // What brackets hold may be typed or left out, each part on its own.
        {1252, "(der) Tisch", "der Tisch", kPlain, true},
        {1252, "(der) Tisch", "Tisch", kPlain, true},
        {1252, "(der) Tisch", "(der) Tisch", kPlain, true},
        {1252, "(der) Tisch", "die Tisch", kPlain, false},
        {1252, "(der) Tisch", "der", kPlain, false},
        {1252, "der Tisch", "(der) Tisch", kPlain, true},
        {1252, "Tisch(e)", "Tische", kPlain, true},
        {1252, "[sich] freuen", "sich freuen", kPlain, true},
        {1252, "(sich) [etw.] merken", "sich merken", kPlain, true},
        {1252, "(sich) [etw.] merken", "etw. merken", kPlain, true},
        {1252, "(sich) [etw.] merken", "sich etw. merken", kPlain, true},
        {1252, "(sich) [etw.] merken", "etw. sich merken", kPlain, false},
        {1252, "die Tür (-en)", "die Tür -en", kPlain, true},
        // Adjacent brackets hide only what they hold.
        {1252, "(ugs.)[Am.] apartment", "apartment", kPlain, true},
        {1252, "(ugs.)[Am.] apartment", "Am. apartment", kPlain, true},
        {1252, "(ugs.)[Am.] apartment", "ugs. Am. apartment", kPlain, true},
        {1252, "(ugs.)[Am.] apartment", "flat", kPlain, false},
        {1252, "[a][b] x", "x", kPlain, true},
        {1252, "[a][b] x", "a b x", kPlain, true},
        {1252, "1) one", "1) one", kPlain, true},
        // Accents count unless ignored.
        {1252, "Tür", "Tur", kPlain, false},
        {1252, "Tür", "Tur", kAccents, true},
        {1252, "Tür", "TÜR", kPlain, true},
        {1252, "Straße", "strasse", kPlain, false},
        {1252, "Straße", "strasse", kAccents, true},
        {1252, "Straße", "STRAßE", kPlain, true},
        {1252, "café", "cafe", kAccents, true},
        {1252, "café", "cafè", kPlain, false},
        {1252, "Tür", "Tor", kAccents, false},
        // Central European, Cyrillic, Greek.
        {1250, "łódź", "ŁÓDŹ", kPlain, true},
        {1250, "łódź", "lodz", kPlain, false},
        {1250, "łódź", "lodz", kAccents, true},
        {1250, "čaj", "caj", kAccents, true},
        {1251, "ёлка", "ЁЛКА", kPlain, true},
        {1251, "ёлка", "елка", kPlain, false},
        {1251, "ёлка", "елка", kAccents, true},
        {1251, "дом", "дым", kAccents, false},
        {1253, "άλφα", "ΆΛΦΑ", kPlain, true},
        {1253, "άλφα", "αλφα", kPlain, false},
        {1253, "άλφα", "ΑΛΦΑ", kAccents, true},
        // Turkish: dotted and dotless i are two letters, each with its own capital.
        {1254, "istanbul", "İSTANBUL", kPlain, true},
        {1254, "istanbul", "ISTANBUL", kPlain, true}, // I and i pair under the general rule
        {1254, "ırmak", "IRMAK", kPlain, true},
        {1254, "ırmak", "irmak", kPlain, false},
        {1254, "İstanbul", "istanbul", kPlain, true},
        {1254, "ırmak", "irmak", kAccents, true},
        {1254, "şeker", "seker", kPlain, false},
        {1254, "şeker", "seker", kAccents, true},
        // Case is no difference under either pairing of i, in every code page.
        {1254, "Italy", "italy", kPlain, true},
        {1254, "Internet", "iNTERNET", kPlain, true},
        {1254, "kır", "kir", kPlain, false},
        {1254, "kır", "KIR", kPlain, true},
        {1254, "İ", "ı", kPlain, false},
        {1254, "Italy", "ıtaly", kPlain, true},
        {1254, "Italy", "İtaly", kPlain, false},
        // In Western European the capital of i is I.
        {1252, "istanbul", "ISTANBUL", kPlain, true},
        // Unicode: any script, case folded as Unicode folds it.
        {65001, "ありがとう", "ありがとう", kPlain, true},
        {65001, "ありがとう", "ありがと", kPlain, false},
        {65001, "ありがとう", "ありかとう", kAccents, false}, // the voicing mark is no accent
        {65001, "学校; がっこう", "がっこう", kPlain, true},
        {65001, "学校 (がっこう)", "学校", kPlain, true},
        {65001, "Straße", "STRASSE", kPlain, true},
        {65001, "Straße", "strasse", kPlain, true},
        {65001, "STRASSE", "straße", kPlain, true},
        {65001, "Straße", "Strase", kAccents, false},
        {65001, "Tür", "TÜR", kPlain, true},
        {65001, "Tür", "Tur", kPlain, false},
        {65001, "Tür", "Tur", kAccents, true},
        {65001, "café", "CAFE", kAccents, true},
        {65001, "ёлка", "ЁЛКА", kPlain, true},
        {65001, "άλφα", "ΑΛΦΑ", kAccents, true},
        {65001, "άλφα", "ΑΛΦΑ", kPlain, false},
        // Arabic vowel marks and Hebrew points count only when accents do.
        {65001, "كِتَابٌ", "كتاب", kAccents, true},
        {65001, "كِتَابٌ", "كتاب", kPlain, false},
        {65001, "كتاب", "كِتَابٌ", kAccents, true},
        {65001, "كتاب", "كتب", kAccents, false},
        {65001, "قُرْآن", "قرآن", kAccents, true},
        // The madda and hamza on alef are marks too, as Arabic search ignores them.
        {65001, "قرآن", "قران", kAccents, true},
        {65001, "قرآن", "قران", kPlain, false},
        {65001, "أنا", "انا", kAccents, true},
        {65001, "שָׁלוֹם", "שלום", kAccents, true},
        {65001, "שָׁלוֹם", "שלום", kPlain, false},
        {65001, "שָׁלוֹם", "שָׁלוֹם", kPlain, true},
        // Indic vowel signs and the virama are letters' parts, accents or not.
        {65001, "नमस्ते", "नमस्ते", kPlain, true},
        {65001, "नमस्ते", "नमसते", kAccents, false},
        {65001, "किताब", "कीताब", kAccents, false},
        {65001, "ଓଡ଼ିଆ", "ଓଡ଼ିଆ", kPlain, true},
        // Blanks: the no-break space is a blank, the byte 0xA0 inside "à" is not.
        {65001, "à la carte", "a\u00A0la   carte", kAccents, true},
        {65001, "à la carte", "à\u00A0la carte", kPlain, true},
        {65001, "voilà", "voil", kPlain, false},
        {65001, "là", "l", kPlain, false},
    };
    for (const TCase& c : cases) {
        const bool ignoreAccents = (c.rules & kAccents) != 0;
        const bool commaSeparates = (c.rules & kComma) != 0;
        SCOPED_TRACE(std::to_string(c.codePage) + " \"" + c.solution + "\" typed \"" + c.typed +
                     "\"" + (ignoreAccents ? " ignoring accents" : "") +
                     (commaSeparates ? " with commas separating" : ""));
        const TCodePage& page = TCodePage::Get(c.codePage);
        const TAnswerCheck check =
            CheckAnswer(Stored(c.codePage, c.solution), Stored(c.codePage, c.typed), page,
                        ignoreAccents, commaSeparates);
        EXPECT_EQ(check.right, c.right);
        EXPECT_EQ(check.differs.size(), Stored(c.codePage, c.typed).size());
    }
}

// The marks as a picture: '^' under a letter that differs.
std::string Marks(const TAnswerCheck& check) {
    std::string marks;
    for (const bool d : check.differs)
        marks += d ? '^' : ' ';
    return marks;
}

TEST(AnswerCheck, MarksTheLettersThatDifferFromTheNearestAlternative) {
    const TCodePage& page = TCodePage::Western();
    struct TMarkCase {
        const char* solution;
        const char* typed;
        bool ignoreAccents;
        const char* marks;
    };
    const std::vector<TMarkCase> cases = {
        {"house", "hoose", false, "  ^  "},
        {"house", "hose", false, "    "},     // a letter left out marks nothing typed
        {"house", "housse", false, "    ^ "}, // one of the doubled letters
        {"house", "mouse", false, "^    "},
        {"house", "HOUSE", false, "     "}, // right: nothing marked
        {"big; large", "lorge", false, " ^   "},
        {"big; large", "bog", false, " ^ "},
        {"Tür", "Tor", false, " ^ "},
        {"Tür", "Tor", true, " ^ "},
        {"Tür", "Tur", false, " ^ "},
        {"house", "xyz", false, "^^^"},
        {"(der) Tisch", "der Tosch", false, "     ^   "}, // the form with what brackets hold
        {"(der) Tisch", "Tosch", false, " ^   "},
        {"1,5", "1,6", false, "  ^"},
        {"house", "", false, ""},
    };
    for (const TMarkCase& c : cases) {
        SCOPED_TRACE(std::string(c.solution) + " typed " + c.typed);
        const std::string solution = Stored(1252, c.solution);
        const std::string typed = Stored(1252, c.typed);
        EXPECT_EQ(Marks(CheckAnswer(solution, typed, page, c.ignoreAccents, false)), c.marks);
    }
}

// Unicode text: the marks as a picture with one place per character the learner sees, every
// byte of a character marked alike.
std::string CharacterMarks(const TAnswerCheck& check, const std::string& typed) {
    const TCodePage& page = TCodePage::Get(TCodePage::kUtf8);
    const std::vector<std::size_t> starts = CharacterStarts(typed, page);
    EXPECT_EQ(check.differs.size(), typed.size());
    std::string marks;
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const std::size_t end = k + 1 < starts.size() ? starts[k + 1] : typed.size();
        for (std::size_t b = starts[k]; b < end && b < check.differs.size(); ++b)
            EXPECT_EQ(check.differs[b], check.differs[starts[k]]) << "byte " << b << " of " << k;
        marks += starts[k] < check.differs.size() && check.differs[starts[k]] ? '^' : ' ';
    }
    return marks;
}

TEST(AnswerCheck, MarksWholeCharactersOfUnicodeText) {
    const TCodePage& page = TCodePage::Get(TCodePage::kUtf8);
    struct TMarkCase {
        const char* solution;
        const char* typed;
        bool ignoreAccents;
        const char* marks;
    };
    const std::vector<TMarkCase> cases = {
        {"ありがとう", "ありかとう", true, "  ^  "},
        {"ありがとう", "ありがとお", false, "    ^"},
        {"किताब", "कीताब", false, "^  "}, // the letter with its vowel sign
        {"किताब", "किताप", false, "  ^"},
        {"كتاب", "كتاث", false, "   ^"},
        {"كِتَاب", "كتاث", true, "   ^"}, // compared without the vowel marks
        {"Straße", "Strabe", false, "    ^ "},
        {"Tür", "Tor", true, " ^ "},
        {"שָׁלוֹם", "שלוס", true, "   ^"},
    };
    for (const TMarkCase& c : cases) {
        SCOPED_TRACE(std::string(c.solution) + " typed " + c.typed);
        const std::string solution = Stored(TCodePage::kUtf8, c.solution);
        const std::string typed = Stored(TCodePage::kUtf8, c.typed);
        EXPECT_EQ(CharacterMarks(CheckAnswer(solution, typed, page, c.ignoreAccents, false), typed),
                  c.marks);
    }
}

TEST(AnswerCheck, LongTextsStayBoundedAndAreJudgedAllTheSame) {
    const TCodePage& page = TCodePage::Western();
    const std::string longSolution(5000, 'a');
    const std::string typed(kAnswerLimit, 'a');
    const TAnswerCheck check = CheckAnswer(longSolution, typed, page, false, false);
    EXPECT_FALSE(check.right);
    EXPECT_EQ(check.differs.size(), typed.size());
    EXPECT_TRUE(CheckAnswer(longSolution, longSolution, page, true, true).right);
}

} // namespace
} // namespace lexaro
