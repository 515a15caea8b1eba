#include "app/ui/StaticControls.h"

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
                                 const wxPoint& pos, const wxSize& size, long extraStyle)
    : wxStaticText(parent, id, text, pos, size,
                   (pathEllipsis > 0 ? wxST_ELLIPSIZE_MIDDLE : wxST_ELLIPSIZE_END) | wxST_NO_AUTORESIZE | extraStyle) {}

CVSListBoxNoEdit::CVSListBoxNoEdit(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos,
                                   const wxSize& size)
    : wxEditableListBox(parent, id, label, pos, size, wxEL_ALLOW_NEW | wxEL_ALLOW_DELETE) {}
