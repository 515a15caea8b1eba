#pragma once
// The cell store interface of the grid and the hooks a store gets before the host.
// Results: 0 success, 1 failure (no such row or cell), -1 not supported.
#include <wx/string.h>

#include "grid/GridCell.h"

class CGridCore;
class CGridEditor;

namespace gridfind {
enum Flags : int { kSubstring = 1, kNoCase = 2, kBackwards = 4, kAllColumns = 8 };
}

class CGridDataSource {
 public:
  virtual ~CGridDataSource() = default;

  void SetControl(CGridCore* control) { m_control = control; }
  CGridCore* GetControl() const { return m_control; }

  virtual int GetLastRow() { return -1; }
  virtual int InsertRow(int row) { return -1; }
  virtual int InsertColumn(int column) { return -1; }
  virtual int DeleteRow(int row) { return -1; }
  virtual int DeleteColumn(int column) { return -1; }
  virtual int DeleteCell(int column, int row) { return -1; }
  virtual int RemoveAll() { return -1; }
  virtual int GetCell(int column, int row, CGridCell& cell) { return -1; }
  virtual int SetCell(int column, int row, const CGridCell& cell) { return -1; }
  virtual int FindFirst(const wxString& text, int& column, int& row, int flags) { return -1; }
  virtual int FindNext(const wxString& text, int& column, int& row, int flags) { return -1; }
  virtual int SortBy(const int* columns, int count, int flags) { return -1; }
  virtual int SortByColumn(int column, int flags) { return SortBy(&column, 1, flags); }
  virtual int OnPastLastRow(int rows, int pastEnd, int& rowsFound) { return -1; }
  virtual void OnCurrentRowChanged(int oldRow, int newRow) {}
  virtual void OnCurrentColumnChanged(int oldColumn, int newColumn) {}
  virtual int OnQueryCellMove(int oldColumn, int oldRow, int newColumn, int newRow) { return 1; }
  virtual int OnEditStart(int column, int row, CGridEditor*& editor) { return 1; }
  virtual int OnEditVerify(int column, int row, CGridEditor* editor, int& key) { return 1; }
  virtual int OnEditFinish(int column, int row, CGridEditor* editor, const wxString& text, bool cancelled) {
    return 1;
  }
  virtual int OnQueryContinueEdit(int column, int row, int& nextColumn, int& nextRow) { return 1; }
  virtual int FindNonEmptyColumnLeft(int& column, int row) { return -1; }

 protected:
  CGridCore* m_control = nullptr;
};

// Upper case that does not depend on the C locale (Latin-1 letters included).
wxString GridUpper(const wxString& text);

// The grid's default ordering: numbers for data types 2, 3 and 5, else a cell without a
// value after the other, then the texts by code point. Flag 2 swaps the cells.
int GridCompareCells(const CGridCell* first, const CGridCell* second, int flags);
