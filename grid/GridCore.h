#pragma once
// Everything of the grid control that is not a window: cells and their layers, sheets,
// sizes and geometry, navigation with its update step, the multiple selection, find,
// replace and sort, copy and paste as text, the in-place edit cycle and every
// notification hook as a virtual member, called in a fixed order: cell type first, then
// the data source, then the host. Windows are reached only through CGridView.
#include <memory>
#include <vector>
#include <wx/string.h>

#include "grid/GridCell.h"
#include "grid/GridCellType.h"
#include "grid/GridDataSource.h"
#include "grid/GridSheetInfo.h"
#include "grid/GridPainter.h"
#include "grid/GridView.h"

class CGridCore {
 public:
  static constexpr int kMaxColumns = 32000;
  static constexpr int kMaxSheets = 1024;
  static constexpr int kMaxHeadingSize = 1024;
  // Built-in cell types, registered in this order.
  enum BuiltInType { kTypeNormal = 0, kTypeDropList = 1, kTypeCheckBox = 2, kTypeArrows = 3 };

  CGridCore();
  virtual ~CGridCore();
  CGridCore(const CGridCore&) = delete;
  CGridCore& operator=(const CGridCore&) = delete;

  void SetView(CGridView* view) { m_view = view; }
  // What attaching to a dialog does besides making windows: the dialog's font becomes
  // the default font and, 200 heavier, the heading font; then the setup hooks run and
  // painting is switched on. Returns 1.
  int Attach(const GridFontRecord* dialogFont);
  CGridView* View() const { return m_view; }
  // Switches painting of the current sheet on: what attaching to the window does.
  void EnablePainting();

  // ---- sheets
  CGridSheetInfo& Sheet() { return *m_sheet; }
  const CGridSheetInfo& Sheet() const { return *m_sheet; }
  int GetSheetCount() const { return static_cast<int>(m_sheets.size()); }
  int GetCurrentSheet() const { return m_currentSheet; }
  int SetSheetCount(int count);
  int SelectSheet(int number);

  // ---- cells
  int GetCell(int column, int row, CGridCell& cell);
  int GetMergedCell(int column, int row, CGridCell& cell);
  CGridCellType& CellTypeAt(int column, int row);
  CGridCellType& CellTypeOf(const CGridCell& cell);
  int SetCell(int column, int row, const CGridCell& cell);
  int DeleteCell(int column, int row);
  wxString GetCellText(int column, int row);
  int SetCellText(int column, int row, const wxString& text);
  int SetCellNumber(int column, int row, double number);
  int SetCellFloat(int column, int row, double number);
  int SetHeadingCellOption(int column);
  int SetCellRange(int firstRow, int lastColumn, int lastRow, const CGridCell& cell);
  void RedrawCell(int column, int row);
  void RedrawAll();
  // Writes tab- and line-separated text from the current cell on.
  int PasteCellText(const wxString& text);
  // The selected cells (or the current cell) as tab- and CRLF-separated text.
  wxString CopyCellText();
  CGridDataSource& SourceOf(int column);
  // Puts another store in place of the current sheet's memory store.
  void SetDefaultSource(CGridDataSource* source) {
    m_sheet->replacedSource = source;
    if (source) source->SetControl(this);
  }
  int TranslatedColumn(int column) const;
  // Moves translated columns of `source` at or beyond `from` by `delta` (the store's
  // column insertions and deletions).
  void ShiftTranslatedColumns(const CGridDataSource* source, int from, int delta);

  // ---- dimensions and sizes
  int GetColumnCount() const { return m_sheet->columns; }
  int GetRowCount() const { return m_sheet->rows; }
  int SetColumnCount(int count);
  int SetRowCount(int count);
  int SetColumnWidth(int column, int width);
  int GetColumnWidth(int column) const;
  int SetRowHeight(int row, int height);
  int GetRowHeight(int row) const;
  int SetDefaultRowHeight(int height);
  int SetTopHeadingRowCount(int count);
  int SetSideHeadingColumnCount(int count);
  int GetTopHeadingRowCount() const { return static_cast<int>(m_sheet->topHeadingRowHeights.size()); }
  int GetSideHeadingColumnCount() const { return static_cast<int>(m_sheet->sideHeadingColumnWidths.size()); }
  int SetTopHeadingHeight(int height);
  int SetSideHeadingWidth(int width);
  int SetTopHeadingRowHeight(int row, int height);
  int SetSideHeadingColumnWidth(int column, int width);
  int SetLockedColumnCount(int count);
  int SetLockedRowCount(int count);
  int MoveColumn(int from, int to);
  void SetRedraw(bool on) { m_redraw = on; }
  // Sizing a column (row) with the mouse: each step offers the size to the cell types of
  // the visible cells, then to the host, and stores it; with heading sizing mode 1 only
  // the heading repaints (the windows move the tracking line), else everything. The end
  // offers the final size as "changed" the same way and stores it.
  void ColumnSizingStep(int column, int width);
  void ColumnSizingEnd(int column, int width);
  void RowSizingStep(int row, int height);
  void RowSizingEnd(int row, int height);

  // ---- registries
  int AddCellType(CGridCellType& type);
  int SetCellTypeOption(int typeIndex, int value);
  int AddFont(const GridFontRecord& font);
  const GridFontRecord* GetFont(int index) const;

  // ---- geometry (cell area coordinates)
  void LayoutComponents(int width, int height);
  int HitTestCell(int x, int y, int& column, int& row, GridRect& rect);
  int CellRectangle(int column, int row, GridRect& rect);
  int BlockRectangle(int startColumn, int startRow, int endColumn, int endRow, GridRect& rect);
  int JoinOrigin(int& column, int& row);
  int JoinBounds(int column, int row, int& startColumn, int& startRow, int& endColumn, int& endRow);
  // The last row (column) that is at least partly visible, and the largest top row
  // (left column) that still fills the view; both walk visible sizes only.
  int LastVisibleRow() const;
  int LastVisibleColumn() const;
  int LargestTopRow() const;
  int LargestLeftColumn() const;
  // The vertical scroll bar: up to 1000 scrollable rows one position per row, beyond
  // that 1001 positions spread over the rows.
  void VerticalScrollRange(int& minimum, int& maximum, int& page) const;
  int RowFromScrollPosition(int position) const;

  // ---- navigation
  int MoveToCell(int column, int row);
  int MoveToRow(int row);
  int MoveToColumn(int column);
  int ScrollTopRowTo(int row);
  int ScrollLeftColumnTo(int column);
  int StepRow(int how);
  int StepTopRow(int how);
  int StepColumn(int how);
  // Modifier keys held with the input being handled (kMkShift, kMkControl).
  void SetModifiers(int flags) { m_modifiers = flags; }
  int GetModifiers() const { return m_modifiers; }

  // ---- input from the cell area (key codes are WXK_ values)
  void CellAreaKeyDown(int key, int modifiers);
  void CellAreaKeyUp(int key, int modifiers);
  void CellAreaChar(int ch, int modifiers);
  void CellAreaLeftDown(GridPoint point, int flags);
  void CellAreaLeftUp(GridPoint point, int flags);
  void CellAreaDoubleClick(GridPoint point, int flags);
  void CellAreaRightDown(GridPoint point, int flags);
  void CellAreaRightUp(GridPoint point, int flags);
  void CellAreaMouseMove(GridPoint point, int flags);
  // Help for a point of the grid: the host's context id for it, and unless that is 0 the
  // application's help for the id. Returns the id.
  int ShowHelpAt(int column, int row, int section);
  // The cell area got the focus: key repeats count from the start again, then the host
  // hears of it.
  void CellAreaFocused();
  // The acceleration delay of a slow key repeat has passed: the held key moves now.
  void KeyDelayElapsed();
  // A held key moves before anything else the user does is handled (focus changes too).
  void FlushHeldKey();
  bool IsKeyHeld() const { return m_heldKey != 0; }

  // ---- editing
  int StartEdit(int column, int row, int firstKey = 0);
  // The editors report here when editing ends; 0 keeps the editor open.
  int FinishEdit(bool cancelled, const wxString& text, bool moveOn, int nextColumn, int nextRow);
  // Each typed character: the data source, then the host; false drops it.
  bool VerifyEditChar(int& ch);
  // A character typed into the open editor, with the selection [from, to) replaced:
  // verified, and in the masked editor checked against the cell's mask. False when it
  // is dropped (text unchanged).
  bool EditorTypeChar(wxString& text, int& caret, int from, int to, int ch);
  // Where the plain editor stands once its text needs `textSize`: grown to the edges of
  // the columns (rows) the text reaches into, inside the area, never smaller than at the
  // start; unchanged for cells whose text may not run on into their neighbours.
  GridRect EditorGrowth(const GridRect& current, GridPoint textSize);
  // Pasted text goes through the same checks, character by character.
  wxString EditorPaste(const wxString& text, int caret, const wxString& pasted);
  // A key in the open editor: 0 the editor handles it, 1 swallowed, 2 it ended the edit
  // (which may have been refused, leaving the editor open).
  int EditorKeyDown(int key, int modifiers, const wxString& text, int caret, int selFrom, int selTo);
  bool IsEditing() const { return m_editActive; }
  int EditColumn() const { return m_editColumn; }
  int EditRow() const { return m_editRow; }
  CGridEditor* ActiveEditor() const { return m_editor; }
  const CGridCell& EditCell() const { return m_editCell; }
  CGridEditor& PlainEditor() { return m_plainEditor; }
  CGridEditor& MaskedEditor() { return m_maskedEditor; }

  // ---- popup menu (hosts fill the items)
  struct PopupItem {
    int id = 0;
    wxString text;
  };
  std::vector<PopupItem>& PopupMenuItems() { return m_popupItems; }
  int StartPopupMenu(int column, int row, GridPoint point, int section);

  // ---- find, replace, sort
  // One find step from the current cell; moves there on a hit. 0 found, 1 not found.
  int FindText(const wxString& text, int flags);
  // Replaces the match in the current cell (when it matches) and finds the next one.
  int ReplaceText(const wxString& text, const wxString& replacement, int flags);
  // Every matching cell once; returns the number of cells changed.
  int ReplaceAll(const wxString& text, const wxString& replacement, int flags);
  int SortByColumn(int column, int flags);
  bool& SearchAllColumns() { return m_searchAllColumns; }
  // The find dialog's requests; dialog flags as the toolkit's find dialog gives them.
  enum FindDialogFlags { kFindDown = 1, kFindWholeWord = 2, kFindMatchCase = 4 };
  enum FindAction { kFindNext, kFindReplace, kFindReplaceAll };
  // Runs one request; tells the user when nothing matched.
  int OnFindDialog(FindAction action, const wxString& text, const wxString& replacement, int dialogFlags);
  // Moves the open find dialog off the current cell (the host may place it itself).
  void PlaceFindDialog();

  // ================= notification hooks, in slot order =================
  virtual void OnSetFocus(int section) {}
  virtual int StretchColumnsToWidth(int firstColumn, int lastColumn);
  virtual int AutoSizeColumns(int firstColumn, int lastColumn, int rowLimit, int flags);
  virtual void OnSetup() {}
  virtual void OnSheetSetup(int sheet) {}
  virtual int OnQueryCellMove(int oldColumn, int oldRow, int newColumn, int newRow) { return 1; }
  virtual int OnQueryViewMove(int oldColumn, int oldRow, int newColumn, int newRow) { return 1; }
  virtual void OnPastLastRow(int rows, int pastEnd, int& rowsFound) {}
  virtual int OnQueryColumnSize(int column) { return 1; }
  virtual void OnColumnWidthChanging(int column, int& width) {}
  virtual void OnColumnWidthChanged(int column, int& width) {}
  virtual int OnQueryRowSize(int row) { return 1; }
  virtual void OnRowHeightChanging(int row, int& height) {}
  virtual void OnRowHeightChanged(int row, int& height) {}
  virtual int OnQueryTopHeadingSize() { return 1; }
  virtual int OnQuerySideHeadingSize() { return 1; }
  virtual int OnTopHeadingHeightChanging(int& height) { return 1; }
  virtual int OnSideHeadingWidthChanging(int& width) { return 1; }
  virtual int OnTopHeadingHeightChanged(int& height) { return 1; }
  virtual int OnSideHeadingWidthChanged(int& width) { return 1; }
  virtual void OnCurrentColumnChanged(int oldColumn, int newColumn) {}
  virtual void OnCurrentRowChanged(int oldRow, int newRow) {}
  virtual void OnCurrentCellChanged(int oldColumn, int newColumn, int oldRow, int newRow) {}
  virtual void OnLeftColumnScrolled(int oldColumn, int newColumn) {}
  virtual void OnTopRowScrolled(int oldRow, int newRow) {}
  virtual void OnScrollBarUpdated(int direction, int oldPos, int newPos) {}
  virtual void OnSelectionBlockChanged(int left, int top, int right, int bottom, int blockCount) {}
  virtual void OnCellLeftClick(int column, int row, int down, const GridRect& rect, GridPoint point, int processed) {}
  virtual void OnCellRightClick(int column, int row, int down, const GridRect& rect, GridPoint point, int processed) {}
  virtual void OnCellDoubleClick(int column, int row, const GridRect& rect, GridPoint point, int processed) {}
  virtual void OnCellMouseMove(int column, int row, GridPoint point, int flags, int processed) {}
  virtual void OnTopHeadingLeftClick(int column, int row, int down, const GridRect& rect, GridPoint point, int processed) {}
  virtual void OnTopHeadingRightClick(int column, int row, int down, const GridRect& rect, GridPoint point, int processed) {}
  virtual void OnTopHeadingDoubleClick(int column, int row, const GridRect& rect, GridPoint point, int processed) {}
  virtual void OnSideHeadingLeftClick(int column, int row, int down, const GridRect& rect, GridPoint point, int processed) {}
  virtual void OnSideHeadingRightClick(int column, int row, int down, const GridRect& rect, GridPoint point, int processed) {}
  virtual void OnSideHeadingDoubleClick(int column, int row, const GridRect& rect, GridPoint point, int processed) {}
  virtual void OnCornerButtonClick(int down, const GridRect& rect, GridPoint point, int processed) {}
  virtual void OnCornerButtonRightClick(int down, const GridRect& rect, GridPoint point, int processed) {}
  virtual void OnCornerButtonDoubleClick(const GridRect& rect, GridPoint point, int processed) {}
  virtual void OnKeyDown(int& key, int processed) {}
  virtual void OnKeyUp(int& key, int processed) {}
  virtual void OnCharDown(int& ch, int processed) {}
  virtual void OnGetCell(int column, int row, CGridCell& cell) {}
  virtual void OnSetCell(int column, int row, CGridCell& cell) {}
  virtual int OnCellTypeNotify(int typeIndex, int column, int row, int message, CGridNotifyParam& param) { return 1; }
  virtual int OnEditStart(int column, int row, CGridEditor*& editor) { return 1; }
  virtual int OnEditVerify(int column, int row, CGridEditor* editor, int& key) { return 1; }
  virtual int OnEditFinish(int column, int row, CGridEditor* editor, const wxString& text, bool cancelled) {
    return 1;
  }
  virtual int OnQueryContinueEdit(int column, int row, int& nextColumn, int& nextRow) { return 1; }
  virtual void OnPopupMenuCommand(int column, int row, int section, int command) {}
  virtual int OnQueryPopupMenu(int column, int row, int section) { return 1; }
  virtual int OnHelpHitTest(int column, int row, int section) { return 0; }
  virtual int GetHintText(int column, int row, int section, wxString& text);
  virtual int GetRowScrollHint(int row, wxString& text) { return 1; }
  virtual int GetColumnScrollHint(int column, wxString& text) { return 1; }
  // Dropped text: 0 none, 1 copy, 2 move.
  virtual int OnDataDragEnter(const wxString& text) { return 0; }
  virtual int OnDataDragOver(const wxString& text, int column, int row) { return 0; }
  virtual int OnDataDrop(const wxString& text, int column, int row) { return 0; }
  virtual int CompareCells(const CGridCell* first, const CGridCell* second, int flags) {
    return GridCompareCells(first, second, flags);
  }
  virtual void OnLayoutComponents(GridRect (&rects)[7]) {}
  virtual void OnTabSelected(int tab) {}
  // Before a section paints; `buffer` is the off-screen painter, null without buffering.
  virtual void OnPaintSetup(CGridPainter& screen, CGridPainter* buffer, int section) {}
  virtual GridColour GetSectionBackColor(int section) {
    return section == kSectionCells ? SysColour(kColWindow) : SysColour(kColBtnFace);
  }
  virtual void DrawCurrentFocus(CGridPainter& dc, const GridRect& rect);
  virtual void OnKillFocus(int section) {}
  virtual int OnQueryColumnGrab(int column) { return 1; }
  virtual int OnQueryColumnMove(int column, int position) { return 1; }
  virtual void OnColumnMoved(int column, int position) {}
  virtual void OnPlaceFindDialog(const GridRect& cellRect, GridRect& dialogRect) {}

  // Used by the selection to repaint ranges.
  void InvalidateCells(int left, int top, int right, int bottom);

 private:
  friend class CGridMultiSelect;
  void InitSheet(CGridSheetInfo& sheet);
  void UpdateAfterMove();
  // Moves the open find dialog off the current cell (the host may place it itself).

  // The step of the next key-down; `hold` tells whether the acceleration delay applies.
  int NextKeyStep(bool& hold);
  void RunKeyDown(int key, int modifiers, int step);
  bool ButtonDown(GridPoint point, int flags, bool left);
  void ButtonUp(GridPoint point, bool left);
  bool RowVisible(int row) const;
  bool ColumnVisible(int column) const;
  int TopRowShowing(int row) const;
  int LeftColumnShowing(int column) const;
  int PageRows(int fromRow, bool down) const;
  int PageColumns(int fromColumn, bool right) const;
  int DisplayColumnOf(int storeColumn, const CGridDataSource* source) const;
  bool ReplaceInCell(int column, int row, const wxString& text, const wxString& replacement, int flags);
  void RescaleHeading(std::vector<int>& sizes, int total);
  void ClampPositions();
  // The rows (columns) shown: the locked ones, then from the top row (left column) on.
  std::vector<int> VisibleRows() const;
  std::vector<int> VisibleColumns() const;
  void Relayout();

  CGridView* m_view = nullptr;
  std::vector<std::unique_ptr<CGridSheetInfo>> m_sheets;
  CGridSheetInfo* m_sheet = nullptr;
  int m_currentSheet = 0;
  bool m_redraw = true;
  int m_layoutWidth = 0, m_layoutHeight = 0;  // the last size laid out
  int m_modifiers = 0;

  std::vector<CGridCellType*> m_types;
  CGridCellType m_normalType;
  std::unique_ptr<CGridCellType> m_dropListType, m_checkBoxType, m_arrowType;
  std::vector<GridFontRecord> m_fonts;

  CGridCell m_scratch;
  CGridEditor m_plainEditor{CGridEditor::kPlain};
  CGridEditor m_maskedEditor{CGridEditor::kMasked};
  bool m_editActive = false;
  bool m_finishing = false;
  int m_editColumn = -1, m_editRow = -1;
  CGridEditor* m_editor = nullptr;
  CGridCell m_editCell;
  GridRect m_editStartRect;
  bool m_editGrows = false;

  // Cell area input state.
  int m_buttonState = 0;
  bool m_typeHandledClick = false;
  int m_keyRepeat = 0;
  // A key-down waiting out the acceleration delay, and whether a repeat of it came in
  // meanwhile (the one repeat a busy window would have read next).
  int m_heldKey = 0, m_heldModifiers = 0, m_heldStep = 1;
  bool m_heldRepeat = false;

  std::vector<PopupItem> m_popupItems;
  int m_popupColumn = -1, m_popupRow = -1, m_popupSection = 0;
  bool m_searchAllColumns = false;
};
