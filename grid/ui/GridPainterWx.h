#pragma once
// The cell types' painter on a wx device context. Colours and metrics are read when
// drawn; fonts and images come from the grid, which keeps them made.
#include <wx/dc.h>

#include "grid/GridPainter.h"

class CGridCtrl;

class CGridWxPainter : public CGridPainter {
 public:
  CGridWxPainter(CGridCtrl& grid, wxDC& dc);
  wxDC& Dc() { return m_dc; }

  void SetPen(GridColour colour, int width = 1) override;
  void SetNoPen() override;
  void SetBrush(GridColour colour) override;
  void SetNoBrush() override;
  void PatternFill(const GridRect& rect, GridColour colour0, GridColour colour1) override;
  void Line(int x1, int y1, int x2, int y2) override;
  void Polyline(const GridPoint* points, int count) override;
  void Rectangle(const GridRect& rect) override;
  void Ellipse(const GridRect& rect) override;
  void FillRect(const GridRect& rect, GridColour colour) override;
  void SetFont(int font) override;
  void SetTextColour(GridColour colour) override;
  GridPoint TextExtent(const wxString& text) override;
  void Text(const wxString& text, int x, int y, const GridRect& clip) override;
  wxString Ellipsize(const wxString& text, int width) override;
  void Image(const std::shared_ptr<const GridImage>& image, int x, int y, int width, int height,
             int shownWidth) override;
  int ButtonWidth() override;
  bool NativePart(int part, int state, const GridRect& rect) override;
  void FocusRect(const GridRect& rect) override;

 private:
  const wxColour& Resolve(GridColour c);
  // A filled block in the pen's colour.
  void Pixels(int x, int y, int width, int height);
  // The pen and brush onto the device context, for outlines and shapes.
  void ApplyPen();
  CGridCtrl& m_grid;
  wxDC& m_dc;
  int m_font = -2;
  GridColour m_penColour = 0xFFFFFFFFu;
  int m_penWidth = -1;
  wxPen m_pen = *wxBLACK_PEN;
  wxBrush m_penBrush = *wxBLACK_BRUSH;
  wxBrush m_brush = *wxTRANSPARENT_BRUSH;
  bool m_usingPenBrush = false;  // the context holds the transparent pen of a fill
  GridColour m_textColour = 0xFFFFFFFFu;
  // The last colours resolved: cells repeat a handful of colours.
  GridColour m_cacheKey[4] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
  wxColour m_cacheValue[4];
  int m_cacheNext = 0;
  int m_buttonWidth = -1;
};
