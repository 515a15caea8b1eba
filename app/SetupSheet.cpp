#include "app/SetupSheet.h"

#include "platform/Ui.h"

CPSSetup::CPSSetup(const wxString& profilePath) : m_edits(profilePath) {
  AddPage(&m_general);
  AddPage(&m_programs);
  AddPage(&m_tavSim);
  AddPage(&m_download);
}

bool CPSSetup::Confirm() {
  m_edits.Clear();
  if (!OK()) return false;
  if (m_edits.Commit()) return true;
  hv::ShowMessageF(11401, wxS("Die Einstellungen konnten nicht in \"%s\" gespeichert werden."), MB_ICONEXCLAMATION,
                   m_edits.Profile().GetPath());
  return false;
}
