#include "app/ui/HeaderCtrl.h"

#include <wx/control.h>
#include <wx/settings.h>

int CEHeaderCtrl::SetSortImage(int column, bool ascending) {
  const int previous = m_sortColumn;
  m_sortColumn = column;
  m_ascending = ascending;
  return previous;
}

void CEHeaderCtrl::DrawItem(wxDC& dc, const wxRect& rect, const wxString& text, int format, bool pressed,
                            bool sortColumn) const {
  dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.DrawRectangle(rect);
  // The unit of all spacing: two blanks of the current font.
  const int w = 2 * dc.GetTextExtent(" ").GetWidth();
  wxRect textRect = rect;
  if (pressed) textRect.Offset(1, 2);
  textRect.Deflate(w, 0);
  if (sortColumn) textRect.width -= 3 * w;
  if (textRect.width > 0) {
    int align = wxALIGN_LEFT;
    if (format == 1) align = wxALIGN_RIGHT;
    else if (format == 2) align = wxALIGN_CENTRE_HORIZONTAL;
    dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT));
    const wxString shown = wxControl::Ellipsize(text, dc, wxELLIPSIZE_END, textRect.width);
    dc.DrawLabel(shown, textRect, align | wxALIGN_CENTRE_VERTICAL);
  }
  if (!sortColumn) return;
  const int right = rect.GetRight();
  const int top = rect.y + (rect.height - w) / 2;
  const int bottom = top + w;
  const wxPen light(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT));
  const wxPen dark(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW));
  const int apex = right - 2 * w;
  const int left = right - 5 * w / 2;
  const int rightEdge = right - 3 * w / 2;
  if (m_ascending) {
    dc.SetPen(light);
    dc.DrawLine(rightEdge, bottom, left, bottom);
    dc.DrawLine(rightEdge, bottom, apex, top);
    dc.SetPen(dark);
    dc.DrawLine(left, bottom, apex, top);
  } else {
    dc.SetPen(light);
    dc.DrawLine(rightEdge, top, apex, bottom);
    dc.SetPen(dark);
    dc.DrawLine(left, top, rightEdge, top);
    dc.DrawLine(left, top, apex, bottom);
  }
}

void CEHeaderCtrl::PrintHeader(wxDC& dc, const std::vector<Column>& columns, wxPoint origin, int height) const {
  dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
  int x = origin.x;
  const wxPen light(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT));
  const wxPen dark(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW));
  for (size_t i = 0; i < columns.size(); ++i) {
    const wxRect rect(x, origin.y, columns[i].width, height);
    DrawItem(dc, rect, columns[i].title, columns[i].format, false, static_cast<int>(i) == m_sortColumn);
    dc.SetPen(light);
    dc.DrawLine(rect.GetLeft(), rect.GetBottom(), rect.GetLeft(), rect.GetTop());
    dc.DrawLine(rect.GetLeft(), rect.GetTop(), rect.GetRight(), rect.GetTop());
    dc.SetPen(dark);
    dc.DrawLine(rect.GetRight(), rect.GetTop(), rect.GetRight(), rect.GetBottom());
    dc.DrawLine(rect.GetRight(), rect.GetBottom(), rect.GetLeft(), rect.GetBottom());
    x += columns[i].width;
  }
}
