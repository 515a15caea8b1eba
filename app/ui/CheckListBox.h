#pragma once
// A check list whose items can be greyed one by one: a greyed item shows in grey and
// cannot be checked or unchecked by the user. Tabs in an item's text split it into the
// text columns, which stand for the tab stops.
//
// A user's click on a box sends wxEVT_CHECKLISTBOX (GetInt(): the item); the program's own
// SetCheck sends nothing. Selection and double click are the list's wxEVT_DATAVIEW_SELECTION_CHANGED
// and wxEVT_DATAVIEW_ITEM_ACTIVATED.
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
  using wxDataViewListCtrl::GetItemData;
  using wxDataViewListCtrl::SetItemData;
  void SetItemData(int index, wxUIntPtr data);
  wxUIntPtr GetItemData(int index) const;
  // The selected item, -1 when none.
  int GetCurSel() const;
  void SetCurSel(int index);
  // Tab stops in dialog units: the n-th text column starts at the n-th stop; the last
  // text column runs to the end of the row.
  void SetTabStops(const std::vector<int>& dialogUnits);
  // Removes every item; TRUE.
  BOOL DeleteAllStrings();

 private:
  class Store;
  Store* m_store = nullptr;
  int m_textColumns;
};
