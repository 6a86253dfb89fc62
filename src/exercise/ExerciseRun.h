#pragma once

// The exercise run without its window: a phase machine over the exercise list that the window,
// its three timers and the card graphics drive. Every decision is taken here; the window only
// forwards the learner's actions and timer ticks and renders what the run tells it.

#include "data/CodePage.h"
#include "data/LangFHandler.h"
#include "exercise/ExerciseData.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lexaro {

// The priority a typed answer's verdict gives a pair that had priority before: wrong 0 ("use
// always"); right at least 2 ("not use twice", the first that the next composition holds back,
// as it ages priorities first), one more than before, at most 8. 8 and 9 stay.
std::int32_t PriorityAfterAnswer(bool right, std::int32_t before);

// The value is the phase whose actions the next step performs.
enum class TExercisePhase : std::int32_t {
    NextCard = 3,             // advance to the next entry, wipe the old card
    ShowPresentation = 4,     // write the presented text, fly the card in
    PresentationShown = 5,    // select the priority, speak, arm the answer delay
    ShowSolution = 6,         // write the solution letter by letter
    ShowPresentationLate = 7, // write the presented text letter by letter (voice only)
    SolutionShown = 8,        // speak the solution, arm the presentation delay, end or next
    Initial = 9,              // nothing; START leaves it
    Finished = 10,            // the end-of-exercise question
};

enum class TRunState : std::int32_t { Running = 1, Stopped = 2, Finished = 3 };

enum class TExerciseTimer { PresentDelay, AnswerDelay, Graphic };

// The keys the run acts on: the window maps its own key codes to these.
enum class TExerciseKey : std::int32_t {
    Enter = 13,
    Escape = 27,
    Space = 32,
    Left = 37,
    Up = 38,
    Right = 39,
    Down = 40,
    Digit0 = '0', // Digit0 + n for the digit n
    Digit9 = '9',
    // Alt with a digit: always a choice of priority, also while an answer is being typed.
    AltDigit0 = 0x100 + '0', // AltDigit0 + n for Alt with the digit n
    AltDigit9 = 0x100 + '9',
};
constexpr TExerciseKey DigitKey(std::int32_t digit) {
    return static_cast<TExerciseKey>(static_cast<std::int32_t>(TExerciseKey::Digit0) + digit);
}
constexpr TExerciseKey AltDigitKey(std::int32_t digit) {
    return static_cast<TExerciseKey>(static_cast<std::int32_t>(TExerciseKey::AltDigit0) + digit);
}

// The window's fixed texts in the UI language, in UTF-8.
struct TExerciseTexts {
    std::string caption;      // text 51 + " - " + Lang1 + "/" + Lang2
    std::string modeLabel;    // text 48 + " : "
    std::string stateLabel;   // text 49 + " : "
    std::string counterLabel; // text 50 + " : "
    std::string start, stop, next;
    std::string startHint, stopHint, nextHint;
    std::string priorityBox;                // " " + text 52 + " "
    std::array<std::string, 10> priorities; // texts 53 to 62
    std::string answerHint;                 // text 189, in the empty answer field
    std::string priorityHint;               // Write mode: how a priority is chosen
    // The run table's column headers: the text shown, the solution, the typed answer.
    std::string shownColumn, solutionColumn, answerColumn;
    std::string noAnswer; // the table's answer column for an empty answer
};

// The verdict shown under the card in Write mode.
struct TAnswerView {
    // What the learner typed, stored text of the code page.
    std::string typed;
    // One per byte of typed: the letters that differ from the solution.
    std::vector<bool> differs;
    bool right = false;
    // "Right" or "Wrong" in the UI language, UTF-8.
    std::string verdict;
};

// Which of START, STOP and Next the learner can use.
struct TExerciseButtons {
    bool start = false;
    bool stop = false;
    bool next = false;

    friend bool operator==(const TExerciseButtons&, const TExerciseButtons&) = default;
};

// The exercise window as the run sees it.
class IExerciseView {
public:
    virtual ~IExerciseView() = default;

    // Three window timers, all off at first. While enabled a timer calls
    // TExerciseRun::TimerTick every interval. As with window timers: enabling an enabled timer
    // changes nothing, a different interval restarts a running timer's period, the same
    // interval changes nothing.
    virtual void SetTimerInterval(TExerciseTimer timer, std::int32_t ms) = 0;
    virtual std::int32_t TimerInterval(TExerciseTimer timer) const = 0;
    virtual void SetTimerEnabled(TExerciseTimer timer, bool enabled) = 0;
    virtual bool TimerEnabled(TExerciseTimer timer) const = 0;

    // The card on its table (the card graphics).
    virtual void SetUpCard() = 0;
    virtual void ReleaseCard() = 0;
    // Takes the card off the table at once.
    virtual void ResetCard() = 0;
    // Advances the wipe of the old card by one tick; true when it is done.
    virtual bool WipeStep() = 0;
    virtual void ClearCardLine(std::int32_t line) = 0;
    virtual void SetCardFont(const TFontProperty& font) = 0;
    virtual void StartFlyIn() = 0;
    // One frame of the fly-in; 25 when the card lies in place.
    virtual std::int32_t FlyInFrame() = 0;
    // Writes text on line 1 or 2, all at once or its next letter; true when the text is
    // written (an empty text is written at once).
    virtual bool WriteCardText(const std::string& text, std::int32_t line, bool allAtOnce) = 0;
    // The text that WriteCardText will write next on that line, laid out ahead while the card
    // waits for it (nothing is drawn).
    virtual void PrepareCardText(const std::string& text, std::int32_t line) {
        (void)text;
        (void)line;
    }

    // The code page of the card's and the table's texts (the language file's).
    virtual void SetCodePage(const TCodePage& page) = 0;

    // Labels, captions and questions come in UTF-8.
    virtual void SetTexts(const TExerciseTexts& texts) = 0;
    virtual void SetModeText(const std::string& text) = 0;
    virtual void SetStateText(const std::string& text) = 0;
    virtual void SetCounterText(const std::string& text) = 0;
    virtual void SetButtons(const TExerciseButtons& buttons) = 0;

    // Checks priority button 0..9 (or none for -1) without reporting a click.
    virtual void CheckPriority(std::int32_t priority) = 0;
    virtual void FocusPriority(std::int32_t priority) = 0;

    // The table of the run: one row per card shown, row i for entry i; stored text of the
    // code page.
    virtual void ClearTable() = 0;
    virtual void AddTableRow(const std::string& presented, const std::string& solution) = 0;
    virtual void HideTable() = 0;
    // Shows the table instead of the card, with its last row selected and in view and the
    // keyboard focus.
    virtual void ShowTable() = 0;
    virtual void FocusTable() = 0;

    // The answer field of Write mode, shown while the run is in that mode. Showing a shown
    // field changes nothing in it.
    virtual void ShowAnswerField(bool shown) = 0;
    // What the field holds, UTF-8.
    virtual std::string AnswerText() const = 0;
    // A new card: the field empty and open for typing, no verdict, the keyboard focus in it.
    virtual void OpenAnswer() = 0;
    // Escape: the field empty, the rest as it is.
    virtual void ClearAnswer() = 0;
    virtual void FocusAnswer() = 0;
    // The verdict under the card; the field takes no more typing until OpenAnswer.
    virtual void ShowVerdict(const TAnswerView& verdict) = 0;
    // The table's answer column for row: the typed text (stored) and the verdict (UTF-8).
    virtual void SetTableAnswer(std::int32_t row, const std::string& typed,
                                const std::string& verdict, bool right) = 0;

    // A modal question with Yes and No and the information icon; true for Yes.
    virtual bool AskYesNo(const std::string& caption, const std::string& text, bool beep) = 0;
    // Closes the window; closing runs TExerciseRun::Close.
    virtual void CloseWindow() = 0;
};

// The speech engine as the run uses it. A speech attempt calls IsOpen, SelectVoiceByName,
// SetPitch, SetSpeed and Speak in this order; any of them may throw, which fails the attempt.
class IExerciseSpeech {
public:
    virtual ~IExerciseSpeech() = default;
    virtual bool IsOpen() const = 0;
    virtual bool SelectVoiceByName(const std::string& displayName) = 0;
    virtual void SetPitch(std::int32_t value) = 0;
    virtual void SetSpeed(std::int32_t value) = 0;
    // Stored text of the code page; returns at once, the engine speaks in the background.
    virtual void Speak(const std::string& text, const TCodePage& page) = 0;
    // False when no sound output could be opened at all: then no voice can be heard, and
    // choosing another one would not help.
    virtual bool HasSoundOutput() const = 0;
};

// What the run works with. The records are the settings' own (shared, so a run never outlives
// them); the run reads them when it needs a value, so changes in the settings dialog apply.
struct TExerciseRunContext {
    // The exercise list, the language names and the language file's name.
    std::shared_ptr<TExerciseData> exercise;
    // Presentation mode and delays, voice output, table; VoicePresent is switched off here
    // when the learner asks for it.
    std::shared_ptr<TGeneralProperty> general;
    std::shared_ptr<const TFontProperty> font;
    // The voice of the first language, then of the second.
    std::shared_ptr<const AVoiceProperty> voices;
    // The main window's copy of the language file.
    std::shared_ptr<TLangFHandler> langFile;
    // None: nothing can be spoken.
    std::shared_ptr<IExerciseSpeech> speech;
    // A window text by number in the UI language (Windows-1252).
    std::function<std::string(std::int32_t)> text;
    // The code page of the language file (the settings'); none: Windows-1252. Read anew at
    // every show and activation.
    std::shared_ptr<const std::int32_t> codePage;
    // True while the first language is the presented one; asked for every card.
    std::function<bool()> firstLanguage;
    // Holds back the entries with priorities 1 to 8 and drops those with 9.
    std::function<void()> splitHeldBack;
    // Applies the marks to the language file (LangFileName) as it is on disk at that moment
    // and saves it; reports its own failure and gives false.
    std::function<bool(const std::vector<TPairMarks>&)> saveMarks;
    // Optional: each card the run showed, once, when it leaves the table (the next card takes
    // its place, the exercise ends or the window closes), so a run cut short keeps what came
    // before (the practice journal).
    std::function<void(const TCardResult&)> recordCard;
};

class TExerciseRun {
public:
    // Throws std::invalid_argument when a record or a function of the context is missing.
    TExerciseRun(TExerciseRunContext context, IExerciseView& view);

    // The window is shown: a fresh run over the current exercise list. In manual mode the
    // first card comes at once; in automatic mode the run waits for START.
    void Show();
    // The window became active: mode (manual, automatic or Write), delays and card font from
    // the settings.
    void Activate();
    // The UI language changed (also part of Show).
    void ApplyTexts();
    // The window closes: saves the language file and holds entries back when a pair got
    // "not more use", stops the timers and releases the card.
    void Close();

    void TimerTick(TExerciseTimer timer);

    // The buttons; each does nothing while its button is off.
    void Start();
    void Stop();
    void Next();
    // True when the run used the key; the window passes other keys on. In Write mode every
    // key typed before the verdict is the answer field's (digits, arrows, Space) but Alt with
    // a digit, which chooses a priority; Escape empties the field; Enter (or Next) judges what
    // it holds, an empty field as not known. Enter with an answer while the card still flies
    // in judges it when the card has landed.
    bool KeyDown(TExerciseKey key);
    // The learner chose priority button 0..9 (a click, or an arrow key in the window); it
    // applies to the card on the table.
    void PriorityClicked(std::int32_t priority);
    // The table's selection changed to row (-1: none selected).
    void TableRowSelected(std::int32_t row);

    TExercisePhase Phase() const { return phase_; }
    TRunState RunState() const { return runState_; }
    bool Automatic() const { return automatic_; }
    bool WriteMode() const { return write_; }
    // True while the card on the table waits for the learner's typed answer.
    bool AwaitingAnswer() const;
    // True while the answer field is open for the card on the table (from its fly-in to its
    // verdict): the keys typed are the answer's.
    bool AnswerOpen() const;
    // Every card shown since the window was shown, in order, restarts included.
    const std::vector<TCardResult>& CardResults() const { return results_; }
    std::int32_t CurrentIndex() const { return index_; }
    std::int32_t PriorityIndex() const { return prioIndex_; }
    const std::string& PresentedText() const { return presented_; }
    const std::string& SolutionText() const { return solution_; }
    const TExerciseButtons& Buttons() const { return buttons_; }
    std::int32_t CheckedPriority() const { return checked_; }
    bool TableVisible() const { return tableVisible_; }
    bool SaveNeeded() const { return !givenUp_.empty(); }
    bool PresentationVoiceUsable() const { return voiceUsable_; }
    // Milliseconds added to the presentation delay for the last text spoken.
    std::int64_t SpeechExtraDelay() const { return extraDelay_; }
    std::string Caption() const;

private:
    void ReadSettings();
    const TCodePage& Page() const;
    // The mode changed at an activation while the run was under way: the run goes on with
    // what the new mode offers.
    void FollowModeChange();
    void Restart();
    void Step();
    void StepNextCard();
    void StepShowPresentation();
    void StepPresentationShown();
    void StepShowSolution();
    void StepFinished();

    void DoStart();
    void DoStop();
    void DoNext();
    // Hands the cards that have left the table to recordCard: all of them, or all but the
    // last when the last is still on the table.
    void RecordCards(bool lastToo);
    // Shows the verdict of the card on the table and the table's answers in the UI language.
    void ShowVerdicts();
    void StopTimers();
    void GraphicTick();
    void AdvanceWipe();
    void LetterOutput(std::int32_t line, bool allAtOnce);
    void LoadCard();
    bool SpeakText(const std::string& text, const TVoiceProperty& voice);
    void SpeakPresentation();
    void SelectPriorityButton();
    void PriorityClick(std::int32_t priority);
    void ChoosePriority(std::int32_t priority);
    // A priority chosen by a key; false when no card's priority can be chosen.
    bool ChooseByKey(std::int32_t priority);
    void UpdateButtons();
    void Labels();
    std::string ModeText() const;
    // Write mode: judges the field's text against the solution, shows the verdict and sets
    // the priority from it.
    void Judge();
    // The result of the card whose priority the buttons show, none before the first card.
    TCardResult* PriorityResult();

    bool HasCurrent() const;
    ExerciseEntry* CurrentEntry();
    // The entry whose priority the buttons show, none before the first card.
    ExerciseEntry* PriorityEntry();
    std::int32_t ListLength() const;
    std::shared_ptr<TWordPear> PairOf(const ExerciseEntry& entry) const;
    bool LetterPhase() const;
    void SetTimer(TExerciseTimer timer, std::int64_t ms);
    void Enable(TExerciseTimer timer, bool on);
    // Switches a delay on, or keeps it for START while an automatic run is not running.
    void Arm(TExerciseTimer timer);

    TExerciseRunContext ctx_;
    IExerciseView& view_;

    bool visible_ = false;
    bool tableVisible_ = false;
    std::int32_t index_ = -1;
    // The entry the priority buttons belong to: the card on the table. While the next card's
    // wipe runs that is still the previous one; the new card takes the buttons over when it
    // starts to fly in, so a choice always applies to the card the learner sees.
    std::int32_t prioIndex_ = -1;
    std::string presented_;
    std::string solution_;
    TVoiceProperty presentedVoice_;
    TVoiceProperty solutionVoice_;
    bool automatic_ = false;
    bool write_ = false;
    // Write mode: the card on the table has its verdict.
    bool judged_ = false;
    // The learner chose a priority for the card on the table: an answer's verdict leaves it.
    bool chosenByLearner_ = false;
    // The verdict shown under the card on the table.
    TAnswerView lastVerdict_;
    // Enter with an answer came while the card was still flying in: it is judged on landing.
    bool enterPending_ = false;
    // The results handed to recordCard so far.
    std::size_t recorded_ = 0;
    // Whether the last card loaded presented the first language.
    bool presentedFirst_ = true;
    std::vector<TCardResult> results_;
    // The result of the first row of the table (the restart's first card).
    std::size_t rowBase_ = 0;
    TRunState runState_ = TRunState::Stopped;
    TExercisePhase phase_ = TExercisePhase::Initial;
    std::array<bool, 3> savedTimers_{};
    bool flyInRunning_ = false;
    bool wipeRunning_ = false;
    std::int32_t letterLine_ = 1;
    bool letterAllAtOnce_ = true;
    bool firstCard_ = true;
    // The card flew in without its presented text, which is written after the solution.
    bool presentedLate_ = false;
    bool voiceUsable_ = true;
    std::int64_t extraDelay_ = 0;
    std::int64_t presentDelayMs_ = 1000;
    std::int32_t rows_ = 0;
    std::int32_t checked_ = -1;
    TExerciseButtons buttons_;
    // Pairs given "not more use" since the last close, with the marks they had before, so
    // that choosing another priority again gives them back; the file is saved at close while
    // any is left.
    struct TMarks {
        bool use = false;
        bool drawn = false;
    };
    std::map<std::pair<std::int32_t, std::int32_t>, std::optional<TMarks>> givenUp_;
};

} // namespace lexaro
