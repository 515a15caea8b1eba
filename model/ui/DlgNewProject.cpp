// Dialog 168 "Neues Projekt".
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/ui/EditControls.h"
#include "framework/DialogTexts.h"
#include "framework/ui/DialogLayout.h"
#include "model/ProjectRequests.h"
#include "model/ui/ProjectPages.h"
#include "platform/Ui.h"

namespace {

class CDlgNewProject : public wxDialog {
 public:
  CDlgNewProject(wxWindow* parent, NewProjectRequest& request)
      : wxDialog(parent, 168, DlgText(wxS("Neues Projekt"))), m_request(request), m_lastName(request.name) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* grid = new wxFlexGridSizer(2, 8, 8);
    grid->AddGrowableCol(1);
    m_name = new wxTextCtrl(this, 1025, request.name, wxDefaultPosition, wxSize(320, -1));
    m_name->SetMaxLength(30);
    m_folder = new wxTextCtrl(this, 1050, request.folder);
    grid->Add(new wxStaticText(this, wxID_ANY, DlgText(wxS("&Bezeichnung:"))), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(m_name, 1, wxEXPAND);
    grid->Add(new wxStaticText(this, wxID_ANY, DlgText(wxS("&Pfad:"))), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(m_folder, 1, wxEXPAND);
    sizer->Add(grid, 0, wxALL | wxEXPAND, 10);
    m_boxes = CreateFlagBoxes(this, sizer, request.flags);
    sizer->Add(CreateButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxALIGN_RIGHT, 10);
    SetSizerAndFit(sizer);
    m_nameEdit.AttachTo(m_name);
    m_nameEdit.SetForbiddenCharset(ProjectNameForbiddenCharset());
    m_name->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { OnNameChanged(); });
    m_boxes.create->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { UpdateBoxes(); });
    UpdateBoxes();
    FocusOnOpen(this, m_name);
  }

  bool TransferDataFromWindow() override {
    if (!m_nameEdit.CheckForbidden()) return false;
    NewProjectRequest entered;
    entered.name = m_name->GetValue();
    entered.folder = m_folder->GetValue();
    entered.flags = m_boxes.Read();
    if (const UINT refused = CheckNewProject(entered)) {
      (refused == 10301 || refused == 10330 || refused == 10750 ? m_folder : m_name)->SetFocus();
      return false;
    }
    m_request = entered;
    return true;
  }

 private:
  void OnNameChanged() {
    const wxString name = m_name->GetValue();
    const wxString folder = FolderFollowingName(m_folder->GetValue(), m_lastName, name);
    if (folder != m_folder->GetValue()) m_folder->ChangeValue(folder);
    m_lastName = name;
  }
  void UpdateBoxes() {
    // Only 1004 and 1005 depend on 1003 here.
    const bool on = m_boxes.create->GetValue();
    m_boxes.checksum->Enable(on);
    m_boxes.com->Enable(on);
  }

  NewProjectRequest& m_request;
  wxString m_lastName;
  wxTextCtrl* m_name = nullptr;
  wxTextCtrl* m_folder = nullptr;
  CEEditCharset m_nameEdit;
  FlagBoxes m_boxes;
};

}  // namespace

void RegisterNewProjectDialog() {
  hv::Ui().Register<NewProjectRequest>([](NewProjectRequest& r) {
    CDlgNewProject dlg(wxTheApp->GetTopWindow(), r);
    return static_cast<int>(dlg.ShowModal() == wxID_OK ? IDOK : IDCANCEL);
  });
}
