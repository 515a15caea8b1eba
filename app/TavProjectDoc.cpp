#include "app/TavProjectDoc.h"

#include <algorithm>

#include "model/LongWork.h"
#include "model/ProjectObject.h"

BEGIN_COMMAND_MAP(CTavProjectDoc, CCmdTarget)
  ON_COMMAND(ID_VIEW_REFRESH, OnRefresh)
END_COMMAND_MAP()

CTavProjectDoc::CTavProjectDoc() { CProjectObject::SetActiveDocument(this); }

CTavProjectDoc::~CTavProjectDoc() {
  // The views are going too: the roots leave without hints.
  m_views.clear();
  {
    DispatchScope scope;
    for (auto& root : m_roots) CProjectObject::Discard(std::move(root));
    m_roots.clear();
  }
  if (m_source && m_opened) m_source->Close();
  if (CProjectObject::GetActiveDocument() == this) CProjectObject::SetActiveDocument(nullptr);
}

void CTavProjectDoc::AddView(IProjectView* view) {
  if (view && std::find(m_views.begin(), m_views.end(), view) == m_views.end()) m_views.push_back(view);
}

void CTavProjectDoc::RemoveView(IProjectView* view) {
  m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void CTavProjectDoc::UpdateAllViews(IProjectView* sender, int hint, CProjectObject* object) {
  DispatchScope scope;
  // A view may go away while another handles the hint: walk a copy, ask before each.
  const std::vector<IProjectView*> views = m_views;
  for (IProjectView* view : views) {
    if (view == sender) continue;
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end()) continue;
    view->OnUpdate(sender, hint, object);
  }
}

BOOL CTavProjectDoc::RouteCmdToViews(IProjectView* sender, UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) {
  const std::vector<IProjectView*> views = m_views;
  for (IProjectView* view : views)
    if (view != sender && view->OnCmdMsg(id, code, ui, probe)) return TRUE;
  return FALSE;
}

std::vector<CProjectObject*> CTavProjectDoc::GetRoots() const {
  std::vector<CProjectObject*> out;
  out.reserve(m_roots.size());
  for (const auto& root : m_roots) out.push_back(root.get());
  return out;
}

bool CTavProjectDoc::IsRoot(const CProjectObject* object) const {
  return object && std::any_of(m_roots.begin(), m_roots.end(),
                               [object](const std::unique_ptr<CProjectObject>& r) { return r.get() == object; });
}

CProjectObject* CTavProjectDoc::AddRoot(std::unique_ptr<CProjectObject> object) {
  if (!object) return nullptr;
  object->m_parent = nullptr;
  m_roots.push_back(std::move(object));
  return m_roots.back().get();
}

BOOL CTavProjectDoc::RemoveObject(CProjectObject* object) {
  auto it = std::find_if(m_roots.begin(), m_roots.end(),
                         [object](const std::unique_ptr<CProjectObject>& r) { return r.get() == object; });
  if (!object || it == m_roots.end()) return FALSE;
  DispatchScope scope;
  std::unique_ptr<CProjectObject> owned = std::move(*it);
  m_roots.erase(it);
  CProjectObject::Dispose(std::move(owned));
  return TRUE;
}

void CTavProjectDoc::SetProjectListSource(std::unique_ptr<IProjectListSource> source) {
  m_source = std::move(source);
  m_opened = false;
}

BOOL CTavProjectDoc::OnNewDocument() {
  if (!m_source) return FALSE;
  DispatchScope scope;
  if (!m_source->Open(*this)) return FALSE;
  m_opened = true;
  return LoadProjectList();
}

BOOL CTavProjectDoc::LoadProjectList() {
  if (!m_source) return FALSE;
  DispatchScope scope;
  return m_source->LoadRoots(*this);
}

void CTavProjectDoc::OnRefresh() {
  DispatchScope scope;
  // Everything shown is read again.
  hv::LongWork work;
  work.Busy();
  LoadProjectList();
  UpdateAllViews(nullptr, HINT_REBUILD_TREE, nullptr);
}
