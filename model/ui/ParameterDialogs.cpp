// The online library's parameter dialogs: one row per field of the driver's or device's
// schema (a list for fields with choices), or the plain texts without a schema. The
// library checks what comes back.
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "model/ui/DeviceDialogs.h"
#include "model/ui/DialogParent.h"
#include "platform/Localization.h"
#include "platform/Ui.h"
#include "platform/online/ParameterForm.h"

namespace {

class CDlgParameters : public wxDialog {
 public:
  CDlgParameters(wxWindow* parent, const wxString& title, int language) : wxDialog(parent, wxID_ANY, title), m_language(language) {
    m_grid = new wxFlexGridSizer(2, 6, 8);
    m_grid->AddGrowableCol(1);
  }
  wxTextCtrl* AddText(const wxString& label, const wxString& value, size_t capacity) {
    m_grid->Add(new wxStaticText(this, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
    auto* text = new wxTextCtrl(this, wxID_ANY, value, wxDefaultPosition, wxSize(260, -1));
    // The field holds what its buffer can: limited while typing, never cut afterwards.
    if (capacity > 1) text->SetMaxLength(static_cast<unsigned long>(capacity - 1));
    m_grid->Add(text, 1, wxEXPAND);
    return text;
  }
  void AddFields(std::vector<hv::ParameterField>& fields) {
    for (hv::ParameterField& f : fields) {
      if (f.choices.empty()) {
        m_texts.emplace_back(&f, AddText(f.Label(m_language), f.value, 0));
        continue;
      }
      m_grid->Add(new wxStaticText(this, wxID_ANY, f.Label(m_language)), 0, wxALIGN_CENTER_VERTICAL);
      auto* choice = new wxChoice(this, wxID_ANY);
      for (const wxString& c : f.choices) choice->Append(c);
      choice->SetStringSelection(f.value);
      m_grid->Add(choice, 1, wxEXPAND);
      m_choices.emplace_back(&f, choice);
    }
  }
  int Show() {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_grid, 1, wxEXPAND | wxALL, 10);
    sizer->Add(CreateButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 10);
    SetSizerAndFit(sizer);
    if (ShowModal() != wxID_OK) return IDCANCEL;
    for (auto& [field, text] : m_texts) field->value = text->GetValue();
    for (auto& [field, choice] : m_choices) field->value = choice->GetStringSelection();
    return IDOK;
  }

 private:
  int m_language;
  wxFlexGridSizer* m_grid;
  std::vector<std::pair<hv::ParameterField*, wxTextCtrl*>> m_texts;
  std::vector<std::pair<hv::ParameterField*, wxChoice*>> m_choices;
};

wxString Title(const wxString& name, const wxString& fallback) { return name.empty() ? fallback : name; }

}  // namespace

void RegisterParameterDialogs() {
  hv::Ui().Register<hv::DriverParameterRequest>([](hv::DriverParameterRequest& r) {
    CDlgParameters dlg(DialogParent(), Title(r.displayName, r.driverTitle), r.language);
    wxTextCtrl* slot = nullptr;
    wxTextCtrl* param = nullptr;
    if (r.fields.empty()) {
      slot = dlg.AddText(hv::LocalString(11434, wxS("Slot:")), r.slot, r.slotCapacity);
      param = dlg.AddText(hv::LocalString(11442, wxS("Parameter:")), r.param, r.paramCapacity);
    }
    dlg.AddFields(r.fields);
    if (dlg.Show() != IDOK) return static_cast<int>(IDCANCEL);
    if (slot) r.slot = slot->GetValue();
    if (param) r.param = param->GetValue();
    return static_cast<int>(IDOK);
  });
  hv::Ui().Register<hv::DeviceParameterRequest>([](hv::DeviceParameterRequest& r) {
    CDlgParameters dlg(DialogParent(), Title(r.displayName, r.deviceTitle), r.language);
    wxTextCtrl* node = dlg.AddText(hv::LocalString(11435, wxS("Knoten:")), r.node, r.nodeCapacity);
    wxTextCtrl* param = r.fields.empty() ? dlg.AddText(hv::LocalString(11442, wxS("Parameter:")), r.param, r.paramCapacity)
                                         : nullptr;
    dlg.AddFields(r.fields);
    if (dlg.Show() != IDOK) return static_cast<int>(IDCANCEL);
    r.node = node->GetValue();
    if (param) r.param = param->GetValue();
    return static_cast<int>(IDOK);
  });
}
