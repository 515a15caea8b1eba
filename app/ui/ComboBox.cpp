#include "app/ui/ComboBox.h"

#include <cstdint>

CEComboBox::CEComboBox(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxChoice(parent, id, pos, size) {}

int CEComboBox::AddItem(const wxString& text, const wxString& key) {
  const int index = Append(text);
  if (index == wxNOT_FOUND) return index;
  m_keys.Add(key);
  return index;
}

int CEComboBox::GetSelectedItem(wxString& text, wxString& key) const {
  const int selection = GetSelection();
  if (selection == wxNOT_FOUND) return -1;
  text = GetString(static_cast<unsigned>(selection));
  key = m_keys.KeyAt(selection);
  return selection;
}

int CEComboBox::SelectKey(const wxString& key) {
  const int index = m_keys.FindNoCase(key);
  if (index >= 0) SetSelection(index);
  return index;
}

void CEComboBox::SetItemNumber(int index, DWORD value) {
  SetClientData(static_cast<unsigned>(index), reinterpret_cast<void*>(static_cast<std::uintptr_t>(value)));
}

DWORD CEComboBox::GetItemNumber(int index) const {
  return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(GetClientData(static_cast<unsigned>(index))));
}

void CEComboBox::ResetContent() {
  Clear();
  m_keys.Clear();
}

void CEComboBox::ReplaceContent(const std::vector<wxString>& texts, const std::vector<wxString>& keys) {
  ReplaceItems(this, texts);
  m_keys.Clear();
  for (size_t i = 0; i < texts.size(); ++i) m_keys.Add(i < keys.size() ? keys[i] : wxString());
}

void ReplaceItems(wxChoice* choice, const std::vector<wxString>& texts) {
  if (texts.empty()) {
    choice->Clear();
    return;
  }
  const unsigned count = static_cast<unsigned>(texts.size());
  while (choice->GetCount() > count) choice->Delete(choice->GetCount() - 1);
  for (unsigned i = 0; i < count; ++i) {
    if (i >= choice->GetCount())
      choice->Append(texts[i]);
    else if (choice->GetString(i) != texts[i])
      choice->SetString(i, texts[i]);
  }
}

bool CCBKeyValidator::TransferToWindow() {
  auto* box = dynamic_cast<CEComboBox*>(GetWindow());
  if (!box || !m_key) return false;
  const int index = LoadKeySelection(box->Keys(), *m_key);
  box->SetSelection(index >= 0 ? index : wxNOT_FOUND);
  return true;
}

bool CCBKeyValidator::TransferFromWindow() {
  auto* box = dynamic_cast<CEComboBox*>(GetWindow());
  if (!box || !m_key) return false;
  SaveKeySelection(box->Keys(), box->GetSelection(), *m_key);
  return true;
}

bool CCBItemDataValidator::TransferToWindow() {
  auto* box = dynamic_cast<CEComboBox*>(GetWindow());
  if (!box || !m_value) return false;
  int found = wxNOT_FOUND;
  for (unsigned i = 0; i < box->GetCount() && found == wxNOT_FOUND; ++i)
    if (box->GetItemNumber(static_cast<int>(i)) == *m_value) found = static_cast<int>(i);
  box->SetSelection(found);
  return true;
}

bool CCBItemDataValidator::TransferFromWindow() {
  auto* box = dynamic_cast<CEComboBox*>(GetWindow());
  if (!box || !m_value) return false;
  const int selection = box->GetSelection();
  if (selection != wxNOT_FOUND) *m_value = box->GetItemNumber(selection);
  return true;
}
