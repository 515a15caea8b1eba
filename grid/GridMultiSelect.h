#pragma once
// The multiple selection of a sheet: rectangular blocks in creation order, each
// selecting or deselecting; the last block containing a cell decides its state (the
// first with mode bit 16), so a later deselecting block punches a hole.
#include <cstddef>
#include <vector>

class CGridCore;

class CGridMultiSelect {
 public:
  static constexpr int kRowMode = 2;
  static constexpr int kFirstBlockDecides = 16;

  void SetControl(CGridCore* control) { m_control = control; }

  void RemoveAllBlocks();
  void BeginBlock(int column, int row);
  int MoveBlockEnd(int column, int row);
  void HandleLeftClick(int column, int row, int flags);
  void HandleRightClick(int column, int row, int flags);
  // `flags` carries the held Shift and Ctrl keys (kMkShift, kMkControl).
  void HandleKeyMove(int column, int row, int flags);
  void HandleMouseDrag(int column, int row, int flags);
  void ToggleCellSelection(int column, int row);
  int GetBlockAnchor(int& column, int& row) const;
  int GetActiveBlockRect(int& left, int& top, int& right, int& bottom) const;
  int GetUnionRect(int& left, int& top, int& right, int& bottom) const;
  int GetBlockCount() const { return static_cast<int>(m_blocks.size()); }
  int IsCellSelected(int column, int row, int* blockIndex = nullptr) const;
  int ColumnHasSelection(int column) const;
  int RowHasSelection(int row) const;
  void SetSelectionMode(int mode);
  int GetSelectionMode() const { return m_mode; }
  int FirstSelectedCell(int& column, int& row);
  int NextSelectedCell(int& column, int& row);
  int FirstBlock(int& left, int& top, int& right, int& bottom);
  int NextBlock(int& left, int& top, int& right, int& bottom);
  bool HasSelection() const { return !m_blocks.empty(); }

 private:
  struct Block {
    int startColumn, startRow, endColumn, endRow;
    int left, top, right, bottom;
    bool selected;
  };
  void Normalise(Block& b) const;
  void Report(const Block& b);
  void RedrawUnion();
  int LastColumn() const;

  CGridCore* m_control = nullptr;
  std::vector<Block> m_blocks;
  int m_current = -1;
  bool m_justStarted = false;
  int m_mode = 0;
  int m_lastColumn = -1, m_lastRow = -1;
  // Enumeration state.
  int m_enumLeft = 0, m_enumTop = 0, m_enumRight = -1, m_enumBottom = -1;
  int m_nextColumn = 0, m_nextRow = 0;
  bool m_enumerating = false;
  bool m_enumCurrentOnly = false;
  std::size_t m_nextBlock = 0;
};
