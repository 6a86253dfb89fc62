// The program with its real windows joined (offscreen, without speech): the exercise editor
// opened from the main window, a language file that disappears while the program runs, and a
// walk over every enabled button of every window.

#include "program/Program.h"
#include "AppFolderFixture.h"
#include "ModalDriver.h"
#include "app/AppIniFile.h"
#include "app/MainWnd.h"
#include "app/MainWndLogic.h"
#include "app/QtText.h"
#include "data/FileUtil.h"
#include "editing/EditExercise.h"
#include "editing/EditLesson.h"
#include "exercise_window/ExerciseWnd.h"
#include "support/TestFiles.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <set>

namespace lexaro {
namespace {

namespace fs = std::filesystem;
using testing::AppFolder;
using testing::MessageRecorder;
using testing::WaitFor;
using testing::WhenModalOpens;

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { folder.copyTextDb(); }

    // The main window with every real window joined, without speech.
    std::unique_ptr<tMainWindow> Start() {
        auto window = std::make_unique<tMainWindow>(folder.path());
        if (window->HasEnded())
            return window;
        InstallProgramWindows(*window);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }
    TExerciseData& Exercise(tMainWindow& window) { return window.Logic().Settings()->exercise; }

    AppFolder folder;
};

TEST_F(ProgramTest, TheEditorCommandOpensTheEditorAndTheMainWindowFollowsItsChanges) {
    const std::string lang = folder.writeLangFile("English-Deutsch", {{1, 8}, {2, 6}, {3, 4}});
    folder.writeIni("LangFiles/English-Deutsch.lang", {1}, "EN", 300);
    MessageRecorder messages;
    auto window = Start();
    ASSERT_TRUE(window->btnEditExercise->isEnabled());
    ASSERT_TRUE(window->mExerciseEditLessons->isEnabled());

    // Tick lesson 2 as well: the main window composes from lessons 1 and 2.
    WhenModalOpens(window.get(), [](QWidget* modal) {
        auto* editor = qobject_cast<TEditExerciseDlg*>(modal);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->lessonList->count(), 3);
        editor->lessonList->item(1)->setCheckState(Qt::Checked);
        QApplication::processEvents();
        editor->btnSaveClick();
    });
    QTest::mouseClick(window->btnEditExercise, Qt::LeftButton);
    EXPECT_EQ(Exercise(*window).AvailableUnits, (intArray{1, 2}));
    EXPECT_TRUE(window->labelSelUnits->text().endsWith(" : 1,2"));
    EXPECT_TRUE(window->Logic().ComposedByEditor());
    EXPECT_EQ(Exercise(*window).ExerciseWords.size(), 14u);

    // A lower maximum cuts the list; the menu item opens the editor as well.
    WhenModalOpens(window.get(), [](QWidget* modal) {
        auto* editor = qobject_cast<TEditExerciseDlg*>(modal);
        ASSERT_NE(editor, nullptr);
        editor->editMaxWords->setText("5");
        emit editor->editMaxWords->textEdited("5");
        editor->btnSaveClick();
    });
    window->mExerciseEditLessons->trigger();
    EXPECT_EQ(Exercise(*window).MaxWords, 5);
    EXPECT_EQ(Exercise(*window).ExerciseWords.size(), 5u);

    // Close asks about the changed ticks; Discard changes nothing.
    messages.answer = kIdNo;
    WhenModalOpens(window.get(), [](QWidget* modal) {
        auto* editor = qobject_cast<TEditExerciseDlg*>(modal);
        ASSERT_NE(editor, nullptr);
        editor->lessonList->item(0)->setCheckState(Qt::Unchecked);
        editor->btnCloseClick();
    });
    window->EditExercise();
    EXPECT_EQ(Exercise(*window).AvailableUnits, (intArray{1, 2}));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].buttons, (QStringList{"Save", "Discard", "Cancel"}));
    window->close();
}

TEST_F(ProgramTest, ALanguageFileDeletedWhileTheProgramRunsIsReportedAtTheNextStart) {
    const std::string lang = folder.writeLangFile("English-Deutsch", {{1, 8}});
    folder.writeIni("LangFiles/English-Deutsch.lang", {1});
    MessageRecorder messages;
    auto window = Start();
    ASSERT_TRUE(window->btnExerciseRun->isEnabled());
    ASSERT_TRUE(fs::remove(lang));

    QTest::mouseClick(window->btnExerciseRun, Qt::LeftButton);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_TRUE(messages.messages[0].text.contains(QtFromCp1252(window->Logic().Text(142))))
        << messages.messages[0].text.toStdString();
    EXPECT_EQ(window->ExerciseWindow(), nullptr) << "nothing to exercise, no window";

    // The editor then starts without lessons, and the program goes on.
    WhenModalOpens(window.get(), [](QWidget* modal) {
        auto* editor = qobject_cast<TEditExerciseDlg*>(modal);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->lessonList->count(), 0);
        editor->btnCloseClick();
    });
    window->EditExercise();
    EXPECT_TRUE(window->isVisible());
    window->close();
}

// Every pair's texts in the language files below the application folder, and whether every
// file there still loads whole.
struct DiskPairs {
    std::multiset<std::pair<std::string, std::string>> pairs;
    std::vector<std::string> unreadable;
};
DiskPairs ReadDisk(const fs::path& app) {
    DiskPairs disk;
    for (const auto& entry : fs::recursive_directory_iterator(app)) {
        // The damaged file, and the copies of it that a save over it keeps among the versions.
        if (entry.path().extension() != ".lang" ||
            entry.path().filename().string().rfind("Damaged", 0) == 0)
            continue;
        TLangFHandler lang;
        bool whole = false;
        try {
            whole = lang.Load(entry.path()) && lang.SkippedLines() == 0;
        } catch (const std::exception&) {
        }
        if (!whole) {
            disk.unreadable.push_back(entry.path().string());
            continue;
        }
        for (const auto& lesson : lang.lessons)
            if (lesson)
                for (const auto& pair : lesson->pairs)
                    if (pair)
                        disk.pairs.insert({pair->text1, pair->text2});
    }
    return disk;
}

// Presses enabled buttons of the window in front, chosen at random, step after step: message
// boxes get a random answer, file dialogs a file of the folder or Cancel, empty fields a name.
// Modal windows are walked from inside their own loop, as the learner meets them.
class Walker {
public:
    Walker(const fs::path& app, unsigned seed, bool deletes)
        : app_(app), rng_(seed), deletes_(deletes) {
        previousHook_ = setMessageHook([this](const MessageRequest& request) {
            ++messages_;
            switch (request.style & 0x0F) {
            case kMbYesNo:
                return Pick({kIdYes, kIdNo});
            case kMbYesNoCancel:
                return Pick({kIdYes, kIdNo, kIdCancel});
            case kMbOkCancel:
                return Pick({kIdOk, kIdCancel});
            default:
                return kIdOk;
            }
        });
    }
    ~Walker() { setMessageHook(previousHook_); }

    // Walks the given number of steps, then closes every modal window again.
    void Walk(int steps, const std::function<void(int)>& check) {
        QTimer timer;
        timer.setInterval(1);
        bool finished = false;
        int done = 0;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (done >= steps) {
                if (QWidget* modal = QApplication::activeModalWidget())
                    Dismiss(modal);
                else
                    finished = true;
                return;
            }
            ++done;
            Step();
            if (done % 25 == 0)
                check(done);
        });
        timer.start();
        EXPECT_TRUE(WaitFor([&] { return finished; }, 240000)) << "the walk did not come back";
        timer.stop();
    }
    std::map<std::string, int> pressed;
    int messages_ = 0;

private:
    int Pick(std::initializer_list<int> choices) {
        std::uniform_int_distribution<std::size_t> d(0, choices.size() - 1);
        return *(choices.begin() + static_cast<std::ptrdiff_t>(d(rng_)));
    }
    bool Chance(int percent) { return std::uniform_int_distribution<int>(0, 99)(rng_) < percent; }

    static void Dismiss(QWidget* modal) {
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            if (auto* editor = qobject_cast<TEditExerciseDlg*>(dialog))
                editor->btnCloseClick();
            else if (auto* lessons = qobject_cast<TeditLessonDlg*>(dialog))
                lessons->btnCloseClick();
            else
                dialog->reject();
        } else {
            modal->close();
        }
    }

    QWidget* Front() {
        if (QWidget* modal = QApplication::activeModalWidget())
            return modal;
        std::vector<QWidget*> windows;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && (qobject_cast<tMainWindow*>(w) || qobject_cast<TExerciseDlg*>(w)))
                windows.push_back(w);
        if (windows.empty())
            return nullptr;
        return windows[std::uniform_int_distribution<std::size_t>(0, windows.size() - 1)(rng_)];
    }

    void Step() {
        if (pending_)
            return;
        QWidget* front = Front();
        if (front == nullptr)
            return;
        if (auto* files = qobject_cast<QFileDialog*>(front)) {
            ChooseFile(*files);
            return;
        }
        // The exercise window closes through its title bar, as the learner closes it.
        if (qobject_cast<TExerciseDlg*>(front) != nullptr && Chance(30)) {
            ++pressed["close the exercise"];
            Later(front, [front] {
                QWidget* owner = front->parentWidget() ? front->parentWidget()->window() : nullptr;
                front->close();
                // As a window manager does: the main window becomes active again.
                if (owner != nullptr)
                    owner->activateWindow();
            });
            return;
        }
        if (auto* editor = qobject_cast<TEditExerciseDlg*>(front); editor && Chance(30)) {
            WorkOnEditor(*editor);
            return;
        }
        std::vector<QAbstractButton*> buttons;
        for (QAbstractButton* b : front->findChildren<QAbstractButton*>()) {
            if (!b->isVisible() || !b->isEnabled() || b->window() != front)
                continue;
            const QString name = b->objectName();
            if (!deletes_ && (name == "btnDeleteLesson" || name == "btnDeleteEntry" ||
                              name == "btnCut" || name == "btnUpdateId"))
                continue;
            buttons.push_back(b);
        }
        if (buttons.empty()) {
            Dismiss(front);
            return;
        }
        QAbstractButton* b =
            buttons[std::uniform_int_distribution<std::size_t>(0, buttons.size() - 1)(rng_)];
        ++pressed[(b->objectName().isEmpty() ? b->text() : b->objectName()).toStdString()];
        Later(b, [b] { b->click(); });
    }

    // A press that opens a modal window returns only when that window closes. Qt delivers no
    // timer to its own handler again meanwhile, so the press runs from a timer of its own and
    // the walk goes on inside the modal window's loop. A window that closes before the press
    // takes the press with it, and the walk goes on.
    void Later(QObject* context, std::function<void()> action) {
        pending_ = true;
        QTimer::singleShot(0, [this, alive = QPointer<QObject>(context), action] {
            pending_ = false;
            if (alive)
                action();
        });
    }

    void ChooseFile(QFileDialog& files) {
        if (Chance(40)) {
            files.reject();
            return;
        }
        const bool save = files.acceptMode() == QFileDialog::AcceptSave;
        std::vector<fs::path> choices;
        for (const auto& entry : fs::recursive_directory_iterator(app_ / "LangFiles")) {
            // Replacing a file on purpose is deleting what it held: only when deletes are on.
            const bool replaces = save && entry.path().filename().string().rfind("walk-", 0) != 0;
            if (entry.path().extension() == ".lang" && (deletes_ || !replaces))
                choices.push_back(entry.path());
        }
        if (save)
            choices.push_back(app_ / "LangFiles" /
                              ("walk-" + std::to_string(rng_() % 3) + ".lang"));
        if (choices.empty()) {
            files.reject();
            return;
        }
        files.selectFile(QtFromPath(choices[rng_() % choices.size()]));
        // Replacing a file asks first, in a box of the dialog's own.
        Later(&files,
              [&files] { QMetaObject::invokeMethod(&files, "accept", Qt::DirectConnection); });
    }

    void WorkOnEditor(TEditExerciseDlg& editor) {
        for (QLineEdit* field : {editor.editLang1, editor.editLang2}) {
            if (!field->isReadOnly() && field->text().size() < 3) {
                field->setText("Walk" + QString::number(rng_() % 10));
                emit field->textEdited(field->text());
            }
        }
        QListWidget* list = editor.lessonList;
        if (list->count() == 0)
            return;
        QListWidgetItem* item =
            list->item(static_cast<int>(rng_() % static_cast<unsigned>(list->count())));
        if (Chance(50))
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        else
            item->setSelected(!item->isSelected());
    }

    fs::path app_;
    std::mt19937 rng_;
    bool deletes_;
    bool pending_ = false;
    MessageHook previousHook_;
};

TEST_F(ProgramTest, PressingEveryButtonOfEveryWindowNeverCrashesNorLosesASavedPair) {
    folder.writeLangFile("English-Deutsch", {{1, 6}, {2, 5}, {3, 4, false}});
    folder.writeLangFile("Second", {{1, 3}, {4, 2}});
    const fs::path app = folder.path();
    test::WriteFileBytes((app / "LangFiles" / "Damaged.lang").string(), "\x01not a file");
    folder.writeIni("LangFiles/English-Deutsch.lang", {1, 2}, "EN", 8);
    const DiskPairs before = ReadDisk(app);
    ASSERT_EQ(before.pairs.size(), 20u);

    // First without the commands that delete on purpose: every pair saved before stays on
    // disk; then with them: nothing crashes and every file still reads whole.
    for (const bool deletes : {false, true}) {
        auto window = Start();
        ASSERT_FALSE(window->HasEnded());
        Walker walker(app, deletes ? 11u : 7u, deletes);
        walker.Walk(1200, [&](int step) {
            const DiskPairs disk = ReadDisk(app);
            EXPECT_TRUE(disk.unreadable.empty()) << "step " << step << ": " << disk.unreadable[0];
            if (deletes)
                return;
            for (const auto& pair : before.pairs) {
                EXPECT_TRUE(disk.pairs.count(pair) > 0)
                    << "step " << step << ": lost " << pair.first;
            }
        });
        std::string summary;
        for (const auto& [name, count] : walker.pressed)
            summary += name + "=" + std::to_string(count) + " ";
        SCOPED_TRACE(summary);
        for (const char* name : {"btnEditExercise", "btnSave", "btnNewLangFile", "btnOpenLangFile",
                                 "btnSaveLangfileAs", "btnEditLesson", "btnSafe"})
            EXPECT_GT(walker.pressed[name], 0) << name << " was never pressed";
        if (deletes) {
            EXPECT_GT(walker.pressed["btnDeleteLesson"], 0);
        }
        window->close();
        EXPECT_TRUE(ReadDisk(app).unreadable.empty());
    }
}

} // namespace
} // namespace lexaro
