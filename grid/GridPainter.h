#pragma once
// What a cell type draws with. The windows implement it on a device context; tests
// record the calls. Colours may name system colours: the painter resolves them when it
// draws. Lines exclude their end point; rectangles exclude right and bottom.
#include <memory>
#include <wx/string.h>

#include "grid/GridTypes.h"

class CGridPainter {
 public:
  virtual ~CGridPainter() = default;

  virtual void SetPen(GridColour colour, int width = 1) = 0;
  virtual void SetNoPen() = 0;
  virtual void SetBrush(GridColour colour) = 0;
  virtual void SetNoBrush() = 0;
  // A checkerboard of two colours, one pixel per square: colour1 where x + y is odd.
  virtual void PatternFill(const GridRect& rect, GridColour colour0, GridColour colour1) = 0;
  virtual void Line(int x1, int y1, int x2, int y2) = 0;
  virtual void Polyline(const GridPoint* points, int count) = 0;
  // Outline with the pen, inside with the brush.
  virtual void Rectangle(const GridRect& rect) = 0;
  virtual void Ellipse(const GridRect& rect) = 0;
  virtual void FillRect(const GridRect& rect, GridColour colour) = 0;

  // A registered font (-1: the grid's default font).
  virtual void SetFont(int font) = 0;
  virtual void SetTextColour(GridColour colour) = 0;
  virtual GridPoint TextExtent(const wxString& text) = 0;
  // One line at (x, y), nothing outside `clip`.
  virtual void Text(const wxString& text, int x, int y, const GridRect& clip) = 0;
  // One line cut with "..." to fit the width.
  virtual wxString Ellipsize(const wxString& text, int width) = 0;
  // The image scaled to width x height at (x, y), cut off after `shownWidth` pixels.
  virtual void Image(const std::shared_ptr<const GridImage>& image, int x, int y, int width, int height,
                     int shownWidth) = 0;

  // Width of a vertical scroll bar: the width of drop and spin buttons.
  virtual int ButtonWidth() = 0;

  // The toolkit's own look for a visual-style part in a highlight state; false when it
  // has none, the caller then draws the plain way.
  virtual bool NativePart(int part, int state, const GridRect& rect) { return false; }
  // The dotted focus frame of the current cell.
  virtual void FocusRect(const GridRect& rect) {}
};
