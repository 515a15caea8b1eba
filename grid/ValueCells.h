#pragma once
// The rules of the value grid's cells: setting a cell up by kind and range, storing a
// value by data-point type, checking an edited text and stepping a time with the spin
// button. Window-free, so the value grid's window only forwards to these.
#include <wx/string.h>

#include "grid/GridCell.h"

namespace valuecells {

// The index property marks a cell as editable.
constexpr int kEditMarker = 120;
// Cell type codes of the setup that name the value grid's own types.
constexpr int kCodeSpin = 7;
constexpr int kCodePicker = 8;

struct Setup {
  int typeCode = 0;  // 0 normal, 7 spin, 8 date-time picker, else a type index
  int kind = 1;      // 1 text, 6 read-only text, 9 float, else the data type
  double minimum = 0.0, maximum = 0.0;
  wxString text, message;
  GridColour last = SysColour(kColWindow);  // the cell's back colour
};

// The cell a setup describes; `spinIndex` and `pickerIndex` are the registered indexes
// of the two own types (-1 when registering failed).
CGridCell MakeCell(const Setup& setup, int spinIndex, int pickerIndex);

// Stores a text by data-point type flags. False (cell unchanged) when a number type
// gets a text that is no number of that type.
bool SetCellValue(CGridCell& cell, int flags, const wxString& text);

// Whether the value grid opens an editor on the cell. Date-time picker cells count as
// marked: opening the calendar clears the marker.
bool IsEditable(const CGridCell& cell, bool pickerCell);

enum class Check { kAccept, kRefuseSilently, kRefuseWithMessage };
// The check of an edited text before the grid stores it.
Check CheckEdit(const CGridCell& cell, bool pickerCell, bool spinCell, const wxString& text, bool cancelled);

// One spin step on the time of `cell`: the field under `caret` (0-2 hours, 3-5
// minutes, further seconds) up or down, without wrapping. False when nothing changed.
bool SpinStep(CGridCell& cell, int caret, bool up);

// The whole text as a number (blanks around allowed); false for anything else.
bool ParseWhole(const wxString& text, double& value);

}  // namespace valuecells
