#pragma once
// The program's settings sheet: general options, programs, simulator and download
// defaults, each read from the user's profile when first shown. OK writes every key of
// the pages shown in one write of the profile; Cancel and pages never shown write nothing.
#include "app/SetupPages.h"
#include "framework/PropertySheetModel.h"
#include "model/DownloadPage.h"

class CPSSetup : public CSheetController {
 public:
  explicit CPSSetup(const wxString& profilePath);

  // OK: the active page is checked, every page shown queues its changes, and the
  // profile is written once. A failed write is reported and keeps the sheet open.
  bool Confirm() override;

  ProfileEdits& Edits() { return m_edits; }
  CPPOptionGeneral& General() { return m_general; }
  CPPPrograms& Programs() { return m_programs; }
  CPPTavSim& TavSim() { return m_tavSim; }
  CPPDownload& Download() { return m_download; }

 private:
  ProfileEdits m_edits;
  CPPOptionGeneral m_general{m_edits};
  CPPPrograms m_programs{m_edits};
  CPPTavSim m_tavSim{m_edits};
  CPPDownload m_download{m_edits};
};

// The settings command's request: the shell runs the sheet through the facade.
struct SetupSheetRequest {
  CPSSetup* sheet = nullptr;
};
