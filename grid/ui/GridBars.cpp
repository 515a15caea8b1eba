#include "grid/ui/GridBars.h"

#include <algorithm>
#include <wx/dcclient.h>
#include <wx/renderer.h>
#include <wx/settings.h>

#include "grid/ui/GridCellArea.h"
#include "grid/ui/GridCtrl.h"

// ---------------------------------------------------------------- scroll bars

CGridScrollBar::CGridScrollBar(CGridCtrl* grid, bool vertical)
    : wxScrollBar(grid, wxID_ANY, wxDefaultPosition, wxDefaultSize, vertical ? wxSB_VERTICAL : wxSB_HORIZONTAL),
      m_grid(grid),
      m_vertical(vertical) {
  Bind(wxEVT_SCROLL_LINEUP, &CGridScrollBar::OnScroll, this);
  Bind(wxEVT_SCROLL_LINEDOWN, &CGridScrollBar::OnScroll, this);
  Bind(wxEVT_SCROLL_PAGEUP, &CGridScrollBar::OnScroll, this);
  Bind(wxEVT_SCROLL_PAGEDOWN, &CGridScrollBar::OnScroll, this);
  Bind(wxEVT_SCROLL_TOP, &CGridScrollBar::OnScroll, this);
  Bind(wxEVT_SCROLL_BOTTOM, &CGridScrollBar::OnScroll, this);
  Bind(wxEVT_SCROLL_THUMBTRACK, &CGridScrollBar::OnScroll, this);
  Bind(wxEVT_SCROLL_THUMBRELEASE, &CGridScrollBar::OnScroll, this);
  Bind(wxEVT_SCROLL_CHANGED, &CGridScrollBar::OnScroll, this);
  Bind(wxEVT_RIGHT_DOWN, &CGridScrollBar::OnRightDown, this);
}

bool CGridScrollBar::AcceptsFocus() const { return false; }

void CGridScrollBar::UpdateBar() {
  const CGridSheetInfo& s = m_grid->Sheet();
  if (!s.paintEnabled) return;
  if (!m_vertical) {
    const int page = std::max((s.cellAreaWidth - s.lockedWidth) / std::max(s.defaultColumnWidth, 1), 1);
    const int range = std::max(s.largestLeftColumn - s.lockedColumns + page, 1);
    if (!m_known || m_largest != s.largestLeftColumn || m_locked != s.lockedColumns || m_page != page ||
        GetThumbPosition() != s.leftColumn - s.lockedColumns) {
      SetScrollbar(std::max(s.leftColumn - s.lockedColumns, 0), page, range, page);
      m_known = true;
      m_largest = s.largestLeftColumn;
      m_locked = s.lockedColumns;
      m_page = page;
      if (m_lastFirst != s.leftColumn) m_grid->OnScrollBarUpdated(kSectionHScroll, m_lastFirst, s.leftColumn);
      m_lastFirst = s.leftColumn;
    }
    return;
  }
  int minimum = 0, maximum = 0, page = 1;
  m_grid->VerticalScrollRange(minimum, maximum, page);
  page = std::max(page, 1);
  int position;
  if (s.vScrollMode == 2) {
    position = 1;
  } else if (s.largestTopRow > 1000) {
    position = static_cast<int>(static_cast<double>(s.topRow) * 1000.0 / s.largestTopRow);
  } else {
    position = s.topRow;
  }
  if (!m_known || m_largest != s.largestTopRow || m_mode != s.vScrollMode || m_locked != s.lockedRows ||
      m_page != page || GetThumbPosition() != position - minimum) {
    SetScrollbar(std::max(position - minimum, 0), page, std::max(maximum - minimum + 1, 1), page);
    m_known = true;
    m_largest = s.largestTopRow;
    m_mode = s.vScrollMode;
    m_locked = s.lockedRows;
    m_page = page;
    if (m_lastFirst != s.topRow) m_grid->OnScrollBarUpdated(kSectionVScroll, m_lastFirst, s.topRow);
    m_lastFirst = s.topRow;
  }
}

void CGridScrollBar::OnScroll(wxScrollEvent& e) {
  CGridSheetInfo& s = m_grid->Sheet();
  m_grid->SetFocusToCellArea();
  s.moveSource = kMoveWheel;
  const wxEventType type = e.GetEventType();
  const int position = e.GetPosition();
  CGridHint* hint = m_grid->Hint();
  if (!m_vertical) {
    if (s.columns > 0) {
      int column = s.leftColumn;
      if (type == wxEVT_SCROLL_LINEUP) column = s.leftColumn - 1;
      else if (type == wxEVT_SCROLL_LINEDOWN) column = s.leftColumn + 1;
      else if (type == wxEVT_SCROLL_PAGEUP || type == wxEVT_SCROLL_PAGEDOWN) {
        const bool right = type == wxEVT_SCROLL_PAGEDOWN;
        int r = s.cellAreaWidth - s.lockedWidth;
        column = s.leftColumn;
        // Never past the locked columns going left, never past the count going right.
        while (r >= 0 && (right ? column < s.columns : column > s.lockedColumns)) {
          r -= std::max(s.ColumnWidth(column), 1);
          column += right ? 1 : -1;
        }
      } else if (type == wxEVT_SCROLL_TOP) column = 0;
      else if (type == wxEVT_SCROLL_BOTTOM) column = s.columns - 1;
      else if (type == wxEVT_SCROLL_THUMBTRACK) {
        if (s.hScrollHints) {
          wxString text;
          if (m_grid->GetColumnScrollHint(s.lockedColumns + position, text) == 1 && hint) {
            hint->SetAlignment(20);
            hint->SetText(text);
            const wxPoint p = m_grid->ScreenToClient(wxGetMousePosition());
            hint->MoveHint(20, p.x, GetPosition().y - 1);
          }
        }
        column = s.hTrackMode == 1 ? s.lockedColumns + position : s.leftColumn;
      } else {
        if (hint) hint->Hide();
        column = s.lockedColumns + position;
      }
      m_grid->ScrollLeftColumnTo(column);
    }
  } else if (s.rows > 0) {
    int top = s.topRow;
    const double inverse = s.largestTopRow > 1000 ? s.largestTopRow / 1000.0 : 1.0;
    int minimum = 0, maximum = 0, page = 1;
    m_grid->VerticalScrollRange(minimum, maximum, page);
    const int thumb = position + minimum;  // wx positions start at 0
    if (type == wxEVT_SCROLL_LINEUP) {
      m_grid->StepTopRow(0);
      top = s.topRow;
    } else if (type == wxEVT_SCROLL_LINEDOWN) {
      const int next = s.NextShownRow(s.topRow + 1);
      top = next < s.rows ? next : s.topRow;
    } else if (type == wxEVT_SCROLL_PAGEUP) {
      m_grid->StepTopRow(2);
      top = s.topRow;
    } else if (type == wxEVT_SCROLL_PAGEDOWN) {
      // The first row that ends below the area becomes the top row.
      const long long avail = s.cellAreaHeight - s.lockedHeight;
      top = s.topRow;
      if (avail >= 0) {
        top = std::clamp(s.RowAtPosition(s.RowPosition(s.topRow) + avail), s.topRow, std::max(s.rows - 1, s.topRow));
      }
    } else if (type == wxEVT_SCROLL_TOP) {
      top = 0;
    } else if (type == wxEVT_SCROLL_BOTTOM) {
      top = s.rows - 1;
    } else if (s.vScrollMode == 2) {
      top = s.topRow;  // the thumb stays in the middle
    } else if (type == wxEVT_SCROLL_THUMBTRACK) {
      const int tracked = s.largestTopRow > 1000 ? static_cast<int>(thumb * inverse) : thumb;
      if (s.vScrollHints && hint) {
        wxString text;
        if (m_grid->GetRowScrollHint(tracked, text) == 1) {
          hint->SetAlignment(34);
          hint->SetText(text);
          const wxPoint p = m_grid->ScreenToClient(wxGetMousePosition());
          hint->MoveHint(40, GetPosition().x - 1, p.y);
        }
      }
      top = s.vScrollMode == 1 ? tracked : s.topRow;
    } else {
      if (hint) hint->Hide();
      top = s.largestTopRow > 1000 ? static_cast<int>(thumb * inverse) : thumb;
    }
    m_grid->ScrollTopRowTo(top);
    if (s.vScrollMode == 2) {
      m_known = false;
      UpdateBar();
    }
  }
  s.moveSource = kMoveKeyboard;
  // The bar shows where the view really is.
  m_known = false;
  if (type != wxEVT_SCROLL_THUMBTRACK) UpdateBar();
}

void CGridScrollBar::OnRightDown(wxMouseEvent& e) {
  if (m_grid->Sheet().popupMenu) m_grid->StartPopupMenu(0, 0, GridPoint{e.GetX(), e.GetY()}, m_vertical ? kSectionVScroll : kSectionHScroll);
  e.Skip();
}

// ---------------------------------------------------------------- sheet tabs

CGridTab::CGridTab(CGridCtrl* grid) : wxWindow(grid, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE), m_grid(grid) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &CGridTab::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &CGridTab::OnLeftDown, this);
  Bind(wxEVT_LEFT_UP, &CGridTab::OnLeftUp, this);
  Bind(wxEVT_MOTION, &CGridTab::OnMotion, this);
  Bind(wxEVT_RIGHT_DOWN, &CGridTab::OnRightDown, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &CGridTab::OnCaptureLost, this);
}

int CGridTab::ArrowAreaWidth() const { return 2 * std::max(wxSystemSettings::GetMetric(wxSYS_HSCROLL_ARROW_X, this), 12); }

void CGridTab::SetAreaWidth(int width) {
  m_grid->Sheet().tabAreaWidth = std::max(width, 40);
  m_grid->LayoutComponents();
}

int CGridTab::LargestOffset() const {
  int sum = ArrowAreaWidth();
  for (const CGridTabInfo& t : m_grid->TabList()) sum += t.width;
  const int over = sum - GetClientSize().x;
  return over < 1 ? 0 : over + 20;
}

int CGridTab::TabAt(int x) const {
  int left = ArrowAreaWidth() - m_offset;
  const auto& tabs = m_grid->TabList();
  for (size_t i = 0; i < tabs.size(); ++i) {
    const int right = left + tabs[i].width;
    if (x >= left && x <= right + 2) return static_cast<int>(i);
    left = right;
  }
  return -1;
}

void CGridTab::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  if (!m_grid->Sheet().paintEnabled) return;
  const wxSize size = GetClientSize();
  dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
  dc.Clear();
  const int arrows = ArrowAreaWidth();
  const auto& tabs = m_grid->TabList();
  const int current = m_grid->CurrentTab();
  {
    wxDCClipper clip(dc, wxRect(arrows, 0, std::max(size.x - arrows - 6, 0), size.y));
    const auto drawTab = [&](size_t i, int x) {
      const CGridTabInfo& t = tabs[i];
      const bool cur = static_cast<int>(i) == current;
      const int right = x + t.width, bottom = size.y - 1;
      dc.SetPen(*wxBLACK_PEN);
      dc.SetBrush(wxBrush(CGridCtrl::Colour(cur ? t.currentBack : t.back)));
      const wxPoint pts[] = {{x, 0}, {x + 7, bottom}, {right + 2, bottom}, {right + 9, 0}};
      dc.DrawPolygon(4, pts);
      if (cur) {
        dc.SetPen(wxPen(CGridCtrl::Colour(t.currentBack)));
        dc.DrawLine(x + 1, 0, right + 9, 0);
      }
      dc.SetTextForeground(CGridCtrl::Colour(cur ? t.currentText : t.text));
      dc.DrawText(t.label, x + 10, 1);
    };
    int x = arrows - m_offset, curX = -1;
    for (size_t i = 0; i < tabs.size(); ++i) {
      if (static_cast<int>(i) == current) curX = x;
      else drawTab(i, x);
      x += tabs[i].width;
    }
    if (curX >= -10000 && current >= 0 && current < static_cast<int>(tabs.size()) && curX != -1) drawTab(static_cast<size_t>(current), curX);
  }
  // The arrows at the left and the grip at the right edge.
  const int half = arrows / 2;
  wxRendererNative::Get().DrawPushButton(this, dc, wxRect(0, 1, half, size.y - 1), 0);
  wxRendererNative::Get().DrawPushButton(this, dc, wxRect(half, 1, half, size.y - 1), 0);
  dc.SetPen(*wxBLACK_PEN);
  for (int k = 0; k < 4; ++k) {
    dc.DrawLine(half / 2 - 1 + k, size.y / 2 - k, half / 2 - 1 + k, size.y / 2 + k + 1);
    dc.DrawLine(half + half / 2 + 2 - k, size.y / 2 - k, half + half / 2 + 2 - k, size.y / 2 + k + 1);
  }
  const wxColour grip[] = {*wxBLACK, wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW),
                           wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE), wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE),
                           *wxWHITE, wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)};
  for (int i = 0; i < 6; ++i) {
    dc.SetPen(wxPen(grip[i]));
    dc.DrawLine(size.x - 1 - i, 0, size.x - 1 - i, size.y);
  }
  dc.SetPen(*wxBLACK_PEN);
  dc.DrawLine(0, 0, size.x, 0);
}

void CGridTab::OnMotion(wxMouseEvent& e) {
  if (m_sizing) {
    SetAreaWidth(e.GetX());
    return;
  }
  m_armed = e.GetX() > GetClientSize().x - 7;
  SetCursor(m_armed ? wxCursor(wxCURSOR_SIZEWE) : wxNullCursor);
}

void CGridTab::OnLeftDown(wxMouseEvent& e) {
  if (m_armed) {
    m_sizing = true;
    CaptureMouse();
    return;
  }
  const int arrows = ArrowAreaWidth();
  if (e.GetX() < arrows) {
    // The two arrows move the strip by five pixels.
    if (e.GetX() < arrows / 2) {
      if (m_offset >= 1) m_offset = std::max(m_offset - 5, 0);
    } else if (m_offset < LargestOffset() - 5) {
      m_offset += 5;
    }
    Refresh(false);
    return;
  }
  const int tab = TabAt(e.GetX());
  if (tab < 0) return;
  int left = arrows - m_offset;
  for (int i = 0; i < tab; ++i) left += m_grid->TabList()[static_cast<size_t>(i)].width;
  const int right = left + m_grid->TabList()[static_cast<size_t>(tab)].width;
  if (left - 5 < arrows) m_offset = std::max(m_offset - (arrows - (left - 5)), 0);
  else if (right + 19 > GetClientSize().x) m_offset = std::min(m_offset + right + 19 - GetClientSize().x, LargestOffset());
  m_grid->CurrentTab() = tab;
  Refresh(false);
  m_grid->OnTabSelected(m_grid->TabList()[static_cast<size_t>(tab)].id);
}

void CGridTab::OnLeftUp(wxMouseEvent&) {
  if (HasCapture()) ReleaseMouse();
  m_sizing = false;
}

void CGridTab::OnRightDown(wxMouseEvent& e) {
  if (!m_grid->Sheet().popupMenu) return;
  const int tab = TabAt(e.GetX());
  m_grid->StartPopupMenu(tab, 0, GridPoint{e.GetX(), e.GetY()}, kSectionTabs);
}

void CGridTab::OnCaptureLost(wxMouseCaptureLostEvent&) { m_sizing = false; }

// ---------------------------------------------------------------- hint

CGridHint::CGridHint(CGridCtrl* grid) : wxPopupWindow(grid, wxBORDER_SIMPLE), m_grid(grid) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &CGridHint::OnPaint, this);
}

void CGridHint::MoveHint(int minimumWidth, int x, int y) {
  wxClientDC dc(this);
  dc.SetFont(m_grid->wxWindow::GetFont());
  const wxSize text = dc.GetTextExtent(m_text.empty() ? wxString(wxS("X")) : m_text);
  const int height = dc.GetTextExtent(wxS("X")).y + 2;
  const int width = std::max(minimumWidth, text.x + 4);
  int left = (m_alignment & 4) ? x - width / 2 : (m_alignment & 2) ? x - width : x;
  int top = (m_alignment & 32) ? y - height / 2 : (m_alignment & 16) ? y - height : y;
  const wxSize client = m_grid->GetClientSize();
  if (left < 0) left = 0;
  if (top < 0) top = 0;
  if (left + width > client.x) left = std::max(client.x - width, 0);
  if (top + height > client.y) top = std::max(client.y - height, 0);
  SetSize(wxRect(m_grid->ClientToScreen(wxPoint(left, top)), wxSize(width, height)));
  if (!IsShown()) Show();
  Refresh();
}

void CGridHint::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  dc.SetBackground(wxBrush(wxColour(255, 255, 224)));
  dc.Clear();
  dc.SetFont(m_grid->wxWindow::GetFont());
  dc.SetTextForeground(*wxBLACK);
  dc.DrawLabel(m_text, wxRect(GetClientSize()), wxALIGN_CENTER);
}

// ---------------------------------------------------------------- drop target

wxDragResult CGridDropTarget::OnEnter(wxCoord, wxCoord, wxDragResult) {
  const int r = m_grid->OnDataDragEnter(wxString());
  return r == 2 ? wxDragMove : r == 1 ? wxDragCopy : wxDragNone;
}

wxDragResult CGridDropTarget::OnDragOver(wxCoord x, wxCoord y, wxDragResult) {
  CGridSheetInfo& s = m_grid->Sheet();
  // Near an edge the view follows the pointer.
  if (x < 10) m_grid->ScrollLeftColumnTo(s.leftColumn - 1);
  else if (x > s.cellAreaWidth - 10) m_grid->ScrollLeftColumnTo(s.leftColumn + 1);
  else if (y < 10) m_grid->ScrollTopRowTo(s.topRow - 1);
  else if (y > s.cellAreaHeight - 10) m_grid->ScrollTopRowTo(s.topRow + 1);
  int column = -1, row = -1;
  GridRect rect;
  if (m_grid->HitTestCell(x, y, column, row, rect) != 0) column = row = -1;
  const int r = m_grid->OnDataDragOver(wxString(), column, row);
  return r == 2 ? wxDragMove : r == 1 ? wxDragCopy : wxDragNone;
}

bool CGridDropTarget::OnDropText(wxCoord x, wxCoord y, const wxString& text) {
  int column = -1, row = -1;
  GridRect rect;
  if (m_grid->HitTestCell(x, y, column, row, rect) != 0) column = row = -1;
  if (m_grid->OnDataDrop(text, column, row) == 0) return false;
  if (column >= 0) m_grid->MoveToCell(column, row);
  m_grid->PasteCellText(text);
  return true;
}
