#include "grid/GridCellType.h"

#include "grid/GridCore.h"

GridPoint CGridCellType::MeasureCell(GridPoint preset, const CGridCell& cell) {
  int width = 0, height = 0;
  if (m_control && m_control->View() && cell.IsSet(gridcell::kValue)) {
    const int font = cell.IsSet(gridcell::kFont) ? cell.GetFont() : m_control->Sheet().defaultFont;
    const GridPoint size = m_control->View()->MeasureText(cell.GetText(), font);
    width = size.x;
    height = size.y;
  }
  if (cell.IsSet(gridcell::kBitmap)) {
    if (auto image = cell.GetBitmap(); image && image->height > 0) width += image->width * preset.y / image->height;
  }
  return GridPoint{width + 6, height + 2};
}

int CGridCellType::NotifyControl(int typeId, int column, int row, int message, CGridNotifyParam& param) {
  return m_control ? m_control->OnCellTypeNotify(typeId, column, row, message, param) : 1;
}

bool CGridCellType::QualifiesForOverflow(const CGridCell& cell) const {
  using namespace gridcell;
  if (cell.IsSet(kCellTypeStyle) && cell.GetCellTypeStyle() != 0) return false;
  if (cell.IsSet(kJoin)) return false;
  return cell.IsSet(kAlignment) && (cell.GetAlignment() & kLeft) && m_overflow;
}

int CGridCellType::HighlightState(bool selected, bool current) {
  if (selected) return current ? 6 : 4;
  return current ? 2 : 1;
}

GridPoint CGridCellType::TextPosition(const GridRect& rect, int alignment, GridPoint textSize, int margin,
                                      int xOffset) {
  using namespace gridcell;
  GridPoint p;
  if (alignment & kCentre) {
    p.x = rect.left + (rect.Width() - textSize.x) / 2;
  } else if (alignment & kRight) {
    p.x = rect.right - margin - textSize.x;
  } else {
    p.x = rect.left + margin + xOffset;
  }
  if (alignment & kVCentre) {
    p.y = rect.top + (rect.Height() - textSize.y) / 2;
  } else if (alignment & kBottom) {
    p.y = rect.bottom - textSize.y - 1;
  } else {
    p.y = rect.top + 1;
  }
  return p;
}

void CGridCellType::CellColours(const CGridCell& cell, bool selected, bool current, int highlightOption,
                                GridColour& text, GridColour& back) {
  using namespace gridcell;
  const auto colour = [&](std::uint32_t bit, int slot, int sys) {
    return cell.IsSet(bit) ? cell.GetColour(slot) : SysColour(sys);
  };
  if (cell.IsSet(kCellTypeStyle) && (cell.GetCellTypeStyle() & 0x4000) && cell.GetCellTypeStyle() != -1) {
    text = Rgb(140, 140, 140);
    back = colour(kBackColour, 1, kColWindow);
  } else if (selected || (current && (highlightOption & 2))) {
    text = colour(kHiTextColour, 2, kColHighlightText);
    back = colour(kHiBackColour, 3, kColHighlight);
  } else {
    text = colour(kTextColour, 0, kColWindowText);
    back = colour(kBackColour, 1, kColWindow);
  }
}

int CGridCellType::GetOverflowOffset(int column, int row, int& sourceColumn, CGridCell& source) {
  if (!m_control || !m_control->Sheet().textOverflow) return 0;
  int from = column;
  if (m_control->Sheet().DefaultSource().FindNonEmptyColumnLeft(from, row) != 0) return 0;
  source.ResetProperties();
  if (m_control->GetMergedCell(from, row, source) != 0) return 0;
  CGridCellType& type = m_control->CellTypeOf(source);
  const int width = m_control->GetColumnWidth(from);
  const int needed = type.MeasureCell(GridPoint{width, m_control->GetRowHeight(row)}, source).x;
  if (needed <= width || !type.QualifiesForOverflow(source)) return 0;
  int sum = 0;
  for (int c = from; c < column; ++c) {
    sum += m_control->GetColumnWidth(c);
    if (sum > needed) return 0;
  }
  sourceColumn = from;
  return -sum;
}
