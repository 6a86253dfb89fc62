// The lesson editor window: mouse, keyboard, editors over their cells, messages, results.

#include "AppFolderFixture.h"
#include "EditingFakes.h"
#include "ModalDriver.h"
#include "app/AppLangHandl.h"
#include "app/HelpContexts.h"
#include "app/QtText.h"
#include "editing/EditLesson.h"
#include "editing/T_EditLessonTableModel.h"
#include "editing/T_MTable.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>

namespace lexaro {
namespace {

using test::MakeLessons;
using test::PairPlan;
using testing::MessageRecorder;
using testing::WaitFor;

class EditLessonDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto texts = std::make_shared<TAppLangHandler>();
        ASSERT_TRUE(texts->OpenTextDb(LEXARO_TEXTDB_FILE, "Lexaro", nullptr));
        ASSERT_TRUE(texts->SelectLanguage("EN"));
        context_.texts = texts;
        context_.langFile = std::make_shared<TLangFHandler>();
        context_.showHelp = [this](int c) { help_.push_back(c); };
    }
    void Open(const std::vector<std::pair<int, std::vector<PairPlan>>>& plan) {
        input_.lang1Name = "English";
        input_.lang2Name = "Deutsch";
        input_.lessons = MakeLessons(plan);
        input_.clipboard = clipboard_;
        dlg_ = CreateEditLessonDlg(context_, input_, nullptr);
        dlg_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg_.get()));
    }
    std::vector<std::pair<int, std::vector<PairPlan>>> Pairs(int count) {
        std::vector<PairPlan> pairs;
        for (int i = 0; i < count; ++i)
            pairs.push_back({"word " + std::to_string(i), "Wort " + std::to_string(i)});
        return {{3, pairs}};
    }
    TMBaseTable* Grid() { return dlg_->Table()->GetGrid(); }
    TMEditLessonTableModel& Model() { return dlg_->Logic().Model(); }
    QPoint Centre(int col, int row) {
        QRect cell;
        EXPECT_TRUE(Grid()->CellRect(col, row, cell)) << col << "," << row;
        return cell.center();
    }
    void Click(int col, int row, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(Grid()->viewport(), button, Qt::NoModifier, Centre(col, row));
    }
    void Key(int key) { QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key)); }
    QLineEdit* TextEditor(int n) {
        // The editors are named after their columns: 1 and 2 the phrases, 3 the lesson.
        return Grid()->viewport()->findChild<QLineEdit*>(QStringLiteral("cellEditor%1").arg(n + 1));
    }

    TWindowContext context_;
    TEditLessonInput input_;
    std::shared_ptr<TMWordPairData> clipboard_ = std::make_shared<TMWordPairData>();
    std::unique_ptr<TeditLessonDlg> dlg_;
    std::vector<int> help_;
};

TEST_F(EditLessonDlgTest, OpensWithTextsCounterButtonStatesAndColumnsFillingTheGrid) {
    Open(Pairs(30));
    EXPECT_EQ(dlg_->windowTitle(), "Edit/New Lesson");
    EXPECT_EQ(dlg_->labelEntryValue->text(), " : 30");
    EXPECT_EQ(dlg_->labelNbrWords->text(), "Number of entries");
    EXPECT_TRUE(dlg_->btnSafe->isEnabled());
    EXPECT_TRUE(dlg_->btnDeleteEntry->isEnabled());
    EXPECT_FALSE(dlg_->btnPaste->isEnabled());
    EXPECT_EQ(dlg_->sortItem1->text(), "Sort by English");
    EXPECT_EQ(dlg_->searchLang2->text(), "Find Deutsch doubles in other lessons");
    const int client = Grid()->viewport()->width();
    const auto widths = LessonColumnWidths(client);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(Model().ColumnWidth(c), widths[static_cast<std::size_t>(c)]) << c;
    EXPECT_EQ(widths[0] + widths[1] + widths[2] + widths[3], client - 6);
    // The panel around the grid: margins of 10 on every side.
    EXPECT_EQ(Grid()->geometry(),
              QRect(10, 10, dlg_->Table()->width() - 20, dlg_->Table()->height() - 20));
}

TEST_F(EditLessonDlgTest, TheTextEditorSitsExactlyOverItsCellAndTakesWhatIsTyped) {
    Open(Pairs(30));
    Click(1, 2);
    EXPECT_EQ(Model().MarkedRow(), 2);
    Click(1, 2);
    QLineEdit* editor = TextEditor(0);
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->isVisible());
    QRect cell;
    ASSERT_TRUE(Grid()->CellRect(1, 2, cell));
    // The cell less its last pixel at right and bottom, then one pixel in on each side.
    EXPECT_EQ(editor->geometry(), QRect(cell.left() + 1, cell.top() + 1, cell.width() - 3, 21));
    EXPECT_EQ(editor->text(), "word 1");
    editor->selectAll();
    QTest::keyClicks(editor, "tree");
    // Non-ASCII text arrives as the key events' text.
    QTest::sendKeyEvent(QTest::KeyAction::Click, editor, Qt::Key_unknown, QStringLiteral("\u00E4"),
                        Qt::NoModifier);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Model().RowData(2).pair.text1, "tree\xE4");
    EXPECT_TRUE(Grid()->hasFocus());
}

TEST_F(EditLessonDlgTest, APhraseLongerThanNewTextMayBeSurvivesTheEditor) {
    const std::string longPhrase(61, 'x');
    Open({{1, {{longPhrase, "y"}}}});
    Click(1, 1);
    QLineEdit* editor = TextEditor(0);
    ASSERT_TRUE(editor->isVisible());
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(Model().RowData(1).pair.text1, longPhrase);
    EXPECT_FALSE(Model().IsModified());
}

TEST_F(EditLessonDlgTest, TheKeyboardMovesMarksEditsAndDeletes) {
    Open(Pairs(30));
    Grid()->setFocus();
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ(Model().MarkedRow(), 3);
    Key(Qt::Key_Right);
    Key(Qt::Key_F2);
    QLineEdit* editor = TextEditor(0);
    ASSERT_TRUE(editor->isVisible());
    QTest::keyClicks(editor, "x");
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Model().RowData(3).pair.text1, "word 2") << "Escape drops the typing";
    EXPECT_TRUE(dlg_->isVisible()) << "Escape never closes the editor window";
    Key(Qt::Key_Return);
    ASSERT_TRUE(editor->isVisible());
    QTest::keyClicks(editor, "!");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(Model().RowData(3).pair.text1, "word 2!");
    Key(Qt::Key_Delete);
    EXPECT_EQ(dlg_->labelEntryValue->text(), " : 29");
    EXPECT_EQ(Model().RowData(3).pair.text1, "word 3");
    Key(Qt::Key_End);
    EXPECT_EQ(Model().MarkedRow(), 29);
    EXPECT_EQ(Grid()->Layout().TopRow(), Grid()->Layout().MaxTopRow()) << "scrolled into view";
    // Space on the use column ticks and unticks.
    Key(Qt::Key_Left);
    Key(Qt::Key_Left);
    Key(Qt::Key_Space);
    EXPECT_FALSE(Model().RowData(29).pair.use);
}

TEST_F(EditLessonDlgTest, TabWalksThePhraseCellsAndTakesWhatWasTyped) {
    Open(Pairs(3));
    // Add entry: the new first row's first phrase is typed at once.
    QTest::mouseClick(dlg_->btnAddEntry, Qt::LeftButton);
    QLineEdit* phrase1 = TextEditor(0);
    QLineEdit* phrase2 = TextEditor(1);
    ASSERT_TRUE(phrase1->isVisible());
    EXPECT_TRUE(phrase1->hasFocus());
    EXPECT_EQ(Model().MarkedRow(), 1);
    EXPECT_EQ(phrase1->text(), "");
    QTest::keyClicks(QApplication::focusWidget(), "house");
    Key(Qt::Key_Tab);
    EXPECT_EQ(Model().RowData(1).pair.text1, "house");
    ASSERT_TRUE(phrase2->isVisible());
    EXPECT_TRUE(phrase2->hasFocus());
    // A word with a space after the Tab: nothing reaches the window's buttons.
    QTest::keyClicks(QApplication::focusWidget(), "das Haus");
    EXPECT_TRUE(dlg_->isVisible());
    Key(Qt::Key_Tab);
    EXPECT_EQ(Model().RowData(1).pair.text2, "das Haus");
    EXPECT_EQ(Model().MarkedRow(), 2) << "the end of a row leads to the next row";
    ASSERT_TRUE(phrase1->isVisible());
    EXPECT_TRUE(phrase1->hasFocus());
    EXPECT_EQ(phrase1->text(), "word 0");
    // Shift+Tab goes back to the previous row's last phrase, then its first.
    Key(Qt::Key_Backtab);
    EXPECT_EQ(Model().MarkedRow(), 1);
    ASSERT_TRUE(phrase2->isVisible());
    EXPECT_EQ(phrase2->text(), "das Haus");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_TRUE(phrase1->isVisible());
    EXPECT_TRUE(phrase1->hasFocus());
    // Before the first cell the walk ends in the grid, the text taken.
    QTest::keyClicks(QApplication::focusWidget(), "!");
    Key(Qt::Key_Backtab);
    EXPECT_FALSE(phrase1->isVisible());
    EXPECT_EQ(Model().RowData(1).pair.text1, "house!");
    EXPECT_TRUE(Grid()->hasFocus());
    // So it does after the last one.
    Key(Qt::Key_End);
    Key(Qt::Key_Return);
    ASSERT_TRUE(phrase1->isVisible());
    Key(Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), "Wort drei");
    Key(Qt::Key_Tab);
    EXPECT_FALSE(phrase2->isVisible());
    EXPECT_TRUE(Grid()->hasFocus());
    EXPECT_EQ(Model().RowData(4).pair.text2, "Wort 2Wort drei");
    EXPECT_EQ(dlg_->labelEntryValue->text(), " : 4");
    EXPECT_TRUE(dlg_->isVisible());
}

TEST_F(EditLessonDlgTest, TheSpinBoxChangesTheLessonWithItsArrowsOnly) {
    Open(Pairs(3));
    Click(3, 1);
    auto* spin = Grid()->viewport()->findChild<QSpinBox*>("cellEditor3");
    ASSERT_NE(spin, nullptr);
    ASSERT_TRUE(spin->isVisible());
    EXPECT_EQ(spin->value(), 3);
    QTest::keyClicks(spin, "9");
    EXPECT_EQ(spin->value(), 3) << "typing is off";
    QTest::keyClick(spin, Qt::Key_Up);
    QTest::keyClick(spin, Qt::Key_Return);
    EXPECT_EQ(Model().RowData(1).lesson, 4);
}

// Neither the wheel nor Page Up and Page Down move an entry to another lesson: only the
// arrows do, and a wheel over the open spin box scrolls the table instead.
TEST_F(EditLessonDlgTest, TheLessonSpinBoxIgnoresTheWheelAndPageKeys) {
    Open(Pairs(30));
    Click(3, 1);
    auto* spin = Grid()->viewport()->findChild<QSpinBox*>("cellEditor3");
    ASSERT_NE(spin, nullptr);
    ASSERT_TRUE(spin->isVisible());
    QTest::keyClick(spin, Qt::Key_PageUp);
    QTest::keyClick(spin, Qt::Key_PageDown);
    QTest::keyClick(spin, Qt::Key_PageDown);
    EXPECT_EQ(spin->value(), 3);
    const QPoint at = spin->rect().center();
    QWheelEvent wheel(at, spin->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(spin, &wheel);
    EXPECT_EQ(Model().RowData(1).lesson, 3);
    if (spin->isVisible())
        QTest::keyClick(spin, Qt::Key_Return);
    EXPECT_EQ(Model().RowData(1).lesson, 3) << "the entry stays in its lesson";
    EXPECT_FALSE(Model().IsModified());
}

// A second click on a row that shows only in part scrolls it into view, as the keyboard does,
// and opens the editor.
TEST_F(EditLessonDlgTest, ASecondClickOnAHalfVisibleRowScrollsItIntoViewAndOpensTheEditor) {
    // A phrase (text field) and the lesson number (spin box, which needs a pixel more).
    for (const int col : {1, 3}) {
        SCOPED_TRACE(col);
        Open(Pairs(30));
        const TGridLayout& layout = Grid()->Layout();
        int cut = 0;
        QRect cell;
        for (int row = layout.TopRow(); row < layout.RowCount(); ++row) {
            if (Grid()->CellRect(col, row, cell) && cell.bottom() >= layout.ClientHeight() - 1) {
                cut = row;
                break;
            }
        }
        ASSERT_GT(cut, 1) << "a row shows in part at the bottom";
        // Click where the row shows, twice.
        const QPoint at(cell.center().x(), (cell.top() + layout.ClientHeight()) / 2);
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        EXPECT_EQ(Model().MarkedRow(), cut);
        ASSERT_TRUE(Grid()->CellRect(col, cut, cell));
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        EXPECT_EQ(Model().EditCol(), col) << "the editor opens";
        EXPECT_EQ(Model().EditRow(), cut);
        ASSERT_TRUE(Grid()->CellRect(col, cut, cell));
        EXPECT_LT(cell.bottom(), layout.ClientHeight()) << "the row shows whole";
    }
    EXPECT_EQ(Grid()->viewport()->findChild<QSpinBox*>("cellEditor3")->value(), 3);
}

// Widths the learner drags are the model's too: a cell that shows whole after the drags opens
// its editor, one that the drags pushed out of view does not.
TEST_F(EditLessonDlgTest, DraggedColumnWidthsReachTheModel) {
    Open(Pairs(3));
    const TGridLayout& layout = Grid()->Layout();
    auto drag = [&](int col, int by) {
        QRect header;
        ASSERT_TRUE(Grid()->CellRect(col, 0, header));
        const QPoint edge(header.right() + 1, header.center().y());
        QTest::mousePress(Grid()->viewport(), Qt::LeftButton, Qt::NoModifier, edge);
        QMouseEvent move(QEvent::MouseMove, QPointF(edge + QPoint(by, 0)),
                         QPointF(Grid()->viewport()->mapToGlobal(edge + QPoint(by, 0))),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Grid()->viewport(), &move);
        QTest::mouseRelease(Grid()->viewport(), Qt::LeftButton, Qt::NoModifier,
                            edge + QPoint(by, 0));
    };
    const int lessonWidth = layout.ColWidth(3);
    // Phrase 1 wider: the lesson column runs out of view; then the lesson column narrower:
    // it shows whole again.
    drag(1, 30);
    drag(3, -40);
    EXPECT_EQ(layout.ColWidth(3), lessonWidth - 40);
    for (int col = 0; col < 4; ++col)
        EXPECT_EQ(Model().ColumnWidth(col), layout.ColWidth(col)) << col;
    EXPECT_EQ(Model().RowData(1).lesson, 3) << "the drags sorted nothing";
    Click(3, 1);
    auto* spin = Grid()->viewport()->findChild<QSpinBox*>("cellEditor3");
    ASSERT_NE(spin, nullptr);
    EXPECT_TRUE(spin->isVisible()) << "the cell shows whole, so its editor opens";
}

TEST_F(EditLessonDlgTest, HeaderClicksSortWithTheLeftButtonOnly) {
    Open({{1, {{"b", "x"}, {"a", "y"}, {"c", "z"}}}});
    Click(1, 0, Qt::RightButton);
    EXPECT_EQ(Model().RowData(1).pair.text1, "b");
    Click(1, 0);
    EXPECT_EQ(Model().RowData(1).pair.text1, "a");
    EXPECT_EQ(Model().RowData(3).pair.text1, "c");
}

// A header click sorts the column in its language's order: Swedish puts å, ä and ö after z,
// German puts ä beside a. The sorted table is saved for a look by eye when
// LEXARO_SCREENSHOT_DIR names a folder.
TEST_F(EditLessonDlgTest, AHeaderClickSortsInTheColumnsLanguage) {
    input_.lessons = MakeLessons({{1,
                                   {{"\xF6l", "Bier"},
                                    {"zon", "Zone"},
                                    {"\xE5ka", "fahren"},
                                    {"apa", "Affe"},
                                    {"\xE4rm", "\xC4rmel"}}}});
    input_.lang1Name = "Svenska";
    input_.lang2Name = "Deutsch";
    input_.clipboard = clipboard_;
    dlg_ = CreateEditLessonDlg(context_, input_, nullptr);
    dlg_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg_.get()));
    Click(1, 0);
    std::string column1;
    for (int r = 1; r < Model().RowCount(); ++r)
        column1 += Model().RowData(r).pair.text1 + " ";
    EXPECT_EQ(column1, "apa zon \xE5ka \xE4rm \xF6l ");
    if (const QString dir = qEnvironmentVariable("LEXARO_SCREENSHOT_DIR"); !dir.isEmpty())
        dlg_->grab().save(dir + "/edit-lesson-sorted-swedish.png");
    Click(2, 0);
    std::string column2;
    for (int r = 1; r < Model().RowCount(); ++r)
        column2 += Model().RowData(r).pair.text2 + " ";
    EXPECT_EQ(column2, "Affe \xC4rmel Bier fahren Zone ");
    if (const QString dir = qEnvironmentVariable("LEXARO_SCREENSHOT_DIR"); !dir.isEmpty())
        dlg_->grab().save(dir + "/edit-lesson-sorted-german.png");
    dlg_->Logic().Close();
}

TEST_F(EditLessonDlgTest, ScrollingWritesTheOpenEditorIntoItsCell) {
    Open(Pairs(30));
    Click(2, 1);
    QLineEdit* editor = TextEditor(1);
    ASSERT_TRUE(editor->isVisible());
    editor->setText("scrolled");
    Grid()->verticalScrollBar()->setValue(5);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Model().RowData(1).pair.text2, "scrolled");
    EXPECT_EQ(Grid()->Layout().TopRow(), 5);
}

// A refused character is named, and what was typed stays in the open editor with the cursor
// at that character, whether Enter, Save or a click elsewhere tried to take it.
TEST_F(EditLessonDlgTest, ARefusedCharacterIsNamedAndTheTypedTextStaysInTheEditor) {
    Open(Pairs(30));
    MessageRecorder boxes;
    Click(1, 1);
    QLineEdit* editor = TextEditor(0);
    ASSERT_TRUE(editor->isVisible());
    editor->selectAll();
    QTest::keyClicks(editor, "C# basics");
    const std::vector<std::pair<const char*, std::function<void()>>> attempts{
        {"Enter", [&] { QTest::keyClick(editor, Qt::Key_Return); }},
        {"Save", [&] { QTest::mouseClick(dlg_->btnSafe, Qt::LeftButton); }},
        {"click on another row", [&] { Click(1, 2); }},
        {"scroll", [&] { Grid()->verticalScrollBar()->setValue(5); }},
        {"Ctrl+S", [&] { QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier); }},
        {"Tab", [&] { QTest::keyClick(editor, Qt::Key_Tab); }},
        {"Shift+Tab", [&] { QTest::keyClick(editor, Qt::Key_Backtab); }},
    };
    for (const auto& [name, attempt] : attempts) {
        SCOPED_TRACE(name);
        boxes.messages.clear();
        editor->setCursorPosition(9);
        attempt();
        // The box opens once the click or key is done.
        ASSERT_TRUE(WaitFor([&] { return !boxes.messages.empty(); }, 2000));
        EXPECT_EQ(boxes.messages.size(), 1u);
        EXPECT_EQ(boxes.messages[0].caption, "Edit/New Lesson");
        EXPECT_EQ(boxes.messages[0].text,
                  "The character \"#\" cannot be stored in a phrase of English. Please "
                  "change or remove it.");
        EXPECT_TRUE(dlg_->isVisible());
        EXPECT_TRUE(editor->isVisible());
        EXPECT_EQ(editor->text(), "C# basics");
        EXPECT_EQ(editor->cursorPosition(), 1);
        EXPECT_TRUE(editor->hasFocus());
        EXPECT_EQ(Model().MarkedRow(), 1);
        EXPECT_EQ(Grid()->Layout().TopRow(), 1) << "the table stays where it is";
        EXPECT_EQ(Grid()->verticalScrollBar()->value(), 1);
        EXPECT_EQ(Model().RowData(1).pair.text1, "word 0");
    }
    // Changed, the text is taken.
    editor->setText("C sharp basics");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Model().RowData(1).pair.text1, "C sharp basics");
}

TEST_F(EditLessonDlgTest, ACharacterTheCodePageLacksIsNamedAsItselfWithTheCodePage) {
    input_.codePage = &TCodePage::Get(1251);
    Open(Pairs(3));
    MessageRecorder boxes;
    Click(2, 1);
    QLineEdit* editor = TextEditor(1);
    ASSERT_TRUE(editor->isVisible());
    editor->setText(QString::fromUtf8("caf\xC3\xA9"));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return !boxes.messages.empty(); }, 2000));
    EXPECT_EQ(boxes.messages[0].text,
              "\"\xC3\xA9\" is not in Cyrillic (1251). Please change or remove it.");
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->cursorPosition(), 3);
}

// Under Unicode the editor takes any script as typed key presses, stores it composed, counts
// its limit of 50 in the characters a learner sees, and sorts a column in its language's
// order. The lesson is saved for a look by eye when LEXARO_SCREENSHOT_DIR names a folder.
TEST_F(EditLessonDlgTest, UnicodeTakesAnyScriptCountsSeenCharactersAndSorts) {
    input_.codePage = &TCodePage::Get(TCodePage::kUtf8);
    input_.lessons = MakeLessons({{1,
                                   {{"水", "ماء"},
                                    {"猫", "قطة"},
                                    {"犬", "كلب"},
                                    {"ありがとう", "شكرا"},
                                    {"こんにちは", "مرحبا"},
                                    {"本", "كتاب جميل جدا في المكتبة الكبيرة للمدينة القديمة"}}}});
    input_.lang1Name = "日本語";
    input_.lang2Name = "العربية";
    input_.clipboard = clipboard_;
    dlg_ = CreateEditLessonDlg(context_, input_, nullptr);
    dlg_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg_.get()));
    EXPECT_EQ(dlg_->sortItem1->text(), QString::fromUtf8("Sort by 日本語"));

    // Typed as key presses, one character each; an accent typed after its letter joins it.
    Click(1, 1);
    Click(1, 1);
    QLineEdit* editor = TextEditor(0);
    ASSERT_TRUE(editor && editor->isVisible());
    editor->selectAll();
    for (const char* typed : {"お", "茶", "e", "\u0301"})
        QTest::sendKeyEvent(QTest::KeyAction::Click, editor, Qt::Key_unknown,
                            QString::fromUtf8(typed), Qt::NoModifier);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(Model().RowData(1).pair.text1, "お茶\xC3\xA9");

    // 50 Devanagari syllables with their marks fit; the 51st does not.
    Click(2, 2);
    Click(2, 2);
    editor = TextEditor(1);
    ASSERT_TRUE(editor && editor->isVisible());
    editor->clear();
    QString fifty;
    for (int i = 0; i < 50; ++i) {
        fifty += QString::fromUtf8("कि");
        QTest::sendKeyEvent(QTest::KeyAction::Click, editor, Qt::Key_unknown,
                            QString::fromUtf8("कि"), Qt::NoModifier);
    }
    EXPECT_EQ(editor->text(), fifty);
    QTest::sendKeyEvent(QTest::KeyAction::Click, editor, Qt::Key_unknown, QString::fromUtf8("क"),
                        Qt::NoModifier);
    EXPECT_EQ(editor->text(), fifty) << "the 51st character is refused";
    QTest::keyClick(editor, Qt::Key_Escape);

    // Japanese order: hiragana before kanji.
    Click(1, 0);
    std::string column1;
    for (int r = 1; r < Model().RowCount(); ++r)
        column1 += Model().RowData(r).pair.text1 + " ";
    EXPECT_EQ(column1.substr(0, column1.find(' ')), "ありがとう") << column1;

    // An Arabic phrase stands at the right of its field as it is edited, a Japanese one at
    // the left.
    Click(2, 1);
    Click(2, 1);
    editor = TextEditor(1);
    ASSERT_TRUE(editor && editor->isVisible());
    EXPECT_TRUE(editor->alignment() & Qt::AlignRight) << editor->text().toStdString();
    QTest::keyClick(editor, Qt::Key_Escape);
    Click(1, 1);
    Click(1, 1);
    editor = TextEditor(0);
    ASSERT_TRUE(editor && editor->isVisible());
    EXPECT_TRUE(editor->alignment() & Qt::AlignLeft) << editor->text().toStdString();
    QTest::keyClick(editor, Qt::Key_Escape);
    Click(2, 3);
    Click(2, 3);
    if (const QString dir = qEnvironmentVariable("LEXARO_SCREENSHOT_DIR"); !dir.isEmpty())
        dlg_->grab().save(dir + "/edit-lesson-unicode-japanese-arabic.png");
    dlg_->Logic().Close();
}

TEST_F(EditLessonDlgTest, SaveAndCloseGiveTheirResultsAndSaveRebuildsTheLessons) {
    Open({{3, {{"a", "A"}}}, {5, {{"b", "B"}}}});
    dlg_->btnAddEntryClick();
    EXPECT_EQ(dlg_->labelEntryValue->text(), " : 3");
    MessageRecorder boxes;
    boxes.answer = kIdNo;
    dlg_->btnCloseClick();
    EXPECT_EQ(boxes.messages.size(), 1u) << "asked first";
    EXPECT_EQ(dlg_->result(), kEditLessonClosed);
    EXPECT_FALSE(dlg_->IsModified());
    EXPECT_EQ(input_.lessons->Count(), 2u);

    Open({{3, {{"a", "A"}}}, {5, {{"b", "B"}}}});
    Model().MarkRow(2);
    dlg_->btnCutClick();
    EXPECT_TRUE(dlg_->btnPaste->isEnabled());
    QTest::mouseClick(dlg_->btnSafe, Qt::LeftButton);
    EXPECT_EQ(dlg_->result(), kEditLessonSaved);
    EXPECT_TRUE(dlg_->IsModified());
    ASSERT_EQ(input_.lessons->Count(), 1u);
    EXPECT_EQ(input_.lessons->Get(0)->number, 3);
}

// Ctrl+S saves from anywhere in the window, an open cell editor included; the hints name the
// keys of their buttons, in the UI language.
// Close, the close box and Escape ask before changes are dropped: Save saves as the save
// button does, Discard drops them, Cancel goes back to the table. Without changes they close
// at once.
TEST_F(EditLessonDlgTest, EveryWayOutAsksBeforeChangesAreDropped) {
    const std::vector<std::pair<const char*, std::function<void(TeditLessonDlg&)>>> ways{
        {"Close", [](TeditLessonDlg& d) { QTest::mouseClick(d.btnClose, Qt::LeftButton); }},
        {"close box", [](TeditLessonDlg& d) { d.close(); }},
        {"Escape",
         [](TeditLessonDlg& d) { QTest::keyClick(d.Table()->GetGrid(), Qt::Key_Escape); }},
    };
    for (const auto& [way, leave] : ways) {
        for (const int answer : {kIdYes, kIdNo, kIdCancel}) {
            SCOPED_TRACE(std::string(way) + " answered " + std::to_string(answer));
            Open({{3, {{"a", "A"}, {"b", "B"}}}});
            MessageRecorder boxes;
            boxes.answer = answer;
            Model().SetRowData(1, rWordPairData{{"apple", "Apfel", 0, true, false}, 3, {}}, false);
            leave(*dlg_);
            ASSERT_EQ(boxes.messages.size(), 1u);
            const MessageRequest& question = boxes.messages[0];
            EXPECT_EQ(question.caption, "Edit/New Lesson");
            EXPECT_EQ(question.text, "The entries have changes that are not saved yet.\nDo you "
                                     "want to save the changes?");
            EXPECT_EQ(question.buttons, (QStringList{"Save", "Discard", "Cancel"}));
            EXPECT_EQ(question.style & 0x0F, kMbYesNoCancel);
            if (answer == kIdCancel) {
                EXPECT_TRUE(dlg_->isVisible()) << "back at the table";
                EXPECT_EQ(Model().RowData(1).pair.text1, "apple");
                boxes.answer = kIdNo;
                dlg_->btnCloseClick();
                continue;
            }
            EXPECT_FALSE(dlg_->isVisible());
            const bool saved = answer == kIdYes;
            EXPECT_EQ(dlg_->result(), saved ? kEditLessonSaved : kEditLessonClosed);
            EXPECT_EQ(dlg_->IsModified(), saved);
            EXPECT_EQ(input_.lessons->Get(0)->PairAt(0)->text1, saved ? "apple" : "a");
        }
        // Nothing changed: the window closes at once.
        Open({{3, {{"a", "A"}}}});
        MessageRecorder boxes;
        leave(*dlg_);
        EXPECT_TRUE(boxes.messages.empty()) << way;
        EXPECT_FALSE(dlg_->isVisible()) << way;
        EXPECT_EQ(dlg_->result(), kEditLessonClosed) << way;
    }

    // Text typed into a cell that is still open counts as a change.
    Open({{3, {{"a", "A"}}}});
    MessageRecorder boxes;
    boxes.answer = kIdYes;
    Click(1, 1);
    ASSERT_TRUE(TextEditor(0)->isVisible());
    TextEditor(0)->setText("typed");
    dlg_->close();
    EXPECT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(dlg_->result(), kEditLessonSaved);
    EXPECT_EQ(input_.lessons->Get(0)->PairAt(0)->text1, "typed");
}

// A save that would leave out entries with one phrase names them; going back (the default)
// marks the first of them, or the learner saves without them.
TEST_F(EditLessonDlgTest, EntriesWithOnePhraseAreNamedBeforeTheyAreLeftOut) {
    Open({{3, {{"a", "A"}, {"b", "B"}, {"c", "C"}}}});
    MessageRecorder boxes;
    boxes.answer = kIdCancel;
    Model().SetRowData(3, rWordPairData{{"c", "", 0, true, false}, 3, {}}, false);
    QTest::mouseClick(dlg_->btnSafe, Qt::LeftButton);
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].text,
              "These entries have a phrase on one side only and are left out when the lessons "
              "are saved:\nc (Lesson 3)\nGo back to fill them in, or save without them?");
    EXPECT_EQ(boxes.messages[0].buttons, (QStringList{"Save without them", "", "Go back"}));
    EXPECT_TRUE(dlg_->isVisible());
    EXPECT_EQ(Model().MarkedRow(), 3) << "back at the entry";
    EXPECT_EQ(Grid()->CurrentRow(), 3);

    boxes.answer = kIdYes;
    QTest::mouseClick(dlg_->btnSafe, Qt::LeftButton);
    EXPECT_EQ(dlg_->result(), kEditLessonSaved);
    EXPECT_EQ(input_.lessons->Get(0)->PairCount(), 2);
}

TEST_F(EditLessonDlgTest, CtrlSSavesAndTheHintsNameTheKeys) {
    Open(Pairs(3));
    EXPECT_EQ(dlg_->btnSafe->toolTip(), "Save and close (Ctrl+S)");
    EXPECT_EQ(dlg_->btnClose->toolTip(), "Close (Esc)");
    EXPECT_EQ(dlg_->btnHelp->toolTip(), "Help (F1)");
    Click(2, 1);
    QLineEdit* editor = TextEditor(1);
    ASSERT_TRUE(editor->isVisible());
    editor->setText("Baum");
    QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(dlg_->isVisible());
    EXPECT_EQ(dlg_->result(), kEditLessonSaved);
    ASSERT_TRUE(dlg_->IsModified());
    EXPECT_EQ(input_.lessons->Get(0)->PairAt(0)->text2, "Baum");

    auto texts = std::make_shared<TAppLangHandler>();
    ASSERT_TRUE(texts->OpenTextDb(LEXARO_TEXTDB_FILE, "Lexaro", nullptr));
    ASSERT_TRUE(texts->SelectLanguage("DE"));
    context_.texts = texts;
    Open(Pairs(3));
    EXPECT_EQ(dlg_->btnSafe->toolTip(), QString::fromUtf8("Speichern und schließen (Strg+S)"));
    EXPECT_EQ(dlg_->btnClose->toolTip(), QString::fromUtf8("Schließen (Esc)"));
}

// Doubles are sought in the file open in the exercise editor, not in the main window's.
TEST_F(EditLessonDlgTest, DoublesAreReportedFromTheExerciseEditorsFile) {
    const auto mainFile = MakeLessons({{4, {{"hut", "Haus"}}}});
    context_.langFile->PutLesson(mainFile->Get(0));
    const auto file = MakeLessons({{3, {{"house", "Haus"}}}, {12, {{"home", "haus"}}}});
    input_.fileLessons.assign(file->begin(), file->end());
    Open({{1, {{"tree", "Haus"}}}});
    MessageRecorder boxes;
    dlg_->searchLang2->trigger();
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_TRUE(boxes.messages[0].text.endsWith("3-12")) << boxes.messages[0].text.toStdString();
    EXPECT_EQ(boxes.messages[0].style, kMbIconInformation);
    EXPECT_FALSE(boxes.messages[0].beep);
    dlg_->searchLang1->trigger();
    EXPECT_EQ(boxes.messages[1].text, "The phrase does not appear in any other lesson.");
}

TEST_F(EditLessonDlgTest, F1AndTheHelpButtonOpenTheEditorsTopic) {
    Open(Pairs(3));
    Grid()->setFocus();
    QTest::keyClick(Grid(), Qt::Key_F1);
    dlg_->btnHelp->click();
    EXPECT_EQ(help_, (std::vector<int>{kHelpLessonEditor, kHelpLessonEditor}));
}

} // namespace
} // namespace lexaro

namespace lexaro {
namespace {

// Pictures of the editor for a look by eye, written only when LEXARO_SCREENSHOT_DIR names a
// folder (run under Xvfb for real fonts): 30 entries, an open text editor with a long phrase,
// the spin box and the context menu, in English and German.
TEST(EditLessonScreenshots, SavesTheEditorInBothLanguages) {
    const QString dir = qEnvironmentVariable("LEXARO_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "LEXARO_SCREENSHOT_DIR is not set";
    for (const char* code : {"EN", "DE"}) {
        TWindowContext context;
        auto texts = std::make_shared<TAppLangHandler>();
        ASSERT_TRUE(texts->OpenTextDb(LEXARO_TEXTDB_FILE, "Lexaro", nullptr));
        ASSERT_TRUE(texts->SelectLanguage(code));
        context.texts = texts;
        std::vector<PairPlan> pairs;
        for (int i = 0; i < 30; ++i)
            pairs.push_back({"word " + std::to_string(i), "Wort " + std::to_string(i), i % 3 != 0});
        pairs[1].text1 = "to take something into consideration before deciding anything";
        pairs[1].text2 = "etwas in Betracht ziehen, bevor man irgendetwas entscheidet";
        TEditLessonInput input;
        input.lang1Name = "English";
        input.lang2Name = "Deutsch";
        input.lessons = MakeLessons({{7, pairs}});
        input.clipboard = std::make_shared<TMWordPairData>();
        TeditLessonDlg dlg(context, input, nullptr);
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        TMBaseTable* grid = dlg.Table()->GetGrid();
        auto centre = [&](int col, int row) {
            QRect cell;
            EXPECT_TRUE(grid->CellRect(col, row, cell));
            return cell.center();
        };
        const QString prefix = dir + "/edit-lesson-" + QString(code).toLower();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, centre(1, 3));
        dlg.grab().save(prefix + "-table.png");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, centre(1, 2));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, centre(1, 2));
        QTest::qWait(50);
        dlg.grab().save(prefix + "-text-editor.png");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, centre(3, 2));
        QTest::qWait(50);
        dlg.grab().save(prefix + "-spin-box.png");
        QTimer::singleShot(300, [&] {
            const QRect shown = dlg.frameGeometry().united(dlg.sortMenue->geometry());
            dlg.screen()
                ->grabWindow(0, shown.x(), shown.y(), shown.width(), shown.height())
                .save(prefix + "-menu.png");
            dlg.sortMenue->close();
        });
        dlg.sortMenue->exec(grid->viewport()->mapToGlobal(centre(1, 5)));

        // The questions, as real boxes: an entry with one phrase at Save (Enter goes back),
        // then unsaved changes at Close (Enter saves).
        dlg.Logic().Model().SetRowData(
            4, rWordPairData{{"half an entry", "", 0, true, false}, 7, {}}, false);
        testing::WhenModalOpens(&dlg, [&](QWidget* box) {
            QTest::qWait(100);
            box->grab().save(prefix + "-one-phrase-question.png");
            QTest::keyClick(box, Qt::Key_Return);
        });
        dlg.btnSafe->click();
        EXPECT_TRUE(dlg.isVisible()) << "Enter went back to the table";
        EXPECT_EQ(dlg.Logic().Model().MarkedRow(), 4);
        int asked = 0;
        testing::WhenModalOpens(&dlg, [&](QWidget* box) {
            QTest::qWait(100);
            box->grab().save(prefix + "-close-question.png");
            // Then the entry with one phrase again: this time saved without it.
            testing::WhenModalOpens(&dlg, [&](QWidget* second) {
                ++asked;
                auto* message = qobject_cast<QMessageBox*>(second);
                ASSERT_NE(message, nullptr);
                for (QAbstractButton* button : message->buttons())
                    if (message->buttonRole(button) == QMessageBox::AcceptRole)
                        button->click();
            });
            QTest::keyClick(box, Qt::Key_Return);
        });
        dlg.btnClose->click();
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(dlg.result(), kEditLessonSaved) << "Enter saved";
    }
}

// The Tab walk for a look by eye: Add entry, "Haus", Tab, "house", Tab to the next row.
TEST(EditLessonScreenshots, SavesTheTabWalk) {
    const QString dir = qEnvironmentVariable("LEXARO_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "LEXARO_SCREENSHOT_DIR is not set";
    TWindowContext context;
    auto texts = std::make_shared<TAppLangHandler>();
    ASSERT_TRUE(texts->OpenTextDb(LEXARO_TEXTDB_FILE, "Lexaro", nullptr));
    ASSERT_TRUE(texts->SelectLanguage("EN"));
    context.texts = texts;
    TEditLessonInput input;
    input.lang1Name = "Deutsch";
    input.lang2Name = "English";
    input.lessons = MakeLessons({{1, {{"Baum", "tree"}, {"T\xFCr", "door"}, {"Brot", "bread"}}}});
    input.clipboard = std::make_shared<TMWordPairData>();
    TeditLessonDlg dlg(context, input, nullptr);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    int step = 0;
    auto shot = [&](const char* what) {
        QTest::qWait(50);
        dlg.grab().save(dir + QStringLiteral("/edit-lesson-tab-%1-%2.png").arg(++step).arg(what));
    };
    QTest::mouseClick(dlg.btnAddEntry, Qt::LeftButton);
    shot("added");
    QTest::keyClicks(QApplication::focusWidget(), "Haus");
    shot("typed");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    shot("tab");
    QTest::keyClicks(QApplication::focusWidget(), "house");
    shot("typed");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    shot("next-row");
    dlg.Logic().Close();
}

} // namespace
} // namespace lexaro
