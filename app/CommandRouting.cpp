#include "app/CommandRouting.h"

#include "app/TavProjectDoc.h"
#include "framework/CommandIds.h"
#include "model/LongWork.h"
#include "model/ProjectObject.h"

namespace {

// Collects the answers of several objects to one update request: the command is
// enabled only when every object that answered enables it.
class SelectionCmdUI : public CCmdUI {
 public:
  explicit SelectionCmdUI(CCmdUI& real) : CCmdUI(real.m_nID), m_real(real) {}
  void Apply() {
    if (m_answered) m_real.Enable(m_allEnabled ? TRUE : FALSE);
  }

 protected:
  void DoEnable(BOOL on) override {
    m_answered = true;
    if (!on) m_allEnabled = false;
  }
  void DoSetCheck(int check) override { m_real.SetCheck(check); }
  void DoSetText(const wxString& text) override { m_real.SetText(text); }

 private:
  CCmdUI& m_real;
  bool m_answered = false;
  bool m_allEnabled = true;
};

bool AnyAliveAfter(std::span<const ObjectRef> selection, std::size_t i) {
  for (std::size_t j = i + 1; j < selection.size(); ++j)
    if (selection[j].IsValid()) return true;
  return false;
}

}  // namespace

BOOL RouteToObject(const ObjectRef& ref, UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) {
  DispatchScope scope;
  CProjectObject* object = ref.Get();
  if (!object) return FALSE;
  object->SetSelectionState(TRUE, TRUE, FALSE);
  return object->OnCmdMsg(id, code, ui, probe);
}

BOOL RouteToSelection(std::span<const ObjectRef> selection, UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) {
  DispatchScope scope;
  const BOOL several = selection.size() > 1 ? TRUE : FALSE;
  std::optional<SelectionCmdUI> combined;
  CCmdUI* target = ui;
  if (code == CN_UPDATE_COMMAND_UI && ui && several) {
    combined.emplace(*ui);
    target = &*combined;
  }

  BOOL handled = FALSE;
  bool first = true;
  // A command over many objects shows the wait cursor and progress; a delete may be
  // stopped between two objects (those deleted stay deleted, the others stay).
  std::optional<hv::LongWork> work;
  if (code == CN_COMMAND && !probe && several) {
    work.emplace(selection.size());
    if (id == ID_OBJECT_DELETE) work->AllowCancel();
  }
  for (std::size_t i = 0; i < selection.size(); ++i) {
    if (work) {
      work->Step();
      if (work->Cancelled()) break;
    }
    CProjectObject* object = selection[i].Get();
    if (!object) continue;   // removed by an earlier handler
    // "Last" is the last object still alive, so a handler acting once for the whole
    // selection still acts when the final row was removed meanwhile.
    object->SetSelectionState(first ? TRUE : FALSE, AnyAliveAfter(selection, i) ? FALSE : TRUE, several);
    first = false;
    if (target) target->m_bContinueRouting = FALSE;
    handled = object->OnCmdMsg(id, code, target, probe);
    if (!handled) break;
    CProjectObject* still = selection[i].Get();
    if (still && !still->IsMultipleSelection()) break;
  }
  if (combined) combined->Apply();
  return handled;
}

BOOL RouteToRootProxy(CTavProjectDoc& doc, UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) {
  DispatchScope scope;
  std::unique_ptr<CProjectObject> proxy = CProjectObject::CreateObjectOfType(TypeCode::PrjFolder);
  if (!proxy) return FALSE;
  proxy->MakeRootProxy(&doc);
  proxy->SetSelectionState(TRUE, TRUE, FALSE);
  const BOOL handled = proxy->OnCmdMsg(id, code, ui, probe);
  if (probe) probe->target = nullptr;
  CProjectObject::Discard(std::move(proxy));
  return handled;
}

BOOL RouteTreeRequest(const std::optional<ObjectRef>& selected, CTavProjectDoc& doc, UINT id, int code, CCmdUI* ui,
                      CmdHandlerInfo* probe) {
  if (code != CN_COMMAND && code != CN_UPDATE_COMMAND_UI) return FALSE;
  if (selected) return RouteToObject(*selected, id, code, ui, probe);
  return RouteToRootProxy(doc, id, code, ui, probe);
}

BOOL RouteListRequest(std::span<const ObjectRef> selection, const ObjectRef& listed, UINT id, int code, CCmdUI* ui,
                      CmdHandlerInfo* probe) {
  if (code != CN_COMMAND && code != CN_UPDATE_COMMAND_UI) return FALSE;
  if (selection.empty()) return RouteToObject(listed, id, code, ui, probe);
  return RouteToSelection(selection, id, code, ui, probe);
}

CommandRoute& CommandRoute::Add(CmdRouteStep step) {
  if (step) m_steps.push_back(std::move(step));
  return *this;
}

CommandRoute& CommandRoute::Add(CCmdTarget& target) {
  CCmdTarget* t = &target;
  m_steps.push_back([t](UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) { return t->OnCmdMsg(id, code, ui, probe); });
  return *this;
}

BOOL CommandRoute::Route(UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) const {
  DispatchScope scope;
  for (const CmdRouteStep& step : m_steps) {
    if (ui) ui->m_bContinueRouting = FALSE;
    if (step(id, code, ui, probe)) return TRUE;
  }
  return FALSE;
}

BOOL CommandRoute::HasHandler(UINT id) const {
  CmdHandlerInfo info;
  return Route(id, CN_COMMAND, nullptr, &info);
}

void CommandRoute::Update(CCmdUI& ui) const {
  DispatchScope scope;
  ui.m_bEnableChanged = FALSE;
  Route(ui.m_nID, CN_UPDATE_COMMAND_UI, &ui, nullptr);
  if (!ui.m_bEnableChanged) ui.Enable(HasHandler(ui.m_nID));
}

BOOL CommandRoute::IsEnabled(UINT id) const {
  CRecordingCmdUI ui(id);
  Update(ui);
  return ui.enabled ? TRUE : FALSE;
}

namespace {
std::uint64_t g_executed = 0;
}  // namespace

std::uint64_t CommandRoute::ExecutedCount() { return g_executed; }

BOOL CommandRoute::Execute(UINT id) const {
  DispatchScope scope;
  if (!IsEnabled(id)) return FALSE;
  ++g_executed;
  const BOOL handled = Route(id, CN_COMMAND, nullptr, nullptr);
  ++g_executed;
  return handled;
}
