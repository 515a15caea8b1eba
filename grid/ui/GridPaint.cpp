// Painting of the cell area and the heading bands: each visible cell drawn by its cell
// type through a painter on the device context.
#include <algorithm>
#include <memory>
#include <set>
#include <utility>
#include <wx/dc.h>
#include <wx/dcmemory.h>
#include <wx/settings.h>

#include "grid/ui/GridCellArea.h"
#include "grid/ui/GridCtrl.h"
#include "grid/ui/GridHeadings.h"
#include "grid/ui/GridPainterWx.h"

namespace {

wxRect ToWx(const GridRect& r) { return wxRect(r.left, r.top, std::max(r.Width(), 0), std::max(r.Height(), 0)); }

// Where the walk goes on after a hidden line: at the next shown one, but never past the
// end of the locked lines, where the walk jumps to the first scrolled-in line.
int SkipHidden(int at, int next, int locked) {
  if (at < locked) next = std::min(next, locked);
  return std::max(next, at + 1);
}

}  // namespace

void CGridCtrl::DrawCell(wxDC& dc, const GridRect& rect, int column, int row, const CGridCell& cell, int selected,
                         bool current) {
  CGridWxPainter painter(*this, dc);
  CellTypeOf(cell).OnDraw(painter, rect, column, row, cell, selected, current);
}

void CGridCtrl::PaintCells(wxDC& screen, const wxRect& clip, bool focus, wxDC* buffer) {
  CGridSheetInfo& s = Sheet();
  if (!s.paintEnabled) return;
  wxDC& dc = buffer ? *buffer : screen;
  CGridWxPainter screenPainter(*this, screen);
  std::unique_ptr<CGridWxPainter> bufferPainter;
  if (buffer) bufferPainter = std::make_unique<CGridWxPainter>(*this, *buffer);
  CGridWxPainter& painter = buffer ? *bufferPainter : screenPainter;
  screenPainter.SetFont(-1);
  painter.SetFont(-1);
  OnPaintSetup(screenPainter, bufferPainter.get(), kSectionCells);
  const int width = s.cellAreaWidth, height = s.cellAreaHeight;
  std::set<std::pair<int, int>> drawnJoins;
  GridRect currentRect{0, 0, 0, 0};
  bool haveCurrent = false;
  int lastRight = 0, lastBottom = 0;
  bool allColumns = true, allRows = true;
  CGridCell cell;
  int y = 0;
  for (int row = 0; row < s.rows;) {
    if (row == s.lockedRows && row < s.topRow) row = s.topRow;
    if (row >= s.rows) break;
    const int h = s.RowHeight(row);
    if (h <= 0) {
      row = SkipHidden(row, s.NextShownRow(row), s.lockedRows);
      continue;
    }
    if (y >= height) {
      allRows = false;
      break;
    }
    int x = 0;
    if (y + h > clip.y && y < clip.GetBottom() + 1) {
      for (int column = 0; column < s.columns;) {
        if (column == s.lockedColumns && column < s.leftColumn) column = s.leftColumn;
        if (column >= s.columns) break;
        const int w = s.ColumnWidth(column);
        if (w <= 0) {
          column = SkipHidden(column, s.NextShownColumn(column), s.lockedColumns);
          continue;
        }
        if (x >= width) {
          allColumns = false;
          break;
        }
        if (x + w > clip.x && x < clip.GetRight() + 1) {
          cell.ResetProperties();
          GetMergedCell(column, row, cell);
          GridRect rect{x, y, x + w, y + h};
          int dc0 = column, dr0 = row;
          bool draw = true;
          if (s.joins && cell.IsSet(gridcell::kJoin)) {
            JoinOrigin(dc0, dr0);
            draw = drawnJoins.insert({dc0, dr0}).second;
            if (draw) {
              CellRectangle(dc0, dr0, rect);
              if (dc0 != column || dr0 != row) {
                cell.ResetProperties();
                GetMergedCell(dc0, dr0, cell);
              }
            }
          }
          if (draw) {
            const bool current = dr0 == s.currentRow && (dc0 == s.currentColumn || s.highlightWholeRow);
            int block = -1;
            int selected = 0;
            if (!current && s.selection.IsCellSelected(dc0, dr0, &block)) selected = block + 1;
            wxDCClipper clipper(dc, ToWx(rect));
            CellTypeOf(cell).OnDraw(painter, rect, dc0, dr0, cell, selected, current);
            if (current) {
              currentRect = rect;
              haveCurrent = true;
            }
          }
          // Black separators at the locked edges.
          if (s.lockedColumns > 0 || s.lockedRows > 0) painter.SetPen(Rgb(0, 0, 0));
          if (s.lockedColumns > 0 && column == s.leftColumn && column >= s.lockedColumns) painter.Line(x - 1, y, x - 1, y + h);
          if (s.lockedColumns > 0 && column == s.lockedColumns - 1) painter.Line(x + w - 1, y, x + w - 1, y + h);
          if (s.lockedRows > 0 && row == s.topRow && row >= s.lockedRows) painter.Line(x, y - 1, x + w, y - 1);
          if (s.lockedRows > 0 && row == s.lockedRows - 1) painter.Line(x, y + h - 1, x + w, y + h - 1);
        }
        x += w;
        ++column;
      }
      lastRight = std::max(lastRight, x);
    } else {
      lastRight = std::max(lastRight, static_cast<int>(std::min<long long>(
                                          width, s.lockedWidth + s.ColumnPosition(s.columns) -
                                                     s.ColumnPosition(std::max(s.leftColumn, s.lockedColumns)))));
    }
    y += h;
    ++row;
  }
  lastBottom = y;
  // The area beyond the last column and row.
  const GridColour blank = GetSectionBackColor(kSectionCells);
  if (allColumns && lastRight < width) painter.FillRect(GridRect{lastRight, 0, width, std::min(lastBottom, height)}, blank);
  if (allRows && lastBottom < height) painter.FillRect(GridRect{0, lastBottom, width, height}, blank);
  if (buffer) screen.Blit(clip.x, clip.y, clip.width, clip.height, buffer, clip.x, clip.y);
  if (focus && haveCurrent && !IsEditing()) {
    GridRect r = currentRect;
    if (s.highlightWholeRow) {
      r.left = 0;
      r.right = std::min(lastRight, width);
    }
    DrawCurrentFocus(screenPainter, GridRect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1});
  }
  if (CellArea() && !CellArea()->Indicator().IsEmpty()) {
    screen.SetPen(*wxTRANSPARENT_PEN);
    screen.SetBrush(*wxBLACK_BRUSH);
    screen.DrawRectangle(CellArea()->Indicator());
  }
}

void CGridCtrl::PaintHeading(wxDC& dc, int section, const wxSize& size) {
  CGridSheetInfo& s = Sheet();
  if (!s.paintEnabled) return;
  CGridWxPainter painter(*this, dc);
  // The corner reports itself as a top heading.
  OnPaintSetup(painter, nullptr, section == kSectionCorner ? kSectionTopHeading : section);
  painter.SetFont(-1);
  CGridCell cell;
  int extent = 0;
  std::set<std::pair<int, int>> drawnJoins;
  if (section == kSectionCorner) {
    cell.ResetProperties();
    GetMergedCell(-1, -1, cell);
    if (GetTopHeadingRowCount() == 1) cell.SetVisualPart(32);
    else if (GetSideHeadingColumnCount() == 1) cell.SetVisualPart(64);
    CellTypeOf(cell).OnDraw(painter, GridRect{0, 0, size.x, size.y}, -1, -1, cell, 0, false);
    return;
  }
  const bool top = section == kSectionTopHeading;
  const int lines = top ? GetTopHeadingRowCount() : GetSideHeadingColumnCount();
  // Room the heading lines leave in the band goes to the outermost line.
  const std::vector<int>& sizes = top ? s.topHeadingRowHeights : s.sideHeadingColumnWidths;
  int sum = 0;
  for (int v : sizes) sum += v;
  const int slack = std::max((top ? size.y : size.x) - sum, 0);
  for (int line = -lines; line <= -1; ++line) {
    int pos = 0;
    const int count = top ? s.columns : s.rows;
    const int locked = top ? s.lockedColumns : s.lockedRows;
    const int first = top ? s.leftColumn : s.topRow;
    for (int i = 0; i < count;) {
      if (i == locked && i < first) i = first;
      if (i >= count) break;
      const int size1 = top ? s.ColumnWidth(i) : s.RowHeight(i);
      if (size1 <= 0) {
        i = SkipHidden(i, top ? s.NextShownColumn(i) : s.NextShownRow(i), locked);
        continue;
      }
      if (pos >= (top ? size.x : size.y)) break;
      const int column = top ? i : line, row = top ? line : i;
      GridRect rect;
      if (CellRectangle(column, row, rect) == 0) {
        int& lo = top ? rect.top : rect.left;
        int& hi = top ? rect.bottom : rect.right;
        if (line != -lines) lo += slack;
        hi += slack;
        cell.ResetProperties();
        GetMergedCell(column, row, cell);
        const int selected = top && m_top && m_top->GrabbedColumn() == column && m_top->DropPosition() >= 0 ? 1 : 0;
        wxDCClipper clipper(dc, ToWx(rect));
        CellTypeOf(cell).OnDraw(painter, rect, column, row, cell, selected, false);
      }
      pos += size1;
      ++i;
    }
    extent = std::max(extent, pos);
  }
  const GridColour back = GetSectionBackColor(section);
  if (top && extent < size.x) painter.FillRect(GridRect{extent, 0, size.x, size.y}, back);
  if (!top && extent < size.y) painter.FillRect(GridRect{0, extent, size.x, size.y}, back);
}
