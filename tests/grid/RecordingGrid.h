#pragma once
// A grid host, data source and view that write every hook they see into one transcript.
#include <string>
#include <vector>
#include <wx/string.h>

#include "grid/GridCore.h"

struct Transcript {
  std::vector<std::string> lines;
  void Add(const std::string& s) { lines.push_back(s); }
};

class RecordingSource : public CGridMem {
 public:
  explicit RecordingSource(Transcript& t) : m_t(t) {}
  int queryMove = 1, editStart = 1, editFinish = 1, continueEdit = 1;
  int OnQueryCellMove(int, int, int, int) override { m_t.Add("ds.QueryCellMove"); return queryMove; }
  void OnCurrentColumnChanged(int, int) override { m_t.Add("ds.ColumnChanged"); }
  void OnCurrentRowChanged(int, int) override { m_t.Add("ds.RowChanged"); }
  int OnPastLastRow(int, int, int&) override { m_t.Add("ds.PastLastRow"); return -1; }
  int OnEditStart(int, int, CGridEditor*&) override { m_t.Add("ds.EditStart"); return editStart; }
  int OnEditVerify(int, int, CGridEditor*, int&) override { m_t.Add("ds.EditVerify"); return 1; }
  int OnEditFinish(int, int, CGridEditor*, const wxString&, bool c) override {
    m_t.Add(c ? "ds.EditFinish(cancel)" : "ds.EditFinish");
    return editFinish;
  }
  int OnQueryContinueEdit(int, int, int&, int&) override { m_t.Add("ds.QueryContinueEdit"); return continueEdit; }

 private:
  Transcript& m_t;
};

class RecordingView : public CGridView {
 public:
  explicit RecordingView(Transcript& t) : m_t(t) {}
  bool recordPaint = false;
  void InvalidateCells(int l, int t, int r, int b) override {
    if (recordPaint) m_t.Add("view.Invalidate");
  }
  void ShowEditor(CGridEditor* e, const GridRect&, const wxString& text, int) override {
    m_t.Add("view.ShowEditor");
    shownText = text;
  }
  void HideEditor(CGridEditor*) override { m_t.Add("view.HideEditor"); }
  void InjectFirstChar(CGridEditor*, int ch) override { m_t.Add("view.FirstChar"); }
  bool RunPopupMenu(GridPoint, int& command) override {
    m_t.Add("view.Popup");
    command = popupAnswer;
    return true;
  }
  void OpenDropList(const GridRect& r, const std::vector<wxString>& c, int) override {
    m_t.Add("view.OpenDropList");
    listRect = r;
    choices = c;
  }
  bool FindDialogRect(GridRect& r) override {
    if (findOpen) r = findRect;
    return findOpen;
  }
  void MoveFindDialog(const GridRect& r) override {
    m_t.Add("view.MoveFindDialog " + std::to_string(r.top));
    findRect = r;
  }
  bool StartKeyDelay(int ms) override {
    m_t.Add("view.KeyDelay " + std::to_string(ms));
    return canWait;
  }
  void StopKeyDelay() override { m_t.Add("view.StopKeyDelay"); }
  bool canWait = true;
  bool findOpen = false;
  GridRect findRect;
  wxString shownText;
  int popupAnswer = 0;
  GridRect listRect;
  std::vector<wxString> choices;

 private:
  Transcript& m_t;
};

class RecordingGrid : public CGridCore {
 public:
  RecordingGrid(int columns = 5, int rows = 10) : source(t), view(t) {
    SetView(&view);
    EnablePainting();
    SetColumnCount(columns);
    SetRowCount(rows);
    SetDefaultSource(&source);
    LayoutComponents(40 + 5 * 75 + 16, 20 + 10 * 20 + 16);
    t.lines.clear();
  }
  Transcript t;
  RecordingSource source;
  RecordingView view;
  int queryMove = 1, queryView = 1, editStart = 1, editFinish = 1, continueEdit = 1, queryPopup = 1, cellNotify = 1;
  int addRowsPastEnd = 0;

  int OnQueryCellMove(int, int, int, int) override { t.Add("QueryCellMove"); return queryMove; }
  int OnQueryViewMove(int, int, int, int) override { t.Add("QueryViewMove"); return queryView; }
  void OnPastLastRow(int rows, int, int&) override {
    t.Add("PastLastRow");
    if (addRowsPastEnd) SetRowCount(rows + addRowsPastEnd);
  }
  void OnCurrentColumnChanged(int, int) override { t.Add("ColumnChanged"); }
  void OnCurrentRowChanged(int o, int n) override { t.Add("RowChanged"); }
  void OnCurrentCellChanged(int, int, int, int) override { t.Add("CellChanged"); }
  void OnLeftColumnScrolled(int, int) override { t.Add("LeftScrolled"); }
  void OnTopRowScrolled(int, int) override { t.Add("TopScrolled"); }
  void OnSelectionBlockChanged(int l, int tp, int r, int b, int n) override {
    t.Add("Selection " + std::to_string(l) + "," + std::to_string(tp) + "-" + std::to_string(r) + "," +
          std::to_string(b) + " #" + std::to_string(n));
  }
  void OnCellLeftClick(int c, int r, int down, const GridRect&, GridPoint, int processed) override {
    t.Add(std::string("CellLeftClick ") + (down ? "down" : "up") + " p" + std::to_string(processed));
  }
  void OnCellRightClick(int c, int r, int down, const GridRect&, GridPoint, int processed) override {
    t.Add(std::string("CellRightClick ") + (down ? "down" : "up"));
  }
  void OnKeyDown(int& key, int processed) override { t.Add("KeyDown p" + std::to_string(processed)); }
  void OnCharDown(int& ch, int processed) override { t.Add("CharDown p" + std::to_string(processed)); }
  void OnGetCell(int, int, CGridCell&) override {
    if (recordCells) t.Add("GetCell");
  }
  void OnSetCell(int, int, CGridCell&) override {
    if (recordCells) t.Add("SetCell");
  }
  int OnCellTypeNotify(int, int, int, int message, CGridNotifyParam& p) override {
    t.Add("Notify " + std::to_string(message));
    return cellNotify;
  }
  int OnEditStart(int, int, CGridEditor*&) override { t.Add("EditStart"); return editStart; }
  int OnEditVerify(int, int, CGridEditor*, int&) override { t.Add("EditVerify"); return 1; }
  int OnEditFinish(int, int, CGridEditor*, const wxString&, bool c) override {
    t.Add(c ? "EditFinish(cancel)" : "EditFinish");
    return editFinish;
  }
  int OnQueryContinueEdit(int, int, int&, int&) override { t.Add("QueryContinueEdit"); return continueEdit; }
  int OnQueryPopupMenu(int, int, int) override { t.Add("QueryPopupMenu"); return queryPopup; }
  void OnPopupMenuCommand(int, int, int, int id) override { t.Add("PopupCommand " + std::to_string(id)); }
  void OnPlaceFindDialog(const GridRect& cell, GridRect& dialog) override {
    t.Add("PlaceFindDialog " + std::to_string(dialog.top));
    dialog.top += placeShift;
    dialog.bottom += placeShift;
  }
  int placeShift = 0;
  bool recordCells = false;
};

// The cell area point in the middle of a cell.
inline GridPoint CentreOf(CGridCore& g, int column, int row) {
  GridRect r;
  g.CellRectangle(column, row, r);
  return GridPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
