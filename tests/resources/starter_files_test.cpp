// The starter files of the application folder: the English-Deutsch language file made from
// its word list, its picture, and the preset settings that point at it.
#include "app/AppIniFile.h"
#include "data/Charset.h"
#include "data/LangFHandler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::string::size_type start = 0;
    for (;;) {
        const auto tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

// lesson number -> (text1, text2) in file order, in the stored character set.
using WordList = std::map<int, std::vector<std::pair<std::string, std::string>>>;

WordList ReadWordList() {
    std::istringstream tsv(ReadText(LEXARO_STARTER_TSV));
    std::string line;
    std::getline(tsv, line);
    EXPECT_EQ(line, "lesson\ttext1\ttext2\tuse");
    WordList list;
    while (std::getline(tsv, line)) {
        const auto fields = SplitTabs(line);
        EXPECT_EQ(fields.size(), 4u) << line;
        if (fields.size() != 4)
            continue;
        EXPECT_EQ(fields[3], "1") << line;
        std::string text1, text2;
        EXPECT_TRUE(lexaro::Utf8ToCp1252(fields[1], text1)) << line;
        EXPECT_TRUE(lexaro::Utf8ToCp1252(fields[2], text2)) << line;
        list[std::stoi(fields[0])].emplace_back(text1, text2);
    }
    return list;
}

TEST(StarterWordList, ThreeLessonsOfEverydayPairsThatCanBeStored) {
    const WordList list = ReadWordList();
    ASSERT_EQ(list.size(), 3u);
    for (const auto& [lesson, pairs] : list) {
        EXPECT_GE(pairs.size(), 18u) << lesson;
        EXPECT_LE(pairs.size(), 25u) << lesson;
        for (const auto& [text1, text2] : pairs) {
            EXPECT_FALSE(text1.empty() || text2.empty());
            EXPECT_EQ(text1.find('@'), std::string::npos) << text1;
            EXPECT_EQ((text1 + text2).find('#'), std::string::npos) << text1;
        }
    }
    // German nouns keep their letters: the word list is UTF-8 and converts cleanly.
    EXPECT_EQ(list.at(1)[3].second, "die K\xFC"
                                    "che");
}

TEST(StarterPicture, IsA24BitBitmapOf22By22) {
    const std::string bmp = ReadText(LEXARO_STARTER_BMP);
    ASSERT_GE(bmp.size(), 54u);
    auto u32 = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(bmp[at])) |
               static_cast<unsigned>(static_cast<unsigned char>(bmp[at + 1])) << 8 |
               static_cast<unsigned>(static_cast<unsigned char>(bmp[at + 2])) << 16 |
               static_cast<unsigned>(static_cast<unsigned char>(bmp[at + 3])) << 24;
    };
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(u32(18), 22u);
    EXPECT_EQ(u32(22), 22u);
    EXPECT_EQ(static_cast<unsigned char>(bmp[28]), 24);
    EXPECT_EQ(u32(2), bmp.size());
}

#ifdef LEXARO_STARTER_LANG
TEST(StarterLanguageFile, LoadsWithEveryPairOfTheWordListInUse) {
    lexaro::TLangFHandler file;
    ASSERT_TRUE(file.Load(LEXARO_STARTER_LANG));
    EXPECT_EQ(file.GetLang1Name(), "English");
    EXPECT_EQ(file.GetLang2Name(), "Deutsch");
    EXPECT_EQ(file.SkippedLines(), 0);

    const WordList list = ReadWordList();
    int lessons = 0;
    for (std::int32_t slot = 0; slot < file.SlotCount(); ++slot) {
        const auto lesson = file.LessonAt(slot);
        if (!lesson)
            continue;
        ++lessons;
        ASSERT_TRUE(list.count(lesson->number)) << lesson->number;
        const auto& expected = list.at(lesson->number);
        ASSERT_EQ(lesson->PairCount(), static_cast<std::int32_t>(expected.size()));
        EXPECT_EQ(lesson->UsedPairCount(), lesson->PairCount());
        EXPECT_EQ(lesson->DrawnPairCount(), 0);
        std::size_t next = 0;
        for (std::int32_t id = 0; id < lesson->SlotCount(); ++id) {
            const auto pair = lesson->PairAt(id);
            if (!pair)
                continue;
            ASSERT_LT(next, expected.size());
            EXPECT_EQ(pair->text1, expected[next].first);
            EXPECT_EQ(pair->text2, expected[next].second);
            ++next;
        }
    }
    EXPECT_EQ(lessons, 3);
}
#else
TEST(StarterLanguageFile, LoadsWithEveryPairOfTheWordListInUse) {
    GTEST_SKIP() << "lexaro-lang is not built, so the starter language file is not made";
}
#endif

TEST(PresetSettings, ChooseTheStarterFileAndItsThreeLessons) {
    const fs::path ini = fs::path(LEXARO_APP_FOLDER) / "Lexaro.Ini";
    const std::string text = ReadText(ini);
    ASSERT_FALSE(text.empty());
    // Every line ends in CR LF.
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        ASSERT_TRUE(at > 0 && text[at - 1] == '\r') << "line end at " << at;
    EXPECT_EQ(text.find("@"), std::string::npos) << "a placeholder was not filled in";

    lexaro::TAppIniFile settings(LEXARO_APP_FOLDER, nullptr);
    ASSERT_TRUE(settings.iniFound);
    EXPECT_EQ(settings.Language, "EN");
    ASSERT_TRUE(settings.ReadExerciseSection());
    const auto& exercise = settings.exercise;
    // Named relatively, so the folder may be copied or moved anywhere.
    EXPECT_EQ(exercise.LangFileName, "LangFiles/English-Deutsch.lang");
    EXPECT_EQ(settings.LangFilePath(),
              fs::path(LEXARO_APP_FOLDER) / "LangFiles" / "English-Deutsch.lang");
    EXPECT_EQ(exercise.Lang1, "English");
    EXPECT_EQ(exercise.Lang2, "Deutsch");
    EXPECT_TRUE(exercise.FirstLang);
    EXPECT_EQ(exercise.MaxWords, 300);
    EXPECT_EQ(exercise.AvailableUnits, (lexaro::intArray{1, 2, 3}));
    EXPECT_TRUE(exercise.ExerciseWords.empty());

    settings.ReadGeneralSection();
    settings.ReadFontSection();
    settings.ReadVoiceSection();
    EXPECT_TRUE(settings.general.AutoPresent);
    EXPECT_TRUE(settings.general.VoiceAnswer);
    // The presented text is shown and spoken, the solution spoken too.
    EXPECT_EQ(settings.general.VoicePresent, 2);
    EXPECT_EQ(settings.general.DelayPresent, 5);
    EXPECT_EQ(settings.general.DelayAnswer, 5);
    // The font must be one the settings dialog offers, or its page shows no choice.
    EXPECT_EQ(settings.font.Font, "Times New Roman");
    EXPECT_EQ(settings.font.Size, 18);
    // Voices of espeak-ng as the speech engine names them, with its default speed and pitch
    // (a pitch of 0 would be espeak-ng's lowest, not its default).
    EXPECT_EQ(settings.voices[0].Voice, "English (Great Britain) (English (Great Britain))");
    EXPECT_EQ(settings.voices[1].Voice, "German (German)");
    for (const auto& voice : settings.voices) {
        EXPECT_EQ(voice.Speed, 212);
        EXPECT_EQ(voice.Pitch, 55);
    }
}

} // namespace
