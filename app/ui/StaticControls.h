#pragma once
// Small shared controls: a hyperlink, a static that shortens file paths, and a list
// box with add and delete buttons but no editing.
#include <wx/editlbox.h>
#include <wx/hyperlink.h>
// after the toolkit's own link, which it builds on
#include <wx/generic/hyperlink.h>
#include <wx/control.h>

class wxDC;

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

// A text shortened to fit, drawn by the control itself on the dialog's face colour: a
// path (flag above 0) loses characters before its file name, which stays whole as long
// as it fits; other texts lose their end. Setting the text redraws it.
class CStaticFilespec : public wxControl {
 public:
  // Extra drawing flags: '&' shown as it is, not as a mnemonic; the text centred
  // vertically rather than at the top.
  static constexpr long kNoPrefix = 1, kVCentre = 2;

  CStaticFilespec(wxWindow* parent, wxWindowID id, const wxString& text, int pathEllipsis = 1,
                  const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize, long drawFlags = 0);

  void SetLabel(const wxString& label) override;
  // The text as it is drawn at the control's present width.
  wxString GetShownText() const;
  // `text` shortened to `width` pixels in the font of `dc`.
  static wxString Shorten(const wxString& text, const wxDC& dc, int width, bool path);

 protected:
  wxSize DoGetBestClientSize() const override;
  bool AcceptsFocus() const override { return false; }

 private:
  wxString DrawnText() const;
  void OnPaint(wxPaintEvent&);

  int m_pathEllipsis;
  long m_drawFlags;
};

// An editable list box whose entries are added and deleted but not edited in place.
class CVSListBoxNoEdit : public wxEditableListBox {
 public:
  CVSListBoxNoEdit(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos = wxDefaultPosition,
                   const wxSize& size = wxDefaultSize);
  // The inner list (nullptr when there is none).
  wxListCtrl* GetInnerList() { return GetListCtrl(); }
};
