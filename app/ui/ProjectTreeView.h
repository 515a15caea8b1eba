#pragma once
// The left pane: the project tree. The control is the toolkit's tree; what it does on
// each event and hint is CTreePresenter's.
#include <memory>
#include <wx/imaglist.h>
#include <wx/treectrl.h>

#include "app/TreePresenter.h"

class CMainFrame;

class CProjectTreeView : public wxTreeCtrl, public ITreeWidget {
 public:
  CProjectTreeView(wxWindow* parent, CMainFrame& frame, CTavProjectDoc& doc);
  ~CProjectTreeView() override;

  CTreePresenter& Presenter() { return m_presenter; }
  // Builds the top level and opens the start path.
  void OnInitialUpdate(const wxString& startPath);
  // The toolkit item of an object; invalid when it has none.
  wxTreeItemId ItemOf(const CProjectObject* object);

  // --- ITreeWidget ---
  TreeItem InsertItem(TreeItem parent, std::size_t index, const wxString& text, int image,
                      ObjectSerial serial) override;
  void DeleteItem(TreeItem item) override;
  void DeleteChildren(TreeItem item) override;
  void DeleteAllItems() override;
  TreeItem GetParentItem(TreeItem item) override;
  TreeItem GetFirstChild(TreeItem parent) override;
  TreeItem GetLastChild(TreeItem parent) override;
  TreeItem GetNextSibling(TreeItem item) override;
  TreeItem GetPrevSibling(TreeItem item) override;
  wxString GetItemText(TreeItem item) override;
  void SetItemText(TreeItem item, const wxString& text) override;
  ObjectSerial GetItemSerial(TreeItem item) override;
  TreeItem GetSelection() override;
  void SelectItem(TreeItem item) override;
  void Expand(TreeItem item) override;
  bool IsExpanded(TreeItem item) override;
  void SetRedraw(bool on) override;

 private:
  wxTreeItemId Id(TreeItem item) const { return wxTreeItemId(item); }
  // The hidden root stands for "nothing selected".
  bool IsRealSelection(const wxTreeItemId& id) const;
  // Takes the selection away without an event when it lies in `item`'s subtree.
  void ReleaseSelectionIn(const wxTreeItemId& item, bool itemItself);

  void OnExpanding(wxTreeEvent& event);
  void OnCollapsing(wxTreeEvent& event);
  void OnSelChanged(wxTreeEvent& event);
  void OnActivated(wxTreeEvent& event);
  void OnRightDown(wxMouseEvent& event);
  void OnContextMenu(wxContextMenuEvent& event);
  void ShowContextMenu(TreeItem target, const wxPoint& pos);

  CMainFrame& m_frame;
  wxImageList m_images{16, 16, true};
  CTreePresenter m_presenter;
  bool m_removalsQueued = false;
};
