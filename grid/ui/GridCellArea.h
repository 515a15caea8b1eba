#pragma once
// The window that shows the cells of the current sheet and turns mouse and keys into
// the core's input calls. Dragging a selection past an edge scrolls on a timer.
#include <wx/bitmap.h>
#include <wx/timer.h>
#include <wx/window.h>

class CGridCtrl;
class CGridHint;

class CGridCellArea : public wxWindow {
 public:
  explicit CGridCellArea(CGridCtrl* grid);
  // The sizing line or column-move indicator, drawn over the cells; empty for none.
  void SetIndicator(const wxRect& rect);
  const wxRect& Indicator() const { return m_indicator; }
  bool IsDragTimerRunning() const { return m_dragTimer.IsRunning(); }
  // The key-acceleration delay: the grid's held key moves when it has passed.
  void StartKeyDelay(int milliseconds) { m_keyTimer.StartOnce(milliseconds); }
  void StopKeyDelay() { m_keyTimer.Stop(); }
  bool IsKeyDelayRunning() const { return m_keyTimer.IsRunning(); }
  // The off-screen bitmap of double buffering, of the client size; false when it
  // cannot be made.
  bool MakeBuffer();
  // The cell's tip, drawn as the grid's hint: after two hit tests on one cell and a
  // short delay; it goes after a long one, or when the pointer leaves the cell.
  bool IsToolTipShown() const;
  wxString ToolTipText() const;
  bool IsToolTipPending() const { return m_tipTimer.IsRunning() && !m_tipPopping; }
  // How long a shown tip stays, in milliseconds (32767 unless set).
  void SetToolTipAutoPop(int milliseconds) { m_tipAutoPop = milliseconds; }

 private:
  int Flags(const wxMouseEvent& e) const;
  void OnPaint(wxPaintEvent& e);
  void OnSize(wxSizeEvent& e);
  void OnLeftDown(wxMouseEvent& e);
  void OnLeftUp(wxMouseEvent& e);
  void OnDoubleClick(wxMouseEvent& e);
  void OnRightDown(wxMouseEvent& e);
  void OnRightUp(wxMouseEvent& e);
  void OnMotion(wxMouseEvent& e);
  void OnWheel(wxMouseEvent& e);
  void OnCaptureLost(wxMouseCaptureLostEvent& e);
  void OnCharHook(wxKeyEvent& e);
  void OnKeyDown(wxKeyEvent& e);
  void OnKeyUp(wxKeyEvent& e);
  void OnChar(wxKeyEvent& e);
  void OnFocus(wxFocusEvent& e);
  void OnKillFocus(wxFocusEvent& e);
  void OnDragTimer(wxTimerEvent& e);
  void EndDrag();
  void ToolHitTest(int x, int y);
  void CancelToolTip();
  void OnTipTimer(wxTimerEvent& e);

  CGridCtrl* m_grid;
  wxTimer m_dragTimer;
  wxTimer m_keyTimer;
  wxPoint m_pointer;
  bool m_dragging = false;
  int m_wheel = 0;
  wxRect m_indicator;
  wxBitmap m_buffer;
  wxTimer m_tipTimer;
  CGridHint* m_tip = nullptr;   // a child of the grid
  bool m_tipPopping = false;    // the timer ends a shown tip
  int m_tipAutoPop;
  static int s_tipColumn, s_tipRow;
};
