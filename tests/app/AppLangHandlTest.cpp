// The UI text database: the shipped Text.Db and the reader's rules on small hand-made ones.

#include "app/AppLangHandl.h"

#include "TextDbBuild.h"
#include "data/CodeDecode.h"
#include "data/FileUtil.h"
#include "data/StrUtil.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#ifndef LEXARO_TEXTDB_FILE
#error "LEXARO_TEXTDB_FILE must name the generated Text.Db"
#endif

namespace lexaro {
namespace {

using test::RecordingSink;

// A handler opened on a database with the given content (section lines with CR LF).
TAppLangHandler Opened(std::string_view content) {
    TAppLangHandler texts;
    EXPECT_TRUE(texts.OpenTextDbBytes(TextDbFromContent(content)));
    return texts;
}

// ---- The shipped database ----

class ShippedTextDb : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(texts_.OpenTextDb(LEXARO_TEXTDB_FILE, "Lexaro", &sink_)) << LEXARO_TEXTDB_FILE;
        EXPECT_TRUE(sink_.shown.empty());
    }
    std::vector<std::string> All(std::string_view code) {
        EXPECT_TRUE(texts_.SelectLanguage(code));
        std::vector<std::string> out;
        for (std::int32_t n = 0; n < kTextCount; ++n)
            out.push_back(texts_.GetText(n));
        return out;
    }
    RecordingSink sink_;
    TAppLangHandler texts_;
};

TEST_F(ShippedTextDb, EveryNumberHasATextInBothLanguages) {
    for (const char* code : {"EN", "DE"}) {
        const auto all = All(code);
        for (std::int32_t n = 0; n < kTextCount; ++n)
            EXPECT_NE(all[static_cast<std::size_t>(n)], kMissingText) << code << " text " << n;
        EXPECT_EQ(texts_.GetText(kTextCount), kMissingText) << code;
    }
}

TEST_F(ShippedTextDb, CaptionsTheWindowsGiveStandUnderTheirNumbers) {
    const auto en = All("EN");
    EXPECT_EQ(en[0], "Lexaro");
    EXPECT_EQ(en[3], "New Compose");
    EXPECT_EQ(en[5], "Reset priority of Phrases");
    const std::vector<std::string> priorities{
        "use always",          "not use once",       "not use twice",     "not use three times",
        "not use four times",  "not use five times", "not use six times", "not use seven times",
        "not use eight times", "not more use"};
    for (std::size_t i = 0; i < priorities.size(); ++i)
        EXPECT_EQ(en[53 + i], priorities[i]) << "text " << 53 + i;
    EXPECT_EQ(en[63], "START");
    EXPECT_EQ(en[64], "STOP");
    EXPECT_EQ(en[13], "&Exercise");
    EXPECT_EQ(en[17], "E&xit");
    EXPECT_EQ(en[24], "General settings - exercise");
    EXPECT_EQ(en[26], "Manual");
    EXPECT_EQ(en[27], "Automatic");
    EXPECT_EQ(en[32], "Voice OFF");
    EXPECT_EQ(en[42], "Show exercise Table");
    EXPECT_EQ(en[132], "Edit/New Lesson");
    EXPECT_EQ(en[137], "&About");

    const auto de = All("DE");
    EXPECT_EQ(de[0], "Lexaro");
    EXPECT_EQ(de[63], "START");
    EXPECT_EQ(de[65], "WEITER");
    // German text is stored in Windows-1252: Ü is one byte.
    EXPECT_EQ(de[13], "&\xDC"
                      "bung");
    EXPECT_EQ(de[121], "Gr\xF6\xDF"
                       "e");
}

TEST_F(ShippedTextDb, OnlyNamesAndButtonWordsReadTheSameInBothLanguages) {
    const auto en = All("EN");
    const auto de = All("DE");
    // The program's name, two button words, the keys Esc and F1, the normal font style and
    // the version line, and the name of the code page Unicode.
    const std::set<std::size_t> same{0, 63, 64, 166, 168, 220, 225, 244};
    for (std::size_t n = 0; n < en.size(); ++n)
        EXPECT_EQ(en[n] == de[n], same.contains(n)) << "text " << n << ": " << en[n];
}

TEST_F(ShippedTextDb, ComposedCaptionsReadNaturally) {
    for (const auto& [code, noLesson, chosen] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {"EN", "Lesson : none chosen", "Lesson : 1,2,5"},
             {"DE", "Lektion : keine gew\xE4hlt", "Lektion : 1,2,5"}}) {
        ASSERT_TRUE(texts_.SelectLanguage(code));
        EXPECT_EQ(texts_.GetText(46) + texts_.GetText(47), noLesson);
        EXPECT_EQ(texts_.GetText(46) + " : " + "1,2,5", chosen);
        // Texts joined with blanks or numbers keep no stray blanks of their own, except 47
        // (follows 46 directly) and 106 (followed directly by lesson numbers).
        for (std::int32_t n = 0; n < kTextCount; ++n) {
            const std::string t = texts_.GetText(n);
            if (n != 47) {
                EXPECT_NE(t.front(), ' ') << code << " text " << n;
            }
            if (n != 106) {
                EXPECT_NE(t.back(), ' ') << code << " text " << n;
            }
        }
        EXPECT_EQ(texts_.GetText(106).back(), ' ');
    }
}

// ---- Lookup rules ----

TEST(AppLangHandl, NothingSelectedGivesTheMissingText) {
    TAppLangHandler fresh;
    EXPECT_FALSE(fresh.HasTexts());
    EXPECT_EQ(fresh.GetText(0), "????");
    TAppLangHandler opened = Opened("[EN]\r\n0=Lexaro\r\n[##]\r\n");
    EXPECT_FALSE(opened.HasTexts());
    for (std::int32_t n : {0, 1, 137, -1})
        EXPECT_EQ(opened.GetText(n), "????") << n;
}

TEST(AppLangHandl, SectionLinesFillTheirSlots) {
    TAppLangHandler texts = Opened("[EN]\r\n"
                                   "5=five\r\n"
                                   "0=zero\r\n"
                                   "3=a=b\r\n"
                                   "7=\r\n"
                                   "8=first\r\n"
                                   "8=second\r\n"
                                   "9= padded \r\n"
                                   "[##]\r\n");
    ASSERT_TRUE(texts.SelectLanguage("EN"));
    const std::vector<std::pair<std::int32_t, std::string>> cases{
        {0, "zero"},  {1, "????"},   {2, "????"}, {3, "a=b"},    {4, "????"},
        {5, "five"},  {6, "????"},   {7, "????"}, {8, "second"}, {9, " padded "},
        {10, "????"}, {137, "????"}, {-1, "????"}};
    for (const auto& [n, text] : cases)
        EXPECT_EQ(texts.GetText(n), text) << "text " << n;
}

TEST(AppLangHandl, LanguagesSwitchWithoutReopening) {
    // Sections in any order; the last one without its end line runs to the end.
    TAppLangHandler texts = Opened("[DE]\r\n0=Hallo\r\n1=nur deutsch\r\n[##]\r\n"
                                   "[EN]\r\n0=Hello\r\n2=english only\r\n");
    ASSERT_TRUE(texts.SelectLanguage("DE"));
    EXPECT_EQ(texts.GetText(0), "Hallo");
    ASSERT_TRUE(texts.SelectLanguage("EN"));
    EXPECT_EQ(texts.GetText(0), "Hello");
    EXPECT_EQ(texts.GetText(1), "????") << "the old section's texts are discarded";
    EXPECT_EQ(texts.GetText(2), "english only");
    ASSERT_TRUE(texts.SelectLanguage("DE"));
    EXPECT_EQ(texts.GetText(1), "nur deutsch");
    EXPECT_EQ(texts.GetText(2), "????");
}

TEST(AppLangHandl, UnknownLanguageKeepsTheTextsInUse) {
    TAppLangHandler texts = Opened("[EN]\r\n0=Hello\r\n[##]\r\n");
    ASSERT_TRUE(texts.SelectLanguage("EN"));
    for (const char* code : {"FR", "en", "E", ""})
        EXPECT_FALSE(texts.SelectLanguage(code)) << code;
    EXPECT_EQ(texts.GetText(0), "Hello");
    // Only the first two characters of a code count.
    EXPECT_TRUE(texts.SelectLanguage("ENGLISH"));
    EXPECT_EQ(texts.GetText(0), "Hello");
}

TEST(AppLangHandl, FaultyNumberEndsTheSelectionAndKeepsTheTextsInUse) {
    // A switch of language is all or nothing: the window never shows half a language.
    TAppLangHandler texts = Opened("[EN]\r\n0=Hello\r\n[##]\r\n"
                                   "[DE]\r\n0=Hallo\r\n"
                                   "x1=bad\r\n"
                                   "2=danach\r\n[##]\r\n");
    ASSERT_TRUE(texts.SelectLanguage("EN"));
    try {
        texts.SelectLanguage("DE");
        FAIL() << "no conversion error";
    } catch (const TConvertError& e) {
        EXPECT_STREQ(e.what(), "'x1' is not a valid integer value");
    }
    EXPECT_EQ(texts.GetText(0), "Hello");
    EXPECT_EQ(texts.GetText(2), "????");

    // An empty line has an empty number; before any selection nothing is shown half.
    TAppLangHandler empty = Opened("[EN]\r\n0=Hello\r\n\r\n1=x\r\n[##]\r\n");
    EXPECT_THROW(empty.SelectLanguage("EN"), TConvertError);
    EXPECT_FALSE(empty.HasTexts());
    EXPECT_EQ(empty.GetText(0), "????");
}

TEST(AppLangHandl, HostileNumbersAreSkippedWithoutHugeAllocations) {
    // Numbers far beyond the program's texts would otherwise make the text vector reserve
    // gigabytes; negative ones have no slot.
    TAppLangHandler texts = Opened("[EN]\r\n"
                                   "2147483637=huge\r\n"
                                   "99999999=big\r\n"
                                   "-5=negative\r\n"
                                   "65535=last kept\r\n"
                                   "65536=skipped\r\n"
                                   "1=one\r\n[##]\r\n");
    ASSERT_TRUE(texts.SelectLanguage("EN"));
    EXPECT_EQ(texts.GetText(1), "one");
    EXPECT_EQ(texts.GetText(65535), "last kept");
    EXPECT_EQ(texts.GetText(65536), "????");
    EXPECT_EQ(texts.GetText(99999999), "????");
    EXPECT_EQ(texts.GetText(-5), "????");
}

// ---- Opening ----

TEST(AppLangHandl, DamagedDatabasesAreRefused) {
    const std::string content = "[EN]\r\n0=Hello\r\n[##]\r\n";
    const byteArray good = TextDbFromContent(content);

    byteArray wrongChecksum = ScrambleBytes(good);
    wrongChecksum[wrongChecksum.size() - 2] ^= 0x55;
    byteArray wrongMarker = ScrambleBytes(good);
    wrongMarker[0] = 205;
    // A coded file written for lines, whose checksum is not zero, has no terminator.
    TStrVector lines;
    lines.Add("[EN]");
    lines.Add("0=Hello");
    lines.Add("[##]");
    const byteArray unterminated = EncodeLines(lines);
    ASSERT_NE(ScrambleBytes(unterminated).back(), 0);

    // Each says what is wrong, for the message that ends the program.
    const std::vector<std::pair<byteArray, std::string>> cases{
        {{}, "the file is empty"},
        {ScrambleBytes({0}), "the file is damaged (it is cut short)"},
        {ScrambleBytes({kCodedMarker, 0}), "the file is damaged (it is cut short)"},
        {ScrambleBytes(wrongChecksum), "the file is damaged (wrong checksum)"},
        {ScrambleBytes(wrongMarker), "the file is damaged (wrong start mark)"},
        {unterminated, "the file is damaged (it has no end mark)"},
    };
    for (const auto& [stored, problem] : cases) {
        TAppLangHandler texts;
        EXPECT_FALSE(texts.OpenTextDbBytes(stored)) << problem;
        EXPECT_EQ(texts.Problem(), problem);
        EXPECT_FALSE(texts.SelectLanguage("EN")) << problem;
    }
    TAppLangHandler texts;
    EXPECT_TRUE(texts.OpenTextDbBytes(good));
}

TEST(AppLangHandl, OnlyTheLastZeroByteIsTheTerminator) {
    // A content whose checksum byte is itself zero: the database still opens.
    std::string content;
    for (int c = 32; c < 256 && content.empty(); ++c)
        for (int d = 32; d < 256; ++d) {
            const std::string candidate = std::string("[EN]\r\n1=") + static_cast<char>(c) +
                                          static_cast<char>(d) + "\r\n[##]\r\n";
            std::uint8_t x = kCodedMarker;
            for (const char b : candidate)
                x ^= static_cast<std::uint8_t>(b);
            if (x == 0) {
                content = candidate;
                break;
            }
        }
    ASSERT_FALSE(content.empty());
    TAppLangHandler texts = Opened(content);
    ASSERT_TRUE(texts.SelectLanguage("EN"));
    EXPECT_EQ(texts.GetText(1), content.substr(8, 2));

    // Bytes after the terminator are cut away with it.
    byteArray plain = ScrambleBytes(TextDbFromContent("[EN]\r\n1=x\r\n[##]\r\n"));
    plain.push_back('!');
    plain.push_back('?');
    TAppLangHandler trailing;
    ASSERT_TRUE(trailing.OpenTextDbBytes(ScrambleBytes(plain)));
    ASSERT_TRUE(trailing.SelectLanguage("EN"));
    EXPECT_EQ(trailing.GetText(1), "x");
}

TEST(AppLangHandl, MissingFileWarnsTheOwner) {
    test::TempDir dir;
    const std::string path = JoinPath(dir.path().string(), kTextDbName);
    RecordingSink sink;
    TAppLangHandler texts;
    EXPECT_FALSE(texts.OpenTextDb(path, "Lexaro", &sink));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].caption, "Lexaro");
    EXPECT_EQ(sink.shown[0].text, "text.db - Dosn't exists  ");
    EXPECT_EQ(sink.shown[0].icon, IMessageSink::Icon::Warning);
    EXPECT_FALSE(texts.OpenTextDb(path, "Lexaro", nullptr));

    // An empty file is refused without a message of its own.
    ASSERT_TRUE(WriteWholeFile(path, {}, true));
    sink.shown.clear();
    EXPECT_FALSE(texts.OpenTextDb(path, "Lexaro", &sink));
    EXPECT_TRUE(sink.shown.empty());

    ASSERT_TRUE(WriteWholeFile(path, TextDbFromContent("[DE]\r\n0=Hallo\r\n[##]\r\n"), true));
    EXPECT_TRUE(texts.OpenTextDb(path, "Lexaro", &sink));
    ASSERT_TRUE(texts.SelectLanguage("DE"));
    EXPECT_EQ(texts.GetText(0), "Hallo");
}

} // namespace
} // namespace lexaro
