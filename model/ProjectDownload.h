#pragma once
// The download of a whole project: per device one CoDeSys program and the resource
// file, failures collected into one report. The single steps run through
// hv::IProjectDownloadSteps so that tests can stand in for the device side.
#include <vector>
#include <wx/string.h>

#include "build/CeDownload.h"
#include "platform/Types.h"

class CPOCoDeSys;
class CPOPrjDevice;
class CPOProject;

namespace hv {

class IProjectDownloadSteps {
 public:
  static constexpr const char* kServiceName = "project-download-steps";
  virtual ~IProjectDownloadSteps() = default;
  // Builds and downloads one program; 0 when done, else the CoDeSys failure code.
  virtual int DownloadProgram(CPOPrjDevice&, CPOCoDeSys&) { return 1; }
  // Above 0 when the resource file needs no new generation; 0 when it is stale (the
  // user is asked); below 0 when it must be made without asking (there is none).
  virtual int IsResourceUpToDate(const wxString&) { return 1; }
  virtual bool GenerateResources(const wxString&, wxString& message) { return false; }
  virtual bool DownloadToCE(CeDownload& job) { return DownloadToCEDevice(job) != FALSE; }
  // The resource file to a device reached through the online library.
  virtual bool DownloadOnline(CPOPrjDevice&, const wxString&, wxString& message) { return false; }
};

}  // namespace hv

// The program choice of a device with several CoDeSys programs (`CDlgPrgSel`).
struct PrgSelRequest {
  wxString device;
  std::vector<wxString> programs;
  wxString chosen;   // after IDOK
};

// The failures of a project download (`CDlgPrjDownload`).
struct PrjDownloadReportRequest {
  std::vector<wxString> lines;
};

// Runs the command on the project. Returns the report's lines (empty: success shown).
std::vector<wxString> RunProjectDownload(CPOProject& project);
