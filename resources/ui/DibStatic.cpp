#include "resources/ui/DibStatic.h"

#include <wx/dcbuffer.h>
#include <wx/image.h>
#include <wx/log.h>

#include "platform/Paths.h"

CDIBStatic::CDIBStatic(wxWindow* parent, int id, const wxSize& size)
    : wxPanel(parent, id, wxDefaultPosition, size, wxBORDER_SUNKEN) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &CDIBStatic::OnPaint, this);
}

BOOL CDIBStatic::LoadDib(const wxString& path) {
  if (path == m_path && HasPicture()) return TRUE;
  m_path = path;
  m_image = wxImage();
  // Our own reader checks the file first: the toolkit's decoder only sees sound ones.
  if (m_dib.Read(path)) {
    wxLogNull quiet;
    m_image.LoadFile(hv::ResolvePath(path), wxBITMAP_TYPE_BMP);
  }
  Refresh();
  return HasPicture() ? TRUE : FALSE;
}

void CDIBStatic::Clear() {
  m_dib.Free();
  m_image = wxImage();
  m_path.clear();
  Refresh();
}

void CDIBStatic::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  const wxSize client = GetClientSize();
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  const wxRect area(1, 1, client.x - 2, client.y - 2);
  if (!HasPicture()) {
    dc.DrawLine(area.GetTopLeft(), area.GetBottomRight());
    dc.DrawLine(area.GetTopRight(), area.GetBottomLeft());
    return;
  }
  const DibRect r = FitDibRect(client.x, client.y, m_image.GetWidth(), m_image.GetHeight());
  if (r.width <= 0 || r.height <= 0) return;
  const wxImage scaled = r.width == m_image.GetWidth() && r.height == m_image.GetHeight()
                             ? m_image
                             : m_image.Scale(r.width, r.height, wxIMAGE_QUALITY_NEAREST);
  dc.DrawBitmap(wxBitmap(scaled), r.x, r.y);
}
