#pragma once
// Command ids of the main window's menus, toolbar and context menus that the shell
// itself serves or routes. The object commands of the base class (32771 "&Neu...",
// 32772, 32789, 32815) are in model/ProjectObject.h, 32788 "&Aktualisieren" in
// app/TavProjectDoc.h.
#include "platform/Types.h"

enum : UINT {
  // Objects
  ID_OBJECT_DELETE = 32773,        // "&Löschen"
  ID_NEW_OBJECT = 32787,           // "Neues Object"
  ID_IMPORT = 32794,               // "&Importieren..."
  ID_BACKUP = 32899,               // "Sicherung"
  ID_RESTORE = 32900,              // "&Wiederherstellung"
  ID_EXPAND_ALL = 32907,           // "E&rweitern"
  ID_DEVICE_TOOL_MARKER = 32898,   // "<ToolPopup1>" of a device's context menu
  ID_EXPORT_DATA_POINTS = 32870,   // "Datenpunkte exportieren..." of a project
  ID_DOWNLOAD_PROJECT = 32927,     // download of a whole project
  ID_IMPORT_CODESYS = 32917,       // a CoDeSys project file into a device

  // Edit
  ID_EDIT_COPY = 57634,
  ID_EDIT_CUT = 57635,
  ID_EDIT_PASTE = 57637,
  ID_EDIT_SELECT_ALL = 57642,
  ID_EDIT_INVERT_SELECTION = 32808,

  // File
  ID_FILE_PRINT_SETUP = 57606,
  ID_FILE_PRINT = 57607,
  ID_FILE_PRINT_PREVIEW = 57609,
  ID_APP_EXIT = 57665,

  // View
  ID_VIEW_LARGEICON = 32776,
  ID_VIEW_SMALLICON = 32777,
  ID_VIEW_DETAILS = 32779,
  ID_VIEW_LIST = 59410,
  ID_VIEW_CUSTOMIZE = 421,
  ID_VIEW_APPLOOK_WIN_2000 = 310,
  ID_VIEW_APPLOOK_OFF_XP = 311,
  ID_VIEW_APPLOOK_WIN_XP = 312,
  ID_VIEW_APPLOOK_OFF_2003 = 313,
  ID_VIEW_APPLOOK_VS_2005 = 314,
  ID_VIEW_APPLOOK_OFF_2007_BLUE = 315,
  ID_VIEW_APPLOOK_OFF_2007_BLACK = 316,
  ID_VIEW_APPLOOK_OFF_2007_SILVER = 317,
  ID_VIEW_APPLOOK_OFF_2007_AQUA = 318,

  // Extras
  ID_SETTINGS = 32790,
  ID_SELECT_LANGUAGE = 32823,
  ID_VERSION_CONTROL = 32804,
  ID_VERSION_SWITCH = 32854,
  ID_TOOL_MENU_MARKER = 40100 + 1000,   // "<ToolMenu1>" in the "&Extras" menu

  // Help
  ID_APP_ABOUT = 57664,
  ID_HELP_INDEX = 57666,
  ID_HELP_FINDER = 57667,
  ID_CONTEXT_HELP = 57669,
  ID_HELP = 57670,
  ID_DEFAULT_HELP = 57671,
  ID_HELP_OVERVIEW = 32876,
  ID_REMOTE_SUPPORT = 32922,
  ID_WEB_LINK = 32874,

  // Status bar indicators
  ID_INDICATOR_CAPS = 59137,
  ID_INDICATOR_NUM = 59138,
  ID_INDICATOR_SCRL = 59139,
};
