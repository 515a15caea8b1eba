#include "grid/ui/GridCellArea.h"

#include <algorithm>
#include <cmath>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/event.h>
#include <wx/utils.h>

#include "grid/ui/GridBars.h"
#include "grid/ui/GridCtrl.h"
#include "grid/ui/GridEditors.h"
#include "grid/ui/GridHeadings.h"

namespace {
enum { kDragTimer = 1, kKeyTimer = 2, kTipTimer = 3 };
// The toolkit's own tips ignore their delays: the grid draws its tips in a hint window.
// A first tip and the next one wait alike.
constexpr int kTipDelay = 200, kTipAutoPop = 32767;
}  // namespace

// The cell of the last tip hit test, one for all grids.
int CGridCellArea::s_tipColumn = -2;
int CGridCellArea::s_tipRow = -2;

CGridCellArea::CGridCellArea(CGridCtrl* grid)
    : wxWindow(grid, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS | wxBORDER_NONE | wxCLIP_CHILDREN),
      m_grid(grid),
      m_dragTimer(this, kDragTimer),
      m_keyTimer(this, kKeyTimer),
      m_tipTimer(this, kTipTimer),
      m_tipAutoPop(kTipAutoPop) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &CGridCellArea::OnPaint, this);
  Bind(wxEVT_SIZE, &CGridCellArea::OnSize, this);
  Bind(wxEVT_LEFT_DOWN, &CGridCellArea::OnLeftDown, this);
  Bind(wxEVT_LEFT_UP, &CGridCellArea::OnLeftUp, this);
  Bind(wxEVT_LEFT_DCLICK, &CGridCellArea::OnDoubleClick, this);
  Bind(wxEVT_RIGHT_DOWN, &CGridCellArea::OnRightDown, this);
  Bind(wxEVT_RIGHT_UP, &CGridCellArea::OnRightUp, this);
  Bind(wxEVT_MOTION, &CGridCellArea::OnMotion, this);
  Bind(wxEVT_MOUSEWHEEL, &CGridCellArea::OnWheel, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &CGridCellArea::OnCaptureLost, this);
  Bind(wxEVT_CHAR_HOOK, &CGridCellArea::OnCharHook, this);
  Bind(wxEVT_KEY_DOWN, &CGridCellArea::OnKeyDown, this);
  Bind(wxEVT_KEY_UP, &CGridCellArea::OnKeyUp, this);
  Bind(wxEVT_CHAR, &CGridCellArea::OnChar, this);
  Bind(wxEVT_SET_FOCUS, &CGridCellArea::OnFocus, this);
  Bind(wxEVT_KILL_FOCUS, &CGridCellArea::OnKillFocus, this);
  Bind(wxEVT_TIMER, &CGridCellArea::OnDragTimer, this, kDragTimer);
  Bind(wxEVT_TIMER, [this](wxTimerEvent&) { m_grid->KeyDelayElapsed(); }, kKeyTimer);
  Bind(wxEVT_TIMER, &CGridCellArea::OnTipTimer, this, kTipTimer);
  Bind(wxEVT_LEAVE_WINDOW, [this](wxMouseEvent& e) {
    CancelToolTip();
    e.Skip();
  });
}

bool CGridCellArea::IsToolTipShown() const { return m_tip && m_tip->IsShown(); }

wxString CGridCellArea::ToolTipText() const { return IsToolTipShown() ? m_tip->GetText() : wxString(); }

void CGridCellArea::CancelToolTip() {
  m_tipTimer.Stop();
  if (IsToolTipShown()) m_tip->Hide();
}

// A tip shows only once the pointer rested on one cell for two hit tests.
void CGridCellArea::ToolHitTest(int x, int y) {
  int column = -1, row = -1;
  GridRect rect;
  if (m_grid->HitTestCell(x, y, column, row, rect) != 0) column = row = -1;
  if (column < 0 || row < 0 || column != s_tipColumn || row != s_tipRow) {
    s_tipColumn = column;
    s_tipRow = row;
    CancelToolTip();
    return;
  }
  if (IsToolTipShown() || m_tipTimer.IsRunning()) return;
  m_tipPopping = false;
  m_tipTimer.StartOnce(kTipDelay);
}

void CGridCellArea::OnTipTimer(wxTimerEvent&) {
  if (m_tipPopping) {
    CancelToolTip();
    return;
  }
  const wxPoint p = ScreenToClient(wxGetMousePosition());
  int column = -1, row = -1;
  GridRect rect;
  wxString text;
  if (m_grid->HitTestCell(p.x, p.y, column, row, rect) != 0 || column != s_tipColumn || row != s_tipRow ||
      m_grid->GetHintText(column, row, kSectionCells, text) != 1 || text.empty())
    return;
  if (!m_tip) m_tip = new CGridHint(m_grid);
  m_tip->SetAlignment(1);
  m_tip->SetText(text);
  const wxPoint at = m_grid->ScreenToClient(ClientToScreen(p));
  m_tip->MoveHint(0, at.x, at.y + 20);
  m_tipPopping = true;
  m_tipTimer.StartOnce(m_tipAutoPop);
}

void CGridCellArea::SetIndicator(const wxRect& rect) {
  if (rect == m_indicator) return;
  wxRect old = m_indicator;
  m_indicator = rect;
  if (!old.IsEmpty()) RefreshRect(old.Inflate(1, 1), false);
  if (!rect.IsEmpty()) RefreshRect(wxRect(rect).Inflate(1, 1), false);
}

int CGridCellArea::Flags(const wxMouseEvent& e) const {
  int f = 0;
  if (e.LeftIsDown()) f |= kMkLeftButton;
  if (e.RightIsDown()) f |= kMkRightButton;
  if (e.ShiftDown()) f |= kMkShift;
  if (e.ControlDown()) f |= kMkControl;
  return f;
}

void CGridCellArea::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  // Nothing is drawn while painting is off; the paint DC has validated the region.
  if (!m_grid->Sheet().paintEnabled) return;
  const wxRect box = GetUpdateRegion().GetBox();
  const wxRect clip = box.IsEmpty() ? wxRect(GetClientSize()) : box;
  if (m_grid->GetDoubleBuffer() == 1 && m_buffer.IsOk()) {
    wxMemoryDC buffer(m_buffer);
    m_grid->PaintCells(dc, clip, HasFocus(), &buffer);
    return;
  }
  m_grid->PaintCells(dc, clip, HasFocus());
}

bool CGridCellArea::MakeBuffer() {
  const wxSize size = GetClientSize();
  m_buffer = wxBitmap(std::max(size.x, 1), std::max(size.y, 1));
  return m_buffer.IsOk();
}

void CGridCellArea::OnSize(wxSizeEvent& e) {
  if (m_grid->GetDoubleBuffer() == 1 && m_grid->SetDoubleBuffer(1) != 0) Refresh(false);
  e.Skip();
}

void CGridCellArea::OnLeftDown(wxMouseEvent& e) {
  CancelToolTip();
  // A click ends an open edit first; the editor's focus loss may come later on GTK.
  if (m_grid->IsEditing()) {
    m_grid->EndEditFromOutside();
    if (m_grid->IsEditing()) return;
  }
  if (FindFocus() != this) SetFocus();
  if (!HasCapture()) CaptureMouse();
  m_dragging = true;
  m_pointer = e.GetPosition();
  m_grid->CellAreaLeftDown(GridPoint{e.GetX(), e.GetY()}, Flags(e) | kMkLeftButton);
  // A cell type may have opened a popup from the press.
  if (m_grid->DropList()->IsShown() || m_grid->Calendar()->IsShown()) EndDrag();
}

void CGridCellArea::OnLeftUp(wxMouseEvent& e) {
  EndDrag();
  m_grid->CellAreaLeftUp(GridPoint{e.GetX(), e.GetY()}, Flags(e));
}

void CGridCellArea::EndDrag() {
  m_dragging = false;
  m_dragTimer.Stop();
  if (HasCapture()) ReleaseMouse();
}

void CGridCellArea::OnDoubleClick(wxMouseEvent& e) {
  if (m_grid->IsEditing()) return;
  m_grid->CellAreaDoubleClick(GridPoint{e.GetX(), e.GetY()}, Flags(e));
}

void CGridCellArea::OnRightDown(wxMouseEvent& e) {
  CancelToolTip();
  if (m_grid->IsEditing()) return;
  if (FindFocus() != this) SetFocus();
  m_grid->CellAreaRightDown(GridPoint{e.GetX(), e.GetY()}, Flags(e) | kMkRightButton);
}

void CGridCellArea::OnRightUp(wxMouseEvent& e) { m_grid->CellAreaRightUp(GridPoint{e.GetX(), e.GetY()}, Flags(e)); }

void CGridCellArea::OnMotion(wxMouseEvent& e) {
  if (m_grid->IsEditing()) return;
  m_pointer = e.GetPosition();
  const CGridSheetInfo& s = m_grid->Sheet();
  m_grid->CellAreaMouseMove(GridPoint{e.GetX(), e.GetY()}, Flags(e));
  if (m_dragging && e.LeftIsDown()) {
    const bool outside = e.GetX() < 0 || e.GetY() < 0 || e.GetX() >= s.cellAreaWidth || e.GetY() >= s.cellAreaHeight;
    if (outside && !m_dragTimer.IsRunning()) m_dragTimer.Start(s.ballisticDelay > 0 ? s.ballisticDelay : 50);
    if (!outside) m_dragTimer.Stop();
  }
  if (s.toolTips) ToolHitTest(e.GetX(), e.GetY());
}

// One scroll step per tick while the pointer is beyond an edge with the button held.
void CGridCellArea::OnDragTimer(wxTimerEvent&) {
  if (!m_dragging || !wxGetMouseState().LeftIsDown()) {
    m_dragTimer.Stop();
    return;
  }
  CGridSheetInfo& s = m_grid->Sheet();
  const wxPoint p = ScreenToClient(wxGetMousePosition());
  const int e = s.ballisticExponent;
  const int colWidth = std::max(s.defaultColumnWidth, 1), rowHeight = std::max(s.defaultRowHeight, 1);
  s.moveSource = kMoveDrag;
  s.mouseKeyFlags = kMkLeftButton;
  if (p.x < 0 || p.x >= s.cellAreaWidth) {
    const bool left = p.x < 0;
    if (e == 0) {
      m_grid->StepColumn(left ? 0 : 1);
    } else {
      const double k = left ? 1 - p.x / colWidth : static_cast<double>(p.x - s.cellAreaWidth) / colWidth + 1.0;
      const int n = static_cast<int>(std::pow(k, e));
      m_grid->MoveToColumn(s.targetColumn + (left ? -n : n));
    }
  }
  s.moveSource = kMoveDrag;
  if (p.y < 0 || p.y >= s.cellAreaHeight) {
    const bool up = p.y < 0;
    if (e == 0) {
      m_grid->StepRow(up ? 0 : 1);
    } else {
      const int k = up ? 1 - p.y / rowHeight : (p.y - s.cellAreaHeight) / rowHeight + 1;
      const int n = static_cast<int>(std::pow(k, e));
      m_grid->MoveToRow(s.targetRow + (up ? -n : n));
    }
  }
  s.moveSource = kMoveKeyboard;
}

void CGridCellArea::OnWheel(wxMouseEvent& e) {
  if (m_grid->IsEditing()) return;
  // Smooth scrolling sends small rotations: act once a whole notch has gathered.
  m_wheel += e.GetWheelRotation();
  const int delta = std::max(e.GetWheelDelta(), 1);
  const int notches = m_wheel / delta;
  if (notches == 0) return;
  m_wheel -= notches * delta;
  CGridSheetInfo& s = m_grid->Sheet();
  s.moveSource = kMoveWheel;
  m_grid->ScrollTopRowTo(s.topRow - 3 * notches);
  s.moveSource = kMoveKeyboard;
  if (m_grid->SideHeading()) m_grid->SideHeading()->Refresh(false);
}

void CGridCellArea::OnCaptureLost(wxMouseCaptureLostEvent&) {
  m_dragging = false;
  m_dragTimer.Stop();
}

// Inside a dialog, Escape, Enter and Tab would close it or move on: they belong to the grid.
void CGridCellArea::OnCharHook(wxKeyEvent& e) {
  const int key = e.GetKeyCode();
  if (e.GetEventObject() == this && (key == WXK_ESCAPE || key == WXK_RETURN || key == WXK_NUMPAD_ENTER)) {
    OnKeyDown(e);
    e.Skip(false);
    return;
  }
  e.Skip();
}

namespace {
int Modifiers(const wxKeyEvent& e) {
  return (e.ShiftDown() ? kMkShift : 0) | (e.ControlDown() ? kMkControl : 0);
}
}  // namespace

void CGridCellArea::OnKeyDown(wxKeyEvent& e) {
  const int key = e.GetKeyCode() == WXK_NUMPAD_ENTER ? WXK_RETURN : e.GetKeyCode();
  m_grid->CellAreaKeyDown(key, Modifiers(e));
  if (key == WXK_F1) {
    // F1 held: help for the current cell, through the grid's help event.
    wxHelpEvent help(wxEVT_HELP, GetId(), wxGetMousePosition(), wxHelpEvent::Origin_Keyboard);
    help.SetEventObject(this);
    ProcessWindowEvent(help);
    return;
  }
  // The cells have no use for Tab: it goes on to the dialog's next control, so the
  // keyboard leaves the grid as it came.
  if (key == WXK_TAB && !e.ControlDown()) {
    m_grid->Navigate(e.ShiftDown() ? wxNavigationKeyEvent::IsBackward : wxNavigationKeyEvent::IsForward);
    return;
  }
  switch (key) {
    case WXK_LEFT: case WXK_RIGHT: case WXK_UP: case WXK_DOWN: case WXK_PAGEUP: case WXK_PAGEDOWN:
    case WXK_HOME: case WXK_END: case WXK_DELETE: case WXK_F5: case WXK_TAB:
      return;  // handled: no character follows
    default:
      // A popup opened by the key (drop list, calendar) takes it; nothing more follows.
      if (m_grid->DropList()->IsShown() || m_grid->IsEditing()) return;
      e.Skip();
  }
}

void CGridCellArea::OnKeyUp(wxKeyEvent& e) { m_grid->CellAreaKeyUp(e.GetKeyCode(), Modifiers(e)); }

void CGridCellArea::OnChar(wxKeyEvent& e) {
  const int ch = static_cast<int>(e.GetUnicodeKey());
  if (ch == WXK_NONE) return;
  m_grid->CellAreaChar(ch, Modifiers(e));
}

void CGridCellArea::OnFocus(wxFocusEvent& e) {
  m_grid->CellAreaFocused();
  const CGridSheetInfo& s = m_grid->Sheet();
  m_grid->RedrawCell(s.currentColumn, s.currentRow);
  Refresh(false);
  e.Skip();
}

void CGridCellArea::OnKillFocus(wxFocusEvent& e) {
  m_grid->FlushHeldKey();
  m_grid->OnKillFocus(kSectionCells);
  Refresh(false);
  e.Skip();
}
