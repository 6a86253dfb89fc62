// How exactly the exercise window keeps its time, in the real window: an automatic exercise of
// three cards with 5 s delays runs in a shown TExerciseDlg, and every tick of its three timers
// is taken with the time it came. Reported (milliseconds):
// - the intervals between the graphic timer's ticks while it runs at one period: the wipe
//   (40 ms), the fly-in (80 ms) and the letters (50 ms): median, 95th percentile, worst;
// - the answer and presentation delays (5 s), from the graphic tick that armed them to their
//   timeout: the worst deviation from 5000 ms (the tick's arrival and the end of its handling
//   bound the moment of arming; the larger deviation of the two counts).
// The baseline in the same run is a bare QTimer of the same kind and periods in an otherwise
// idle window: what the event loop itself gives.
//
// The figures mean something in a real window only:
//   xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb
//       build/release/bench/bench_exercise_timers
#include "app/AppIniFile.h"
#include "app/AppLangHandl.h"
#include "app/UiHelpers.h"
#include "exercise/ExerciseHelpFunc.h"
#include "exercise_window/ExerciseWnd.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace {

using namespace lexaro;

constexpr int kDelaySeconds = 5;

// The intervals of one period, sorted.
struct TIntervals {
    std::vector<double> ms;
    double At(double fraction) const {
        if (ms.empty())
            return 0;
        const auto i =
            static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(ms.size())));
        return ms[std::min(ms.size() - 1, i == 0 ? 0 : i - 1)];
    }
};

// Runs the event loop, as the program does, until pred holds or ms have passed; QTest's waits
// sleep between their rounds of events, which would make every timer look late.
bool RunUntil(const std::function<bool()>& pred, int ms) {
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (pred() || clock.elapsed() > ms)
            loop.quit();
    });
    check.start(25);
    loop.exec();
    return pred();
}

// Notes when each timer's tick arrives, before the timer's own handlers run.
class TTickClock final : public QObject {
public:
    explicit TTickClock(std::function<double()> now) : now_(std::move(now)) {}
    std::map<QObject*, double> last;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Timer)
            last[watched] = now_();
        return false;
    }

private:
    std::function<double()> now_;
};

void Report(benchmark::State& state, std::map<int, TIntervals>& periods,
            const std::vector<double>& delays) {
    for (auto& [period, intervals] : periods) {
        std::sort(intervals.ms.begin(), intervals.ms.end());
        const std::string name = std::to_string(period) + "ms_";
        state.counters[name + "p50"] = intervals.At(0.5);
        state.counters[name + "p95"] = intervals.At(0.95);
        state.counters[name + "max"] = intervals.ms.empty() ? 0 : intervals.ms.back();
        state.counters[name + "n"] = static_cast<double>(intervals.ms.size());
    }
    double worst = 0;
    for (const double d : delays)
        worst = std::max(worst, std::abs(d - kDelaySeconds * 1000.0));
    state.counters["delay_worst_dev"] = worst;
    state.counters["delay_n"] = static_cast<double>(delays.size());
}

// The exercise window's settings, texts and a lesson of three pairs, all in memory.
struct TExercise {
    QTemporaryDir folder;
    std::shared_ptr<TAppIniFile> settings;
    std::shared_ptr<TAppLangHandler> texts = std::make_shared<TAppLangHandler>();
    std::shared_ptr<TLangFHandler> lang = std::make_shared<TLangFHandler>();

    TExercise() {
        settings = std::make_shared<TAppIniFile>(folder.path().toStdString(), nullptr);
        texts->OpenTextDb(LEXARO_TEXTDB_FILE, "Lexaro", nullptr);
        texts->SelectLanguage("EN");
        auto lesson = std::make_shared<TLesson>();
        lesson->number = 1;
        for (int i = 0; i < 3; ++i) {
            auto pair = lesson->NewPair(i);
            pair->text1 = "word " + std::to_string(i);
            pair->text2 = "Wort " + std::to_string(i);
            pair->use = true;
        }
        lang->SetLanguageNames("English", "Deutsch");
        lang->PutLesson(lesson);
        auto& ex = settings->exercise;
        ex.Lang1 = "English";
        ex.Lang2 = "Deutsch";
        ex.ExerciseWords = {{1, 0, 0, false}, {1, 1, 0, false}, {1, 2, 0, false}};
        auto& g = settings->general;
        g.AutoPresent = true;
        g.VoicePresent = 0;
        g.VoiceAnswer = false;
        g.LetterAnswer = false;
        g.ShowTable = false;
        g.DelayAnswer = kDelaySeconds;
        g.DelayPresent = kDelaySeconds;
    }

    TWindowContext Context() const {
        TWindowContext c;
        c.settings = settings;
        c.texts = texts;
        c.langFile = lang;
        c.firstLanguage = [] { return true; };
        c.splitHeldBack = [] {};
        c.saveMarks = [](const std::vector<TPairMarks>&) { return true; };
        return c;
    }
};

void BM_ExerciseWindowTimers(benchmark::State& state) {
    for (auto _ : state) {
        TExercise exercise;
        // The question at the end: No, and the window closes.
        const MessageHook previous = setMessageHook([](const MessageRequest&) { return kIdNo; });
        auto window = MakeExerciseWindow(exercise.Context(), nullptr);
        auto& dlg = dynamic_cast<TExerciseDlg&>(*window);

        QElapsedTimer clock;
        clock.start();
        const auto now = [&] { return static_cast<double>(clock.nsecsElapsed()) / 1e6; };
        // The time each tick of a timer came, taken before the window acts on it.
        TTickClock tickClock(now);
        for (QTimer* t : {dlg.timerGraphic, dlg.timerAnswerDelay, dlg.timerPresentDelay})
            t->installEventFilter(&tickClock);
        struct TGraphicTick {
            double t;
            int interval;
            bool goesOn;
        };
        std::vector<TGraphicTick> ticks;
        std::vector<double> delays;
        // When each delay was armed: within the graphic tick whose handling switched it on, so
        // between the tick's arrival and the end of its handling. Both ends are kept, and a
        // delay counts with the larger of its two deviations.
        struct TArmed {
            double earliest;
            double latest;
        };
        std::map<QTimer*, TArmed> armedAt;
        const auto armed = [&](QTimer* delay) {
            if (delay->isActive() && armedAt.count(delay) == 0)
                armedAt[delay] = {tickClock.last[dlg.timerGraphic], now()};
        };
        // Connected after the window's own: each runs once the run has acted on the tick.
        QObject::connect(dlg.timerGraphic, &QTimer::timeout, [&] {
            ticks.push_back({tickClock.last[dlg.timerGraphic], dlg.timerGraphic->interval(),
                             dlg.timerGraphic->isActive()});
            armed(dlg.timerAnswerDelay);
            armed(dlg.timerPresentDelay);
        });
        for (QTimer* delay : {dlg.timerAnswerDelay, dlg.timerPresentDelay})
            QObject::connect(delay, &QTimer::timeout, [&, delay] {
                if (const auto it = armedAt.find(delay); it != armedAt.end()) {
                    const double came = tickClock.last[delay];
                    const double longest = came - it->second.earliest;
                    const double shortest = came - it->second.latest;
                    const double nominal = kDelaySeconds * 1000.0;
                    delays.push_back(std::abs(longest - nominal) > std::abs(shortest - nominal)
                                         ? longest
                                         : shortest);
                    armedAt.erase(it);
                }
            });

        window->ShowExercise();
        if (!QTest::qWaitForWindowExposed(&dlg))
            state.SkipWithError("the exercise window was not shown");
        dlg.Run().Start();
        if (!RunUntil([&] { return !dlg.isVisible(); }, 120'000))
            state.SkipWithError("the exercise did not end");
        setMessageHook(previous);

        std::map<int, TIntervals> periods{{40, {}}, {50, {}}, {80, {}}};
        for (std::size_t i = 0; i + 1 < ticks.size(); ++i)
            if (ticks[i].goesOn)
                periods[ticks[i].interval].ms.push_back(ticks[i + 1].t - ticks[i].t);
        state.SetIterationTime(now() / 1000);
        Report(state, periods, delays);
    }
}
BENCHMARK(BM_ExerciseWindowTimers)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// The baseline: a bare precise QTimer at each period, and 5 s single shots, in a shown window.
void BM_BareQtTimers(benchmark::State& state) {
    for (auto _ : state) {
        QWidget window;
        window.resize(635, 335);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            state.SkipWithError("the window was not shown");
        QElapsedTimer clock;
        clock.start();
        const auto now = [&] { return static_cast<double>(clock.nsecsElapsed()) / 1e6; };
        std::map<int, TIntervals> periods;
        for (const int period : {40, 50, 80}) {
            QTimer timer;
            timer.setTimerType(Qt::PreciseTimer);
            timer.setInterval(period);
            double last = -1;
            QObject::connect(&timer, &QTimer::timeout, [&] {
                const double t = now();
                if (last >= 0)
                    periods[period].ms.push_back(t - last);
                last = t;
            });
            timer.start();
            if (!RunUntil([&] { return periods[period].ms.size() >= 40; }, 30'000))
                state.SkipWithError("the timer stopped");
        }
        std::vector<double> delays;
        for (int i = 0; i < 3; ++i) {
            QTimer timer;
            timer.setTimerType(Qt::PreciseTimer);
            timer.setSingleShot(true);
            const double armed = now();
            QObject::connect(&timer, &QTimer::timeout, [&] { delays.push_back(now() - armed); });
            timer.start(kDelaySeconds * 1000);
            if (!RunUntil([&] { return delays.size() > static_cast<std::size_t>(i); }, 30'000))
                state.SkipWithError("the single shot never came");
        }
        state.SetIterationTime(now() / 1000);
        Report(state, periods, delays);
    }
}
BENCHMARK(BM_BareQtTimers)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
