// The project's settings sheet CPSProject with its pages "Allgemein" (CPPProjectGeneral)
// and "Sprachen" (CPPLangFont), and the language dialogs of the second page.
#include <wx/app.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/ui/CheckListBox.h"
#include "app/ui/EditControls.h"
#include "framework/DialogTexts.h"
#include "framework/ui/DialogLayout.h"
#include "app/ui/PropertySheet.h"
#include "model/ProjectRequests.h"
#include "model/ProjectSheet.h"
#include "model/ui/ProjectPages.h"
#include "platform/Ui.h"

namespace {

std::vector<int> SelectedRows(wxListCtrl* list) {
  std::vector<int> rows;
  for (long i = list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); i != -1;
       i = list->GetNextItem(i, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
    rows.push_back(static_cast<int>(i));
  return rows;
}

wxListCtrl* MakeLanguageList(wxWindow* parent, int id, long style) {
  auto* list = new wxListCtrl(parent, id, wxDefaultPosition, wxSize(320, 220), wxLC_REPORT | style);
  list->AppendColumn(DlgText(wxS("Sprache")), wxLIST_FORMAT_LEFT, 220);
  list->AppendColumn(wxS("ID"), wxLIST_FORMAT_RIGHT, 70);
  return list;
}

void FillList(wxListCtrl* list, const std::vector<LanguageItem>& items) {
  list->Freeze();
  list->DeleteAllItems();
  for (size_t i = 0; i < items.size(); ++i) {
    const long row = list->InsertItem(static_cast<long>(i), items[i].name);
    list->SetItem(row, 1, items[i].idText);
    list->SetItemData(row, items[i].id);
  }
  list->Thaw();
}

// The tab stops of both language lists, in dialog units.
const std::vector<int> kLanguageTabStops{112, 120, 128, 136, 144};

// Dialog 157 "Sprache ändern".
class CDlgModifyLanguage : public wxDialog {
 public:
  CDlgModifyLanguage(wxWindow* parent, ModifyLanguageRequest& request)
      : wxDialog(parent, 157, DlgText(wxS("Sprache ändern"))), m_request(request) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(new wxStaticText(this, 1235, request.idText), 0, wxALL, 10);
    m_name = new wxTextCtrl(this, 1136, request.name, wxDefaultPosition, wxSize(240, -1));
    m_name->SetMaxLength(ModifyLanguageRequest::kMaxLength);
    sizer->Add(m_name, 0, wxLEFT | wxRIGHT | wxEXPAND, 10);
    sizer->Add(CreateButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxALIGN_RIGHT, 10);
    SetSizerAndFit(sizer);
    // OK comes back once the name was changed.
    FindWindow(wxID_OK)->Enable(false);
    m_name->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { FindWindow(wxID_OK)->Enable(true); });
  }
  bool TransferDataFromWindow() override {
    wxString name = m_name->GetValue();
    m_request.name = name.Trim(true);
    return true;
  }

 private:
  ModifyLanguageRequest& m_request;
  wxTextCtrl* m_name = nullptr;
};

// Dialog 140 "Sprache hinzufügen".
class CDlgAddLanguage : public wxDialog {
 public:
  CDlgAddLanguage(wxWindow* parent, AddLanguageRequest& request)
      : wxDialog(parent, 140, DlgText(wxS("Sprache hinzufügen"))), m_request(request), m_c(*request.controller) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(new wxStaticText(this, wxID_ANY, DlgText(wxS("Verfügbare Sprachen:"))), 0, wxLEFT | wxRIGHT | wxTOP, 10);
    m_list = MakeLanguageList(this, 1056, 0);
    sizer->Add(m_list, 1, wxALL | wxEXPAND, 10);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    m_new = new wxButton(this, 1116, DlgText(wxS("Hinzufügen...")));
    m_delete = new wxButton(this, 1005, DlgText(wxS("Entfernen")));
    buttons->Add(m_new, 0, wxRIGHT, 8);
    buttons->Add(m_delete);
    sizer->Add(buttons, 0, wxLEFT | wxRIGHT, 10);
    sizer->Add(CreateButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxALIGN_RIGHT, 10);
    SetSizerAndFit(sizer);
    m_c.Fill();
    Refill();
    m_list->Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent&) { UpdateButtons(); });
    m_list->Bind(wxEVT_LIST_ITEM_DESELECTED, [this](wxListEvent&) { UpdateButtons(); });
    m_new->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      if (m_c.NewUserLanguage()) Refill();
    });
    m_delete->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      if (m_c.DeleteUserLanguages(SelectedRows(m_list))) Refill();
      UpdateButtons();
    });
  }
  bool TransferDataFromWindow() override {
    m_request.chosen = m_c.Chosen(SelectedRows(m_list));
    return true;
  }

 private:
  void Refill() {
    FillList(m_list, m_c.Items());
    UpdateButtons();
  }
  void UpdateButtons() { m_delete->Enable(m_c.CanDelete(SelectedRows(m_list))); }

  AddLanguageRequest& m_request;
  AddLanguageController& m_c;
  wxListCtrl* m_list = nullptr;
  wxButton* m_new = nullptr;
  wxButton* m_delete = nullptr;
};

class CPPProjectGeneral : public CPropertyPagePanel {
 public:
  CPPProjectGeneral(wxWindow* parent, ProjectGeneralPage& page) : CPropertyPagePanel(parent), m_page(page) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* grid = new wxFlexGridSizer(2, 8, 8);
    grid->AddGrowableCol(1);
    m_name = new wxTextCtrl(this, 1025, wxString(), wxDefaultPosition, wxSize(320, -1));
    m_name->SetMaxLength(30);
    // The folder follows the project; the sheet only shows it.
    m_folder = new wxTextCtrl(this, 1050, wxString(), wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
    ShowOnly(m_folder);
    grid->Add(new wxStaticText(this, wxID_ANY, DlgText(wxS("&Bezeichnung:"))), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(m_name, 1, wxEXPAND);
    grid->Add(new wxStaticText(this, wxID_ANY, DlgText(wxS("Pfad:"))), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(m_folder, 1, wxEXPAND);
    sizer->Add(grid, 0, wxALL | wxEXPAND, 10);
    m_boxes = CreateFlagBoxes(this, sizer, page.flags);
    SetSizer(sizer);
    m_nameEdit.AttachTo(m_name);
    m_nameEdit.SetForbiddenCharset(ProjectNameForbiddenCharset());
    m_boxes.create->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { UpdateBoxes(); });
  }
  void LoadFromModel() override {
    m_name->ChangeValue(m_page.name);
    m_folder->ChangeValue(m_page.folder);
    m_boxes.Show(m_page.flags);
    UpdateBoxes();
  }
  bool CheckControls() override { return m_nameEdit.CheckForbidden() && Validate(); }
  void SaveToModel() override {
    m_page.name = m_name->GetValue();
    m_page.flags = m_boxes.Read();
  }

 private:
  void UpdateBoxes() {
    const bool on = m_boxes.create->GetValue();
    m_boxes.checksum->Enable(on);
    m_boxes.com->Enable(on);
    m_boxes.byteAddr->Enable(on);
  }
  ProjectGeneralPage& m_page;
  wxTextCtrl* m_name = nullptr;
  wxTextCtrl* m_folder = nullptr;
  CEEditCharset m_nameEdit;
  FlagBoxes m_boxes;
};

class CPPLangFont : public CPropertyPagePanel {
 public:
  CPPLangFont(wxWindow* parent, LanguagePageModel& model) : CPropertyPagePanel(parent), m_model(model) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(new wxStaticText(this, 1045,
                                DlgText(wxS("Markieren Sie hier alle Sprachen, die auf das Zielsystem geladen werden sollen."))),
               0, wxALL, 10);
    m_list = new CECheckListBox(this, 1047, 2, 120, wxDefaultPosition, wxSize(320, 220));
    m_list->SetTabStops(kLanguageTabStops);
    sizer->Add(m_list, 1, wxLEFT | wxRIGHT | wxEXPAND, 10);
    // Nothing decides what the font box offers: it stays empty.
    auto* font = new wxChoice(this, 1036);
    font->Enable(false);
    auto* fontRow = new wxBoxSizer(wxHORIZONTAL);
    fontRow->Add(new wxStaticText(this, wxID_ANY, DlgText(wxS("Font:"))), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    fontRow->Add(font, 1);
    sizer->Add(fontRow, 0, wxALL | wxEXPAND, 10);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    m_add = new wxButton(this, 1116, DlgText(wxS("Hinzufügen...")));
    m_remove = new wxButton(this, 1005, DlgText(wxS("Entfernen")));
    m_modify = new wxButton(this, 1004, DlgText(wxS("Ändern")));
    m_default = new wxButton(this, 1002, DlgText(wxS("Als Standard setzen")));
    for (wxButton* b : {m_add, m_remove, m_modify, m_default}) buttons->Add(b, 0, wxRIGHT, 6);
    sizer->Add(buttons, 0, wxALL, 10);
    SetSizer(sizer);

    m_list->Bind(wxEVT_DATAVIEW_SELECTION_CHANGED, [this](wxDataViewEvent&) { UpdateButtons(); });
    m_list->Bind(wxEVT_CHECKLISTBOX, [this](wxCommandEvent& e) { OnCheck(e.GetInt()); });
    m_list->Bind(wxEVT_DATAVIEW_ITEM_ACTIVATED, [this](wxDataViewEvent&) { Modify(); });
    m_add->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      m_model.Add();
      Refill(Selected());
    });
    m_remove->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      if (m_model.Remove(Selected())) Refill(-1);
    });
    m_modify->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Modify(); });
    m_default->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      const int sel = Selected();
      if (m_model.SetDefault(sel)) Refill(sel);
    });
  }
  void LoadFromModel() override { Refill(-1); }
  void SaveToModel() override {}

 private:
  int Selected() const { return m_list->GetCurSel(); }
  void Refill(int select) {
    m_list->Freeze();
    m_list->DeleteAllStrings();
    for (const LanguageItem& item : m_model.Items()) {
      const int row = m_list->AddString(item.Text(), item.checked);
      m_list->SetItemData(row, item.id);
    }
    m_list->SetCurSel(select);
    m_list->Thaw();
    UpdateButtons();
  }
  void UpdateButtons() {
    const LanguagePageModel::Buttons b = m_model.ButtonState(Selected());
    m_remove->Enable(b.remove);
    m_default->Enable(b.setDefault);
    m_modify->Enable(b.modify);
  }
  // The item whose box the user changed, selected or not.
  void OnCheck(int index) {
    if (!m_model.SetChecked(index, m_list->GetCheck(index))) m_list->SetCheck(index, true);
    UpdateButtons();
  }
  void Modify() {
    const int sel = Selected();
    if (m_model.Modify(sel)) Refill(sel);
  }

  LanguagePageModel& m_model;
  CECheckListBox* m_list = nullptr;
  wxButton* m_add = nullptr;
  wxButton* m_remove = nullptr;
  wxButton* m_modify = nullptr;
  wxButton* m_default = nullptr;
};

class CPSProject : public CPropertySheetDlg {
 public:
  CPSProject(wxWindow* parent, const wxString& caption, ProjectSheetController& sheet)
      : CPropertySheetDlg(parent, caption, sheet) {
    AddPage(new CPPProjectGeneral(GetBookCtrl(), sheet.general), DlgText(wxS("Allgemein")));
    AddPage(new CPPLangFont(GetBookCtrl(), sheet.languages.model), DlgText(wxS("Sprachen")));
  }
};

}  // namespace

void RegisterProjectSheet() {
  hv::Ui().Register<ProjectSheetRequest>([](ProjectSheetRequest& r) {
    if (!r.sheet) return static_cast<int>(IDCANCEL);
    CPSProject sheet(nullptr, r.caption, *r.sheet);
    return sheet.Run();
  });
  hv::Ui().Register<AddLanguageRequest>([](AddLanguageRequest& r) {
    if (!r.controller) return static_cast<int>(IDCANCEL);
    CDlgAddLanguage dlg(wxTheApp->GetTopWindow(), r);
    return static_cast<int>(dlg.ShowModal() == wxID_OK ? IDOK : IDCANCEL);
  });
  hv::Ui().Register<ModifyLanguageRequest>([](ModifyLanguageRequest& r) {
    ModifyLanguageRequest copy = r;
    CDlgModifyLanguage dlg(wxTheApp->GetTopWindow(), copy);
    if (dlg.ShowModal() != wxID_OK) return static_cast<int>(IDCANCEL);
    r = copy;
    return static_cast<int>(IDOK);
  });
}
