// The sources of lexaro-lang import other than its own table: KVTML 2 and flashcard text
// exports, their detection, the placing of their lessons and the doubles within a lesson.
#include "LangImport.h"

#include "LangTool.h"

#include "data/Charset.h"
#include "data/FileUtil.h"
#include "data/LangFHandler.h"
#include "support/TestFiles.h"

#include <cstdlib>
#include <sstream>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

std::string Sample(const std::string& name) {
    const char* data = std::getenv("LEXARO_TEST_DATA");
    return test::ReadFileBytes(std::string(data ? data : ".") + "/samples/" + name);
}

std::string SamplePath(const std::string& name) {
    const char* data = std::getenv("LEXARO_TEST_DATA");
    return std::string(data ? data : ".") + "/samples/" + name;
}

struct TPair {
    std::int32_t lesson;
    std::string text1, text2;
    bool use;
    bool operator==(const TPair&) const = default;
};

std::vector<TPair> Pairs(const TImportSource& source) {
    std::vector<TPair> pairs;
    for (const auto& row : source.rows)
        pairs.push_back({row.lesson, row.text1, row.text2, row.use});
    return pairs;
}

std::vector<std::string> Problems(const TImportSource& source) {
    std::vector<std::string> out;
    for (const auto& p : source.problems)
        out.push_back(std::to_string(p.line) + ": " + p.message);
    return out;
}

TEST(ImportFormat, IsDetectedFromTheContent) {
    const std::pair<std::string, TImportFormat> cases[] = {
        {"<?xml version=\"1.0\"?><kvtml/>", TImportFormat::Kvtml},
        {"\xEF\xBB\xBF  \n<kvtml version=\"2.0\"/>", TImportFormat::Kvtml},
        {std::string("\xFF\xFE<\0k\0", 6), TImportFormat::Kvtml},
        {"lesson\ttext1\ttext2\n", TImportFormat::Table},
        {"\n1\tdog\tHund\n2\tcat\tKatze\t1\t0\n", TImportFormat::Table},
        {"#separator:tab\n1\tdog\tHund\n", TImportFormat::Flashcards},
        {"dog\tHund\n", TImportFormat::Flashcards},
        {"1\tdog\tHund\ncat\tKatze\n", TImportFormat::Flashcards},
        {"la casa;the house\n", TImportFormat::Flashcards},
    };
    for (const auto& [content, format] : cases)
        EXPECT_EQ(DetectFormat(content), format) << content;
    EXPECT_EQ(FormatFromName("KVTML"), TImportFormat::Kvtml);
    EXPECT_EQ(FormatFromName("tsv"), TImportFormat::Table);
    EXPECT_FALSE(FormatFromName("csv").has_value());
}

TEST(KvtmlImport, ReadsEntriesLessonsAndLanguageNames) {
    const TImportSource source = ReadKvtmlSource(Sample("animals.kvtml"));
    EXPECT_TRUE(source.problems.empty()) << Problems(source)[0];
    EXPECT_EQ(source.lang1, "English");
    EXPECT_EQ(source.lang2, "Deutsch");
    // Nested containers are lessons of their own; entries in none go into one more lesson.
    EXPECT_EQ(source.lessonNames, (std::vector<std::string>{"Animals", "Animals / Birds", "Food",
                                                            "(entries in no lesson)"}));
    EXPECT_EQ(Pairs(source), (std::vector<TPair>{
                                 {1, "the dog", "der Hund", true},
                                 {1, "the cat", "die Katze", true},
                                 {2, "the bird", "der Vogel", true},
                                 {3, "the <green> apple", "der gr\xFCne Apfel", true},
                                 {3, "bread & butter", "Butterbrot", false},
                                 {4, "the water", "das Wasser", true},
                             }));
    EXPECT_EQ(source.rows[0].line, 20);
    EXPECT_EQ(source.rows[0].origin, "entry 0");
}

TEST(KvtmlImport, SaysWhatCannotBeStoredWithEntryAndLine) {
    const TImportSource source = ReadKvtmlSource(Sample("broken.kvtml"));
    EXPECT_EQ(Problems(source),
              (std::vector<std::string>{
                  "9: entry 1, translation 1: U+65E5 \"\xE6\x97\xA5\" is outside Windows-1252 and "
                  "cannot be stored",
                  "13: entry 2, translation 0: \"@\" cannot be stored in the first language's text",
                  "17: entry 3, translation 1: there is no text",
                  "29: lesson \"Numbers\" names entry 9, which the file does not hold",
              }));
    EXPECT_EQ(Pairs(source),
              (std::vector<TPair>{{1, "one", "eins", true}, {1, "ONE", "EINS", true}}));
    EXPECT_EQ(source.lessonNames.size(), 1u) << "the entries in no lesson could not be stored";

    // What the whole file is, when nothing of it can be taken.
    const std::pair<std::string, std::string> files[] = {
        {"<kvtml><entries>", "not well-formed XML at line 1: "},
        {"<?xml version=\"1.0\"?>\n<vocabulary/>",
         "not a KVTML file: the document is <vocabulary>, not <kvtml>"},
        {"<kvtml version=\"3.0\"/>", "KVTML version 3.0 is not read, only version 2"},
        {"<kvtml version=\"2.0\">\n<entries/></kvtml>", "the file holds no entries"},
    };
    for (const auto& [xml, fault] : files) {
        const TImportSource source = ReadKvtmlSource(xml);
        EXPECT_EQ(source.fault.substr(0, fault.size()), fault) << xml;
        EXPECT_TRUE(source.rows.empty() && source.problems.empty()) << xml;
    }
    EXPECT_EQ(Problems(ReadKvtmlSource(
                  "<kvtml><entries><entry id=\"1\"/><entry id=\"1\"/></entries></kvtml>"))[0],
              "1: entry 1, translation 0: there is no text");
}

TEST(FlashcardImport, ReadsHeadersDecksQuotesAndHtml) {
    const TImportSource source = ReadFlashcardSource(Sample("cards-tab.txt"));
    EXPECT_TRUE(source.problems.empty()) << Problems(source)[0];
    EXPECT_EQ(source.lessonNames, (std::vector<std::string>{"Home::Rooms", "Verbs"}));
    EXPECT_EQ(Pairs(source), (std::vector<TPair>{
                                 {1, "the house", "das Haus", true},
                                 {1, "the kitchen",
                                  "die K\xFC"
                                  "che",
                                  true},
                                 {2, "to say \"hello\"", "hallo sagen", true},
                                 {1, "the garden", "der Garten", true},
                             }));
    EXPECT_EQ(source.rows[3].line, 9);

    const TImportSource plain = ReadFlashcardSource(Sample("cards-semicolon.txt"));
    EXPECT_FALSE(plain.hasLessons);
    EXPECT_EQ(Problems(plain), (std::vector<std::string>{
                                   "6: a note needs a front and a back separated by semicolons"}));
    EXPECT_EQ(Pairs(plain), (std::vector<TPair>{{0, "la casa", "the house", true},
                                                {0, "el perro", "the dog; a friend", true},
                                                {0, "el gato", "the cat", true}}));
}

TEST(FlashcardImport, FieldsAsTheHeadersSay) {
    struct Case {
        std::string text;
        std::vector<std::string> fronts; // then the problems
        std::vector<std::string> problems;
    };
    const Case cases[] = {
        // Without HTML a field is taken as it stands (sound references aside).
        {"#html:false\n<b>a</b> &amp; b\tx\n", {"<b>a</b> &amp; b"}, {}},
        // Tags that break text become one blank; entities and no-break spaces are decoded.
        {"a<br/>b<div>c</div>&nbsp;&nbsp;d&#233;&#xE9;&bogus; <i>e</i>f\tx\n",
         {"a b c d\xE9\xE9&bogus; ef"},
         {}},
        {"#separator:Pipe\n#guid column:1\nid1|front|back\n", {"front"}, {}},
        // Media references go, also those that others enclosed.
        {"#html:false\n[so[sound:a.mp3]und:b.mp3]word\tx\n", {"word"}, {}},
        {"#separator:,\n\"a,b\",c\n", {"a,b"}, {}},
        {"#separator:nothing\na\tb\n",
         {},
         {"1: #separator: 'nothing' is not tab, semicolon, "
          "comma, space, pipe, colon or one character"}},
        {"#html:maybe\na\tb\n", {}, {"1: #html: 'maybe' is not true or false"}},
        {"#html:false\n\"two\nlines\"\tx\nok\ty\n",
         {"ok"},
         {"2: front: a line break cannot be stored in a word pair (the note takes lines 2 to 3)"}},
        {"a\t\"never closed\nb\tc\n",
         {"b"},
         {"1: a field's opening quote is never closed; the line is left out"}},
        {"a#b\tx\n", {}, {"1: front: \"#\" cannot be stored in a word pair"}},
    };
    for (const auto& c : cases) {
        const TImportSource source = ReadFlashcardSource(c.text);
        std::vector<std::string> fronts;
        for (const auto& row : source.rows)
            fronts.push_back(row.text1);
        EXPECT_EQ(fronts, c.fronts) << c.text;
        EXPECT_EQ(Problems(source), c.problems) << c.text;
    }
}

TEST(ImportPlacing, LessonsDoublesAndFullLessons) {
    TImportSource source = ReadFlashcardSource("one\teins\nOne\tEins\n\xC3\x89t\xC3\xA9\tSommer\n"
                                               "\xC3\xA9T\xC3\x89\tx\n");
    PlaceRows(source, std::nullopt);
    for (const auto& row : source.rows)
        EXPECT_EQ(row.lesson, 1) << "a flat source goes into lesson 1";
    // Case is ignored for accented letters too, and only within a lesson.
    const auto doubles = FindDoubles(source.rows);
    ASSERT_EQ(doubles.size(), 2u);
    EXPECT_EQ(doubles[0].row, 1u);
    EXPECT_EQ(doubles[0].first, 0u);
    EXPECT_EQ(doubles[1].row, 3u);
    source.rows[3].lesson = 2;
    EXPECT_EQ(FindDoubles(source.rows).size(), 1u);
    EXPECT_EQ(DropDoubles(source.rows), 1u);
    EXPECT_EQ(source.rows.size(), 3u);
    EXPECT_EQ(source.rows[0].text1, "one") << "a row that stays in place keeps its texts";
    EXPECT_EQ(source.rows[0].text2, "eins");
    EXPECT_EQ(source.rows[1].text1, "\xC9t\xE9");

    // --lesson puts a source with lessons into one lesson, which holds at most 1,000,000 pairs.
    TImportSource decks = ReadFlashcardSource(Sample("cards-tab.txt"));
    PlaceRows(decks, 5);
    for (const auto& row : decks.rows)
        EXPECT_EQ(row.lesson, 5);
    TImportSource many;
    many.rows.resize(kMaxPairsPerLesson + 2);
    PlaceRows(many, 3);
    EXPECT_EQ(many.rows.size(), static_cast<std::size_t>(kMaxPairsPerLesson));
    ASSERT_EQ(many.problems.size(), 1u);
    EXPECT_EQ(many.problems[0].rows, 2);
}

class ImportCommand : public ::testing::Test {
protected:
    int Run(std::vector<std::string> args) {
        out.str({});
        err.str({});
        return RunLangTool(args, out, err);
    }
    std::ostringstream out, err;
    test::TempDir dir{"lexaro_import_"};
};

TEST_F(ImportCommand, KvtmlNamesItsLanguagesAndTheLessonsAreShown) {
    const std::string lang = dir.file("animals.lang");
    ASSERT_EQ(Run({"import", SamplePath("animals.kvtml"), lang}), kLangToolOk) << err.str();
    EXPECT_EQ(out.str(), lang + ": 6 pair(s) in 4 lesson(s) from a KVTML file\n"
                                "  lesson 1: Animals (2 pair(s))\n"
                                "  lesson 2: Animals / Birds (1 pair(s))\n"
                                "  lesson 3: Food (2 pair(s))\n"
                                "  lesson 4: (entries in no lesson) (1 pair(s))\n");
    TLangFHandler model;
    ASSERT_TRUE(model.Load(lang));
    EXPECT_EQ(model.GetLang1Name(), "English");
    EXPECT_FALSE(model.LessonAt(3)->PairAt(1)->use) << "the deactivated entry";

    // Names given on the command line win; a flat source needs them.
    ASSERT_EQ(Run({"import", SamplePath("animals.kvtml"), lang, "--force", "--lang2", "German",
                   "--lesson", "9"}),
              kLangToolOk);
    EXPECT_EQ(out.str(), lang + ": 6 pair(s) in 1 lesson(s) from a KVTML file\n");
    ASSERT_TRUE(model.Load(lang));
    EXPECT_EQ(model.GetLang2Name(), "German");
    EXPECT_EQ(model.LessonAt(9)->PairCount(), 6);
    EXPECT_EQ(Run({"import", SamplePath("cards-tab.txt"), dir.file("x.lang"), "--lang1", "E"}),
              kLangToolUsage);
    EXPECT_NE(err.str().find("import needs --lang2 NAME"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"import", SamplePath("cards-tab.txt"), dir.file("x.lang"), "--lang1", "E",
                   "--lang2", "D", "--format", "csv"}),
              kLangToolUsage);
}

TEST_F(ImportCommand, BadItemsStopTheImportAndDoublesAreToldOrMerged) {
    const std::string lang = dir.file("numbers.lang");
    const std::vector<std::string> args = {
        "import", SamplePath("broken.kvtml"), lang, "--lang1", "English", "--lang2", "Deutsch"};
    EXPECT_EQ(Run(args), kLangToolBadData);
    EXPECT_NE(err.str().find("broken.kvtml:9: entry 1, translation 1: U+65E5"), std::string::npos)
        << err.str();
    EXPECT_NE(err.str().find(lang + ": not written (give --skip-bad"), std::string::npos);
    EXPECT_FALSE(CheckFileExists(lang));

    auto skipping = args;
    skipping.push_back("--skip-bad");
    ASSERT_EQ(Run(skipping), kLangToolOk) << err.str();
    EXPECT_NE(err.str().find("broken.kvtml:20: entry 4: lesson 1: \"ONE\" doubles the first "
                             "text of line 5 (entry 0)\n"),
              std::string::npos)
        << err.str();
    EXPECT_NE(out.str().find("2 pair(s) in 1 lesson(s) from a KVTML file, 4 bad item(s) left "
                             "out, 1 double(s) kept"),
              std::string::npos)
        << out.str();
    skipping.push_back("--merge");
    skipping.push_back("--force");
    ASSERT_EQ(Run(skipping), kLangToolOk) << err.str();
    EXPECT_NE(err.str().find("(entry 0); left out"), std::string::npos);
    TLangFHandler model;
    ASSERT_TRUE(model.Load(lang));
    EXPECT_EQ(model.LessonAt(1)->PairCount(), 1);

    // The content decides, not the name; --format overrides.
    const std::string table = dir.file("table.kvtml");
    test::WriteFileBytes(table, "1\tdog\tHund\n");
    EXPECT_EQ(Run({"import", table, dir.file("t.lang"), "--lang1", "E", "--lang2", "D"}),
              kLangToolOk);
    EXPECT_EQ(out.str(), dir.file("t.lang") + ": 1 pair(s) in 1 lesson(s) from a table\n");
    EXPECT_EQ(Run({"import", table, dir.file("t2.lang"), "--lang1", "E", "--lang2", "D", "--format",
                   "kvtml"}),
              kLangToolBadData);
    EXPECT_NE(err.str().find("not well-formed XML"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"import", table, dir.file("t3.lang"), "--lang1", "E", "--lang2", "D", "--lesson",
                   "2"}),
              kLangToolUsage);
}

// Exports written the way other trainers write them: each is stored as it says, or refused
// with the reason; nothing is stored wrong, and nothing is left out without a word.
TEST_F(ImportCommand, OtherTrainersExportsStoreWhatTheySayOrSayWhyNot) {
    const std::string kvtmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<kvtml version=\"2.0\">\n"
                                  "  <identifiers>\n"
                                  "    <identifier id=\"0\"><name>Deutsch</name></identifier>\n"
                                  "    <identifier id=\"1\"><name>English</name></identifier>\n"
                                  "  </identifiers>\n";
    auto entry = [](int id, const std::string& text0, const std::string& text1) {
        return "    <entry id=\"" + std::to_string(id) + "\">\n" +
               "      <translation id=\"0\"><text>" + text0 + "</text></translation>\n" +
               "      <translation id=\"1\"><text>" + text1 + "</text></translation>\n" +
               "    </entry>\n";
    };
    struct Case {
        std::string what;
        std::string source;
        std::vector<std::string> args; // past SOURCE OUT
        int status;
        std::vector<std::vector<std::string>> pairs; // lesson, text1, text2 in UTF-8
        std::vector<std::string> said;               // parts of what the import prints
    };
    const std::vector<std::string> names = {"--lang1", "Deutsch", "--lang2", "English"};
    auto with = [&](std::vector<std::string> more) {
        more.insert(more.begin(), names.begin(), names.end());
        return more;
    };
    const std::vector<Case> cases = {
        {"merge keeps the texts of the pairs it keeps (flashcards)",
         "Hund\tdog\nKatze\tcat\nhund\thound\n",
         with({"--merge"}),
         kLangToolOk,
         {{"1", "Hund", "dog"}, {"1", "Katze", "cat"}},
         {"2 pair(s) in 1 lesson(s) from a flashcard text export, 1 double(s) left out"}},
        {"merge keeps the texts of the pairs it keeps (table)",
         "lesson\ttext1\ttext2\n1\tHund\tdog\n1\tKatze\tcat\n1\thund\thound\n",
         with({"--merge"}),
         kLangToolOk,
         {{"1", "Hund", "dog"}, {"1", "Katze", "cat"}},
         {"from a table, 1 double(s) left out"}},
        {"merge keeps the texts of the pairs it keeps (KVTML)",
         kvtmlHead + "  <entries>\n" + entry(0, "Hund", "dog") + entry(1, "Katze", "cat") +
             entry(2, "hund", "hound") + "  </entries>\n</kvtml>\n",
         {"--merge"},
         kLangToolOk,
         {{"1", "Hund", "dog"}, {"1", "Katze", "cat"}},
         {"from a KVTML file, 1 double(s) left out"}},
        {"a quote that is never closed costs its own line only",
         "Katze\tcat\n\"Hund\tdog\nMaus\tmouse\nVogel\tbird\n",
         with({"--skip-bad"}),
         kLangToolOk,
         {{"1", "Katze", "cat"}, {"1", "Maus", "mouse"}, {"1", "Vogel", "bird"}},
         {":2: a field's opening quote is never closed", "1 bad item(s) left out"}},
        {"rows separated by semicolons on one line",
         "der Hund\tthe dog;die Katze\tthe cat;das Haus\tthe house;\n",
         names,
         kLangToolOk,
         {{"1", "der Hund", "the dog"},
          {"1", "die Katze", "the cat"},
          {"1", "das Haus", "the house"}},
         {"3 pair(s) in 1 lesson(s) from a flashcard text export (rows separated by semicolons)"}},
        {"fields past front and back are said",
         "la casa\tthe house\tMi casa es tu casa.\nel perro\tthe dog\t\n",
         names,
         kLangToolOk,
         {{"1", "la casa", "the house"}, {"1", "el perro", "the dog"}},
         {":1: note: field 3 is not taken: \"Mi casa es tu casa.\"",
          "fields past front and back of 1 note(s) not taken"}},
        {"a flashcard export with numbers in front and a tags column",
         "1\tuno\tnumbers spanish\n2\tdos\tnumbers spanish\n3\ttres\tnumbers spanish\n",
         names,
         kLangToolOk,
         {{"1", "1", "uno"}, {"1", "2", "dos"}, {"1", "3", "tres"}},
         {"3 pair(s) in 1 lesson(s) from a flashcard text export (column 3 taken as tags)"}},
        {"a table of three columns stays a table",
         "1\tuno\tone\n1\tdos\ttwo\n2\ttres\tthree\n",
         names,
         kLangToolOk,
         {{"1", "uno", "one"}, {"1", "dos", "two"}, {"2", "tres", "three"}},
         {"3 pair(s) in 2 lesson(s) from a table\n"}},
        {"a side with no text: a picture, a sound, blanks",
         "<img src=\"hund.jpg\">\tdog\nKatze\t[sound:katze.mp3]\n&nbsp;\tmouse\nVogel\tbird\n",
         names,
         kLangToolBadData,
         {},
         {":1: front: there is no text", ":2: back: there is no text",
          ":3: front: there is no text", "not written"}},
        {"an empty cell of a table",
         "1\tdog\t\n1\t \tKatze\n1\tbird\tVogel\n",
         with({"--skip-bad"}),
         kLangToolOk,
         {{"1", "bird", "Vogel"}},
         {":1: text2: there is no text", ":2: text1: there is no text", "2 bad row(s) left out"}},
        {"a KVTML text of blanks",
         kvtmlHead + "  <entries>\n" + entry(0, "Hund", "&#160;") + entry(1, "Katze", "cat") +
             "  </entries>\n</kvtml>\n",
         {"--skip-bad"},
         kLangToolOk,
         {{"1", "Katze", "cat"}},
         {"entry 0, translation 1: there is no text"}},
        {"cloze notes: the sentence with a gap asks, the hidden text answers",
         "{{c1::el gato}} is the cat\t\n"
         "{{c1::la casa::Haus}} es {{c2::grande}}\tBack Extra\n",
         names,
         kLangToolOk,
         {{"1", "[...] is the cat", "el gato"},
          {"1", "[Haus] es grande", "la casa"},
          {"1", "la casa es [...]", "grande"}},
         {":2: note: field 2 is not taken: \"Back Extra\""}},
        {"a tab inside a quoted field",
         "#html:false\n\"el\tgato\"\tthe cat\nel perro\tthe dog\n",
         names,
         kLangToolBadData,
         {},
         {":2: front: a tab cannot be stored"}},
        {"style and script are no text",
         "<style>.card { color: red; }</style>el perro\tthe dog<script>speak()</script>\n",
         names,
         kLangToolOk,
         {{"1", "el perro", "the dog"}},
         {}},
        {"a one-language KVTML file",
         "<?xml version=\"1.0\"?>\n<kvtml version=\"2.0\">\n  <identifiers>\n"
         "    <identifier id=\"0\"><locale>ca</locale></identifier>\n  </identifiers>\n"
         "  <entries>\n    <entry id=\"0\"><translation id=\"0\"><text>gat</text></translation>"
         "</entry>\n  </entries>\n</kvtml>\n",
         {},
         kLangToolBadData,
         {},
         {"holds one language only"}},
        {"a one-language KVTML file with a hint as translation 1",
         "<?xml version=\"1.0\"?>\n<kvtml version=\"2.0\">\n  <identifiers>\n"
         "    <identifier id=\"0\"><locale>pl</locale></identifier>\n  </identifiers>\n"
         "  <entries>\n" +
             entry(0, "zebra", "afryka\xC5\x84skie zwierze w paski") + "  </entries>\n</kvtml>\n",
         names,
         kLangToolBadData,
         {},
         {"holds one language only"}},
        {"a damaged KVTML file without names",
         kvtmlHead + "  <entries>\n" + entry(0, "Hund", "dog") + "  </entries>\n",
         {},
         kLangToolBadData,
         {},
         {"not well-formed XML at line 12"}},
        {"a KVTML 1 file",
         "<?xml version=\"1.0\"?>\n<kvtml encoding=\"UTF-8\" generator=\"hand\" cols=\"2\">\n"
         "  <e><o>Hund</o><t>dog</t></e>\n</kvtml>\n",
         names,
         kLangToolBadData,
         {},
         {"KVTML 1 is not read"}},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string source = dir.file("source" + std::to_string(++n));
        const std::string lang = dir.file("out" + std::to_string(n) + ".lang");
        test::WriteFileBytes(source, c.source);
        std::vector<std::string> args = {"import", source, lang};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(Run(args), c.status) << c.what << "\n" << out.str() << err.str();
        const std::string said = out.str() + err.str();
        for (const auto& part : c.said)
            EXPECT_NE(said.find(part), std::string::npos) << c.what << ": " << part << "\n" << said;
        std::vector<std::vector<std::string>> pairs;
        TLangFHandler model;
        if (c.status == kLangToolOk && model.Load(lang)) {
            for (const auto& lesson : model.lessons) {
                if (!lesson)
                    continue;
                for (const auto& pair : lesson->pairs)
                    if (pair)
                        pairs.push_back({std::to_string(lesson->number), Cp1252ToUtf8(pair->text1),
                                         Cp1252ToUtf8(pair->text2)});
            }
        }
        EXPECT_EQ(pairs, c.pairs) << c.what;
        if (c.status != kLangToolOk) {
            EXPECT_FALSE(CheckFileExists(lang)) << c.what;
        }
    }
}

TEST_F(ImportCommand, WhatIsNotTakenIsSaidInLineOrderUpToAScreenful) {
    // Twelve notes with an example sentence each, and a note without text among them.
    std::string cards;
    for (int i = 1; i <= 12; ++i) {
        cards += "palabra " + std::to_string(i) + "\tword " + std::to_string(i) + "\tEjemplo " +
                 std::to_string(i) + ".\n";
        if (i == 2)
            cards += "&nbsp;\tnothing\n";
    }
    const std::string source = dir.file("cards.txt");
    test::WriteFileBytes(source, cards);
    ASSERT_EQ(Run({"import", source, dir.file("cards.lang"), "--lang1", "Espanol", "--lang2",
                   "English", "--skip-bad"}),
              kLangToolOk)
        << err.str();
    std::vector<std::string> lines;
    std::istringstream said(err.str());
    for (std::string line; std::getline(said, line);)
        lines.push_back(line.substr(source.size()));
    ASSERT_EQ(lines.size(), 12u) << err.str();
    EXPECT_EQ(lines[0], ":1: note: field 3 is not taken: \"Ejemplo 1.\"");
    EXPECT_EQ(lines[2], ":3: front: there is no text (the field holds \"&nbsp;\")");
    EXPECT_EQ(lines[10], ":11: note: field 3 is not taken: \"Ejemplo 10.\"");
    EXPECT_EQ(lines[11], ": note: 2 more item(s) with fields that are not taken");
    EXPECT_NE(out.str().find("12 pair(s) in 1 lesson(s) from a flashcard text export, fields "
                             "past front and back of 12 note(s) not taken, 1 bad item(s) left "
                             "out"),
              std::string::npos)
        << out.str();
}

} // namespace
} // namespace lexaro
