#pragma once
// A check list whose items can be greyed one by one: a greyed item shows in grey and
// cannot be checked or unchecked by the user. Tabs in an item's text split it into the
// text columns, which stand for the tab stops.
#include <vector>
#include <wx/dataview.h>

#include "platform/Types.h"

class CECheckListBox : public wxDataViewListCtrl {
 public:
  // `textColumns` columns after the check box, each `columnWidth` pixels wide.
  CECheckListBox(wxWindow* parent, wxWindowID id, int textColumns = 1, int columnWidth = 120,
                 const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);

  // Appends an item (texts of the columns separated by tabs); returns its index.
  int AddString(const wxString& text, bool checked = false);
  int GetCount() const;
  void SetCheck(int index, bool checked);
  bool GetCheck(int index) const;
  void EnableItem(int index, bool enable);
  bool IsItemEnabled(int index) const;
  // Removes every item; TRUE.
  BOOL DeleteAllStrings();

 private:
  class Store;
  Store* m_store = nullptr;
  int m_textColumns;
};
