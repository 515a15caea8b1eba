#pragma once
// The main window's own commands that need no window: the visual-style choice (stored
// as the DWORD "ApplicationLook" under "SOFTWARE\Quintor"), the external tools of the
// "&Extras" menu, the settings sheet and the commands that stay disabled (customising).
#include <vector>

#include "framework/CmdTarget.h"
#include "framework/ToolsRepository.h"

class CTavProjectApp;

// The stored visual style; 0 when none is stored.
DWORD LoadApplicationLook();
void StoreApplicationLook(DWORD id);
bool IsApplicationLookId(UINT id);

class CMainFrameCommands : public CCmdTarget {
 public:
  // Loads the stored visual style into the application (when there is one).
  CMainFrameCommands();

  DWORD GetApplicationLook() const;

  // The entries of the tools menu as it opens now: every tool of the application's
  // repository that belongs in the main menu, with fresh ids from 40101.
  std::vector<CToolMenuEntry> ListToolMenuEntries();

  HV_DECLARE_COMMAND_MAP()

 protected:
  // The window part of a style change (redraw); the id is already stored.
  virtual void ApplyApplicationLook(UINT id) {}

  void OnApplicationLook(UINT id);
  void OnUpdateApplicationLook(CCmdUI* ui);
  void OnToolCommand(UINT id);
  // The settings sheet over the user's profile; its result is not looked at.
  void OnSettings();
  void OnUpdateDisabled(CCmdUI* ui);

 private:
  DWORD m_look = 0;   // used when there is no application object
};
