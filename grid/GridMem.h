#pragma once
// The in-memory cell store every sheet has: rows and columns at O(1), heading cells at
// negative indexes in front of row 0 and column 0.
#include <vector>

#include "grid/GridDataSource.h"

class CGridMem : public CGridDataSource {
 public:
  int GetLastRow() override;
  int InsertRow(int row) override;
  int InsertColumn(int column) override;
  int DeleteRow(int row) override;
  int DeleteColumn(int column) override;
  int DeleteCell(int column, int row) override;
  int RemoveAll() override;
  int GetCell(int column, int row, CGridCell& cell) override;
  int SetCell(int column, int row, const CGridCell& cell) override;
  int FindFirst(const wxString& text, int& column, int& row, int flags) override;
  int FindNext(const wxString& text, int& column, int& row, int flags) override;
  int SortBy(const int* columns, int count, int flags) override;
  int FindNonEmptyColumnLeft(int& column, int row) override;

  // Bytes the stored cells take (slots, text and property blocks), for the benchmark.
  size_t MemoryBytes() const;
  size_t StoredCells() const;

 private:
  struct Row {
    std::vector<CGridCell> pos, neg;
  };
  Row* RowAt(int row);
  CGridCell* Slot(int column, int row);
  int Columns() const;
  int Rows() const;

  std::vector<Row> m_pos, m_neg;
};
