#pragma once
// The application state as the core sees it: the running CTavProjectApp's fields, or
// the "nothing there" answers while no application object exists.
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
