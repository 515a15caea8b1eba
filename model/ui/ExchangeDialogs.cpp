#include "model/ui/ExchangeDialogs.h"

#include <dlfcn.h>

#include <wx/filedlg.h>
#include <wx/filedlgcustomize.h>
#include <wx/timer.h>

#include "framework/DialogTexts.h"
#include "framework/Services.h"
#include "framework/SettingsFile.h"
#include "model/DataPointExchange.h"
#include "model/ModelServices.h"
#include "model/ui/DialogParent.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/Localization.h"
#include "platform/Ui.h"

namespace {

// The system's file dialog with controls of ours below it. GTK sizes that row by its own
// request, which knows nothing of the controls' sizes: the row showed as one letter.
class CFileDialogWithRow : public wxFileDialog {
 public:
  using wxFileDialog::wxFileDialog;
  int ShowModal() override {
    CreateExtraControl();
    if (wxWindow* row = GetExtraControl()) {
      FitRow(row);
      // Once more when the dialog stands: GTK allocated the row before it was shown.
      m_refit.Bind(wxEVT_TIMER, [row](wxTimerEvent&) { FitRow(row); });
      m_refit.StartOnce(50);
    }
    return wxFileDialog::ShowModal();
  }

 private:
  static void FitRow(wxWindow* row) {
    row->Layout();
    const wxSize need = row->GetBestSize();
    row->SetSize(need);
#ifdef __WXGTK__
    // The toolkit's own call, found in the GTK library wx runs on.
    using SizeRequest = void (*)(void* widget, int width, int height);
    if (auto request = reinterpret_cast<SizeRequest>(dlsym(RTLD_DEFAULT, "gtk_widget_set_size_request")))
      request(row->GetHandle(), need.GetWidth(), need.GetHeight());
#endif
    row->Layout();
  }
  wxTimer m_refit;
};

// Protocol and port below the system's save dialog.
class CDlgDPExportToWagoXML : public wxFileDialogCustomizeHook {
 public:
  explicit CDlgDPExportToWagoXML(DpXmlExportRequest& request) : m_request(request) {}
  void AddCustomControls(wxFileDialogCustomize& customizer) override {
    customizer.AddStaticText(DlgText(wxS("Protokoll:")));
    const wxString protocols[] = {wxS("TCP"), wxS("UDP")};
    m_protocol = customizer.AddChoice(2, protocols);
    m_protocol->SetSelection(m_request.protocol == 1 ? 1 : 0);
    customizer.AddStaticText(DlgText(wxS("Port:")));
    m_port = customizer.AddTextCtrl();
    m_port->SetValue(m_portText.empty() ? wxString::Format("%ld", m_request.port) : m_portText);
  }
  void TransferDataFromCustomControls() override {
    m_request.protocol = m_protocol->GetSelection() == 1 ? 1 : 0;
    m_portText = m_port->GetValue();
  }
  const wxString& PortText() const { return m_portText; }

 private:
  DpXmlExportRequest& m_request;
  wxFileDialogChoice* m_protocol = nullptr;
  wxFileDialogTextCtrl* m_port = nullptr;
  wxString m_portText;
};

int RunDpXmlExport(DpXmlExportRequest& request) {
  // GTK patterns are case-sensitive: offer the upper-case ending as well.
  wxString filter = request.filter;
  filter.Replace(wxS("||"), wxString());
  filter.Replace(wxS("*.xml|*.xml"), wxS("*.xml|*.xml;*.XML"));
  wxString name = request.fileName;
  for (;;) {
    CFileDialogWithRow dlg(DialogParent(), hv::LocalString(13950, wxS("Datenpunkte als XML exportieren")), request.folder, name,
                     filter, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    CDlgDPExportToWagoXML hook(request);
    dlg.SetCustomizeHook(hook);
    if (dlg.ShowModal() != wxID_OK) return IDCANCEL;
    name = dlg.GetFilename();
    request.folder = dlg.GetDirectory();
    if (ParsePort(hook.PortText(), request.port)) {
      request.path = dlg.GetPath();
      return IDOK;
    }
    // The system dialog cannot refuse its OK: tell why and ask again.
    hv::ShowMessage(11801, wxS("Der Port muss eine ganze Zahl von 1 bis 65535 sein."), MB_OK | MB_ICONEXCLAMATION);
  }
}

// Separator and "Tabstop" below the system's file dialog; the separator is editable
// only while tab stop is off.
class CDlgExportImportCSV : public wxFileDialogCustomizeHook {
 public:
  explicit CDlgExportImportCSV(CsvExchangeRequest& request) : m_request(request) {}
  void AddCustomControls(wxFileDialogCustomize& customizer) override {
    customizer.AddStaticText(DlgText(wxS("Trennzeichen:")));
    m_separator = customizer.AddTextCtrl();
    m_separator->SetValue(m_request.separator);
    m_tab = customizer.AddCheckBox(DlgText(wxS("Tabstop")));
    m_tab->SetValue(m_request.tabStop);
    m_separator->Enable(!m_request.tabStop);
    m_tab->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) { m_separator->Enable(!event.IsChecked()); });
  }
  void TransferDataFromCustomControls() override {
    m_request.separator = m_separator->GetValue().Left(1);
    m_request.tabStop = m_tab->GetValue();
  }

 private:
  CsvExchangeRequest& m_request;
  wxFileDialogTextCtrl* m_separator = nullptr;
  wxFileDialogCheckBox* m_tab = nullptr;
};

int RunCsvExchange(CsvExchangeRequest& request) {
  const wxString profilePath = hv::Service<hv::IApplicationState>().ProfilePath();
  CSettingsFile profile(profilePath.empty() ? hv::JoinPath(hv::UserFolder(), "Project.INI") : profilePath);
  LoadCsvOptions(profile, request);
  wxString name = request.fileName;
  for (;;) {
    const long style = request.import ? wxFD_OPEN | wxFD_FILE_MUST_EXIST : wxFD_SAVE;
    CFileDialogWithRow dlg(DialogParent(), CsvExchangeTitle(request), request.folder, name, request.filter, style);
    CDlgExportImportCSV hook(request);
    dlg.SetCustomizeHook(hook);
    if (dlg.ShowModal() != wxID_OK) return IDCANCEL;
    name = dlg.GetFilename();
    request.folder = dlg.GetDirectory();
    request.path = dlg.GetPath();
    if (AcceptCsvExchange(request, profile)) return IDOK;
  }
}

}  // namespace

void RegisterExchangeDialogs() {
  hv::Ui().Register<DpXmlExportRequest>(RunDpXmlExport);
  hv::Ui().Register<CsvExchangeRequest>(RunCsvExchange);
}
