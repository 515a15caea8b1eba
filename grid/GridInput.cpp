// Mouse and keys of the cell area turned into moves: the current cell's type sees each
// event first, the host's hook after it with the type's answer as "processed".
#include "grid/GridCore.h"

#include "framework/HelpService.h"
#include "framework/Services.h"

int CGridCore::NextKeyStep(bool& hold) {
  const CGridSheetInfo& s = *m_sheet;
  hold = false;
  if (s.keyAccelDivisor <= 0) return 1;
  const int q = ++m_keyRepeat / s.keyAccelDivisor;
  hold = s.keyAccelDelay > 0 && q == 0 && m_keyRepeat > 1;
  return q * q * q + 1;
}

// While an arrow key repeats slowly (before acceleration sets in) each move waits for the
// sheet's delay. The wait runs on a timer so that painting goes on; repeats arriving
// during it merge into one, as they would for a window that is busy.
void CGridCore::CellAreaKeyDown(int key, int modifiers) {
  if (m_heldKey != 0) {
    if (key == m_heldKey) {
      m_heldRepeat = true;
      m_heldModifiers = modifiers;
      return;
    }
    FlushHeldKey();
  }
  bool hold = false;
  const int step = NextKeyStep(hold);
  if (hold && m_view && m_view->StartKeyDelay(m_sheet->keyAccelDelay)) {
    m_heldKey = key;
    m_heldModifiers = modifiers;
    m_heldStep = step;
    m_heldRepeat = false;
    return;
  }
  RunKeyDown(key, modifiers, step);
}

void CGridCore::CellAreaFocused() {
  m_keyRepeat = 0;
  m_typeHandledClick = false;
  OnSetFocus(kSectionCells);
}

void CGridCore::KeyDelayElapsed() {
  if (m_heldKey == 0) return;
  const int key = m_heldKey, modifiers = m_heldModifiers;
  const bool repeat = m_heldRepeat;
  m_heldKey = 0;
  m_heldRepeat = false;
  RunKeyDown(key, modifiers, m_heldStep);
  if (repeat) CellAreaKeyDown(key, modifiers);
}

void CGridCore::FlushHeldKey() {
  if (m_heldKey == 0) return;
  if (m_view) m_view->StopKeyDelay();
  const int key = m_heldKey, modifiers = m_heldModifiers;
  const bool repeat = m_heldRepeat;
  m_heldKey = 0;
  m_heldRepeat = false;
  RunKeyDown(key, modifiers, m_heldStep);
  if (repeat) {
    bool hold = false;
    const int step = NextKeyStep(hold);
    RunKeyDown(key, modifiers, step);
  }
}

void CGridCore::RunKeyDown(int key, int modifiers, int step) {
  CGridSheetInfo& s = *m_sheet;
  m_modifiers = modifiers;
  s.moveSource = kMoveKeyboard;
  const int processed = CellTypeAt(s.currentColumn, s.currentRow).OnKeyDown(s.currentColumn, s.currentRow, key);
  OnKeyDown(key, processed);
  const bool ctrl = (modifiers & kMkControl) != 0;
  int sc, sr, ec, er;
  switch (key) {
    case WXK_LEFT:
    case WXK_RIGHT: {
      if (key == WXK_RIGHT && JoinBounds(s.currentColumn, s.currentRow, sc, sr, ec, er) == 0) step += ec - sc;
      const int c = s.currentColumn + (key == WXK_LEFT ? -step : step);
      int oc = c, orow = s.currentRow;
      if (c >= 0 && c < s.columns && JoinOrigin(oc, orow) == 0) {
        MoveToCell(s.targetColumn - s.currentColumn + oc, s.targetRow - s.currentRow + orow);
      } else {
        MoveToColumn(s.targetColumn + (key == WXK_LEFT ? -step : step));
      }
      break;
    }
    case WXK_UP:
    case WXK_DOWN: {
      if (key == WXK_DOWN && JoinBounds(s.currentColumn, s.currentRow, sc, sr, ec, er) == 0) step += er - sr;
      const int r = s.currentRow + (key == WXK_UP ? -step : step);
      int oc = s.currentColumn, orow = r;
      if (r >= 0 && r < s.rows && JoinOrigin(oc, orow) == 0) {
        MoveToCell(s.targetColumn - s.currentColumn + oc, s.targetRow - s.currentRow + orow);
      } else {
        MoveToRow(s.targetRow + (key == WXK_UP ? -step : step));
      }
      break;
    }
    case WXK_PAGEUP: StepRow(2); break;
    case WXK_PAGEDOWN: StepRow(3); break;
    case WXK_HOME: ctrl ? StepRow(4) : StepColumn(4); break;
    case WXK_END: ctrl ? StepRow(5) : StepColumn(5); break;
    default: break;
  }
}

void CGridCore::CellAreaKeyUp(int key, int modifiers) {
  FlushHeldKey();
  m_keyRepeat = 0;
  m_modifiers = modifiers;
  const CGridSheetInfo& s = *m_sheet;
  const int processed = CellTypeAt(s.currentColumn, s.currentRow).OnKeyUp(s.currentColumn, s.currentRow, key);
  OnKeyUp(key, processed);
}

void CGridCore::CellAreaChar(int ch, int modifiers) {
  FlushHeldKey();
  m_modifiers = modifiers;
  const CGridSheetInfo& s = *m_sheet;
  const int processed = CellTypeAt(s.currentColumn, s.currentRow).OnCharDown(s.currentColumn, s.currentRow, ch);
  OnCharDown(ch, processed);
}

void CGridCore::CellAreaLeftDown(GridPoint point, int flags) {
  if (ButtonDown(point, flags, true)) m_buttonState = 1;
}

bool CGridCore::ButtonDown(GridPoint point, int flags, bool left) {
  FlushHeldKey();
  CGridSheetInfo& s = *m_sheet;
  if (m_editActive) return false;
  m_modifiers = flags & (kMkShift | kMkControl);
  s.moveSource = left ? kMoveLeftButton : kMoveRightButton;
  s.mouseKeyFlags = flags;
  int column = -1, row = -1, processed = 0;
  GridRect rect;
  if (HitTestCell(point.x, point.y, column, row, rect) == 0) {
    MoveToCell(column, row);
    CGridCellType& type = CellTypeAt(column, row);
    processed = left ? type.OnLeftClick(column, row, 1, rect, point) : type.OnRightClick(column, row, 1, rect, point);
    if (left) m_typeHandledClick = processed != 0;
  } else {
    column = row = -1;
  }
  if (left) {
    OnCellLeftClick(column, row, 1, rect, point, processed);
  } else {
    OnCellRightClick(column, row, 1, rect, point, processed);
  }
  s.moveSource = kMoveKeyboard;
  if (!left && s.popupMenu) StartPopupMenu(column, row, point, kSectionCells);
  return true;
}

void CGridCore::CellAreaLeftUp(GridPoint point, int flags) { ButtonUp(point, true); }

void CGridCore::ButtonUp(GridPoint point, bool left) {
  CGridSheetInfo& s = *m_sheet;
  if (m_buttonState != 1) return;
  int column = -1, row = -1, processed = 0;
  GridRect rect;
  if (HitTestCell(point.x, point.y, column, row, rect) == 0) {
    CGridCellType& type = CellTypeAt(column, row);
    processed = left ? type.OnLeftClick(column, row, 0, rect, point) : type.OnRightClick(column, row, 0, rect, point);
  } else {
    column = row = -1;
  }
  if (left) {
    OnCellLeftClick(column, row, 0, rect, point, processed);
  } else {
    OnCellRightClick(column, row, 0, rect, point, processed);
  }
  s.targetColumn = s.currentColumn;
  s.targetRow = s.currentRow;
  m_typeHandledClick = false;
  m_buttonState = 0;
}

void CGridCore::CellAreaDoubleClick(GridPoint point, int flags) {
  FlushHeldKey();
  int column = -1, row = -1, processed = 0;
  GridRect rect;
  if (HitTestCell(point.x, point.y, column, row, rect) == 0) {
    processed = CellTypeAt(column, row).OnDoubleClick(column, row, rect, point);
  } else {
    column = row = -1;
  }
  OnCellDoubleClick(column, row, rect, point, processed);
}

void CGridCore::CellAreaRightDown(GridPoint point, int flags) {
  if (ButtonDown(point, flags, false)) m_buttonState = 1;
}

void CGridCore::CellAreaRightUp(GridPoint point, int flags) { ButtonUp(point, false); }

void CGridCore::CellAreaMouseMove(GridPoint point, int flags) {
  CGridSheetInfo& s = *m_sheet;
  if (m_editActive) return;
  if (m_typeHandledClick) {
    const int processed = CellTypeAt(s.currentColumn, s.currentRow).OnMouseMove(s.currentColumn, s.currentRow, point, flags);
    OnCellMouseMove(s.currentColumn, s.currentRow, point, flags, processed);
    return;
  }
  s.moveSource = kMoveDrag;
  s.mouseKeyFlags = flags;
  int column = -1, row = -1;
  GridRect rect;
  if (HitTestCell(point.x, point.y, column, row, rect) == 0) {
    const int processed = CellTypeAt(column, row).OnMouseMove(column, row, point, flags);
    OnCellMouseMove(column, row, point, flags, processed);
    // The last row and column the paint showed, maybe in part, take no drag unless allowed.
    const bool lastLine = row == s.bottomRow || column == s.rightColumn;
    if ((flags & kMkLeftButton) && m_buttonState == 1 && (s.dragOntoLastLine || !lastLine)) MoveToCell(column, row);
  }
  s.moveSource = kMoveKeyboard;
}

int CGridCore::ShowHelpAt(int column, int row, int section) {
  const int id = OnHelpHitTest(column, row, section);
  if (id != 0) hv::Service<hv::IApplicationHelp>().ShowHelpContext(static_cast<unsigned long>(id));
  return id;
}
