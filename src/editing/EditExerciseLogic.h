#pragma once

// The exercise editor without its window: the language file it works on (its own copy, never
// the main window's), the lesson list with its ticks, the language names, the maximum, the
// commands and their button states, and what OK stores in the settings and reports to the
// main window. File dialogs, the lesson editor and message boxes stand behind
// IEditExerciseView, which the window implements and tests fake.

#include "app/ChangeKind.h"
#include "data/LangFHandler.h"
#include "data/Lesson.h"
#include "data/PairRenumbering.h"
#include "data/T_MWordPairData.h"
#include "editing/EditLessonLogic.h"
#include "editing/PairOrigins.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexaro {

class TAppIniFile;
class TAppLangHandler;

// Window texts of the exercise editor, by number.
namespace exercise_editor_text {
inline constexpr std::int32_t kCaption = 11;
inline constexpr std::int32_t kHelpHint = 12;
inline constexpr std::int32_t kCloseHint = 44;
inline constexpr std::int32_t kOkHint = 45;
inline constexpr std::int32_t kLesson = 46;
inline constexpr std::int32_t kExercise = 51;
inline constexpr std::int32_t kAvailableLessons = 73;
inline constexpr std::int32_t kLangFile = 74;
inline constexpr std::int32_t kFileName = 75;
inline constexpr std::int32_t kLanguage = 76;
inline constexpr std::int32_t kLang1Hint = 77;
inline constexpr std::int32_t kLang2Hint = 78;
inline constexpr std::int32_t kPhrases = 79;
inline constexpr std::int32_t kMaxWords = 80;
inline constexpr std::int32_t kMaxWordsHint = 81;
inline constexpr std::int32_t kTotalWords = 82;
inline constexpr std::int32_t kSelectedLesson = 83;
inline constexpr std::int32_t kPairCount = 84;
inline constexpr std::int32_t kUsedCount = 85;
inline constexpr std::int32_t kOpenHint = 86;
inline constexpr std::int32_t kNewFileHint = 87;
inline constexpr std::int32_t kSaveHint = 88;
inline constexpr std::int32_t kSaveAsHint = 89;
inline constexpr std::int32_t kEditLessonHint = 90;
inline constexpr std::int32_t kNewLessonHint = 91;
inline constexpr std::int32_t kDeleteLessonHint = 92;
inline constexpr std::int32_t kEmptyFileQuestion = 93;
inline constexpr std::int32_t kFileChanged = 94;
inline constexpr std::int32_t kSaveQuestion = 95;
inline constexpr std::int32_t kCancelGoesBack = 96;
inline constexpr std::int32_t kNotSaved = 97;
inline constexpr std::int32_t kNoPairsInUse = 98;
inline constexpr std::int32_t kCannotTakePart = 99;
inline constexpr std::int32_t kLangFileUnusable = 138;
inline constexpr std::int32_t kLessonTooLarge = 153;
inline constexpr std::int32_t kPathNotStorable = 155;
inline constexpr std::int32_t kMaxWordsInvalid = 156;
inline constexpr std::int32_t kLangNameRefused = 157;
// The language fields' hint while they show the names of a file that exists.
inline constexpr std::int32_t kNamesKeptHint = 223;
inline constexpr std::int32_t kCloseHintEditor = 159;
inline constexpr std::int32_t kChangesNotSaved = 161;
inline constexpr std::int32_t kAnswerSave = 162;
inline constexpr std::int32_t kAnswerDiscard = 163;
inline constexpr std::int32_t kAnswerCancel = 164;
} // namespace exercise_editor_text

// The maximum number of phrase pairs of an exercise.
inline constexpr std::int32_t kMaxWordsLow = 1;
inline constexpr std::int32_t kMaxWordsHigh = 500;

// What happened to the language file in the editor.
enum class TFileState {
    Untouched = 0, // at creation and after New
    Saved = 1,     // saved after a change
    Changed = 2,   // changed and not saved
    Opened = 3,    // another file was opened
};

enum class TSaveAnswer { Yes, No, Cancel };

// How a way out of the window ended: it stays open, it closes, or it closes as after OK (the
// learner chose to save).
enum class TCloseResult { Stay, Closed, Saved };

// Where the window puts the keyboard focus after a command.
enum class TEditExerciseFocus { None, LessonList, Lang1, Lang2, MaxWords };

// How the lesson editor closed: kEditLessonSaved or kEditLessonClosed, and whether the lessons
// given to it now hold rebuilt ones.
struct TLessonEditOutcome {
    int result = kEditLessonClosed;
    bool modified = false;
};

// The dialogs and boxes the editor opens. Texts are stored text (Windows-1252).
class IEditExerciseView {
public:
    virtual ~IEditExerciseView() = default;
    // The open dialog, starting in folder; nothing when cancelled.
    virtual std::optional<std::filesystem::path>
    ChooseFileToOpen(const std::filesystem::path& folder) = 0;
    // The save dialog, starting in folder with the file name given; nothing when cancelled.
    virtual std::optional<std::filesystem::path>
    ChooseFileToSave(const std::filesystem::path& folder,
                     const std::filesystem::path& fileName) = 0;
    // The lesson editor, modal, for the lessons of input.
    virtual TLessonEditOutcome EditLessons(const TEditLessonInput& input) = 0;
    // An information box with an OK button, beeping first when asked. caption is Windows-1252,
    // text UTF-8 (it may name a character that Windows-1252 lacks).
    virtual void Inform(const std::string& caption, const std::string& text, bool beep) = 0;
    // A beep and a box with Yes, No and Cancel.
    virtual TSaveAnswer AskToSave(const std::string& caption, const std::string& text) = 0;
    // A beep and a box with Save (Yes, the default), Discard (No) and Cancel.
    virtual TSaveAnswer AskSaveDiscardCancel(const std::string& caption,
                                             const std::string& text) = 0;
    virtual void Beep() = 0;
};

// One entry of the lesson list: it stands for a lesson of the editor's language file.
struct TLessonListItem {
    std::shared_ptr<TLesson> lesson;
    // " " + text 46 + " " + the lesson number; the list is sorted by it (lesson 10 before 2).
    std::string caption;
    bool ticked = false;
    bool selected = false;
};

struct TEditExerciseButtons {
    bool save = false;
    bool saveAs = false;
    bool ok = false;
    bool deleteLesson = false;
    bool editLesson = false;
    bool newLesson = false;
    // The language fields can be typed in (after New only).
    bool langEditable = false;
};

// ": n" texts: pairs and pairs in use of the shown lesson, pairs in use over all ticked ones.
struct TEditExerciseCounters {
    std::string pairs;
    std::string used;
    std::string total;
};

// The part of a language name (stored text of page) that goes into a folder or file name: its
// first three letters, digits, "-" or "_" (Windows-1252 letters, accented ones included;
// letters of other scripts in Latin letters, "Rus" for Russian); nothing else can reach a
// path, so no name climbs out of LangFiles, and the path can be stored in the settings.
std::string LangFolderPart(std::string_view name, const TCodePage& page = TCodePage::Western());
// The proposed file name and folder for two language names: "Eng_Ger" for English and German;
// empty when neither name has a usable character.
std::string ProposedLangFileName(std::string_view lang1, std::string_view lang2,
                                 const TCodePage& page = TCodePage::Western());
// The smallest lesson number from 1 upwards that no item's lesson has.
std::int32_t NextFreeLessonNumber(const std::vector<TLessonListItem>& items);
// Why a language name cannot be stored (the character named as "@" or U+65E5), or empty.
// The first name may not hold "@" (it ends that name in the file) nor start with "[" (the line
// would read as a lesson); neither may hold a line break, the zero byte or a character that
// Windows-1252 cannot hold. utf8 is the text as typed; stored receives its stored form.
// notInPage receives whether the code page lacks the character.
std::string LangNameProblem(std::string_view utf8, bool first, const TCodePage& page,
                            std::string& stored, bool* notInPage = nullptr);

class TEditExerciseLogic {
public:
    // Creation: the settings' language file, loaded with the ticks of the settings' chosen
    // lessons; the first lesson selected. texts may be null ("????").
    TEditExerciseLogic(std::shared_ptr<TAppIniFile> settings,
                       std::shared_ptr<const TAppLangHandler> texts, IEditExerciseView& view);

    std::string Text(std::int32_t number) const;
    // The code page of the language files (the settings'): names and phrases are in it.
    const TCodePage& Page() const;
    std::string Caption() const;
    // " " + text + " ", as group captions read.
    std::string Blanked(std::int32_t number) const;
    std::string LessonCaption(std::int32_t number) const;

    // The fields as the window shows them (UTF-8).
    const std::string& LangField(int which) const { return lang_[Index(which)].typed; }
    const std::string& MaxWordsField() const { return maxWords_; }
    std::string FileNameField() const;
    // The full path of the file shown in the file-name field; none while the field is empty.
    std::optional<std::filesystem::path> FileNameHint() const;

    const std::vector<TLessonListItem>& Items() const { return items_; }
    // Grows whenever items were added, removed or reordered: the window rebuilds its list.
    std::uint64_t ListVersion() const { return listVersion_; }
    // Grows whenever the logic set a field: the window shows the fields again.
    std::uint64_t FieldsVersion() const { return fieldsVersion_; }
    TEditExerciseButtons Buttons() const;
    TEditExerciseCounters Counters() const;
    // Where the focus goes after the last command; asked once.
    TEditExerciseFocus TakeFocus();
    // The window shows for the first time: the focus goes to the list, and a language file of
    // the settings that could not be read is reported.
    void WindowShown();

    bool NewFile() const { return newFile_; }
    TFileState FileState() const { return fileState_; }
    // Stored path text of the file being edited (relative inside the application folder).
    const std::string& FileName() const { return fileName_; }
    TChangeKind GetChangeKind() const { return changeKind_; }
    // When the editor wrote the language file that the settings named at its creation (by any
    // command, whatever it then closed with): where each pair of that file as it was then
    // stands in the file as last written to that path; none while it did not write it.
    std::optional<TPairRenumbering> ExerciseFileRenumbering() const { return renumbering_; }
    std::filesystem::path LangFilesFolder() const;
    const std::shared_ptr<TMWordPairData>& Clipboard() const { return clipboard_; }

    // Commands. New and Open first ask about lesson edits that were not written (Save,
    // Discard, Cancel).
    void NewLangFile();
    void OpenLangFile();
    void SaveLangFile();
    void SaveLangFileAs();
    // Ctrl+S: Save, or Save as while the file has no name.
    void SaveCommand();
    void NewLesson();
    void EditLessons();
    // As EditLessons, when the list has items.
    void ListDoubleClick();
    void DeleteLessons();

    // The learner typed in a field (UTF-8); nothing is checked until the field is left.
    void SetLangField(int which, std::string utf8);
    void SetMaxWordsField(std::string utf8);
    // The field is left: false when the focus goes back to it (the learner has been told).
    bool LeaveLangField(int which);
    bool LeaveMaxWords();
    // The up/down arrows (and the arrow keys in the field): one step from the number in the
    // field (from the arrows' last position while the field holds none in range), wrapping
    // round from 500 to 1 and back.
    void StepMaxWords(int delta);

    // The list's selection (rows in list order) and a tick as the learner set them.
    void SetSelection(const std::vector<int>& rows);
    void SetTicked(int row, bool ticked);
    // After a click or key in the list: ticks on lessons without pairs in use are removed
    // (each told), and the selected lessons' counters are shown.
    void ListClicked();

    // OK: true when the dialog closes with OK (the settings hold the choices); false when it
    // stays open (the learner cancelled the question or has been told what is wrong).
    bool Ok();
    // Close, the close box and Escape: at once without unsaved changes or choices (lesson
    // edits and deletions, a new file's lessons, the maximum, the ticks, another file);
    // otherwise the learner is asked: Save does what OK with Yes does.
    TCloseResult CloseRequested();
    // Something a way out would drop.
    bool HasUnsavedWork();
    // Closing without storing or writing anything.
    void Close();

private:
    struct TNameField {
        std::string typed;      // UTF-8, as in the field
        std::string stored;     // Windows-1252 ('?' for what it cannot hold)
        std::string problem;    // the refused character (UTF-8), or empty
        bool notInPage = false; // the code page lacks it
    };
    static std::size_t Index(int which) { return which == 2 ? 1u : 0u; }
    std::filesystem::path PathOf(const std::string& stored) const;
    void SetLangFromStored(int which, std::string_view stored);
    // The fields show the names of the file in the handler, as it was loaded.
    void TakeNamesOfFile();
    // The language file has changes that a save would write (or a deletion it would do).
    bool SomethingToSave() const;
    void SetFileNameField(std::string stored);
    void ShowLessonCounters(std::shared_ptr<TLesson> lesson);
    void SortItems();
    void AddItem(std::shared_ptr<TLesson> lesson, bool ticked);
    // Loading: the items of the handler's lessons in slot order, ticked from the settings
    // when asked.
    void FillFromHandler(bool withTicks);
    // Reads a file into a fresh handler; the reason (in the UI language) when it cannot.
    std::string LoadInto(TLangFHandler& handler, const std::filesystem::path& path) const;
    // The pairs of the handler, read from the exercise's file, are those of the file as last
    // written there (or as the editor found it): each takes its origin.
    void TakeOriginsOfExerciseFile();
    // A file was written (or deleted) at path: when it is the exercise's file, where its pairs
    // went.
    void NoteWritten(const std::filesystem::path& path);
    void RunLessonEditor(std::shared_ptr<TVector<TLesson>> lessons, bool editing);
    bool NamesProblem(bool report);
    // Writing the file: false (told) when it was not written.
    bool WriteFile();
    // Save as: false when cancelled or not written.
    bool SaveAs();
    // After a save under a new name: the practice journals of from copied for to; a failure
    // is reported.
    void CopyJournalsReporting(const std::filesystem::path& from,
                               const std::filesystem::path& to) const;
    TSaveAnswer AskToSave();
    void MarkNamesChanged();
    // The maximum and the names can be stored; false when the learner was told otherwise.
    bool ChoicesValid(std::int32_t& maxWords);
    // OK after the question: writes as answered, stores the choices; false when a save that
    // was asked for did not happen.
    bool Finish(TSaveAnswer answer, std::int32_t maxWords);
    // Before New and Open: true to go on (saved or discarded), false to stay.
    bool KeepOrDropEdits();
    // A box titled with the dialog's caption, or with the program's title.
    void Inform(const std::string& text, bool beep) const;
    // The message about a refused language name (UTF-8: it names the character itself).
    void InformNameRefused(const TNameField& field) const;
    // A chosen file whose path the settings cannot store, the character named.
    void InformPathRefused(const std::filesystem::path& path, char32_t bad) const;
    void ReportUnderAppTitle(const std::string& text) const;
    std::vector<std::int32_t> TickedNumbers() const;

    std::shared_ptr<TAppIniFile> settings_;
    std::shared_ptr<const TAppLangHandler> texts_;
    IEditExerciseView& view_;
    TLangFHandler handler_;
    std::shared_ptr<TMWordPairData> clipboard_;
    // The exercise's file (the settings' at creation), its pairs as the editor found it, where
    // the pairs the editor holds came from in it, and where they went when last written.
    std::filesystem::path exerciseFile_;
    std::vector<TPairKey> exerciseKeys_;
    std::shared_ptr<TPairOrigins> origins_;
    std::optional<TPairRenumbering> renumbering_;
    std::vector<TLessonListItem> items_;
    std::shared_ptr<TLesson> shown_;
    std::array<TNameField, 2> lang_;
    // The names of the file as it was loaded (none after New).
    std::array<std::string, 2> fileNames_;
    std::string maxWords_;
    std::int32_t maxWordsPosition_ = kMaxWordsLow;
    std::string fileNameField_;
    bool fileHint_ = false;
    std::string fileName_;
    bool newFile_ = false;
    TFileState fileState_ = TFileState::Untouched;
    TChangeKind changeKind_ = TChangeKind::Nothing;
    std::vector<std::int32_t> chosenBefore_;
    // The choices as the window opened: what Close compares with.
    std::int32_t maxWordsAtOpening_ = kMaxWordsLow;
    std::vector<std::int32_t> ticksAtOpening_;
    TEditExerciseFocus focus_ = TEditExerciseFocus::None;
    std::string openingMessage_;
    std::uint64_t listVersion_ = 0;
    std::uint64_t fieldsVersion_ = 0;
};

} // namespace lexaro
