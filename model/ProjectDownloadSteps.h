#pragma once
// The program's project-download steps. The CoDeSys download and the resource
// generator are outside tools: they run only through the command lines configured in
// the profile's [Programs] "CODESYSDOWNLOAD" and "RESGEN" (the file's path appended);
// a step without its command line fails.
#include "model/ProjectDownload.h"

class CProjectDownloadSteps : public hv::IProjectDownloadSteps {
 public:
  int DownloadProgram(CPOPrjDevice& device, CPOCoDeSys& program) override;
  int IsResourceUpToDate(const wxString& file) override;
  bool GenerateResources(const wxString& file, wxString& message) override;
  // The online download dialog (`CDlgDownload`) sends the file through the device's
  // network driver.
  bool DownloadOnline(CPOPrjDevice& device, const wxString& file, wxString& message) override;
};

// The configured command line of a [Programs] key; empty when none is.
wxString ConfiguredCommand(const wxString& key);
