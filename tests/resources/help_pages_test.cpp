// The help pages: every topic the windows ask for has its anchor, every link leads somewhere,
// and the pages are UTF-8 that the help window can show.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kTopics = {"Hauptfenster", "Allgemeines",    "AllgEinstell",
                                          "EditLesson",   "EditLangLesson", "Fortschritt"};

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool IsUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t extra = c < 0x80             ? 0
                                  : (c & 0xE0) == 0xC0 ? 1
                                  : (c & 0xF0) == 0xE0 ? 2
                                  : (c & 0xF8) == 0xF0 ? 3
                                                       : 4;
        if (extra == 4 || i + extra >= text.size())
            return false;
        for (std::size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2)
                return false;
        i += extra + 1;
    }
    return true;
}

struct Page {
    std::string lang;
    std::string name;
};

class HelpPage : public ::testing::TestWithParam<Page> {
protected:
    fs::path Path() const { return fs::path(LEXARO_HELP_DIR) / GetParam().lang / GetParam().name; }
};

TEST_P(HelpPage, IsUtf8HtmlWithoutScripts) {
    ASSERT_TRUE(fs::exists(Path())) << Path();
    const std::string html = ReadText(Path());
    EXPECT_TRUE(IsUtf8(html));
    EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(html.find("<title>"), std::string::npos);
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_NE(html.find("</html>"), std::string::npos);
}

TEST_P(HelpPage, EveryLinkResolves) {
    const std::string html = ReadText(Path());
    const std::regex href("href=\"([^\"]*)\"");
    int links = 0;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), href);
         it != std::sregex_iterator(); ++it, ++links) {
        const std::string target = (*it)[1];
        ASSERT_FALSE(target.empty());
        if (target.rfind("http", 0) == 0)
            continue;
        const auto hash = target.find('#');
        const std::string file = target.substr(0, hash);
        const fs::path page = file.empty() ? Path() : Path().parent_path() / file;
        ASSERT_TRUE(fs::exists(page))
            << GetParam().lang << "/" << GetParam().name << ": " << target;
        if (hash != std::string::npos) {
            const std::string anchor = "name=\"" + target.substr(hash + 1) + "\"";
            EXPECT_NE(ReadText(page).find(anchor), std::string::npos)
                << GetParam().lang << "/" << GetParam().name << ": " << target;
        }
    }
    EXPECT_GT(links, 0);
}

INSTANTIATE_TEST_SUITE_P(AllPages, HelpPage,
                         ::testing::Values(Page{"en", "index.html"}, Page{"en", "topics.html"},
                                           Page{"de", "index.html"}, Page{"de", "topics.html"}),
                         [](const auto& info) {
                             return info.param.lang + "_" +
                                    info.param.name.substr(0, info.param.name.find('.'));
                         });

class HelpLanguage : public ::testing::TestWithParam<std::string> {
protected:
    fs::path Dir() const { return fs::path(LEXARO_HELP_DIR) / GetParam(); }
};

// The help window jumps to topics.html#<topic>; each topic must be there exactly once.
TEST_P(HelpLanguage, TopicsPageHoldsEveryTopicOnce) {
    const std::string html = ReadText(Dir() / "topics.html");
    for (const auto& topic : kTopics) {
        const std::string anchor = "<a name=\"" + topic + "\" id=\"" + topic + "\">";
        const auto first = html.find(anchor);
        ASSERT_NE(first, std::string::npos) << GetParam() << ": " << topic;
        EXPECT_EQ(html.find(anchor, first + 1), std::string::npos) << GetParam() << ": " << topic;
    }
}

TEST_P(HelpLanguage, ContentsPageLinksEveryTopic) {
    const std::string html = ReadText(Dir() / "index.html");
    for (const auto& topic : kTopics)
        EXPECT_NE(html.find("href=\"topics.html#" + topic + "\""), std::string::npos)
            << GetParam() << ": " << topic;
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, HelpLanguage, ::testing::Values("en", "de"));

TEST(HelpGerman, UmlautsAreStoredAsUtf8) {
    const std::string html = ReadText(fs::path(LEXARO_HELP_DIR) / "de" / "topics.html");
    for (const char* word : {"\xC3\x9C"
                             "bung",
                             "Pr\xC3\xA4sentation",
                             "schlie\xC3\x9F"
                             "t",
                             "L\xC3\xB6sung"})
        EXPECT_NE(html.find(word), std::string::npos) << word;
}

// Write mode is described in both languages under its anchor, with the words the settings
// dialog shows.
TEST(HelpWriteMode, BothLanguagesDescribeItWithTheDialogsWords) {
    struct Words {
        const char* lang;
        std::vector<std::string> words;
    };
    for (const Words& page :
         {Words{"en", {"Write mode", "Ignore accents", "Set priorities from my answers"}},
          Words{"de",
                {"Schreiben", "Akzente nicht beachten",
                 "Prioritäten aus meinen Antworten setzen"}}}) {
        const std::string html = ReadText(fs::path(LEXARO_HELP_DIR) / page.lang / "topics.html");
        EXPECT_NE(html.find("id=\"Schreiben\""), std::string::npos) << page.lang;
        EXPECT_NE(html.find("href=\"#Schreiben\""), std::string::npos) << page.lang;
        for (const std::string& word : page.words)
            EXPECT_NE(html.find(word), std::string::npos) << page.lang << ": " << word;
    }
}

// The help says what the program does now, with the words its windows show: the six code
// pages of the settings dialog, the question every way out of the editors asks, Write mode's
// keys and comma setting, a right answer resting the pair; and none of what it no longer does.
TEST(HelpCurrent, SaysWhatTheProgramDoesNow) {
    struct Claims {
        const char* lang;
        const char* page;
        std::vector<std::string> said;
        std::vector<std::string> gone;
    };
    const Claims pages[] = {
        {"en",
         "topics.html",
         {"Central European (1250)", "Cyrillic (1251)", "Turkish (1254)", "Baltic (1257)",
          "<b>Discard</b>", "Alt+0 to Alt+9", "A comma separates alternatives", "not use twice",
          "use always", "portable", "as the card ends", "brings the held-back pairs back",
          "<b>Tab</b>", "which stop at the ends of the list"},
         {"allways", "without asking", "Western European character set",
          "separated by \";\" or \",\"", "while the answer field is empty"}},
        {"en", "index.html", {"use always", "topics.html#Schreiben"}, {"allways"}},
        {"de",
         "topics.html",
         {"Mitteleurop\u00e4isch (1250)", "Kyrillisch (1251)", "T\u00fcrkisch (1254)",
          "Baltisch (1257)", "<b>Verwerfen</b>", "Alt+0 bis Alt+9", "Ein Komma trennt Alternativen",
          "zweimal aussetzen", "immer verwenden", "portables", "wenn die Karte endet",
          "holt die zur\u00fcckgehaltenen Paare", "<b>Tab</b>", "achtmal aussetzen"},
         {"ohne zu fragen", "westeurop\u00e4ischen Zeichensatz", "oder \u201e,\u201c",
          "solange das Antwortfeld leer", "nicht verwenden</td>", "\u00dcbungstabelle zeigen"}},
        {"de", "index.html", {"topics.html#Schreiben", "Codepage"}, {}},
    };
    for (const Claims& c : pages) {
        const std::string html = ReadText(fs::path(LEXARO_HELP_DIR) / c.lang / c.page);
        for (const std::string& words : c.said)
            EXPECT_NE(html.find(words), std::string::npos)
                << c.lang << "/" << c.page << ": " << words;
        for (const std::string& words : c.gone)
            EXPECT_EQ(html.find(words), std::string::npos)
                << c.lang << "/" << c.page << ": " << words;
    }
}

} // namespace
