#include "app/ui/StaticControls.h"

#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/utils.h>

#include "platform/ShellOpen.h"

// Windows stored these as BGR values 0xFF0000, 0x800080 and 0x0000FF.
const wxColour CHotStatic::kNormal(0, 0, 255);
const wxColour CHotStatic::kVisited(128, 0, 128);
const wxColour CHotStatic::kHover(255, 0, 0);

CHotStatic::CHotStatic(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos, const wxSize& size)
    : wxGenericHyperlinkCtrl(parent, id, label, label, pos, size, wxHL_ALIGN_LEFT | wxNO_BORDER) {
  SetNormalColour(kNormal);
  SetVisitedColour(kVisited);
  SetHoverColour(kHover);
  SetCursor(wxCursor(wxCURSOR_HAND));
  // The desktop opens the link through the program's own service, not the toolkit's.
  Bind(wxEVT_HYPERLINK, [this](wxHyperlinkEvent&) { OpenLink(); });
}

bool CHotStatic::OpenLink() {
  const wxString target = m_link.empty() ? GetLabel() : m_link;
  if (!hv::ShellOpen(target)) {
    wxBell();
    return false;
  }
  SetVisited(true);
  Refresh();
  return true;
}

CStaticFilespec::CStaticFilespec(wxWindow* parent, wxWindowID id, const wxString& text, int pathEllipsis,
                                 const wxPoint& pos, const wxSize& size, long drawFlags)
    : m_pathEllipsis(pathEllipsis), m_drawFlags(drawFlags) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Create(parent, id, pos, size, wxBORDER_NONE);
  SetFont(parent->GetFont());
  wxControl::SetLabel(text);
  SetInitialSize(size);
  Bind(wxEVT_PAINT, &CStaticFilespec::OnPaint, this);
}

void CStaticFilespec::SetLabel(const wxString& label) {
  if (label == GetLabel()) return;
  wxControl::SetLabel(label);
  Refresh();
}

wxString CStaticFilespec::DrawnText() const {
  return (m_drawFlags & kNoPrefix) ? GetLabel() : RemoveMnemonics(GetLabel());
}

wxString CStaticFilespec::GetShownText() const {
  wxClientDC dc(const_cast<CStaticFilespec*>(this));
  dc.SetFont(GetFont());
  return Shorten(DrawnText(), dc, GetClientSize().x, m_pathEllipsis > 0);
}

wxString CStaticFilespec::Shorten(const wxString& text, const wxDC& dc, int width, bool path) {
  const auto fits = [&](const wxString& t) { return dc.GetTextExtent(t).x <= width; };
  if (fits(text)) return text;
  if (!path) return wxControl::Ellipsize(text, dc, wxELLIPSIZE_END, width);
  const size_t slash = text.find_last_of(wxS("/\\"));
  if (slash == wxString::npos) return wxControl::Ellipsize(text, dc, wxELLIPSIZE_MIDDLE, width);
  // The folders give way first, from their end; the file name goes last.
  const wxString dots = wxS("..."), name = text.Mid(slash);
  if (!fits(dots + name)) return wxControl::Ellipsize(dots + name, dc, wxELLIPSIZE_END, width);
  size_t low = 0, high = slash;   // the longest head that fits lies in [low, high)
  while (high - low > 1) {
    const size_t mid = (low + high) / 2;
    if (fits(text.Left(mid) + dots + name)) low = mid;
    else high = mid;
  }
  return text.Left(low) + dots + name;
}

wxSize CStaticFilespec::DoGetBestClientSize() const {
  wxClientDC dc(const_cast<CStaticFilespec*>(this));
  dc.SetFont(GetFont());
  const wxSize extent = dc.GetTextExtent(DrawnText().empty() ? wxString(wxS("Ag")) : DrawnText());
  return {extent.x, dc.GetCharHeight() > extent.y ? dc.GetCharHeight() : extent.y};
}

void CStaticFilespec::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  const wxSize client = GetClientSize();
  dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
  dc.Clear();
  dc.SetFont(GetFont());
  dc.SetTextForeground(IsEnabled() ? GetForegroundColour() : wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT));
  const wxString shown = Shorten(DrawnText(), dc, client.x, m_pathEllipsis > 0);
  const int y = (m_drawFlags & kVCentre) ? (client.y - dc.GetTextExtent(shown).y) / 2 : 0;
  dc.DrawText(shown, 0, y);
}

CVSListBoxNoEdit::CVSListBoxNoEdit(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos,
                                   const wxSize& size)
    : wxEditableListBox(parent, id, label, pos, size, wxEL_ALLOW_NEW | wxEL_ALLOW_DELETE) {}
