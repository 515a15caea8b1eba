#pragma once
// The menu resources of the program as data: the main window's menu bar and toolbar,
// and the context menus by resource id. Object classes whose context menu is not
// built in here register it once at start-up (RegisterContextMenu).
#include <optional>
#include <vector>
#include <wx/string.h>

#include "framework/MenuModel.h"

// Context-menu resources. Each object class names its menu by GetContextMenuId; a menu
// lists only commands that some object class or the shell runs (the routing disables
// what the object at hand cannot do).
enum : UINT {
  IDR_MENU_NEW_PASTE_EMPTY = 434,   // "Neues Object", "Einfügen" (tree's empty area)
  IDR_MENU_NEW_PASTE = 470,         // "Neu...", "Einfügen"
  IDR_MENU_PASTE_PAL = 306,         // "Einfügen"
  IDR_MENU_PASTE_DOCS = 501,        // "Einfügen\tStrg+V"
  IDR_MENU_PRJFOLDER = 493,
  IDR_MENU_DEVICE = 484,
  IDR_MENU_PRJDEVICE = 314,
  IDR_MENU_RESOURCE_ITEM = 417,     // screens, bitmaps, menus, keypad pictures
  IDR_MENU_PROJECT = 461,
  IDR_MENU_SIMPLE = 436,            // the shared menu of simple objects
  IDR_MENU_DIRECT_DP = 435,         // direct data points
  ID_READ_VALUE = 32816,            // "Neuen &Wert lesen"
  IDR_MENU_DOC = 500,
  IDR_MENU_HTML = 311,
  IDR_MENU_HTML_FOLDER = 312,
  IDR_MENU_KEYPAD_XML = 332,
  IDR_MENU_FONT = 338,
  IDR_MENU_PRG_CODESYS = 499,
  IDR_MENU_DATALOGER = 257,
  IDR_MENU_ALARMDEF = 303,
  IDR_MENU_PROGRIPS = 304,
  IDR_MENU_PAL = 305,
  IDR_MENU_RES_KEYPAD = 331,
  IDR_MENU_RECIPEDEF = 440,
  IDR_MENU_RECIPE = 442,
  IDR_MENU_RESOURCE = 443,
  IDR_MENU_RES_STRING = 466,
  IDR_MENU_CODESYS = 483,
  IDR_MENU_TAVSIM = 488,
  IDR_MENU_TAVGRAPH = 490,
};

// Registers (or replaces) the menu shown for a resource id: the popup itself, i.e.
// what was the resource's first submenu.
void RegisterContextMenu(UINT resourceId, CMenu popup);
// A copy of the popup for the resource id; nullopt when nobody registered one.
std::optional<CMenu> LoadContextMenu(UINT resourceId);
// The ids of every registered context menu, ascending.
std::vector<UINT> ContextMenuIds();

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

// A menu text in the language in use (texts that are not the program's own, such as
// tool names, stay as they are).
wxString LocalMenuText(const wxString& german);
// The status bar's prompt while the command's menu entry or button is highlighted;
// empty when the command has none.
wxString CommandPrompt(UINT id);
// Every menu text and prompt with its number and German text.
std::vector<std::pair<UINT, wxString>> MenuAndPromptTexts();
