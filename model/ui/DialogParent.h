#pragma once
// The window a dialog opened through the facade belongs to: the active one (a dialog
// asking while it is open), else the main window.
#include <wx/app.h>
#include <wx/window.h>

inline wxWindow* DialogParent() {
  if (wxWindow* active = wxGetActiveWindow()) return wxGetTopLevelParent(active);
  return wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
}
