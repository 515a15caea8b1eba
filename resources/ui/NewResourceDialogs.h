#pragma once
// The dialogs that make new pictures and keypad files, and the picture gallery.
#include <wx/dialog.h>

#include "app/ui/DlgNewName.h"
#include "app/ui/SmallDialogs.h"
#include "resources/ResourceRequests.h"

class wxChoice;
class wxListBox;

// Dialog 251: name, logical id and file type, or "Aus Galerie hinzufügen".
class CDlgNewBitmapAndLogID : public CDlgNewNameAndLogID {
 public:
  CDlgNewBitmapAndLogID(wxWindow* parent, NewBitmapAndLogIdRequest& request);
  bool TransferDataFromWindow() override;

 private:
  NewBitmapAndLogIdRequest& m_picture;
  wxChoice* m_type = nullptr;
};

// Dialog 256: a name, or "Aus Vorlage hinzufügen".
class CDlgNewKeypad : public CDlgNewName {
 public:
  CDlgNewKeypad(wxWindow* parent, NewKeypadRequest& request);

 private:
  NewKeypadRequest& m_keypad;
};

// The files of a gallery folder to pick one from.
class CDlgGallery : public wxDialog {
 public:
  CDlgGallery(wxWindow* parent, GalleryRequest& request);
  bool TransferDataFromWindow() override;

 private:
  GalleryRequest& m_request;
  wxListBox* m_list = nullptr;
};

void RegisterResourceDialogs();
