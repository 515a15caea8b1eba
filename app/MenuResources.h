#pragma once
// The menu resources of the program as data: the main window's menu bar and toolbar,
// and the context menus by resource id. Object classes whose context menu is not
// built in here register it once at start-up (RegisterContextMenu).
#include <optional>
#include <vector>
#include <wx/string.h>

#include "app/MenuModel.h"

// Context-menu resources the shell knows.
enum : UINT {
  IDR_MENU_NEW_PASTE_EMPTY = 434,   // "Neues Object", "Einfügen" (tree's empty area)
  IDR_MENU_NEW_PASTE = 470,         // "Neu...", "Einfügen"
  IDR_MENU_PASTE_PAL = 306,         // "Einfügen"
  IDR_MENU_PASTE_DOCS = 501,        // "Einfügen\tStrg+V"
  IDR_MENU_PRJFOLDER = 493,
  IDR_MENU_DEVICE = 484,
  IDR_MENU_PRJDEVICE = 314,
  IDR_MENU_RESOURCE_ITEM = 417,
};

// Registers (or replaces) the menu shown for a resource id: the popup itself, i.e.
// what was the resource's first submenu.
void RegisterContextMenu(UINT resourceId, CMenu popup);
// A copy of the popup for the resource id; nullopt when nobody registered one.
std::optional<CMenu> LoadContextMenu(UINT resourceId);

// The menu bar of the main window (resource 127).
CMenu BuildMainMenu();
// Position of "&Extras" in the menu bar.
constexpr int kExtrasMenuPos = 3;

struct ToolbarButton {
  UINT id = 0;          // 0: separator
  const char* art = ""; // the toolkit's stock art name
};
// The standard toolbar (resource 430), left to right.
std::vector<ToolbarButton> MainToolbarButtons();
