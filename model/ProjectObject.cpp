#include "model/ProjectObject.h"

#include <algorithm>

#include "framework/LocalTables.h"
#include "model/ProjectDocument.h"
#include "framework/UpdateHints.h"
#include "platform/Codec.h"

namespace {

hv::IProjectDocument* g_activeDocument = nullptr;

void CollectSubtree(CProjectObject* object, std::vector<CProjectObject*>& out) {
  out.push_back(object);
  for (CProjectObject* child : object->GetChildren()) CollectSubtree(child, out);
}

}  // namespace

BEGIN_COMMAND_MAP(CProjectObject, CCmdTarget)
  ON_COMMAND(ID_OBJECT_NEW, OnNew)
  ON_UPDATE_COMMAND_UI(ID_OBJECT_EDIT, OnUpdateEditCommands)
  ON_UPDATE_COMMAND_UI(ID_OBJECT_NEW_COPY, OnUpdateEditCommands)
  ON_UPDATE_COMMAND_UI(ID_OBJECT_LOGID, OnUpdateEditCommands)
END_COMMAND_MAP()

CProjectObject::CProjectObject() : m_serial(live::Register(this)) {}

void CProjectObject::InitPlaced(CProjectObject* parent) {
  m_parent = parent;
  m_firstOfSelection = true;
  m_lastOfSelection = true;
}

CProjectObject::Rare& CProjectObject::MakeRare() {
  if (!m_rare) m_rare = std::make_unique<Rare>();
  return *m_rare;
}

const wxString& CProjectObject::GetParentFolderKey() const {
  static const wxString none;
  return m_rare ? m_rare->parentFolderKey : none;
}

CProjectObject::~CProjectObject() {
  // Children still registered here were never removed (a prototype, a temporary, or
  // the document's end): they go with their parent without hints.
  live::Unregister(this);
  m_children.reset();
}

// --- children ---

CProjectObject* CProjectObject::GetFirstChild(POSITION& pos) const {
  pos = 0;
  return GetNextChild(pos);
}

const CProjectObject::Children& CProjectObject::Kids() const {
  static const Children none;
  return m_children ? *m_children : none;
}

CProjectObject* CProjectObject::GetNextChild(POSITION& pos) const {
  const Children& children = Kids();
  while (pos < children.size() && !children[pos]) ++pos;   // a removed child's place
  if (pos >= children.size()) {
    pos = 0;
    return nullptr;
  }
  return children[pos++].get();
}

std::vector<CProjectObject*> CProjectObject::GetChildren() const {
  std::vector<CProjectObject*> out;
  out.reserve(GetChildCount());
  for (const auto& child : Kids())
    if (child) out.push_back(child.get());
  return out;
}

CProjectObject* CProjectObject::FindChildOfType(TypeCode code) const {
  for (const auto& child : Kids())
    if (child && child->GetTypeCode() == code) return child.get();
  return nullptr;
}

BOOL CProjectObject::RemoveChild(CProjectObject* child) {
  if (!m_hasChildList) return TRUE;
  if (!m_children || !child) return FALSE;
  Children& kids = *m_children;
  // Each child knows its place: removing many children one by one stays linear.
  std::size_t at = child->m_place;
  if (at >= kids.size() || kids[at].get() != child) {
    auto it = std::find_if(kids.begin(), kids.end(),
                           [child](const std::unique_ptr<CProjectObject>& c) { return c.get() == child; });
    if (it == kids.end()) return FALSE;
    at = static_cast<std::size_t>(it - kids.begin());
  }
  DispatchScope scope;
  std::unique_ptr<CProjectObject> owned = std::move(kids[at]);
  // The place stays empty until half the list is such places; then the list closes up
  // in one pass.
  ++m_emptyPlaces;
  if (m_emptyPlaces * 2 > kids.size()) CloseUp();
  Dispose(std::move(owned));
  return TRUE;
}

void CProjectObject::CloseUp() {
  if (!m_children) return;
  Children& kids = *m_children;
  std::size_t to = 0;
  for (std::size_t from = 0; from < kids.size(); ++from) {
    if (!kids[from]) continue;
    if (to != from) kids[to] = std::move(kids[from]);
    kids[to]->m_place = static_cast<std::uint32_t>(to);
    ++to;
  }
  kids.resize(to);
  m_emptyPlaces = 0;
}

void CProjectObject::DeleteAllChildren() {
  DispatchScope scope;
  for (auto& child : TakeChildren()) Dispose(std::move(child));
}

std::vector<std::unique_ptr<CProjectObject>> CProjectObject::TakeChildren() {
  std::vector<std::unique_ptr<CProjectObject>> out;
  CloseUp();
  if (m_children) out.swap(*m_children);
  return out;
}

CProjectObject* CProjectObject::CopyBaseFrom(const CProjectObject& source) {
  m_name = source.m_name;
  m_level = source.m_level;
  m_parent = source.m_parent;
  m_project = source.m_project;
  m_device = source.m_device;
  return this;
}

void CProjectObject::Dispose(std::unique_ptr<CProjectObject> object) {
  if (!object) return;
  DispatchScope scope;
  std::vector<CProjectObject*> subtree;
  CollectSubtree(object.get(), subtree);
  // A view may remove one of these itself while it handles the hint: skip it then.
  for (CProjectObject* node : subtree)
    if (live::IsRegistered(node)) UpdateAllViews(HINT_OBJECT_REMOVED, node);
  for (CProjectObject* node : subtree) live::Unregister(node);
  live::QueueForDeletion(std::move(object));
}

void CProjectObject::Discard(std::unique_ptr<CProjectObject> object) {
  if (!object) return;
  std::vector<CProjectObject*> subtree;
  CollectSubtree(object.get(), subtree);
  for (CProjectObject* node : subtree) live::Unregister(node);
  live::QueueForDeletion(std::move(object));
}

// --- document ---

hv::IProjectDocument* CProjectObject::GetActiveDocument() { return g_activeDocument; }

void CProjectObject::SetActiveDocument(hv::IProjectDocument* document) { g_activeDocument = document; }

void CProjectObject::UpdateAllViews(int hint, CProjectObject* object) {
  if (hv::IProjectDocument* doc = GetActiveDocument()) doc->BroadcastHint(hint, object);
}

// --- archive ---

void CProjectObject::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    // A name that Windows-1252 cannot hold travels wide rather than mangled.
    ar.WriteString(m_name, IsUnicodeName() || !hv::FitsCp1252(m_name));
  } else {
    m_name = ar.ReadString();
  }
}

// --- defaults of the operations ---

CPOProject* CProjectObject::GetProject() { return m_project; }

BOOL CProjectObject::IsUnicodeName() { return FALSE; }

CProjectObject* CProjectObject::AddChild(std::unique_ptr<CProjectObject> child) {
  if (!child) return nullptr;
  if (IsRootProxy()) return m_rare->rootProxyOf->AddRoot(std::move(child));
  child->m_parent = this;
  child->m_project = GetProject();
  if (m_device) child->m_device = m_device;
  m_hasChildList = true;
  if (!m_children) m_children = std::make_unique<Children>();
  child->m_place = static_cast<std::uint32_t>(m_children->size());
  m_children->push_back(std::move(child));
  return m_children->back().get();
}

BOOL CProjectObject::HasTreeChildren() { return TRUE; }

int CProjectObject::Compare(const CProjectObject* other, int column) {
  if (!other || column != 0) return 0;
  return m_name.CmpNoCase(other->m_name);
}

BOOL CProjectObject::WriteToClipboard(CArchive&) { return TRUE; }
BOOL CProjectObject::Cut(CArchive&) { return TRUE; }
BOOL CProjectObject::Delete() { return TRUE; }
BOOL CProjectObject::Edit() { return FALSE; }

wxString CProjectObject::GetClipboardFormatName() { return wxS("POCT") + TypeCodeHex(GetTypeCode()); }

wxString CProjectObject::GetColumnText(int column) { return column == 0 ? m_name : wxString(); }

int CProjectObject::AddImageToList(CImageList&, int) { return 0; }
// The class table gives each kind its pictures and context menu.
int CProjectObject::GetImage() {
  const PO_CLASSES* row = FindObjectClass(ToUInt(GetTypeCode()));
  return row ? static_cast<int>(row->image) : 0;
}
std::span<ColumnDef> CProjectObject::GetColumnDefs() { return GetColumnDefsOf(ColumnTableId::Default); }
int CProjectObject::GetSelectedImage() {
  const PO_CLASSES* row = FindObjectClass(ToUInt(GetTypeCode()));
  return row ? static_cast<int>(row->selectedImage) : 0;
}
int CProjectObject::GetContextMenuId() {
  const PO_CLASSES* row = FindObjectClass(ToUInt(GetTypeCode()));
  return static_cast<int>(row ? row->contextMenu : kDefaultContextMenu);
}
TypeCode CProjectObject::GetTypeCode() { return TypeCode::None; }
BOOL CProjectObject::HasListChildren() { return FALSE; }
BOOL CProjectObject::KeepWhenEmpty() { return TRUE; }
BOOL CProjectObject::IsShownInTree() { return TRUE; }
BOOL CProjectObject::LoadChildren() { return TRUE; }
BOOL CProjectObject::QueryClipboardFiles() { return FALSE; }
BOOL CProjectObject::PasteClipboardFiles() { return FALSE; }
BOOL CProjectObject::CreateNew(CProjectObject*, CPOPrjDevice*, const CProjectObject*) { return FALSE; }
void CProjectObject::OnColumnDblClick(int) {}
void CProjectObject::AdjustContextMenu(CMenu&) {}
BOOL CProjectObject::ReadFromClipboard(CArchive&, CProjectObject*) { return TRUE; }
BOOL CProjectObject::IsStale() { return FALSE; }
wxString CProjectObject::GetListCaption() { return wxString(); }
BOOL CProjectObject::IsPasteTarget() { return FALSE; }
BOOL CProjectObject::HasClipboardSupport() { return FALSE; }

// --- commands ---

void CProjectObject::OnUpdateEditCommands(CCmdUI* pCmdUI) {
  if (!m_multipleSelection) {
    pCmdUI->ContinueRouting();
    return;
  }
  pCmdUI->Enable(FALSE);
  m_multipleSelection = false;
}
