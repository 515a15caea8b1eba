#pragma once
// The cell types with behaviour of their own: check box, arrows, drop list, date-time
// picker and spin button. Their drawing belongs to the windows; here are their rules.
#include <vector>
#include <wx/string.h>

#include "grid/GridCellType.h"

class CGridCheckBoxType : public CGridCellType {
 public:
  static constexpr int kValueChanged = 53;
  CGridCheckBoxType() { m_textEdit = m_overflow = false; }
  wxString GetName() const override { return wxS("CheckBox"); }
  int OnLeftClick(int column, int row, int down, const GridRect& rect, GridPoint point) override;
  int OnDoubleClick(int column, int row, const GridRect& rect, GridPoint point) override {
    return OnLeftClick(column, row, 1, rect, point);
  }
  int OnCharDown(int column, int row, int& key) override;
  GridPoint MeasureCell(GridPoint preset, const CGridCell& cell) override;
  void OnDraw(CGridPainter& dc, const GridRect& rect, int column, int row, const CGridCell& cell, int selected,
              bool current) override;
  const GridGuid& GetTypeGuid() const override;
  // The box inside a cell rectangle; empty (right < left) when the cell is too low.
  static GridRect BoxRect(const GridRect& rect, const CGridCell& cell);

 private:
  int Toggle(int column, int row, const GridRect* rect, GridPoint point);
};

class CGridArrowType : public CGridCellType {
 public:
  CGridArrowType() { m_textEdit = m_overflow = false; }
  wxString GetName() const override { return wxS("Side Arrows"); }
  GridPoint MeasureCell(GridPoint preset, const CGridCell& cell) override;
  void OnDraw(CGridPainter& dc, const GridRect& rect, int column, int row, const CGridCell& cell, int selected,
              bool current) override;
  const GridGuid& GetTypeGuid() const override;
};

class CGridDropListType : public CGridCellType {
 public:
  enum Codes { kBeforeOpen = 100, kBeforeStore = 101, kChosen = 102, kStored = 103 };
  CGridDropListType() { m_overflow = false; }
  wxString GetName() const override { return wxS("DropList"); }
  int AdjustEditRect(GridRect& rect) override;
  int OnLeftClick(int column, int row, int down, const GridRect& rect, GridPoint point) override;
  int OnDoubleClick(int column, int row, const GridRect& rect, GridPoint point) override;
  int OnKeyDown(int column, int row, int& key) override;
  int OnCharDown(int column, int row, int& key) override;
  int OnMouseMove(int column, int row, GridPoint point, int flags) override;
  void OnCurrentCellLeave(int column, int row, const CGridCell& cell) override;
  GridPoint MeasureCell(GridPoint preset, const CGridCell& cell) override;
  void OnDraw(CGridPainter& dc, const GridRect& rect, int column, int row, const CGridCell& cell, int selected,
              bool current) override;
  const GridGuid& GetTypeGuid() const override;

  // Each choice ends with a line feed; text after the last one is no choice.
  static std::vector<wxString> ParseChoices(const wxString& label);
  // Where the list opens below a cell, kept inside the area.
  static GridRect ListRect(const GridRect& cell, int itemHeight, int choices, int areaWidth, int areaHeight);
  void OpenList(int column, int row);
  // The list reports the chosen entry (or none) here.
  void ChooseEntry(int index, const wxString& text);
  void CloseList(bool choiceMade);
  bool IsOpen() const { return m_open; }
  int DroppedColumn() const { return m_droppedColumn; }
  bool IsPressed() const { return m_pressed; }
  int m_buttonWidth = 16;

 protected:
  // The button at the right of the inner rectangle, raised or pressed, with its arrow;
  // returns false when the cell draws as a normal cell (style 0x200, not current).
  bool DrawButtonCell(CGridPainter& dc, const GridRect& rect, int column, int row, const CGridCell& cell,
                      int selected, bool current, bool greyText);
  int m_droppedColumn = -1, m_droppedRow = -1;
  bool m_pressed = false;
  bool m_open = false;
  GridRect m_buttonRect;
};

class CGridDateTimePickerType : public CGridDropListType {
 public:
  enum Codes { kDateChosen = 200, kBeforeCalendar = 201 };
  wxString GetName() const override { return wxS("Date-Time Picker"); }
  int AdjustEditRect(GridRect& rect) override;
  int OnLeftClick(int column, int row, int down, const GridRect& rect, GridPoint point) override;
  int OnDoubleClick(int column, int row, const GridRect& rect, GridPoint point) override {
    return OnLeftClick(column, row, 1, rect, point);
  }
  int OnKeyDown(int column, int row, int& key) override;
  int OnMouseMove(int column, int row, GridPoint point, int flags) override;
  void OnCurrentCellLeave(int column, int row, const CGridCell& cell) override;
  void OnDraw(CGridPainter& dc, const GridRect& rect, int column, int row, const CGridCell& cell, int selected,
              bool current) override;

  static wxString FormatDate(double date);
  static bool ParseDate(double& date, const wxString& text);
  // Moves a rectangle into the work area: left, right, up, down in that order.
  static GridRect FitRectToScreen(GridRect rect, const GridRect& workArea);
  // Starts the calendar for a cell: the settings the host may change (code 201) and
  // the date to show; false when the cell's text is no date.
  bool BeginCalendar(int column, int row, CGridCalendarSettings& settings, double& date);
  // BeginCalendar, then the view shows the calendar.
  void OpenCalendar(int column, int row);
  // A date was chosen in the calendar: stored at midnight as text (code 200 first).
  void AcceptDate(int column, int row, double date);
};

class CGridSpinButtonType : public CGridCellType {
 public:
  enum Codes { kUp = 16, kDown = 17 };
  CGridSpinButtonType() { m_overflow = false; }
  wxString GetName() const override { return wxS("Spin Button"); }
  int AdjustEditRect(GridRect& rect) override;
  int OnLeftClick(int column, int row, int down, const GridRect& rect, GridPoint point) override;
  int OnDoubleClick(int column, int row, const GridRect& rect, GridPoint point) override {
    return OnLeftClick(column, row, 1, rect, point);
  }
  int OnMouseMove(int column, int row, GridPoint point, int flags) override;
  GridPoint MeasureCell(GridPoint preset, const CGridCell& cell) override;
  void OnDraw(CGridPainter& dc, const GridRect& rect, int column, int row, const CGridCell& cell, int selected,
              bool current) override;
  const GridGuid& GetTypeGuid() const override;
  int PressedHalf() const { return m_half; }
  int m_buttonWidth = 16;

 private:
  int m_half = 0;  // 1 up, 2 down
  int m_pressedHalf = 0;  // the half the last press went to, while the button is held
  int m_halfColumn = -1, m_halfRow = -1;
  GridRect m_halfRect;
};
