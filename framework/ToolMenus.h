#pragma once
// The external tools in menus: the "&Extras" menu of the main window and the context
// menu of a configured device (its tools come from CPOPrjDevice::ListToolsForDevice).
// Each replaces its placeholder entry by the tools that fit, with fresh command ids at
// every opening.
#include <wx/string.h>

#include "framework/MenuModel.h"
#include "framework/ToolsRepository.h"

// Placeholder texts of the menus (compared ignoring case).
inline const wxString kMainToolPlaceholder = wxS("<ToolMenu1>");
inline const wxString kDeviceToolPlaceholder = wxS("<ToolPopup1>");

// A menu holding "<ToolMenu1>": the placeholder becomes the main-menu tools, ids from
// 40101. Returns the number inserted.
int InsertMainMenuTools(CMenu& menu, CToolsRepository& tools);
