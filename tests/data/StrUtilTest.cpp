#include "data/StrUtil.h"
#include "data/ArrayUtil.h"
#include "data/Charset.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

TEST(StrUtil, MatchCountCases) {
    struct Case {
        const char* a;
        const char* b;
        int from;
        int n;
        int expected;
    } cases[] = {
        {"abc", "abc", 0, 0, -1}, {"ab", "abc", 0, 0, 2},   {"abd", "abc", 0, 0, 2},
        {"abc", "abd", 0, 2, -1}, {"", "", 0, 0, 0},        {"", "a", 0, 0, 0},
        {"abc", "abc", 3, 0, 0},  {"abc", "abc", -1, 0, 0}, {"abc", "abc", 0, -1, 0},
        {"abc", "abc", 2, 2, 0},  {"xbc", "abc", 1, 0, -1}, {"abcd", "abce", 1, 2, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchCount(c.a, c.b, c.from, c.n), c.expected)
            << c.a << " / " << c.b << " from " << c.from << " n " << c.n;
}

TEST(StrUtil, UpperCaseCoversAccentedLetters) {
    EXPECT_EQ(UpperCase("ab\xE4\xE9\xFF\x9A\xF7\xDF"), "AB\xC4\xC9\x9F\x8A\xF7\xDF");
    EXPECT_EQ(MatchCountUpper("h\xE4user", "H\xC4USER", 0, 0), -1);
    EXPECT_TRUE(SameTextUpper("\xE9t\xE9", "\xC9T\xC9"));
    EXPECT_FALSE(SameTextUpper("e", "\xE9"));
}

TEST(StrUtil, CompareStringsOrdersLettersIgnoringAccents) {
    // Alphabetical regardless of accents and case.
    EXPECT_LT(CompareStrings("\xE4pfel", "Birne", false), 0);
    EXPECT_LT(CompareStrings("\xFF", "Zebra", false), 0) << "y with diaeresis sorts as y";
    EXPECT_LT(CompareStrings("stra\xDF"
                             "e",
                             "strasse1", false),
              0);
    EXPECT_LT(CompareStrings("apfel", "\xC4pfel", true), 0) << "plain before accented";
    EXPECT_EQ(CompareStrings("\xE4pfel", "\xC4PFEL", true), 0);
    EXPECT_LT(CompareStrings("haus", "Haus", false), 0) << "lower case first";
    EXPECT_EQ(CompareStrings("Haus", "Haus", false), 0);
    EXPECT_GT(CompareStrings("Haus", "haus", false), 0);
    EXPECT_LT(CompareStrings("1", "a", false), 0) << "digits before letters";
    EXPECT_LT(CompareStrings("ab", "abc", true), 0);
    EXPECT_LT(CompareStrings("\xE9t\xE9",
                             "\xC9T\xC9"
                             "s",
                             true),
              0);
}

TEST(StrUtil, HexToIntCases) {
    EXPECT_EQ(HexToInt("ff"), 255);
    EXPECT_EQ(HexToInt("1FF"), 511);
    EXPECT_EQ(HexToInt("7FFFFFFF"), 2147483647);
    EXPECT_EQ(HexToInt("80000000"), static_cast<std::int32_t>(0x80000000u));
    EXPECT_EQ(HexToInt(""), 0);
    EXPECT_EQ(HexToInt("123456789"), 0);
    EXPECT_EQ(HexToInt("zz"), 0);
    EXPECT_EQ(HexDigitValue('F'), 15);
    EXPECT_EQ(HexDigitValue('g'), 0);
}

TEST(StrUtil, StrictIntegerConversion) {
    EXPECT_EQ(StrToIntStrict("12"), 12);
    EXPECT_EQ(StrToIntStrict("-7"), -7);
    EXPECT_EQ(StrToIntStrict("-2147483648"), INT32_MIN);
    for (const char* bad : {"", "x", "1 ", " 1", "0x10", "2147483648", "-", "1.5"}) {
        try {
            StrToIntStrict(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const TConvertError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
}

TEST(StrUtil, ForEachTextLineGivesEveryLineWithItsOwnEnd) {
    using Lines = std::vector<std::pair<std::string, std::string>>;
    struct Case {
        std::string text;
        Lines inLine;   // LoneCr::InLine
        Lines endsLine; // LoneCr::EndsLine
    };
    const Case cases[] = {
        {"", {}, {}},
        {"abc", {{"abc", ""}}, {{"abc", ""}}},
        {"a\r\nb", {{"a", "\r\n"}, {"b", ""}}, {{"a", "\r\n"}, {"b", ""}}},
        {"a\nb\n", {{"a", "\n"}, {"b", "\n"}}, {{"a", "\n"}, {"b", "\n"}}},
        {"a\rb", {{"a\rb", ""}}, {{"a", "\r"}, {"b", ""}}},
        // A CR as the last byte is a CR LF cut short.
        {"a\r", {{"a", "\r"}}, {{"a", "\r"}}},
        {"a\r\r\n", {{"a\r", "\r\n"}}, {{"a", "\r"}, {"", "\r\n"}}},
        {"\n\r\n\n",
         {{"", "\n"}, {"", "\r\n"}, {"", "\n"}},
         {{"", "\n"}, {"", "\r\n"}, {"", "\n"}}},
        {"\n\rx", {{"", "\n"}, {"\rx", ""}}, {{"", "\n"}, {"", "\r"}, {"x", ""}}},
        // Blanks and tabs belong to the line; trimming is the caller's.
        {" \t x \t\r\n\t", {{" \t x \t", "\r\n"}, {"\t", ""}}, {{" \t x \t", "\r\n"}, {"\t", ""}}},
    };
    for (const auto& c : cases) {
        for (const LoneCr mode : {LoneCr::InLine, LoneCr::EndsLine}) {
            Lines lines;
            std::string joined;
            ForEachTextLine(
                c.text,
                [&](std::string_view line, std::string_view eol) {
                    lines.emplace_back(line, eol);
                    joined.append(line).append(eol);
                },
                mode);
            EXPECT_EQ(lines, mode == LoneCr::InLine ? c.inLine : c.endsLine)
                << "'" << c.text << "' " << (mode == LoneCr::InLine ? "in line" : "ends line");
            EXPECT_EQ(joined, c.text) << "byte for byte";
        }
    }
}

TEST(StrUtil, TrimCaseAndSplitHelpers) {
    struct Trim {
        std::string text;
        std::string trimmed;
    };
    const Trim trims[] = {{"", ""},         {" \t ", ""},   {"a", "a"},
                          {" a b ", "a b"}, {"\ta\t", "a"}, {"\r a \n", "\r a \n"}};
    for (const auto& c : trims)
        EXPECT_EQ(TrimBlanks(c.text), c.trimmed) << "'" << c.text << "'";

    struct Same {
        std::string a, b;
        bool equal;
    };
    const Same sames[] = {
        {"Lesson", "lESSON", true}, {"", "", true},         {"a", "ab", false},
        {"[", "{", false},          {"@", "`", false},      // 0x20 apart, but no letters
        {"\xE4", "\xC4", false},    {"yes1", "YES1", true}, // only ASCII letters fold
    };
    for (const auto& c : sames) {
        EXPECT_EQ(EqualsIgnoringAsciiCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(EqualsIgnoringAsciiCase(c.b, c.a), c.equal) << c.b << " / " << c.a;
        EXPECT_EQ(LowerAscii(c.a) == LowerAscii(c.b), c.equal) << c.a << " / " << c.b;
    }

    struct Split {
        std::string text;
        std::optional<std::pair<std::string, std::string>> parts;
    };
    const Split splits[] = {
        {"a@b", std::pair{"a", "b"}}, {"a@b@c", std::pair{"a", "b@c"}},
        {"@b", std::pair{"", "b"}},   {"a@", std::pair{"a", ""}},
        {"ab", std::nullopt},         {"", std::nullopt},
    };
    for (const auto& c : splits) {
        const auto parts = SplitAtFirst(c.text, '@');
        ASSERT_EQ(parts.has_value(), c.parts.has_value()) << c.text;
        if (parts) {
            EXPECT_EQ(parts->first, c.parts->first) << c.text;
            EXPECT_EQ(parts->second, c.parts->second) << c.text;
        }
    }
}

TEST(StrUtil, BytesStackAndRemoveEnclosed) {
    EXPECT_EQ(BytesToStr(byteArray{'a', '"', 'b'}), "a\"b") << "double quotes are read whole";
    EXPECT_EQ(BytesToStr(byteArray{'a', 0, 'b'}), "a");
    EXPECT_EQ(StackChars("abc"), "a\r\nb\r\nc");
    EXPECT_EQ(StackChars("a"), "a");
    EXPECT_EQ(StackChars(""), "");

    EXPECT_EQ(RemoveEnclosed(u"a(b)c", {}), u"a(b)c");
}

// Enclosed parts are left out wherever they stand: side by side, nested, or alone; a bracket
// that encloses nothing stays.
TEST(StrUtil, RemoveEnclosedLeavesOutEachPartAndNothingElse) {
    const DelimiterPairs brackets = {{u'(', u')'}, {u'[', u']'}};
    const struct {
        std::u16string_view text;
        std::u16string_view kept;
    } cases[] = {
        {u"the (big) dog", u"the  dog"},
        {u"[all]", u""},
        {u"a(b)c[d]e", u"ace"},
        {u"(ugs.)[Am.] apartment", u" apartment"},
        {u"[a][b] x", u" x"},
        {u"(a)(b)(c) d", u" d"},
        {u"x [a](b)[c] y (z)", u"x  y "},
        {u"a(b[c]d)e", u"ae"},
        {u"a(b(c)d)e", u"ae"},
        {u"a[b(c]d)e", u"ad)e"},
        {u"1) one", u"1) one"},
        {u"(der Tisch", u"(der Tisch"},
        {u"a (b (c) d", u"a (b  d"},
        {u"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RemoveEnclosed(c.text, brackets), c.kept) << "case " << &c - cases;
    }
    // Many openings never closed take no longer than their length.
    const std::u16string deep = std::u16string(100000, u'(') + u"x" + std::u16string(3, u')');
    EXPECT_EQ(RemoveEnclosed(deep, brackets), std::u16string(99997, u'('));
}

TEST(ArrayUtil, DeleteBytesAndEquality) {
    const byteArray a{1, 2, 3, 4};
    EXPECT_EQ(DeleteBytes(a, 1, 2), (byteArray{1, 4}));
    EXPECT_EQ(DeleteBytes(a, 0, 5), a);
    EXPECT_EQ(DeleteBytes(a, 3, 4), (byteArray{1, 2, 3}));
    EXPECT_TRUE(IntArraysEqual({1, 2}, {1, 2}));
    EXPECT_FALSE(IntArraysEqual({1, 2}, {1, 2, 3}));
    EXPECT_FALSE(IntArraysEqual({1, 2}, {2, 1}));
}

TEST(ArrayUtil, ShuffleKeepsTheElementsAndFollowsTheReseedRule) {
    std::uint32_t clockValue = 1000;
    int clockReads = 0;
    TRandomGen rng(0, [&] {
        ++clockReads;
        return clockValue;
    });
    intArray a(51);
    std::iota(a.begin(), a.end(), 0);
    ShuffleInts(a, rng);
    EXPECT_EQ(clockReads, 1) << "the first shuffle reseeds from the clock";
    intArray sorted = a;
    std::sort(sorted.begin(), sorted.end());
    intArray expected(51);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(sorted, expected);
    EXPECT_NE(a, expected);

    ShuffleInts(a, rng);
    EXPECT_EQ(clockReads, 1) << "later shuffles continue the sequence";

    intArray one{42};
    ShuffleInts(one, rng);
    EXPECT_EQ(one, intArray{42});
    intArray none;
    ShuffleInts(none, rng);
    EXPECT_TRUE(none.empty());
    // Nothing was drawn for the empty array, so the next shuffle reseeds.
    ShuffleInts(a, rng);
    EXPECT_EQ(clockReads, 2);
}

TEST(ArrayUtil, SameSeedGivesTheSameOrder) {
    intArray a(20), b(20);
    std::iota(a.begin(), a.end(), 0);
    std::iota(b.begin(), b.end(), 0);
    TRandomGen r1(5), r2(5);
    r1.rememberedSeed = r2.rememberedSeed = 99;
    ShuffleInts(a, r1);
    ShuffleInts(b, r2);
    EXPECT_EQ(a, b);
}

TEST(Charset, RoundTripsEveryByteAndRefusesOthers) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    std::string back;
    ASSERT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(all), back));
    EXPECT_EQ(back, all);
    EXPECT_EQ(Cp1252ToUtf8("\x80\xE4\xDF"), "\xE2\x82\xAC\xC3\xA4\xC3\x9F");
    std::size_t bad = 0;
    EXPECT_FALSE(Utf8ToCp1252("ab\xE2\x86\x92", back, &bad)) << "an arrow has no byte";
    EXPECT_EQ(bad, 2u);
    EXPECT_FALSE(Utf8ToCp1252("\xC3", back)) << "cut UTF-8";
    EXPECT_FALSE(Utf8ToCp1252("\xC0\x80", back)) << "overlong form";
}

TEST(Charset, Utf8LengthStepsFromCharacterToCharacter) {
    // One character of each length, the largest of its length, then the smallest of the next.
    const std::string text = "\x7F\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF";
    const char32_t expected[] = {0x7F, 0x7FF, 0x800, 0xFFFF, 0x10000, 0x10FFFF};
    std::size_t pos = 0;
    for (const char32_t want : expected) {
        char32_t cp = 0;
        ASSERT_TRUE(Utf8CharAt(text, pos, cp)) << pos;
        EXPECT_EQ(cp, want);
        pos += Utf8Length(cp);
    }
    EXPECT_EQ(pos, text.size());
}

} // namespace
} // namespace lexaro
