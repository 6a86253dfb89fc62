// The exercise editor's decisions: loading, the lesson list and its ticks, New, Open, Save,
// Save as, lesson editing merged back, the maximum, and what OK stores and reports.

#include "editing/EditExerciseLogic.h"

#include "app/AppIniFile.h"
#include "app/AppLangHandl.h"
#include "data/CodeDecode.h"
#include "progress/Journal.h"
#include "support/LangFiles.h"
#include "support/TestFiles.h"

#include <deque>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

namespace fs = std::filesystem;
using test::LessonPlan;

// The dialogs and boxes as a script: what the learner would choose, and what was shown.
class ScriptedView : public IEditExerciseView {
public:
    std::optional<fs::path> ChooseFileToOpen(const fs::path& folder) override {
        openFolders.push_back(folder);
        return openChoice;
    }
    std::optional<fs::path> ChooseFileToSave(const fs::path& folder,
                                             const fs::path& fileName) override {
        saveFolder = folder;
        saveName = fileName;
        folderExistedDuringSave = fs::is_directory(folder);
        return saveChoice ? saveChoice(folder) : std::nullopt;
    }
    TLessonEditOutcome EditLessons(const TEditLessonInput& input) override {
        edited.push_back(input);
        if (lessonSession)
            return lessonSession(input);
        if (!lessonEditor)
            return {};
        return lessonEditor(*input.lessons);
    }
    void Inform(const std::string& caption, const std::string& text, bool beep) override {
        informed.push_back({caption, text});
        beeps += beep ? 1 : 0;
    }
    TSaveAnswer AskToSave(const std::string& caption, const std::string& text) override {
        asked.push_back({caption, text});
        ++beeps;
        if (answers.empty())
            return TSaveAnswer::Cancel;
        const TSaveAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    TSaveAnswer AskSaveDiscardCancel(const std::string& caption, const std::string& text) override {
        questions.push_back({caption, text});
        if (answers.empty())
            return TSaveAnswer::Cancel;
        const TSaveAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void Beep() override { ++beeps; }

    std::optional<fs::path> openChoice;
    std::vector<fs::path> openFolders;
    std::function<std::optional<fs::path>(const fs::path& folder)> saveChoice;
    fs::path saveFolder;
    fs::path saveName;
    bool folderExistedDuringSave = false;
    // Rewrites the lessons as the lesson editor's save would.
    std::function<TLessonEditOutcome(TVector<TLesson>& lessons)> lessonEditor;
    // Or runs the lesson editor's own logic on the whole input.
    std::function<TLessonEditOutcome(const TEditLessonInput& input)> lessonSession;
    std::vector<TEditLessonInput> edited;
    std::deque<TSaveAnswer> answers;
    std::vector<std::pair<std::string, std::string>> informed;
    std::vector<std::pair<std::string, std::string>> asked;
    // Save / Discard / Cancel questions.
    std::vector<std::pair<std::string, std::string>> questions;
    int beeps = 0;
};

// The lesson editor's save: the lessons given become these (number, pairs "a@b" in use).
std::function<TLessonEditOutcome(TVector<TLesson>&)>
SavedAs(std::vector<std::pair<int, std::vector<std::pair<std::string, bool>>>> plan) {
    return [plan](TVector<TLesson>& lessons) {
        lessons.Clear();
        for (const auto& [number, pairs] : plan) {
            auto lesson = std::make_shared<TLesson>();
            lesson->number = number;
            for (const auto& [texts, use] : pairs) {
                auto pair = lesson->NewPair(-1);
                pair->text1 = texts.substr(0, texts.find('@'));
                pair->text2 = texts.substr(texts.find('@') + 1);
                pair->use = use;
            }
            lessons.Add(lesson);
        }
        return TLessonEditOutcome{kEditLessonSaved, true};
    };
}

class EditExerciseLogicTest : public ::testing::Test {
protected:
    test::TempDir dir;
    fs::path app = dir.path();
    ScriptedView view;
    std::shared_ptr<TAppLangHandler> texts = std::make_shared<TAppLangHandler>();
    std::shared_ptr<TAppIniFile> settings;
    int codePage = 1252; // of the settings

    void SetUp() override {
        fs::create_directories(app / "LangFiles");
        ASSERT_TRUE(texts->OpenTextDb(LEXARO_TEXTDB_FILE, "Lexaro", nullptr));
        ASSERT_TRUE(texts->SelectLanguage("EN"));
    }

    fs::path LangFile(const std::string& stem, const std::vector<LessonPlan>& lessons) {
        const fs::path path = app / "LangFiles" / (stem + ".lang");
        EXPECT_TRUE(test::GeneratedLangFile(lessons).Save(path));
        return path;
    }

    // Settings naming the language file by its stored text, with the chosen lessons.
    std::unique_ptr<TEditExerciseLogic> Open(const std::string& langFile,
                                             const std::vector<int>& chosen, int maxWords = 300,
                                             const std::string& lang1 = "English",
                                             const std::string& lang2 = "Deutsch") {
        std::string ini = "[Exercise]\r\nLangFileName=" + langFile + "\r\nLang1=" + lang1 +
                          "\r\nLang2=" + lang2 + "\r\nMaxWords=" + std::to_string(maxWords) +
                          "\r\n[AvailableUnits]\r\n";
        for (std::size_t i = 0; i < chosen.size(); ++i)
            ini += std::to_string(i) + "=" + std::to_string(chosen[i]) + "\r\n";
        ini += "NbrUnits=" + std::to_string(chosen.size()) + "\r\n";
        if (codePage != 1252)
            ini += "[Application]\r\nCodePage=" + std::to_string(codePage) + "\r\n";
        test::WriteFileBytes((app / "Lexaro.Ini").string(), ini);
        settings = std::make_shared<TAppIniFile>(app, nullptr);
        settings->ReadExerciseSection();
        return std::make_unique<TEditExerciseLogic>(settings, texts, view);
    }

    static std::vector<std::string> Captions(const TEditExerciseLogic& logic) {
        std::vector<std::string> out;
        for (const TLessonListItem& item : logic.Items())
            out.push_back(item.caption + (item.ticked ? " [x]" : ""));
        return out;
    }
    static int Row(const TEditExerciseLogic& logic, int number) {
        for (std::size_t i = 0; i < logic.Items().size(); ++i)
            if (logic.Items()[i].lesson->number == number)
                return static_cast<int>(i);
        return -1;
    }
    static TLangFHandler Reload(const fs::path& path) {
        TLangFHandler lang;
        EXPECT_TRUE(lang.Load(path)) << path;
        return lang;
    }
    std::string Text(int n) const { return texts->GetText(n); }
};

TEST_F(EditExerciseLogicTest, WithoutALanguageFileTheEditorStartsEmptyAndOkStoresNoLesson) {
    auto logic = Open("", {1, 2});
    EXPECT_TRUE(logic->Items().empty());
    EXPECT_EQ(logic->LangField(1), "");
    EXPECT_EQ(logic->LangField(2), "");
    EXPECT_EQ(logic->FileNameField(), "");
    EXPECT_FALSE(logic->FileNameHint());
    const TEditExerciseButtons b = logic->Buttons();
    EXPECT_TRUE(b.ok);
    EXPECT_FALSE(b.save);
    EXPECT_FALSE(b.saveAs);
    EXPECT_FALSE(b.newLesson);
    EXPECT_FALSE(b.langEditable);
    EXPECT_EQ(logic->Counters().pairs, ": 0");

    // Nothing to save and nothing to delete: no question.
    EXPECT_TRUE(logic->Ok());
    EXPECT_TRUE(view.asked.empty());
    EXPECT_EQ(logic->GetChangeKind(), TChangeKind::NoLesson);
    EXPECT_TRUE(settings->exercise.AvailableUnits.empty());
}

TEST_F(EditExerciseLogicTest, TheSettingsFileLoadsSortedByCaptionWithItsTicks) {
    LangFile("English-Deutsch", {{1, 4}, {2, 3, false}, {10, 5}});
    auto logic = Open("LangFiles/English-Deutsch.lang", {10, 1});
    EXPECT_EQ(Captions(*logic),
              (std::vector<std::string>{" Lesson 1 [x]", " Lesson 10 [x]", " Lesson 2"}));
    EXPECT_TRUE(logic->Items()[0].selected);
    EXPECT_EQ(logic->LangField(1), "English");
    EXPECT_EQ(logic->FileNameField(), "english-deutsch");
    EXPECT_EQ(*logic->FileNameHint(), app / "LangFiles" / "English-Deutsch.lang");
    const TEditExerciseCounters c = logic->Counters();
    EXPECT_EQ(c.pairs, ": 4");
    EXPECT_EQ(c.used, ": 4");
    EXPECT_EQ(c.total, ": 9");
    const TEditExerciseButtons b = logic->Buttons();
    EXPECT_TRUE(b.save && b.saveAs && b.ok && b.editLesson && b.deleteLesson && b.newLesson);
    EXPECT_FALSE(b.langEditable);

    // The counters follow the last selected lesson.
    logic->SetSelection({1, 2});
    logic->ListClicked();
    EXPECT_EQ(logic->Counters().pairs, ": 3");
    EXPECT_EQ(logic->Counters().used, ": 0");
}

// A file of a single-byte page opened under Unicode: its names show with U+FFFD, yet the file
// is unchanged (New asks nothing), and a save of an edit keeps the names' bytes as they were.
TEST_F(EditExerciseLogicTest, NamesOfASingleByteFileOpenedUnderUnicodeStayAsTheyAre) {
    const std::string greek = "\xC5\xEB\xEB\xE7\xED\xE9\xEA\xDC"; // Ελληνικά in 1253
    TLangFHandler made = test::GeneratedLangFile({{1, 3}, {2, 2}});
    made.SetLanguageNames(greek, "English");
    const fs::path path = app / "LangFiles" / "greek.lang";
    ASSERT_TRUE(made.Save(path));
    codePage = 65001;
    view.asked.clear();
    auto logic = Open("LangFiles/greek.lang", {1}, 300, "x", "English");
    EXPECT_EQ(logic->LangField(1), "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    logic->NewLangFile();
    EXPECT_TRUE(view.asked.empty()) << "nothing was changed";

    auto again = Open("LangFiles/greek.lang", {1}, 300, "x", "English");
    again->SetSelection({Row(*again, 2)});
    again->DeleteLessons();
    again->SaveLangFile();
    TLangFHandler saved;
    ASSERT_TRUE(saved.Load(path));
    EXPECT_EQ(saved.GetLang1Name(), greek);
    EXPECT_EQ(saved.SlotCount() > 2 ? saved.LessonAt(2) : nullptr, nullptr);
}

// The language names are the file's: shown, kept by every save, and taken into the settings
// at OK, whatever names the settings held (other ones, or none).
TEST_F(EditExerciseLogicTest, TheLanguageNamesComeFromTheFile) {
    for (const auto& [lang1, lang2] : std::vector<std::pair<std::string, std::string>>{
             {"English", "Deutsch"}, {"", ""}, {"Dutch", "French"}}) {
        SCOPED_TRACE(lang1 + "/" + lang2);
        TLangFHandler made = test::GeneratedLangFile({{1, 3}, {2, 2}});
        made.SetLanguageNames("Englisch", "Spanisch");
        const fs::path path = app / "LangFiles" / "names.lang";
        ASSERT_TRUE(made.Save(path));
        view.asked.clear();
        auto logic = Open("LangFiles/names.lang", {1}, 300, lang1, lang2);
        EXPECT_EQ(logic->LangField(1), "Englisch");
        EXPECT_EQ(logic->LangField(2), "Spanisch");
        EXPECT_TRUE(logic->Buttons().newLesson);

        logic->SetSelection({Row(*logic, 2)});
        logic->DeleteLessons();
        logic->SaveLangFile();
        TLangFHandler saved;
        ASSERT_TRUE(saved.Load(path));
        EXPECT_EQ(saved.GetLang1Name(), "Englisch");
        EXPECT_EQ(saved.GetLang2Name(), "Spanisch");

        EXPECT_TRUE(logic->Ok());
        EXPECT_TRUE(view.asked.empty()) << "nothing left to save";
        EXPECT_EQ(settings->exercise.Lang1, "Englisch");
        EXPECT_EQ(settings->exercise.Lang2, "Spanisch");
    }
}

TEST_F(EditExerciseLogicTest, ATickOnALessonWithoutPairsInUseIsTakenBackWithAMessage) {
    LangFile("f", {{1, 2}, {2, 3, false}});
    auto logic = Open("LangFiles/f.lang", {1});
    logic->SetTicked(Row(*logic, 2), true);
    logic->ListClicked();
    EXPECT_FALSE(logic->Items()[static_cast<std::size_t>(Row(*logic, 2))].ticked);
    EXPECT_TRUE(logic->Items()[static_cast<std::size_t>(Row(*logic, 1))].ticked);
    ASSERT_EQ(view.informed.size(), 1u);
    EXPECT_EQ(view.informed[0].first, Text(11));
    EXPECT_EQ(view.informed[0].second, Text(98) + "\r\n" + Text(99));
    EXPECT_EQ(view.beeps, 1);
}

TEST_F(EditExerciseLogicTest, NewNeedsNamesOfThreeCharactersAndALessonBeforeOk) {
    auto logic = Open("", {});
    logic->NewLangFile();
    EXPECT_TRUE(logic->Buttons().langEditable);
    EXPECT_FALSE(logic->Buttons().ok) << "no file name known at all";
    EXPECT_EQ(logic->TakeFocus(), TEditExerciseFocus::Lang1);

    logic->SetLangField(1, "En");
    EXPECT_FALSE(logic->LeaveLangField(1));
    EXPECT_EQ(view.beeps, 1);
    logic->SetLangField(1, "English");
    EXPECT_TRUE(logic->LeaveLangField(1));
    EXPECT_FALSE(logic->Buttons().newLesson);
    EXPECT_EQ(logic->FileNameField(), "") << "no proposal before the second name";
    logic->SetLangField(2, "German");
    EXPECT_TRUE(logic->LeaveLangField(2));
    EXPECT_TRUE(logic->Buttons().newLesson);
    EXPECT_EQ(logic->FileNameField(), "Eng_Ger");

    view.lessonEditor = SavedAs({{1, {{"dog@Hund", true}}}});
    logic->NewLesson();
    ASSERT_EQ(view.edited.size(), 1u);
    EXPECT_EQ(view.edited[0].lang1Name, "English");
    EXPECT_EQ(view.edited[0].lang2Name, "German");
    EXPECT_EQ(Captions(*logic), (std::vector<std::string>{" Lesson 1"}))
        << "a new lesson is not ticked";
    EXPECT_EQ(logic->FileState(), TFileState::Changed);
    EXPECT_FALSE(logic->Buttons().ok) << "still no file name: Save as first";
    EXPECT_FALSE(logic->Buttons().save);
    EXPECT_TRUE(logic->Buttons().saveAs);
}

TEST_F(EditExerciseLogicTest, NewLessonsTakeTheLowestFreeNumber) {
    EXPECT_EQ(NextFreeLessonNumber({}), 1);
    LangFile("f", {{1, 1}, {2, 1}, {4, 1}});
    auto logic = Open("LangFiles/f.lang", {1});
    EXPECT_EQ(NextFreeLessonNumber(logic->Items()), 3);
    view.lessonEditor = [](TVector<TLesson>& lessons) {
        EXPECT_EQ(lessons.Count(), 1u);
        EXPECT_EQ(lessons.Get(0)->number, 3);
        EXPECT_EQ(lessons.Get(0)->PairCount(), 0);
        return TLessonEditOutcome{kEditLessonClosed, false};
    };
    logic->NewLesson();
    EXPECT_EQ(view.edited.size(), 1u);
    EXPECT_EQ(logic->FileState(), TFileState::Untouched) << "closed without saving";
}

TEST_F(EditExerciseLogicTest, EditedLessonsComeBackMergedAndKeepTheirTicks) {
    LangFile("f", {{1, 2}, {2, 2}, {3, 2}});
    auto logic = Open("LangFiles/f.lang", {1, 3});
    logic->SetSelection({Row(*logic, 1), Row(*logic, 3)});
    // Lesson 1 keeps one pair and gives one to lesson 2 (not being edited); lesson 3 keeps only
    // a pair that is not in use.
    view.lessonEditor = SavedAs(
        {{1, {{"one@eins", true}}}, {2, {{"moved@bewegt", true}}}, {3, {{"idle@still", false}}}});
    logic->EditLessons();
    ASSERT_EQ(view.edited.size(), 1u);
    EXPECT_EQ(view.edited[0].lessons->Count(), 3u) << "the rebuilt lessons came back";
    EXPECT_EQ(Captions(*logic),
              (std::vector<std::string>{" Lesson 1 [x]", " Lesson 2", " Lesson 3"}));
    const TLesson& two = *logic->Items()[static_cast<std::size_t>(Row(*logic, 2))].lesson;
    EXPECT_EQ(two.PairCount(), 3);
    EXPECT_EQ(two.PairAt(2)->text1, "moved");
    EXPECT_TRUE(two.IsModified());
    EXPECT_EQ(logic->FileState(), TFileState::Changed);
    EXPECT_EQ(logic->Counters().pairs, ": 0") << "no lesson shown after editing";

    // Cancelled or unchanged edits change nothing.
    view.lessonEditor = [](TVector<TLesson>&) {
        return TLessonEditOutcome{kEditLessonSaved, false};
    };
    logic->SetSelection({0});
    logic->EditLessons();
    EXPECT_EQ(logic->Items().size(), 3u);
    EXPECT_TRUE(logic->Items()[0].selected);
}

TEST_F(EditExerciseLogicTest, DeletingEveryLessonAndWritingDeletesTheFile) {
    const fs::path file = LangFile("f", {{1, 2}, {2, 2}});
    auto logic = Open("LangFiles/f.lang", {1});
    logic->SetSelection({0, 1});
    logic->DeleteLessons();
    EXPECT_TRUE(logic->Items().empty());
    EXPECT_EQ(logic->LangField(1), "");
    EXPECT_EQ(logic->FileNameField(), "");
    EXPECT_FALSE(logic->FileNameHint());
    EXPECT_TRUE(fs::exists(file)) << "removed from the file only when it is written";

    view.answers = {TSaveAnswer::Yes};
    EXPECT_TRUE(logic->Ok());
    ASSERT_EQ(view.asked.size(), 1u);
    EXPECT_EQ(view.asked[0].second, Text(93));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(settings->exercise.LangFileName, "");
    EXPECT_EQ(logic->GetChangeKind(), TChangeKind::NoLesson);
}

TEST_F(EditExerciseLogicTest, NoToTheQuestionKeepsTheFileItsNamesAndANewFileOutOfTheSettings) {
    const fs::path file = LangFile("f", {{1, 2}});
    const std::string before = test::ReadFileBytes(file.string());
    {
        auto logic = Open("LangFiles/f.lang", {1});
        logic->SetSelection({0});
        logic->DeleteLessons();
        view.answers = {TSaveAnswer::Cancel, TSaveAnswer::No};
        EXPECT_FALSE(logic->Ok()) << "Cancel goes back to the editor";
        EXPECT_TRUE(logic->Ok());
        EXPECT_EQ(test::ReadFileBytes(file.string()), before);
        EXPECT_EQ(settings->exercise.Lang1, "English") << "the file on disk keeps its names";
        EXPECT_EQ(logic->GetChangeKind(), TChangeKind::NoLesson);
    }
    {
        // A new file that is not saved leaves the settings with the file they name.
        auto logic = Open("LangFiles/f.lang", {1}, 300);
        logic->NewLangFile();
        logic->SetLangField(1, "Spanish");
        logic->SetLangField(2, "Italian");
        view.lessonEditor = SavedAs({{1, {{"perro@cane", true}}}});
        logic->NewLesson();
        logic->SetTicked(0, true);
        view.answers = {TSaveAnswer::No};
        EXPECT_TRUE(logic->Ok());
        EXPECT_EQ(settings->exercise.LangFileName, "LangFiles/f.lang");
        EXPECT_EQ(settings->exercise.Lang1, "English");
        EXPECT_EQ(settings->exercise.AvailableUnits, intArray{1});
        EXPECT_EQ(logic->GetChangeKind(), TChangeKind::Nothing);
    }
}

// Close (and the close box, and Escape) asks before it drops anything: lesson edits and
// deleted lessons not yet written, a new file with lessons, the maximum, the ticks, another
// file chosen. Save writes and stores as OK with Yes does, Discard drops, Cancel stays.
TEST_F(EditExerciseLogicTest, CloseAsksBeforeDroppingChangesAndChoices) {
    const struct {
        const char* name;
        std::function<void(TEditExerciseLogic&)> change;
        // What Save leaves in the settings: the maximum, the ticks, the file.
        int maxWords;
        intArray ticks;
        std::string file;
    } cases[] = {
        {"lesson edited",
         [this](TEditExerciseLogic& l) {
             view.lessonEditor = SavedAs({{1, {{"new@neu", true}}}});
             l.SetSelection({Row(l, 1)});
             l.EditLessons();
         },
         300,
         {1},
         "LangFiles/f.lang"},
        {"lesson deleted",
         [](TEditExerciseLogic& l) {
             l.SetSelection({Row(l, 2)});
             l.DeleteLessons();
         },
         300,
         {1},
         "LangFiles/f.lang"},
        {"maximum",
         [](TEditExerciseLogic& l) { l.SetMaxWordsField("20"); },
         20,
         {1},
         "LangFiles/f.lang"},
        {"tick",
         [](TEditExerciseLogic& l) { l.SetTicked(Row(l, 2), true); },
         300,
         {1, 2},
         "LangFiles/f.lang"},
        {"another file",
         [this](TEditExerciseLogic& l) {
             view.openChoice = LangFile("g", {{4, 1}});
             l.OpenLangFile();
         },
         300,
         {},
         "LangFiles/g.lang"},
    };
    for (const auto& c : cases) {
        for (const TSaveAnswer answer : {TSaveAnswer::Yes, TSaveAnswer::No, TSaveAnswer::Cancel}) {
            SCOPED_TRACE(std::string(c.name) + " " + std::to_string(static_cast<int>(answer)));
            const fs::path file = LangFile("f", {{1, 2}, {2, 3}});
            const std::string before = test::ReadFileBytes(file.string());
            auto logic = Open("LangFiles/f.lang", {1});
            view.questions.clear();
            view.answers = {answer};
            c.change(*logic);
            const TCloseResult result = logic->CloseRequested();
            ASSERT_EQ(view.questions.size(), 1u);
            EXPECT_EQ(view.questions[0].first, Text(11));
            EXPECT_EQ(view.questions[0].second, Text(161) + "\r\n" + Text(95));
            const TExerciseData& ex = settings->exercise;
            switch (answer) {
            case TSaveAnswer::Yes:
                EXPECT_EQ(result, TCloseResult::Saved);
                EXPECT_EQ(ex.MaxWords, c.maxWords);
                EXPECT_EQ(ex.AvailableUnits, c.ticks);
                EXPECT_EQ(ex.LangFileName, c.file);
                break;
            case TSaveAnswer::No:
                EXPECT_EQ(result, TCloseResult::Closed);
                EXPECT_EQ(ex.MaxWords, 300);
                EXPECT_EQ(ex.AvailableUnits, intArray{1});
                EXPECT_EQ(ex.LangFileName, "LangFiles/f.lang");
                EXPECT_EQ(test::ReadFileBytes(file.string()), before) << "nothing written";
                break;
            case TSaveAnswer::Cancel:
                EXPECT_EQ(result, TCloseResult::Stay);
                EXPECT_EQ(test::ReadFileBytes(file.string()), before);
                break;
            }
        }
    }
    // Saved at Close, the edited lesson is in the file.
    LangFile("f", {{1, 2}, {2, 3}});
    auto logic = Open("LangFiles/f.lang", {1});
    view.lessonEditor = SavedAs({{1, {{"new@neu", true}}}});
    logic->SetSelection({Row(*logic, 1)});
    logic->EditLessons();
    view.answers = {TSaveAnswer::Yes};
    ASSERT_EQ(logic->CloseRequested(), TCloseResult::Saved);
    TLangFHandler saved;
    ASSERT_TRUE(saved.Load(app / "LangFiles" / "f.lang"));
    EXPECT_EQ(saved.LessonAt(1)->PairAt(0)->text1, "new");
    EXPECT_EQ(logic->GetChangeKind(), TChangeKind::Lessons);
}

// Without changes Close asks nothing, also when the settings tick lessons the file lacks or
// hold a maximum out of range; and a new file without lessons has nothing to ask about.
TEST_F(EditExerciseLogicTest, CloseWithoutChangesAsksNothing) {
    LangFile("f", {{1, 2}, {2, 3}});
    for (const int maxWords : {300, 900}) {
        auto logic = Open("LangFiles/f.lang", {1, 7}, maxWords);
        EXPECT_EQ(logic->CloseRequested(), TCloseResult::Closed);
        logic = Open("LangFiles/f.lang", {1, 7}, maxWords);
        logic->NewLangFile();
        logic->SetLangField(1, "Spanish");
        EXPECT_EQ(logic->CloseRequested(), TCloseResult::Closed);
    }
    EXPECT_TRUE(view.questions.empty());
    EXPECT_TRUE(view.asked.empty());
}

// Open and New ask before lesson edits that were not written are dropped; Save writes them
// first (Save as for a new file), Cancel keeps everything as it is.
TEST_F(EditExerciseLogicTest, OpenAndNewAskBeforeDroppingLessonEdits) {
    const fs::path g = LangFile("g", {{4, 1}});
    for (const bool open : {true, false}) {
        for (const TSaveAnswer answer : {TSaveAnswer::Yes, TSaveAnswer::No, TSaveAnswer::Cancel}) {
            SCOPED_TRACE(std::string(open ? "Open " : "New ") +
                         std::to_string(static_cast<int>(answer)));
            const fs::path file = LangFile("f", {{1, 2}, {2, 3}});
            auto logic = Open("LangFiles/f.lang", {1});
            logic->SetSelection({Row(*logic, 2)});
            logic->DeleteLessons();
            view.questions.clear();
            view.openFolders.clear();
            view.answers = {answer};
            view.openChoice = g;
            if (open)
                logic->OpenLangFile();
            else
                logic->NewLangFile();
            ASSERT_EQ(view.questions.size(), 1u);
            EXPECT_EQ(view.questions[0].second, Text(94) + "\r\n" + Text(95));
            TLangFHandler onDisk;
            ASSERT_TRUE(onDisk.Load(file));
            EXPECT_EQ(onDisk.LessonAt(2) == nullptr, answer == TSaveAnswer::Yes);
            if (answer == TSaveAnswer::Cancel) {
                EXPECT_TRUE(view.openFolders.empty()) << "no dialog";
                EXPECT_EQ(logic->Items().size(), 1u) << "the edits stay";
                EXPECT_EQ(logic->FileName(), "LangFiles/f.lang");
                EXPECT_EQ(logic->FileState(), TFileState::Changed);
            } else {
                EXPECT_EQ(logic->FileName(), open ? "LangFiles/g.lang" : "LangFiles/f.lang");
                EXPECT_EQ(logic->NewFile(), !open);
            }
        }
    }
    // A new file's lessons are saved under a new name first.
    auto logic = Open("LangFiles/f.lang", {1});
    logic->NewLangFile();
    logic->SetLangField(1, "Spanish");
    logic->SetLangField(2, "Italian");
    view.lessonEditor = SavedAs({{1, {{"perro@cane", true}}}});
    logic->NewLesson();
    view.answers = {TSaveAnswer::Yes};
    view.saveChoice = [](const fs::path& folder) { return folder / "Spa_Ita.lang"; };
    view.questions.clear();
    logic->NewLangFile();
    EXPECT_EQ(view.questions.size(), 1u);
    EXPECT_TRUE(fs::exists(app / "LangFiles" / "Spa_Ita" / "Spa_Ita.lang"));
    EXPECT_TRUE(logic->Items().empty());
}

// The lesson editor looks for doubles in the file open here, with the lessons as edited so
// far: edits merged back but not written, and after Open the other file's lessons.
TEST_F(EditExerciseLogicTest, TheLessonEditorSearchesTheFileOpenHereAsEdited) {
    LangFile("f", {{1, 2}, {2, 3}});
    const fs::path g = LangFile("g", {{4, 1}, {6, 2}});
    auto logic = Open("LangFiles/f.lang", {1});
    auto numbersAndFirstTexts = [](const TEditLessonInput& input) {
        std::vector<std::string> out;
        for (const auto& lesson : input.fileLessons)
            out.push_back(std::to_string(lesson->number) + ":" + lesson->PairAt(0)->text1);
        return out;
    };
    view.lessonEditor = SavedAs({{2, {{"apple@Apfel", true}}}});
    logic->SetSelection({Row(*logic, 2)});
    logic->EditLessons();
    view.lessonEditor = nullptr;
    logic->SetSelection({Row(*logic, 1)});
    logic->EditLessons();
    ASSERT_EQ(view.edited.size(), 2u);
    EXPECT_EQ(numbersAndFirstTexts(view.edited[1]),
              (std::vector<std::string>{"1:word 1.0", "2:apple"}));

    view.answers = {TSaveAnswer::No};
    view.openChoice = g;
    logic->OpenLangFile();
    logic->NewLesson();
    EXPECT_EQ(numbersAndFirstTexts(view.edited.back()),
              (std::vector<std::string>{"4:word 4.0", "6:word 6.0"}));
}

TEST_F(EditExerciseLogicTest, SaveAsProposesTheLanguageFolderAndRemovesANewOneOnCancel) {
    auto logic = Open("", {});
    logic->NewLangFile();
    logic->SetLangField(1, "English");
    logic->SetLangField(2, "German");
    logic->LeaveLangField(2);
    view.lessonEditor = SavedAs({{1, {{"dog@Hund", true}, {"cat@Katze", false}}}});
    logic->NewLesson();

    logic->SaveLangFileAs();
    EXPECT_EQ(view.saveFolder, app / "LangFiles" / "Eng_Ger");
    EXPECT_EQ(view.saveName, fs::path("Eng_Ger.lang"));
    EXPECT_TRUE(view.folderExistedDuringSave);
    EXPECT_FALSE(fs::exists(app / "LangFiles" / "Eng_Ger")) << "made for the dialog, removed again";
    EXPECT_TRUE(logic->NewFile());

    // A folder that was there before stays.
    fs::create_directories(app / "LangFiles" / "Eng_Ger");
    logic->SaveLangFileAs();
    EXPECT_TRUE(fs::exists(app / "LangFiles" / "Eng_Ger"));

    view.saveChoice = [](const fs::path& folder) { return folder / "Eng_Ger.lang"; };
    logic->SaveLangFileAs();
    EXPECT_FALSE(logic->NewFile());
    EXPECT_EQ(logic->FileState(), TFileState::Saved);
    EXPECT_EQ(logic->FileName(), "LangFiles/Eng_Ger/Eng_Ger.lang")
        << "inside the application folder";
    EXPECT_EQ(logic->FileNameField(), "eng_ger");
    TLangFHandler saved = Reload(app / "LangFiles" / "Eng_Ger" / "Eng_Ger.lang");
    EXPECT_EQ(saved.GetLang1Name(), "English");
    EXPECT_EQ(saved.GetLang2Name(), "German");
    ASSERT_TRUE(saved.LessonAt(1));
    EXPECT_EQ(saved.LessonAt(1)->PairCount(), 2);
    EXPECT_EQ(saved.LessonAt(1)->UsedPairCount(), 1);
    EXPECT_TRUE(logic->Buttons().ok);
    EXPECT_TRUE(logic->Buttons().save);
}

TEST_F(EditExerciseLogicTest, SaveAsCopiesThePracticeJournalSoBothFilesKeepTheirHistory) {
    const fs::path f = LangFile("f", {{1, 2}});
    const std::string history =
        std::string(kJournalHeader) + "\n" + "2026-12-11T14:03:00Z\t1\t0\tword 1.0\t1\tright\t2\n";
    test::WriteFileBytes(JournalPath(f).string(), history);
    auto logic = Open("LangFiles/f.lang", {1});
    view.saveChoice = [this](const fs::path&) { return app / "LangFiles" / "copy.lang"; };
    logic->SaveLangFileAs();
    ASSERT_EQ(logic->FileName(), "LangFiles/copy.lang");
    EXPECT_EQ(test::ReadFileBytes(JournalPath(f).string()), history) << "the old file keeps it";
    EXPECT_EQ(test::ReadFileBytes(JournalPath(app / "LangFiles" / "copy.lang").string()), history);
    EXPECT_TRUE(view.informed.empty());

    // A name with a history of its own keeps it; a new file (New) copies nothing.
    const std::string own = std::string(kJournalHeader) + "\n";
    test::WriteFileBytes(JournalPath(app / "LangFiles" / "other.lang").string(), own);
    view.saveChoice = [this](const fs::path&) { return app / "LangFiles" / "other.lang"; };
    logic->SaveLangFileAs();
    EXPECT_EQ(test::ReadFileBytes(JournalPath(app / "LangFiles" / "other.lang").string()), own);
    EXPECT_FALSE(fs::exists(JournalPath(app / "LangFiles" / "other.lang", 2)));

    // A new file saved under a name copies nothing.
    logic->NewLangFile();
    logic->SetLangField(1, "English");
    logic->SetLangField(2, "German");
    logic->LeaveLangField(2);
    view.lessonEditor = SavedAs({{1, {{"dog@Hund", true}}}});
    logic->NewLesson();
    view.saveChoice = [this](const fs::path&) { return app / "LangFiles" / "fresh.lang"; };
    logic->SaveLangFileAs();
    ASSERT_EQ(logic->FileName(), "LangFiles/fresh.lang");
    EXPECT_FALSE(fs::exists(JournalPath(app / "LangFiles" / "fresh.lang")));
    EXPECT_TRUE(view.informed.empty());
}

TEST_F(EditExerciseLogicTest, FolderNamesKeepLettersDigitsDashAndUnderscoreOnly) {
    const struct {
        const char* lang1;
        const char* lang2;
        const char* proposed;
    } cases[] = {
        {"English", "German", "Eng_Ger"},
        {"../x", "..\\..\\y", "x_y"},
        {"  Deutsch", "C++", "Deu_C"},
        {"\xC4gyptisch",
         "Fran\xE7"
         "ais",
         "\xC4gy_Fra"},
        {"a-b_c", "1.5", "a-b_15"},
        {"...", "///", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProposedLangFileName(c.lang1, c.lang2), c.proposed) << c.lang1 << " " << c.lang2;

    // Names of other scripts give Latin letters, which the settings can store in a path.
    const struct {
        int page;
        const char* lang1; // UTF-8
        const char* proposed;
    } scripts[] = {
        {1251, "Русский", "Rus_Eng"},
        {1251, "Українська", "Ukr_Eng"},
        {1253, "Ελληνικά", "Ell_Eng"},
        {1250, "Łacina", "Lac_Eng"},
        {1251, "Щука", "Shc_Eng"},
        {1254, "Türkçe", "T\xFCr_Eng"},
        // Unicode: what Windows-1252 holds as it is, a known language by its English name,
        // any other name transliterated.
        {65001, "Türkçe", "T\xFCr_Eng"},
        {65001, "日本語", "Jap_Eng"},
        {65001, "العربية", "Ara_Eng"},
        {65001, "Русская речь", "Rus_Eng"},
        {65001, "Ελληνικό κείμενο", "Ell_Eng"},
        {65001, "☺☺☺", "_Eng"},
    };
    for (const auto& c : scripts) {
        const TCodePage& page = TCodePage::Get(c.page);
        std::string stored;
        ASSERT_TRUE(page.FromUtf8(c.lang1, stored)) << c.lang1;
        EXPECT_EQ(ProposedLangFileName(stored, "English", page), c.proposed) << c.lang1;
    }

    // Names that try to climb out still give a folder inside LangFiles.
    auto logic = Open("", {});
    logic->NewLangFile();
    logic->SetLangField(1, "../../etc");
    logic->SetLangField(2, "..\\..\\tmp");
    view.lessonEditor = SavedAs({{1, {{"a@b", true}}}});
    logic->NewLesson();
    logic->SaveLangFileAs();
    EXPECT_EQ(view.saveFolder, app / "LangFiles" / "etc_tmp");
}

// Under Unicode a name's length is counted in the characters a learner sees; a language the
// table knows is long enough by any length ("中文").
TEST_F(EditExerciseLogicTest, UnicodeNamesOfAnyScriptAreCountedInCharacters) {
    codePage = 65001;
    auto logic = Open("", {});
    ASSERT_TRUE(logic->Page().IsUtf8());
    logic->NewLangFile();
    const struct {
        const char* typed;
        bool left;
    } cases[] = {
        {"日本語", true},          {"中文", true},
        {"日本", false},           {"ab", false},
        {"e\u0301e\u0301", false}, {"e\u0301e\u0301e", true},
        {"العربية", true},
    };
    for (const auto& c : cases) {
        logic->SetLangField(1, c.typed);
        EXPECT_EQ(logic->LeaveLangField(1), c.left) << c.typed;
    }
    logic->SetLangField(1, "日本語");
    ASSERT_TRUE(logic->LeaveLangField(1));
    logic->SetLangField(2, "Deutsch");
    ASSERT_TRUE(logic->LeaveLangField(2));
    EXPECT_TRUE(logic->Buttons().newLesson);
    EXPECT_EQ(logic->FileNameField(), "Jap_Deu");
}

TEST_F(EditExerciseLogicTest, LanguageNamesThatAFileCannotHoldAreRefusedByName) {
    const struct {
        int which;
        const char* typed;
        const char* named; // empty: accepted
    } cases[] = {
        {1, "Eng@lish", "\"@\""},
        {2, "Deu@tsch", ""},
        {1, "[General]", "\"[\""},
        {2, "[Deutsch]", ""},
        {1, "\xE6\x97\xA5\xE6\x9C\xAC",
         "\"\xE6\x97\xA5\" is not in Western European (1252). Please change or remove it."},
        {2,
         "a\xE2\x80\x8B"
         "b",
         "U+200B is not in"},
        {2,
         "Fran\xC3\xA7"
         "ais",
         ""},
    };
    auto logic = Open("", {});
    logic->NewLangFile();
    for (const auto& c : cases) {
        view.informed.clear();
        logic->SetLangField(c.which, c.typed);
        const bool left = logic->LeaveLangField(c.which);
        EXPECT_EQ(left, std::string(c.named).empty()) << c.typed;
        if (!left) {
            ASSERT_EQ(view.informed.size(), 1u) << c.typed;
            EXPECT_NE(view.informed[0].second.find(c.named), std::string::npos)
                << view.informed[0].second;
        }
        logic->SetLangField(c.which, "Valid");
    }
    // A name still refused stops the write and OK.
    LangFile("f", {{1, 1}});
    auto opened = Open("LangFiles/f.lang", {1});
    opened->NewLangFile();
    opened->SetLangField(1, "Eng@lish");
    opened->SetLangField(2, "German");
    view.lessonEditor = SavedAs({{1, {{"a@b", true}}}});
    opened->NewLesson();
    view.saveChoice = [](const fs::path& folder) { return folder / "x.lang"; };
    view.informed.clear();
    opened->SaveLangFileAs();
    EXPECT_TRUE(opened->NewFile());
    EXPECT_EQ(view.informed.size(), 1u);
    EXPECT_FALSE(opened->Ok());
}

TEST_F(EditExerciseLogicTest, ChangeKindsTellTheMainWindowWhatToRefresh) {
    LangFile("f", {{1, 3}, {2, 3}});
    LangFile("g", {{1, 3}});
    enum class Step { Nothing, Max, Untick, TickOther, EditChosen, EditOther, OpenOther };
    const struct {
        Step step;
        TChangeKind kind;
    } cases[] = {
        {Step::Nothing, TChangeKind::Nothing},    {Step::Max, TChangeKind::MaxWords},
        {Step::Untick, TChangeKind::NoLesson},    {Step::TickOther, TChangeKind::Lessons},
        {Step::EditChosen, TChangeKind::Lessons}, {Step::EditOther, TChangeKind::Nothing},
        {Step::OpenOther, TChangeKind::LangFile},
    };
    for (const auto& c : cases) {
        auto logic = Open("LangFiles/f.lang", {1});
        view.answers = {TSaveAnswer::Yes};
        view.lessonEditor = [](TVector<TLesson>& lessons) {
            lessons.Get(0)->PairAt(0)->text1 = "changed";
            return TLessonEditOutcome{kEditLessonSaved, true};
        };
        switch (c.step) {
        case Step::Nothing:
            break;
        case Step::Max:
            logic->SetMaxWordsField("120");
            break;
        case Step::Untick:
            logic->SetTicked(Row(*logic, 1), false);
            break;
        case Step::TickOther:
            logic->SetTicked(Row(*logic, 2), true);
            break;
        case Step::EditChosen:
        case Step::EditOther:
            logic->SetSelection({Row(*logic, c.step == Step::EditChosen ? 1 : 2)});
            logic->EditLessons();
            break;
        case Step::OpenOther:
            view.openChoice = app / "LangFiles" / "g.lang";
            logic->OpenLangFile();
            logic->SetTicked(0, true);
            break;
        }
        ASSERT_TRUE(logic->Ok()) << static_cast<int>(c.step);
        EXPECT_EQ(logic->GetChangeKind(), c.kind) << static_cast<int>(c.step);
    }
    EXPECT_EQ(settings->exercise.LangFileName, "LangFiles/g.lang");
    EXPECT_EQ(settings->exercise.AvailableUnits, intArray{1});
}

TEST_F(EditExerciseLogicTest, TheMaximumStaysBetweenOneAndFiveHundred) {
    LangFile("f", {{1, 3}});
    auto logic = Open("LangFiles/f.lang", {1}, 900);
    EXPECT_EQ(logic->MaxWordsField(), "500") << "the arrows hold their range";
    for (const char* typed : {"501", "word", "0", "", " 7"}) {
        logic->SetMaxWordsField(typed);
        EXPECT_FALSE(logic->LeaveMaxWords()) << typed;
        EXPECT_EQ(logic->MaxWordsField(), "1") << typed;
    }
    logic->SetMaxWordsField("250");
    EXPECT_TRUE(logic->LeaveMaxWords());
    logic->StepMaxWords(1);
    EXPECT_EQ(logic->MaxWordsField(), "251");
    logic->SetMaxWordsField("500");
    logic->StepMaxWords(1);
    EXPECT_EQ(logic->MaxWordsField(), "1") << "wraps";
    logic->StepMaxWords(-1);
    EXPECT_EQ(logic->MaxWordsField(), "500");
    logic->SetMaxWordsField("x");
    logic->StepMaxWords(-1);
    EXPECT_EQ(logic->MaxWordsField(), "499") << "from the arrows' last position";

    // OK with a maximum that is no number in range stays open and stores nothing.
    for (const char* typed : {"abc", "501"}) {
        view.informed.clear();
        logic->SetMaxWordsField(typed);
        EXPECT_FALSE(logic->Ok()) << typed;
        ASSERT_EQ(view.informed.size(), 1u);
        EXPECT_EQ(view.informed[0].second, Text(exercise_editor_text::kMaxWordsInvalid));
        EXPECT_EQ(logic->TakeFocus(), TEditExerciseFocus::MaxWords);
        EXPECT_EQ(settings->exercise.MaxWords, 900);
    }
}

TEST_F(EditExerciseLogicTest, OpenRefusesWhatItCannotReadOrStoreAndChangesNothing) {
    const fs::path good = LangFile("good", {{3, 2}, {4, 1}});
    LangFile("f", {{1, 2}});
    const fs::path damaged = app / "LangFiles" / "damaged.lang";
    std::string bytes = test::ReadFileBytes(good.string());
    bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x20);
    test::WriteFileBytes(damaged.string(), bytes);
    const fs::path truncated = app / "LangFiles" / "truncated.lang";
    test::WriteFileBytes(truncated.string(), test::ReadFileBytes(good.string()).substr(0, 9));
    // Its Windows-1252 form "\xC3\xBC" would read back as another name.
    const fs::path unstorable = app / "LangFiles" / "\xC3\x83\xC2\xBC.lang";
    fs::copy_file(good, unstorable);

    auto logic = Open("LangFiles/f.lang", {1});
    for (const fs::path& refused : {damaged, truncated, unstorable, app / "missing.lang"}) {
        view.informed.clear();
        view.openChoice = refused;
        logic->OpenLangFile();
        ASSERT_EQ(view.informed.size(), 1u) << refused;
        EXPECT_NE(view.informed[0].second.find(refused == unstorable
                                                   ? "holds the character \"\xC3\x83\""
                                                   : "cannot be used"),
                  std::string::npos)
            << view.informed[0].second;
        EXPECT_EQ(Captions(*logic), (std::vector<std::string>{" Lesson 1 [x]"})) << refused;
        EXPECT_EQ(logic->FileName(), "LangFiles/f.lang");
        EXPECT_EQ(logic->FileState(), TFileState::Untouched);
    }
    EXPECT_EQ(view.openFolders.back(), app / "LangFiles");

    view.openChoice = good;
    logic->OpenLangFile();
    EXPECT_EQ(Captions(*logic), (std::vector<std::string>{" Lesson 3", " Lesson 4"}))
        << "opened without ticks";
    EXPECT_EQ(logic->FileName(), "LangFiles/good.lang");
    EXPECT_EQ(logic->LangField(2), "Deutsch");
    EXPECT_EQ(logic->FileState(), TFileState::Opened);
    EXPECT_EQ(logic->Counters().pairs, ": 2");
    EXPECT_EQ(logic->TakeFocus(), TEditExerciseFocus::LessonList);

    // A folder in another script: the path is kept in UTF-8.
    const fs::path cyrillic = app / "\xD0\x94\xD0\xBE\xD0\xBA" / "\xE6\x97\xA5.lang";
    fs::create_directories(cyrillic.parent_path());
    fs::copy_file(good, cyrillic);
    view.openChoice = cyrillic;
    logic->OpenLangFile();
    EXPECT_EQ(logic->FileName(), "\xD0\x94\xD0\xBE\xD0\xBA/\xE6\x97\xA5.lang");
    EXPECT_EQ(logic->FileNameField(), "\xE6\x97\xA5");
    EXPECT_EQ(logic->FileState(), TFileState::Opened);
}

TEST_F(EditExerciseLogicTest, AWriteThatFailsIsReportedAndNothingCountsAsSaved) {
    const fs::path file = LangFile("f", {{1, 2}, {2, 2}});
    const std::string before = test::ReadFileBytes(file.string());
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    auto logic = Open("LangFiles/f.lang", {1});
    logic->SetSelection({Row(*logic, 2)});
    logic->DeleteLessons();

    logic->SaveLangFile();
    ASSERT_EQ(view.informed.size(), 1u);
    EXPECT_EQ(view.informed[0].first, settings->appTitle);
    EXPECT_EQ(view.informed[0].second.rfind(Text(97), 0), 0u) << view.informed[0].second;
    EXPECT_EQ(test::ReadFileBytes(file.string()), before);
    EXPECT_EQ(logic->FileState(), TFileState::Changed);

    // OK with Yes stays open with nothing stored: the edits are still there to save elsewhere.
    view.answers = {TSaveAnswer::Yes};
    logic->SetTicked(0, false);
    EXPECT_FALSE(logic->Ok());
    EXPECT_EQ(settings->exercise.AvailableUnits, intArray{1});
    EXPECT_EQ(test::ReadFileBytes(file.string()), before);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(EditExerciseLogicTest, ASettingsFileThatCannotBeReadIsReportedWhenTheWindowShows) {
    const fs::path file = app / "LangFiles" / "f.lang";
    test::WriteFileBytes(file.string(), "not a language file at all");
    auto logic = Open("LangFiles/f.lang", {1});
    EXPECT_TRUE(logic->Items().empty());
    EXPECT_TRUE(view.informed.empty());
    logic->WindowShown();
    ASSERT_EQ(view.informed.size(), 1u);
    EXPECT_EQ(view.informed[0].second, FillText(Text(138), {DisplayPath(file), Text(150)}));
    logic->WindowShown();
    EXPECT_EQ(view.informed.size(), 1u) << "told once";
}

// Where the pairs of the exercise's language file went, as the main window is told: every pair
// of the file as the editor found it is listed, and each one that is still there names the
// same words in the file as last written to that path. The pairs read "word <lesson>.<i>".
class Renumbering : public EditExerciseLogicTest {
protected:
    using Script = std::function<void(TEditLessonLogic&)>;

    // The real lesson editor on the lessons with these numbers: the script, then Save (one-sided
    // entries left out) or Close.
    void Edit(TEditExerciseLogic& logic, const std::vector<int>& numbers, const Script& script,
              bool save = true) {
        std::vector<int> rows;
        for (const int n : numbers)
            rows.push_back(Row(logic, n));
        logic.SetSelection(rows);
        view.lessonSession = [&](const TEditLessonInput& input) {
            TEditLessonLogic editor([](std::int32_t) { return std::string("?"); }, input);
            script(editor);
            if (!save) {
                editor.Close();
                return TLessonEditOutcome{kEditLessonClosed, false};
            }
            EXPECT_EQ(editor.Save(true), TLessonSave::Saved);
            return TLessonEditOutcome{kEditLessonSaved, editor.IsModified()};
        };
        logic.EditLessons();
        view.lessonSession = nullptr;
    }
    static Script Rows(std::function<void(TEditLessonLogic&, TMEditLessonTableModel&)> f) {
        return [f](TEditLessonLogic& e) { f(e, e.Model()); };
    }
    void SaveAs(TEditExerciseLogic& logic, const std::string& stem) {
        view.saveChoice = [this, stem](const fs::path&) {
            return app / "LangFiles" / (stem + ".lang");
        };
        logic.SaveLangFileAs();
    }

    // "1.0>- 1.1>1.0": the pairs that moved or left, in key order; "none" when the exercise's
    // file was not written.
    std::string Describe(const TEditExerciseLogic& logic, const fs::path& exerciseFile) {
        const std::optional<TPairRenumbering> r = logic.ExerciseFileRenumbering();
        if (!r)
            return "none";
        TLangFHandler written;
        if (fs::exists(exerciseFile)) {
            EXPECT_TRUE(written.Load(exerciseFile));
        }
        std::string out;
        auto key = [](TPairKey k) { return std::to_string(k.lesson) + "." + std::to_string(k.id); };
        for (const TPairKey k : original_) {
            EXPECT_TRUE(r->Listed(k)) << key(k) << " is not listed";
            const std::optional<TPairKey> now = r->PlaceOf(k);
            if (now) {
                // The place holds the same words.
                const auto lesson = written.LessonAt(now->lesson);
                const auto pair = lesson ? lesson->PairAt(now->id) : nullptr;
                EXPECT_TRUE(pair && pair->text1 == "word " + key(k))
                    << key(k) << " is said to be at " << key(*now);
            }
            if (!now || *now != k)
                out += (out.empty() ? "" : " ") + key(k) + ">" + (now ? key(*now) : "-");
        }
        return out;
    }

    std::vector<TPairKey> original_{{1, 0}, {1, 1}, {1, 2}, {2, 0}, {2, 1}, {3, 0}};
};

TEST_F(Renumbering, EveryPairOfTheExerciseFileIsFollowedToWhereItWasLastWritten) {
    using L = TEditExerciseLogic;
    using E = TEditLessonLogic;
    using M = TMEditLessonTableModel;
    const struct {
        const char* name;
        std::function<void(L&)> steps;
        std::string expected;
    } cases[] = {
        {"a pair deleted",
         [this](L& l) {
             Edit(l, {1}, Rows([](E& e, M& m) {
                      m.MarkRow(1);
                      e.DeleteEntry();
                  }));
             l.SaveLangFile();
         },
         "1.0>- 1.1>1.0 1.2>1.1"},
        {"a pair edited in place",
         [this](L& l) {
             Edit(l, {1}, Rows([](E&, M& m) {
                      rWordPairData d = m.RowData(2);
                      d.pair.text2 = "changed";
                      m.SetRowData(2, d, false);
                  }));
             l.SaveLangFile();
         },
         ""},
        {"sorted",
         [this](L& l) {
             Edit(l, {1}, Rows([](E& e, M& m) {
                      rWordPairData d = m.RowData(1);
                      d.pair.use = false;
                      m.SetRowData(1, d, false);
                      e.SortBy(0);
                  }));
             l.SaveLangFile();
         },
         "1.0>1.2 1.1>1.0 1.2>1.1"},
        {"given another lesson number",
         [this](L& l) {
             Edit(l, {1}, Rows([](E&, M& m) {
                      rWordPairData d = m.RowData(1);
                      d.lesson = 2;
                      m.SetRowData(1, d, false);
                  }));
             l.SaveLangFile();
         },
         "1.0>2.2 1.1>1.0 1.2>1.1"},
        {"all of two lessons given one number",
         [this](L& l) {
             Edit(l, {1, 2}, Rows([](E& e, M& m) {
                      m.MarkRow(4);
                      e.UpdateId();
                  }));
             l.SaveLangFile();
         },
         "1.0>2.0 1.1>2.1 1.2>2.2 2.0>2.3 2.1>2.4"},
        {"cut from one lesson and pasted into another: a move",
         [this](L& l) {
             Edit(l, {1}, Rows([](E& e, M& m) {
                      m.MarkRow(2);
                      e.Cut();
                  }));
             Edit(l, {3}, Rows([](E& e, M& m) {
                      m.MarkRow(1);
                      e.Paste();
                  }));
             l.SaveLangFile();
         },
         "1.1>3.0 1.2>1.1 3.0>3.1"},
        {"pasted twice: the second is a new pair",
         [this](L& l) {
             Edit(l, {1}, Rows([](E& e, M& m) {
                      m.MarkRow(2);
                      e.Cut();
                      e.Paste();
                      e.Paste();
                  }));
             l.SaveLangFile();
         },
         "1.1>1.2 1.2>1.3"},
        {"a cut that was not saved: the paste is a new pair",
         [this](L& l) {
             Edit(l, {1}, Rows([](E& e, M& m) {
                      m.MarkRow(2);
                      e.Cut();
                  }),
                  false);
             Edit(l, {3}, Rows([](E& e, M& m) {
                      m.MarkRow(1);
                      e.Paste();
                  }));
             l.SaveLangFile();
         },
         "3.0>3.1"},
        {"a cut saved, then pasted in two editors: one move, one new pair",
         [this](L& l) {
             Edit(l, {1}, Rows([](E& e, M& m) {
                      m.MarkRow(1);
                      e.Cut();
                  }));
             Edit(l, {3}, Rows([](E& e, M& m) {
                      m.MarkRow(1);
                      e.Paste();
                  }));
             Edit(l, {2}, Rows([](E& e, M& m) {
                      m.MarkRow(1);
                      e.Paste();
                  }));
             l.SaveLangFile();
         },
         "1.0>3.0 1.1>1.0 1.2>1.1 2.0>2.1 2.1>2.2 3.0>3.1"},
        {"a lesson deleted",
         [](L& l) {
             l.SetSelection({Row(l, 2)});
             l.DeleteLessons();
             l.SaveLangFile();
         },
         "2.0>- 2.1>-"},
        {"every lesson deleted: the file goes",
         [this](L& l) {
             l.SetSelection({0, 1, 2});
             l.DeleteLessons();
             view.answers = {TSaveAnswer::Yes};
             EXPECT_TRUE(l.Ok());
         },
         "1.0>- 1.1>- 1.2>- 2.0>- 2.1>- 3.0>-"},
        {"edits dropped by Close, then saved unchanged",
         [this](L& l) {
             Edit(l, {1}, Rows([](E& e, M& m) {
                      m.MarkRow(1);
                      e.DeleteEntry();
                  }),
                  false);
             l.SaveLangFile();
         },
         ""},
        {"saved under another name only",
         [this](L& l) {
             Edit(l, {1}, Rows([](E& e, M& m) {
                      m.MarkRow(1);
                      e.DeleteEntry();
                  }));
             SaveAs(l, "other");
         },
         "none"},
        {"saved under another name, then over the exercise's file",
         [this](L& l) {
             Edit(l, {1}, Rows([](E& e, M& m) {
                      m.MarkRow(1);
                      e.DeleteEntry();
                  }));
             SaveAs(l, "other");
             SaveAs(l, "f");
         },
         "1.0>- 1.1>1.0 1.2>1.1"},
        {"another file opened and saved there",
         [this](L& l) {
             view.openChoice = app / "LangFiles" / "g.lang";
             l.OpenLangFile();
             l.SaveLangFile();
         },
         "none"},
        {"another file opened and saved over the exercise's file",
         [this](L& l) {
             view.openChoice = app / "LangFiles" / "g.lang";
             l.OpenLangFile();
             SaveAs(l, "f");
         },
         "1.0>- 1.1>- 1.2>- 2.0>- 2.1>- 3.0>-"},
        {"the exercise's file saved, opened again, edited and saved",
         [this](L& l) {
             Edit(l, {1}, Rows([](E& e, M& m) {
                      m.MarkRow(1);
                      e.DeleteEntry();
                  }));
             l.SaveLangFile();
             view.openChoice = app / "LangFiles" / "f.lang";
             l.OpenLangFile();
             Edit(l, {1}, Rows([](E& e, M& m) {
                      m.MarkRow(1);
                      e.DeleteEntry();
                  }));
             l.SaveLangFile();
         },
         "1.0>- 1.1>- 1.2>1.0"},
        {"edits discarded by opening the exercise's file again",
         [this](L& l) {
             Edit(l, {1}, Rows([](E& e, M& m) {
                      m.MarkRow(1);
                      e.DeleteEntry();
                  }));
             view.answers = {TSaveAnswer::No};
             view.openChoice = app / "LangFiles" / "f.lang";
             l.OpenLangFile();
             Edit(l, {1}, Rows([](E& e, M& m) {
                      m.MarkRow(3);
                      e.DeleteEntry();
                  }));
             l.SaveLangFile();
         },
         "1.2>-"},
        {"a new file saved over the exercise's file",
         [this](L& l) {
             l.NewLangFile();
             l.SetLangField(1, "Spanish");
             l.SetLangField(2, "Italian");
             view.lessonEditor = SavedAs({{1, {{"perro@cane", true}}}});
             l.NewLesson();
             view.lessonEditor = nullptr;
             SaveAs(l, "f");
         },
         "1.0>- 1.1>- 1.2>- 2.0>- 2.1>- 3.0>-"},
        {"a new lesson",
         [this](L& l) {
             view.lessonEditor = SavedAs({{4, {{"new@neu", true}}}});
             l.NewLesson();
             view.lessonEditor = nullptr;
             view.answers = {TSaveAnswer::Yes};
             EXPECT_TRUE(l.Ok());
         },
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path f = LangFile("f", {{1, 3}, {2, 2}, {3, 1}});
        LangFile("g", {{1, 2}});
        fs::remove(app / "LangFiles" / "other.lang");
        view.answers.clear();
        auto logic = Open("LangFiles/f.lang", {1});
        c.steps(*logic);
        EXPECT_EQ(Describe(*logic, f), c.expected);
    }
}

} // namespace
} // namespace lexaro
