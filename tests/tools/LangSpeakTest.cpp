// lexaro-lang speak on a scripted speech control: what the track holds, in which voice, speed
// and pitch each text was spoken, and what is refused.
#include "LangTool.h"

#include "data/CodePage.h"
#include "data/FileUtil.h"
#include "speech/FakeControl.h"
#include "support/LangFiles.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <functional>
#include <sstream>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

struct TSpoken {
    std::int32_t mode, speed, pitch;
    std::u16string text;
};

// Speaks each text at once as ten samples per character, all of the text's number (1, 2, ...
// after the blank that opens the engine).
class ScriptedVoices : public test::FakeControl {
public:
    ScriptedVoices(std::shared_ptr<TAudioOutput> output, std::vector<TSpoken>* spoken,
                   const std::vector<std::pair<std::string, std::string>>& voices)
        : FakeControl(Voices(voices), nullptr), output_(std::move(output)), spoken_(spoken) {}
    void Select(std::int32_t m) override {
        FakeControl::Select(m);
        mode_ = m;
    }
    void Speak(const std::u16string& text) override {
        if (!spoken_->empty() || text != u" ")
            spoken_->push_back({mode_, speed_, pitch_, text});
        const std::vector<std::int16_t> samples(text.size() * 10,
                                                static_cast<std::int16_t>(spoken_->size()));
        if (text != u" ")
            output_->Write(samples.data(), samples.size());
        output_->EndOfText();
    }

private:
    static std::vector<test::FakeMode>
    Voices(const std::vector<std::pair<std::string, std::string>>& voices) {
        std::vector<test::FakeMode> modes;
        for (const auto& [name, language] : voices) {
            test::FakeMode m;
            m.Name = name;
            m.Language = language;
            m.MinSpeed = 80;
            m.MaxSpeed = 450;
            modes.push_back(m);
        }
        return modes;
    }
    std::shared_ptr<TAudioOutput> output_;
    std::vector<TSpoken>* spoken_;
    std::int32_t mode_ = 0;
};

// The samples of a WAV file as lexaro-lang writes it; empty when the header does not fit.
std::vector<std::int16_t> WavSamples(const std::string& bytes) {
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(36, 4, "data") != 0)
        return {};
    auto u32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = v << 8 | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
        return v;
    };
    if (u32(40) != bytes.size() - 44 || u32(4) != bytes.size() - 8 || u32(24) != 22050)
        return {};
    std::vector<std::int16_t> samples;
    for (std::size_t i = 44; i + 1 < bytes.size(); i += 2)
        samples.push_back(static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                                    static_cast<std::uint8_t>(bytes[i + 1]) << 8));
    return samples;
}

// The track as runs of equal samples: (value, count).
std::vector<std::pair<int, std::size_t>> Runs(const std::vector<std::int16_t>& samples) {
    std::vector<std::pair<int, std::size_t>> runs;
    for (const auto s : samples) {
        if (runs.empty() || runs.back().first != s)
            runs.emplace_back(s, 0);
        ++runs.back().second;
    }
    return runs;
}

class SpeakCommand : public ::testing::Test {
protected:
    void SetUp() override {
        TLangFHandler lang = test::GeneratedLangFile({{1, 2}, {2, 1}, {3, 1, false}});
        lang.LessonAt(1)->PairAt(1)->text2 = "der [m] Hund (Tier)";
        ASSERT_TRUE(lang.Save(path));
        env.speechControl = [this](std::shared_ptr<TAudioOutput> output) {
            return std::make_unique<ScriptedVoices>(std::move(output), &spoken, voices);
        };
    }
    int Run(std::vector<std::string> args) {
        out.str({});
        err.str({});
        spoken.clear();
        return RunLangTool(args, out, err, env);
    }
    std::vector<std::string> Speak(std::vector<std::string> more) {
        std::vector<std::string> args = {"speak",          path,       "--voice1",
                                         "Anna (English)", "--voice2", "Bernd (Deutsch)",
                                         "--out",          track};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    test::TempDir dir{"lexaro_speak_"};
    std::string path = dir.file("words.lang");
    std::string track = dir.file("track.wav");
    TLangToolEnv env;
    std::vector<std::pair<std::string, std::string>> voices = {{"Anna", "English"},
                                                               {"Bernd", "Deutsch"}};
    std::vector<TSpoken> spoken;
    std::ostringstream out, err;
};

TEST_F(SpeakCommand, EachPairInUseIsSpokenWithItsVoiceAndPauses) {
    ASSERT_EQ(Run(Speak({"--lessons", "1-2,3", "--pause", "100", "--gap", "200", "--speed2", "300",
                         "--pitch1", "20"})),
              kLangToolOk)
        << err.str();
    // Lesson 3 is not in use; the brackets are left out as the exercise leaves them out.
    ASSERT_EQ(spoken.size(), 6u);
    const std::u16string texts[] = {u"word 1.0",   u"Wort 1.0", u"word 1.1",
                                    u"der  Hund ", u"word 2.0", u"Wort 2.0"};
    for (std::size_t i = 0; i < spoken.size(); ++i) {
        const bool second = i % 2 == 1;
        EXPECT_EQ(spoken[i].text, texts[i]) << i;
        EXPECT_EQ(spoken[i].mode, second ? 2 : 1) << i;
        // The voice's defaults unless given: the middle of the range less a fifth, plus a tenth.
        EXPECT_EQ(spoken[i].speed, second ? 300 : 212) << i;
        EXPECT_EQ(spoken[i].pitch, second ? 55 : 20) << i;
    }
    const auto runs = Runs(WavSamples(test::ReadFileBytes(track)));
    std::vector<std::pair<int, std::size_t>> expected;
    for (std::size_t i = 0; i < spoken.size(); ++i) {
        expected.emplace_back(static_cast<int>(i + 1), texts[i].size() * 10);
        expected.emplace_back(0, i % 2 == 0 ? 2205 : 4410);
    }
    EXPECT_EQ(runs, expected);
    EXPECT_EQ(out.str(), track + ": 3 pair(s), 0:01 of WAV\n");
    EXPECT_TRUE(err.str().empty()) << "no progress bar when not on a terminal";

    // On a terminal the bar ends with every pair done.
    env.errIsTerminal = true;
    ASSERT_EQ(Run(Speak({"--force"})), kLangToolOk);
    EXPECT_NE(err.str().find("] 3/3 pairs\n"), std::string::npos) << err.str();
    EXPECT_EQ(err.str().front(), '\r');
}

TEST_F(SpeakCommand, RefusesWhatItCannotDo) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string said;
    };
    const Case cases[] = {
        {Speak({"--lessons", "1,x"}), kLangToolUsage, "--lessons takes"},
        {Speak({"--pause", "-1"}), kLangToolUsage, "--pause takes milliseconds"},
        {Speak({"--speed1", "500"}), kLangToolUsage, "--speed1 takes 80 to 450"},
        {Speak({"--lessons", "2,7,9"}), kLangToolBadData, "there is no lesson 7, 9"},
        {Speak({"--lessons", "3"}), kLangToolBadData, "no pair in use"},
        {{"speak", path, "--voice1", "Anna", "--voice2", "Bernd (Deutsch)", "--out", track},
         kLangToolUsage,
         "--voice1: there is no voice \"Anna\""},
        {{"speak", path, "--voice1", "Anna (English)", "--voice2", "Bernd (Deutsch)", "--out",
          dir.file("track.mp3")},
         kLangToolUsage,
         "--out must end in .wav, .ogg or .flac"},
        {{"speak", path, "--voice1", "Anna (English)", "--voice2", "Bernd (Deutsch)", "--out",
          dir.file("words.lang"), "--force"},
         kLangToolUsage,
         "--out must end"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run(c.args), c.status) << c.said;
        EXPECT_NE(err.str().find(c.said), std::string::npos) << err.str();
        EXPECT_FALSE(CheckFileExists(track)) << c.said;
    }
    // The language file itself, even under another name, and an existing track without --force.
    const std::string link = dir.file("words.wav");
    std::filesystem::create_symlink(path, link);
    EXPECT_EQ(Run({"speak", path, "--voice1", "Anna (English)", "--voice2", "Bernd (Deutsch)",
                   "--out", link, "--force"}),
              kLangToolBadData);
    EXPECT_NE(err.str().find("it is the language file being spoken"), std::string::npos);
    test::WriteFileBytes(track, "precious");
    EXPECT_EQ(Run(Speak({})), kLangToolBadData);
    EXPECT_EQ(test::ReadFileBytes(track), "precious");

    EXPECT_EQ(Run({"speak", "--list-voices"}), kLangToolOk);
    EXPECT_EQ(out.str(), "Anna (English)\nBernd (Deutsch)\n");
    env.speechControl = nullptr;
    EXPECT_EQ(Run({"speak", "--list-voices"}), kLangToolBadData);
    EXPECT_NE(err.str().find("speak is not available"), std::string::npos);
    // The other commands do not need speech.
    EXPECT_EQ(Run({"check", path}), kLangToolOk);
}

TEST_F(SpeakCommand, WithoutVoicesTheSettingsBesideTheProgramOrTheLanguageNamesChoose) {
    // Voices as espeak-ng names them: the display name is "name (language)".
    voices = {{"English (America)", "English (America)"},
              {"English (Great Britain)", "English (Great Britain)"},
              {"French (France)", "French (France)"},
              {"German", "German"}};
    const std::string america = "English (America) (English (America))";
    const std::string britain = "English (Great Britain) (English (Great Britain))";
    const std::filesystem::path program = dir.path() / "program";
    std::filesystem::create_directory(program);
    env.settingsFolder = program;
    auto settings = [&](const std::string& lang1, const std::string& lang2,
                        const std::string& voice1, const std::string& voice2) {
        test::WriteFileBytes((program / "Lexaro.Ini").string(),
                             "[VoiceProperty]\r\nVoice1=" + voice1 + "\r\nVoice2=" + voice2 +
                                 "\r\nSpeed1=300\r\nSpeed2=250\r\nPitch1=20\r\nPitch2=30\r\n"
                                 "[Exercise]\r\nLangFileName=LangFiles/words.lang\r\nLang1=" +
                                 lang1 + "\r\nLang2=" + lang2 + "\r\n");
    };
    struct Case {
        std::string what;
        std::function<void()> arrange;
        std::int32_t mode1, mode2;     // the voices that spoke the first and the second text
        std::int32_t speed1, pitch2;   // as spoken
        std::vector<std::string> said; // what the output says
    };
    const Case cases[] = {
        {"no settings: the language names choose, the home variant first",
         [] {},
         2,
         4,
         212,
         55,
         {"voice 1 (English): " + britain + ", speed 212, pitch 55, for the language's name\n",
          "voice 2 (Deutsch): German (German), speed 212, pitch 55, for the language's name\n"}},
        {"settings for this file's languages",
         [&] { settings("English", "Deutsch", america, "German (German)"); },
         1,
         4,
         300,
         30,
         {"voice 1 (English): " + america + ", speed 300, pitch 20, from " +
          (program / "Lexaro.Ini").string() + "\n"}},
        {"settings for this file's languages the other way round",
         [&] { settings("deutsch", "ENGLISH", "German (German)", america); },
         1,
         4,
         250,
         20,
         {"voice 2 (Deutsch): German (German), speed 300, pitch 20, from "}},
        {"settings for other languages",
         [&] {
             settings("Fran\xE7"
                      "ais",
                      "Deutsch", "French (France) (French (France))", "German (German)");
         },
         2,
         4,
         212,
         55,
         {"for the language's name"}},
        {"settings naming a voice that is not there",
         [&] { settings("English", "Deutsch", "Gone (English)", "German (German)"); },
         2,
         4,
         212,
         30,
         {"voice 1 (English): " + britain + ", speed 212, pitch 55, for the language's name"}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(program / "Lexaro.Ini");
        c.arrange();
        ASSERT_EQ(Run({"speak", path, "--out", track, "--force"}), kLangToolOk)
            << c.what << ": " << err.str();
        ASSERT_GE(spoken.size(), 2u) << c.what;
        EXPECT_EQ(spoken[0].mode, c.mode1) << c.what;
        EXPECT_EQ(spoken[1].mode, c.mode2) << c.what;
        EXPECT_EQ(spoken[0].speed, c.speed1) << c.what;
        EXPECT_EQ(spoken[1].pitch, c.pitch2) << c.what;
        for (const auto& part : c.said)
            EXPECT_NE(out.str().find(part), std::string::npos) << c.what << "\n" << out.str();
    }

    // A voice named on the command line is not said again; a language that no voice speaks
    // is said with the ways to name one.
    std::filesystem::remove(program / "Lexaro.Ini");
    TLangFHandler klingon = test::GeneratedLangFile({{1, 1}});
    klingon.SetLanguageNames("Klingonisch", "Deutsch");
    const std::string other = dir.file("klingon.lang");
    ASSERT_TRUE(klingon.Save(other));
    EXPECT_EQ(Run({"speak", other, "--out", track, "--force"}), kLangToolUsage);
    for (const char* part : {"no voice found for language 1 \"Klingonisch\"", "--voice1 NAME",
                             "lexaro-lang speak --list-voices", "Lexaro.Ini"})
        EXPECT_NE(err.str().find(part), std::string::npos) << part << "\n" << err.str();
    ASSERT_EQ(Run({"speak", other, "--out", track, "--force", "--voice1", america}), kLangToolOk)
        << err.str();
    EXPECT_EQ(out.str().find("voice 1"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("voice 2 (Deutsch): German (German)"), std::string::npos);
}

// A file in another code page is spoken as the real words, by the voice its language names
// ask for in that script; read in the wrong code page it is said so.
TEST_F(SpeakCommand, AFileOfAnotherCodePageIsSpokenAsItsRealWords) {
    voices = {{"English (Great Britain)", "English (Great Britain)"},
              {"German", "German"},
              {"Russian", "Russian"}};
    const TCodePage& cyrillic = TCodePage::Get(1251);
    auto stored = [&](const std::string& utf8) {
        std::string out;
        EXPECT_TRUE(cyrillic.FromUtf8(utf8, out)) << utf8;
        return out;
    };
    TLangFHandler lang = test::GeneratedLangFile({{1, 2}});
    lang.SetLanguageNames("English", stored("Русский"));
    lang.LessonAt(1)->PairAt(0)->text2 = stored("кошка (ж) [koshka]");
    lang.LessonAt(1)->PairAt(1)->text2 = stored("Собака");
    ASSERT_TRUE(lang.Save(path));

    ASSERT_EQ(Run({"speak", path, "--out", track, "--codepage", "1251"}), kLangToolOk) << err.str();
    ASSERT_EQ(spoken.size(), 4u);
    EXPECT_EQ(spoken[1].text, u"кошка  ");
    EXPECT_EQ(spoken[1].mode, 3);
    EXPECT_EQ(spoken[3].text, u"Собака");
    EXPECT_NE(out.str().find("voice 2 (Русский): Russian (Russian), speed 212, pitch 55, for the "
                             "language's name\n"),
              std::string::npos)
        << out.str();
    EXPECT_TRUE(err.str().empty()) << err.str();

    // The settings beside the program choose the code page, and their voices for the file's
    // languages, whose names they keep in that code page.
    const std::filesystem::path program = dir.path() / "program";
    std::filesystem::create_directory(program);
    env.settingsFolder = program;
    test::WriteFileBytes((program / "Lexaro.Ini").string(),
                         "[Application]\r\nCodePage=1251\r\n[VoiceProperty]\r\nVoice1=German "
                         "(German)\r\nVoice2=Russian (Russian)\r\nSpeed1=300\r\nSpeed2=250\r\n"
                         "Pitch1=20\r\nPitch2=30\r\n[Exercise]\r\nLangFileName=LangFiles/ru.lang"
                         "\r\nLang1=ENGLISH\r\nLang2=" +
                             stored("РУССКИЙ") + "\r\n");
    ASSERT_EQ(Run({"speak", path, "--out", track, "--force"}), kLangToolOk) << err.str();
    ASSERT_EQ(spoken.size(), 4u);
    EXPECT_EQ(spoken[1].text, u"кошка  ");
    EXPECT_EQ(spoken[0].mode, 2);
    EXPECT_EQ(spoken[1].speed, 250);
    EXPECT_NE(out.str().find("voice 2 (Русский): Russian (Russian), speed 250, pitch 30, from "),
              std::string::npos)
        << out.str();

    // Read as Western European the name means nothing and the texts are odd: both are said,
    // and nothing is written.
    ASSERT_EQ(Run({"speak", path, "--out", track, "--force", "--codepage", "1252"}),
              kLangToolUsage);
    EXPECT_NE(err.str().find("warning: the texts read like code page 1251 (Cyrillic)"),
              std::string::npos)
        << err.str();
    EXPECT_NE(err.str().find("no voice found for language 2 \"\xC3\x90\xC3\xB3"), std::string::npos)
        << err.str();
    EXPECT_TRUE(spoken.empty());
}

} // namespace
} // namespace lexaro
