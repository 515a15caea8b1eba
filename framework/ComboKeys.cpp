#include "framework/ComboKeys.h"

wxString CComboKeys::KeyAt(int index) const {
  return index >= 0 && index < static_cast<int>(m_keys.size()) ? m_keys[static_cast<size_t>(index)] : wxString();
}

int CComboKeys::FindNoCase(const wxString& key) const {
  for (size_t i = 0; i < m_keys.size(); ++i)
    if (m_keys[i].CmpNoCase(key) == 0) return static_cast<int>(i);
  return -1;
}

int CComboKeys::FindExact(const wxString& key) const {
  for (size_t i = 0; i < m_keys.size(); ++i)
    if (m_keys[i] == key) return static_cast<int>(i);
  return -1;
}

int LoadKeySelection(const CComboKeys& keys, const wxString& key) { return keys.FindExact(key); }

void SaveKeySelection(const CComboKeys& keys, int selection, wxString& key) {
  key = selection >= 0 && selection < static_cast<int>(keys.GetCount()) ? keys.KeyAt(selection) : wxString();
}
