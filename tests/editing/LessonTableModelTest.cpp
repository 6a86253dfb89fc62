// The lesson table: rows from lessons, inserting, deleting, clicks and editors, the refusal of
// text a language file cannot store, and sorting.

#include "EditingFakes.h"
#include "data/StrUtil.h"
#include "editing/T_EditLessonTableModel.h"

#include <gtest/gtest.h>

#include <random>

namespace lexaro {
namespace {

using test::FakeEditor;
using test::FakeEditorFactory;
using test::MakeLessons;
using test::PairPlan;
using Model = TMEditLessonTableModel;

const std::array<std::string, 4> kTitles{"Use", "English", "Deutsch", "Lesson"};

// A cell rectangle well inside a large client area.
constexpr TRect kCell{60, 40, 257, 62};

std::vector<std::string> Column1(const Model& model) {
    std::vector<std::string> out;
    for (int r = 1; r < model.RowCount(); ++r)
        out.push_back(model.RowData(r).pair.text1);
    return out;
}

std::vector<std::vector<bool>> Marks(const Model& model) {
    std::vector<std::vector<bool>> out;
    for (int r = 1; r < model.RowCount(); ++r) {
        std::vector<bool> row;
        for (int c = 0; c < 5; ++c)
            row.push_back(model.CellAt(c, r)->IsChanged());
        out.push_back(row);
    }
    return out;
}

class LessonTable : public ::testing::Test {
protected:
    void Build(const std::vector<std::pair<int, std::vector<PairPlan>>>& plan) {
        lessons_ = MakeLessons(plan);
        model_ = std::make_unique<Model>(kTitles, *lessons_, &factory_);
        model_->SetRefusalHandler([this](const TTextRefusal& r) { refusals_.push_back(r); });
    }
    FakeEditor& Text1() { return *factory_.made[0]; }
    FakeEditor& Text2() { return *factory_.made[1]; }
    FakeEditor& Spin() { return *factory_.made[2]; }
    // Marks the row, then opens the cell's editor (two clicks).
    void Open(int col, int row) {
        model_->CellClicked(col, row, 1000, 1000, kCell);
        model_->CellClicked(col, row, 1000, 1000, kCell);
    }

    FakeEditorFactory factory_;
    std::shared_ptr<TVector<TLesson>> lessons_;
    std::unique_ptr<Model> model_;
    std::vector<TTextRefusal> refusals_;
};

TEST_F(LessonTable, RowsComeFromThePairsOfEachLessonInOrder) {
    Build({{3, {{"dog", "Hund", true, true}, {"cat", "Katze", false}}}, {5, {}}});
    // A gap in lesson 3's slots is skipped.
    lessons_->Get(0)->NewPair(4)->text1 = "after gap";
    model_ = std::make_unique<Model>(kTitles, *lessons_, &factory_);
    ASSERT_EQ(model_->RowCount(), 5);
    EXPECT_EQ(model_->VisibleColumnCount(), 4);
    EXPECT_EQ(model_->MarkedRow(), 1);
    EXPECT_EQ(model_->EditCol(), -1);
    const rWordPairData dog = model_->RowData(1);
    EXPECT_EQ(dog.pair.text1, "dog");
    EXPECT_TRUE(dog.pair.use);
    EXPECT_FALSE(dog.pair.drawn) << "the hidden drawn cell is never read back";
    EXPECT_TRUE(static_cast<TMBolTableCell*>(model_->CellAt(4, 1))->GetValue());
    EXPECT_EQ(dog.lesson, 3);
    EXPECT_EQ(model_->RowData(3).pair.text1, "after gap");
    // The lesson without pairs gives one empty entry in use.
    const rWordPairData empty = model_->RowData(4);
    EXPECT_TRUE(empty.pair.use);
    EXPECT_EQ(empty.pair.text1, "");
    EXPECT_EQ(empty.lesson, 5);
    EXPECT_EQ(model_->RowData(0).lesson, -1);
    EXPECT_EQ(model_->RowData(5).lesson, -1);
    EXPECT_FALSE(model_->IsModified());
    for (int r = 1; r < model_->RowCount(); ++r)
        EXPECT_EQ(model_->RowAt(r)->GetNumber(), r);
}

TEST_F(LessonTable, InsertRowAtTheTopAtTheEndAndBeyond) {
    Build({{1, {{"a", "A"}, {"b", "B"}}}});
    rWordPairData x{{"x", "X", 0, true, false}, 1, {}};
    model_->InsertRow(x, 1);
    EXPECT_EQ(Column1(*model_), (std::vector<std::string>{"x", "a", "b"}));
    EXPECT_TRUE(model_->IsModified());
    x.pair.text1 = "end";
    model_->InsertRow(x, model_->RowCount());
    x.pair.text1 = "beyond";
    model_->InsertRow(x, 99);
    x.pair.text1 = "two";
    model_->InsertRow(x, 2);
    EXPECT_EQ(Column1(*model_), (std::vector<std::string>{"x", "two", "a", "b", "end", "beyond"}));
}

TEST_F(LessonTable, DeleteRowMovesTheRowsBelowUpAndCountsAsAChange) {
    Build({{1, {{"a", "A"}, {"b", "B"}, {"c", "C"}}}});
    model_->DeleteRow(0);
    EXPECT_EQ(model_->RowCount(), 4);
    // Removing the last row changes no cell, yet the save must see it.
    model_->DeleteRow(3);
    EXPECT_EQ(Column1(*model_), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(model_->IsModified());
    model_->DeleteRow(1);
    EXPECT_EQ(Column1(*model_), (std::vector<std::string>{"b"}));
}

TEST_F(LessonTable, AnOpenEditorWritesIntoItsOwnRowBeforeARowIsRemoved) {
    Build({{1, {{"a", "A"}, {"b", "B"}, {"c", "C"}}}});
    Open(1, 3);
    Text1().entered = "c edited";
    model_->DeleteRow(1);
    EXPECT_EQ(Column1(*model_), (std::vector<std::string>{"b", "c edited"}));
}

TEST_F(LessonTable, FirstClickMarksTheRowSecondClickActsOnTheColumn) {
    Build({{1, {{"a", "A", false}, {"b", "B"}}}});
    model_->CellClicked(1, 2, 1000, 1000, kCell);
    EXPECT_EQ(model_->MarkedRow(), 2);
    EXPECT_FALSE(Text1().visible) << "the first click only marks";

    model_->CellClicked(1, 2, 1000, 1000, kCell);
    EXPECT_TRUE(Text1().visible);
    EXPECT_EQ(Text1().entered, "b");
    EXPECT_EQ(Text1().Left(), kCell.left + 1);
    EXPECT_EQ(Text1().Top(), kCell.top + 1);
    EXPECT_EQ(Text1().Width(), kCell.Width() - 2);
    EXPECT_EQ(model_->EditCol(), 1);
    EXPECT_EQ(model_->EditRow(), 2);

    // A click elsewhere takes the text and closes the editor.
    Text1().entered = "bee";
    model_->CellClicked(0, 1, 1000, 1000, kCell);
    EXPECT_FALSE(Text1().visible);
    EXPECT_EQ(model_->RowData(2).pair.text1, "bee");
    EXPECT_EQ(model_->EditRow(), -1);

    model_->CellClicked(0, 1, 1000, 1000, kCell);
    EXPECT_TRUE(model_->RowData(1).pair.use) << "the use mark toggles on the marked row";
    EXPECT_TRUE(model_->CellAt(0, 1)->IsChanged());

    model_->CellClicked(0, 7, 1000, 1000, kCell);
    EXPECT_EQ(model_->MarkedRow(), 1);
}

TEST_F(LessonTable, EditorsOpenOnlyOnCellsWhollyInsideTheClientArea) {
    Build({{1, {{"a", "A"}}}});
    // Text field: width 198 + left 60 + 1 < client width, bottom 62 < client height.
    // Spin box: width 57 + 60 + 1 < client width, bottom 62 + 1 < client height.
    const struct {
        int col;
        int clientWidth;
        int clientHeight;
        bool opens;
    } cases[] = {
        {1, 260, 63, true}, {1, 259, 63, false}, {1, 260, 62, false},
        {3, 119, 64, true}, {3, 118, 64, false}, {3, 119, 63, false},
    };
    for (const auto& c : cases) {
        model_->CellClicked(c.col, 1, c.clientWidth, c.clientHeight, kCell);
        FakeEditor& editor = c.col == 1 ? Text1() : Spin();
        EXPECT_EQ(editor.visible, c.opens)
            << c.col << " " << c.clientWidth << " " << c.clientHeight;
        EXPECT_EQ(model_->EditCol(), c.opens ? c.col : -1);
        model_->HideEditors();
    }
}

TEST_F(LessonTable, HideEditorsCommitsTheOpenEditorLikeAScroll) {
    Build({{150, {{"a", "A"}}}});
    Open(2, 1);
    Text2().entered = "\xC3\x84pfel"; // UTF-8, as typed
    model_->HideEditors();
    EXPECT_EQ(model_->RowData(1).pair.text2, "\xC4pfel") << "stored as Windows-1252";
    EXPECT_TRUE(model_->IsModified());

    // A lesson number outside the spin box's 1..100 survives opening and closing it.
    Open(3, 1);
    EXPECT_EQ(Spin().value, 150);
    model_->HideEditors();
    EXPECT_EQ(model_->RowData(1).lesson, 150);
    EXPECT_FALSE(model_->CellAt(3, 1)->IsChanged());
    Open(3, 1);
    Spin().value = 7;
    model_->HideEditors();
    EXPECT_EQ(model_->RowData(1).lesson, 7);

    // Escape: the editor closes and its text is dropped.
    Open(1, 1);
    Text1().entered = "dropped";
    model_->CancelEditor();
    EXPECT_FALSE(Text1().visible);
    model_->HideEditors();
    EXPECT_EQ(model_->RowData(1).pair.text1, "a");
}

// Refused text stays in the open editor with the cursor at the refused character, so nothing
// typed is lost; the cell keeps its value, and nothing that would move rows or the mark
// happens until the text is changed or dropped (Escape).
TEST_F(LessonTable, TextThatALanguageFileCannotStoreIsRefusedAndStaysInTheOpenEditor) {
    Build({{1, {{"a", "A"}, {"b", "B"}}}});
    const struct {
        int col;
        std::string typed;
        std::string named;
        std::size_t at; // byte offset of the refused character in the typed text
        int codePage;   // the code page that lacks it; 0: a character files keep for themselves
    } cases[] = {
        {1, "a#b", "\"#\"", 1, 0},
        {2, "#", "\"#\"", 0, 0},
        {1, "x@y", "\"@\"", 1, 0},
        {1, "C\xC3\xA9 #", "\"#\"", 4, 0},
        {1,
         "\xE6\x97\xA5"
         "本",
         "\"\xE6\x97\xA5\"", 0, 1252},
        {2, "a\nb", "U+000A", 1, 0},
        {2, "ab\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\"", 2, 1252},
        {2,
         "a\xE2\x80\x8B"
         "b",
         "U+200B", 1, 1252},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        refusals_.clear();
        Open(c.col, 1);
        FakeEditor& editor = c.col == 1 ? Text1() : Text2();
        editor.entered = c.typed;
        const int focused = editor.focused;
        model_->HideEditors();
        ASSERT_EQ(refusals_.size(), 1u);
        EXPECT_EQ(refusals_[0].character, c.named);
        EXPECT_EQ(refusals_[0].codePage, c.codePage);
        EXPECT_EQ(refusals_[0].language, kTitles[static_cast<std::size_t>(c.col)]);
        EXPECT_TRUE(editor.visible) << "the editor stays open";
        EXPECT_EQ(editor.entered, c.typed) << "with what was typed";
        EXPECT_EQ(editor.cursorAt, c.at);
        EXPECT_GT(editor.focused, focused);
        EXPECT_EQ(model_->EditCol(), c.col);
        EXPECT_EQ(model_->RowData(1).pair.text1, "a");
        EXPECT_EQ(model_->RowData(1).pair.text2, "A");
        // A click elsewhere, a sort, an insert or a removal waits for the text.
        model_->CellClicked(1, 2, 1000, 1000, kCell);
        EXPECT_EQ(model_->MarkedRow(), 1);
        model_->Sort(1);
        EXPECT_FALSE(model_->InsertRow(rWordPairData{{"n", "N"}, 1, {}}, 1));
        EXPECT_FALSE(model_->DeleteRow(1));
        EXPECT_EQ(Column1(*model_), (std::vector<std::string>{"a", "b"}));
        EXPECT_TRUE(editor.visible);
        EXPECT_EQ(refusals_.size(), 5u) << "each attempt says why";
        model_->CancelEditor();
        EXPECT_FALSE(editor.visible);
        EXPECT_EQ(model_->EditCol(), -1);
    }
    EXPECT_FALSE(model_->IsModified());
    // "@" is fine in the second language, and so are quotes and accented letters.
    refusals_.clear();
    Open(2, 1);
    Text2().entered = "a@b \"c\" \xC3\xA9";
    model_->HideEditors();
    EXPECT_TRUE(refusals_.empty());
    EXPECT_FALSE(Text2().visible);
    EXPECT_EQ(model_->RowData(1).pair.text2, "a@b \"c\" \xE9");
}

TEST_F(LessonTable, AHeaderClickSortsByThatColumn) {
    Build({{3, {{"b", "1"}}}, {1, {{"a", "2"}}}, {2, {{"c", "3"}}}});
    model_->CellClicked(3, 0, 1000, 1000, kCell);
    EXPECT_EQ(Column1(*model_), (std::vector<std::string>{"a", "c", "b"}));
    model_->CellClicked(1, 0, 1000, 1000, kCell);
    EXPECT_EQ(Column1(*model_), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(LessonTable, SortingByEachKeyKeepsEqualRowsInTheirOrder) {
    Build({{2, {{"Birne", "x1", false}, {"apfel", "x2", true}, {"Apfel", "x3", false}}},
           {1, {{"birne", "x4", true}, {"\xC4rger", "x5", true}}}});
    model_->Sort(1);
    // Ignoring case: the two apfel keep their order, so do the two birne; Ä sorts with A.
    EXPECT_EQ(Column1(*model_),
              (std::vector<std::string>{"apfel", "Apfel", "\xC4rger", "Birne", "birne"}));
    model_->Sort(0);
    EXPECT_EQ(Column1(*model_),
              (std::vector<std::string>{"apfel", "\xC4rger", "birne", "Apfel", "Birne"}));
    model_->Sort(3);
    EXPECT_EQ(Column1(*model_),
              (std::vector<std::string>{"\xC4rger", "birne", "apfel", "Apfel", "Birne"}));
    model_->Sort(2);
    EXPECT_EQ(model_->RowData(1).pair.text2, "x1");
    const auto before = Column1(*model_);
    model_->Sort(4);
    model_->Sort(-1);
    EXPECT_EQ(Column1(*model_), before) << "other keys never move a row";
}

// The order and the change marks of exchanging neighbours step by step, as the table did
// before the sort became O(n log n): the reference the fast sort must match exactly.
void BubbleSort(Model& model, int key) {
    auto outOfOrder = [&](int b) {
        const rWordPairData x = model.RowData(b);
        const rWordPairData y = model.RowData(b + 1);
        switch (key) {
        case 0:
            return !x.pair.use && y.pair.use;
        case 1:
            return CompareStrings(x.pair.text1, y.pair.text1, true) > 0;
        case 2:
            return CompareStrings(x.pair.text2, y.pair.text2, true) > 0;
        default:
            return x.lesson > y.lesson;
        }
    };
    model.HideEditors();
    int limit = model.RowCount() - 1;
    while (limit > 0) {
        int last = 0;
        for (int b = 1; b <= limit - 1; ++b) {
            if (outOfOrder(b)) {
                model.SwapRows(b, b + 1);
                last = b;
            }
        }
        limit = last;
    }
}

TEST(LessonTableSort, MatchesExchangingNeighboursInOrderMarksAndNumbers) {
    std::mt19937 rng(20240611);
    const std::vector<std::string> words{"a", "A", "b", "B", "\xE0", "c", "ab"};
    for (int round = 0; round < 400; ++round) {
        const int rows = 1 + static_cast<int>(rng() % 12);
        auto lessons = std::make_shared<TVector<TLesson>>();
        for (int l = 0; l < 3; ++l) {
            auto lesson = std::make_shared<TLesson>();
            lesson->number = 1 + static_cast<int>(rng() % 3);
            lessons->Add(lesson);
        }
        for (int r = 0; r < rows; ++r) {
            auto lesson = lessons->Get(static_cast<std::int64_t>(rng() % 3));
            auto pair = lesson->NewPair(-1);
            pair->text1 = words[rng() % words.size()];
            pair->text2 = words[rng() % words.size()];
            pair->use = rng() % 2 == 0;
            pair->drawn = rng() % 3 == 0;
        }
        const int key = static_cast<int>(rng() % 4);
        Model fast(kTitles, *lessons);
        Model reference(kTitles, *lessons);
        // Some marks set before the sort stay set.
        if (rng() % 2 == 0 && fast.RowCount() > 1) {
            fast.SetRowData(1, rWordPairData{{"zz", "zz", 0, true, false}, 9, {}}, false);
            reference.SetRowData(1, rWordPairData{{"zz", "zz", 0, true, false}, 9, {}}, false);
        }
        fast.MarkRow(fast.RowCount() - 1);
        reference.MarkRow(reference.RowCount() - 1);
        fast.Sort(key);
        BubbleSort(reference, key);
        ASSERT_EQ(fast.RowCount(), reference.RowCount());
        for (int r = 1; r < fast.RowCount(); ++r) {
            for (int c = 0; c < 5; ++c)
                ASSERT_EQ(fast.CellAt(c, r)->Text(), reference.CellAt(c, r)->Text())
                    << "round " << round << " key " << key << " row " << r << " col " << c;
            ASSERT_EQ(static_cast<TMBolTableCell*>(fast.CellAt(4, r))->GetValue(),
                      static_cast<TMBolTableCell*>(reference.CellAt(4, r))->GetValue());
            ASSERT_EQ(fast.RowAt(r)->GetNumber(), reference.RowAt(r)->GetNumber())
                << "round " << round << " row " << r;
            ASSERT_EQ(fast.RowAt(r)->IsMarked(), reference.RowAt(r)->IsMarked());
        }
        ASSERT_EQ(Marks(fast), Marks(reference)) << "round " << round << " key " << key;
        ASSERT_EQ(fast.IsModified(), reference.IsModified());
    }
}

TEST(LessonTableSort, SortsTenThousandRowsLikeTheReferenceOnLongRuns) {
    // Few distinct values in long runs: many rows visit many places.
    auto lessons = std::make_shared<TVector<TLesson>>();
    auto lesson = std::make_shared<TLesson>();
    lesson->number = 1;
    for (int i = 0; i < 600; ++i) {
        auto pair = lesson->NewPair(i);
        pair->text1 = std::string(1, static_cast<char>('a' + (i * 7) % 5));
        pair->text2 = std::to_string(i % 3);
        pair->use = i % 4 == 0;
    }
    lessons->Add(lesson);
    for (const int key : {0, 1, 2}) {
        Model fast(kTitles, *lessons);
        Model reference(kTitles, *lessons);
        fast.Sort(key);
        BubbleSort(reference, key);
        EXPECT_EQ(Marks(fast), Marks(reference)) << key;
        EXPECT_EQ(Column1(fast), Column1(reference)) << key;
    }
}

TEST_F(LessonTable, DrawingLeavesTheCellUnderTheOpenEditorAloneAndPlacesTheEditor) {
    Build({{1, {{"a", "A"}, {"b", "B"}}}});
    Open(1, 1);
    test::RecordingCanvas canvas;
    model_->DrawCell(canvas, TRect{51, 25, 250, 47}, 1, 1);
    EXPECT_TRUE(canvas.texts.empty());
    EXPECT_EQ(Text1().Left(), 52);
    EXPECT_EQ(Text1().Top(), 26);
    EXPECT_EQ(Text1().Width(), 197);
    model_->DrawCell(canvas, TRect{251, 25, 450, 47}, 2, 1);
    ASSERT_EQ(canvas.texts.size(), 1u);
    EXPECT_EQ(canvas.texts[0].color, TCanvasColor::HighlightText) << "the marked row";
    model_->DrawCell(canvas, TRect{0, 0, 50, 23}, 0, 0);
    EXPECT_EQ(canvas.texts.back().text, "Use");
}

} // namespace
} // namespace lexaro

namespace lexaro {
namespace {

TEST(RefusedCharacter, IsNamedAsItselfUnlessItShowsNothingOrPassesForAnother) {
    const struct {
        char32_t cp;
        const char* named;
    } cases[] = {
        {U'#', "\"#\""},
        {U'\u00E9', "\"\xC3\xA9\""},
        {U'\u0416', "\"\xD0\x96\""},
        {U'\u65E5', "\"\xE6\x97\xA5\""},
        {U' ', "U+0020"},
        {U'\t', "U+0009"},
        {U'\u00A0', "U+00A0"},
        {U'\u00AD', "U+00AD"},
        {U'\u0301', "U+0301"},
        {U'\u200B', "U+200B"},
        {U'\uFEFF', "U+FEFF"},
        {U'\uFFFE', "U+FFFE"},
        {0x110000, "U+110000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NameCharacter(c.cp), c.named) << static_cast<unsigned>(c.cp);
}

TEST(RefusedCharacter, TheCodePageIsNamedAsTheSettingsNameIt) {
    const std::pair<int, std::int32_t> cases[] = {{1250, 176},  {1251, 177}, {1252, 178},
                                                  {1253, 179},  {1254, 180}, {1257, 181},
                                                  {65001, 244}, {437, 178}};
    for (const auto& [page, text] : cases)
        EXPECT_EQ(CodePageNameText(page), text) << page;
}

} // namespace
} // namespace lexaro
