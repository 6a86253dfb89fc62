// The exercise window on the offscreen platform: it renders what the run reports, passes the
// learner's keys and clicks on, and joins the main window through its factory. The rules of
// the run are tested without a window (ExerciseRunTest).
#include "exercise_window/ExerciseWnd.h"

#include "app/AppIniFile.h"
#include "app/AppLangHandl.h"
#include "app/MainWnd.h"
#include "app/MainWndLogic.h"
#include "app/UiHelpers.h"
#include "exercise/ExerciseHelpFunc.h"
#include "exercise_window/QtCardCanvas.h"
#include "support/LangFiles.h"

#include <QButtonGroup>
#include <QFile>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace lexaro {
namespace {

// Answers message boxes instead of showing them.
class Answers {
public:
    explicit Answers(int answer) {
        previous_ = setMessageHook([this, answer](const MessageRequest& request) {
            asked.push_back(request.text);
            return answer;
        });
    }
    ~Answers() { setMessageHook(previous_); }
    std::vector<QString> asked;

private:
    MessageHook previous_;
};

// The main window's side: settings (in memory), the program's texts, a language file of three
// pairs in lesson 1 and the services, counting what the window asks of them.
class ExerciseWndTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    std::shared_ptr<TAppIniFile> settings;
    std::shared_ptr<TAppLangHandler> texts = std::make_shared<TAppLangHandler>();
    std::shared_ptr<TLangFHandler> lang;
    int saves = 0;
    int splits = 0;
    std::vector<int> helps;
    std::unique_ptr<IExerciseWindow> window;

    ExerciseWndTest() {
        settings = std::make_shared<TAppIniFile>(folder.path().toStdString(), nullptr);
        EXPECT_TRUE(texts->OpenTextDb(LEXARO_TEXTDB_FILE, "Lexaro", nullptr));
        EXPECT_TRUE(texts->SelectLanguage("EN"));
        lang = std::make_shared<TLangFHandler>(test::GeneratedLangFile({{1, 3, true}}));
        auto& ex = settings->exercise;
        ex.Lang1 = "English";
        ex.Lang2 = "Deutsch";
        ex.ExerciseWords = {{1, 0, 0, false}, {1, 1, 3, false}, {1, 2, 0, false}};
        settings->general.AutoPresent = false;
        settings->general.VoicePresent = 0;
        settings->general.VoiceAnswer = false;
        settings->general.DelayAnswer = 1;
        settings->general.DelayPresent = 1;
        settings->font = TFontProperty{"DejaVu Sans", 0, 0, 18};
    }

    TWindowContext Context() {
        TWindowContext c;
        c.settings = settings;
        c.texts = texts;
        c.langFile = lang;
        c.firstLanguage = [this] { return settings->exercise.FirstLang; };
        c.splitHeldBack = [this] {
            ++splits;
            splitHeldBack(settings->exercise.ExerciseWords, settings->heldBack);
        };
        c.saveMarks = [this](const std::vector<TPairMarks>&) {
            ++saves;
            return true;
        };
        c.showHelp = [this](int context) { helps.push_back(context); };
        return c;
    }

    TExerciseDlg& Open() {
        window = MakeExerciseWindow(Context(), nullptr);
        auto& dlg = dynamic_cast<TExerciseDlg&>(*window);
        window->ShowExercise();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dlg));
        return dlg;
    }

    // Waits until the card lies on the table and nothing is being drawn.
    static void Settle(TExerciseDlg& dlg) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dlg.timerGraphic->isActive(); }, 10'000));
    }

    // A picture of the window for a look by eye, when LEXARO_SCREENSHOT_DIR names a folder.
    static void SaveShot(QWidget& window, const char* name) {
        const QString dir = qEnvironmentVariable("LEXARO_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            QTest::qWait(100); // the layouts settle, as before the window is painted
            EXPECT_TRUE(window.grab().save(dir + QStringLiteral("/") + QLatin1String(name)));
        }
    }

    static void Key(TExerciseDlg& dlg, Qt::Key key) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target ? target : &dlg, key);
    }
};

TEST_F(ExerciseWndTest, RendersWhatTheRunReports) {
    TExerciseDlg& dlg = Open();
    Settle(dlg);
    EXPECT_EQ(dlg.windowTitle(), "Exercise - English/Deutsch");
    EXPECT_EQ(dlg.labelMode->text(), "Mode : ");
    EXPECT_EQ(dlg.modeValue->text(), "Manual");
    EXPECT_EQ(dlg.stateValue->text(), " - ");
    EXPECT_EQ(dlg.wNbrValue->text(), "1/3");
    EXPECT_EQ(dlg.btnRun->text(), "START");
    EXPECT_EQ(dlg.btnNext->toolTip(), "Next step (Enter)");
    EXPECT_EQ(dlg.prioBox->title(), " Priority ");
    EXPECT_EQ(dlg.rbPrio[9]->text(), "not more use");
    // Manual mode: the first card is there without START, Next is the way on.
    EXPECT_FALSE(dlg.btnRun->isEnabled());
    EXPECT_FALSE(dlg.btnStop->isEnabled());
    EXPECT_TRUE(dlg.btnNext->isEnabled());
    EXPECT_TRUE(dlg.rbPrio[0]->isChecked());
    EXPECT_TRUE(dlg.rbPrio[0]->hasFocus());
    EXPECT_FALSE(dlg.exerciseList->isVisible());
    // The card lies on the table with its text written in the card font's colour (0, black).
    ASSERT_TRUE(dlg.Canvas().CardVisible());
    const QImage card = dlg.Canvas().CardImage();
    int written = 0;
    for (int y = 0; y < card.height(); ++y)
        for (int x = 0; x < card.width(); ++x)
            written += card.pixel(x, y) == qRgb(0, 0, 0) ? 1 : 0;
    EXPECT_GT(written, 20) << "no text on the card";
    EXPECT_EQ(dlg.groundImage->grab().toImage().convertToFormat(QImage::Format_RGB32),
              dlg.Canvas().WindowImage());
}

TEST_F(ExerciseWndTest, NoPriorityCaptionIsCutInEitherLanguage) {
    for (const char* language : {"EN", "DE"}) {
        ASSERT_TRUE(texts->SelectLanguage(language));
        TExerciseDlg& dlg = Open();
        const QRect box = dlg.prioBox->contentsRect();
        for (const QRadioButton* rb : dlg.rbPrio) {
            EXPECT_GE(rb->width(), rb->sizeHint().width()) << rb->text().toStdString();
            EXPECT_LE(rb->geometry().right(), box.right()) << rb->text().toStdString();
        }
        EXPECT_LE(dlg.prioBox->geometry().right(), dlg.findChild<QWidget*>("client")->width());
        dlg.close();
        window.reset();
    }
}

TEST_F(ExerciseWndTest, KeysReachTheRunAndProgramCheckedPrioritiesReportNoClick) {
    TExerciseDlg& dlg = Open();
    Settle(dlg);
    QSignalSpy clicks(dlg.prioGroup, &QButtonGroup::idClicked);
    auto& words = settings->exercise.ExerciseWords;

    Key(dlg, Qt::Key_9);
    EXPECT_TRUE(dlg.rbPrio[9]->isChecked());
    EXPECT_EQ(words[0].priority, 9);
    Key(dlg, Qt::Key_Up);
    EXPECT_TRUE(dlg.rbPrio[8]->isChecked());
    EXPECT_TRUE(dlg.rbPrio[8]->hasFocus());
    EXPECT_EQ(words[0].priority, 8);
    Key(dlg, Qt::Key_Down);
    Key(dlg, Qt::Key_Right); // the end of the list: no radio button's wrap to "use always"
    EXPECT_EQ(words[0].priority, 9);
    EXPECT_TRUE(dlg.rbPrio[9]->isChecked());
    Key(dlg, Qt::Key_0);
    Key(dlg, Qt::Key_Up); // nor from "use always" to "not more use"
    EXPECT_EQ(words[0].priority, 0);
    EXPECT_TRUE(dlg.rbPrio[0]->isChecked());

    // Enter writes the solution, Enter again brings the second card, whose priority 3 the
    // program checks without a click.
    Key(dlg, Qt::Key_Return);
    Settle(dlg);
    Key(dlg, Qt::Key_Return);
    Settle(dlg);
    EXPECT_EQ(dlg.wNbrValue->text(), "2/3");
    EXPECT_TRUE(dlg.rbPrio[3]->isChecked());
    EXPECT_EQ(clicks.count(), 0);

    // The learner's click is one.
    QTest::mouseClick(dlg.rbPrio[5], Qt::LeftButton, {}, QPoint(8, dlg.rbPrio[5]->height() / 2));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(words[1].priority, 5);
}

// Space and Enter while the next card is wiped in or flies in never reach the priority buttons,
// which still show the previous card's choice: a radio button clicked again by Space would
// give the new card that priority, and "not more use" would take its pair out for good.
TEST_F(ExerciseWndTest, SpaceAndEnterDuringAnAnimationLeaveThePrioritiesAlone) {
    for (const bool automatic : {false, true}) {
        SCOPED_TRACE(automatic ? "automatic" : "manual");
        settings->general.AutoPresent = automatic;
        auto& words = settings->exercise.ExerciseWords;
        words = {{1, 0, 0, false}, {1, 1, 3, false}, {1, 2, 0, false}};
        lang = std::make_shared<TLangFHandler>(test::GeneratedLangFile({{1, 3, true}}));
        const rWordPear secondBefore = *lang->LessonAt(1)->PairAt(1);
        TExerciseDlg& dlg = Open();
        if (automatic)
            QTest::keyClick(&dlg, Qt::Key_Space);
        Settle(dlg);
        Key(dlg, Qt::Key_9); // the first card's pair: "not more use"
        ASSERT_TRUE(dlg.rbPrio[9]->hasFocus());
        if (!automatic) {
            Key(dlg, Qt::Key_Return); // the solution
            Settle(dlg);
            Key(dlg, Qt::Key_Return); // the next card
        }
        const auto animating = [&](int interval) {
            return dlg.timerGraphic->isActive() && dlg.timerGraphic->interval() == interval;
        };
        for (const int interval : {40, 80}) { // the wipe, then the fly-in
            ASSERT_TRUE(QTest::qWaitFor([&] { return animating(interval); }, 10'000));
            for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
                Key(dlg, key);
                QTest::keyClick(dlg.rbPrio[9], key);
            }
            EXPECT_TRUE(animating(interval)) << "the keys came within the animation";
        }
        Settle(dlg);
        EXPECT_EQ(dlg.wNbrValue->text(), "2/3");
        EXPECT_TRUE(dlg.rbPrio[3]->isChecked());
        EXPECT_EQ(words[0].priority, 9);
        EXPECT_EQ(words[1].priority, 3);
        EXPECT_EQ(*lang->LessonAt(1)->PairAt(1), secondBefore);
        dlg.close();
        window.reset();
    }
}

TEST_F(ExerciseWndTest, AtTheEndNoShowsTheTableOfTheRun) {
    settings->general.ShowTable = true;
    TExerciseDlg& dlg = Open();
    Answers no(kIdNo);
    for (int card = 0; card < 3; ++card) {
        Settle(dlg);
        Key(dlg, Qt::Key_Return);
        Settle(dlg);
        Key(dlg, Qt::Key_Return);
    }
    ASSERT_EQ(no.asked.size(), 1u);
    EXPECT_EQ(no.asked[0], "The exercise is finished.\nDo you want to do it again?");
    ASSERT_TRUE(dlg.exerciseList->isVisible());
    EXPECT_EQ(dlg.exerciseList->geometry(), dlg.groundImage->geometry());
    ASSERT_EQ(dlg.exerciseList->topLevelItemCount(), 3);
    const QTreeWidgetItem* last = dlg.exerciseList->topLevelItem(2);
    EXPECT_EQ(last->text(1), "word 1.2");
    EXPECT_EQ(last->text(3), "Wort 1.2");
    EXPECT_TRUE(last->isSelected());
    EXPECT_EQ(dlg.exerciseList->columnWidth(1), 208);
    EXPECT_EQ(dlg.exerciseList->columnWidth(2), 3);
    EXPECT_TRUE(dlg.exerciseList->hasFocus());
    EXPECT_FALSE(dlg.btnRun->isEnabled() || dlg.btnStop->isEnabled() || dlg.btnNext->isEnabled());
    EXPECT_EQ(dlg.stateValue->text(), "finished");

    // Choosing a row makes its pair the current one: its priority can still be changed.
    dlg.exerciseList->setCurrentItem(dlg.exerciseList->topLevelItem(1));
    EXPECT_EQ(dlg.wNbrValue->text(), "2/3");
    EXPECT_TRUE(dlg.rbPrio[3]->isChecked());
    Key(dlg, Qt::Key_7);
    EXPECT_EQ(settings->exercise.ExerciseWords[1].priority, 7);
}

// Write mode: the answer field under the table takes the focus and Enter; before the verdict
// every key typed is its own (digits of both kinds, Space, arrows), Alt with a digit chooses a
// priority; after the verdict the digits choose again; Escape empties it. The verdict marks the
// differing letters; the table gets the answers under its column headers.
TEST_F(ExerciseWndTest, WriteModeTakesTheAnswerInItsFieldAndShowsTheVerdict) {
    settings->general.WriteAnswer = true;
    settings->general.ShowTable = true;
    auto& words = settings->exercise.ExerciseWords;
    TExerciseDlg& dlg = Open();
    Settle(dlg);
    EXPECT_EQ(dlg.modeValue->text(), "Write");
    ASSERT_TRUE(dlg.answerEdit->isVisible());
    EXPECT_TRUE(dlg.answerEdit->hasFocus());
    EXPECT_EQ(dlg.answerEdit->maxLength(), 200);
    EXPECT_EQ(dlg.answerEdit->placeholderText(),
              "Type the answer (digits and spaces too), then press Enter");
    EXPECT_GT(dlg.btnBox->y(), dlg.verdictLabel->geometry().bottom()) << "the buttons moved down";
    EXPECT_LE(dlg.btnBox->geometry().bottom(), dlg.findChild<QWidget*>("client")->height());

    // Digits are typed from the first key on, the keypad's too; Alt with a digit chooses.
    Key(dlg, Qt::Key_3);
    QTest::keyClick(dlg.answerEdit, Qt::Key_Space);
    QTest::keyClick(dlg.answerEdit, Qt::Key_2, Qt::KeypadModifier);
    Key(dlg, Qt::Key_Left);
    QTest::keyClicks(dlg.answerEdit, "x");
    EXPECT_EQ(dlg.answerEdit->text(), "3 x2");
    EXPECT_EQ(words[0].priority, 0);
    EXPECT_TRUE(dlg.rbPrio[0]->isChecked());
    QTest::keyClick(dlg.answerEdit, Qt::Key_4, Qt::AltModifier);
    EXPECT_EQ(words[0].priority, 4);
    EXPECT_TRUE(dlg.rbPrio[4]->isChecked());
    EXPECT_TRUE(dlg.answerEdit->hasFocus());
    EXPECT_EQ(dlg.answerEdit->text(), "3 x2");
    EXPECT_EQ(dlg.prioBox->toolTip().toStdString(),
              "While you type an answer, Alt+0 to Alt+9 or a click chooses the priority; after "
              "the verdict the digits and arrow keys do");
    Key(dlg, Qt::Key_Escape);
    EXPECT_EQ(dlg.answerEdit->text(), "");
    QTest::keyClicks(dlg.answerEdit, "Wort 1.0");
    Key(dlg, Qt::Key_Return);
    EXPECT_TRUE(dlg.answerEdit->isReadOnly());
    EXPECT_EQ(dlg.answerEdit->placeholderText(), "") << "no hint to type after the verdict";
    EXPECT_TRUE(dlg.verdictLabel->text().contains("Right"));
    EXPECT_EQ(words[0].priority, 4) << "the learner's choice wins";
    Settle(dlg);
    Key(dlg, Qt::Key_Return); // the next card
    Settle(dlg);
    EXPECT_FALSE(dlg.answerEdit->isReadOnly());
    EXPECT_EQ(dlg.answerEdit->text(), "");
    EXPECT_EQ(dlg.verdictLabel->text(), "");

    QTest::keyClicks(dlg.answerEdit, "Wart 1.1");
    dlg.btnNext->click(); // Next judges as Enter does
    EXPECT_TRUE(dlg.verdictLabel->text().contains("Wrong"));
    EXPECT_TRUE(dlg.verdictLabel->text().contains("underline"));
    EXPECT_EQ(words[1].priority, 0);
    Key(dlg, Qt::Key_2); // after the verdict the digits choose again
    EXPECT_EQ(words[1].priority, 2);
    Settle(dlg);
    Key(dlg, Qt::Key_Return);
    Settle(dlg);
    Answers no(kIdNo);
    Key(dlg, Qt::Key_Return); // nothing typed
    Settle(dlg);
    Key(dlg, Qt::Key_Return);
    ASSERT_EQ(no.asked.size(), 1u);
    EXPECT_EQ(no.asked[0],
              "The exercise is finished.\n1 of 3 answers right.\nDo you want to do it again?");
    ASSERT_TRUE(dlg.exerciseList->isVisible());
    EXPECT_EQ(dlg.exerciseList->topLevelItem(0)->text(5), "Right: Wort 1.0");
    EXPECT_EQ(dlg.exerciseList->topLevelItem(1)->text(5), "Wrong: Wart 1.1");
    EXPECT_EQ(dlg.exerciseList->topLevelItem(2)->text(5), "Wrong: no answer");
    EXPECT_FALSE(dlg.exerciseList->isHeaderHidden());
    EXPECT_EQ(dlg.exerciseList->headerItem()->text(1), "Shown");
    EXPECT_EQ(dlg.exerciseList->headerItem()->text(3), "Solution");
    EXPECT_EQ(dlg.exerciseList->headerItem()->text(5), "Your answer");
    EXPECT_EQ(dlg.exerciseList->topLevelItem(1)->toolTip(3), "Wort 1.1");
    SaveShot(dlg, "exercise-run-table-EN.png");
    // The table follows a switch of the UI language, its verdicts too.
    ASSERT_TRUE(texts->SelectLanguage("DE"));
    dlg.ApplyTexts();
    EXPECT_EQ(dlg.exerciseList->headerItem()->text(5), "Ihre Antwort");
    EXPECT_EQ(dlg.exerciseList->topLevelItem(0)->text(5), "Richtig: Wort 1.0");
    EXPECT_EQ(dlg.exerciseList->topLevelItem(2)->text(5), "Falsch: keine Antwort");
    EXPECT_TRUE(dlg.verdictLabel->text().contains("Falsch"));
    SaveShot(dlg, "exercise-run-table-DE.png");
    ASSERT_TRUE(texts->SelectLanguage("EN"));
    EXPECT_EQ(words[2].priority, 0);
    const std::vector<TCardResult>& results = dlg.Run().CardResults();
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[1].typed, "Wart 1.1");
    EXPECT_EQ(results[1].priorityChosen, 2);

    // Back to manual mode: the strip goes and the window is as before.
    const int height = dlg.height();
    dlg.close();
    window.reset();
    settings->general.WriteAnswer = false;
    TExerciseDlg& manual = Open();
    EXPECT_FALSE(manual.answerEdit->isVisible());
    EXPECT_LT(manual.height(), height);
}

// Sends one key press and release with the text of each character, as a keyboard layout
// of another script (or a tool that types Unicode) gives them: no key code of its own.
void TypeUnicode(QWidget* target, const QString& text) {
    for (const char32_t cp : text.toUcs4()) {
        const QString typed = QString::fromUcs4(&cp, 1);
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, typed);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, typed);
        QApplication::sendEvent(target, &release);
    }
}

// A Unicode file (65001) in Write mode: the field takes an input method's text and Unicode key
// presses, stands at the right for a right-to-left answer, and the answer is judged composed;
// the verdict marks whole characters; the table puts right-to-left texts at the right.
TEST_F(ExerciseWndTest, AnswersInAnyScript) {
    settings->CodePage = TCodePage::kUtf8;
    settings->general.WriteAnswer = true;
    settings->general.IgnoreAccents = true;
    settings->exercise.Lang2 = "Mixed";
    auto file = std::make_shared<TLangFHandler>();
    file->SetLanguageNames("English", "Mixed");
    auto lesson = std::make_shared<TLesson>();
    lesson->number = 1;
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"book", "كِتَاب"}, {"thank you", "ありがとう"}, {"water", "पानी"}};
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        auto pair = lesson->NewPair(static_cast<std::int64_t>(i));
        pair->text1 = pairs[i].first;
        pair->text2 = pairs[i].second;
        pair->use = true;
    }
    file->PutLesson(lesson);
    lang = file;

    TExerciseDlg& dlg = Open();
    Settle(dlg);
    EXPECT_TRUE(dlg.answerEdit->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_GE(dlg.answerEdit->maxLength(), 200 * 4) << "the limit counts characters";
    // 200 characters as the learner sees them, each of two UTF-16 units here.
    TypeUnicode(dlg.answerEdit, QStringLiteral("\U0002000B").repeated(201));
    EXPECT_EQ(dlg.answerEdit->text(), QStringLiteral("\U0002000B").repeated(200));
    Key(dlg, Qt::Key_Escape);
    EXPECT_EQ(dlg.answerEdit->text(), QString());
    // An input method commits the Arabic word without its vowel marks.
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("كتاب"));
    QApplication::sendEvent(dlg.answerEdit, &commit);
    EXPECT_EQ(dlg.answerEdit->text(), QStringLiteral("كتاب"));
    EXPECT_TRUE(dlg.answerEdit->alignment() & Qt::AlignRight);
    Key(dlg, Qt::Key_Return);
    EXPECT_TRUE(dlg.verdictLabel->text().contains("Right"));
    Settle(dlg);
    SaveShot(dlg, "exercise-unicode-arabic.png");
    Key(dlg, Qt::Key_Return);
    Settle(dlg);

    // Japanese typed key by key, one of them decomposed (か and the voicing mark: が).
    TypeUnicode(dlg.answerEdit, QStringLiteral("ありか\u3099とう"));
    EXPECT_TRUE(dlg.answerEdit->alignment() & Qt::AlignLeft);
    Key(dlg, Qt::Key_Return);
    EXPECT_TRUE(dlg.verdictLabel->text().contains("Right"));
    Settle(dlg);
    SaveShot(dlg, "exercise-unicode-japanese.png");
    Key(dlg, Qt::Key_Return);
    Settle(dlg);

    // Hindi with a vowel sign missing: the letter with it is marked as a whole.
    TypeUnicode(dlg.answerEdit, QStringLiteral("पनी"));
    Key(dlg, Qt::Key_Return);
    EXPECT_TRUE(dlg.verdictLabel->text().contains("Wrong"));
    EXPECT_TRUE(dlg.verdictLabel->text().contains("font-weight:bold\">प</span>नी"))
        << dlg.verdictLabel->text().toStdString();
    Settle(dlg);
    SaveShot(dlg, "exercise-unicode-hindi.png");

    Answers no(kIdNo);
    Key(dlg, Qt::Key_Return);
    ASSERT_TRUE(dlg.exerciseList->isVisible());
    QTreeWidget& table = *dlg.exerciseList;
    EXPECT_TRUE(table.topLevelItem(0)->textAlignment(3) & Qt::AlignRight);
    EXPECT_TRUE(table.topLevelItem(1)->textAlignment(3) & Qt::AlignLeft);
    EXPECT_TRUE(table.topLevelItem(2)->textAlignment(3) & Qt::AlignLeft);
    EXPECT_EQ(table.topLevelItem(0)->text(5), QStringLiteral("Right: كتاب"));
    EXPECT_EQ(table.topLevelItem(1)->text(5), QStringLiteral("Right: ありがとう"));
    EXPECT_TRUE(table.topLevelItem(0)->textAlignment(5) & Qt::AlignRight);
    SaveShot(dlg, "exercise-unicode-table.png");
    const std::vector<TCardResult>& results = dlg.Run().CardResults();
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[1].typed, "ありがとう") << "composed";
}

TEST_F(ExerciseWndTest, AutomaticModeStartsAndStopsWithSpace) {
    settings->general.AutoPresent = true;
    TExerciseDlg& dlg = Open();
    EXPECT_EQ(dlg.modeValue->text(), "Automatic");
    EXPECT_EQ(dlg.stateValue->text(), "stopped");
    EXPECT_EQ(dlg.wNbrValue->text(), "0/3");
    EXPECT_TRUE(dlg.btnRun->isEnabled());
    QTest::keyClick(&dlg, Qt::Key_Space);
    EXPECT_EQ(dlg.stateValue->text(), "running");
    EXPECT_EQ(dlg.wNbrValue->text(), "1/3");
    // The card flies in on the graphic timer; then the answer delay runs.
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.timerAnswerDelay->isActive(); }, 10'000));
    EXPECT_EQ(dlg.timerAnswerDelay->interval(), 1000);
    Key(dlg, Qt::Key_Space);
    EXPECT_EQ(dlg.stateValue->text(), "stopped");
    EXPECT_FALSE(dlg.timerAnswerDelay->isActive());
}

// What the main window relies on: the factory's window closes through the context, saving
// the language file and holding entries back after "not more use"; F1 asks the main window.
TEST_F(ExerciseWndTest, TheFactorysWindowSavesThroughTheContextWhenClosed) {
    TExerciseDlg& dlg = Open();
    Settle(dlg);
    EXPECT_TRUE(window->IsExerciseVisible());
    Key(dlg, Qt::Key_F1);
    EXPECT_EQ(helps, (std::vector<int>{5})); // the focus is on a priority button
    QTest::mouseClick(dlg.rbPrio[9], Qt::LeftButton, {}, QPoint(8, dlg.rbPrio[9]->height() / 2));
    const auto pair = lang->LessonAt(1)->PairAt(0);
    EXPECT_FALSE(pair->use || pair->drawn);
    window->CloseExercise();
    EXPECT_FALSE(window->IsExerciseVisible());
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(splits, 1);
    // The pair left for good, the one with priority 3 is held back.
    EXPECT_EQ(settings->exercise.ExerciseWords, (ArrayWordData{{1, 2, 0, false}}));
    EXPECT_EQ(settings->heldBack.size(), 1u);

    // Shown again: a fresh run over the shorter list, nothing to save at its close.
    window->ShowExercise();
    EXPECT_EQ(dlg.wNbrValue->text(), "1/1");
    window->CloseExercise();
    EXPECT_EQ(saves, 1);
}

// In the program: the main window's START opens this window through the factory, and closing
// the main window while the exercise runs closes it first, which saves the "not more use" of a
// pair to the language file before the settings are written without its entry.
TEST(ExerciseInTheProgram, ClosingTheMainWindowClosesTheExerciseFirstAndSavesTheFile) {
    QTemporaryDir folder;
    const std::filesystem::path dir = folder.path().toStdString();
    ASSERT_TRUE(QFile::copy(LEXARO_TEXTDB_FILE, folder.filePath("Text.Db")));
    std::filesystem::create_directories(dir / "LangFiles");
    TLangFHandler file = test::GeneratedLangFile({{1, 4, true}});
    ASSERT_TRUE(file.Save(dir / "LangFiles" / "Words.lang").ok());
    {
        std::ofstream ini(dir / "Lexaro.Ini", std::ios::binary);
        ini << "[GeneralProperty]\r\nAutoPresent=False\r\nVoicePresent=0\r\nVoiceAnswer=False\r\n"
               "ShowTable=False\r\n[Exercise]\r\nLangFileName=LangFiles/Words.lang\r\n"
               "Lang1=English\r\nLang2=Deutsch\r\nFirstLang=True\r\nMaxWords=300\r\n"
               "[AvailableUnits]\r\n0=1\r\nNbrUnits=1\r\n[ExerciseWords]\r\nNbrWords=0\r\n"
               "[Application]\r\nLanguage=EN\r\n";
    }
    Answers boxes(kIdOk);
    tMainWindow main(dir);
    ASSERT_FALSE(main.HasEnded());
    main.SetExerciseWindowFactory(MakeExerciseWindow);
    main.show();
    main.ExerciseRun();
    auto* dlg = dynamic_cast<TExerciseDlg*>(main.ExerciseWindow());
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->wNbrValue->text(), "1/4");
    // The first card's pair: "not more use".
    const ExerciseEntry first = main.Logic().Settings()->exercise.ExerciseWords.at(0);
    ASSERT_TRUE(dlg->Run().KeyDown(TExerciseKey::Digit9));
    main.close();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(boxes.asked.empty());

    TLangFHandler saved;
    ASSERT_TRUE(saved.Load(dir / "LangFiles" / "Words.lang"));
    const auto pair = saved.LessonAt(first.lesson)->PairAt(first.pairId);
    EXPECT_FALSE(pair->use);
    EXPECT_FALSE(pair->drawn);
    std::ifstream ini(dir / "Lexaro.Ini", std::ios::binary);
    std::ostringstream text;
    text << ini.rdbuf();
    EXPECT_EQ(text.str().find("=" + std::to_string(first.lesson) + "-" +
                              std::to_string(first.pairId) + "-"),
              std::string::npos);
    EXPECT_NE(text.str().find("NbrWords=3"), std::string::npos);
}

// Above 110 pixels per inch the table, the card and the window grow with the density, and the
// card comes to rest on the table.
TEST_F(ExerciseWndTest, HigherDensitiesGetTheLargerCardsOnALargerTable) {
    struct Row {
        int ppi;
        QSize card;
    };
    for (const Row& row : {Row{96, {290, 140}}, Row{120, {362, 175}}, Row{144, {435, 210}}}) {
        TExerciseDlg dlg(ExerciseRunContextOf(Context()), {}, nullptr, row.ppi);
        EXPECT_EQ(dlg.Canvas().CardImage().size(), row.card) << row.ppi;
        const TCardTableLayout layout =
            CardTableLayout(row.ppi, {row.card.width(), row.card.height()});
        EXPECT_EQ(dlg.groundImage->size(), QSize(layout.background.w, layout.background.h));
        // Everything fits in the window.
        for (QWidget* part :
             {static_cast<QWidget*>(dlg.groundImage), static_cast<QWidget*>(dlg.prioBox),
              static_cast<QWidget*>(dlg.btnBox)})
            EXPECT_TRUE(QRect(QPoint(0, 0), dlg.size()).contains(part->geometry()))
                << row.ppi << " " << part->objectName().toStdString();
    }
}

} // namespace
} // namespace lexaro
