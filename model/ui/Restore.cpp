#include "framework/DialogTexts.h"
#include "framework/ui/DialogLayout.h"
#include "model/ui/Restore.h"

#include <wx/button.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "platform/Localization.h"

namespace {

enum {
  kIdArchive = 1265,
  kIdChooseArchive = 1267,
  kIdStart = 1268,
  kIdCancel = 1269,
  kIdClose = 1270,
  kIdChooseTarget = 1271,
  kIdTarget = 1272,
  kTimerStart = 234,
  kTimerPoll = 235,
};

}  // namespace

CRestore::CRestore(wxWindow* parent, RestoreRequest& request)
    : COperationDialog(parent, request, kTimerStart, kTimerPoll) {
  auto* grid = new wxFlexGridSizer(3, 5, 5);
  grid->AddGrowableCol(1);
  grid->Add(new wxStaticText(this, wxID_ANY, DlgText(wxS("Quelle:"))), 0, wxALIGN_CENTER_VERTICAL);
  m_archive = new wxTextCtrl(this, kIdArchive, wxString(), wxDefaultPosition, wxSize(380, -1), wxTE_READONLY);
  grid->Add(m_archive, 1, wxEXPAND);
  m_chooseArchive = new wxButton(this, kIdChooseArchive, wxS("..."), wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
  FitButtonToLabel(m_chooseArchive);
  grid->Add(m_chooseArchive);
  // The archive field only shows the choice; the keyboard starts at its button.
  ShowOnly(m_archive);
  FocusOnOpen(this, m_chooseArchive);
  grid->Add(new wxStaticText(this, wxID_ANY, DlgText(wxS("Ziel:"))), 0, wxALIGN_CENTER_VERTICAL);
  m_target = new wxTextCtrl(this, kIdTarget, m_controller.TargetFolder());
  grid->Add(m_target, 1, wxEXPAND);
  m_chooseTarget = new wxButton(this, kIdChooseTarget, wxS("..."), wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
  FitButtonToLabel(m_chooseTarget);
  grid->Add(m_chooseTarget);

  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(grid, 0, wxEXPAND | wxALL, 10);
  AddButtonAndStatusRows(top, kIdStart, kIdCancel, kIdClose);
  SetSizerAndFit(top);

  Bind(wxEVT_BUTTON, &CRestore::OnChooseArchive, this, kIdChooseArchive);
  Bind(wxEVT_BUTTON, &CRestore::OnChooseTarget, this, kIdChooseTarget);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { RequestStart(); }, kIdStart);
  UpdateView();
  CentreOnParent();
}

void CRestore::UpdateView() {
  ShowButtonsAndStatus();
  const RestoreController::Buttons& b = m_controller.GetButtons();
  const bool idle = !m_controller.IsRunning();
  m_target->SetEditable(b.targetEditable && idle);
  m_chooseArchive->Enable(idle);
  m_chooseTarget->Enable(idle);
  m_progress->Enable(b.progressEnabled);
  Layout();
}

void CRestore::OnChooseArchive(wxCommandEvent&) {
  wxFileDialog dlg(this, hv::LocalString(13949, wxS("Sicherungsdatei auswählen")), wxString(), wxS("*.zip"),
                   DlgText(wxS("Default (*.zip)|*.zip|All Files (*.*)|*.*")),
                   wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dlg.ShowModal() != wxID_OK) return;
  m_controller.ChooseArchive(dlg.GetPath());
  m_archive->ChangeValue(m_controller.ArchivePath());
  UpdateView();
}

void CRestore::OnChooseTarget(wxCommandEvent&) {
  wxDirDialog dlg(this, DlgText(wxS("Zielverzeichnis für die Wiederherstellung auswählen:")), m_target->GetValue(),
                  wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
  if (dlg.ShowModal() != wxID_OK || dlg.GetPath().empty()) return;
  m_controller.ChooseTarget(dlg.GetPath());
  m_target->ChangeValue(m_controller.TargetFolder());
  UpdateView();
}

bool CRestore::StartRun() {
  if (!m_controller.Start(m_target->GetValue())) return false;
  m_target->ChangeValue(m_controller.TargetFolder());
  return true;
}
