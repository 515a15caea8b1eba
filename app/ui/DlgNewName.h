#pragma once
#include <wx/dialog.h>

#include "app/ui/EditControls.h"
#include "model/NewObjectRequests.h"

class wxTextCtrl;

// The name prompt (dialog 112, "Neues Object").
class CDlgNewName : public wxDialog {
 public:
  CDlgNewName(wxWindow* parent, NewNameRequest& request);

  static void Register();
  // OK checks the entered name and hands it to the request; FALSE keeps the dialog open.
  bool TransferDataFromWindow() override;
  // The name as it stands in the field.
  wxString TypedName() const;

 private:
  NewNameRequest& m_request;
  wxTextCtrl* m_edit = nullptr;
  CEEditCharset m_nameEdit;
};
