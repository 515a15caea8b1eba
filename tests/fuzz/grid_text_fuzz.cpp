// Pasted text and typed mask input through the grid core: nothing may crash, hang or
// write outside the sheet, and copying back stays within the sheet's cells.
#include <cstddef>
#include <cstdint>
#include <string>

#include "grid/GridCore.h"
#include "grid/GridInputMask.h"
#include "grid/TavDateTime.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int columns = 1 + data[0] % 8, rows = 1 + data[1] % 8;
  const std::string rest(reinterpret_cast<const char*>(data + 2), size - 2);
  const size_t split = rest.find('\x01');
  const wxString paste = wxString::FromUTF8(rest.substr(0, split).c_str());
  const wxString mask = split == std::string::npos ? wxString() : wxString::FromUTF8(rest.substr(split + 1).c_str());

  CGridCore grid;
  grid.SetColumnCount(columns);
  grid.SetRowCount(rows);
  grid.Sheet().multiSelectMode = data[0] & 0x80;
  grid.LayoutComponents(300, 200);
  grid.MoveToCell(data[1] % columns, (data[0] >> 3) % rows);
  grid.PasteCellText(paste);
  const wxString copied = grid.CopyCellText();
  if (copied.length() > paste.length() + static_cast<size_t>(columns * rows) * 2 + 2) __builtin_trap();
  grid.ReplaceAll(paste.Left(3), mask.Left(3), (data[1] >> 4) | 8);
  grid.SortByColumn(0, data[0] & 2);

  // The masked editor as the core runs it: every character verified and masked.
  CGridCell masked;
  masked.SetInputMask(mask);
  grid.SetCell(0, 0, masked);
  if (grid.StartEdit(0, 0, 0) == 0) {
    const wxString typed = grid.EditorPaste(wxString(), 0, paste.Left(80));
    if (!mask.empty() && typed.length() > mask.length()) __builtin_trap();
    grid.EditorKeyDown(data[1] & 1 ? WXK_TAB : WXK_RETURN, 0, typed, 0, 0, 0);
  }

  CGridInputMask m;
  m.Set(mask);
  wxString text;
  int caret = 0;
  for (wxUniChar ch : paste) {
    if (text.length() > 64) break;
    m.TypeChar(text, caret, caret, caret, ch);
    if (m.Active() && static_cast<int>(text.length()) > m.Positions()) __builtin_trap();
  }
  const wxString reformatted = m.Reformat(paste);
  if (m.Active() && static_cast<int>(reformatted.length()) > m.Positions()) __builtin_trap();
  CGridCell::ParseNumber(paste);
  CTavDateTime dt;
  dt.ParseDateTime(paste);
  return 0;
}
