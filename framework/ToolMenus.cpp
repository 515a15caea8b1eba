#include "framework/ToolMenus.h"

namespace {

int ReplacePlaceholder(CMenu& menu, const wxString& placeholder, const std::vector<CToolMenuEntry>& entries) {
  const int pos = menu.FindItemPosByText(placeholder);
  if (pos < 0) return 0;
  menu.RemoveMenu(pos);
  int at = pos;
  for (const CToolMenuEntry& entry : entries) menu.InsertMenu(at++, static_cast<UINT>(entry.id), entry.text);
  return static_cast<int>(entries.size());
}

}  // namespace

int InsertMainMenuTools(CMenu& menu, CToolsRepository& tools) {
  if (menu.FindItemPosByText(kMainToolPlaceholder) < 0) return 0;
  return ReplacePlaceholder(menu, kMainToolPlaceholder, tools.ListMainMenuTools());
}
