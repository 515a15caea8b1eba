#pragma once
// Dialog 154, the target of a transfer to a Windows CE panel: the folder on the device,
// the login and the connection values, confirmed with OK.
#include <wx/dialog.h>

#include "build/CeDownload.h"

class wxCheckBox;
class wxTextCtrl;

class CDlgDownloadWebCE : public wxDialog {
 public:
  CDlgDownloadWebCE(wxWindow* parent, DownloadWebCERequest& request);
  bool TransferDataFromWindow() override;

 private:
  DownloadWebCERequest& m_request;
  wxTextCtrl* m_source = nullptr;
  wxTextCtrl* m_target = nullptr;
  wxTextCtrl* m_user = nullptr;
  wxTextCtrl* m_password = nullptr;
  wxTextCtrl* m_port = nullptr;
  wxCheckBox* m_passive = nullptr;
};
