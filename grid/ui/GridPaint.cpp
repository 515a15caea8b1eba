// Drawing of cells, heading bands and the built-in cell types on a wx device context.
// System colours and metrics are read here, at draw time.
#include <algorithm>
#include <set>
#include <utility>
#include <wx/control.h>
#include <wx/dc.h>
#include <wx/renderer.h>
#include <wx/settings.h>

#include "grid/GridCellTypes.h"
#include "grid/ui/GridCellArea.h"
#include "grid/ui/GridCtrl.h"
#include "grid/ui/GridHeadings.h"

namespace {

wxRect ToWx(const GridRect& r) { return wxRect(r.left, r.top, std::max(r.Width(), 0), std::max(r.Height(), 0)); }

int StyleOf(const CGridCell& cell) { return cell.IsSet(gridcell::kCellTypeStyle) ? cell.GetCellTypeStyle() : 0; }
bool ReadOnlyOf(const CGridCell& cell) { return cell.IsSet(gridcell::kReadOnly) && cell.GetReadOnly() != 0; }

void Line(wxDC& dc, int x1, int y1, int x2, int y2) { dc.DrawLine(x1, y1, x2, y2); }

}  // namespace

namespace gridpaint {

// Border lines and grid lines; returns the inner rectangle.
GridRect DrawBorder(CGridCtrl& g, wxDC& dc, GridRect r, const CGridCell& cell) {
  const CGridSheetInfo& s = g.Sheet();
  const int style = cell.IsSet(gridcell::kBorderStyle) ? cell.GetBorderStyle() : 0;
  if (style == 0 && !s.gridLines) return r;
  const GridPen pen = cell.IsSet(gridcell::kBorderPen) ? cell.GetBorderPen() : s.gridLinePen;
  const bool frame3d = (style & 0x3000) != 0;
  const bool gridLines = s.gridLines && !frame3d;
  int insetL = 0, insetT = 0, insetR = 0, insetB = 0;
  const wxPen cellPen(CGridCtrl::Colour(pen.colour), 1);
  const wxPen gridPen(CGridCtrl::Colour(s.gridLinePen.colour), 1);
  const auto side = [&](int bit1, int& inset, auto draw) {
    int width = 0;
    if (style & bit1) width = 1;
    if (style & (bit1 << 4)) width = 2;
    if (style & (bit1 << 8)) width = 3;
    for (int i = 0; i < width; ++i) draw(i);
    inset = width;
  };
  dc.SetPen(cellPen);
  side(1, insetL, [&](int i) { Line(dc, r.left + i, r.top, r.left + i, r.bottom); });
  side(2, insetT, [&](int i) { Line(dc, r.left, r.top + i, r.right, r.top + i); });
  side(4, insetR, [&](int i) { Line(dc, r.right - 1 - i, r.top, r.right - 1 - i, r.bottom); });
  side(8, insetB, [&](int i) { Line(dc, r.left, r.bottom - 1 - i, r.right, r.bottom - 1 - i); });
  if (gridLines) {
    dc.SetPen(gridPen);
    if (!(style & 0x444)) {
      Line(dc, r.right - 1, r.top, r.right - 1, r.bottom);
      insetR = 1;
    }
    if (!(style & 0x888)) {
      Line(dc, r.left, r.bottom - 1, r.right, r.bottom - 1);
      insetB = 1;
    }
  }
  if (frame3d) {
    const wxPen shadow(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW), 1);
    const wxPen light(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT), 1);
    const bool recessed = (style & 0x1000) != 0;
    const int depth = std::max(s.borderDepth, 1);
    for (int i = 0; i < depth; ++i) {
      dc.SetPen(recessed ? shadow : light);
      Line(dc, r.left + i, r.bottom - i - 1, r.left + i, r.top + i);
      Line(dc, r.left + i, r.top + i, r.right - i - 1, r.top + i);
      dc.SetPen(recessed ? light : shadow);
      Line(dc, r.right - i - 1, r.top + i, r.right - i - 1, r.bottom - i - 1);
      Line(dc, r.right - i - 1, r.bottom - i - 1, r.left + i, r.bottom - i - 1);
    }
    insetL = insetT = insetR = insetB = depth;
  }
  return GridRect{r.left + insetL, r.top + insetT, r.right - insetR, r.bottom - insetB};
}

void FillBackground(wxDC& dc, const GridRect& r, const wxColour& c) {
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(c));
  dc.DrawRectangle(ToWx(r));
  dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
}

void DrawCellText(CGridCtrl& g, wxDC& dc, GridRect r, int xOffset, const CGridCell& cell, int selected,
                  bool current, bool label, wxColour* forcedText = nullptr) {
  const CGridSheetInfo& s = g.Sheet();
  const int style = StyleOf(cell);
  wxString text;
  if (label || (style & 8)) text = cell.IsSet(gridcell::kLabel) ? cell.GetLabel() : wxString();
  else if (cell.IsSet(gridcell::kValue)) text = cell.GetText();
  GridColour textColour, back;
  CGridCellType::CellColours(cell, selected != 0, current, s.highlightOption, textColour, back);
  FillBackground(dc, r, CGridCtrl::Colour(back));
  if (text.empty()) return;
  const int font = cell.IsSet(gridcell::kFont) ? cell.GetFont() : s.defaultFont;
  dc.SetFont(g.FontOf(font));
  dc.SetTextForeground(forcedText ? *forcedText : CGridCtrl::Colour(textColour));
  const wxRect clip = ToWx(GridRect{xOffset < 0 ? r.left - 1 : r.left, r.top, r.right, r.bottom});
  if (clip.IsEmpty()) return;
  wxDCClipper clipper(dc, clip);
  if (style & 2) {
    // Word-wrapped lines from the top.
    wxString line, rest = text;
    int y = r.top + 1;
    const int width = std::max(r.Width() - 2 * s.textMargin, 1);
    while (!rest.empty() && y < r.bottom) {
      wxString word = rest.BeforeFirst(' ');
      rest = rest.Find(' ') == wxNOT_FOUND ? wxString() : rest.AfterFirst(' ');
      const wxString candidate = line.empty() ? word : line + wxS(" ") + word;
      if (!line.empty() && dc.GetTextExtent(candidate).x > width) {
        dc.DrawText(line, r.left + s.textMargin + xOffset, y);
        y += dc.GetCharHeight();
        line = word;
      } else {
        line = candidate;
      }
    }
    if (!line.empty()) dc.DrawText(line, r.left + s.textMargin + xOffset, y);
    return;
  }
  if (style & 4) text = wxControl::Ellipsize(text, dc, wxELLIPSIZE_END, std::max(r.Width() - 3, 1));
  const wxSize size = dc.GetTextExtent(text);
  const int align = (style & 4) ? gridcell::kLeft : cell.GetAlignment();
  const GridPoint p = CGridCellType::TextPosition(r, align, GridPoint{size.x, size.y}, s.textMargin, xOffset);
  dc.DrawText(text, p.x, p.y);
}

void DrawBase(CGridCtrl& g, wxDC& dc, const GridRect& rect, int column, int row, const CGridCell& cell,
              int selected, bool current, CGridCellType& type) {
  const CGridSheetInfo& s = g.Sheet();
  if (s.textOverflow && column >= 0 && row >= 0 && type.QualifiesForOverflow(cell) &&
      !(cell.IsSet(gridcell::kValue) && !cell.GetText().empty())) {
    int source = -1;
    CGridCell from;
    const int offset = type.GetOverflowOffset(column, row, source, from);
    if (offset != 0) {
      const GridRect inner = DrawBorder(g, dc, rect, cell);
      GridColour text, back;
      CGridCellType::CellColours(cell, selected != 0, current, s.highlightOption, text, back);
      from.SetColour(1, back);
      from.SetColour(3, back);
      DrawCellText(g, dc, inner, offset, from, selected, current, false);
      return;
    }
  }
  DrawCellText(g, dc, DrawBorder(g, dc, rect, cell), 0, cell, selected, current, false);
}

void DrawCheckBox(CGridCtrl& g, wxDC& dc, const GridRect& rect, const CGridCell& cell, int selected, bool current) {
  const CGridSheetInfo& s = g.Sheet();
  const GridRect inner = DrawBorder(g, dc, rect, cell);
  GridColour text, back;
  CGridCellType::CellColours(cell, selected != 0, current, s.highlightOption, text, back);
  FillBackground(dc, inner, CGridCtrl::Colour(back));
  const GridRect box = CGridCheckBoxType::BoxRect(inner, cell);
  const int style = StyleOf(cell);
  if (box.right >= box.left && box.Width() >= 6) {
    const int value = static_cast<int>(cell.GetNumber());
    int flags = 0;
    if (value == 1) flags |= wxCONTROL_CHECKED;
    if (value > 1) flags |= wxCONTROL_UNDETERMINED;
    if ((style & 0x4000) || ReadOnlyOf(cell)) flags |= wxCONTROL_DISABLED;
    wxRect r = ToWx(box);
    r.width += 1;
    r.height += 1;
    if (style & 0x400) wxRendererNative::Get().DrawRadioBitmap(g.CellArea(), dc, r, flags);
    else wxRendererNative::Get().DrawCheckBox(g.CellArea(), dc, r, flags);
  }
  if (!(style & 0x800)) {
    GridRect labelRect = inner;
    labelRect.left += std::max(box.Width(), 0) + 6;
    DrawCellText(g, dc, labelRect, 0, cell, selected, current, true);
  }
}

void DrawArrow(CGridCtrl& g, wxDC& dc, const GridRect& rect, const CGridCell& cell, int selected, bool current) {
  const CGridSheetInfo& s = g.Sheet();
  GridColour text, back;
  CGridCellType::CellColours(cell, selected != 0, current, s.highlightOption, text, back);
  FillBackground(dc, rect, CGridCtrl::Colour(back));
  if (rect.Width() < 4) return;
  const int cx = rect.left + rect.Width() / 2, cy = rect.top + rect.Height() / 2;
  dc.SetPen(wxPen(CGridCtrl::Colour(cell.IsSet(gridcell::kTextColour) ? cell.GetTextColour()
                                                                      : SysColour(kColWindowText)),
                  1));
  const auto one = [&](int x, int dir) {
    Line(dc, x - dir, cy - 3, x - dir, cy + 4);
    const wxPoint pts[] = {{x, cy - 2}, {x, cy + 2}, {x + 2 * dir, cy}, {x + dir, cy - 1}, {x + dir, cy + 1}};
    dc.DrawLines(5, pts);
  };
  const int style = StyleOf(cell);
  if (style & 0x40) {
    one(cx + 3, 1);
    one(cx - 3, 1);
  } else if (style & 0x80) {
    one(cx + 3, -1);
    one(cx - 3, -1);
  } else {
    one(cx, (style & 0x20) ? -1 : 1);
  }
}

// The drop list and the date-time picker: a drop button at the right edge.
void DrawDropButtonCell(CGridCtrl& g, wxDC& dc, const GridRect& rect, const CGridCell& cell, int selected,
                        bool current, int buttonWidth, bool pressed, bool picker) {
  const int style = StyleOf(cell);
  GridRect inner = DrawBorder(g, dc, rect, cell);
  GridRect button{std::max(inner.right - buttonWidth, inner.left), inner.top, inner.right, inner.bottom};
  GridRect textRect = rect;
  textRect.right = button.left - 1;
  const bool grey = picker && cell.IsSet(gridcell::kIndex) && cell.GetIndex() != 0 && ReadOnlyOf(cell);
  wxColour greyText = wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT);
  DrawCellText(g, dc, DrawBorder(g, dc, textRect, cell), 0, cell, selected, current, false, grey ? &greyText : nullptr);
  int flags = 0;
  if (pressed) flags |= wxCONTROL_PRESSED;
  if (cell.IsSet(gridcell::kReadOnly) && cell.GetReadOnly() == 1) flags |= wxCONTROL_DISABLED;
  FillBackground(dc, button, wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
  wxRendererNative::Get().DrawComboBoxDropButton(g.CellArea(), dc, ToWx(button), flags);
  (void)style;
}

void DrawSpinCell(CGridCtrl& g, wxDC& dc, const GridRect& rect, const CGridCell& cell, int selected, bool current,
                  int buttonWidth, int pressedHalf) {
  const GridRect inner = DrawBorder(g, dc, rect, cell);
  GridRect textRect = rect;
  const GridRect button{std::max(inner.right - buttonWidth, inner.left), inner.top, inner.right, inner.bottom};
  textRect.right = button.left - 1;
  DrawCellText(g, dc, DrawBorder(g, dc, textRect, cell), 0, cell, selected, current, false);
  const int middle = button.top + button.Height() / 2;
  const GridRect halves[2] = {{button.left, button.top, button.right, middle},
                              {button.left, middle, button.right, button.bottom}};
  for (int i = 0; i < 2; ++i) {
    const wxRect r = ToWx(halves[i]);
    wxRendererNative::Get().DrawPushButton(g.CellArea(), dc, r, pressedHalf == i + 1 ? static_cast<int>(wxCONTROL_PRESSED) : 0);
    dc.SetPen(*wxBLACK_PEN);
    const int cx = r.x + r.width / 2, cy = r.y + r.height / 2;
    // Three strokes of 5, 3 and 1 pixels.
    for (int k = 0; k < 3; ++k) {
      const int y = i == 0 ? cy + 1 - k : cy - 1 + k;
      Line(dc, cx - 2 + k, y, cx + 3 - k, y);
    }
  }
}

}  // namespace gridpaint

void CGridCtrl::DrawCell(wxDC& dc, const GridRect& rect, int column, int row, const CGridCell& cell, int selected,
                         bool current) {
  CGridCellType& type = CellTypeOf(cell);
  const int style = StyleOf(cell);
  const bool buttonShown = !(style & 0x200) || current;
  if (dynamic_cast<CGridCheckBoxType*>(&type)) {
    gridpaint::DrawCheckBox(*this, dc, rect, cell, selected, current);
  } else if (dynamic_cast<CGridArrowType*>(&type)) {
    gridpaint::DrawArrow(*this, dc, rect, cell, selected, current);
  } else if (auto* drop = dynamic_cast<CGridDropListType*>(&type); drop && buttonShown) {
    const bool picker = dynamic_cast<CGridDateTimePickerType*>(&type) != nullptr;
    const int w = wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, CellArea());
    drop->m_buttonWidth = w > 0 ? w : 16;
    gridpaint::DrawDropButtonCell(*this, dc, rect, cell, selected, current, drop->m_buttonWidth,
                                  drop->IsOpen() && drop->DroppedColumn() == column, picker);
  } else if (auto* spin = dynamic_cast<CGridSpinButtonType*>(&type); spin && buttonShown) {
    const int w = wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, CellArea());
    spin->m_buttonWidth = w > 0 ? w : 16;
    gridpaint::DrawSpinCell(*this, dc, rect, cell, selected, current, spin->m_buttonWidth,
                            current ? spin->PressedHalf() : 0);
  } else {
    gridpaint::DrawBase(*this, dc, rect, column, row, cell, selected, current, type);
  }
}

void CGridCtrl::PaintCells(wxDC& dc, const wxRect& clip, bool focus) {
  CGridSheetInfo& s = Sheet();
  if (!s.paintEnabled) return;
  dc.SetFont(FontOf(s.defaultFont));
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
      ++row;
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
          ++column;
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
            DrawCell(dc, rect, dc0, dr0, cell, selected, current);
            if (current) {
              currentRect = rect;
              haveCurrent = true;
            }
          }
          // Black separators at the locked edges.
          dc.SetPen(*wxBLACK_PEN);
          if (s.lockedColumns > 0 && column == s.leftColumn && column >= s.lockedColumns) Line(dc, x - 1, y, x - 1, y + h);
          if (s.lockedColumns > 0 && column == s.lockedColumns - 1) Line(dc, x + w - 1, y, x + w - 1, y + h);
          if (s.lockedRows > 0 && row == s.topRow && row >= s.lockedRows) Line(dc, x, y - 1, x + w, y - 1);
          if (s.lockedRows > 0 && row == s.lockedRows - 1) Line(dc, x, y + h - 1, x + w, y + h - 1);
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
  const wxColour blank = Colour(GetSectionBackColor(kSectionCells));
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(blank));
  if (allColumns && lastRight < width) dc.DrawRectangle(lastRight, 0, width - lastRight, std::min(lastBottom, height));
  if (allRows && lastBottom < height) dc.DrawRectangle(0, lastBottom, width, height - lastBottom);
  if (focus && haveCurrent && !IsEditing()) {
    wxRect r = ToWx(currentRect);
    if (s.highlightWholeRow) {
      r.x = 0;
      r.width = std::min(lastRight, width);
    }
    wxRendererNative::Get().DrawFocusRect(CellArea(), dc, r.Deflate(1), 0);
  }
  if (CellArea() && !CellArea()->Indicator().IsEmpty()) {
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(*wxBLACK_BRUSH);
    dc.DrawRectangle(CellArea()->Indicator());
  }
}

void CGridCtrl::PaintHeading(wxDC& dc, int section, const wxSize& size) {
  CGridSheetInfo& s = Sheet();
  if (!s.paintEnabled) return;
  dc.SetFont(FontOf(s.defaultFont));
  CGridCell cell;
  int extent = 0;
  std::set<std::pair<int, int>> drawnJoins;
  if (section == kSectionCorner) {
    cell.ResetProperties();
    GetMergedCell(-1, -1, cell);
    if (GetTopHeadingRowCount() == 1) cell.SetVisualPart(32);
    else if (GetSideHeadingColumnCount() == 1) cell.SetVisualPart(64);
    DrawCell(dc, GridRect{0, 0, size.x, size.y}, -1, -1, cell, 0, false);
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
        ++i;
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
        DrawCell(dc, rect, column, row, cell, selected, false);
      }
      pos += size1;
      ++i;
    }
    extent = std::max(extent, pos);
  }
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(Colour(GetSectionBackColor(section))));
  if (top && extent < size.x) dc.DrawRectangle(extent, 0, size.x - extent, size.y);
  if (!top && extent < size.y) dc.DrawRectangle(0, extent, size.x, size.y - extent);
}
