#include "build/ui/DownloadWebCE.h"

#include "framework/DialogTexts.h"
#include "platform/Ui.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace {

enum {
  kIdDevice = 1541,
  kIdAddress = 1542,
  kIdSource = 1543,
  kIdTarget = 1544,
  kIdUser = 1545,
  kIdPassword = 1546,
  kIdPort = 1547,
  kIdPassive = 1548,
};

}  // namespace

CDlgDownloadWebCE::CDlgDownloadWebCE(wxWindow* parent, DownloadWebCERequest& request)
    : wxDialog(parent, wxID_ANY, request.caption), m_request(request) {
  auto* grid = new wxFlexGridSizer(2, 5, 8);
  grid->AddGrowableCol(1);
  auto row = [&](const wxString& label, wxWindow* control) {
    grid->Add(new wxStaticText(this, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(control, 1, wxEXPAND);
  };
  row(DlgText(wxS("Gerät:")), new wxTextCtrl(this, kIdDevice, request.device, wxDefaultPosition, wxSize(300, -1),
                                    wxTE_READONLY));
  row(DlgText(wxS("IP-Adresse:")), new wxTextCtrl(this, kIdAddress, request.address, wxDefaultPosition, wxDefaultSize,
                                         wxTE_READONLY));
  if (!request.source.empty()) {
    m_source = new wxTextCtrl(this, kIdSource, request.source);
    row(DlgText(wxS("Quelle:")), m_source);
  }
  m_target = new wxTextCtrl(this, kIdTarget, request.targetFolder);
  row(DlgText(wxS("Ziel:")), m_target);
  m_user = new wxTextCtrl(this, kIdUser, request.user);
  row(DlgText(wxS("Benutzer:")), m_user);
  m_password = new wxTextCtrl(this, kIdPassword, request.password, wxDefaultPosition, wxDefaultSize,
                              wxTE_PASSWORD);
  row(DlgText(wxS("Passwort:")), m_password);
  // A plain field: what is typed stays visible until OK says what is wrong with it.
  const int port = request.connection.port > 0 ? request.connection.port : hv::kFtpPort;
  m_port = new wxTextCtrl(this, kIdPort, wxString::Format("%d", port));
  row(DlgText(wxS("Port:")), m_port);
  m_passive = new wxCheckBox(this, kIdPassive, DlgText(wxS("Passiver Modus")));
  m_passive->SetValue(request.connection.passive);
  grid->AddSpacer(0);
  grid->Add(m_passive);

  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(grid, 1, wxEXPAND | wxALL, 10);
  top->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
  SetSizerAndFit(top);
  CentreOnParent();
}

bool CDlgDownloadWebCE::TransferDataFromWindow() {
  // The port first: a refusal leaves the request as it was.
  wxString field = DlgText(wxS("Port:"));
  if (field.EndsWith(":")) field.RemoveLast();
  int port = 0;
  UINT messageId = 0;
  wxString message;
  if (!ReadTargetPort(field, m_port->GetValue(), port, messageId, message)) {
    hv::Ui().Message(messageId, message, MB_OK | MB_ICONEXCLAMATION);
    m_port->SetFocus();
    m_port->SelectAll();
    return false;
  }
  if (m_source) m_request.source = m_source->GetValue();
  m_request.targetFolder = m_target->GetValue();
  m_request.user = m_user->GetValue();
  m_request.password = m_password->GetValue();
  m_request.connection.port = port;
  m_request.connection.passive = m_passive->GetValue();
  return true;
}
