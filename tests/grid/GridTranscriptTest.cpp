// The order in which the grid asks cell type, data source and host, per event.
#include <gtest/gtest.h>

#include "RecordingGrid.h"

using Lines = std::vector<std::string>;

TEST(GridTranscript, ClickOnAnotherCell) {
  RecordingGrid g;
  const GridPoint p = CentreOf(g, 2, 3);
  g.CellAreaLeftDown(p, kMkLeftButton);
  g.CellAreaLeftUp(p, 0);
  EXPECT_EQ(g.t.lines, (Lines{"ds.QueryCellMove", "QueryCellMove", "ds.ColumnChanged", "ColumnChanged",
                              "ds.RowChanged", "RowChanged", "CellChanged", "CellLeftClick down p0",
                              "CellLeftClick up p0"}));
  EXPECT_EQ(g.Sheet().currentColumn, 2);
  EXPECT_EQ(g.Sheet().currentRow, 3);
}

TEST(GridTranscript, KeyDownMovesAfterTheHooks) {
  RecordingGrid g;
  g.CellAreaKeyDown(WXK_DOWN, 0);
  EXPECT_EQ(g.t.lines, (Lines{"KeyDown p0", "ds.QueryCellMove", "QueryCellMove", "ds.RowChanged", "RowChanged",
                              "CellChanged"}));
  g.t.lines.clear();
  g.CellAreaChar('x', 0);
  EXPECT_EQ(g.t.lines, (Lines{"CharDown p0"}));
}

TEST(GridTranscript, EditStartRefusedAcceptedCancelled) {
  RecordingGrid g;
  ASSERT_EQ(g.StartEdit(0, 0, 'a'), 0);
  EXPECT_EQ(g.t.lines, (Lines{"ds.EditStart", "EditStart", "view.ShowEditor", "view.FirstChar"}));
  g.t.lines.clear();
  // The host refuses: the editor stays open, nothing is stored.
  g.editFinish = 0;
  EXPECT_EQ(g.FinishEdit(false, wxS("typed"), false, 0, 0), 0);
  EXPECT_EQ(g.t.lines, (Lines{"ds.EditFinish", "EditFinish"}));
  EXPECT_TRUE(g.IsEditing());
  g.t.lines.clear();
  g.editFinish = 1;
  g.recordCells = true;
  EXPECT_EQ(g.FinishEdit(false, wxS("typed"), false, 0, 0), 1);
  ASSERT_GE(g.t.lines.size(), 5u);
  EXPECT_EQ(Lines(g.t.lines.begin(), g.t.lines.begin() + 5),
            (Lines{"ds.EditFinish", "EditFinish", "view.HideEditor", "GetCell", "SetCell"}));
  EXPECT_EQ(g.GetCellText(0, 0), wxS("typed"));
  g.recordCells = false;
  g.t.lines.clear();
  ASSERT_EQ(g.StartEdit(0, 0), 0);
  g.t.lines.clear();
  EXPECT_EQ(g.FinishEdit(true, wxS("other"), false, 0, 0), 1);
  EXPECT_EQ(g.t.lines, (Lines{"ds.EditFinish(cancel)", "EditFinish(cancel)", "view.HideEditor"}));
  EXPECT_EQ(g.GetCellText(0, 0), wxS("typed"));
}

TEST(GridTranscript, EditStartRefusals) {
  RecordingGrid g;
  g.editStart = 0;
  EXPECT_EQ(g.StartEdit(1, 1), 1);
  EXPECT_EQ(g.t.lines.back(), "EditStart");
  EXPECT_FALSE(g.IsEditing());
  g.editStart = 1;
  g.source.editStart = 0;
  g.t.lines.clear();
  EXPECT_EQ(g.StartEdit(1, 1), 1);
  EXPECT_EQ(g.t.lines, (Lines{"ds.EditStart"}));  // the host is not asked
  g.source.editStart = 1;
  CGridCell ro;
  ro.SetReadOnly(2);
  g.SetCell(2, 2, ro);
  EXPECT_EQ(g.StartEdit(2, 2), 1);
  CGridCell box;
  box.SetCellTypeIndex(CGridCore::kTypeCheckBox);
  g.SetCell(3, 3, box);
  EXPECT_EQ(g.StartEdit(3, 3), 1);
  ASSERT_EQ(g.StartEdit(0, 0), 0);
  EXPECT_EQ(g.StartEdit(1, 0), 1);  // already editing
}

TEST(GridTranscript, DataSourceRefusalKeepsEditorAlthoughHostAccepts) {
  RecordingGrid g;
  ASSERT_EQ(g.StartEdit(0, 0), 0);
  g.source.editFinish = 2;
  g.t.lines.clear();
  EXPECT_EQ(g.FinishEdit(false, wxS("x"), false, 0, 0), 0);
  EXPECT_EQ(g.t.lines, (Lines{"ds.EditFinish"}));
  EXPECT_TRUE(g.IsEditing());
}

TEST(GridTranscript, ContinuePastTheLastColumnWraps) {
  RecordingGrid g(5, 10);
  ASSERT_EQ(g.StartEdit(4, 2), 0);
  g.t.lines.clear();
  EXPECT_EQ(g.FinishEdit(false, wxS("v"), true, 5, 2), 1);
  EXPECT_TRUE(g.IsEditing());
  EXPECT_EQ(g.EditColumn(), 0);
  EXPECT_EQ(g.EditRow(), 2);
  EXPECT_EQ(g.GetCellText(4, 2), wxS("v"));
  // Refused continuation ends editing after storing.
  g.continueEdit = 0;
  EXPECT_EQ(g.FinishEdit(false, wxS("w"), true, 1, 2), 1);
  EXPECT_FALSE(g.IsEditing());
  EXPECT_EQ(g.GetCellText(0, 2), wxS("w"));
}

TEST(GridTranscript, EditStoresByTheMergedDataType) {
  RecordingGrid g;
  CGridCell number;
  number.SetNumber(1);
  g.SetCell(1, 1, number);
  ASSERT_EQ(g.StartEdit(1, 1), 0);
  g.FinishEdit(false, wxS("2.5"), false, 0, 0);
  CGridCell stored;
  g.GetCell(1, 1, stored);
  EXPECT_EQ(stored.GetDataType(), gridcell::kNumber);
  EXPECT_EQ(stored.GetRawText(), wxString());
  EXPECT_DOUBLE_EQ(stored.GetNumber(), 2.5);
}

TEST(GridTranscript, PopupMenu) {
  RecordingGrid g;
  EXPECT_EQ(g.StartPopupMenu(0, 0, GridPoint{}, kSectionCells), 1);
  EXPECT_TRUE(g.t.lines.empty());
  g.Sheet().popupMenu = 1;
  // An empty menu is never shown.
  EXPECT_EQ(g.StartPopupMenu(0, 0, GridPoint{}, kSectionCells), 3);
  g.PopupMenuItems().push_back({1000, wxS("Kopieren")});
  g.view.popupAnswer = 1000;
  g.t.lines.clear();
  EXPECT_EQ(g.StartPopupMenu(0, 0, GridPoint{}, kSectionCells), 0);
  EXPECT_EQ(g.t.lines, (Lines{"QueryPopupMenu", "view.Popup", "PopupCommand 1000"}));
  g.queryPopup = 0;
  EXPECT_EQ(g.StartPopupMenu(0, 0, GridPoint{}, kSectionCells), 2);
}

TEST(GridTranscript, CheckBoxTogglesBeforeTheHostSeesTheClick) {
  RecordingGrid g;
  CGridCell box;
  box.SetCellTypeIndex(CGridCore::kTypeCheckBox);
  box.SetNumber(0);
  g.SetCell(1, 0, box);
  GridRect r;
  g.CellRectangle(1, 0, r);
  g.CellAreaLeftDown(GridPoint{r.left + 5, r.top + 8}, kMkLeftButton);
  EXPECT_EQ(g.t.lines.back(), "CellLeftClick down p1");
  EXPECT_EQ(g.t.lines[g.t.lines.size() - 2], "Notify 53");
  EXPECT_EQ(g.GetCellText(1, 0), wxS("1"));
  // A cell too low for a box never toggles.
  g.SetRowHeight(2, 4);
  g.SetCell(1, 2, box);
  g.CellRectangle(1, 2, r);
  EXPECT_EQ(g.CellTypeAt(1, 2).OnLeftClick(1, 2, 1, r, GridPoint{r.left + 3, r.top + 1}), 0);
}

TEST(GridTranscript, ShiftAtTheTargetExtendsWithoutChangeHooks) {
  RecordingGrid g;
  g.Sheet().multiSelectMode = 1;
  g.MoveToCell(1, 1);
  g.CellAreaLeftDown(CentreOf(g, 3, 2), kMkLeftButton | kMkShift);
  g.t.lines.clear();
  g.SetModifiers(kMkShift);
  EXPECT_EQ(g.MoveToCell(3, 2), 0);
  EXPECT_EQ(g.t.lines, (Lines{"Selection 1,1-3,2 #1"}));
}

TEST(GridTranscript, FinishDuringFinishIsRefused) {
  struct Nested : RecordingGrid {
    int inner = -1;
    int OnEditFinish(int, int, CGridEditor*, const wxString&, bool) override {
      // A message box here would bring focus events that end the edit again.
      inner = FinishEdit(false, wxS("again"), false, 0, 0);
      return 1;
    }
  } g;
  ASSERT_EQ(g.StartEdit(0, 0), 0);
  EXPECT_EQ(g.FinishEdit(false, wxS("once"), false, 0, 0), 1);
  EXPECT_EQ(g.inner, 0);
  EXPECT_EQ(g.GetCellText(0, 0), wxS("once"));
}

TEST(GridTranscript, RightClickOpensThePopupAfterTheHook) {
  RecordingGrid g;
  g.Sheet().popupMenu = 1;
  g.PopupMenuItems().push_back({1001, wxS("Einfügen")});
  g.view.popupAnswer = 1001;
  const GridPoint p = CentreOf(g, 0, 1);
  g.CellAreaRightDown(p, kMkRightButton);
  g.CellAreaRightUp(p, 0);
  EXPECT_EQ(g.t.lines, (Lines{"ds.QueryCellMove", "QueryCellMove", "ds.RowChanged", "RowChanged", "CellChanged",
                              "CellRightClick down", "QueryPopupMenu", "view.Popup", "PopupCommand 1001",
                              "CellRightClick up"}));
  // While editing, the mouse does nothing in the cell area.
  ASSERT_EQ(g.StartEdit(0, 1), 0);
  g.t.lines.clear();
  g.CellAreaLeftDown(CentreOf(g, 2, 2), kMkLeftButton);
  EXPECT_TRUE(g.t.lines.empty());
}

namespace {
// A cell type and host that write the sizing and paint hooks into the transcript.
class SizingType : public CGridCellType {
 public:
  explicit SizingType(Transcript& t) : m_t(t) {}
  void OnColumnWidthChanging(int c, int r, int& w) override { m_t.Add("type.WidthChanging r" + std::to_string(r)); }
  void OnColumnWidthChanged(int c, int r, int& w) override { m_t.Add("type.WidthChanged r" + std::to_string(r)); }
  void OnRowHeightChanging(int c, int r, int& h) override { m_t.Add("type.HeightChanging c" + std::to_string(c)); }
  void OnRowHeightChanged(int c, int r, int& h) override { m_t.Add("type.HeightChanged c" + std::to_string(c)); }

 private:
  Transcript& m_t;
};

struct SizingGrid : RecordingGrid {
  SizingGrid() : RecordingGrid(3, 60), type(t) {
    CGridCell cell;
    cell.SetCellTypeIndex(AddCellType(type));
    for (int r = 0; r < 60; ++r) SetCell(0, r, cell);
    SetCell(2, 1, cell);
    ScrollTopRowTo(30);
    t.lines.clear();
  }
  void OnColumnWidthChanging(int, int& w) override { t.Add("WidthChanging " + std::to_string(w)); }
  void OnColumnWidthChanged(int, int& w) override { t.Add("WidthChanged " + std::to_string(w)); }
  void OnRowHeightChanging(int, int& h) override { t.Add("HeightChanging " + std::to_string(h)); }
  void OnRowHeightChanged(int, int& h) override { t.Add("HeightChanged " + std::to_string(h)); }
  SizingType type;
};
}  // namespace

TEST(GridTranscript, SizingOffersTheSizeToTheVisibleCellsTypesThenTheHost) {
  SizingGrid g;
  g.SetLockedRowCount(0);
  g.ScrollTopRowTo(30);
  const int last = g.LastVisibleRow();
  ASSERT_LT(last, 59);
  g.t.lines.clear();
  g.ColumnSizingStep(0, 90);
  Lines want;
  for (int r = 30; r <= last; ++r) want.push_back("type.WidthChanging r" + std::to_string(r));
  want.push_back("WidthChanging 90");
  EXPECT_EQ(g.t.lines, want);
  EXPECT_EQ(g.GetColumnWidth(0), 90);
  g.t.lines.clear();
  g.ColumnSizingEnd(0, 95);
  want.clear();
  for (int r = 30; r <= last; ++r) want.push_back("type.WidthChanged r" + std::to_string(r));
  want.push_back("WidthChanged 95");
  EXPECT_EQ(g.t.lines, want);
  EXPECT_EQ(g.GetColumnWidth(0), 95);

  // A row: the one type cell in row 1 is not shown (top row 30); row 31's is.
  g.t.lines.clear();
  g.RowSizingStep(31, 25);
  g.RowSizingEnd(31, 26);
  EXPECT_EQ(g.t.lines, (Lines{"type.HeightChanging c0", "HeightChanging 25", "type.HeightChanged c0", "HeightChanged 26"}));

  // Sizing to the contents tells the types of the shown cells before the host.
  g.t.lines.clear();
  g.AutoSizeColumns(0, 0, 5, 0);
  ASSERT_FALSE(g.t.lines.empty());
  EXPECT_EQ(g.t.lines.front(), "type.WidthChanged r30");
  EXPECT_EQ(g.t.lines.back().rfind("WidthChanged ", 0), 0u);
}

TEST(GridTranscript, HeadingTotalsLayTheGridOutAgain) {
  RecordingGrid g;
  const int width = g.Sheet().cellAreaWidth;
  ASSERT_EQ(g.SetSideHeadingWidth(80), 0);
  EXPECT_EQ(g.Sheet().cellAreaWidth, width - 40);
  const int height = g.Sheet().cellAreaHeight;
  ASSERT_EQ(g.SetTopHeadingHeight(30), 0);
  EXPECT_EQ(g.Sheet().cellAreaHeight, height - 10);
}

TEST(GridTranscript, TheFindDialogMovesOffTheNewCurrentCellAfterTheMoveHooks) {
  RecordingGrid g;
  g.view.findOpen = true;
  GridRect cell;
  g.CellRectangle(1, 2, cell);
  g.view.findRect = GridRect{0, cell.top - 5, 200, cell.top + 60};
  g.MoveToCell(1, 2);
  // Below the cell; the host sees the new place first and may change it.
  const std::string below = std::to_string(cell.bottom + 1);
  EXPECT_EQ(g.t.lines, (Lines{"ds.QueryCellMove", "QueryCellMove", "ds.ColumnChanged", "ColumnChanged", "ds.RowChanged",
                              "RowChanged", "CellChanged", "PlaceFindDialog " + below, "view.MoveFindDialog " + below}));
  // A dialog clear of the new cell stays where it is.
  g.t.lines.clear();
  g.MoveToCell(1, 0);
  EXPECT_EQ(g.t.lines.back(), "CellChanged");
  // The host's own place wins.
  g.placeShift = 40;
  g.view.findRect = GridRect{0, 0, 200, 300};
  g.t.lines.clear();
  g.MoveToCell(2, 1);
  GridRect now;
  g.CellRectangle(2, 1, now);
  EXPECT_EQ(g.t.lines.back(), "view.MoveFindDialog " + std::to_string(now.bottom + 1 + 40));
}

TEST(GridTranscript, DragOntoTheLastShownLineOnlyWhenTheSheetAllowsIt) {
  for (int allow : {0, 1}) {
    RecordingGrid g(5, 40);
    g.Sheet().dragOntoLastLine = allow;
    const int last = g.LastVisibleRow();
    g.CellAreaLeftDown(CentreOf(g, 1, 1), kMkLeftButton);
    g.CellAreaMouseMove(CentreOf(g, 1, 3), kMkLeftButton);
    EXPECT_EQ(g.Sheet().targetRow, 3);
    GridRect r;
    g.CellRectangle(1, last, r);
    g.CellAreaMouseMove(GridPoint{r.left + 2, r.top + 1}, kMkLeftButton);
    EXPECT_EQ(g.Sheet().targetRow, allow ? last : 3) << allow;
    g.CellAreaLeftUp(GridPoint{r.left + 2, r.top + 1}, 0);
  }
}
