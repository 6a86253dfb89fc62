// The whole program as a learner uses it: the real windows, joined as the program joins them,
// on a real display (Xvfb) with speech into a PulseAudio null sink, each scenario in a fresh
// copy of the bundled application folder whose path has umlauts and blanks. The learner's
// clicks and keys go to the running widgets. run_learner_end_to_end.sh starts it.
//   1. First start: the settings get short delays, the exercise editor a maximum of 4; START
//      runs the starter file automatically, the cards are heard, one pair gets "not more
//      use"; a second start has the exercise list without that pair, whose marks are cleared
//      in the file.
//   2. A new language file: New, English and Deutsch, a lesson of five pairs typed in the
//      lesson editor, Save as under the proposed name, the lesson ticked, OK; START shows
//      those pairs, and lexaro-lang checks the file.
//   3. Settings: German, manual mode, another card font and colour; the second start shows
//      them all, the card in that font and colour.
//   4. Edits survive the exercise: lesson 3 unticked (OK, the editor composes), then a pair of
//      lesson 3 edited in the lesson editor; Escape there and in the exercise editor asks
//      Save / Discard / Cancel, and Enter saves; START, "not more use" on the first card, the
//      exercise closed: the file on disk has the edit and the cleared marks.
//   5. Other scripts: Cyrillic (1251), Central European (1250), Greek (1253) and Unicode
//      (65001: Japanese, Arabic, Hindi, a mark typed after its letter) chosen in the settings,
//      each time a new file with names and pairs typed in Unicode, saved under the proposed
//      Latin folder name; the card shows the phrases, the file holds them in its code page,
//      and lexaro-lang reads them back.
//   6. Write mode: chosen in the settings, three cards typed right, wrong and not at all; the
//      verdicts under the card and in the table at the end, the priorities 1, 0, 0 in
//      Lexaro.Ini after the program ends and in the practice journal with the verdicts, the
//      language file's marks untouched; then the right and the wrong verdict once more in
//      German.
//   7. Progress: the starter file after a few runs (some pairs drawn, held back, retired),
//      then two runs on two days (the journal's clock set to yesterday for the first): three
//      cards in manual mode, two typed in Write mode (one right); Exercise > Progress shows
//      both days' cards and the lessons' bars, in English and in German.
// Screenshots go to $LEXARO_SHOTS.

#include "ModalDriver.h"
#include "app/AppIniFile.h"
#include "app/AppLangHandl.h"
#include "app/MainWnd.h"
#include "app/MainWndLogic.h"
#include "app/QtText.h"
#include "controls/PropertyDlg.h"
#include "controls/T_FontTabSheet.h"
#include "controls/T_MComboBox.h"
#include "data/LangFHandler.h"
#include "editing/EditExercise.h"
#include "editing/EditLesson.h"
#include "editing/T_MTable.h"
#include "exercise/ExerciseData.h"
#include "exercise_window/ExerciseWnd.h"
#include "exercise_window/QtCardCanvas.h"
#include "program/Program.h"
#include "progress/Journal.h"
#include "progress/JournalReader.h"
#include "progress_window/ProgressWnd.h"

#include <QAction>
#include <QBarSet>
#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QStackedBarSeries>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>

#ifndef _WIN32
#include <csignal>
#endif

namespace lexaro {
namespace {

namespace fs = std::filesystem;
using testing::WaitFor;
using testing::WhenModalOpens;

// The milliseconds an automatic run may take at most at most to pass on its own with 1 s delays,
// speech included.
constexpr int kRunMs = 120000;

QString ShotsFolder() {
    const QString dir = qEnvironmentVariable("LEXARO_SHOTS");
    return dir.isEmpty() ? QDir::tempPath() : dir;
}

// The whole screen, as the learner sees it.
void Shot(const QString& name) {
    QApplication::processEvents();
    QDir().mkpath(ShotsFolder());
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    EXPECT_TRUE(screen.save(ShotsFolder() + "/" + name + ".png")) << name.toStdString();
}

// Types text as key presses, umlauts included.
void Type(QWidget* into, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::KeyAction::Click, into, Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
}

// Without a window manager the program's windows become active only when asked to.
void Activate(QWidget* window) {
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window)) << window->objectName().toStdString();
}

// A fresh copy of the bundled folder, with the preset settings of a first start.
class AppCopy {
public:
    AppCopy() {
        EXPECT_TRUE(dir_.isValid());
        app_ = PathFromQt(dir_.path()) / u8"Übungen für Jürgen" / "Lexaro";
        fs::create_directories(app_.parent_path());
        fs::copy(LEXARO_APP_DIR, app_, fs::copy_options::recursive);
        // The preset as the build writes it (with CR LF), whatever an earlier run left.
        std::ifstream preset(fs::path(LEXARO_RESOURCES_DIR) / "Lexaro.Ini.in", std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(preset)), {});
        std::string crlf;
        for (const char c : text) {
            if (c == '\n' && (crlf.empty() || crlf.back() != '\r'))
                crlf += '\r';
            crlf += c;
        }
        std::ofstream(app_ / "Lexaro.Ini", std::ios::binary) << crlf;
    }
    const fs::path& path() const { return app_; }

private:
    QTemporaryDir dir_;
    fs::path app_;
};

class LearnerScenario : public ::testing::Test {
protected:
    // The program as main.cpp starts it, on the copy.
    std::unique_ptr<tMainWindow> Start() {
        auto window = MakeProgramWindow(copy.path());
        EXPECT_FALSE(window->HasEnded());
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        Activate(window.get());
        // The speech engine starts when the window first becomes active.
        WaitFor([] { return false; }, 300);
        return window;
    }
    static TExerciseDlg* ExerciseOf(tMainWindow& window) {
        return dynamic_cast<TExerciseDlg*>(window.ExerciseWindow());
    }
    static TExerciseData& Exercise(tMainWindow& window) {
        return window.Logic().Settings()->exercise;
    }
    // Closes the program as the learner does: Exercise > Exit.
    static void Exit(std::unique_ptr<tMainWindow>& window) {
        window->mExerciseExit->trigger();
        QApplication::processEvents();
        EXPECT_FALSE(window->isVisible());
        window.reset();
    }
    static void Click(QAbstractButton* button) {
        ASSERT_TRUE(button->isEnabled()) << button->objectName().toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // Answers the question at the end of an exercise with No.
    static void AnswerNoAtTheEnd(QWidget* above) {
        WhenModalOpens(
            above,
            [](QWidget* modal) {
                Shot("question-at-the-end");
                auto* box = qobject_cast<QMessageBox*>(modal);
                ASSERT_NE(box, nullptr);
                QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
            },
            kRunMs);
    }
    std::string Text(tMainWindow& window, int n) { return window.Logic().Text(n); }
    // The starter file replaced by one lesson of pairs in English and another language, as
    // the learner made it before this start; texts in UTF-8.
    void WriteStarterFile(const char* lang2,
                          const std::vector<std::pair<std::string, std::string>>& pairs) {
        TLangFHandler file;
        file.SetLanguageNames("English", lang2);
        auto lesson = std::make_shared<TLesson>();
        lesson->number = 1;
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            auto pair = lesson->NewPair(static_cast<std::int64_t>(i));
            pair->text1 = pairs[i].first;
            pair->text2 = pairs[i].second;
            pair->use = true;
        }
        file.PutLesson(lesson);
        ASSERT_TRUE(file.Save(copy.path() / "LangFiles" / "English-Deutsch.lang").ok());
    }
    // The code page the program starts with, as the learner chose it in the settings before.
    void StartWithCodePage(int number) {
        const fs::path ini = copy.path() / "Lexaro.Ini";
        std::ifstream in(ini, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), {});
        in.close();
        const std::string section = "[Application]\r\n";
        const std::size_t at = text.find(section);
        ASSERT_NE(at, std::string::npos);
        text.insert(at + section.size(), "CodePage=" + std::to_string(number) + "\r\n");
        std::ofstream(ini, std::ios::binary) << text;
    }
    // The maximum number of phrases typed into the exercise editor, then Save.
    static void SetMaximumInTheEditor(tMainWindow& window, const char* maximum) {
        WhenModalOpens(&window, [maximum](QWidget* modal) {
            auto* editor = qobject_cast<TEditExerciseDlg*>(modal);
            ASSERT_NE(editor, nullptr);
            Activate(editor);
            editor->editMaxWords->setFocus();
            editor->editMaxWords->selectAll();
            QTest::keyClicks(editor->editMaxWords, maximum);
            QTest::mouseClick(editor->btnSave, Qt::LeftButton);
        });
        Click(window.btnEditExercise);
    }

    AppCopy copy;
};

// The root mean square of a 16-bit mono recording, 0..1.
double Loudness(const fs::path& wav) {
    std::ifstream in(wav, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    const std::size_t data = bytes.find("data");
    if (data == std::string::npos)
        return 0;
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = data + 8; i + 1 < bytes.size(); i += 2) {
        const auto sample = static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                                      static_cast<std::uint8_t>(bytes[i + 1]) << 8);
        sum += double(sample) * double(sample);
        ++n;
    }
    return n == 0 ? 0 : std::sqrt(sum / double(n)) / 32768.0;
}

TEST_F(LearnerScenario, FirstStartRunsTheStarterFileAutomaticallyAndKeepsTheListWithoutAPair) {
    auto window = Start();
    Shot("1-first-start");
    ASSERT_TRUE(window->btnExerciseRun->isEnabled());

    // Short delays in the settings dialog.
    WhenModalOpens(window.get(), [](QWidget* modal) {
        auto* settings = qobject_cast<TDlgProperty*>(modal);
        ASSERT_NE(settings, nullptr);
        Activate(settings);
        QTest::mouseClick(settings->rbAutoPresent, Qt::LeftButton);
        settings->trbDelayPresent->setValue(1);
        settings->trbDelayAnswer->setValue(1);
        Shot("1-settings-short-delays");
        QTest::mouseClick(settings->btnSave, Qt::LeftButton);
    });
    Click(window->btnGeneralProperty);
    EXPECT_EQ(window->Logic().Settings()->general.DelayPresent, 1);

    // Four pairs per exercise, in the exercise editor.
    WhenModalOpens(window.get(), [](QWidget* modal) {
        auto* editor = qobject_cast<TEditExerciseDlg*>(modal);
        ASSERT_NE(editor, nullptr);
        Activate(editor);
        EXPECT_EQ(editor->lessonList->count(), 3);
        editor->editMaxWords->setFocus();
        editor->editMaxWords->selectAll();
        QTest::keyClicks(editor->editMaxWords, "4");
        Shot("1-editor-maximum");
        QTest::mouseClick(editor->btnSave, Qt::LeftButton);
    });
    Click(window->btnEditExercise);
    ASSERT_EQ(Exercise(*window).MaxWords, 4);

    Click(window->btnExerciseRun);
    TExerciseDlg* ex = ExerciseOf(*window);
    ASSERT_NE(ex, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ex));
    const ArrayWordData before = Exercise(*window).ExerciseWords;
    ASSERT_EQ(before.size(), 4u);
    ASSERT_TRUE(ex->Run().Automatic());

    // Heard: the null sink's monitor is recorded while the cards pass.
    const fs::path heard = fs::path(ShotsFolder().toStdString()) / "1-heard.wav";
    QProcess recorder;
    recorder.start("parecord",
                   {"--device=lexaro_null.monitor", "--file-format=wav", "--format=s16le",
                    "--channels=1", "--rate=22050", QtFromPath(heard)});
    ASSERT_TRUE(recorder.waitForStarted(5000)) << "parecord did not start";
    WaitFor([] { return false; }, 500);

    AnswerNoAtTheEnd(ex);
    Click(ex->btnRun);
    ASSERT_TRUE(WaitFor([&] { return !ex->Run().PresentedText().empty(); }, kRunMs));
    const int given = ex->Run().CurrentIndex();
    ASSERT_GE(given, 0);
    QTest::keyClick(ex, Qt::Key_9);
    Shot("1-not-more-use");
    // The run ends with the question answered No: the window then shows the table of the
    // exercise (the preset's ShowTable) and stays open.
    int seen = 1;
    const auto over = [&] {
        return !ex->isVisible() || ex->Run().RunState() == TRunState::Finished;
    };
    for (int last = given; !over();) {
        if (!WaitFor([&] { return over() || ex->Run().CurrentIndex() != last; }, kRunMs))
            break;
        if (!over() && ex->Run().CurrentIndex() != last) {
            last = ex->Run().CurrentIndex();
            ++seen;
            Shot(QString("1-card-%1").arg(seen));
        }
    }
    ASSERT_TRUE(over()) << "the run did not end on its own";
    EXPECT_TRUE(WaitFor([&] { return ex->Run().TableVisible(); }));
    Shot("1-table-at-the-end");
    EXPECT_GE(seen, 3) << "several cards passed on their own";
#ifndef _WIN32
    ::kill(static_cast<pid_t>(recorder.processId()), SIGINT);
#endif
    recorder.waitForFinished(5000);
    const double loudness = Loudness(heard);
    EXPECT_GT(loudness, 0.002) << "the run was silent";
    std::printf("scenario 1: %d cards passed, recording RMS %.4f\n", seen, loudness);
    Exit(window);

    // The second start: the list carried over, without the pair given "not more use".
    window = Start();
    Shot("1-second-start");
    const ArrayWordData after = Exercise(*window).ExerciseWords;
    const ExerciseEntry gone = before[static_cast<std::size_t>(given)];
    ASSERT_EQ(after.size(), 3u);
    for (const ExerciseEntry& entry : after)
        EXPECT_FALSE(entry.lesson == gone.lesson && entry.pairId == gone.pairId);
    TLangFHandler lang;
    ASSERT_TRUE(lang.Load(window->Logic().Settings()->LangFilePath()));
    const auto pair = lang.LessonAt(gone.lesson)->PairAt(gone.pairId);
    ASSERT_TRUE(pair);
    EXPECT_FALSE(pair->use);
    EXPECT_FALSE(pair->drawn);
    for (const ExerciseEntry& entry : after)
        EXPECT_TRUE(lang.LessonAt(entry.lesson)->PairAt(entry.pairId)->drawn);
    Exit(window);
}

// The lesson editor's grid: a click on a cell of the marked row opens its editor.
void TypePair(TeditLessonDlg& lessons, const QString& text1, const QString& text2) {
    TMBaseTable* grid = lessons.Table()->GetGrid();
    for (int col = 1; col <= 2; ++col) {
        QRect cell;
        ASSERT_TRUE(grid->CellRect(col, 1, cell));
        auto* editor =
            grid->viewport()->findChild<QLineEdit*>(QStringLiteral("cellEditor%1").arg(col));
        ASSERT_NE(editor, nullptr);
        for (int clicks = 0; clicks < 2 && !editor->isVisible(); ++clicks)
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        ASSERT_TRUE(editor->isVisible()) << col;
        Type(editor, col == 1 ? text1 : text2);
        QTest::keyClick(editor, Qt::Key_Return);
    }
}

// New in the exercise editor: the names typed over those of the file before, a lesson of the
// pairs typed in the lesson editor, Save as under the proposed name, the lesson ticked, OK.
// Returns the path saved to; the screenshots' names start with shots.
QString NewFileInTheEditors(tMainWindow& window, const QString& lang1, const QString& lang2,
                            const std::vector<std::pair<QString, QString>>& pairs,
                            const QString& proposed, const QString& shots) {
    QString saved;
    const QString count = QString::number(pairs.size());
    WhenModalOpens(&window, [&](QWidget* modal) {
        auto* editor = qobject_cast<TEditExerciseDlg*>(modal);
        ASSERT_NE(editor, nullptr);
        Activate(editor);
        QTest::mouseClick(editor->btnNewLangFile, Qt::LeftButton);
        ASSERT_TRUE(WaitFor([&] { return editor->editLang1->hasFocus(); }))
            << "focus on "
            << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                            : QString("nothing"))
                   .toStdString()
            << ", active window "
            << (QApplication::activeWindow() ? QApplication::activeWindow()->objectName()
                                             : QString("none"))
                   .toStdString();
        // New keeps the names of the file before; the learner types over them.
        QTest::keyClick(editor->editLang1, Qt::Key_A, Qt::ControlModifier);
        Type(editor->editLang1, lang1);
        QTest::keyClick(editor->editLang1, Qt::Key_Tab);
        ASSERT_TRUE(editor->editLang2->hasFocus());
        QTest::keyClick(editor->editLang2, Qt::Key_A, Qt::ControlModifier);
        Type(editor->editLang2, lang2);
        QTest::keyClick(editor->editLang2, Qt::Key_Tab);
        EXPECT_TRUE(WaitFor([&] { return editor->editFileName->text() == proposed; }))
            << editor->editFileName->text().toStdString();

        WhenModalOpens(editor, [&](QWidget* inner) {
            auto* lessons = qobject_cast<TeditLessonDlg*>(inner);
            ASSERT_NE(lessons, nullptr);
            Activate(lessons);
            for (std::size_t i = 0; i < pairs.size(); ++i) {
                if (i > 0)
                    QTest::mouseClick(lessons->btnAddEntry, Qt::LeftButton);
                TypePair(*lessons, pairs[i].first, pairs[i].second);
            }
            EXPECT_EQ(lessons->labelEntryValue->text(), " : " + count);
            Shot(shots + "-lesson-editor");
            QTest::mouseClick(lessons->btnSafe, Qt::LeftButton);
        });
        QTest::mouseClick(editor->btnNewLesson, Qt::LeftButton);
        ASSERT_EQ(editor->lessonList->count(), 1);
        Activate(editor);

        WhenModalOpens(editor, [&](QWidget* inner) {
            auto* files = qobject_cast<QFileDialog*>(inner);
            ASSERT_NE(files, nullptr);
            auto* name = files->findChild<QLineEdit*>("fileNameEdit");
            saved = files->directory().absoluteFilePath(name->text());
            Shot(shots + "-save-as");
            QTest::keyClick(name, Qt::Key_Return);
        });
        QTest::mouseClick(editor->btnSaveLangfileAs, Qt::LeftButton);
        Activate(editor);
        const QRect item = editor->lessonList->visualItemRect(editor->lessonList->item(0));
        QTest::mouseClick(editor->lessonList->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(item.left() + 10, item.center().y()));
        ASSERT_TRUE(WaitFor([&] { return editor->labelValueTotalWords->text() == ": " + count; }));
        Shot(shots + "-editor-ticked");
        QTest::mouseClick(editor->btnSave, Qt::LeftButton);
    });
    QTest::mouseClick(window.btnEditExercise, Qt::LeftButton);
    return saved;
}

TEST_F(LearnerScenario, ANewLanguageFileWithALessonOfFivePairsIsExercisedAndChecks) {
    const std::vector<std::pair<QString, QString>> pairs{{"house", "Haus"},
                                                         {"tree", "Baum"},
                                                         {"door", "T\u00FCr"},
                                                         {"bread", "Brot"},
                                                         {"water", "Wasser"}};
    auto window = Start();
    const QString saved = NewFileInTheEditors(*window, "English", "Deutsch", pairs, "Eng_Deu", "2");
    EXPECT_TRUE(saved.endsWith("LangFiles/Eng_Deu/Eng_Deu.lang")) << saved.toStdString();
    EXPECT_EQ(Exercise(*window).LangFileName, "LangFiles/Eng_Deu/Eng_Deu.lang");
    EXPECT_EQ(window->panelLangFile->text(), "English - Deutsch");

    Click(window->btnExerciseRun);
    TExerciseDlg* ex = ExerciseOf(*window);
    ASSERT_NE(ex, nullptr);
    ASSERT_EQ(Exercise(*window).ExerciseWords.size(), 5u);
    std::set<std::pair<int, int>> ids;
    for (const ExerciseEntry& entry : Exercise(*window).ExerciseWords)
        ids.insert({entry.lesson, entry.pairId});
    EXPECT_EQ(ids, (std::set<std::pair<int, int>>{{1, 0}, {1, 1}, {1, 2}, {1, 3}, {1, 4}}));
    Click(ex->btnRun);
    ASSERT_TRUE(WaitFor([&] { return !ex->Run().PresentedText().empty(); }, kRunMs));
    std::set<QString> texts;
    for (const auto& [one, two] : pairs)
        texts.insert({one, two});
    EXPECT_EQ(texts.count(QtFromCp1252(ex->Run().PresentedText())), 1u);
    WaitFor([] { return false; }, 1500);
    Shot("2-exercise");
    ex->close();
    Exit(window);

    QProcess check;
    check.start(LEXARO_LANG_TOOL, {"check", "--codepage", "1252", saved});
    ASSERT_TRUE(check.waitForFinished(30000));
    const QString report = QString::fromUtf8(check.readAllStandardOutput());
    std::printf("scenario 2: %s\n", report.toUtf8().constData());
    EXPECT_EQ(check.exitCode(), 0) << report.toStdString();
    for (const char* line :
         {"valid language file", "language 1:    English", "language 2:    Deutsch",
          "lessons:       1 (1)", "pairs:         5", "pairs in use:  5", "lines skipped: 0"})
        EXPECT_TRUE(report.contains(line)) << line << "\n" << report.toStdString();
}

TEST_F(LearnerScenario, GermanManualModeAndTheCardFontAreThereAtTheSecondStart) {
    auto window = Start();
    window->mAppGerman->trigger();
    const TAppLangHandler& texts = *window->Logic().Texts();
    EXPECT_EQ(window->mExercise->title(), QtFromCp1252(texts.GetText(13)));

    WhenModalOpens(window.get(), [](QWidget* modal) {
        auto* settings = qobject_cast<TDlgProperty*>(modal);
        ASSERT_NE(settings, nullptr);
        Activate(settings);
        QTest::mouseClick(settings->rbManualPresent, Qt::LeftButton);
        settings->tabsheetControl->setCurrentWidget(settings->fontPage);
        QApplication::processEvents();
        settings->fontPage->cbFont->InnerBox()->setCurrentIndex(1); // Arial
        settings->fontPage->cbColor->InnerBox()->setCurrentIndex(
            6); // fuchsia: nowhere else on the card
        Shot("3-settings-font");
        QTest::mouseClick(settings->btnSave, Qt::LeftButton);
    });
    Click(window->btnGeneralProperty);
    Exit(window);

    window = Start();
    const TAppLangHandler& german = *window->Logic().Texts();
    EXPECT_EQ(window->Logic().UiLanguage(), "DE");
    EXPECT_EQ(window->mExercise->title(), QtFromCp1252(german.GetText(13)));
    EXPECT_EQ(window->btnExerciseRun->toolTip(), QtFromCp1252(german.GetText(9)));
    const TAppIniFile& settings = *window->Logic().Settings();
    EXPECT_FALSE(settings.general.AutoPresent);
    EXPECT_EQ(settings.font.Font, "Arial");
    EXPECT_EQ(settings.font.Color, 6);
    Shot("3-second-start-german");

    Click(window->btnExerciseRun);
    TExerciseDlg* ex = ExerciseOf(*window);
    ASSERT_NE(ex, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ex));
    EXPECT_FALSE(ex->Run().Automatic());
    EXPECT_EQ(ex->modeValue->text(), QtFromCp1252(german.GetText(26)));
    // Manual mode: the first card comes at once; its letters are written in the card font.
    ASSERT_TRUE(WaitFor([&] { return !ex->Run().PresentedText().empty(); }, kRunMs));
    WaitFor([] { return false; }, 2500);
    EXPECT_EQ(ex->Canvas().Font().family(), "Arial");
    const QImage card = ex->groundImage->grab().toImage();
    int coloured = 0;
    for (int y = 0; y < card.height(); ++y)
        for (int x = 0; x < card.width(); ++x) {
            const QColor c = card.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() > 200)
                ++coloured;
        }
    EXPECT_GT(coloured, 40) << "no letters in fuchsia on the card";
    Shot("3-card-arial-fuchsia");
    std::printf("scenario 3: card text \"%s\" in %s, %d fuchsia pixels\n",
                ex->Run().PresentedText().c_str(),
                QFontInfo(ex->Canvas().Font()).family().toUtf8().constData(), coloured);
    ex->close();
    Exit(window);
}

// The exercise saves its marks into the file as it is on disk, so an edit the editor saved
// after the main window had loaded its copy stays. The editor's composition (lessons changed)
// is shown by the next START without reading the file again, and OK with only a pair of an
// unchosen lesson edited changes nothing of the exercise: the main window's copy is older than
// the file when the exercise closes.
TEST_F(LearnerScenario, AnEditSavedAfterTheCompositionSurvivesTheExercise) {
    auto window = Start();
    window->mAppEnglish->trigger();
    // Manual mode, no speech: the first card is there at once.
    TGeneralProperty& general = window->Logic().Settings()->general;
    general.AutoPresent = false;
    general.VoicePresent = 0;
    general.VoiceAnswer = false;

    // Lesson 3 unticked: the editor composes from lessons 1 and 2.
    WhenModalOpens(window.get(), [](QWidget* modal) {
        auto* editor = qobject_cast<TEditExerciseDlg*>(modal);
        ASSERT_NE(editor, nullptr);
        Activate(editor);
        ASSERT_EQ(editor->lessonList->count(), 3);
        editor->lessonList->item(2)->setCheckState(Qt::Unchecked);
        QApplication::processEvents();
        QTest::mouseClick(editor->btnSave, Qt::LeftButton);
    });
    Click(window->btnEditExercise);
    ASSERT_EQ(Exercise(*window).AvailableUnits, (intArray{1, 2}));
    ASSERT_TRUE(window->Logic().ComposedByEditor());

    // The first pair of lesson 3 gets another first phrase; OK saves the file (Yes).
    WhenModalOpens(window.get(), [](QWidget* modal) {
        auto* editor = qobject_cast<TEditExerciseDlg*>(modal);
        ASSERT_NE(editor, nullptr);
        Activate(editor);
        editor->lessonList->setCurrentRow(2);
        QApplication::processEvents();
        WhenModalOpens(editor, [](QWidget* inner) {
            auto* lessons = qobject_cast<TeditLessonDlg*>(inner);
            ASSERT_NE(lessons, nullptr);
            Activate(lessons);
            TMBaseTable* grid = lessons->Table()->GetGrid();
            QRect cell;
            ASSERT_TRUE(grid->CellRect(1, 1, cell));
            auto* field = grid->viewport()->findChild<QLineEdit*>("cellEditor1");
            ASSERT_NE(field, nullptr);
            for (int clicks = 0; clicks < 2 && !field->isVisible(); ++clicks)
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
            ASSERT_TRUE(field->isVisible());
            field->selectAll();
            Type(field, "edited after the composition");
            QTest::keyClick(field, Qt::Key_Return);
            Shot("4-lesson-3-edited");
            // Escape would drop the edit: the learner is asked, and Enter saves.
            WhenModalOpens(lessons, [](QWidget* question) {
                Shot("4-lesson-editor-question");
                QTest::keyClick(question, Qt::Key_Return);
            });
            QTest::keyClick(lessons, Qt::Key_Escape);
        });
        Click(editor->btnEditLesson);
        Activate(editor);
        // The same in the exercise editor: Escape asks, Enter saves the file and closes as OK.
        WhenModalOpens(editor, [](QWidget* question) {
            Shot("4-exercise-editor-question");
            QTest::keyClick(question, Qt::Key_Return);
        });
        QTest::keyClick(editor, Qt::Key_Escape);
    });
    Click(window->btnEditExercise);
    const fs::path file = window->Logic().Settings()->LangFilePath();
    {
        TLangFHandler disk;
        ASSERT_TRUE(disk.Load(file));
        ASSERT_EQ(disk.LessonAt(3)->PairAt(0)->text1, "edited after the composition");
    }

    Click(window->btnExerciseRun);
    TExerciseDlg* ex = ExerciseOf(*window);
    ASSERT_NE(ex, nullptr);
    ASSERT_TRUE(WaitFor([&] { return !ex->Run().PresentedText().empty(); }, kRunMs));
    ASSERT_TRUE(WaitFor([&] { return !ex->timerGraphic->isActive(); }, kRunMs));
    const ExerciseEntry first = Exercise(*window).ExerciseWords.at(0);
    QTest::keyClick(ex, Qt::Key_9);
    Shot("4-not-more-use");
    ex->close();

    TLangFHandler disk;
    ASSERT_TRUE(disk.Load(file));
    EXPECT_EQ(disk.LessonAt(3)->PairAt(0)->text1, "edited after the composition")
        << "the exercise wrote its older copy back";
    const auto given = disk.LessonAt(first.lesson)->PairAt(first.pairId);
    ASSERT_TRUE(given);
    EXPECT_FALSE(given->use);
    EXPECT_FALSE(given->drawn);
    Exit(window);
}

// Files of other scripts, typed in the editors and practised: the phrases typed in Unicode,
// the names' Latin letters in the proposed folder name, the file in the code page.
struct TScriptCase {
    const char* tag;
    int codePage;
    const char* lang1; // UTF-8
    // UTF-8 phrases and their English meaning, in the order typed.
    std::vector<std::pair<const char*, const char*>> pairs;
    const char* folder;
    const char* lang1Bytes; // stored
    const char* firstBytes; // stored, the first phrase typed
};

TEST_F(LearnerScenario, FilesOfOtherScriptsAreTypedSavedInTheirCodePageAndPractised) {
    const std::vector<TScriptCase> scripts{
        {"russian",
         1251,
         "\u0420\u0443\u0441\u0441\u043A\u0438\u0439",
         {{"\u0434\u043E\u043C", "house"},
          {"\u0434\u0435\u0440\u0435\u0432\u043E", "tree"},
          {"\u0432\u043E\u0434\u0430", "water"},
          {"\u0445\u043B\u0435\u0431", "bread"}},
         "Rus_Eng",
         "\xD0\xF3\xF1\xF1\xEA\xE8\xE9",
         "\xE4\xEE\xEC"},
        {"polish",
         1250,
         "Polski",
         {{"\u0142\u00F3d\u017A", "boat"},
          {"\u017C\u00F3\u0142w", "turtle"},
          {"r\u0119ka", "hand"},
          {"\u015Bwiat\u0142o", "light"}},
         "Pol_Eng",
         "Polski",
         "\xB3\xF3\x64\x9F"},
        {"greek",
         1253,
         "\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC",
         {{"\u03C3\u03C0\u03AF\u03C4\u03B9", "house"},
          {"\u03B4\u03AD\u03BD\u03C4\u03C1\u03BF", "tree"},
          {"\u03BD\u03B5\u03C1\u03CC", "water"},
          {"\u03C8\u03C9\u03BC\u03AF", "bread"}},
         "Ell_Eng",
         "\xC5\xEB\xEB\xE7\xED\xE9\xEA\xDC",
         "\xF3\xF0\xDF\xF4\xE9"},
        // Unicode: stored as the UTF-8 typed; the folder
        // from the language's English name.
        {"japanese",
         65001,
         "日本語",
         {{"水", "water"}, {"火", "fire"}, {"こんにちは", "hello"}, {"ありがとう", "thank you"}},
         "Jap_Eng",
         "日本語",
         "水"},
        {"arabic",
         65001,
         "العربية",
         {{"ماء", "water"}, {"نار", "fire"}, {"مرحبا", "hello"}, {"شكرا", "thank you"}},
         "Ara_Eng",
         "العربية",
         "ماء"},
        {"hindi",
         65001,
         "हिन्दी",
         {{"पानी", "water"}, {"आग", "fire"}, {"नमस्ते", "hello"}, {"धन्यवाद", "thank you"}},
         "Hin_Eng",
         "हिन्दी",
         "पानी"}};

    const auto practise = [&](const TScriptCase& script) {
        const QString tag = script.tag;
        const QString lang1 = QString::fromUtf8(script.lang1);
        std::vector<std::pair<QString, QString>> pairs;
        for (const auto& [one, two] : script.pairs)
            pairs.emplace_back(QString::fromUtf8(one), QString::fromUtf8(two));
        auto window = Start();
        window->mAppEnglish->trigger();
        const fs::path open = window->Logic().Settings()->LangFilePath();
        const auto bytesOf = [](const fs::path& path) {
            std::ifstream in(path, std::ios::binary);
            return std::string((std::istreambuf_iterator<char>(in)), {});
        };
        const std::string openBefore = bytesOf(open);

        // The code page in the settings; manual mode, the first language presented.
        WhenModalOpens(window.get(), [&](QWidget* modal) {
            auto* settings = qobject_cast<TDlgProperty*>(modal);
            ASSERT_NE(settings, nullptr);
            Activate(settings);
            QTest::mouseClick(settings->rbManualPresent, Qt::LeftButton);
            const int page = settings->cmbCodePage->findData(script.codePage);
            ASSERT_GE(page, 0);
            settings->cmbCodePage->setCurrentIndex(page);
            Shot("5-" + tag + "-settings");
            QTest::mouseClick(settings->btnSave, Qt::LeftButton);
        });
        Click(window->btnGeneralProperty);
        ASSERT_EQ(window->Logic().Settings()->CodePage, script.codePage);
        EXPECT_EQ(bytesOf(open), openBefore) << "another code page rewrote " << open;
        TGeneralProperty& general = window->Logic().Settings()->general;
        general.VoicePresent = 0;
        general.VoiceAnswer = false;
        Exercise(*window).FirstLang = true;

        const QString saved =
            NewFileInTheEditors(*window, lang1, "English", pairs, script.folder, "5-" + tag);
        const QString folder = QString("LangFiles/%1/%1.lang").arg(script.folder);
        EXPECT_TRUE(saved.endsWith(folder)) << saved.toStdString();
        // A right-to-left name is marked so that the panel still reads first language left.
        QString panel = window->panelLangFile->text();
        panel.remove(QChar(0x200E));
        EXPECT_EQ(panel, lang1 + " - English");

        Click(window->btnExerciseRun);
        TExerciseDlg* ex = ExerciseOf(*window);
        ASSERT_NE(ex, nullptr);
        ASSERT_TRUE(WaitFor([&] { return !ex->Run().PresentedText().empty(); }, kRunMs));
        ASSERT_TRUE(WaitFor([&] { return !ex->timerGraphic->isActive(); }, kRunMs));
        const TCodePage& page = TCodePage::Get(script.codePage);
        const QString shown = QtFromStored(ex->Run().PresentedText(), page);
        std::set<QString> firsts;
        for (const auto& pair : pairs)
            firsts.insert(pair.first);
        EXPECT_EQ(firsts.count(shown), 1u) << shown.toStdString();
        QTest::mouseClick(ex->btnNext, Qt::LeftButton);
        ASSERT_TRUE(WaitFor([&] { return !ex->Run().SolutionText().empty(); }, kRunMs));
        WaitFor([] { return false; }, 1500);
        Shot("5-" + tag + "-card");
        ex->close();
        Exit(window);

        // The file holds the phrases in the code page: one byte a letter. New rows come
        // first in the lesson editor, so the first pair typed is the last one.
        TLangFHandler disk;
        ASSERT_TRUE(disk.Load(PathFromQt(saved)));
        EXPECT_EQ(disk.GetLang1Name(), script.lang1Bytes);
        const auto first = disk.LessonAt(1)->PairAt(3);
        ASSERT_TRUE(first);
        EXPECT_EQ(first->text1, script.firstBytes);
        EXPECT_EQ(first->text2, script.pairs[0].second);

        QProcess dump;
        dump.start(LEXARO_LANG_TOOL,
                   {"dump", "--codepage", QString::number(script.codePage), saved});
        ASSERT_TRUE(dump.waitForFinished(30000));
        const QString table = QString::fromUtf8(dump.readAllStandardOutput());
        EXPECT_EQ(dump.exitCode(), 0) << table.toStdString();
        for (const auto& [one, two] : pairs)
            EXPECT_TRUE(table.contains(one + "@" + two)) << table.toStdString();
        std::printf("scenario 5 (%s): card \"%s\", file %s\n", script.tag,
                    shown.toUtf8().constData(), saved.toUtf8().constData());
    };
    for (const TScriptCase& script : scripts) {
        SCOPED_TRACE(script.tag);
        practise(script);
        if (HasFatalFailure())
            return;
    }
}

// Cards in scripts that join and that stack marks: under Unicode an Arabic ("the book") and a
// Hindi ("the library", with a conjunct and vowel signs) file are practised in manual mode,
// slow letter by letter, and the card is pictured as its solution grows: right to left and
// joined for Arabic, each letter with its marks for Hindi.
TEST_F(LearnerScenario, ArabicAndHindiSolutionsGrowByWholeCharacters) {
    struct Script {
        const char* tag;
        const char* lang;
        const char* word;     // the presented side: English
        const char* solution; // UTF-8
    };
    const std::vector<Script> scripts = {
        {"arabic", "\xD8\xA7\xD9\x84\xD8\xB9\xD8\xB1\xD8\xA8\xD9\x8A\xD8\xA9", "the book",
         "\xD8\xA7\xD9\x84\xD9\x83\xD8\xAA\xD8\xA7\xD8\xA8"},
        {"hindi", "\xE0\xA4\xB9\xE0\xA4\xBF\xE0\xA4\xA8\xE0\xA5\x8D\xE0\xA4\xA6\xE0\xA5\x80",
         "the library",
         "\xE0\xA4\xAA\xE0\xA5\x81\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA4\x95"
         "\xE0\xA4\xBE\xE0\xA4\xB2\xE0\xA4\xAF"},
    };
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.tag);
        WriteStarterFile(script.lang, {{script.word, script.solution}});
        StartWithCodePage(TCodePage::kUtf8);
        if (HasFatalFailure())
            return;
        auto window = Start();
        window->mAppEnglish->trigger();
        TAppIniFile& settings = *window->Logic().Settings();
        ASSERT_EQ(settings.CodePage, TCodePage::kUtf8);
        settings.exercise.FirstLang = true;
        settings.general.AutoPresent = false;
        settings.general.WriteAnswer = false;
        settings.general.LetterAnswer = true;
        settings.general.VoicePresent = 0;
        settings.general.VoiceAnswer = false;
        settings.font.Size = 28;
        Click(window->btnExerciseRun);
        TExerciseDlg* ex = ExerciseOf(*window);
        ASSERT_NE(ex, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(ex));
        Activate(ex);
        ASSERT_TRUE(WaitFor([&] { return !ex->Run().PresentedText().empty(); }, kRunMs));
        ASSERT_TRUE(WaitFor([&] { return !ex->timerGraphic->isActive(); }, kRunMs));
        EXPECT_EQ(ex->Run().PresentedText(), script.word);
        QTest::mouseClick(ex->btnNext, Qt::LeftButton);
        // A picture of the card table at each letter, until the solution is written.
        int shot = 0;
        // The solution is written while the graphic timer runs, one character a step.
        ASSERT_TRUE(
            WaitFor([&] { return ex->Run().Phase() == TExercisePhase::SolutionShown; }, kRunMs));
        while (ex->timerGraphic->isActive() && shot < 12) {
            ex->groundImage->grab().save(
                ShotsFolder() + QString("/9-%1-letters-%2.png").arg(script.tag).arg(shot++));
            WaitFor([] { return false; }, 500);
        }
        ASSERT_TRUE(WaitFor([&] { return !ex->timerGraphic->isActive(); }, kRunMs));
        ex->groundImage->grab().save(ShotsFolder() + QString("/9-%1-whole.png").arg(script.tag));
        EXPECT_EQ(ex->Run().SolutionText(), script.solution);
        EXPECT_GE(shot, 3) << "a picture per letter";
        std::printf("scenario 9 (%s): %d pictures while the solution grew\n", script.tag, shot);
        ex->close();
        Exit(window);
    }
}

// The pairs' entries as Lexaro.Ini holds them after the program ended.
std::vector<ExerciseEntry> StoredEntries(const fs::path& ini) {
    std::ifstream in(ini, std::ios::binary);
    std::vector<ExerciseEntry> entries;
    bool inSection = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inSection = line == "[ExerciseWords]";
            continue;
        }
        const auto eq = line.find('=');
        ExerciseEntry entry;
        if (inSection && eq != std::string::npos && line.compare(0, eq, "NbrWords") != 0 &&
            ParseExerciseEntry(line.substr(eq + 1), entry))
            entries.push_back(entry);
    }
    return entries;
}

// Write mode, one card after the other: type (or not), Enter, wait for the solution.
class WriteScenario : public LearnerScenario {
protected:
    static void AwaitAnswer(TExerciseDlg* ex) {
        ASSERT_TRUE(WaitFor([&] { return ex->Run().AwaitingAnswer(); }, kRunMs));
    }
    static void Answer(TExerciseDlg* ex, const QString& typed) {
        AwaitAnswer(ex);
        ex->answerEdit->setFocus();
        Type(ex->answerEdit, typed);
        QTest::keyClick(ex->answerEdit, Qt::Key_Return);
        ASSERT_TRUE(WaitFor([&] { return !ex->timerGraphic->isActive(); }, kRunMs));
        WaitFor([] { return false; }, 300);
    }
    // The solution with its second letter changed: one letter to mark.
    static QString Misspelt(const std::string& solution) {
        QString text = QtFromCp1252(solution);
        const int at = text.size() > 1 ? 1 : 0;
        text[at] = text[at] == QLatin1Char('x') ? QLatin1Char('q') : QLatin1Char('x');
        return text;
    }
};

TEST_F(WriteScenario, ThreeCardsRightWrongAndNotKnownSetThePriorities) {
    auto window = Start();
    window->mAppEnglish->trigger();
    WhenModalOpens(window.get(), [](QWidget* modal) {
        auto* settings = qobject_cast<TDlgProperty*>(modal);
        ASSERT_NE(settings, nullptr);
        Activate(settings);
        QTest::mouseClick(settings->rbWritePresent, Qt::LeftButton);
        settings->rbVoicePresentItems->button(0)->click();
        EXPECT_TRUE(settings->cbPrioritiesFromAnswers->isChecked());
        Shot("6-settings-write");
        QTest::mouseClick(settings->btnSave, Qt::LeftButton);
    });
    Click(window->btnGeneralProperty);
    ASSERT_TRUE(window->Logic().Settings()->general.WriteAnswer);
    SetMaximumInTheEditor(*window, "3");

    Click(window->btnExerciseRun);
    TExerciseDlg* ex = ExerciseOf(*window);
    ASSERT_NE(ex, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ex));
    Activate(ex);
    const ArrayWordData cards = Exercise(*window).ExerciseWords;
    ASSERT_EQ(cards.size(), 3u);
    EXPECT_TRUE(ex->Run().WriteMode());
    EXPECT_TRUE(ex->answerEdit->isVisible());

    AwaitAnswer(ex);
    const std::string right = ex->Run().SolutionText();
    Answer(ex, QtFromCp1252(right).toUpper());
    EXPECT_TRUE(ex->verdictLabel->text().contains("Right"));
    Shot("6-right-en");
    QTest::keyClick(ex->answerEdit, Qt::Key_Return);

    AwaitAnswer(ex);
    const QString wrong = Misspelt(ex->Run().SolutionText());
    Answer(ex, wrong);
    EXPECT_TRUE(ex->verdictLabel->text().contains("Wrong"));
    Shot("6-wrong-en");
    QTest::keyClick(ex->answerEdit, Qt::Key_Return);

    Answer(ex, QString()); // not known
    EXPECT_TRUE(ex->verdictLabel->text().contains("Wrong"));
    QString asked;
    WhenModalOpens(
        ex,
        [&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            asked = box->text();
            Shot("6-question-at-the-end");
            QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
        },
        kRunMs);
    QTest::keyClick(ex->answerEdit, Qt::Key_Return);
    EXPECT_TRUE(asked.contains("1 of 3 answers right.")) << asked.toStdString();
    ASSERT_TRUE(WaitFor([&] { return ex->Run().TableVisible(); }));
    ASSERT_EQ(ex->exerciseList->topLevelItemCount(), 3);
    EXPECT_EQ(ex->exerciseList->topLevelItem(0)->text(5),
              "Right: " + QtFromCp1252(right).toUpper());
    EXPECT_EQ(ex->exerciseList->topLevelItem(1)->text(5), "Wrong: " + wrong);
    EXPECT_EQ(ex->exerciseList->topLevelItem(2)->text(5), "Wrong: no answer");
    Shot("6-table-at-the-end");
    const std::vector<TCardResult>& results = ex->Run().CardResults();
    ASSERT_EQ(results.size(), 3u);
    std::printf("scenario 6: verdicts %d %d %d, priorities %d %d %d\n",
                static_cast<int>(results[0].verdict), static_cast<int>(results[1].verdict),
                static_cast<int>(results[2].verdict), results[0].priorityChosen,
                results[1].priorityChosen, results[2].priorityChosen);
    ex->close();
    const fs::path langFile = window->Logic().Settings()->LangFilePath();
    Exit(window);

    // After the program ended: the priorities in Lexaro.Ini, the file's marks as they were.
    const std::vector<ExerciseEntry> stored = StoredEntries(copy.path() / "Lexaro.Ini");
    TLangFHandler lang;
    ASSERT_TRUE(lang.Load(langFile));
    // The right answer rests its pair for the next exercise: "not use twice".
    const std::vector<std::int32_t> expected{2, 0, 0};
    for (std::size_t i = 0; i < cards.size(); ++i) {
        const auto it = std::find_if(stored.begin(), stored.end(),
                                     [&](const ExerciseEntry& e) { return SamePair(e, cards[i]); });
        ASSERT_NE(it, stored.end()) << "card " << i;
        EXPECT_EQ(it->priority, expected[i]) << "card " << i;
        const auto pair = lang.LessonAt(cards[i].lesson)->PairAt(cards[i].pairId);
        ASSERT_TRUE(pair);
        EXPECT_TRUE(pair->use) << "card " << i;
    }
    // The practice journal beside the file: the three cards with their verdicts.
    std::ifstream journal(JournalPath(langFile));
    std::string row;
    ASSERT_TRUE(std::getline(journal, row));
    EXPECT_EQ(row, kJournalHeader);
    const std::vector<TJournalVerdict> verdicts{TJournalVerdict::Right, TJournalVerdict::Wrong,
                                                TJournalVerdict::Wrong};
    for (std::size_t i = 0; i < cards.size(); ++i) {
        ASSERT_TRUE(std::getline(journal, row)) << "card " << i;
        const std::optional<TJournalLine> line = ParseJournalLine(row);
        ASSERT_TRUE(line) << row;
        EXPECT_TRUE(line->lesson == cards[i].lesson && line->pairId == cards[i].pairId) << row;
        EXPECT_EQ(line->verdict, verdicts[i]) << row;
        EXPECT_EQ(line->priorityChosen, expected[i]) << row;
    }
    EXPECT_FALSE(std::getline(journal, row)) << "one line per card: " << row;

    // The verdicts in German.
    window = Start();
    window->mAppGerman->trigger();
    Click(window->btnExerciseRun);
    ex = ExerciseOf(*window);
    ASSERT_NE(ex, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ex));
    Activate(ex);
    ASSERT_GE(Exercise(*window).ExerciseWords.size(), 2u);
    EXPECT_EQ(ex->modeValue->text(), "Schreiben");
    AwaitAnswer(ex);
    Answer(ex, QtFromCp1252(ex->Run().SolutionText()));
    EXPECT_TRUE(ex->verdictLabel->text().contains("Richtig"));
    Shot("6-right-de");
    QTest::keyClick(ex->answerEdit, Qt::Key_Return);
    AwaitAnswer(ex);
    Answer(ex, Misspelt(ex->Run().SolutionText()));
    EXPECT_TRUE(ex->verdictLabel->text().contains("Falsch"));
    Shot("6-wrong-de");
    ex->close();
    Exit(window);
}

// A Japanese file under the Unicode page (65001) in Write mode: the card shows the Japanese
// text, and answers typed as Unicode key presses are judged right.
TEST_F(WriteScenario, JapaneseTypedAsUnicodeKeysIsJudgedRight) {
    WriteStarterFile("日本語",
                     {{"thank you", "ありがとう"}, {"school", "学校 (がっこう)"}, {"water", "水"}});
    if (HasFatalFailure())
        return;
    // The file is Unicode but the settings still say Western European: the learner is told
    // once, with the page to choose, and chooses it.
    std::string told;
    WhenModalOpens(nullptr, [&told](QWidget* modal) {
        Shot("10-japanese-reads-better-in-unicode");
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        told = box->text().toStdString();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    auto window = Start();
    EXPECT_NE(told.find("Unicode (UTF-8)"), std::string::npos) << told;
    EXPECT_NE(told.find("English-Deutsch.lang"), std::string::npos) << told;
    window->mAppEnglish->trigger();
    window->Logic().Settings()->CodePage = TCodePage::kUtf8;
    TGeneralProperty& general = window->Logic().Settings()->general;
    general.WriteAnswer = true;
    general.VoicePresent = 0;
    general.VoiceAnswer = false;
    Exercise(*window).FirstLang = true;
    SetMaximumInTheEditor(*window, "3");

    Click(window->btnExerciseRun);
    TExerciseDlg* ex = ExerciseOf(*window);
    ASSERT_NE(ex, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ex));
    Activate(ex);
    ASSERT_EQ(Exercise(*window).ExerciseWords.size(), 3u);
    std::set<std::string> answered;
    for (int card = 0; card < 3; ++card) {
        AwaitAnswer(ex);
        const std::string solution = ex->Run().SolutionText();
        // What the learner types: the word without the reading in brackets.
        QString typed = QString::fromStdString(solution);
        if (const qsizetype open = typed.indexOf(u'('); open >= 0)
            typed = typed.left(open).trimmed();
        Answer(ex, typed);
        EXPECT_TRUE(ex->verdictLabel->text().contains("Right")) << solution;
        answered.insert(solution);
        Shot(QString("7-japanese-card-%1").arg(card + 1));
        if (card < 2)
            QTest::keyClick(ex->answerEdit, Qt::Key_Return);
    }
    EXPECT_EQ(answered.size(), 3u);
    AnswerNoAtTheEnd(ex);
    QTest::keyClick(ex->answerEdit, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return ex->Run().TableVisible(); }));
    EXPECT_TRUE(ex->exerciseList->topLevelItem(0)->text(5).startsWith("Right: "));
    Shot("7-japanese-table");
    ex->close();
    Exit(window);
}

TEST_F(WriteScenario, TheProgressWindowShowsTheCardsOfTwoDaysRuns) {
    // The starter file after a few runs: pairs of lesson 1 drawn, two of lesson 3 retired.
    const fs::path file = copy.path() / "LangFiles" / "English-Deutsch.lang";
    {
        TLangFHandler lang;
        ASSERT_TRUE(lang.Load(file));
        for (int id = 0; id < 8; ++id)
            lang.LessonAt(1)->PairAt(id)->drawn = true;
        for (int id = 0; id < 2; ++id)
            lang.LessonAt(3)->PairAt(id)->use = false;
        ASSERT_TRUE(lang.Save(file).ok());
    }
    auto window = Start();
    window->mAppEnglish->trigger();
    // Two pairs held back after the last run.
    window->Logic().Settings()->heldBack = {{1, 2, 3}, {2, 0, 6}};
    // Manual mode without speech; the journal's clock says yesterday for the first run.
    TGeneralProperty& general = window->Logic().Settings()->general;
    general.AutoPresent = false;
    general.WriteAnswer = false;
    general.VoicePresent = 0;
    general.VoiceAnswer = false;
    const auto now = std::chrono::system_clock::now();
    auto clock =
        std::make_shared<std::chrono::system_clock::time_point>(now - std::chrono::hours(24));
    window->Logic().SetJournalClock([clock] { return *clock; });

    // Yesterday: three cards in manual mode, each solved with Next, then the window closed.
    Click(window->btnExerciseRun);
    TExerciseDlg* ex = ExerciseOf(*window);
    ASSERT_NE(ex, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ex));
    for (std::size_t card = 1; card <= 3; ++card) {
        ASSERT_TRUE(WaitFor([&] { return ex->Run().CardResults().size() == card; }, kRunMs));
        ASSERT_TRUE(WaitFor([&] { return ex->btnNext->isEnabled(); }, kRunMs));
        Click(ex->btnNext); // the solution
        ASSERT_TRUE(WaitFor([&] { return !ex->Run().SolutionText().empty(); }, kRunMs));
        ASSERT_TRUE(WaitFor([&] { return ex->btnNext->isEnabled(); }, kRunMs));
        if (card < 3)
            Click(ex->btnNext); // the next card
    }
    ex->close();

    // Today: Write mode, one answer right and one wrong.
    *clock = now;
    general.WriteAnswer = true;
    Click(window->btnExerciseRun);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ex));
    Activate(ex);
    Answer(ex, QtFromCp1252(ex->Run().SolutionText()));
    QTest::keyClick(ex->answerEdit, Qt::Key_Return);
    Answer(ex, Misspelt(ex->Run().SolutionText()));
    ASSERT_EQ(ex->Run().CardResults().size(), 2u);
    ex->close();

    ASSERT_TRUE(window->btnProgress->isEnabled());
    ASSERT_TRUE(window->mExerciseProgress->isEnabled());
    // The menu open over the main window, with its new entry and the new button.
    QMenuBar* bar = window->menuBar();
    window->mExercise->popup(
        bar->mapToGlobal(bar->actionGeometry(window->mExercise->menuAction()).bottomLeft()));
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window->mExercise));
    QApplication::processEvents();
    Shot("7-main-window-progress");
    window->mExercise->hide();
    Shot("7-main-window");
    window->mExerciseProgress->trigger();
    auto* progress = dynamic_cast<TProgressWnd*>(window->ProgressWindow());
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(progress));
    Activate(progress);
    const auto& days = progress->Report().figures.days;
    ASSERT_EQ(days.size(), 90u);
    EXPECT_EQ(days[89].counts, (TDayCounts{2, 1, 1}));
    EXPECT_EQ(days[88].counts, (TDayCounts{3, 0, 0}));
    const auto* cards =
        static_cast<QStackedBarSeries*>(progress->daysView->chart()->series()[0])->barSets()[0];
    EXPECT_EQ(cards->at(89), 2);
    EXPECT_EQ(cards->at(88), 3);
    const auto& lessons = progress->Report().figures.lessons;
    ASSERT_EQ(lessons.size(), 3u);
    // Every pair in one part of its lesson's bar; the runs retired none and held one back
    // (the wrong answer) at most.
    TLangFHandler disk;
    ASSERT_TRUE(disk.Load(file));
    for (std::size_t i = 0; i < lessons.size(); ++i)
        EXPECT_EQ(lessons[i].Total(), disk.LessonAt(lessons[i].lesson)->PairCount()) << i;
    EXPECT_EQ(lessons[2].retired, 2);
    EXPECT_GE(lessons[0].practised + lessons[1].practised + lessons[2].practised, 8);
    std::printf("scenario 7: lesson 1 waiting %d, practised %d, held back %d, retired %d\n",
                lessons[0].waiting, lessons[0].practised, lessons[0].heldBack, lessons[0].retired);
    Shot("7-progress-en");
    // "Save picture…" as the learner answers its file dialog: the charts as a PNG.
    const QString picture = ShotsFolder() + "/7-saved-picture.png";
    QFile::remove(picture);
    progress->SetSavePathAsker([picture] { return picture; });
    Click(progress->btnSavePicture);
    EXPECT_FALSE(QImage(picture).isNull());

    // The numbers on hover, then German.
    const auto* lessonSet =
        static_cast<QStackedBarSeries*>(progress->lessonsView->chart()->series()[0])->barSets()[1];
    emit const_cast<QBarSet*>(lessonSet)->hovered(true, 0);
    EXPECT_TRUE(progress->hoverLabel->text().startsWith("Lesson 1:"));
    window->mAppGerman->trigger();
    QApplication::processEvents();
    EXPECT_EQ(progress->windowTitle(), "Fortschritt");
    Activate(progress);
    Shot("7-progress-de");
    progress->close();
    window->mAppEnglish->trigger();
    Exit(window);
}

// "Due words first" over two days: yesterday four new words, the second and fourth answered
// wrong; today those two come back first, from the side they were asked, then new words.
TEST_F(WriteScenario, DueWordsComeBackFirstTheNextDay) {
    auto window = Start();
    window->mAppEnglish->trigger();
    TAppIniFile& settings = *window->Logic().Settings();
    settings.general.AutoPresent = false;
    settings.general.WriteAnswer = true;
    settings.general.VoicePresent = 0;
    settings.general.VoiceAnswer = false;
    settings.exercise.MaxWords = 4;
    const auto now = std::chrono::system_clock::now();
    auto clock =
        std::make_shared<std::chrono::system_clock::time_point>(now - std::chrono::hours(24));
    window->Logic().SetJournalClock([clock] { return *clock; });
    Click(window->cbDueFirst);
    EXPECT_TRUE(window->Logic().DueWordsFirst());
    EXPECT_FALSE(window->cbNewLoad->isEnabled());
    EXPECT_FALSE(window->cbResetPrio->isEnabled());
    Shot("8-main-window-due-first");

    // Yesterday.
    Click(window->btnExerciseRun);
    TExerciseDlg* ex = ExerciseOf(*window);
    ASSERT_NE(ex, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ex));
    Activate(ex);
    const ArrayWordData yesterday = Exercise(*window).ExerciseWords;
    ASSERT_EQ(yesterday.size(), 4u);
    const std::int32_t side = Exercise(*window).FirstLang ? 1 : 2;
    for (std::size_t card = 0; card < 4; ++card) {
        AwaitAnswer(ex);
        const std::string solution = ex->Run().SolutionText();
        Answer(ex, card % 2 == 0 ? QtFromCp1252(solution) : Misspelt(solution));
        if (card < 3)
            QTest::keyClick(ex->answerEdit, Qt::Key_Return);
    }
    for (const ExerciseEntry& e : Exercise(*window).ExerciseWords)
        EXPECT_EQ(e.priority, 0) << "answers set no priorities";
    ex->close();

    // Today: the two forgotten words first, then words never practised.
    *clock = now;
    Click(window->btnExerciseRun);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ex));
    Activate(ex);
    const ArrayWordData today = Exercise(*window).ExerciseWords;
    ASSERT_EQ(today.size(), 4u);
    const auto pairOf = [](const ExerciseEntry& e) { return std::pair(e.lesson, e.pairId); };
    EXPECT_EQ((std::set{pairOf(today[0]), pairOf(today[1])}),
              (std::set{pairOf(yesterday[1]), pairOf(yesterday[3])}));
    EXPECT_EQ(today[0].side, side);
    for (std::size_t i = 2; i < 4; ++i)
        for (const ExerciseEntry& e : yesterday)
            EXPECT_FALSE(SamePair(e, today[i])) << "card " << i << " was practised yesterday";
    AwaitAnswer(ex);
    Shot("8-due-word-today");
    std::printf("scenario 8: yesterday %d-%d %d-%d %d-%d %d-%d, today %d-%d %d-%d %d-%d %d-%d\n",
                yesterday[0].lesson, yesterday[0].pairId, yesterday[1].lesson, yesterday[1].pairId,
                yesterday[2].lesson, yesterday[2].pairId, yesterday[3].lesson, yesterday[3].pairId,
                today[0].lesson, today[0].pairId, today[1].lesson, today[1].pairId, today[2].lesson,
                today[2].pairId, today[3].lesson, today[3].pairId);
    ex->close();

    window->mExerciseProgress->trigger();
    auto* progress = dynamic_cast<TProgressWnd*>(window->ProgressWindow());
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(progress));
    Activate(progress);
    // Today the two forgotten words are due; the two known ones come due in the next days.
    const TDueForecast& due = progress->Report().due;
    ASSERT_EQ(due.days.size(), 15u);
    EXPECT_EQ(due.DueNow(), 2);
    std::int32_t ahead = 0;
    for (std::size_t day = 1; day < due.days.size(); ++day)
        ahead += due.days[day];
    EXPECT_EQ(ahead, 2) << "the words answered right";
    EXPECT_FALSE(progress->dueLabel->text().isEmpty());
    std::printf("scenario 8: due today %d, next days %d: %s\n", due.days[0], ahead,
                progress->dueLabel->text().toStdString().c_str());
    Shot("8-progress-due-en");
    window->mAppGerman->trigger();
    QApplication::processEvents();
    Activate(progress);
    Shot("8-progress-due-de");
    progress->close();
    Shot("8-main-window-de");
    window->mAppEnglish->trigger();
    Exit(window);
}

} // namespace
} // namespace lexaro
