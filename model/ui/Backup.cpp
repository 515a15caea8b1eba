#include "framework/DialogTexts.h"
#include "framework/ui/DialogLayout.h"
#include "model/ui/Backup.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "platform/Localization.h"
#include "platform/Paths.h"

namespace {

enum {
  kIdSource = 1255,
  kIdTarget = 1258,
  kIdChoose = 1259,
  kIdStart = 1261,
  kIdClose = 1262,
  kIdCancel = 1263,
  kIdCoDeSys = 1264,
  kTimerStart = 123,
  kTimerPoll = 125,
};

}  // namespace

CBackup::CBackup(wxWindow* parent, BackupRequest& request)
    : COperationDialog(parent, request, kTimerStart, kTimerPoll) {
  auto* grid = new wxFlexGridSizer(3, 5, 5);
  grid->AddGrowableCol(1);
  grid->Add(new wxStaticText(this, wxID_ANY, DlgText(wxS("Quelle:"))), 0, wxALIGN_CENTER_VERTICAL);
  m_source = new wxTextCtrl(this, kIdSource, m_controller.SourceFolder(), wxDefaultPosition, wxSize(380, -1),
                            wxTE_READONLY);
  grid->Add(m_source, 1, wxEXPAND);
  grid->AddSpacer(0);
  grid->Add(new wxStaticText(this, wxID_ANY, DlgText(wxS("Ziel:"))), 0, wxALIGN_CENTER_VERTICAL);
  m_target = new wxTextCtrl(this, kIdTarget, wxString(), wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
  grid->Add(m_target, 1, wxEXPAND);
  auto* choose = new wxButton(this, kIdChoose, wxS("..."), wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
  FitButtonToLabel(choose);
  grid->Add(choose);
  // The fields only show where the backup comes from and goes to; the keyboard starts
  // at the button that chooses the target.
  ShowOnly(m_source);
  ShowOnly(m_target);
  FocusOnOpen(this, choose);

  m_coDeSys = new wxCheckBox(this, kIdCoDeSys, DlgText(wxS("Sichere 3S CodeSys Archive")));
  m_coDeSys->SetValue(true);

  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(grid, 0, wxEXPAND | wxALL, 10);
  top->Add(m_coDeSys, 0, wxLEFT | wxRIGHT | wxBOTTOM, 10);
  AddButtonAndStatusRows(top, kIdStart, kIdCancel, kIdClose);
  SetSizerAndFit(top);

  Bind(wxEVT_BUTTON, &CBackup::OnChooseTarget, this, kIdChoose);
  Bind(wxEVT_BUTTON, &CBackup::OnStart, this, kIdStart);
  Bind(wxEVT_TEXT, &CBackup::OnTargetText, this, kIdTarget);
  UpdateView();
  CentreOnParent();
}

void CBackup::UpdateView() {
  ShowButtonsAndStatus();
  m_coDeSys->Enable(!m_controller.IsBusy());
  Layout();
}

void CBackup::OnChooseTarget(wxCommandEvent&) {
  wxFileDialog dlg(this, hv::LocalString(13948, wxS("Sicherungsdatei festlegen")), m_controller.BackupFolder(),
                   m_controller.DefaultTargetName(),
                   DlgText(wxS("Default (*.zip)|*.zip|All Files (*.*)|*.*")), wxFD_SAVE);
  if (dlg.ShowModal() != wxID_OK) return;
  wxString path = dlg.GetPath();
  if (hv::PathExtension(path).empty()) path += ".zip";   // the default extension
  m_target->ChangeValue(path);
  m_controller.TargetChosen(path);   // also remembers its folder
  UpdateView();
}

void CBackup::OnTargetText(wxCommandEvent&) {
  m_controller.SetTarget(m_target->GetValue());
  UpdateView();
}

void CBackup::OnStart(wxCommandEvent&) {
  m_controller.SetArchiveCoDeSys(m_coDeSys->GetValue());
  RequestStart();
}
