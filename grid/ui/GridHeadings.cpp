#include "grid/ui/GridHeadings.h"

#include <algorithm>
#include <cstdlib>
#include <wx/dcclient.h>

#include "grid/ui/GridCellArea.h"
#include "grid/ui/GridCtrl.h"

namespace {

// The visible data columns (rows) in painting order with their leading edge.
template <class Fn>
void WalkVisible(const CGridSheetInfo& s, bool columns, int limit, Fn fn) {
  const int count = columns ? s.columns : s.rows;
  const int locked = columns ? s.lockedColumns : s.lockedRows;
  const int first = columns ? s.leftColumn : s.topRow;
  int pos = 0;
  for (int i = 0; i < count && pos <= limit;) {
    if (i == locked && i < first) i = first;
    if (i >= count) break;
    const int size = columns ? s.ColumnWidth(i) : s.RowHeight(i);
    if (fn(i, pos, size)) return;
    pos += size;
    ++i;
  }
}

}  // namespace

CGridHeading::CGridHeading(CGridCtrl* grid, int section)
    : wxWindow(grid, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE),
      m_grid(grid),
      m_section(section),
      m_scrollTimer(this) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &CGridHeading::OnPaint, this);
  Bind(wxEVT_MOTION, &CGridHeading::OnMotion, this);
  Bind(wxEVT_LEFT_DOWN, &CGridHeading::OnLeftDown, this);
  Bind(wxEVT_LEFT_UP, &CGridHeading::OnLeftUp, this);
  Bind(wxEVT_LEFT_DCLICK, &CGridHeading::OnDoubleClick, this);
  Bind(wxEVT_RIGHT_DOWN, &CGridHeading::OnRightDown, this);
  Bind(wxEVT_RIGHT_UP, &CGridHeading::OnRightUp, this);
  Bind(wxEVT_LEAVE_WINDOW, &CGridHeading::OnLeave, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &CGridHeading::OnCaptureLost, this);
  Bind(wxEVT_TIMER, &CGridHeading::OnScrollTimer, this);
}

void CGridHeading::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  m_grid->PaintHeading(dc, m_section, GetClientSize());
}

bool CGridHeading::HitTest(wxPoint p, int& column, int& row, GridRect& rect) const {
  const CGridSheetInfo& s = m_grid->Sheet();
  // The heading line under the pointer: -n outermost ... -1 next to the cells.
  const std::vector<int>& sizes = Top() ? s.topHeadingRowHeights : s.sideHeadingColumnWidths;
  const int across = Top() ? p.y : p.x;
  int sum = 0;
  for (int v : sizes) sum += v;
  // The outermost line takes the room the others leave in the band.
  const int slack = std::max((Top() ? GetClientSize().y : GetClientSize().x) - sum, 0);
  int pos = 0, line = 0;
  for (int i = static_cast<int>(sizes.size()) - 1; i >= 0; --i) {
    const int size = sizes[static_cast<size_t>(i)] + (i == static_cast<int>(sizes.size()) - 1 ? slack : 0);
    if (across >= pos && across < pos + size) {
      line = -1 - i;
      break;
    }
    pos += size;
  }
  if (line == 0) return false;
  int found = -1;
  const int along = Top() ? p.x : p.y;
  WalkVisible(s, Top(), along, [&](int i, int start, int size) {
    if (along >= start && along < start + size) {
      found = i;
      return true;
    }
    return false;
  });
  if (found < 0) return false;
  column = Top() ? found : line;
  row = Top() ? line : found;
  return m_grid->CellRectangle(column, row, rect) == 0;
}

bool CGridHeading::DetectEdge(wxPoint p) {
  CGridSheetInfo& s = m_grid->Sheet();
  m_armed = false;
  if (s.headingSizing <= 0) return false;
  const int along = Top() ? p.x : p.y;
  const int across = Top() ? p.y : p.x;
  const int bandAlong = Top() ? GetClientSize().x : GetClientSize().y;
  int found = -1;
  WalkVisible(s, Top(), bandAlong, [&](int i, int start, int size) {
    if (std::abs(along - (start + size)) < 3) {
      found = i;
      return true;
    }
    return false;
  });
  if (found >= 0) {
    const int count = Top() ? s.columns : s.rows;
    // A hidden line right of (below) the edge can be pulled open again.
    if (found + 1 < count && (Top() ? s.ColumnWidth(found + 1) : s.RowHeight(found + 1)) == 0) ++found;
    const int ok = Top() ? m_grid->OnQueryColumnSize(found) : m_grid->OnQueryRowSize(found);
    if (ok) {
      m_armed = true;
      m_kind = Top() ? 0 : 1;
      m_index = found;
      m_startSize = Top() ? s.ColumnWidth(found) : s.RowHeight(found);
      m_startPos = along;
    }
  } else {
    // Edges between heading lines, from the cells outwards.
    std::vector<int>& sizes = Top() ? s.topHeadingRowHeights : s.sideHeadingColumnWidths;
    int edge = Top() ? s.topHeadingHeight : s.sideHeadingWidth;
    for (size_t i = 0; i < sizes.size(); ++i) {
      if (std::abs(across - edge) < 3) {
        const int ok = Top() ? m_grid->OnQueryTopHeadingSize() : m_grid->OnQuerySideHeadingSize();
        if (ok) {
          m_armed = true;
          m_kind = Top() ? 1 : 0;
          m_index = -1 - static_cast<int>(i);
          m_startSize = sizes[i];
          m_startPos = across;
          m_startBand = Top() ? s.topHeadingHeight : s.sideHeadingWidth;
        }
        break;
      }
      edge -= sizes[i];
    }
  }
  const bool columnCursor = Top() ? m_kind == 0 : m_kind == 0;
  SetCursor(m_armed ? wxCursor(columnCursor ? wxCURSOR_SIZEWE : wxCURSOR_SIZENS) : wxNullCursor);
  return m_armed;
}

void CGridHeading::OnMotion(wxMouseEvent& e) {
  const wxPoint p = e.GetPosition();
  if (m_sizing) {
    Size(p);
    return;
  }
  if (m_grabbed >= 0 && e.LeftIsDown()) {
    const int width = GetClientSize().x;
    if (p.x < 0 || p.x >= width) {
      m_scrollDirection = p.x < 0 ? -1 : 1;
      if (!m_scrollTimer.IsRunning()) m_scrollTimer.Start(60);
      m_grid->CellArea()->SetIndicator(wxRect());
      return;
    }
    m_scrollTimer.Stop();
    MoveIndicator(p.x);
    return;
  }
  if (!e.LeftIsDown() && !e.RightIsDown()) DetectEdge(p);
}

void CGridHeading::MoveIndicator(int x) {
  const CGridSheetInfo& s = m_grid->Sheet();
  int column = -1, row = -1;
  GridRect rect;
  if (!HitTest(wxPoint(x, GetClientSize().y - 1), column, row, rect)) {
    // Past the last column: the drop goes to the end.
    column = s.columns;
  }
  if (column == m_grabbed && m_drop < 0) return;
  int drop = column;
  if (column < s.columns && x > rect.left + rect.Width() / 2) ++drop;
  drop = std::min(drop, s.columns);
  const bool first = m_drop < 0;
  m_drop = drop;
  if (first) Refresh(false);
  int edge;
  GridRect r;
  if (drop < s.columns && m_grid->CellRectangle(drop, 0, r) == 0) {
    edge = r.left;
  } else if (m_grid->CellRectangle(s.columns - 1, 0, r) == 0) {
    edge = r.right;
  } else {
    edge = 0;
  }
  m_grid->CellArea()->SetIndicator(wxRect(edge, 0, 2, s.cellAreaHeight));
}

void CGridHeading::OnScrollTimer(wxTimerEvent&) {
  if (m_grabbed < 0 || !wxGetMouseState().LeftIsDown()) {
    m_scrollTimer.Stop();
    return;
  }
  CGridSheetInfo& s = m_grid->Sheet();
  s.moveSource = kMoveWheel;
  m_grid->ScrollLeftColumnTo(s.leftColumn + m_scrollDirection);
  s.moveSource = kMoveKeyboard;
}

void CGridHeading::Size(wxPoint p) {
  CGridSheetInfo& s = m_grid->Sheet();
  const int along = Top() ? p.x : p.y;
  const int across = Top() ? p.y : p.x;
  const bool dataLine = Top() ? m_kind == 0 : m_kind == 1;
  if (dataLine) {
    int size;
    if (!Top() && s.uniformRowHeight) {
      // Every row has the same height: share the distance among the rows above the edge.
      int rowsAbove = 0;
      WalkVisible(s, false, along, [&](int i, int start, int sz) {
        ++rowsAbove;
        return i == m_index;
      });
      size = rowsAbove > 0 ? std::max(along, 1) / rowsAbove : std::max(along, 1);
    } else {
      size = std::max(m_startSize - m_startPos + along, 0);
    }
    if (Top()) m_grid->ColumnSizingStep(m_index, size);
    else m_grid->RowSizingStep(m_index, size);
    // Mode 1 repaints only this heading at once and moves the line over the cells.
    if (s.headingSizing == 1) {
      m_grid->CellArea()->SetIndicator(Top() ? wxRect(along - 1, 0, 2, s.cellAreaHeight)
                                             : wxRect(0, along - 1, s.cellAreaWidth, 2));
    }
    Update();
    return;
  }
  // A heading line and its band.
  const int size = std::max(m_startSize - m_startPos + across, 0);
  int band = std::max(m_startBand - m_startPos + across, 0);
  std::vector<int>& sizes = Top() ? s.topHeadingRowHeights : s.sideHeadingColumnWidths;
  const int ok = Top() ? m_grid->OnTopHeadingHeightChanging(band) : m_grid->OnSideHeadingWidthChanging(band);
  if (ok != 1 || band > CGridCore::kMaxHeadingSize || size > CGridCore::kMaxHeadingSize) return;
  sizes[static_cast<size_t>(-1 - m_index)] = size;
  (Top() ? s.topHeadingHeight : s.sideHeadingWidth) = band;
  m_grid->LayoutComponents();
}

void CGridHeading::EndSizing(wxPoint p) {
  CGridSheetInfo& s = m_grid->Sheet();
  m_sizing = false;
  m_grid->CellArea()->SetIndicator(wxRect());
  const bool dataLine = Top() ? m_kind == 0 : m_kind == 1;
  if (dataLine) {
    if (Top()) m_grid->ColumnSizingEnd(m_index, s.ColumnWidth(m_index));
    else m_grid->RowSizingEnd(m_index, s.RowHeight(m_index));
  } else {
    int band = Top() ? s.topHeadingHeight : s.sideHeadingWidth;
    if (Top()) m_grid->OnTopHeadingHeightChanged(band);
    else m_grid->OnSideHeadingWidthChanged(band);
  }
  m_grid->LayoutComponents();
  m_grid->RedrawAll();
  DetectEdge(p);
}

void CGridHeading::OnLeftDown(wxMouseEvent& e) {
  m_grid->EndEditFromOutside();
  m_grid->SetFocusToCellArea();
  const wxPoint p = e.GetPosition();
  if (m_armed) {
    m_sizing = true;
    if (!HasCapture()) CaptureMouse();
    return;
  }
  int column = -1, row = -1, processed = 0;
  GridRect rect;
  const GridPoint gp{p.x, p.y};
  if (HitTest(p, column, row, rect)) {
    if (Top() && m_grid->Sheet().columnDragging && m_grid->OnQueryColumnGrab(column)) m_grabbed = column;
    processed = m_grid->CellTypeAt(column, row).OnLeftClick(column, row, 1, rect, gp);
  } else {
    column = row = -1;
  }
  if (Top()) m_grid->OnTopHeadingLeftClick(column, row, 1, rect, gp, processed);
  else m_grid->OnSideHeadingLeftClick(column, row, 1, rect, gp, processed);
  if (!HasCapture()) CaptureMouse();
}

void CGridHeading::OnLeftUp(wxMouseEvent& e) {
  const wxPoint p = e.GetPosition();
  if (HasCapture()) ReleaseMouse();
  m_scrollTimer.Stop();
  if (m_sizing) {
    EndSizing(p);
    return;
  }
  int column = -1, row = -1, processed = 0;
  GridRect rect;
  const GridPoint gp{p.x, p.y};
  if (HitTest(p, column, row, rect)) {
    processed = m_grid->CellTypeAt(column, row).OnLeftClick(column, row, 0, rect, gp);
  } else {
    column = row = -1;
  }
  if (Top()) m_grid->OnTopHeadingLeftClick(column, row, 0, rect, gp, processed);
  else m_grid->OnSideHeadingLeftClick(column, row, 0, rect, gp, processed);
  EndMove(p);
}

void CGridHeading::EndMove(wxPoint) {
  if (m_grabbed >= 0 && m_drop >= 0 && m_grid->Sheet().columnDragging) {
    const int target = m_grabbed < m_drop ? m_drop - 1 : m_drop;
    if (m_grid->OnQueryColumnMove(m_grabbed, target)) {
      if (m_grid->MoveColumn(m_grabbed, m_drop) == 0) m_grid->OnColumnMoved(m_grabbed, target);
    }
    m_grid->RedrawAll();
  } else {
    Refresh(false);
  }
  Reset();
}

void CGridHeading::Reset() {
  m_grabbed = m_drop = -1;
  m_sizing = false;
  m_scrollTimer.Stop();
  m_grid->CellArea()->SetIndicator(wxRect());
}

void CGridHeading::OnDoubleClick(wxMouseEvent& e) {
  const wxPoint p = e.GetPosition();
  CGridSheetInfo& s = m_grid->Sheet();
  if (m_armed && Top() && m_kind == 0) {
    if (s.bestFit) {
      m_grid->AutoSizeColumns(m_index, m_index, 20, 1);
      m_grid->LayoutComponents();
    }
    m_sizing = false;
    DetectEdge(p);
    return;
  }
  int column = -1, row = -1, processed = 0;
  GridRect rect;
  const GridPoint gp{p.x, p.y};
  if (HitTest(p, column, row, rect)) {
    processed = Top() ? m_grid->CellTypeAt(column, row).OnDoubleClick(column, row, rect, gp)
                      : m_grid->CellTypeAt(column, row).OnLeftClick(column, row, 0, rect, gp);
  } else {
    column = row = -1;
  }
  if (Top()) m_grid->OnTopHeadingDoubleClick(column, row, rect, gp, processed);
  else m_grid->OnSideHeadingDoubleClick(column, row, rect, gp, processed);
}

// Right button: the cell's type first (the side heading's types hear a left click), then the hook.
void CGridHeading::ReportRight(wxPoint p, int down) {
  int column = -1, row = -1, processed = 0;
  GridRect rect;
  const GridPoint gp{p.x, p.y};
  if (HitTest(p, column, row, rect)) {
    processed = Top() ? m_grid->CellTypeAt(column, row).OnRightClick(column, row, 0, rect, gp)
                      : m_grid->CellTypeAt(column, row).OnLeftClick(column, row, 0, rect, gp);
  } else {
    column = row = -1;
  }
  if (Top()) m_grid->OnTopHeadingRightClick(column, row, down, rect, gp, processed);
  else m_grid->OnSideHeadingRightClick(column, row, down, rect, gp, processed);
  if (down && m_grid->Sheet().popupMenu) m_grid->StartPopupMenu(column, row, gp, m_section);
}

void CGridHeading::OnRightDown(wxMouseEvent& e) {
  m_grid->SetFocusToCellArea();
  ReportRight(e.GetPosition(), 1);
}

void CGridHeading::OnRightUp(wxMouseEvent& e) { ReportRight(e.GetPosition(), 0); }

void CGridHeading::OnLeave(wxMouseEvent&) {
  if (!m_sizing && m_grabbed < 0) {
    m_armed = false;
    SetCursor(wxNullCursor);
  }
}

void CGridHeading::OnCaptureLost(wxMouseCaptureLostEvent&) {
  if (m_sizing) {
    m_sizing = false;
    m_grid->CellArea()->SetIndicator(wxRect());
  }
  Reset();
}

// ---------------------------------------------------------------- corner

CGridCornerButton::CGridCornerButton(CGridCtrl* grid)
    : wxWindow(grid, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE), m_grid(grid) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &CGridCornerButton::OnPaint, this);
  Bind(wxEVT_MOTION, &CGridCornerButton::OnMotion, this);
  Bind(wxEVT_LEFT_DOWN, &CGridCornerButton::OnLeftDown, this);
  Bind(wxEVT_LEFT_UP, &CGridCornerButton::OnLeftUp, this);
  Bind(wxEVT_LEFT_DCLICK, &CGridCornerButton::OnDoubleClick, this);
  Bind(wxEVT_RIGHT_DOWN, &CGridCornerButton::OnRightDown, this);
  Bind(wxEVT_RIGHT_UP, &CGridCornerButton::OnRightUp, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &CGridCornerButton::OnCaptureLost, this);
}

GridRect CGridCornerButton::Rect() const {
  const wxSize s = GetClientSize();
  return GridRect{0, 0, s.x, s.y};
}

void CGridCornerButton::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  m_grid->PaintHeading(dc, kSectionCorner, GetClientSize());
}

void CGridCornerButton::OnMotion(wxMouseEvent& e) {
  const wxPoint p = e.GetPosition();
  if (m_sizing) {
    if (m_widthMode) {
      int w = std::max(p.x, 0);
      m_grid->OnSideHeadingWidthChanging(w);
      m_grid->SetSideHeadingWidth(w);
    } else {
      int h = std::max(p.y, 0);
      m_grid->OnTopHeadingHeightChanging(h);
      m_grid->SetTopHeadingHeight(h);
    }
    m_grid->LayoutComponents();
    return;
  }
  const wxSize size = GetClientSize();
  m_armed = m_widthMode = m_heightMode = false;
  if (p.x > size.x - 4 && m_grid->OnQuerySideHeadingSize()) m_armed = m_widthMode = true;
  else if (p.y > size.y - 4 && m_grid->OnQueryTopHeadingSize()) m_armed = m_heightMode = true;
  SetCursor(m_armed ? wxCursor(m_widthMode ? wxCURSOR_SIZEWE : wxCURSOR_SIZENS) : wxNullCursor);
}

void CGridCornerButton::OnLeftDown(wxMouseEvent& e) {
  m_grid->EndEditFromOutside();
  m_grid->SetFocusToCellArea();
  if (m_armed) {
    m_sizing = true;
    CaptureMouse();
  }
  m_grid->OnCornerButtonClick(1, Rect(), GridPoint{e.GetX(), e.GetY()}, m_sizing ? 1 : 0);
}

void CGridCornerButton::OnLeftUp(wxMouseEvent& e) {
  const bool wasSizing = m_sizing;
  if (HasCapture()) ReleaseMouse();
  m_sizing = false;
  if (wasSizing) {
    CGridSheetInfo& s = m_grid->Sheet();
    if (m_widthMode) m_grid->OnSideHeadingWidthChanged(s.sideHeadingWidth);
    else m_grid->OnTopHeadingHeightChanged(s.topHeadingHeight);
  }
  m_grid->OnCornerButtonClick(0, Rect(), GridPoint{e.GetX(), e.GetY()}, wasSizing ? 1 : 0);
}

void CGridCornerButton::OnDoubleClick(wxMouseEvent& e) {
  m_grid->OnCornerButtonDoubleClick(Rect(), GridPoint{e.GetX(), e.GetY()}, 0);
}

void CGridCornerButton::OnRightDown(wxMouseEvent& e) {
  const GridPoint gp{e.GetX(), e.GetY()};
  m_grid->OnCornerButtonRightClick(1, Rect(), gp, 0);
  if (m_grid->Sheet().popupMenu) m_grid->StartPopupMenu(-1, -1, gp, kSectionCorner);
}

void CGridCornerButton::OnRightUp(wxMouseEvent& e) {
  m_grid->OnCornerButtonRightClick(0, Rect(), GridPoint{e.GetX(), e.GetY()}, 0);
}

void CGridCornerButton::OnCaptureLost(wxMouseCaptureLostEvent&) { m_sizing = false; }
