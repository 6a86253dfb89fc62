#include "app/MainWndLogic.h"

#include "data/CodePage.h"
#include "data/CodePageGuess.h"
#include "data/StrUtil.h"
#include "data/TextSteps.h"
#include "exercise/ExerciseHelpFunc.h"
#include "progress/DueWords.h"
#include "progress/JournalReader.h"
#include "progress/MemoryModel.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <system_error>

namespace lexaro {

namespace {

constexpr const char* kVersionSuffix = " V2.02";
constexpr const char* kLanguageNotFound = "Language not found";
constexpr std::int32_t kNothingToExercise = 112;
constexpr std::int32_t kTextDueSkipped = 234;
constexpr std::int32_t kTextNothingDue = 235;
constexpr std::int32_t kLangFileUnusable = 138;
constexpr std::int32_t kLangFileNotSaved = 139;
constexpr std::int32_t kJournalSetAside = 208;
constexpr std::int32_t kJournalNotWritten = 209;
constexpr std::int32_t kJournalLineCut = 215;
constexpr std::int32_t kJournalCardsKept = 217;
constexpr std::int32_t kLinesNotKept = 140;
constexpr std::int32_t kSettingsNotSaved = 141;
constexpr std::int32_t kVersionNotKept = 154;

// The picture beside a language file: same folder and stem, extension .Bmp in any case (on a
// case-sensitive file system only the extension's case is free).
std::filesystem::path FindLangPicture(const std::filesystem::path& langFile) {
    if (langFile.empty())
        return {};
    std::filesystem::path exact = langFile;
    exact.replace_extension(".Bmp");
    std::error_code ec;
    if (std::filesystem::is_regular_file(exact, ec))
        return exact;
    const std::string wanted = LowerAscii(exact.filename().string());
    for (std::filesystem::directory_iterator it(langFile.parent_path(), ec), end; !ec && it != end;
         it.increment(ec)) {
        if (LowerAscii(it->path().filename().string()) == wanted &&
            it->path().stem() == exact.stem() && it->is_regular_file(ec))
            return it->path();
    }
    return {};
}

} // namespace

TStartKind DecideStart(bool possible, bool exerciseVisible, bool composedByEditor, bool listEmpty,
                       bool newCompose) {
    if (!possible)
        return TStartKind::NotPossible;
    // A running exercise addresses the list by position: never compose under it.
    if (exerciseVisible)
        return TStartKind::ShowAgain;
    if (composedByEditor)
        return TStartKind::UseEditorList;
    if (listEmpty || newCompose)
        return TStartKind::ComposeNew;
    return TStartKind::Continue;
}

TMainWndLogic::TMainWndLogic(std::filesystem::path appFolder,
                             std::shared_ptr<IMessageSink> messages)
    : TMainWndLogic(TAppFolders::Portable(appFolder), std::move(messages)) {}

TMainWndLogic::TMainWndLogic(TAppFolders folders, std::shared_ptr<IMessageSink> messages)
    : folders_(std::move(folders)), messages_(std::move(messages)) {
    settings_ = std::make_shared<TAppIniFile>(folders_.settings, folders_.data, messages_.get());
    uiLanguage_ = settings_->Language;
    texts_ = std::make_shared<TAppLangHandler>();
    lang_ = std::make_shared<TLangFHandler>();
    if (!settings_->iniFound)
        state_ = TMainState::Ended;
}

std::string TMainWndLogic::Text(std::int32_t number) const {
    return texts_->GetText(number);
}

const std::string& TMainWndLogic::AppTitle() const {
    return settings_->appTitle;
}

void TMainWndLogic::Report(const std::string& text) const {
    Report(AppTitle(), text);
}

void TMainWndLogic::Report(const std::string& caption, const std::string& text) const {
    if (messages_)
        messages_->Warn(caption, text, IMessageSink::Icon::Information);
}

std::string FileFaultText(const TFileResult& result, const TAppLangHandler& texts) {
    static constexpr std::pair<FileFault, std::int32_t> kTexts[] = {
        {FileFault::NotFound, 142},      {FileFault::NotRegular, 143},
        {FileFault::TooLarge, 144},      {FileFault::Exists, 145},
        {FileFault::DanglingLink, 146},  {FileFault::Incomplete, 147},
        {FileFault::NothingToSave, 148},
    };
    for (const auto& [fault, number] : kTexts)
        if (fault == result.fault && texts.HasTexts())
            return texts.GetText(number);
    return result.reason;
}

bool SaveLangFileReporting(const TAppIniFile& settings, const TAppLangHandler& texts,
                           TLangFHandler& lang, IMessageSink* messages) {
    const std::filesystem::path path = settings.LangFilePath();
    const TFileResult saved = lang.Save(path);
    // Without the save the file stays as it was, so a version it could not keep is no loss.
    const std::optional<TVersionFault> versionFault = lang.TakeVersionFault();
    auto report = [&](const std::string& text) {
        if (messages != nullptr)
            messages->Warn(settings.appTitle, text, IMessageSink::Icon::Information);
    };
    if (!saved) {
        report(FillText(texts.GetText(kLangFileNotSaved),
                        {DisplayPath(path), FileFaultText(saved, texts)}));
        return false;
    }
    if (versionFault)
        report(VersionFaultText(path, *versionFault, texts));
    if (const std::optional<TKeptCopy> kept = lang.TakeKeptCopy())
        report(KeptCopyText(*kept, texts));
    return true;
}

bool RecordCardReporting(const TAppIniFile& settings, const TAppLangHandler& texts,
                         const TLangFHandler& lang, const TCardResult& card,
                         const TJournalClock& clock, TJournalRecorder& recorder,
                         IMessageSink* messages) {
    if (settings.exercise.LangFileName.empty())
        return false;
    TJournalWriter writer(settings.LangFilePath(), clock);
    writer.AddRun({card}, lang, TCodePage::Get(settings.CodePage));
    if (writer.Lines().empty())
        return false;
    const TJournalRecord record = recorder.Record(settings.LangFilePath(), writer.Lines().front());
    const TJournalAppend& written = record.append;
    auto report = [&](const std::string& text) {
        if (messages != nullptr)
            messages->Warn(settings.appTitle, text, IMessageSink::Icon::Information);
    };
    // A cut line is dropped before the write, so it is told even when the write then fails.
    if (written.droppedBytes != 0)
        report(FillText(texts.GetText(kJournalLineCut),
                        {DisplayPath(written.written), std::to_string(written.droppedBytes)}));
    if (!written.result) {
        if (record.newFailure)
            report(FillText(texts.GetText(kJournalNotWritten),
                            {DisplayPath(written.written), FileFaultText(written.result, texts)}) +
                   "\n\n" + texts.GetText(kJournalCardsKept));
        return false;
    }
    if (written.setAside)
        report(FillText(texts.GetText(kJournalSetAside),
                        {DisplayPath(*written.setAside), DisplayPath(written.written)}));
    return true;
}

std::string VersionFaultText(const std::filesystem::path& path, const TVersionFault& fault,
                             const TAppLangHandler& texts) {
    return FillText(texts.GetText(kVersionNotKept), {DisplayPath(path), DisplayPath(fault.folder),
                                                     FileFaultText(fault.why, texts)});
}

std::string KeptCopyText(const TKeptCopy& kept, const TAppLangHandler& texts) {
    std::string lessons;
    for (const std::int32_t n : kept.skipped.lessons)
        lessons += (lessons.empty() ? "" : ",") + std::to_string(n);
    return FillText(texts.GetText(kLinesNotKept),
                    {std::to_string(kept.skipped.lines), lessons, DisplayPath(kept.keptAs)});
}

std::string LoadFaultText(const TLangFHandler& lang, const TAppLangHandler& texts) {
    const TFileResult& read = lang.LastReadResult();
    if (!read)
        return FileFaultText(read, texts);
    if (lang.LastFault() == DecodeFault::TooShort)
        return texts.GetText(149);
    if (lang.LastFault() == DecodeFault::WrongMarker)
        return texts.GetText(150);
    return texts.GetText(151);
}

std::string TMainWndLogic::FaultText(const TFileResult& result) const {
    return FileFaultText(result, *texts_);
}

bool TMainWndLogic::FirstShow() {
    if (state_ != TMainState::Starting)
        return state_ == TMainState::Ready;
    const std::filesystem::path textDb = folders_.resources / kTextDbName;
    if (!texts_->OpenTextDb(textDb, "Lexaro", messages_.get())) {
        // The missing file has been reported already; anything else is said here. There are no
        // texts yet, so this one message is English.
        if (messages_ && CheckFileExists(textDb))
            messages_->Warn("Lexaro", DisplayPath(textDb) + " cannot be used: " + texts_->Problem(),
                            IMessageSink::Icon::Warning);
        state_ = TMainState::Ended;
        return false;
    }
    const bool exerciseComplete = settings_->ReadExerciseSection();
    listsFile_ = settings_->exercise.LangFileName;
    // The current file's lists are the exercise section's own.
    settings_->TakeKeptLists(listsFile_);
    if (uiLanguage_ == "EN" || uiLanguage_ == "DE") {
        if (!SelectUiLanguage(uiLanguage_)) {
            state_ = TMainState::Ended;
            return false;
        }
    }
    // The file is loaded now, so that one that cannot be used is reported at once, and never
    // shown as chosen.
    // A missing file only shows the placeholders.
    langFileFound_ = !settings_->exercise.LangFileName.empty() && LoadLangFile(false);
    exercisePossible_ = exerciseComplete && langFileFound_;
    settings_->ReadGeneralSection();
    settings_->ReadFontSection();
    settings_->ReadVoiceSection();
    state_ = TMainState::Ready;
    return true;
}

bool TMainWndLogic::SelectUiLanguage(const std::string& code) {
    bool selected = false;
    std::string failure = kLanguageNotFound;
    try {
        selected = texts_->SelectLanguage(code);
    } catch (const TConvertError& error) {
        failure = error.what();
    }
    if (!selected) {
        uiLanguage_ = settings_->Language;
        Report(failure);
        return false;
    }
    uiLanguage_ = code;
    settings_->appTitle = Text(0) + kVersionSuffix;
    return true;
}

bool LoadLangFileReporting(const TAppIniFile& settings, const TAppLangHandler& texts,
                           TLangFHandler& lang, IMessageSink* messages, bool reportMissing) {
    const std::filesystem::path path = settings.LangFilePath();
    lang.Clear();
    std::string reason;
    try {
        if (!lang.Load(path))
            reason = LoadFaultText(lang, texts);
    } catch (const TConvertError& error) {
        reason = error.what();
    }
    if (reason.empty())
        return true;
    // Nothing of a file that could not be read fully is kept, so nothing of it is saved.
    lang.Clear();
    if (!reportMissing && lang.LastReadResult().fault == FileFault::NotFound)
        return false;
    if (messages != nullptr)
        messages->Warn(settings.appTitle,
                       FillText(texts.GetText(kLangFileUnusable), {DisplayPath(path), reason}),
                       IMessageSink::Icon::Information);
    return false;
}

bool SaveMarksReporting(const TAppIniFile& settings, const TAppLangHandler& texts,
                        TLangFHandler& lang, const std::vector<TPairMarks>& marks,
                        IMessageSink* messages) {
    // The file as it is now, not the copy the exercise was shown from: what the editors saved
    // since then stays.
    TLangFHandler onDisk;
    if (!LoadLangFileReporting(settings, texts, onDisk, messages))
        return false;
    for (const TPairMarks& m : marks) {
        const std::shared_ptr<TLesson> lesson = onDisk.LessonAt(m.pair.lesson);
        if (const std::shared_ptr<TWordPear> pair = lesson ? lesson->PairAt(m.pair.id) : nullptr) {
            pair->use = m.use;
            pair->drawn = m.drawn;
        }
    }
    const bool saved = SaveLangFileReporting(settings, texts, onDisk, messages);
    lang = std::move(onDisk);
    return saved;
}

bool TMainWndLogic::LoadLangFile(bool reportMissing) {
    if (!LoadLangFileReporting(*settings_, *texts_, *lang_, messages_.get(), reportMissing))
        return false;
    HintAnotherCodePage();
    return true;
}

void TMainWndLogic::HintAnotherCodePage() {
    constexpr std::int32_t kReadsBetter = 245;
    constexpr std::int32_t kFirstPageName = 176;
    constexpr std::int32_t kUnicodeName = 244;
    const TCodePage& page = TCodePage::Get(settings_->CodePage);
    const std::filesystem::path path = settings_->LangFilePath();
    // A file is looked at once per code page: an exercise's start loads it again.
    if (messages_ == nullptr || !codePageChecked_.insert({path, page.Number()}).second)
        return;
    const TCodePageGuess guess = GuessOfFile(*lang_);
    const TCodePage* better = guess.ClearlyBetterThan(page);
    if (better == nullptr)
        return;
    const auto name = [this](const TCodePage& p) {
        if (p.IsUtf8())
            return texts_->GetText(kUnicodeName);
        const auto& pages = TCodePage::kSingleByte;
        const auto at = std::find(pages.begin(), pages.end(), p.Number());
        return texts_->GetText(kFirstPageName + static_cast<std::int32_t>(at - pages.begin()));
    };
    messages_->Warn(
        settings_->appTitle,
        FillText(texts_->GetText(kReadsBetter), {DisplayPath(path), name(*better), name(page)}),
        IMessageSink::Icon::Information);
}

bool TMainWndLogic::SaveLangFile() {
    return SaveLangFileReporting(*settings_, *texts_, *lang_, messages_.get());
}

bool TMainWndLogic::SaveMarks(const std::vector<TPairMarks>& marks) {
    return SaveMarksReporting(*settings_, *texts_, *lang_, marks, messages_.get());
}

void TMainWndLogic::AfterComposition(bool marksChanged) {
    TExerciseData& ex = settings_->exercise;
    // An entry that names no pair of this file would show nothing, or another pair's words.
    if (!entriesValid(ex.ExerciseWords, *lang_)) {
        ex.ExerciseWords.clear();
        settings_->heldBack.clear();
    }
    if (marksChanged)
        SaveLangFile();
}

bool TMainWndLogic::StartExercise(bool exerciseVisible, bool newCompose, bool resetPriorities,
                                  TRandomGen& rng) {
    TExerciseData& ex = settings_->exercise;
    ArrayWordData& held = settings_->heldBack;
    lastStart_ = DecideStart(state_ == TMainState::Ready && exercisePossible_, exerciseVisible,
                             composedByEditor_, ex.ExerciseWords.empty(), newCompose);
    switch (lastStart_) {
    case TStartKind::NotPossible:
        return false;
    case TStartKind::ShowAgain:
        return true;
    case TStartKind::UseEditorList:
        // The editor's composition is shown once; later starts compose as usual.
        composedByEditor_ = false;
        ex.ComposedDueFirst = false;
        break;
    case TStartKind::ComposeNew:
    case TStartKind::Continue: {
        // The list stays as it is when the file cannot be read: its priorities are kept.
        if (!LoadLangFile())
            return false;
        if (settings_->general.DueWordsFirst)
            return ComposeDueFirst();
        ex.ComposedDueFirst = false;
        bool marked = false;
        if (lastStart_ == TStartKind::ComposeNew) {
            marked = composeNew(ex, held, *lang_, rng);
        } else {
            marked = composeContinue(ex, held, *lang_, resetPriorities, rng);
            if (!entriesValid(ex.ExerciseWords, *lang_))
                marked = composeNew(ex, held, *lang_, rng) || marked;
        }
        AfterComposition(marked);
        break;
    }
    }
    if (ex.ExerciseWords.empty()) {
        Report(Text(0), Text(kNothingToExercise));
        return false;
    }
    return true;
}

bool TMainWndLogic::ComposeDueFirst() {
    TExerciseData& ex = settings_->exercise;
    // The learner's own priorities hold pairs back as in every continued composition; the
    // lists change only when there is something to practise.
    ArrayWordData list = ex.ExerciseWords;
    ArrayWordData held = settings_->heldBack;
    removeDoubles(list);
    ageAndHoldBack(list, held);
    // The memory comes from the journal; lines it cannot read are left out, and composing
    // goes on with the others.
    TMemoryReplay model;
    ReadJournals(settings_->LangFilePath(), model);
    if (model.Skipped() > 0 && model.Skipped() != skippedToldFor_) {
        skippedToldFor_ = model.Skipped();
        Report(FillText(Text(kTextDueSkipped), {std::to_string(model.Skipped())}));
    }
    const TCodePage& page = TCodePage::Get(settings_->CodePage);
    const auto now = std::chrono::floor<std::chrono::seconds>(JournalNow());
    const double target = settings_->general.DueTarget / 100.0;
    TDueOptions options;
    options.now = now.time_since_epoch().count();
    options.target = target;
    options.presentedSide = settings_->exercise.FirstLang ? 1 : 2;
    const std::vector<TDueEntry> due =
        lexaro::ComposeDueFirst(ex, held, *lang_, page, model, options);
    if (due.empty()) {
        const std::optional<std::int64_t> next = EarliestDue(ex, held, *lang_, page, model, target);
        if (next)
            Report(Text(0), FillText(Text(kTextNothingDue), {DateText(*next)}));
        else
            Report(Text(0), Text(kNothingToExercise));
        return false;
    }
    ex.ExerciseWords.clear();
    for (const TDueEntry& e : due) {
        ExerciseEntry entry = e.entry;
        entry.side = e.side;
        ex.ExerciseWords.push_back(entry);
    }
    settings_->heldBack = std::move(held);
    ex.ComposedDueFirst = true;
    // The pairs practised count as drawn, as in every composition: the progress shows them
    // practised, and a later usual composition tops up with others first.
    markDrawn(ex.ExerciseWords, *lang_, true);
    AfterComposition(true);
    return true;
}

std::chrono::system_clock::time_point TMainWndLogic::JournalNow() const {
    return *journalClock_ ? (*journalClock_)() : std::chrono::system_clock::now();
}

std::string TMainWndLogic::DateText(std::int64_t utcSeconds) const {
    const std::chrono::sys_seconds when{std::chrono::seconds{utcSeconds}};
    const std::chrono::year_month_day date{
        std::chrono::sys_days{std::chrono::days{DayOf(when, LocalUtcOffset)}}};
    const auto d = static_cast<unsigned>(date.day());
    const auto m = static_cast<unsigned>(date.month());
    const auto y = static_cast<int>(date.year());
    char text[32];
    if (uiLanguage_ == "DE")
        std::snprintf(text, sizeof text, "%u.%u.%d", d, m, y);
    else
        std::snprintf(text, sizeof text, "%d-%02u-%02u", y, m, d);
    return text;
}

void TMainWndLogic::EditorClosed(bool ok, TChangeKind kind,
                                 const std::optional<TPairRenumbering>& rewritten,
                                 TRandomGen& rng) {
    TExerciseData& ex = settings_->exercise;
    // The lists name pairs of the file as the editor found it; it now numbers them anew.
    if (rewritten) {
        renumberEntries(ex.ExerciseWords, *rewritten);
        renumberEntries(settings_->heldBack, *rewritten);
    }
    // SwitchLists loaded the file when the lists came back.
    const bool restored = SwitchLists();
    bool reloaded = restored;
    if (ok) {
        langFileFound_ = CheckFileExists(settings_->LangFilePath());
        exercisePossible_ = !ex.AvailableUnits.empty() && langFileFound_;
    }
    switch (kind) {
    case TChangeKind::MaxWords: {
        const auto max = static_cast<std::size_t>(std::max(0, ex.MaxWords));
        if (max < ex.ExerciseWords.size()) {
            ex.ExerciseWords.resize(max);
            break;
        }
        // The file as it is on disk: edits saved meanwhile are kept.
        reloaded = true;
        if (LoadLangFile() && fillFresh(ex, settings_->heldBack, *lang_, rng))
            SaveLangFile();
        break;
    }
    case TChangeKind::Lessons:
    case TChangeKind::LangFile:
        // The lists that came back with the file go on as they were.
        if (restored)
            break;
        reloaded = true;
        if (LoadLangFile()) {
            AfterComposition(composeNew(ex, settings_->heldBack, *lang_, rng));
            composedByEditor_ = true;
            ex.ComposedDueFirst = false;
        }
        break;
    case TChangeKind::Nothing:
    case TChangeKind::NoLesson:
        break;
    }
    // The shared copy is the file as it is on disk now, so the exercise shows what was saved.
    if (rewritten && !reloaded)
        LoadLangFile();
}

bool TMainWndLogic::SwitchLists() {
    TExerciseData& ex = settings_->exercise;
    ArrayWordData& held = settings_->heldBack;
    if (ex.LangFileName == listsFile_)
        return false;
    settings_->KeepLists(listsFile_, ex.ExerciseWords, held);
    ex.ExerciseWords.clear();
    ex.ComposedDueFirst = false;
    held.clear();
    composedByEditor_ = false;
    listsFile_ = ex.LangFileName;
    std::optional<TKeptLists> kept = settings_->TakeKeptLists(listsFile_);
    if (!kept || !LoadLangFile())
        return false;
    // Only entries of the chosen lessons that name pairs the file holds come back.
    const auto fits = [&](const ExerciseEntry& e) {
        const std::shared_ptr<TLesson> lesson = lang_->LessonAt(e.lesson);
        return settings_->IsAvailableUnit(e.lesson) && lesson && lesson->PairAt(e.pairId);
    };
    for (ArrayWordData* list : {&kept->exerciseWords, &kept->heldBack})
        std::erase_if(*list, [&](const ExerciseEntry& e) { return !fits(e); });
    if (kept->exerciseWords.empty())
        return false;
    const auto max = static_cast<std::size_t>(std::max(0, ex.MaxWords));
    if (kept->exerciseWords.size() > max)
        kept->exerciseWords.resize(max);
    ex.ExerciseWords = std::move(kept->exerciseWords);
    held = std::move(kept->heldBack);
    return true;
}

void TMainWndLogic::Close() {
    if (state_ != TMainState::Ready)
        return;
    state_ = TMainState::Closed;
    try {
        settings_->WriteAll(uiLanguage_);
    } catch (const TIniWriteError& error) {
        Report(FillText(Text(kSettingsNotSaved),
                        {DisplayPath(error.path()), FaultText(error.failure())}));
    }
    speech_.reset();
}

bool TMainWndLogic::FirstLanguage() const {
    return settings_->exercise.FirstLang;
}

void TMainWndLogic::SetFirstLanguage(bool first) {
    settings_->exercise.FirstLang = first;
}

void TMainWndLogic::SplitHeldBack() {
    splitHeldBack(settings_->exercise.ExerciseWords, settings_->heldBack);
}

TLangFileView TMainWndLogic::LangFileView() const {
    const TExerciseData& data = settings_->exercise;
    // The language names are the file's, in its code page; the other texts the program's own.
    const TCodePage& page = TCodePage::Get(settings_->CodePage);
    const auto text = [this](std::int32_t n) { return TCodePage::Western().ToUtf8(Text(n)); };
    TLangFileView view;
    view.found = langFileFound_;
    view.lessons = text(46) + text(47);
    if (langFileFound_) {
        view.firstLang = page.ToUtf8(data.Lang1);
        view.secondLang = page.ToUtf8(data.Lang2);
        view.panel = view.firstLang + " - " + view.secondLang;
        if (RunsRightToLeft(view.firstLang) || RunsRightToLeft(view.secondLang)) {
            // The panel reads left to right with the first language at the left, each name
            // in its own direction: "العربية - فارسی" would otherwise read as one
            // right-to-left run, the second language first.
            constexpr const char* kLeftToRightMark = "\xE2\x80\x8E"; // U+200E
            view.panel = kLeftToRightMark + view.firstLang + kLeftToRightMark + " - " +
                         kLeftToRightMark + view.secondLang;
        }
        std::string numbers;
        for (const std::int32_t lesson : data.AvailableUnits)
            numbers += (numbers.empty() ? "" : ",") + std::to_string(lesson);
        if (!numbers.empty())
            view.lessons = text(46) + " : " + numbers;
        view.firstChecked = data.FirstLang;
        view.picture = FindLangPicture(settings_->LangFilePath());
    } else {
        view.panel = text(133);
        view.firstLang = text(134);
        view.secondLang = text(134);
        view.firstChecked = true;
    }
    return view;
}

TControlView TMainWndLogic::Controls(bool exerciseVisible, bool haveExerciseWindow, bool haveEditor,
                                     bool haveSettingsDialog) const {
    TControlView view;
    view.run = exercisePossible_ && haveExerciseWindow;
    view.chooseLanguage = view.run;
    view.dueFirst = view.run;
    // Due words are composed anew at every start, from the memory of each word.
    view.newCompose = view.run && !DueWordsFirst();
    view.resetPrio = view.newCompose;
    view.editExercise = !exerciseVisible && haveEditor;
    view.settings = haveSettingsDialog;
    return view;
}

bool TMainWndLogic::DueWordsFirst() const {
    return settings_ && settings_->general.DueWordsFirst;
}

void TMainWndLogic::SetDueWordsFirst(bool on) {
    if (settings_)
        settings_->general.DueWordsFirst = on;
}

std::int32_t TMainWndLogic::DueTarget() const {
    return settings_ ? settings_->general.DueTarget : TGeneralProperty{}.DueTarget;
}

bool TMainWndLogic::ProgressPossible() const {
    return state_ == TMainState::Ready && settings_ && !settings_->exercise.LangFileName.empty();
}

TWindowContext TMainWndLogic::Context() const {
    TWindowContext context;
    context.settings = settings_;
    context.texts = texts_;
    context.langFile = lang_;
    context.speech = speech_;
    context.messages = messages_;
    // The settings hold the one "first language" and the lists: the services keep them, not
    // this object, so a window may outlive it.
    const std::shared_ptr<TAppIniFile> settings = settings_;
    context.firstLanguage = [settings] { return settings->exercise.FirstLang; };
    context.splitHeldBack = [settings] {
        splitHeldBack(settings->exercise.ExerciseWords, settings->heldBack);
    };
    const std::shared_ptr<TAppLangHandler> texts = texts_;
    const std::shared_ptr<TLangFHandler> lang = lang_;
    const std::shared_ptr<IMessageSink> messages = messages_;
    context.saveMarks = [settings, texts, lang, messages](const std::vector<TPairMarks>& marks) {
        return SaveMarksReporting(*settings, *texts, *lang, marks, messages.get());
    };
    const std::shared_ptr<const TJournalClock> clock = journalClock_;
    const std::shared_ptr<TJournalRecorder> recorder = journalRecorder_;
    context.recordCard = [settings, texts, lang, clock, recorder,
                          messages](const TCardResult& card) {
        RecordCardReporting(*settings, *texts, *lang, card, *clock, *recorder, messages.get());
    };
    return context;
}

} // namespace lexaro
