// lexaro-lang and the code page of a language file's text: how it is chosen, what check says
// about a file read in another one, and what import stores and refuses.
#include "LangImport.h"
#include "LangTool.h"

#include "data/CodePage.h"
#include "data/FileUtil.h"
#include "data/LangFHandler.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

// UTF-8 text as a code page stores it.
std::string Stored(int page, const std::string& utf8) {
    std::string out;
    EXPECT_TRUE(TCodePage::Get(page).FromUtf8(utf8, out)) << utf8;
    return out;
}

class CodePageRun : public ::testing::Test {
protected:
    int Run(std::vector<std::string> args) {
        out.str({});
        err.str({});
        return RunLangTool(args, out, err, env);
    }
    // A language file of pairs in lesson 1, its texts given in UTF-8 and stored in page.
    std::string LangFile(const std::string& name, int page, const std::string& lang1,
                         const std::string& lang2,
                         const std::vector<std::pair<std::string, std::string>>& pairs) {
        TLangFHandler model;
        model.SetLanguageNames(Stored(page, lang1), Stored(page, lang2));
        auto lesson = std::make_shared<TLesson>();
        lesson->number = 1;
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            auto pair = lesson->NewPair(static_cast<std::int32_t>(i));
            pair->text1 = Stored(page, pairs[i].first);
            pair->text2 = Stored(page, pairs[i].second);
            pair->use = true;
        }
        model.PutLesson(lesson);
        const std::string path = dir.file(name);
        EXPECT_TRUE(model.Save(path));
        return path;
    }
    std::string RussianFile() {
        return LangFile("ru.lang", 1251, "English", "Русский",
                        {{"the cat", "кошка"},
                         {"the dog", "собака"},
                         {"good morning", "доброе утро"},
                         {"the aunt", "Тётя"}});
    }
    void Settings(const std::string& ini) {
        env.settingsFolder = dir.path() / "program";
        std::filesystem::create_directories(env.settingsFolder);
        WriteFileBytes((env.settingsFolder / "Lexaro.Ini").string(), ini);
    }

    std::ostringstream out;
    std::ostringstream err;
    TLangToolEnv env;
    test::TempDir dir{"lexaro_codepage_"};
};

TEST_F(CodePageRun, AnUnknownCodePageIsAUsageErrorNamingTheSupportedOnes) {
    const std::string lang = RussianFile();
    const std::string tsv = dir.file("in.tsv");
    WriteFileBytes(tsv, "1\tthe cat\tкошка\n");
    const std::string made = dir.file("made.lang");
    const std::vector<std::vector<std::string>> commands = {
        {"check", lang},
        {"dump", lang},
        {"export", lang},
        {"import", tsv, made, "--lang1", "English", "--lang2", "Russian"},
        {"speak", lang, "--out", dir.file("t.wav")},
    };
    for (const char* value : {"1255", "65000", "utf-16", "cp1251", "", " ", "1251x", "-1252"}) {
        for (auto args : commands) {
            args.push_back(std::string("--codepage=") + value);
            EXPECT_EQ(Run(args), kLangToolUsage) << args[0] << " " << value;
            EXPECT_EQ(err.str(), "lexaro-lang: --codepage takes 1250 (Central European), 1251 "
                                 "(Cyrillic), 1252 (Western European), 1253 (Greek), 1254 "
                                 "(Turkish), 1257 (Baltic) or 65001 (Unicode (UTF-8)); lexaro-lang "
                                 "--help says more\n");
            EXPECT_TRUE(out.str().empty());
        }
    }
    EXPECT_FALSE(CheckFileExists(made));
    // Given twice, and on the commands that read no text.
    EXPECT_EQ(Run({"check", lang, "--codepage", "1251", "--codepage", "1251"}), kLangToolUsage);
    EXPECT_EQ(Run({"versions", lang, "--codepage", "1251"}), kLangToolUsage);
}

TEST_F(CodePageRun, TheSettingIsTheDefaultAndTheCommandLineWins) {
    const std::string lang = RussianFile();
    const std::string ini = (dir.path() / "program" / "Lexaro.Ini").string();
    const struct {
        std::string settings; // Lexaro.Ini, or none
        std::vector<std::string> more;
        std::string said;
        std::string lang2;
    } cases[] = {
        {"", {}, "1252 (Western European), the default", "Ðóññêèé"},
        {"[Application]\r\nCodePage=1251\r\n", {}, "1251 (Cyrillic), from " + ini, "Русский"},
        {"[Application]\r\nCodePage=1251\r\n",
         {"--codepage", "1253"},
         "1253 (Greek), from --codepage",
         "Πσρρκθι"},
        {"[Application]\r\nCodePage=1255\r\n",
         {},
         "1252 (Western European), the default",
         "Ðóññêèé"},
        {"[Application]\r\nLanguage=DE\r\n",
         {"--codepage=1251"},
         "1251 (Cyrillic), from --codepage",
         "Русский"},
    };
    for (const auto& c : cases) {
        env.settingsFolder.clear();
        if (!c.settings.empty())
            Settings(c.settings);
        std::vector<std::string> args = {"check", lang};
        args.insert(args.end(), c.more.begin(), c.more.end());
        ASSERT_EQ(Run(args), kLangToolOk) << err.str();
        EXPECT_NE(out.str().find("  code page:     " + c.said + "\n"), std::string::npos)
            << c.said << "\n"
            << out.str();
        EXPECT_NE(out.str().find("  language 2:    " + c.lang2 + "\n"), std::string::npos)
            << out.str();
    }
}

// A file read in the wrong code page is said, with a text in both readings, and stays as it
// is: reading never "repairs" or rewrites it.
TEST_F(CodePageRun, AFileReadInAnotherCodePageIsWarnedAboutAndNeverChanged) {
    const std::string russian = RussianFile();
    const std::string german =
        LangFile("de.lang", 1252, "English", "Deutsch",
                 {{"the door", "die Tür"}, {"great", "groß"}, {"the apple", "der Äpfel"}});
    const std::string greek = LangFile("el.lang", 1253, "Deutsch", "Ελληνικά",
                                       {{"die Katze", "η γάτα"}, {"das Meer", "η θάλασσα"}});
    const struct {
        std::string path;
        std::string page;     // read in
        std::string readLike; // empty: no warning
        std::string example;  // how the text that shows it best would read
    } cases[] = {
        {russian, "1252", "1251 (Cyrillic), not 1252 (Western European)", "доброе утро"},
        {russian, "1250", "1251 (Cyrillic), not 1250 (Central European)", "доброе утро"},
        {russian, "1253", "1251 (Cyrillic), not 1253 (Greek)", "Тётя"},
        {russian, "1251", "", ""},
        {german, "1252", "", ""},
        {german, "1254", "", ""}, // these words read the same in Turkish
        // Central European reads these words as well: the default is named.
        {german, "1251", "1252 (Western European), not 1251 (Cyrillic)", "die Tür"},
        {greek, "1252", "1253 (Greek), not 1252 (Western European)", "Ελληνικά"},
        {greek, "1251", "1253 (Greek), not 1251 (Cyrillic)", ""},
        {greek, "1253", "", ""},
    };
    for (const auto& c : cases) {
        const std::string before = ReadFileBytes(c.path);
        for (const std::string command : {"check", "export", "dump"}) {
            SCOPED_TRACE(command + " " + c.path + " in " + c.page);
            ASSERT_EQ(Run({command, c.path, "--codepage", c.page}), kLangToolOk) << err.str();
            if (c.readLike.empty()) {
                EXPECT_TRUE(err.str().empty()) << err.str();
                continue;
            }
            EXPECT_NE(err.str().find(c.path + ": warning: the texts read like code page " +
                                     c.readLike + ": "),
                      std::string::npos)
                << err.str();
            // dump shows whole lines.
            const std::size_t wouldBe = err.str().find(" would be \"");
            EXPECT_NE(err.str().find(c.example, wouldBe), std::string::npos) << err.str();
            EXPECT_NE(err.str().find("; give --codepage " + c.readLike.substr(0, 4) +
                                     " if the file was written in it\n"),
                      std::string::npos)
                << err.str();
        }
        EXPECT_EQ(ReadFileBytes(c.path), before);
        EXPECT_FALSE(std::filesystem::exists(dir.path() / ".versions"));
    }
    // Bytes that the code page leaves undefined are no characters: shown by their code.
    ASSERT_EQ(Run({"dump", russian, "--codepage", "1253"}), kLangToolOk);
    EXPECT_NE(out.str().find("@\\xD2Ές\\xFF#"), std::string::npos) << out.str();
}

TEST_F(CodePageRun, ImportStoresTextsInTheCodePageAndExportGivesThemBack) {
    const struct {
        std::string page;
        std::string name;   // of the source
        std::string source; // UTF-8
        std::vector<std::string> more;
        std::string lang2; // as stored, in UTF-8
        std::string text2; // of the first pair
        std::string table; // as export gives it
    } cases[] = {
        {"1251",
         "ru.tsv",
         "lesson\ttext1\ttext2\n1\tthe cat\tкошка\n1\tthe dog\tСобака [f]\n",
         {"--lang1", "English", "--lang2", "Русский"},
         "Русский",
         "кошка",
         "lesson\ttext1\ttext2\tuse\tdrawn\n1\tthe cat\tкошка\t1\t0\n1\tthe dog\tСобака "
         "[f]\t1\t0\n"},
        {"1253",
         "el.kvtml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kvtml version=\"2.0\"><identifiers>"
         "<identifier id=\"0\"><name>Ελληνικά</name></identifier><identifier id=\"1\">"
         "<name>Deutsch</name></identifier></identifiers><entries><entry id=\"0\">"
         "<translation id=\"0\"><text>η γάτα</text></translation><translation id=\"1\">"
         "<text>die Katze</text></translation></entry></entries></kvtml>",
         {},
         "Deutsch",
         "die Katze",
         "lesson\ttext1\ttext2\tuse\tdrawn\n1\tη γάτα\tdie Katze\t1\t0\n"},
        {"1250",
         "pl.txt",
         "#separator:tab\n#html:false\nżółw\tdie Schildkröte\nłódź\tdas Boot\n",
         {"--lang1", "Polski", "--lang2", "Deutsch"},
         "Deutsch",
         "die Schildkröte",
         "lesson\ttext1\ttext2\tuse\tdrawn\n1\tżółw\tdie Schildkröte\t1\t0\n1\tłódź\tdas "
         "Boot\t1\t0\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = dir.file(c.name);
        const std::string lang = dir.file(c.name + ".lang");
        WriteFileBytes(source, c.source);
        std::vector<std::string> args = {"import", source, lang, "--codepage", c.page};
        args.insert(args.end(), c.more.begin(), c.more.end());
        ASSERT_EQ(Run(args), kLangToolOk) << err.str();
        const TCodePage& page = TCodePage::Get(std::stoi(c.page));
        EXPECT_NE(out.str().find(", in code page " + c.page + " ("), std::string::npos)
            << out.str();
        TLangFHandler model;
        ASSERT_TRUE(model.Load(lang));
        EXPECT_EQ(page.ToUtf8(model.GetLang2Name()), c.lang2);
        EXPECT_EQ(page.ToUtf8(model.LessonAt(1)->PairAt(0)->text2), c.text2);
        ASSERT_EQ(Run({"export", lang, "--codepage", c.page}), kLangToolOk) << err.str();
        EXPECT_EQ(out.str(), c.table);
        EXPECT_TRUE(err.str().empty()) << err.str();
    }
}

// Text that mixes scripts no one code page holds is refused row by row with the character at
// fault; nothing is written unless --skip-bad is given. A code page that would store more of
// the refused rows is named.
TEST_F(CodePageRun, MixedScriptsAreRefusedRowByRow) {
    const std::string tsv = dir.file("mixed.tsv");
    const std::string lang = dir.file("mixed.lang");
    WriteFileBytes(tsv, "1\tdie Tür\tdoor\n"
                        "1\tdie Tür\tдверь\n"
                        "1\tder Hund\tсобака\n"
                        "1\tdie Katze\tкошка\n");
    const struct {
        std::string page;
        std::vector<std::string> refused;
        std::string note; // empty: none
    } cases[] = {
        {"1251",
         {"mixed.tsv:1: text1: U+00FC \"ü\" at byte column 8 is outside Windows-1251",
          "mixed.tsv:2: text1: U+00FC \"ü\" at byte column 8 is outside Windows-1251"},
         ""},
        {"1252",
         {"mixed.tsv:2: text2: U+0434 \"д\" at byte column 12 is outside Windows-1252",
          "mixed.tsv:3: text2: U+0441 \"с\" at byte column 12 is outside Windows-1252",
          "mixed.tsv:4: text2: U+043A \"к\" at byte column 13 is outside Windows-1252"},
         "mixed.tsv: note: code page 1251 (Cyrillic) stores 1 more of these; give --codepage "
         "1251 to store in it\n"},
    };
    // Unicode stores them all, whichever single-byte page refused them.
    const std::string unicodeNote =
        "mixed.tsv: note: code page 65001 (Unicode (UTF-8)) holds every script and stores all "
        "of these; give --codepage 65001 to store in it\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        std::vector<std::string> args = {"import",  tsv,       lang,         "--lang1", "Deutsch",
                                         "--lang2", "English", "--codepage", c.page};
        EXPECT_EQ(Run(args), kLangToolBadData);
        for (const auto& refused : c.refused)
            EXPECT_NE(err.str().find(refused + " and cannot be stored\n"), std::string::npos)
                << err.str();
        if (!c.note.empty()) {
            EXPECT_NE(err.str().find(c.note), std::string::npos) << err.str();
        }
        EXPECT_NE(err.str().find(unicodeNote), std::string::npos) << err.str();
        EXPECT_FALSE(CheckFileExists(lang));

        args.push_back("--skip-bad");
        args.push_back("--force");
        ASSERT_EQ(Run(args), kLangToolOk) << err.str();
        TLangFHandler model;
        ASSERT_TRUE(model.Load(lang));
        EXPECT_EQ(model.LessonAt(1)->PairCount(), static_cast<std::int32_t>(4 - c.refused.size()));
        std::filesystem::remove(lang);
    }
    // All of them: the note says so, and the names are refused like the texts.
    WriteFileBytes(tsv, "1\tкот\tcat\n");
    EXPECT_EQ(Run({"import", tsv, dir.file("ru.lang"), "--lang1", "Русский", "--lang2", "English"}),
              kLangToolBadData);
    EXPECT_NE(err.str().find("--lang1: U+0420 \"Р\" is outside Windows-1252"), std::string::npos)
        << err.str();
    EXPECT_NE(err.str().find("note: code page 1251 (Cyrillic) stores all of these; give "
                             "--codepage 1251"),
              std::string::npos)
        << err.str();
}

// Under Unicode (65001, also named utf-8) every script is imported, stored as UTF-8 and
// exported unchanged; mixed scripts are no refusal.
TEST_F(CodePageRun, UnicodeImportsEveryScriptAndExportGivesItBack) {
    const std::string tsv = dir.file("all.tsv");
    const std::string table = "lesson\ttext1\ttext2\tuse\tdrawn\n"
                              "1\t日本語\tJapanisch\t1\t0\n"
                              "1\tمرحبا\tHallo\t1\t0\n"
                              "1\tनमस्ते\tHallo\t1\t0\n"
                              "1\tdie Tür\tдверь\t1\t0\n"
                              "2\t\U0001F600 smile\tשָׁלוֹם\t1\t0\n";
    WriteFileBytes(tsv, table);
    for (const char* name : {"65001", "utf-8", "UTF8"}) {
        SCOPED_TRACE(name);
        const std::string lang = dir.file(std::string(name) + ".lang");
        ASSERT_EQ(Run({"import", tsv, lang, "--lang1", "多言語", "--lang2", "Deutsch", "--codepage",
                       name}),
                  kLangToolOk)
            << err.str();
        EXPECT_NE(out.str().find(", in code page 65001 (Unicode (UTF-8))"), std::string::npos)
            << out.str();
        TLangFHandler model;
        ASSERT_TRUE(model.Load(lang));
        EXPECT_EQ(model.GetLang1Name(), "多言語");
        EXPECT_EQ(model.LessonAt(1)->PairAt(0)->text1, "日本語");
        ASSERT_EQ(Run({"export", lang, "--codepage", name}), kLangToolOk) << err.str();
        EXPECT_EQ(out.str(), table);
        EXPECT_TRUE(err.str().empty()) << err.str();
        ASSERT_EQ(Run({"check", lang, "--codepage", name}), kLangToolOk) << err.str();
        EXPECT_NE(out.str().find("  code page:     65001 (Unicode (UTF-8)), from --codepage\n"),
                  std::string::npos)
            << out.str();
        EXPECT_TRUE(err.str().empty()) << err.str();
    }
}

// The stored line keeps its byte limit under Unicode: a text of 22,000 CJK characters takes
// 66,000 bytes and is refused with its size; 21,000 fit. (Read as flashcards: front "1".)
TEST_F(CodePageRun, UnicodeKeepsTheStoredLinesByteLimitAndSaysTheSize) {
    std::string longText;
    for (int i = 0; i < 22000; ++i)
        longText += "水";
    const std::string tsv = dir.file("long.tsv");
    WriteFileBytes(tsv,
                   "1\t" + longText + "\tWasser\n1\t" + longText.substr(0, 63000) + "\tWasser\n");
    const std::string lang = dir.file("long.lang");
    EXPECT_EQ(
        Run({"import", tsv, lang, "--lang1", "中文", "--lang2", "Deutsch", "--codepage", "65001"}),
        kLangToolBadData);
    EXPECT_NE(err.str().find("long.tsv:1: back: the text is too long for one stored line "
                             "(66000 bytes stored; a line holds at most 65518)"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(err.str().find("long.tsv:2:"), std::string::npos) << err.str();
}

// A UTF-8 file read in a single-byte page is said to read as Unicode, and a single-byte file
// read as Unicode to read in its page; a few broken bytes in a UTF-8 file are said as such.
// Nothing is changed.
TEST_F(CodePageRun, UnicodeReadAsASingleBytePageAndTheReverseAreSaid) {
    const std::string utf8 = LangFile("ja.lang", 65001, "日本語", "Deutsch",
                                      {{"水", "Wasser"}, {"火", "Feuer"}, {"こんにちは", "Hallo"}});
    const std::string russian = RussianFile();
    // A file whose one text lost a byte of its character.
    const std::string brokenPath = dir.file("broken.lang");
    {
        TLangFHandler model;
        model.SetLanguageNames("日本語", "Deutsch");
        auto lesson = std::make_shared<TLesson>();
        lesson->number = 1;
        for (const char* text : {"\xE6\xB0"
                                 "x",
                                 "火", "こんにちは"}) {
            auto pair = lesson->NewPair(lesson->PairCount());
            pair->text1 = text;
            pair->text2 = "Wort";
            pair->use = true;
        }
        model.PutLesson(lesson);
        ASSERT_TRUE(model.Save(brokenPath));
    }
    const struct {
        std::string path;
        std::string page;
        std::string said;
    } cases[] = {
        {utf8, "1252",
         "warning: the texts read like code page 65001 (Unicode (UTF-8)), not 1252 (Western "
         "European): "},
        {utf8, "1251", "give --codepage 65001 if the file was written in it\n"},
        {russian, "65001",
         "warning: the texts read like code page 1251 (Cyrillic), not 65001 (Unicode (UTF-8)): "},
        {brokenPath, "65001", "warning: 1 text holds bytes that are not UTF-8, such as \""},
        {utf8, "65001", ""},
    };
    for (const auto& c : cases) {
        const std::string before = ReadFileBytes(c.path);
        for (const std::string command : {"check", "export", "dump"}) {
            SCOPED_TRACE(command + " " + c.path + " in " + c.page);
            ASSERT_EQ(Run({command, c.path, "--codepage", c.page}), kLangToolOk) << err.str();
            if (c.said.empty())
                EXPECT_TRUE(err.str().empty()) << err.str();
            else
                EXPECT_NE(err.str().find(c.said), std::string::npos) << err.str();
        }
        EXPECT_EQ(ReadFileBytes(c.path), before);
    }
}

TEST(CodePageDoubles, TextsAreTheSameIgnoringTheCodePagesCase) {
    const struct {
        int page;
        std::string a, b; // UTF-8
        bool same;
    } cases[] = {
        {1251, "кошка", "КОШКА", true},       {1251, "ёж", "ЁЖ", true},
        {1251, "ель", "ёль", false},          {1253, "σοφός", "ΣΟΦΌΣ", true},
        {1253, "άλφα", "αλφα", false},        {1254, "istanbul", "İSTANBUL", true},
        {1254, "ılık", "ILIK", true},         {1254, "istanbul", "ISTANBUL", false},
        {1252, "istanbul", "ISTANBUL", true}, {1250, "żółw", "ŻÓŁW", true},
        {1257, "ąžuolas", "ĄŽUOLAS", true},   {65001, "Straße", "STRASSE", true},
        {65001, "жёлтый", "ЖЁЛТЫЙ", true},    {65001, "日本", "日本", true},
        {65001, "ел", "ёл", false},
    };
    for (const auto& c : cases) {
        std::vector<TTsvRow> rows(3);
        for (auto& row : rows)
            row.lesson = 1;
        rows[0].text1 = Stored(c.page, c.a);
        rows[1].text1 = Stored(c.page, "other");
        rows[2].text1 = Stored(c.page, c.b);
        const TCodePage& page = TCodePage::Get(c.page);
        EXPECT_EQ(FindDoubles(rows, page).size(), c.same ? 1u : 0u) << c.page << " " << c.a;
        EXPECT_EQ(DropDoubles(rows, page), c.same ? 1u : 0u);
        EXPECT_EQ(rows.size(), c.same ? 2u : 3u);
    }
}

} // namespace
} // namespace lexaro
