// Speech engine on espeak-ng: Speak hands over and returns long before the synthesis of the
// same sentence is done (and never waits for playback); Open with voice discovery costs
// little more than starting espeak-ng and listing its voices.
#include "speech/EspeakControl.h"
#include "speech/SpeechEngine.h"
#include "speech/WaveFileOutput.h"

#include <espeak-ng/speak_lib.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace lexaro;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kSentence =
    "Guten Tag, so klinge ich, wenn ich Ihnen die Vokabeln vorlese. Viele Gr\xFC\xDF"
    "e aus M\xFCnchen!";

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// An output that takes as long as real playback would: Write blocks for the samples'
// duration, as a device with a full buffer does.
class RealtimeOutput : public TAudioOutput {
public:
    int SampleRate() const override { return TEspeakControl::kSampleRate; }
    void Write(const std::int16_t*, std::size_t count) override {
        std::this_thread::sleep_for(std::chrono::microseconds(
            static_cast<long long>(count * 1'000'000 / TEspeakControl::kSampleRate)));
    }
    void EndOfText() override {}
    void Discard() override {}
    void SetVolume(double) override {}
};

struct Engine {
    explicit Engine(std::shared_ptr<TAudioOutput> output) {
        engine = std::make_unique<TSpeechEngine>(
            [this, output]() -> std::unique_ptr<TDirectSS> {
                auto c = std::make_unique<TEspeakControl>(output);
                control = c.get();
                return c;
            },
            true, nullptr);
    }
    std::unique_ptr<TSpeechEngine> engine;
    TEspeakControl* control = nullptr;
};

// espeak-ng starts its own thread and cannot be stopped reliably (espeak_Terminate can hang
// in 1.51), so each baseline run starts it in a child process of its own. Runs first, before
// the engine's first Open starts espeak-ng in this process for good.
double BaselineMs() {
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        const auto t0 = Clock::now();
        espeak_Initialize(AUDIO_OUTPUT_RETRIEVAL, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
        const espeak_VOICE** voices = espeak_ListVoices(nullptr);
        benchmark::DoNotOptimize(voices);
        const double ms = Ms(Clock::now() - t0);
        [[maybe_unused]] auto n = write(fds[1], &ms, sizeof ms);
        _exit(0);
    }
    close(fds[1]);
    double ms = -1;
    if (read(fds[0], &ms, sizeof ms) != static_cast<ssize_t>(sizeof ms))
        ms = -1;
    close(fds[0]);
    waitpid(child, nullptr, 0);
    return ms;
}

void BM_FirstOpenVsInitializeAndListVoices(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<double> baseline;
        for (int i = 0; i < 5; ++i)
            baseline.push_back(BaselineMs());
        std::sort(baseline.begin(), baseline.end());
        Engine e(std::make_shared<TWaveFileOutput>(TEspeakControl::kSampleRate));
        const auto t0 = Clock::now();
        const bool opened = e.engine->Open();
        const double open = Ms(Clock::now() - t0);
        if (!opened)
            state.SkipWithError("the engine did not open");
        state.SetIterationTime(open / 1000);
        state.counters["baseline_ms"] = baseline[2];
        state.counters["open_ms"] = open;
        state.counters["voices"] = e.engine->VoiceCount();
        state.counters["open_per_baseline"] = open / baseline[2];
        e.control->WaitUntilDone(std::chrono::seconds(10));
    }
}
BENCHMARK(BM_FirstOpenVsInitializeAndListVoices)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Later Opens (a new control on the running synthesiser: list and discover all voices).
void BM_OpenAgain(benchmark::State& state) {
    auto output = std::make_shared<TWaveFileOutput>(TEspeakControl::kSampleRate);
    for (auto _ : state) {
        Engine e(output);
        benchmark::DoNotOptimize(e.engine->Open());
        state.PauseTiming();
        e.control->WaitUntilDone(std::chrono::seconds(10));
        e.engine.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenAgain)->Unit(benchmark::kMillisecond);

// Time of Speak itself (the benchmark's time) against the synthesis of the same sentence.
void SpeakVsSynthesis(benchmark::State& state, std::shared_ptr<TAudioOutput> output) {
    Engine e(output);
    if (!e.engine->Open() || !e.engine->SelectVoiceByName("German (German)")) {
        state.SkipWithError("no German voice");
        return;
    }
    e.control->WaitUntilDone(std::chrono::seconds(10));
    double speak = 0, total = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        e.engine->Speak(kSentence);
        const auto t1 = Clock::now();
        e.control->WaitUntilDone(std::chrono::seconds(60));
        const auto t2 = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        speak += Ms(t1 - t0);
        total += Ms(t2 - t0);
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["speak_ms"] = speak / n;
    state.counters["synthesis_ms"] = total / n;
    state.counters["speak_per_synthesis"] = speak / total;
}

void BM_SpeakVsSynthesis(benchmark::State& state) {
    SpeakVsSynthesis(state, std::make_shared<TWaveFileOutput>(TEspeakControl::kSampleRate));
}
// Fixed iterations: with Speak's own time as the measure, the library would otherwise run
// thousands of full syntheses to fill its time budget.
BENCHMARK(BM_SpeakVsSynthesis)->Iterations(20)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The same while the output plays in real time: Speak does not wait for playback.
void BM_SpeakVsSynthesisWithRealtimePlayback(benchmark::State& state) {
    SpeakVsSynthesis(state, std::make_shared<RealtimeOutput>());
}
BENCHMARK(BM_SpeakVsSynthesisWithRealtimePlayback)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
