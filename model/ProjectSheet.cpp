#include "model/ProjectSheet.h"

ProjectGeneralPage::ProjectGeneralPage(CPOProject& project)
    : name(project.GetName()), folder(project.GetFolder()), flags(project.GetFlags()), m_original(project.GetName()) {}

PageCheck ProjectGeneralPage::OnKillActive() {
  wxString trimmed = name;
  trimmed.Trim(true);
  long bad = -1;
  if (const UINT refused = CheckProjectName(trimmed, m_original, &bad)) return {refused, kNameField, bad};
  return {};
}

ProjectSheetController::ProjectSheetController(CPOProject& project) : general(project), languages(project) {
  AddPage(&general);
  AddPage(&languages);
}
