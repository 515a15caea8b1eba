#pragma once
// Small value types of the window-free grid: rectangles, points, colours, fonts and the
// numeric codes the grid passes around (sections, move sources, mouse key flags).
#include <cstdint>
#include <vector>
#include <wx/defs.h>
#include <wx/string.h>

struct GridPoint {
  int x = 0;
  int y = 0;
  bool operator==(const GridPoint&) const = default;
};

// Right and bottom are exclusive, as in the toolkits the windows use.
struct GridRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(GridPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  bool operator==(const GridRect&) const = default;
};

// 0x00BBGGRR; with kSysColourFlag set the low byte names a system colour that the
// painter resolves at draw time.
using GridColour = std::uint32_t;
constexpr GridColour kSysColourFlag = 0x80000000u;
constexpr GridColour SysColour(int index) { return kSysColourFlag | static_cast<GridColour>(index); }
constexpr GridColour Rgb(int r, int g, int b) {
  return static_cast<GridColour>(r) | (static_cast<GridColour>(g) << 8) | (static_cast<GridColour>(b) << 16);
}
enum GridSysColour : int {
  kColWindow = 5,
  kColWindowText = 8,
  kColHighlight = 13,
  kColHighlightText = 14,
  kColBtnFace = 15,
  kColBtnShadow = 16,
  kColGrayText = 17,
  kColBtnHighlight = 20,
};

struct GridPen {
  GridColour colour = 0;
  int width = 1;
  bool operator==(const GridPen&) const = default;
};

// A font as the grid registers it; every field takes part in the identity test.
struct GridFontRecord {
  int height = 0, width = 0, escapement = 0, orientation = 0, weight = 400;
  int italic = 0, underline = 0, strikeOut = 0, charSet = 0, outPrecision = 0, clipPrecision = 0;
  int quality = 0, pitchAndFamily = 0;
  wxString face;
  bool operator==(const GridFontRecord&) const = default;
};

// An image a cell shows, immutable once shared; the windows map it to a bitmap.
struct GridImage {
  int width = 0;
  int height = 0;
  wxString name;
  std::vector<std::uint8_t> rgb;  // width x height pixels, three bytes each, row by row
};

enum GridSection : int {
  kSectionCells = 1,
  kSectionTopHeading = 2,
  kSectionSideHeading = 3,
  kSectionCorner = 4,
  kSectionHScroll = 5,
  kSectionVScroll = 6,
  kSectionTabs = 7,
};

enum GridMoveSource : int {
  kMoveKeyboard = 0,
  kMoveLeftButton = 1,
  kMoveRightButton = 2,
  kMoveDrag = 3,
  kMoveWheel = 4,
};

// Mouse key flags as the input carries them.
enum GridKeyFlags : int {
  kMkLeftButton = 1,
  kMkRightButton = 2,
  kMkShift = 4,
  kMkControl = 8,
};

// Results of the grid operations.
enum GridResult : int {
  kGridOk = 0,
  kGridInvalid = 1,
  kGridRefused = 2,
  kGridFailed = 3,
};
