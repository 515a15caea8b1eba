#pragma once
// Small shared controls: a hyperlink, a static that shortens file paths, and a list
// box with add and delete buttons but no editing.
#include <wx/editlbox.h>
#include <wx/hyperlink.h>
// after the toolkit's own link, which it builds on
#include <wx/generic/hyperlink.h>
#include <wx/stattext.h>

// A link that opens its text (or its own link text) with the desktop: blue, purple once
// visited, red under the pointer (the toolkit's own drawing, since the native link
// takes its colours from the theme). A link that cannot be opened beeps and stays blue.
class CHotStatic : public wxGenericHyperlinkCtrl {
 public:
  CHotStatic(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos = wxDefaultPosition,
             const wxSize& size = wxDefaultSize);

  static const wxColour kNormal;
  static const wxColour kVisited;
  static const wxColour kHover;

  // Empty: the label is the link.
  void SetLinkText(const wxString& link) { m_link = link; }
  // Opens the link; false (with a beep) when the desktop could not.
  bool OpenLink();

 private:
  wxString m_link;
};

// A text shortened to fit: in the middle (a path, flag above 0) or at the end.
class CStaticFilespec : public wxStaticText {
 public:
  CStaticFilespec(wxWindow* parent, wxWindowID id, const wxString& text, int pathEllipsis = 1,
                  const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize, long extraStyle = 0);
};

// An editable list box whose entries are added and deleted but not edited in place.
class CVSListBoxNoEdit : public wxEditableListBox {
 public:
  CVSListBoxNoEdit(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos = wxDefaultPosition,
                   const wxSize& size = wxDefaultSize);
  // The inner list (nullptr when there is none).
  wxListCtrl* GetInnerList() { return GetListCtrl(); }
};
