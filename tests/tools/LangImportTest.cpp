// The sources of lexaro-lang import other than its own table: KVTML 2 and flashcard text
// exports, their detection, the placing of their lessons and the doubles within a lesson.
#include "LangImport.h"

#include "LangTool.h"

#include "data/Charset.h"
#include "data/FileUtil.h"
#include "data/LangFHandler.h"
#include "data/Lesson.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
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

// Bytes written in the source, zero bytes too.
template <std::size_t N> std::string Bytes(const char (&bytes)[N]) {
    return std::string(bytes, N - 1);
}

// UTF-8 text of the basic multilingual plane as UTF-16, with a byte-order mark unless bom is
// false.
std::string Utf16Bytes(const std::string& utf8, bool bigEndian, bool bom = true) {
    std::string out = !bom ? "" : bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t cp = 0;
        Utf8CharAt(utf8, pos, cp);
        pos += Utf8Length(cp);
        const auto unit = static_cast<char16_t>(cp);
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return out;
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

// What a separator inside a text, a first row that the rest resembles or quotes that do not
// enclose a cell must not change.
TEST(FlashcardImport, SeparatorsHeadersAndQuotesKeepWhatTheTextsHold) {
    const std::pair<std::string, std::vector<std::pair<std::string, std::string>>> cases[] = {
        {"Hund;dog, hound\nKatze;cat, kitty\nMaus;mouse\n",
         {{"Hund", "dog, hound"}, {"Katze", "cat, kitty"}, {"Maus", "mouse"}}},
        {"el perro\tthe dog; a friend\nel gato\tthe cat\n",
         {{"el perro", "the dog; a friend"}, {"el gato", "the cat"}}},
        {"to go - gehen, fahren\nthe dog - der Hund\n",
         {{"to go", "gehen, fahren"}, {"the dog", "der Hund"}}},
        {"\"a;b\";c\nd;\"e \"\"f\"\"\"\n", {{"a;b", "c"}, {"d", "e \"f\""}}},
        // Language names in every row are vocabulary, not a header; so are two names of one
        // language.
        {"Deutsch;German\nEnglisch;English\n", {{"Deutsch", "German"}, {"Englisch", "English"}}},
        {"Deutsch;German\nHund;dog\n", {{"Deutsch", "German"}, {"Hund", "dog"}}},
    };
    for (const auto& [text, expected] : cases) {
        const TImportSource source = ReadFlashcardSource(text);
        EXPECT_TRUE(source.fault.empty() && source.problems.empty()) << text << source.fault;
        std::vector<std::pair<std::string, std::string>> pairs;
        for (const auto& row : source.rows)
            pairs.emplace_back(row.text1, row.text2);
        EXPECT_EQ(pairs, expected) << text;
    }
    // KVTML in UTF-16 is read as before, whatever its declaration says; text in UTF-16
    // without a byte-order mark is said as such.
    const TImportSource kvtml = ReadImport(
        Utf16Bytes("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<kvtml version=\"2.0\">"
                   "<identifiers><identifier id=\"0\"/><identifier id=\"1\"/></identifiers>"
                   "<entries><entry id=\"0\"><translation id=\"0\"><text>T\xC3\xBCr</text>"
                   "</translation><translation id=\"1\"><text>door</text></translation>"
                   "</entry></entries></kvtml>\n",
                   false),
        std::nullopt);
    EXPECT_EQ(kvtml.format, TImportFormat::Kvtml);
    EXPECT_EQ(Pairs(kvtml), (std::vector<TPair>{{0, "T\xFCr", "door", true}})) << kvtml.fault;
    EXPECT_EQ(ReadImport(Utf16Bytes("Hund\tdog\n", false, false), std::nullopt).fault.substr(0, 40),
              "text in UTF-16 without a byte-order mark");
    // A table's header in other words, and a table without one.
    EXPECT_EQ(DetectFormat("Lektion\tDeutsch\tEnglisch\n1\tHund\tdog\n"), TImportFormat::Table);
    EXPECT_EQ(DetectFormat("Hund\tDeutsch\tEnglisch\n1\tHund\tdog\n"), TImportFormat::Flashcards);
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
    // --lesson puts a table's rows into that lesson too.
    EXPECT_EQ(Run({"import", table, dir.file("t3.lang"), "--lang1", "E", "--lang2", "D", "--lesson",
                   "2"}),
              kLangToolOk);
    ASSERT_TRUE(model.Load(dir.file("t3.lang")));
    EXPECT_EQ(model.LessonAt(2)->PairCount(), 1);
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
        std::vector<std::string> notSaid = {};       // parts it must not print
        bool flags = false; // the pairs end with use and drawn ("1" or "0")
    };
    const std::vector<std::string> names = {"--lang1", "Deutsch", "--lang2", "English"};
    auto with = [&](std::vector<std::string> more) {
        more.insert(more.begin(), names.begin(), names.end());
        return more;
    };
    const auto utf16 = [](const std::string& utf8, bool bigEndian) {
        return Utf16Bytes(utf8, bigEndian);
    };
    // A language file of Lexaro itself.
    TLangFHandler own;
    own.SetLanguageNames("Deutsch", "English");
    auto ownLesson = std::make_shared<TLesson>();
    ownLesson->number = 1;
    own.PutLesson(ownLesson);
    auto ownPair = ownLesson->NewPair(0);
    ownPair->text1 = "Hund";
    ownPair->text2 = "dog";
    const byteArray ownBytes = own.SaveBytes();
    const std::string langFile(ownBytes.begin(), ownBytes.end());
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
        // The separators are those that explain the whole file; no pair holds one of them.
        {"a quiz site's export: commas between term and definition, semicolons between rows",
         "der Hund,the dog;die Katze,the cat;das Haus,the house;der Baum,the tree",
         names,
         kLangToolOk,
         {{"1", "der Hund", "the dog"},
          {"1", "die Katze", "the cat"},
          {"1", "das Haus", "the house"},
          {"1", "der Baum", "the tree"}},
         {"4 pair(s) in 1 lesson(s) from a flashcard text export (front and back separated by "
          "commas, rows separated by semicolons)"}},
        {"a list with \" - \" between the two sides",
         "der Hund - the dog\ndie Katze - the cat\nder Fuchs - the fox\n",
         names,
         kLangToolOk,
         {{"1", "der Hund", "the dog"},
          {"1", "die Katze", "the cat"},
          {"1", "der Fuchs", "the fox"}},
         {"(front and back separated by \" - \")"}},
        {"lines without any separator",
         "der Hund\ndie Katze\ndas Haus\n",
         names,
         kLangToolBadData,
         {},
         {"no separator between front and back explains the lines", "is not written"},
         {":1:", "a note needs"}},
        // A spreadsheet's header row is left out and said.
        {"a spreadsheet's CSV with a header row",
         "Deutsch;Englisch;Preis\nHund;dog;3,50\nKatze;cat;2,00\n",
         names,
         kLangToolOk,
         {{"1", "Hund", "dog"}, {"1", "Katze", "cat"}},
         {"line 1 taken as a header: \"Deutsch\", \"Englisch\", \"Preis\""}},
        {"a table with a header in the learner's language",
         "Lektion\tDeutsch\tEnglisch\n1\tHund\tdog\n2\tKatze\tcat\n",
         names,
         kLangToolOk,
         {{"1", "Hund", "dog"}, {"2", "Katze", "cat"}},
         {"from a table (line 1 taken as a header: \"Lektion\", \"Deutsch\", \"Englisch\")"}},
        {"--header no keeps a first row that names languages",
         "Deutsch;German\nEnglisch;English\n",
         with({"--header", "no"}),
         kLangToolOk,
         {{"1", "Deutsch", "German"}, {"1", "Englisch", "English"}},
         {},
         {"header"}},
        {"--header yes leaves any first row out",
         "Wort;word\nHund;dog\nKatze;cat\n",
         with({"--header", "yes"}),
         kLangToolOk,
         {{"1", "Hund", "dog"}, {"1", "Katze", "cat"}},
         {"line 1 taken as a header: \"Wort\", \"word\""}},
        // One quoting rule: a cell in quotes whose quotes close it, doubled quotes inside.
        {"a spreadsheet's quoted cells in a table",
         "lesson\ttext1\ttext2\n\"1\"\t\"sagen \"\"Hallo\"\"\"\t\"to say \"\"hello\"\"\"\n"
         "1\t\"Hallo\" sagt er\the says hello\n",
         names,
         kLangToolOk,
         {{"1", "sagen \"Hallo\"", "to say \"hello\""},
          {"1", "\"Hallo\" sagt er", "he says hello"}},
         {}},
        {"a quote that does not close the cell is part of the text (flashcards)",
         "\"sagen \"\"Hallo\"\"\";to say hello\n\"Hallo\" sagt er;he says hello\n",
         names,
         kLangToolOk,
         {{"1", "sagen \"Hallo\"", "to say hello"}, {"1", "\"Hallo\" sagt er", "he says hello"}},
         {}},
        // Text files in UTF-16 with a byte-order mark.
        {"UTF-16 little endian",
         utf16("Hund\tdog\r\nK\xC3\xA4tzchen\tkitten\r\n", false),
         names,
         kLangToolOk,
         {{"1", "Hund", "dog"}, {"1", "K\xC3\xA4tzchen", "kitten"}},
         {"from a flashcard text export (UTF-16)"},
         {"XML"}},
        {"UTF-16 big endian table",
         utf16("lesson\ttext1\ttext2\n1\tT\xC3\xBCr\tdoor\n", true),
         names,
         kLangToolOk,
         {{"1", "T\xC3\xBCr", "door"}},
         {"from a table (UTF-16)"}},
        // Text is stored composed (NFC), as typed text is, and the summary says so.
        {"decomposed accents, as some systems write file contents",
         "Cafe\xCC\x81\tcoffee\nde\xCC\x81ja\xCC\x80\talready\n",
         names,
         kLangToolOk,
         {{"1", "Caf\xC3\xA9", "coffee"}, {"1", "d\xC3\xA9j\xC3\xA0", "already"}},
         {"2 pair(s) in 1 lesson(s) from a flashcard text export, 3 letter(s) stored composed or "
          "folded"},
         {"U+0301"}},
        {"the Greek question mark under 1253",
         "lesson\ttext1\ttext2\n1\t\xCF\x84\xCE\xB9\xCD\xBE\twhat?\n",
         with({"--codepage", "1253"}),
         kLangToolOk,
         {{"1", "\xCF\x84\xCE\xB9;", "what?"}},
         {"1 letter(s) stored composed or folded"}},
        {"Romanian letters with comma below under 1250",
         "<?xml version=\"1.0\"?>\n<kvtml version=\"2.0\">\n  <identifiers>\n"
         "    <identifier id=\"0\"><name>Rom\xC3\xA2n\xC4\x83</name></identifier>\n"
         "    <identifier id=\"1\"><name>English</name></identifier>\n  </identifiers>\n"
         "  <entries>\n" +
             entry(0,
                   "\xC8\x99"
                   "coal\xC4\x83",
                   "school") +
             entry(1,
                   "\xC8\x9A"
                   "ar\xC4\x83",
                   "country") +
             "  </entries>\n</kvtml>\n",
         {"--codepage", "1250"},
         kLangToolOk,
         {{"1",
           "\xC5\x9F"
           "coal\xC4\x83",
           "school"},
          {"1",
           "\xC5\xA2"
           "ar\xC4\x83",
           "country"}},
         {"2 letter(s) stored composed or folded"}},
        // KVTML 2's older mark of an entry not in use.
        {"a KVTML entry marked inactive",
         kvtmlHead + "  <entries>\n" + entry(0, "Hund", "dog") +
             "    <entry id=\"1\">\n      <inactive>true</inactive>\n"
             "      <translation id=\"0\"><text>Katze</text></translation>\n"
             "      <translation id=\"1\"><text>cat</text></translation>\n    </entry>\n"
             "  </entries>\n</kvtml>\n",
         {},
         kLangToolOk,
         {{"1", "Hund", "dog", "1", "0"}, {"1", "Katze", "cat", "0", "0"}},
         {},
         {},
         true},
        // A binary file is said as what it is, once.
        {"a ZIP archive",
         Bytes("PK\x03\x04\x14\0\0\0\x08\0collection.anki2\0\x01\x02"),
         names,
         kLangToolBadData,
         {},
         {"a ZIP archive, not a text export"},
         {":1:", ":2:"}},
        {"a spreadsheet workbook",
         Bytes("PK\x03\x04\x14\0\x06\0\x08\0\0\0!\0[Content_Types].xml\0\x01"),
         names,
         kLangToolBadData,
         {},
         {"a ZIP archive (a spreadsheet workbook?), not a text export"}},
        {"a PDF document",
         "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<< /Type /Catalog >>\nendobj\n",
         names,
         kLangToolBadData,
         {},
         {"a PDF document, not a text export"},
         {":1:"}},
        {"a PNG picture",
         Bytes("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10"),
         names,
         kLangToolBadData,
         {},
         {"a PNG picture, not a text export"}},
        {"a Lexaro language file",
         langFile,
         names,
         kLangToolBadData,
         {},
         {"a Lexaro language file: use it directly or `export` it"},
         {":1:"}},
        // Where no single-byte code page holds the script, none of them is advised: Unicode is.
        {"Japanese with one romanised row",
         "\xE6\x9D\xB1\xE4\xBA\xAC\tTokio\n\xE6\x97\xA5\xE6\x9C\xAC\tJapan\n"
         "\xE7\x8C\xAB\tKatze\nT\xC5\x8Dky\xC5\x8D\tTokio\n",
         with({"--codepage", "1252"}),
         kLangToolBadData,
         {},
         {"note: code page 65001 (Unicode (UTF-8)) holds every script and stores all of these; "
          "give --codepage 65001 to store in it"},
         {"code page 1257", "--codepage 1257", "no code page offered"}},
        // Use, drawn, --lesson and blanks as the help says.
        {"a row not in use but drawn",
         "lesson\ttext1\ttext2\tuse\tdrawn\n1\tHund\tdog\t0\t1\n1\tKatze\tcat\t1\t1\n",
         names,
         kLangToolOk,
         {{"1", "Hund", "dog", "0", "0"}, {"1", "Katze", "cat", "1", "1"}},
         {":2: note: drawn is not kept: a pair not in use is not drawn",
          "1 row(s) not in use stored as not drawn"},
         {},
         true},
        {"--lesson for a table",
         "lesson\ttext1\ttext2\n1\tHund\tdog\n2\tKatze\tcat\n",
         with({"--lesson", "7"}),
         kLangToolOk,
         {{"7", "Hund", "dog"}, {"7", "Katze", "cat"}},
         {"2 pair(s) in 1 lesson(s) from a table"}},
        {"blanks at the ends of a table's texts",
         "1\t  Hund \t dog  \n1\t\" Katze \"\tcat\n",
         names,
         kLangToolOk,
         {{"1", "Hund", "dog"}, {"1", "Katze", "cat"}},
         {}},
        {"blanks at the ends of a flashcard's texts without HTML",
         "#html:false\n  Hund \t dog  \n",
         names,
         kLangToolOk,
         {{"1", "Hund", "dog"}},
         {}},
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
        for (const auto& part : c.notSaid)
            EXPECT_EQ(said.find(part), std::string::npos) << c.what << ": " << part << "\n" << said;
        // A terminal shows what is said: no control character but the line ends.
        EXPECT_EQ(std::count_if(
                      said.begin(), said.end(),
                      [](char ch) { return (ch >= 0 && ch < 0x20 && ch != '\n') || ch == 0x7F; }),
                  0)
            << c.what;
        const auto codePage = std::find(c.args.begin(), c.args.end(), "--codepage");
        const TCodePage& page =
            TCodePage::Get(codePage == c.args.end() ? 1252 : std::stoi(*(codePage + 1)));
        std::vector<std::vector<std::string>> pairs;
        TLangFHandler model;
        if (c.status == kLangToolOk && model.Load(lang)) {
            for (const auto& lesson : model.lessons) {
                if (!lesson)
                    continue;
                for (const auto& pair : lesson->pairs) {
                    if (!pair)
                        continue;
                    pairs.push_back({std::to_string(lesson->number), page.ToUtf8(pair->text1),
                                     page.ToUtf8(pair->text2)});
                    if (c.flags) {
                        pairs.back().push_back(pair->use ? "1" : "0");
                        pairs.back().push_back(pair->drawn ? "1" : "0");
                    }
                }
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
