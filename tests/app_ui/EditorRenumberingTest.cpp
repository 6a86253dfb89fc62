// The program's real windows: after the exercise editor wrote the exercise's language file, by
// whatever way it closed, every entry of the exercise list and the held-back list names the
// same words, in the program and after its next start, and entries of deleted pairs are gone.

#include "AppFolderFixture.h"
#include "ModalDriver.h"
#include "app/AppIniFile.h"
#include "app/MainWnd.h"
#include "app/MainWndLogic.h"
#include "app/QtText.h"
#include "editing/EditExercise.h"
#include "editing/EditLesson.h"
#include "program/Program.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

namespace lexaro {
namespace {

namespace fs = std::filesystem;
using testing::AppFolder;
using testing::MessageRecorder;
using testing::WhenModalOpens;

// The words an entry names in a language file: "word 2.3" for lesson 2, pair 3 as written
// first; empty when there is no such pair.
std::string Words(const TLangFHandler& lang, const ExerciseEntry& e) {
    const auto lesson = lang.LessonAt(e.lesson);
    const auto pair = lesson ? lesson->PairAt(e.pairId) : nullptr;
    return pair ? pair->text1 : std::string();
}

// Where those words stand in the file now; none when they left it.
std::optional<ExerciseEntry> Find(const TLangFHandler& lang, const std::string& words,
                                  const ExerciseEntry& as) {
    for (const auto& lesson : lang.lessons)
        if (lesson)
            for (std::int32_t id = 0; id < lesson->SlotCount(); ++id)
                if (lesson->PairAt(id) && lesson->PairAt(id)->text1 == words)
                    return ExerciseEntry{lesson->number, id, as.priority, as.transient};
    return std::nullopt;
}

TLangFHandler Load(const fs::path& path) {
    TLangFHandler lang;
    EXPECT_TRUE(lang.Load(path));
    return lang;
}

class EditorRenumbering : public ::testing::Test {
protected:
    void SetUp() override { folder.copyTextDb(); }

    std::unique_ptr<tMainWindow> Start() {
        auto window = std::make_unique<tMainWindow>(folder.path());
        EXPECT_FALSE(window->HasEnded());
        InstallProgramWindows(*window);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }

    AppFolder folder;
};

// In the lesson editor, lesson 2 (pairs 2.0 to 2.4): 2.1 deleted, 2.0 cut and pasted before
// 2.4, saved: lesson 2 reads 2.2, 2.3, 2.0, 2.4.
void EditLessonTwo(TEditExerciseDlg& editor) {
    editor.lessonList->clearSelection();
    editor.lessonList->item(1)->setSelected(true);
    QApplication::processEvents();
    WhenModalOpens(&editor, [](QWidget* modal) {
        auto* lessons = qobject_cast<TeditLessonDlg*>(modal);
        ASSERT_NE(lessons, nullptr);
        TMEditLessonTableModel& model = lessons->Logic().Model();
        ASSERT_EQ(model.RowCount(), 6);
        model.MarkRow(2);
        lessons->btnDeleteEntryClick();
        model.MarkRow(1);
        lessons->btnCutClick();
        model.MarkRow(3);
        lessons->btnPasteClick();
        lessons->btnSafeClick();
    });
    editor.btnEditLessonClick();
}

// Save as, onto the file it was opened with (a question whether to replace it says Yes).
void SaveAsOverItself(TEditExerciseDlg& editor, const fs::path& path) {
    WhenModalOpens(&editor, [path](QWidget* modal) {
        auto* files = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(files, nullptr);
        QTimer replace;
        replace.setInterval(10);
        QObject::connect(&replace, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->button(QMessageBox::Yes)->click();
        });
        replace.start();
        files->setDirectory(QtFromPath(path.parent_path()));
        auto* name = files->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(QtFromPath(path.filename()));
        QTest::keyClick(name, Qt::Key_Return);
        replace.stop();
    });
    editor.btnSaveLangfileAsClick();
}

TEST_F(EditorRenumbering, EveryEntryNamesTheSameWordsAfterTheEditorWroteTheFile) {
    const struct {
        const char* name;
        // What the learner does after the lesson edit, and the answer to a question.
        std::function<void(TEditExerciseDlg&, const fs::path& path)> close;
        int answer;
        bool ok;
        bool written;
    } ways[] = {
        {"Save, then Close",
         [](TEditExerciseDlg& e, const fs::path&) {
             e.btnSaveLangFileClick();
             e.btnCloseClick();
         },
         kIdNo, false, true},
        {"Save as, then Close",
         [](TEditExerciseDlg& e, const fs::path& path) {
             SaveAsOverItself(e, path);
             e.btnCloseClick();
         },
         kIdNo, false, true},
        {"OK, No", [](TEditExerciseDlg& e, const fs::path&) { e.btnSaveClick(); }, kIdNo, true,
         false},
        {"OK, Yes", [](TEditExerciseDlg& e, const fs::path&) { e.btnSaveClick(); }, kIdYes, true,
         true},
    };
    for (const auto& way : ways) {
        for (const bool chosen : {false, true}) {
            SCOPED_TRACE(std::string(way.name) + (chosen ? ", edited lesson chosen" : ""));
            const std::string file =
                folder.writeLangFile("English-Deutsch", {{1, 4}, {2, 5}, {3, 3}});
            const fs::path path = file;
            // The list names pairs of lesson 2 also while it is not chosen (chosen before).
            folder.writeIni("LangFiles/English-Deutsch.lang",
                            chosen ? std::vector{1, 2} : std::vector{1, 3}, "EN", 300,
                            {"2-0-3", "2-1-0", "2-3-9", "2-4-1", "1-2-5", "3-1-0", "1-0-0"});
            MessageRecorder messages;
            messages.answer = way.answer;
            auto window = Start();
            TAppIniFile& settings = *window->Logic().Settings();
            settings.heldBack = {{2, 2, 4, false}, {1, 1, 2, false}};
            const ArrayWordData listBefore = settings.exercise.ExerciseWords;
            ASSERT_EQ(listBefore.size(), 7u);
            const ArrayWordData heldBefore = settings.heldBack;
            const TLangFHandler before = Load(path);

            WhenModalOpens(window.get(), [&](QWidget* modal) {
                auto* editor = qobject_cast<TEditExerciseDlg*>(modal);
                ASSERT_NE(editor, nullptr);
                EditLessonTwo(*editor);
                way.close(*editor, path);
            });
            window->EditExercise();
            ASSERT_EQ(QApplication::activeModalWidget(), nullptr) << "the editor closed";
            if (!way.ok) {
                EXPECT_TRUE(messages.messages.empty()) << "nothing left to ask about";
            }

            const TLangFHandler after = Load(path);
            ASSERT_TRUE(after.LessonAt(2));
            EXPECT_EQ(after.LessonAt(2)->PairAt(0)->text1, way.written ? "word 2.2" : "word 2.0");
            // The lists as they ought to be: every entry at the place of its words now.
            auto follow = [&](const ArrayWordData& list) {
                ArrayWordData out;
                for (const ExerciseEntry& e : list)
                    if (const auto now = Find(after, Words(before, e), e))
                        out.push_back(*now);
                return out;
            };
            const bool recomposed = chosen && way.ok;
            if (recomposed) {
                // OK with an edited lesson chosen composes the exercise anew from the file.
                for (const ExerciseEntry& e : settings.exercise.ExerciseWords) {
                    EXPECT_FALSE(Words(after, e).empty()) << e.lesson << "-" << e.pairId;
                    EXPECT_TRUE(e.lesson == 1 || e.lesson == 2) << e.lesson;
                }
                EXPECT_TRUE(settings.heldBack.empty());
            } else {
                EXPECT_EQ(settings.exercise.ExerciseWords, follow(listBefore));
                EXPECT_EQ(settings.heldBack, follow(heldBefore));
            }
            // The words each entry names, and the next start finds the same.
            std::vector<std::string> named;
            for (const ExerciseEntry& e : settings.exercise.ExerciseWords)
                if (e.priority < 9)
                    named.push_back(Words(after, e));
            for (const ExerciseEntry& e : settings.heldBack)
                named.push_back(Words(after, e));
            if (!recomposed) {
                std::vector<std::string> expected;
                for (const ExerciseEntry& e : listBefore)
                    if (e.priority < 9 && Find(after, Words(before, e), e))
                        expected.push_back(Words(before, e));
                for (const ExerciseEntry& e : heldBefore)
                    if (Find(after, Words(before, e), e))
                        expected.push_back(Words(before, e));
                EXPECT_EQ(named, expected);
            }
            window->close();
            window.reset();

            auto again = Start();
            std::vector<std::string> restarted;
            for (const ExerciseEntry& e : again->Logic().Settings()->exercise.ExerciseWords)
                restarted.push_back(Words(after, e));
            EXPECT_EQ(restarted, named) << "after the next start";
            again->close();
        }
    }
}

} // namespace
} // namespace lexaro
