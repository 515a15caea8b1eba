#include "app/ui/ProjectTreeView.h"

#include <vector>

#include "app/ui/ImageStrip.h"
#include "app/ui/MainFrame.h"
#include "app/ui/ProjectListView.h"
#include "model/ProjectObject.h"

namespace {

class SerialData : public wxTreeItemData {
 public:
  explicit SerialData(ObjectSerial serial) : serial(serial) {}
  ObjectSerial serial;
};

}  // namespace

CProjectTreeView::CProjectTreeView(wxWindow* parent, CMainFrame& frame, CTavProjectDoc& doc)
    : wxTreeCtrl(parent, wxID_ANY, wxDefaultPosition, wxSize(150, 50),
                 wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_HIDE_ROOT | wxTR_SINGLE | wxBORDER_SUNKEN),
      m_frame(frame),
      m_presenter(*this, doc) {
  AddRoot(wxString());
  SyncImageList(m_images, m_presenter.GetImageList());
  SetImageList(&m_images);
  m_presenter.schedulePendingRemovals = [this] {
    if (m_removalsQueued) return;
    m_removalsQueued = true;
    CallAfter([this] {
      m_removalsQueued = false;
      m_presenter.RunPendingRemovals();
    });
  };
  m_presenter.saveListLayout = [this](CProjectObject& object) {
    if (CProjectListView* list = m_frame.GetListView()) list->Presenter().SaveLayout(&object);
  };
  Bind(wxEVT_TREE_ITEM_EXPANDING, &CProjectTreeView::OnExpanding, this);
  Bind(wxEVT_TREE_ITEM_COLLAPSING, &CProjectTreeView::OnCollapsing, this);
  Bind(wxEVT_TREE_SEL_CHANGED, &CProjectTreeView::OnSelChanged, this);
  Bind(wxEVT_TREE_ITEM_ACTIVATED, &CProjectTreeView::OnActivated, this);
  Bind(wxEVT_TREE_ITEM_MENU, [](wxTreeEvent&) {});   // menus come from the mouse and the menu key
  Bind(wxEVT_RIGHT_DOWN, &CProjectTreeView::OnRightDown, this);
  Bind(wxEVT_CONTEXT_MENU, &CProjectTreeView::OnContextMenu, this);
  Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) {
    m_frame.SetActiveView(&m_presenter);
    e.Skip();
  });
}

CProjectTreeView::~CProjectTreeView() {
  m_presenter.schedulePendingRemovals = nullptr;
  SetImageList(nullptr);
}

void CProjectTreeView::OnInitialUpdate(const wxString& startPath) { m_presenter.OnInitialUpdate(startPath); }

wxTreeItemId CProjectTreeView::ItemOf(const CProjectObject* object) {
  return wxTreeItemId(m_presenter.FindItemByObject(object));
}

bool CProjectTreeView::IsRealSelection(const wxTreeItemId& id) const { return id.IsOk() && id != GetRootItem(); }

void CProjectTreeView::ReleaseSelectionIn(const wxTreeItemId& item, bool itemItself) {
  const wxTreeItemId selected = wxTreeCtrl::GetSelection();
  if (!IsRealSelection(selected)) return;
  for (wxTreeItemId i = itemItself ? selected : GetItemParent(selected); i.IsOk(); i = GetItemParent(i)) {
    if (i == item) {
      // The control would otherwise move the selection at idle time, with events.
      Unselect();
      return;
    }
  }
}

// --- ITreeWidget ---

TreeItem CProjectTreeView::InsertItem(TreeItem parent, std::size_t index, const wxString& text, int image,
                                      ObjectSerial serial) {
  if (image >= m_images.GetImageCount()) SyncImageList(m_images, m_presenter.GetImageList());
  if (image >= m_images.GetImageCount()) image = 0;
  const wxTreeItemId p = parent ? Id(parent) : GetRootItem();
  const wxTreeItemId id = wxTreeCtrl::InsertItem(p, index, text, image, image, new SerialData(serial));
  return id.GetID();
}

void CProjectTreeView::DeleteItem(TreeItem item) {
  ReleaseSelectionIn(Id(item), true);
  Delete(Id(item));
}

void CProjectTreeView::DeleteChildren(TreeItem item) {
  ReleaseSelectionIn(Id(item), false);
  wxTreeCtrl::DeleteChildren(Id(item));
}

void CProjectTreeView::DeleteAllItems() {
  ReleaseSelectionIn(GetRootItem(), false);
  wxTreeCtrl::DeleteChildren(GetRootItem());
}

TreeItem CProjectTreeView::GetParentItem(TreeItem item) {
  const wxTreeItemId p = GetItemParent(Id(item));
  return p.IsOk() && p != GetRootItem() ? p.GetID() : nullptr;
}

TreeItem CProjectTreeView::GetFirstChild(TreeItem parent) {
  wxTreeItemIdValue cookie;
  const wxTreeItemId c = wxTreeCtrl::GetFirstChild(parent ? Id(parent) : GetRootItem(), cookie);
  return c.IsOk() ? c.GetID() : nullptr;
}

TreeItem CProjectTreeView::GetLastChild(TreeItem parent) {
  const wxTreeItemId c = wxTreeCtrl::GetLastChild(parent ? Id(parent) : GetRootItem());
  return c.IsOk() ? c.GetID() : nullptr;
}

TreeItem CProjectTreeView::GetNextSibling(TreeItem item) {
  const wxTreeItemId c = wxTreeCtrl::GetNextSibling(Id(item));
  return c.IsOk() ? c.GetID() : nullptr;
}

TreeItem CProjectTreeView::GetPrevSibling(TreeItem item) {
  const wxTreeItemId c = wxTreeCtrl::GetPrevSibling(Id(item));
  return c.IsOk() ? c.GetID() : nullptr;
}

wxString CProjectTreeView::GetItemText(TreeItem item) { return wxTreeCtrl::GetItemText(Id(item)); }

void CProjectTreeView::SetItemText(TreeItem item, const wxString& text) { wxTreeCtrl::SetItemText(Id(item), text); }

ObjectSerial CProjectTreeView::GetItemSerial(TreeItem item) {
  auto* data = static_cast<SerialData*>(GetItemData(Id(item)));
  return data ? data->serial : 0;
}

TreeItem CProjectTreeView::GetSelection() {
  const wxTreeItemId selected = wxTreeCtrl::GetSelection();
  return IsRealSelection(selected) ? selected.GetID() : nullptr;
}

void CProjectTreeView::SelectItem(TreeItem item) {
  if (!item) {
    if (IsRealSelection(wxTreeCtrl::GetSelection())) Unselect();
    m_presenter.OnSelChanged(nullptr);
    return;
  }
  // Selecting expands collapsed ancestors, and expanding refills an item's children:
  // open the path ourselves and find the item again by its object.
  std::vector<ObjectSerial> path;
  bool collapsed = false;
  for (wxTreeItemId i = Id(item); IsRealSelection(i); i = GetItemParent(i)) {
    path.insert(path.begin(), GetItemSerial(i.GetID()));
    const wxTreeItemId parent = GetItemParent(i);
    if (IsRealSelection(parent) && !wxTreeCtrl::IsExpanded(parent)) collapsed = true;
  }
  if (collapsed) {
    TreeItem current = nullptr;
    for (ObjectSerial serial : path) {
      if (current && !IsExpanded(current)) Expand(current);
      TreeItem next = nullptr;
      for (TreeItem c = GetFirstChild(current); c; c = GetNextSibling(c))
        if (GetItemSerial(c) == serial) {
          next = c;
          break;
        }
      if (!next) return;
      current = next;
    }
    item = current;
  }
  wxTreeCtrl::SelectItem(Id(item));
}

void CProjectTreeView::Expand(TreeItem item) { wxTreeCtrl::Expand(Id(item)); }

bool CProjectTreeView::IsExpanded(TreeItem item) { return wxTreeCtrl::IsExpanded(Id(item)); }

void CProjectTreeView::SetRedraw(bool on) {
  if (on) {
    if (IsFrozen()) Thaw();
  } else {
    Freeze();
  }
}

// --- events ---

void CProjectTreeView::OnExpanding(wxTreeEvent& event) {
  if (event.GetItem() == GetRootItem()) return;
  m_presenter.OnItemExpanding(event.GetItem().GetID());
}

void CProjectTreeView::OnCollapsing(wxTreeEvent& event) {
  if (event.GetItem() == GetRootItem()) return;
  m_presenter.OnItemCollapsing(event.GetItem().GetID());
}

void CProjectTreeView::OnSelChanged(wxTreeEvent& event) {
  const wxTreeItemId item = event.GetItem();
  m_presenter.OnSelChanged(IsRealSelection(item) ? item.GetID() : nullptr);
}

void CProjectTreeView::OnActivated(wxTreeEvent& event) {
  m_presenter.OnDoubleClick();
  event.Skip();   // the control still opens or closes the item
}

void CProjectTreeView::OnRightDown(wxMouseEvent& event) {
  m_frame.SetActiveView(&m_presenter);
  SetFocus();
  int flags = 0;
  const wxTreeItemId hit = HitTest(event.GetPosition(), flags);
  TreeItem target = nullptr;
  if (IsRealSelection(hit) && (flags & wxTREE_HITTEST_ONITEM)) {
    SelectItem(hit.GetID());
    target = GetSelection();
  }
  ShowContextMenu(target, event.GetPosition());
}

void CProjectTreeView::OnContextMenu(wxContextMenuEvent& event) {
  // From the keyboard: just inside the top-left corner.
  wxPoint client = event.GetPosition() == wxDefaultPosition ? wxPoint(5, 5) : ScreenToClient(event.GetPosition());
  int flags = 0;
  const wxTreeItemId hit = HitTest(client, flags);
  TreeItem target = IsRealSelection(hit) && (flags & wxTREE_HITTEST_ONITEM) ? hit.GetID() : nullptr;
  if (event.GetPosition() == wxDefaultPosition) target = nullptr;   // the selected item
  ShowContextMenu(target, client);
}

void CProjectTreeView::ShowContextMenu(TreeItem target, const wxPoint& pos) {
  CTreePresenter::MenuChoice choice = m_presenter.PrepareContextMenu(target);
  if (choice.menu) m_frame.ShowPopupMenu(&m_presenter, this, *choice.menu, pos);
  // The popup's commands have run by now; the top-level paste belongs to it alone.
  m_presenter.ContextMenuClosed();
}
