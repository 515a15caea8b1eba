#include "model/ui/DownloadDialogs.h"

#include <wx/button.h>
#include <wx/choicdlg.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "model/ProjectDownload.h"
#include "model/ui/DialogParent.h"
#include "platform/Localization.h"
#include "platform/Ui.h"

namespace {

int RunPrgSel(PrgSelRequest& request) {
  wxArrayString names;
  for (const wxString& name : request.programs) names.Add(name);
  wxSingleChoiceDialog dlg(DialogParent(), request.device,
                           hv::LocalString(11816, wxS("CoDeSys-Programm auswählen")), names);
  dlg.SetName(wxS("CDlgPrgSel"));
  if (dlg.ShowModal() != wxID_OK) return IDCANCEL;
  request.chosen = dlg.GetStringSelection();
  return IDOK;
}

int RunPrjDownloadReport(PrjDownloadReportRequest& request) {
  wxDialog dlg(DialogParent(), wxID_ANY, hv::LocalString(11817, wxS("Projekt Download")), wxDefaultPosition,
               wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, wxS("CDlgPrjDownload"));
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(new wxStaticText(&dlg, wxID_ANY,
                              hv::LocalString(11818, wxS("Folgende Fehler sind beim Projekt Download aufgetreten."))),
             0, wxALL, 10);
  wxArrayString lines;
  for (const wxString& line : request.lines) lines.Add(line);
  sizer->Add(new wxListBox(&dlg, wxID_ANY, wxDefaultPosition, wxSize(520, 200), lines), 1,
             wxEXPAND | wxLEFT | wxRIGHT, 10);
  sizer->Add(dlg.CreateButtonSizer(wxOK), 0, wxALL | wxALIGN_RIGHT, 10);
  dlg.SetSizerAndFit(sizer);
  dlg.ShowModal();
  return IDOK;
}

}  // namespace

void RegisterDownloadDialogs() {
  hv::Ui().Register<PrgSelRequest>(RunPrgSel);
  hv::Ui().Register<PrjDownloadReportRequest>(RunPrjDownloadReport);
}
