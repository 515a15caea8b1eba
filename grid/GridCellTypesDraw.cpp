// How the check box, arrow, drop list, date-time picker and spin button cells draw
// themselves: the plain drawing with 3-D frames and drawn marks, or the toolkit's
// themed parts while visual styles are on.
#include <algorithm>

#include "grid/GridCellTypes.h"
#include "grid/GridCore.h"
#include "grid/GridPainter.h"
#include "grid/GridVisualStyles.h"

namespace {

constexpr GridColour kBlack = Rgb(0, 0, 0);
constexpr GridColour kWhite = Rgb(255, 255, 255);
constexpr GridColour kLightGrey = Rgb(225, 225, 225);
constexpr GridColour kFace = SysColour(kColBtnFace);
constexpr GridColour kShadow = SysColour(kColBtnShadow);

int StyleOf(const CGridCell& cell) { return cell.IsSet(gridcell::kCellTypeStyle) ? cell.GetCellTypeStyle() : 0; }
int ReadOnlyOf(const CGridCell& cell) { return cell.IsSet(gridcell::kReadOnly) ? cell.GetReadOnly() : 0; }

void Poly(CGridPainter& dc, std::initializer_list<GridPoint> points) {
  dc.Polyline(points.begin(), static_cast<int>(points.size()));
}

bool Highlighted(const CGridCore* control, int selected, bool current) {
  return selected != 0 || (current && control && (control->Sheet().highlightOption & 2));
}

// A cell with only a 3-D frame, for drawing button frames through DrawBorder.
CGridCell FrameCell(bool pressed) {
  CGridCell frame;
  frame.SetBorderStyle(pressed ? 0x1000 : 0x2000);
  return frame;
}

}  // namespace

// ---------------------------------------------------------------- identifiers

const GridGuid& CGridCheckBoxType::GetTypeGuid() const {
  static const GridGuid guid{0x43, 0x68, 0x65, 0x63, 0x6b, 0x42, 0x6f, 0x78, 0x54, 0x79, 0x70, 0x65, 0x00, 0x00, 0x00, 0x02};
  return guid;
}
const GridGuid& CGridArrowType::GetTypeGuid() const {
  static const GridGuid guid{0x41, 0x72, 0x72, 0x6f, 0x77, 0x54, 0x79, 0x70, 0x65, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03};
  return guid;
}
// The date-time picker answers with the drop list's identifier.
const GridGuid& CGridDropListType::GetTypeGuid() const {
  static const GridGuid guid{0x44, 0x72, 0x6f, 0x70, 0x4c, 0x69, 0x73, 0x74, 0x54, 0x79, 0x70, 0x65, 0x00, 0x00, 0x00, 0x01};
  return guid;
}
const GridGuid& CGridSpinButtonType::GetTypeGuid() const {
  static const GridGuid guid{0x53, 0x70, 0x69, 0x6e, 0x54, 0x79, 0x70, 0x65, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x07};
  return guid;
}

// ---------------------------------------------------------------- check box

void CGridCheckBoxType::OnDraw(CGridPainter& dc, const GridRect& rect, int column, int row, const CGridCell& cell,
                               int selected, bool current) {
  TakeVisualStyle(cell);
  const GridRect inner = DrawBorder(dc, rect, cell);
  const bool highlighted = Highlighted(m_control, selected, current);
  GridColour text, back;
  CellColours(cell, selected != 0, current, m_control ? m_control->Sheet().highlightOption : 1, text, back);
  if (StyleOf(cell) & 0x4000) back = cell.IsSet(gridcell::kBackColour) ? cell.GetBackColour() : SysColour(kColWindow);
  DrawBackground(dc, inner, back, row, column, &cell, current, selected);
  const int style = StyleOf(cell);
  const int value = static_cast<int>(cell.GetNumber());
  const GridRect box = BoxRect(inner, cell);
  const int n = std::min(inner.Height() - 6, 12);
  bool themed = false;
  if (DrawsThemed() && box.right >= box.left) {
    int part = (style & 0x400) ? (value > 0 ? gridstyles::kPartRadioChecked : gridstyles::kPartRadioUnchecked)
                               : (value > 1   ? gridstyles::kPartCheckMixed
                                  : value == 1 ? gridstyles::kPartCheckChecked
                                               : gridstyles::kPartCheckUnchecked);
    const int state = ((style & 0x4000) || ReadOnlyOf(cell)) ? 8 : ((HighlightState(selected != 0, current) & 4) ? 4 : 1);
    themed = gridstyles::ThemeDrawBackground(dc, state, part, GridRect{box.left, box.top, box.right + 1, box.bottom + 1});
  }
  if (!themed && n >= 6 && box.right >= box.left) {
    const GridColour framePen = highlighted ? kWhite : kBlack;
    int L = box.left, T = box.top, R = box.right, B = box.bottom;
    GridRect inside;
    if (style & 0x100) {
      dc.SetPen(kShadow);
      Poly(dc, {{L, B}, {L, T}, {R, T}});
      dc.SetPen(kLightGrey);
      Poly(dc, {{R, T}, {R, B}, {L, B}});
      ++L, ++T, --R, --B;
      dc.SetPen(kFace);
      Poly(dc, {{L, B}, {R, B}, {R, T}});
      dc.SetPen(kBlack);
      Poly(dc, {{R, T}, {L, T}, {L, B}});
      inside = GridRect{L + 1, T + 1, R, B};
    } else if (style & 0x200) {
      dc.SetPen(kLightGrey);
      Poly(dc, {{L, B}, {L, T}, {R, T}});
      dc.SetPen(kBlack);
      Poly(dc, {{R, T}, {R, B}, {L, B}});
      ++L, ++T, --R, --B;
      dc.SetPen(kShadow);
      Poly(dc, {{L, B}, {R, B}, {R, T}});
      dc.SetPen(kFace);
      Poly(dc, {{R, T}, {L, T}, {L, B}});
      inside = GridRect{L + 1, T + 1, R, B};
    } else if (style & 0x400) {
      dc.SetPen(framePen);
      dc.SetNoBrush();
      dc.Ellipse(GridRect{L, T, R, B});
    } else {
      dc.SetPen(framePen);
      Poly(dc, {{L, T}, {R, T}, {R, B}, {L, B}, {L, T}});
      ++L, ++T;
      inside = GridRect{L, T, R, B};
    }
    if (!(style & 0x400) && (value > 1 || ReadOnlyOf(cell) == 1) && inside.right > inside.left)
      dc.PatternFill(inside, kFace, SysColour(kColBtnHighlight));
    if (value > 0) {
      dc.SetPen(value > 1 ? kShadow : framePen);
      if (style & 0x400) {
        dc.SetBrush(value > 1 ? kShadow : framePen);
        dc.Ellipse(GridRect{L + 2, T + 2, R - 2, B - 2});
      } else if (style & 0x1000) {
        Poly(dc, {{L + 2, B - 4}, {L + 4, B - 2}, {R + 3, T - 1}});
        if (n > 9) {
          Poly(dc, {{L + 2, B - 5}, {L + 4, B - 3}, {R + 3, T - 2}});
          dc.Line(L + 5, B - 2, R + 4, T - 1);
          dc.Line(L + 2, B - 6, L + 5, B - 3);
        }
      } else {
        const int l = L + 1, t = T + 1, r = R - 2, b = B - 2;
        dc.Line(l, t, r + 1, b + 1);
        dc.Line(l, b, r + 1, t - 1);
        if (n > 9) {
          dc.Line(l + 1, t, r + 1, b);
          dc.Line(l, b - 1, r, t - 1);
          dc.Line(l, t + 1, r, b + 1);
          dc.Line(l + 1, b, r + 1, t);
        }
      }
    }
  }
  if (!(style & 0x800)) {
    GridRect labelRect = inner;
    labelRect.left += std::max(n, 0) + 6;
    m_drawLabel = true;
    DrawCellText(dc, labelRect, 0, column, row, cell, selected, current);
    m_drawLabel = false;
  }
}

// ---------------------------------------------------------------- arrows

void CGridArrowType::OnDraw(CGridPainter& dc, const GridRect& rect, int column, int row, const CGridCell& cell,
                            int selected, bool current) {
  TakeVisualStyle(cell);
  GridColour text, back;
  CellColours(cell, selected != 0, current, m_control ? m_control->Sheet().highlightOption : 1, text, back);
  DrawBackground(dc, rect, back, row, column, &cell, current, selected);
  if (rect.Width() < 4) return;
  const int cx = rect.left + rect.Width() / 2, cy = rect.top + rect.Height() / 2;
  dc.SetPen(cell.IsSet(gridcell::kTextColour) ? cell.GetTextColour() : SysColour(kColWindowText));
  const auto one = [&](int x, int dir) {
    dc.Line(x - dir, cy - 3, x - dir, cy + 4);
    Poly(dc, {{x, cy - 2}, {x, cy + 2}, {x + 2 * dir, cy}, {x + dir, cy - 1}, {x + dir, cy + 1}});
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

// ---------------------------------------------------------------- drop list and picker

bool CGridDropListType::DrawButtonCell(CGridPainter& dc, const GridRect& rect, int column, int row,
                                       const CGridCell& cell, int selected, bool current, bool greyText) {
  TakeVisualStyle(cell);
  const bool picker = dynamic_cast<const CGridDateTimePickerType*>(this) != nullptr;
  if ((StyleOf(cell) & 0x200) && !current) return false;
  const int w = m_buttonWidth = std::max(dc.ButtonWidth(), 8);
  const bool pressed = m_pressed && current && m_droppedColumn == column && m_droppedRow == row;
  // The renderer has no cell background of its own: edges and background stay plain,
  // only the button is themed.
  GridRect textRect = DrawBorder(dc, rect, cell);
  const GridRect button{std::max(textRect.right - w, textRect.left), textRect.top, textRect.right, textRect.bottom};
  const bool themed =
      DrawsThemed() && gridstyles::ThemeDrawBackground(dc, pressed ? 4 : HighlightState(selected != 0, current),
                                                       gridstyles::kPartDropButton, button);
  if (!themed) {
    const GridRect inside = DrawBorder(dc, button, FrameCell(pressed));
    dc.FillRect(inside, kFace);
    dc.SetPen(kFace);
    dc.Line(button.left - 1, button.top, button.left - 1, button.bottom);
    const int x0 = button.left + (w - 5) / 2, y0 = button.top + (button.Height() - 3) / 2;
    const bool greyArrow = !picker && ReadOnlyOf(cell) == 1;
    dc.SetPen(greyArrow ? Rgb(128, 128, 128) : kBlack);
    dc.Line(x0, y0, x0 + 5, y0);
    dc.Line(x0 + 1, y0 + 1, x0 + 4, y0 + 1);
    dc.Line(x0 + 2, y0 + 2, x0 + 2, y0 + 3);
    if (greyArrow) {
      dc.SetPen(kWhite);
      dc.Line(x0 + 3, y0 + 2, x0 + 5, y0);
      dc.Line(x0 + 3, y0 + 3, x0 + 6, y0);
    }
  }
  textRect.right -= w + 1;
  if (greyText) {
    CGridCell grey = cell;
    grey.SetColour(0, SysColour(kColGrayText));
    grey.SetColour(2, SysColour(kColGrayText));
    DrawCellText(dc, textRect, 0, column, row, grey, selected, current);
  } else {
    DrawCellText(dc, textRect, 0, column, row, cell, selected, current);
  }
  return true;
}

void CGridDropListType::OnDraw(CGridPainter& dc, const GridRect& rect, int column, int row, const CGridCell& cell,
                               int selected, bool current) {
  if (!DrawButtonCell(dc, rect, column, row, cell, selected, current, false))
    CGridCellType::OnDraw(dc, rect, column, row, cell, selected, current);
}

void CGridDateTimePickerType::OnDraw(CGridPainter& dc, const GridRect& rect, int column, int row,
                                     const CGridCell& cell, int selected, bool current) {
  const bool marked = cell.IsSet(gridcell::kIndex) && cell.GetIndex() != 0;
  if (DrawButtonCell(dc, rect, column, row, cell, selected, current, marked && ReadOnlyOf(cell) != 0)) return;
  if (!marked) {
    CGridCellType::OnDraw(dc, rect, column, row, cell, selected, current);
    return;
  }
  CGridCell grey = cell;
  grey.SetColour(0, SysColour(kColGrayText));
  grey.SetColour(2, SysColour(kColGrayText));
  CGridCellType::OnDraw(dc, rect, column, row, grey, selected, current);
}

// ---------------------------------------------------------------- spin button

void CGridSpinButtonType::OnDraw(CGridPainter& dc, const GridRect& rect, int column, int row, const CGridCell& cell,
                                 int selected, bool current) {
  TakeVisualStyle(cell);
  if ((StyleOf(cell) & 0x200) && !current) {
    CGridCellType::OnDraw(dc, rect, column, row, cell, selected, current);
    return;
  }
  const int w = m_buttonWidth = std::max(dc.ButtonWidth(), 8);
  const GridRect inner = DrawBorder(dc, rect, cell);
  const GridRect button{std::max(inner.right - w, inner.left), inner.top, inner.right, inner.bottom};
  const int middle = button.top + button.Height() / 2;
  const GridRect halves[2] = {{button.left, button.top, button.right, middle},
                              {button.left, middle, button.right, button.bottom}};
  const bool here = current && m_halfColumn == column && m_halfRow == row;
  for (int i = 0; i < 2; ++i) {
    const bool pressed = here && m_half == i + 1;
    if (DrawsThemed() && gridstyles::ThemeDrawBackground(dc, pressed ? 16 : 1,
                                                         i == 0 ? gridstyles::kPartSpinUp : gridstyles::kPartSpinDown,
                                                         halves[i]))
      continue;
    const GridRect inside = DrawBorder(dc, halves[i], FrameCell(pressed));
    dc.FillRect(inside, kFace);
    dc.SetPen(kBlack);
    const int cx = halves[i].left + halves[i].Width() / 2, cy = halves[i].top + halves[i].Height() / 2;
    // Three strokes of 5, 3 and 1 pixels, the widest at the base.
    for (int k = 0; k < 3; ++k) {
      const int y = i == 0 ? cy + 1 - k : cy - 1 + k;
      dc.Line(cx - 2 + k, y, cx + 3 - k, y);
    }
  }
  dc.SetPen(kFace);
  dc.Line(button.left - 1, button.top, button.left - 1, button.bottom);
  GridRect textRect = inner;
  textRect.right -= w + 1;
  DrawCellText(dc, textRect, 0, column, row, cell, selected, current);
}
