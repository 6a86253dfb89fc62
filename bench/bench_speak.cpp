// lexaro-lang speak on espeak-ng: a 500-pair lesson rendered as a track, in audio seconds per
// wall second (counter "x_real_time"), against the baseline of the same 1000 texts spoken by
// the same engine into an output that drops the samples: synthesis alone, no pauses, no file.
// The goal is at least 20 times real time.
#include "LangTool.h"

#include "data/LangFHandler.h"
#include "speech/EspeakControl.h"
#include "speech/SpeechEngine.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>

using namespace lexaro;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kPairs = 500;
const char* const kEnglish = "English (Great Britain) (English (Great Britain))";
const char* const kGerman = "German (German)";

// Vocabulary of the usual length: an article, a noun and a number to tell the pairs apart.
std::pair<std::string, std::string> PairText(int i) {
    static const std::pair<const char*, const char*> kWords[] = {
        {"the house", "das Haus"},
        {"the kitchen", "die K\xFC"
                        "che"},
        {"the garden", "der Garten"},
        {"the window", "das Fenster"},
        {"the table", "der Tisch"},
        {"the bridge", "die Br\xFC"
                       "cke"},
        {"to read", "lesen"},
        {"to travel", "reisen"},
        {"beautiful", "sch\xF6n"},
        {"the train station", "der Bahnhof"}};
    const auto& [en, de] = kWords[i % std::size(kWords)];
    return {std::string(en) + " " + std::to_string(i), std::string(de) + " " + std::to_string(i)};
}

const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / "lexaro_bench_speak";
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        TLangFHandler lang;
        lang.SetLanguageNames("English", "Deutsch");
        auto lesson = std::make_shared<TLesson>();
        lesson->number = 1;
        for (int i = 0; i < kPairs; ++i) {
            auto pair = lesson->NewPair(i);
            std::tie(pair->text1, pair->text2) = PairText(i);
            pair->use = true;
        }
        lang.PutLesson(lesson);
        lang.Save(path / "lesson.lang");
        return path;
    }();
    return folder;
}

TLangToolEnv Env() {
    TLangToolEnv env;
    env.speechControl = [](std::shared_ptr<TAudioOutput> output) {
        return std::make_unique<TEspeakControl>(std::move(output));
    };
    return env;
}

// Seconds of "M:SS" or "H:MM:SS" at the end of speak's line.
double TrackSeconds(const std::string& line) {
    const auto of = line.rfind(" of ");
    const auto start = line.rfind(' ', of - 1) + 1;
    double seconds = 0;
    std::istringstream parts(line.substr(start, of - start));
    std::string part;
    while (std::getline(parts, part, ':'))
        seconds = seconds * 60 + std::stod(part);
    return seconds;
}

void SpeakTrack(benchmark::State& state, const char* extension, bool pauses) {
    const auto track = (Folder() / (std::string("track") + extension)).string();
    std::vector<std::string> args = {"speak",    (Folder() / "lesson.lang").string(),
                                     "--voice1", kEnglish,
                                     "--voice2", kGerman,
                                     "--out",    track,
                                     "--force"};
    if (!pauses)
        args.insert(args.end(), {"--pause", "0", "--gap", "0"});
    double audio = 0;
    double wall = 0;
    for (auto _ : state) {
        std::ostringstream out, err;
        const auto t0 = Clock::now();
        if (RunLangTool(args, out, err, Env()) != kLangToolOk) {
            state.SkipWithError(err.str().c_str());
            return;
        }
        wall += std::chrono::duration<double>(Clock::now() - t0).count();
        audio += TrackSeconds(out.str());
    }
    state.counters["audio_s"] = audio / static_cast<double>(state.iterations());
    state.counters["x_real_time"] = audio / wall;
}

// The same texts through the same engine into nothing: the cost of synthesis alone.
class Dropping : public TAudioOutput {
public:
    int SampleRate() const override { return TEspeakControl::kSampleRate; }
    void Write(const std::int16_t*, std::size_t count) override { samples += count; }
    void EndOfText() override {}
    void Discard() override {}
    void SetVolume(double) override {}
    std::atomic<std::size_t> samples{0};
};

void BM_Baseline_SynthesisAlone(benchmark::State& state) {
    double audio = 0;
    double wall = 0;
    for (auto _ : state) {
        auto output = std::make_shared<Dropping>();
        TEspeakControl* control = nullptr;
        TSpeechEngine engine(
            [&]() -> std::unique_ptr<TDirectSS> {
                auto c = std::make_unique<TEspeakControl>(output);
                control = c.get();
                return c;
            },
            true, nullptr);
        engine.Open();
        // Each voice at its default speed and pitch, as speak uses it.
        const auto& names = engine.VoiceNames();
        auto position = [&](const char* name) {
            return static_cast<std::int32_t>(std::find(names.begin(), names.end(), name) -
                                             names.begin()) +
                   1;
        };
        const std::int32_t voices[] = {position(kEnglish), position(kGerman)};
        const auto t0 = Clock::now();
        for (int i = 0; i < kPairs; ++i) {
            const auto [text1, text2] = PairText(i);
            for (const std::int32_t p : voices) {
                engine.SelectVoiceByName(names[static_cast<std::size_t>(p - 1)]);
                engine.SetSpeed(engine.VoiceDefaultSpeed(p));
                engine.SetPitch(engine.VoiceDefaultPitch(p));
                engine.Speak(p == voices[0] ? text1 : text2);
            }
        }
        control->WaitUntilDone(std::chrono::minutes(10));
        wall += std::chrono::duration<double>(Clock::now() - t0).count();
        audio += static_cast<double>(output->samples) / TEspeakControl::kSampleRate;
    }
    state.counters["audio_s"] = audio / static_cast<double>(state.iterations());
    state.counters["x_real_time"] = audio / wall;
}

void BM_SpeakWav(benchmark::State& state) {
    SpeakTrack(state, ".wav", true);
}
void BM_SpeakWavWithoutPauses(benchmark::State& state) {
    SpeakTrack(state, ".wav", false);
}
void BM_SpeakOgg(benchmark::State& state) {
    SpeakTrack(state, ".ogg", true);
}
void BM_SpeakFlac(benchmark::State& state) {
    SpeakTrack(state, ".flac", true);
}

} // namespace

BENCHMARK(BM_Baseline_SynthesisAlone)->Iterations(2)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_SpeakWav)->Iterations(2)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_SpeakWavWithoutPauses)->Iterations(2)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_SpeakOgg)->Iterations(2)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_SpeakFlac)->Iterations(2)->Unit(benchmark::kSecond)->UseRealTime();

BENCHMARK_MAIN();
