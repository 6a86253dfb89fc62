// What the About box says, in both languages, for the portable and the installed program.

#include "app/AboutText.h"
#include "app/AppLangHandl.h"

#include <gtest/gtest.h>

namespace lexaro {
namespace {

TEST(AboutText, SaysWhatLexaroIsItsVersionWhereItKeepsItsThingsAndItsLibraries) {
    TAppLangHandler texts;
    ASSERT_TRUE(texts.OpenTextDb(LEXARO_TEXTDB_FILE, "Lexaro", nullptr));
    TAboutFacts facts;
    facts.program = "Lexaro";
    facts.version = "2.02";
    facts.libraries = {"Qt 6.4.2", "", "espeak-ng 1.51"};
    TAppFolders installed;
    installed.form = TAppForm::Installed;
    installed.settings = "/home/anna/.config/lexaro";
    installed.data = "/home/anna/.local/share/lexaro/";
    installed.resources = "/usr/share/lexaro";
    const struct {
        const char* language;
        TAppFolders folders;
        TAboutText said;
    } cases[] = {
        {"EN",
         installed,
         {"About Lexaro",
          "Lexaro is a vocabulary trainer: you keep your words in language files, practise them "
          "as cards that are shown and spoken, type the answers in Write mode and follow your "
          "progress.",
          "Version 2.02",
          "Installed: the settings and the language files are kept in your home folder.",
          "Settings: /home/anna/.config/lexaro",
          "Language files: /home/anna/.local/share/lexaro/LangFiles",
          "Libraries used: Qt 6.4.2, espeak-ng 1.51"}},
        {"DE",
         TAppFolders::Portable("/opt/Lex\xC3\xA4ro"),
         {"\xC3\x9C"
          "ber Lexaro",
          "Lexaro ist ein Vokabeltrainer: Sie halten Ihre Vokabeln in Sprachdateien, "
          "\xC3\xBC"
          "ben sie als Karten, die gezeigt und gesprochen werden, tippen die Antworten im Modus "
          "Schreiben und verfolgen Ihren Fortschritt.",
          "Version 2.02",
          "Portabel: Einstellungen und Sprachdateien liegen im Ordner des Programms.",
          "Einstellungen: /opt/Lex\xC3\xA4ro", "Sprachdateien: /opt/Lex\xC3\xA4ro/LangFiles",
          "Verwendete Bibliotheken: Qt 6.4.2, espeak-ng 1.51"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        ASSERT_TRUE(texts.SelectLanguage(c.language));
        facts.folders = c.folders;
        const TAboutText said =
            MakeAboutText([&texts](std::int32_t n) { return texts.GetText(n); }, facts);
        EXPECT_EQ(said.title, c.said.title);
        EXPECT_EQ(said.what, c.said.what);
        EXPECT_EQ(said.version, c.said.version);
        EXPECT_EQ(said.form, c.said.form);
        EXPECT_EQ(said.settings, c.said.settings);
        EXPECT_EQ(said.langFiles, c.said.langFiles);
        EXPECT_EQ(said.libraries, c.said.libraries);
    }
}

} // namespace
} // namespace lexaro
