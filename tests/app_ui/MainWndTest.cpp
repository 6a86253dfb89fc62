#include "AppFolderFixture.h"

#include "app/AppFolders.h"
#include "app/AppIniFile.h"
#include "app/AppLangHandl.h"
#include "app/MainWnd.h"
#include "app/MainWndLogic.h"
#include "app/QtText.h"
#include "app/T_MAboutDlg.h"
#include "data/FileUtil.h"
#include "data/StrUtil.h"
#include "speech/SpeechEngine.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace lexaro {
namespace {

using test::LessonPlan;
using testing::AppFolder;
using testing::MessageRecorder;

// Stands in for the exercise window: counts what the main window asks of it.
struct FakeExerciseWindow : IExerciseWindow {
    int shows = 0;
    int closes = 0;
    int textApplies = 0;
    bool visible = false;
    void ShowExercise() override {
        ++shows;
        visible = true;
    }
    bool IsExerciseVisible() const override { return visible; }
    void CloseExercise() override {
        ++closes;
        visible = false;
    }
    void ApplyTexts() override { ++textApplies; }
};

// Stands in for the exercise editor: runs a change on the settings and reports a kind.
struct FakeEditor : IExerciseEditor {
    std::function<void(TAppIniFile&)> change;
    TAppIniFile* settings = nullptr;
    int result = 1;
    TChangeKind kind = TChangeKind::Nothing;
    int exec() override {
        if (change)
            change(*settings);
        return result;
    }
    TChangeKind GetChangeKind() const override { return kind; }
    std::optional<TPairRenumbering> ExerciseFileRenumbering() const override { return renumbering; }
    std::optional<TPairRenumbering> renumbering;
};

// The texts the window should show, read from the same database.
class Texts {
public:
    Texts(const AppFolder& folder, const std::string& code) {
        EXPECT_TRUE(db_.OpenTextDb(folder.file("Text.Db"), "Lexaro", nullptr));
        EXPECT_TRUE(db_.SelectLanguage(code));
    }
    QString operator()(int n) const { return QtFromCp1252(db_.GetText(n)); }

private:
    TAppLangHandler db_;
};

class MainWndTest : public ::testing::Test {
protected:
    void SetUp() override { folder.copyTextDb(); }

    // Creates and shows the window with a fake exercise window and a scripted editor.
    std::unique_ptr<tMainWindow> start() {
        auto window = std::make_unique<tMainWindow>(folder.path(), speechFactory);
        window->SetExerciseWindowFactory([this](const TWindowContext&, QWidget*) {
            auto fake = std::make_unique<FakeExerciseWindow>();
            exerciseWindow = fake.get();
            return fake;
        });
        window->SetExerciseEditorFactory([this](const TWindowContext& context, QWidget*) {
            auto fake = std::make_unique<FakeEditor>();
            fake->settings = context.settings.get();
            fake->change = editorChange;
            fake->kind = editorKind;
            fake->result = editorResult;
            return fake;
        });
        if (!window->HasEnded())
            window->show();
        return window;
    }

    void activate(tMainWindow& window) {
        QEvent event(QEvent::WindowActivate);
        QApplication::sendEvent(&window, &event);
    }

    AppFolder folder;
    MessageRecorder recorder;
    SpeechEngineFactory speechFactory; // no speech unless a test gives one
    FakeExerciseWindow* exerciseWindow = nullptr;
    std::function<void(TAppIniFile&)> editorChange;
    TChangeKind editorKind = TChangeKind::Nothing;
    int editorResult = 1;
};

TEST_F(MainWndTest, FirstShowWithLanguageFileShowsFileLessonsAndPicture) {
    const auto lang = folder.writeLangFile("English-Deutsch", {{1, 5}, {2, 5}, {5, 5}});
    folder.writePicture("English-Deutsch.bmp", 0xff0000);
    folder.writeIni(lang, {1, 2, 5});
    auto window = start();
    ASSERT_FALSE(window->HasEnded());
    ASSERT_TRUE(window->isVisible());
    const Texts en(folder, "EN");

    EXPECT_EQ(window->windowTitle(), en(0) + " V2.02");
    EXPECT_EQ(window->panelLangFile->text(), "English - Deutsch");
    EXPECT_EQ(window->labelSelUnits->text(), en(46) + " : 1,2,5");
    EXPECT_EQ(window->rbtnFirstLang->text(), "English");
    EXPECT_EQ(window->rbtnSecondLang->text(), "Deutsch");
    EXPECT_TRUE(window->rbtnFirstLang->isChecked());
    EXPECT_TRUE(window->btnExerciseRun->isEnabled());
    EXPECT_TRUE(window->mExerciseRun->isEnabled());
    EXPECT_TRUE(window->cbNewLoad->isEnabled());
    EXPECT_EQ(window->cbNewLoad->text(), en(3));
    EXPECT_EQ(window->mExercise->title(), en(13));
    EXPECT_EQ(window->mHelpAbout->text(), en(137));
    EXPECT_TRUE(window->mAppEnglish->isChecked());
    // The picture beside the file, found whatever the case of its extension.
    EXPECT_EQ(window->LangPicture().toImage().pixelColor(2, 2), QColor(0xff0000));
    EXPECT_TRUE(recorder.messages.empty());
    // The client area below the menu keeps the form's size.
    EXPECT_EQ(window->centralWidget()->size(), QSize(688, 128));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
}

TEST_F(MainWndTest, FirstShowWithoutLanguageFileShowsPlaceholders) {
    folder.writeIni(folder.file("LangFiles/Missing.lang"), {1, 2});
    auto window = start();
    ASSERT_TRUE(window->isVisible());
    const Texts en(folder, "EN");

    EXPECT_FALSE(window->Logic().LangFileFound());
    EXPECT_EQ(window->panelLangFile->text(), en(133));
    EXPECT_EQ(window->labelSelUnits->text(), en(46) + en(47));
    EXPECT_EQ(window->rbtnFirstLang->text(), en(134));
    EXPECT_EQ(window->rbtnSecondLang->text(), en(134));
    EXPECT_FALSE(window->btnExerciseRun->isEnabled());
    EXPECT_FALSE(window->cbNewLoad->isEnabled());
    EXPECT_FALSE(window->cbResetPrio->isEnabled());
    EXPECT_FALSE(window->LangPicture().isNull());
    EXPECT_TRUE(recorder.messages.empty());

    // The placeholders follow the language.
    window->mAppGerman->trigger();
    const Texts de(folder, "DE");
    EXPECT_EQ(window->panelLangFile->text(), de(133));
    EXPECT_EQ(window->labelSelUnits->text(), de(46) + de(47));
}

TEST_F(MainWndTest, LessonLabel) {
    const auto lang = folder.writeLangFile("L", {{1, 2}, {2, 2}, {5, 2}, {12, 2}});
    const Texts en(folder, "EN");
    const std::vector<std::pair<std::vector<int>, QString>> cases = {
        {{1, 2, 5}, en(46) + " : 1,2,5"},
        {{12}, en(46) + " : 12"},
        {{5, 1}, en(46) + " : 5,1"},
        {{}, en(46) + en(47)},
    };
    for (const auto& [lessons, label] : cases) {
        folder.writeIni(lang, lessons);
        auto window = start();
        EXPECT_EQ(window->labelSelUnits->text(), label);
        // Without a chosen lesson there is nothing to start.
        EXPECT_EQ(window->btnExerciseRun->isEnabled(), !lessons.empty());
        window->close();
    }
}

// Two right-to-left language names under Unicode: the first language stands at the left of
// the panel, as in every file, each name read in its own direction.
TEST_F(MainWndTest, TheFirstLanguageStandsLeftWhenBothNamesRunRightToLeft) {
    const auto lang = folder.writeLangFile("L", {{1, 3}});
    folder.writeIni(lang, {1});
    std::string ini = folder.readIni();
    const std::string names = "Lang1=English\r\nLang2=Deutsch\r\n";
    ini.replace(ini.find(names), names.size(), "Lang1=العربية\r\nLang2=فارسی\r\n");
    std::ofstream(folder.file("Lexaro.Ini"), std::ios::binary) << ini << "CodePage=65001\r\n";
    auto window = start();
    EXPECT_EQ(window->rbtnFirstLang->text(), QString::fromUtf8("العربية"));
    EXPECT_EQ(window->panelLangFile->text(),
              QString::fromUtf8("\u200Eالعربية\u200E - \u200Eفارسی"));
    if (const QString shots = qEnvironmentVariable("LEXARO_SCREENSHOT_DIR"); !shots.isEmpty())
        window->grab().save(shots + "/main-window-arabic-persian.png");
}

TEST_F(MainWndTest, UnknownLanguageCodeKeepsTheFormsTexts) {
    const auto lang = folder.writeLangFile("L", {{1, 3}});
    folder.writeIni(lang, {1}, "FR");
    auto window = start();
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Lexaro V2.02");
    EXPECT_EQ(window->cbNewLoad->text(), "New Compose");
    EXPECT_EQ(window->cbResetPrio->text(), "Reset priority of Phrases");
    EXPECT_EQ(window->mExercise->title(), "&Exercise");
    EXPECT_EQ(window->mHelpAbout->text(), "&About");
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(MainWndTest, SwitchingToGermanAndBack) {
    const auto lang = folder.writeLangFile("L", {{1, 3}});
    folder.writeIni(lang, {1});
    auto window = start();
    const Texts en(folder, "EN");
    const Texts de(folder, "DE");
    ASSERT_NE(en(0), de(3));

    window->mAppGerman->trigger();
    EXPECT_EQ(window->windowTitle(), de(0) + " V2.02");
    EXPECT_EQ(window->cbNewLoad->text(), de(3));
    EXPECT_EQ(window->cbResetPrio->toolTip(), de(6));
    EXPECT_EQ(window->selectLangBox->title(), " " + de(1) + " ");
    EXPECT_EQ(window->mAppLanguage->title(), de(18));
    EXPECT_EQ(window->mHelpContents->text(), de(23));
    EXPECT_TRUE(window->mAppGerman->isChecked());
    EXPECT_FALSE(window->mAppEnglish->isChecked());
    EXPECT_EQ(window->Logic().UiLanguage(), "DE");
    EXPECT_EQ(window->Logic().Settings()->appTitle, Cp1252FromQtLossy(de(0) + " V2.02"));
    // The language file's names are data, not texts.
    EXPECT_EQ(window->panelLangFile->text(), "English - Deutsch");

    window->mAppEnglish->trigger();
    EXPECT_EQ(window->windowTitle(), en(0) + " V2.02");
    EXPECT_EQ(window->cbNewLoad->text(), en(3));
    EXPECT_TRUE(window->mAppEnglish->isChecked());
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(MainWndTest, AVisibleExerciseWindowReappliesItsTexts) {
    const auto lang = folder.writeLangFile("L", {{1, 3}});
    folder.writeIni(lang, {1});
    auto window = start();
    window->ExerciseRun();
    ASSERT_NE(exerciseWindow, nullptr);
    window->mAppGerman->trigger();
    EXPECT_EQ(exerciseWindow->textApplies, 1);
    exerciseWindow->visible = false;
    window->mAppEnglish->trigger();
    EXPECT_EQ(exerciseWindow->textApplies, 1);
}

TEST_F(MainWndTest, NewComposeChecksAndLocksResetPriority) {
    const auto lang = folder.writeLangFile("L", {{1, 3}});
    folder.writeIni(lang, {1});
    auto window = start();
    ASSERT_TRUE(window->cbNewLoad->isEnabled());
    ASSERT_FALSE(window->cbResetPrio->isChecked());

    QTest::mouseClick(window->cbNewLoad, Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_TRUE(window->cbNewLoad->isChecked());
    EXPECT_TRUE(window->cbResetPrio->isChecked());
    EXPECT_FALSE(window->cbResetPrio->isEnabled());

    QTest::mouseClick(window->cbNewLoad, Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_FALSE(window->cbNewLoad->isChecked());
    EXPECT_TRUE(window->cbResetPrio->isChecked());
    EXPECT_TRUE(window->cbResetPrio->isEnabled());

    // The next activation enables it whenever New Compose is enabled, even while checked.
    QTest::mouseClick(window->cbNewLoad, Qt::LeftButton, {}, QPoint(6, 8));
    ASSERT_FALSE(window->cbResetPrio->isEnabled());
    activate(*window);
    EXPECT_TRUE(window->cbResetPrio->isEnabled());
}

TEST_F(MainWndTest, PresentedLanguageFollowsTheRadioButtons) {
    const auto lang = folder.writeLangFile("L", {{1, 3}});
    folder.writeIni(lang, {1});
    auto window = start();
    // Click the indicator: the buttons are wider than their texts.
    const QPoint indicator(6, window->rbtnFirstLang->height() / 2);
    QTest::mouseClick(window->rbtnSecondLang, Qt::LeftButton, {}, indicator);
    EXPECT_FALSE(window->Logic().Settings()->exercise.FirstLang);
    EXPECT_FALSE(window->Logic().FirstLanguage());
    QTest::mouseClick(window->rbtnFirstLang, Qt::LeftButton, {}, indicator);
    EXPECT_TRUE(window->Logic().Settings()->exercise.FirstLang);
}

TEST_F(MainWndTest, MaximumChangeTrimsThenRefills) {
    std::vector<std::string> entries;
    std::vector<std::pair<int, int>> drawn;
    for (int id = 0; id < 120; ++id) {
        entries.push_back("1-" + std::to_string(id) + "-0");
        drawn.emplace_back(1, id);
    }
    const auto lang = folder.writeLangFile("L", {{1, 200}}, drawn);
    folder.writeIni(lang, {1}, "EN", 300, entries);
    auto window = start();
    const ArrayWordData before = window->Logic().Settings()->exercise.ExerciseWords;
    ASSERT_EQ(before.size(), 120u);

    editorKind = TChangeKind::MaxWords;
    editorChange = [](TAppIniFile& s) { s.exercise.MaxWords = 50; };
    window->EditExercise();
    const ArrayWordData& list = window->Logic().Settings()->exercise.ExerciseWords;
    ASSERT_EQ(list.size(), 50u);
    EXPECT_TRUE(std::equal(list.begin(), list.end(), before.begin()));

    // Raising it tops the list up with pairs not drawn yet.
    editorChange = [](TAppIniFile& s) { s.exercise.MaxWords = 150; };
    window->EditExercise();
    ASSERT_GT(list.size(), 50u);
    EXPECT_LE(list.size(), 150u);
    std::set<int> ids;
    for (std::size_t i = 0; i < list.size(); ++i) {
        ids.insert(list[i].pairId);
        if (i >= 50) {
            EXPECT_GE(list[i].pairId, 120) << "entry " << i << " was drawn before";
        }
    }
    EXPECT_EQ(ids.size(), list.size());
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(MainWndTest, EditorCompositionIsShownOnceWithoutComposingAgain) {
    const auto lang = folder.writeLangFile("L", {{1, 60}, {2, 60}});
    folder.writeIni(lang, {1});
    auto window = start();

    editorKind = TChangeKind::Lessons;
    editorChange = [](TAppIniFile& s) { s.exercise.AvailableUnits = {1, 2}; };
    window->EditExercise();
    EXPECT_TRUE(window->Logic().ComposedByEditor());
    const ArrayWordData composed = window->Logic().Settings()->exercise.ExerciseWords;
    ASSERT_EQ(composed.size(), 120u);
    EXPECT_EQ(window->labelSelUnits->text(), Texts(folder, "EN")(46) + " : 1,2");

    // Even New Compose does not compose under the editor's list.
    QTest::mouseClick(window->cbNewLoad, Qt::LeftButton, {}, QPoint(6, 8));
    window->ExerciseRun();
    ASSERT_NE(exerciseWindow, nullptr);
    EXPECT_EQ(exerciseWindow->shows, 1);
    EXPECT_EQ(window->Logic().Settings()->exercise.ExerciseWords, composed);
    EXPECT_FALSE(window->Logic().ComposedByEditor());
    // While the exercise runs, editing is closed.
    EXPECT_FALSE(window->btnEditExercise->isEnabled());

    // A start while the exercise window is visible only brings it to the front.
    window->ExerciseRun();
    EXPECT_EQ(exerciseWindow->shows, 2);
    EXPECT_EQ(window->Logic().Settings()->exercise.ExerciseWords, composed);

    // Once closed, the next start composes anew (New Compose is checked).
    exerciseWindow->visible = false;
    window->ExerciseRun();
    EXPECT_EQ(exerciseWindow->shows, 3);
    EXPECT_EQ(window->Logic().Settings()->exercise.ExerciseWords.size(), 120u);
    EXPECT_NE(window->Logic().Settings()->exercise.ExerciseWords, composed);
}

TEST_F(MainWndTest, NothingToExerciseShowsTheMessageAndNoWindow) {
    const auto lang = folder.writeLangFile("L", {{1, 4, false}});
    folder.writeIni(lang, {1});
    auto window = start();
    ASSERT_TRUE(window->btnExerciseRun->isEnabled());
    QTest::mouseClick(window->btnExerciseRun, Qt::LeftButton);
    const Texts en(folder, "EN");
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].caption, en(0));
    EXPECT_EQ(recorder.messages[0].text, en(112));
    EXPECT_TRUE(recorder.messages[0].beep);
    EXPECT_EQ(exerciseWindow, nullptr);
}

TEST_F(MainWndTest, ErrorsInAnActionAreShownAndTheWindowStays) {
    const auto lang = folder.writeLangFile("L", {{1, 4}});
    folder.writeIni(lang, {1});
    auto window = start();
    editorChange = [](TAppIniFile&) { throw TConvertError("x1"); };
    window->EditExercise();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "'x1' is not a valid integer value");
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWndTest, CloseWritesEverySectionAndClosesTheExerciseFirst) {
    const auto lang = folder.writeLangFile("L", {{1, 10}});
    // A settings file with only the exercise part: the close adds every other section.
    folder.writeIni(lang, {1});
    auto window = start();
    window->ExerciseRun();
    ASSERT_NE(exerciseWindow, nullptr);
    window->mAppGerman->trigger();
    ASSERT_TRUE(window->close());
    EXPECT_EQ(exerciseWindow->closes, 1);

    const std::string ini = folder.readIni();
    for (const char* section :
         {"[GeneralProperty]", "[FontProperty]", "[VoiceProperty]", "[Exercise]",
          "[AvailableUnits]", "[ExerciseWords]", "[Application]"})
        EXPECT_NE(ini.find(section), std::string::npos) << section;
    EXPECT_NE(ini.find("Language=DE"), std::string::npos);
    EXPECT_NE(ini.find("NbrWords=10"), std::string::npos);
    EXPECT_TRUE(recorder.messages.empty());

    // The next start reads it back.
    auto second = start();
    EXPECT_EQ(second->Logic().UiLanguage(), "DE");
    EXPECT_EQ(second->windowTitle(), Texts(folder, "DE")(0) + " V2.02");
    EXPECT_EQ(second->Logic().Settings()->exercise.ExerciseWords.size(), 10u);
}

TEST_F(MainWndTest, AFailedSettingsWriteIsReportedAndTheWindowCloses) {
    const auto lang = folder.writeLangFile("L", {{1, 3}});
    folder.writeIni(lang, {1});
    auto window = start();
    // The settings file cannot be replaced any more.
    ASSERT_TRUE(QFile::remove(QString::fromStdString(folder.file("Lexaro.Ini"))));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder.file("Lexaro.Ini"))));
    window->mAppGerman->trigger();
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_FALSE(recorder.messages[0].text.isEmpty());
}

TEST_F(MainWndTest, MissingTextDbEndsTheProgramAfterItsMessage) {
    const auto lang = folder.writeLangFile("L", {{1, 3}});
    folder.writeIni(lang, {1});
    QFile::remove(QString::fromStdString(folder.file("Text.Db")));
    const std::string iniBefore = folder.readIni();
    auto window = start();
    EXPECT_TRUE(window->HasEnded());
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].caption, "Lexaro");
    EXPECT_EQ(recorder.messages[0].text, QtFromCp1252(MissingFileText(folder.file("Text.Db"))));
    // Nothing changed, so nothing is written.
    window->close();
    EXPECT_EQ(folder.readIni(), iniBefore);
}

TEST_F(MainWndTest, MissingSettingsFileEndsBeforeTheWindowShows) {
    auto window = start();
    EXPECT_TRUE(window->HasEnded());
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].caption, "Lexaro V2.02");
    EXPECT_EQ(recorder.messages[0].text, QtFromCp1252(MissingFileText(folder.file("Lexaro.Ini"))));
    window->show();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWndTest, LanguageMissingFromTheDatabase) {
    folder.writeTextDb({{"EN", {{0, "Lexaro"}, {3, "New Compose"}}}});
    const auto lang = folder.writeLangFile("L", {{1, 3}});

    // At the first show the program ends.
    folder.writeIni(lang, {1}, "DE");
    auto first = start();
    EXPECT_TRUE(first->HasEnded());
    EXPECT_FALSE(first->isVisible());
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Language not found");

    // Later the previous language stays.
    recorder.messages.clear();
    folder.writeIni(lang, {1}, "EN");
    auto second = start();
    ASSERT_TRUE(second->isVisible());
    second->mAppGerman->trigger();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Language not found");
    EXPECT_EQ(recorder.messages[0].caption, "Lexaro V2.02");
    EXPECT_TRUE(second->mAppEnglish->isChecked());
    EXPECT_FALSE(second->mAppGerman->isChecked());
    EXPECT_EQ(second->Logic().UiLanguage(), "EN");
    EXPECT_EQ(second->windowTitle(), "Lexaro V2.02");
}

TEST_F(MainWndTest, PictureKeepsItsContentWhenTheNewFileHasNone) {
    const auto first = folder.writeLangFile("First", {{1, 3}});
    folder.writePicture("First.Bmp", 0x00ff00);
    const auto second = folder.writeLangFile("Second", {{1, 3}});
    // A picture whose stem differs only in case is not the file's picture.
    folder.writePicture("second.Bmp", 0x0000ff);
    folder.writeIni(first, {1});
    auto window = start();
    ASSERT_EQ(window->LangPicture().toImage().pixelColor(2, 2), QColor(0x00ff00));

    editorKind = TChangeKind::LangFile;
    editorChange = [&](TAppIniFile& s) { s.exercise.LangFileName = second; };
    window->EditExercise();
    EXPECT_EQ(window->LangPicture().toImage().pixelColor(2, 2), QColor(0x00ff00));
}

// A progress window that counts what the main window asks of it.
class FakeProgressWindow : public IProgressWindow {
public:
    void ShowProgress() override {
        ++shows;
        visible = true;
    }
    bool IsProgressVisible() const override { return visible; }
    void ApplyTexts() override { ++textApplies; }
    int shows = 0;
    int textApplies = 0;
    bool visible = false;
};

TEST_F(MainWndTest, ProgressOpensAFreshWindowFromTheMenuAndTheButton) {
    const auto lang = folder.writeLangFile("L", {{1, 3}});
    folder.writeIni(lang, {1});
    auto window = start();
    int made = 0;
    FakeProgressWindow* last = nullptr;
    std::string named;
    window->SetProgressWindowFactory([&](const TWindowContext& context, QWidget* owner) {
        EXPECT_EQ(owner, window.get());
        named = context.settings->exercise.LangFileName;
        ++made;
        auto fake = std::make_unique<FakeProgressWindow>();
        last = fake.get();
        return fake;
    });
    ASSERT_TRUE(window->btnProgress->isEnabled());
    ASSERT_TRUE(window->mExerciseProgress->isEnabled());
    EXPECT_EQ(window->mExerciseProgress->text(), "&Progress...");
    EXPECT_FALSE(window->btnProgress->toolTip().isEmpty());
    window->mExerciseProgress->trigger();
    ASSERT_EQ(made, 1);
    EXPECT_EQ(last->shows, 1);
    EXPECT_EQ(named, window->Logic().Settings()->exercise.LangFileName);
    // The language follows while it is open.
    window->mAppGerman->trigger();
    EXPECT_EQ(last->textApplies, 1);
    EXPECT_EQ(window->mExerciseProgress->text(), "&Fortschritt...");
    // Each opening shows the figures of then: a new window.
    QTest::mouseClick(window->btnProgress, Qt::LeftButton);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(window->ProgressWindow(), last);
    EXPECT_EQ(last->shows, 1);
}

TEST_F(MainWndTest, WindowsWithoutAFactoryStayClosed) {
    const auto lang = folder.writeLangFile("L", {{1, 3}});
    folder.writeIni(lang, {1});
    tMainWindow window(folder.path(), nullptr);
    window.show();
    EXPECT_FALSE(window.btnExerciseRun->isEnabled());
    EXPECT_FALSE(window.btnEditExercise->isEnabled());
    EXPECT_FALSE(window.btnGeneralProperty->isEnabled());
    EXPECT_FALSE(window.mExerciseGenSettings->isEnabled());
    EXPECT_FALSE(window.btnProgress->isEnabled());
    EXPECT_FALSE(window.mExerciseProgress->isEnabled());
    window.ShowProgress();
    EXPECT_EQ(window.ProgressWindow(), nullptr);
    window.ExerciseRun();
    EXPECT_TRUE(window.Logic().Settings()->exercise.ExerciseWords.empty());
    // Help and About need no factory.
    EXPECT_TRUE(window.btnHelp->isEnabled());
}

TEST_F(MainWndTest, EnterPressesTheFocusedButton) {
    const auto lang = folder.writeLangFile("L", {{1, 3}});
    folder.writeIni(lang, {1});
    auto window = start();
    window->btnExerciseRun->setFocus();
    QTest::keyClick(window->btnExerciseRun, Qt::Key_Return);
    ASSERT_NE(exerciseWindow, nullptr);
    EXPECT_EQ(exerciseWindow->shows, 1);
}

TEST_F(MainWndTest, SpeechEngineMadeAtCreationOpenedAtEachActivation) {
    const auto lang = folder.writeLangFile("L", {{1, 3}});
    folder.writeIni(lang, {1});
    int opens = 0;
    std::string madeFor;
    speechFactory = [&](const std::filesystem::path& appFolder) {
        madeFor = appFolder.string();
        // A control that cannot be made: every Open tries again and fails.
        return std::make_unique<TSpeechEngine>(
            [&opens]() -> std::unique_ptr<TDirectSS> {
                ++opens;
                return nullptr;
            },
            true, nullptr);
    };
    auto window = start();
    EXPECT_EQ(madeFor, folder.path());
    ASSERT_NE(window->Logic().Speech(), nullptr);
    activate(*window);
    activate(*window);
    EXPECT_EQ(opens, 2);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    window->close();
    EXPECT_EQ(window->Logic().Speech(), nullptr);
}

// The registry store (voices, sample sentences) is read-only data: the speech reads it where
// the program's data is installed, never from a copy in the learner's folder, so that an
// upgrade's voices arrive.
TEST_F(MainWndTest, TheSpeechReadsTheRegistryStoreFromTheInstalledData) {
    const auto lang = folder.writeLangFile("L", {{1, 3}});
    folder.writeIni(lang, {1});
    QTemporaryDir share;
    ASSERT_TRUE(QFile::copy(QString::fromStdString(LEXARO_TEXTDB_FILE), share.filePath("Text.Db")));
    TAppFolders folders = TAppFolders::Portable(folder.path());
    folders.form = TAppForm::Installed;
    folders.resources = PathFromQt(share.path());
    std::filesystem::path madeFor;
    const tMainWindow window(folders, [&](const std::filesystem::path& resourceFolder) {
        madeFor = resourceFolder;
        return std::unique_ptr<TSpeechEngine>();
    });
    ASSERT_FALSE(window.HasEnded());
    EXPECT_EQ(madeFor, folders.resources);
}

TEST_F(MainWndTest, AboutOpensANewModalBoxEachTime) {
    const auto lang = folder.writeLangFile("L", {{1, 3}});
    folder.writeIni(lang, {1});
    auto window = start();
    std::vector<TMAboutDlg*> seen;
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, [&seen] {
            auto* box = qobject_cast<TMAboutDlg*>(QApplication::activeModalWidget());
            seen.push_back(box);
            if (box != nullptr) {
                EXPECT_EQ(box->labelApplTitel->text(), "Lexaro V2.02");
                EXPECT_EQ(box->windowTitle(), "About Lexaro");
                EXPECT_EQ(box->labelVersion->text(), "Version 2.02");
                // The main window's folders: the test's portable application folder.
                EXPECT_TRUE(box->labelForm->text().startsWith("Portable"));
                EXPECT_TRUE(box->labelLibraries->text().startsWith(
                    QStringLiteral("Libraries used: Qt ") + qVersion()));
                box->accept();
            }
        });
        window->mHelpAbout->trigger();
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_NE(seen[0], nullptr);
    EXPECT_NE(seen[1], nullptr);
    // Each request gets its own box, released after use.
    EXPECT_TRUE(window->findChildren<TMAboutDlg*>().isEmpty());
}

TEST_F(MainWndTest, MenuSeparatorsAndOrder) {
    const auto lang = folder.writeLangFile("L", {{1, 3}});
    folder.writeIni(lang, {1});
    auto window = start();
    const auto exercise = window->mExercise->actions();
    ASSERT_EQ(exercise.size(), 6);
    EXPECT_EQ(exercise[0], window->mExerciseRun);
    EXPECT_EQ(exercise[3], window->mExerciseProgress);
    EXPECT_TRUE(exercise[4]->isSeparator());
    EXPECT_EQ(exercise[5], window->mExerciseExit);
    const auto help = window->mHelp->actions();
    ASSERT_EQ(help.size(), 4);
    EXPECT_TRUE(help[2]->isSeparator());
    EXPECT_EQ(help[3], window->mHelpAbout);
    EXPECT_TRUE(window->mAppEnglish->isCheckable());
}

} // namespace
} // namespace lexaro
