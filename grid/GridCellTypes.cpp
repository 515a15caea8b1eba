#include "grid/GridCellTypes.h"

#include <algorithm>
#include <cmath>

#include "grid/GridCore.h"
#include "grid/TavDateTime.h"

namespace {

int StyleOf(const CGridCell& cell) {
  return cell.IsSet(gridcell::kCellTypeStyle) ? cell.GetCellTypeStyle() : 0;
}

bool ReadOnlyOf(const CGridCell& cell) { return cell.IsSet(gridcell::kReadOnly) && cell.GetReadOnly() != 0; }

}  // namespace

// ---------------------------------------------------------------- check box

GridRect CGridCheckBoxType::BoxRect(const GridRect& rect, const CGridCell& cell) {
  const int h = rect.Height();
  const int n = std::min(h - 6, 12);
  if (n <= 0) return GridRect{rect.left, rect.top, rect.left - 1, rect.top - 1};
  const int m = (h - n) / 2;
  const int style = StyleOf(cell);
  int left = rect.left + 3, top = rect.top + m;
  if (style & 0x800) {
    const int align = cell.GetAlignment();
    if (align & gridcell::kCentre) {
      left = rect.left + rect.Width() / 2 - n / 2;
    } else if (align & gridcell::kRight) {
      left = rect.right - n - 6;
    }
    if (align & 8) {
      top = rect.top + 3;
    } else if (align & gridcell::kBottom) {
      top = rect.bottom - n - 6;
    }
  }
  const int extra = (style & 0x400) && !(style & 0x800) ? 1 : 0;
  return GridRect{left, top, left + n + extra, top + n};
}

int CGridCheckBoxType::Toggle(int column, int row, const GridRect* rect, GridPoint point) {
  if (!m_control) return 0;
  CGridCell cell;
  if (m_control->GetMergedCell(column, row, cell) != 0) return 0;
  const int style = StyleOf(cell);
  if ((style & 0x4000) || ReadOnlyOf(cell)) return 0;
  if (rect) {
    const GridRect box = BoxRect(*rect, cell);
    // A box too small to draw cannot be hit either.
    if (box.right < box.left || point.x < box.left || point.x > box.right || point.y < box.top || point.y > box.bottom) {
      return 0;
    }
  }
  const int value = (static_cast<int>(cell.GetNumber()) + 1) % ((style & 0x2000) ? 3 : 2);
  cell.SetNumber(value);
  m_control->SetCell(column, row, cell);
  CGridNotifyParam param;
  param.value = value;
  NotifyControl(m_typeId, column, row, kValueChanged, param);
  m_control->RedrawCell(column, row);
  return 1;
}

int CGridCheckBoxType::OnLeftClick(int column, int row, int down, const GridRect& rect, GridPoint point) {
  if (!down) return 0;
  return Toggle(column, row, &rect, point);
}

int CGridCheckBoxType::OnCharDown(int column, int row, int& key) {
  if (key != ' ') return 0;
  return Toggle(column, row, nullptr, GridPoint{});
}

GridPoint CGridCheckBoxType::MeasureCell(GridPoint preset, const CGridCell& cell) {
  int width = 0, height = 0;
  if (!(StyleOf(cell) & 0x800) && m_control && m_control->View() && cell.IsSet(gridcell::kLabel)) {
    const GridPoint size = m_control->View()->MeasureText(cell.GetLabel(), cell.IsSet(gridcell::kFont) ? cell.GetFont() : -1);
    width = size.x + 6;
    height = size.y;
  }
  return GridPoint{width + 18, height + 2};
}

GridPoint CGridArrowType::MeasureCell(GridPoint preset, const CGridCell& cell) {
  const int style = StyleOf(cell);
  return GridPoint{(style & (0x40 | 0x80)) ? 14 : 10, preset.y};
}

// ---------------------------------------------------------------- drop list

std::vector<wxString> CGridDropListType::ParseChoices(const wxString& label) {
  std::vector<wxString> out;
  size_t from = 0;
  for (size_t at = label.find('\n'); at != wxString::npos; at = label.find('\n', from)) {
    out.push_back(label.substr(from, at - from));
    from = at + 1;
  }
  return out;
}

GridRect CGridDropListType::ListRect(const GridRect& cell, int itemHeight, int choices, int areaWidth, int areaHeight) {
  GridRect r{cell.left + 10, cell.bottom, cell.right + 10, cell.bottom + itemHeight * std::min(choices, 15) + 6};
  if (r.bottom > areaHeight) {
    const int up = std::min(r.bottom - areaHeight, r.top);
    r.top -= up;
    r.bottom -= up;
  }
  if (r.right > areaWidth) {
    const int left = std::min(r.right - areaWidth, r.left);
    r.left -= left;
    r.right -= left;
  }
  return r;
}

int CGridDropListType::AdjustEditRect(GridRect& rect) {
  rect.right -= m_buttonWidth + 1;
  return 0;
}

int CGridDropListType::OnLeftClick(int column, int row, int down, const GridRect& rect, GridPoint point) {
  if (!m_control) return 0;
  if (m_control->Sheet().multiSelectMode && (m_control->GetModifiers() & (kMkShift | kMkControl))) return 1;
  if (down && point.x > rect.right - m_buttonWidth) {
    if (m_open && m_droppedColumn == column && m_droppedRow == row) {
      CloseList(false);
      m_droppedColumn = m_droppedRow = -1;
      return 0;
    }
    m_buttonRect = GridRect{rect.right - m_buttonWidth, rect.top, rect.right, rect.bottom};
    m_pressed = true;
    m_droppedColumn = column;
    m_droppedRow = row;
    m_control->RedrawCell(column, row);
    OpenList(column, row);
    return 1;
  }
  if (down) {
    if (m_droppedColumn == -2) m_droppedColumn = m_droppedRow = -1;
    return 0;
  }
  if (m_pressed) {
    m_pressed = false;
    m_control->RedrawCell(column, row);
    return 1;
  }
  return 0;
}

int CGridDropListType::OnDoubleClick(int column, int row, const GridRect& rect, GridPoint point) {
  if (point.x > rect.right - m_buttonWidth) return OnLeftClick(column, row, 1, rect, point);
  return 0;
}

int CGridDropListType::OnMouseMove(int column, int row, GridPoint point, int flags) {
  if (!(flags & kMkLeftButton)) return 1;
  if (m_droppedColumn == column && m_droppedRow == row) {
    const bool inside = m_buttonRect.Contains(point);
    if (inside != m_pressed) {
      m_pressed = inside;
      if (m_control) m_control->RedrawCell(column, row);
    }
  }
  return 0;
}

int CGridDropListType::OnKeyDown(int column, int row, int& key) {
  const bool ctrl = m_control && (m_control->GetModifiers() & kMkControl);
  if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER || (key == WXK_DOWN && ctrl)) {
    m_droppedColumn = column;
    m_droppedRow = row;
    OpenList(column, row);
    key = 0;
    return 1;
  }
  return 0;
}

int CGridDropListType::OnCharDown(int column, int row, int& key) {
  // Only the Enter character belongs to the list; '(' is an ordinary character.
  return key == 13 ? 1 : 0;
}

void CGridDropListType::OnCurrentCellLeave(int column, int row, const CGridCell& cell) {
  m_droppedColumn = m_droppedRow = -1;
  if (m_open) CloseList(false);
}

GridPoint CGridDropListType::MeasureCell(GridPoint preset, const CGridCell& cell) {
  GridPoint size = CGridCellType::MeasureCell(preset, cell);
  if (!(StyleOf(cell) & 0x200)) size.x += m_buttonWidth;
  return size;
}

void CGridDropListType::OpenList(int column, int row) {
  if (m_open || !m_control) return;
  CGridCell cell;
  if (m_control->GetMergedCell(column, row, cell) != 0) return;
  if (cell.IsSet(gridcell::kReadOnly) && cell.GetReadOnly() == 1) return;
  m_control->MoveToCell(column, row);
  std::vector<wxString> choices = ParseChoices(cell.IsSet(gridcell::kLabel) ? cell.GetLabel() : wxString());
  CGridNotifyParam param;
  param.choices = &choices;
  if (NotifyControl(m_typeId, column, row, kBeforeOpen, param) == 0) return;
  m_droppedColumn = column;
  m_droppedRow = row;
  const int font = cell.IsSet(gridcell::kFont) ? cell.GetFont() : m_control->Sheet().defaultFont;
  const int itemHeight = m_control->View() ? m_control->View()->MeasureText(wxS("X"), font).y : 12;
  GridRect rect;
  m_control->CellRectangle(column, row, rect);
  const CGridSheetInfo& s = m_control->Sheet();
  const GridRect list = ListRect(rect, itemHeight > 0 ? itemHeight : 12, static_cast<int>(choices.size()),
                                 s.cellAreaWidth, s.cellAreaHeight);
  m_open = true;
  m_pressed = false;
  if (m_control->View()) m_control->View()->OpenDropList(list, choices, font);
  m_control->RedrawCell(column, row);
}

void CGridDropListType::ChooseEntry(int index, const wxString& text) {
  if (!m_control || !m_open) return;
  const int column = m_droppedColumn, row = m_droppedRow;
  CGridCell merged;
  if (m_control->GetMergedCell(column, row, merged) == 0 && !ReadOnlyOf(merged)) {
    CGridNotifyParam chosen;
    chosen.value = index;
    NotifyControl(m_typeId, column, row, kChosen, chosen);
    CGridNotifyParam param;
    param.text = text;
    if (NotifyControl(m_typeId, column, row, kBeforeStore, param) != 0) {
      CGridCell cell;
      m_control->GetCell(column, row, cell);
      cell.SetText(param.text);
      m_control->SetCell(column, row, cell);
      NotifyControl(m_typeId, column, row, kStored, param);
      m_control->RedrawCell(column, row);
    }
  }
  CloseList(true);
}

void CGridDropListType::CloseList(bool choiceMade) {
  if (!m_open) return;
  m_open = false;
  m_droppedColumn = m_droppedRow = choiceMade ? -1 : -2;
  if (m_control && m_control->View()) {
    m_control->View()->CloseDropList();
    m_control->View()->FocusCellArea();
  }
}

// ---------------------------------------------------------------- date-time picker

int CGridDateTimePickerType::AdjustEditRect(GridRect& rect) {
  rect.right -= m_buttonWidth + 1;
  return 1;
}

wxString CGridDateTimePickerType::FormatDate(double date) {
  return CTavDateTime::FromDate(date).Format(CTavDateTime::kDateValueOnly);
}

bool CGridDateTimePickerType::ParseDate(double& date, const wxString& text) {
  CTavDateTime dt;
  if (!dt.ParseDateTime(text, CTavDateTime::kDateValueOnly)) return false;
  date = dt.GetDate();
  return true;
}

GridRect CGridDateTimePickerType::FitRectToScreen(GridRect r, const GridRect& area) {
  const auto shiftX = [&](int dx) { r.left += dx; r.right += dx; };
  const auto shiftY = [&](int dy) { r.top += dy; r.bottom += dy; };
  if (r.right > area.right) shiftX(area.right - r.right);
  if (r.left < area.left) shiftX(area.left - r.left);
  if (r.bottom > area.bottom) shiftY(area.bottom - r.bottom);
  if (r.top < area.top) shiftY(area.top - r.top);
  return r;
}

int CGridDateTimePickerType::OnLeftClick(int column, int row, int down, const GridRect& rect, GridPoint point) {
  if (!down) {
    if (m_pressed) {
      m_pressed = false;
      if (m_control) m_control->RedrawCell(column, row);
      return 1;
    }
    return 0;
  }
  if (point.x > rect.right - m_buttonWidth) {
    m_buttonRect = GridRect{rect.right - m_buttonWidth, rect.top, rect.right, rect.bottom};
    m_pressed = true;
    m_droppedColumn = column;
    m_droppedRow = row;
    if (m_control) m_control->RedrawCell(column, row);
    OpenCalendar(column, row);
    return 0;
  }
  if (m_droppedColumn == -2) m_droppedColumn = m_droppedRow = -1;
  return 0;
}

int CGridDateTimePickerType::OnKeyDown(int column, int row, int& key) {
  const bool ctrl = m_control && (m_control->GetModifiers() & kMkControl);
  if (key == WXK_RETURN || (key == WXK_DOWN && ctrl)) {
    m_droppedColumn = column;
    m_droppedRow = row;
    OpenCalendar(column, row);
    key = 0;
    return 1;
  }
  return 0;
}

int CGridDateTimePickerType::OnMouseMove(int column, int row, GridPoint point, int flags) {
  if (m_open || !(flags & kMkLeftButton)) return 1;
  if (m_droppedColumn == column && m_droppedRow == row) {
    const bool inside = m_buttonRect.Contains(point);
    if (inside != m_pressed) {
      m_pressed = inside;
      if (m_control) m_control->RedrawCell(column, row);
    }
  }
  return 0;
}

void CGridDateTimePickerType::OpenCalendar(int column, int row) {
  if (!m_control) return;
  CGridCalendarSettings settings;
  double date = 0.0;
  const bool valid = BeginCalendar(column, row, settings, date);
  GridRect rect;
  m_control->CellRectangle(column, row, rect);
  if (m_control->View()) m_control->View()->OpenCalendar(column, row, rect, settings, date, valid);
}

void CGridDateTimePickerType::OnCurrentCellLeave(int column, int row, const CGridCell& cell) {
  m_droppedColumn = m_droppedRow = -1;
}

bool CGridDateTimePickerType::BeginCalendar(int column, int row, CGridCalendarSettings& settings, double& date) {
  if (!m_control) return false;
  CGridCell cell;
  if (m_control->GetMergedCell(column, row, cell) != 0) return false;
  const bool parsed = ParseDate(date, cell.GetText());
  if (cell.IsSet(gridcell::kIndex) && cell.GetIndex() != 0) {
    CGridCell stored;
    m_control->GetCell(column, row, stored);
    stored.SetIndex(0);
    m_control->SetCell(column, row, stored);
    m_control->RedrawCell(column, row);
  }
  CGridNotifyParam param;
  param.calendar = &settings;
  NotifyControl(m_typeId, column, row, kBeforeCalendar, param);
  m_open = true;
  return parsed;
}

void CGridDateTimePickerType::AcceptDate(int column, int row, double date) {
  m_open = m_pressed = false;
  if (!m_control) return;
  CGridCell merged;
  if (m_control->GetMergedCell(column, row, merged) != 0) return;
  if (merged.IsSet(gridcell::kReadOnly) && merged.GetReadOnly() == 1) return;
  const CTavDateTime midnight = CTavDateTime::FromDate(date < 0 ? -std::floor(-date) : std::floor(date));
  CGridNotifyParam param;
  param.date = midnight.GetDate();
  param.dateStatus = midnight.GetStatus();
  param.text = FormatDate(param.date);
  NotifyControl(m_typeId, column, row, kDateChosen, param);
  CGridCell cell;
  m_control->GetCell(column, row, cell);
  cell.SetText(param.text);
  m_control->SetCell(column, row, cell);
  m_control->RedrawCell(column, row);
}

// ---------------------------------------------------------------- spin button

int CGridSpinButtonType::AdjustEditRect(GridRect& rect) {
  rect.right -= m_buttonWidth + 1;
  return 1;
}

int CGridSpinButtonType::OnLeftClick(int column, int row, int down, const GridRect& rect, GridPoint point) {
  if (!down) {
    if (m_pressedHalf || m_half) {
      m_half = m_pressedHalf = 0;
      if (m_control) m_control->RedrawCell(column, row);
      return 1;
    }
    return 0;
  }
  if (point.x <= rect.right - m_buttonWidth) return 0;
  const int middle = rect.top + rect.Height() / 2;
  CGridNotifyParam param;
  m_halfColumn = column;
  m_halfRow = row;
  if (point.y >= middle) {
    m_half = 2;
    m_halfRect = {rect.right - m_buttonWidth, middle, rect.right, rect.bottom};
  } else {
    m_half = 1;
    m_halfRect = {rect.right - m_buttonWidth, rect.top, rect.right, middle};
  }
  m_pressedHalf = m_half;
  NotifyControl(m_typeId, column, row, m_half == 2 ? kDown : kUp, param);
  if (m_control) m_control->RedrawCell(column, row);
  return 1;
}

int CGridSpinButtonType::OnMouseMove(int column, int row, GridPoint point, int flags) {
  const int was = m_half;
  if (!(flags & kMkLeftButton)) m_half = m_pressedHalf = 0;
  else if (m_pressedHalf) m_half = m_halfRect.Contains(point) ? m_pressedHalf : 0;
  if (m_half != was && m_control && m_halfColumn >= 0) m_control->RedrawCell(m_halfColumn, m_halfRow);
  return 0;
}

GridPoint CGridSpinButtonType::MeasureCell(GridPoint preset, const CGridCell& cell) {
  GridPoint size = CGridCellType::MeasureCell(preset, cell);
  if (!(StyleOf(cell) & 0x200)) size.x += m_buttonWidth;
  return size;
}
