#pragma once
// The scroll bars, the sheet tab strip with its arrows, the hint shown while a thumb is
// dragged and the drop target for text.
#include <wx/dnd.h>
#include <wx/popupwin.h>
#include <wx/scrolbar.h>
#include <wx/window.h>

class CGridCtrl;

class CGridScrollBar : public wxScrollBar {
 public:
  CGridScrollBar(CGridCtrl* grid, bool vertical);
  // Recomputes range and position from the sheet, only when what they depend on changed.
  void UpdateBar();
  void Forget() { m_known = false; }
  bool AcceptsFocus() const override;

 private:
  void OnScroll(wxScrollEvent& e);
  void OnRightDown(wxMouseEvent& e);

  CGridCtrl* m_grid;
  bool m_vertical;
  bool m_known = false;
  int m_largest = -1, m_locked = -1, m_mode = -1, m_page = -1, m_lastFirst = -1;
};

class CGridTab : public wxWindow {
 public:
  explicit CGridTab(CGridCtrl* grid);
  // The tab area's width (at least 40 pixels); lays the grid out again.
  virtual void SetAreaWidth(int width);
  int Offset() const { return m_offset; }
  int ArrowAreaWidth() const;
  int TabAt(int x) const;

 private:
  void OnPaint(wxPaintEvent& e);
  void OnLeftDown(wxMouseEvent& e);
  void OnLeftUp(wxMouseEvent& e);
  void OnMotion(wxMouseEvent& e);
  void OnRightDown(wxMouseEvent& e);
  void OnCaptureLost(wxMouseCaptureLostEvent& e);
  int LargestOffset() const;

  CGridCtrl* m_grid;
  int m_offset = 0;
  bool m_armed = false, m_sizing = false;
};

class CGridHint : public wxPopupWindow {
 public:
  explicit CGridHint(CGridCtrl* grid);
  // Alignment flags: 4 centred on x, 2 right edge at x, else left edge; 32 centred on y,
  // 16 bottom edge at y, else top edge. Coordinates are the grid's client coordinates.
  void SetAlignment(int flags) { m_alignment = flags; }
  void SetText(const wxString& text) { m_text = text; }
  const wxString& GetText() const { return m_text; }
  void MoveHint(int minimumWidth, int x, int y);

 private:
  void OnPaint(wxPaintEvent& e);
  CGridCtrl* m_grid;
  wxString m_text;
  int m_alignment = 1;
};

class CGridDropTarget : public wxTextDropTarget {
 public:
  explicit CGridDropTarget(CGridCtrl* grid) : m_grid(grid) {}
  wxDragResult OnEnter(wxCoord x, wxCoord y, wxDragResult def) override;
  wxDragResult OnDragOver(wxCoord x, wxCoord y, wxDragResult def) override;
  bool OnDropText(wxCoord x, wxCoord y, const wxString& text) override;

 private:
  CGridCtrl* m_grid;
};
