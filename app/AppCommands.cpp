#include "app/AppCommands.h"

#include "framework/CommandIds.h"
#include "app/TavProjectApp.h"

BEGIN_COMMAND_MAP(CAppCommandTarget, CCmdTarget)
  ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
  ON_COMMAND(ID_HELP_INDEX, OnHelpContents)
  ON_COMMAND(ID_HELP_OVERVIEW, OnHelpOverview)
  ON_COMMAND(ID_REMOTE_SUPPORT, OnRemoteSupport)
  ON_COMMAND(ID_SELECT_LANGUAGE, OnSelectLanguage)
  ON_COMMAND(ID_VERSION_CONTROL, OnVersionControl)
  ON_COMMAND(ID_VERSION_SWITCH, OnVersionSwitch)
  ON_COMMAND(ID_WEB_LINK, OnWebLink)
  ON_UPDATE_COMMAND_UI(ID_WEB_LINK, OnUpdateAlwaysEnabled)
  ON_UPDATE_COMMAND_UI(ID_HELP_OVERVIEW, OnUpdateAlwaysEnabled)
  ON_UPDATE_COMMAND_UI(ID_REMOTE_SUPPORT, OnUpdateAlwaysEnabled)
END_COMMAND_MAP()

void CAppCommandTarget::OnAppAbout() {
  if (CTavProjectApp* app = TheApp()) app->OnAppAbout();
}
void CAppCommandTarget::OnHelpContents() {
  if (CTavProjectApp* app = TheApp()) app->OnHelpContents();
}
void CAppCommandTarget::OnHelpOverview() {
  if (CTavProjectApp* app = TheApp()) app->OnHelpOverview();
}
void CAppCommandTarget::OnRemoteSupport() {
  if (CTavProjectApp* app = TheApp()) app->OnRemoteSupport();
}
void CAppCommandTarget::OnSelectLanguage() {
  if (CTavProjectApp* app = TheApp()) app->OnSelectLanguage();
}
void CAppCommandTarget::OnVersionControl() {
  if (CTavProjectApp* app = TheApp()) app->OnVersionControl();
}
void CAppCommandTarget::OnVersionSwitch() {
  if (CTavProjectApp* app = TheApp()) app->OnVersionSwitch();
}
void CAppCommandTarget::OnWebLink() {
  if (CTavProjectApp* app = TheApp()) app->OnWebLink();
}
void CAppCommandTarget::OnUpdateAlwaysEnabled(CCmdUI* ui) { ui->Enable(TRUE); }
