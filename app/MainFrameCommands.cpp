#include "app/MainFrameCommands.h"

#include "framework/CommandIds.h"
#include "app/SetupSheet.h"
#include "app/TavProjectApp.h"
#include "platform/Registry.h"
#include "platform/Ui.h"

DWORD LoadApplicationLook() {
  return hv::RegistryStore::Get().GetDword(hv::kKeyBrand, "ApplicationLook").value_or(0);
}

void StoreApplicationLook(DWORD id) { hv::RegistryStore::Get().SetDword(hv::kKeyBrand, "ApplicationLook", id); }

bool IsApplicationLookId(UINT id) { return id >= ID_VIEW_APPLOOK_WIN_2000 && id <= ID_VIEW_APPLOOK_OFF_2007_AQUA; }

BEGIN_COMMAND_MAP(CMainFrameCommands, CCmdTarget)
  ON_COMMAND_RANGE(ID_VIEW_APPLOOK_WIN_2000, ID_VIEW_APPLOOK_OFF_2007_AQUA, OnApplicationLook)
  ON_UPDATE_COMMAND_UI_RANGE(ID_VIEW_APPLOOK_WIN_2000, ID_VIEW_APPLOOK_OFF_2007_AQUA, OnUpdateApplicationLook)
  ON_COMMAND_RANGE(kFirstMainToolCommand, kLastMainToolCommand, OnToolCommand)
  ON_COMMAND(ID_SETTINGS, OnSettings)
  // The toolbar customisation does not exist here.
  ON_UPDATE_COMMAND_UI(ID_VIEW_CUSTOMIZE, OnUpdateDisabled)
  ON_UPDATE_COMMAND_UI(ID_TOOL_MENU_MARKER, OnUpdateDisabled)
END_COMMAND_MAP()

CMainFrameCommands::CMainFrameCommands() {
  m_look = LoadApplicationLook();
  if (CTavProjectApp* app = TheApp()) app->m_applicationLook = m_look;
}

DWORD CMainFrameCommands::GetApplicationLook() const {
  if (CTavProjectApp* app = TheApp()) return app->m_applicationLook;
  return m_look;
}

void CMainFrameCommands::OnApplicationLook(UINT id) {
  m_look = id;
  if (CTavProjectApp* app = TheApp()) app->m_applicationLook = id;
  ApplyApplicationLook(id);
  StoreApplicationLook(id);
}

void CMainFrameCommands::OnUpdateApplicationLook(CCmdUI* ui) {
  ui->Enable(TRUE);
  ui->SetCheck(GetApplicationLook() == ui->m_nID ? 1 : 0);
}

std::vector<CToolMenuEntry> CMainFrameCommands::ListToolMenuEntries() {
  if (CTavProjectApp* app = TheApp()) return app->m_tools.ListMainMenuTools();
  return {};
}

void CMainFrameCommands::OnToolCommand(UINT id) {
  CTavProjectApp* app = TheApp();
  if (!app) return;
  RunMainMenuTool(app->m_tools, static_cast<int>(id), app->m_profile, app->m_languageCode);
}

void CMainFrameCommands::OnSettings() {
  CTavProjectApp* app = TheApp();
  if (!app) return;
  CPSSetup sheet(app->m_profile.GetPath());
  SetupSheetRequest request{&sheet};
  hv::Ui().Run(request);
}

void CMainFrameCommands::OnUpdateDisabled(CCmdUI* ui) { ui->Enable(FALSE); }
