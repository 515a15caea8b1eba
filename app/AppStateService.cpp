#include "app/AppStateService.h"

#include "app/TavProjectApp.h"
#include "framework/Services.h"

wxString CAppStateService::LanguageCode() { return TheApp() ? TheApp()->m_languageCode : wxString(); }
WORD CAppStateService::LanguageId() { return TheApp() ? TheApp()->m_languageId : WORD(1031); }
CSettingsFile* CAppStateService::Profile() { return TheApp() ? &TheApp()->m_profile : nullptr; }
wxString CAppStateService::ProfilePath() { return TheApp() ? TheApp()->m_profile.GetPath() : wxString(); }
wxString CAppStateService::ProjectsFolder() { return TheApp() ? TheApp()->m_projectsFolder : wxString(); }
CToolsRepository* CAppStateService::Tools() { return TheApp() ? &TheApp()->m_tools : nullptr; }
wxString CAppStateService::CurrentSelection() { return TheApp() ? TheApp()->m_currentSelection : wxString(); }

void CAppStateService::SetCurrentSelection(const wxString& selection) {
  if (CTavProjectApp* app = TheApp()) app->m_currentSelection = selection;
}

void CAppStateService::SetProjectFullPath(const wxString& path) {
  if (CTavProjectApp* app = TheApp()) app->m_projectFullPath = path;
}

void CAppHelpService::ShowHelpContext(unsigned long contextId) {
  if (contextId == 0) return;
  OpenManualFile(false, hv::Service<hv::IApplicationState>().LanguageCode());
}
