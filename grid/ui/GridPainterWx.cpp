#include "grid/ui/GridPainterWx.h"

#include <algorithm>
#include <vector>
#include <wx/control.h>
#include <wx/graphics.h>
#include <wx/renderer.h>
#include <wx/settings.h>

#include "grid/GridVisualStyles.h"
#include "grid/ui/GridCellArea.h"
#include "grid/ui/GridCtrl.h"

CGridWxPainter::CGridWxPainter(CGridCtrl& grid, wxDC& dc) : m_grid(grid), m_dc(dc) {
  m_dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
  // Lines and marks are drawn pixel for pixel, as the grid's drawing rules give them.
  if (wxGraphicsContext* gc = m_dc.GetGraphicsContext()) gc->SetAntialiasMode(wxANTIALIAS_NONE);
}

const wxColour& CGridWxPainter::Resolve(GridColour c) {
  for (int i = 0; i < 4; ++i)
    if (m_cacheKey[i] == c) return m_cacheValue[i];
  const int slot = m_cacheNext;
  m_cacheNext = (m_cacheNext + 1) % 4;
  m_cacheKey[slot] = c;
  m_cacheValue[slot] = CGridCtrl::Colour(c);
  return m_cacheValue[slot];
}

void CGridWxPainter::SetPen(GridColour colour, int width) {
  if (colour == m_penColour && width == m_penWidth) return;
  m_penColour = colour;
  m_penWidth = std::max(width, 1);
  m_pen = wxPen(Resolve(colour), m_penWidth);
  m_penBrush = wxBrush(m_pen.GetColour());
}

void CGridWxPainter::SetNoPen() {
  m_penColour = 0xFFFFFFFFu;
  m_pen = *wxTRANSPARENT_PEN;
}

void CGridWxPainter::SetBrush(GridColour colour) { m_brush = wxBrush(Resolve(colour)); }

void CGridWxPainter::SetNoBrush() { m_brush = *wxTRANSPARENT_BRUSH; }

void CGridWxPainter::PatternFill(const GridRect& r, GridColour colour0, GridColour colour1) {
  FillRect(r, colour0);
  SetPen(colour1);
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left + ((r.left + y + 1) & 1); x < r.right; x += 2) Pixels(x, y, 1, 1);
  }
}

void CGridWxPainter::Pixels(int x, int y, int width, int height) {
  if (!m_usingPenBrush) {
    m_dc.SetPen(*wxTRANSPARENT_PEN);
    m_usingPenBrush = true;
  }
  m_dc.SetBrush(m_penBrush);
  m_dc.DrawRectangle(x, y, width, height);
}

// The pixels from the first point up to, not including, the last: lines as the grid's
// drawing rules count them, independent of how the toolkit caps and smooths lines.
void CGridWxPainter::Line(int x1, int y1, int x2, int y2) {
  if (m_pen.GetStyle() == wxPENSTYLE_TRANSPARENT || (x1 == x2 && y1 == y2)) return;
  if (m_penWidth > 1) {
    ApplyPen();
    m_dc.DrawLine(x1, y1, x2, y2);
    return;
  }
  if (y1 == y2) {
    Pixels(x2 > x1 ? x1 : x2 + 1, y1, std::abs(x2 - x1), 1);
    return;
  }
  if (x1 == x2) {
    Pixels(x1, y2 > y1 ? y1 : y2 + 1, 1, std::abs(y2 - y1));
    return;
  }
  const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
  const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  int err = dx + dy, x = x1, y = y1;
  while (x != x2 || y != y2) {
    Pixels(x, y, 1, 1);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

void CGridWxPainter::Polyline(const GridPoint* points, int count) {
  // Segment by segment, each without its end point, as a pen moving from point to point.
  for (int i = 1; i < count; ++i) Line(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
}

void CGridWxPainter::ApplyPen() {
  m_dc.SetPen(m_pen);
  m_dc.SetBrush(m_brush);
  m_usingPenBrush = false;
}

void CGridWxPainter::Rectangle(const GridRect& r) {
  ApplyPen();
  m_dc.DrawRectangle(r.left, r.top, std::max(r.Width(), 0), std::max(r.Height(), 0));
}

void CGridWxPainter::Ellipse(const GridRect& r) {
  ApplyPen();
  m_dc.DrawEllipse(r.left, r.top, std::max(r.Width(), 0), std::max(r.Height(), 0));
}

void CGridWxPainter::FillRect(const GridRect& r, GridColour colour) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  if (!m_usingPenBrush) {
    m_dc.SetPen(*wxTRANSPARENT_PEN);
    m_usingPenBrush = true;
  }
  m_dc.SetBrush(wxBrush(Resolve(colour)));
  m_dc.DrawRectangle(r.left, r.top, r.Width(), r.Height());
}

void CGridWxPainter::SetFont(int font) {
  const int index = font < 0 ? m_grid.Sheet().defaultFont : font;
  if (index == m_font) return;
  m_font = index;
  m_dc.SetFont(m_grid.FontOf(index));
}

void CGridWxPainter::SetTextColour(GridColour colour) {
  if (colour == m_textColour) return;
  m_textColour = colour;
  m_dc.SetTextForeground(Resolve(colour));
}

GridPoint CGridWxPainter::TextExtent(const wxString& text) {
  if (m_font == -2) SetFont(-1);
  wxCoord w = 0, h = 0;
  m_dc.GetTextExtent(text, &w, &h);
  return GridPoint{w, h};
}

void CGridWxPainter::Text(const wxString& text, int x, int y, const GridRect& clip) {
  if (m_font == -2) SetFont(-1);
  wxDCClipper clipper(m_dc, wxRect(clip.left, clip.top, std::max(clip.Width(), 0), std::max(clip.Height(), 0)));
  m_dc.DrawText(text, x, y);
}

wxString CGridWxPainter::Ellipsize(const wxString& text, int width) {
  if (m_font == -2) SetFont(-1);
  return wxControl::Ellipsize(text, m_dc, wxELLIPSIZE_END, std::max(width, 1));
}

void CGridWxPainter::Image(const std::shared_ptr<const GridImage>& image, int x, int y, int width, int height,
                           int shownWidth) {
  const wxBitmap bitmap = m_grid.ImageBitmap(image, width, height);
  if (!bitmap.IsOk()) return;
  wxDCClipper clipper(m_dc, wxRect(x, y, std::max(std::min(shownWidth, width), 1), height));
  m_dc.DrawBitmap(bitmap, x, y, false);
}

int CGridWxPainter::ButtonWidth() {
  if (m_buttonWidth < 0) m_buttonWidth = m_grid.ButtonWidth();
  return m_buttonWidth;
}

bool CGridWxPainter::NativePart(int part, int state, const GridRect& r) {
  using namespace gridstyles;
  wxWindow* win = m_grid.CellArea() ? static_cast<wxWindow*>(m_grid.CellArea()) : &m_grid;
  const wxRect rect(r.left, r.top, std::max(r.Width(), 0), std::max(r.Height(), 0));
  if (rect.IsEmpty()) return false;
  int flags = 0;
  if (state & 8) flags |= wxCONTROL_DISABLED;
  if (state & (4 | 16)) flags |= wxCONTROL_PRESSED;
  if (state & 2) flags |= wxCONTROL_CURRENT;
  wxRendererNative& renderer = wxRendererNative::Get();
  switch (part) {
    case kPartCell:
      // The cell's own background stays the caller's, except the selection.
      if (!(state & 4)) return false;
      renderer.DrawItemSelectionRect(win, m_dc, rect, wxCONTROL_SELECTED | wxCONTROL_FOCUSED);
      return true;
    case kPartTopHeadingRow:
    case kPartSideHeadingColumn:
    case kPartHeadingDefault:
      renderer.DrawHeaderButton(win, m_dc, rect, flags & ~wxCONTROL_PRESSED);
      return true;
    case kPartDropButton:
      renderer.DrawComboBoxDropButton(win, m_dc, rect, flags);
      return true;
    case kPartCheckUnchecked:
    case kPartCheckChecked:
    case kPartCheckMixed:
      if (part == kPartCheckChecked) flags |= wxCONTROL_CHECKED;
      if (part == kPartCheckMixed) flags |= wxCONTROL_UNDETERMINED;
      renderer.DrawCheckBox(win, m_dc, rect, flags & ~wxCONTROL_PRESSED);
      return true;
    case kPartRadioUnchecked:
    case kPartRadioChecked:
    case kPartRadioChecked2:
      if (part != kPartRadioUnchecked) flags |= wxCONTROL_CHECKED;
      renderer.DrawRadioBitmap(win, m_dc, rect, flags & ~wxCONTROL_PRESSED);
      return true;
    case kPartPushButton:
    case kPartSpinUp:
    case kPartSpinDown: {
      renderer.DrawPushButton(win, m_dc, rect, flags);
      if (part == kPartPushButton) return true;
      // The renderer has no spin halves: a button with a drawn arrow.
      const int cx = rect.x + rect.width / 2, cy = rect.y + rect.height / 2;
      m_dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT)));
      m_usingPenBrush = false;
      for (int k = 0; k < 3; ++k) {
        const int y = part == kPartSpinUp ? cy + 1 - k : cy - 1 + k;
        m_dc.DrawLine(cx - 2 + k, y, cx + 3 - k, y);
      }
      return true;
    }
    default:
      return false;
  }
}

// A dotted frame of alternating dark and light pixels: seen on any cell colour. The
// toolkit's own focus frame draws nothing on a plain window here.
void CGridWxPainter::FocusRect(const GridRect& r) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  const int right = r.right - 1, bottom = r.bottom - 1;
  std::vector<wxPoint> dark, light;
  const auto add = [&](int x, int y, int i) { (i % 2 == 0 ? dark : light).emplace_back(x, y); };
  int i = 0;
  for (int x = r.left; x <= right; ++x) add(x, r.top, i++);
  for (int y = r.top + 1; y <= bottom; ++y) add(right, y, i++);
  for (int x = right - 1; x >= r.left && bottom > r.top; --x) add(x, bottom, i++);
  for (int y = bottom - 1; y > r.top && right > r.left; --y) add(r.left, y, i++);
  const wxPen old = m_dc.GetPen();
  m_dc.SetPen(*wxBLACK_PEN);
  for (const wxPoint& p : dark) m_dc.DrawPoint(p);
  m_dc.SetPen(*wxWHITE_PEN);
  for (const wxPoint& p : light) m_dc.DrawPoint(p);
  m_dc.SetPen(old);
}
