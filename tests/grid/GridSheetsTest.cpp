// Attaching, sheets, fonts, columns, locked areas, overflow and the plain drawing rules.
#include <gtest/gtest.h>

#include "RecordingGrid.h"
#include "RecordingPainter.h"
#include "grid/GridVisualStyles.h"

using Lines = std::vector<std::string>;

namespace {
struct SetupGrid : CGridCore {
  Lines seen;
  void OnSetup() override { seen.push_back("Setup"); }
  void OnSheetSetup(int n) override { seen.push_back("SheetSetup " + std::to_string(n)); }
};
}  // namespace

TEST(GridSheets, AttachAndSheetSetup) {
  SetupGrid g;
  GridFontRecord font;
  font.height = -11;
  font.face = wxS("Arial");
  EXPECT_EQ(g.Attach(&font), 1);
  EXPECT_EQ(g.seen, (Lines{"Setup", "SheetSetup 0"}));
  EXPECT_EQ(g.Sheet().paintEnabled, 1);
  ASSERT_NE(g.GetFont(g.Sheet().defaultFont), nullptr);
  EXPECT_EQ(g.GetFont(g.Sheet().headingDefaultCell.GetFont())->weight, 600);
  EXPECT_EQ(g.SetSheetCount(3), 0);
  EXPECT_EQ(g.seen.back(), "SheetSetup 2");
  EXPECT_EQ(g.SetSheetCount(1025), 1);
  g.SetColumnCount(2);
  g.SelectSheet(2);
  EXPECT_EQ(g.GetColumnCount(), 0);
  g.SetSheetCount(1);
  EXPECT_EQ(g.GetCurrentSheet(), 0);
  EXPECT_EQ(g.GetColumnCount(), 2);
  EXPECT_EQ(g.SelectSheet(1), 1);
}

TEST(GridSheets, FontsColumnsAndLockedAreas) {
  RecordingGrid g(5, 20);
  GridFontRecord a;
  a.face = wxS("Arial");
  GridFontRecord b = a;
  b.italic = 1;
  const int ia = g.AddFont(a);
  EXPECT_EQ(g.AddFont(a), ia);
  EXPECT_NE(g.AddFont(b), ia);
  GridFontRecord longFace = a;
  longFace.face = wxString('x', 32);
  EXPECT_EQ(g.GetFont(g.AddFont(longFace))->face, wxString());
  g.SetCellText(0, 0, wxS("first"));
  EXPECT_EQ(g.MoveColumn(0, 0), 0);
  EXPECT_EQ(g.MoveColumn(0, 1), 0);
  EXPECT_EQ(g.GetCellText(0, 0), wxS("first"));
  EXPECT_EQ(g.MoveColumn(0, 6), 1);
  EXPECT_EQ(g.MoveColumn(0, 5), 0);
  EXPECT_EQ(g.GetCellText(4, 0), wxS("first"));
  EXPECT_EQ(g.SetLockedColumnCount(2), 0);
  EXPECT_EQ(g.Sheet().leftColumn, 2);
  EXPECT_EQ(g.Sheet().lockedWidth, 150);
  EXPECT_EQ(g.SetLockedRowCount(21), 1);
  EXPECT_EQ(g.SetLockedRowCount(3), 0);
  EXPECT_EQ(g.Sheet().topRow, 3);
  CGridCell fill;
  fill.SetText(wxS("f"));
  EXPECT_EQ(g.SetCellRange(18, 4, 20, fill), 0);  // row 20 is one past the end: accepted
  EXPECT_EQ(g.SetCellRange(0, 5, 0, fill), 1);    // column 5 does not exist
  GridRect heading;
  g.SetTopHeadingRowCount(2);
  ASSERT_EQ(g.CellRectangle(0, -1, heading), 0);
  EXPECT_EQ(heading.top, 20);  // the inner heading row lies below the outer one
}

TEST(GridSheets, InsertColumnShiftsCells) {
  RecordingGrid g(3, 2);
  CGridMem& mem = g.Sheet().memorySource;
  g.SetDefaultSource(nullptr);
  g.SetCellText(1, 0, wxS("b"));
  EXPECT_EQ(mem.InsertColumn(1), 0);
  EXPECT_EQ(g.TranslatedColumn(1), 2);
  EXPECT_EQ(g.GetCellText(1, 0), wxS("b"));
  EXPECT_EQ(mem.InsertColumn(-1), 1);
}

TEST(GridDrawingRules, OverflowAndTextPlacement) {
  RecordingGrid g(6, 3);
  g.SetCellText(1, 0, wxS("abcdefghijklmnopqrstuvwxyz"));  // 182 + 6 wide in the test view
  CGridCellType& type = g.CellTypeAt(2, 0);
  int source = -1;
  CGridCell cell;
  struct Row {
    int column, offset;
  } rows[] = {{2, -75}, {3, -150}, {4, 0}, {0, 0}};
  for (const Row& r : rows) EXPECT_EQ(type.GetOverflowOffset(r.column, 0, source, cell), r.offset) << r.column;
  g.SetCellText(3, 0, wxS("stop"));
  EXPECT_EQ(type.GetOverflowOffset(4, 0, source, cell), 0);
  CGridCell right;
  right.SetText(wxString('w', 40));
  right.SetAlignment(gridcell::kRight);
  g.SetCell(1, 1, right);
  EXPECT_EQ(type.GetOverflowOffset(2, 1, source, cell), 0);
  const GridRect r{0, 0, 100, 20};
  EXPECT_EQ(CGridCellType::TextPosition(r, gridcell::kLeft, {30, 10}, 4, 0), (GridPoint{4, 1}));
  EXPECT_EQ(CGridCellType::TextPosition(r, gridcell::kRight | gridcell::kBottom, {30, 10}, 4, 0), (GridPoint{66, 9}));
  EXPECT_EQ(CGridCellType::TextPosition(r, gridcell::kCentre | gridcell::kVCentre, {30, 10}, 4, 0), (GridPoint{35, 5}));
  GridColour text, back;
  CGridCell plain;
  CGridCellType::CellColours(plain, false, true, 1, text, back);
  EXPECT_EQ(back, SysColour(kColWindow));  // the current cell is drawn normally by default
  CGridCellType::CellColours(plain, false, true, 2, text, back);
  EXPECT_EQ(back, SysColour(kColHighlight));
  // Themed drawing only with the switch on, and only for parts the table knows.
  RecordingPainter painter;
  EXPECT_FALSE(gridstyles::IsThemingAvailable());
  EXPECT_FALSE(gridstyles::ThemeDrawBackground(painter, 1, 16, r));
  EXPECT_TRUE(painter.calls.empty());
  gridstyles::SetUseVisualStyles(true);
  EXPECT_TRUE(gridstyles::IsThemingAvailable());
  EXPECT_TRUE(gridstyles::ThemeDrawBackground(painter, 1, gridstyles::kPartDropButton, r));
  EXPECT_FALSE(gridstyles::ThemeDrawBackground(painter, 1, 0, r));
  EXPECT_FALSE(gridstyles::ThemeDrawBackground(painter, 16, gridstyles::kPartCheckChecked, r));
  EXPECT_EQ(painter.calls, (std::vector<std::string>{"native 256 1"}));
  gridstyles::SetUseVisualStyles(false);
}

TEST(GridScroll, PositionMapping) {
  RecordingGrid g(5, 5000);
  int lo, hi, page;
  g.VerticalScrollRange(lo, hi, page);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 1000);
  const int largest = g.LargestTopRow();
  EXPECT_EQ(g.RowFromScrollPosition(500), largest / 2);
  RecordingGrid small(5, 500);
  small.SetLockedRowCount(2);
  small.VerticalScrollRange(lo, hi, page);
  EXPECT_EQ(lo, 2);
  EXPECT_EQ(hi, small.LargestTopRow() + page - 1);
}
