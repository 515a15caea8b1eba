#include "app/TreePresenter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <cwctype>
#include <string>
#include <string_view>
#include <utility>

#include "model/ChildLoads.h"
#include "app/ClipboardTransfer.h"
#include "framework/CommandIds.h"
#include "app/CommandRouting.h"
#include "app/MenuResources.h"
#include "app/TavProjectApp.h"
#include "framework/UpdateHints.h"
#include "app/ViewHooks.h"
#include "model/DeviceServices.h"
#include "model/LongWork.h"
#include "model/Project.h"
#include "model/ProjectObject.h"
#include "platform/dbase/DbLib.h"

BEGIN_COMMAND_MAP(CTreePresenter, CCmdTarget)
  ON_COMMAND(ID_NEW_OBJECT, OnNewObject)
  ON_UPDATE_COMMAND_UI(ID_NEW_OBJECT, OnUpdateNewObject)
  ON_COMMAND(ID_IMPORT, OnImport)
  ON_UPDATE_COMMAND_UI(ID_IMPORT, OnUpdateNewObject)
  ON_COMMAND(ID_EXPAND_ALL, OnExpandAll)
  ON_UPDATE_COMMAND_UI(ID_EXPAND_ALL, OnUpdateExpandAll)
  ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
  ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateEditCopy)
  ON_COMMAND(ID_EDIT_CUT, OnEditCut)
  ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateEditCopy)
  ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
  ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdateEditPaste)
END_COMMAND_MAP()

wxString SelectionTextOf(CProjectObject& object) {
  CProjectObject* project = FindProjectObject(&object);
  CProjectObject* device = FindDeviceObject(&object);
  return (project ? project->GetName() : wxString()) + "/" + (device ? device->GetName() : wxString());
}

CTreePresenter::CTreePresenter(ITreeWidget& widget, CTavProjectDoc& doc) : m_widget(widget), m_doc(doc) {
  m_doc.AddView(this);
  SetClipboardCopyFlag(TRUE);
}

CTreePresenter::~CTreePresenter() { m_doc.RemoveView(this); }

// --- items ---

CProjectObject* CTreePresenter::ObjectOf(TreeItem item) {
  if (!item) return nullptr;
  const ObjectSerial serial = m_widget.GetItemSerial(item);
  return serial ? CProjectObject::FromSerial(serial) : nullptr;
}

CProjectObject* CTreePresenter::GetSelectedObject() { return ObjectOf(m_widget.GetSelection()); }

bool CTreePresenter::IsEmpty() { return m_widget.GetFirstChild(nullptr) == nullptr; }

TreeItem CTreePresenter::InsertObjectItem(CProjectObject& object, TreeItem parent) {
  return InsertObjectItem(object, parent, object.GetImage(), false);
}

TreeItem CTreePresenter::InsertObjectItem(CProjectObject& object, TreeItem parent, int image, bool last) {
  if (image == -1) image = object.AddImageToList(m_images, IMAGELIST_TREE);
  TreeItem item = AddItem(parent, object.GetName(), image < 0 ? 0 : image, object.GetSerial(), last);
  // The object is at hand (and kept until the end of the dispatch): not looked up again.
  if (object.HasTreeChildren()) AddItem(item, kPlaceholderText, kPlaceholderImage, 0);
  return item;
}

void CTreePresenter::AddPlaceholderChild(TreeItem item) {
  CProjectObject* object = ObjectOf(item);
  if (!object || !object->HasTreeChildren()) return;
  AddItem(item, kPlaceholderText, kPlaceholderImage, 0);
}

// --- the index of the items ---
// Every item the presenter made is in the child list of its parent's entry, in the
// control's order, and found by serial: inserting in order and finding an object's item
// take no walk over siblings (the control's sibling steps are linear).

namespace {

// As wxString::CmpNoCase orders: character by character in lower case, then the shorter first.
bool TextBefore(std::wstring_view a, std::wstring_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<std::uint32_t>(std::towlower(static_cast<wint_t>(a[i])));
    const auto y = static_cast<std::uint32_t>(std::towlower(static_cast<wint_t>(b[i])));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

std::wstring_view View(const wxString& s) { return std::wstring_view(s.wx_str(), s.length()); }

// The order of names without regard to case, in one pass per byte of a short key: the
// names' lower-case characters side by side, the four after what all names share packed
// into a number that a radix sort orders; only names alike in those four are compared
// in full. A sort by comparisons would cost a factor log n more for large folders.
std::vector<std::size_t> NameOrder(const std::vector<const wxString*>& names) {
  struct Entry {
    std::uint64_t head;
    std::uint32_t at, length, index;
  };
  std::wstring chars;
  std::vector<Entry> v(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const wxString& name = *names[i];
    v[i].at = static_cast<std::uint32_t>(chars.size());
    v[i].length = static_cast<std::uint32_t>(name.length());
    v[i].index = static_cast<std::uint32_t>(i);
    for (wxString::const_iterator c = name.begin(); c != name.end(); ++c) {
      const wchar_t w = static_cast<wchar_t>(*c);
      if (w >= 'A' && w <= 'Z') chars.push_back(static_cast<wchar_t>(w + ('a' - 'A')));
      else if (w < 0x80) chars.push_back(w);
      else chars.push_back(static_cast<wchar_t>(std::towlower(static_cast<wint_t>(w))));
    }
  }
  const wchar_t* base = chars.data();
  std::uint32_t shared = v.empty() ? 0 : v[0].length;
  for (const Entry& e : v) {
    std::uint32_t n = 0;
    while (n < shared && n < e.length && base[e.at + n] == base[v[0].at + n]) ++n;
    shared = n;
  }
  for (Entry& e : v)
    for (std::uint32_t k = 0; k < 4; ++k) {
      const std::uint32_t at = shared + k;
      const auto w = at < e.length ? static_cast<std::uint32_t>(base[e.at + at]) : 0u;
      e.head = e.head << 16 | std::min<std::uint32_t>(w, 0xFFFF);
    }
  // Stable least-significant-byte-first passes; a byte every name shares costs none.
  std::vector<Entry> out(v.size());
  for (int b = 0; b < 8; ++b) {
    std::array<std::uint32_t, 256> count{};
    for (const Entry& e : v) ++count[(e.head >> (8 * b)) & 0xFF];
    if (std::find(count.begin(), count.end(), static_cast<std::uint32_t>(v.size())) != count.end()) continue;
    std::uint32_t at = 0;
    for (std::uint32_t& n : count) at += std::exchange(n, at);
    for (const Entry& e : v) out[count[(e.head >> (8 * b)) & 0xFF]++] = e;
    v.swap(out);
  }
  auto less = [base](const Entry& a, const Entry& b) {
    const int c = std::wstring_view(base + a.at, a.length).compare(std::wstring_view(base + b.at, b.length));
    return c != 0 ? c < 0 : a.index < b.index;
  };
  for (std::size_t i = 0; i < v.size();) {
    std::size_t j = i + 1;
    while (j < v.size() && v[j].head == v[i].head) ++j;
    if (j - i > 1) std::sort(v.begin() + static_cast<std::ptrdiff_t>(i), v.begin() + static_cast<std::ptrdiff_t>(j), less);
    i = j;
  }
  std::vector<std::size_t> order(v.size());
  for (std::size_t i = 0; i < v.size(); ++i) order[i] = v[i].index;
  return order;
}

}  // namespace

TreeItem CTreePresenter::ItemIndex::Find(ObjectSerial serial) const {
  const std::uint32_t slot = live::SlotOf(serial);
  return serial && slot < m_items.size() && m_items[slot].serial == serial ? m_items[slot].item : nullptr;
}

void CTreePresenter::ItemIndex::Set(ObjectSerial serial, TreeItem item) {
  const std::uint32_t slot = live::SlotOf(serial);
  if (slot >= m_items.size()) m_items.resize(std::max<std::size_t>(slot + 1, m_items.size() * 2));
  m_items[slot] = Entry{serial, item};
}

void CTreePresenter::ItemIndex::Forget(ObjectSerial serial, TreeItem item) {
  const std::uint32_t slot = live::SlotOf(serial);
  if (slot < m_items.size() && m_items[slot].serial == serial && m_items[slot].item == item) m_items[slot] = Entry{};
}

TreeItem CTreePresenter::AddItem(TreeItem parent, const wxString& text, int image, ObjectSerial serial, bool last) {
  Kids& kids = m_kids[parent];
  // Siblings stay in alphabetical order whatever the order of the child list: the new
  // one goes after its equals.
  // Items made in order go last: one comparison.
  const auto at = last || kids.empty() || !TextBefore(View(text), kids.back().text)
                      ? kids.end()
                      : std::upper_bound(kids.begin(), kids.end(), View(text), [](std::wstring_view t, const Kid& k) {
                          return TextBefore(t, k.text);
                        });
  const std::size_t index = static_cast<std::size_t>(at - kids.begin());
  TreeItem item = m_widget.InsertItem(parent, index, text, image, serial);
  kids.insert(kids.begin() + static_cast<long>(index), Kid{text.ToStdWstring(), item, serial});
  if (serial) m_itemOf.Set(serial, item);
  return item;
}

void CTreePresenter::ForgetSubtree(TreeItem item, ObjectSerial serial) {
  if (serial) {
    m_itemOf.Forget(serial, item);
  }
  auto kids = m_kids.find(item);
  if (kids == m_kids.end()) return;
  Kids below;
  below.swap(kids->second);
  m_kids.erase(kids);
  for (const Kid& k : below) ForgetSubtree(k.item, k.serial);
}

void CTreePresenter::RemoveItem(TreeItem item) {
  const ObjectSerial serial = m_widget.GetItemSerial(item);
  auto siblings = m_kids.find(m_widget.GetParentItem(item));
  if (siblings != m_kids.end()) {
    Kids& kids = siblings->second;
    const wxString text = m_widget.GetItemText(item);
    auto it = std::lower_bound(kids.begin(), kids.end(), View(text),
                               [](const Kid& k, std::wstring_view t) { return TextBefore(k.text, t); });
    while (it != kids.end() && it->item != item && !TextBefore(View(text), it->text)) ++it;
    if (it == kids.end() || it->item != item)
      it = std::find_if(kids.begin(), kids.end(), [item](const Kid& k) { return k.item == item; });
    if (it != kids.end()) kids.erase(it);
  }
  ForgetSubtree(item, serial);
  m_widget.DeleteItem(item);
}

void CTreePresenter::RemoveChildren(TreeItem item) {
  auto kids = m_kids.find(item);
  if (kids != m_kids.end()) {
    Kids below;
    below.swap(kids->second);
    for (const Kid& k : below) ForgetSubtree(k.item, k.serial);
  }
  m_widget.DeleteChildren(item);
}

void CTreePresenter::RemoveAllItems() {
  m_kids.clear();
  m_itemOf.Clear();
  m_widget.DeleteAllItems();
}

void CTreePresenter::SetText(TreeItem item, const wxString& text) {
  auto siblings = m_kids.find(m_widget.GetParentItem(item));
  if (siblings != m_kids.end())
    for (auto& k : siblings->second)
      if (k.item == item) k.text = text.ToStdWstring();
  m_widget.SetItemText(item, text);
}

void CTreePresenter::FillChildren(TreeItem item) {
  CProjectObject* object = ObjectOf(item);
  if (!object) return;
  const ObjectRef ref(object);
  // What the list shows (or this action loaded) is not read again; a rebuild reads anew.
  if (!childloads::Fresh(*object, m_rebuildDepth == 0)) childloads::Load(*object);
  if (!ref.IsValid()) return;
  if (object->HasNoChildren()) {
    // Nothing loaded: the item keeps its expand button.
    if (!m_widget.GetFirstChild(item)) AddPlaceholderChild(item);
    return;
  }
  object->SetExpanded(1);
  TreeItem first = m_widget.GetFirstChild(item);
  if (first && m_widget.GetItemSerial(first) == 0) RemoveItem(first);
  // Items that hints added while the children loaded are not inserted twice.
  const bool guard = m_widget.GetFirstChild(item) != nullptr;
  hv::LongWork work(object->GetChildCount());
  // What the items need is read in the children's own order: the objects are then
  // visited in memory order, not in the (scattered) order of their names.
  struct Shown {
    CProjectObject* object;
    ObjectSerial serial;
    int image;
  };
  std::vector<Shown> shown;
  std::vector<const wxString*> names;
  shown.reserve(object->GetChildCount());
  names.reserve(object->GetChildCount());
  for (CProjectObject* child : object->GetChildren()) {
    work.Step();
    if (!CProjectObject::IsValidObject(child) || !child->IsShownInTree()) continue;
    if (guard && FindChild(item, child)) continue;
    shown.push_back({child, child->GetSerial(), child->GetImage()});
    names.push_back(&child->GetName());
  }
  // In order of their names each goes after the last: no sibling moves for a new one.
  const std::vector<std::size_t> order = NameOrder(names);
  Kids& kids = m_kids[item];
  const bool last = kids.empty();
  kids.reserve(kids.size() + order.size());
  for (const std::size_t i : order) {
    work.Step();
    const Shown& s = shown[i];
    if (live::Find(s.serial) == s.object) InsertObjectItem(*s.object, item, s.image, last);
  }
}

void CTreePresenter::CollapseItem(TreeItem item) {
  if (CProjectObject* object = ObjectOf(item)) object->SetExpanded(0);
  // A selected child hands the selection to the item itself, which the list then shows.
  TreeItem selected = m_widget.GetSelection();
  if (selected && selected != item && IsWithin(selected, item)) m_widget.SelectItem(item);
  RemoveChildren(item);
}

void CTreePresenter::ExpandSubtree(CProjectObject& object) {
  const ObjectRef ref(&object);
  if (!childloads::Fresh(object, false)) childloads::Load(object);
  if (!ref.IsValid()) return;
  if (object.HasNoChildren()) return;
  object.SetExpanded(1);
  for (CProjectObject* child : object.GetChildren())
    if (CProjectObject::IsValidObject(child) && child->IsShownInTree() && child->HasTreeChildren())
      ExpandSubtree(*child);
}

void CTreePresenter::RestoreExpanded(CProjectObject& object, TreeItem item) {
  const ObjectRef ref(&object);
  for (CProjectObject* child : object.GetChildren()) {
    if (!ref.IsValid()) return;
    if (!CProjectObject::IsValidObject(child) || !child->GetExpanded()) continue;
    TreeItem childItem = FindChild(item, child);
    if (!childItem) continue;
    m_widget.Expand(childItem);
    if (CProjectObject::IsValidObject(child)) RestoreExpanded(*child, childItem);
  }
}

TreeItem CTreePresenter::FindChild(TreeItem parent, const CProjectObject* object) {
  const ObjectSerial serial = object ? object->GetSerial() : 0;
  if (!serial) return nullptr;
  const TreeItem item = m_itemOf.Find(serial);
  if (!item || m_widget.GetParentItem(item) != parent) return nullptr;
  return item;
}

TreeItem CTreePresenter::FindChildByText(TreeItem parent, const wxString& text) {
  for (TreeItem c = m_widget.GetFirstChild(parent); c; c = m_widget.GetNextSibling(c))
    if (m_widget.GetItemText(c) == text) return c;
  return nullptr;
}

TreeItem CTreePresenter::FindItemByObject(const CProjectObject* object) {
  if (!CProjectObject::IsValidObject(object)) return nullptr;
  return m_itemOf.Find(object->GetSerial());
}

TreeItem CTreePresenter::FindItemByClassAndName(const char* className, const wxString& name, TreeItem start) {
  for (TreeItem item = start ? start : m_widget.GetFirstChild(nullptr); item; item = m_widget.GetNextSibling(item)) {
    if (TreeItem child = m_widget.GetFirstChild(item))
      if (TreeItem found = FindItemByClassAndName(className, name, child)) return found;
    CProjectObject* object = ObjectOf(item);
    if (object && std::strcmp(object->ClassName(), className) == 0 && object->GetName() == name) return item;
  }
  return nullptr;
}

TreeItem CTreePresenter::PrevVisible(TreeItem item) {
  TreeItem prev = m_widget.GetPrevSibling(item);
  if (!prev) return m_widget.GetParentItem(item);
  while (m_widget.IsExpanded(prev)) {
    TreeItem last = m_widget.GetLastChild(prev);
    if (!last) break;
    prev = last;
  }
  return prev;
}

bool CTreePresenter::IsWithin(TreeItem item, TreeItem ancestor) {
  for (TreeItem i = item; i; i = m_widget.GetParentItem(i))
    if (i == ancestor) return true;
  return false;
}

void CTreePresenter::DropItem(TreeItem item) {
  const ObjectSerial serial = m_widget.GetItemSerial(item);
  TreeItem selected = m_widget.GetSelection();
  if (selected && IsWithin(selected, item)) {
    TreeItem next = m_widget.GetNextSibling(item);
    m_widget.SelectItem(next ? next : PrevVisible(item));
    // The new selection's hint may have changed the tree: find the item again.
    if (CProjectObject* object = CProjectObject::FromSerial(serial)) item = FindItemByObject(object);
    if (!item) return;
  }
  RemoveItem(item);
}

// --- events ---

void CTreePresenter::OnItemExpanding(TreeItem item) {
  DispatchScope scope;
  CollapseItem(item);
  FillChildren(item);
}

void CTreePresenter::OnItemCollapsing(TreeItem item) {
  DispatchScope scope;
  CollapseItem(item);
  AddPlaceholderChild(item);
}

void CTreePresenter::OnSelChanged(TreeItem item) {
  DispatchScope scope;
  if (!item) {
    m_lastSelected = ObjectRef();
    return;
  }
  CProjectObject* object = ObjectOf(item);
  const ObjectRef ref(object);
  if (m_rebuildDepth > 0 || !object) {
    m_lastSelected = ref;
    return;
  }
  DeviceChange(*object);
  // The list reads the object's children again when they are stale.
  AddLoadedLater();
  m_doc.UpdateAllViews(this, HINT_SHOW_OBJECT, object);
  m_lastSelected = ref;
}

void CTreePresenter::DeviceChange(CProjectObject& object) {
  if (!object.GetDevice()) return;
  CProjectObject* last = m_lastSelected.Get();
  if (last && last->GetDevice() && last->GetDevice() == object.GetDevice()) return;
  // The tables of the device selected in the tree are the library's current ones.
  hv::db::pfad_daten = devsvc::DeviceFolder(object.GetDevice()).Left(260);
  if (CTavProjectApp* app = TheApp()) app->m_currentSelection = SelectionTextOf(object);
}

void CTreePresenter::OnDoubleClick() {
  DispatchScope scope;
  if (CProjectObject* object = GetSelectedObject()) object->Edit();
}

void CTreePresenter::OnInitialUpdate(const wxString& startPath) {
  DispatchScope scope;
  RemoveAllItems();
  wxString first;
  wxString rest = startPath;
  bool more = false;
  if (const size_t bs = startPath.find('\\'); bs != wxString::npos) {
    first = startPath.Left(bs);
    rest = startPath.Mid(bs + 1);
    more = true;
  }
  TreeItem current = nullptr;
  for (CProjectObject* root : m_doc.GetRoots()) {
    if (!CProjectObject::IsValidObject(root)) continue;
    TreeItem item = InsertObjectItem(*root, nullptr);
    if (root->GetName() == first) {
      m_widget.Expand(item);
      if (CProjectObject::IsValidObject(root)) root->SetExpanded(1);
      current = item;
    }
  }
  while (more) {
    wxString component = rest;
    more = false;
    if (const size_t bs = rest.find('\\'); bs != wxString::npos) {
      component = rest.Left(bs);
      rest = rest.Mid(bs + 1);
      more = true;
    }
    // A component that is not there is skipped: the next one is looked for at the same place.
    if (TreeItem found = FindChildByText(current, component)) {
      m_widget.SelectItem(found);
      m_widget.Expand(found);
      current = found;
    }
  }
}

// --- hints ---

void CTreePresenter::OnUpdate(IProjectView* sender, int hint, CProjectObject* object) {
  DispatchScope scope;
  AddLoadedLater();
  switch (hint) {
    case HINT_SHOW_OBJECT: ShowObject(object); break;
    case HINT_OBJECT_ADDED: ObjectAdded(object); break;
    case HINT_OBJECT_REMOVED: ObjectRemoved(object); break;
    case HINT_OPEN_OBJECT: OpenObject(object); break;
    case HINT_OBJECT_CHANGED:
      if (TreeItem item = FindItemByObject(object)) SetText(item, object->GetName());
      break;
    case HINT_REBUILD_TREE: Rebuild(object); break;
    default: break;
  }
}

void CTreePresenter::ShowObject(CProjectObject* object) {
  if (!CProjectObject::IsValidObject(object)) return;
  if (TreeItem item = FindItemByObject(object)) {
    m_widget.SelectItem(item);
    return;
  }
  TreeItem selected = m_widget.GetSelection();
  CProjectObject* selectedObject = ObjectOf(selected);
  if (!selectedObject || object->GetParent() != selectedObject) return;
  const ObjectRef ref(object);
  // An item without an expand button (a project with documents but no device) gets its
  // children here: expanding it would not ask for them.
  if (!m_widget.GetFirstChild(selected)) FillChildren(selected);
  if (!ref.IsValid()) return;
  m_widget.Expand(selected);
  if (!ref.IsValid()) return;
  if (TreeItem found = FindItemByClassAndName(object->ClassName(), object->GetName(), selected))
    m_widget.SelectItem(found);
}

void CTreePresenter::ObjectAdded(CProjectObject* object) {
  if (!CProjectObject::IsValidObject(object) || FindItemByObject(object)) return;
  if (CProjectObject* parent = object->GetParent()) {
    const bool shown = object->IsShownInTree();
    // Made below the selected object (a screen through its device's "Neu...", a picture
    // through the resources folder's): the folder it went into is shown, opened on the
    // way where it was closed, and the list selects the new object there.
    CProjectObject* selected = GetSelectedObject();
    bool below = false;
    for (CProjectObject* o = parent->GetParent(); o && selected && !below; o = o->GetParent()) below = o == selected;
    if (!shown && !below) return;
    const ObjectRef ref(object);
    TreeItem parentItem = FindItemByObject(parent);
    if (!parentItem && below) parentItem = OpenWayTo(*parent);
    if (!parentItem || !ref.IsValid()) return;
    if (shown) {
      if (!FindItemByObject(object)) InsertObjectItem(*object, parentItem);
      // A new object is seen where it was made: a closed parent opens (its children
      // filled anew, the new one with them) rather than hiding it.
      if (!m_widget.IsExpanded(parentItem)) m_widget.Expand(parentItem);
    }
    if (below) m_widget.SelectItem(parentItem);
    return;
  }
  // A new top-level folder or project (a project inside a folder whose item is not
  // shown has a parent and stays out of the top level).
  const char* cls = object->ClassName();
  if (m_doc.IsRoot(object) || std::strcmp(cls, "CPOProject") == 0 || std::strcmp(cls, "CPOPrjFolder") == 0)
    InsertObjectItem(*object, nullptr);
}

// The item of an object below the selected one that has none yet: the items from the
// selected one down are opened, each filled as an expansion fills it. nullptr when
// there is no way.
TreeItem CTreePresenter::OpenWayTo(CProjectObject& object) {
  std::vector<ObjectRef> way;   // the object first, up to the selected object's child
  TreeItem item = nullptr;
  for (CProjectObject* o = &object; o && !item; o = o->GetParent()) {
    if (!o->IsShownInTree()) return nullptr;
    item = FindItemByObject(o);
    if (!item) way.emplace_back(o);
  }
  if (!item) return nullptr;
  for (auto step = way.rbegin(); step != way.rend(); ++step) {
    if (!m_widget.IsExpanded(item)) {
      // An item that had nothing to show gets something to open.
      if (!m_widget.GetFirstChild(item)) AddItem(item, kPlaceholderText, kPlaceholderImage, 0);
      m_widget.Expand(item);
    }
    CProjectObject* next = step->Get();
    if (!next) return nullptr;
    TreeItem nextItem = FindItemByObject(next);
    // Open already but read again since it opened: the item it lacks is added.
    if (!nextItem && m_widget.IsExpanded(item) && next->GetParent() == ObjectOf(item))
      nextItem = InsertObjectItem(*next, item);
    if (!nextItem) return nullptr;
    item = nextItem;
  }
  return item;
}

// Children that a reload in this action added (the list reading a stale folder, a paste
// reading its holder) join the items of their open parents once the action is over:
// only hints announce new objects, and a reload sends none.
void CTreePresenter::AddLoadedLater() {
  if (m_addLoadedDue) return;
  m_addLoadedDue = true;
  live::AtScopeEnd([this, alive = std::weak_ptr<bool>(m_alive)] {
    if (!alive.lock()) return;
    m_addLoadedDue = false;
    for (const ObjectSerial serial : childloads::LoadedInThisAction()) {
      CProjectObject* object = CProjectObject::FromSerial(serial);
      TreeItem item = object ? m_itemOf.Find(serial) : nullptr;
      if (!item || !m_widget.IsExpanded(item)) continue;
      std::vector<CProjectObject*> missing;
      for (CProjectObject* child : object->GetChildren())
        if (CProjectObject::IsValidObject(child) && child->IsShownInTree() && !FindChild(item, child))
          missing.push_back(child);
      if (missing.empty()) continue;
      TreeItem first = m_widget.GetFirstChild(item);
      if (first && m_widget.GetItemSerial(first) == 0) RemoveItem(first);
      for (CProjectObject* child : missing) InsertObjectItem(*child, item);
    }
  });
}

void CTreePresenter::ObjectRemoved(CProjectObject* object) {
  if (!CProjectObject::IsValidObject(object)) return;
  if (TreeItem item = FindItemByObject(object)) DropItem(item);
  // The parent may now be an empty grouping folder: it is looked at once this hint is over.
  // Many children of one parent go in a row: the parent is noted once.
  if (CProjectObject* parent = object->GetParent();
      parent && (m_pendingParents.empty() || m_pendingParents.back().Get() != parent))
    m_pendingParents.push_back(ObjectRef(parent));
  const bool wasDue = m_postRemovalDue;
  m_postRemovalDue = true;
  if (!wasDue && schedulePendingRemovals) schedulePendingRemovals();
}

void CTreePresenter::RunPendingRemovals() {
  DispatchScope scope;
  for (std::size_t next = 0; next < m_pendingParents.size(); ++next) {
    // The list may grow meanwhile: a copy, not a reference.
    const ObjectRef ref = m_pendingParents[next];
    CProjectObject* parent = ref.Get();
    if (!parent || !parent->HasNoChildren() || parent->KeepWhenEmpty()) continue;
    CProjectObject* grandParent = parent->GetParent();
    TreeItem item = FindItemByObject(parent);
    if (!grandParent || !item) continue;
    DropItem(item);
    // Announces hint 3 for the folder, which queues the grandparent in turn.
    if (CProjectObject* still = ref.Get()) still->GetParent()->RemoveChild(still);
  }
  m_pendingParents.clear();
  m_postRemovalDue = false;
  if (IsEmpty()) m_doc.UpdateAllViews(this, HINT_SHOW_OBJECT, nullptr);
}

void CTreePresenter::OpenObject(CProjectObject* object) {
  if (!CProjectObject::IsValidObject(object)) return;
  CProjectObject* parent = object->GetParent();
  TreeItem parentItem = parent ? FindItemByObject(parent) : nullptr;
  if (!parentItem) return;
  const ObjectRef ref(object);
  m_widget.Expand(parentItem);
  if (!ref.IsValid()) return;
  if (TreeItem found = FindItemByClassAndName(object->ClassName(), object->GetName(), parentItem))
    m_widget.SelectItem(found);
}

void CTreePresenter::Rebuild(CProjectObject* object) {
  TreeItem selected = m_widget.GetSelection();
  const ObjectRef remembered = selected ? ObjectRef(m_widget.GetItemSerial(selected)) : ObjectRef(object);
  m_widget.SetRedraw(false);
  ++m_rebuildDepth;
  RemoveAllItems();
  for (CProjectObject* root : m_doc.GetRoots()) {
    if (!CProjectObject::IsValidObject(root)) continue;
    TreeItem item = InsertObjectItem(*root, nullptr);
    if (root->GetExpanded()) {
      m_widget.Expand(item);
      if (CProjectObject::IsValidObject(root)) RestoreExpanded(*root, item);
    }
  }
  m_widget.SetRedraw(true);
  if (m_rebuildDepth > 0) --m_rebuildDepth;
  if (CProjectObject* again = remembered.Get())
    if (TreeItem item = FindItemByObject(again)) m_widget.SelectItem(item);
}

// --- context menu ---

CTreePresenter::MenuChoice CTreePresenter::PrepareContextMenu(TreeItem hit) {
  DispatchScope scope;
  MenuChoice choice;
  m_emptyAreaMenu = FALSE;
  TreeItem target = hit ? hit : m_widget.GetSelection();
  if (!target || m_widget.GetItemSerial(target) == 0) {
    choice.menu = LoadContextMenu(IDR_MENU_NEW_PASTE_EMPTY);
    choice.emptyArea = true;
    m_widget.SelectItem(nullptr);
    // Set before the menu shows: its commands run while it is up.
    m_emptyAreaMenu = TRUE;
    return choice;
  }
  CProjectObject* object = ObjectOf(target);
  if (!object) return choice;
  const ObjectRef ref(object);
  if (object->GetTypeCode() == TypeCode::ResString && saveListLayout) saveListLayout(*object);
  if (!ref.IsValid()) return choice;
  std::optional<CMenu> menu = LoadContextMenu(static_cast<UINT>(object->GetContextMenuId()));
  if (!menu) return choice;
  object->AdjustContextMenu(*menu);
  if (ref.IsValid()) choice.menu = std::move(menu);
  return choice;
}

// --- commands ---

BOOL CTreePresenter::OnCmdMsg(UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) {
  if (code != CN_COMMAND && code != CN_UPDATE_COMMAND_UI) return CCmdTarget::OnCmdMsg(id, code, ui, probe);
  DispatchScope scope;
  // On an empty tree "&Importieren..." is the tree's own: the project folder that stands
  // in for the empty selection would file the project away without showing it.
  if (id == ID_IMPORT && IsEmpty() && CCmdTarget::OnCmdMsg(id, code, ui, probe)) return TRUE;
  TreeItem selected = m_widget.GetSelection();
  std::optional<ObjectRef> target;
  if (selected) target = ObjectRef(m_widget.GetItemSerial(selected));
  if (RouteTreeRequest(target, m_doc, id, code, ui, probe)) return TRUE;
  return CCmdTarget::OnCmdMsg(id, code, ui, probe);
}

void CTreePresenter::OnNewObject() {
  DispatchScope scope;
  std::unique_ptr<CProjectObject> prototype = CProjectObject::CreateObjectOfType(TypeCode::PrjFolder);
  if (!prototype) return;
  prototype->CreateNew(GetSelectedObject(), nullptr, nullptr);
  CProjectObject::Discard(std::move(prototype));
}

void CTreePresenter::OnImport() {
  DispatchScope scope;
  if (!IsEmpty()) return;
  // A temporary project runs the import from no source; the imported project joins the
  // document's roots.
  CPOProject temporary;
  if (!temporary.ImportProject(wxString())) return;
  if (TreeItem first = m_widget.GetFirstChild(nullptr)) m_widget.SelectItem(first);
}

void CTreePresenter::OnUpdateNewObject(CCmdUI* ui) {
  if (IsEmpty()) {
    ui->Enable(TRUE);
    return;
  }
  // A selected object that has no handler of its own leaves the command disabled:
  // the tree's own would make a top-level project folder instead.
  if (CProjectObject* object = GetSelectedObject(); object && !object->HasCommandHandler(ui->m_nID)) {
    ui->Enable(FALSE);
    return;
  }
  ui->ContinueRouting();
}

void CTreePresenter::OnExpandAll() {
  DispatchScope scope;
  CProjectObject* object = GetSelectedObject();
  if (!object) return;
  ExpandSubtree(*object);
  m_doc.UpdateAllViews(nullptr, HINT_REBUILD_TREE, nullptr);
}

void CTreePresenter::OnUpdateExpandAll(CCmdUI* ui) { ui->Enable(TRUE); }

// --- clipboard ---

void CTreePresenter::OnEditCopy() { TreeCopy(m_lastSelected); }

void CTreePresenter::OnUpdateEditCopy(CCmdUI* ui) { ui->Enable(TreeCanCopy(m_lastSelected)); }

void CTreePresenter::OnEditCut() { TreeCut(m_lastSelected); }

void CTreePresenter::OnEditPaste() { TreePaste(m_lastSelected, m_emptyAreaMenu != FALSE); }

void CTreePresenter::OnUpdateEditPaste(CCmdUI* ui) {
  if (!TreeCanPaste(m_lastSelected, m_emptyAreaMenu != FALSE)) ui->Enable(FALSE);
}
