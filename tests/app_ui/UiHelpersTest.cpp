#include "AppFolderFixture.h"

#include "app/AppLangHandl.h"
#include "app/HelpWindow.h"
#include "app/MainWnd.h"
#include "app/QtText.h"
#include "app/T_MAboutDlg.h"
#include "app/UiHelpers.h"
#include "data/CodePage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace lexaro {
namespace {

using testing::AppFolder;
using testing::MessageRecorder;

QPixmap filled(QColor colour) {
    QPixmap pixmap(4, 4);
    pixmap.fill(colour);
    return pixmap;
}

// Under Unicode stored text is UTF-8: widgets show every script, beyond the basic plane too,
// and what is typed is stored composed, never as bytes that are no UTF-8. The single-byte
// pages keep one byte per character.
TEST(QtTextTest, UnicodeStoredTextMeetsWidgetsAsUtf8) {
    const TCodePage& unicode = TCodePage::Get(TCodePage::kUtf8);
    EXPECT_EQ(QtFromStored("日本語 \xF0\x9F\x98\x80 \xD9\x85\xD8\xA7\xD8\xA1", unicode),
              QString::fromUtf8("日本語 😀 ماء"));
    EXPECT_EQ(QtFromStored("a\xFF", unicode), QString::fromUtf8("a\uFFFD"));
    std::string stored;
    ASSERT_TRUE(StoredFromQt(QString::fromUtf8("cafe\u0301 नमस्ते 😀"), unicode, stored));
    EXPECT_EQ(stored, "caf\xC3\xA9 नमस्ते 😀");
    QString broken = QStringLiteral("ab");
    broken += QChar(0xD800);
    broken += QStringLiteral("c");
    qsizetype bad = -1;
    stored = "kept";
    // Qt writes it as a replacement: what is stored is UTF-8 through and through.
    ASSERT_TRUE(StoredFromQt(broken, unicode, stored, &bad));
    EXPECT_EQ(unicode.ToUtf8(stored), stored);
    // Windows-1252 and Cyrillic as before.
    ASSERT_TRUE(StoredFromQt(QString::fromUtf8("Tür"), TCodePage::Western(), stored));
    EXPECT_EQ(stored, "T\xFCr");
    EXPECT_FALSE(StoredFromQt(QString::fromUtf8("日本"), TCodePage::Western(), stored, &bad));
    EXPECT_EQ(bad, 0);
    EXPECT_EQ(QtFromStored("\xE4\xEE\xEC", TCodePage::Get(1251)), QString::fromUtf8("дом"));
}

TEST(ImageListTest, ItemsBeyondTheImagesGetTheLastPicture) {
    const QList<QPixmap> images = {filled(Qt::red), filled(Qt::blue)};
    const QList<QPixmap> pictures = picturesForItems(5, images);
    ASSERT_EQ(pictures.size(), 5);
    const QColor expected[] = {Qt::red, Qt::blue, Qt::blue, Qt::blue, Qt::blue};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(pictures[i].toImage().pixelColor(0, 0), expected[i]) << i;

    EXPECT_EQ(picturesForItems(1, images).size(), 1);
    for (const QPixmap& none : picturesForItems(3, {}))
        EXPECT_TRUE(none.isNull());

    QComboBox combo;
    combo.addItems({"a", "b", "c"});
    assignImageListToItems(combo, {filled(Qt::green)});
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(combo.itemIcon(i).isNull()) << i;
}

// The real box, answered by a key or a click once it is up.
struct BoxAnswer {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QString title, text;
};

int answerRealBox(const QString& caption, const QString& text, int style,
                  const std::function<void(QMessageBox&)>& answer, BoxAnswer& seen) {
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            ADD_FAILURE() << "no message box is shown";
            return;
        }
        seen = {box->icon(), box->standardButtons(), box->windowTitle(), box->text()};
        answer(*box);
    });
    return showMessage(caption, text, style, false);
}

TEST(ShowMessageTest, TheBoxShowsItsStyleAndMapsItsAnswers) {
    BoxAnswer seen;
    const auto press = [](QMessageBox::StandardButton which) {
        return [which](QMessageBox& box) { box.button(which)->click(); };
    };
    const auto escape = [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); };

    EXPECT_EQ(answerRealBox("Cap", "Go on?", kMbIconInformation | kMbYesNo, press(QMessageBox::Yes),
                            seen),
              kIdYes);
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seen.title, "Cap");
    EXPECT_EQ(seen.text, "Go on?");
    EXPECT_EQ(answerRealBox("Cap", "Go on?", kMbIconInformation | kMbYesNo, escape, seen), kIdNo)
        << "Escape answers No";
    EXPECT_EQ(
        answerRealBox("Cap", "Go on?", kMbIconInformation | kMbYesNo, press(QMessageBox::No), seen),
        kIdNo);

    EXPECT_EQ(answerRealBox("Cap", "Failed", kMbIconWarning | kMbOk, escape, seen), kIdOk);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
    EXPECT_EQ(answerRealBox("Cap", "Sure?", kMbOkCancel, escape, seen), kIdCancel);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
}

TEST(FitFormTest, AtNormalDensityAWindowThatFitsIsOnlyCentred) {
    QWidget window;
    window.resize(300, 100);
    window.move(0, 0);
    const QRect avail = window.screen()->availableGeometry();
    if (window.screen()->logicalDotsPerInch() < 90 || window.screen()->logicalDotsPerInch() > 100)
        GTEST_SKIP() << "screen density is not normal";
    EXPECT_FALSE(fitFormToScreen(window, true, true, true));
    EXPECT_EQ(window.size(), QSize(300, 100));
    EXPECT_EQ(window.x(), avail.x() + (avail.width() - 300) / 2);
    EXPECT_EQ(window.y(), avail.y() + (avail.height() - 100) / 2);

    // Wider than the screen: cut to its width at the left edge.
    QWidget wide;
    wide.resize(avail.width() + 200, 100);
    EXPECT_TRUE(fitFormToScreen(wide, true, false, true));
    EXPECT_EQ(wide.width(), avail.width());
    EXPECT_EQ(wide.x(), avail.x());

    greySizeItem(window);
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
}

TEST(AboutBoxTest, LayoutAndTitle) {
    TAboutText text{"About Lexaro",
                    "Lexaro is a vocabulary trainer.",
                    "Version 2.02",
                    "Installed: ...",
                    "Settings: /home/anna/.config/lexaro",
                    "Language files: /home/anna/.local/share/lexaro/LangFiles/with/a/path/"
                    "longer/than/the/box/is/wide/so/that/it/must/wrap/somewhere",
                    "Libraries used: Qt 6, espeak-ng 1.51"};
    TMAboutDlg about(QIcon(":/images/app-icon.svg"), "Lexaro V2.02", text);
    about.show();
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_EQ(about.windowTitle(), "About Lexaro");
    EXPECT_EQ(about.labelApplTitel->text(), "Lexaro V2.02");
    EXPECT_EQ(about.labelWhat->text(), "Lexaro is a vocabulary trainer.");
    EXPECT_EQ(about.labelVersion->text(), "Version 2.02");
    EXPECT_EQ(about.labelSettings->text().remove(QChar(0x200B)),
              "Settings: /home/anna/.config/lexaro");
    EXPECT_EQ(about.labelLibraries->text(), "Libraries used: Qt 6, espeak-ng 1.51");
    // A long folder wraps inside the box instead of widening it.
    EXPECT_LE(about.labelLangFiles->sizeHint().width(), about.labelLangFiles->width());
    EXPECT_GT(about.labelLangFiles->height(), about.labelVersion->height());
    EXPECT_EQ(about.labelApplTitel->palette().color(QPalette::WindowText), QColor(0x008080));
    EXPECT_TRUE(about.labelApplTitel->font().bold());
    EXPECT_TRUE(about.labelApplTitel->font().italic());
    EXPECT_EQ(about.labelApplTitel->font().pixelSize(), 19);
    EXPECT_EQ(about.iconBox->size(), QSize(41, 41));
    EXPECT_EQ(about.icon->size(), QSize(33, 33));
    EXPECT_FALSE(about.icon->pixmap().isNull());
    // Everything lies inside the box.
    for (QWidget* child : about.findChildren<QWidget*>())
        EXPECT_TRUE(about.rect().contains(child->mapTo(&about, child->rect().bottomRight())))
            << child->objectName().toStdString();
    QTest::mouseClick(about.btnClose, Qt::LeftButton);
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* lang : {"en", "de"}) {
            QDir(QString::fromStdString(folder.path())).mkpath(QString("help/") + lang);
            for (const char* page : {"index.html", "topics.html"}) {
                std::ofstream out(folder.file(std::string("help/") + lang + "/" + page));
                out << "<html><body><h1>" << lang << " " << page
                    << "</h1><a name=\"Hauptfenster\"></a><p>Main</p>"
                    << "<a name=\"Allgemeines\"></a><p>General</p>"
                    << "<a name=\"Zusammenstellung\"></a><p>Composition</p></body></html>";
            }
        }
    }
    AppFolder folder;
    MessageRecorder recorder;
};

TEST_F(HelpTest, TopicsFollowTheUiLanguageAndCloseWithTheMainWindow) {
    folder.copyTextDb();
    folder.writeIni(folder.file("LangFiles/none.lang"), {1});
    tMainWindow window(folder.path(), nullptr);
    window.show();
    QTest::mouseClick(window.btnHelp, Qt::LeftButton);
    THelpWindow* help = window.HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->source().toLocalFile().endsWith("help/en/topics.html"));
    EXPECT_EQ(help->source().fragment(), "Hauptfenster");

    window.ApplyUiLanguage("DE");
    window.mHelpGeneral->trigger();
    EXPECT_TRUE(help->source().toLocalFile().endsWith("help/de/topics.html"));
    EXPECT_EQ(help->source().fragment(), "Allgemeines");

    window.mHelpContents->trigger();
    EXPECT_TRUE(help->source().toLocalFile().endsWith("help/de/index.html"));

    window.close();
    EXPECT_FALSE(help->isVisible());
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(HelpPages, EveryTopicOpensWithoutAHorizontalScrollBar) {
    // The shipped pages, in the window's first size.
    THelpWindow help;
    const QString shots = qEnvironmentVariable("LEXARO_SCREENSHOT_DIR");
    for (const char* language : {"EN", "DE"}) {
        help.SetHelpFolder(LEXARO_RESOURCES_DIR, language);
        for (const char* topic : {"", "Hauptfenster", "Uebung", "Schreiben", "Prioritaeten",
                                  "AllgEinstell", "EditLesson", "Importieren"}) {
            ASSERT_TRUE(*topic == 0 ? help.ShowContents() : help.ShowTopic(topic));
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
            QApplication::processEvents();
            EXPECT_EQ(help.horizontalScrollBar()->maximum(), 0)
                << language << " " << topic << ": the text is " << help.document()->idealWidth()
                << " wide in a viewport of " << help.viewport()->width();
            if (!shots.isEmpty())
                help.grab().save(shots + "/help-" + QString(language).toLower() + "-" +
                                 (*topic == 0 ? QStringLiteral("contents") : QString(topic)) +
                                 ".png");
        }
    }
    help.close();
}

TEST_F(HelpTest, F1OpensTheTopicOfWhatHasTheFocus) {
    folder.copyTextDb();
    folder.writeIni(folder.file("LangFiles/none.lang"), {1});
    tMainWindow window(folder.path(), nullptr);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const auto topicAfterF1 = [&](QWidget* target) {
        QTest::keyClick(target, Qt::Key_F1);
        THelpWindow* help = window.HelpWindow();
        return help != nullptr ? help->source().fragment() : QString();
    };
    // The presented language and the phrase choice: the composition topic.
    window.cbNewLoad->setEnabled(true);
    window.cbNewLoad->setFocus();
    EXPECT_EQ(topicAfterF1(window.cbNewLoad), "Zusammenstellung");
    // Elsewhere in the window: the main window's topic.
    window.btnHelp->setFocus();
    EXPECT_EQ(topicAfterF1(window.btnHelp), "Hauptfenster");

    // In the open help menu: the highlighted item's topic.
    for (const auto& [item, topic] : {std::pair{window.mHelpGeneral, "Allgemeines"},
                                      std::pair{window.mHelpContents, "Hauptfenster"}}) {
        window.HelpWindow()->setSource(QUrl());
        window.mHelp->popup(window.mapToGlobal(QPoint(0, 0)));
        window.mHelp->setActiveAction(item);
        QTest::keyClick(window.mHelp, Qt::Key_F1);
        EXPECT_FALSE(window.mHelp->isVisible());
        EXPECT_EQ(window.HelpWindow()->source().fragment(), topic);
    }
    EXPECT_TRUE(recorder.messages.empty());
    window.close();
}

TEST_F(HelpTest, MissingPagesAreReported) {
    THelpWindow help;
    help.SetHelpFolder(folder.file("nowhere"), "EN");
    EXPECT_FALSE(help.ShowTopic("Hauptfenster"));
    EXPECT_FALSE(help.isVisible());
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_TRUE(recorder.messages[0].text.contains("topics.html"));
}

} // namespace
} // namespace lexaro

namespace lexaro {
namespace {

// The About box in both languages for a look by eye, written only when LEXARO_SCREENSHOT_DIR
// names a folder.
TEST(AboutBoxScreenshots, SavesTheBoxInBothLanguages) {
    const QString dir = qEnvironmentVariable("LEXARO_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "LEXARO_SCREENSHOT_DIR is not set";
    TAppLangHandler texts;
    ASSERT_TRUE(texts.OpenTextDb(LEXARO_TEXTDB_FILE, "Lexaro", nullptr));
    TAboutFacts facts;
    facts.program = "Lexaro";
    facts.version = "2.02";
    facts.folders.form = TAppForm::Installed;
    facts.folders.settings = "/home/anna/.config/lexaro";
    facts.folders.data = "/home/anna/.local/share/lexaro";
    facts.libraries = UsedLibraries("espeak-ng 1.51");
    // Qt, the speech library and the Unicode library, each with its version.
    ASSERT_EQ(facts.libraries.size(), 3u);
    EXPECT_EQ(facts.libraries[2].rfind("ICU ", 0), 0u) << facts.libraries[2];
    EXPECT_GT(facts.libraries[2].size(), 4u);
    for (const char* language : {"EN", "DE"}) {
        ASSERT_TRUE(texts.SelectLanguage(language));
        const TAboutText text =
            MakeAboutText([&texts](std::int32_t n) { return texts.GetText(n); }, facts);
        TMAboutDlg about(QIcon(":/images/app-icon.svg"), "Lexaro V2.02", text);
        about.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
        about.grab().save(dir + "/about-" + QString(language).toLower() + ".png");
    }
}

} // namespace
} // namespace lexaro
