#pragma once
// A dialog hosting a value grid that records its hooks, and the helpers the grid GUI
// tests share: points of cells on the screen, real clicks and key presses, renders.
#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <wx/bitmap.h>
#include <wx/dialog.h>
#include <wx/uiaction.h>

#include "grid/ui/TavGrid.h"

namespace hvtest {

class RecordingTavGrid : public TavGrid {
 public:
  std::vector<std::string> hooks;
  int widthChanging = 0, widthChanged = 0;
  // What the host puts into the calendar settings before the calendar shows; null keeps them.
  const CGridCalendarSettings* calendar = nullptr;
  void Add(const std::string& s) { hooks.push_back(s); }
  bool Has(const std::string& s) const;
  void OnCellLeftClick(int c, int r, int down, const GridRect&, GridPoint, int) override;
  void OnCellDoubleClick(int c, int r, const GridRect& rect, GridPoint p, int processed) override;
  void OnColumnWidthChanging(int column, int& width) override { ++widthChanging; }
  void OnColumnWidthChanged(int column, int& width) override { ++widthChanged; }
  int OnQueryColumnMove(int column, int position) override;
  void OnColumnMoved(int column, int position) override;
  void OnTabSelected(int tab) override { Add("tab " + std::to_string(tab)); }
  // Help ids: 42 for cell (2, 3), 7 for the top heading of column 1, none elsewhere.
  int OnHelpHitTest(int c, int r, int section) override;
  void OnSelectionBlockChanged(int l, int t, int r, int b, int count) override;
  int OnCellTypeNotify(int typeIndex, int c, int r, int message, CGridNotifyParam& param) override;
  int OnEditFinish(int c, int r, CGridEditor* editor, const wxString& text, bool cancelled) override;
};

class GridHost : public ::testing::Test {
 protected:
  enum { kPlaceholder = 1226 };
  void SetUp() override;
  void TearDown() override;

  // Centre (or a point at the given fractions) of a cell, in screen coordinates.
  wxPoint CellPoint(int column, int row, double fx = 0.5, double fy = 0.5) const;
  // Moves there and clicks, then lets the toolkit deliver everything.
  void ClickAt(const wxPoint& p);
  void DoubleClickAt(const wxPoint& p);
  // Moves the pointer away so that the next click is not taken as a double click.
  void Apart();
  void Key(int key, int modifiers = wxMOD_NONE);
  void Type(const char* text);
  // The cell area's paint routine into a bitmap of the area's size.
  wxBitmap RenderCells();
  // Headings, corner and cells as the window shows them.
  wxBitmap RenderGrid();
  static void SaveArtifact(const wxBitmap& bmp, const char* name);

  wxDialog* dlg = nullptr;
  RecordingTavGrid* grid = nullptr;
  wxUIActionSimulator sim;
};

}  // namespace hvtest
