#pragma once
// The cell type interface: how a cell reacts to mouse and keys, whether it may be
// edited as text and how much room it needs. The base is the normal cell type.
#include <array>
#include <memory>
#include <vector>
#include <wx/string.h>

#include "grid/GridCell.h"
#include "grid/GridTypes.h"

class CGridCore;
class CGridPainter;
using GridGuid = std::array<std::uint8_t, 16>;

// Calendar settings a host may change before the calendar shows (code 201).
struct CGridCalendarSettings {
  int styleBits = 0;
  int firstDayOfWeek = 0;
  int monthDelta = 1;
  int monthsAcross = 1, monthsDown = 1;
  GridFontRecord font;
  GridColour colours[6] = {SysColour(kColWindow), SysColour(kColWindowText), SysColour(kColWindow),
                           SysColour(kColHighlightText), SysColour(kColHighlight), SysColour(kColGrayText)};
  int spare[3] = {0, 0, 0};
};

// The parameter of a cell type's notification: which field counts depends on the code.
struct CGridNotifyParam {
  int value = 0;                          // check box value (53), chosen index (102)
  wxString text;                          // chosen text (101, 103), date text (200)
  std::vector<wxString>* choices = nullptr;  // the drop list's choices (100)
  CGridCalendarSettings* calendar = nullptr;  // code 201
  double date = 0.0;                      // code 200
  int dateStatus = 0;
};

class CGridCellType {
 public:
  virtual ~CGridCellType() = default;

  void SetControl(CGridCore* control, int typeId) {
    m_control = control;
    m_typeId = typeId;
  }
  CGridCore* GetControl() const { return m_control; }
  int GetTypeId() const { return m_typeId; }
  bool AllowsTextEdit() const { return m_textEdit; }
  bool AllowsOverflow() const { return m_overflow; }

  // ---- drawing, in the order the windows call it: OnDraw, which draws the border, the
  // background, the bitmap and the text through the functions below.
  // Returns the width the bitmap took, margins included.
  virtual int DrawBitmap(CGridPainter& dc, const std::shared_ptr<const GridImage>& bitmap, const GridRect& rect,
                         GridColour background);
  // Border and grid lines; returns the rectangle inside them.
  virtual GridRect DrawBorder(CGridPainter& dc, const GridRect& rect, const CGridCell& cell);
  virtual void DrawCellText(CGridPainter& dc, GridRect rect, int xOffset, int column, int row, const CGridCell& cell,
                            int selected, bool current);
  virtual void DrawBackground(CGridPainter& dc, const GridRect& rect, GridColour colour, int row, int column,
                              const CGridCell* cell, bool current, int selected);
  virtual wxString GetName() const { return wxS("Normal Cell Type (default)"); }
  virtual const GridGuid& GetTypeGuid() const;
  virtual int AdjustEditRect(GridRect& rect) { return 0; }
  virtual int OnLeftClick(int column, int row, int down, const GridRect& rect, GridPoint point) { return 0; }
  virtual int OnRightClick(int column, int row, int down, const GridRect& rect, GridPoint point) { return 0; }
  virtual int OnDoubleClick(int column, int row, const GridRect& rect, GridPoint point) { return 0; }
  virtual int OnKeyDown(int column, int row, int& key) { return 0; }
  virtual int OnKeyUp(int column, int row, int& key) { return 0; }
  virtual int OnCharDown(int column, int row, int& key) { return 0; }
  virtual int OnMouseMove(int column, int row, GridPoint point, int flags) { return 0; }
  // Draws one cell; `selected` is the selection block + 1 (0 not selected).
  virtual void OnDraw(CGridPainter& dc, const GridRect& rect, int column, int row, const CGridCell& cell, int selected,
                      bool current);
  virtual void OnCurrentCellEnter(int column, int row, const CGridCell& cell) {}
  virtual void OnCurrentCellLeave(int column, int row, const CGridCell& cell) {}
  virtual void OnColumnWidthChanged(int column, int row, int& width) {}
  virtual void OnColumnWidthChanging(int column, int row, int& width) {}
  virtual void OnRowHeightChanged(int column, int row, int& height) {}
  virtual void OnRowHeightChanging(int column, int row, int& height) {}
  // Size the cell needs: text width + 6 and text height + 2 in the base type.
  virtual GridPoint MeasureCell(GridPoint preset, const CGridCell& cell);
  virtual int SetTypeOption(int value) { return 0; }
  virtual int NotifyControl(int typeId, int column, int row, int message, CGridNotifyParam& param);

  // Whether the cell's text may run on into empty cells to its right.
  bool QualifiesForOverflow(const CGridCell& cell) const;
  // For an empty cell that a text from its left runs into: minus the width of the
  // columns from the text's cell up to this one, and that cell; 0 when nothing reaches.
  int GetOverflowOffset(int column, int row, int& sourceColumn, CGridCell& source);
  // Highlight state: 1 normal, 2 current, 4 selected, 6 both.
  static int HighlightState(bool selected, bool current);
  // Top-left of a one-line text of the given size placed in `rect` by the alignment.
  static GridPoint TextPosition(const GridRect& rect, int alignment, GridPoint textSize, int margin, int xOffset);
  // Whether this drawing goes the toolkit's themed way.
  bool DrawsThemed() const;
  // Text and background colour a cell is drawn with.
  static void CellColours(const CGridCell& cell, bool selected, bool current, int highlightOption, GridColour& text,
                          GridColour& back);

 protected:
  CGridCore* m_control = nullptr;
  int m_typeId = 0;
  bool m_textEdit = true;
  bool m_overflow = true;
  bool m_fixedVisualStyle = false;
  bool m_useVisualStyles = true;
  bool m_drawLabel = false;
  // Takes the cell's use-visual-styles flag unless the type fixed its own.
  void TakeVisualStyle(const CGridCell& cell) {
    if (!m_fixedVisualStyle) m_useVisualStyles = cell.GetUseVisualStyles();
  }
};
