// The value grid in a dialog, driven by real pointer and key events.
#include <gtest/gtest.h>

#include <algorithm>

#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/cshelp.h>
#include <wx/settings.h>

#include "grid/TavDateTime.h"
#include "platform/ShellOpen.h"
#include "grid/ui/GridBars.h"
#include "grid/ui/GridCellArea.h"
#include "grid/ui/GridEditors.h"
#include "grid/ui/GridHeadings.h"
#include "grid/ui/GridMonthCalendar.h"
#include "tests/gui/support/GridHost.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/support/TestEnv.h"

using namespace hvtest;
using std::chrono::milliseconds;

// Colours in failure messages as their components.
void PrintTo(const wxColour& c, std::ostream* os) { *os << c.GetAsString(wxC2S_CSS_SYNTAX).ToStdString(); }

namespace {

valuecells::Setup TextSetup(const char* text) {
  valuecells::Setup s;
  s.kind = 1;
  s.text = wxString::FromUTF8(text);
  return s;
}

wxColour PixelAt(const wxBitmap& bmp, int x, int y) {
  wxMemoryDC dc(const_cast<wxBitmap&>(bmp));
  wxColour c;
  dc.GetPixel(x, y, &c);
  return c;
}

}  // namespace

using GridGui = GridHost;

TEST_F(GridGui, ClicksMoveTheCurrentCellAndReachTheHost) {
  ClickAt(CellPoint(2, 3));
  ASSERT_TRUE(PumpUntil([&] { return grid->Has("left 0 2,3"); }));
  EXPECT_EQ(grid->Sheet().currentColumn, 2);
  EXPECT_EQ(grid->Sheet().currentRow, 3);
  EXPECT_TRUE(grid->Has("left 1 2,3"));
  EXPECT_TRUE(grid->CellArea()->HasFocus());
  // Keys in the cell area.
  Key(WXK_RIGHT);
  EXPECT_EQ(grid->Sheet().currentColumn, 3);
  Key(WXK_DOWN);
  EXPECT_EQ(grid->Sheet().currentRow, 4);
  Key(WXK_HOME);
  EXPECT_EQ(grid->Sheet().currentColumn, 0);
  Key(WXK_END);
  EXPECT_EQ(grid->Sheet().currentColumn, 5);
  Key(WXK_HOME, wxMOD_CONTROL);
  EXPECT_EQ(grid->Sheet().currentRow, 0);
  // Escape and Enter in the grid do not close the dialog.
  Key(WXK_ESCAPE);
  Key(WXK_RETURN);
  EXPECT_TRUE(dlg->IsShown());
}

TEST_F(GridGui, DoubleClickEditsAndTheEditorKeysEndOrMove) {
  grid->SetupValueCell(TextSetup("alt"), 0, 10, 0, 3);
  DoubleClickAt(CellPoint(1, 2));
  ASSERT_TRUE(PumpUntil([&] { return grid->IsEditing(); }));
  EXPECT_TRUE(grid->Has("double 1,2"));
  EXPECT_TRUE(grid->Editor()->IsShown());
  Type("neu");
  Key(WXK_RETURN);

  // Enter stores and goes on editing the cell below.
  ASSERT_TRUE(PumpUntil([&] { return grid->GetCellText(1, 2) == wxS("neu"); }));
  EXPECT_TRUE(grid->IsEditing());
  EXPECT_EQ(grid->EditRow(), 3);
  Type("abc");
  Key(WXK_HOME);
  EXPECT_EQ(grid->Editor()->GetInsertionPoint(), 0);
  Key(WXK_END);
  EXPECT_EQ(grid->Editor()->GetInsertionPoint(), 3);
  Key(WXK_RIGHT);  // at the end: store and move right
  ASSERT_TRUE(PumpUntil([&] { return grid->EditColumn() == 2; }));
  EXPECT_EQ(grid->GetCellText(1, 3), wxS("abc"));
  Key(WXK_LEFT);  // all selected: an ordinary caret move to 0
  EXPECT_EQ(grid->EditColumn(), 2);
  Key(WXK_LEFT);  // caret at 0: back to the left column
  ASSERT_TRUE(PumpUntil([&] { return grid->EditColumn() == 1; }));
  Key(WXK_TAB);
  ASSERT_TRUE(PumpUntil([&] { return grid->EditColumn() == 2; }));
  Key(WXK_TAB, wxMOD_SHIFT);
  ASSERT_TRUE(PumpUntil([&] { return grid->EditColumn() == 1; }));
  Key(WXK_UP);
  ASSERT_TRUE(PumpUntil([&] { return grid->EditRow() == 2; }));
  Type("weg");
  Key(WXK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return !grid->IsEditing(); }));
  EXPECT_EQ(grid->GetCellText(1, 2), wxS("neu"));
  EXPECT_FALSE(grid->Editor()->IsShown());
  EXPECT_TRUE(dlg->IsShown());  // Escape ended the edit, not the dialog
  EXPECT_TRUE(grid->Has("finish cancelled accepted"));
}

TEST_F(GridGui, OutOfRangeValueKeepsTheEditorOpenWithTheCellsMessage) {
  ScriptedUi ui;
  valuecells::Setup s;
  s.kind = 9;
  s.minimum = 0.5;
  s.maximum = 1.5;
  s.text = wxS("1");
  s.message = wxS("Wert zwischen 0.5 und 1.5!");
  grid->SetupValueCell(s, 1, 1, 1, 1);
  ClickAt(CellPoint(1, 1));
  Type("1.51");  // typing starts the edit
  ASSERT_TRUE(grid->IsEditing());
  ui.ExpectMessage(0);
  Key(WXK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return grid->Has("finish refused"); }));
  EXPECT_TRUE(ui.AllExpectationsMet());
  ASSERT_EQ(ui.MessageTexts().size(), 1u);
  EXPECT_EQ(ui.MessageTexts()[0], s.message);
  EXPECT_TRUE(grid->IsEditing());
  EXPECT_EQ(grid->EditColumn(), 1);
  grid->Editor()->SelectAll();
  Type("1.5");
  Key(WXK_TAB);
  ASSERT_TRUE(PumpUntil([&] { return grid->Has("finish accepted"); }));
  EXPECT_EQ(grid->GetCellText(1, 1), wxS("1.5"));
}

TEST_F(GridGui, RecipeRowSetsUpTheCellBesideItWithItsBackColour) {
  RecipeGridRow row;
  row.words[0] = 0;
  row.words[1] = 2;            // a number
  row.words[2] = 0xFFFFFFF6u;  // -10
  row.words[3] = 4000000000u;
  row.texts[0] = wxS("7");
  row.texts[1] = wxS("zu gross");
  row.last = Rgb(200, 250, 250);
  grid->SetupValueCellAt(row, 1, 2);
  CGridCell cell;
  ASSERT_EQ(grid->GetCell(2, 2, cell), 0);
  EXPECT_EQ(cell.GetDataType(), gridcell::kNumber);
  EXPECT_EQ(cell.GetText(), wxS("7"));
  EXPECT_EQ(cell.GetExtraText(), wxS("zu gross"));
  EXPECT_DOUBLE_EQ(cell.GetExtraNumber1(), -10.0);
  EXPECT_DOUBLE_EQ(cell.GetExtraNumber2(), 4000000000.0);
  EXPECT_EQ(cell.GetIndex(), valuecells::kEditMarker);
  ASSERT_TRUE(cell.IsSet(gridcell::kBackColour));
  EXPECT_EQ(cell.GetBackColour(), Rgb(200, 250, 250));
  CGridCell left;
  EXPECT_TRUE(grid->GetCell(1, 2, left) != 0 || !left.IsSet(gridcell::kValue));
  // Drawn on that colour.
  GridRect r;
  grid->CellRectangle(2, 2, r);
  EXPECT_EQ(PixelAt(RenderCells(), r.left + 2, r.bottom - 3), wxColour(200, 250, 250));
  // Kind 9 takes its bounds from the row's two floats.
  row.words[1] = 9;
  row.values[0] = 0.5f;
  row.values[1] = 1.5f;
  grid->SetupValueCellAt(row, 0, 3);
  ASSERT_EQ(grid->GetCell(1, 3, cell), 0);
  EXPECT_DOUBLE_EQ(cell.GetExtraNumber1(), 0.5);
  EXPECT_DOUBLE_EQ(cell.GetExtraNumber2(), 1.5);
}

TEST_F(GridGui, DeleteClearsTheValueAndKeepsTheCellEditable) {
  grid->SetupValueCell(TextSetup("12"), 2, 2, 2, 2);
  ClickAt(CellPoint(2, 2));
  Key(WXK_DELETE);
  EXPECT_EQ(grid->GetCellText(2, 2), wxString());
  Apart();
  DoubleClickAt(CellPoint(2, 2));
  EXPECT_TRUE(PumpUntil([&] { return grid->IsEditing(); }));
}

TEST_F(GridGui, BorderDragSizesTheColumnOnce) {
  const int before = grid->GetColumnWidth(1);
  GridRect r;
  grid->CellRectangle(1, -1, r);
  const wxPoint edge = grid->TopHeading()->ClientToScreen(wxPoint(r.right - 1, r.top + r.Height() / 2));
  sim.MouseMove(edge);
  ASSERT_TRUE(PumpUntil([&] { return grid->TopHeading()->IsArmed(); }));
  sim.MouseDown();
  Pump(milliseconds(60));
  for (int dx = 5; dx <= 30; dx += 5) {
    sim.MouseMove(edge + wxPoint(dx, 0));
    Pump(milliseconds(30));
  }
  sim.MouseUp();
  ASSERT_TRUE(PumpUntil([&] { return grid->widthChanged == 1; }));
  EXPECT_NEAR(grid->GetColumnWidth(1), before + 30, 2);
  EXPECT_GT(grid->widthChanging, 1);
  EXPECT_TRUE(grid->CellArea()->Indicator().IsEmpty());
}

TEST_F(GridGui, ColumnDragMovesTheColumn) {
  grid->Sheet().columnDragging = 1;
  grid->SetCellText(0, 0, wxS("erste"));
  sim.MouseMove(CellPoint(0, -1));
  Pump(milliseconds(60));
  sim.MouseDown();
  Pump(milliseconds(60));
  for (double f = 0.2; f <= 1.0; f += 0.2) {
    sim.MouseMove(CellPoint(2, -1, f, 0.5));
    Pump(milliseconds(40));
  }
  ASSERT_TRUE(PumpUntil([&] { return grid->TopHeading()->DropPosition() == 3; }));
  EXPECT_FALSE(grid->CellArea()->Indicator().IsEmpty());
  sim.MouseUp();
  ASSERT_TRUE(PumpUntil([&] { return grid->Has("moved 0->2"); }));
  EXPECT_TRUE(grid->Has("query move 0->2"));
  EXPECT_EQ(grid->GetCellText(2, 0), wxS("erste"));
  EXPECT_EQ(grid->GetCellText(0, -1), wxS("Spalte 1"));
}

TEST_F(GridGui, DragSelectionBeyondTheAreaScrollsOnATimer) {
  grid->Sheet().multiSelectMode = 1;
  sim.MouseMove(CellPoint(1, 1));
  Pump(milliseconds(60));
  sim.MouseDown();
  Pump(milliseconds(60));
  sim.MouseMove(CellPoint(2, 3));
  Pump(milliseconds(60));
  const wxPoint below = grid->CellArea()->ClientToScreen(wxPoint(100, grid->Sheet().cellAreaHeight + 30));
  sim.MouseMove(below);
  ASSERT_TRUE(PumpUntil([&] { return grid->Sheet().topRow >= 3; }));
  EXPECT_TRUE(grid->CellArea()->IsDragTimerRunning());
  sim.MouseUp();
  ASSERT_TRUE(PumpUntil([&] { return !grid->CellArea()->IsDragTimerRunning(); }));
  int l, t, r, b;
  ASSERT_EQ(grid->Sheet().selection.GetUnionRect(l, t, r, b), 0);
  EXPECT_EQ(l, 1);
  EXPECT_EQ(t, 1);
  EXPECT_GT(b, 10);
  // The view no longer moves once the button is up.
  const int top = grid->Sheet().topRow;
  Pump(milliseconds(200));
  EXPECT_EQ(grid->Sheet().topRow, top);
}

TEST_F(GridGui, DropListPickStoresTheChoice) {
  CGridCell cell;
  cell.SetCellTypeIndex(CGridCore::kTypeDropList);
  cell.SetLabel(wxString::FromUTF8("rot\ngrün\nblau\n"));
  grid->SetCell(3, 1, cell);
  ClickAt(CellPoint(3, 1, 0.95));
  ASSERT_TRUE(PumpUntil([&] { return grid->DropList()->IsShown(); }));
  EXPECT_TRUE(grid->Has("notify 100"));
  ASSERT_EQ(grid->DropList()->Choices().size(), 3u);
  const wxRect list = grid->DropList()->GetScreenRect();
  const int item = grid->DropList()->ItemHeight();
  ClickAt(wxPoint(list.x + 10, list.y + 2 + item * 2 + item / 2));
  ASSERT_TRUE(PumpUntil([&] { return !grid->DropList()->IsShown(); }));
  EXPECT_EQ(grid->GetCellText(3, 1), wxS("blau"));
  EXPECT_TRUE(PumpUntil([&] { return grid->CellArea()->HasFocus(); }));
  // Enter opens it again, Escape closes it and changes nothing.
  Key(WXK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return grid->DropList()->IsShown(); }));
  Key(WXK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return !grid->DropList()->IsShown(); }));
  EXPECT_EQ(grid->GetCellText(3, 1), wxS("blau"));
  EXPECT_TRUE(dlg->IsShown());
}

TEST_F(GridGui, CalendarDateIsStoredAtMidnight) {
  valuecells::Setup s = TextSetup("24.12.2026");
  s.typeCode = valuecells::kCodePicker;
  grid->SetupValueCell(s, 1, 1, 4, 4);
  ClickAt(CellPoint(4, 1, 0.95));
  ASSERT_TRUE(PumpUntil([&] { return grid->Calendar()->IsShown(); }));
  EXPECT_TRUE(grid->Has("notify 201"));
  const wxDateTime shown = grid->Calendar()->CalendarCtrl()->GetDate();
  EXPECT_EQ(shown.GetDay(), 24);
  EXPECT_EQ(shown.GetYear(), 2026);
  // Escape leaves the cell alone.
  Key(WXK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return !grid->Calendar()->IsShown(); }));
  EXPECT_FALSE(grid->Has("notify 200"));
  EXPECT_EQ(grid->GetCellText(4, 1), wxS("24.12.2026"));
  // The today line chooses today.
  Apart();
  ClickAt(CellPoint(4, 1, 0.95));
  ASSERT_TRUE(PumpUntil([&] { return grid->Calendar()->IsShown(); }));
  CGridMonthCalendar* cal = grid->Calendar()->CalendarCtrl();
  const wxRect today = cal->TodayRect();
  ClickAt(cal->ClientToScreen(wxPoint(today.x + today.width / 2, today.y + today.height / 2)));
  ASSERT_TRUE(PumpUntil([&] { return grid->Has("notify 200"); }));
  const wxDateTime now = wxDateTime::Today();
  EXPECT_EQ(grid->GetCellText(4, 1), wxString::Format(wxS("%02d.%02d.%04d"), now.GetDay(),
                                                      static_cast<int>(now.GetMonth()) + 1, now.GetYear()));
  EXPECT_FALSE(grid->Calendar()->IsShown());
  // The picker cell stays editable although the calendar cleared its marker.
  Apart();
  DoubleClickAt(CellPoint(4, 1, 0.3));
  EXPECT_TRUE(PumpUntil([&] { return grid->IsEditing(); }));
}

TEST_F(GridGui, SpinHalvesStepTheHours) {
  valuecells::Setup s = TextSetup("10:20:30");
  s.typeCode = valuecells::kCodeSpin;
  grid->SetupValueCell(s, 1, 1, 5, 5);
  ClickAt(CellPoint(5, 1, 0.95, 0.2));
  ASSERT_TRUE(PumpUntil([&] { return grid->Has("notify 16"); }));
  EXPECT_EQ(grid->GetCellText(5, 1), wxS("11:20:30"));
  Apart();
  Pump(milliseconds(600));
  ClickAt(CellPoint(5, 1, 0.95, 0.85));
  ASSERT_TRUE(PumpUntil([&] { return grid->Has("notify 17"); }));
  EXPECT_EQ(grid->GetCellText(5, 1), wxS("10:20:30"));
}

TEST_F(GridGui, RenderedCellsShowLinesSeparatorsSelectionAndCheckMark) {
  CGridSheetInfo& s = grid->Sheet();
  grid->MoveToCell(0, 0);
  GridRect cell;
  grid->CellRectangle(2, 2, cell);
  wxBitmap bmp = RenderCells();
  // Grid lines on the right and bottom edge of a cell only.
  const wxColour line(220, 220, 220);
  EXPECT_EQ(PixelAt(bmp, cell.right - 1, cell.top + 5), line);
  EXPECT_EQ(PixelAt(bmp, cell.left + 5, cell.bottom - 1), line);
  EXPECT_NE(PixelAt(bmp, cell.left + 5, cell.top + 5), line);

  // A selected block in the highlight colour.
  s.selection.BeginBlock(1, 1);
  s.selection.MoveBlockEnd(2, 2);
  bmp = RenderCells();
  EXPECT_EQ(PixelAt(bmp, cell.left + 3, cell.top + 3), wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT));
  s.selection.RemoveAllBlocks();

  // Black separators under the last locked row and right of the last locked column.
  grid->SetLockedRowCount(1);
  grid->SetLockedColumnCount(1);
  grid->ScrollTopRowTo(5);
  bmp = RenderCells();
  GridRect locked;
  grid->CellRectangle(3, 0, locked);
  EXPECT_EQ(PixelAt(bmp, locked.left + 4, locked.bottom - 1), *wxBLACK);
  grid->CellRectangle(0, 6, locked);
  EXPECT_EQ(PixelAt(bmp, locked.right - 1, locked.top + 4), *wxBLACK);

  // A check box cell: the checked box differs from the unchecked one.
  CGridCell box;
  box.SetCellTypeIndex(CGridCore::kTypeCheckBox);
  box.SetNumber(0);
  grid->SetCell(3, 6, box);
  GridRect boxCell;
  grid->CellRectangle(3, 6, boxCell);
  const GridRect inner{boxCell.left, boxCell.top, boxCell.right - 1, boxCell.bottom - 1};
  const GridRect mark = CGridCheckBoxType::BoxRect(inner, box);
  const wxBitmap unchecked = RenderCells();
  box.SetNumber(1);
  grid->SetCell(3, 6, box);
  const wxBitmap checked = RenderCells();
  int differing = 0;
  for (int x = mark.left; x <= mark.right; ++x)
    for (int y = mark.top; y <= mark.bottom; ++y) differing += PixelAt(checked, x, y) != PixelAt(unchecked, x, y);
  EXPECT_GT(differing, 4);
  SaveArtifact(RenderGrid(), "grid-cells.png");
}

// The value grid as the user sees it: every set cell shows its value and only those;
// date, time and list cells carry their button at the right edge, text, number and
// check-box cells none; the check box is ticked. The picture is kept as an artifact.
TEST_F(GridGui, ValueGridShowsEachCellsValueAndItsButtons) {
  grid->SetupValueCell(TextSetup("Sollwert"), 0, 0, 0, 0);
  valuecells::Setup f;
  f.kind = 9;
  f.text = wxS("1.25");
  grid->SetupValueCell(f, 0, 3, 1, 1);
  valuecells::Setup d = TextSetup("24.12.2026");
  d.typeCode = valuecells::kCodePicker;
  grid->SetupValueCell(d, 0, 3, 2, 2);
  valuecells::Setup t = TextSetup("10:20:30");
  t.typeCode = valuecells::kCodeSpin;
  grid->SetupValueCell(t, 0, 3, 3, 3);
  CGridCell list;
  list.SetCellTypeIndex(CGridCore::kTypeDropList);
  list.SetLabel(wxS("rot\nblau\n"));
  list.SetText(wxS("rot"));
  for (int r = 0; r < 4; ++r) grid->SetCell(4, r, list);
  CGridCell box;
  box.SetCellTypeIndex(CGridCore::kTypeCheckBox);
  box.SetLabel(wxS("aktiv"));
  box.SetNumber(1);
  for (int r = 0; r < 4; ++r) grid->SetCell(5, r, box);
  grid->MoveToCell(2, 2);
  grid->SetFocusToCellArea();
  Pump(milliseconds(100));
  SaveArtifact(RenderGrid(), "grid.png");

  const wxBitmap bmp = RenderCells();
  GridRect blank;
  grid->CellRectangle(0, 6, blank);
  const wxColour paper = PixelAt(bmp, blank.left + blank.Width() / 2, blank.top + blank.Height() / 2);
  // Dark pixels (text, marks) and pixels off the paper colour within a part of a cell.
  const auto count = [&](const GridRect& r, bool darkOnly) {
    int n = 0;
    for (int x = r.left; x < r.right; ++x)
      for (int y = r.top; y < r.bottom; ++y) {
        const wxColour c = PixelAt(bmp, x, y);
        n += darkOnly ? c.Red() + c.Green() + c.Blue() < 3 * 100 : c != paper;
      }
    return n;
  };
  for (int c = 0; c < 6; ++c)
    for (int r = 0; r < 6; ++r) {
      GridRect cell;
      grid->CellRectangle(c, r, cell);
      // Inside the grid lines.
      const GridRect inner{cell.left + 1, cell.top + 1, cell.right - 2, cell.bottom - 2};
      const bool set = r < 4 && (c > 0 || r == 0);
      if (set) EXPECT_GT(count(inner, true), 10) << "no value shown in " << c << "," << r;
      else EXPECT_EQ(count(inner, false), 0) << "something shown in the empty cell " << c << "," << r;
      if (!set) continue;
      const GridRect edge{inner.right - 8, inner.top + 2, inner.right, inner.bottom - 2};
      const bool button = c >= 2 && c <= 4;
      if (button) EXPECT_GT(count(edge, false), 20) << "no button in " << c << "," << r;
      else EXPECT_EQ(count(edge, false), 0) << "a button in " << c << "," << r;
    }
}

TEST_F(GridGui, ScrollBarCodesMoveTheViewAndTheThumbShowsAHint) {
  CGridSheetInfo& s = grid->Sheet();
  CGridScrollBar* bar = grid->VScroll();
  ASSERT_TRUE(bar->IsShown());
  const auto send = [&](wxEventType type, int position) {
    wxScrollEvent e(type, bar->GetId(), position, wxVERTICAL);
    e.SetEventObject(bar);
    bar->GetEventHandler()->ProcessEvent(e);
    Pump(milliseconds(30));
  };
  send(wxEVT_SCROLL_LINEDOWN, 0);
  EXPECT_EQ(s.topRow, 1);
  EXPECT_EQ(bar->GetThumbPosition(), 1);
  s.vScrollHints = 1;
  send(wxEVT_SCROLL_THUMBTRACK, 7);
  EXPECT_EQ(s.topRow, 1);  // mode 0 scrolls on release
  EXPECT_TRUE(grid->Hint()->IsShown());
  send(wxEVT_SCROLL_THUMBRELEASE, 7);
  EXPECT_EQ(s.topRow, 7);
  EXPECT_FALSE(grid->Hint()->IsShown());
  send(wxEVT_SCROLL_BOTTOM, 0);
  EXPECT_EQ(s.topRow, s.largestTopRow);
  send(wxEVT_SCROLL_TOP, 0);
  EXPECT_EQ(s.topRow, 0);
}

namespace {

using Clock = std::chrono::steady_clock;

// A pointer move over the cell area as the toolkit reports it, without moving the real
// pointer (which the tip's timer reads) off the cell.
void MoveOver(CGridCellArea* area, const wxPoint& screen) {
  wxMouseEvent e(wxEVT_MOTION);
  e.SetPosition(area->ScreenToClient(screen));
  e.SetEventObject(area);
  area->ProcessWindowEvent(e);
}

long Ms(Clock::duration d) { return static_cast<long>(std::chrono::duration_cast<milliseconds>(d).count()); }

}  // namespace

// A cell's tip is the grid's own hint window: none after one hit test, none before the
// delay (200 ms) after a second one on the same cell, shown soon after it, gone on
// another cell. The toolkit's tip (which ignores delays) is never set.
TEST_F(GridGui, ToolTipWaitsForTwoHitTestsOnACellAndItsDelay) {
  CGridCellArea* area = grid->CellArea();
  const wxPoint at = CellPoint(1, 1);
  sim.MouseMove(at);
  Pump(milliseconds(100));
  grid->Sheet().toolTips = 1;
  MoveOver(area, at);
  Pump(milliseconds(300));
  EXPECT_FALSE(area->IsToolTipShown());
  EXPECT_EQ(area->GetToolTip(), nullptr);
  const auto second = Clock::now();
  MoveOver(area, at);
  EXPECT_TRUE(area->IsToolTipPending());
  Pump(milliseconds(60));
  EXPECT_FALSE(area->IsToolTipShown());
  ASSERT_TRUE(PumpUntil([&] { return area->IsToolTipShown(); }, milliseconds(1000)));
  // Never before the delay; soon after it, even on a busy machine.
  const long shownAfter = Ms(Clock::now() - second);
  EXPECT_GE(shownAfter, 200);
  EXPECT_LE(shownAfter, 800);
  wxString expected;
  grid->GetHintText(1, 1, kSectionCells, expected);
  EXPECT_EQ(area->ToolTipText(), expected);
  EXPECT_EQ(area->GetToolTip(), nullptr);
  MoveOver(area, CellPoint(2, 2));
  EXPECT_FALSE(area->IsToolTipShown());
  EXPECT_FALSE(area->IsToolTipPending());
}

// A shown tip stays for its auto-pop time (shortened here) and then goes by itself; a
// press of the left or the right button ends it at once, and it does not come back
// while the pointer rests.
TEST_F(GridGui, ToolTipGoesAfterItsTimeAndOnAButtonPress) {
  CGridCellArea* area = grid->CellArea();
  constexpr long kAutoPop = 600;
  area->SetToolTipAutoPop(static_cast<int>(kAutoPop));
  const wxPoint at = CellPoint(1, 1);
  sim.MouseMove(at);
  Pump(milliseconds(100));
  grid->Sheet().toolTips = 1;
  const auto showTip = [&] {
    MoveOver(area, CellPoint(2, 2));
    MoveOver(area, at);
    MoveOver(area, at);
    return PumpUntil([&] { return area->IsToolTipShown(); }, milliseconds(1500));
  };

  ASSERT_TRUE(showTip());
  const auto shown = Clock::now();
  ASSERT_TRUE(PumpUntil([&] { return !area->IsToolTipShown(); }, milliseconds(kAutoPop + 1500)));
  const long stayed = Ms(Clock::now() - shown);
  EXPECT_GE(stayed, kAutoPop - 50);
  EXPECT_LE(stayed, kAutoPop + 800);
  EXPECT_FALSE(area->IsToolTipPending());

  for (const int button : {wxMOUSE_BTN_LEFT, wxMOUSE_BTN_RIGHT}) {
    SCOPED_TRACE(button == wxMOUSE_BTN_LEFT ? "left button" : "right button");
    ASSERT_TRUE(showTip());
    sim.MouseDown(button);
    // A tip that stays would stay for good: the wait only covers a slow display.
    EXPECT_TRUE(PumpUntil([&] { return !area->IsToolTipShown(); }, milliseconds(3000)));
    sim.MouseUp(button);
    Pump(milliseconds(300));
    EXPECT_FALSE(area->IsToolTipShown());
    EXPECT_FALSE(area->IsToolTipPending());
  }
}

TEST_F(GridGui, TabClickReportsTheTabsId) {
  grid->TabList() = {CGridTabInfo{wxS("Eins"), 11}, CGridTabInfo{wxS("Zwei"), 22}};
  grid->Tabs()->SetAreaWidth(10);
  EXPECT_EQ(grid->Sheet().tabAreaWidth, 40);  // never below 40 pixels
  grid->Tabs()->SetAreaWidth(260);
  Pump(milliseconds(100));
  ASSERT_TRUE(grid->Tabs()->IsShown());
  const int x = grid->Tabs()->ArrowAreaWidth() + 60 + 20;  // inside the second tab
  ClickAt(grid->Tabs()->ClientToScreen(wxPoint(x, grid->Tabs()->GetClientSize().y / 2)));
  EXPECT_EQ(grid->CurrentTab(), 1);
  EXPECT_TRUE(grid->Has("tab 22"));
}

TEST_F(GridGui, RowBorderDragSizesTheRow) {
  const int before = grid->GetRowHeight(2);
  GridRect r;
  grid->CellRectangle(-1, 2, r);
  const wxPoint edge = grid->SideHeading()->ClientToScreen(wxPoint(r.left + 10, r.bottom - 1));
  sim.MouseMove(edge);
  ASSERT_TRUE(PumpUntil([&] { return grid->SideHeading()->IsArmed(); }));
  sim.MouseDown();
  Pump(milliseconds(60));
  for (int dy = 4; dy <= 12; dy += 4) {
    sim.MouseMove(edge + wxPoint(0, dy));
    Pump(milliseconds(30));
  }
  sim.MouseUp();
  ASSERT_TRUE(PumpUntil([&] { return grid->GetRowHeight(2) != before; }));
  EXPECT_NEAR(grid->GetRowHeight(2), before + 12, 2);
  EXPECT_EQ(grid->GetRowHeight(3), before);
}

TEST_F(GridGui, WheelScrollsThreeRowsANotch) {
  wxMouseEvent wheel(wxEVT_MOUSEWHEEL);
  wheel.m_wheelRotation = -240;
  wheel.m_wheelDelta = 120;
  wheel.SetEventObject(grid->CellArea());
  grid->CellArea()->GetEventHandler()->ProcessEvent(wheel);
  EXPECT_EQ(grid->Sheet().topRow, 6);
  // Small smooth-scrolling steps add up to a notch.
  wheel.m_wheelRotation = 60;
  grid->CellArea()->GetEventHandler()->ProcessEvent(wheel);
  EXPECT_EQ(grid->Sheet().topRow, 6);
  grid->CellArea()->GetEventHandler()->ProcessEvent(wheel);
  EXPECT_EQ(grid->Sheet().topRow, 3);
}

TEST_F(GridGui, MaskedCellTakesOnlyWhatTheMaskAllows) {
  grid->SetupValueCell(TextSetup(""), 1, 1, 0, 0);
  CGridCell cell;
  grid->GetCell(0, 1, cell);
  cell.SetInputMask(wxS("\\(000\\) 000"));
  grid->SetCell(0, 1, cell);
  ClickAt(CellPoint(0, 1));
  Type("12a3456");
  ASSERT_TRUE(grid->IsEditing());
  EXPECT_EQ(grid->Editor()->GetValue(), wxS("(123) 456"));
  Type("7");  // every position filled
  EXPECT_EQ(grid->Editor()->GetValue(), wxS("(123) 456"));
  Key(WXK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return grid->GetCellText(0, 1) == wxS("(123) 456"); }));
}

TEST_F(GridGui, HeldArrowKeyWaitsOutTheAccelerationDelayWhileTheWindowRuns) {
  grid->Sheet().keyAccelDivisor = 4;
  grid->Sheet().keyAccelDelay = 150;
  ClickAt(CellPoint(1, 1));
  ASSERT_EQ(grid->Sheet().currentRow, 1);
  // The display's own key repeat has timing of its own: the key events of a held key
  // go straight to the cell area.
  auto send = [&](wxEventType type) {
    wxKeyEvent e(type);
    e.m_keyCode = WXK_DOWN;
    e.SetEventObject(grid->CellArea());
    grid->CellArea()->GetEventHandler()->ProcessEvent(e);
  };
  // The first press moves at once; a repeat of the held key waits for the delay.
  send(wxEVT_KEY_DOWN);
  EXPECT_EQ(grid->Sheet().currentRow, 2);
  const auto pressed = std::chrono::steady_clock::now();
  send(wxEVT_KEY_DOWN);
  EXPECT_TRUE(grid->CellArea()->IsKeyDelayRunning());
  // The window's events keep flowing meanwhile; further repeats merge into the held one.
  bool ran = false;
  grid->CallAfter([&] { ran = true; });
  Pump(milliseconds(40));
  send(wxEVT_KEY_DOWN);
  EXPECT_TRUE(ran);
  EXPECT_EQ(grid->Sheet().currentRow, 2);
  ASSERT_TRUE(PumpUntil([&] { return grid->Sheet().currentRow == 3; }));
  EXPECT_GE(std::chrono::steady_clock::now() - pressed, milliseconds(140));
  // The merged repeat waits once more; releasing the key lets it go at once.
  EXPECT_TRUE(grid->CellArea()->IsKeyDelayRunning());
  send(wxEVT_KEY_UP);
  EXPECT_EQ(grid->Sheet().currentRow, 4);
  EXPECT_FALSE(grid->CellArea()->IsKeyDelayRunning());
  Pump(milliseconds(200));
  EXPECT_EQ(grid->Sheet().currentRow, 4);
}

TEST_F(GridGui, F1OpensTheManualForAPartWithAHelpId) {
  TempHome home;
  ScriptedUi ui;
  std::vector<wxString> opened;
  ui.Answer<hv::ShellOpenRequest>([&](hv::ShellOpenRequest& r) {
    opened.push_back(r.target);
    return IDOK;
  });
  auto count = [&](const std::string& hook) { return std::count(grid->hooks.begin(), grid->hooks.end(), hook); };
  // F1 held takes the current cell wherever the pointer is: the host gives 42, the
  // program's manual opens.
  ClickAt(CellPoint(2, 3));
  Apart();
  Key(WXK_F1);
  ASSERT_TRUE(PumpUntil([&] { return !opened.empty(); }));
  EXPECT_EQ(count("help 2,3 1"), 1);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_TRUE(opened[0].EndsWith("Handbuch_Halvora_DE.pdf")) << opened[0];
  // A cell without help (id 0) opens nothing.
  Key(WXK_DOWN);
  Key(WXK_F1);
  EXPECT_EQ(count("help 2,4 1"), 1);
  EXPECT_EQ(opened.size(), 1u);
  // Context help pointing at a part hit-tests the point: a heading has its own section.
  auto pointAt = [&](wxWindow* w, const wxPoint& screen) {
    wxHelpEvent e(wxEVT_HELP, w->GetId(), screen, wxHelpEvent::Origin_HelpButton);
    e.SetEventObject(w);
    w->GetEventHandler()->ProcessEvent(e);
  };
  pointAt(grid->CellArea(), CellPoint(4, 5));
  EXPECT_EQ(count("help 4,5 1"), 1);
  pointAt(grid->TopHeading(), CellPoint(1, -1));
  EXPECT_EQ(count("help 1,-1 2"), 1);
  EXPECT_EQ(opened.size(), 2u);
  pointAt(grid->VScroll(), grid->VScroll()->GetScreenPosition());
  EXPECT_EQ(count("help 2,4 6"), 1);
  EXPECT_EQ(opened.size(), 2u);
}
