#include "resources/ui/DlgString.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valnum.h>

#include "model/ui/DialogParent.h"
#include "platform/Localization.h"
#include "platform/Ui.h"
#include "resources/StringDialog.h"

namespace {

class CDlgString : public wxDialog {
 public:
  CDlgString(wxWindow* parent, StringEditRequest& request)
      : wxDialog(parent, wxID_ANY, hv::LocalString(11703, wxS("Text")), wxDefaultPosition, wxDefaultSize,
                 wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
        m_controller(request) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* row = new wxFlexGridSizer(2, 5, 5);
    row->Add(new wxStaticText(this, wxID_ANY, hv::LocalString(11704, wxS("Sprache:"))), 0, wxALIGN_CENTER_VERTICAL);
    m_language = new wxChoice(this, 1029);
    row->Add(m_language, 1, wxEXPAND);
    row->Add(new wxStaticText(this, wxID_ANY, hv::LocalString(11705, wxS("Log. ID:"))), 0, wxALIGN_CENTER_VERTICAL);
    wxIntegerValidator<unsigned long> validator(&m_logicalId);
    validator.SetRange(0, 65534);
    m_logicalId = m_controller.LogicalId();
    m_id = new wxTextCtrl(this, 1129, wxString(), wxDefaultPosition, wxDefaultSize, 0, validator);
    row->Add(m_id, 1, wxEXPAND);
    row->AddGrowableCol(1);
    sizer->Add(row, 0, wxALL | wxEXPAND, 10);
    m_text = new wxTextCtrl(this, 1002, wxString(), wxDefaultPosition, wxSize(360, 120), wxTE_MULTILINE);
    sizer->Add(m_text, 1, wxLEFT | wxRIGHT | wxEXPAND, 10);
    sizer->Add(CreateButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxALIGN_RIGHT, 10);
    SetSizerAndFit(sizer);

    for (const LANGUAGE& language : m_controller.Languages()) {
      const int at = m_language->Append(language.name, reinterpret_cast<void*>(static_cast<uintptr_t>(language.number)));
      if (language.number == m_controller.Language()) m_language->SetSelection(at);
    }
    m_text->ChangeValue(m_controller.EditText());
    m_id->ChangeValue(wxString::Format(wxS("%lu"), m_logicalId));
    m_language->Bind(wxEVT_CHOICE, &CDlgString::OnLanguage, this);
    // GTK ignores a multi-line control's maximum length.
    m_text->Bind(wxEVT_TEXT, &CDlgString::OnText, this);
    Bind(wxEVT_BUTTON, &CDlgString::OnOk, this, wxID_OK);
  }

 private:
  WORD SelectedLanguage() const {
    const int at = m_language->GetSelection();
    if (at == wxNOT_FOUND) return m_controller.Language();
    return static_cast<WORD>(reinterpret_cast<uintptr_t>(m_language->GetClientData(at)));
  }
  void SelectLanguage(WORD language) {
    for (unsigned i = 0; i < m_language->GetCount(); ++i)
      if (static_cast<WORD>(reinterpret_cast<uintptr_t>(m_language->GetClientData(i))) == language)
        m_language->SetSelection(static_cast<int>(i));
  }
  void OnText(wxCommandEvent&) {
    const wxString value = m_text->GetValue();
    if (strtext::Utf16Units(value) <= strtext::kMaxUnits) return;
    const long at = m_text->GetInsertionPoint();
    m_text->ChangeValue(strtext::CutToUnits(value, strtext::kMaxUnits));
    m_text->SetInsertionPoint(std::min<long>(at, m_text->GetLastPosition()));
  }
  void OnLanguage(wxCommandEvent&) {
    const WORD wanted = SelectedLanguage();
    if (!TransferDataFromWindow() || !m_controller.SwitchTo(m_text->GetValue(), wanted)) {
      SelectLanguage(m_controller.Language());
      return;
    }
    m_text->ChangeValue(m_controller.EditText());
  }
  void OnOk(wxCommandEvent&) {
    if (!TransferDataFromWindow()) return;
    if (m_controller.Ok(m_text->GetValue(), m_logicalId)) EndModal(wxID_OK);
  }

  StringDialogController m_controller;
  wxChoice* m_language = nullptr;
  wxTextCtrl* m_id = nullptr;
  wxTextCtrl* m_text = nullptr;
  unsigned long m_logicalId = 0;
};

}  // namespace

void RegisterStringDialog() {
  hv::Ui().Register<StringEditRequest>([](StringEditRequest& request) {
    CDlgString dlg(DialogParent(), request);
    return static_cast<int>(dlg.ShowModal() == wxID_OK ? IDOK : IDCANCEL);
  });
}
