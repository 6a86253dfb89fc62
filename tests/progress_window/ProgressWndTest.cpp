#include "progress_window/ProgressWnd.h"

#include "app/AppIniFile.h"
#include "app/AppLangHandl.h"
#include "app/HelpContexts.h"
#include "app/UiHelpers.h"
#include "progress/JournalFields.h"
#include "support/LangFiles.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QStackedBarSeries>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include <cstdlib>
#include <ctime>
#include <fstream>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

using namespace std::chrono;

class Answers {
public:
    Answers() {
        previous_ = setMessageHook([this](const MessageRequest& request) {
            asked.push_back(request.text);
            return kIdOk;
        });
    }
    ~Answers() { setMessageHook(previous_); }
    std::vector<QString> asked;

private:
    MessageHook previous_;
};

sys_seconds At(int year, int month, int day, int hour) {
    return sys_days{std::chrono::year{year} / month / day} + hours{hour};
}

// A language file of two lessons on disk named by the settings, a journal of two runs on two
// days (one with typed answers, one broken line), and the window's clock on the second day.
class ProgressWndTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    std::filesystem::path langPath;
    std::shared_ptr<TAppIniFile> settings;
    std::shared_ptr<TAppLangHandler> texts = std::make_shared<TAppLangHandler>();
    std::shared_ptr<TLangFHandler> lang;
    std::vector<int> helps;
    std::unique_ptr<IProgressWindow> window;

    ProgressWndTest() {
        setenv("TZ", "UTC", 1);
        tzset();
        const std::filesystem::path dir = folder.path().toStdString();
        langPath = dir / "words.tsv";
        settings = std::make_shared<TAppIniFile>(dir, nullptr);
        EXPECT_TRUE(texts->OpenTextDb(LEXARO_TEXTDB_FILE, "Lexaro", nullptr));
        EXPECT_TRUE(texts->SelectLanguage("EN"));
        // Lesson 1: five pairs, 0 and 1 drawn, 2 held back; lesson 3: two retired.
        lang = std::make_shared<TLangFHandler>(
            test::GeneratedLangFile({{1, 5, true}, {3, 2, false}}, {{1, 0}, {1, 1}}));
        EXPECT_TRUE(lang->Save(langPath).ok());
        settings->exercise.LangFileName = langPath.string();
        settings->exercise.ExerciseWords = {{1, 0, 0}, {1, 1, 0}};
        settings->heldBack = {{1, 2, 4}};

        auto write = [&](sys_seconds when, std::vector<TJournalVerdict> verdicts) {
            TJournalWriter writer(langPath, [when] { return system_clock::time_point(when); });
            for (std::size_t i = 0; i < verdicts.size(); ++i)
                writer.Add(ExerciseEntry{1, static_cast<std::int32_t>(i % 5), 0}, true, "word",
                           TCodePage::Western(), verdicts[i], 0);
            EXPECT_TRUE(writer.Close().result.ok());
        };
        write(At(2026, 12, 10, 9), {TJournalVerdict::None, TJournalVerdict::None});
        write(At(2026, 12, 11, 9),
              {TJournalVerdict::Right, TJournalVerdict::Right, TJournalVerdict::Wrong});
        std::ofstream(JournalPath(langPath), std::ios::app) << "broken line\n";
    }

    TWindowContext Context() {
        TWindowContext c;
        c.settings = settings;
        c.texts = texts;
        c.langFile = lang;
        c.showHelp = [this](int context) { helps.push_back(context); };
        return c;
    }

    // Under $LEXARO_SCREENSHOT_DIR, for a look by eye.
    static void Screenshot(QWidget& wnd, const QString& name) {
        const QString dir = qEnvironmentVariable("LEXARO_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            wnd.grab().save(dir + "/" + name + ".png");
    }

    TProgressWnd& Open() {
        window = MakeProgressWindow(Context(), nullptr);
        auto& wnd = dynamic_cast<TProgressWnd&>(*window);
        wnd.SetClock([] { return system_clock::time_point(At(2026, 12, 11, 18)); });
        window->ShowProgress();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&wnd));
        return wnd;
    }
};

QList<QBarSet*> BarSets(QChartView* view) {
    const auto series = view->chart()->series();
    EXPECT_FALSE(series.isEmpty());
    return static_cast<QStackedBarSeries*>(series.front())->barSets();
}

QList<QBarSet*> DueBars(QChartView* view) {
    const auto series = view->chart()->series();
    EXPECT_EQ(series.size(), 1);
    return static_cast<QBarSeries*>(series.front())->barSets();
}

TEST_F(ProgressWndTest, DrawsTheLessonsAndBothDaysOfPractice) {
    TProgressWnd& wnd = Open();
    Screenshot(wnd, "progress-en");
    EXPECT_EQ(wnd.windowTitle(), "Progress");
    auto* axis = qobject_cast<QCategoryAxis*>(wnd.daysView->chart()->axes(Qt::Horizontal).at(0));
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(axis->categoriesLabels(),
              (QStringList{"18 Sep", "2 Oct", "16 Oct", "30 Oct", "13 Nov", "27 Nov", "11 Dec"}));
    const auto lessons = BarSets(wnd.lessonsView);
    ASSERT_EQ(lessons.size(), 4);
    const int expected[4][2] = {{2, 0}, {2, 0}, {1, 0}, {0, 2}}; // waiting .. retired
    for (int s = 0; s < 4; ++s)
        for (int l = 0; l < 2; ++l)
            EXPECT_EQ(lessons[s]->at(l), expected[s][l]) << s << " " << l;
    EXPECT_EQ(lessons[0]->label(), "Waiting");
    EXPECT_EQ(lessons[3]->label(), "Retired");

    const auto days = BarSets(wnd.daysView);
    ASSERT_EQ(days.size(), 1);
    ASSERT_EQ(days[0]->count(), 90);
    EXPECT_EQ(days[0]->at(89), 3);
    EXPECT_EQ(days[0]->at(88), 2);
    auto* share = qobject_cast<QLineSeries*>(wnd.daysView->chart()->series().at(1));
    ASSERT_NE(share, nullptr);
    ASSERT_EQ(share->count(), 1);
    EXPECT_NEAR(share->at(0).y(), 66.67, 0.01);
    EXPECT_EQ(wnd.summaryLabel->text(),
              "Typed answers right in the last 90 days: 67% (2 of 3)    Journal lines skipped "
              "because they could not be read: 1");
    // Small counts: a tick at each whole number, none between two (labelled alike).
    for (QChartView* view : {wnd.daysView, wnd.dueView}) {
        auto* y = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Vertical).at(0));
        ASSERT_NE(y, nullptr);
        EXPECT_EQ(y->tickCount(), static_cast<int>(y->max()) + 1) << y->max();
    }
}

// An exercise closed in another window adds to the journal: back in the progress window, the
// learner sees it.
TEST_F(ProgressWndTest, ComingBackFromAnotherWindowShowsWhatWasPractisedThere) {
    TProgressWnd& wnd = Open();
    QWidget other;
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    wnd.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&wnd));
    EXPECT_EQ(wnd.Report().figures.days.back().counts.cards, 3);

    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    TJournalWriter writer(langPath, [] { return system_clock::time_point(At(2026, 12, 11, 12)); });
    writer.Add(ExerciseEntry{1, 0, 0}, true, "word", TCodePage::Western(), TJournalVerdict::None,
               0);
    ASSERT_TRUE(writer.Close().result.ok());
    EXPECT_EQ(wnd.Report().figures.days.back().counts.cards, 3) << "read only when needed";

    wnd.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&wnd));
    EXPECT_EQ(wnd.Report().figures.days.back().counts.cards, 4);
    EXPECT_EQ(BarSets(wnd.daysView)[0]->at(89), 4);
}

TEST_F(ProgressWndTest, HoverShowsTheNumbers) {
    TProgressWnd& wnd = Open();
    emit BarSets(wnd.lessonsView)[1]->hovered(true, 0);
    EXPECT_EQ(wnd.hoverLabel->text(), "Lesson 1:  Waiting 2,  Practised this cycle 2,  Held back "
                                      "1,  Retired 0,  Due now 0");
    emit BarSets(wnd.daysView)[0]->hovered(true, 89);
    EXPECT_EQ(wnd.hoverLabel->text(), "2026-12-11:  Cards 3,  Typed right (%) 67");
    emit BarSets(wnd.daysView)[0]->hovered(false, 89);
    EXPECT_EQ(wnd.hoverLabel->text(), "");
}

TEST_F(ProgressWndTest, GermanTexts) {
    ASSERT_TRUE(texts->SelectLanguage("DE"));
    TProgressWnd& wnd = Open();
    EXPECT_EQ(wnd.windowTitle(), "Fortschritt");
    EXPECT_EQ(BarSets(wnd.lessonsView)[2]->label(), QString::fromUtf8("Zurückgestellt"));
    EXPECT_EQ(wnd.btnSavePicture->text(), QString::fromUtf8("Bild speichern…"));
    // Days on the axis as German writes them, the last one today.
    auto* axis = qobject_cast<QCategoryAxis*>(wnd.daysView->chart()->axes(Qt::Horizontal).at(0));
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(axis->categoriesLabels().back(), QString::fromUtf8("11. Dez."));
}

TEST_F(ProgressWndTest, SavesAPictureAndReportsAFailureWithPathAndReason) {
    TProgressWnd& wnd = Open();
    Answers answers;
    const QString good = folder.filePath("progress.png");
    wnd.SetSavePathAsker([good] { return good.chopped(4); }); // ".png" is added
    wnd.SavePictureAsked();
    EXPECT_TRUE(answers.asked.empty());
    const std::string png = test::ReadFileBytes(good.toStdString());
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png.substr(1, 3), "PNG");

    // A folder in the way: never replaced, and the learner is told where and why.
    const QString blocked = folder.filePath("taken.png");
    ASSERT_TRUE(QDir().mkdir(blocked));
    EXPECT_FALSE(wnd.SavePicture(blocked));
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_TRUE(answers.asked[0].startsWith("The picture could not be saved as " +
                                            QDir::toNativeSeparators(blocked) + ": "))
        << answers.asked[0].toStdString();
    EXPECT_TRUE(QFileInfo(blocked).isDir());
}

TEST_F(ProgressWndTest, F1OpensItsHelpAndEscapeCloses) {
    TProgressWnd& wnd = Open();
    wnd.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&wnd));
    // Keys go to the buttons only, Close first; the charts take no focus.
    EXPECT_EQ(QApplication::focusWidget(), wnd.btnClose);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), wnd.btnSavePicture);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), wnd.btnHelp);
    QTest::keyClick(&wnd, Qt::Key_F1);
    EXPECT_EQ(helps, std::vector<int>{kHelpProgress});
    QTest::keyClick(&wnd, Qt::Key_Escape);
    EXPECT_FALSE(wnd.isVisible());
}

TEST_F(ProgressWndTest, WithoutAJournalOrTypedAnswers) {
    std::filesystem::remove(JournalPath(langPath));
    TProgressWnd& wnd = Open();
    EXPECT_EQ(BarSets(wnd.daysView)[0]->sum(), 0);
    EXPECT_EQ(wnd.summaryLabel->text(), "No typed answers in the last 90 days");
    EXPECT_EQ(wnd.dueLabel->text(), "No pair is due now");
    EXPECT_EQ(DueBars(wnd.dueView)[0]->sum(), 0);
    EXPECT_EQ(DueBars(wnd.dueView)[0]->count(), 15);
}

// Practice spread over the last two weeks in three lessons: some pairs are due now, others in
// the days ahead. A first review judged right holds 3.17 days, one judged wrong 9.7 hours; a
// second review judged right 3 days after the first about 11 days.
class ProgressWndForecastTest : public ProgressWndTest {
protected:
    ProgressWndForecastTest() {
        *lang = test::GeneratedLangFile({{1, 10, true}, {2, 8, true}, {3, 2, false}, {4, 7, true}},
                                        {{1, 0}, {1, 1}, {1, 2}, {2, 0}, {4, 0}});
        EXPECT_TRUE(lang->Save(langPath).ok());
        settings->exercise.ExerciseWords.clear();
        settings->heldBack.clear();
        std::filesystem::remove(JournalPath(langPath));
        for (const auto& [number, pairs] : {std::pair{1, 10}, {2, 8}, {4, 6}})
            for (int i = 0; i < pairs; ++i) {
                const int back = (i * 5 + number * 3) % 14; // up to 13 days back
                const sys_seconds first = At(2026, 12, 11 - back, 10);
                Review(number, i, first,
                       i % 5 == 4 ? TJournalVerdict::Wrong : TJournalVerdict::Right);
                if (i % 2 == 1 && back >= 3)
                    Review(number, i, first + days{3}, TJournalVerdict::Right);
            }
        // A new pair answered wrong this morning comes due this evening; a retired pair is
        // never due.
        Review(4, 6, At(2026, 12, 11, 10), TJournalVerdict::Wrong);
        Review(3, 0, At(2026, 12, 1, 10), TJournalVerdict::Right);
    }

    void Review(int lesson, int id, sys_seconds when, TJournalVerdict verdict) {
        TJournalWriter writer(langPath, [when] { return system_clock::time_point(when); });
        writer.Add(ExerciseEntry{lesson, id, 0}, true,
                   "word " + std::to_string(lesson) + "." + std::to_string(id),
                   TCodePage::Western(), verdict, 0);
        EXPECT_TRUE(writer.Close().result.ok());
    }
};

TEST_F(ProgressWndForecastTest, ShowsWhatIsDueTodayInTheNextDaysAndPerLesson) {
    TProgressWnd& wnd = Open();
    Screenshot(wnd, "progress-forecast-en");
    const std::vector<std::int32_t> expected = {8, 2, 1, 2, 1, 1, 1, 1, 0, 0, 1, 2, 0, 0, 0};
    EXPECT_EQ(wnd.Report().due.days, expected);

    // The days ahead: a bar each, today first, under the charts' own caption.
    const auto bars = DueBars(wnd.dueView);
    ASSERT_EQ(bars.size(), 1);
    ASSERT_EQ(bars[0]->count(), 15);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(bars[0]->at(i), expected[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(wnd.dueView->chart()->title(), "Pairs due in the next 14 days");
    auto* axis = qobject_cast<QBarCategoryAxis*>(wnd.dueView->chart()->axes(Qt::Horizontal).at(0));
    ASSERT_NE(axis, nullptr);
    ASSERT_EQ(axis->count(), 15);
    // 2026-12-11 is a Friday.
    EXPECT_EQ(axis->at(0), "Today");
    EXPECT_EQ(axis->at(1), "<center>Sat<br>12</center>");
    EXPECT_EQ(axis->at(14), "<center>Fri<br>25</center>");

    // In the lessons' chart a marker at the pairs due now over each lesson that has any (the
    // x is the lesson's place in the chart); the retired lesson has none.
    const auto series = wnd.lessonsView->chart()->series();
    ASSERT_EQ(series.size(), 2);
    auto* marks = qobject_cast<QScatterSeries*>(series.at(1));
    ASSERT_NE(marks, nullptr);
    EXPECT_EQ(marks->name(), "Due now");
    EXPECT_EQ(marks->points(), (QList<QPointF>{{0, 3}, {1, 2}, {3, 2}}));
    EXPECT_EQ(wnd.dueLabel->text(), "Due now: 7 pair(s) (lesson 1: 3, lesson 2: 2, lesson 4: 2)");

    // Hovering: today's bar tells the pairs due now apart from those due later today.
    emit bars[0]->hovered(true, 0);
    EXPECT_EQ(wnd.hoverLabel->text(), "2026-12-11 (Today):  Pairs due 8,  Due now 7");
    emit bars[0]->hovered(true, 1);
    EXPECT_EQ(wnd.hoverLabel->text(), "2026-12-12 (Tomorrow):  Pairs due 2");
    emit bars[0]->hovered(true, 14);
    EXPECT_EQ(wnd.hoverLabel->text(), "2026-12-25:  Pairs due 0");
    emit marks->hovered(QPointF(3, 2), true);
    EXPECT_EQ(wnd.hoverLabel->text(), "Lesson 4:  Waiting 6,  Practised this cycle 1,  Held back "
                                      "0,  Retired 0,  Due now 2");
    emit marks->hovered(QPointF(3, 2), false);
    EXPECT_EQ(wnd.hoverLabel->text(), "");

    // "Save picture…" takes all three charts and the lines under them.
    QWidget* charts = wnd.findChild<QWidget*>("charts");
    ASSERT_NE(charts, nullptr);
    for (QWidget* part :
         std::initializer_list<QWidget*>{wnd.lessonsView, wnd.dueView, wnd.dueLabel, wnd.daysView})
        EXPECT_TRUE(charts->isAncestorOf(part)) << part->objectName().toStdString();
}

TEST_F(ProgressWndForecastTest, GermanTexts) {
    ASSERT_TRUE(texts->SelectLanguage("DE"));
    TProgressWnd& wnd = Open();
    Screenshot(wnd, "progress-forecast-de");
    EXPECT_EQ(wnd.dueView->chart()->title(),
              QString::fromUtf8("Fällige Paare in den nächsten 14 Tagen"));
    auto* axis = qobject_cast<QBarCategoryAxis*>(wnd.dueView->chart()->axes(Qt::Horizontal).at(0));
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(axis->at(0), "Heute");
    EXPECT_EQ(axis->at(1), "<center>Sa.<br>12.</center>");
    EXPECT_EQ(
        wnd.dueLabel->text(),
        QString::fromUtf8("Jetzt fällig: 7 Paar(e) (Lektion 1: 3, Lektion 2: 2, Lektion 4: 2)"));
    emit DueBars(wnd.dueView)[0]->hovered(true, 1);
    EXPECT_EQ(wnd.hoverLabel->text(), "2026-12-12 (Morgen):  Fällige Paare 2");
}

// The window counts at the learner's target, as "Due words first" composes: at 99 % most pairs
// are due now (7 at 90 %).
TEST_F(ProgressWndForecastTest, CountsAtTheLearnersTarget) {
    settings->general.DueTarget = 99;
    TProgressWnd& wnd = Open();
    EXPECT_EQ(wnd.Report().due, LoadProgress(langPath, *lang, TCodePage::Western(), {}, {},
                                             At(2026, 12, 11, 18), LocalUtcOffset, 0.99)
                                    .due);
    EXPECT_EQ(wnd.dueLabel->text(), "Due now: 18 pair(s) (lesson 1: 9, lesson 2: 5, lesson 4: 4)");
}

// With many lessons due the line names the first eight; the chart shows them all.
TEST_F(ProgressWndForecastTest, TheLineNamesTheFirstEightLessonsDue) {
    std::vector<test::LessonPlan> lessons;
    for (int number = 1; number <= 10; ++number)
        lessons.push_back({number, 1, true});
    *lang = test::GeneratedLangFile(lessons);
    std::filesystem::remove(JournalPath(langPath));
    for (int number = 1; number <= 10; ++number)
        Review(number, 0, At(2026, 12, 1, 10), TJournalVerdict::Right);
    TProgressWnd& wnd = Open();
    EXPECT_EQ(wnd.dueLabel->text(), QString::fromUtf8("Due now: 10 pair(s) (lesson 1: 1, lesson 2: "
                                                      "1, lesson 3: 1, lesson 4: 1, lesson 5: 1, "
                                                      "lesson 6: 1, lesson 7: 1, lesson 8: 1, …)"));
    auto* marks = qobject_cast<QScatterSeries*>(wnd.lessonsView->chart()->series().at(1));
    ASSERT_NE(marks, nullptr);
    EXPECT_EQ(marks->count(), 10);
}

} // namespace
} // namespace lexaro
