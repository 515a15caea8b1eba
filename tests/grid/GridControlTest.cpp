// Sizes, layers, navigation, selection, paste and copy, find and replace.
#include <gtest/gtest.h>

#include <algorithm>

#include "RecordingGrid.h"
#include "grid/GridCellTypes.h"
#include "grid/GridInputMask.h"

using Lines = std::vector<std::string>;

TEST(GridControl, LimitsAndHeadingSizes) {
  RecordingGrid g(5, 10);
  EXPECT_EQ(g.SetColumnCount(32001), 1);
  EXPECT_EQ(g.GetColumnCount(), 5);
  EXPECT_EQ(g.SetSideHeadingWidth(1025), 1);
  g.SetSideHeadingColumnCount(2);
  g.SetSideHeadingColumnWidth(-1, 25);
  g.SetSideHeadingColumnWidth(-2, 15);
  EXPECT_EQ(g.SetSideHeadingWidth(80), 0);
  EXPECT_EQ(g.GetColumnWidth(-1), 50);
  EXPECT_EQ(g.GetColumnWidth(-2), 30);
  // A band of zero is scaled again without dividing by zero.
  EXPECT_EQ(g.SetTopHeadingHeight(0), 0);
  EXPECT_EQ(g.SetTopHeadingHeight(30), 0);
  EXPECT_EQ(g.GetRowHeight(-1), 30);
  EXPECT_EQ(g.SetTopHeadingHeight(-5), 1);
  RecordingGrid one;
  EXPECT_EQ(one.SetSideHeadingColumnWidth(-2, 30), 1);
  EXPECT_EQ(one.SetSideHeadingColumnWidth(-1, 1025), 2);
  one.SetColumnCount(0);
  EXPECT_EQ(one.Sheet().currentColumn, -1);
  one.SetRowCount(70000);
  one.SetRowCount(10);
  EXPECT_TRUE(one.Sheet().uniformRowHeight);
  EXPECT_EQ(one.GetRowHeight(5), 20);
}

TEST(GridControl, MergedLayers) {
  RecordingGrid g;
  g.Sheet().columnRecords[1].defaultCell.SetBackColour(Rgb(5, 5, 5));
  g.SetCellText(1, 1, wxS("t"));
  CGridCell stored, merged;
  g.GetCell(1, 1, stored);
  EXPECT_FALSE(stored.IsSet(gridcell::kBackColour));
  g.GetMergedCell(1, 1, merged);
  EXPECT_EQ(merged.GetBackColour(), Rgb(5, 5, 5));
  CGridCell heading;
  g.GetMergedCell(2, -1, heading);
  EXPECT_EQ(heading.GetText(), wxString());
  EXPECT_EQ(heading.GetVisualPart(), 32);
  g.GetMergedCell(-1, 2, heading);
  EXPECT_EQ(heading.GetVisualPart(), 64);
  // A column that does not exist has no layers.
  EXPECT_EQ(g.GetMergedCell(5, 0, merged), 1);
  EXPECT_EQ(&g.CellTypeAt(5, 0), &g.CellTypeAt(0, 0));
}

TEST(GridControl, LayoutAsksForTheHorizontalBarAgain) {
  RecordingGrid g(5, 10);
  // Columns fit only without the vertical bar: 40 + 375 = 415 wide, rows need it.
  g.SetRowCount(100);
  g.LayoutComponents(420, 300);
  EXPECT_GT(g.Sheet().componentRects[kSectionHScroll - 1].Height(), 0);
  EXPECT_GT(g.Sheet().componentRects[kSectionVScroll - 1].Width(), 0);
  g.SetRowCount(5);
  g.LayoutComponents(800, 600);
  EXPECT_EQ(g.Sheet().componentRects[kSectionHScroll - 1].Height(), 0);
  EXPECT_EQ(g.Sheet().componentRects[kSectionVScroll - 1].Width(), 0);
}

TEST(GridNavigation, KeysAndRefusals) {
  RecordingGrid g(5, 100);
  struct Row {
    int key, modifiers, column, row;
  } rows[] = {
      {WXK_RIGHT, 0, 1, 0}, {WXK_END, 0, 4, 0},      {WXK_END, kMkControl, 4, 99}, {WXK_HOME, kMkControl, 4, 0},
      {WXK_HOME, 0, 0, 0},  {WXK_PAGEDOWN, 0, 0, 10}, {WXK_PAGEUP, 0, 0, 0},        {WXK_LEFT, 0, 0, 0},
  };
  for (const Row& r : rows) {
    g.CellAreaKeyDown(r.key, r.modifiers);
    EXPECT_EQ(g.Sheet().currentColumn, r.column) << r.key;
    EXPECT_EQ(g.Sheet().currentRow, r.row) << r.key;
  }
  g.t.lines.clear();
  g.queryMove = 0;
  EXPECT_EQ(g.MoveToRow(5), 2);
  EXPECT_EQ(g.t.lines, (Lines{"ds.QueryCellMove", "QueryCellMove"}));
  g.queryMove = 1;
  g.source.queryMove = 0;
  g.t.lines.clear();
  EXPECT_EQ(g.MoveToRow(5), 2);
  EXPECT_EQ(g.t.lines, (Lines{"ds.QueryCellMove"}));
  g.source.queryMove = 1;
  g.queryView = 0;
  EXPECT_EQ(g.MoveToRow(50), 2);
  EXPECT_EQ(g.Sheet().topRow, 0);
  g.queryView = 1;
  EXPECT_EQ(g.MoveToRow(-5), 0);
  EXPECT_EQ(g.Sheet().currentRow, 0);
  g.t.lines.clear();
  EXPECT_EQ(g.MoveToRow(500), 0);
  EXPECT_EQ(g.t.lines[0], "ds.PastLastRow");
  EXPECT_EQ(g.t.lines[1], "PastLastRow");
  EXPECT_EQ(g.Sheet().currentRow, 99);
  // Rows a hook adds are there to move to.
  g.addRowsPastEnd = 10;
  EXPECT_EQ(g.MoveToRow(105), 0);
  EXPECT_EQ(g.Sheet().currentRow, 105);
  EXPECT_EQ(g.MoveToCell(-1, 2), 1);
}

TEST(GridNavigation, EmptySheetAnswersWithoutNotifying) {
  RecordingGrid g(3, 0);
  EXPECT_EQ(g.MoveToRow(5), 1);
  EXPECT_EQ(g.StepRow(5), 1);
  EXPECT_EQ(g.StepTopRow(1), 1);
  EXPECT_TRUE(g.t.lines.empty());
}

TEST(GridNavigation, PageStepsHitTestAndLockedRows) {
  RecordingGrid g(5, 1000);
  g.SetLockedRowCount(2);
  g.SetRowHeight(12, 0);
  g.LayoutComponents(40 + 5 * 75 + 16, 20 + 10 * 20 + 16);
  EXPECT_EQ(g.Sheet().topRow, 2);
  EXPECT_EQ(g.StepTopRow(1), 0);
  EXPECT_EQ(g.Sheet().topRow, 3);
  g.ScrollTopRowTo(11);
  EXPECT_EQ(g.StepTopRow(1), 0);
  EXPECT_EQ(g.Sheet().topRow, 13);  // the zero-height row is skipped
  int c, r;
  GridRect rect;
  ASSERT_EQ(g.HitTestCell(80, 45, c, r, rect), 0);
  EXPECT_EQ(c, 1);
  EXPECT_EQ(r, 13);  // below the two locked rows the scrolled rows begin
  ASSERT_EQ(g.HitTestCell(10, 25, c, r, rect), 0);
  EXPECT_EQ(r, 1);
  EXPECT_EQ(g.HitTestCell(10, 5000, c, r, rect), 1);
}

TEST(GridSelection, BlocksHolesAndRowMode) {
  RecordingGrid g(5, 10);
  g.Sheet().multiSelectMode = 1;
  CGridMultiSelect& s = g.Sheet().selection;
  g.CellAreaLeftDown(CentreOf(g, 1, 1), kMkLeftButton);
  g.CellAreaLeftUp(CentreOf(g, 1, 1), 0);
  g.CellAreaLeftDown(CentreOf(g, 3, 3), kMkLeftButton | kMkShift);
  g.CellAreaLeftUp(CentreOf(g, 3, 3), 0);
  EXPECT_EQ(s.GetBlockCount(), 1);
  EXPECT_TRUE(s.IsCellSelected(2, 2));
  // Ctrl adds a block; a deselecting block punches a hole, not with bit 16.
  s.ToggleCellSelection(2, 2);
  EXPECT_FALSE(s.IsCellSelected(2, 2));
  s.SetSelectionMode(CGridMultiSelect::kFirstBlockDecides);
  s.BeginBlock(1, 1);
  s.MoveBlockEnd(3, 3);
  s.ToggleCellSelection(2, 2);
  EXPECT_TRUE(s.IsCellSelected(2, 2));
  s.SetSelectionMode(0);
  s.BeginBlock(4, 4);
  s.ToggleCellSelection(4, 4);
  EXPECT_FALSE(s.IsCellSelected(4, 4));
  // Row mode: whole rows, ending at the last column that exists.
  s.SetSelectionMode(CGridMultiSelect::kRowMode);
  g.t.lines.clear();
  g.CellAreaLeftDown(CentreOf(g, 3, 5), kMkLeftButton);
  EXPECT_NE(std::find(g.t.lines.begin(), g.t.lines.end(), "Selection 0,5-4,5 #1"), g.t.lines.end());
  s.MoveBlockEnd(3, 6);
  int c, r;
  std::vector<std::pair<int, int>> cells;
  for (int res = s.FirstSelectedCell(c, r); res == 0; res = s.NextSelectedCell(c, r)) cells.emplace_back(c, r);
  EXPECT_EQ(cells, (std::vector<std::pair<int, int>>{{0, 5}, {0, 6}}));
  s.RemoveAllBlocks();
  cells.clear();
  for (int res = s.FirstSelectedCell(c, r); res == 0; res = s.NextSelectedCell(c, r)) cells.emplace_back(c, r);
  EXPECT_EQ(cells.size(), 1u);
}

TEST(GridClipboard, TextBothWays) {
  RecordingGrid g(3, 3);
  g.Sheet().multiSelectMode = 1;
  g.MoveToCell(1, 1);
  ASSERT_EQ(g.PasteCellText(wxS("a\tb\r\nc")), 0);
  EXPECT_EQ(g.GetCellText(1, 1), wxS("a"));
  EXPECT_EQ(g.GetCellText(2, 1), wxS("b"));
  EXPECT_EQ(g.GetCellText(1, 2), wxS("c"));
  EXPECT_EQ(g.CopyCellText(), wxS("a\tb\r\nc"));
  g.Sheet().multiSelectMode = 0;
  g.Sheet().selection.RemoveAllBlocks();
  // Past the sheet's edge fields are dropped; an empty field clears its cell.
  g.MoveToCell(0, 0);
  g.MoveToCell(2, 2);
  g.PasteCellText(wxS("x\ty\nz"));
  EXPECT_EQ(g.GetCellText(2, 2), wxS("x"));
  g.MoveToCell(1, 1);
  g.PasteCellText(wxS("\tB"));
  EXPECT_EQ(g.GetCellText(1, 1), wxString());
  EXPECT_EQ(g.GetCellText(2, 1), wxS("B"));
  // Only a cell stored as read-only 1 keeps its text: a read-only column default and a
  // stored mark 2 do not.
  g.Sheet().columnRecords[0].defaultCell.SetReadOnly(2);
  CGridCell locked, marked;
  locked.SetReadOnly(1);
  marked.SetReadOnly(2);
  g.SetCell(1, 0, locked);
  g.SetCell(2, 0, marked);
  g.MoveToCell(0, 0);
  g.PasteCellText(wxS("a\tno\tc"));
  EXPECT_EQ(g.GetCellText(0, 0), wxS("a"));
  EXPECT_EQ(g.GetCellText(1, 0), wxString());
  EXPECT_EQ(g.GetCellText(2, 0), wxS("c"));
}

TEST(GridFind, ReplaceAllEndsAndKeepsTheRest) {
  RecordingGrid g(3, 3);
  g.SetCellText(0, 0, wxS("banana"));
  g.SetCellText(1, 2, wxS("Alpha"));
  CGridCell ro;
  ro.SetText(wxS("a locked"));
  ro.SetReadOnly(1);
  g.SetCell(2, 1, ro);
  EXPECT_EQ(g.ReplaceAll(wxS("a"), wxS("aa"), 1 | 8), 2);
  EXPECT_EQ(g.GetCellText(0, 0), wxS("baanaanaa"));
  EXPECT_EQ(g.ReplaceAll(wxS("A"), wxS("A"), 1 | 2 | 8), 2);
  EXPECT_EQ(g.GetCellText(1, 2), wxS("AlphAA"));
  EXPECT_EQ(g.GetCellText(2, 1), wxS("a locked"));
  // A hit in a moved column lands where the column is shown.
  g.MoveColumn(0, 3);
  g.MoveToCell(0, 0);
  g.SearchAllColumns() = true;
  ASSERT_EQ(g.FindText(wxS("baanaanaa"), 2), 0);
  EXPECT_EQ(g.Sheet().currentColumn, 2);
}

TEST(GridCellTypes, DropListAndSpin) {
  EXPECT_EQ(CGridDropListType::ParseChoices(wxS("a\nb\nc")), (std::vector<wxString>{wxS("a"), wxS("b")}));
  EXPECT_TRUE(CGridDropListType::ParseChoices(wxS("abc")).empty());
  const GridRect list = CGridDropListType::ListRect({0, 180, 75, 200}, 12, 20, 300, 220);
  EXPECT_EQ(list.Height(), 12 * 15 + 6);
  EXPECT_LE(list.bottom, 220);
  RecordingGrid g;
  CGridCell cell;
  cell.SetCellTypeIndex(CGridCore::kTypeDropList);
  cell.SetLabel(wxS("one\ntwo\n"));
  g.SetCell(1, 1, cell);
  g.MoveToCell(1, 1);
  g.t.lines.clear();
  g.CellAreaKeyDown(WXK_RETURN, 0);
  auto& type = static_cast<CGridDropListType&>(g.CellTypeAt(1, 1));
  ASSERT_TRUE(type.IsOpen());
  type.ChooseEntry(1, wxS("two"));
  EXPECT_EQ(g.t.lines, (Lines{"Notify 100", "view.OpenDropList", "KeyDown p1", "Notify 102", "Notify 101", "Notify 103"}));
  EXPECT_EQ(g.GetCellText(1, 1), wxS("two"));
  int paren = '(';
  EXPECT_EQ(type.OnCharDown(1, 1, paren), 0);
  CGridSpinButtonType spin;
  g.AddCellType(spin);
  g.t.lines.clear();
  EXPECT_EQ(spin.OnLeftClick(0, 0, 1, {0, 0, 75, 20}, {70, 10}), 1);  // the middle line counts as down
  EXPECT_EQ(g.t.lines, (Lines{"Notify 17"}));
  const GridRect fitted = CGridDateTimePickerType::FitRectToScreen({-10, 700, 190, 900}, {0, 0, 1024, 768});
  EXPECT_EQ(fitted, (GridRect{0, 568, 200, 768}));
}

TEST(GridEditorRules, MaskAndEndingKeys) {
  CGridInputMask m;
  m.Set(wxS("\\(000\\) 000"));
  EXPECT_EQ(m.Positions(), 9);
  wxString text;
  int caret = 0;
  for (wxUniChar ch : wxString(wxS("12x3456"))) m.TypeChar(text, caret, caret, caret, ch);
  EXPECT_EQ(text, wxS("(123) 456"));
  EXPECT_FALSE(m.TypeChar(text, caret, caret, caret, '7'));
  EXPECT_EQ(m.Reformat(wxS("9a8b7 6")), wxS("(987) 6"));
  m.Set(wxS("\\0L"));
  EXPECT_EQ(m.Reformat(wxS("x")), wxS("0x"));
  const GridEditorKeyResult tab = GridEditorKey(WXK_TAB, kMkShift, 3, 4, 0, 0, 0, 2, false);
  EXPECT_TRUE(tab.end && tab.move);
  EXPECT_EQ(tab.nextColumn, 2);
  EXPECT_FALSE(GridEditorKey(WXK_LEFT, 0, 3, 4, 1, 1, 1, 2, false).end);
  EXPECT_TRUE(GridEditorKey(WXK_RIGHT, 0, 3, 4, 0, 0, 2, 2, false).move);
  EXPECT_TRUE(GridEditorKey(WXK_ESCAPE, 0, 3, 4, 0, 0, 0, 2, false).cancel);
  EXPECT_FALSE(GridEditorKey(WXK_RETURN, kMkControl, 3, 4, 0, 0, 0, 2, true).end);
}

TEST(GridControl, AutoSizeColumns) {
  RecordingGrid g(3, 5);
  g.SetCellText(1, 2, wxString('m', 30));  // 210 + 6 wide in the test view
  EXPECT_EQ(g.AutoSizeColumns(1, 1, 100, 0), 0);
  EXPECT_EQ(g.GetColumnWidth(1), 218);
  g.SetCellText(2, 4, wxString('m', 300));
  EXPECT_EQ(g.AutoSizeColumns(2, 2, 100, 0), 0);
  EXPECT_EQ(g.GetColumnWidth(2), g.Sheet().cellAreaWidth - g.Sheet().vScrollWidth);
  // Only the first rows count when the limit says so.
  g.SetColumnWidth(2, 75);
  EXPECT_EQ(g.AutoSizeColumns(2, 2, 2, 0), 0);
  EXPECT_EQ(g.GetColumnWidth(2), 8);  // an empty cell needs its 6 pixels of margin
  EXPECT_EQ(g.AutoSizeColumns(-2, 1, 10, 0), 1);
  EXPECT_EQ(g.AutoSizeColumns(0, 3, 10, 0), 2);
  EXPECT_EQ(g.AutoSizeColumns(2, 1, 10, 0), 3);
}

TEST(GridControl, SelectSheetKeepsTheLayoutSize) {
  RecordingGrid g(5, 10);
  const int width = g.Sheet().cellAreaWidth;
  g.SetSheetCount(2);
  g.SelectSheet(1);
  g.SetColumnCount(2);
  g.SelectSheet(0);
  EXPECT_EQ(g.Sheet().cellAreaWidth, width);
}

TEST(GridControl, LayoutCases) {
  struct Row {
    int columns, rows, tabWidth, width, height;
    bool hBar, vBar;
    int tabAfter;
  } rows[] = {
      {2, 2, 0, 500, 400, false, false, 0},
      {20, 2, 0, 500, 400, true, false, 0},
      {2, 50, 0, 500, 400, false, true, 0},
      {20, 50, 0, 500, 400, true, true, 0},
      {2, 2, 90, 500, 400, true, false, 90},    // tabs need the horizontal bar's strip
      {2, 50, 900, 500, 400, true, true, 484},  // tabs leave room for the vertical bar
  };
  for (const Row& r : rows) {
    RecordingGrid g(r.columns, r.rows);
    g.Sheet().tabAreaWidth = r.tabWidth;
    g.LayoutComponents(r.width, r.height);
    const GridRect* rc = g.Sheet().componentRects;
    EXPECT_EQ(rc[kSectionHScroll - 1].Height() > 0, r.hBar) << r.columns << "x" << r.rows;
    EXPECT_EQ(rc[kSectionVScroll - 1].Width() > 0, r.vBar) << r.columns << "x" << r.rows;
    EXPECT_EQ(g.Sheet().tabAreaWidth, r.tabAfter);
    EXPECT_EQ(rc[kSectionCells - 1].right, rc[kSectionVScroll - 1].left);
    EXPECT_EQ(g.Sheet().cellAreaWidth, rc[kSectionCells - 1].Width());
  }
}

TEST(GridControl, LayerOrder) {
  struct Layers : RecordingGrid {
    wxString seenByHook;
    void OnGetCell(int c, int r, CGridCell& cell) override {
      seenByHook = cell.GetText();
      cell.SetText(cell.GetText() + wxS("+hook"));
    }
  } g;
  struct Suffix : CGridCellFormat {
    void Format(CGridCell& cell) override { cell.SetText(cell.GetText() + wxS("+format")); }
  };
  auto style = std::make_shared<CGridCell>();
  style->SetMask(0);
  style->SetBackColour(Rgb(7, 7, 7));
  CGridCell cell;
  cell.SetText(wxS("stored"));
  cell.SetFormatObject(std::make_shared<Suffix>());
  cell.SetStyleCell(style);
  g.Sheet().columnRecords[0].defaultCell.SetBackColour(Rgb(1, 1, 1));
  g.SetCell(0, 0, cell);
  CGridCell merged;
  g.GetMergedCell(0, 0, merged);
  EXPECT_EQ(g.seenByHook, wxS("stored"));  // the hook runs after the store
  EXPECT_EQ(merged.GetText(), wxS("stored+hook+format"));
  EXPECT_EQ(merged.GetBackColour(), Rgb(7, 7, 7));  // the style cell comes last
}

TEST(GridNavigation, HitTestWithLockedAndScrolledColumns) {
  RecordingGrid g(20, 20);
  g.SetLockedColumnCount(1);
  g.SetColumnWidth(3, 30);
  g.ScrollLeftColumnTo(3);
  int c, r;
  GridRect rect;
  ASSERT_EQ(g.HitTestCell(10, 5, c, r, rect), 0);
  EXPECT_EQ(c, 0);
  ASSERT_EQ(g.HitTestCell(80, 5, c, r, rect), 0);
  EXPECT_EQ(c, 3);
  EXPECT_EQ(rect, (GridRect{75, 0, 105, 20}));
  ASSERT_EQ(g.HitTestCell(106, 5, c, r, rect), 0);
  EXPECT_EQ(c, 4);
  // Every row locked: nothing scrolls, nothing breaks.
  EXPECT_EQ(g.SetLockedRowCount(20), 0);
  EXPECT_EQ(g.LargestTopRow(), 20);
  EXPECT_EQ(g.StepTopRow(1), 0);
}
