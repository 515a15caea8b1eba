#include "app/ui/ValidatingEdit.h"

#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/combobox.h>
#include <wx/spinbutt.h>
#include <wx/textctrl.h>
#include <wx/textentry.h>
#include <wx/toplevel.h>
#include <wx/validate.h>
#include <wx/window.h>

namespace {

// Runs the edit's check when the dialog validates its data.
class CEEditValidator : public wxValidator {
 public:
  explicit CEEditValidator(CEEdit* edit) : m_edit(edit) {}
  wxObject* Clone() const override { return new CEEditValidator(m_edit); }
  bool Validate(wxWindow*) override { return m_edit->Save(); }
  bool TransferToWindow() override { return true; }
  bool TransferFromWindow() override { return true; }

 private:
  CEEdit* m_edit;
};

bool IsCancel(wxWindow* w) { return w && (w->GetId() == wxID_CANCEL || w->GetId() == wxID_CLOSE); }

}  // namespace

CEEdit::CEEdit(std::unique_ptr<CEditRules> rules) : m_rules(std::move(rules)) {}

CEEdit::~CEEdit() { Detach(); }

BOOL CEEdit::SubclassDlgItem(int id, wxWindow* parent) {
  return parent ? AttachTo(parent->FindWindow(id)) : FALSE;
}

BOOL CEEdit::AttachTo(wxWindow* control) {
  if (!control || !dynamic_cast<wxTextEntry*>(control)) return FALSE;
  Detach();
  m_control = control;
  Bind();
  return TRUE;
}

void CEEdit::Detach() {
  if (m_spin) {
    m_spin->Unbind(wxEVT_SPIN_UP, &CEEdit::OnSpin, this);
    m_spin->Unbind(wxEVT_SPIN_DOWN, &CEEdit::OnSpin, this);
    m_spin->Unbind(wxEVT_DESTROY, &CEEdit::OnSpinDestroyed, this);
    m_spin = nullptr;
  }
  if (!m_control) return;
  Unbind();
  m_control = nullptr;
}

void CEEdit::Bind() {
  m_control->Bind(wxEVT_CHAR, &CEEdit::OnCharEvent, this);
  m_control->Bind(wxEVT_KEY_DOWN, &CEEdit::OnKeyDown, this);
  m_control->Bind(wxEVT_MOUSEWHEEL, &CEEdit::OnWheel, this);
  m_control->Bind(wxEVT_KILL_FOCUS, &CEEdit::OnKillFocusEvent, this);
  m_control->Bind(wxEVT_TEXT_PASTE, &CEEdit::OnPasteEvent, this);
  m_control->Bind(wxEVT_DESTROY, &CEEdit::OnDestroyEvent, this);
  m_control->SetValidator(CEEditValidator(this));
}

void CEEdit::Unbind() {
  m_control->Unbind(wxEVT_CHAR, &CEEdit::OnCharEvent, this);
  m_control->Unbind(wxEVT_KEY_DOWN, &CEEdit::OnKeyDown, this);
  m_control->Unbind(wxEVT_MOUSEWHEEL, &CEEdit::OnWheel, this);
  m_control->Unbind(wxEVT_KILL_FOCUS, &CEEdit::OnKillFocusEvent, this);
  m_control->Unbind(wxEVT_TEXT_PASTE, &CEEdit::OnPasteEvent, this);
  m_control->Unbind(wxEVT_DESTROY, &CEEdit::OnDestroyEvent, this);
  m_control->SetValidator(wxDefaultValidator);
}

void CEEdit::OnDestroyEvent(wxWindowDestroyEvent& event) {
  event.Skip();
  if (event.GetEventObject() == m_control) {
    Unbind();
    m_control = nullptr;
  }
}

wxTextEntry* CEEdit::Entry() const { return m_control ? dynamic_cast<wxTextEntry*>(m_control) : nullptr; }

wxString CEEdit::GetWindowText() const {
  wxTextEntry* e = Entry();
  return e ? e->GetValue() : wxString();
}

void CEEdit::SetWindowText(const wxString& text) {
  wxTextEntry* e = Entry();
  if (e && e->GetValue() != text) e->SetValue(text);
}

EditState CEEdit::State() const {
  EditState s;
  if (wxTextEntry* e = Entry()) {
    s.text = e->GetValue();
    e->GetSelection(&s.selStart, &s.selEnd);
  }
  return s;
}

void CEEdit::Apply(const EditState& state) {
  wxTextEntry* e = Entry();
  if (!e) return;
  SetWindowText(state.text);
  Select(state.selStart, state.selEnd);
}

void CEEdit::Select(long from, long to) {
  wxTextEntry* e = Entry();
  if (!e) return;
  // Scrolled first: on GTK showing a position moves the caret and drops the selection.
  if (auto* text = dynamic_cast<wxTextCtrl*>(m_control)) text->ShowPosition(from);
  e->SetSelection(from, to);
}

void CEEdit::SetFocus() {
  if (m_control) m_control->SetFocus();
}

void CEEdit::SetPigEdit() {
  SetFocus();
  if (wxTextEntry* e = Entry()) e->SelectAll();
}

void CEEdit::OnCharEvent(wxKeyEvent& event) {
  // Ctrl shortcuts (copy, paste, select all) and Alt mnemonics pass; Ctrl+Alt is AltGr
  // on some keyboards and types characters, which are filtered.
  if (event.ControlDown() != event.AltDown() || event.MetaDown()) {
    event.Skip();
    return;
  }
  wxChar ch = event.GetUnicodeKey();
  if (ch == WXK_NONE) {
    switch (event.GetKeyCode()) {
      case WXK_NUMPAD_ADD: ch = '+'; break;
      case WXK_NUMPAD_SUBTRACT: ch = '-'; break;
      default:
        event.Skip();  // arrows, Delete, Home, ...
        return;
    }
  }
  if (ch == WXK_TAB || ch == WXK_RETURN || ch == WXK_ESCAPE || ch == WXK_DELETE) {
    event.Skip();
    return;
  }
  EditState s = State();
  switch (m_rules->OnChar(s, wxUniChar(ch))) {
    case CharResult::Default:
      event.Skip();
      break;
    case CharResult::Handled:
      Apply(s);
      break;
    case CharResult::Refused:
      break;
  }
}

void CEEdit::OnScroll(int delta) {
  if (const std::optional<wxString> text = m_rules->OnScroll(GetWindowText(), delta)) {
    SetWindowText(*text);
    Select(0, -1);
  }
}

void CEEdit::OnKeyDown(wxKeyEvent& event) {
  const int code = event.GetKeyCode();
  const int delta = (code == WXK_UP || code == WXK_NUMPAD_UP) ? 1 : (code == WXK_DOWN || code == WXK_NUMPAD_DOWN) ? -1 : 0;
  if (delta != 0 && !event.HasAnyModifiers() && m_rules->OnScroll(GetWindowText(), delta)) {
    OnScroll(delta);
    return;
  }
  event.Skip();
}

void CEEdit::OnWheel(wxMouseEvent& event) {
  const int rotation = event.GetWheelRotation();
  if (event.GetWheelAxis() == wxMOUSE_WHEEL_VERTICAL && rotation != 0 &&
      m_rules->OnScroll(GetWindowText(), rotation > 0 ? 1 : -1)) {
    OnScroll(rotation > 0 ? 1 : -1);
    return;
  }
  event.Skip();
}

void CEEdit::AttachSpinButton(wxSpinButton* spin) {
  if (m_spin) {
    m_spin->Unbind(wxEVT_SPIN_UP, &CEEdit::OnSpin, this);
    m_spin->Unbind(wxEVT_SPIN_DOWN, &CEEdit::OnSpin, this);
    m_spin->Unbind(wxEVT_DESTROY, &CEEdit::OnSpinDestroyed, this);
  }
  m_spin = spin;
  if (!m_spin) return;
  m_spin->Bind(wxEVT_SPIN_UP, &CEEdit::OnSpin, this);
  m_spin->Bind(wxEVT_SPIN_DOWN, &CEEdit::OnSpin, this);
  m_spin->Bind(wxEVT_DESTROY, &CEEdit::OnSpinDestroyed, this);
}

void CEEdit::OnSpin(wxSpinEvent& event) {
  OnScroll(event.GetEventType() == wxEVT_SPIN_UP ? 1 : -1);
  event.Veto();  // the value lives in the edit, not in the spin button
}

void CEEdit::OnSpinDestroyed(wxWindowDestroyEvent& event) {
  event.Skip();
  if (event.GetEventObject() == m_spin) m_spin = nullptr;
}

void CEEdit::OnPasteEvent(wxClipboardTextEvent& event) {
  wxString text;
  {
    wxClipboardLocker lock;
    if (!lock || !wxTheClipboard->IsSupported(wxDF_UNICODETEXT)) return;
    wxTextDataObject data;
    if (!wxTheClipboard->GetData(data)) return;
    text = data.GetText();
  }
  EditState s = State();
  if (!m_rules->AcceptsInsertion(s, text)) return;  // refused as a whole
  const long start = std::min(s.selStart, s.selEnd);
  s.text = ReplaceSelection(s, text);
  s.selStart = s.selEnd = start + static_cast<long>(text.length());
  Apply(s);
}

void CEEdit::OnKillFocusEvent(wxFocusEvent& event) {
  event.Skip();
  if (GetKillFocusState() || m_focusLossPending) return;
  // Cancel must always work, and leaving for another program checks nothing.
  wxWindow* next = event.GetWindow();
  if (!next || IsCancel(next)) return;
  if (wxGetTopLevelParent(next) != wxGetTopLevelParent(m_control)) return;
  // GTK does not take the focus back from inside its own focus change: after the event.
  m_focusLossPending = true;
  CallAfter(&CEEdit::HandleFocusLoss);
}

void CEEdit::HandleFocusLoss() {
  m_focusLossPending = false;
  if (!m_control || m_control->IsBeingDeleted() || GetKillFocusState()) return;
  wxWindow* top = wxGetTopLevelParent(m_control);
  if (!top || top->IsBeingDeleted() || !top->IsShown()) return;
  if (IsCancel(wxWindow::FindFocus())) return;

  SuppressKillFocus();  // a message box of the check takes the focus too
  const FocusLossResult r = m_rules->OnKillFocus(GetWindowText());
  AllowKillFocus();
  if (!m_control) return;
  SetWindowText(r.text);
  if (r.keepFocus) OnUnouthorizedKillFocus();
}

bool CEEdit::Save() {
  if (!m_control || !m_control->IsEnabled()) return true;
  SuppressKillFocus();
  const SaveResult r = m_rules->OnSave(GetWindowText());
  AllowKillFocus();
  if (!m_control) return r.ok;
  SetWindowText(r.text);
  if (!r.ok) SetPigEdit();
  return r.ok;
}
