#pragma once
// Turns the core menus (CMenu) into toolkit menus.
#include <vector>
#include <wx/accel.h>
#include <wx/menu.h>

#include "framework/MenuModel.h"

// The toolkit takes menu ids below 0x7FFF only; the program's command ids go up to
// 0xE000. Each command gets a toolkit id of its own (small ones keep theirs).
int ToolkitId(UINT command);
// The command of a toolkit id; ids that no command was given come back unchanged.
UINT CommandOfToolkitId(int id);

// A new toolkit menu with the items, states and submenus of `menu`.
wxMenu* BuildWxMenu(const CMenu& menu);
// Every popup of `bar` as one menu of the menu bar.
wxMenuBar* BuildWxMenuBar(const CMenu& bar);
// The accelerators written after the tab of the menu's texts.
std::vector<wxAcceleratorEntry> AcceleratorsOf(const CMenu& menu);
// Appends (or inserts at `pos`) one model item to a toolkit menu.
void AddWxMenuItem(wxMenu& target, const CMenu::Item& item, int pos = -1);
