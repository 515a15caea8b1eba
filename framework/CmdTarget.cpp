#include "framework/CmdTarget.h"

const CmdMap& CCmdTarget::ClassCommandMap() {
  static const CmdMapEntry kEntries[] = {CmdMapEntry{}};
  static const CmdMap kMap{nullptr, kEntries};
  return kMap;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) {
  if (code != CN_COMMAND && code != CN_UPDATE_COMMAND_UI) return FALSE;
  for (const CmdMap* map = GetCommandMap(); map; map = map->base) {
    for (const CmdMapEntry* e = map->entries; !e->IsEnd(); ++e) {
      if (!e->Covers(id)) continue;
      if (code == CN_COMMAND && e->handler) {
        if (probe) {
          probe->target = this;
          return TRUE;
        }
        return e->handler(*this, id);
      }
      if (code == CN_UPDATE_COMMAND_UI && e->update && ui && !probe) {
        ui->m_bContinueRouting = FALSE;
        e->update(*this, *ui);
        return ui->m_bContinueRouting ? FALSE : TRUE;
      }
    }
  }
  return FALSE;
}

BOOL CCmdTarget::HasCommandHandler(UINT id) {
  CmdHandlerInfo info;
  return OnCmdMsg(id, CN_COMMAND, nullptr, &info);
}
