#pragma once
// What the project list does, without a window: the rows of the listed object's
// children (held as ObjectRefs and resolved whenever a text is needed, so that a list
// of any length only asks for the rows on screen), the column set and stored layout
// per type, sorting through the objects' Compare, the update hints, the routing to the
// selected rows, the context-menu choice and the list's own commands.
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>
#include <unordered_set>
#include <vector>
#include <wx/string.h>

#include "framework/CmdTarget.h"
#include "framework/ImageListModel.h"
#include "framework/LocalTables.h"
#include "framework/MenuModel.h"
#include "app/TavProjectDoc.h"
#include "model/LiveObjects.h"

class CProjectObject;
class CSettingsFile;

// View styles: the value stored as "Pane1", "Type".
enum ListViewStyle : int {
  LIST_STYLE_ICON = 0,
  LIST_STYLE_DETAILS = 1,
  LIST_STYLE_SMALLICON = 2,
  LIST_STYLE_LIST = 3,
};

struct ListColumn {
  wxString title;
  int format = 0;   // 0 left, 1 right, 2 centred
  int width = 0;
  int tableRow = 0;
  // The width is the table's default, not one the user left: the view may widen it to
  // fit the title and the texts.
  bool defaultWidth = true;
};

class IListWidget {
 public:
  virtual ~IListWidget() = default;
  // The columns in display order.
  virtual void SetColumns(const std::vector<ListColumn>& columns) = 0;
  virtual int GetColumnWidth(int displayIndex) = 0;
  // A new row count: every row shows anew, nothing selected.
  virtual void SetRowCount(std::size_t count) = 0;
  // One row inserted at / deleted from the index; the selection of the others moves.
  virtual void InsertRow(std::size_t index) = 0;
  virtual void DeleteRow(std::size_t index) = 0;
  // Several rows at once (ascending indices of the rows as they are now); the selection
  // of the others moves with them.
  virtual void DeleteRows(const std::vector<std::size_t>& rows) {
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) DeleteRow(*it);
  }
  virtual void RefreshRow(std::size_t index) = 0;
  virtual void RefreshAll() = 0;
  // Selected rows in ascending order.
  virtual std::vector<std::size_t> GetSelectedRows() = 0;
  virtual bool HasSelection() = 0;
  virtual void SelectRow(std::size_t index, bool select) = 0;
  virtual void SelectAll() = 0;
  virtual void ClearSelection() = 0;
  // Focus and scroll the row into view.
  virtual void FocusRow(std::size_t index) = 0;
  // displayIndex -1: no indicator.
  virtual void ShowSortIndicator(int displayIndex, bool ascending) = 0;
  virtual void SetViewStyle(int style) = 0;
  // A number that changes whenever the selection may have changed; 0 when the widget
  // does not keep one (the selection is then asked for anew each time).
  virtual std::uint64_t SelectionVersion() { return 0; }
};

class CListPresenter : public CCmdTarget, public IProjectView {
 public:
  // `profile` holds "Pane1" (the per-user profile); it must outlive the presenter.
  CListPresenter(IListWidget& widget, CTavProjectDoc& doc, CSettingsFile& profile);
  ~CListPresenter() override;
  CListPresenter(const CListPresenter&) = delete;
  CListPresenter& operator=(const CListPresenter&) = delete;

  // Reads the stored view style and shows the base columns.
  void OnInitialUpdate();
  // Writes the view style and the listed type's layout.
  void OnDestroy();

  // --- IProjectView ---
  void OnUpdate(IProjectView* sender, int hint, CProjectObject* object) override;
  BOOL OnCmdMsg(UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) override;

  // --- rows (for the window's text and image requests) ---
  std::size_t GetRowCount() const { return m_rows.size(); }
  // nullptr when the row's object is gone.
  CProjectObject* RowObject(std::size_t row) const;
  wxString RowText(std::size_t row, int displayColumn);
  // The small-list image index of the row (the large list uses the same indices).
  int RowImage(std::size_t row);
  long FindRow(const CProjectObject* object);

  // --- columns ---
  const std::vector<int>& DisplayOrder() const { return m_display; }
  std::span<ColumnDef> Columns() const { return m_table; }
  int GetSortColumn() const { return m_sortColumn; }      // a table row
  int GetSortDirection() const { return m_sortDirection; }
  void OnColumnClick(int displayIndex);
  // A new display order (table rows, first shown first), e.g. from a column dialog.
  void SetDisplayOrder(const std::vector<int>& tableRows);
  // Stores the layout of the listed object's type (only the listed object's columns
  // are on screen, so any other object is left alone).
  void SaveLayout(CProjectObject* object);

  // --- listed object, style ---
  CProjectObject* GetListed() const { return m_listed.Get(); }
  int GetViewStyle() const { return m_style; }
  void SetViewStyle(int style);

  // --- actions of the window ---
  // `displayColumn` is the column under the pointer (-1: none).
  void OnDoubleClick(int displayColumn);
  struct MenuChoice {
    std::optional<CMenu> menu;
  };
  MenuChoice PrepareContextMenu();
  // The selected rows' objects in row order, kept until the selection changes.
  const std::vector<ObjectRef>& SelectedObjects();

  CImageList& SmallImages() { return m_small; }
  CImageList& LargeImages() { return m_large; }

  // Printing and preview belong to the window.
  std::function<void()> onPrint;
  std::function<void()> onPrintPreview;

  HV_DECLARE_COMMAND_MAP()

 protected:
  void OnViewStyle(UINT id);
  void OnUpdateViewStyle(CCmdUI* ui);
  void OnSelectAll();
  void OnInvertSelection();
  void OnPrint();
  void OnPrintPreview();
  void OnEditCopy();
  void OnUpdateEditCopy(CCmdUI* ui);
  void OnEditCut();
  void OnEditPaste();
  void OnUpdateEditPaste(CCmdUI* ui);

 private:
  void FillList(CProjectObject* object, bool force);
  void ChangeColumnSet(CProjectObject* object);
  void SetColumns(std::span<ColumnDef> table);
  void ResetToBase();
  void SortRows();
  // Orders the objects and makes them the rows.
  void SortRows(std::vector<CProjectObject*>& objects);
  bool IsTextsFolder(CProjectObject& object);
  void ObjectAdded(CProjectObject* object);
  void ObjectRemoved(CProjectObject* object);
  // Takes the rows of removed objects out, all in one pass, once the hints that removed
  // them are over.
  void CloseUpRows();
  void AddPendingRows();
  // Both once the outermost handler is over.
  void SettleLater();
  // The rows changed places: the index by serial is made again when next needed.
  void RowsMoved();
  int DisplayIndexOf(int tableRow) const;
  // The routed answers of the selected objects, asked once per selection: idle
  // refreshes with many rows selected then cost what they cost with one.
  struct RoutedAnswer {
    BOOL handled = FALSE;
    BOOL continueRouting = FALSE;
    bool enableSet = false;
    BOOL enabled = FALSE;
    bool checkSet = false;
    int check = 0;
    bool textSet = false;
    wxString text;
  };
  BOOL RouteToSelectionOnce(const std::vector<ObjectRef>& selection, UINT id, int code, CCmdUI* ui,
                            CmdHandlerInfo* probe);
  // Forgets the selection and the answers (the selection, the rows or the objects changed).
  void SelectionChanged();

  IListWidget& m_widget;
  CTavProjectDoc& m_doc;
  CSettingsFile& m_profile;
  std::vector<ObjectRef> m_rows;
  ObjectRef m_listed;
  std::span<ColumnDef> m_table;
  std::vector<int> m_display;
  bool m_storedLayout = false;   // the columns' widths come from a stored layout
  int m_sortColumn = 0;
  int m_sortDirection = 0;
  int m_style = LIST_STYLE_DETAILS;
  std::size_t m_lastRemovedRow = 0;
  std::size_t m_goneRows = 0;   // rows of removed objects not yet taken out
  bool m_settleDue = false;
  std::vector<ObjectRef> m_added;   // objects whose rows are still to come, in order
  std::unordered_set<ObjectSerial> m_addedSet;
  std::unordered_map<ObjectSerial, std::size_t> m_rowOf;   // valid while m_rowIndexValid
  bool m_rowIndexValid = false;
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);   // for the tasks it leaves
  CImageList m_small{16};
  CImageList m_large{32};
  // Images objects added for themselves, so that repainting does not add them again.
  std::unordered_map<ObjectSerial, int> m_ownImages;
  std::vector<ObjectRef> m_selection;
  bool m_selectionKnown = false;
  std::uint64_t m_selectionVersion = 0;   // the widget's, when m_selection was taken
  int m_canCopy = -1;                      // -1: not asked for this selection
  std::uint64_t m_commandsSeen = 0;        // commands run when the answers were kept
  std::unordered_map<std::uint64_t, RoutedAnswer> m_answers;   // by command id and kind
};
