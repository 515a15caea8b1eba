#pragma once
// The validating edit: attached to a text control (or a combo box's entry) of a dialog,
// it filters typed and pasted text, checks and formats the text when the focus leaves,
// steps the value from arrow keys, the wheel and a spin button, and checks the text
// when the dialog saves (a validator on the control). All rules live in CEditRules.
#include <memory>
#include <wx/event.h>
#include <wx/string.h>

#include "framework/EditValidation.h"

class wxSpinButton;
class wxSpinEvent;
class wxTextEntry;
class wxWindow;

class CEEdit : public wxEvtHandler {
 public:
  explicit CEEdit(std::unique_ptr<CEditRules> rules);
  ~CEEdit() override;
  CEEdit(const CEEdit&) = delete;
  CEEdit& operator=(const CEEdit&) = delete;

  // Takes over the text control or combo box with that id among the parent's children.
  BOOL SubclassDlgItem(int id, wxWindow* parent);
  BOOL AttachTo(wxWindow* control);
  void Detach();
  wxWindow* GetControl() const { return m_control; }

  wxString GetWindowText() const;
  void SetWindowText(const wxString& text);

  void SetForbiddenCharset(const CharacterSet& set) { m_rules->SetForbiddenCharset(set); }
  // Steps the value; spin buttons, Up/Down and the wheel come here.
  void OnScroll(int delta);
  void AttachSpinButton(wxSpinButton* spin);

  // While suppressed (a message box of our own is open) focus loss is not handled.
  BOOL GetKillFocusState() const { return m_suppress > 0; }
  void SuppressKillFocus() { ++m_suppress; }
  void AllowKillFocus() {
    if (m_suppress > 0) --m_suppress;
  }
  void SetFocus();
  // Puts the focus back on this edit with its text selected (a refused save).
  void SetPigEdit();

  // The dialog saves: the rules' check; false keeps the dialog open on this edit.
  bool Save();

 protected:
  CEditRules& Rules() { return *m_rules; }
  const CEditRules& Rules() const { return *m_rules; }
  wxTextEntry* Entry() const;
  // The focus left without the text being acceptable: it comes back.
  virtual void OnUnouthorizedKillFocus() { SetFocus(); }
  void Select(long from, long to);

 private:
  void Bind();
  void Unbind();
  EditState State() const;
  void Apply(const EditState& state);
  void OnCharEvent(wxKeyEvent& event);
  void OnKeyDown(wxKeyEvent& event);
  void OnWheel(wxMouseEvent& event);
  void OnKillFocusEvent(wxFocusEvent& event);
  void OnPasteEvent(wxClipboardTextEvent& event);
  void OnDestroyEvent(wxWindowDestroyEvent& event);
  void OnSpin(wxSpinEvent& event);
  void OnSpinDestroyed(wxWindowDestroyEvent& event);
  void HandleFocusLoss();

  std::unique_ptr<CEditRules> m_rules;
  wxWindow* m_control = nullptr;
  wxSpinButton* m_spin = nullptr;
  int m_suppress = 0;
  bool m_focusLossPending = false;
};
