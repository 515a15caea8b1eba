#pragma once
// The value grid: cells set up by data type, range and message, edited in place and
// checked before they are stored; date cells with a calendar, time cells with a spin
// button.
#include "grid/GridCellTypes.h"
#include "grid/ValueCells.h"
#include "grid/ui/GridCtrl.h"
#include "processdata/RecipeGridRow.h"

class TavGrid : public CGridCtrl {
 public:
  TavGrid() = default;

  // Writes the cell a setup describes into every cell of the block (rows and columns
  // inclusive).
  void SetupValueCell(const valuecells::Setup& setup, int firstRow, int lastRow, int firstColumn, int lastColumn);
  // Stores a text into `cell` by data-point type flags; false when it is no such number.
  // The recipe editor's row: sets up the cell right of (column, row) from the row's type
  // code, kind, bounds (whole numbers, or the two floats for kind 9), text, message and
  // back colour.
  void SetupValueCellAt(RecipeGridRow row, int column, int rowIndex);
  static bool SetCellValue(CGridCell& cell, int flags, const wxString& text) {
    return valuecells::SetCellValue(cell, flags, text);
  }
  int PickerTypeIndex() const { return m_pickerIndex; }
  int SpinTypeIndex() const { return m_spinIndex; }

  void OnSetup() override;
  void OnCellDoubleClick(int column, int row, const GridRect& rect, GridPoint point, int processed) override;
  void OnKeyDown(int& key, int processed) override;
  void OnCharDown(int& ch, int processed) override;
  int OnCellTypeNotify(int typeIndex, int column, int row, int message, CGridNotifyParam& param) override;
  int OnEditStart(int column, int row, CGridEditor*& editor) override;
  int OnEditFinish(int column, int row, CGridEditor* editor, const wxString& text, bool cancelled) override;

 private:
  bool IsPicker(const CGridCell& cell) const;
  bool IsSpin(const CGridCell& cell) const;
  bool Editable(int column, int row);

  CGridDateTimePickerType m_picker;
  CGridSpinButtonType m_spin;
  int m_pickerIndex = -1, m_spinIndex = -1;
};
