#include "framework/DialogTexts.h"
#include "app/ui/SmallDialogs.h"

#include "app/ui/ImageStrip.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dirctrl.h>
#include <wx/filepicker.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/treectrl.h>

#include "model/NewObjectKinds.h"
#include "framework/PathDialogRules.h"
#include "framework/ui/DialogLayout.h"
#include "platform/Codec.h"
#include "platform/Localization.h"
#include "platform/Ui.h"

namespace {

wxSizer* Row(wxWindow* parent, const wxString& label, wxWindow* control) {
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(new wxStaticText(parent, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
  row->Add(control, 1, wxEXPAND);
  return row;
}

void Finish(wxDialog* dlg, wxBoxSizer* sizer) {
  sizer->Add(dlg->CreateButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxALIGN_RIGHT, 10);
  dlg->SetSizerAndFit(sizer);
}

int Result(int modal) { return modal == wxID_OK ? IDOK : IDCANCEL; }

class WxTreeData : public wxTreeItemData {
 public:
  explicit WxTreeData(TypeCode c) : code(c) {}
  TypeCode code;
};

}  // namespace

// --- name and logical id ---

CDlgNewNameAndLogID::CDlgNewNameAndLogID(wxWindow* parent, NewNameAndLogIdRequest& request)
    : CDlgNewName(parent, request), m_full(request) {
  SetId(132);
  auto* logId = new wxTextCtrl(this, 1129, wxString());
  GetSizer()->Insert(2, Row(this, DlgText(wxS("Logische ID:")), logId), 0, wxLEFT | wxRIGHT | wxEXPAND, 10);
  m_logIdEdit.Attach(1129, this, static_cast<double>(request.logId), 0, kMaxLogId, 5);
  Fit();
}

bool CDlgNewNameAndLogID::TransferDataFromWindow() {
  if (!CDlgNewName::TransferDataFromWindow()) return false;
  m_full.logId = static_cast<long>(m_logIdEdit.GetValue());
  return true;
}

// --- logical id ---

CDlgLogID::CDlgLogID(wxWindow* parent, LogIdRequest& request)
    : wxDialog(parent, 131, DlgText(wxS("Logische ID"))), m_request(request) {
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  auto* edit = new wxTextCtrl(this, 1129, wxString());
  sizer->Add(Row(this, DlgText(wxS("Logische ID:")), edit), 0, wxALL | wxEXPAND, 10);
  Finish(this, sizer);
  m_edit.Attach(1129, this, static_cast<double>(request.logId), 0, kMaxLogId, 5);
  FocusOnOpen(this, edit);
}

bool CDlgLogID::TransferDataFromWindow() {
  m_request.logId = static_cast<long>(m_edit.GetValue());
  return true;
}

// --- language name ---

CDlgNewLanguage::CDlgNewLanguage(wxWindow* parent, NewLanguageRequest& request)
    : wxDialog(parent, 135, DlgText(wxS("Sprache hinzufügen"))), m_request(request) {
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  m_edit = new wxTextCtrl(this, 1136, request.name, wxDefaultPosition, wxSize(240, -1));
  m_edit->SetMaxLength(NewLanguageRequest::kMaxLength);
  sizer->Add(Row(this, DlgText(wxS("Sprache:")), m_edit), 0, wxALL | wxEXPAND, 10);
  Finish(this, sizer);
  FocusOnOpen(this, m_edit);
}

bool CDlgNewLanguage::TransferDataFromWindow() {
  if (!hv::FitsCp1252(m_edit->GetValue())) {
    hv::ShowMessage(10941, wxS("Der Name enthält Zeichen, die nicht gespeichert werden können!"),
                    MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  m_request.name = m_edit->GetValue();
  return true;
}

// --- mask copy ---

CDlgCopyMask::CDlgCopyMask(wxWindow* parent, CopyMaskRequest& request)
    : wxDialog(parent, 136, request.title.empty() ? wxString(DlgText(wxS("Maske 'XXX' kopieren"))) : request.title),
      m_request(request) {
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(new wxStaticText(this, wxID_ANY, DlgText(wxS("Folgende Komponenten mitkopieren:"))), 0, wxALL, 10);
  m_texts = new wxCheckBox(this, 1002, DlgText(wxS("Texte")));
  m_bitmaps = new wxCheckBox(this, 1138, DlgText(wxS("Bitmaps")));
  m_texts->SetValue(request.copyTexts);
  m_bitmaps->SetValue(request.copyBitmaps);
  sizer->Add(m_texts, 0, wxLEFT | wxRIGHT, 20);
  sizer->Add(m_bitmaps, 0, wxLEFT | wxRIGHT | wxTOP, 20);
  Finish(this, sizer);
}

bool CDlgCopyMask::TransferDataFromWindow() {
  m_request.copyTexts = m_texts->GetValue();
  m_request.copyBitmaps = m_bitmaps->GetValue();
  return true;
}

// --- FTP login ---

CUserPwdDlg::CUserPwdDlg(wxWindow* parent, UserPwdRequest& request)
    : wxDialog(parent, 108, DlgText(wxS("Passwort eingeben"))), m_request(request) {
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  m_user = new wxTextCtrl(this, 1071, request.user, wxDefaultPosition, wxSize(200, -1));
  m_password = new wxTextCtrl(this, 1070, request.password, wxDefaultPosition, wxSize(200, -1), wxTE_PASSWORD);
  m_save = new wxCheckBox(this, 1002, DlgText(wxS("Speichern")));
  m_save->SetValue(request.save);
  sizer->Add(Row(this, DlgText(wxS("Benutzer:")), m_user), 0, wxALL | wxEXPAND, 10);
  sizer->Add(Row(this, DlgText(wxS("Kennwort:")), m_password), 0, wxLEFT | wxRIGHT | wxEXPAND, 10);
  sizer->Add(m_save, 0, wxALL, 10);
  Finish(this, sizer);
  // Typing goes where the login is missing, not to the OK button.
  (request.user.empty() ? m_user : m_password)->SetFocus();
}

bool CUserPwdDlg::TransferDataFromWindow() {
  m_request.user = m_user->GetValue();
  m_request.password = m_password->GetValue();
  m_request.save = m_save->GetValue();
  return true;
}

// --- text import and export ---

CDlgStringExport::CDlgStringExport(wxWindow* parent, StringExportRequest& request)
    : wxDialog(parent, wxID_ANY, StringExportTitle(request.import)), m_request(request) {
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  m_file = new wxFilePickerCtrl(this, wxID_ANY, request.path, StringExportTitle(request.import), wxS("*.txt"),
                                wxDefaultPosition, wxSize(360, -1),
                                request.import ? wxFLP_OPEN | wxFLP_FILE_MUST_EXIST : wxFLP_SAVE | wxFLP_OVERWRITE_PROMPT);
  m_language = new wxChoice(this, 1029);
  for (const auto& [id, name] : request.languages) {
    m_language->Append(name);
    if (id == request.language) m_language->SetSelection(static_cast<int>(m_language->GetCount()) - 1);
  }
  if (m_language->GetSelection() == wxNOT_FOUND && m_language->GetCount() > 0) m_language->SetSelection(0);
  sizer->Add(m_file, 0, wxALL | wxEXPAND, 10);
  sizer->Add(m_language, 0, wxLEFT | wxRIGHT | wxEXPAND, 10);
  Finish(this, sizer);
  if (auto* ok = FindWindow(wxID_OK)) ok->SetLabel(request.import ? DlgText(wxS("&Importieren")) : DlgText(wxS("&Exportieren")));
}

bool CDlgStringExport::TransferDataFromWindow() {
  if (m_file->GetPath().empty()) return false;
  m_request.path = StringExportPath(m_file->GetPath(), m_request.import);
  const int sel = m_language->GetSelection();
  if (sel != wxNOT_FOUND) m_request.language = m_request.languages[static_cast<size_t>(sel)].first;
  return true;
}

// --- kind of a new object ---

CDlgNewObject::CDlgNewObject(wxWindow* parent, NewObjectRequest& request)
    : wxDialog(parent, 111, DlgText(wxS("Neues Objekt einfügen"))), m_request(request) {
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(new wxStaticText(this, wxID_ANY, DlgText(wxS("Objekttyp:"))), 0, wxLEFT | wxRIGHT | wxTOP, 10);
  m_tree = new wxTreeCtrl(this, 1023, wxDefaultPosition, wxSize(260, 220),
                          wxTR_HIDE_ROOT | wxTR_NO_LINES | wxTR_SINGLE | wxTR_DEFAULT_STYLE);
  const wxTreeItemId root = m_tree->AddRoot(wxString());
  // Each kind with its class image from the program's strip.
  auto* images = new wxImageList(16, 16, true);
  if (request.object) {
    for (const NewObjectKind& kind : NewObjectKindsFor(*request.object)) {
      const int image = images->Add(StripImage(kind.image, 16));
      m_tree->AppendItem(root, kind.name, image, image, new WxTreeData(kind.code));
    }
  }
  m_tree->AssignImageList(images);
  wxTreeItemIdValue cookie;
  const wxTreeItemId first = m_tree->GetFirstChild(root, cookie);
  if (first.IsOk()) m_tree->SelectItem(first);
  m_tree->Bind(wxEVT_TREE_ITEM_ACTIVATED, &CDlgNewObject::OnActivated, this);
  sizer->Add(m_tree, 1, wxALL | wxEXPAND, 10);
  Finish(this, sizer);
  // The kinds take the keys at once: arrows choose, Return makes the chosen kind.
  m_tree->SetFocus();
}

void CDlgNewObject::OnActivated(wxTreeEvent&) {
  if (Validate() && TransferDataFromWindow()) EndModal(wxID_OK);
}

bool CDlgNewObject::TransferDataFromWindow() {
  const wxTreeItemId sel = m_tree->GetSelection();
  auto* data = sel.IsOk() ? dynamic_cast<WxTreeData*>(m_tree->GetItemData(sel)) : nullptr;
  // Nothing chosen: the dialog ends as cancelled.
  m_request.typeCode = data ? data->code : TypeCode::None;
  return true;
}

// --- project folder picker ---

CPathDialog::CPathDialog(wxWindow* parent, PathDialogRequest& request)
    : wxDialog(parent, wxID_ANY, request.caption, wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_request(request) {
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  if (!request.prompt.empty()) sizer->Add(new wxStaticText(this, wxID_ANY, request.prompt), 0, wxALL, 10);
  m_dirs = new wxGenericDirCtrl(this, wxID_ANY, request.initialPath, wxDefaultPosition, wxSize(360, 300),
                                wxDIRCTRL_DIR_ONLY);
  m_edit = new wxTextCtrl(this, 14148, wxString());
  sizer->Add(m_dirs, 1, wxLEFT | wxRIGHT | wxTOP | wxEXPAND, 10);
  sizer->Add(m_edit, 0, wxALL | wxEXPAND, 10);
  Finish(this, sizer);
  m_dirs->Bind(wxEVT_DIRCTRL_SELECTIONCHANGED, [this](wxTreeEvent&) { OnSelection(); });
  m_edit->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { OnTyped(); });
  Bind(wxEVT_BUTTON, &CPathDialog::OnOK, this, wxID_OK);
  OnSelection();
}

void CPathDialog::OnSelection() {
  const wxString path = m_dirs->GetPath();
  const bool ok = PathDialogAcceptsSelection(path);
  m_settingText = true;
  m_edit->ChangeValue(ok ? path : wxString());
  m_settingText = false;
  if (auto* button = FindWindow(wxID_OK)) button->Enable(ok);
}

void CPathDialog::OnTyped() {
  if (m_settingText) return;
  if (auto* button = FindWindow(wxID_OK)) button->Enable(PathDialogAcceptsTyped(m_edit->GetValue()));
}

void CPathDialog::OnOK(wxCommandEvent&) {
  if (ConfirmPathDialog(m_request, m_edit->GetValue()) == IDOK) EndModal(wxID_OK);
  else m_edit->SetFocus();
}

// --- registration ---

void RegisterSmallDialogs() {
  hv::Ui().Register<NewNameAndLogIdRequest>([](NewNameAndLogIdRequest& r) {
    CDlgNewNameAndLogID dlg(wxTheApp->GetTopWindow(), r);
    return Result(dlg.ShowModal());
  });
  hv::Ui().Register<LogIdRequest>([](LogIdRequest& r) {
    LogIdRequest copy = r;
    CDlgLogID dlg(wxTheApp->GetTopWindow(), copy);
    const int result = Result(dlg.ShowModal());
    if (result == IDOK) r = copy;
    return result;
  });
  hv::Ui().Register<NewLanguageRequest>([](NewLanguageRequest& r) {
    CDlgNewLanguage dlg(wxTheApp->GetTopWindow(), r);
    return Result(dlg.ShowModal());
  });
  hv::Ui().Register<CopyMaskRequest>([](CopyMaskRequest& r) {
    CopyMaskRequest copy = r;
    CDlgCopyMask dlg(wxTheApp->GetTopWindow(), copy);
    const int result = Result(dlg.ShowModal());
    if (result == IDOK) r = copy;
    return result;
  });
  hv::Ui().Register<UserPwdRequest>([](UserPwdRequest& r) {
    UserPwdRequest copy = r;
    CUserPwdDlg dlg(wxTheApp->GetTopWindow(), copy);
    const int result = Result(dlg.ShowModal());
    if (result == IDOK) r = copy;
    return result;
  });
  hv::Ui().Register<StringExportRequest>([](StringExportRequest& r) {
    StringExportRequest copy = r;
    CDlgStringExport dlg(wxTheApp->GetTopWindow(), copy);
    const int result = Result(dlg.ShowModal());
    if (result == IDOK) r = copy;
    return result;
  });
  hv::Ui().Register<NewObjectRequest>([](NewObjectRequest& r) {
    NewObjectRequest copy = r;
    CDlgNewObject dlg(wxTheApp->GetTopWindow(), copy);
    if (dlg.ShowModal() != wxID_OK || copy.typeCode == TypeCode::None) return static_cast<int>(IDCANCEL);
    r = copy;
    return static_cast<int>(IDOK);
  });
  hv::Ui().Register<PathDialogRequest>([](PathDialogRequest& r) {
    PathDialogRequest copy = r;
    CPathDialog dlg(wxTheApp->GetTopWindow(), copy);
    if (dlg.ShowModal() != wxID_OK) return -1;
    r = copy;
    return static_cast<int>(IDOK);
  });
}
