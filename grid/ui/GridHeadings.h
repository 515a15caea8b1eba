#pragma once
// The column headings above the cells, the row headings left of them and the corner
// button: heading cells drawn by their types, clicks reported to the hooks, column
// widths and row heights sized by dragging edges, columns moved by dragging headings.
#include <wx/timer.h>
#include <wx/window.h>

#include "grid/GridTypes.h"

class CGridCtrl;

class CGridHeading : public wxWindow {
 public:
  // `section` is kSectionTopHeading or kSectionSideHeading.
  CGridHeading(CGridCtrl* grid, int section);
  bool IsArmed() const { return m_armed; }
  int GrabbedColumn() const { return m_grabbed; }
  int DropPosition() const { return m_drop; }
  // The heading cell under a point; false outside every cell.
  bool HitTest(wxPoint p, int& column, int& row, GridRect& rect) const;

 private:
  bool Top() const { return m_section == kSectionTopHeading; }
  // Arms sizing when the pointer is on an edge; returns whether it did.
  bool DetectEdge(wxPoint p);
  void OnPaint(wxPaintEvent& e);
  void OnMotion(wxMouseEvent& e);
  void OnLeftDown(wxMouseEvent& e);
  void OnLeftUp(wxMouseEvent& e);
  void OnDoubleClick(wxMouseEvent& e);
  void OnRightDown(wxMouseEvent& e);
  void OnRightUp(wxMouseEvent& e);
  void ReportRight(wxPoint p, int down);
  void OnLeave(wxMouseEvent& e);
  void OnCaptureLost(wxMouseCaptureLostEvent& e);
  void OnScrollTimer(wxTimerEvent& e);
  void MoveIndicator(int x);
  void Size(wxPoint p);
  void EndSizing(wxPoint p);
  void EndMove(wxPoint p);
  void Reset();

  CGridCtrl* m_grid;
  int m_section;
  bool m_armed = false, m_sizing = false;
  int m_kind = 0;  // 0 column width (side: heading column), 1 heading row (side: row height)
  int m_index = -1, m_startSize = 0, m_startPos = 0, m_startBand = 0;
  int m_grabbed = -1, m_drop = -1;
  int m_scrollDirection = 0;
  wxTimer m_scrollTimer;
};

class CGridCornerButton : public wxWindow {
 public:
  explicit CGridCornerButton(CGridCtrl* grid);

 private:
  GridRect Rect() const;
  void OnPaint(wxPaintEvent& e);
  void OnMotion(wxMouseEvent& e);
  void OnLeftDown(wxMouseEvent& e);
  void OnLeftUp(wxMouseEvent& e);
  void OnDoubleClick(wxMouseEvent& e);
  void OnRightDown(wxMouseEvent& e);
  void OnRightUp(wxMouseEvent& e);
  void OnCaptureLost(wxMouseCaptureLostEvent& e);

  CGridCtrl* m_grid;
  bool m_armed = false, m_sizing = false;
  bool m_heightMode = false, m_widthMode = false;
};
