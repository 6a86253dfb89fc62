// The speech engine on the real espeak-ng control, speaking into WAV clips and, at the end,
// through the Qt audio sink.
#include "data/FileUtil.h"
#include "speech/DesktopSpeech.h"
#include "speech/EspeakControl.h"
#include "speech/LanguageNames.h"
#include "speech/QtAudioOutput.h"
#include "speech/SpeechEngine.h"
#include "speech/WaveFileOutput.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace lexaro {
namespace {

using namespace std::chrono_literals;

constexpr auto kWait = 30s;

// Qt Multimedia needs an application object; one for the whole test program.
class QtEnvironment : public testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "speech_espeak_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QCoreApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QCoreApplication> app_;
};
[[maybe_unused]] testing::Environment* const kQtEnvironment =
    testing::AddGlobalTestEnvironment(new QtEnvironment);

std::string RegistryFile() {
    const char* data = std::getenv("LEXARO_TEST_DATA");
    const std::string root = data ? JoinPath(JoinPath(data, ".."), "..") : "../..";
    return JoinPath(JoinPath(JoinPath(root, "resources"), "registry"), "Lexaro.Reg");
}

double Seconds(const std::vector<std::int16_t>& clip) {
    return static_cast<double>(clip.size()) / TEspeakControl::kSampleRate;
}

int Peak(const std::vector<std::int16_t>& clip) {
    int peak = 0;
    for (auto s : clip)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

// An engine on espeak-ng whose speech lands in clips.
class EspeakEngine : public testing::Test {
protected:
    void SetUp() override {
        output = std::make_shared<TWaveFileOutput>(TEspeakControl::kSampleRate);
        auto store = std::make_shared<TRegistryStore>(TRegistryStore::Load(RegistryFile()));
        engine = std::make_unique<TSpeechEngine>(
            [this]() -> std::unique_ptr<TDirectSS> {
                auto c = std::make_unique<TEspeakControl>(output);
                control = c.get();
                return c;
            },
            true, store);
        ASSERT_TRUE(engine->Open());
        ASSERT_TRUE(output->WaitForTexts(1, kWait)); // the blank spoken by Open
        spoken = 1;
    }

    std::int32_t Position(const std::string& displayName) {
        const auto& names = engine->VoiceNames();
        const auto it = std::find(names.begin(), names.end(), displayName);
        return it == names.end() ? -1 : static_cast<std::int32_t>(it - names.begin() + 1);
    }

    // Speaks one text with the voice, speed and pitch and returns its clip.
    std::vector<std::int16_t> Say(const std::string& text, const std::string& voice = kGerman,
                                  std::int32_t speed = 175, std::int32_t pitch = 50,
                                  const TCodePage& page = TCodePage::Western()) {
        EXPECT_TRUE(engine->SelectVoiceByName(voice)) << voice;
        engine->SetSpeed(speed);
        engine->SetPitch(pitch);
        engine->Speak(text, page);
        ++spoken;
        EXPECT_TRUE(output->WaitForTexts(spoken, kWait));
        return output->Clips().at(spoken - 1);
    }

    static inline const std::string kGerman = "German (German)";
    static inline const std::string kEnglish = "English (Great Britain) (English (Great Britain))";

    std::shared_ptr<TWaveFileOutput> output;
    std::unique_ptr<TSpeechEngine> engine;
    TEspeakControl* control = nullptr;
    std::size_t spoken = 0;
};

TEST_F(EspeakEngine, ListsEnglishAndGermanVoicesWithTheirRanges) {
    for (const auto& name :
         {kGerman, kEnglish, std::string("English (America) (English (America))")}) {
        const auto p = Position(name);
        ASSERT_GT(p, 0) << name;
        EXPECT_EQ(engine->VoiceMinSpeed(p), 80);
        EXPECT_EQ(engine->VoiceMaxSpeed(p), 450);
        EXPECT_EQ(engine->VoiceMinPitch(p), 0);
        EXPECT_EQ(engine->VoiceMaxPitch(p), 100);
        EXPECT_EQ(engine->VoiceDefaultPitch(p), 55);
        EXPECT_EQ(engine->VoiceDefaultSpeed(p), 212);
    }
    EXPECT_EQ(engine->SampleKey(Position(kGerman)), 0x407);
    EXPECT_EQ(engine->SampleKey(Position(kEnglish)), 0x809);
    EXPECT_GT(engine->VoiceCount(), 50);

    // Modes are numbered 1..n without MBROLA voices, in name order.
    const auto n = control->ModeCount();
    EXPECT_EQ(n, engine->VoiceCount());
    for (std::int32_t m = 1; m <= n; ++m) {
        EXPECT_NE(control->ModeID(m).rfind("mb/", 0), 0u) << control->ModeID(m);
        EXPECT_EQ(engine->FindVoice(engine->VoiceNames()[static_cast<std::size_t>(m - 1)]), m);
        if (m > 1) {
            EXPECT_LE(control->ModeName(m - 1), control->ModeName(m));
        }
    }
    EXPECT_THROW(control->Select(n + 1), TSpeechError);
}

// A file's language name in its own script finds a voice of that language among the voices
// as espeak-ng has them, also where the control names the voice's language otherwise than
// the table of languages ("Gaelic (Scottish)"), or by its file ("Māori" does not fit
// Windows-1252).
TEST_F(EspeakEngine, FileLanguagesInTheirOwnScriptsFindTheirVoices) {
    std::vector<std::string> languages;
    for (std::int32_t p = 1; p <= engine->VoiceCount(); ++p)
        languages.push_back(engine->VoiceLanguage(p));
    const std::vector<std::string_view> views(languages.begin(), languages.end());
    const std::pair<std::string, std::string> cases[] = {
        {"日本語", "ja"}, {"中文", "cmn"},   {"العربية", "ar"},  {"हिन्दी", "hi"},
        {"ไทย", "th"},    {"Svenska", "sv"}, {"Gàidhlig", "gd"}, {"Māori", "mi"},
    };
    for (const auto& [name, code] : cases) {
        const std::int32_t p = FindVoiceForLanguageUtf8(name, views);
        ASSERT_GT(p, 0) << name;
        EXPECT_NE(control->ModeID(p).find(code), std::string::npos)
            << name << ": " << control->ModeID(p);
    }
}

TEST_F(EspeakEngine, SpeaksAWordAudiblyAndOfPlausibleLength) {
    const auto clip = Say("Haus");
    EXPECT_GT(Peak(clip), 2000);
    EXPECT_GT(Seconds(clip), 0.2);
    EXPECT_LT(Seconds(clip), 1.5);

    // Written out as a WAV file it reads back with the same length.
    const auto dir = std::filesystem::temp_directory_path() / "lexaro_espeak_wav";
    std::filesystem::create_directories(dir);
    const auto wav = (dir / "haus.wav").string();
    ASSERT_TRUE(WriteWholeFile(wav, MakeWav(clip, TEspeakControl::kSampleRate), true));
    EXPECT_EQ(ReadWholeFile(wav).size(), 44 + clip.size() * 2);
    std::filesystem::remove_all(dir);
}

// The samples of a 16-bit mono WAV file as espeak-ng's command line writes it.
std::vector<std::int16_t> WavSamples(const byteArray& bytes) {
    std::vector<std::int16_t> samples;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const auto data = text.find("data");
    if (data == std::string_view::npos)
        return samples;
    for (std::size_t i = data + 8; i + 1 < bytes.size(); i += 2)
        samples.push_back(static_cast<std::int16_t>(bytes[i] | (bytes[i + 1] << 8)));
    return samples;
}

TEST(EspeakText, Utf16BecomesExactUtf8) {
    EXPECT_EQ(Utf16ToUtf8(u"Grüße €"), "Gr\xC3\xBC\xC3\x9F"
                                       "e \xE2\x82\xAC");
    EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t{0xD800}) + u"a"), "\xEF\xBF\xBD"
                                                                       "a");
}

TEST_F(EspeakEngine, UmlautsAndSharpSAreSpokenLikeEspeaksOwnCommandLine) {
    const auto clip = Say("Gr\xFC\xDF"
                          "e aus M\xFCnchen");
    const auto dir = std::filesystem::temp_directory_path() / "lexaro_espeak_cli";
    std::filesystem::create_directories(dir);
    const auto wav = (dir / "cli.wav").string();
    const std::string command =
        "espeak-ng -v gmw/de -s 175 -p 50 -w " + wav + " 'Grüße aus München' 2>/dev/null";
    const int status = std::system(command.c_str());
    auto cli = WavSamples(ReadWholeFile(wav));
    std::filesystem::remove_all(dir);
    if (status != 0 || cli.empty())
        GTEST_SKIP() << "the espeak-ng command line is not installed";
    while (!cli.empty() && cli.back() == 0)
        cli.pop_back(); // the command line adds silence at the end
    EXPECT_NEAR(Seconds(clip), Seconds(cli), 0.02 * Seconds(cli));
    // The same bytes misread as UTF-8 text ("GrÃ¼ÃŸe") would be spoken clearly longer.
    const auto misread = Say("Gr\xC3\xBC\xC3\x9F"
                             "e aus M\xC3\xBCnchen");
    EXPECT_GT(Seconds(misread), Seconds(clip) * 1.15);
}

// Stored text of the other code pages reaches espeak-ng as the real words: a Russian and a
// Greek phrase in their code pages sound as espeak-ng's command line speaks them, and the same
// bytes read as Western European ("êîøêà") are something else.
TEST_F(EspeakEngine, WordsOfTheirCodePagesAreSpokenLikeEspeaksOwnCommandLine) {
    const struct {
        int page;
        std::string utf8;
        std::string voice, file;
    } cases[] = {
        {1251, "кошка и собака", "Russian (Russian)", "zle/ru"},
        {1253, "η γάτα και ο σκύλος", "Greek (Greek)", "grk/el"},
    };
    const auto dir = std::filesystem::temp_directory_path() / "lexaro_espeak_pages";
    std::filesystem::create_directories(dir);
    for (const auto& c : cases) {
        const TCodePage& page = TCodePage::Get(c.page);
        std::string stored;
        ASSERT_TRUE(page.FromUtf8(c.utf8, stored));
        const auto clip = Say(stored, c.voice, 175, 50, page);
        EXPECT_GT(Peak(clip), 2000) << c.utf8;
        const auto wav = (dir / "cli.wav").string();
        const std::string command =
            "espeak-ng -v " + c.file + " -s 175 -p 50 -w " + wav + " '" + c.utf8 + "' 2>/dev/null";
        const int status = std::system(command.c_str());
        auto cli = WavSamples(ReadWholeFile(wav));
        if (status != 0 || cli.empty())
            GTEST_SKIP() << "the espeak-ng command line is not installed";
        while (!cli.empty() && cli.back() == 0)
            cli.pop_back(); // the command line adds silence at the end
        EXPECT_NEAR(Seconds(clip), Seconds(cli), 0.02 * Seconds(cli)) << c.utf8;
        const auto misread = Say(stored, c.voice, 175, 50, TCodePage::Western());
        EXPECT_GT(std::abs(Seconds(misread) - Seconds(clip)), 0.1 * Seconds(clip)) << c.utf8;
    }
    std::filesystem::remove_all(dir);
}

TEST_F(EspeakEngine, FastSpeechIsClearlyShorter) {
    const std::string text = "Guten Morgen, wie geht es Ihnen heute?";
    const auto slow = Say(text, kGerman, 80);
    const auto fast = Say(text, kGerman, 450);
    EXPECT_LT(Seconds(fast), Seconds(slow) * 0.5);
    // Out-of-range speeds are ignored: the last valid one stays.
    const auto again = Say(text, kGerman, 451);
    EXPECT_NEAR(Seconds(again), Seconds(fast), 0.1 * Seconds(fast));
}

TEST_F(EspeakEngine, TextInBracketsGivesNoAudio) {
    EXPECT_TRUE(Say("[der] (Hund)").empty());
    EXPECT_FALSE(Say("Hund [der]").empty());
}

TEST_F(EspeakEngine, TextsAreSpokenInTheOrderGiven) {
    ASSERT_TRUE(engine->SelectVoiceByName(kEnglish));
    engine->Speak("This is a rather long sentence that takes a good while to speak aloud.");
    ASSERT_TRUE(engine->SelectVoiceByName(kGerman));
    engine->Speak("Ja");
    ASSERT_TRUE(output->WaitForTexts(spoken + 2, kWait));
    const auto clips = output->Clips();
    EXPECT_GT(Seconds(clips[spoken]), 3 * Seconds(clips[spoken + 1]));
}

TEST_F(EspeakEngine, SampleSentencesComeFromTheStore) {
    engine->SpeakSample(Position(kGerman), 200, 50);
    ASSERT_TRUE(output->WaitForTexts(spoken + 1, kWait));
    EXPECT_GT(Seconds(output->Clips()[spoken]), 2.0);
}

TEST_F(EspeakEngine, StoppingDuringALongTextEndsCleanlyAndOpensAgain) {
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "Dies ist ein sehr langer Text, der lange gesprochen wird. ";
    ASSERT_TRUE(engine->SelectVoiceByName(kGerman));
    engine->Speak(text);
    engine->Speak(text);
    // A second control cannot start while this one holds the synthesiser.
    EXPECT_THROW(TEspeakControl{output}, TSpeechError);
    engine.reset(); // cancels the running text (minutes of speech) and drops the queued one
    EXPECT_EQ(output->TextCount(), spoken);

    SetUp(); // a fresh engine starts the synthesiser again
    EXPECT_FALSE(Say("Hallo").empty());
}

// The program's path: espeak-ng into Qt's audio sink on the default output device.
TEST(QtAudio, SpeechPlaysThroughTheAudioSink) {
    auto output = std::make_shared<TQtAudioOutput>(TEspeakControl::kSampleRate);
    if (!output->Start())
        GTEST_SKIP() << "No audio output: no PulseAudio server is reachable "
                        "(scripts/test.sh starts one with a null sink)";
    TEspeakControl* control = nullptr;
    TSpeechEngine engine(
        [&]() -> std::unique_ptr<TDirectSS> {
            auto c = std::make_unique<TEspeakControl>(output);
            control = c.get();
            return c;
        },
        true, nullptr);
    ASSERT_TRUE(engine.Open());
    ASSERT_TRUE(engine.SelectVoiceByName("German (German)"));
    engine.Speak("Haus");
    ASSERT_TRUE(control->WaitUntilDone(kWait));
    const auto produced = output->Buffer().BytesPlayed() + output->Buffer().BytesWaiting();
    EXPECT_GT(produced, TEspeakControl::kSampleRate * 2 / 5); // at least 0.2 s of speech

    QElapsedTimer timer;
    timer.start();
    while (output->Buffer().BytesWaiting() > 0 && timer.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(output->Buffer().BytesWaiting(), 0);
    EXPECT_EQ(output->Buffer().BytesPlayed(), produced);
    EXPECT_GT(output->ProcessedMicroseconds(), 0);
}

TEST(QtAudio, DesktopEngineOpensWithTheStoreFromTheApplicationFolder) {
    const auto dir = std::filesystem::temp_directory_path() / "lexaro_desktop_speech";
    std::filesystem::create_directories(dir);
    std::filesystem::copy_file(RegistryFile(), dir / "Lexaro.Reg",
                               std::filesystem::copy_options::overwrite_existing);
    auto engine = MakeDesktopSpeechEngine(dir.string());
    ASSERT_NE(engine, nullptr);
    if (!engine->AudioIsPresent()) {
        EXPECT_FALSE(engine->Open()); // runs silently
        GTEST_SKIP() << "No audio output: no PulseAudio server is reachable";
    }
    ASSERT_TRUE(engine->Open());
    const auto& names = engine->VoiceNames();
    const auto it = std::find(names.begin(), names.end(), "German (German)");
    ASSERT_NE(it, names.end());
    EXPECT_NO_THROW(
        engine->SpeakSample(static_cast<std::int32_t>(it - names.begin() + 1), 200, 50));
    engine.reset(); // while the sample is still being spoken
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace lexaro
