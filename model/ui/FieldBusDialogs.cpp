// CDlgNetwork, the field-bus device's sheet CPSDevice with CPPDeviceGeneral,
// CDlgAutoscan, CDlgAddScanedDevices and CDlgSelectDevice: windows over the core
// controllers, which decide everything.
#include "model/ui/FieldBusDialogs.h"

#include <wx/activityindicator.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include "app/ui/ComboBox.h"
#include "app/ui/EditControls.h"
#include "app/ui/PropertySheet.h"
#include "framework/DialogTexts.h"
#include "model/FieldBusRequests.h"
#include "model/FieldDevice.h"
#include "model/Network.h"
#include "model/ui/DialogParent.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "resources/ui/DibStatic.h"

namespace {

wxTextCtrl* Row(wxWindow* parent, wxFlexGridSizer* grid, int id, const wxString& label, const wxString& value,
                bool readOnly = false) {
  grid->Add(new wxStaticText(parent, wxID_ANY, DlgText(label)), 0, wxALIGN_CENTER_VERTICAL);
  auto* edit = new wxTextCtrl(parent, id, value, wxDefaultPosition, wxSize(260, -1), readOnly ? wxTE_READONLY : 0);
  grid->Add(edit, 1, wxEXPAND);
  return edit;
}

// The drivers' names, each item keeping the driver's file title; refilled after the
// user's own choice in the list, which keeps the keys.
void FillDrivers(CEComboBox* box, const std::vector<hv::PluginChoice>& drivers, int selected) {
  std::vector<wxString> texts, keys;
  for (const hv::PluginChoice& d : drivers) {
    texts.push_back(d.displayName);
    keys.push_back(d.title);
  }
  box->ReplaceContent(texts, keys);
  if (selected >= 0 && selected < static_cast<int>(drivers.size()))
    box->SelectKey(drivers[static_cast<size_t>(selected)].title);
}

// Dialog 121 "Netzwerk".
class CDlgNetwork : public wxDialog {
 public:
  CDlgNetwork(wxWindow* parent, hv::NetworkDialogRequest& r)
      : wxDialog(parent, 121, DlgText(wxS("Netzwerk"))), m_r(r), m_c(r) {
    m_c.Init();
    auto* grid = new wxFlexGridSizer(2, 6, 8);
    grid->AddGrowableCol(1);
    m_name = Row(this, grid, 1025, wxS("Name:"), r.network->GetName());
    m_name->SetMaxLength(30);
    grid->Add(new wxStaticText(this, wxID_ANY, DlgText(wxS("Treiber:"))), 0, wxALIGN_CENTER_VERTICAL);
    auto* driverRow = new wxBoxSizer(wxHORIZONTAL);
    m_driver = new CEComboBox(this, 1069);
    FillDrivers(m_driver, r.drivers, r.driverIndex);
    driverRow->Add(m_driver, 1, wxRIGHT, 4);
    auto* settings = new wxButton(this, 1070, wxS("..."), wxDefaultPosition, wxSize(36, -1));
    driverRow->Add(settings);
    grid->Add(driverRow, 1, wxEXPAND);
    m_slot = Row(this, grid, 1077, wxS("Slot:"), r.network->GetSlot());
    m_param = Row(this, grid, 1074, wxS("Parameter:"), r.network->GetParameter());
    Row(this, grid, 1072, wxS("ID:"), wxString::Format("%u", unsigned(r.network->GetNumber())), true);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(grid, 1, wxALL | wxEXPAND, 10);
    sizer->Add(CreateButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxALIGN_RIGHT, 10);
    SetSizerAndFit(sizer);
    m_driver->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
      m_c.SelectDriver(m_driver->GetSelection());
      Show();
    });
    settings->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      Save();
      if (m_c.EditDriverParameters()) Show();
    });
  }
  bool TransferDataFromWindow() override {
    Save();
    const hv::Refusal refusal = m_c.Accept(m_name->GetValue());
    if (!refusal) return true;
    (refusal.focus == hv::FieldBusControl::Driver ? static_cast<wxWindow*>(m_driver) : m_name)->SetFocus();
    return false;
  }

 private:
  void Save() {
    m_r.network->SetSlot(m_slot->GetValue());
    m_r.network->SetParameter(m_param->GetValue());
  }
  void Show() {
    m_slot->ChangeValue(m_r.network->GetSlot());
    m_param->ChangeValue(m_r.network->GetParameter());
  }

  hv::NetworkDialogRequest& m_r;
  hv::NetworkDialogController m_c;
  wxTextCtrl* m_name = nullptr;
  CEComboBox* m_driver = nullptr;
  wxTextCtrl* m_slot = nullptr;
  wxTextCtrl* m_param = nullptr;
};

// The model of the page "Allgemein": the controller's checks as the sheet's page check.
class CDeviceGeneralModel : public CSheetPage {
 public:
  explicit CDeviceGeneralModel(hv::DeviceSheetRequest& r) : c(r) {}
  void OnInit() override { c.Init(); }
  PageCheck OnKillActive() override {
    const hv::Refusal refusal = c.Accept(name);
    // The sheet puts the focus on the control of this id.
    const int field = refusal.focus == hv::FieldBusControl::Driver     ? 1069
                      : refusal.focus == hv::FieldBusControl::Settings ? 1070
                                                                       : 1076;
    return PageCheck{refusal.text, refusal ? field : 0, refusal.select};
  }
  hv::DeviceGeneralController c;
  wxString name;
};

// Dialog 119 "Allgemein" of CPSDevice.
class CPPDeviceGeneral : public CPropertyPagePanel {
 public:
  CPPDeviceGeneral(wxWindow* parent, hv::DeviceSheetRequest& r, CDeviceGeneralModel& model)
      : CPropertyPagePanel(parent), m_r(r), m_model(model) {
    auto* grid = new wxFlexGridSizer(2, 6, 8);
    grid->AddGrowableCol(1);
    grid->Add(new wxStaticText(this, wxID_ANY, DlgText(wxS("Name:"))), 0, wxALIGN_CENTER_VERTICAL);
    m_name = new wxComboBox(this, 1076, r.device->GetName(), wxDefaultPosition, wxSize(260, -1));
    m_nameEdit.AttachTo(m_name);
    m_nameEdit.SetForbiddenCharset(ForbiddenNameCharset(false));
    grid->Add(m_name, 1, wxEXPAND);
    Row(this, grid, 1030, wxS("Netzwerk:"), r.networkName, true);
    grid->Add(new wxStaticText(this, wxID_ANY, DlgText(wxS("Treiber:"))), 0, wxALIGN_CENTER_VERTICAL);
    auto* driverRow = new wxBoxSizer(wxHORIZONTAL);
    m_driver = new CEComboBox(this, 1069);
    driverRow->Add(m_driver, 1, wxRIGHT, 4);
    m_settings = new wxButton(this, 1070, wxS("..."), wxDefaultPosition, wxSize(36, -1));
    driverRow->Add(m_settings);
    grid->Add(driverRow, 1, wxEXPAND);
    m_node = Row(this, grid, 1073, wxS("Knoten:"), {});
    m_param = Row(this, grid, 1074, wxS("Parameter:"), {});
    m_id = Row(this, grid, 1072, wxS("ID:"), {}, true);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(grid, 1, wxALL | wxEXPAND, 10);
    SetSizer(sizer);
    m_name->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent&) {
      if (m_name->GetSelection() == wxNOT_FOUND) return;
      m_listIndex = m_name->GetSelection();
      SaveToModel();
      m_model.c.PickProjectDevice(m_listIndex);
      m_name->ChangeValue(m_r.device->GetName());
      LoadFromModel();
    });
    // The toolkit drops the list's selection as soon as the text is typed over (and
    // keeps it when the text came from the list): the last entry picked stands for it.
    m_name->Bind(wxEVT_TEXT, [this](wxCommandEvent& event) {
      event.Skip();
      if (m_name->GetSelection() != wxNOT_FOUND) return;
      SaveToModel();
      m_model.c.NameTyped(m_name->GetValue(), m_listIndex);
      m_node->ChangeValue(m_r.device->GetNode());
      m_param->ChangeValue(m_r.device->GetParameter());
    });
    m_driver->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
      SaveToModel();
      m_model.c.SelectDriver(m_driver->GetSelection());
      LoadFromModel();
    });
    // The device's settings need the page's fields first: a missing driver is said.
    m_settings->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      if (!CheckControls()) return;
      SaveToModel();
      if (const hv::Refusal refusal = m_model.c.SaveFields(m_model.name)) {
        Focus(refusal);
        return;
      }
      if (m_model.c.EditDeviceParameters()) LoadFromModel();
    });
  }
  void LoadFromModel() override {
    if (m_name->IsListEmpty()) {
      for (const wxString& n : m_r.projectDevices) m_name->Append(n);
      m_listIndex = m_name->FindString(m_name->GetValue(), true);
    }
    FillDrivers(m_driver, m_r.drivers, m_r.driverIndex);
    m_node->ChangeValue(m_r.device->GetNode());
    m_param->ChangeValue(m_r.device->GetParameter());
    m_id->ChangeValue(wxString::Format("%u", unsigned(m_r.device->GetNumber())));
  }
  // A '.' is the page's own refusal (10347) when its fields are taken.
  bool CheckControls() override {
    return (m_name->GetValue().Contains(wxS(".")) || m_nameEdit.CheckForbidden()) && Validate();
  }
  void SaveToModel() override {
    m_model.name = m_name->GetValue();
    m_r.device->SetNode(m_node->GetValue());
    m_r.device->SetParameter(m_param->GetValue());
  }

 private:
  void Focus(const hv::Refusal& refusal) {
    if (refusal.focus == hv::FieldBusControl::Driver) {
      m_driver->SetFocus();
      return;
    }
    m_name->SetFocus();
    if (refusal.select >= 0) m_name->SetSelection(refusal.select, refusal.select + 1);
  }

  hv::DeviceSheetRequest& m_r;
  CDeviceGeneralModel& m_model;
  wxComboBox* m_name = nullptr;
  int m_listIndex = wxNOT_FOUND;   // the name list's entry last picked or loaded
  CEEditCharset m_nameEdit;
  CEComboBox* m_driver = nullptr;
  wxButton* m_settings = nullptr;
  wxTextCtrl* m_node = nullptr;
  wxTextCtrl* m_param = nullptr;
  wxTextCtrl* m_id = nullptr;
};

// The field-bus device's sheet: its one page "Allgemein".
// The sheet's base uses its controller while it is built and destroyed: controller and
// page model are made before it and outlive it.
struct CDeviceSheetParts {
  explicit CDeviceSheetParts(hv::DeviceSheetRequest& r) : general(r) {}
  CSheetController controller;
  CDeviceGeneralModel general;
};

class CPSDevice : public CPropertySheetDlg {
 public:
  CPSDevice(wxWindow* parent, hv::DeviceSheetRequest& r, CDeviceSheetParts& parts)
      : CPropertySheetDlg(parent, r.caption, parts.controller) {
    parts.controller.AddPage(&parts.general);
    auto* page = new CPPDeviceGeneral(GetBookCtrl(), r, parts.general);
    AddPage(page, DlgText(wxS("Allgemein")));
    // Only when the PC is attached to this very network.
    if (parts.general.c.CanAutoscan()) {
      wxButton* scan = AddExtraButton(415, hv::LocalString(10177, wxS("&Autoscan")));
      scan->Bind(wxEVT_BUTTON, [page, &parts](wxCommandEvent&) {
        page->SaveToModel();
        if (parts.general.c.Autoscan()) page->LoadFromModel();
      });
      scan->Show();
    }
  }
};

// Dialog 125 "AutoScan": the timer drives the scan's steps.
class CDlgAutoscan : public wxDialog {
 public:
  CDlgAutoscan(wxWindow* parent, hv::AutoscanRequest& r)
      : wxDialog(parent, 125, DlgText(wxS("AutoScan"))), m_c(r), m_timer(this, 1) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    m_busy = new wxActivityIndicator(this, 1112);
    sizer->Add(m_busy, 0, wxALL | wxALIGN_CENTER, 10);
    sizer->Add(new wxStaticText(this, wxID_ANY, DlgText(wxS("Letzte Aktion:"))), 0, wxLEFT | wxRIGHT, 10);
    m_status = new wxTextCtrl(this, 1113, {}, wxDefaultPosition, wxSize(300, -1), wxTE_READONLY);
    sizer->Add(m_status, 0, wxALL | wxEXPAND, 10);
    sizer->Add(new wxButton(this, wxID_CANCEL, DlgText(wxS("Abbrechen"))), 0, wxALL | wxALIGN_CENTER, 10);
    SetSizerAndFit(sizer);
    m_busy->Start();
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Step(); });
    if (!m_timer.Start(500)) {
      hv::ShowMessage(10041, wxS("Fehler beim Erzeugen eines Timers!"), MB_ICONINFORMATION);
      CallAfter([this] { EndModal(wxID_CANCEL); });
    }
  }
  ~CDlgAutoscan() override {
    m_timer.Stop();
    m_c.Close();
  }

 private:
  void Step() {
    const int result = m_c.Tick();
    m_status->ChangeValue(m_c.Status());
    m_status->Update();
    if (!result) return;
    m_timer.Stop();
    EndModal(result == IDOK ? wxID_OK : wxID_CANCEL);
  }

  hv::AutoscanController m_c;
  wxTimer m_timer;
  wxActivityIndicator* m_busy = nullptr;
  wxTextCtrl* m_status = nullptr;
};

// Dialog 126 "Geräte hinzufügen".
class CDlgAddScanedDevices : public wxDialog {
 public:
  CDlgAddScanedDevices(wxWindow* parent, hv::AddScannedDevicesController& c)
      : wxDialog(parent, 126, DlgText(wxS("Geräte hinzufügen"))), m_c(c) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* lists = new wxBoxSizer(wxHORIZONTAL);
    auto* left = new wxBoxSizer(wxVERTICAL);
    left->Add(new wxStaticText(this, wxID_ANY, DlgText(wxS("Gefundene Geräte:"))));
    m_found = new wxListBox(this, 1055, wxDefaultPosition, wxSize(260, 180));
    m_found->SetFont(wxFont(wxFontInfo().Family(wxFONTFAMILY_TELETYPE)));
    left->Add(m_found, 1, wxEXPAND);
    lists->Add(left, 1, wxALL | wxEXPAND, 6);
    auto* middle = new wxBoxSizer(wxVERTICAL);
    m_add = new wxButton(this, 1116, DlgText(wxS("&Hinzufügen")));
    middle->Add(m_add, 0, wxTOP, 24);
    lists->Add(middle, 0, wxALL, 6);
    auto* right = new wxBoxSizer(wxVERTICAL);
    right->Add(new wxStaticText(this, wxID_ANY, DlgText(wxS("Vorhandene Geräte:"))));
    m_existing = new wxListBox(this, 1045, wxDefaultPosition, wxSize(260, 180));
    m_existing->SetFont(m_found->GetFont());
    right->Add(m_existing, 1, wxEXPAND);
    lists->Add(right, 1, wxALL | wxEXPAND, 6);
    sizer->Add(lists, 1, wxEXPAND);
    m_details = new wxStaticText(this, 1118, {}, wxDefaultPosition, wxSize(-1, 80));
    sizer->Add(m_details, 0, wxALL | wxEXPAND, 10);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(new wxButton(this, 1117, DlgText(wxS("Info"))), 0, wxRIGHT, 8);
    buttons->Add(new wxButton(this, wxID_OK, DlgText(wxS("Schließen"))));
    sizer->Add(buttons, 0, wxALL | wxALIGN_RIGHT, 10);
    SetSizerAndFit(sizer);
    Fill();
    m_found->Bind(wxEVT_LISTBOX, [this](wxCommandEvent&) { Selected(); });
    m_found->Bind(wxEVT_LISTBOX_DCLICK, [this](wxCommandEvent&) { Add(); });
    m_add->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Add(); });
  }

 private:
  void Fill() {
    m_found->Clear();
    for (const wxString& t : m_c.FoundTexts()) m_found->Append(t);
    m_existing->Clear();
    for (const wxString& t : m_c.Existing()) m_existing->Append(t);
    Selected();
  }
  void Selected() {
    const int i = m_found->GetSelection();
    const bool valid = i != wxNOT_FOUND && i < static_cast<int>(m_c.Found().size());
    m_details->SetLabel(valid ? m_c.Found()[i].DetailText() : wxString());
    m_add->Enable(valid);
  }
  void Add() {
    const int i = m_found->GetSelection();
    if (i == wxNOT_FOUND) return;
    if (m_c.Add(static_cast<size_t>(i))) Fill();
  }

  hv::AddScannedDevicesController& m_c;
  wxListBox* m_found = nullptr;
  wxListBox* m_existing = nullptr;
  wxButton* m_add = nullptr;
  wxStaticText* m_details = nullptr;
};

// Dialog 139 "Gerät auswählen".
class CDlgSelectDevice : public wxDialog {
 public:
  CDlgSelectDevice(wxWindow* parent, hv::SelectDeviceRequest& r, hv::SelectDeviceController& c)
      : wxDialog(parent, 139, DlgText(wxS("Gerät auswählen"))), m_r(r), m_c(c) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(new wxStaticText(this, wxID_ANY, DlgText(wxS("Gefundene Geräte:"))), 0, wxLEFT | wxTOP, 10);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    m_list = new wxListBox(this, 1055, wxDefaultPosition, wxSize(300, 180));
    m_list->SetFont(wxFont(wxFontInfo().Family(wxFONTFAMILY_TELETYPE)));
    for (const wxString& t : r.texts) m_list->Append(t);
    row->Add(m_list, 1, wxALL | wxEXPAND, 6);
    m_picture = new CDIBStatic(this, 1144, wxSize(120, 120));
    row->Add(m_picture, 0, wxALL, 6);
    sizer->Add(row, 1, wxEXPAND);
    m_details = new wxStaticText(this, 1118, {}, wxDefaultPosition, wxSize(-1, 80));
    sizer->Add(m_details, 0, wxALL | wxEXPAND, 10);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(new wxButton(this, 1117, DlgText(wxS("Info"))), 0, wxRIGHT, 8);
    buttons->Add(new wxButton(this, wxID_OK, wxS("OK")), 0, wxRIGHT, 8);
    buttons->Add(new wxButton(this, wxID_CANCEL, DlgText(wxS("Abbrechen"))));
    sizer->Add(buttons, 0, wxALL | wxALIGN_RIGHT, 10);
    SetSizerAndFit(sizer);
    if (r.selected >= 0) m_list->SetSelection(r.selected);
    Show();
    m_list->Bind(wxEVT_LISTBOX, [this](wxCommandEvent&) {
      m_c.Select(m_list->GetSelection());
      Show();
    });
  }

 private:
  void Show() {
    m_details->SetLabel(m_c.Details());
    FindWindow(wxID_OK)->Enable(m_r.selected >= 0);
    const wxString picture = m_c.PicturePath();
    if (picture.empty()) m_picture->Clear();
    else m_picture->LoadDib(picture);
  }

  hv::SelectDeviceRequest& m_r;
  hv::SelectDeviceController& m_c;
  wxListBox* m_list = nullptr;
  CDIBStatic* m_picture = nullptr;
  wxStaticText* m_details = nullptr;
};

int Result(int wxResult) { return wxResult == wxID_OK ? IDOK : IDCANCEL; }

}  // namespace

void RegisterFieldBusDialogs() {
  hv::Ui().Register<hv::NetworkDialogRequest>([](hv::NetworkDialogRequest& r) {
    CDlgNetwork dlg(DialogParent(), r);
    return Result(dlg.ShowModal());
  });
  hv::Ui().Register<hv::DeviceSheetRequest>([](hv::DeviceSheetRequest& r) {
    CDeviceSheetParts parts(r);
    CPSDevice sheet(DialogParent(), r, parts);
    return sheet.Run();
  });
  hv::Ui().Register<hv::AutoscanRequest>([](hv::AutoscanRequest& r) {
    CDlgAutoscan dlg(DialogParent(), r);
    return Result(dlg.ShowModal());
  });
  hv::Ui().Register<hv::AddScannedDevicesRequest>([](hv::AddScannedDevicesRequest& r) {
    hv::AddScannedDevicesController c(r);
    if (!c.Refresh()) return static_cast<int>(IDCANCEL);
    CDlgAddScanedDevices dlg(DialogParent(), c);
    dlg.ShowModal();
    return static_cast<int>(IDOK);
  });
  hv::Ui().Register<hv::SelectDeviceRequest>([](hv::SelectDeviceRequest& r) {
    hv::SelectDeviceController c(r);
    if (!c.Init()) return static_cast<int>(IDCANCEL);
    CDlgSelectDevice dlg(DialogParent(), r, c);
    return Result(dlg.ShowModal());
  });
}
