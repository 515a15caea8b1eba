#pragma once
// Shows one device picture inside the control: natural size centred when it fits, else
// scaled keeping its aspect ratio; a crossed rectangle without a picture.
#include <wx/bitmap.h>
#include <wx/panel.h>

#include "resources/Dib.h"

class CDIBStatic : public wxPanel {
 public:
  CDIBStatic(wxWindow* parent, int id, const wxSize& size);
  // Reads the picture; a bad file says "Lesefehler" and shows none. False without one.
  BOOL LoadDib(const wxString& path);
  void Clear();
  bool HasPicture() const { return m_image.IsOk(); }
  // Pictures carry their colours in the pixels here: there is no palette to realise.
  BOOL RealizeDibPalette(bool forceBackground) const { return !HasPicture(); }
  // A picture is no stop of the keyboard: it would take the focus without showing it.
  bool AcceptsFocus() const override { return false; }
  bool AcceptsFocusFromKeyboard() const override { return false; }

 private:
  void OnPaint(wxPaintEvent& event);
  CDib m_dib;
  wxImage m_image;
  wxString m_path;
};
