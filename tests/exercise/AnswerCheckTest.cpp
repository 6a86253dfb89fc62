#include "exercise/AnswerCheck.h"

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

struct TCase {
    int codePage;
    const char* solution;
    const char* typed;
    bool ignoreAccents;
    bool right;
};

TEST(AnswerCheck, WhatCountsAsRight) {
    const std::vector<TCase> cases = {
        // Exact, case, blanks.
        {1252, "house", "house", false, true},
        {1252, "house", "House", false, true},
        {1252, "the house", "  THE   house ", false, true},
        {1252, "the house", "the\thouse", false, true},
        {1252, "the house", "thehouse", false, false},
        {1252, "house", "hose", false, false},
        {1252, "house", "houses", false, false},
        // Nothing typed: not known.
        {1252, "house", "", false, false},
        {1252, "house", "   ", false, false},
        {1252, "(house)", "", false, false},
        // Brackets the speech leaves out.
        {1252, "to go (went, gone)", "to go", false, true},
        {1252, "[sich] freuen", "freuen", false, true},
        {1252, "die Tür (-en)", "die Tür", false, true},
        {1252, "to go (went, gone)", "to go (went)", false, true},
        {1252, "to go (went, gone)", "went", false, false},
        // Alternatives.
        {1252, "big; large", "large", false, true},
        {1252, "big, large, huge", "huge", false, true},
        {1252, "big, large", "big, large", false, true},
        {1252, "big, large", "large; big", false, true},
        {1252, "big, large", "big, small", false, false},
        {1252, "big, large", "bi", false, false},
        {1252, "big, large", ",", false, false},
        // Accents count unless ignored.
        {1252, "Tür", "Tur", false, false},
        {1252, "Tür", "Tur", true, true},
        {1252, "Tür", "TÜR", false, true},
        {1252, "Straße", "strasse", false, false},
        {1252, "Straße", "strasse", true, true},
        {1252, "Straße", "STRAßE", false, true},
        {1252, "café", "cafe", true, true},
        {1252, "café", "cafè", false, false},
        {1252, "Tür", "Tor", true, false},
        // Central European, Cyrillic, Greek.
        {1250, "łódź", "ŁÓDŹ", false, true},
        {1250, "łódź", "lodz", false, false},
        {1250, "łódź", "lodz", true, true},
        {1250, "čaj", "caj", true, true},
        {1251, "ёлка", "ЁЛКА", false, true},
        {1251, "ёлка", "елка", false, false},
        {1251, "ёлка", "елка", true, true},
        {1251, "дом", "дым", true, false},
        {1253, "άλφα", "ΆΛΦΑ", false, true},
        {1253, "άλφα", "αλφα", false, false},
        {1253, "άλφα", "ΑΛΦΑ", true, true},
        // Turkish: dotted and dotless i are two letters, each with its own capital.
        {1254, "istanbul", "İSTANBUL", false, true},
        {1254, "istanbul", "ISTANBUL", false, false},
        {1254, "ırmak", "IRMAK", false, true},
        {1254, "ırmak", "irmak", false, false},
        {1254, "İstanbul", "istanbul", false, true},
        {1254, "ırmak", "irmak", true, true},
        {1254, "şeker", "seker", false, false},
        {1254, "şeker", "seker", true, true},
        // In Western European the capital of i is I.
        {1252, "istanbul", "ISTANBUL", false, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.codePage) + " \"" + c.solution + "\" typed \"" + c.typed +
                     "\"" + (c.ignoreAccents ? " ignoring accents" : ""));
        const TCodePage& page = TCodePage::Get(c.codePage);
        const TAnswerCheck check = CheckAnswer(Stored(c.codePage, c.solution),
                                               Stored(c.codePage, c.typed), page, c.ignoreAccents);
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
        {"house", "", false, ""},
    };
    for (const TMarkCase& c : cases) {
        SCOPED_TRACE(std::string(c.solution) + " typed " + c.typed);
        const std::string solution = Stored(1252, c.solution);
        const std::string typed = Stored(1252, c.typed);
        EXPECT_EQ(Marks(CheckAnswer(solution, typed, page, c.ignoreAccents)), c.marks);
    }
}

TEST(AnswerCheck, LongTextsStayBoundedAndAreJudgedAllTheSame) {
    const TCodePage& page = TCodePage::Western();
    const std::string longSolution(5000, 'a');
    const std::string typed(kAnswerLimit, 'a');
    const TAnswerCheck check = CheckAnswer(longSolution, typed, page, false);
    EXPECT_FALSE(check.right);
    EXPECT_EQ(check.differs.size(), typed.size());
    EXPECT_TRUE(CheckAnswer(longSolution, longSolution, page, true).right);
}

} // namespace
} // namespace lexaro
