#pragma once
// The keys of a choice box's items (one per item, by index) and the rules that pick an
// item by its key; the toolkit's choice box in ui/ holds the texts.
#include <vector>
#include <wx/string.h>

class CComboKeys {
 public:
  void Add(const wxString& key) { m_keys.push_back(key); }
  void Clear() { m_keys.clear(); }
  size_t GetCount() const { return m_keys.size(); }
  // Empty past the last item.
  wxString KeyAt(int index) const;
  // The first item whose key equals `key` ignoring case; -1 when none.
  int FindNoCase(const wxString& key) const;
  // The first item whose key equals `key` exactly; -1 when none.
  int FindExact(const wxString& key) const;

 private:
  std::vector<wxString> m_keys;
};

// A dialog's exchange of a key with its choice box: loading selects the item with exactly
// that key (none when no item has it); saving takes the selected item's key, or an
// empty key when nothing is selected.
int LoadKeySelection(const CComboKeys& keys, const wxString& key);
void SaveKeySelection(const CComboKeys& keys, int selection, wxString& key);
