#include "exercise/ExerciseRun.h"

#include "data/TextSteps.h"
#include "exercise/AnswerCheck.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <stdexcept>

namespace lexaro {

namespace {

constexpr std::int64_t kWipeMs = 40;
constexpr std::int64_t kFlyInMs = 80;
constexpr std::int64_t kLetterMs = 50;
constexpr std::int64_t kSlowLetterMs = 500;
constexpr std::int64_t kSpeechMsPerChar = 30;
constexpr std::int32_t kFlyInDone = 25;
constexpr std::int32_t kNotMoreUse = 9;
// The lowest priority a right answer gives: the composition ages a priority before it holds a
// pair back, so "not use twice" is the first that rests the pair for an exercise.
constexpr std::int32_t kLowestFromAnswers = 2;
// The highest priority a right answer gives: "not more use" is only ever the learner's choice.
constexpr std::int32_t kHighestFromAnswers = 8;
constexpr std::int32_t kTextManual = 26;
constexpr std::int32_t kTextAutomatic = 27;
constexpr std::int32_t kTextWrite = 182;
constexpr std::int32_t kTextRight = 183;
constexpr std::int32_t kTextWrong = 184;
constexpr std::int32_t kTextRightCount = 185;
constexpr std::int32_t kTextAnswerHint = 189;
constexpr std::int32_t kTextShownColumn = 210;
constexpr std::int32_t kTextSolutionColumn = 211;
constexpr std::int32_t kTextAnswerColumn = 212;
constexpr std::int32_t kTextNoAnswer = 213;
constexpr std::int32_t kTextPriorityHint = 214;
constexpr std::int32_t kTextVoiceFailed = 135;
constexpr std::int32_t kTextNoSoundOutput = 158;
constexpr std::array<TExerciseTimer, 3> kTimers = {
    TExerciseTimer::PresentDelay, TExerciseTimer::AnswerDelay, TExerciseTimer::Graphic};

// The delays the settings dialog offers; a hand-edited settings file may hold anything, and
// a delay of 0 would stop a window timer for good.
std::int64_t DelayMs(std::int32_t seconds) {
    return std::int64_t{std::clamp(seconds, 1, 20)} * 1000;
}

std::size_t TimerSlot(TExerciseTimer timer) {
    return static_cast<std::size_t>(timer);
}

// The text with its first %1 and %2 filled in.
std::string Fill(std::string text, const std::string& first, const std::string& second) {
    if (const auto at = text.find("%1"); at != std::string::npos)
        text.replace(at, 2, first);
    if (const auto at = text.find("%2"); at != std::string::npos)
        text.replace(at, 2, second);
    return text;
}

} // namespace

std::int32_t PriorityAfterAnswer(bool right, std::int32_t before) {
    if (!right)
        return 0;
    if (before >= kHighestFromAnswers)
        return before;
    return std::clamp(before + 1, kLowestFromAnswers, kHighestFromAnswers);
}

TExerciseRun::TExerciseRun(TExerciseRunContext context, IExerciseView& view)
    : ctx_(std::move(context)), view_(view) {
    if (!ctx_.exercise || !ctx_.general || !ctx_.font || !ctx_.voices || !ctx_.text ||
        !ctx_.firstLanguage || !ctx_.splitHeldBack || !ctx_.saveMarks)
        throw std::invalid_argument("The exercise run needs every record and service");
    // Everything the window shows besides the phrases is UTF-8.
    ctx_.text = [text = std::move(ctx_.text)](std::int32_t n) {
        return TCodePage::Western().ToUtf8(text(n));
    };
}

const TCodePage& TExerciseRun::Page() const {
    return ctx_.codePage ? TCodePage::Get(*ctx_.codePage) : TCodePage::Western();
}

std::string TExerciseRun::Caption() const {
    return ctx_.text(51) + " - " + Page().ToUtf8(ctx_.exercise->Lang1) + "/" +
           Page().ToUtf8(ctx_.exercise->Lang2);
}

void TExerciseRun::Show() {
    visible_ = true;
    results_.clear();
    recorded_ = 0;
    rowBase_ = 0;
    enterPending_ = false;
    // A fresh run, whatever the window did before.
    for (const TExerciseTimer t : kTimers)
        Enable(t, false);
    tableVisible_ = false;
    view_.HideTable();
    flyInRunning_ = false;
    wipeRunning_ = false;
    voiceUsable_ = true;
    ApplyTexts();
    view_.SetUpCard();
    view_.ResetCard();
    view_.ClearCardLine(1);
    view_.ClearCardLine(2);
    runState_ = TRunState::Stopped;
    firstCard_ = true;
    // The activation comes only after the show; a manual run shows its first card within the
    // restart, and must know its mode, delays and font by then.
    ReadSettings();
    Restart();
    UpdateButtons();
}

void TExerciseRun::Activate() {
    const bool wasAutomatic = automatic_;
    const bool wasWrite = write_;
    ReadSettings();
    if (visible_ && automatic_ != wasAutomatic)
        FollowModeChange();
    // Into Write mode while a card waits for its solution: it waits for the answer now.
    if (visible_ && write_ && !wasWrite && AwaitingAnswer())
        view_.OpenAnswer();
    UpdateButtons();
}

void TExerciseRun::FollowModeChange() {
    const bool letters =
        view_.TimerEnabled(TExerciseTimer::Graphic) && !flyInRunning_ && !wipeRunning_;
    if (automatic_) {
        // The run waits for START, as an automatic run does after STOP: letters being written
        // pause with it. A card in flight lands first; its delays wait for START too (Arm).
        if (letters) {
            Enable(TExerciseTimer::Graphic, false);
            savedTimers_[TimerSlot(TExerciseTimer::Graphic)] = true;
        }
        runState_ = TRunState::Stopped;
    } else {
        // Manual mode has no delays: the learner's Next takes their place. Letters that a STOP
        // paused go on, as there is no START to resume them.
        Enable(TExerciseTimer::AnswerDelay, false);
        Enable(TExerciseTimer::PresentDelay, false);
        if (savedTimers_[TimerSlot(TExerciseTimer::Graphic)])
            Enable(TExerciseTimer::Graphic, true);
        savedTimers_ = {};
        runState_ = TRunState::Stopped;
        // A run that waited for START shows its first card at once, as a manual run does.
        if (phase_ == TExercisePhase::Initial && ListLength() > 0) {
            phase_ = TExercisePhase::NextCard;
            Step();
        }
    }
    Labels();
}

void TExerciseRun::ReadSettings() {
    const TGeneralProperty& g = *ctx_.general;
    write_ = g.WriteAnswer;
    automatic_ = !write_ && g.AutoPresent;
    view_.SetModeText(ModeText());
    view_.ShowAnswerField(write_);
    presentDelayMs_ = DelayMs(g.DelayPresent);
    SetTimer(TExerciseTimer::PresentDelay, presentDelayMs_);
    SetTimer(TExerciseTimer::AnswerDelay, DelayMs(g.DelayAnswer));
    view_.SetCardFont(*ctx_.font);
    view_.SetCodePage(Page());
    extraDelay_ = 0;
}

void TExerciseRun::ApplyTexts() {
    const auto& text = ctx_.text;
    TExerciseTexts t;
    t.caption = Caption();
    t.modeLabel = text(48) + " : ";
    t.stateLabel = text(49) + " : ";
    t.counterLabel = text(50) + " : ";
    t.start = text(63);
    t.stop = text(64);
    t.next = text(65);
    t.startHint = text(66);
    t.stopHint = text(66);
    t.nextHint = text(67);
    t.priorityBox = " " + text(52) + " ";
    for (std::size_t i = 0; i < t.priorities.size(); ++i)
        t.priorities[i] = text(53 + static_cast<std::int32_t>(i));
    t.answerHint = text(kTextAnswerHint);
    t.priorityHint = text(kTextPriorityHint);
    t.shownColumn = text(kTextShownColumn);
    t.solutionColumn = text(kTextSolutionColumn);
    t.answerColumn = text(kTextAnswerColumn);
    t.noAnswer = text(kTextNoAnswer);
    view_.SetTexts(t);
    view_.SetModeText(ModeText());
    Labels();
    ShowVerdicts();
}

void TExerciseRun::ShowVerdicts() {
    if (!visible_)
        return;
    const std::size_t first = std::min(rowBase_, results_.size());
    for (std::size_t slot = first; slot < results_.size(); ++slot) {
        const TCardResult& result = results_[slot];
        if (result.verdict == TAnswerVerdict::None)
            continue;
        const bool right = result.verdict == TAnswerVerdict::Right;
        const auto row = static_cast<std::int32_t>(slot - first);
        view_.SetTableAnswer(row, result.typed, ctx_.text(right ? kTextRight : kTextWrong), right);
    }
    if (judged_ && write_) {
        lastVerdict_.verdict = ctx_.text(lastVerdict_.right ? kTextRight : kTextWrong);
        view_.ShowVerdict(lastVerdict_);
    }
}

void TExerciseRun::Close() {
    if (!visible_)
        return;
    // Nothing of the run may go on while the close reports a failure in a message box: no
    // delay may bring a card or the end question to a closing window.
    for (const TExerciseTimer t : kTimers)
        Enable(t, false);
    visible_ = false;
    flyInRunning_ = false;
    wipeRunning_ = false;
    enterPending_ = false;
    if (SaveNeeded()) {
        // Only the marks the run changed go to the file, applied to it as it is on disk now,
        // so nothing saved since the run's copy was loaded is undone. A failed save has been
        // reported by the saver; the entries are held back anyway.
        std::vector<TPairMarks> marks;
        for (const auto& [key, before] : givenUp_) {
            const ExerciseEntry entry{key.first, key.second};
            if (const std::shared_ptr<TWordPear> pair = PairOf(entry))
                marks.push_back({{key.first, key.second}, pair->use, pair->drawn});
        }
        ctx_.saveMarks(marks);
        ctx_.splitHeldBack();
        givenUp_.clear();
    }
    // The card on the table ends with the window. The cards stay readable until the next show,
    // which starts a new list.
    RecordCards(/*lastToo=*/true);
    presented_.clear();
    solution_.clear();
    view_.ReleaseCard();
    // The list may have lost entries: nothing may act on an entry by its old index.
    index_ = -1;
    prioIndex_ = -1;
    buttons_ = {};
    view_.SetButtons(buttons_);
}

std::string TExerciseRun::ModeText() const {
    return ctx_.text(write_ ? kTextWrite : automatic_ ? kTextAutomatic : kTextManual);
}

void TExerciseRun::Restart() {
    rowBase_ = results_.size();
    presented_.clear();
    solution_.clear();
    view_.ClearTable();
    rows_ = 0;
    phase_ = TExercisePhase::Initial;
    savedTimers_ = {};
    index_ = -1;
    prioIndex_ = -1;
    Labels();
    if (!automatic_ && ListLength() > 0) {
        phase_ = TExercisePhase::NextCard;
        Step();
    }
}

void TExerciseRun::Step() {
    switch (phase_) {
    case TExercisePhase::NextCard:
        StepNextCard();
        break;
    case TExercisePhase::ShowPresentation:
        StepShowPresentation();
        break;
    case TExercisePhase::PresentationShown:
        StepPresentationShown();
        break;
    case TExercisePhase::ShowSolution:
        StepShowSolution();
        break;
    case TExercisePhase::ShowPresentationLate:
        phase_ = TExercisePhase::SolutionShown;
        LetterOutput(1, false);
        break;
    case TExercisePhase::SolutionShown:
        UpdateButtons();
        if (ctx_.general->VoiceAnswer)
            SpeakText(solution_, solutionVoice_); // a failure goes unnoticed on purpose
        if (automatic_) {
            SetTimer(TExerciseTimer::PresentDelay, presentDelayMs_ + extraDelay_);
            Arm(TExerciseTimer::PresentDelay);
        }
        phase_ = index_ + 1 >= ListLength() ? TExercisePhase::Finished : TExercisePhase::NextCard;
        break;
    case TExercisePhase::Finished:
        StepFinished();
        break;
    case TExercisePhase::Initial:
        break;
    }
}

void TExerciseRun::StepNextCard() {
    if (index_ + 1 >= ListLength()) {
        // The list got shorter than the run: there is no next card.
        phase_ = TExercisePhase::Finished;
        StepFinished();
        return;
    }
    ++index_;
    Enable(TExerciseTimer::PresentDelay, false);
    // Back to the delay without the last speech, which the previous solution added.
    SetTimer(TExerciseTimer::PresentDelay, presentDelayMs_);
    LoadCard();
    view_.AddTableRow(presented_, solution_);
    ++rows_;
    const ExerciseEntry& entry = *CurrentEntry();
    results_.push_back({entry, presentedFirst_, {}, TAnswerVerdict::None, entry.priority});
    phase_ = TExercisePhase::ShowPresentation;
    if (firstCard_) {
        view_.ResetCard();
        firstCard_ = false;
        Step();
        return;
    }
    wipeRunning_ = true;
    UpdateButtons();
    SetTimer(TExerciseTimer::Graphic, kWipeMs);
    Enable(TExerciseTimer::Graphic, true);
    AdvanceWipe();
}

void TExerciseRun::StepShowPresentation() {
    // The previous card leaves the table now: its priority is final for the journal.
    RecordCards(/*lastToo=*/false);
    view_.ClearCardLine(1);
    view_.ClearCardLine(2);
    judged_ = false;
    chosenByLearner_ = false;
    enterPending_ = false;
    if (write_)
        view_.OpenAnswer();
    // From here the new card is the one on the table: the buttons show its priority.
    SelectPriorityButton();
    // Voice without text: the presented text is written after the solution. Decided here
    // for the card, so a change of VoicePresent on the way cannot leave it unwritten.
    presentedLate_ = ctx_.general->VoicePresent == 1;
    if (!presentedLate_)
        LetterOutput(1, true);
    Labels();
    flyInRunning_ = true;
    SetTimer(TExerciseTimer::Graphic, kFlyInMs);
    Enable(TExerciseTimer::Graphic, true);
    view_.StartFlyIn();
    UpdateButtons();
    phase_ = TExercisePhase::PresentationShown;
}

void TExerciseRun::StepPresentationShown() {
    SpeakPresentation();
    if (automatic_)
        Arm(TExerciseTimer::AnswerDelay);
    UpdateButtons();
    phase_ = TExercisePhase::ShowSolution;
    // The learner answered while the card was still on its way.
    if (enterPending_) {
        enterPending_ = false;
        if (AwaitingAnswer())
            DoNext();
    }
}

void TExerciseRun::StepShowSolution() {
    Enable(TExerciseTimer::AnswerDelay, false);
    phase_ = presentedLate_ ? TExercisePhase::ShowPresentationLate : TExercisePhase::SolutionShown;
    LetterOutput(2, false);
    UpdateButtons();
}

void TExerciseRun::StepFinished() {
    StopTimers();
    RecordCards(/*lastToo=*/true);
    runState_ = TRunState::Finished;
    UpdateButtons();
    Labels();
    // The typed answers of this round: how many were right.
    std::int32_t answered = 0;
    std::int32_t right = 0;
    for (std::size_t i = std::min(rowBase_, results_.size()); i < results_.size(); ++i) {
        answered += results_[i].verdict != TAnswerVerdict::None ? 1 : 0;
        right += results_[i].verdict == TAnswerVerdict::Right ? 1 : 0;
    }
    std::string question = ctx_.text(68) + "\r\n";
    if (answered > 0)
        question +=
            Fill(ctx_.text(kTextRightCount), std::to_string(right), std::to_string(answered)) +
            "\r\n";
    const bool again = view_.AskYesNo(Caption(), question + ctx_.text(69), /*beep=*/true);
    if (again) {
        runState_ = TRunState::Stopped;
        firstCard_ = true;
        Restart();
        UpdateButtons();
        if (automatic_)
            Start(); // off when the list has become empty
    } else if (ctx_.general->ShowTable) {
        tableVisible_ = true;
        view_.ShowTable();
        UpdateButtons();
    } else {
        view_.CloseWindow();
    }
}

void TExerciseRun::TimerTick(TExerciseTimer timer) {
    // A tick may still be queued when its timer was switched off, or the window closed.
    if (!visible_ || !view_.TimerEnabled(timer))
        return;
    if (timer == TExerciseTimer::Graphic)
        GraphicTick();
    else
        Step();
}

void TExerciseRun::GraphicTick() {
    if (wipeRunning_) {
        AdvanceWipe();
    } else if (flyInRunning_) {
        const std::int32_t state = view_.FlyInFrame();
        // Each frame lets the window's events run first; one of them may have closed it.
        if (!visible_)
            return;
        if (state == kFlyInDone) {
            Enable(TExerciseTimer::Graphic, false);
            flyInRunning_ = false;
            Step();
        }
    } else {
        LetterOutput(letterLine_, letterAllAtOnce_);
    }
}

void TExerciseRun::AdvanceWipe() {
    if (view_.WipeStep()) {
        Enable(TExerciseTimer::Graphic, false);
        wipeRunning_ = false;
        Step();
    }
}

void TExerciseRun::LetterOutput(std::int32_t line, bool allAtOnce) {
    letterLine_ = line;
    letterAllAtOnce_ = allAtOnce;
    if (!allAtOnce && !view_.TimerEnabled(TExerciseTimer::Graphic)) {
        SetTimer(TExerciseTimer::Graphic,
                 ctx_.general->LetterAnswer && line == 2 ? kSlowLetterMs : kLetterMs);
        Enable(TExerciseTimer::Graphic, true);
    }
    const std::string& text = line == 1 ? presented_ : solution_;
    if (view_.WriteCardText(text, line, allAtOnce)) {
        Enable(TExerciseTimer::Graphic, false);
        // The solution is laid out while the learner reads the presented side.
        if (line == 1)
            view_.PrepareCardText(solution_, 2);
        if (LetterPhase())
            Step();
    }
}

void TExerciseRun::LoadCard() {
    const ExerciseEntry* entry = CurrentEntry();
    const std::shared_ptr<TWordPear> pair = entry ? PairOf(*entry) : nullptr;
    if (!pair)
        return; // the card keeps the texts of the previous one
    const AVoiceProperty& voices = *ctx_.voices;
    // A due-words-first card presents the direction that is due.
    presentedFirst_ = entry->side == 0 ? ctx_.firstLanguage() : entry->side == 1;
    if (presentedFirst_) {
        presented_ = pair->text1;
        solution_ = pair->text2;
        presentedVoice_ = voices[0];
        solutionVoice_ = voices[1];
    } else {
        presented_ = pair->text2;
        solution_ = pair->text1;
        presentedVoice_ = voices[1];
        solutionVoice_ = voices[0];
    }
}

bool TExerciseRun::SpeakText(const std::string& text, const TVoiceProperty& voice) {
    IExerciseSpeech* speech = ctx_.speech.get();
    try {
        if (speech == nullptr || !speech->IsOpen() || !speech->SelectVoiceByName(voice.Voice))
            return false;
        speech->SetPitch(voice.Pitch);
        speech->SetSpeed(voice.Speed);
        speech->Speak(text, Page());
    } catch (const std::exception&) {
        return false;
    }
    // Speech is not waited for: the next delay is lengthened by the time it takes instead.
    extraDelay_ = kSpeechMsPerChar * static_cast<std::int64_t>(CharacterCount(text, Page()));
    return true;
}

void TExerciseRun::SpeakPresentation() {
    TGeneralProperty& g = *ctx_.general;
    if (!voiceUsable_ || (g.VoicePresent != 1 && g.VoicePresent != 2))
        return;
    if (SpeakText(presented_, presentedVoice_))
        return;
    // Asked once per show; the exercise goes on silently either way. Without any sound output
    // the voice is not to blame, and the question says so.
    voiceUsable_ = false;
    const bool noOutput = ctx_.speech && !ctx_.speech->HasSoundOutput();
    const std::int32_t why = noOutput ? kTextNoSoundOutput : kTextVoiceFailed;
    if (view_.AskYesNo("Lexaro", ctx_.text(why) + "\r\n" + ctx_.text(136), /*beep=*/false))
        g.VoicePresent = 0;
}

void TExerciseRun::SelectPriorityButton() {
    const ExerciseEntry* entry = CurrentEntry();
    if (entry == nullptr)
        return;
    prioIndex_ = index_;
    const std::int32_t priority = entry->priority;
    if (priority < 0 || priority > kNotMoreUse) {
        // No button stands for it; the previous card's must not seem to.
        checked_ = -1;
        view_.CheckPriority(-1);
        return;
    }
    const bool wasChecked = checked_ == priority;
    checked_ = priority;
    view_.CheckPriority(priority);
    if (!wasChecked)
        PriorityClick(priority);
    if (tableVisible_)
        return;
    if (write_)
        view_.FocusAnswer();
    else
        view_.FocusPriority(priority);
}

void TExerciseRun::PriorityClicked(std::int32_t priority) {
    if (priority < 0 || priority > kNotMoreUse)
        return;
    if (PriorityEntry() == nullptr) {
        // No card on the table: the buttons go back to what they showed.
        view_.CheckPriority(checked_);
        return;
    }
    checked_ = priority;
    chosenByLearner_ = true;
    PriorityClick(priority);
    // The keyboard stays with the answer: the learner types on.
    if (write_ && !tableVisible_)
        view_.FocusAnswer();
}

void TExerciseRun::PriorityClick(std::int32_t priority) {
    ExerciseEntry* entry = PriorityEntry();
    if (entry == nullptr)
        return;
    entry->priority = priority;
    if (TCardResult* result = PriorityResult())
        result->priorityChosen = priority;
    const auto key = std::make_pair(entry->lesson, entry->pairId);
    const std::shared_ptr<TWordPear> pair = PairOf(*entry);
    if (priority == kNotMoreUse) {
        if (givenUp_.count(key) == 0)
            givenUp_[key] =
                pair ? std::optional<TMarks>(TMarks{pair->use, pair->drawn}) : std::nullopt;
        if (pair) {
            pair->use = false;
            pair->drawn = false;
        }
    } else if (const auto it = givenUp_.find(key); it != givenUp_.end()) {
        // The learner took "not more use" back before the file was saved.
        if (pair && it->second) {
            pair->use = it->second->use;
            pair->drawn = it->second->drawn;
        }
        givenUp_.erase(it);
    }
    if (tableVisible_)
        view_.FocusTable();
}

void TExerciseRun::ChoosePriority(std::int32_t priority) {
    checked_ = priority;
    view_.CheckPriority(priority);
    if (!tableVisible_) {
        if (write_)
            view_.FocusAnswer();
        else
            view_.FocusPriority(priority);
    }
    PriorityClick(priority);
}

bool TExerciseRun::AnswerOpen() const {
    return write_ && visible_ && !judged_ && !tableVisible_ && index_ >= 0 &&
           prioIndex_ == index_ && index_ < ListLength();
}

void TExerciseRun::RecordCards(bool lastToo) {
    const std::size_t end = lastToo || results_.empty() ? results_.size() : results_.size() - 1;
    if (!ctx_.recordCard) {
        recorded_ = std::max(recorded_, end);
        return;
    }
    while (recorded_ < end)
        ctx_.recordCard(results_[recorded_++]);
}

bool TExerciseRun::AwaitingAnswer() const {
    return write_ && visible_ && !judged_ && !tableVisible_ &&
           phase_ == TExercisePhase::ShowSolution && index_ >= 0 && index_ < ListLength();
}

void TExerciseRun::Judge() {
    judged_ = true;
    const TGeneralProperty& g = *ctx_.general;
    const std::string utf8 = view_.AnswerText();
    std::string typed;
    // A character the code page cannot hold makes the answer wrong, nothing more.
    const bool storable = Page().FromUtf8(utf8, typed);
    if (!storable)
        typed = Page().FromUtf8Lossy(utf8);
    // Cut to whole characters: a Unicode answer never ends in part of one.
    typed.resize(FirstCharacters(typed, kAnswerLimit, Page()).size());
    TAnswerCheck check = CheckAnswer(solution_, typed, Page(), g.IgnoreAccents, g.CommaSeparates);
    if (!storable) {
        check.right = false;
        check.differs.assign(typed.size(), true);
    }
    const TAnswerVerdict verdict = check.right ? TAnswerVerdict::Right : TAnswerVerdict::Wrong;
    const std::size_t slot = rowBase_ + static_cast<std::size_t>(index_);
    if (slot < results_.size()) {
        results_[slot].typed = typed;
        results_[slot].verdict = verdict;
    }
    const std::string word = ctx_.text(check.right ? kTextRight : kTextWrong);
    lastVerdict_ = {typed, std::move(check.differs), check.right, word};
    view_.ShowVerdict(lastVerdict_);
    view_.SetTableAnswer(index_, typed, word, check.right);
    // The verdict sets the priority unless the learner chose one for this card already; a
    // choice after it wins as well, being the last. "Not more use" is the learner's, even from
    // an earlier round of this window: only the learner takes it back. Due words come back by
    // their memory, not by priorities from answers.
    ExerciseEntry* entry = CurrentEntry();
    if (g.PrioritiesFromAnswers && !ctx_.exercise->ComposedDueFirst && !chosenByLearner_ &&
        entry != nullptr && prioIndex_ == index_ && entry->priority != kNotMoreUse) {
        const std::int32_t priority = PriorityAfterAnswer(check.right, entry->priority);
        checked_ = priority;
        view_.CheckPriority(priority);
        PriorityClick(priority);
    }
}

TCardResult* TExerciseRun::PriorityResult() {
    if (prioIndex_ < 0)
        return nullptr;
    const std::size_t slot = rowBase_ + static_cast<std::size_t>(prioIndex_);
    return slot < results_.size() ? &results_[slot] : nullptr;
}

void TExerciseRun::Start() {
    if (buttons_.start)
        DoStart();
}

void TExerciseRun::Stop() {
    if (buttons_.stop)
        DoStop();
}

void TExerciseRun::Next() {
    if (buttons_.next)
        DoNext();
}

void TExerciseRun::DoStart() {
    if (phase_ == TExercisePhase::Initial) {
        phase_ = TExercisePhase::NextCard;
    } else {
        // Only switched on: a timer that runs now (a letter output after a change of mode)
        // must not be stopped by a start.
        for (const TExerciseTimer t : kTimers)
            if (savedTimers_[TimerSlot(t)])
                Enable(t, true);
    }
    runState_ = TRunState::Running;
    UpdateButtons();
    Labels();
    // A letter output resumes by its timer; any other phase goes on at once, so a start
    // after a stop does not wait for the rest of a delay.
    if (!LetterPhase())
        Step();
}

void TExerciseRun::DoStop() {
    StopTimers();
    runState_ = TRunState::Stopped;
    UpdateButtons();
    Labels();
}

void TExerciseRun::DoNext() {
    if (AwaitingAnswer()) {
        Judge();
        Step();
        return;
    }
    if (LetterPhase()) {
        // The letters being written speed up, and go on if they were paused: stepping now
        // would leave the text half written.
        SetTimer(TExerciseTimer::Graphic, kLetterMs);
        Enable(TExerciseTimer::Graphic, true);
    } else {
        Step();
    }
}

void TExerciseRun::StopTimers() {
    for (const TExerciseTimer t : kTimers) {
        savedTimers_[TimerSlot(t)] = view_.TimerEnabled(t);
        Enable(t, false);
    }
}

bool TExerciseRun::KeyDown(TExerciseKey key) {
    const auto code = static_cast<std::int32_t>(key);
    // Alt with a digit chooses a priority in every mode, also while an answer is typed.
    const std::int32_t altDigit = code - static_cast<std::int32_t>(TExerciseKey::AltDigit0);
    if (altDigit >= 0 && altDigit <= kNotMoreUse)
        return ChooseByKey(altDigit);
    // Write mode before the verdict: every key typed is the answer's (digits, arrows, Space).
    const bool typing = AnswerOpen();
    switch (key) {
    case TExerciseKey::Escape:
        if (!typing)
            return false;
        view_.ClearAnswer();
        return true;
    case TExerciseKey::Space:
        if (!automatic_)
            return false;
        if (runState_ == TRunState::Stopped && buttons_.start) {
            DoStart();
            return true;
        }
        if (runState_ == TRunState::Running && buttons_.stop) {
            DoStop();
            return true;
        }
        return false;
    case TExerciseKey::Enter:
        if (!buttons_.next) {
            // An answer finished while its card still flies in is judged when it has landed.
            // An Enter on an empty field then is most likely the previous card's, pressed
            // twice: it does not count as "not known".
            if (typing && flyInRunning_ && !view_.AnswerText().empty()) {
                enterPending_ = true;
                return true;
            }
            return false;
        }
        DoNext();
        return true;
    case TExerciseKey::Left:
    case TExerciseKey::Up:
    case TExerciseKey::Right:
    case TExerciseKey::Down: {
        // While the table shows, the arrows move its selection instead.
        if (tableVisible_ || typing || PriorityEntry() == nullptr)
            return false;
        // The list of priorities has two ends: no key runs past "use always" to "not more use".
        const bool forward = key == TExerciseKey::Right || key == TExerciseKey::Down;
        const std::int32_t target =
            checked_ < 0 ? 0 : std::clamp(checked_ + (forward ? 1 : -1), 0, kNotMoreUse);
        if (target == checked_)
            return true;
        chosenByLearner_ = true;
        ChoosePriority(target);
        return true;
    }
    default:
        break;
    }
    const std::int32_t digit = code - static_cast<std::int32_t>(TExerciseKey::Digit0);
    if (digit < 0 || digit > kNotMoreUse || typing)
        return false;
    return ChooseByKey(digit);
}

bool TExerciseRun::ChooseByKey(std::int32_t priority) {
    if (PriorityEntry() == nullptr)
        return false;
    chosenByLearner_ = true;
    ChoosePriority(priority);
    return true;
}

void TExerciseRun::TableRowSelected(std::int32_t row) {
    if (!visible_ || rows_ == 0)
        return;
    if (row < 0)
        row = rows_ - 1;
    if (row >= rows_ || row >= ListLength())
        return;
    index_ = row;
    Labels();
    SelectPriorityButton();
}

void TExerciseRun::UpdateButtons() {
    const bool usable = !flyInRunning_ && !wipeRunning_ && !tableVisible_ && ListLength() > 0;
    const bool lettersWaitForNext = !view_.TimerEnabled(TExerciseTimer::Graphic) ||
                                    view_.TimerInterval(TExerciseTimer::Graphic) == kSlowLetterMs;
    TExerciseButtons b;
    b.start = usable && automatic_ && runState_ != TRunState::Running;
    b.stop = usable && automatic_ && runState_ == TRunState::Running;
    b.next = usable && (!automatic_ || runState_ != TRunState::Stopped) && lettersWaitForNext;
    buttons_ = b;
    view_.SetButtons(b);
}

void TExerciseRun::Labels() {
    std::string state;
    if (runState_ == TRunState::Finished)
        state = ctx_.text(70);
    else if (automatic_)
        state = ctx_.text(runState_ == TRunState::Running ? 71 : 72);
    else
        state = " - ";
    view_.SetStateText(state);
    view_.SetCounterText(std::to_string(index_ + 1) + "/" + std::to_string(ListLength()));
}

bool TExerciseRun::HasCurrent() const {
    return index_ >= 0 && index_ < ListLength();
}

ExerciseEntry* TExerciseRun::CurrentEntry() {
    if (!HasCurrent())
        return nullptr;
    return &ctx_.exercise->ExerciseWords[static_cast<std::size_t>(index_)];
}

ExerciseEntry* TExerciseRun::PriorityEntry() {
    if (prioIndex_ < 0 || prioIndex_ >= ListLength())
        return nullptr;
    return &ctx_.exercise->ExerciseWords[static_cast<std::size_t>(prioIndex_)];
}

std::int32_t TExerciseRun::ListLength() const {
    const std::size_t n = ctx_.exercise->ExerciseWords.size();
    return static_cast<std::int32_t>(
        std::min<std::size_t>(n, std::numeric_limits<std::int32_t>::max()));
}

std::shared_ptr<TWordPear> TExerciseRun::PairOf(const ExerciseEntry& entry) const {
    if (!ctx_.langFile)
        return nullptr;
    const std::shared_ptr<TLesson> lesson = ctx_.langFile->LessonAt(entry.lesson);
    return lesson ? lesson->PairAt(entry.pairId) : nullptr;
}

bool TExerciseRun::LetterPhase() const {
    return phase_ == TExercisePhase::ShowPresentationLate ||
           phase_ == TExercisePhase::SolutionShown;
}

void TExerciseRun::SetTimer(TExerciseTimer timer, std::int64_t ms) {
    const auto interval = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(ms, 1, std::numeric_limits<std::int32_t>::max()));
    // Window timers restart their period on every new interval; the same one must not.
    if (view_.TimerInterval(timer) != interval)
        view_.SetTimerInterval(timer, interval);
}

void TExerciseRun::Arm(TExerciseTimer timer) {
    // An automatic run that is not running (its mode was changed while a card was on its way)
    // keeps the delay for START, as STOP would have.
    if (automatic_ && runState_ != TRunState::Running)
        savedTimers_[TimerSlot(timer)] = true;
    else
        Enable(timer, true);
}

void TExerciseRun::Enable(TExerciseTimer timer, bool on) {
    if (view_.TimerEnabled(timer) != on)
        view_.SetTimerEnabled(timer, on);
}

} // namespace lexaro
