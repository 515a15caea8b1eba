#include "app/ui/PropertySheet.h"

#include <wx/bookctrl.h>
#include <wx/button.h>

#include "platform/Localization.h"
#include "platform/Types.h"

CPropertySheetDlg::CPropertySheetDlg(wxWindow* parent, const wxString& caption, CSheetController& controller)
    : m_controller(controller) {
  Create(parent, wxID_ANY, caption);
  CreateButtons(wxOK | wxCANCEL);
  if (auto* ok = FindWindow(wxID_OK)) ok->SetLabel(hv::LocalString(10158, wxS("OK")));
  if (auto* cancel = FindWindow(wxID_CANCEL)) cancel->SetLabel(hv::LocalString(10051, wxS("Abbrechen")));
  GetBookCtrl()->Bind(wxEVT_BOOKCTRL_PAGE_CHANGING, &CPropertySheetDlg::OnPageChanging, this);
  Bind(wxEVT_BUTTON, &CPropertySheetDlg::OnOK, this, wxID_OK);
}

void CPropertySheetDlg::AddPage(CPropertyPagePanel* page, const wxString& title) {
  m_pages.push_back(page);
  m_loaded.push_back(false);
  GetBookCtrl()->AddPage(page, title);
}

void CPropertySheetDlg::Activate(int index) {
  if (index < 0 || index >= static_cast<int>(m_pages.size())) return;
  if (!m_loaded[static_cast<size_t>(index)]) {
    m_loaded[static_cast<size_t>(index)] = true;
    m_pages[static_cast<size_t>(index)]->LoadFromModel();
  }
}

int CPropertySheetDlg::Run() {
  LayoutDialog();
  if (!m_controller.SetActivePage(0)) return IDCANCEL;
  Activate(0);
  return ShowModal() == wxID_OK ? IDOK : IDCANCEL;
}

void CPropertySheetDlg::FocusField(const PageCheck& check) {
  if (wxWindow* field = check.field ? FindWindow(check.field) : nullptr) field->SetFocus();
}

void CPropertySheetDlg::OnPageChanging(wxBookCtrlEvent& event) {
  const int from = m_controller.ActivePage();
  if (from >= 0 && from < static_cast<int>(m_pages.size())) m_pages[static_cast<size_t>(from)]->SaveToModel();
  if (!m_controller.SetActivePage(event.GetSelection())) {
    event.Veto();
    FocusField(m_controller.LastCheck());
    return;
  }
  Activate(event.GetSelection());
}

void CPropertySheetDlg::OnOK(wxCommandEvent&) {
  for (size_t i = 0; i < m_pages.size(); ++i)
    if (m_loaded[i]) m_pages[i]->SaveToModel();
  if (!m_controller.OK()) {
    FocusField(m_controller.LastCheck());
    return;
  }
  EndModal(wxID_OK);
}
