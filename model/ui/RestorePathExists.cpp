#include "model/ui/RestorePathExists.h"

#include <wx/button.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "model/RestoreEngine.h"
#include "platform/Localization.h"
#include "platform/Ui.h"

namespace {
enum { kIdText = 1275, kIdOverwrite = 1276, kIdRename = 1277, kIdGroup = 1278, kIdName = 1279 };
constexpr size_t kMaxName = 260;
}  // namespace

CDlgRestorePathExists::CDlgRestorePathExists(wxWindow* parent, RestorePathExistsRequest& request)
    : wxDialog(parent, wxID_ANY, hv::LocalString(10762, wxS("Wiederherstellung"))), m_request(request) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(new wxStaticText(this, kIdText, hv::LocalString(10792, wxS("Zielverzeichnis existiert bereits:"))), 0,
           wxALL, 10);
  auto* group = new wxStaticBoxSizer(wxVERTICAL, this, hv::LocalString(10793, wxS("Auswahl")));
  m_overwrite = new wxRadioButton(group->GetStaticBox(), kIdOverwrite,
                                  hv::LocalString(10794, wxS("Verzeichnis überschreiben")), wxDefaultPosition,
                                  wxDefaultSize, wxRB_GROUP);
  m_rename = new wxRadioButton(group->GetStaticBox(), kIdRename, hv::LocalString(10795, wxS("Verzeichnisname ändern")));
  m_name = new wxTextCtrl(group->GetStaticBox(), kIdName, request.proposedFolder, wxDefaultPosition, wxSize(300, -1));
  m_name->SetMaxLength(kMaxName);
  group->Add(m_overwrite, 0, wxALL, 5);
  group->Add(m_rename, 0, wxALL, 5);
  group->Add(m_name, 0, wxEXPAND | wxALL, 5);
  top->Add(group, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
  top->Add(CreateButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 10);
  // Stands in for the status bar.
  top->Add(new wxStaticText(this, wxID_ANY, hv::LocalString(10796, wxS("Verzeichnis: ")) + request.existingFolder,
                            wxDefaultPosition, wxDefaultSize, wxST_ELLIPSIZE_MIDDLE),
           0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
  SetSizerAndFit(top);

  m_overwrite->SetValue(true);
  m_name->Disable();
  m_request.choice = 0;
  Bind(wxEVT_RADIOBUTTON, &CDlgRestorePathExists::OnChoice, this, kIdOverwrite);
  Bind(wxEVT_RADIOBUTTON, &CDlgRestorePathExists::OnChoice, this, kIdRename);
  Bind(wxEVT_BUTTON, &CDlgRestorePathExists::OnOk, this, wxID_OK);
  CentreOnParent();
}

void CDlgRestorePathExists::OnChoice(wxCommandEvent&) {
  m_request.choice = m_rename->GetValue() ? 1 : 0;
  m_name->Enable(m_request.choice == 1);
}

void CDlgRestorePathExists::OnOk(wxCommandEvent&) {
  m_request.chosenFolder = m_name->GetValue().Left(kMaxName);
  if (m_request.choice == 1) {
    wxString name = m_request.chosenFolder;
    name.Trim(true).Trim(false);
    if (const UINT id = CheckRestoreFolderName(name)) {
      hv::ShowMessage(id, wxS("Es wurde ein ungültiges Zeichen eingegeben!"), MB_OK | MB_ICONINFORMATION);
      m_name->SetFocus();
      m_name->SelectAll();
      return;
    }
  }
  EndModal(wxID_OK);
}
