#pragma once
// The right pane: the children of the object selected in the tree. In the details
// style the control is virtual and asks only for the rows on screen, so lists of any
// length open at once; the icon and list styles use a plain control. What the list
// does is CListPresenter's.
#include <memory>
#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/panel.h>

#include "app/ListPresenter.h"

class CMainFrame;
class CSettingsFile;
class wxPrintData;

class CProjectListView : public wxPanel, public IListWidget {
 public:
  CProjectListView(wxWindow* parent, CMainFrame& frame, CTavProjectDoc& doc, CSettingsFile& profile);
  ~CProjectListView() override;

  CListPresenter& Presenter() { return m_presenter; }
  wxListCtrl* Control() const;
  // The column headings' window (details view); null in the other views.
  wxWindow* HeaderWindow() const;
  void OnInitialUpdate();

  // Printing: the standard print dialog, and the preview window.
  void Print();
  void PrintPreview();
  wxPrintData& PrintData();
  wxImageList& SmallImageList() { return m_small; }

  // --- IListWidget ---
  void SetColumns(const std::vector<ListColumn>& columns) override;
  int GetColumnWidth(int displayIndex) override;
  void SetRowCount(std::size_t count) override;
  void InsertRow(std::size_t index) override;
  void DeleteRow(std::size_t index) override;
  void DeleteRows(const std::vector<std::size_t>& rows) override;
  void RefreshRow(std::size_t index) override;
  void RefreshAll() override;
  std::vector<std::size_t> GetSelectedRows() override;
  bool HasSelection() override;
  void SelectRow(std::size_t index, bool select) override;
  void SelectAll() override;
  void ClearSelection() override;
  void FocusRow(std::size_t index) override;
  void ShowSortIndicator(int displayIndex, bool ascending) override;
  void SetViewStyle(int style) override;
  std::uint64_t SelectionVersion() override { return m_selectionVersion; }

 private:
  // The inner window that shows the rows (mouse positions there are row positions).
  wxWindow* RowsWindow() const;
  // The headings drawn as CEHeaderCtrl draws them: the sort mark keeps off the title.
  void PaintHeader(wxWindow* header);
  void WidenColumnsToTexts();
  class Ctrl;
  void CreateCtrl(int style);
  void FillPlainRows();
  void SyncImages();
  void ApplyColumns();
  void OnColumnClick(wxListEvent& event);
  void OnColumnRightClick(wxListEvent& event);
  void OnActivated(wxListEvent& event);
  void OnContextMenu(wxContextMenuEvent& event);

  CMainFrame& m_frame;
  Ctrl* m_ctrl = nullptr;
  wxImageList m_small{16, 16, true};
  wxImageList m_large{32, 32, true};
  std::vector<ListColumn> m_columns;
  int m_sortDisplay = -1;
  bool m_sortAscending = true;
  int m_style = -1;
  std::uint64_t m_selectionVersion = 1;
  std::unique_ptr<wxPrintData> m_printData;
  CListPresenter m_presenter;
};
