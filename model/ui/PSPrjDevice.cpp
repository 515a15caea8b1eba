// The project device's sheet: thin panels over the sheet's page models, the fonts page,
// and the Autoscan button that only the general page shows.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choicdlg.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/ui/ComboBox.h"
#include "app/ui/EditControls.h"
#include "app/ui/PropertySheet.h"
#include "framework/DialogTexts.h"
#include "framework/ui/DialogLayout.h"
#include "model/NewDevice.h"
#include "model/PrjDevice.h"
#include "model/PrjDeviceSheet.h"
#include "model/Project.h"
#include "model/ui/DeviceDialogs.h"
#include "model/ui/DialogParent.h"
#include "platform/Localization.h"
#include "platform/Ui.h"
#include "resources/ui/DibStatic.h"
#include "resources/ui/PPFonts.h"

namespace {

wxString L(UINT id, const wxChar* german) { return hv::LocalString(id, german); }

void AddRow(wxWindow* parent, wxFlexGridSizer* grid, const wxString& label, wxWindow* field, wxWindow* button = nullptr) {
  grid->Add(new wxStaticText(parent, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
  if (!button) {
    grid->Add(field, 1, wxEXPAND);
    return;
  }
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(field, 1, wxALIGN_CENTER_VERTICAL);
  row->Add(button, 0, wxLEFT, 4);
  grid->Add(row, 1, wxEXPAND);
}

wxButton* Dots(wxWindow* parent, int id) { return new wxButton(parent, id, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT); }

class ConnectionPanel : public CPropertyPagePanel {
 public:
  ConnectionPanel(wxWindow* parent, CPPPrjDeviceConnection& page) : CPropertyPagePanel(parent), m_page(page) {
    auto* grid = new wxFlexGridSizer(2, 6, 8);
    grid->AddGrowableCol(1);
    m_network = new CEComboBox(this, CPPPrjDeviceConnection::IDC_NETWORK);
    m_network->SetValidator(CCBKeyValidator(&m_networkKey));
    AddRow(this, grid, L(11441, wxS("Netzwerk:")), m_network, Dots(this, CPPPrjDeviceConnection::IDC_SETTINGS));
    m_slot = new wxTextCtrl(this, CPPPrjDeviceConnection::IDC_SLOT, wxString(), wxDefaultPosition, wxDefaultSize,
                            wxTE_READONLY);
    AddRow(this, grid, L(11434, wxS("Slot:")), m_slot);
    m_parameters = new wxTextCtrl(this, CPPPrjDeviceConnection::IDC_PARAMETERS, wxString(), wxDefaultPosition,
                                  wxSize(320, -1), wxTE_READONLY);
    AddRow(this, grid, L(11442, wxS("Parameter:")), m_parameters);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(grid, 0, wxEXPAND | wxALL, 10);
    SetSizerAndFit(sizer);
    m_network->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
      m_page.SelectNetwork(m_network->GetSelection());
      LoadFromModel();
    });
    FindWindow(CPPPrjDeviceConnection::IDC_SETTINGS)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      if (m_page.NetworkSettings()) LoadFromModel();
    });
  }
  void LoadFromModel() override {
    // Entries show the driver's name and keep its file title.
    std::vector<wxString> texts, keys;
    for (const auto& d : m_page.Drivers()) {
      texts.push_back(d.display);
      keys.push_back(d.title);
    }
    m_network->ReplaceContent(texts, keys);
    const bool chosen = m_page.selected >= 0 && m_page.selected < static_cast<int>(m_page.Drivers().size());
    m_networkKey = chosen ? m_page.Drivers()[static_cast<size_t>(m_page.selected)].title : wxString();
    m_network->GetValidator()->TransferToWindow();
    m_slot->ChangeValue(m_page.slot);
    m_parameters->ChangeValue(m_page.parameters);
  }
  void SaveToModel() override {}

 private:
  CPPPrjDeviceConnection& m_page;
  CEComboBox* m_network;
  wxString m_networkKey;
  wxTextCtrl* m_slot;
  wxTextCtrl* m_parameters;
};

class GeneralPanel : public CPropertyPagePanel {
 public:
  GeneralPanel(wxWindow* parent, CPPPrjDeviceGeneral& page) : CPropertyPagePanel(parent), m_page(page) {
    using G = CPPPrjDeviceGeneral;
    auto* grid = new wxFlexGridSizer(2, 6, 8);
    grid->AddGrowableCol(1);
    m_name = new wxTextCtrl(this, G::IDC_NAME);
    m_name->SetMaxLength(G::kNameMax);
    m_nameEdit.AttachTo(m_name);
    m_nameEdit.SetForbiddenCharset(DeviceNameForbiddenCharset());
    AddRow(this, grid, DlgText(wxS("Name:")), m_name);
    m_number = new wxTextCtrl(this, G::IDC_NUMBER, wxString(), wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
    AddRow(this, grid, L(11663, wxS("ID:")), m_number);
    m_type = new wxChoice(this, G::IDC_TYPE);
    AddRow(this, grid, L(11443, wxS("Geräteart:")), m_type);
    m_driver = new CEComboBox(this, G::IDC_DRIVER);
    m_driver->SetValidator(CCBKeyValidator(&m_driverKey));
    AddRow(this, grid, L(11665, wxS("Treiber:")), m_driver, Dots(this, G::IDC_DRIVER_SETTINGS));
    m_node = new wxTextCtrl(this, G::IDC_NODE);
    m_node->SetMaxLength(G::kNodeMax);
    AddRow(this, grid, L(11435, wxS("Knoten:")), m_node);
    m_parameters = new wxTextCtrl(this, G::IDC_PARAMETERS, wxString(), wxDefaultPosition, wxSize(320, -1));
    m_parameters->SetMaxLength(G::kParametersMax);
    AddRow(this, grid, L(11442, wxS("Parameter:")), m_parameters);
    m_firmware = new CEComboBox(this, G::IDC_FIRMWARE);
    m_firmware->SetValidator(CCBItemDataValidator(&m_firmwareValue));
    grid->Add(m_firmwareLabel = new wxStaticText(this, G::IDC_FIRMWARE_LABEL, L(11444, wxS("FW-Version:"))), 0,
              wxALIGN_CENTER_VERTICAL);
    grid->Add(m_firmware, 1, wxEXPAND);
    m_remote = new wxChoice(this, G::IDC_REMOTE);
    grid->Add(m_remoteLabel = new wxStaticText(this, G::IDC_REMOTE_LABEL, L(11445, wxS("RemotePanel:"))), 0,
              wxALIGN_CENTER_VERTICAL);
    grid->Add(m_remote, 1, wxEXPAND);
    // The flag travels with the device but is not offered.
    m_compressed = new wxCheckBox(this, G::IDC_COMPRESSED, L(11666, wxS("Bitmaps komprimiert")));
    m_compressed->Disable();
    m_compressed->Hide();

    // "Geräteinformationen": the type's picture and its lines of facts.
    auto* group = new wxStaticBoxSizer(new wxStaticBox(this, G::IDC_INFO_GROUP, L(11664, wxS("Geräteinformationen"))),
                                       wxHORIZONTAL);
    m_picture = new CDIBStatic(group->GetStaticBox(), G::IDC_PICTURE, wxSize(160, 120));
    group->Add(m_picture, 0, wxALL, 6);
    m_info = new wxFlexGridSizer(2, 2, 12);
    // Sized for the most lines and the widest label before the sheet is fitted: a wizard
    // fills the page only after that.
    for (int i = 0; i < G::kMostInfoLines; ++i) {
      const bool numbered = i < G::kInfoLines;
      AddInfoLine(numbered ? G::IDC_INFO_LABEL + i : wxID_ANY, numbered ? G::IDC_INFO_VALUE + i : wxID_ANY);
    }
    for (const wxString& label : G::InfoLabels()) MinWidthForText(m_labels[0], label);
    MinWidthForText(m_values[0], "4294967296");   // 32 bits of colour
    group->Add(m_info, 1, wxEXPAND | wxALL, 6);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(grid, 0, wxEXPAND | wxALL, 10);
    sizer->Add(group, 1, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
    SetSizerAndFit(sizer);

    m_name->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
      m_page.parameters = m_parameters->GetValue();   // typed ones follow the folder too
      m_page.OnNameChanged(m_name->GetValue());
      m_parameters->ChangeValue(m_page.parameters);
    });
    m_type->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { Change([&] { m_page.OnTypeChanged(m_type->GetSelection()); }); });
    m_driver->Bind(wxEVT_CHOICE,
                   [this](wxCommandEvent&) { Change([&] { m_page.OnDriverChanged(m_driver->GetSelection()); }); });
    m_firmware->Bind(wxEVT_CHOICE,
                     [this](wxCommandEvent&) { Change([&] { m_page.OnFirmwareSelected(m_firmware->GetSelection()); }); });
    m_remote->Bind(wxEVT_CHOICE,
                   [this](wxCommandEvent&) { Change([&] { m_page.OnRemotePanelChanged(m_remote->GetSelection()); }); });
    FindWindow(G::IDC_DRIVER_SETTINGS)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      SaveToModel();
      if (m_page.SelectDriverParameters()) LoadFromModel();
    });
  }
  bool ReloadOnActivate() const override { return true; }
  void LoadFromModel() override {
    m_name->ChangeValue(m_page.name);
    m_number->ChangeValue(wxString::Format("%lu", static_cast<unsigned long>(m_page.deviceNumber)));
    Fill(m_type, m_page.types, m_page.type);
    std::vector<wxString> texts, keys;
    for (const auto& d : m_page.drivers) {
      texts.push_back(d.display);
      keys.push_back(d.key);
    }
    m_driver->ReplaceContent(texts, keys);
    m_driverKey = m_page.driver >= 0 ? m_page.drivers[static_cast<size_t>(m_page.driver)].key : wxString();
    m_driver->GetValidator()->TransferToWindow();
    texts.clear();
    for (const auto& f : m_page.firmwares) texts.push_back(f.text);
    m_firmware->ReplaceContent(texts, {});
    for (size_t i = 0; i < m_page.firmwares.size(); ++i)
      m_firmware->SetItemNumber(static_cast<int>(i), static_cast<DWORD>(m_page.firmwares[i].hundredths));
    m_firmwareValue = m_page.firmware >= 0 ? static_cast<DWORD>(m_page.firmwares[static_cast<size_t>(m_page.firmware)].hundredths)
                                           : static_cast<DWORD>(-1);
    m_firmware->GetValidator()->TransferToWindow();
    m_firmware->Enable(m_page.firmwareEnabled);
    m_firmwareLabel->Enable(m_page.firmwareEnabled);
    Fill(m_remote, m_page.remotePanels, m_page.remotePanel);
    m_remote->Enable(!m_page.remotePanels.empty());
    m_remoteLabel->Enable(!m_page.remotePanels.empty());
    m_node->ChangeValue(m_page.node);
    m_parameters->ChangeValue(m_page.parameters);
    m_compressed->SetValue(m_page.compressedBitmaps);
    ShowInformation();
  }
  bool CheckControls() override { return m_nameEdit.CheckForbidden() && Validate(); }
  void SaveToModel() override {
    m_page.name = m_name->GetValue();
    m_page.node = m_node->GetValue();
    m_page.parameters = m_parameters->GetValue();
    m_page.compressedBitmaps = m_compressed->GetValue();
    m_driver->GetValidator()->TransferFromWindow();
    m_page.driver = m_driver->Keys().FindExact(m_driverKey);
    m_firmware->GetValidator()->TransferFromWindow();
    for (size_t i = 0; i < m_page.firmwares.size(); ++i)
      if (static_cast<DWORD>(m_page.firmwares[i].hundredths) == m_firmwareValue) m_page.firmware = static_cast<int>(i);
  }

 private:
  template <class F>
  void Change(F f) {
    SaveToModel();
    f();
    LoadFromModel();
  }
  // Refilled after every change, also of the list itself: the keys stay in it.
  static void Fill(wxChoice* choice, const std::vector<wxString>& items, int selected) {
    ReplaceItems(choice, items);
    choice->SetSelection(selected >= 0 && selected < static_cast<int>(items.size()) ? selected : wxNOT_FOUND);
  }
  void AddInfoLine(int labelId, int valueId) {
    wxWindow* box = m_picture->GetParent();
    m_labels.push_back(new wxStaticText(box, labelId, wxString()));
    m_values.push_back(new wxStaticText(box, valueId, wxString()));
    m_info->Add(m_labels.back());
    m_info->Add(m_values.back());
  }
  void ShowInformation() {
    if (m_page.picture.empty()) m_picture->Clear();
    else m_picture->LoadDib(m_page.picture);
    // Lines beyond those foreseen are added rather than dropped.
    while (m_labels.size() < m_page.info.size()) AddInfoLine(wxID_ANY, wxID_ANY);
    for (size_t i = 0; i < m_labels.size(); ++i) {
      const bool used = i < m_page.info.size();
      m_labels[i]->SetLabel(used ? m_page.info[i].first : wxString());
      m_values[i]->SetLabel(used ? m_page.info[i].second : wxString());
    }
    Layout();
  }
  CPPPrjDeviceGeneral& m_page;
  wxTextCtrl* m_name;
  CEEditCharset m_nameEdit;
  wxTextCtrl* m_number;
  wxChoice* m_type;
  CEComboBox* m_driver;
  wxString m_driverKey;
  wxTextCtrl* m_node;
  wxTextCtrl* m_parameters;
  CEComboBox* m_firmware;
  DWORD m_firmwareValue = 0;
  wxStaticText* m_firmwareLabel;
  wxChoice* m_remote;
  wxStaticText* m_remoteLabel;
  wxCheckBox* m_compressed;
  CDIBStatic* m_picture;
  wxFlexGridSizer* m_info;
  std::vector<wxStaticText*> m_labels, m_values;
};

// The fonts page as one of the sheet's pages: the grid page does its own work.
class FontsPage : public CSheetPage {
 public:
  explicit FontsPage(CPPFonts*& panel) : m_panel(panel) {}
  void OnInit() override { m_panel->OnInitDialog(); }
  void OnSetActive() override { m_panel->OnSetActive(); }
  void OnOK() override { m_panel->OnOK(); }

 private:
  CPPFonts*& m_panel;
};

class FontsPanel : public CPropertyPagePanel {
 public:
  FontsPanel(wxWindow* parent, CPOPrjDevice* device, BOOL* flag) : CPropertyPagePanel(parent) {
    auto* project = dynamic_cast<CPOProject*>(device->GetParent());
    fonts = new CPPFonts(this, device, project, flag, device->IsUnicodeName());
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(fonts, 1, wxEXPAND);
    SetSizerAndFit(sizer);
  }
  void LoadFromModel() override {}
  void SaveToModel() override {}
  CPPFonts* fonts = nullptr;
};

class CPSPrjDeviceDlg : public CPropertySheetDlg {
 public:
  CPSPrjDeviceDlg(wxWindow* parent, const wxString& caption, CPSPrjDevice& sheet, BOOL* unicodeFlag)
      : CPropertySheetDlg(parent, caption, sheet), m_sheet(sheet), m_fontsPage(m_fonts) {
    auto* connection = new ConnectionPanel(GetBookCtrl(), sheet.Connection());
    auto* general = new GeneralPanel(GetBookCtrl(), sheet.General());
    const wxString generalTitle = L(11436, wxS("Allgemein")), connectionTitle = L(11440, wxS("PC-Verbindung"));
    if (sheet.IsWizard()) {
      AddPage(connection, connectionTitle);
      AddPage(general, generalTitle);
    } else {
      AddPage(general, generalTitle);
      AddPage(connection, connectionTitle);
      if (sheet.HasFontsPage()) {
        auto* fonts = new FontsPanel(GetBookCtrl(), &sheet.Device(), unicodeFlag);
        m_fonts = fonts->fonts;
        sheet.AddPage(&m_fontsPage);
        AddPage(fonts, CPPFonts::Title());
      }
    }
    AddExtraButton(ID_AUTOSCAN, L(10177, wxS("&Autoscan")))->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      if (m_sheet.Autoscan()) ReloadPage(m_sheet.IndexOf(&m_sheet.General()));
    });
  }

 private:
  CPSPrjDevice& m_sheet;
  CPPFonts* m_fonts = nullptr;
  FontsPage m_fontsPage;
};

}  // namespace

void RegisterPrjDeviceSheet() {
  hv::Ui().Register<PrjDeviceSheetRequest>([](PrjDeviceSheetRequest& r) {
    if (!r.device) return static_cast<int>(IDCANCEL);
    CPSPrjDevice sheet(*r.device, r.wizard != FALSE);
    BOOL unicode = r.device->GetUnicodeResource();
    CPSPrjDeviceDlg dlg(DialogParent(), r.caption, sheet, &unicode);
    const int result = dlg.Run();
    if (result == IDOK) r.device->SetUnicodeResource(unicode);
    return result;
  });
}
