#include "exercise/ExerciseRun.h"

#include "exercise/AnswerCheck.h"
#include "exercise/ExerciseHelpFunc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace lexaro {
namespace {

// The exercise window on a fake clock: timers fire in time order as the clock advances, the
// fly-in takes flyInFrames frames, the wipe wipeTicks ticks, and a letter-by-letter write
// reports done after the text's last letter. Everything the run does is recorded with the
// time it happened.
class FakeWindow : public IExerciseView {
public:
    struct Timer {
        std::int32_t interval = 0;
        bool enabled = false;
        std::int64_t due = 0;
    };
    struct Event {
        std::int64_t t;
        std::string what;
    };
    struct Question {
        std::string caption;
        std::string text;
        bool beep;
    };

    TExerciseRun* run = nullptr;
    std::int64_t now = 0;
    std::array<Timer, 3> timers;
    std::int32_t flyInFrames = 3;
    std::int32_t wipeTicks = 2;
    std::vector<Event> events;
    std::array<std::string, 3> lines; // lines 1 and 2 of the card
    std::vector<std::pair<std::string, std::string>> rows;
    bool tableShown = false;
    std::int32_t selectedRow = -1;
    std::int32_t checked = -1;
    std::string focus;
    TExerciseButtons buttons;
    bool startEverOn = false;
    bool stopEverOn = false;
    std::string modeText, stateText, counterText;
    TExerciseTexts texts;
    std::deque<bool> answers;
    std::vector<Question> questions;
    bool closed = false;

    // Runs the clock on by ms, firing every due tick in order.
    void Advance(std::int64_t ms) {
        const std::int64_t end = now + ms;
        for (;;) {
            std::size_t which = timers.size();
            for (std::size_t i = 0; i < timers.size(); ++i)
                if (timers[i].enabled && timers[i].due <= end &&
                    (which == timers.size() || timers[i].due < timers[which].due))
                    which = i;
            if (which == timers.size())
                break;
            now = timers[which].due;
            timers[which].due = now + timers[which].interval;
            run->TimerTick(static_cast<TExerciseTimer>(which));
        }
        now = end;
    }

    Timer& Of(TExerciseTimer t) { return timers[static_cast<std::size_t>(t)]; }
    std::vector<std::int64_t> Times(const std::string& what) const {
        std::vector<std::int64_t> out;
        for (const auto& e : events)
            if (e.what == what)
                out.push_back(e.t);
        return out;
    }
    std::int64_t First(const std::string& what) const {
        const auto t = Times(what);
        return t.empty() ? -1 : t.front();
    }
    void Log(std::string what) { events.push_back({now, std::move(what)}); }

    void SetTimerInterval(TExerciseTimer t, std::int32_t ms) override {
        Timer& timer = Of(t);
        ASSERT_GT(ms, 0);
        if (timer.interval == ms)
            return;
        timer.interval = ms;
        if (timer.enabled)
            timer.due = now + ms;
    }
    std::int32_t TimerInterval(TExerciseTimer t) const override {
        return timers[static_cast<std::size_t>(t)].interval;
    }
    void SetTimerEnabled(TExerciseTimer t, bool enabled) override {
        Timer& timer = Of(t);
        if (enabled && !timer.enabled)
            timer.due = now + timer.interval;
        timer.enabled = enabled;
    }
    bool TimerEnabled(TExerciseTimer t) const override {
        return timers[static_cast<std::size_t>(t)].enabled;
    }

    bool released = false;
    void SetUpCard() override {
        Log("setup");
        released = false;
    }
    void ReleaseCard() override {
        Log("release");
        released = true;
    }
    void ResetCard() override { Log("reset"); }
    bool WipeStep() override {
        Log("wipe");
        if (++wiped_ < wipeTicks)
            return false;
        wiped_ = 0;
        return true;
    }
    void ClearCardLine(std::int32_t line) override {
        lines.at(static_cast<std::size_t>(line)).clear();
    }
    void SetCardFont(const TFontProperty& font) override { Log("font " + font.Font); }
    void StartFlyIn() override { frame_ = 0; }
    // Runs inside a fly-in frame, as the window's pending events do.
    std::function<void()> duringFrame;
    std::int32_t FlyInFrame() override {
        if (duringFrame)
            std::exchange(duringFrame, nullptr)();
        // A released card table reports the fly-in as done.
        if (released)
            return 25;
        if (++frame_ < flyInFrames)
            return std::min(frame_, 5);
        Log("flyin-done");
        return 25;
    }
    bool WriteCardText(const std::string& text, std::int32_t line, bool allAtOnce) override {
        std::string& target = lines.at(static_cast<std::size_t>(line));
        if (allAtOnce) {
            target = text;
            cursor_ = 0;
            return true;
        }
        if (cursor_ < text.size()) {
            target += text[cursor_++];
            Log("letter" + std::to_string(line));
        }
        if (cursor_ < text.size())
            return false;
        cursor_ = 0;
        return true;
    }

    // The texts laid out ahead, with their line.
    std::vector<std::pair<std::string, std::int32_t>> prepared;
    void PrepareCardText(const std::string& text, std::int32_t line) override {
        prepared.emplace_back(text, line);
    }

    int codePage = 0;
    void SetCodePage(const TCodePage& page) override { codePage = page.Number(); }
    void SetTexts(const TExerciseTexts& t) override { texts = t; }
    void SetModeText(const std::string& t) override { modeText = t; }
    void SetStateText(const std::string& t) override { stateText = t; }
    void SetCounterText(const std::string& t) override { counterText = t; }
    void SetButtons(const TExerciseButtons& b) override {
        buttons = b;
        startEverOn = startEverOn || b.start;
        stopEverOn = stopEverOn || b.stop;
    }

    void CheckPriority(std::int32_t p) override { checked = p; }
    void FocusPriority(std::int32_t p) override { focus = "priority " + std::to_string(p); }

    void ClearTable() override {
        rows.clear();
        selectedRow = -1;
    }
    void AddTableRow(const std::string& presented, const std::string& solution) override {
        Log("row");
        rows.emplace_back(presented, solution);
    }
    void HideTable() override { tableShown = false; }
    void ShowTable() override {
        tableShown = true;
        focus = "table";
        // As a list view does, the selection reports itself.
        selectedRow = static_cast<std::int32_t>(rows.size()) - 1;
        run->TableRowSelected(selectedRow);
    }
    void FocusTable() override { focus = "table"; }

    bool AskYesNo(const std::string& caption, const std::string& text, bool beep) override {
        questions.push_back({caption, text, beep});
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text;
            return false;
        }
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    void CloseWindow() override {
        closed = true;
        run->Close();
    }

    // The answer field of Write mode; answer is what the learner typed (UTF-8).
    bool answerShown = false;
    bool answerOpen = false;
    std::string answer;
    std::vector<TAnswerView> verdicts;
    struct TableAnswer {
        std::int32_t row;
        std::string typed;
        std::string verdict;
        bool right;
    };
    std::vector<TableAnswer> tableAnswers;
    void ShowAnswerField(bool shown) override { answerShown = shown; }
    std::string AnswerText() const override { return answer; }
    void OpenAnswer() override {
        answer.clear();
        answerOpen = true;
        focus = "answer";
    }
    void ClearAnswer() override { answer.clear(); }
    void FocusAnswer() override { focus = "answer"; }
    void ShowVerdict(const TAnswerView& verdict) override {
        verdicts.push_back(verdict);
        answerOpen = false;
    }
    void SetTableAnswer(std::int32_t row, const std::string& typed, const std::string& verdict,
                        bool right) override {
        tableAnswers.push_back({row, typed, verdict, right});
    }

private:
    std::int32_t frame_ = 0;
    std::int32_t wiped_ = 0;
    std::size_t cursor_ = 0;
};

// A speech engine that knows the voices in `voices`, records each call and can fail at one.
class FakeSpeech : public IExerciseSpeech {
public:
    bool open = true;
    bool soundOutput = true;
    std::set<std::string> voices = {"Anna", "Hans"};
    std::string throwAt; // "select" or "speak"
    mutable std::vector<std::string> calls;
    std::vector<std::string> spoken;

    bool IsOpen() const override {
        calls.push_back("IsOpen");
        return open;
    }
    bool SelectVoiceByName(const std::string& name) override {
        calls.push_back("Select " + name);
        if (throwAt == "select")
            throw std::runtime_error("the control failed");
        return voices.count(name) != 0;
    }
    void SetPitch(std::int32_t v) override { calls.push_back("Pitch " + std::to_string(v)); }
    void SetSpeed(std::int32_t v) override { calls.push_back("Speed " + std::to_string(v)); }
    // The code page of the last text spoken.
    int page = 0;
    void Speak(const std::string& text, const TCodePage& codePage) override {
        page = codePage.Number();
        calls.push_back("Speak " + text);
        if (throwAt == "speak")
            throw std::runtime_error("the control refused the text");
        spoken.push_back(text);
    }
    bool HasSoundOutput() const override { return soundOutput; }
};

using Texts = std::vector<std::pair<std::string, std::string>>;

class ExerciseRunTest : public ::testing::Test {
protected:
    std::shared_ptr<TExerciseData> ex = std::make_shared<TExerciseData>();
    std::shared_ptr<TGeneralProperty> general = std::make_shared<TGeneralProperty>();
    std::shared_ptr<TFontProperty> font = std::make_shared<TFontProperty>();
    std::shared_ptr<AVoiceProperty> voices = std::make_shared<AVoiceProperty>();
    std::shared_ptr<TLangFHandler> lang = std::make_shared<TLangFHandler>();
    std::shared_ptr<FakeSpeech> speech = std::make_shared<FakeSpeech>();
    ArrayWordData heldBack;
    bool firstLanguage = true;
    // The UI language: texts are "T<n>" in English, "DE<n>" in German.
    std::string language = "EN";
    std::shared_ptr<std::int32_t> codePage = std::make_shared<std::int32_t>(1252);
    // The use and drawn marks of pair 1-0 each time the file was saved.
    // The marks each save applied.
    std::vector<std::vector<TPairMarks>> saves;
    // The cards handed to the journal, in the order they left the table.
    std::vector<TCardResult> recorded;
    std::function<void()> duringSave;
    FakeWindow window;
    std::unique_ptr<TExerciseRun> run;

    ExerciseRunTest() {
        ex->Lang1 = "English";
        ex->Lang2 = "Deutsch";
        general->AutoPresent = false;
        general->VoiceAnswer = false;
        general->VoicePresent = 0;
        general->LetterAnswer = false;
        general->DelayAnswer = 3;
        general->DelayPresent = 5;
        general->ShowTable = false;
        (*voices)[0] = {"Anna", 150, 40};
        (*voices)[1] = {"Hans", 120, 60};
    }

    // Lesson 1 holds the pairs (ids 0, 1, ...), all used and drawn; the list names them in order.
    void Pairs(const Texts& texts) {
        auto lesson = std::make_shared<TLesson>();
        lesson->number = 1;
        ex->ExerciseWords.clear();
        for (std::size_t i = 0; i < texts.size(); ++i) {
            auto pair = lesson->NewPair(static_cast<std::int64_t>(i));
            pair->text1 = texts[i].first;
            pair->text2 = texts[i].second;
            pair->use = true;
            pair->drawn = true;
            ex->ExerciseWords.push_back({1, static_cast<std::int32_t>(i), 0, false});
        }
        lang->Clear();
        lang->PutLesson(lesson);
    }
    std::shared_ptr<TWordPear> Pair(std::int32_t id) const { return lang->LessonAt(1)->PairAt(id); }

    TExerciseRun& Make() {
        TExerciseRunContext c;
        c.exercise = ex;
        c.general = general;
        c.font = font;
        c.voices = voices;
        c.langFile = lang;
        c.speech = speech; // none: no speech engine
        c.codePage = codePage;
        c.text = [this](std::int32_t n) {
            if (n == 185)
                return std::string("%1 of %2 right");
            return (language == "EN" ? "T" : language) + std::to_string(n);
        };
        c.firstLanguage = [this] { return firstLanguage; };
        c.splitHeldBack = [this] { splitHeldBack(ex->ExerciseWords, heldBack); };
        c.saveMarks = [this](const std::vector<TPairMarks>& marks) {
            if (duringSave)
                duringSave(); // a message box: its event loop goes on
            saves.push_back(marks);
            return true;
        };
        c.recordCard = [this](const TCardResult& card) { recorded.push_back(card); };
        run = std::make_unique<TExerciseRun>(std::move(c), window);
        window.run = run.get();
        return *run;
    }
    // The window opens: shown, then activated.
    TExerciseRun& Open() {
        if (!run)
            Make();
        run->Show();
        run->Activate();
        return *run;
    }
    // Manual mode has no delay timers: this lets every animation and letter output finish.
    void Settle() { window.Advance(20'000); }
    // Manual mode: Enter for the solution, Enter for the next card.
    void NextCardManually() {
        EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter));
        Settle();
        EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter));
        Settle();
    }
};

TEST_F(ExerciseRunTest, ManualModeShowsTheFirstCardAtOnceAndEnterAdvances) {
    Pairs({{"one", "eins"}, {"two", "zwei"}, {"three", "drei"}});
    Open();
    // The first card is there without START: put down at once, no wipe, its text written.
    EXPECT_EQ(window.rows.size(), 1u);
    EXPECT_EQ(window.Times("wipe").size(), 0u);
    EXPECT_EQ(window.lines[1], "one");
    // The solution is laid out ahead while the presented side is read.
    EXPECT_EQ(window.prepared, (std::vector<std::pair<std::string, std::int32_t>>{{"eins", 2}}));
    EXPECT_EQ(window.counterText, "1/3");
    EXPECT_EQ(window.modeText, "T26");
    EXPECT_EQ(window.stateText, " - ");
    EXPECT_EQ(window.buttons, (TExerciseButtons{false, false, false})) << "the card flies in";
    Settle();
    EXPECT_EQ(run->Phase(), TExercisePhase::ShowSolution);
    EXPECT_EQ(window.buttons, (TExerciseButtons{false, false, true}));
    EXPECT_EQ(window.lines[2], "");

    // Enter writes the solution at 50 ms a letter; Next is off while the letters run.
    const std::int64_t t0 = window.now;
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter));
    EXPECT_FALSE(window.buttons.next);
    Settle();
    EXPECT_EQ(window.lines[2], "eins");
    EXPECT_EQ(window.Times("letter2"),
              (std::vector<std::int64_t>{t0, t0 + 50, t0 + 100, t0 + 150}));
    EXPECT_EQ(run->Phase(), TExercisePhase::NextCard);
    EXPECT_TRUE(window.buttons.next);

    // Enter wipes the card and brings the next one.
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter));
    Settle();
    EXPECT_EQ(window.Times("wipe").size(), 2u);
    EXPECT_EQ(window.lines[1], "two");
    EXPECT_EQ(window.lines[2], "");
    EXPECT_EQ(window.counterText, "2/3");

    NextCardManually();
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter)); // the last solution
    Settle();
    EXPECT_EQ(run->Phase(), TExercisePhase::Finished);
    window.answers = {false};
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter));
    ASSERT_EQ(window.questions.size(), 1u);
    EXPECT_EQ(window.questions[0].caption, "T51 - English/Deutsch");
    EXPECT_EQ(window.questions[0].text, "T68\r\nT69");
    EXPECT_TRUE(window.questions[0].beep);
    EXPECT_TRUE(window.closed) << "No without the table closes the window";
    EXPECT_FALSE(window.startEverOn);
    EXPECT_FALSE(window.stopEverOn);
    EXPECT_EQ(run->RunState(), TRunState::Finished);
}

TEST_F(ExerciseRunTest, WindowTextsAndCaption) {
    Pairs({{"one", "eins"}});
    Open();
    EXPECT_EQ(window.texts.caption, "T51 - English/Deutsch");
    EXPECT_EQ(window.texts.modeLabel, "T48 : ");
    EXPECT_EQ(window.texts.stateLabel, "T49 : ");
    EXPECT_EQ(window.texts.counterLabel, "T50 : ");
    EXPECT_EQ(window.texts.priorityBox, " T52 ");
    EXPECT_EQ(window.texts.priorities[0], "T53");
    EXPECT_EQ(window.texts.priorities[9], "T62");
    EXPECT_EQ(window.texts.start + window.texts.stop + window.texts.next, "T63T64T65");
    EXPECT_EQ(window.texts.startHint + window.texts.stopHint + window.texts.nextHint, "T66T66T67");
}

// Automatic mode, DelayAnswer 3 and DelayPresent 5: the solution starts 3 s after the card
// has flown in, the next card 5 s after the solution has been written, lengthened by 30 ms a
// letter of the last text spoken.
TEST_F(ExerciseRunTest, AutomaticDelaysAndSpeechLengthenThePresentationDelay) {
    struct Case {
        const char* name;
        std::int32_t voicePresent;
        bool voiceAnswer;
        const char* solutionVoice;
        std::int64_t presentDelay;
    };
    const Case cases[] = {
        {"no speech", 0, false, "Hans", 5000},
        {"four-letter presentation spoken", 2, false, "Hans", 5120},
        {"two-letter solution spoken last", 2, true, "Hans", 5060},
        {"only the solution spoken", 0, true, "Hans", 5060},
        {"solution voice missing: silent", 2, true, "Nobody", 5120},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window = FakeWindow{};
        run.reset();
        Pairs({{"abcd", "xy"}, {"efgh", "uv"}, {"ijkl", "st"}});
        general->AutoPresent = true;
        general->VoicePresent = c.voicePresent;
        general->VoiceAnswer = c.voiceAnswer;
        (*voices)[1].Voice = c.solutionVoice;
        Open();
        EXPECT_EQ(run->Phase(), TExercisePhase::Initial);
        EXPECT_EQ(window.buttons, (TExerciseButtons{true, false, false}));
        run->Start();
        EXPECT_EQ(window.stateText, "T71");
        window.Advance(20'000);

        const std::int64_t flownIn = window.First("flyin-done");
        EXPECT_EQ(flownIn, 3 * 80);
        const auto letters = window.Times("letter2");
        ASSERT_GE(letters.size(), 2u);
        EXPECT_EQ(letters[0], flownIn + 3000);
        EXPECT_EQ(letters[1], letters[0] + 50);
        const auto rows = window.Times("row");
        ASSERT_GE(rows.size(), 2u);
        EXPECT_EQ(rows[1], letters[1] + c.presentDelay);
        EXPECT_EQ(window.First("wipe"), rows[1]);
        EXPECT_TRUE(window.questions.empty()) << "a failed solution speech asks nothing";
        // The lengthening does not add up from card to card.
        ASSERT_GE(letters.size(), 4u);
        ASSERT_GE(rows.size(), 3u);
        EXPECT_EQ(rows[2], letters[3] + c.presentDelay);
    }
}

TEST_F(ExerciseRunTest, DelaysOutsideTheOfferedRangeAreKeptWithinIt) {
    struct Case {
        std::int32_t seconds;
        std::int32_t ms;
    };
    for (const Case c : {Case{0, 1000}, Case{-4, 1000}, Case{7, 7000}, Case{2'000'000, 20'000}}) {
        general->DelayAnswer = c.seconds;
        general->DelayPresent = c.seconds;
        Pairs({{"a", "b"}});
        window = FakeWindow{};
        Make();
        Open();
        EXPECT_EQ(window.Of(TExerciseTimer::AnswerDelay).interval, c.ms) << c.seconds;
        EXPECT_EQ(window.Of(TExerciseTimer::PresentDelay).interval, c.ms) << c.seconds;
    }
}

TEST_F(ExerciseRunTest, SpeechCallsInOrderWithTheVoiceOfThePresentedLanguage) {
    Pairs({{"abcd", "xy"}});
    general->VoicePresent = 2;
    general->VoiceAnswer = true;
    firstLanguage = false;
    Open();
    Settle();
    run->KeyDown(TExerciseKey::Enter);
    Settle();
    EXPECT_EQ(speech->calls, (std::vector<std::string>{
                                 "IsOpen", "Select Hans", "Pitch 60", "Speed 120", "Speak xy",
                                 "IsOpen", "Select Anna", "Pitch 40", "Speed 150", "Speak abcd"}));
    EXPECT_EQ(run->SpeechExtraDelay(), 120);
}

TEST_F(ExerciseRunTest, VoiceWithoutTextWritesThePresentedTextLateAtFiftyMs) {
    Pairs({{"abcd", "xy"}, {"efgh", "uv"}});
    general->AutoPresent = true;
    general->VoicePresent = 1;
    general->LetterAnswer = true;
    Open();
    run->Start();
    window.Advance(240);
    EXPECT_EQ(window.First("flyin-done"), 240);
    EXPECT_EQ(window.lines[1], "") << "the card flies in blank";
    EXPECT_EQ(speech->spoken, (std::vector<std::string>{"abcd"}));
    window.Advance(3000 + 500 + 4 * 50);
    EXPECT_EQ(window.lines[2], "xy");
    EXPECT_EQ(window.lines[1], "abcd");
    const std::int64_t solved = window.Times("letter2").back();
    EXPECT_EQ(solved, 240 + 3000 + 500) << "the solution at 500 ms a letter";
    EXPECT_EQ(window.Times("letter1"),
              (std::vector<std::int64_t>{solved, solved + 50, solved + 100, solved + 150}));
    EXPECT_EQ(run->Phase(), TExercisePhase::NextCard);
}

TEST_F(ExerciseRunTest, StopDuringTheLettersAndStartResumeWhereTheyStopped) {
    Pairs({{"abcd", "uvwxyz"}, {"efgh", "st"}});
    general->AutoPresent = true;
    general->LetterAnswer = true;
    Open();
    run->Start();
    window.Advance(240 + 3000 + 500); // two letters written
    ASSERT_EQ(window.lines[2], "uv");
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Space)); // STOP
    EXPECT_EQ(run->RunState(), TRunState::Stopped);
    EXPECT_EQ(window.stateText, "T72");
    EXPECT_EQ(window.buttons, (TExerciseButtons{true, false, false}));
    window.Advance(10'000);
    EXPECT_EQ(window.lines[2], "uv");
    const std::int64_t resumed = window.now;
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Space)); // START
    EXPECT_EQ(window.lines[2], "uv");
    EXPECT_EQ(run->Phase(), TExercisePhase::SolutionShown) << "START does not step here";
    window.Advance(4 * 500);
    EXPECT_EQ(window.lines[2], "uvwxyz");
    const std::int64_t solved = window.Times("letter2").back();
    EXPECT_EQ(solved, resumed + 4 * 500);
    window.Advance(5000);
    EXPECT_EQ(window.Times("row"), (std::vector<std::int64_t>{0, solved + 5000}));
}

TEST_F(ExerciseRunTest, StartAfterStopInADelayGoesOnAtOnce) {
    Pairs({{"abcd", "xy"}, {"efgh", "uv"}});
    general->AutoPresent = true;
    Open();
    run->Start();
    window.Advance(240 + 1000); // one second into the answer delay
    run->Stop();
    EXPECT_FALSE(window.Of(TExerciseTimer::AnswerDelay).enabled);
    window.Advance(10'000);
    EXPECT_TRUE(window.Times("letter2").empty());
    const std::int64_t started = window.now;
    run->Start();
    EXPECT_EQ(window.First("letter2"), started);
    window.Advance(50 + 1000); // into the presentation delay
    run->Stop();
    window.Advance(10'000);
    EXPECT_EQ(window.Times("row").size(), 1u);
    const std::int64_t again = window.now;
    run->Start();
    EXPECT_EQ(window.Times("row").back(), again);
}

// "Not more use" clears the pair's marks at once; the close saves the file and drops the
// entry. Taking it back before the close gives the marks back and saves nothing.
TEST_F(ExerciseRunTest, NotMoreUseIsSavedAtCloseAndCanBeTakenBack) {
    struct Case {
        const char* name;
        std::vector<std::int32_t> clicks;
        bool restartBetween; // Yes at the end, then the close
        bool saved;
    };
    const Case cases[] = {
        {"not more use", {9}, false, true},
        {"not more use, restart, close", {9}, true, true},
        {"taken back to 0", {9, 0}, false, false},
        {"taken back to 3", {9, 9, 3}, false, false},
        {"other priorities need no save", {2, 0}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window = FakeWindow{};
        saves.clear();
        heldBack.clear();
        Pairs({{"one", "eins"}});
        Make();
        Open();
        Settle();
        for (const std::int32_t p : c.clicks)
            run->PriorityClicked(p);
        const bool given = c.clicks.back() == 9;
        EXPECT_EQ(Pair(0)->use, !given);
        EXPECT_EQ(Pair(0)->drawn, !given);
        if (c.restartBetween) {
            window.answers = {true};
            NextCardManually(); // the question, Yes
            EXPECT_EQ(window.questions.size(), 1u);
            EXPECT_EQ(window.rows.size(), 1u);
            EXPECT_EQ(window.checked, 9);
        }
        run->Close();
        if (c.saved) {
            const std::vector<TPairMarks> cleared{{{1, 0}, false, false}};
            EXPECT_EQ(saves, std::vector<std::vector<TPairMarks>>{cleared});
            EXPECT_TRUE(ex->ExerciseWords.empty()) << "the entry leaves the list";
        } else {
            EXPECT_TRUE(saves.empty());
            EXPECT_EQ(ex->ExerciseWords.size(), 1u);
            EXPECT_EQ(ex->ExerciseWords[0].priority, c.clicks.back());
            EXPECT_TRUE(Pair(0)->use);
            EXPECT_TRUE(Pair(0)->drawn);
        }
        EXPECT_FALSE(run->SaveNeeded());
        for (const auto& timer : window.timers)
            EXPECT_FALSE(timer.enabled);
    }
}

TEST_F(ExerciseRunTest, TheEndAnswers) {
    struct Case {
        const char* name;
        bool yes;
        bool showTable;
    };
    for (const Case c : {Case{"No with the table", false, true}, Case{"No, no table", false, false},
                         Case{"Yes", true, true}}) {
        SCOPED_TRACE(c.name);
        window = FakeWindow{};
        Pairs({{"one", "eins"}, {"two", "zwei"}});
        ex->ExerciseWords[0].priority = 4;
        general->AutoPresent = true;
        general->ShowTable = c.showTable;
        Make();
        Open();
        run->Start();
        window.answers = {c.yes};
        window.Advance(20'000);
        ASSERT_EQ(window.questions.size(), 1u);
        if (c.yes) {
            EXPECT_EQ(run->RunState(), TRunState::Running) << "START in automatic mode";
            EXPECT_EQ(window.rows.size(), 1u) << "the run starts afresh";
            EXPECT_EQ(run->CurrentIndex(), 0);
            EXPECT_FALSE(window.tableShown);
            continue;
        }
        EXPECT_EQ(window.tableShown, c.showTable);
        EXPECT_EQ(window.closed, !c.showTable);
        EXPECT_EQ(window.stateText, "T70");
        EXPECT_EQ(window.buttons, (TExerciseButtons{false, false, false}));
        if (c.showTable) {
            EXPECT_EQ(window.rows, (Texts{{"one", "eins"}, {"two", "zwei"}}));
            EXPECT_EQ(window.selectedRow, 1);
            EXPECT_EQ(window.focus, "table");
            // A row makes its pair current; the priority can still be changed.
            run->TableRowSelected(0);
            EXPECT_EQ(run->CurrentIndex(), 0);
            EXPECT_EQ(window.checked, 4);
            EXPECT_EQ(window.counterText, "1/2");
            EXPECT_TRUE(run->KeyDown(DigitKey(7)));
            EXPECT_EQ(ex->ExerciseWords[0].priority, 7);
            EXPECT_EQ(window.focus, "table");
            run->TableRowSelected(-1);
            EXPECT_EQ(run->CurrentIndex(), 1) << "none selected: the last row";
            EXPECT_FALSE(run->KeyDown(TExerciseKey::Down)) << "the arrows move the table";
        }
    }
}

TEST_F(ExerciseRunTest, CounterRunsFromNoneToTheLastCard) {
    Texts texts;
    for (int i = 0; i < 12; ++i)
        texts.push_back({"p" + std::to_string(i), "s" + std::to_string(i)});
    Pairs(texts);
    general->AutoPresent = true;
    Open();
    EXPECT_EQ(window.counterText, "0/12");
    run->Start();
    window.Advance(240);
    EXPECT_EQ(window.counterText, "1/12");
    while (window.rows.size() < 12)
        window.Advance(40);
    window.Advance(280); // the wipe and the fly-in
    EXPECT_EQ(window.counterText, "12/12");
    EXPECT_EQ(window.lines[1], "p11");
}

TEST_F(ExerciseRunTest, OneLetterSolutionWithSlowLettersGoesOn) {
    Pairs({{"abcd", "x"}, {"efgh", "y"}});
    general->AutoPresent = true;
    general->LetterAnswer = true;
    Open();
    run->Start();
    window.Advance(240 + 3000);
    EXPECT_EQ(window.lines[2], "x");
    EXPECT_EQ(run->Phase(), TExercisePhase::NextCard);
    EXPECT_TRUE(window.Of(TExerciseTimer::PresentDelay).enabled);
    EXPECT_FALSE(window.Of(TExerciseTimer::Graphic).enabled);
    window.Advance(5000);
    EXPECT_EQ(window.Times("row").size(), 2u);
}

TEST_F(ExerciseRunTest, NextSpeedsUpSlowLetters) {
    Pairs({{"abcd", "uvwxyz"}});
    general->LetterAnswer = true;
    Open();
    Settle();
    const std::int64_t t0 = window.now;
    run->Next();
    window.Advance(500);
    EXPECT_TRUE(window.buttons.next) << "Next stays usable at 500 ms a letter";
    run->Next();
    Settle();
    EXPECT_EQ(window.lines[2], "uvwxyz");
    EXPECT_EQ(window.Times("letter2"),
              (std::vector<std::int64_t>{t0, t0 + 500, t0 + 550, t0 + 600, t0 + 650, t0 + 700}));
}

// The language file's code page reaches the card, the table and the voice; the caption shows
// the names as their characters; a change in the settings applies at the next activation.
TEST_F(ExerciseRunTest, TheCodePageOfTheFileReachesCardTableVoiceAndCaption) {
    *codePage = 1251;
    ex->Lang1 = "\xD0\xF3\xF1\xF1\xEA\xE8\xE9"; // Русский
    general->VoicePresent = 2;
    Pairs({{"\xEA\xEE\xF8\xEA\xE0", "cat"}});
    Open();
    Settle();
    EXPECT_EQ(window.codePage, 1251);
    EXPECT_EQ(window.texts.caption, "T51 - Русский/Deutsch");
    EXPECT_EQ(window.lines[1], "\xEA\xEE\xF8\xEA\xE0") << "the card gets the stored text";
    EXPECT_EQ(speech->page, 1251);
    *codePage = 1253;
    run->Activate();
    EXPECT_EQ(window.codePage, 1253);
}

// A presentation that cannot be spoken asks once per show whether to switch the voice off;
// without any sound output the question says that, not that the voice failed.
TEST_F(ExerciseRunTest, FailedPresentationSpeechAsksOncePerShow) {
    struct Case {
        const char* name;
        bool open;
        const char* voice;
        const char* throwAt;
        bool engine;
        bool soundOutput = true;
        const char* question = "T135\r\nT136";
    };
    const Case cases[] = {
        {"closed engine", false, "Anna", "", true},
        {"unknown voice", true, "Nobody", "", true},
        {"selection throws", true, "Anna", "select", true},
        {"speaking throws", true, "Anna", "speak", true},
        {"no engine", true, "Anna", "", false},
        {"no sound output", false, "Anna", "", true, false, "T158\r\nT136"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window = FakeWindow{};
        speech = std::make_shared<FakeSpeech>();
        speech->open = c.open;
        speech->throwAt = c.throwAt;
        speech->soundOutput = c.soundOutput;
        (*voices)[0].Voice = c.voice;
        general->VoicePresent = 2;
        Pairs({{"one", "eins"}, {"two", "zwei"}, {"three", "drei"}});
        if (!c.engine)
            speech.reset();
        Make();
        window.answers = {false};
        Open();
        Settle();
        ASSERT_EQ(window.questions.size(), 1u);
        EXPECT_EQ(window.questions[0].caption, "Lexaro");
        EXPECT_EQ(window.questions[0].text, c.question);
        EXPECT_FALSE(run->PresentationVoiceUsable());
        const std::size_t calls = speech ? speech->calls.size() : 0;
        NextCardManually();
        NextCardManually();
        EXPECT_EQ(window.questions.size(), 1u) << "asked once per show";
        EXPECT_EQ(speech ? speech->calls.size() : 0, calls) << "no further attempts";
        EXPECT_EQ(general->VoicePresent, 2);
        EXPECT_EQ(window.lines[1], "three") << "the exercise goes on";

        run->Close();
        window.answers = {true};
        Open();
        Settle();
        EXPECT_EQ(window.questions.size(), 2u) << "asked again after a new show";
        EXPECT_EQ(general->VoicePresent, 0) << "Yes switches the voice off";
    }
}

TEST_F(ExerciseRunTest, VoiceSwitchedOffOnAVoiceOnlyCardStillWritesItsPresentedText) {
    Pairs({{"one", "eins"}, {"two", "zwei"}});
    general->VoicePresent = 1;
    speech->open = false;
    window.answers = {true};
    Open();
    Settle();
    EXPECT_EQ(general->VoicePresent, 0);
    EXPECT_EQ(window.lines[1], "");
    run->Next();
    Settle();
    EXPECT_EQ(window.lines[2], "eins");
    EXPECT_EQ(window.lines[1], "one");
    run->Next();
    Settle();
    EXPECT_EQ(window.lines[1], "two") << "the next card shows its text at once";
}

TEST_F(ExerciseRunTest, PriorityKeys) {
    struct Case {
        std::int32_t priority; // of the entry
        TExerciseKey key;
        std::int32_t chosen;
    };
    const Case cases[] = {
        {0, DigitKey(3), 3},
        {5, DigitKey(0), 0},
        {0, DigitKey(9), 9},
        {0, TExerciseKey::Down, 1},
        {0, TExerciseKey::Right, 1},
        {4, TExerciseKey::Up, 3},
        {4, TExerciseKey::Left, 3},
        {9, TExerciseKey::Up, 8},
        {0, AltDigitKey(7), 7},
        // The list has two ends: no key runs round from "use always" to "not more use".
        {0, TExerciseKey::Up, 0},
        {0, TExerciseKey::Left, 0},
        {9, TExerciseKey::Down, 9},
        {9, TExerciseKey::Right, 9},
        {-1, TExerciseKey::Down, 0},
        {-1, TExerciseKey::Up, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.priority) + " key " +
                     std::to_string(static_cast<int>(c.key)));
        window = FakeWindow{};
        Pairs({{"one", "eins"}});
        ex->ExerciseWords[0].priority = c.priority;
        Make();
        Open();
        Settle();
        // The card's own priority is selected as it is shown; none for one out of range.
        EXPECT_EQ(window.checked, c.priority);
        // Selecting "not more use" for the card clears the pair's marks as a click does.
        EXPECT_EQ(Pair(0)->use, c.priority != 9);
        EXPECT_TRUE(run->KeyDown(c.key));
        EXPECT_EQ(ex->ExerciseWords[0].priority, c.chosen);
        EXPECT_EQ(window.checked, c.chosen);
        EXPECT_EQ(window.focus, "priority " + std::to_string(c.chosen));
        EXPECT_EQ(Pair(0)->use, c.chosen != 9);
    }
}

// A priority goes to the card on the table: the previous one while it is wiped away, the new
// one from the moment it starts to fly in, whose own priority the buttons then show.
TEST_F(ExerciseRunTest, AChoiceGoesToTheCardOnTheTable) {
    Pairs({{"one", "eins"}, {"two", "zwei"}});
    ex->ExerciseWords[1].priority = 3;
    Open();
    Settle();
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter));
    Settle();
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter)); // the wipe of the first card begins
    ASSERT_EQ(run->CurrentIndex(), 1);
    EXPECT_EQ(run->PriorityIndex(), 0);
    EXPECT_TRUE(run->KeyDown(DigitKey(5)));
    run->PriorityClicked(9);
    EXPECT_EQ(ex->ExerciseWords[0].priority, 9);
    EXPECT_EQ(ex->ExerciseWords[1].priority, 3);
    EXPECT_TRUE(Pair(1)->use);

    window.Advance(40); // the wipe ends, the second card flies in with its priority shown
    EXPECT_EQ(run->PriorityIndex(), 1);
    EXPECT_EQ(window.checked, 3);
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Up));
    EXPECT_EQ(ex->ExerciseWords[1].priority, 2);
    EXPECT_EQ(ex->ExerciseWords[0].priority, 9);
}

TEST_F(ExerciseRunTest, AClickWithoutACardChangesNothing) {
    Pairs({{"one", "eins"}});
    general->AutoPresent = true;
    Open();
    const std::int32_t shown = window.checked;
    run->PriorityClicked(9);
    EXPECT_EQ(window.checked, shown) << "the buttons show what they showed";
    EXPECT_EQ(ex->ExerciseWords[0].priority, 0);
    EXPECT_TRUE(Pair(0)->use);
}

TEST_F(ExerciseRunTest, KeysThatDoNothing) {
    Pairs({{"one", "eins"}});
    general->AutoPresent = true;
    Open();
    // No card yet: no priority to choose.
    EXPECT_FALSE(run->KeyDown(DigitKey(3)));
    EXPECT_FALSE(run->KeyDown(TExerciseKey::Down));
    EXPECT_FALSE(run->KeyDown(TExerciseKey::Enter)) << "Next is off while stopped";
    EXPECT_EQ(ex->ExerciseWords[0].priority, 0);
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Space));
    EXPECT_EQ(run->RunState(), TRunState::Running);
    EXPECT_FALSE(run->KeyDown(TExerciseKey::Space)) << "STOP is off while the card flies in";
    EXPECT_FALSE(run->KeyDown(static_cast<TExerciseKey>('A')));

    general->AutoPresent = false;
    run->Activate();
    window.Advance(240);
    EXPECT_FALSE(run->KeyDown(TExerciseKey::Space)) << "Space does nothing in manual mode";
}

TEST_F(ExerciseRunTest, AMissingPairKeepsThePreviousTexts) {
    Pairs({{"one", "eins"}, {"two", "zwei"}});
    ex->ExerciseWords = {
        {1, 5, 0, false}, {1, 0, 0, false}, {99, 0, 0, false}, {1, 1, 0, false}, {1, 7, 0, false}};
    Open();
    Settle();
    for (int i = 0; i < 4; ++i)
        NextCardManually();
    EXPECT_EQ(
        window.rows,
        (Texts{{"", ""}, {"one", "eins"}, {"one", "eins"}, {"two", "zwei"}, {"two", "zwei"}}));
    // "Not more use" on a missing pair still drops its entry at close.
    run->PriorityClicked(9);
    run->Close();
    EXPECT_EQ(ex->ExerciseWords.size(), 4u);
}

TEST_F(ExerciseRunTest, AnEmptyListWaitsWithEveryButtonOff) {
    for (const bool automatic : {false, true}) {
        SCOPED_TRACE(automatic ? "automatic" : "manual");
        general->AutoPresent = automatic;
        window = FakeWindow{};
        Make();
        Open();
        EXPECT_EQ(run->Phase(), TExercisePhase::Initial);
        EXPECT_EQ(window.buttons, (TExerciseButtons{false, false, false}));
        EXPECT_EQ(window.counterText, "0/0");
        EXPECT_FALSE(run->KeyDown(TExerciseKey::Space));
        run->Start();
        run->Next();
        Settle();
        EXPECT_TRUE(window.rows.empty());
        EXPECT_TRUE(window.questions.empty());
    }
}

TEST_F(ExerciseRunTest, AListThatShrinksUnderTheRunEndsIt) {
    Pairs({{"one", "eins"}, {"two", "zwei"}, {"three", "drei"}});
    Open();
    Settle();
    NextCardManually();
    ASSERT_EQ(run->CurrentIndex(), 1);
    ex->ExerciseWords.resize(1);
    EXPECT_FALSE(run->KeyDown(DigitKey(9))) << "the current entry is gone";
    run->Next();
    Settle();
    window.answers = {false};
    run->Next();
    EXPECT_EQ(window.questions.size(), 1u);
    EXPECT_EQ(ex->ExerciseWords[0].priority, 0);
}

TEST_F(ExerciseRunTest, ActivationReadsModeDelaysAndFont) {
    Pairs({{"abcd", "xy"}, {"efgh", "uv"}});
    general->AutoPresent = true;
    general->VoicePresent = 2;
    Open();
    run->Start();
    window.Advance(240);
    EXPECT_EQ(run->SpeechExtraDelay(), 120);
    general->DelayAnswer = 7;
    font->Font = "Arial";
    run->Activate();
    EXPECT_EQ(run->SpeechExtraDelay(), 0);
    EXPECT_EQ(window.Of(TExerciseTimer::AnswerDelay).interval, 7000);
    EXPECT_EQ(window.events.back().what, "font Arial");
    general->AutoPresent = false;
    run->Activate();
    EXPECT_EQ(window.modeText, "T26");
}

// Whatever the settings dialog changed (the mode, the letter output, the delays) while a card
// was anywhere on its way, the run goes on with the buttons and keys the new mode offers: the
// solution is written whole and the next card comes. A stopped automatic run switched to manual
// mode used to offer Next, which only changed the interval of the stopped letters.
TEST_F(ExerciseRunTest, AfterAnyChangeOfTheSettingsTheRunGoesOn) {
    struct State {
        const char* name;
        bool automatic;
        bool slowLetters;
        std::function<void()> reach;
    };
    const auto start = [this] { run->Start(); };
    const State states[] = {
        {"automatic, in the fly-in", true, false,
         [&] {
             start();
             window.Advance(80);
         }},
        {"automatic, in the answer delay", true, false,
         [&] {
             start();
             window.Advance(240 + 1000);
         }},
        {"automatic, stopped in the answer delay", true, false,
         [&] {
             start();
             window.Advance(240 + 1000);
             run->Stop();
         }},
        {"automatic, in slow letters", true, true,
         [&] {
             start();
             window.Advance(240 + 3000 + 700);
         }},
        {"automatic, stopped in slow letters", true, true,
         [&] {
             start();
             window.Advance(240 + 3000 + 700);
             run->Stop();
         }},
        {"automatic, stopped in fast letters", true, false,
         [&] {
             start();
             window.Advance(240 + 3000 + 120);
             run->Stop();
         }},
        {"automatic, stopped in the presentation delay", true, false,
         [&] {
             start();
             window.Advance(240 + 3000 + 8 * 50 + 1000);
             run->Stop();
         }},
        {"automatic, waiting for START", true, false, [] {}},
        {"manual, waiting for Next", false, false, [this] { Settle(); }},
        {"manual, in slow letters", false, true,
         [this] {
             Settle();
             run->Next();
             window.Advance(700);
         }},
    };
    struct Change {
        const char* name;
        std::function<void(TGeneralProperty&)> apply;
    };
    const Change changes[] = {
        {"mode", [](TGeneralProperty& g) { g.AutoPresent = !g.AutoPresent; }},
        {"letter output", [](TGeneralProperty& g) { g.LetterAnswer = !g.LetterAnswer; }},
        {"delays", [](TGeneralProperty& g) { g.DelayAnswer = g.DelayPresent = 1; }},
    };
    for (const State& state : states) {
        for (const Change& change : changes) {
            SCOPED_TRACE(std::string(state.name) + ", then a change of " + change.name);
            window = FakeWindow{};
            Pairs({{"one", "abcdefgh"}, {"two", "zwei"}});
            general->AutoPresent = state.automatic;
            general->LetterAnswer = state.slowLetters;
            general->DelayAnswer = 3;
            general->DelayPresent = 5;
            Make();
            Open();
            state.reach();
            ASSERT_LE(run->CurrentIndex(), 0);
            change.apply(*general);
            run->Activate();
            // The learner uses what is offered, START or Next, and waits a while each time.
            for (int i = 0; i < 60 && !(run->CurrentIndex() == 1 &&
                                        run->Phase() == TExercisePhase::ShowSolution);
                 ++i) {
                if (window.buttons.start)
                    run->Start();
                else if (window.buttons.next)
                    run->Next();
                window.Advance(1000);
            }
            EXPECT_EQ(run->CurrentIndex(), 1) << "the run is stuck";
            EXPECT_EQ(run->Phase(), TExercisePhase::ShowSolution);
            EXPECT_EQ(window.rows.size(), 2u);
            // Every letter of the first solution was written before the next card came.
            const auto rows = window.Times("row");
            const auto letters = window.Times("letter2");
            ASSERT_EQ(rows.size(), 2u);
            EXPECT_EQ(std::count_if(letters.begin(), letters.end(),
                                    [&](std::int64_t t) { return t <= rows[1]; }),
                      8);
        }
    }
}

// The window's events run inside each fly-in frame: a close among them ends the run there, and
// nothing of the card that was flying (speech, the answer delay, a priority) happens later.
TEST_F(ExerciseRunTest, AWindowClosedDuringAFlyInFrameStaysQuiet) {
    Pairs({{"one", "eins"}, {"two", "zwei"}});
    general->AutoPresent = true;
    general->VoicePresent = 2;
    Open();
    run->Start();
    window.duringFrame = [this] { window.CloseWindow(); };
    window.Advance(80);
    ASSERT_TRUE(window.closed);
    const std::size_t calls = speech->calls.size();
    window.Advance(60'000);
    EXPECT_EQ(speech->calls.size(), calls);
    for (const auto& timer : window.timers)
        EXPECT_FALSE(timer.enabled);
    EXPECT_EQ(window.checked, 0) << "the flying card showed its priority from the start";
    EXPECT_EQ(run->Phase(), TExercisePhase::PresentationShown);
}

TEST_F(ExerciseRunTest, AMissingServiceIsRefused) {
    TExerciseRunContext c;
    c.exercise = ex;
    EXPECT_THROW(TExerciseRun refused(c, window), std::invalid_argument);
}

// Write mode: the learner types and presses Enter; the card then shows its solution.
class WriteModeTest : public ExerciseRunTest {
protected:
    WriteModeTest() { general->WriteAnswer = true; }
    // Types the answer for the card waiting, Enter, and lets the solution be written.
    void Answer(const std::string& typed) {
        ASSERT_TRUE(run->AwaitingAnswer());
        window.answer = typed;
        EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter));
        Settle();
    }
    // Enter after the verdict: the next card, landed.
    void NextCard() {
        EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter));
        Settle();
    }
    std::vector<std::int32_t> Priorities() const {
        std::vector<std::int32_t> out;
        for (const ExerciseEntry& e : ex->ExerciseWords)
            out.push_back(e.priority);
        return out;
    }
};

TEST_F(WriteModeTest, RightWrongAndEmptyAnswersGiveVerdictsPrioritiesAndTheCount) {
    Pairs({{"one", "eins"}, {"two", "zwei (f)"}, {"three", "drei"}});
    ex->ExerciseWords[2].priority = 3;
    Open();
    EXPECT_EQ(window.modeText, "T182");
    EXPECT_TRUE(window.answerShown);
    EXPECT_EQ(window.focus, "answer");
    EXPECT_FALSE(run->Automatic());
    Settle();
    EXPECT_TRUE(window.buttons.next);

    Answer("  Eins ");
    ASSERT_EQ(window.verdicts.size(), 1u);
    EXPECT_TRUE(window.verdicts[0].right);
    EXPECT_EQ(window.verdicts[0].verdict, "T183");
    EXPECT_EQ(window.lines[2], "eins") << "the solution is written after the verdict";
    EXPECT_EQ(window.checked, 2);
    EXPECT_FALSE(run->AwaitingAnswer());

    NextCard();
    EXPECT_TRUE(window.answerOpen) << "a new card opens the field again";
    EXPECT_EQ(window.lines[2], "");
    Answer("zwo");
    EXPECT_FALSE(window.verdicts[1].right);
    EXPECT_EQ(window.verdicts[1].verdict, "T184");
    EXPECT_EQ(window.verdicts[1].differs, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(window.lines[2], "zwei (f)");
    EXPECT_EQ(window.checked, 0);

    NextCard();
    Answer(""); // not known
    EXPECT_FALSE(window.verdicts[2].right);
    EXPECT_EQ(window.lines[2], "drei");
    EXPECT_EQ(Priorities(), (std::vector<std::int32_t>{2, 0, 0}));

    ASSERT_EQ(window.tableAnswers.size(), 3u);
    EXPECT_EQ(window.tableAnswers[0].row, 0);
    EXPECT_EQ(window.tableAnswers[0].typed, "  Eins ");
    EXPECT_TRUE(window.tableAnswers[0].right);
    EXPECT_EQ(window.tableAnswers[1].row, 1);
    EXPECT_EQ(window.tableAnswers[1].verdict, "T184");
    EXPECT_EQ(window.tableAnswers[2].row, 2);
    EXPECT_EQ(window.tableAnswers[2].typed, "");

    window.answers = {false};
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter));
    ASSERT_EQ(window.questions.size(), 1u);
    EXPECT_EQ(window.questions[0].text, "T68\r\n1 of 3 right\r\nT69");

    const std::vector<TCardResult> expected = {
        {{1, 0, 0, false}, true, "  Eins ", TAnswerVerdict::Right, 2},
        {{1, 1, 0, false}, true, "zwo", TAnswerVerdict::Wrong, 0},
        {{1, 2, 3, false}, true, "", TAnswerVerdict::Wrong, 0},
    };
    EXPECT_EQ(run->CardResults(), expected);
    EXPECT_TRUE(saves.empty()) << "no pair got \"not more use\"";
}

// A right answer rests the pair: at least "not use twice" (the composition ages a priority
// before it holds back, so 1 would hold nothing back), one step more for each further right
// answer, up to 8; "not more use" stays. Without the tick the verdict leaves the priority.
TEST_F(WriteModeTest, RightAnswersRestThePairFromTwoUpToEight) {
    for (const bool fromAnswers : {true, false}) {
        SCOPED_TRACE(fromAnswers);
        general->PrioritiesFromAnswers = fromAnswers;
        Pairs({{"a", "x"}, {"b", "y"}, {"c", "z"}, {"d", "w"}, {"e", "v"}});
        const std::vector<std::int32_t> before = {0, 1, 2, 8, 9};
        for (std::size_t i = 0; i < before.size(); ++i)
            ex->ExerciseWords[i].priority = before[i];
        Open();
        Settle();
        for (const char* answer : {"x", "Y", "z", "w"}) {
            Answer(answer);
            NextCard();
        }
        Answer("v");
        EXPECT_EQ(Priorities(), (fromAnswers ? std::vector<std::int32_t>{2, 2, 3, 8, 9} : before));
        run->Close();
    }
}

// "Not more use" is only undone by the learner: a wrong answer in the next round of the same
// window (after "Yes" at the end) leaves the pair retired.
TEST_F(WriteModeTest, NotMoreUseSurvivesAWrongAnswerInTheNextRound) {
    Pairs({{"one", "eins"}});
    Open();
    Settle();
    EXPECT_TRUE(run->KeyDown(TExerciseKey::AltDigit9));
    Answer("eins");
    EXPECT_EQ(ex->ExerciseWords[0].priority, 9);
    window.answers = {true};
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter)); // the end: "Yes", once more
    Settle();
    Answer("zwei");
    EXPECT_EQ(ex->ExerciseWords[0].priority, 9);
    EXPECT_FALSE(Pair(0)->use);
    window.answers = {false};
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter));
    run->Close();
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(saves[0], (std::vector<TPairMarks>{{{1, 0}, false, false}}));
}

// Due words: each card presents the direction that is due, whatever the learner chose for the
// exercise, and the memory, not a priority from the answer, brings it back; the learner's own
// choice still counts.
TEST_F(WriteModeTest, DueWordsPresentTheirDirectionAndAnswersSetNoPriority) {
    Pairs({{"one", "eins"}, {"two", "zwei"}, {"three", "drei"}});
    ex->ExerciseWords[0].side = 2;
    ex->ExerciseWords[1].side = 1;
    ex->ComposedDueFirst = true;
    firstLanguage = false;
    Open();
    Settle();
    EXPECT_EQ(window.lines[1], "eins");
    Answer("one");
    EXPECT_TRUE(window.verdicts[0].right);
    NextCard();
    EXPECT_EQ(window.lines[1], "two") << "presented as due, not as the learner chose";
    Answer("zwo");
    EXPECT_FALSE(window.verdicts[1].right);
    NextCard();
    EXPECT_EQ(window.lines[1], "drei") << "a card without a due side follows the learner";
    EXPECT_TRUE(run->KeyDown(AltDigitKey(4)));
    Answer("three");
    EXPECT_EQ(Priorities(), (std::vector<std::int32_t>{0, 0, 4}));
    const std::vector<bool> firstPresented = {false, true, false};
    ASSERT_EQ(run->CardResults().size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(run->CardResults()[i].firstLanguagePresented, firstPresented[i]) << i;
    run->Close();
}

// Before the verdict every key typed is the answer's, in an empty field too ("3 Uhr", "20"):
// digits, arrows and Space; a priority is chosen with Alt and a digit (or the mouse), and that
// choice wins over the verdict. After the verdict the digits and arrows choose again.
TEST_F(WriteModeTest, KeysBeforeTheVerdictAreTheAnswersAndAltChooses) {
    Pairs({{"one", "eins"}, {"two", "zwei"}, {"three", "drei"}});
    Open();
    Settle();
    for (const std::string answer : {"", "ein"}) {
        window.answer = answer;
        for (const TExerciseKey key :
             {DigitKey(3), DigitKey(0), DigitKey(9), TExerciseKey::Left, TExerciseKey::Right,
              TExerciseKey::Up, TExerciseKey::Down, TExerciseKey::Space})
            EXPECT_FALSE(run->KeyDown(key)) << "'" << answer << "' " << static_cast<int>(key);
        EXPECT_EQ(window.checked, 0);
        EXPECT_EQ(ex->ExerciseWords[0].priority, 0);
    }
    // Alt with a digit chooses, and the focus stays in the field.
    EXPECT_TRUE(run->KeyDown(AltDigitKey(5)));
    EXPECT_EQ(window.checked, 5);
    EXPECT_EQ(window.focus, "answer");
    // Escape empties the field.
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Escape));
    EXPECT_EQ(window.answer, "");
    Answer("zwei"); // wrong, but the learner chose 5
    EXPECT_EQ(window.checked, 5);
    EXPECT_EQ(ex->ExerciseWords[0].priority, 5);
    // After the verdict the digits and arrows choose again, Escape is not used.
    EXPECT_FALSE(run->KeyDown(TExerciseKey::Escape));
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Down));
    EXPECT_EQ(ex->ExerciseWords[0].priority, 6);

    NextCard();
    Answer("zwei"); // right: 2
    EXPECT_EQ(ex->ExerciseWords[1].priority, 2);
    run->PriorityClicked(4); // a click after the verdict
    EXPECT_EQ(window.focus, "answer");
    EXPECT_EQ(ex->ExerciseWords[1].priority, 4);
    NextCard();
    EXPECT_EQ(run->CardResults()[0].priorityChosen, 6);
    EXPECT_EQ(run->CardResults()[1].priorityChosen, 4);
    EXPECT_EQ(run->CardResults()[2].verdict, TAnswerVerdict::None) << "not answered yet";
}

// Typing is Unicode; the check works in the file's code page, where a character it cannot
// hold is simply a wrong letter. Accents count unless the learner ticked them off.
TEST_F(WriteModeTest, TheAnswerIsCheckedInTheFilesCodePage) {
    *codePage = 1251;
    std::string solution;
    ASSERT_TRUE(TCodePage::Get(1251).FromUtf8("ёлка", solution));
    Pairs({{"tree", solution}, {"tree", solution}, {"tree", solution}});
    Open();
    Settle();
    Answer("ЁЛКА");
    EXPECT_TRUE(window.verdicts.back().right);
    NextCard();
    Answer("елка");
    EXPECT_FALSE(window.verdicts.back().right);
    general->IgnoreAccents = true;
    NextCard();
    Answer("ёлкä"); // ä has no place in Cyrillic
    EXPECT_FALSE(window.verdicts.back().right);
    EXPECT_EQ(window.verdicts.back().typed.back(), '?');
    EXPECT_TRUE(window.verdicts.back().differs.back());
    EXPECT_EQ(run->CardResults()[2].typed.size(), 4u);

    // An answer longer than the field allows is cut at its limit.
    Pairs({{"long", "x"}});
    Open();
    Settle();
    Answer(std::string(5000, 'x'));
    EXPECT_EQ(run->CardResults()[0].typed.size(), kAnswerLimit);
    EXPECT_FALSE(window.verdicts.back().right);
}

// A Unicode file (65001): answers in any script are composed and judged by characters, a long
// one is cut to whole characters, and the speech's time counts characters, not bytes.
TEST_F(WriteModeTest, UnicodeAnswersAreJudgedAndCutByCharacters) {
    *codePage = TCodePage::kUtf8;
    general->IgnoreAccents = true;
    Pairs({{"thank you", "ありがとう"}, {"book", "كِتَاب"}, {"school", "がっこう"}, {"x", "日"}});
    Open();
    Settle();
    Answer("ありがとう");
    EXPECT_TRUE(window.verdicts.back().right);
    NextCard();
    Answer("كتاب"); // without the vowel marks
    EXPECT_TRUE(window.verdicts.back().right);
    NextCard();
    Answer("\u304B\u3099っこう"); // か with the combining voicing mark: が
    EXPECT_TRUE(window.verdicts.back().right);
    EXPECT_EQ(run->CardResults()[2].typed, "がっこう");
    NextCard();
    std::string longAnswer;
    for (int i = 0; i < 250; ++i)
        longAnswer += "日";
    Answer(longAnswer);
    EXPECT_EQ(run->CardResults()[3].typed.size(), kAnswerLimit * 3) << "200 whole characters";
    EXPECT_FALSE(window.verdicts.back().right);

    // Three characters of nine bytes are spoken for 90 ms.
    general->WriteAnswer = false;
    general->VoicePresent = 2;
    Pairs({{"日本語", "x"}});
    window = FakeWindow{};
    Make();
    Open();
    Settle();
    EXPECT_EQ(run->SpeechExtraDelay(), 90);
}

// The comma tick of the settings reaches the check: off, a comma is part of the answer; on, it
// separates alternatives. A letter typed with a combining accent is the composed letter.
TEST_F(WriteModeTest, TheCommaTickAndTheComposedFormReachTheCheck) {
    Pairs({{"look", "to look, to see"}, {"look", "to look, to see"}, {"coffee", "caf\xE9"}});
    Open();
    Settle();
    Answer("to see");
    EXPECT_FALSE(window.verdicts.back().right);
    general->CommaSeparates = true;
    NextCard();
    Answer("to see");
    EXPECT_TRUE(window.verdicts.back().right);
    NextCard();
    Answer("cafe\u0301");
    EXPECT_TRUE(window.verdicts.back().right);
    EXPECT_EQ(run->CardResults()[2].typed, "caf\xE9");
}

// Every card of every mode is recorded, in order, across a restart; a window closed before the
// answer keeps the verdicts already given.
TEST_F(WriteModeTest, EveryCardIsRecordedInOrderAcrossModesAndRestarts) {
    general->WriteAnswer = false;
    Pairs({{"one", "eins"}, {"two", "zwei"}});
    firstLanguage = false;
    Open();
    Settle();
    EXPECT_FALSE(window.answerShown);
    NextCardManually();
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter));
    Settle();
    window.answers = {true}; // again, now in Write mode
    general->WriteAnswer = true;
    run->Activate();
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter));
    Settle();
    EXPECT_TRUE(window.answerShown);
    Answer("one");
    EXPECT_TRUE(window.verdicts.back().right) << "the second language was presented";
    NextCard();
    window.answer = "tw"; // closed while typing
    run->Close();
    const std::vector<TCardResult> expected = {
        {{1, 0, 0, false}, false, "", TAnswerVerdict::None, 0},
        {{1, 1, 0, false}, false, "", TAnswerVerdict::None, 0},
        {{1, 0, 0, false}, false, "one", TAnswerVerdict::Right, 2},
        {{1, 1, 0, false}, false, "", TAnswerVerdict::None, 0},
    };
    EXPECT_EQ(run->CardResults(), expected);
    EXPECT_EQ(ex->ExerciseWords[0].priority, 2);
    // Each handed over once for the journal; the next show starts a new list.
    EXPECT_EQ(recorded, expected);
    run->Close();
    EXPECT_EQ(recorded.size(), 4u);
    run->Show();
    Settle();
    run->Close();
    ASSERT_EQ(recorded.size(), 5u) << "only the card of the new show";
}

// A card goes to the journal when it leaves the table, with the priority it had then: a run
// cut short keeps every card before the one on the table. A choice during the wipe still
// belongs to the card being wiped.
TEST_F(WriteModeTest, EachCardIsRecordedWhenItLeavesTheTable) {
    Pairs({{"one", "eins"}, {"two", "zwei"}, {"three", "drei"}});
    Open();
    Settle();
    EXPECT_TRUE(recorded.empty());
    Answer("eins");
    EXPECT_TRUE(recorded.empty()) << "the card is still on the table";
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter)); // the next card: the wipe begins
    EXPECT_TRUE(run->KeyDown(DigitKey(6)));         // for the card being wiped
    Settle();
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].typed, "eins");
    EXPECT_EQ(recorded[0].verdict, TAnswerVerdict::Right);
    EXPECT_EQ(recorded[0].priorityChosen, 6);
    Answer("");
    NextCard();
    ASSERT_EQ(recorded.size(), 2u);
    Answer("drei");
    window.answers = {false};
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter)); // the end
    ASSERT_EQ(recorded.size(), 3u) << "the last card ends with the exercise";
    run->Close();
    EXPECT_EQ(recorded.size(), 3u);
}

// Enter with an answer while the card still flies in is kept: the answer is judged as soon as
// the card has landed. A stray Enter on an empty field then is not taken as "not known".
TEST_F(WriteModeTest, EnterDuringTheFlyInJudgesOnLanding) {
    Pairs({{"one", "eins"}, {"two", "zwei"}, {"three", "drei"}});
    window.flyInFrames = 10;
    Open();
    Settle();
    Answer("eins");
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter));
    window.Advance(300); // the wipe is done, the card is on its way
    ASSERT_TRUE(run->AnswerOpen());
    ASSERT_FALSE(run->AwaitingAnswer()) << "still flying";
    window.answer = "zwei";
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter));
    EXPECT_EQ(window.verdicts.size(), 1u) << "not before it has landed";
    Settle();
    ASSERT_EQ(window.verdicts.size(), 2u);
    EXPECT_TRUE(window.verdicts.back().right);
    EXPECT_EQ(window.lines[2], "zwei");

    EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter));
    window.Advance(300);
    window.answer = "";
    EXPECT_FALSE(run->KeyDown(TExerciseKey::Enter));
    Settle();
    EXPECT_EQ(window.verdicts.size(), 2u);
    EXPECT_TRUE(run->AwaitingAnswer());
}

// Closing stops the run before anything is reported: a message shown while the file is saved
// (its event loop lets timers fire) brings no card and no end question to the closing window.
TEST_F(ExerciseRunTest, ClosingStopsTheRunBeforeItReports) {
    Pairs({{"one", "eins"}, {"two", "zwei"}});
    general->AutoPresent = true;
    Open();
    run->Start();
    window.Advance(1000); // the first card lies on the table, its answer delay runs
    EXPECT_TRUE(run->KeyDown(DigitKey(9))); // the close saves the file
    const std::size_t cards = run->CardResults().size();
    bool saved = false;
    duringSave = [&] {
        saved = true;
        window.Advance(60'000);
    };
    run->Close();
    EXPECT_TRUE(saved);
    EXPECT_EQ(run->CardResults().size(), cards);
    EXPECT_EQ(recorded.size(), cards);
    EXPECT_TRUE(window.questions.empty());
}

// The verdict and the table's answers follow a change of the UI language.
TEST_F(WriteModeTest, TheVerdictFollowsTheUiLanguage) {
    Pairs({{"one", "eins"}, {"two", "zwei"}});
    Open();
    Settle();
    Answer("eins");
    ASSERT_EQ(window.verdicts.back().verdict, "T183");
    language = "DE";
    run->ApplyTexts();
    EXPECT_EQ(window.verdicts.back().verdict, "DE183");
    EXPECT_TRUE(window.verdicts.back().right);
    ASSERT_FALSE(window.tableAnswers.empty());
    EXPECT_EQ(window.tableAnswers.back().verdict, "DE183");
    EXPECT_EQ(window.tableAnswers.back().typed, "eins");
}

// A change of mode at an activation: into Write mode a waiting card waits for its answer; out
// of it, Enter shows the solution without a verdict.
TEST_F(WriteModeTest, ModeChangesAtActivation) {
    general->WriteAnswer = false;
    Pairs({{"one", "eins"}, {"two", "zwei"}});
    Open();
    Settle();
    general->WriteAnswer = true;
    run->Activate();
    EXPECT_TRUE(window.answerOpen);
    EXPECT_TRUE(run->AwaitingAnswer());
    EXPECT_EQ(window.modeText, "T182");
    Answer("eins");
    EXPECT_EQ(window.verdicts.size(), 1u);
    NextCard();
    general->WriteAnswer = false;
    run->Activate();
    EXPECT_FALSE(window.answerShown);
    EXPECT_FALSE(run->AwaitingAnswer());
    EXPECT_TRUE(run->KeyDown(TExerciseKey::Enter));
    Settle();
    EXPECT_EQ(window.lines[2], "zwei");
    EXPECT_EQ(window.verdicts.size(), 1u);
    // Automatic wins over nothing: Write mode is chosen above it.
    general->AutoPresent = true;
    general->WriteAnswer = true;
    run->Activate();
    EXPECT_FALSE(run->Automatic());
    EXPECT_TRUE(run->WriteMode());
}

} // namespace
} // namespace lexaro
