#pragma once
// A choice box that keeps a key per item, and the validators that exchange a key or an
// item's number with a dialog's data.
#include <vector>
#include <wx/choice.h>
#include <wx/validate.h>

#include "framework/ComboKeys.h"
#include "platform/Types.h"

class CEComboBox : public wxChoice {
 public:
  CEComboBox(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
             const wxSize& size = wxDefaultSize);

  // Appends an item with its key; returns its index.
  int AddItem(const wxString& text, const wxString& key);
  // The selected item's text and key; -1 (nothing written) when none is selected.
  int GetSelectedItem(wxString& text, wxString& key) const;
  // Selects the first item whose key equals `key` ignoring case; -1 when none.
  int SelectKey(const wxString& key);
  void SetItemNumber(int index, DWORD value);
  DWORD GetItemNumber(int index) const;
  // Removes every item and key.
  void ResetContent();
  // The items become these texts with their keys, changed in place (ReplaceItems).
  void ReplaceContent(const std::vector<wxString>& texts, const std::vector<wxString>& keys);
  const CComboKeys& Keys() const { return m_keys; }

 private:
  CComboKeys m_keys;
};

// Gives the box these items without emptying it on the way: the items it has take the
// new texts (keeping their item data), the rest are added or taken off at the end. A GTK
// list that runs empty turns insensitive and gives the keyboard away, so a list refilled
// after the user's arrow key would not take the next one. Only an empty content empties it.
void ReplaceItems(wxChoice* choice, const std::vector<wxString>& texts);

// DDX_CBKey: the box shows the item whose key equals the value exactly (or nothing);
// on saving the value takes the selected item's key, empty when nothing is selected.
class CCBKeyValidator : public wxValidator {
 public:
  explicit CCBKeyValidator(wxString* key) : m_key(key) {}
  wxObject* Clone() const override { return new CCBKeyValidator(m_key); }
  bool Validate(wxWindow*) override { return true; }
  bool TransferToWindow() override;
  bool TransferFromWindow() override;

 private:
  wxString* m_key;
};

// DDX_CBItemData: the same with the items' numbers.
class CCBItemDataValidator : public wxValidator {
 public:
  explicit CCBItemDataValidator(DWORD* value) : m_value(value) {}
  wxObject* Clone() const override { return new CCBItemDataValidator(m_value); }
  bool Validate(wxWindow*) override { return true; }
  bool TransferToWindow() override;
  bool TransferFromWindow() override;

 private:
  DWORD* m_value;
};
