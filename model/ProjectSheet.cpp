#include "model/ProjectSheet.h"

ProjectGeneralPage::ProjectGeneralPage(CPOProject& project)
    : name(project.GetName()), folder(project.GetFolder()), flags(project.GetFlags()), m_original(project.GetName()) {}

PageCheck ProjectGeneralPage::OnKillActive() {
  wxString trimmed = name;
  trimmed.Trim(true);
  if (const UINT refused = CheckProjectName(trimmed, m_original)) return {refused, kNameField};
  return {};
}

ProjectSheetController::ProjectSheetController(CPOProject& project) : general(project), languages(project) {
  AddPage(&general);
  AddPage(&languages);
}
