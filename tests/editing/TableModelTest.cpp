// The table model framework: cells and their change marks, rows, columns, the base model and
// how cells draw.

#include "EditingFakes.h"
#include "editing/T_MTableModel.h"

#include <gtest/gtest.h>

namespace lexaro {
namespace {

using test::RecordingCanvas;

// The smallest concrete model: columns and rows as a test builds them.
class PlainModel : public TMAbstractTableModel {
public:
    void DrawCell(ITableCanvas&, const TRect&, int, int) override {}
    void CommitEditor(int, int) override {}
    void CellClicked(int, int, int, int, const TRect&) override {}
    void Sort(int) override {}

    TMTableColumn& AddColumn(const std::string& title, std::int32_t id, int width) {
        columns_.push_back(std::make_unique<TMTableColumn>(title, id, width));
        return *columns_.back();
    }
    TMTableRow& AddRow(int cells, bool lastHidden = false) {
        auto row = std::make_unique<TMTableRow>(RowCount(), 23);
        for (int c = 0; c < cells; ++c) {
            auto cell = std::make_unique<TMIntTableCell>(c);
            cell->SetVisible(!(lastHidden && c == cells - 1));
            row->AddCell(std::move(cell));
        }
        rows_.push_back(std::move(row));
        return *rows_.back();
    }
};

TEST(TableCells, ChangeMarksAreSetByEditsAndStaySetUntilTheTableIsMadeAnew) {
    TMIntTableCell number(5);
    EXPECT_EQ(number.Text(), "5");
    number.SetValue(7, true);
    EXPECT_FALSE(number.IsChanged()) << "a silent write is no edit";
    number.SetValue(7, false);
    EXPECT_FALSE(number.IsChanged()) << "the same value is no edit";
    number.SetValue(-12, false);
    number.SetValue(7, false);
    EXPECT_TRUE(number.IsChanged()) << "set to a new value and back, it stays changed";
    EXPECT_EQ(number.Text(), "7");
    number.SetValue(-3, false);
    EXPECT_EQ(number.Text(), "-3");

    TMStrTableCell text("Haus");
    text.SetValue("haus", false);
    EXPECT_TRUE(text.IsChanged()) << "letter case counts";
    // A sort or a bulk rewrite that writes the old text back must not hide the edit.
    text.SetValue("Haus", true);
    text.SetValue("Haus", false);
    EXPECT_TRUE(text.IsChanged());
    EXPECT_EQ(text.Text(), "Haus");

    TMBolTableCell use(false);
    EXPECT_EQ(use.Text(), "");
    use.SetValue(true, false);
    use.SetValue(false, true);
    EXPECT_TRUE(use.IsChanged());
    EXPECT_FALSE(use.GetValue());
    EXPECT_EQ(use.Text(), "");
}

TEST(TableRows, CellsNumbersAndMarks) {
    TMTableRow row(3, 23);
    row.AddCell(nullptr);
    row.AddCell(std::make_unique<TMIntTableCell>(1));
    EXPECT_EQ(row.CellCount(), 1);
    EXPECT_NE(row.CellAt(0), nullptr);
    EXPECT_EQ(row.CellAt(1), nullptr);
    EXPECT_EQ(row.CellAt(-1), nullptr);
    row.SetNumber(-1);
    EXPECT_EQ(row.GetNumber(), 3);
    row.SetNumber(0);
    EXPECT_EQ(row.GetNumber(), 0);
}

TEST(TableModel, MarksAtMostOneRowWithinBounds) {
    PlainModel model;
    model.AddColumn("a", -1, 10);
    for (int i = 0; i < 3; ++i)
        model.AddRow(1);
    EXPECT_EQ(model.RowCount(), 4);
    EXPECT_EQ(model.MarkedRow(), 0);
    model.MarkRow(0);
    model.MarkRow(model.RowCount());
    model.MarkRow(-1);
    EXPECT_EQ(model.MarkedRow(), 0);
    model.MarkRow(2);
    model.MarkRow(3);
    EXPECT_EQ(model.MarkedRow(), 3);
    EXPECT_FALSE(model.RowAt(2)->IsMarked());
    // Marked by hand beside it: the highest counts.
    model.RowAt(1)->SetMarked(true);
    EXPECT_EQ(model.MarkedRow(), 3);
}

TEST(TableModel, WidthsHeightsAndColumnCount) {
    PlainModel empty;
    empty.AddColumn("a", -1, 10);
    EXPECT_EQ(empty.VisibleColumnCount(), 0) << "no row 1";
    EXPECT_FALSE(empty.IsModified());

    PlainModel model;
    model.AddColumn("a", -1, 10);
    model.AddColumn("b", -1, 20);
    model.AddColumn("c", -1, 30);
    model.AddRow(3, true);
    EXPECT_EQ(model.VisibleColumnCount(), 2);
    EXPECT_TRUE(model.IsCellVisible(1, 1));
    EXPECT_FALSE(model.IsCellVisible(2, 1));
    EXPECT_FALSE(model.IsCellSelectable(5, 1));
    EXPECT_TRUE(model.IsCellSelectable(0, 1));

    for (const int width : {0, -5}) {
        model.SetColumnWidth(width, 1);
        EXPECT_EQ(model.ColumnWidth(1), 20) << width;
    }
    model.SetColumnWidth(44, 1);
    EXPECT_EQ(model.ColumnWidth(1), 44);
    model.SetColumnWidth(44, 7);
    EXPECT_EQ(model.ColumnWidth(7), 0);

    model.SetRowHeight(40, 0);
    EXPECT_EQ(model.RowHeight(0), 0) << "the header entry has no height of its own";
    model.SetRowHeight(30, 1);
    EXPECT_EQ(model.RowHeight(1), 30);
    EXPECT_EQ(model.RowHeight(9), 0);
}

TEST(TableModel, IsModifiedLooksAtTheVisibleColumnsOnly) {
    PlainModel model;
    for (int c = 0; c < 3; ++c)
        model.AddColumn("c", -1, 10);
    model.AddRow(3, true);
    model.AddRow(3, true);
    static_cast<TMIntTableCell*>(model.CellAt(2, 2))->SetValue(99, false);
    EXPECT_FALSE(model.IsModified());
    static_cast<TMIntTableCell*>(model.CellAt(1, 2))->SetValue(99, false);
    EXPECT_TRUE(model.IsModified());
}

TEST(TableModel, ApplyTextsTranslatesNumberedTitlesAndHints) {
    PlainModel model;
    model.AddColumn("fixed", -1, 10);
    model.AddColumn("Use", 101, 10);
    model.AddRow(2);
    model.ApplyTexts(nullptr);
    EXPECT_EQ(model.ColumnAt(1)->Title(), "Use");
    model.ApplyTexts([](std::int32_t n) { return "text " + std::to_string(n); });
    EXPECT_EQ(model.ColumnAt(0)->Title(), "fixed");
    EXPECT_EQ(model.ColumnAt(1)->Title(), "text 101");
}

TEST(CellDrawing, TextIsCentredWhenItFitsAndStartsTwoPixelsInOtherwise) {
    // Cell 50 wide: "abc" (21 px) is centred, halving towards zero: 10 + (50 - 21) / 2 = 24;
    // vertically 5 + (22 - 13) / 2 = 9.
    const TRect rect{10, 5, 60, 27};
    const struct {
        std::string text;
        int x;
    } cases[] = {
        {"abc", 24},
        {"abcdef", 14},  // 42 px: at most the width less 4, still centred
        {"abcdefg", 12}, // 49 px > 46: from the left edge + 2
    };
    for (const auto& c : cases) {
        RecordingCanvas canvas;
        TMStrTableCell cell(c.text);
        cell.Draw(canvas, rect, false);
        ASSERT_EQ(canvas.texts.size(), 1u) << c.text;
        EXPECT_EQ(canvas.texts[0].x, c.x) << c.text;
        EXPECT_EQ(canvas.texts[0].y, 9) << c.text;
    }
    RecordingCanvas canvas;
    TMStrTableCell(std::string()).Draw(canvas, rect, true);
    EXPECT_TRUE(canvas.texts.empty());
}

TEST(CellDrawing, LongTextIsCutAfterAWholeCharacterWithAnEllipsis) {
    // 46 px of room: "abcde" and the ellipsis take 42, one more letter would take 49.
    RecordingCanvas canvas;
    TMStrTableCell cell("abcdefghij");
    cell.Draw(canvas, TRect{0, 0, 50, 22}, false);
    ASSERT_EQ(canvas.texts.size(), 1u);
    EXPECT_EQ(canvas.texts[0].x, 2);
    EXPECT_EQ(canvas.texts[0].text, "abcde\xE2\x80\xA6");
    EXPECT_LT(canvas.measures, 10) << "the cut is found by halving";

    // Stored text of another code page shows as its characters, and is cut after a whole one.
    RecordingCanvas cyrillic;
    TMStrTableCell(std::string("\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9"), TCodePage::Get(1251))
        .Draw(cyrillic, TRect{0, 0, 50, 22}, false);
    ASSERT_EQ(cyrillic.texts.size(), 1u);
    EXPECT_EQ(cyrillic.texts[0].text, "абвгд…");

    // Under Unicode a syllable is never parted from its vowel sign: room for five code
    // points takes two syllables of two each, not a consonant without its sign.
    RecordingCanvas devanagari;
    TMStrTableCell(std::string("किकिकिकिकि"), TCodePage::Get(TCodePage::kUtf8))
        .Draw(devanagari, TRect{0, 0, 50, 22}, false);
    ASSERT_EQ(devanagari.texts.size(), 1u);
    EXPECT_EQ(devanagari.texts[0].text, "किकि…");

    // A right-to-left text keeps its start at the right of the cell, where it is read from:
    // five letters and the ellipsis (42 px) end 2 px before the right edge.
    RecordingCanvas arabic;
    TMStrTableCell(std::string("ابتثجحخدذر"), TCodePage::Get(TCodePage::kUtf8))
        .Draw(arabic, TRect{0, 0, 50, 22}, false);
    ASSERT_EQ(arabic.texts.size(), 1u);
    EXPECT_EQ(arabic.texts[0].text, "ابتثج…");
    EXPECT_EQ(arabic.texts[0].x, 6);

    RecordingCanvas narrow;
    EXPECT_EQ(FitText(narrow, "abc", 5), "") << "not even the ellipsis fits";
}

TEST(CellDrawing, HighlightShrinksTheRectangleAndUsesTheHighlightColours) {
    RecordingCanvas canvas;
    TMStrTableCell cell("ab");
    cell.Draw(canvas, TRect{10, 20, 60, 42}, true);
    ASSERT_EQ(canvas.fills.size(), 1u);
    EXPECT_EQ(canvas.fills[0].first, (TRect{11, 21, 60, 42}));
    EXPECT_EQ(canvas.fills[0].second, TCanvasColor::Highlight);
    ASSERT_EQ(canvas.texts.size(), 1u);
    EXPECT_EQ(canvas.texts[0].color, TCanvasColor::HighlightText);
    // The text is placed in the whole rectangle again: 10 + (50 - 14) / 2.
    EXPECT_EQ(canvas.texts[0].x, 28);

    // The check box is centred in the shrunk rectangle: 11 + (49 - 14) / 2 = 28,
    // 21 + (21 - 14) / 2 = 24; without highlight 10 + 18 = 28 and 20 + 4 = 24.
    for (const bool highlighted : {true, false}) {
        RecordingCanvas boxes;
        TMBolTableCell use(true);
        use.Draw(boxes, TRect{10, 20, 60, 42}, highlighted);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].first, (TRect{28, 24, 42, 38})) << highlighted;
        EXPECT_TRUE(boxes.boxes[0].second);
    }
}

TEST(CellDrawing, HeadersArePlacedLikeTextCells) {
    RecordingCanvas canvas;
    TMTableColumn column("Lesson", 113, 57);
    column.DrawHeader(canvas, TRect{0, 0, 56, 23});
    ASSERT_EQ(canvas.texts.size(), 1u);
    EXPECT_EQ(canvas.texts[0].x, (56 - 42) / 2);
    EXPECT_EQ(canvas.texts[0].y, (23 - 13) / 2);
}

} // namespace
} // namespace lexaro
