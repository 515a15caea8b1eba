#include "app/ui/PropertySheet.h"

#include <functional>

#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/notebook.h>
#include <wx/simplebook.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "framework/ui/DialogLayout.h"
#include "platform/Localization.h"
#include "platform/Types.h"

CPropertySheetDlg::CPropertySheetDlg(wxWindow* parent, const wxString& caption, CSheetController& controller)
    : m_controller(controller) {
  Create(parent, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
  m_buttonRow = new wxBoxSizer(wxHORIZONTAL);
  m_extraRow = new wxBoxSizer(wxHORIZONTAL);
  m_buttonRow->Add(m_extraRow, 0, wxALIGN_CENTER_VERTICAL);
  m_buttonRow->AddStretchSpacer();
  if (m_controller.IsWizard()) {
    AddButton(m_buttonRow, ID_WIZBACK, hv::LocalString(10477, wxS("< &Zurück")));
    AddButton(m_buttonRow, ID_WIZNEXT, hv::LocalString(10476, wxS("&Weiter >")));
    AddButton(m_buttonRow, ID_WIZFINISH, hv::LocalString(10478, wxS("&Fertigstellen")));
    Bind(wxEVT_BUTTON, &CPropertySheetDlg::OnWizard, this, ID_WIZBACK, ID_WIZFINISH);
  } else {
    AddButton(m_buttonRow, wxID_OK, hv::LocalString(10158, wxS("OK")))->SetDefault();
    Bind(wxEVT_BUTTON, &CPropertySheetDlg::OnOK, this, wxID_OK);
  }
  AddButton(m_buttonRow, wxID_CANCEL, hv::LocalString(10051, wxS("Abbrechen")));
  GetInnerSizer()->Add(m_buttonRow, 0, wxEXPAND | wxTOP, 8);
  GetBookCtrl()->Bind(wxEVT_BOOKCTRL_PAGE_CHANGING, &CPropertySheetDlg::OnPageChanging, this);
  GetBookCtrl()->Bind(wxEVT_BOOKCTRL_PAGE_CHANGED, [this](wxBookCtrlEvent& event) {
    event.Skip();
    CallAfter([this] { KeepKeysOnPage(); });
  });
  m_controller.SetView(this);
}

CPropertySheetDlg::~CPropertySheetDlg() { m_controller.SetView(nullptr); }

wxBookCtrlBase* CPropertySheetDlg::CreateBookCtrl() {
  // A wizard has no tabs: only its buttons turn the pages.
  if (m_controller.IsWizard()) return new wxSimplebook(this, wxID_ANY);
  return wxPropertySheetDialog::CreateBookCtrl();
}

wxButton* CPropertySheetDlg::AddButton(wxSizer* row, int id, const wxString& label) {
  auto* button = new wxButton(this, id, label);
  row->Add(button, 0, wxLEFT, 6);
  return button;
}

wxButton* CPropertySheetDlg::AddExtraButton(int id, const wxString& label) {
  auto* button = new wxButton(this, id, label);
  m_extraRow->Add(button, 0, wxRIGHT, 6);
  m_extras.push_back(button);
  button->Hide();
  return button;
}

void CPropertySheetDlg::AddPage(CPropertyPagePanel* page, const wxString& title) {
  m_pages.push_back(page);
  m_loaded.push_back(false);
  GetBookCtrl()->AddPage(page, title);
}

void CPropertySheetDlg::Activate(int index) {
  if (index < 0 || index >= static_cast<int>(m_pages.size())) return;
  const size_t i = static_cast<size_t>(index);
  if (!m_loaded[i] || m_pages[i]->ReloadOnActivate()) {
    m_loaded[i] = true;
    m_pages[i]->LoadFromModel();
  }
  ButtonsChanged();
}

void CPropertySheetDlg::ReloadPage(int index) {
  if (index >= 0 && index < static_cast<int>(m_pages.size()) && m_loaded[static_cast<size_t>(index)])
    m_pages[static_cast<size_t>(index)]->LoadFromModel();
}

void CPropertySheetDlg::ButtonsChanged() {
  for (wxButton* extra : m_extras) extra->Show(m_controller.IsExtraButtonShown(extra->GetId()));
  if (m_controller.IsWizard()) {
    const unsigned flags = m_controller.WizardButtons();
    if (auto* back = FindWindow(ID_WIZBACK)) back->Enable(flags & PSWIZB_BACK);
    if (auto* next = FindWindow(ID_WIZNEXT)) next->Show(!(flags & PSWIZB_FINISH));
    if (auto* finish = FindWindow(ID_WIZFINISH)) finish->Show(flags & PSWIZB_FINISH);
  }
  // The keyboard follows the layout as it is now: a button shown only here (Autoscan on
  // the general page) and a page laid out only when it came to the front were ordered
  // when the sheet opened, from the places they had before.
  OrderTabsByLayout(this);
}

int CPropertySheetDlg::Run() {
  LayoutDialog();
  if (!m_controller.SetActivePage(0)) return IDCANCEL;
  Activate(0);
  Fit();
  CallAfter([this] { FocusFirstField(); });
  const int result = ShowModal();
  if (result == wxID_OK) return IDOK;
  return result == ID_WIZFINISH ? ID_WIZFINISH : IDCANCEL;
}

void CPropertySheetDlg::FocusField(const PageCheck& check) {
  if (!check.field) return;
  // Pages may reuse an id: the page in front holds the field.
  const int active = m_controller.ActivePage();
  wxWindow* field = active >= 0 && active < static_cast<int>(m_pages.size())
                        ? m_pages[static_cast<size_t>(active)]->FindWindow(check.field)
                        : nullptr;
  if (!field) field = FindWindow(check.field);
  if (!field) return;
  field->SetFocus();
  if (check.select < 0) return;
  if (auto* text = dynamic_cast<wxTextCtrl*>(field)) text->ShowPosition(check.select);
  // Combo boxes are text entries too (a name list's edit part).
  if (auto* entry = dynamic_cast<wxTextEntry*>(field)) entry->SetSelection(check.select, check.select + 1);
}

// After a refused button: the page the controller keeps in front is shown, and the keys
// go to the field the refusal names, not back to the button.
void CPropertySheetDlg::ShowRefusal() {
  const int active = m_controller.ActivePage();
  if (active >= 0 && active < static_cast<int>(m_pages.size()) && GetBookCtrl()->GetSelection() != active) {
    m_turning = true;
    GetBookCtrl()->SetSelection(static_cast<size_t>(active));
    m_turning = false;
    Activate(active);
  }
  FocusField(m_controller.LastCheck());
}

bool CPropertySheetDlg::SaveActive() {
  const int from = m_controller.ActivePage();
  if (from < 0 || from >= static_cast<int>(m_pages.size())) return true;
  CPropertyPagePanel* page = m_pages[static_cast<size_t>(from)];
  if (!page->CheckControls()) return false;
  page->SaveToModel();
  return true;
}

void CPropertySheetDlg::OnPageChanging(wxBookCtrlEvent& event) {
  if (m_turning) return;
  if (!SaveActive()) {
    Refuse(event);
    return;
  }
  if (!m_controller.SetActivePage(event.GetSelection())) {
    Refuse(event);
    FocusField(m_controller.LastCheck());
    return;
  }
  Activate(event.GetSelection());
}

void CPropertySheetDlg::Refuse(wxBookCtrlEvent& event) {
  event.Veto();
  // GTK's notebook turns the page even so: the checked page is shown again.
  const int page = m_controller.ActivePage();
  CallAfter([this, page] {
    if (page < 0 || GetBookCtrl()->GetSelection() == page) return;
    m_turning = true;
    GetBookCtrl()->ChangeSelection(static_cast<size_t>(page));
    m_turning = false;
  });
}

void CPropertySheetDlg::OnWizard(wxCommandEvent& event) {
  // Back checks nothing: the user is not done with the page yet.
  const int active = m_controller.ActivePage();
  if (event.GetId() == ID_WIZBACK && active >= 0 && active < static_cast<int>(m_pages.size()))
    m_pages[static_cast<size_t>(active)]->SaveToModel();
  else if (event.GetId() != ID_WIZBACK && !SaveActive())
    return;
  if (event.GetId() == ID_WIZFINISH) {
    if (m_controller.Finish()) EndModal(ID_WIZFINISH);
    else ShowRefusal();
    return;
  }
  const bool moved = event.GetId() == ID_WIZNEXT ? m_controller.Next() : m_controller.Back();
  if (!moved) {
    ShowRefusal();
    return;
  }
  m_turning = true;
  GetBookCtrl()->SetSelection(static_cast<size_t>(m_controller.ActivePage()));
  m_turning = false;
  Activate(m_controller.ActivePage());
  FocusFirstField();
}

// A wizard's page is filled in from its first field, as a keyboard user starts typing.
void CPropertySheetDlg::FocusFirstField() {
  if (m_controller.IsWizard()) FocusFirstFieldOfActive();
}

// GTK's notebook may turn the page on Ctrl+PageDown and leave the keys in a field of the
// page turned away from, where arrows would change a list no one sees: they go to the
// new page's first field.
void CPropertySheetDlg::KeepKeysOnPage() {
  wxWindow* focus = FindFocus();
  if (focus && focus->IsShownOnScreen()) return;
  FocusFirstFieldOfActive();
}

void CPropertySheetDlg::FocusFirstFieldOfActive() {
  const int active = m_controller.ActivePage();
  if (active < 0 || active >= static_cast<int>(m_pages.size())) return;
  std::function<wxWindow*(wxWindow*)> first = [&](wxWindow* parent) -> wxWindow* {
    for (wxWindow* child : parent->GetChildren()) {
      if (!child->IsShown() || !child->IsEnabled()) continue;
      if (child->CanAcceptFocusFromKeyboard() && child->GetChildren().empty()) return child;
      if (wxWindow* inner = first(child)) return inner;
    }
    return nullptr;
  };
  if (wxWindow* field = first(m_pages[static_cast<size_t>(active)])) field->SetFocus();
}

void CPropertySheetDlg::OnOK(wxCommandEvent&) {
  if (!SaveActive()) return;
  for (size_t i = 0; i < m_pages.size(); ++i)
    if (m_loaded[i] && static_cast<int>(i) != m_controller.ActivePage()) m_pages[i]->SaveToModel();
  if (!m_controller.Confirm()) {
    ShowRefusal();
    return;
  }
  EndModal(wxID_OK);
}
