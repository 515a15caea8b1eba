#include "app/ui/CheckListBox.h"

#include <wx/tokenzr.h>

// The list's store with a per-row enabled state: the toolkit asks it whether a cell may
// be changed and how to draw it.
class CECheckListBox::Store : public wxDataViewListStore {
 public:
  explicit Store(CECheckListBox* owner) : m_owner(owner) {}
  std::vector<bool> enabled;

  bool IsEnabledByRow(unsigned int row, unsigned int) const override {
    return row >= enabled.size() || enabled[row];
  }
  bool GetAttrByRow(unsigned int row, unsigned int col, wxDataViewItemAttr& attr) const override {
    if (IsEnabledByRow(row, col)) return false;
    attr.SetColour(wxColour(0x80, 0x80, 0x80));
    return true;
  }
  bool SetValueByRow(const wxVariant& value, unsigned int row, unsigned int col) override {
    // A greyed item keeps its check whatever tries to toggle it.
    if (!IsEnabledByRow(row, col)) return false;
    if (!wxDataViewListStore::SetValueByRow(value, row, col)) return false;
    // Only the user's toggles get here; SetCheck goes past this override.
    if (col == 0) {
      wxCommandEvent changed(wxEVT_CHECKLISTBOX, m_owner->GetId());
      changed.SetEventObject(m_owner);
      changed.SetInt(static_cast<int>(row));
      m_owner->HandleWindowEvent(changed);
    }
    return true;
  }

 private:
  CECheckListBox* m_owner;
};

CECheckListBox::CECheckListBox(wxWindow* parent, wxWindowID id, int textColumns, int columnWidth, const wxPoint& pos,
                               const wxSize& size)
    : wxDataViewListCtrl(parent, id, pos, size, wxDV_SINGLE | wxDV_NO_HEADER), m_textColumns(std::max(1, textColumns)) {
  m_store = new Store(this);
  AssociateModel(m_store);
  m_store->DecRef();
  AppendToggleColumn(wxString(), wxDATAVIEW_CELL_ACTIVATABLE, wxCOL_WIDTH_AUTOSIZE);
  for (int i = 0; i < m_textColumns; ++i) AppendTextColumn(wxString(), wxDATAVIEW_CELL_INERT, columnWidth);
}

int CECheckListBox::AddString(const wxString& text, bool checked) {
  wxVector<wxVariant> values;
  values.push_back(wxVariant(checked));
  wxStringTokenizer parts(text, "\t", wxTOKEN_RET_EMPTY_ALL);
  for (int i = 0; i < m_textColumns; ++i) values.push_back(wxVariant(parts.HasMoreTokens() ? parts.GetNextToken() : wxString()));
  m_store->enabled.push_back(true);
  AppendItem(values);
  return GetCount() - 1;
}

int CECheckListBox::GetCount() const { return static_cast<int>(m_store->GetItemCount()); }

void CECheckListBox::SetCheck(int index, bool checked) {
  if (index < 0 || index >= GetCount()) return;
  // The program may change a greyed item; only the user may not.
  m_store->wxDataViewListStore::SetValueByRow(wxVariant(checked), static_cast<unsigned>(index), 0);
  m_store->RowValueChanged(static_cast<unsigned>(index), 0);
}

bool CECheckListBox::GetCheck(int index) const {
  if (index < 0 || index >= GetCount()) return false;
  wxVariant value;
  m_store->GetValueByRow(value, static_cast<unsigned>(index), 0);
  return value.GetBool();
}

void CECheckListBox::EnableItem(int index, bool enable) {
  if (index < 0 || index >= GetCount()) return;
  m_store->enabled[static_cast<size_t>(index)] = enable;
  m_store->RowChanged(static_cast<unsigned>(index));
}

bool CECheckListBox::IsItemEnabled(int index) const {
  return index >= 0 && index < GetCount() && m_store->enabled[static_cast<size_t>(index)];
}

BOOL CECheckListBox::DeleteAllStrings() {
  DeleteAllItems();
  m_store->enabled.clear();
  return TRUE;
}

void CECheckListBox::SetItemData(int index, wxUIntPtr data) {
  if (index < 0 || index >= GetCount()) return;
  wxDataViewListCtrl::SetItemData(RowToItem(index), data);
}

wxUIntPtr CECheckListBox::GetItemData(int index) const {
  if (index < 0 || index >= GetCount()) return 0;
  return wxDataViewListCtrl::GetItemData(RowToItem(index));
}

int CECheckListBox::GetCurSel() const { return GetSelectedRow(); }

void CECheckListBox::SetCurSel(int index) {
  if (index < 0 || index >= GetCount()) {
    UnselectAll();
    return;
  }
  SelectRow(static_cast<unsigned>(index));
  EnsureVisible(RowToItem(index));
}

void CECheckListBox::SetTabStops(const std::vector<int>& dialogUnits) {
  int previous = 0;
  for (int i = 0; i + 1 < m_textColumns && i < static_cast<int>(dialogUnits.size()); ++i) {
    const int width = ConvertDialogToPixels(wxPoint(dialogUnits[static_cast<size_t>(i)] - previous, 0)).x;
    GetColumn(static_cast<unsigned>(i + 1))->SetWidth(std::max(1, width));
    previous = dialogUnits[static_cast<size_t>(i)];
  }
  GetColumn(static_cast<unsigned>(m_textColumns))->SetWidth(wxCOL_WIDTH_AUTOSIZE);
}
