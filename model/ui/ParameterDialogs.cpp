#include "model/ui/ParameterDialogs.h"

#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "framework/DialogTexts.h"
#include "model/ui/DialogParent.h"
#include "platform/Ui.h"
#include "platform/online/ParameterForm.h"

namespace {

// One control per field; a value the field refuses keeps the dialog open.
class CDlgParameters : public wxDialog {
 public:
  CDlgParameters(wxWindow* parent, const wxString& caption, int language, std::vector<hv::ParameterField>& fields,
                 std::vector<std::pair<wxString, wxString*>> plain)
      : wxDialog(parent, wxID_ANY, caption), m_fields(fields), m_plain(std::move(plain)) {
    auto* grid = new wxFlexGridSizer(2, 6, 8);
    grid->AddGrowableCol(1);
    for (hv::ParameterField& f : fields) {
      grid->Add(new wxStaticText(this, wxID_ANY, f.Label(language)), 0, wxALIGN_CENTER_VERTICAL);
      if (f.type == "choice") {
        auto* choice = new wxChoice(this, wxID_ANY);
        for (const wxString& c : f.choices) choice->Append(c);
        choice->SetStringSelection(f.value);
        grid->Add(choice, 1, wxEXPAND);
        m_controls.push_back(choice);
      } else {
        auto* edit = new wxTextCtrl(this, wxID_ANY, f.value, wxDefaultPosition, wxSize(240, -1));
        grid->Add(edit, 1, wxEXPAND);
        m_controls.push_back(edit);
      }
    }
    for (auto& [label, value] : m_plain) {
      grid->Add(new wxStaticText(this, wxID_ANY, DlgText(label)), 0, wxALIGN_CENTER_VERTICAL);
      auto* edit = new wxTextCtrl(this, wxID_ANY, *value, wxDefaultPosition, wxSize(240, -1));
      grid->Add(edit, 1, wxEXPAND);
      m_controls.push_back(edit);
    }
    m_problem = new wxStaticText(this, wxID_ANY, {});
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(grid, 1, wxALL | wxEXPAND, 10);
    sizer->Add(m_problem, 0, wxLEFT | wxRIGHT | wxEXPAND, 10);
    sizer->Add(CreateButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxALIGN_RIGHT, 10);
    SetSizerAndFit(sizer);
  }
  bool TransferDataFromWindow() override {
    size_t i = 0;
    for (hv::ParameterField& f : m_fields) {
      wxWindow* w = m_controls[i++];
      if (auto* choice = dynamic_cast<wxChoice*>(w)) f.value = choice->GetStringSelection();
      else f.value = static_cast<wxTextCtrl*>(w)->GetValue();
      const wxString problem = hv::CheckParameterField(f);
      if (!problem.empty()) {
        m_problem->SetLabel(problem);
        w->SetFocus();
        return false;
      }
    }
    for (auto& [label, value] : m_plain) *value = static_cast<wxTextCtrl*>(m_controls[i++])->GetValue();
    return true;
  }

 private:
  std::vector<hv::ParameterField>& m_fields;
  std::vector<std::pair<wxString, wxString*>> m_plain;
  std::vector<wxWindow*> m_controls;
  wxStaticText* m_problem = nullptr;
};

}  // namespace

void RegisterParameterDialogs() {
  hv::Ui().Register<hv::DriverParameterRequest>([](hv::DriverParameterRequest& r) {
    std::vector<std::pair<wxString, wxString*>> plain;
    if (r.fields.empty()) plain = {{wxS("Slot:"), &r.slot}, {wxS("Parameter:"), &r.param}};
    CDlgParameters dlg(DialogParent(), r.displayName.empty() ? r.driverTitle : r.displayName, r.language, r.fields,
                       std::move(plain));
    return dlg.ShowModal() == wxID_OK ? static_cast<int>(IDOK) : static_cast<int>(IDCANCEL);
  });
  hv::Ui().Register<hv::DeviceParameterRequest>([](hv::DeviceParameterRequest& r) {
    std::vector<std::pair<wxString, wxString*>> plain;
    if (r.fields.empty()) plain = {{wxS("Knoten:"), &r.node}, {wxS("Parameter:"), &r.param}};
    CDlgParameters dlg(DialogParent(), r.displayName.empty() ? r.deviceTitle : r.displayName, r.language, r.fields,
                       std::move(plain));
    return dlg.ShowModal() == wxID_OK ? static_cast<int>(IDOK) : static_cast<int>(IDCANCEL);
  });
}
