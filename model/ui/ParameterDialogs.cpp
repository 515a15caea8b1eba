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

// A text the request edits directly, limited to what its buffer holds.
struct PlainText {
  wxString label;
  wxString* value;
  size_t capacity;
};

// One control per field; a value the field refuses keeps the dialog open. The field
// named `checkKey` is not shown: it checks the first plain text (the device's node).
class CDlgParameters : public wxDialog {
 public:
  CDlgParameters(wxWindow* parent, const wxString& caption, int language, std::vector<hv::ParameterField>& fields,
                 std::vector<PlainText> plain, const wxString& checkKey = {})
      : wxDialog(parent, wxID_ANY, caption), m_fields(fields), m_plain(std::move(plain)), m_checkKey(checkKey) {
    auto* grid = new wxFlexGridSizer(2, 6, 8);
    grid->AddGrowableCol(1);
    for (const PlainText& p : m_plain) {
      grid->Add(new wxStaticText(this, wxID_ANY, DlgText(p.label)), 0, wxALIGN_CENTER_VERTICAL);
      auto* edit = new wxTextCtrl(this, wxID_ANY, *p.value, wxDefaultPosition, wxSize(240, -1));
      // Limited while typing, never cut afterwards.
      if (p.capacity > 1) edit->SetMaxLength(static_cast<unsigned long>(p.capacity - 1));
      grid->Add(edit, 1, wxEXPAND);
      m_plainEdits.push_back(edit);
    }
    for (hv::ParameterField& f : fields) {
      if (IsChecker(f)) {
        m_controls.push_back(nullptr);
        continue;
      }
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
    m_problem = new wxStaticText(this, wxID_ANY, {});
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(grid, 1, wxALL | wxEXPAND, 10);
    sizer->Add(m_problem, 0, wxLEFT | wxRIGHT | wxEXPAND, 10);
    sizer->Add(CreateButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxALIGN_RIGHT, 10);
    SetSizerAndFit(sizer);
    // The first field takes the keys at once, its text selected to be typed over.
    wxTextCtrl* first = m_plainEdits.empty() ? nullptr : m_plainEdits.front();
    for (wxWindow* w : m_controls)
      if (!first && dynamic_cast<wxTextCtrl*>(w)) first = static_cast<wxTextCtrl*>(w);
    if (first)
      Bind(wxEVT_INIT_DIALOG, [this, first](wxInitDialogEvent& e) {
        e.Skip();
        CallAfter([first] {
          first->SetFocus();
          first->SelectAll();
        });
      });
  }
  bool TransferDataFromWindow() override {
    size_t i = 0;
    for (hv::ParameterField& f : m_fields) {
      wxWindow* w = m_controls[i++];
      if (!w) {
        w = m_plainEdits.front();
        f.value = m_plainEdits.front()->GetValue();
      } else if (auto* choice = dynamic_cast<wxChoice*>(w)) {
        f.value = choice->GetStringSelection();
      } else {
        f.value = static_cast<wxTextCtrl*>(w)->GetValue();
      }
      const wxString problem = hv::CheckParameterField(f);
      if (!problem.empty()) {
        m_problem->SetLabel(problem);
        Fit();   // the whole reason shows, however long
        w->SetFocus();
        return false;
      }
    }
    for (size_t p = 0; p < m_plain.size(); ++p) *m_plain[p].value = m_plainEdits[p]->GetValue();
    return true;
  }

 private:
  bool IsChecker(const hv::ParameterField& f) const {
    return !m_checkKey.empty() && f.key == m_checkKey && !m_plain.empty();
  }
  std::vector<hv::ParameterField>& m_fields;
  std::vector<PlainText> m_plain;
  wxString m_checkKey;
  std::vector<wxTextCtrl*> m_plainEdits;
  std::vector<wxWindow*> m_controls;
  wxStaticText* m_problem = nullptr;
};

}  // namespace

void RegisterParameterDialogs() {
  hv::Ui().Register<hv::DriverParameterRequest>([](hv::DriverParameterRequest& r) {
    std::vector<PlainText> plain;
    if (r.fields.empty())
      plain = {{wxS("Slot:"), &r.slot, r.slotCapacity}, {wxS("Parameter:"), &r.param, r.paramCapacity}};
    CDlgParameters dlg(DialogParent(), r.displayName.empty() ? r.driverTitle : r.displayName, r.language, r.fields,
                       std::move(plain));
    return dlg.ShowModal() == wxID_OK ? static_cast<int>(IDOK) : static_cast<int>(IDCANCEL);
  });
  hv::Ui().Register<hv::DeviceParameterRequest>([](hv::DeviceParameterRequest& r) {
    // The library takes node and parameter text from the request; the schema's "node"
    // field only checks the node.
    std::vector<PlainText> plain = {{wxS("Knoten:"), &r.node, r.nodeCapacity}};
    if (r.fields.empty()) plain.push_back({wxS("Parameter:"), &r.param, r.paramCapacity});
    CDlgParameters dlg(DialogParent(), r.displayName.empty() ? r.deviceTitle : r.displayName, r.language, r.fields,
                       std::move(plain), wxS("node"));
    return dlg.ShowModal() == wxID_OK ? static_cast<int>(IDOK) : static_cast<int>(IDCANCEL);
  });
}
