// The settings sheet's window: four thin pages over the sheet's models, and the folder
// and file choices of the facade.
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/SetupSheet.h"
#include "app/ui/PropertySheet.h"
#include "framework/ChooseRequests.h"
#include "framework/DialogTexts.h"
#include "framework/ProgramDefaults.h"
#include "model/ui/DialogParent.h"
#include "platform/Localization.h"
#include "platform/Ui.h"

namespace {

wxString L(UINT id, const wxChar* german) { return hv::LocalString(id, german); }

// "Programme|*.EXE;*.COM|Alle Dateien (*.*)|*.*|" for the toolkit: no closing '|', and
// "*.*" matches every file here.
wxString ToolkitFilter(const wxString& filter) {
  wxString wildcard = filter;
  while (wildcard.EndsWith("|")) wildcard.RemoveLast();
  wildcard.Replace("|*.*", "|*");
  return wildcard;
}

wxBoxSizer* Row(wxWindow* parent, const wxString& label, wxWindow* field, wxWindow* button = nullptr) {
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(new wxStaticText(parent, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  row->Add(field, 1, wxALIGN_CENTER_VERTICAL);
  if (button) row->Add(button, 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 4);
  return row;
}

class GeneralPanel : public CPropertyPagePanel {
 public:
  GeneralPanel(wxWindow* parent, CPPOptionGeneral& page) : CPropertyPagePanel(parent), m_page(page) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    m_path = new wxTextCtrl(this, CPPOptionGeneral::IDC_PROJECTPATH);
    m_path->SetMaxLength(259);
    auto* browse = new wxButton(this, CPPOptionGeneral::IDC_BROWSE, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    sizer->Add(Row(this, L(11420, wxS("Projektpfad:")), m_path, browse), 0, wxEXPAND | wxALL, 8);
    auto* box = new wxStaticBoxSizer(wxVERTICAL, this, L(11421, wxS("Präfix beim Anlegen von Datenpunkten")));
    const wxString labels[] = {L(11422, wxS("Gerätename")), L(11423, wxS("Modulnummer")), L(11424, wxS("Kein"))};
    for (int i = 0; i < 3; ++i) {
      m_radio[i] = new wxRadioButton(box->GetStaticBox(), CPPOptionGeneral::IDC_PREFIX + i, labels[i],
                                     wxDefaultPosition, wxDefaultSize, i == 0 ? wxRB_GROUP : 0);
      box->Add(m_radio[i], 0, wxALL, 4);
    }
    sizer->Add(box, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
    SetSizerAndFit(sizer);
    browse->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      SaveToModel();
      if (m_page.Browse()) LoadFromModel();
    });
  }
  void LoadFromModel() override {
    m_path->ChangeValue(m_page.projectsPath);
    m_radio[m_page.prefixMode >= 0 && m_page.prefixMode < 3 ? m_page.prefixMode : 0]->SetValue(true);
  }
  void SaveToModel() override {
    m_page.projectsPath = m_path->GetValue();
    for (int i = 0; i < 3; ++i)
      if (m_radio[i]->GetValue()) m_page.prefixMode = i;
  }

 private:
  CPPOptionGeneral& m_page;
  wxTextCtrl* m_path;
  wxRadioButton* m_radio[3];
};

class ProgramsPanel : public CPropertyPagePanel {
 public:
  ProgramsPanel(wxWindow* parent, CPPPrograms& page) : CPropertyPagePanel(parent), m_page(page) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    m_types = new wxChoice(this, CPPPrograms::IDC_TYPES);
    sizer->Add(Row(this, DlgText(wxS("Objekttyp:")), m_types), 0, wxEXPAND | wxALL, 8);
    m_program = new wxTextCtrl(this, CPPPrograms::IDC_PROGRAM);
    m_program->SetMaxLength(kProgramPathMax);
    auto* browse = new wxButton(this, CPPPrograms::IDC_BROWSE, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    sizer->Add(Row(this, L(11425, wxS("Programm:")), m_program, browse), 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
    sizer->Add(new wxStaticText(this, wxID_ANY,
                                L(11426, wxS("Wählen Sie für jeden Objekttyp ein Programm mit dem dieser bearbeitet "
                                             "werden soll."))),
               0, wxALL, 8);
    SetSizerAndFit(sizer);
    m_types->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
      m_page.SelectRow(m_types->GetSelection(), m_program->GetValue());
      m_program->ChangeValue(m_page.Program());
    });
    browse->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      if (m_page.Browse(m_program->GetValue())) m_program->ChangeValue(m_page.Program());
    });
  }
  void LoadFromModel() override {
    m_types->Clear();
    for (size_t i = 0; i < m_page.RowCount(); ++i) m_types->Append(m_page.RowName(i));
    m_types->SetSelection(m_page.Row());
    m_program->ChangeValue(m_page.Program());
  }
  void SaveToModel() override { m_page.SetProgram(m_program->GetValue()); }

 private:
  CPPPrograms& m_page;
  wxChoice* m_types;
  wxTextCtrl* m_program;
};

class TavSimPanel : public CPropertyPagePanel {
 public:
  TavSimPanel(wxWindow* parent, CPPTavSim& page) : CPropertyPagePanel(parent), m_page(page) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    m_editor = new wxTextCtrl(this, CPPTavSim::IDC_EDITOR);
    m_editor->SetMaxLength(kProgramPathMax);
    auto* editorBrowse = new wxButton(this, CPPTavSim::IDC_EDITOR_BROWSE, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    sizer->Add(Row(this, L(11427, wxS("Editor:")), m_editor, editorBrowse), 0, wxEXPAND | wxALL, 8);
    auto* box = new wxStaticBoxSizer(wxVERTICAL, this, L(11428, wxS("Compiler")));
    wxWindow* b = box->GetStaticBox();
    m_target = new wxChoice(b, CPPTavSim::IDC_TARGET);
    box->Add(Row(b, L(11429, wxS("Ziel:")), m_target), 0, wxEXPAND | wxALL, 4);
    m_path = new wxTextCtrl(b, CPPTavSim::IDC_PATH);
    m_path->SetMaxLength(kProgramPathMax);
    auto* pathBrowse = new wxButton(b, CPPTavSim::IDC_PATH_BROWSE, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    box->Add(Row(b, L(11430, wxS("Pfad:")), m_path, pathBrowse), 0, wxEXPAND | wxALL, 4);
    m_version = new wxComboBox(b, CPPTavSim::IDC_VERSION);
    box->Add(Row(b, L(11431, wxS("Version:")), m_version), 0, wxEXPAND | wxALL, 4);
    sizer->Add(box, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
    SetSizerAndFit(sizer);
    m_target->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
      m_page.SelectRow(m_target->GetSelection(), m_path->GetValue(), m_version->GetValue());
      ShowRow();
    });
    pathBrowse->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      m_page.SetPathAndVersion(m_path->GetValue(), m_version->GetValue());
      if (m_page.BrowseCompiler()) ShowRow();
    });
    editorBrowse->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      m_page.editor = m_editor->GetValue();
      if (m_page.BrowseEditor()) m_editor->ChangeValue(m_page.editor);
    });
  }
  void LoadFromModel() override {
    m_editor->ChangeValue(m_page.editor);
    m_target->Clear();
    for (size_t i = 0; i < m_page.RowCount(); ++i) m_target->Append(m_page.RowText(i));
    m_target->SetSelection(m_page.Row());
    ShowRow();
  }
  void SaveToModel() override {
    m_page.editor = m_editor->GetValue();
    m_page.SetPathAndVersion(m_path->GetValue(), m_version->GetValue());
  }

 private:
  void ShowRow() {
    m_version->Clear();
    for (const wxString& v : m_page.OfferedVersions()) m_version->Append(v);
    m_path->ChangeValue(m_page.Current().path);
    m_version->SetValue(m_page.Current().version);
  }
  CPPTavSim& m_page;
  wxTextCtrl* m_editor;
  wxChoice* m_target;
  wxTextCtrl* m_path;
  wxComboBox* m_version;
};

class DownloadPanel : public CPropertyPagePanel {
 public:
  DownloadPanel(wxWindow* parent, CPPDownload& page) : CPropertyPagePanel(parent), m_page(page) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    m_networks = new wxChoice(this, CPPDownload::IDC_NETWORKS);
    auto* netButton = new wxButton(this, CPPDownload::IDC_NETWORK_SETTINGS, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    sizer->Add(Row(this, L(11432, wxS("Netzwerktreiber:")), m_networks, netButton), 0, wxEXPAND | wxALL, 8);
    m_devices = new wxChoice(this, CPPDownload::IDC_DEVICES);
    auto* devButton = new wxButton(this, CPPDownload::IDC_DEVICE_SETTINGS, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    sizer->Add(Row(this, L(11433, wxS("Gerätetreiber:")), m_devices, devButton), 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
    m_summary = new wxStaticText(this, wxID_ANY, wxString());
    sizer->Add(m_summary, 0, wxALL, 8);
    SetSizerAndFit(sizer);
    m_networks->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
      m_page.SelectNetwork(m_networks->GetStringSelection());
      ShowValues();
    });
    m_devices->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
      m_page.SelectDevice(m_devices->GetStringSelection());
      ShowValues();
    });
    netButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      if (m_page.NetworkSettings()) ShowValues();
    });
    devButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      if (m_page.DeviceSettings()) ShowValues();
    });
  }
  void LoadFromModel() override {
    m_networks->Clear();
    for (const wxString& t : m_page.Networks()) m_networks->Append(t);
    m_devices->Clear();
    for (const wxString& t : m_page.Devices()) m_devices->Append(t);
    m_networks->SetStringSelection(m_page.networkDriver);
    m_devices->SetStringSelection(m_page.deviceDriver);
    ShowValues();
  }
  void SaveToModel() override {}

 private:
  void ShowValues() {
    m_summary->SetLabel(L(11434, wxS("Slot:")) + " " + m_page.slot + "    " + L(11435, wxS("Knoten:")) + " " +
                        m_page.node);
    Layout();
  }
  CPPDownload& m_page;
  wxChoice* m_networks;
  wxChoice* m_devices;
  wxStaticText* m_summary;
};

class CPSSetupDlg : public CPropertySheetDlg {
 public:
  CPSSetupDlg(wxWindow* parent, CPSSetup& sheet)
      : CPropertySheetDlg(parent, L(10197, wxS("Einstellungen")), sheet) {
    AddPage(new GeneralPanel(GetBookCtrl(), sheet.General()), L(11436, wxS("Allgemein")));
    AddPage(new ProgramsPanel(GetBookCtrl(), sheet.Programs()), L(11437, wxS("Programme")));
    AddPage(new TavSimPanel(GetBookCtrl(), sheet.TavSim()), L(11438, wxS("TavSim")));
    AddPage(new DownloadPanel(GetBookCtrl(), sheet.Download()), L(11439, wxS("Download")));
  }
};

}  // namespace

void RegisterSetupDialogs() {
  hv::Ui().Register<SetupSheetRequest>([](SetupSheetRequest& r) {
    if (!r.sheet) return static_cast<int>(IDCANCEL);
    CPSSetupDlg dlg(DialogParent(), *r.sheet);
    return dlg.Run();
  });
  hv::Ui().Register<ChooseFolderRequest>([](ChooseFolderRequest& r) {
    wxDirDialog dlg(DialogParent(), L(11448, wxS("Ordner auswählen")), r.start, wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (dlg.ShowModal() != wxID_OK) return static_cast<int>(IDCANCEL);
    r.chosen = dlg.GetPath();
    return static_cast<int>(IDOK);
  });
  hv::Ui().Register<ChooseFileRequest>([](ChooseFileRequest& r) {
    wxFileDialog dlg(DialogParent(), L(13951, wxS("Programm auswählen")), wxString(), r.initial, ToolkitFilter(r.filter),
                     wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dlg.ShowModal() != wxID_OK) return static_cast<int>(IDCANCEL);
    r.chosen = dlg.GetPath();
    return static_cast<int>(IDOK);
  });
}
