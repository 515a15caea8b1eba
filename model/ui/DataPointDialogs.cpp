#include "model/ui/DataPointDialogs.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/progdlg.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include "app/ui/EditControls.h"
#include "framework/DialogTexts.h"
#include "framework/ValueText.h"
#include "framework/ui/DialogLayout.h"
#include "model/DataPointNames.h"
#include "model/DataPointPicker.h"
#include "model/DataPointRead.h"
#include "model/DataPointSheet.h"
#include "model/UserDefinedDP.h"
#include "model/ui/DialogParent.h"
#include "platform/Db4.h"
#include "platform/Localization.h"
#include "platform/Ui.h"

CDPNameEdit::CDPNameEdit(wxWindow* parent, wxWindowID id, const wxString& value) : wxTextCtrl(parent, id, value) {
  Bind(wxEVT_CHAR, &CDPNameEdit::OnChar, this);
}

void CDPNameEdit::OnChar(wxKeyEvent& event) {
  const int key = event.GetUnicodeKey();
  if (key == WXK_NONE || event.ControlDown()) {
    event.Skip();
    return;
  }
  long from = 0, to = 0;
  GetSelection(&from, &to);
  if (dpname::AcceptsChar(GetValue(), from, to, static_cast<wxChar>(key))) event.Skip();
  else wxBell();
}

namespace {

wxString TypeName(DWORD type) { return GetDataTypeName(type); }

wxStaticText* Label(wxWindow* parent, const wchar_t* text) { return new wxStaticText(parent, wxID_ANY, DlgText(text)); }

// CPSDataPoint: "Allgemein" and "Bereiche/Zugriff" on one notebook; the wizard walks
// them with Back, Next and Finish.
class CPSDataPoint : public wxDialog {
 public:
  CPSDataPoint(wxWindow* parent, DataPointSheetRequest& sheet)
      : wxDialog(parent, wxID_ANY, sheet.caption, wxDefaultPosition, wxDefaultSize,
                 wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
        m_s(sheet) {
    m_book = new wxNotebook(this, wxID_ANY);
    BuildGeneral();
    BuildRanges();
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    if (m_s.wizard && m_s.several) {
      buttons->Add(new wxButton(this, kDpAcceptAll, DlgText(L"Alle &fertigstellen")), 0, wxRIGHT, 6);
      buttons->Add(new wxButton(this, kDpCancelAll, DlgText(L"&Alle abbrechen")), 0, wxRIGHT, 18);
    }
    if (m_s.wizard) {
      buttons->Add(m_back = new wxButton(this, 12323, DlgText(L"< &Zurück")), 0, wxRIGHT, 6);
      buttons->Add(m_next = new wxButton(this, 12324, DlgText(L"&Weiter >")), 0, wxRIGHT, 6);
      buttons->Add(m_finish = new wxButton(this, kDpWizardFinish, DlgText(L"&Fertigstellen")), 0, wxRIGHT, 6);
    } else {
      auto* ok = new wxButton(this, wxID_OK, DlgText(L"OK"));
      ok->SetDefault();   // Return takes the sheet
      buttons->Add(ok, 0, wxRIGHT, 6);
    }
    buttons->Add(new wxButton(this, wxID_CANCEL, DlgText(L"Abbrechen")));
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_book, 1, wxEXPAND | wxALL, 8);
    sizer->Add(buttons, 0, wxALIGN_RIGHT | wxALL, 8);
    SetSizerAndFit(sizer);
    // The caption is read in full: the sheet is at least as wide as its title.
    const int titleWidth = GetTextExtent(sheet.caption).GetWidth() + 160;
    if (GetSize().GetWidth() < titleWidth) SetSize(titleWidth, -1);
    SetMinSize(GetSize());
    Bind(wxEVT_BUTTON, &CPSDataPoint::OnButton, this);
    m_book->Bind(wxEVT_NOTEBOOK_PAGE_CHANGING, &CPSDataPoint::OnPageChanging, this);
    m_book->Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, [this](wxBookCtrlEvent& e) { ShowButtons(e.GetSelection()); });
    Load();
    ShowPage(0);
  }

 private:
  void BuildGeneral() {
    auto* p = new wxPanel(m_book, wxID_ANY);
    auto* g = new wxFlexGridSizer(2, 6, 8);
    g->AddGrowableCol(1);
    m_name = m_s.codesysNames ? new CDPNameEdit(p, kIdName, wxString()) : new wxTextCtrl(p, kIdName, wxString());
    m_name->SetMaxLength(30);
    g->Add(Label(p, L"Name:"));
    g->Add(m_name, 1, wxEXPAND);
    g->Add(Label(p, L"ID:"));
    g->Add(m_id = new wxTextCtrl(p, 1072, wxString(), wxDefaultPosition, wxDefaultSize, wxTE_READONLY), 1, wxEXPAND);
    g->Add(Label(p, L"Log. ID:"));
    g->Add(m_logId = new wxTextCtrl(p, kIdLogicalId, wxString()), 1, wxEXPAND);
    m_logIdEdit.Attach(kIdLogicalId, p, 0, 0, 65534, 5);
    g->Add(Label(p, L"Beschreibung:"));
    g->Add(m_description = new wxTextCtrl(p, 1033, wxString()), 1, wxEXPAND);
    m_description->SetMaxLength(48);
    g->Add(Label(p, L"Einheit:"));
    wxArrayString units;
    for (const wxString& u : dpsheet::Units(m_s.deviceFolder)) units.Add(u);
    g->Add(m_unit = new wxComboBox(p, 1083, wxString(), wxDefaultPosition, wxDefaultSize, units), 1, wxEXPAND);
    g->Add(Label(p, L"Geräte:"));
    g->Add(new wxTextCtrl(p, 1081, m_s.deviceName.Left(20), wxDefaultPosition, wxDefaultSize, wxTE_READONLY), 1, wxEXPAND);
    g->Add(Label(p, L"Phys. DP:"));
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(m_address = new wxTextCtrl(p, 1082, wxString(), wxDefaultPosition, wxSize(240, -1), wxTE_READONLY), 1);
    row->Add(m_pick = new wxButton(p, kIdPick, wxS("..."), wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT), 0, wxLEFT, 4);
    g->Add(row, 1, wxEXPAND);
    g->Add(Label(p, L"Datentyp:"));
    g->Add(m_type = new wxStaticText(p, 1084, wxString()));
    auto* s = new wxBoxSizer(wxVERTICAL);
    s->Add(g, 1, wxEXPAND | wxALL, 10);
    p->SetSizer(s);
    m_book->AddPage(p, DlgText(L"Allgemein"));
    if (m_s.lock)
      for (wxWindow* w : std::initializer_list<wxWindow*>{m_name, m_description, m_unit, m_pick}) w->Disable();
    m_pick->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      Save();
      m_name->SetValue(dpsheet::PickAddress(m_s, m_name->GetValue()));
      Load();
    });
  }

  void BuildRanges() {
    auto* p = new wxPanel(m_book, wxID_ANY);
    // The fields stay children of the page (beside their boxes): the page's checks and
    // editors find them there.
    auto group = [&](int id, const wchar_t* caption) {
      return new wxStaticBoxSizer(new wxStaticBox(p, id, DlgText(caption)), wxVERTICAL);
    };
    auto field = [&](wxFlexGridSizer* g, const wchar_t* label, int id) {
      g->Add(Label(p, label), 0, wxALIGN_CENTER_VERTICAL);
      auto* t = new wxTextCtrl(p, id, wxString());
      t->SetMaxLength(16);
      g->Add(t, 1, wxEXPAND);
      return t;
    };
    auto range = [&](const wchar_t* caption, int minId, int maxId, wxTextCtrl*& minimum, wxTextCtrl*& maximum) {
      wxStaticBoxSizer* box = group(wxID_ANY, caption);
      auto* g = new wxFlexGridSizer(2, 4, 6);
      g->AddGrowableCol(1);
      minimum = field(g, L"Minimum:", minId);
      maximum = field(g, L"Maximum:", maxId);
      box->Add(g, 1, wxEXPAND | wxALL, 4);
      return box;
    };
    auto* ranges = new wxBoxSizer(wxHORIZONTAL);
    ranges->Add(range(L"Signalbereich:", kIdSigMin, kIdSigMax, m_sigMin, m_sigMax), 1, wxEXPAND | wxRIGHT, 8);
    ranges->Add(range(L"Meßbereich:", kIdMeasMin, kIdMeasMax, m_measMin, m_measMax), 1, wxEXPAND);
    auto* s = new wxBoxSizer(wxVERTICAL);
    s->Add(ranges, 0, wxEXPAND | wxALL, 10);
    wxStaticBoxSizer* init = group(1187, L"Initialisierung");
    init->Add(m_always = new wxRadioButton(p, 1185, DlgText(L"immer mit Startwert"), wxDefaultPosition, wxDefaultSize, wxRB_GROUP), 0, wxALL, 2);
    init->Add(m_persistent = new wxRadioButton(p, 1186, DlgText(L"mit gespeichertem Parameter (PERSISTENT)")), 0, wxALL, 2);
    init->Add(m_retain = new wxRadioButton(p, 1188, DlgText(L"mit batteriegepuffertem Wert (RETAIN)")), 0, wxALL, 2);
    auto* start = new wxFlexGridSizer(2, 4, 6);
    start->AddGrowableCol(1);
    m_start = field(start, L"Startwert:", kIdStart);
    init->Add(start, 0, wxEXPAND | wxALL, 4);
    s->Add(init, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
    wxStaticBoxSizer* mode = group(1097, L"Verarbeitungsmodus");
    auto* modes = new wxBoxSizer(wxHORIZONTAL);
    modes->Add(m_read = new wxRadioButton(p, 1098, DlgText(L"Lesen"), wxDefaultPosition, wxDefaultSize, wxRB_GROUP), 0, wxALL, 4);
    modes->Add(m_write = new wxRadioButton(p, 1099, DlgText(L"Schreiben")), 0, wxALL, 4);
    modes->Add(m_readWrite = new wxRadioButton(p, 1100, DlgText(L"Lesen/Schreiben")), 0, wxALL, 4);
    mode->Add(modes, 0, wxEXPAND);
    s->Add(mode, 0, wxEXPAND | wxALL, 10);
    p->SetSizer(s);
    m_ranges = p;
    m_book->AddPage(p, DlgText(L"Bereiche/Zugriff"));
    for (wxRadioButton* b : {m_always, m_persistent, m_retain})
      b->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent& e) { OnInitialisationClicked(e.GetId()); });
  }

  void OnInitialisationClicked(int id) {
    m_start->Enable(dpsheet::StartEnabledAfterClick(id, m_s.dp.type, dpsheet::NoStartValue(m_s.dp.address)));
  }

  // The validating edits of the five fields for the data type (none for texts).
  void AttachEditors() {
    wxTextCtrl* fields[] = {m_sigMin, m_sigMax, m_measMin, m_measMax, m_start};
    const dpsheet::RangeEditor e = dpsheet::RangeEditorFor(m_s.dp.type);
    const bool noStart = dpsheet::NoStartValue(m_s.dp.address);
    for (int i = 0; i < 5; ++i) {
      m_number[i].Detach();
      m_date[i].Detach();
      m_time[i].Detach();
      if (i == 4 && noStart) continue;
      const int id = fields[i]->GetId();
      switch (e.kind) {
        case dpsheet::RangeEditor::Number:
          m_number[i].Attach(id, m_ranges, 0, e.minimum, e.maximum, e.integerDigits);
          m_number[i].SetDigits(e.integerDigits, e.fractionDigits);
          break;
        case dpsheet::RangeEditor::Date: m_date[i].SubclassDlgItem(id, m_ranges); break;
        case dpsheet::RangeEditor::Time: m_time[i].SubclassDlgItem(id, m_ranges); break;
        case dpsheet::RangeEditor::None: break;
      }
    }
  }

  void Load() {
    AttachEditors();
    m_name->ChangeValue(m_name->GetValue().empty() ? m_s.dp.name : m_name->GetValue());
    m_id->ChangeValue(wxString::Format(wxS("%lu"), static_cast<unsigned long>(m_s.dp.id)));
    m_logId->ChangeValue(wxString::Format(wxS("%u"), unsigned(m_s.dp.logicalId)));
    m_description->ChangeValue(m_s.dp.description);
    m_unit->SetValue(m_s.values.unit);
    m_address->ChangeValue(m_s.dp.address);
    DDX_DataTypeName(true, m_type, m_s.dp.type);
    m_sigMin->ChangeValue(m_s.values.sigMin);
    m_sigMax->ChangeValue(m_s.values.sigMax);
    m_measMin->ChangeValue(m_s.values.measMin);
    m_measMax->ChangeValue(m_s.values.measMax);
    const bool noStart = dpsheet::NoStartValue(m_s.dp.address);
    m_start->ChangeValue(noStart ? wxString(wxS("Default")) : m_s.values.start);
    const bool text = IsTextType(m_s.dp.type);
    for (wxTextCtrl* t : {m_sigMin, m_sigMax, m_measMin, m_measMax}) t->Enable(!text);
    m_start->Enable(!noStart && !text);
    const WORD caps = m_s.values.capabilities;
    m_read->Enable(caps & 1);
    m_write->Enable(caps & 6);
    m_readWrite->Enable((caps & 1) && (caps & 6));
    m_persistent->Enable(caps & 0x100);
    m_retain->Enable(caps & 0x200);
    switch (dpsheet::ModeOf(m_s.values.access)) {
      case DpMode::Write: m_write->SetValue(true); break;
      case DpMode::ReadWrite: m_readWrite->SetValue(true); break;
      default: m_read->SetValue(true); break;
    }
    switch (dpsheet::InitOf(m_s.values.access)) {
      case DpInit::Persistent: m_persistent->SetValue(true); break;
      case DpInit::Retain: m_retain->SetValue(true); break;
      default: m_always->SetValue(true); break;
    }
    const dpsheet::RangesControls c = dpsheet::RangesState(m_s);
    m_read->Enable(c.read);
    m_write->Enable(c.write);
    m_readWrite->Enable(c.readWrite);
    m_always->Enable(c.always);
    m_persistent->Enable(c.persistent);
    m_retain->Enable(c.retain);
    if (!c.alwaysChecked) m_always->SetValue(false);
    for (wxTextCtrl* t : {m_sigMin, m_sigMax, m_measMin, m_measMax}) t->Enable(c.ranges);
    if (c.startEmptied) m_start->ChangeValue(wxString());
    m_start->Enable(c.start);
  }

  void Save() {
    m_s.dp.description = m_description->GetValue().Left(48);
    m_s.values.unit = m_unit->GetValue().Left(20);
    m_s.values.sigMin = m_sigMin->GetValue();
    m_s.values.sigMax = m_sigMax->GetValue();
    m_s.values.measMin = m_measMin->GetValue();
    m_s.values.measMax = m_measMax->GetValue();
    if (!dpsheet::NoStartValue(m_s.dp.address)) m_s.values.start = m_start->GetValue();
  }

  bool CheckGeneral() {
    Save();
    // The edit clamps a value out of range and keeps the user on it.
    if (!m_logIdEdit.Save()) return Focus(0, kIdLogicalId);
    const auto id = static_cast<std::uint16_t>(m_logIdEdit.GetValue());
    const PageCheck c = dpsheet::LeaveGeneral(m_s, m_name->GetValue(), id);
    return c.ok() || Focus(0, c.focus);
  }

  bool CheckRanges() {
    // The fields' own checks first: a value out of its type's range is clamped.
    if (!m_ranges->Validate()) return Focus(1, 0);
    Save();
    const DpMode mode = m_readWrite->GetValue() ? DpMode::ReadWrite : m_write->GetValue() ? DpMode::Write : DpMode::Read;
    const DpInit init = m_persistent->GetValue() ? DpInit::Persistent : m_retain->GetValue() ? DpInit::Retain : DpInit::Always;
    if (!dpsheet::SaveRanges(m_s, mode, init)) return false;
    const PageCheck c = dpsheet::LeaveRanges(m_s, m_always->GetValue());
    return c.ok() || Focus(1, c.focus);
  }

  bool Focus(int page, int id) {
    if (m_book->GetSelection() != page) ShowPage(page);
    if (wxWindow* w = FindWindow(id)) w->SetFocus();
    return false;
  }

  // The wizard walks the pages: Next only on the general page, Back and Finish on the
  // ranges page.
  void ShowPage(int page) {
    m_book->ChangeSelection(page);
    ShowButtons(page);
  }
  void ShowButtons(int page) {
    if (m_back) m_back->Show(page > 0);
    if (m_next) m_next->Show(page == 0);
    if (m_finish) m_finish->Show(page > 0);
    // Return goes on as the shown button does: Next on the first page, Finish after it.
    if (wxButton* go = page == 0 && m_next ? m_next : m_finish) go->SetDefault();
    Layout();
  }

  // A tab leaves its page as the buttons do: forward as Next (the general page's check),
  // back as the wizard's Back (no check) or, outside the wizard, after the ranges' check.
  void OnPageChanging(wxBookCtrlEvent& event) {
    const int from = event.GetOldSelection(), to = event.GetSelection();
    if (from == to || from < 0) return;
    const bool left = from == 0 ? CheckGeneral() : (m_s.wizard || CheckRanges());
    if (left) return;
    event.Veto();
    // The toolkit turns the page even so: it is turned back once the click is done.
    CallAfter([this, from] {
      if (m_book->GetSelection() != from) ShowPage(from);
    });
  }

  void OnButton(wxCommandEvent& event) {
    const int id = event.GetId();
    if (id == 12324) {
      if (CheckGeneral()) ShowPage(1);
    } else if (id == 12323) {
      ShowPage(0);
    } else if (id == wxID_OK || id == kDpWizardFinish || id == kDpAcceptAll) {
      if (CheckGeneral() && CheckRanges()) EndModal(id == wxID_OK ? IDOK : id);
    } else if (id == kDpCancelAll) {
      EndModal(kDpCancelAll);
    } else if (id == wxID_CANCEL) {
      EndModal(IDCANCEL);
    } else {
      event.Skip();
    }
  }

  DataPointSheetRequest& m_s;
  wxNotebook* m_book = nullptr;
  wxTextCtrl *m_name, *m_id, *m_logId, *m_description, *m_address;
  CEEditLongDouble m_logIdEdit;
  wxComboBox* m_unit = nullptr;
  wxButton* m_pick = nullptr;
  wxButton* m_back = nullptr;
  wxButton* m_next = nullptr;
  wxButton* m_finish = nullptr;
  wxPanel* m_ranges = nullptr;
  CEEditLongDouble m_number[5];
  CEEditDate m_date[5];
  CEEditTime m_time[5];
  wxStaticText* m_type = nullptr;
  wxTextCtrl *m_sigMin, *m_sigMax, *m_measMin, *m_measMax, *m_start;
  wxRadioButton *m_always, *m_persistent, *m_retain, *m_read, *m_write, *m_readWrite;
};

// The picker: what the plug-in lists, each with its place in words where the network's
// driver has them, or an address built by hand, checked as it is typed.
class CDlgDataPointPicker : public wxDialog {
 public:
  CDlgDataPointPicker(wxWindow* parent, DataPointPickRequest& r)
      : wxDialog(parent, wxID_ANY, DlgText(L"Datenpunkt auswählen")), m_r(r) {
    auto* s = new wxBoxSizer(wxVERTICAL);
    m_list = new wxListBox(this, 1001, wxDefaultPosition, wxSize(680, 220), 0, nullptr,
                           r.multiple ? wxLB_EXTENDED : wxLB_SINGLE);
    for (const PickedDataPoint& p : r.offered) {
      // The place in words names the type too; without words the type stands alone.
      const dppicker::AddressVerdict v = dppicker::Check(r.netDriver, p);
      wxString row = p.address + (p.name.empty() ? wxString() : wxS("  (") + p.name + wxS(")"));
      row += wxS("   ") + (!v.complaint && !v.text.empty() ? wxS("= ") + v.text : TypeName(p.type));
      m_list->Append(row);
    }
    s->Add(m_list, 1, wxEXPAND | wxALL, 8);
    auto* g = new wxFlexGridSizer(2, 6, 8);
    g->AddGrowableCol(1);
    g->Add(Label(this, L"Adresse:"), 0, wxALIGN_CENTER_VERTICAL);
    g->Add(m_address = new wxTextCtrl(this, 1002, r.offered.empty() ? r.current : wxString(), wxDefaultPosition, wxSize(260, -1)),
           0, wxEXPAND);
    m_address->SetMaxLength(48);
    g->Add(Label(this, L"Datentyp:"), 0, wxALIGN_CENTER_VERTICAL);
    m_types = {1, 2, 4, 8, 0x10, 0x20, 0x40, 0x80, 0x100, 0x200, 0x400};
    wxArrayString names;
    for (DWORD t : m_types) names.Add(TypeName(t));
    g->Add(m_type = new wxChoice(this, 1003, wxDefaultPosition, wxDefaultSize, names));
    m_type->SetSelection(3);
    s->Add(g, 0, wxEXPAND | wxALL, 8);
    // What a typed address means, or what is wrong with it; the form while it is empty.
    m_status = new wxStaticText(this, 1004, wxString(), wxDefaultPosition, wxSize(660, -1));
    s->Add(m_status, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
    s->Add(CreateButtonSizer(wxOK | wxCANCEL), 0, wxALIGN_RIGHT | wxALL, 8);
    UpdateStatus();
    SetSizerAndFit(s);
    // An address typed as the picker opens is taken with Return.
    FocusOnOpen(this, m_address);
    Bind(wxEVT_BUTTON, &CDlgDataPointPicker::OnOk, this, wxID_OK);
    m_address->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { OnAddressChanged(); });
    m_type->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { UpdateStatus(); });
  }

 private:
  PickedDataPoint Typed() const {
    return dppicker::TypedEntry(m_r.netDriver, m_address->GetValue(),
                                m_types[static_cast<size_t>(std::max(0, m_type->GetSelection()))]);
  }

  // A type the address names chooses the data type, so the two agree as typed.
  void OnAddressChanged() {
    const DWORD named = dppicker::NamedType(m_r.netDriver, m_address->GetValue());
    for (size_t i = 0; named && i < m_types.size(); ++i)
      if (m_types[i] == named && m_type->GetSelection() != static_cast<int>(i)) m_type->SetSelection(static_cast<int>(i));
    UpdateStatus();
  }

  void UpdateStatus() {
    wxString text;
    if (m_address->GetValue().empty()) {
      text = dppicker::UsesModbusAddresses(m_r.netDriver)
                 ? hv::LocalString(11590, wxS("Form: Tabelle|Offset[|Typ[|Wortfolge]] oder Tabelle|Offset|TEXT|Zeichen, "
                                              "Tabelle CO, DI, IR oder HR, zum Beispiel HR|0, IR|10|R4|CDAB oder "
                                              "HR|40|TEXT|12"))
                 : hv::LocalString(11591, wxS("Form: Art|Adresse"));
    } else {
      const dppicker::AddressVerdict v = dppicker::Check(m_r.netDriver, Typed());
      text = v.text;
    }
    if (m_status->GetLabel() != text) {
      m_status->SetLabel(text);
      m_status->Wrap(660);
      Layout();
    }
  }

  void OnOk(wxCommandEvent&) {
    m_r.chosen.clear();
    wxArrayInt selected;
    m_list->GetSelections(selected);
    for (int i : selected) m_r.chosen.push_back(m_r.offered[static_cast<size_t>(i)]);
    // Several points at once take a typed address beside the selected entries.
    if ((m_r.chosen.empty() || m_r.multiple) && !m_address->GetValue().empty()) {
      const PickedDataPoint p = Typed();
      const dppicker::AddressVerdict v = dppicker::Check(m_r.netDriver, p);
      if (v.complaint) {
        hv::Ui().Message(v.complaint, v.text, MB_OK | MB_ICONINFORMATION);
        m_address->SetFocus();
        return;
      }
      m_r.chosen.push_back(p);
    }
    if (m_r.chosen.empty()) {
      hv::Ui().Message(11508, hv::LocalString(11508, wxS("Es muß ein physikalischer Datenpunkt ausgewählt werden!")),
                       MB_OK | MB_ICONINFORMATION);
      m_address->SetFocus();
      return;
    }
    EndModal(IDOK);
  }

  DataPointPickRequest& m_r;
  wxListBox* m_list = nullptr;
  wxTextCtrl* m_address = nullptr;
  wxChoice* m_type = nullptr;
  wxStaticText* m_status = nullptr;
  std::vector<DWORD> m_types;
};

// The modeless list of changed self-defined data points; one per program.
class CDlgUserDefinedDP : public wxDialog {
 public:
  explicit CDlgUserDefinedDP(wxWindow* parent)
      : wxDialog(parent, 142, hv::LocalString(11534, wxS("Auf die Steuerungen laden"))) {
    auto* s = new wxBoxSizer(wxVERTICAL);
    s->Add(new wxStaticText(this, wxID_ANY,
                            hv::LocalString(11535, wxS("Folgende selbstdefinierten Datenpunkte wurden gelöscht bzw. "
                                                       "verändert. Bitte überprüfen Sie diese Datenpunkte."))),
           0, wxALL, 8);
    s->Add(m_list = new wxListBox(this, 1044, wxDefaultPosition, wxSize(320, 160)), 1, wxEXPAND | wxLEFT | wxRIGHT, 8);
    s->Add(new wxButton(this, wxID_OK, hv::LocalString(11536, wxS("Schließen"))), 0, wxALIGN_RIGHT | wxALL, 8);
    SetSizerAndFit(s);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Destroy(); }, wxID_OK);
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Destroy(); });
  }
  ~CDlgUserDefinedDP() override { s_open = nullptr; }
  void Fill(const std::vector<wxString>& names) {
    m_list->Clear();
    for (const wxString& n : names) m_list->Append(n);
  }
  static CDlgUserDefinedDP* s_open;

 private:
  wxListBox* m_list = nullptr;
};
CDlgUserDefinedDP* CDlgUserDefinedDP::s_open = nullptr;

}  // namespace

void DDX_DataTypeName(bool loading, wxStaticText* field, DWORD type) {
  // Read-only: the type is never taken from the field.
  if (loading && field) field->SetLabel(GetDataTypeName(type));
}

void RegisterDataPointDialogs() {
  hv::Ui().Register<DataPointSheetRequest>([](DataPointSheetRequest& r) {
    CPSDataPoint dlg(DialogParent(), r);
    return dlg.ShowModal();
  });
  hv::Ui().Register<DataPointPickRequest>([](DataPointPickRequest& r) {
    CDlgDataPointPicker dlg(DialogParent(), r);
    return dlg.ShowModal() == IDOK ? static_cast<int>(IDOK) : static_cast<int>(IDCANCEL);
  });
  hv::Ui().Register<DataPointReadWait>([](DataPointReadWait& w) {
    // Most reads end at once; a slow one shows its progress and may be cancelled.
    wxBusyCursor busy;
    const wxLongLong start = wxGetLocalTimeMillis();
    while (!*w.done && wxGetLocalTimeMillis() - start < 300) {
      wxMilliSleep(5);
      wxSafeYield(nullptr, true);
    }
    if (!*w.done) {
      wxProgressDialog progress(wxS("Halvora"), hv::LocalString(11542, wxS("Der Wert wird gelesen...")), 100, DialogParent(),
                                wxPD_APP_MODAL | wxPD_CAN_ABORT);
      while (!*w.done) {
        if (!progress.Pulse()) *w.cancel = true;
        wxMilliSleep(20);
      }
    }
    return static_cast<int>(IDOK);
  });
  hv::Ui().Register<UserDefinedDPShow>([](UserDefinedDPShow& r) {
    if (!CDlgUserDefinedDP::s_open) {
      CDlgUserDefinedDP::s_open = new CDlgUserDefinedDP(wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
    }
    CDlgUserDefinedDP::s_open->Fill(r.names);
    CDlgUserDefinedDP::s_open->Show();
    return static_cast<int>(IDOK);
  });
  hv::Ui().Register<UserDefinedDPClose>([](UserDefinedDPClose&) {
    if (CDlgUserDefinedDP::s_open) CDlgUserDefinedDP::s_open->Destroy();
    return static_cast<int>(IDOK);
  });
}
