// The exercise editor window: its texts and layout, the list's ticks, the fields, Qt's own
// file dialogs, and the lesson editor opened from it.

#include "AppFolderFixture.h"
#include "LayoutCheck.h"
#include "ModalDriver.h"
#include "app/AppIniFile.h"
#include "app/AppLangHandl.h"
#include "app/HelpContexts.h"
#include "data/Charset.h"
#include "data/CodePage.h"
#include "data/FileUtil.h"
#include "editing/EditExercise.h"
#include "editing/EditLesson.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

namespace fs = std::filesystem;
using testing::AppFolder;
using testing::MessageRecorder;
using testing::WaitFor;
using testing::WhenModalOpens;

class EditExerciseDlgTest : public ::testing::Test {
protected:
    void SetUp() override { folder_.copyTextDb(); }

    // The editor on the application folder's settings, in a UI language.
    void Open(const std::string& language = "EN") {
        auto settings = std::make_shared<TAppIniFile>(folder_.path(), nullptr);
        settings->ReadExerciseSection();
        auto texts = std::make_shared<TAppLangHandler>();
        ASSERT_TRUE(texts->OpenTextDb(folder_.file("Text.Db"), "Lexaro", nullptr));
        ASSERT_TRUE(texts->SelectLanguage(language));
        context_.settings = settings;
        context_.texts = texts;
        context_.langFile = std::make_shared<TLangFHandler>();
        context_.showHelp = [this](int c) { help_.push_back(c); };
        dlg_ = std::make_unique<TEditExerciseDlg>(context_, nullptr);
        dlg_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg_.get()));
        dlg_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg_.get()));
        QApplication::processEvents();
    }
    QString Caption(int row) const { return dlg_->lessonList->item(row)->text(); }
    bool Ticked(int row) const { return dlg_->lessonList->item(row)->checkState() == Qt::Checked; }
    void ClickCheckBox(int row) {
        QListWidget* list = dlg_->lessonList;
        const QRect item = list->visualItemRect(list->item(row));
        // The check box sits at the item's left, before the picture.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(item.left() + 10, item.center().y()));
    }
    void Type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    TAppIniFile& Settings() const { return *context_.settings; }

    AppFolder folder_;
    TWindowContext context_;
    std::unique_ptr<TEditExerciseDlg> dlg_;
    std::vector<int> help_;
};

TEST_F(EditExerciseDlgTest, ShowsItsTextsAndLaysThemOutWithoutCutsInBothLanguages) {
    const std::string lang = folder_.writeLangFile("English-Deutsch", {{1, 12}, {2, 8}, {10, 3}});
    folder_.writeIni("LangFiles/English-Deutsch.lang", {1, 10});
    for (const std::string language : {"EN", "DE"}) {
        Open(language);
        const auto& texts = *context_.texts;
        EXPECT_EQ(dlg_->windowTitle().toStdString(), Cp1252ToUtf8(texts.GetText(11)));
        EXPECT_EQ(dlg_->exerciseBox->title().toStdString(),
                  " " + Cp1252ToUtf8(texts.GetText(51)) + " ");
        EXPECT_EQ(dlg_->labelLang2->text().toStdString(), Cp1252ToUtf8(texts.GetText(76)) + " 2");
        EXPECT_EQ(dlg_->btnSaveLangfileAs->toolTip().toStdString(),
                  Cp1252ToUtf8(texts.GetText(89)));
        EXPECT_EQ(Caption(1).toStdString(), " " + Cp1252ToUtf8(texts.GetText(46)) + " 10");
        EXPECT_GE(dlg_->width(), 371);
        EXPECT_GE(dlg_->height(), 442);
        EXPECT_EQ(test::LayoutProblems(*dlg_), std::vector<std::string>{}) << language;
        EXPECT_EQ(dlg_->editFileName->text(), "english-deutsch");
        EXPECT_EQ(dlg_->editFileName->toolTip(), QString::fromStdString(lang));
        EXPECT_EQ(dlg_->labelValueTotalWords->text(), ": 15");
        EXPECT_EQ(dlg_->labelValueNbrWords->text(), ": 12");
        EXPECT_TRUE(dlg_->lessonList->hasFocus());
        // The names of a saved file are its own: both fields look read-only and say why.
        for (QLineEdit* name : {dlg_->editLang1, dlg_->editLang2}) {
            EXPECT_TRUE(name->isReadOnly());
            EXPECT_EQ(name->palette().color(QPalette::Base),
                      dlg_->palette().color(QPalette::Window));
            EXPECT_EQ(name->toolTip().toStdString(), Cp1252ToUtf8(texts.GetText(223)));
        }
        {
            MessageRecorder quiet;
            dlg_->btnNewLangFileClick();
            EXPECT_FALSE(dlg_->editLang1->isReadOnly()) << "a new file's names are typed";
            EXPECT_EQ(dlg_->editLang1->palette().color(QPalette::Base),
                      dlg_->palette().color(QPalette::Base));
            EXPECT_EQ(dlg_->editLang2->toolTip().toStdString(), Cp1252ToUtf8(texts.GetText(78)));
            dlg_->btnCloseClick();
            Open(language);
        }

        const QString shots = qEnvironmentVariable("LEXARO_SCREENSHOT_DIR");
        if (!shots.isEmpty()) {
            const QString prefix =
                shots + "/edit-exercise-" + QString::fromStdString(language).toLower();
            dlg_->grab().save(prefix + ".png");
            MessageRecorder quiet;
            dlg_->btnNewLangFileClick();
            Type(dlg_->editLang1, "English");
            Type(dlg_->editLang2, "Spanish");
            QTest::keyClick(dlg_->editLang2, Qt::Key_Tab);
            QApplication::processEvents();
            dlg_->grab().save(prefix + "-new.png");
            WhenModalOpens(dlg_.get(), [prefix](QWidget* fileDialog) {
                WaitFor([] { return false; }, 300);
                fileDialog->grab().save(prefix + "-open-dialog.png");
                fileDialog->close();
            });
            dlg_->btnOpenLangFileClick();
        }
        dlg_->btnCloseClick();
    }
}

// Under Unicode a language name in a right-to-left script stands at the right of its field
// as it is typed; a name that runs left to right stays at the left.
TEST_F(EditExerciseDlgTest, ARightToLeftLanguageNameStandsAtTheRightOfItsField) {
    folder_.writeLangFile("English-Deutsch", {{1, 3}});
    folder_.writeIni("LangFiles/English-Deutsch.lang", {1});
    Open();
    Settings().CodePage = TCodePage::kUtf8;
    MessageRecorder quiet;
    dlg_->btnNewLangFileClick();
    Type(dlg_->editLang1, "English");
    dlg_->editLang2->setFocus();
    dlg_->editLang2->selectAll();
    for (const QChar c : QString::fromUtf8("العربية"))
        QTest::sendKeyEvent(QTest::KeyAction::Click, dlg_->editLang2, Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
    QApplication::processEvents();
    EXPECT_EQ(dlg_->editLang2->text(), QString::fromUtf8("العربية"));
    EXPECT_TRUE(dlg_->editLang2->alignment() & Qt::AlignRight);
    EXPECT_TRUE(dlg_->editLang1->alignment() & Qt::AlignLeft);
    if (const QString shots = qEnvironmentVariable("LEXARO_SCREENSHOT_DIR"); !shots.isEmpty())
        dlg_->grab().save(shots + "/edit-exercise-arabic-name.png");
    Type(dlg_->editLang2, "Deutsch");
    EXPECT_TRUE(dlg_->editLang2->alignment() & Qt::AlignLeft);
    dlg_->btnCloseClick();
}

TEST_F(EditExerciseDlgTest, TicksCountersAndTheTickThatIsTakenBack) {
    folder_.writeLangFile("f", {{1, 5}, {2, 4, false}, {3, 2}});
    folder_.writeIni("LangFiles/f.lang", {1});
    Open();
    MessageRecorder messages;
    EXPECT_TRUE(Ticked(0));
    ClickCheckBox(2);
    ASSERT_TRUE(WaitFor([&] { return dlg_->labelValueTotalWords->text() == ": 7"; }));
    EXPECT_TRUE(Ticked(2));

    // Lesson 2 has no pair in use: the tick does not stay.
    ClickCheckBox(1);
    ASSERT_TRUE(WaitFor([&] { return !messages.messages.empty(); }));
    EXPECT_FALSE(Ticked(1));
    EXPECT_TRUE(messages.messages[0].beep);
    EXPECT_EQ(messages.messages[0].caption, dlg_->windowTitle());
    EXPECT_EQ(dlg_->labelValueNbrWords->text(), ": 5") << "a tick leaves the selection alone";

    // A click on a lesson's caption selects it and shows its counters.
    const QRect second = dlg_->lessonList->visualItemRect(dlg_->lessonList->item(1));
    QTest::mouseClick(dlg_->lessonList->viewport(), Qt::LeftButton, Qt::NoModifier,
                      second.center());
    ASSERT_TRUE(WaitFor([&] { return dlg_->labelValueNbrWords->text() == ": 4"; }));
    EXPECT_EQ(dlg_->labelValueUsedWords->text(), ": 0");
    EXPECT_EQ(messages.messages.size(), 1u);

    // Space on the current lesson ticks it, as a click does.
    dlg_->lessonList->setFocus();
    dlg_->lessonList->setCurrentRow(0);
    QTest::keyClick(dlg_->lessonList, Qt::Key_Space);
    ASSERT_TRUE(WaitFor([&] { return dlg_->labelValueTotalWords->text() == ": 2"; }));
    EXPECT_FALSE(Ticked(0));

    dlg_->btnSaveClick();
    EXPECT_EQ(dlg_->result(), kIdOk);
    EXPECT_EQ(Settings().exercise.AvailableUnits, intArray{3});
    EXPECT_EQ(dlg_->GetChangeKind(), TChangeKind::Lessons);
}

TEST_F(EditExerciseDlgTest, LeavingAFieldChecksItAndTheArrowsStepTheMaximum) {
    folder_.writeIni("LangFiles/none.lang", {});
    Open();
    EXPECT_TRUE(dlg_->btnSave->isEnabled());
    EXPECT_FALSE(dlg_->btnSaveLangFile->isEnabled());
    EXPECT_FALSE(dlg_->btnSaveLangfileAs->isEnabled());
    // A read-only field is no trap for the keyboard.
    dlg_->editLang1->setFocus();
    QTest::keyClick(dlg_->editLang1, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_TRUE(dlg_->editLang2->hasFocus());

    dlg_->btnNewLangFileClick();
    EXPECT_TRUE(dlg_->editLang1->hasFocus());
    EXPECT_FALSE(dlg_->btnSave->isEnabled());
    EXPECT_FALSE(dlg_->btnNewLesson->isEnabled());
    QTest::keyClicks(dlg_->editLang1, "En");
    QTest::keyClick(dlg_->editLang1, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_TRUE(dlg_->editLang1->hasFocus()) << "two characters are too few";
    QTest::keyClicks(dlg_->editLang1, "glish");
    QTest::keyClick(dlg_->editLang1, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_TRUE(dlg_->editLang2->hasFocus());
    QTest::keyClicks(dlg_->editLang2, "German");
    EXPECT_TRUE(dlg_->btnNewLesson->isEnabled()) << "as soon as both names are long enough";
    QTest::keyClick(dlg_->editLang2, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(dlg_->editFileName->text(), "Eng_Ger");

    Type(dlg_->editMaxWords, "501");
    QTest::keyClick(dlg_->editMaxWords, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(dlg_->editMaxWords->text(), "1");
    EXPECT_TRUE(dlg_->editMaxWords->hasFocus());
    QTest::keyClick(dlg_->editMaxWords, Qt::Key_Down);
    EXPECT_EQ(dlg_->editMaxWords->text(), "500");
    QTest::mouseClick(dlg_->upMaxWords, Qt::LeftButton);
    EXPECT_EQ(dlg_->editMaxWords->text(), "1");
    QTest::mouseClick(dlg_->upMaxWords, Qt::LeftButton);
    EXPECT_EQ(dlg_->editMaxWords->text(), "2");

    // The maximum changed: Escape asks, and Cancel leaves the dialog open; the title bar's
    // close box asks too, and Discard closes without storing.
    MessageRecorder messages;
    messages.answer = kIdCancel;
    QTest::keyClick(dlg_.get(), Qt::Key_Escape);
    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_TRUE(dlg_->isVisible());
    messages.answer = kIdNo;
    dlg_->close();
    EXPECT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(dlg_->result(), kIdCancel);
    EXPECT_EQ(Settings().exercise.MaxWords, 300);
}

TEST_F(EditExerciseDlgTest, OpenUsesQtsFileDialogInLangFilesWithoutReadOnlyFiles) {
    folder_.writeLangFile("first", {{1, 2}});
    folder_.writeLangFile("second", {{4, 3}, {5, 1}});
    const std::string readOnly = folder_.writeLangFile("read-only", {{1, 1}});
    fs::permissions(readOnly, fs::perms::owner_read);
    folder_.writeIni("LangFiles/first.lang", {1});
    Open();
    QStringList shown;
    QString start;
    WhenModalOpens(dlg_.get(), [&](QWidget* modal) {
        auto* files = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(files, dlg_->FileDialog());
        EXPECT_EQ(files->windowTitle(), "Open a Language File");
        start = files->directory().absolutePath();
        auto* view = files->findChild<QListView*>("listView");
        ASSERT_NE(view, nullptr);
        WaitFor([&] { return view->model()->rowCount(view->rootIndex()) >= 2; });
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
            shown << view->model()->index(row, 0, view->rootIndex()).data().toString();
        auto* name = files->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText("second");
        QTest::keyClick(name, Qt::Key_Return);
    });
    dlg_->btnOpenLangFileClick();
    EXPECT_EQ(start, QDir(QString::fromStdString(folder_.file("LangFiles"))).absolutePath());
    EXPECT_TRUE(shown.contains("first.lang")) << shown.join(",").toStdString();
    EXPECT_FALSE(shown.contains("read-only.lang")) << shown.join(",").toStdString();
    ASSERT_EQ(dlg_->lessonList->count(), 2) << "typed without its extension, found with it";
    EXPECT_EQ(dlg_->editFileName->text(), "second");
    EXPECT_FALSE(Ticked(0));
    // The offscreen platform does not give the focus back by itself when a modal window goes.
    dlg_->activateWindow();
    EXPECT_TRUE(WaitFor([&] { return dlg_->lessonList->hasFocus(); }));
    fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(EditExerciseDlgTest, ANewFileWithALessonIsSavedUnderTheProposedNameThroughTheDialogs) {
    folder_.writeIni("", {});
    Open();
    MessageRecorder messages;
    dlg_->btnNewLangFileClick();
    QTest::keyClicks(dlg_->editLang1, "English");
    QTest::keyClick(dlg_->editLang1, Qt::Key_Tab);
    QTest::keyClicks(dlg_->editLang2, "Deutsch");
    QTest::keyClick(dlg_->editLang2, Qt::Key_Tab);
    QApplication::processEvents();

    WhenModalOpens(dlg_.get(), [&](QWidget* modal) {
        auto* lessons = qobject_cast<TeditLessonDlg*>(modal);
        ASSERT_NE(lessons, nullptr);
        TMEditLessonTableModel& model = lessons->Logic().Model();
        ASSERT_EQ(model.RowCount(), 2) << "one new entry";
        EXPECT_EQ(model.RowData(1).lesson, 1);
        rWordPairData data = model.RowData(1);
        data.pair.text1 = "dog";
        data.pair.text2 = "Hund";
        model.SetRowData(1, data, false);
        lessons->btnSafeClick();
    });
    dlg_->btnNewLessonClick();
    ASSERT_EQ(dlg_->lessonList->count(), 1);
    EXPECT_FALSE(dlg_->btnSave->isEnabled()) << "no file name yet";

    QString proposed;
    WhenModalOpens(dlg_.get(), [&](QWidget* modal) {
        auto* files = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(files->windowTitle(), "Save Language File");
        proposed = files->directory().absoluteFilePath(
            files->findChild<QLineEdit*>("fileNameEdit")->text());
        QTest::keyClick(files->findChild<QLineEdit*>("fileNameEdit"), Qt::Key_Return);
    });
    dlg_->btnSaveLangfileAsClick();
    const QString expected = QDir(QString::fromStdString(folder_.file("LangFiles")))
                                 .absoluteFilePath("Eng_Deu/Eng_Deu.lang");
    EXPECT_EQ(proposed, expected);
    ASSERT_TRUE(QFile::exists(expected));
    EXPECT_TRUE(dlg_->btnSave->isEnabled());

    ClickCheckBox(0);
    ASSERT_TRUE(WaitFor([&] { return Ticked(0); }));
    dlg_->btnSaveClick();
    EXPECT_EQ(dlg_->result(), kIdOk);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(Settings().exercise.LangFileName, "LangFiles/Eng_Deu/Eng_Deu.lang");
    EXPECT_EQ(Settings().exercise.Lang2, "Deutsch");
    EXPECT_EQ(Settings().exercise.AvailableUnits, intArray{1});
    EXPECT_EQ(dlg_->GetChangeKind(), TChangeKind::Lessons);
}

// Ctrl+S saves the language file (Save as while it has no name yet); the hints name the keys.
TEST_F(EditExerciseDlgTest, CtrlSSavesTheLanguageFileAndTheHintsNameTheKeys) {
    const std::string lang = folder_.writeLangFile("f", {{1, 2}, {2, 3}});
    folder_.writeIni("LangFiles/f.lang", {1, 2});
    Open();
    MessageRecorder messages;
    EXPECT_EQ(dlg_->btnSaveLangFile->toolTip(), "Save the language file (Ctrl+S)");
    EXPECT_EQ(dlg_->btnClose->toolTip(), "Close (Esc)");
    EXPECT_EQ(dlg_->btnHelp->toolTip(), "Help (F1)");
    dlg_->lessonList->setCurrentRow(1);
    QTest::keyClick(dlg_->lessonList, Qt::Key_Delete);
    ASSERT_EQ(dlg_->lessonList->count(), 1);
    QTest::keyClick(dlg_->lessonList, Qt::Key_S, Qt::ControlModifier);
    TLangFHandler saved;
    ASSERT_TRUE(saved.Load(lang));
    EXPECT_EQ(saved.LessonAt(2), nullptr) << "the deleted lesson left the file";
    EXPECT_EQ(dlg_->Logic().FileState(), TFileState::Saved);

    // A new file has no name yet: Ctrl+S opens the save dialog.
    dlg_->btnNewLangFileClick();
    Type(dlg_->editLang1, "English");
    QTest::keyClick(dlg_->editLang1, Qt::Key_Tab);
    Type(dlg_->editLang2, "Dutch");
    QTest::keyClick(dlg_->editLang2, Qt::Key_Tab);
    QApplication::processEvents();
    WhenModalOpens(dlg_.get(), [](QWidget* modal) {
        auto* lessons = qobject_cast<TeditLessonDlg*>(modal);
        ASSERT_NE(lessons, nullptr);
        TMEditLessonTableModel& model = lessons->Logic().Model();
        model.SetRowData(1, rWordPairData{{"dog", "hond", 0, true, false}, 1, {}}, false);
        lessons->btnSafeClick();
    });
    dlg_->btnNewLessonClick();
    ASSERT_EQ(dlg_->lessonList->count(), 1);
    dlg_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg_.get()));
    bool asked = false;
    WhenModalOpens(dlg_.get(), [&](QWidget* modal) {
        asked = qobject_cast<QFileDialog*>(modal) != nullptr;
        modal->close();
    });
    QTest::keyClick(dlg_->lessonList, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(asked);
    messages.answer = kIdNo;
    dlg_->reject();
}

// Close, the close box and Escape ask before changes are dropped: Save does what OK with Yes
// does (result OK), Discard closes, Cancel goes back. Without changes they close at once.
TEST_F(EditExerciseDlgTest, EveryWayOutAsksBeforeChangesAreDropped) {
    const std::vector<std::pair<const char*, std::function<void(TEditExerciseDlg&)>>> ways{
        {"Close", [](TEditExerciseDlg& d) { QTest::mouseClick(d.btnClose, Qt::LeftButton); }},
        {"close box", [](TEditExerciseDlg& d) { d.close(); }},
        {"Escape", [](TEditExerciseDlg& d) { QTest::keyClick(d.lessonList, Qt::Key_Escape); }},
    };
    for (const auto& [way, leave] : ways) {
        for (const int answer : {kIdYes, kIdNo, kIdCancel}) {
            SCOPED_TRACE(std::string(way) + " answered " + std::to_string(answer));
            const std::string lang = folder_.writeLangFile("f", {{1, 2}, {2, 3}});
            folder_.writeIni("LangFiles/f.lang", {1, 2});
            Open();
            MessageRecorder messages;
            messages.answer = answer;
            dlg_->lessonList->setCurrentRow(1);
            QTest::keyClick(dlg_->lessonList, Qt::Key_Delete);
            leave(*dlg_);
            ASSERT_EQ(messages.messages.size(), 1u);
            EXPECT_EQ(messages.messages[0].text,
                      "The exercise or its language file has changes that are not saved "
                      "yet.\nDo you want to save the changes?");
            EXPECT_EQ(messages.messages[0].buttons, (QStringList{"Save", "Discard", "Cancel"}));
            TLangFHandler onDisk;
            ASSERT_TRUE(onDisk.Load(lang));
            EXPECT_EQ(onDisk.LessonAt(2) == nullptr, answer == kIdYes);
            if (answer == kIdCancel) {
                EXPECT_TRUE(dlg_->isVisible());
                messages.answer = kIdNo;
                dlg_->btnCloseClick();
                continue;
            }
            EXPECT_FALSE(dlg_->isVisible());
            EXPECT_EQ(dlg_->result(), answer == kIdYes ? kIdOk : kIdCancel);
            EXPECT_EQ(Settings().exercise.AvailableUnits,
                      answer == kIdYes ? intArray{1} : (intArray{1, 2}));
        }
        Open();
        MessageRecorder messages;
        leave(*dlg_);
        EXPECT_TRUE(messages.messages.empty()) << way;
        EXPECT_FALSE(dlg_->isVisible()) << way;
        EXPECT_EQ(dlg_->result(), kIdCancel) << way;
    }
}

// The question as a real box, in English and German, for a look by eye; Enter saves.
TEST_F(EditExerciseDlgTest, TheQuestionBeforeChangesAreDroppedSavesOnEnter) {
    for (const std::string language : {"EN", "DE"}) {
        const std::string lang = folder_.writeLangFile("f", {{1, 2}, {2, 3}});
        folder_.writeIni("LangFiles/f.lang", {1, 2});
        Open(language);
        dlg_->lessonList->setCurrentRow(1);
        QTest::keyClick(dlg_->lessonList, Qt::Key_Delete);
        QString shown;
        WhenModalOpens(dlg_.get(), [&](QWidget* box) {
            auto* message = qobject_cast<QMessageBox*>(box);
            ASSERT_NE(message, nullptr);
            shown = message->text();
            const QString shots = qEnvironmentVariable("LEXARO_SCREENSHOT_DIR");
            if (!shots.isEmpty()) {
                QTest::qWait(100);
                box->grab().save(shots + "/edit-exercise-" +
                                 QString::fromStdString(language).toLower() +
                                 "-close-question.png");
            }
            QTest::keyClick(box, Qt::Key_Return);
        });
        QTest::keyClick(dlg_->lessonList, Qt::Key_Escape);
        EXPECT_EQ(shown.toStdString(), Cp1252ToUtf8(context_.texts->GetText(161)) + "\n" +
                                           Cp1252ToUtf8(context_.texts->GetText(95)));
        EXPECT_EQ(dlg_->result(), kIdOk) << language;
        TLangFHandler onDisk;
        ASSERT_TRUE(onDisk.Load(lang));
        EXPECT_EQ(onDisk.LessonAt(2), nullptr) << "saved";
    }
}

TEST_F(EditExerciseDlgTest, TheListOpensTheLessonEditorForTheSelectedLessonsAndHelpIsThere) {
    folder_.writeLangFile("f", {{1, 2}, {2, 3}});
    folder_.writeIni("LangFiles/f.lang", {1, 2});
    Open();
    MessageRecorder messages;
    dlg_->lessonList->item(1)->setSelected(true);
    int rows = 0;
    WhenModalOpens(dlg_.get(), [&](QWidget* modal) {
        auto* lessons = qobject_cast<TeditLessonDlg*>(modal);
        ASSERT_NE(lessons, nullptr);
        rows = lessons->Logic().Model().RowCount() - 1;
        lessons->btnCloseClick();
    });
    QTest::keyClick(dlg_->lessonList, Qt::Key_Return);
    EXPECT_EQ(rows, 5) << "both selected lessons";

    QTest::keyClick(dlg_->lessonList, Qt::Key_Delete);
    EXPECT_EQ(dlg_->lessonList->count(), 0);
    EXPECT_EQ(dlg_->editLang1->text(), "");

    dlg_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg_.get()));
    QTest::keyClick(dlg_->lessonList, Qt::Key_F1);
    dlg_->btnHelpClick();
    EXPECT_EQ(help_, (std::vector<int>{kHelpExerciseEditor, kHelpExerciseEditor}));
    messages.answer = kIdNo;
    dlg_->btnCloseClick();
    EXPECT_EQ(messages.messages.size(), 1u) << "the deleted lessons were asked about";
    EXPECT_EQ(dlg_->result(), kIdCancel);
    EXPECT_TRUE(Settings().exercise.AvailableUnits == (intArray{1, 2})) << "Close stores nothing";
}

} // namespace
} // namespace lexaro
