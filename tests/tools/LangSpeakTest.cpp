// lexaro-lang speak on a scripted speech control: what the track holds, in which voice, speed
// and pitch each text was spoken, and what is refused.
#include "LangTool.h"

#include "data/FileUtil.h"
#include "speech/FakeControl.h"
#include "support/LangFiles.h"
#include "support/TestFiles.h"

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
    ScriptedVoices(std::shared_ptr<TAudioOutput> output, std::vector<TSpoken>* spoken)
        : FakeControl({Voice("Anna", "English"), Voice("Bernd", "Deutsch")}, nullptr),
          output_(std::move(output)), spoken_(spoken) {}
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
    static test::FakeMode Voice(std::string name, std::string language) {
        test::FakeMode m;
        m.Name = std::move(name);
        m.Language = std::move(language);
        m.MinSpeed = 80;
        m.MaxSpeed = 450;
        return m;
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
            return std::make_unique<ScriptedVoices>(std::move(output), &spoken);
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
        {{"speak", path, "--voice1", "Anna (English)", "--out", track},
         kLangToolUsage,
         "speak needs --voice2 NAME"},
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

} // namespace
} // namespace lexaro
