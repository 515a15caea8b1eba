#pragma once
// "Wiederherstellung": what to do when the restored project's folder exists already.
#include <wx/dialog.h>

#include "model/RestoreController.h"

class wxRadioButton;
class wxTextCtrl;

class CDlgRestorePathExists : public wxDialog {
 public:
  CDlgRestorePathExists(wxWindow* parent, RestorePathExistsRequest& request);

 private:
  void OnChoice(wxCommandEvent&);
  void OnOk(wxCommandEvent&);

  RestorePathExistsRequest& m_request;
  wxRadioButton* m_overwrite = nullptr;
  wxRadioButton* m_rename = nullptr;
  wxTextCtrl* m_name = nullptr;
};
