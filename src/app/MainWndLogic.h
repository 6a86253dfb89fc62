#pragma once

#include "app/AppFolders.h"
#include "app/AppIniFile.h"
#include "app/AppLangHandl.h"
#include "app/ChangeKind.h"
#include "app/WindowContext.h"
#include "data/ArrayUtil.h"
#include "data/FileUtil.h"
#include "data/LangFHandler.h"
#include "data/MessageSink.h"
#include "data/PairRenumbering.h"
#include "progress/Journal.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace lexaro {

class TSpeechEngine;

// The main window's life.
enum class TMainState {
    Starting, // created; the first show has not run yet
    Ready,    // shown; the learner works with it
    Ended,    // the program ends without (further) running: a file it needs was missing or
              // unusable, or the first UI language was not in the text database
    Closed,   // the close sequence ran
};

// What starting an exercise does.
enum class TStartKind {
    NotPossible,   // no language file or no lesson: the start command is off
    ShowAgain,     // the exercise window is visible: it only comes to the front
    UseEditorList, // the exercise editor has just composed the list: shown as it is
    ComposeNew,    // the list is empty or "New Compose" is checked
    Continue,      // the previous composition goes on (anew when the list no longer fits)
};
TStartKind DecideStart(bool possible, bool exerciseVisible, bool composedByEditor, bool listEmpty,
                       bool newCompose);

// A file fault in the UI language; the system's own reasons stay in its words.
std::string FileFaultText(const TFileResult& result, const TAppLangHandler& texts);
// Why a language file's Load gave false (it could not be read, or is no language file), in
// the UI language.
std::string LoadFaultText(const TLangFHandler& lang, const TAppLangHandler& texts);
// Saves the language file of the exercise (LangFileName); a failure, lines of the file that
// could not be kept, and a previous version that could not be kept are reported in the UI
// language. False when it was not saved.
bool SaveLangFileReporting(const TAppIniFile& settings, const TAppLangHandler& texts,
                           TLangFHandler& lang, IMessageSink* messages);
// One card as it ends: its journal line (text from lang, in the settings' code page, stamped by
// clock now) appended through recorder to the journal beside the exercise's language file. A
// failed write is reported once until a write succeeds again; a journal left alone and a cut
// last line that was dropped are reported (each once). False when it was not written.
bool RecordCardReporting(const TAppIniFile& settings, const TAppLangHandler& texts,
                         const TLangFHandler& lang, const TCardResult& card,
                         const TJournalClock& clock, TJournalRecorder& recorder,
                         IMessageSink* messages);
// Loads the language file of the exercise (LangFileName) as it is on disk into lang, which is
// cleared first. A file that cannot be used is reported (a missing one only when asked) and
// gives false, with lang left empty.
bool LoadLangFileReporting(const TAppIniFile& settings, const TAppLangHandler& texts,
                           TLangFHandler& lang, IMessageSink* messages, bool reportMissing = true);
// What an exercise saves: the marks applied to the language file as it is on disk now, then
// written; lang (the shared copy) becomes that file. A file that cannot be read is reported and
// not written (lang stays as it was). False when nothing was saved.
bool SaveMarksReporting(const TAppIniFile& settings, const TAppLangHandler& texts,
                        TLangFHandler& lang, const std::vector<TPairMarks>& marks,
                        IMessageSink* messages);
// What a save tells when it could not keep the file as it was among its versions, and when the
// lines a load skipped were kept in a version of their own.
std::string VersionFaultText(const std::filesystem::path& path, const TVersionFault& fault,
                             const TAppLangHandler& texts);
std::string KeptCopyText(const TKeptCopy& kept, const TAppLangHandler& texts);

// What the window shows for the language file and the chosen lessons, in UTF-8: the language
// names come from the file's code page, the captions from the program's texts.
struct TLangFileView {
    bool found = false;
    std::string panel;
    std::string lessons;
    std::string firstLang;
    std::string secondLang;
    bool firstChecked = true;
    // The picture beside the language file; empty when there is none (found: the previous
    // picture stays; not found: the default picture).
    std::filesystem::path picture;
};

// Which of the window's commands are on.
struct TControlView {
    bool run = false;
    bool chooseLanguage = false;
    bool newCompose = false;
    bool resetPrio = false;
    bool dueFirst = false;
    bool editExercise = false;
    bool settings = false;
};

// The main window without its widgets: it owns the objects the whole program shares, decides
// what each command does and reports to the learner through the message sink; the window
// calls it and renders what it gives.
class TMainWndLogic {
public:
    // Creates the settings for the application folder. When Lexaro.Ini is missing or cannot
    // be used the learner has been told and the state is Ended.
    TMainWndLogic(std::filesystem::path appFolder, std::shared_ptr<IMessageSink> messages);
    // The same for the folders of either form: Lexaro.Ini in folders.settings, Text.Db in
    // folders.resources, the application folder folders.data.
    TMainWndLogic(TAppFolders folders, std::shared_ptr<IMessageSink> messages);

    TMainState State() const { return state_; }
    // True when the progress window can show something: the settings name a language file.
    bool ProgressPossible() const;
    const std::filesystem::path& AppFolder() const { return folders_.data; }
    const TAppFolders& Folders() const { return folders_; }
    const std::string& UiLanguage() const { return uiLanguage_; }
    // A window text by number in the current UI language; "????" while there is none.
    std::string Text(std::int32_t number) const;
    // The caption of the program's messages: text 0 and the version once texts are selected.
    const std::string& AppTitle() const;

    // The first show: opens Text.Db, reads the exercise section, loads the language file
    // (reporting a file that cannot be used), selects the UI language when it is EN or DE,
    // and reads the other sections. False (state Ended, the learner told) when Text.Db cannot
    // be used or the UI language is not in it.
    bool FirstShow();
    // "EN" or "DE" chosen in the menu. False (the language in use stays) after "Language not
    // found" or a damaged section.
    bool SelectUiLanguage(const std::string& code);
    bool TextsSelected() const { return texts_->HasTexts(); }

    TLangFileView LangFileView() const;
    TControlView Controls(bool exerciseVisible, bool haveExerciseWindow, bool haveEditor,
                          bool haveSettingsDialog) const;

    // Starts an exercise: composes as DecideStart says, saves the drawn marks and reports what
    // went wrong. True when the exercise window is to be shown.
    bool StartExercise(bool exerciseVisible, bool newCompose, bool resetPriorities,
                       TRandomGen& rng = DefaultRandom());
    // The exercise editor closed, with OK or not, reporting a change kind and, when it wrote
    // the exercise's language file, where that file's pairs went: the exercise list and the
    // held-back list follow them, and the shared copy is read anew.
    void EditorClosed(bool ok, TChangeKind kind,
                      const std::optional<TPairRenumbering>& rewritten = std::nullopt,
                      TRandomGen& rng = DefaultRandom());
    // The close sequence: writes the settings (reporting a failure) once.
    void Close();
    // The program ends at start-up (nothing was changed, nothing is written).
    void End() { state_ = TMainState::Ended; }

    // "Due words first": every start composes from the words about to be forgotten.
    bool DueWordsFirst() const;
    void SetDueWordsFirst(bool on);
    // The chance of recall, in percent, below which a word is due.
    std::int32_t DueTarget() const;

    bool FirstLanguage() const;
    void SetFirstLanguage(bool first);
    void SplitHeldBack();
    // Saves the language file of the exercise; reports a failure and gives false.
    bool SaveLangFile();
    // Applies the marks to the language file as it is on disk and saves it (SaveMarksReporting).
    bool SaveMarks(const std::vector<TPairMarks>& marks);

    bool LangFileFound() const { return langFileFound_; }
    bool ExercisePossible() const { return exercisePossible_; }
    bool ComposedByEditor() const { return composedByEditor_; }
    TStartKind LastStart() const { return lastStart_; }

    // The shared objects and the services for the windows this one opens.
    TWindowContext Context() const;
    const std::shared_ptr<TAppIniFile>& Settings() const { return settings_; }
    const std::shared_ptr<TAppLangHandler>& Texts() const { return texts_; }
    const std::shared_ptr<TLangFHandler>& LangFile() const { return lang_; }
    const std::shared_ptr<TSpeechEngine>& Speech() const { return speech_; }
    void SetSpeech(std::shared_ptr<TSpeechEngine> speech) { speech_ = std::move(speech); }
    // The clock that stamps the practice journal's lines (the system's unless set; a test
    // sets its own). Windows opened before see the new one too.
    void SetJournalClock(TJournalClock clock) { *journalClock_ = std::move(clock); }

    // A file fault in the UI language (the system's own reasons stay in its words).
    std::string FaultText(const TFileResult& result) const;

private:
    // Loads the language file as it is on disk into the shared copy; reports a file that
    // cannot be used (a missing one only when asked) and gives false (the copy is then empty).
    bool LoadLangFile(bool reportMissing = true);
    // The language file was composed from: saves it when asked, and keeps an invalid list
    // from surviving.
    void AfterComposition(bool marksChanged);
    // Another language file was chosen: the lists of the one left are kept for it, and those
    // kept for the one chosen come back (the file is loaded for that). True when they came
    // back: the next start continues them.
    bool SwitchLists();
    // "Due words first": the list becomes the due pairs and directions of the chosen lessons,
    // then pairs never practised; the learner's priorities hold pairs back as in a continued
    // composition. With nothing to practise the learner is told when the next word is due,
    // the lists stay as they were, and it gives false.
    bool ComposeDueFirst();
    std::chrono::system_clock::time_point JournalNow() const;
    // A day in the learner's time zone, written as the UI language writes dates.
    std::string DateText(std::int64_t utcSeconds) const;
    void Report(const std::string& text) const;
    void Report(const std::string& caption, const std::string& text) const;
    // Says once per file and code page when the loaded file's texts read clearly better in
    // another code page (Unicode above all) than in the settings' one; changes nothing.
    void HintAnotherCodePage();

    TAppFolders folders_;
    std::shared_ptr<IMessageSink> messages_;
    std::shared_ptr<TAppIniFile> settings_;
    std::shared_ptr<TAppLangHandler> texts_;
    std::shared_ptr<TLangFHandler> lang_;
    std::shared_ptr<TSpeechEngine> speech_;
    std::shared_ptr<TJournalClock> journalClock_ = std::make_shared<TJournalClock>();
    std::shared_ptr<TJournalRecorder> journalRecorder_ = std::make_shared<TJournalRecorder>();
    // The language file (as LangFileName stores it) that the exercise list and the held-back
    // list belong to.
    std::string listsFile_;
    std::string uiLanguage_ = "EN";
    TMainState state_ = TMainState::Starting;
    bool langFileFound_ = false;
    bool exercisePossible_ = false;
    bool composedByEditor_ = false;
    TStartKind lastStart_ = TStartKind::NotPossible;
    // The number of unreadable journal lines the learner was last told of.
    std::int64_t skippedToldFor_ = 0;
    // The language files, with the code page they were read in, looked at for another page.
    std::set<std::pair<std::filesystem::path, int>> codePageChecked_;
};

} // namespace lexaro
