#pragma once
// What the project tree does, without a window: lazy filling with a placeholder child,
// sorted insertion, the start path, selection broadcasting, the update hints, the
// removal of emptied grouping folders, the rebuild, the context-menu choice and the
// tree's own commands. The window (or a test) implements ITreeWidget and forwards the
// control's events here.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>
#include <wx/string.h>

#include "framework/CmdTarget.h"
#include "framework/ImageListModel.h"
#include "framework/MenuModel.h"
#include "app/TavProjectDoc.h"
#include "model/LiveObjects.h"

class CProjectObject;

using TreeItem = void*;

class ITreeWidget {
 public:
  virtual ~ITreeWidget() = default;
  // Inserts a child of `parent` (nullptr: the top level) before the child at `index`
  // (at the end when index is past the last).
  virtual TreeItem InsertItem(TreeItem parent, std::size_t index, const wxString& text, int image,
                              ObjectSerial serial) = 0;
  virtual void DeleteItem(TreeItem item) = 0;
  virtual void DeleteChildren(TreeItem item) = 0;
  virtual void DeleteAllItems() = 0;
  // nullptr for a top-level item.
  virtual TreeItem GetParentItem(TreeItem item) = 0;
  // The first child of `parent` (nullptr: the first top-level item); nullptr when none.
  virtual TreeItem GetFirstChild(TreeItem parent) = 0;
  virtual TreeItem GetLastChild(TreeItem parent) = 0;
  virtual TreeItem GetNextSibling(TreeItem item) = 0;
  virtual TreeItem GetPrevSibling(TreeItem item) = 0;
  virtual wxString GetItemText(TreeItem item) = 0;
  virtual void SetItemText(TreeItem item, const wxString& text) = 0;
  // 0 for the placeholder.
  virtual ObjectSerial GetItemSerial(TreeItem item) = 0;
  virtual TreeItem GetSelection() = 0;
  // Selects the item (nullptr: none) and reports the change to OnSelChanged before it
  // returns, as the control does; nothing happens when the item is already selected.
  virtual void SelectItem(TreeItem item) = 0;
  // Expands the item, reporting OnItemExpanding first; nothing for an expanded item or
  // one without children.
  virtual void Expand(TreeItem item) = 0;
  virtual bool IsExpanded(TreeItem item) = 0;
  virtual void SetRedraw(bool on) = 0;
};

// The text and image of the placeholder child.
inline const wxString kPlaceholderText = wxS("dummy");
constexpr int kPlaceholderImage = 6;

class CTreePresenter : public CCmdTarget, public IProjectView {
 public:
  CTreePresenter(ITreeWidget& widget, CTavProjectDoc& doc);
  ~CTreePresenter() override;
  CTreePresenter(const CTreePresenter&) = delete;
  CTreePresenter& operator=(const CTreePresenter&) = delete;

  // --- the control's events ---
  void OnItemExpanding(TreeItem item);
  void OnItemCollapsing(TreeItem item);
  void OnSelChanged(TreeItem item);
  // Double click: edits the selected item's object.
  void OnDoubleClick();

  // Builds the top level and opens the start path (tree item names joined with '\').
  void OnInitialUpdate(const wxString& startPath);

  // --- IProjectView ---
  void OnUpdate(IProjectView* sender, int hint, CProjectObject* object) override;
  BOOL OnCmdMsg(UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) override;

  // Emptied grouping folders left by removals wait here until the removal's hint has
  // returned; the window runs them right after the event it is handling (the hook
  // below), tests call RunPendingRemovals themselves.
  bool HasPendingRemovals() const { return m_postRemovalDue; }
  void RunPendingRemovals();
  std::function<void()> schedulePendingRemovals;

  // --- context menu ---
  struct MenuChoice {
    std::optional<CMenu> menu;   // empty: show nothing
    bool emptyArea = false;
  };
  // `hit` is the item under the pointer (nullptr: none).
  MenuChoice PrepareContextMenu(TreeItem hit);
  // TRUE while the empty-area menu is up: its paste puts a project folder at the top level.
  BOOL IsEmptyAreaMenu() const { return m_emptyAreaMenu; }
  // The window calls it when a popup it showed has closed.
  void ContextMenuClosed() { m_emptyAreaMenu = FALSE; }
  // The list saves the texts folder's layout before that folder's menu opens.
  std::function<void(CProjectObject& object)> saveListLayout;

  // --- lookups ---
  TreeItem FindItemByObject(const CProjectObject* object);
  TreeItem FindItemByClassAndName(const char* className, const wxString& name, TreeItem start);
  // The live object of an item; nullptr for the placeholder and for removed objects.
  CProjectObject* ObjectOf(TreeItem item);
  CProjectObject* GetSelectedObject();
  ObjectRef GetLastSelected() const { return m_lastSelected; }
  bool IsEmpty();

  // The item images: the strip and the icons objects added (the window mirrors them).
  CImageList& GetImageList() { return m_images; }

  // The rebuild depth: above 0 only while hint 7 rebuilds the tree.
  int GetRebuildDepth() const { return m_rebuildDepth; }

  HV_DECLARE_COMMAND_MAP()

 protected:
  void OnNewObject();
  void OnImport();
  void OnUpdateNewObject(CCmdUI* ui);
  void OnExpandAll();
  void OnUpdateExpandAll(CCmdUI* ui);
  void OnEditCopy();
  void OnUpdateEditCopy(CCmdUI* ui);
  void OnEditCut();
  void OnEditPaste();
  void OnUpdateEditPaste(CCmdUI* ui);

 private:
  TreeItem InsertObjectItem(CProjectObject& object, TreeItem parent);
  // With the image known; `last`: the caller adds the siblings in order of their names.
  TreeItem InsertObjectItem(CProjectObject& object, TreeItem parent, int image, bool last);
  // The control's items through the index (see the .cpp).
  TreeItem AddItem(TreeItem parent, const wxString& text, int image, ObjectSerial serial, bool last = false);
  void RemoveItem(TreeItem item);
  void RemoveChildren(TreeItem item);
  void RemoveAllItems();
  void SetText(TreeItem item, const wxString& text);
  void ForgetSubtree(TreeItem item, ObjectSerial serial);
  void AddPlaceholderChild(TreeItem item);
  void FillChildren(TreeItem item);
  void CollapseItem(TreeItem item);
  void ExpandSubtree(CProjectObject& object);
  void RestoreExpanded(CProjectObject& object, TreeItem item);
  TreeItem FindChild(TreeItem parent, const CProjectObject* object);
  TreeItem FindChildByText(TreeItem parent, const wxString& text);
  TreeItem PrevVisible(TreeItem item);
  bool IsWithin(TreeItem item, TreeItem ancestor);
  // Deletes an item; when the selection is in it, first moves the selection to the next
  // sibling, else the previous visible item, else nowhere.
  void DropItem(TreeItem item);

  void ShowObject(CProjectObject* object);
  void ObjectAdded(CProjectObject* object);
  TreeItem OpenWayTo(CProjectObject& object);
  void AddLoadedLater();
  void ObjectRemoved(CProjectObject* object);
  void OpenObject(CProjectObject* object);
  void Rebuild(CProjectObject* object);
  void DeviceChange(CProjectObject& object);

  ITreeWidget& m_widget;
  CTavProjectDoc& m_doc;
  CImageList m_images{16};
  int m_rebuildDepth = 0;
  ObjectRef m_lastSelected;
  BOOL m_emptyAreaMenu = FALSE;
  std::vector<ObjectRef> m_pendingParents;
  struct Kid {
    std::wstring text;   // moves cheaply when a sibling goes in before it (wxString copies)
    TreeItem item;
    ObjectSerial serial;
  };
  using Kids = std::vector<Kid>;
  std::unordered_map<TreeItem, Kids> m_kids;   // by parent item (nullptr: top)
  // The item of each object, by the object's registry slot (see live::SlotOf).
  class ItemIndex {
   public:
    TreeItem Find(ObjectSerial serial) const;
    void Set(ObjectSerial serial, TreeItem item);
    // Forgets the serial's item when it is `item`.
    void Forget(ObjectSerial serial, TreeItem item);
    void Clear() { m_items.clear(); }

   private:
    struct Entry {
      ObjectSerial serial = 0;
      TreeItem item = nullptr;
    };
    std::vector<Entry> m_items;
  };
  ItemIndex m_itemOf;
  bool m_postRemovalDue = false;
  bool m_addLoadedDue = false;
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);   // for the tasks it leaves
};

// The text the program keeps as the current selection for an object: its project's
// name, "/" and its device's name.
wxString SelectionTextOf(CProjectObject& object);
