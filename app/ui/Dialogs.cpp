#include "app/ui/Dialogs.h"

#include <wx/app.h>
#include <wx/choicdlg.h>
#include "app/ui/StaticControls.h"
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/dialog.h>
#include <wx/button.h>
#include <wx/utils.h>

#include "app/TavProjectApp.h"
#include "app/ui/DlgNewName.h"
#include "build/ui/TransferDialogs.h"
#include "resources/ui/NewResourceDialogs.h"
#include "model/ui/BackupDialogs.h"
#include "model/ui/DataPointDialogs.h"
#include "model/ui/DownloadDialogs.h"
#include "model/ui/ExchangeDialogs.h"
#include "model/ui/DeviceDialogs.h"
#include "model/ui/FieldBusDialogs.h"
#include "model/ui/ParameterDialogs.h"
#include "app/ui/StaticControls.h"
#include "model/ui/ProjectDialogs.h"
#include "platform/Localization.h"
#include "platform/ShellOpen.h"
#include "platform/Ui.h"
#include "resources/ui/DlgString.h"

namespace {

// Dialog 100: product text, the graph tool's version and the maker's address.
class CAboutDlg : public wxDialog {
 public:
  CAboutDlg(wxWindow* parent, const AboutRequest& req)
      : wxDialog(parent, wxID_ANY, hv::LocalString(10690, wxS("Info über Halvora"))) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(new wxStaticText(this, 1003, req.text), 0, wxALL, 10);
    sizer->Add(new wxStaticText(this, 1162, req.toolVersion), 0, wxLEFT | wxRIGHT, 10);
    sizer->Add(new CHotStatic(this, 1191, req.webAddress), 0, wxALL, 10);
    sizer->Add(CreateButtonSizer(wxOK), 0, wxALL | wxALIGN_RIGHT, 10);
    SetSizerAndFit(sizer);
  }
};

}  // namespace

int RunShellOpen(hv::ShellOpenRequest& req) {
  const bool ok = req.isAddress ? wxLaunchDefaultBrowser(req.target) : wxLaunchDefaultApplication(req.target);
  return static_cast<int>(ok ? IDOK : IDCANCEL);
}

void RegisterAppDialogs() {
  CDlgNewName::Register();
  RegisterBackupDialogs();
  RegisterProjectDialogs();
  RegisterDeviceDialogs();
  RegisterFieldBusDialogs();
  RegisterParameterDialogs();
  RegisterDataPointDialogs();
  RegisterTransferDialogs();
  RegisterStringDialog();
  RegisterResourceDialogs();
  RegisterSetupDialogs();
  RegisterExchangeDialogs();
  RegisterDownloadDialogs();
  hv::Ui().Register<hv::ShellOpenRequest>(RunShellOpen);
  hv::Ui().Register<AboutRequest>([](AboutRequest& req) {
    CAboutDlg dlg(wxTheApp->GetTopWindow(), req);
    dlg.ShowModal();
    return static_cast<int>(IDOK);
  });
  hv::Ui().Register<hv::SelectLanguageRequest>([](hv::SelectLanguageRequest& req) {
    wxArrayString names;
    for (size_t i = 0; i < req.codes.size(); ++i) names.Add(i < req.names.size() ? req.names[i] : req.codes[i]);
    wxSingleChoiceDialog dlg(wxTheApp->GetTopWindow(), hv::LocalString(10155, wxS("Sprache auswählen")),
                             wxS("Halvora"), names);
    if (req.number >= 0 && req.number < static_cast<int>(names.size())) dlg.SetSelection(req.number);
    if (dlg.ShowModal() != wxID_OK) return static_cast<int>(IDCANCEL);
    req.number = dlg.GetSelection();
    return static_cast<int>(IDOK);
  });
}
