// lexaro-lang's module: the table reader, the model it builds, export, the explained load
// and the command line run in process.
#include "LangTool.h"

#include "data/FileUtil.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <sstream>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

using test::CodedFile;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteBytes;
using test::WriteFileBytes;

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

TEST(ParseTsv, OverlongTextsAreRefused) {
    const TTsvTable table = ParseTsv("1\t" + std::string(40000, 'a') + "\t" +
                                     std::string(40000, 'b') + "\n1\tsmall\tklein\n");
    ASSERT_EQ(table.problems.size(), 1u);
    EXPECT_EQ(table.problems[0].line, 1);
    EXPECT_EQ(table.rows.size(), 1u);
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

TEST(ExportTsv, ImportedFileExportsTheSameTableInUtf8) {
    const std::string tsv = "lesson\ttext1\ttext2\tuse\tdrawn\n"
                            "1\tthe door\tdie T\xC3\xBCr\t1\t0\n"
                            "1\tgreat \xE2\x82\xAC\tgro\xC3\x9F"
                            "er Euro\t0\t0\n"
                            "4\t\"quoted\"\tend*\t1\t1\n";
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

TEST(LoadLangBytes, ExplainsEveryKindOfDamage) {
    byteArray good = CodedFile({"[General]", "a@b", "[1]", "0=x@y#"});
    byteArray badChecksum = good;
    badChecksum[5] ^= 0x20;
    byteArray badMarker = good;
    badMarker[0] ^= 0x01;
    struct Case {
        byteArray stored;
        DecodeFault fault;
    };
    const Case cases[] = {{{}, DecodeFault::TooShort},
                          {{0xCD}, DecodeFault::TooShort},
                          {badMarker, DecodeFault::WrongMarker},
                          {badChecksum, DecodeFault::WrongChecksum},
                          {good, DecodeFault::None}};
    for (const auto& c : cases) {
        TLangFHandler model;
        TLangFileReport report;
        EXPECT_EQ(LoadLangBytes(c.stored, model, report), c.fault == DecodeFault::None);
        EXPECT_EQ(report.fault, c.fault);
        EXPECT_FALSE(DescribeFault(c.fault).empty());
    }
}

TEST(LoadLangBytes, FindsTheLineOfABadNumber) {
    struct Case {
        byteArray stored;
        std::int32_t line;
        std::string text;
    };
    const Case cases[] = {
        {CodedFile({"[General]", "a@b", "[1]", "0=x@y#", "[z]", "0=q@r#"}), 5, "[z]"},
        {CodedFile({"[General]", "a@b", "[1]", "0=x@y#", "1a=x@y#"}), 5, "1a=x@y#"},
        // Lines before "[General]" are not read, so the bad header there is not the fault.
        {CodedFile({"[x]", "[General]", "a@b", "[2]", "=y#"}), 5, "=y#"},
    };
    for (const auto& c : cases) {
        TLangFHandler model;
        TLangFileReport report;
        EXPECT_FALSE(LoadLangBytes(c.stored, model, report));
        EXPECT_TRUE(report.convertFailed);
        EXPECT_EQ(report.badLine, c.line);
        EXPECT_EQ(report.badLineText, c.text);
        EXPECT_NE(report.convertMessage.find("is not a valid integer value"), std::string::npos);
    }
}

// The command line in process: what the user sees and what is written.
class LangToolRun : public ::testing::Test {
protected:
    int Run(std::vector<std::string> args) {
        out.str({});
        err.str({});
        return RunLangTool(args, out, err);
    }
    std::ostringstream out;
    std::ostringstream err;
    TempDir dir{"lexaro_langtool_"};
};

TEST_F(LangToolRun, BadUsageGivesStatus2AndTheUsage) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate", "x"},
        {"check"},
        {"check", "a", "b"},
        {"check", "a", "--force"},
        {"dump", "a", "--lang1", "x"},
        {"import", "a.tsv", "b.lang", "--lang1", "E"},
        {"import", "a.tsv", "b.lang", "--lang1", "E", "--lang2"},
        {"import", "a.tsv", "--lang1", "E", "--lang2", "D"},
        {"import", "a.tsv", "b.lang", "--lang1", "E", "--lang1", "F", "--lang2", "D"},
        {"import", "a.tsv", "b.lang", "--lang1", "E", "--lang2", "D", "--overwrite"},
    };
    for (const auto& args : cases) {
        EXPECT_EQ(Run(args), kLangToolUsage) << (args.empty() ? "" : args[0]);
        EXPECT_NE(err.str().find("usage:"), std::string::npos);
        EXPECT_TRUE(out.str().empty());
    }
    for (const char* help : {"--help", "-h"}) {
        EXPECT_EQ(Run({"import", help}), kLangToolOk);
        EXPECT_NE(out.str().find("lexaro-lang import TSV OUT"), std::string::npos);
    }
}

TEST_F(LangToolRun, ImportRefusesBadRowsAndWritesNothing) {
    const std::string tsv = dir.file("in.tsv");
    const std::string lang = dir.file("out.lang");
    WriteFileBytes(tsv, "lesson\ttext1\ttext2\n1\tgood\tgut\n1\ta@b\tc\n0\tzero\tnull\n");
    EXPECT_EQ(Run({"import", tsv, lang, "--lang1", "English", "--lang2", "Deutsch"}),
              kLangToolBadData);
    EXPECT_FALSE(CheckFileExists(lang));
    EXPECT_NE(err.str().find("in.tsv:3: text1"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("in.tsv:4: lesson"), std::string::npos) << err.str();

    // --skip-bad writes the good row and still lists the bad ones.
    EXPECT_EQ(Run({"import", tsv, lang, "--skip-bad", "--lang1=English", "--lang2=Deutsch"}),
              kLangToolOk);
    EXPECT_NE(err.str().find("in.tsv:3:"), std::string::npos);
    EXPECT_NE(out.str().find("1 pair(s) in 1 lesson(s), 2 bad row(s) left out"), std::string::npos)
        << out.str();
    TLangFHandler model;
    ASSERT_TRUE(model.Load(lang));
    EXPECT_EQ(model.LessonAt(1)->PairCount(), 1);
}

TEST_F(LangToolRun, ImportRefusesBadNamesEmptyTablesAndExistingFiles) {
    const std::string tsv = dir.file("in.tsv");
    const std::string lang = dir.file("out.lang");
    WriteFileBytes(tsv, "1\tdog\tHund\n");
    EXPECT_EQ(Run({"import", tsv, lang, "--lang1", "Eng@lish", "--lang2", "D", "--skip-bad"}),
              kLangToolBadData);
    EXPECT_NE(err.str().find("--lang1:"), std::string::npos);
    EXPECT_FALSE(CheckFileExists(lang));

    WriteFileBytes(dir.file("empty.tsv"), "lesson\ttext1\ttext2\n\n");
    EXPECT_EQ(Run({"import", dir.file("empty.tsv"), lang, "--lang1", "E", "--lang2", "D"}),
              kLangToolBadData);
    EXPECT_NE(err.str().find("no word pair"), std::string::npos);
    EXPECT_FALSE(CheckFileExists(lang));

    EXPECT_EQ(Run({"import", dir.file("missing.tsv"), lang, "--lang1", "E", "--lang2", "D"}),
              kLangToolBadData);

    WriteFileBytes(lang, "precious");
    EXPECT_EQ(Run({"import", tsv, lang, "--lang1", "E", "--lang2", "D"}), kLangToolBadData);
    EXPECT_NE(err.str().find("--force"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(lang), "precious");
    EXPECT_EQ(Run({"import", tsv, lang, "--lang1", "E", "--lang2", "D", "--force"}), kLangToolOk);
    TLangFHandler model;
    EXPECT_TRUE(model.Load(lang));
}

TEST_F(LangToolRun, CheckReportsContentsOrOneClearLine) {
    const std::string lang = dir.file("a.lang");
    // A negative pair number is skipped by the reader and counted.
    WriteBytes(lang, CodedFile({"[General]",
                                "English@Fran\xE7"
                                "ais",
                                "[1]", "0=dog@chien#*", "1=cat@chat#\xA7", "-1=x@y#", "[2]", "[3]",
                                "0=a@b#", "[7]", "0=c@d#"}));
    EXPECT_EQ(Run({"check", lang}), kLangToolOk) << err.str();
    const std::string report = out.str();
    for (const char* part : {"valid language file", "English",
                             "Fran\xC3\xA7"
                             "ais",
                             "lessons:       4 (1-3, 7)", "pairs:         4", "pairs in use:  2",
                             "pairs drawn:   1", "lines skipped: 1"})
        EXPECT_NE(report.find(part), std::string::npos) << part << "\n" << report;

    struct Case {
        byteArray stored;
        std::string expected;
    };
    byteArray damaged = CodedFile({"[General]", "a@b", "[1]", "0=x@y#"});
    damaged[3] ^= 1;
    const Case cases[] = {
        {{}, "too short"},
        {{0x00, 0x01, 0x02}, "wrong marker"},
        {damaged, "wrong checksum"},
        {CodedFile({"[General]", "a@b", "[1]", "0=x@y#", "[1x]"}),
         "line 5: '1x' is not a valid integer value"},
        {CodedFile({"just", "lines"}), "no \"[General]\" line"},
    };
    for (const auto& c : cases) {
        WriteBytes(lang, c.stored);
        EXPECT_EQ(Run({"check", lang}), kLangToolBadData);
        EXPECT_TRUE(out.str().empty());
        EXPECT_NE(err.str().find(c.expected), std::string::npos) << err.str();
        const std::string message = err.str();
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    }
    EXPECT_EQ(Run({"check", dir.file("missing.lang")}), kLangToolBadData);
    EXPECT_NE(err.str().find("does not exist"), std::string::npos);
}

TEST_F(LangToolRun, DumpShowsLinesInUtf8WithControlsEscaped) {
    const std::string lang = dir.file("a.lang");
    WriteBytes(lang, CodedFile({"[General]", "a@b", "0=T\xFCr\x1B[2J@x#\xA7"}));
    EXPECT_EQ(Run({"dump", lang}), kLangToolOk);
    EXPECT_EQ(out.str(), "[General]\na@b\n0=T\xC3\xBCr\\x1B[2J@x#\xC2\xA7\n");
    WriteBytes(lang, {0xCD});
    EXPECT_EQ(Run({"dump", lang}), kLangToolBadData);
    EXPECT_NE(err.str().find("too short"), std::string::npos);
}

TEST_F(LangToolRun, ExportRefusesDamagedFiles) {
    const std::string lang = dir.file("a.lang");
    WriteBytes(lang, CodedFile({"[General]", "a@b", "[1]", "0=x@y#", "z=q@r#"}));
    EXPECT_EQ(Run({"export", lang}), kLangToolBadData);
    EXPECT_TRUE(out.str().empty());
    EXPECT_NE(err.str().find("line 5"), std::string::npos);
}

} // namespace
} // namespace lexaro
