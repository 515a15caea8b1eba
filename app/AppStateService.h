#pragma once
// The application state as the core sees it: the running CTavProjectApp's fields, or
// the "nothing there" answers while no application object exists.
#include "framework/HelpService.h"
#include "model/ModelServices.h"

class CAppStateService : public hv::IApplicationState {
 public:
  wxString LanguageCode() override;
  WORD LanguageId() override;
  CSettingsFile* Profile() override;
  wxString ProfilePath() override;
  wxString ProjectsFolder() override;
  CToolsRepository* Tools() override;
  wxString CurrentSelection() override;
  void SetCurrentSelection(const wxString& selection) override;
  void SetProjectFullPath(const wxString& path) override;
};

// Help for a window's context id: the manuals are PDF files without context ids, so
// every id opens the program's manual.
class CAppHelpService : public hv::IApplicationHelp {
 public:
  void ShowHelpContext(unsigned long contextId) override;
};
