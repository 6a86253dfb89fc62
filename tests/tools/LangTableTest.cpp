// lexaro-lang's table module: reading a table, the model it builds, and export.
#include "LangTable.h"
#include "LangFileReport.h"

#include "data/Lesson.h"

#include <gtest/gtest.h>

namespace lexaro {
namespace {

TEST(ParseTsv, ReadsHeaderRowsAndDefaults) {
    // A byte-order mark, Windows line ends, a blank line and a last line without line end.
    const TTsvTable table = ParseTsv("\xEF\xBB\xBFLesson\ttext1\ttext2\tuse\r\n"
                                     "2\tthe door\tdie T\xC3\xBCr\r\n"
                                     "\r\n"
                                     "1\tat home\tzu Hause\t0\n"
                                     " 3 \ta\tb@c\ttrue\tyes\n"
                                     "1\tx\ty\t\t");
    EXPECT_TRUE(table.hasHeader);
    ASSERT_TRUE(table.problems.empty()) << table.problems[0].message;
    ASSERT_EQ(table.rows.size(), 4u);
    EXPECT_EQ(table.rows[0].line, 2);
    EXPECT_EQ(table.rows[0].lesson, 2);
    EXPECT_EQ(table.rows[0].text2, "die T\xFCr"); // Windows-1252
    EXPECT_TRUE(table.rows[0].use);
    EXPECT_FALSE(table.rows[0].drawn);
    EXPECT_EQ(table.rows[1].line, 4);
    EXPECT_FALSE(table.rows[1].use);
    EXPECT_EQ(table.rows[2].lesson, 3);
    EXPECT_EQ(table.rows[2].text2, "b@c"); // "@" is fine in the second language
    EXPECT_TRUE(table.rows[2].drawn);
    EXPECT_TRUE(table.rows[3].use); // empty cells take the defaults
    EXPECT_FALSE(table.rows[3].drawn);
}

TEST(ParseTsv, WithoutHeaderTheFirstRowIsData) {
    const TTsvTable table = ParseTsv("1\ta\tb\n");
    EXPECT_FALSE(table.hasHeader);
    ASSERT_EQ(table.rows.size(), 1u);
    EXPECT_EQ(table.rows[0].text1, "a");
}

TEST(ParseTsv, RowsTheFileCannotHoldAreReportedWithTheirLines) {
    struct Case {
        std::string row;
        std::string expected; // part of the message
    };
    const Case cases[] = {
        {"1\tthe cat \xD0\xBA\tdie Katze", "outside Windows-1252"},
        {"1\ta\t\xE2\x86\x92", "outside Windows-1252"},
        {"1\ta\xFF\tb", "not valid UTF-8"},
        {"1\tat@home\tzu Hause", "\"@\""},
        {"1\ta#b\tc", "\"#\""},
        {"1\ta\tc#", "\"#\""},
        {"1\ta\tb\t1\t0\textra", "too many columns"},
        {"1\t\"a\tb\"\tc", "text1: a tab cannot be stored"},
        {"1\ta\t\"b\"\"\tc\"", "text2: a tab cannot be stored"},
        {"1\ta\rb\tc", "line break"},
        {std::string("1\ta\0b\tc", 8), "zero"},
        {"x\ta\tb", "'x' is not a whole number"},
        {"0\ta\tb", "not between 1 and"},
        {"-3\ta\tb", "not between 1 and"},
        {"1000000\ta\tb", "not between 1 and"},
        {"99999999999\ta\tb", "not a whole number"},
        {"1\tonly two", "needs lesson, text1 and text2"},
        {"1\ta\tb\tmaybe", "use: 'maybe'"},
        {"1\ta\tb\t1\t2", "drawn: '2'"},
    };
    for (const auto& c : cases) {
        const TTsvTable table = ParseTsv("lesson\ttext1\ttext2\n1\tok\tgut\n" + c.row + "\n");
        ASSERT_EQ(table.problems.size(), 1u) << c.row;
        EXPECT_EQ(table.problems[0].line, 3) << c.row;
        EXPECT_NE(table.problems[0].message.find(c.expected), std::string::npos)
            << c.row << " -> " << table.problems[0].message;
        EXPECT_EQ(table.rows.size(), 1u) << c.row;
    }
}

TEST(ParseTsv, MessagesNameCharactersByCodeAndNeverEchoInvisibleOnes) {
    struct Case {
        std::string row;
        std::int32_t column;   // byte column of the character at fault; 0: the whole cell
        std::string expected;  // part of the message
        std::string invisible; // bytes the message must not hold
    };
    const Case cases[] = {
        // Characters that Windows-1252 has not: named by code, a visible one also shown.
        {"1\tsun \xE6\x97\xA5\tSonne", 7,
         "text1: U+65E5 \"\xE6\x97\xA5\" at byte column 7 is outside Windows-1252", ""},
        {"1\ta\xE2\x80\x8B"
         "b\tc",
         4, "text1: U+200B (zero width space, invisible) at byte column 4", "\xE2\x80\x8B"},
        {"1\ta\tb\xEF\xBB\xBF", 6, "text2: U+FEFF (byte-order mark, invisible)", "\xEF\xBB\xBF"},
        {"1\ta\xE2\x81\xA3\tc", 4, "U+2063 (invisible)", "\xE2\x81\xA3"},
        // Bytes that are not UTF-8 at all, in any cell.
        {"1\tbad\xFF\tq", 6, "text1: not valid UTF-8 at byte column 6 (byte 0xFF)", "\xFF"},
        {"1\ta\tb\xC3", 6, "text2: not valid UTF-8 at byte column 6 (byte 0xC3)", "\xC3"},
        {"1\xC0\x80\ta\tb", 2, "lesson: not valid UTF-8 at byte column 2", "\xC0"},
        {"1\ta\tb\t1\t\xED\xA0\x80", 9, "drawn: not valid UTF-8", "\xED"},
        // Cells repeated in a message show invisible characters by code.
        {"\xEF\xBB\xBF"
         "1\ta\tb",
         0, "lesson: '<U+FEFF>1' is not a whole number", "\xEF\xBB\xBF"},
        {"1\x01\ta\tb", 0, "lesson: '1<U+0001>' is not a whole number", "\x01"},
        {"1\ta\tb\t\x1B[2J", 0, "use: '<U+001B>[2J' is not", "\x1B"},
        {"1\ta\tb\t1\tj\xC2\xA0", 0, "drawn: 'j<U+00A0>' is not", "\xC2\xA0"},
    };
    for (const auto& c : cases) {
        const TTsvTable table = ParseTsv("lesson\ttext1\ttext2\n" + c.row + "\n");
        ASSERT_EQ(table.problems.size(), 1u) << c.row;
        const TTsvProblem& problem = table.problems[0];
        EXPECT_EQ(problem.line, 2) << c.row;
        EXPECT_EQ(problem.column, c.column) << c.row;
        EXPECT_NE(problem.message.find(c.expected), std::string::npos)
            << c.row << " -> " << problem.message;
        if (!c.invisible.empty()) {
            EXPECT_EQ(problem.message.find(c.invisible), std::string::npos) << problem.message;
        }
    }
    // The byte column counts from the start of the line in the file, a byte-order mark too.
    const TTsvTable marked = ParseTsv("\xEF\xBB\xBF"
                                      "1\ta\xFF\tb\n");
    ASSERT_EQ(marked.problems.size(), 1u);
    EXPECT_EQ(marked.problems[0].column, 7);
}

TEST(ParseTsv, ALongCellIsShortenedInTheMessage) {
    const TTsvTable table = ParseTsv(std::string(5000, 'x') + "\ta\tb\n");
    ASSERT_EQ(table.problems.size(), 1u);
    EXPECT_LT(table.problems[0].message.size(), 200u) << table.problems[0].message;
    EXPECT_NE(table.problems[0].message.find("xxx...' is not a whole number"), std::string::npos)
        << table.problems[0].message;
}

TEST(ParseTsv, OverlongTextsAreRefused) {
    const TTsvTable table = ParseTsv("1\t" + std::string(40000, 'a') + "\t" +
                                     std::string(40000, 'b') + "\n1\tsmall\tklein\n");
    ASSERT_EQ(table.problems.size(), 1u);
    EXPECT_EQ(table.problems[0].line, 1);
    EXPECT_EQ(table.rows.size(), 1u);
}

TEST(ParseTsv, ALessonTakesNoMorePairsThanAFileCanNumber) {
    // Pair numbers run from 0 to kMaxSlotNumber. Rows past them found no slot and were lost
    // on the way to the file, while import said they were written.
    constexpr std::int32_t kFull = kMaxSlotNumber + 1;
    std::string text;
    text.reserve(static_cast<std::size_t>(kFull + 4) * 8);
    text += "lesson\ttext1\ttext2\n8\ta\tb\n";
    for (std::int32_t i = 0; i < kFull + 2; ++i)
        text += "7\tx\ty\n";
    text += "8\tc\td\n";
    const TTsvTable table = ParseTsv(text);
    ASSERT_EQ(table.problems.size(), 1u);
    const TTsvProblem& problem = table.problems[0];
    EXPECT_EQ(problem.line, 3 + kFull); // the first row with no number left
    EXPECT_EQ(problem.rows, 2);         // it and the one after it
    EXPECT_NE(problem.message.find("lesson 7 "), std::string::npos) << problem.message;
    EXPECT_NE(problem.message.find(std::to_string(kFull)), std::string::npos) << problem.message;
    EXPECT_EQ(table.rows.size(), static_cast<std::size_t>(kFull) + 2); // lesson 8 goes on
}

// A first row that names two languages, in any script, is a header; one language named twice
// ("Deutsch", "German") or a Chinese word beside a Cantonese one are a pair to learn.
TEST(NamesColumns, LanguagesInAnyScriptMakeAHeader) {
    const struct {
        const char* front;
        const char* back;
        bool header;
    } cases[] = {
        {"English", "Deutsch", true},  {"日本語", "English", true}, {"العربية", "Deutsch", true},
        {"ไทย", "हिन्दी", true},        {"中文", "粵語", true},      {"Deutsch", "German", false},
        {"日本語", "Japanese", false}, {"日本語", "ねこ", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NamesColumns(c.front, c.back), c.header) << c.front << " / " << c.back;
}

TEST(LanguageName, RefusesWhatTheNamesLineCannotCarry) {
    struct Case {
        const char* name;
        bool language2;
        bool ok;
    };
    const Case cases[] = {
        {"Deutsch", false, true},
        {"Fran\xC3\xA7"
         "ais",
         true, true},
        {"", false, false},
        {"a@b", false, false},
        {"a@b", true, false},
        {"[1]", false, false}, // would be read back as a lesson header
        {"[1]", true, true},
        {"\xD0\xA0\xD1\x83", false, false}, // Cyrillic
        {"a\nb", true, false},
    };
    for (const auto& c : cases) {
        std::string cp1252;
        EXPECT_EQ(LanguageNameProblem(c.name, c.language2, cp1252).empty(), c.ok) << c.name;
    }
}

TEST(LanguageName, NamesTheCharacterItCannotStore) {
    struct Case {
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "U+65E5 \"\xE6\x97\xA5\" is outside Windows-1252"},
        {"Deutsch\xE2\x80\x8B", "U+200B (zero width space, invisible) is outside"},
        {"Engl\xFFsh", "not valid UTF-8 at byte 5 (byte 0xFF)"},
    };
    for (const auto& c : cases) {
        std::string cp1252;
        const std::string problem = LanguageNameProblem(c.name, true, cp1252);
        EXPECT_NE(problem.find(c.expected), std::string::npos) << c.name << " -> " << problem;
    }
}

TEST(BuildModel, PairsGoIntoTheirLessonsInRowOrder) {
    const TTsvTable table = ParseTsv("2\tb0\tB0\n1\ta0\tA0\t0\n2\tb1\tB1\t1\t1\n2\tb2\tB2\t0\t1\n");
    ASSERT_TRUE(table.problems.empty());
    TLangFHandler model;
    BuildModel(table.rows, "English", "Deutsch", model);
    EXPECT_EQ(model.GetLang1Name(), "English");
    EXPECT_EQ(model.SlotCount(), 3);
    EXPECT_FALSE(model.LessonAt(0));
    const auto lesson2 = model.LessonAt(2);
    ASSERT_TRUE(lesson2);
    ASSERT_EQ(lesson2->PairCount(), 3);
    for (std::int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(lesson2->PairAt(i)->id, i);
        EXPECT_EQ(lesson2->PairAt(i)->text1, "b" + std::to_string(i));
    }
    EXPECT_TRUE(lesson2->PairAt(1)->drawn);
    // The stored line cannot say "drawn" without "use".
    EXPECT_FALSE(lesson2->PairAt(2)->use);
    EXPECT_FALSE(lesson2->PairAt(2)->drawn);
    EXPECT_FALSE(model.LessonAt(1)->PairAt(0)->use);
}

TEST(BuildModel, SaysWhenARowFindsNoPlace) {
    // Rows that ParseTsv did not make: a lesson number that a file cannot hold.
    std::vector<TTsvRow> rows(2);
    rows[0].lesson = 1;
    rows[1].lesson = kMaxSlotNumber + 1;
    TLangFHandler model;
    EXPECT_FALSE(BuildModel(rows, "E", "D", model));
    rows.pop_back();
    EXPECT_TRUE(BuildModel(rows, "E", "D", model));
}

TEST(ExportTsv, ImportedFileExportsTheSameTableInUtf8) {
    const std::string tsv = "lesson\ttext1\ttext2\tuse\tdrawn\n"
                            "1\tthe door\tdie T\xC3\xBCr\t1\t0\n"
                            "1\tgreat \xE2\x82\xAC\tgro\xC3\x9F"
                            "er Euro\t0\t0\n"
                            // A text in quotes: quoted again, so that it reads back as it is.
                            "4\t\"\"\"quoted\"\"\"\tend*\t1\t1\n";
    const TTsvTable table = ParseTsv(tsv);
    ASSERT_TRUE(table.problems.empty());
    TLangFHandler model;
    BuildModel(table.rows, "English", "Deutsch", model);
    const byteArray stored = model.SaveBytes();
    ASSERT_FALSE(stored.empty());

    TLangFHandler loaded;
    TLangFileReport report;
    ASSERT_TRUE(LoadLangBytes(stored, loaded, report));
    EXPECT_TRUE(report.hasGeneral);
    std::vector<std::string> problems;
    EXPECT_EQ(ExportTsv(loaded, problems), tsv);
    EXPECT_TRUE(problems.empty());
}

TEST(ExportTsv, TextWithTabIsReportedNotWritten) {
    TLangFHandler model;
    TLesson lesson;
    ASSERT_TRUE(model.PutLesson(std::make_shared<TLesson>()));
    auto pair = model.LessonAt(0)->NewPair(-1);
    pair->text1 = "a\tb";
    std::vector<std::string> problems;
    const std::string table = ExportTsv(model, problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("lesson 0, pair 1"), std::string::npos);
    EXPECT_EQ(table.find("a\tb"), std::string::npos);
}

} // namespace
} // namespace lexaro
