// The grid's layout: rows in view, cell rectangles and hits, and painting only what is seen.

#include "editing/TableGrid.h"
#include "EditingFakes.h"
#include "editing/T_EditLessonTableModel.h"

#include <gtest/gtest.h>

namespace lexaro {
namespace {

using test::MakeLessons;
using test::PairPlan;

const std::array<std::string, 4> kTitles{"Use", "English", "Deutsch", "Lesson"};

std::shared_ptr<TVector<TLesson>> ManyPairs(int count) {
    std::vector<PairPlan> pairs;
    for (int i = 0; i < count; ++i)
        pairs.push_back({"word " + std::to_string(i), "Wort " + std::to_string(i)});
    return MakeLessons({{1, pairs}});
}

// Header 24 + line, then rows of 23 + line: a client 24 + 1 + 10 * 24 = 265 high shows ten.
constexpr int kTenRowsHigh = 265;

TEST(GridLayout, RowsInViewAndScrollLimits) {
    const auto lessons = ManyPairs(30);
    TMEditLessonTableModel model(kTitles, *lessons);
    TGridLayout grid;
    grid.Reset(model);
    EXPECT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(grid.RowCount(), 31);
    EXPECT_EQ(grid.ColWidth(1), 198);
    grid.SetClientSize(600, kTenRowsHigh);
    EXPECT_EQ(grid.PageRows(), 10);
    EXPECT_EQ(grid.MaxTopRow(), 21);
    grid.SetTopRow(99);
    EXPECT_EQ(grid.TopRow(), 21);
    grid.SetTopRow(-4);
    EXPECT_EQ(grid.TopRow(), 1);
    grid.ScrollToRow(15);
    EXPECT_EQ(grid.TopRow(), 6) << "row 15 becomes the bottom row";
    grid.ScrollToRow(3);
    EXPECT_EQ(grid.TopRow(), 3);
    grid.SetClientSize(600, kTenRowsHigh + 23);
    EXPECT_EQ(grid.PageRows(), 10) << "a row cut at the bottom is not wholly in view";
}

TEST(GridLayout, CellRectanglesAndHits) {
    const auto lessons = ManyPairs(30);
    TMEditLessonTableModel model(kTitles, *lessons);
    TGridLayout grid;
    grid.Reset(model);
    grid.SetClientSize(600, kTenRowsHigh);
    grid.SetTopRow(5);
    TRect rect;
    ASSERT_TRUE(grid.CellRect(1, 0, rect));
    EXPECT_EQ(rect, (TRect{51, 0, 249, 24}));
    ASSERT_TRUE(grid.CellRect(2, 6, rect));
    EXPECT_EQ(rect, (TRect{250, 49, 448, 72}));
    EXPECT_FALSE(grid.CellRect(1, 4, rect)) << "above the top row";
    EXPECT_FALSE(grid.CellRect(1, 16, rect)) << "below the client area";
    EXPECT_FALSE(grid.CellRect(4, 6, rect));

    int col = -1;
    int row = -1;
    ASSERT_TRUE(grid.CellAt(260, 50, col, row));
    EXPECT_EQ(col, 2);
    EXPECT_EQ(row, 6);
    ASSERT_TRUE(grid.CellAt(10, 3, col, row));
    EXPECT_EQ(row, 0);
    EXPECT_FALSE(grid.CellAt(599, 50, col, row)) << "right of the last column";
    EXPECT_EQ(grid.ColumnEdgeAt(52, 10), 0);
    EXPECT_EQ(grid.ColumnEdgeAt(52, 40), -1) << "only in the header";

    grid.SetColWidth(1, 0);
    EXPECT_EQ(grid.ColWidth(1), 198);
    grid.SetClientSize(300, kTenRowsHigh);
    EXPECT_EQ(grid.MaxLeftOffset(), 50 + 198 + 198 + 57 + 4 - 300);
    grid.SetLeftOffset(1000);
    ASSERT_TRUE(grid.CellRect(0, 0, rect));
    EXPECT_EQ(rect.left, -grid.MaxLeftOffset());
}

TEST(GridLayout, PaintsTheRowsInViewOnlyAndHandsTheModelTheInnerRectangle) {
    const auto lessons = ManyPairs(10000);
    TMEditLessonTableModel model(kTitles, *lessons);
    TGridLayout grid;
    grid.Reset(model);
    grid.SetClientSize(600, kTenRowsHigh);
    for (const int top : {1, 9990}) {
        grid.SetTopRow(top);
        test::RecordingCanvas canvas;
        grid.Paint(canvas, model, 1, top);
        // Header and ten rows of two text columns; the check boxes of ten rows.
        EXPECT_EQ(canvas.texts.size(), 4u + 10u * 3u) << top;
        EXPECT_EQ(canvas.boxes.size(), 10u) << top;
        ASSERT_EQ(canvas.focus.size(), 1u);
        EXPECT_EQ(canvas.focus[0], (TRect{51, 25, 249, 48}));
    }
    model.MarkRow(2);
    grid.SetTopRow(1);
    test::RecordingCanvas canvas;
    grid.Paint(canvas, model, -1, -1);
    // The highlight of the marked row fills the inner rectangle less its top-left pixel.
    bool found = false;
    for (const auto& [rect, color] : canvas.fills)
        found = found || (color == TCanvasColor::Highlight && rect == TRect{52, 50, 248, 71});
    EXPECT_TRUE(found);
}

} // namespace
} // namespace lexaro

namespace lexaro {
namespace {

TEST(TablePanel, TheGridKeepsTheGivenHeightAndThePanelGrowsByTheMargins) {
    TTablePanelGeometry panel(549, 338, TTableMargins{10, 10, 10, 10});
    EXPECT_EQ(panel.InitialGridWidth(), 529);
    EXPECT_EQ(panel.InitialGridHeight(), 318);
    EXPECT_EQ(panel.Width(), 549);
    EXPECT_EQ(panel.Height(), 358);
    EXPECT_EQ(panel.GridRect(), (TRect{10, 10, 539, 348}));
    EXPECT_FALSE(panel.SetSize(548, 400));
    EXPECT_FALSE(panel.SetSize(600, 357));
    EXPECT_EQ(panel.Height(), 358);
    EXPECT_TRUE(panel.SetSize(600, 400));
    EXPECT_EQ(panel.GridRect(), (TRect{10, 10, 590, 390}));

    TTablePanelGeometry unframed(100, 50, TTableMargins{-3, 0, 4, -1});
    EXPECT_EQ(unframed.GridRect(), (TRect{0, 0, 100, 50}));
    EXPECT_EQ(unframed.Height(), 54);
}

} // namespace
} // namespace lexaro
