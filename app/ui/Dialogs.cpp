#include "app/ui/Dialogs.h"

#include <wx/app.h>
#include <wx/choicdlg.h>
#include "app/ui/StaticControls.h"
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/dialog.h>
#include <wx/button.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include "app/TavProjectApp.h"
#include "app/ui/DlgNewName.h"
#include "framework/Launcher.h"
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

namespace {

// Watches a started opener for a while: "xdg-open" says that it found no program for
// the file only by its exit status (and a line on standard error, which no user reads).
class OpenerWatch : public wxEvtHandler {
 public:
  OpenerWatch(DWORD pid, UINT id, const wxString& text) : m_pid(pid), m_id(id), m_text(text), m_timer(this) {
    Bind(wxEVT_TIMER, &OpenerWatch::OnTick, this);
    m_started = wxGetLocalTimeMillis();
    m_timer.Start(kPollMs);
  }

 private:
  // An opener that waits for the program it started (its generic mode does) ends much
  // later, with that program's status: only an early end is its own verdict.
  static constexpr int kPollMs = 100;
  static constexpr long kVerdictMs = 10000;

  void OnTick(wxTimerEvent&) {
    int status = 0;
    const bool ended = WaitForLaunchedProcess(m_pid, 0, &status);
    const bool late = (wxGetLocalTimeMillis() - m_started).GetValue() > kVerdictMs;
    if (!ended && !late) return;
    m_timer.Stop();
    if (ended && status != 0) hv::Ui().Message(m_id, m_text, MB_OK | MB_ICONEXCLAMATION);
    if (wxTheApp) wxTheApp->ScheduleForDestruction(this);
  }

  DWORD m_pid;
  UINT m_id;
  wxString m_text;
  wxTimer m_timer;
  wxLongLong m_started;
};

}  // namespace

int RunShellOpen(hv::ShellOpenRequest& req) {
  if (req.isAddress) return static_cast<int>(wxLaunchDefaultBrowser(req.target) ? IDOK : IDCANCEL);
  // The desktop's default application for a file is reached through its opener.
  const wxString opener = FindProgram(wxString::FromUTF8(hv::kDesktopOpener));
  DWORD pid = 0;
  if (opener.empty() || StartReapedProcess({opener, req.target}, wxString(), pid) != 0)
    return static_cast<int>(IDCANCEL);
  if (req.failureId) new OpenerWatch(pid, req.failureId, req.failureText);
  return static_cast<int>(IDOK);
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
