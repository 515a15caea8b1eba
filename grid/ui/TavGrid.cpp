#include "grid/ui/TavGrid.h"

#include "platform/Ui.h"

void TavGrid::SetupValueCell(const valuecells::Setup& setup, int firstRow, int lastRow, int firstColumn,
                             int lastColumn) {
  const CGridCell cell = valuecells::MakeCell(setup, m_spinIndex, m_pickerIndex);
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int column = firstColumn; column <= lastColumn; ++column) SetCell(column, row, cell);
  }
  RedrawAll();
}

void TavGrid::SetupValueCellAt(RecipeGridRow row, int column, int rowIndex) {
  valuecells::Setup setup;
  setup.typeCode = static_cast<int>(row.words[0]);
  setup.kind = static_cast<int>(row.words[1]);
  if (setup.kind == 9) {
    setup.minimum = row.values[0];
    setup.maximum = row.values[1];
  } else {
    setup.minimum = static_cast<std::int32_t>(row.words[2]);
    setup.maximum = row.words[3];
  }
  setup.text = row.texts[0];
  setup.message = row.texts[1];
  setup.last = row.last;
  SetupValueCell(setup, rowIndex, rowIndex, column + 1, column + 1);
}

void TavGrid::OnSetup() {
  CGridSheetInfo& s = Sheet();
  s.multiSelectMode = 1;
  s.highlightOption = 1;
  s.defaultRowHeight = 18;
  s.hScrollHeight = 18;
  SetDefaultCellFont(wxS("Arial"), -11, 400);
  m_pickerIndex = AddCellType(m_picker);
  m_spinIndex = AddCellType(m_spin);
}

bool TavGrid::IsPicker(const CGridCell& cell) const {
  return m_pickerIndex > 0 && cell.IsSet(gridcell::kCellType) && cell.GetCellTypeIndex() == m_pickerIndex;
}

bool TavGrid::IsSpin(const CGridCell& cell) const {
  return m_spinIndex > 0 && cell.IsSet(gridcell::kCellType) && cell.GetCellTypeIndex() == m_spinIndex;
}

bool TavGrid::Editable(int column, int row) {
  CGridCell cell;
  if (GetMergedCell(column, row, cell) != 0) return false;
  return valuecells::IsEditable(cell, IsPicker(cell));
}

void TavGrid::OnCellDoubleClick(int column, int row, const GridRect&, GridPoint, int processed) {
  if (column < 0 || row < 0 || !Editable(column, row)) return;
  CGridCell cell;
  GetMergedCell(column, row, cell);
  if (!processed || !IsSpin(cell)) StartEdit(column, row);
}

void TavGrid::OnKeyDown(int& key, int) {
  if (key != WXK_DELETE) return;
  const CGridSheetInfo& s = Sheet();
  if (s.currentColumn < 0 || s.currentRow < 0) return;
  // Only the value goes: the cell keeps its type, range and edit marker.
  CGridCell cell;
  GetCell(s.currentColumn, s.currentRow, cell);
  cell.ClearValue();
  SetCell(s.currentColumn, s.currentRow, cell);
  RedrawAll();
}

void TavGrid::OnCharDown(int& ch, int processed) {
  const CGridSheetInfo& s = Sheet();
  if (processed || ch < 32 || ch == 127 || s.currentColumn < 0 || s.currentRow < 0) return;
  if (Editable(s.currentColumn, s.currentRow)) StartEdit(s.currentColumn, s.currentRow, ch);
}

int TavGrid::OnCellTypeNotify(int typeIndex, int column, int row, int message, CGridNotifyParam& param) {
  if (typeIndex == m_pickerIndex && message == CGridDateTimePickerType::kBeforeCalendar && param.calendar) {
    param.calendar->colours[0] = 0xC8FAFA;
    param.calendar->colours[2] = 0xB4DCDC;
    return 1;
  }
  if (typeIndex == m_spinIndex && (message == CGridSpinButtonType::kUp || message == CGridSpinButtonType::kDown)) {
    CGridCell merged;
    if (GetMergedCell(column, row, merged) != 0 || !valuecells::IsEditable(merged, false)) return 1;
    CGridCell cell;
    GetCell(column, row, cell);
    if (valuecells::SpinStep(cell, EditorSelectionStart(), message == CGridSpinButtonType::kUp)) {
      SetCell(column, row, cell);
      RedrawCell(column, row);
    }
    return 1;
  }
  return 1;
}

int TavGrid::OnEditStart(int column, int row, CGridEditor*&) { return Editable(column, row) ? 1 : 0; }

int TavGrid::OnEditFinish(int column, int row, CGridEditor*, const wxString& text, bool cancelled) {
  CGridCell cell;
  if (GetMergedCell(column, row, cell) != 0) return 1;
  switch (valuecells::CheckEdit(cell, IsPicker(cell), IsSpin(cell), text, cancelled)) {
    case valuecells::Check::kAccept: return 1;
    case valuecells::Check::kRefuseSilently: return 0;
    case valuecells::Check::kRefuseWithMessage:
      hv::Ui().Message(0, cell.GetExtraText(), MB_OK);
      return 0;
  }
  return 1;
}
