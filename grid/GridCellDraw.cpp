// The normal cell type's drawing: border, background, bitmap and text, and the text that
// runs on into empty cells to its right.
#include <algorithm>

#include "grid/GridCellType.h"
#include "grid/GridCore.h"
#include "grid/GridPainter.h"
#include "grid/GridVisualStyles.h"

namespace {

int StyleOf(const CGridCell& cell) { return cell.IsSet(gridcell::kCellTypeStyle) ? cell.GetCellTypeStyle() : 0; }

// The lines of a word-wrapped text that fit `width`; a word wider than the width stands alone.
std::vector<wxString> WrapLines(CGridPainter& dc, const wxString& text, int width) {
  std::vector<wxString> lines;
  wxString paragraph, rest = text;
  for (;;) {
    const int lf = rest.Find('\n');
    paragraph = lf == wxNOT_FOUND ? rest : rest.Left(static_cast<size_t>(lf));
    paragraph.Replace(wxS("\r"), wxString());
    wxString line;
    wxString words = paragraph;
    do {
      const int space = words.Find(' ');
      const wxString word = space == wxNOT_FOUND ? words : words.Left(static_cast<size_t>(space));
      words = space == wxNOT_FOUND ? wxString() : words.Mid(static_cast<size_t>(space) + 1);
      const wxString candidate = line.empty() ? word : line + wxS(" ") + word;
      if (!line.empty() && dc.TextExtent(candidate).x > width) {
        lines.push_back(line);
        line = word;
      } else {
        line = candidate;
      }
    } while (!words.empty());
    lines.push_back(line);
    if (lf == wxNOT_FOUND) break;
    rest = rest.Mid(static_cast<size_t>(lf) + 1);
  }
  return lines;
}

}  // namespace

const GridGuid& CGridCellType::GetTypeGuid() const {
  static const GridGuid guid{0x4e, 0x6f, 0x72, 0x6d, 0x61, 0x6c, 0x43, 0x65, 0x6c, 0x6c, 0x54, 0x79, 0x70, 0x65, 0x00, 0x01};
  return guid;
}

bool CGridCellType::DrawsThemed() const { return m_useVisualStyles && gridstyles::IsThemingAvailable(); }

void CGridCellType::OnDraw(CGridPainter& dc, const GridRect& rect, int column, int row, const CGridCell& cell,
                           int selected, bool current) {
  TakeVisualStyle(cell);
  if (m_control && m_control->Sheet().textOverflow && column >= 0 && row >= 0 && QualifiesForOverflow(cell) &&
      !(cell.IsSet(gridcell::kValue) && !cell.GetText().empty())) {
    int source = -1;
    CGridCell from;
    const int offset = GetOverflowOffset(column, row, source, from);
    if (offset != 0) {
      const GridRect inner = DrawBorder(dc, rect, cell);
      // The text of the cell it comes from, on this cell's background.
      GridColour text, back;
      CellColours(cell, selected != 0, current, m_control->Sheet().highlightOption, text, back);
      from.SetColour(1, back);
      from.SetColour(3, back);
      from.ClearBits(gridcell::kBitmap);
      DrawCellText(dc, inner, offset, column, row, from, selected, current);
      return;
    }
  }
  DrawCellText(dc, DrawBorder(dc, rect, cell), 0, column, row, cell, selected, current);
}

GridRect CGridCellType::DrawBorder(CGridPainter& dc, const GridRect& r, const CGridCell& cell) {
  const int style = cell.IsSet(gridcell::kBorderStyle) ? cell.GetBorderStyle() : 0;
  if (DrawsThemed() && gridstyles::ThemeDrawEdge(dc, 1, cell.GetVisualPart(), style, r)) return r;
  if (!m_control) return r;
  const CGridSheetInfo& s = m_control->Sheet();
  if (style == 0 && !s.gridLines) return r;
  const GridPen pen = cell.IsSet(gridcell::kBorderPen) ? cell.GetBorderPen() : s.gridLinePen;
  const bool frame3d = (style & 0x3000) != 0;
  const bool gridLines = s.gridLines && !frame3d;
  int insetL = 0, insetT = 0, insetR = 0, insetB = 0;
  const auto side = [&](int bit1, int& inset, auto draw) {
    int width = 0;
    if (style & bit1) width = 1;
    if (style & (bit1 << 4)) width = 2;
    if (style & (bit1 << 8)) width = 3;
    for (int i = 0; i < width; ++i) draw(i);
    inset = width;
  };
  if (style & 0xFFF) {
    dc.SetPen(pen.colour, 1);
    side(1, insetL, [&](int i) { dc.Line(r.left + i, r.top, r.left + i, r.bottom); });
    side(2, insetT, [&](int i) { dc.Line(r.left, r.top + i, r.right, r.top + i); });
    side(4, insetR, [&](int i) { dc.Line(r.right - 1 - i, r.top, r.right - 1 - i, r.bottom); });
    side(8, insetB, [&](int i) { dc.Line(r.left, r.bottom - 1 - i, r.right, r.bottom - 1 - i); });
  }
  if (gridLines) {
    dc.SetPen(s.gridLinePen.colour, 1);
    if (!(style & 0x444)) {
      dc.Line(r.right - 1, r.top, r.right - 1, r.bottom);
      insetR = 1;
    }
    if (!(style & 0x888)) {
      dc.Line(r.left, r.bottom - 1, r.right, r.bottom - 1);
      insetB = 1;
    }
  }
  if (frame3d) {
    const bool recessed = (style & 0x1000) != 0;
    const GridColour first = recessed ? SysColour(kColBtnShadow) : SysColour(kColBtnHighlight);
    const GridColour second = recessed ? SysColour(kColBtnHighlight) : SysColour(kColBtnShadow);
    const int depth = std::max(s.borderDepth, 1);
    for (int i = 0; i < depth; ++i) {
      dc.SetPen(first);
      const GridPoint upper[] = {{r.left + i, r.bottom - i - 1}, {r.left + i, r.top + i}, {r.right - i - 1, r.top + i}};
      dc.Polyline(upper, 3);
      dc.SetPen(second);
      const GridPoint lower[] = {{r.right - i - 1, r.top + i},
                                 {r.right - i - 1, r.bottom - i - 1},
                                 {r.left + i, r.bottom - i - 1}};
      dc.Polyline(lower, 3);
    }
    insetL = insetT = insetR = insetB = depth;
  }
  return GridRect{r.left + insetL, r.top + insetT, r.right - insetR, r.bottom - insetB};
}

void CGridCellType::DrawBackground(CGridPainter& dc, const GridRect& rect, GridColour colour, int row, int column,
                                   const CGridCell* cell, bool current, int selected) {
  if (cell && DrawsThemed()) {
    GridRect themed = rect;
    if (column >= 0 && row >= 0 && m_control) {
      int source = -1;
      CGridCell from;
      if (GetOverflowOffset(column, row, source, from) != 0 && source != column) {
        for (int c = column + 1; c < m_control->GetColumnCount(); ++c) {
          CGridCell next;
          if (m_control->GetMergedCell(c, row, next) != 0 || (next.IsSet(gridcell::kValue) && !next.GetText().empty()))
            break;
          themed.right += m_control->GetColumnWidth(c);
        }
      }
    }
    if (gridstyles::ThemeDrawBackground(dc, HighlightState(selected != 0, current), cell->GetVisualPart(), themed))
      return;
  }
  if (rect.right > rect.left && rect.bottom > rect.top) dc.FillRect(rect, colour);
}

int CGridCellType::DrawBitmap(CGridPainter& dc, const std::shared_ptr<const GridImage>& bitmap, const GridRect& rect,
                              GridColour background) {
  const int margin = 2;
  if (!bitmap || bitmap->width <= 0 || bitmap->height <= 0) return 0;
  int width = bitmap->width, height = bitmap->height;
  const int room = rect.Width() - 2 * margin;
  int x = rect.left + margin, y;
  if (height <= rect.Height() - 2 * margin) {
    y = rect.top + (rect.Height() - height) / 2;
  } else {
    const int target = std::max(rect.Height() - 4, 0);
    const int percent = target * 100 / height;
    width = width * percent / 100;
    height = target;
    y = rect.top + margin;
  }
  const int shown = std::max(std::min(width, room), 0);
  if (!DrawsThemed()) dc.FillRect(GridRect{rect.left, rect.top, rect.left + 2 * margin + shown, rect.bottom}, background);
  if (shown > 0 && height > 0) dc.Image(bitmap, x, y, width, height, shown);
  width = shown;
  return 2 * margin + width;
}

void CGridCellType::DrawCellText(CGridPainter& dc, GridRect rect, int xOffset, int column, int row,
                                 const CGridCell& cell, int selected, bool current) {
  const int style = StyleOf(cell);
  wxString text;
  if (m_drawLabel || (style & 8)) text = cell.IsSet(gridcell::kLabel) ? cell.GetLabel() : wxString();
  else if (cell.IsSet(gridcell::kValue)) text = cell.GetText();
  const int highlightOption = m_control ? m_control->Sheet().highlightOption : 1;
  const int margin = m_control ? m_control->Sheet().textMargin : 4;
  GridColour textColour, back;
  CellColours(cell, selected != 0, current, highlightOption, textColour, back);
  dc.SetTextColour(textColour);
  if (!(cell.GetVisualPart() == 0x8000 && gridstyles::IsThemingAvailable()))
    DrawBackground(dc, rect, back, row, column, &cell, current, selected);
  int bitmapWidth = 0;
  if (cell.IsSet(gridcell::kBitmap) && cell.GetBitmap()) {
    GridRect at = rect;
    if (xOffset != 0) at.left += xOffset;
    bitmapWidth = DrawBitmap(dc, cell.GetBitmap(), at, back);
  }
  if (text.empty()) return;
  dc.SetFont(cell.IsSet(gridcell::kFont) ? cell.GetFont() : -1);
  const GridRect clip{xOffset < 0 ? rect.left - 1 : rect.left, rect.top, rect.right, rect.bottom};
  if (clip.right <= clip.left || clip.bottom <= clip.top) return;
  const int align = cell.GetAlignment();
  if (style & 2) {
    GridRect box = rect;
    if (align & gridcell::kRight) box.right -= margin + xOffset;
    else if (!(align & gridcell::kCentre)) box.left += margin + xOffset + bitmapWidth;
    const int lineHeight = dc.TextExtent(wxS("Ag")).y;
    int y = rect.top + 1;
    for (const wxString& line : WrapLines(dc, text, std::max(box.Width(), 1))) {
      if (y >= rect.bottom) break;
      const int w = dc.TextExtent(line).x;
      int x = box.left;
      if (align & gridcell::kCentre) x = box.left + (box.Width() - w) / 2;
      else if (align & gridcell::kRight) x = box.right - w;
      dc.Text(line, x, y, clip);
      y += lineHeight;
    }
    return;
  }
  if (style & 4) {
    const int left = rect.left + 3 + bitmapWidth;
    const wxString shown = dc.Ellipsize(text, std::max(rect.right - left, 1));
    const GridPoint size = dc.TextExtent(shown);
    const GridPoint p = TextPosition(rect, align, size, margin, 0);
    dc.Text(shown, left, p.y, clip);
    return;
  }
  const GridPoint size = dc.TextExtent(text);
  GridPoint p = TextPosition(rect, align, size, margin, xOffset);
  if (!(align & (gridcell::kCentre | gridcell::kRight))) p.x += bitmapWidth;
  dc.Text(text, p.x, p.y, clip);
}
