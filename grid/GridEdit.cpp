// The in-place edit cycle and the popup menu decision.
#include <algorithm>

#include "grid/GridCore.h"
#include "grid/GridInputMask.h"

int CGridCore::StartEdit(int column, int row, int firstKey) {
  CGridSheetInfo& s = *m_sheet;
  if (m_editActive) return 1;
  m_editActive = true;
  m_editColumn = column;
  m_editRow = row;
  m_editCell.ResetProperties();
  int l, t, r, b;
  const bool hadSelection = s.selection.GetUnionRect(l, t, r, b) == 0;
  s.selection.RemoveAllBlocks();
  s.targetColumn = s.currentColumn;
  s.targetRow = s.currentRow;
  if (hadSelection && (l != column || r != column || t != row || b != row)) InvalidateCells(l, t, r, b);
  if (column != s.currentColumn || row != s.currentRow) {
    if (MoveToCell(column, row) != 0) {
      m_editActive = false;
      return 2;
    }
  }
  if (GetMergedCell(column, row, m_editCell) != 0) {
    m_editActive = false;
    return 1;
  }
  CGridCellType& type = CellTypeOf(m_editCell);
  if (!type.AllowsTextEdit()) {
    m_editActive = false;
    return 1;
  }
  GridRect rect;
  CellRectangle(column, row, rect);
  rect.right -= 1;
  rect.bottom -= 1;
  type.AdjustEditRect(rect);
  if (m_editCell.IsSet(gridcell::kReadOnly) && m_editCell.GetReadOnly() != 0) {
    m_editActive = false;
    return 1;
  }
  CGridEditor* editor = m_editCell.IsSet(gridcell::kInputMask) ? &m_maskedEditor : &m_plainEditor;
  if (s.DefaultSource().OnEditStart(column, row, editor) == 0 || OnEditStart(column, row, editor) == 0) {
    m_editActive = false;
    RedrawCell(column, row);
    return 1;
  }
  m_editor = editor;
  m_editStartRect = rect;
  m_editGrows = editor == &m_plainEditor && type.QualifiesForOverflow(m_editCell);
  const int font = m_editCell.IsSet(gridcell::kFont) ? m_editCell.GetFont() : s.defaultFont;
  if (m_view) {
    wxString text = m_editCell.GetText();
    // The masked editor shows the text walked along its mask.
    if (editor == &m_maskedEditor && m_editCell.IsSet(gridcell::kInputMask) && !text.empty()) {
      CGridInputMask mask;
      mask.Set(m_editCell.GetInputMask());
      if (mask.Active()) text = mask.Reformat(text);
    }
    m_view->ShowEditor(editor, rect, text, font);
    if (firstKey > 0) m_view->InjectFirstChar(editor, firstKey);
  }
  return 0;
}

bool CGridCore::VerifyEditChar(int& ch) {
  const CGridSheetInfo& s = *m_sheet;
  if (m_sheet->DefaultSource().OnEditVerify(s.currentColumn, s.currentRow, m_editor, ch) == 0) return false;
  return OnEditVerify(s.currentColumn, s.currentRow, m_editor, ch) != 0;
}

int CGridCore::FinishEdit(bool cancelled, const wxString& text, bool moveOn, int nextColumn, int nextRow) {
  // A hook that shows a message box brings focus events while it runs.
  if (m_finishing) return 0;
  if (!m_editActive) cancelled = true;
  CGridSheetInfo& s = *m_sheet;
  const int column = m_editColumn, row = m_editRow;
  m_finishing = true;
  const bool accepted = s.DefaultSource().OnEditFinish(column, row, m_editor, text, cancelled) == 1 &&
                        OnEditFinish(column, row, m_editor, text, cancelled) != 0;
  m_finishing = false;
  if (!accepted) return 0;
  if (m_view && m_editor) m_view->HideEditor(m_editor);
  if (!cancelled && m_editActive) {
    CGridCell cell;
    GetMergedCell(column, row, cell);
    // SetText makes it a text cell: the type to convert to is the one before.
    const std::uint16_t type = cell.GetDataType();
    cell.SetText(text);
    if (type == gridcell::kNumber || type == gridcell::kDate || type == gridcell::kCurrency) {
      cell.SetDataType(type);
    } else if (type == gridcell::kNumericText) {
      cell.SetDataType(type);
    }
    SetCell(column, row, cell);
    if (s.textOverflow && column < s.columns - 1 && GetCellText(column + 1, row).empty()) RedrawAll();
  }
  const bool wasActive = m_editActive;
  m_editActive = false;
  m_editor = nullptr;
  if (wasActive && moveOn && (!m_view || m_view->CellAreaHasFocus())) {
    if (nextColumn < 0) nextColumn = s.columns - 1;
    if (nextColumn >= s.columns) nextColumn = 0;
    if (nextRow < 0) nextRow = s.rows - 1;
    if (nextRow >= s.rows) nextRow = 0;
    JoinOrigin(nextColumn, nextRow);
    if (s.DefaultSource().OnQueryContinueEdit(column, row, nextColumn, nextRow) == 1 &&
        OnQueryContinueEdit(column, row, nextColumn, nextRow) != 0) {
      StartEdit(nextColumn, nextRow, 0);
      return 1;
    }
  }
  RedrawCell(column, row);
  return 1;
}

int CGridCore::StartPopupMenu(int column, int row, GridPoint point, int section) {
  if (!m_sheet->popupMenu) return 1;
  if (OnQueryPopupMenu(column, row, section) == 0) return 2;
  m_popupColumn = column;
  m_popupRow = row;
  m_popupSection = section;
  // An empty menu is never shown.
  if (m_popupItems.empty() || !m_view) return 3;
  int command = 0;
  if (!m_view->RunPopupMenu(point, command)) return 3;
  if (command >= 1000) OnPopupMenuCommand(m_popupColumn, m_popupRow, m_popupSection, command);
  return 0;
}

bool CGridCore::EditorTypeChar(wxString& text, int& caret, int from, int to, int ch) {
  if (!m_editActive) return false;
  from = std::clamp(from, 0, static_cast<int>(text.length()));
  to = std::clamp(to, from, static_cast<int>(text.length()));
  if (!VerifyEditChar(ch) || ch <= 0) return false;
  if (ch < 32 || ch == 127) return true;  // control characters are the editor's own
  CGridInputMask mask;
  if (m_editor == &m_maskedEditor && m_editCell.IsSet(gridcell::kInputMask)) mask.Set(m_editCell.GetInputMask());
  wxString t = text;
  int c = caret;
  if (mask.Active()) {
    if (!mask.TypeChar(t, c, from, to, wxUniChar(static_cast<wxUint32>(ch)))) return false;
    // The masked editor asks the host once more before inserting.
    int again = ch;
    if (OnEditVerify(m_sheet->currentColumn, m_sheet->currentRow, m_editor, again) == 0) return false;
  } else {
    t = text.Left(static_cast<size_t>(from)) + wxUniChar(static_cast<wxUint32>(ch)) + text.Mid(static_cast<size_t>(to));
    c = from + 1;
  }
  text = t;
  caret = c;
  return true;
}

GridRect CGridCore::EditorGrowth(const GridRect& current, GridPoint textSize) {
  GridRect r = current;
  if (!m_editActive || !m_editGrows || !m_sheet->textOverflow) return r;
  const int right = current.left + textSize.x, bottom = current.top + textSize.y;
  const int areaRight = m_sheet->cellAreaWidth - 1, areaBottom = m_sheet->cellAreaHeight - 1;
  int column = -1, row = -1;
  GridRect cell;
  if (right > current.right) {
    // To the right edge of the column the text reaches into.
    r.right = HitTestCell(std::min(right + 1, areaRight), current.top, column, row, cell) == 0
                  ? std::min(cell.right, areaRight) - 1
                  : areaRight - 1;
  }
  if (bottom > current.bottom) {
    r.bottom = HitTestCell(current.left, std::min(bottom + 1, areaBottom), column, row, cell) == 0
                   ? std::min(cell.bottom, areaBottom) - 1
                   : areaBottom - 1;
  }
  // Never smaller than at the start.
  r.right = std::max(r.right, m_editStartRect.right);
  r.bottom = std::max(r.bottom, m_editStartRect.bottom);
  return r;
}

wxString CGridCore::EditorPaste(const wxString& text, int caret, const wxString& pasted) {
  wxString t = text;
  int c = std::clamp(caret, 0, static_cast<int>(text.length()));
  for (wxUniChar ch : pasted) EditorTypeChar(t, c, c, c, static_cast<int>(ch.GetValue()));
  // The whole text along the mask again: literals in place, strays dropped.
  if (m_editActive && m_editor == &m_maskedEditor && m_editCell.IsSet(gridcell::kInputMask) && !t.empty()) {
    CGridInputMask mask;
    mask.Set(m_editCell.GetInputMask());
    if (mask.Active()) t = mask.Reformat(t);
  }
  return t;
}

int CGridCore::EditorKeyDown(int key, int modifiers, const wxString& text, int caret, int selFrom, int selTo) {
  if (!m_editActive) return 0;
  const bool multiLine = m_editCell.IsSet(gridcell::kCellTypeStyle) && m_editCell.GetCellTypeStyle() != -1 &&
                         (m_editCell.GetCellTypeStyle() & 2);
  const GridEditorKeyResult r = GridEditorKey(key, modifiers, m_sheet->currentColumn, m_sheet->currentRow, caret,
                                              selFrom, selTo, static_cast<int>(text.length()), multiLine);
  if (r.verifyAsDelete) {
    int ch = 127;
    return VerifyEditChar(ch) ? 0 : 1;
  }
  if (!r.end) return 0;
  FinishEdit(r.cancel, text, r.move, r.nextColumn, r.nextRow);
  return 2;
}
