#include "grid/GridCore.h"

#include <algorithm>
#include <numeric>

#include "grid/GridCellTypes.h"

CGridCore::CGridCore()
    : m_dropListType(std::make_unique<CGridDropListType>()),
      m_checkBoxType(std::make_unique<CGridCheckBoxType>()),
      m_arrowType(std::make_unique<CGridArrowType>()) {
  AddCellType(m_normalType);
  AddCellType(*m_dropListType);
  AddCellType(*m_checkBoxType);
  AddCellType(*m_arrowType);
  m_sheets.push_back(std::make_unique<CGridSheetInfo>());
  m_sheet = m_sheets.front().get();
  InitSheet(*m_sheet);
}

CGridCore::~CGridCore() = default;

void CGridCore::InitSheet(CGridSheetInfo& sheet) {
  sheet.memorySource.SetControl(this);
  sheet.selection.SetControl(this);
}

void CGridCore::EnablePainting() { m_sheet->paintEnabled = 1; }

void CGridCore::DrawCurrentFocus(CGridPainter& dc, const GridRect& rect) { dc.FocusRect(rect); }

int CGridCore::Attach(const GridFontRecord* dialogFont) {
  if (dialogFont) {
    m_sheet->defaultFont = AddFont(*dialogFont);
    GridFontRecord heading = *dialogFont;
    heading.weight += 200;
    m_sheet->headingDefaultCell.SetFont(AddFont(heading));
  }
  OnSetup();
  OnSheetSetup(0);
  EnablePainting();
  return 1;
}

// ---------------------------------------------------------------- sheets

int CGridCore::SetSheetCount(int count) {
  if (count < 1 || count > kMaxSheets) return 1;
  const int old = GetSheetCount();
  if (m_currentSheet >= count) SelectSheet(count - 1);
  if (count < old) m_sheets.resize(static_cast<size_t>(count));
  for (int i = old; i < count; ++i) {
    m_sheets.push_back(std::make_unique<CGridSheetInfo>());
    InitSheet(*m_sheets.back());
    OnSheetSetup(i);
  }
  return 0;
}

int CGridCore::SelectSheet(int number) {
  if (number < 0 || number >= GetSheetCount()) return 1;
  if (m_view) m_view->FocusCellArea();
  const int tabWidth = m_sheet->tabAreaWidth;
  m_sheet = m_sheets[static_cast<size_t>(number)].get();
  m_currentSheet = number;
  m_sheet->tabAreaWidth = tabWidth;
  m_sheet->previousTopRow = m_sheet->previousLeftColumn = -1;
  if (m_layoutWidth > 0 && m_layoutHeight > 0) LayoutComponents(m_layoutWidth, m_layoutHeight);
  return 0;
}

// ---------------------------------------------------------------- cells

CGridDataSource& CGridCore::SourceOf(int column) {
  if (column < 0 || column >= m_sheet->columns) return m_sheet->DefaultSource();
  CGridDataSource* s = m_sheet->columnRecords[static_cast<size_t>(column)].source;
  return s ? *s : m_sheet->DefaultSource();
}

int CGridCore::TranslatedColumn(int column) const {
  if (column < 0 || column >= m_sheet->columns) return column;
  return m_sheet->columnRecords[static_cast<size_t>(column)].translated;
}

void CGridCore::ShiftTranslatedColumns(const CGridDataSource* source, int from, int delta) {
  for (CGridColumnRecord& rec : m_sheet->columnRecords) {
    const CGridDataSource* s = rec.source ? rec.source : &m_sheet->DefaultSource();
    if (s == source && rec.translated >= from) rec.translated += delta;
  }
}

int CGridCore::DisplayColumnOf(int storeColumn, const CGridDataSource* source) const {
  for (int c = 0; c < m_sheet->columns; ++c) {
    const CGridColumnRecord& rec = m_sheet->columnRecords[static_cast<size_t>(c)];
    const CGridDataSource* s = rec.source ? rec.source : &m_sheet->DefaultSource();
    if (s == source && rec.translated == storeColumn) return c;
  }
  return -1;
}

int CGridCore::GetCell(int column, int row, CGridCell& cell) {
  if (cell.GetExtraObject()) cell.SetExtraObject(nullptr);
  if (column >= m_sheet->columns) return 1;
  cell.SetMask(0);
  return SourceOf(column).GetCell(TranslatedColumn(column), row, cell);
}

int CGridCore::GetMergedCell(int column, int row, CGridCell& cell) {
  // A column that does not exist has no record to take a default from.
  if (column >= m_sheet->columns) return 1;
  cell.SetMask(0);
  if (column >= 0 && row >= 0) {
    cell.MergeFrom(m_sheet->columnRecords[static_cast<size_t>(column)].defaultCell);
  } else {
    cell.MergeFrom(m_sheet->headingDefaultCell);
    if (row == -GetTopHeadingRowCount()) {
      cell.SetVisualPart(32);
    } else if (column == -GetSideHeadingColumnCount()) {
      cell.SetVisualPart(64);
    }
  }
  if (row < m_sheet->rows) {
    SourceOf(column).GetCell(TranslatedColumn(column), row, cell);
    OnGetCell(column, row, cell);
    if (cell.IsSet(gridcell::kFormatObject)) {
      if (auto format = cell.GetFormatObject()) format->Format(cell);
    }
    if (cell.IsSet(gridcell::kStyleCell)) {
      if (auto style = cell.GetStyleCell()) cell.MergeFrom(*style);
    }
  }
  return 0;
}

CGridCellType& CGridCore::CellTypeOf(const CGridCell& cell) {
  if (cell.IsSet(gridcell::kCellType)) {
    const int i = cell.GetCellTypeIndex();
    if (i > 0 && i < static_cast<int>(m_types.size()) && m_types[static_cast<size_t>(i)]) {
      return *m_types[static_cast<size_t>(i)];
    }
  }
  return m_normalType;
}

CGridCellType& CGridCore::CellTypeAt(int column, int row) {
  CGridCell cell;
  if (GetMergedCell(column, row, cell) != 0) return m_normalType;
  return CellTypeOf(cell);
}

int CGridCore::SetCell(int column, int row, const CGridCell& cell) {
  if (column < -GetSideHeadingColumnCount() || column >= m_sheet->columns) return 1;
  if (row < -GetTopHeadingRowCount() || row > m_sheet->rows) return 1;
  CGridCell copy = cell;
  OnSetCell(column, row, copy);
  SourceOf(column).SetCell(TranslatedColumn(column), row, copy);
  return 0;
}

int CGridCore::DeleteCell(int column, int row) { return SourceOf(column).DeleteCell(TranslatedColumn(column), row); }

wxString CGridCore::GetCellText(int column, int row) {
  CGridCell cell;
  if (GetMergedCell(column, row, cell) != 0) return wxString();
  return cell.GetText();
}

int CGridCore::SetCellText(int column, int row, const wxString& text) {
  CGridCell cell;
  GetCell(column, row, cell);
  cell.SetText(text);
  return SetCell(column, row, cell);
}

int CGridCore::SetCellNumber(int column, int row, double number) {
  CGridCell cell;
  GetCell(column, row, cell);
  cell.SetNumber(number);
  return SetCell(column, row, cell);
}

int CGridCore::SetCellFloat(int column, int row, double number) {
  CGridCell cell;
  GetCell(column, row, cell);
  cell.SetNumber(number);
  cell.SetDataType(gridcell::kFloat);
  return SetCell(column, row, cell);
}

int CGridCore::SetHeadingCellOption(int column) {
  CGridCell cell;
  GetCell(column, -1, cell);
  cell.SetAlignment(gridcell::kLeft);
  return SetCell(column, -1, cell);
}

int CGridCore::SetCellRange(int firstRow, int lastColumn, int lastRow, const CGridCell& cell) {
  int failed = 0;
  for (int r = firstRow; r <= lastRow; ++r) {
    for (int c = 0; c <= lastColumn; ++c) failed += SetCell(c, r, cell) != 0;
  }
  return failed;
}

void CGridCore::InvalidateCells(int left, int top, int right, int bottom) {
  if (m_view && m_sheet->paintEnabled && m_redraw) m_view->InvalidateCells(left, top, right, bottom);
}

void CGridCore::RedrawCell(int column, int row) {
  if (!m_view || !m_sheet->paintEnabled || !m_redraw) return;
  if (column < 0) {
    m_view->InvalidateSection(kSectionSideHeading);
  } else if (row < 0) {
    m_view->InvalidateSection(kSectionTopHeading);
  } else {
    // Overflowing text may reach the right edge of the visible row.
    const int right = m_sheet->textOverflow ? std::max(column, LastVisibleColumn()) : column;
    m_view->InvalidateCells(column, row, right, row);
  }
}

void CGridCore::RedrawAll() {
  if (m_view && m_sheet->paintEnabled && m_redraw) m_view->InvalidateAll();
}

// ---------------------------------------------------------------- dimensions

void CGridCore::ClampPositions() {
  CGridSheetInfo& s = *m_sheet;
  s.leftColumn = std::clamp(s.leftColumn, std::min(s.lockedColumns, std::max(s.columns - 1, 0)), std::max(LargestLeftColumn(), s.lockedColumns));
  s.topRow = std::clamp(s.topRow, std::min(s.lockedRows, std::max(s.rows - 1, 0)), std::max(LargestTopRow(), s.lockedRows));
}

int CGridCore::SetColumnCount(int count) {
  if (count < 0 || count > kMaxColumns) return 1;
  CGridSheetInfo& s = *m_sheet;
  if (count <= s.lockedColumns) s.lockedColumns = std::max(count - 1, 0);
  const int old = s.columns;
  s.columnRecords.resize(static_cast<size_t>(count));
  for (int c = old; c < count; ++c) {
    CGridColumnRecord& rec = s.columnRecords[static_cast<size_t>(c)];
    rec.width = s.defaultColumnWidth;
    rec.source = nullptr;
    rec.defaultCell = s.gridDefaultCell;
    rec.translated = c;
  }
  s.columns = count;
  s.RecomputeColumns();
  if (count == 0) {
    s.currentColumn = s.previousColumn = s.targetColumn = -1;
  } else if (s.currentColumn >= count) {
    s.currentColumn = s.previousColumn = s.targetColumn = count - 1;
  } else if (s.currentColumn < 0) {
    s.currentColumn = s.previousColumn = s.targetColumn = 0;
  }
  ClampPositions();
  RedrawAll();
  return 0;
}

int CGridCore::SetRowCount(int count) {
  if (count < 0) return 1;
  CGridSheetInfo& s = *m_sheet;
  if (count <= s.lockedRows) s.lockedRows = std::max(count - 1, 0);
  if (count > CGridSheetInfo::kMaxIndividualRows) {
    s.uniformRowHeight = true;
    std::vector<int>().swap(s.rowHeights);
  } else if (!s.uniformRowHeight) {
    s.rowHeights.resize(static_cast<size_t>(count), s.defaultRowHeight);
  }
  s.rows = count;
  s.RecomputeRows();
  if (count == 0) {
    s.currentRow = s.previousRow = s.targetRow = -1;
  } else if (s.currentRow >= count) {
    s.currentRow = s.previousRow = s.targetRow = count - 1;
  } else if (s.currentRow < 0) {
    s.currentRow = s.previousRow = s.targetRow = 0;
  }
  const int oldTop = s.topRow;
  ClampPositions();
  if (s.topRow != oldTop) {
    OnTopRowScrolled(oldTop, s.topRow);
    s.previousTopRow = s.topRow;
  }
  RedrawAll();
  return 0;
}

int CGridCore::SetColumnWidth(int column, int width) {
  if (column < 0) return SetSideHeadingColumnWidth(column, width);
  if (column >= m_sheet->columns) return 1;
  width = std::max(width, 0);
  OnColumnWidthChanged(column, width);
  m_sheet->columnRecords[static_cast<size_t>(column)].width = std::max(width, 0);
  m_sheet->RecomputeColumns();
  RedrawAll();
  return 0;
}

int CGridCore::GetColumnWidth(int column) const {
  if (column < 0) {
    const int i = -1 - column;
    return i < GetSideHeadingColumnCount() ? m_sheet->sideHeadingColumnWidths[static_cast<size_t>(i)] : 0;
  }
  return m_sheet->ColumnWidth(column);
}

int CGridCore::SetRowHeight(int row, int height) {
  if (row < 0) return SetTopHeadingRowHeight(row, height);
  if (row >= m_sheet->rows) return 1;
  height = std::max(height, 0);
  m_sheet->SetOneRowHeight(row, height);
  OnRowHeightChanged(row, height);
  RedrawAll();
  return 0;
}

int CGridCore::GetRowHeight(int row) const {
  if (row < 0) {
    const int i = -1 - row;
    return i < GetTopHeadingRowCount() ? m_sheet->topHeadingRowHeights[static_cast<size_t>(i)] : 0;
  }
  return m_sheet->RowHeight(row);
}

int CGridCore::SetDefaultRowHeight(int height) {
  if (height < 0) return 1;
  m_sheet->defaultRowHeight = height;
  m_sheet->RecomputeRows();
  return 0;
}

int CGridCore::SetTopHeadingRowCount(int count) {
  if (count < 1 || count > 64) return 1;
  m_sheet->topHeadingRowHeights.resize(static_cast<size_t>(count), 20);
  m_sheet->topHeadingHeight =
      std::accumulate(m_sheet->topHeadingRowHeights.begin(), m_sheet->topHeadingRowHeights.end(), 0);
  return 0;
}

int CGridCore::SetSideHeadingColumnCount(int count) {
  if (count < 1 || count > 64) return 1;
  m_sheet->sideHeadingColumnWidths.resize(static_cast<size_t>(count), 25);
  m_sheet->sideHeadingWidth = std::max(
      m_sheet->sideHeadingWidth,
      std::accumulate(m_sheet->sideHeadingColumnWidths.begin(), m_sheet->sideHeadingColumnWidths.end(), 0));
  return 0;
}

void CGridCore::RescaleHeading(std::vector<int>& sizes, int total) {
  const long long sum = std::accumulate(sizes.begin(), sizes.end(), 0LL);
  if (sum <= 0) {
    // Nothing to scale: the outermost row (column) takes the whole size.
    std::fill(sizes.begin(), sizes.end(), 0);
    sizes.back() = total;
    return;
  }
  const double factor = static_cast<double>(total) / static_cast<double>(sum);
  for (int& s : sizes) s = static_cast<int>(s * factor + 0.5);
}

int CGridCore::SetTopHeadingHeight(int height) {
  if (height < 0 || height > kMaxHeadingSize) return 1;
  RescaleHeading(m_sheet->topHeadingRowHeights, height);
  m_sheet->topHeadingHeight = height;
  Relayout();
  return 0;
}

int CGridCore::SetSideHeadingWidth(int width) {
  if (width < 0 || width > kMaxHeadingSize) return 1;
  RescaleHeading(m_sheet->sideHeadingColumnWidths, width);
  m_sheet->sideHeadingWidth = width;
  Relayout();
  return 0;
}

void CGridCore::Relayout() {
  if (m_layoutWidth > 0 && m_layoutHeight > 0) LayoutComponents(m_layoutWidth, m_layoutHeight);
}

std::vector<int> CGridCore::VisibleRows() const {
  std::vector<int> rows;
  for (int r = 0; r < std::min(m_sheet->lockedRows, m_sheet->rows); ++r) rows.push_back(r);
  const int last = LastVisibleRow();
  for (int r = std::max(m_sheet->topRow, m_sheet->lockedRows); r <= last && r < m_sheet->rows; ++r) rows.push_back(r);
  return rows;
}

std::vector<int> CGridCore::VisibleColumns() const {
  std::vector<int> columns;
  for (int c = 0; c < std::min(m_sheet->lockedColumns, m_sheet->columns); ++c) columns.push_back(c);
  const int last = LastVisibleColumn();
  for (int c = std::max(m_sheet->leftColumn, m_sheet->lockedColumns); c <= last && c < m_sheet->columns; ++c)
    columns.push_back(c);
  return columns;
}

void CGridCore::ColumnSizingStep(int column, int width) {
  if (column < 0 || column >= m_sheet->columns) return;
  width = std::max(width, 0);
  for (int row : VisibleRows()) CellTypeAt(column, row).OnColumnWidthChanging(column, row, width);
  OnColumnWidthChanging(column, width);
  m_sheet->columnRecords[static_cast<size_t>(column)].width = std::max(width, 0);
  m_sheet->RecomputeColumns();
  if (!m_view) return;
  if (m_sheet->headingSizing == 1) m_view->InvalidateSection(kSectionTopHeading);
  else m_view->InvalidateAll();
}

void CGridCore::ColumnSizingEnd(int column, int width) {
  if (column < 0 || column >= m_sheet->columns) return;
  width = std::max(width, 0);
  for (int row : VisibleRows()) CellTypeAt(column, row).OnColumnWidthChanged(column, row, width);
  OnColumnWidthChanged(column, width);
  m_sheet->columnRecords[static_cast<size_t>(column)].width = std::max(width, 0);
  m_sheet->RecomputeColumns();
  Relayout();
  RedrawAll();
}

void CGridCore::RowSizingStep(int row, int height) {
  if (row < 0 || row >= m_sheet->rows) return;
  height = std::max(height, 0);
  for (int column : VisibleColumns()) CellTypeAt(column, row).OnRowHeightChanging(column, row, height);
  OnRowHeightChanging(row, height);
  m_sheet->SetOneRowHeight(row, height);
  if (!m_view) return;
  if (m_sheet->headingSizing == 1) m_view->InvalidateSection(kSectionSideHeading);
  else m_view->InvalidateAll();
}

void CGridCore::RowSizingEnd(int row, int height) {
  if (row < 0 || row >= m_sheet->rows) return;
  height = std::max(height, 0);
  for (int column : VisibleColumns()) CellTypeAt(column, row).OnRowHeightChanged(column, row, height);
  SetRowHeight(row, height);
  Relayout();
}

int CGridCore::SetTopHeadingRowHeight(int row, int height) {
  const int i = -1 - row;
  if (row >= 0 || i >= GetTopHeadingRowCount() || height < 0) return 1;
  if (height > kMaxHeadingSize) return 2;
  m_sheet->topHeadingRowHeights[static_cast<size_t>(i)] = height;
  if (GetTopHeadingRowCount() == 1) m_sheet->topHeadingHeight = height;
  return 0;
}

int CGridCore::SetSideHeadingColumnWidth(int column, int width) {
  const int i = -1 - column;
  if (column >= 0 || i >= GetSideHeadingColumnCount() || width < 0) return 1;
  if (width > kMaxHeadingSize) return 2;
  m_sheet->sideHeadingColumnWidths[static_cast<size_t>(i)] = width;
  if (GetSideHeadingColumnCount() == 1) m_sheet->sideHeadingWidth = width;
  return 0;
}

int CGridCore::SetLockedColumnCount(int count) {
  if (count < 0 || count > m_sheet->columns) return 1;
  m_sheet->lockedColumns = count;
  m_sheet->RecomputeLocked();
  m_sheet->leftColumn = count;
  return 0;
}

int CGridCore::SetLockedRowCount(int count) {
  if (count < 0 || count > m_sheet->rows) return 1;
  m_sheet->lockedRows = count;
  m_sheet->RecomputeLocked();
  m_sheet->topRow = count;
  return 0;
}

int CGridCore::MoveColumn(int from, int to) {
  CGridSheetInfo& s = *m_sheet;
  if (from < 0 || from >= s.columns || to < 0 || to > s.columns) return 1;
  if (to == from || to == from + 1) return 0;
  CGridColumnRecord rec = std::move(s.columnRecords[static_cast<size_t>(from)]);
  s.columnRecords.erase(s.columnRecords.begin() + from);
  const int at = to > from ? to - 1 : to;
  s.columnRecords.insert(s.columnRecords.begin() + at, std::move(rec));
  s.RecomputeColumns();
  RedrawAll();
  return 0;
}

// ---------------------------------------------------------------- registries

int CGridCore::AddCellType(CGridCellType& type) {
  m_types.push_back(&type);
  const int index = static_cast<int>(m_types.size()) - 1;
  type.SetControl(this, index);
  return index;
}

int CGridCore::SetCellTypeOption(int typeIndex, int value) {
  if (typeIndex < 1 || typeIndex >= static_cast<int>(m_types.size()) || !m_types[static_cast<size_t>(typeIndex)]) {
    return m_normalType.SetTypeOption(value);
  }
  return m_types[static_cast<size_t>(typeIndex)]->SetTypeOption(value);
}

int CGridCore::AddFont(const GridFontRecord& font) {
  GridFontRecord rec = font;
  if (rec.face.length() >= 32) rec.face.clear();
  for (size_t i = 0; i < m_fonts.size(); ++i) {
    if (m_fonts[i] == rec) return static_cast<int>(i);
  }
  m_fonts.push_back(rec);
  return static_cast<int>(m_fonts.size()) - 1;
}

const GridFontRecord* CGridCore::GetFont(int index) const {
  return index >= 0 && index < static_cast<int>(m_fonts.size()) ? &m_fonts[static_cast<size_t>(index)] : nullptr;
}

int CGridCore::GetHintText(int column, int row, int section, wxString& text) {
  text = wxString::Format(wxS("Col:%d Row:%ld"), column, static_cast<long>(row));
  return 1;
}

int CGridCore::SortByColumn(int column, int flags) {
  if (column < 0 || column >= m_sheet->columns) return 1;
  const int result = SourceOf(column).SortByColumn(TranslatedColumn(column), flags);
  RedrawAll();
  return result;
}
