#include "framework/DialogTexts.h"
#include "app/ui/DlgNewName.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "framework/NewNameRules.h"
#include "framework/ui/DialogLayout.h"
#include "platform/Localization.h"
#include "platform/Ui.h"

CDlgNewName::CDlgNewName(wxWindow* parent, NewNameRequest& request)
    : wxDialog(parent, 112, request.title.empty() ? wxString(DlgText(wxS("Neues Object"))) : request.title),
      m_request(request) {
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(new wxStaticText(this, 1026, request.prompt.empty() ? wxString(DlgText(wxS("Name:"))) : request.prompt), 0,
             wxLEFT | wxRIGHT | wxTOP, 10);
  m_edit = new wxTextCtrl(this, 1025, request.name, wxDefaultPosition, wxSize(280, -1));
  if (request.maxLength > 0) m_edit->SetMaxLength(static_cast<unsigned long>(request.maxLength));
  if (request.upperCase) m_edit->ForceUpper();
  m_nameEdit.AttachTo(m_edit);
  if (request.checkCharacters) m_nameEdit.SetForbiddenCharset(NewNameForbiddenCharset(request));
  sizer->Add(m_edit, 0, wxALL | wxEXPAND, 10);
  sizer->Add(CreateButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxALIGN_RIGHT, 10);
  SetSizerAndFit(sizer);
  FocusOnOpen(this, m_edit);
}

bool CDlgNewName::TransferDataFromWindow() {
  if (m_request.checkCharacters && !m_nameEdit.CheckForbidden()) return false;
  NewNameRequest entered = m_request;
  entered.name = m_edit->GetValue();
  if (CheckNewName(entered) != 0) {
    m_edit->SetFocus();
    return false;
  }
  m_request.name = entered.name;
  return true;
}

void CDlgNewName::Register() {
  hv::Ui().Register<NewNameRequest>([](NewNameRequest& req) {
    CDlgNewName dlg(wxTheApp->GetTopWindow(), req);
    return static_cast<int>(dlg.ShowModal() == wxID_OK ? IDOK : IDCANCEL);
  });
}

wxString CDlgNewName::TypedName() const { return m_edit ? m_edit->GetValue() : wxString(); }
