// Check box, drop list, date-time picker and spin button rules, with their codes.
#include <gtest/gtest.h>

#include "RecordingGrid.h"
#include "grid/GridCellTypes.h"
#include "grid/TavDateTime.h"

using Lines = std::vector<std::string>;

namespace {
CGridCell TypedCell(int type, int style = 0) {
  CGridCell c;
  c.SetCellTypeIndex(type);
  if (style) c.SetCellTypeStyle(style);
  return c;
}
}  // namespace

TEST(GridCheckBox, ToggleRules) {
  struct Row {
    int style, readOnly, start, down;
    bool inBox;
    int handled, value;
  } rows[] = {
      {0, 0, 0, 1, true, 1, 1},       {0, 0, 1, 1, true, 1, 0},      {0, 0, 2, 1, true, 1, 1},  // 3 mod 2
      {0x2000, 0, 1, 1, true, 1, 2},  {0x2000, 0, 2, 1, true, 1, 0},                            // three states
      {0, 0, 0, 0, true, 0, 0},                                                                 // release
      {0, 0, 0, 1, false, 0, 0},                                                                // outside the box
      {0x4000, 0, 0, 1, true, 0, 0},  {0, 1, 0, 1, true, 0, 0},      {0, 2, 0, 1, true, 0, 0},
  };
  for (const Row& r : rows) {
    RecordingGrid g;
    CGridCell c = TypedCell(CGridCore::kTypeCheckBox, r.style);
    c.SetNumber(r.start);
    if (r.readOnly) c.SetReadOnly(r.readOnly);
    g.SetCell(1, 1, c);
    GridRect rect;
    g.CellRectangle(1, 1, rect);
    const GridPoint p = r.inBox ? GridPoint{rect.left + 5, rect.top + 8} : GridPoint{rect.right - 5, rect.top + 8};
    CGridCellType& type = g.CellTypeAt(1, 1);
    g.recordCells = true;
    g.t.lines.clear();
    EXPECT_EQ(type.OnLeftClick(1, 1, r.down, rect, p), r.handled) << r.style << "/" << r.start;
    EXPECT_EQ(g.GetCellText(1, 1), wxString::Format("%d", r.value)) << r.style << "/" << r.start;
    if (r.handled) {
      EXPECT_EQ(Lines(g.t.lines.begin(), g.t.lines.begin() + 3), (Lines{"GetCell", "SetCell", "Notify 53"}));
    }
  }
  RecordingGrid g;
  g.SetCell(0, 0, TypedCell(CGridCore::kTypeCheckBox));
  g.CellAreaChar(' ', 0);
  EXPECT_EQ(g.GetCellText(0, 0), wxS("1"));
  EXPECT_EQ(g.t.lines.back(), "CharDown p1");
}

TEST(GridCheckBox, BoxPlacement) {
  CGridCell c;
  EXPECT_EQ(CGridCheckBoxType::BoxRect({0, 0, 75, 20}, c), (GridRect{3, 4, 15, 16}));
  EXPECT_EQ(CGridCheckBoxType::BoxRect({0, 0, 75, 14}, c), (GridRect{3, 3, 11, 11}));  // side h - 6
  c.SetCellTypeStyle(0x800);
  c.SetAlignment(gridcell::kRight | gridcell::kBottom);
  EXPECT_EQ(CGridCheckBoxType::BoxRect({0, 0, 75, 20}, c), (GridRect{57, 2, 69, 14}));
  CGridCheckBoxType box;
  EXPECT_EQ(box.MeasureCell({75, 20}, CGridCell()).x, 18);
  CGridArrowType arrows;
  CGridCell twice;
  twice.SetCellTypeStyle(0x40);
  EXPECT_EQ(arrows.MeasureCell({75, 20}, twice), (GridPoint{14, 20}));
}

TEST(GridDropList, OpenChooseAndRefuse) {
  struct Host : RecordingGrid {
    int refuseStore = 0, cancelOpen = 0;
    int OnCellTypeNotify(int type, int c, int r, int message, CGridNotifyParam& p) override {
      RecordingGrid::OnCellTypeNotify(type, c, r, message, p);
      if (message == CGridDropListType::kBeforeOpen) {
        p.choices->push_back(wxS("added"));
        return !cancelOpen;
      }
      if (message == CGridDropListType::kBeforeStore) return !refuseStore;
      return 1;
    }
  } g;
  CGridCell cell = TypedCell(CGridCore::kTypeDropList);
  cell.SetLabel(wxS("one\ntwo\nlost"));
  g.SetCell(2, 2, cell);
  auto& type = static_cast<CGridDropListType&>(g.CellTypeAt(2, 2));
  type.OpenList(2, 2);
  ASSERT_TRUE(type.IsOpen());
  EXPECT_EQ(g.view.choices, (std::vector<wxString>{wxS("one"), wxS("two"), wxS("added")}));
  EXPECT_EQ(g.Sheet().currentColumn, 2);  // the dropped cell became current
  g.refuseStore = 1;
  type.ChooseEntry(0, wxS("one"));
  EXPECT_FALSE(type.IsOpen());
  EXPECT_EQ(g.GetCellText(2, 2), wxString());
  // Escape or focus loss closes without a choice.
  g.refuseStore = 0;
  type.OpenList(2, 2);
  type.CloseList(false);
  EXPECT_EQ(type.DroppedColumn(), -2);
  EXPECT_EQ(g.GetCellText(2, 2), wxString());
  g.cancelOpen = 1;
  type.OpenList(2, 2);
  EXPECT_FALSE(type.IsOpen());
  CGridCell locked = cell;
  locked.SetReadOnly(1);
  g.SetCell(3, 3, locked);
  g.cancelOpen = 0;
  g.t.lines.clear();
  type.OpenList(3, 3);
  EXPECT_FALSE(type.IsOpen());
  EXPECT_TRUE(g.t.lines.empty());
  // A click on the button opens, a click on the button of the open list closes.
  GridRect rect;
  g.CellRectangle(2, 2, rect);
  EXPECT_EQ(type.OnLeftClick(2, 2, 1, rect, GridPoint{rect.right - 3, rect.top + 5}), 1);
  EXPECT_TRUE(type.IsOpen());
  EXPECT_EQ(type.OnLeftClick(2, 2, 1, rect, GridPoint{rect.right - 3, rect.top + 5}), 0);
  EXPECT_FALSE(type.IsOpen());
  GridRect edit{0, 0, 100, 20};
  type.AdjustEditRect(edit);
  EXPECT_EQ(edit.right, 100 - type.m_buttonWidth - 1);
}

TEST(GridDateTimePicker, CalendarAndAcceptedDate) {
  struct Host : RecordingGrid {
    wxString seenText;
    int OnCellTypeNotify(int type, int c, int r, int message, CGridNotifyParam& p) override {
      RecordingGrid::OnCellTypeNotify(type, c, r, message, p);
      if (message == CGridDateTimePickerType::kBeforeCalendar) p.calendar->colours[2] = Rgb(250, 250, 200);
      if (message == CGridDateTimePickerType::kDateChosen) {
        seenText = p.text;
        p.text += wxS("!");
      }
      return 1;
    }
  } g;
  CGridDateTimePickerType picker;
  const int id = g.AddCellType(picker);
  CGridCell cell = TypedCell(id);
  cell.SetText(wxS("24.12.2026"));
  cell.SetIndex(120);
  g.SetCell(1, 1, cell);
  CGridCalendarSettings settings;
  double date = 0;
  EXPECT_TRUE(picker.BeginCalendar(1, 1, settings, date));
  EXPECT_EQ(CGridDateTimePickerType::FormatDate(date), wxS("24.12.2026"));
  EXPECT_EQ(settings.colours[2], Rgb(250, 250, 200));
  CGridCell stored;
  g.GetCell(1, 1, stored);
  EXPECT_EQ(stored.GetIndex(), 0);
  // The chosen date loses its time of day and is stored as text, after code 200.
  picker.AcceptDate(1, 1, CTavDateTime(2027, 1, 7, 15, 30, 0).GetDate());
  EXPECT_EQ(g.seenText, wxS("07.01.2027"));
  EXPECT_EQ(g.GetCellText(1, 1), wxS("07.01.2027!"));
  g.SetCellText(2, 2, wxS("no date"));
  EXPECT_FALSE(picker.BeginCalendar(2, 2, settings, date));
  CGridCell locked = TypedCell(id);
  locked.SetReadOnly(1);
  g.SetCell(3, 3, locked);
  g.t.lines.clear();
  picker.AcceptDate(3, 3, 1000.0);
  EXPECT_TRUE(g.t.lines.empty());
  EXPECT_EQ(g.GetCellText(3, 3), wxString());
  // Enter on the current picker cell shows the calendar on the cell's date.
  struct Calendar : RecordingView {
    using RecordingView::RecordingView;
    double shown = -1;
    void OpenCalendar(int, int, const GridRect&, const CGridCalendarSettings&, double date, bool valid) override {
      shown = valid ? date : -2;
    }
  } view(g.t);
  g.SetView(&view);
  g.MoveToCell(1, 1);
  g.CellAreaKeyDown(WXK_RETURN, 0);
  EXPECT_EQ(view.shown, -2);  // "07.01.2027!" is no date: the calendar opens on its own date
  g.SetCellText(1, 1, wxS("07.01.2027"));
  g.CellAreaKeyDown(WXK_RETURN, 0);
  EXPECT_EQ(CGridDateTimePickerType::FormatDate(view.shown), wxS("07.01.2027"));
  g.SetView(&g.view);
  struct Fit {
    GridRect in, out;
  } fits[] = {
      {{100, 100, 300, 300}, {100, 100, 300, 300}},
      {{900, 100, 1100, 300}, {824, 100, 1024, 300}},
      {{-20, -5, 180, 195}, {0, 0, 200, 200}},
  };
  for (const Fit& f : fits) EXPECT_EQ(CGridDateTimePickerType::FitRectToScreen(f.in, {0, 0, 1024, 768}), f.out);
}

TEST(GridSpinButton, HalvesAndRelease) {
  RecordingGrid g;
  CGridSpinButtonType spin;
  g.AddCellType(spin);
  const GridRect rect{0, 0, 75, 20};
  struct Row {
    int y;
    const char* code;
  } rows[] = {{0, "Notify 16"}, {9, "Notify 16"}, {10, "Notify 17"}, {19, "Notify 17"}};
  for (const Row& r : rows) {
    g.t.lines.clear();
    EXPECT_EQ(spin.OnLeftClick(0, 0, 1, rect, {70, r.y}), 1);
    EXPECT_EQ(g.t.lines, (Lines{r.code})) << r.y;
    EXPECT_EQ(spin.OnLeftClick(0, 0, 0, rect, {70, r.y}), 1);  // the release ends the press
    EXPECT_EQ(spin.PressedHalf(), 0);
  }
  EXPECT_EQ(spin.OnLeftClick(0, 0, 1, rect, {20, 5}), 0);  // left of the button
  EXPECT_EQ(spin.OnLeftClick(0, 0, 0, rect, {20, 5}), 0);
}
