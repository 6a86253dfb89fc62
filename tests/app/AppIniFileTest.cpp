#include "app/AppIniFile.h"

#include "support/TestFiles.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

using test::RecordingSink;

class AppIniFileTest : public ::testing::Test {
protected:
    test::TempDir dir;
    RecordingSink sink;

    std::string IniPath() const { return dir.file("Lexaro.Ini"); }
    std::unique_ptr<TAppIniFile> Open(const std::string& content) {
        WriteFileBytes(IniPath(), content);
        return std::make_unique<TAppIniFile>(dir.path().string(), &sink);
    }
    std::unique_ptr<TAppIniFile> ReadAll(const std::string& content) {
        auto s = Open(content);
        s->ReadExerciseSection();
        s->ReadGeneralSection();
        s->ReadFontSection();
        s->ReadVoiceSection();
        return s;
    }
};

TEST_F(AppIniFileTest, MissingFileWarnsAndIsNotFound) {
    TAppIniFile settings(dir.path().string(), &sink);
    EXPECT_FALSE(settings.iniFound);
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].caption, "Lexaro V2.02");
    EXPECT_EQ(sink.shown[0].text, "lexaro.ini - Dosn't exists  ");
    EXPECT_EQ(settings.Language, "EN");
    EXPECT_EQ(settings.IniPath(), IniPath());
    EXPECT_EQ(settings.appFolder, dir.path());
    EXPECT_EQ(settings.appTitle, "Lexaro V2.02");
}

TEST_F(AppIniFileTest, EmptyFileGivesEveryDefault) {
    auto s = Open("");
    EXPECT_TRUE(s->iniFound);
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_FALSE(s->ReadExerciseSection());
    s->ReadGeneralSection();
    s->ReadFontSection();
    s->ReadVoiceSection();
    EXPECT_EQ(s->Language, "EN");
    const TExerciseData& ex = s->exercise;
    EXPECT_TRUE(ex.LangFileName.empty() && ex.Lang1.empty() && ex.Lang2.empty());
    EXPECT_TRUE(ex.FirstLang);
    EXPECT_EQ(ex.MaxWords, 300);
    EXPECT_TRUE(ex.AvailableUnits.empty() && ex.ExerciseWords.empty());
    const TGeneralProperty& g = s->general;
    EXPECT_FALSE(g.AutoPresent);
    EXPECT_EQ(g.DelayPresent, 10);
    EXPECT_TRUE(g.VoiceAnswer);
    EXPECT_FALSE(g.LetterAnswer);
    EXPECT_EQ(g.DelayAnswer, 10);
    EXPECT_EQ(g.VoicePresent, 0);
    EXPECT_TRUE(g.ShowTable);
    EXPECT_EQ(s->font.Font, "Times New Roman");
    EXPECT_EQ(s->font.Style, 1);
    EXPECT_EQ(s->font.Color, 2);
    EXPECT_EQ(s->font.Size, 14);
    for (const TVoiceProperty& v : s->voices) {
        EXPECT_EQ(v.Voice, "no Voice");
        EXPECT_EQ(v.Speed, 0);
        EXPECT_EQ(v.Pitch, 0);
    }
    EXPECT_TRUE(s->exerciseLoaded && s->generalLoaded && s->fontLoaded && s->voiceLoaded);
}

// The code page of the language files: 1252 unless the file names a known one; written back
// when the file had it or the learner chose another.
TEST_F(AppIniFileTest, TheCodePageIsKnownOrWesternEuropean) {
    const struct {
        const char* value;
        std::int32_t read;
    } cases[] = {{nullptr, 1252}, {"1251", 1251},     {" 1253 ", 1253},
                 {"1255", 1252},  {"cyrillic", 1252}, {"", 1252}};
    for (const auto& c : cases) {
        std::string ini = "[Application]\r\nLanguage=EN\r\n";
        if (c.value != nullptr)
            ini += std::string("CodePage=") + c.value + "\r\n";
        auto s = Open(ini);
        EXPECT_EQ(s->CodePage, c.read) << (c.value ? c.value : "missing");
    }
    auto s = Open("[Application]\r\nLanguage=EN\r\n");
    s->WriteAll("EN");
    EXPECT_EQ(ReadFileBytes(IniPath()), "[Application]\r\nLanguage=EN\r\n");
    s->CodePage = 1250;
    s->WriteAll("EN");
    EXPECT_EQ(ReadFileBytes(IniPath()), "[Application]\r\nLanguage=EN\r\nCodePage=1250\r\n");
}

TEST_F(AppIniFileTest, LanguageIsReadUpperCased) {
    auto s = Open("[application]\r\nlanguage=de\r\n");
    EXPECT_EQ(s->Language, "DE");
    EXPECT_FALSE(s->ReadExerciseSection());
    EXPECT_EQ(s->exercise.MaxWords, 300);
}

TEST_F(AppIniFileTest, ReadsEveryGroup) {
    auto s = ReadAll("[Exercise]\r\nLangFileName=C:\\L\\en.lang\r\nLang1=English\r\n"
                     "Lang2=Deutsch\r\nFirstLang=False\r\nMaxWords=0x20\r\n"
                     "[AvailableUnits]\r\n0=1\r\n1=5\r\nNbrUnits=2\r\n"
                     "[ExerciseWords]\r\n0=1-5-0\r\n1=5-12-3\r\nNbrWords=2\r\n"
                     "[GeneralProperty]\r\nAutoPresent=true\r\nDelayPresent=7\r\n"
                     "VoiceAnswer=FALSE\r\nLetterAnswer=True\r\nDelayAnswer=3\r\n"
                     "VoicePresent=2\r\nShowTable=false\r\n"
                     "[FontProperty]\r\nFont=Arial\r\nStyle=0\r\nColor=8\r\nSize=20\r\n"
                     "[VoiceProperty]\r\nVoice1=Anna\r\nVoice2=Hans\r\nSpeed1=150\r\n"
                     "Speed2=-3\r\nPitch1=40\r\nPitch2=60\r\n");
    const TExerciseData& ex = s->exercise;
    EXPECT_EQ(ex.LangFileName, "C:\\L\\en.lang");
    EXPECT_EQ(ex.Lang1, "English");
    EXPECT_EQ(ex.Lang2, "Deutsch");
    EXPECT_FALSE(ex.FirstLang);
    EXPECT_EQ(ex.MaxWords, 32);
    EXPECT_EQ(ex.AvailableUnits, (intArray{1, 5}));
    EXPECT_EQ(ex.ExerciseWords, (ArrayWordData{{1, 5, 0, false}, {5, 12, 3, false}}));
    EXPECT_TRUE(s->IsAvailableUnit(5));
    EXPECT_FALSE(s->IsAvailableUnit(2));
    EXPECT_TRUE(s->general.AutoPresent);
    EXPECT_EQ(s->general.DelayPresent, 7);
    EXPECT_FALSE(s->general.VoiceAnswer);
    EXPECT_TRUE(s->general.LetterAnswer);
    EXPECT_EQ(s->general.DelayAnswer, 3);
    EXPECT_EQ(s->general.VoicePresent, 2);
    EXPECT_FALSE(s->general.ShowTable);
    EXPECT_EQ(s->font.Font, "Arial");
    EXPECT_EQ(s->font.Style, 0);
    EXPECT_EQ(s->font.Color, 8);
    EXPECT_EQ(s->font.Size, 20);
    EXPECT_EQ(s->voices[0].Voice, "Anna");
    EXPECT_EQ(s->voices[1].Voice, "Hans");
    EXPECT_EQ(s->voices[0].Speed, 150);
    EXPECT_EQ(s->voices[1].Speed, -3);
    EXPECT_EQ(s->voices[0].Pitch, 40);
    EXPECT_EQ(s->voices[1].Pitch, 60);
}

TEST_F(AppIniFileTest, ExerciseResultNeedsAllFourInOrder) {
    const struct {
        const char* content;
        bool result;
        bool unitsRead;
    } cases[] = {
        {"[Exercise]\r\nLangFileName=f\r\nLang1=a\r\nLang2=b\r\n"
         "[AvailableUnits]\r\n0=1\r\nNbrUnits=1\r\n",
         true, true},
        {"[Exercise]\r\nLangFileName=f\r\nLang1=a\r\nLang2=b\r\n", false, false},
        {"[Exercise]\r\nLangFileName=f\r\nLang1=a\r\n[AvailableUnits]\r\n0=1\r\nNbrUnits=1\r\n",
         false, false},
        {"[Exercise]\r\nLang1=a\r\nLang2=b\r\n[AvailableUnits]\r\n0=1\r\nNbrUnits=1\r\n", false,
         false},
    };
    for (const auto& c : cases) {
        auto s = Open(c.content);
        EXPECT_EQ(s->ReadExerciseSection(), c.result) << c.content;
        // Without a file name the language names are not read either.
        EXPECT_EQ(!s->exercise.AvailableUnits.empty(), c.unitsRead) << c.content;
        if (s->exercise.LangFileName.empty()) {
            EXPECT_TRUE(s->exercise.Lang1.empty());
        }
    }
}

TEST(ExerciseEntryParse, Cases) {
    const struct {
        const char* text;
        bool ok;
        ExerciseEntry expected;
    } cases[] = {
        {"3-12-0", true, {3, 12, 0, false}},    {"12-345-7", true, {12, 345, 7, false}},
        {"12-3", false, {-1, -1, -1, false}},   {"", false, {-1, -1, -1, false}},
        {"-1-2-3", false, {-1, -1, -1, false}}, {"123", false, {-1, -1, -1, false}},
        {"1-2-34", false, {-1, -1, -1, false}}, {"1-2-x", false, {-1, -1, -1, false}},
        {"a-2-3", false, {-1, -1, -1, false}},  {"1-2+3", true, {1, 2, 3, false}},
        {"1--4-5", true, {1, -4, 5, false}},    {"1-99999999999-5", false, {-1, -1, -1, false}},
        {"1-", false, {-1, -1, -1, false}},
    };
    for (const auto& c : cases) {
        ExerciseEntry e{7, 7, 7, true};
        EXPECT_EQ(ParseExerciseEntry(c.text, e), c.ok) << c.text;
        EXPECT_EQ(e, c.expected) << c.text;
    }
    EXPECT_EQ(FormatExerciseEntry({3, 12, 0, false}), "3-12-0");
    EXPECT_EQ(FormatExerciseEntry({-1, 0, 9, true}), "-1-0-9");
}

TEST_F(AppIniFileTest, OnlyEntriesThatWereReadAndAreValidAreKept) {
    // A bad entry no longer ends the list, and nothing stands in for it.
    auto s = Open("[exerciseWords]\r\nNbrWords=3\r\n0=1-5-0\r\n1=bad\r\n2=2-7-3\r\n");
    s->ReadExerciseSection();
    EXPECT_EQ(s->exercise.ExerciseWords, (ArrayWordData{{1, 5, 0, false}, {2, 7, 3, false}}));
}

TEST_F(AppIniFileTest, ACloseNeverWritesMoreThanItReadOrTheProgramMade) {
    // Hand-edited or damaged settings: counts larger than the lists, numbers no file can
    // hold, pairs and lessons given twice.
    const std::string base = "[Exercise]\r\nLangFileName=x.lang\r\nLang1=A\r\nLang2=B\r\n";
    struct Case {
        const char* name;
        std::string lists;
        ArrayWordData entries;
        intArray units;
    } cases[] = {
        {"count larger than the list",
         "[ExerciseWords]\r\n0=1-2-0\r\n1=1-3-4\r\nNbrWords=5\r\n"
         "[AvailableUnits]\r\n0=1\r\nNbrUnits=4\r\n",
         {{1, 2, 0, false}, {1, 3, 4, false}},
         {1}},
        {"counts of two thousand million",
         "[ExerciseWords]\r\n0=1-2-0\r\nNbrWords=2000000000\r\n"
         "[AvailableUnits]\r\n0=1\r\n1=2\r\n2=3\r\nNbrUnits=2000000000\r\n",
         {{1, 2, 0, false}},
         {1, 2, 3}},
        {"numbers no file can hold",
         "[ExerciseWords]\r\n0=-1-2-0\r\n1=1000000-0-0\r\n2=3-1000000-0\r\n3=2-2-2\r\n"
         "NbrWords=4\r\n[AvailableUnits]\r\n0=-1\r\n1=2\r\n2=1000000\r\n3=x\r\nNbrUnits=4\r\n",
         {{2, 2, 2, false}},
         {2}},
        {"given twice",
         "[ExerciseWords]\r\n0=1-2-0\r\n1=1-2-5\r\n2=1-3-0\r\nNbrWords=3\r\n"
         "[AvailableUnits]\r\n0=2\r\n1=1\r\n2=2\r\nNbrUnits=3\r\n",
         {{1, 2, 0, false}, {1, 3, 0, false}},
         {2, 1}},
        {"keys with gaps",
         "[ExerciseWords]\r\n0=1-2-0\r\n7=1-3-0\r\nNbrWords=9\r\n"
         "[AvailableUnits]\r\n3=4\r\nNbrUnits=5\r\n",
         {{1, 2, 0, false}, {1, 3, 0, false}},
         {4}},
    };
    for (const Case& c : cases) {
        auto s = ReadAll(base + c.lists);
        EXPECT_EQ(s->exercise.ExerciseWords, c.entries) << c.name;
        EXPECT_EQ(s->exercise.AvailableUnits, c.units) << c.name;
        s->WriteAll("EN");
        const std::string written = ReadFileBytes(IniPath());
        EXPECT_NE(written.find("NbrWords=" + std::to_string(c.entries.size()) + "\r\n"),
                  std::string::npos)
            << c.name;
        EXPECT_NE(written.find("NbrUnits=" + std::to_string(c.units.size()) + "\r\n"),
                  std::string::npos)
            << c.name;
        EXPECT_LT(written.size(), 600u) << c.name;
        EXPECT_EQ(written.find("-1"), std::string::npos) << c.name;
    }
}

TEST_F(AppIniFileTest, ASettingsFileThatCannotBeReadIsNeverWritten) {
#ifndef _WIN32
    std::filesystem::create_symlink("/dev/zero", IniPath());
    TAppIniFile settings(dir.path(), &sink);
    EXPECT_FALSE(settings.iniFound) << "the program ends";
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_NE(sink.shown[0].text.find("cannot be read: it is not a regular file"),
              std::string::npos)
        << sink.shown[0].text;
    EXPECT_THROW(settings.WriteAll("EN"), TIniWriteError);
    EXPECT_TRUE(std::filesystem::is_symlink(IniPath()));
#endif
    // Far larger than any settings file: refused before it is read.
    std::filesystem::remove(IniPath());
    {
        std::ofstream big(IniPath(), std::ios::binary);
        big.seekp((16 << 20) + 1);
        big.put('x');
    }
    sink.shown.clear();
    TAppIniFile huge(dir.path(), &sink);
    EXPECT_FALSE(huge.iniFound);
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(std::filesystem::file_size(IniPath()), (16u << 20) + 2);
}

TEST_F(AppIniFileTest, ListIsCutToMaxWords) {
    std::string content = "[Exercise]\r\nMaxWords=50\r\n[ExerciseWords]\r\n";
    for (int i = 0; i < 80; ++i)
        content += std::to_string(i) + "=1-" + std::to_string(i) + "-0\r\n";
    content += "NbrWords=80\r\n";
    auto s = Open(content);
    s->ReadExerciseSection();
    ASSERT_EQ(s->exercise.ExerciseWords.size(), 50u);
    EXPECT_EQ(s->exercise.ExerciseWords[49].pairId, 49);

    auto hostile = Open("[Exercise]\r\nMaxWords=-4\r\n[ExerciseWords]\r\n0=1-1-0\r\n"
                        "NbrWords=2147483647\r\n");
    hostile->ReadExerciseSection();
    EXPECT_TRUE(hostile->exercise.ExerciseWords.empty());
}

TEST_F(AppIniFileTest, CloseWritesSectionsAndKeysInOrder) {
    auto s = ReadAll("");
    s->exercise.LangFileName = "f.lang";
    s->exercise.Lang1 = "English";
    s->exercise.Lang2 = "Deutsch";
    s->exercise.AvailableUnits = {2, 4};
    s->exercise.ExerciseWords = {{2, 1, 0, false}, {4, 3, 2, false}};
    s->WriteAll("DE");
    EXPECT_EQ(ReadFileBytes(IniPath()), "[GeneralProperty]\r\n"
                                        "AutoPresent=False\r\n"
                                        "VoiceAnswer=True\r\n"
                                        "LetterAnswer=False\r\n"
                                        "DelayPresent=10\r\n"
                                        "DelayAnswer=10\r\n"
                                        "VoicePresent=0\r\n"
                                        "ShowTable=True\r\n"
                                        "[FontProperty]\r\n"
                                        "Font=Times New Roman\r\n"
                                        "Style=1\r\n"
                                        "Color=2\r\n"
                                        "Size=14\r\n"
                                        "[VoiceProperty]\r\n"
                                        "Voice1=no Voice\r\n"
                                        "Voice2=no Voice\r\n"
                                        "Speed1=0\r\n"
                                        "Speed2=0\r\n"
                                        "Pitch1=0\r\n"
                                        "Pitch2=0\r\n"
                                        "[Exercise]\r\n"
                                        "LangFileName=f.lang\r\n"
                                        "Lang1=English\r\n"
                                        "Lang2=Deutsch\r\n"
                                        "FirstLang=True\r\n"
                                        "MaxWords=300\r\n"
                                        "[AvailableUnits]\r\n"
                                        "0=2\r\n"
                                        "1=4\r\n"
                                        "NbrUnits=2\r\n"
                                        "[ExerciseWords]\r\n"
                                        "0=2-1-0\r\n"
                                        "1=4-3-2\r\n"
                                        "NbrWords=2\r\n"
                                        "[Application]\r\n"
                                        "Language=DE\r\n");
    EXPECT_EQ(s->Language, "DE");
}

TEST_F(AppIniFileTest, ExerciseListWriteLeavesOutTransientAndNotMoreUse) {
    auto s = Open("[ExerciseWords]\r\n0=9-9-0\r\n1=9-9-0\r\n2=9-9-0\r\n3=9-9-0\r\n4=9-9-0\r\n"
                  "NbrWords=5\r\n[AvailableUnits]\r\n0=1\r\n1=2\r\n2=3\r\nNbrUnits=3\r\n");
    s->ReadExerciseSection();
    s->exercise.LangFileName = "f.lang";
    s->exercise.Lang1 = "a";
    s->exercise.Lang2 = "b";
    s->exercise.AvailableUnits = {7};
    s->exercise.ExerciseWords = {
        {1, 1, 0, false}, {1, 2, 9, false}, {1, 3, 0, true}, {1, 4, 8, false}};
    s->heldBack = {{2, 5, 9, false}, {2, 6, 3, true}};
    s->WriteExerciseSection();
    s->Flush();

    TAppIniFile again(dir.path().string(), &sink);
    again.ReadExerciseSection();
    EXPECT_EQ(
        again.exercise.ExerciseWords,
        (ArrayWordData{{1, 1, 0, false}, {1, 4, 8, false}, {2, 5, 9, false}, {2, 6, 3, false}}));
    EXPECT_EQ(again.exercise.AvailableUnits, (intArray{7}));
    const std::string text = ReadFileBytes(IniPath());
    EXPECT_NE(text.find("NbrWords=4\r\n"), std::string::npos);
    EXPECT_NE(text.find("NbrUnits=1\r\n"), std::string::npos);
    // Keys of the earlier, longer lists are gone.
    EXPECT_EQ(text.find("4=9-9-0"), std::string::npos);
    EXPECT_EQ(text.find("1=2\r\n"), std::string::npos);
}

TEST_F(AppIniFileTest, ListsOfOtherFilesAreKeptInSectionsOfTheirOwnAndBounded) {
    const std::string current = "[Exercise]\r\nLangFileName=a.lang\r\nLang1=x\r\nLang2=y\r\n"
                                "MaxWords=300\r\n[AvailableUnits]\r\n0=1\r\nNbrUnits=1\r\n"
                                "[ExerciseWords]\r\n0=1-0-3\r\nNbrWords=1\r\n";
    auto s = ReadAll(current);
    EXPECT_TRUE(s->keptLists.empty());
    // More files than are kept: the one left longest ago goes; top-up entries and "not more
    // use" are not kept, and empty lists keep nothing.
    for (std::size_t n = 0; n <= kMaxKeptLists; ++n)
        s->KeepLists("f" + std::to_string(n) + ".lang", {{2, 0, 4}, {2, 1, 9}, {2, 2, 0, true}},
                     {{2, 3, 2}});
    s->KeepLists("empty.lang", {{2, 2, 0, true}}, {});
    ASSERT_EQ(s->keptLists.size(), kMaxKeptLists);
    EXPECT_EQ(
        s->keptLists.front(),
        (TKeptLists{"f" + std::to_string(kMaxKeptLists) + ".lang", {{2, 0, 4}}, {{2, 3, 2}}}));
    EXPECT_EQ(s->keptLists.back().langFileName, "f1.lang");
    s->WriteAll("EN");

    auto again = ReadAll(ReadFileBytes(IniPath()));
    EXPECT_EQ(again->keptLists, s->keptLists);
    EXPECT_EQ(again->exercise.ExerciseWords, (ArrayWordData{{1, 0, 3}})) << "the current file's";
    const auto taken = again->TakeKeptLists("f5.lang");
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->exerciseWords, (ArrayWordData{{2, 0, 4}}));
    EXPECT_FALSE(again->TakeKeptLists("f5.lang"));
    // Once nothing is kept the sections go again: the file reads as one of before.
    again->keptLists.clear();
    again->WriteAll("EN");
    const std::string text = ReadFileBytes(IniPath());
    EXPECT_EQ(text.find("Kept"), std::string::npos) << text;
}

TEST_F(AppIniFileTest, GarbageFallsBackToDefaultsAndLosesNothingElse) {
    const std::string original = "; my own notes\r\n"
                                 "[Plugins]\r\n"
                                 "Path=C:\\x\r\n"
                                 "\r\n"
                                 "[generalproperty]\r\n"
                                 "AutoPresent=yes\r\n"
                                 "Mystery=42\r\n"
                                 "DelayPresent=ten\r\n"
                                 "[Exercise]\r\n"
                                 "MaxWords=abc\r\n"
                                 "FirstLang=1\r\n"
                                 "Custom=keep me\r\n"
                                 "[FontProperty]\r\n"
                                 "Size=huge\r\n";
    auto s = ReadAll(original);
    EXPECT_FALSE(s->general.AutoPresent);
    EXPECT_EQ(s->general.DelayPresent, 10);
    EXPECT_EQ(s->exercise.MaxWords, 300);
    EXPECT_TRUE(s->exercise.FirstLang);
    EXPECT_EQ(s->font.Size, 14);
    s->WriteAll("EN");

    TAppIniFile again(dir.path().string(), &sink);
    again.ReadExerciseSection();
    again.ReadGeneralSection();
    EXPECT_EQ(again.exercise.MaxWords, 300);
    const std::string text = ReadFileBytes(IniPath());
    EXPECT_EQ(text.rfind("; my own notes\r\n[Plugins]\r\nPath=C:\\x\r\n\r\n[generalproperty]\r\n"
                         "AutoPresent=False\r\nMystery=42\r\nDelayPresent=10\r\n",
                         0),
              0u);
    EXPECT_NE(text.find("[Exercise]\r\nMaxWords=300\r\nFirstLang=True\r\nCustom=keep me\r\n"),
              std::string::npos);
    // A second run that changes nothing leaves the file byte for byte.
    again.ReadFontSection();
    again.ReadVoiceSection();
    again.WriteAll("EN");
    EXPECT_EQ(ReadFileBytes(IniPath()), text);
}

// Write mode's keys: a file without them reads with their defaults and is written without
// them until the learner changes one; a file with them keeps them, defaults included.
TEST_F(AppIniFileTest, WriteModeKeysAppearOnlyOnceChanged) {
    const std::string older = "[GeneralProperty]\r\nAutoPresent=True\r\nVoiceAnswer=True\r\n"
                              "LetterAnswer=False\r\nDelayPresent=10\r\nDelayAnswer=10\r\n"
                              "VoicePresent=0\r\nShowTable=True\r\n";
    auto s = Open(older);
    s->ReadGeneralSection();
    EXPECT_TRUE(s->general.AutoPresent);
    EXPECT_FALSE(s->general.WriteAnswer);
    EXPECT_FALSE(s->general.IgnoreAccents);
    EXPECT_TRUE(s->general.PrioritiesFromAnswers);
    s->WriteAll("EN");
    EXPECT_EQ(ReadFileBytes(IniPath()), older + "[Application]\r\nLanguage=EN\r\n");

    s->general.WriteAnswer = true;
    s->general.PrioritiesFromAnswers = false;
    s->WriteAll("EN");
    const std::string text = ReadFileBytes(IniPath());
    EXPECT_NE(text.find("ShowTable=True\r\nWriteAnswer=True\r\nPrioritiesFromAnswers=False\r\n"),
              std::string::npos);
    EXPECT_EQ(text.find("IgnoreAccents"), std::string::npos);

    // Back to the defaults: the keys stay, now that the file has them.
    TAppIniFile again(dir.path().string(), &sink);
    again.ReadGeneralSection();
    EXPECT_TRUE(again.general.WriteAnswer);
    EXPECT_FALSE(again.general.PrioritiesFromAnswers);
    again.general.WriteAnswer = false;
    again.general.PrioritiesFromAnswers = true;
    again.WriteAll("EN");
    EXPECT_NE(ReadFileBytes(IniPath()).find("WriteAnswer=False\r\nPrioritiesFromAnswers=True\r\n"),
              std::string::npos);
}

// The comma tick: off in a file without its key, which is written without it until it is
// ticked; once there, the key stays, also when unticked again.
TEST_F(AppIniFileTest, TheCommaKeyAppearsOnlyOnceTicked) {
    const std::string older = "[GeneralProperty]\r\nShowTable=True\r\nWriteAnswer=True\r\n";
    auto s = Open(older);
    s->ReadGeneralSection();
    EXPECT_FALSE(s->general.CommaSeparates);
    s->WriteAll("EN");
    EXPECT_EQ(ReadFileBytes(IniPath()).find("CommaSeparates"), std::string::npos);

    s->general.CommaSeparates = true;
    s->WriteAll("EN");
    EXPECT_NE(ReadFileBytes(IniPath()).find("CommaSeparates=True\r\n"), std::string::npos);

    TAppIniFile again(dir.path().string(), &sink);
    again.ReadGeneralSection();
    EXPECT_TRUE(again.general.CommaSeparates);
    again.general.CommaSeparates = false;
    again.WriteAll("EN");
    EXPECT_NE(ReadFileBytes(IniPath()).find("CommaSeparates=False\r\n"), std::string::npos);
}

// "Due words first" and its target: absent from older files until they differ from the
// defaults; a target outside 50..99 reads as 90.
TEST_F(AppIniFileTest, TheDueWordsKeysAppearOnlyOnceChanged) {
    auto s = Open("[GeneralProperty]\r\nShowTable=True\r\n");
    s->ReadGeneralSection();
    EXPECT_FALSE(s->general.DueWordsFirst);
    EXPECT_EQ(s->general.DueTarget, 90);
    s->WriteAll("EN");
    EXPECT_EQ(ReadFileBytes(IniPath()).find("Due"), std::string::npos);
    s->general.DueWordsFirst = true;
    s->WriteAll("EN");
    EXPECT_NE(ReadFileBytes(IniPath()).find("DueWordsFirst=True\r\n"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(IniPath()).find("DueTarget"), std::string::npos);

    for (const auto& [stored, read] : std::vector<std::pair<std::string, int>>{
             {"85", 85}, {"50", 50}, {"99", 99}, {"100", 90}, {"49", 90}, {"x", 90}}) {
        SCOPED_TRACE(stored);
        auto t = Open("[GeneralProperty]\r\nDueWordsFirst=True\r\nDueTarget=" + stored + "\r\n");
        t->ReadGeneralSection();
        EXPECT_TRUE(t->general.DueWordsFirst);
        EXPECT_EQ(t->general.DueTarget, read);
    }
}

// A language file in a folder Windows-1252 cannot name is kept as UTF-8 and found again; the
// file is written back as it was.
TEST_F(AppIniFileTest, ALanguageFileInACyrillicFolderIsFoundAgain) {
    const std::string ini = "[Exercise]\r\nLangFileName=/home/anna/\xD0\x94\xD0\xBE\xD0\xBA/"
                            "x.lang\r\nLang1=English\r\nLang2=Deutsch\r\n";
    auto s = Open(ini);
    s->ReadExerciseSection();
    EXPECT_EQ(s->LangFilePath(), std::filesystem::path(u8"/home/anna/\u0414\u043E\u043A/x.lang"));
    EXPECT_EQ(s->exercise.LangFileName, "/home/anna/\xD0\x94\xD0\xBE\xD0\xBA/x.lang");
}

TEST_F(AppIniFileTest, GroupsNeverReadAreNotWritten) {
    const std::string original = "[GeneralProperty]\r\nDelayPresent=oops\r\n";
    auto s = Open(original);
    s->general.DelayPresent = 99;
    s->exercise.MaxWords = 5;
    s->WriteAll("EN");
    EXPECT_EQ(ReadFileBytes(IniPath()), original + "[Application]\r\nLanguage=EN\r\n");
}

TEST_F(AppIniFileTest, WrittenValuesStayOnOneLine) {
    auto s = ReadAll("");
    s->exercise.LangFileName = "a\r\n[Application]\r\nLanguage=XX";
    s->font.Font = "Arial\nBold";
    s->WriteAll("EN");
    TAppIniFile again(dir.path().string(), &sink);
    EXPECT_EQ(again.Language, "EN");
    again.ReadExerciseSection();
    again.ReadFontSection();
    EXPECT_EQ(again.exercise.LangFileName, "a  [Application]  Language=XX");
    EXPECT_EQ(again.font.Font, "Arial Bold");
}

TEST_F(AppIniFileTest, AFailedCloseReportsThePathAndKeepsTheFile) {
    auto s = ReadAll("[Exercise]\r\nMaxWords=5\r\n");
    // The file is replaced by a folder between start and close: the write must fail.
    std::filesystem::remove(IniPath());
    std::filesystem::create_directories(IniPath());
    WriteFileBytes(IniPath() + "/inside", "x");
    try {
        s->WriteAll("EN");
        FAIL() << "no error";
    } catch (const TIniWriteError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Unable to write to " + IniPath() + ": it is not a regular file");
    }
    EXPECT_TRUE(std::filesystem::is_directory(IniPath()));
}

} // namespace
} // namespace lexaro
