#include "progress_window/ProgressWnd.h"

#include "app/AppIniFile.h"
#include "app/AppLangHandl.h"
#include "app/HelpContexts.h"
#include "app/UiHelpers.h"
#include "progress/JournalFields.h"
#include "support/LangFiles.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QTemporaryDir>
#include <QTest>

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

TEST_F(ProgressWndTest, DrawsTheLessonsAndBothDaysOfPractice) {
    TProgressWnd& wnd = Open();
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
                                      "1,  Retired 0");
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
}

} // namespace
} // namespace lexaro
