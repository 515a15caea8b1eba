#pragma once
// One CoDeSys program of a device: a project file of the device's CoDeSys folder.
#include <cstdint>

#include "model/ProjectObject.h"

// Why a CoDeSys download failed.
enum CoDeSysDownloadError : int {
  CODESYS_NO_CONFIGURATION = 1,   // configuration file not made
  CODESYS_TRANSLATION = 2,        // translation failed
  CODESYS_DOWNLOAD = 3,           // download failed
  CODESYS_ABORT = 4,              // abort everything
};

class CPOCoDeSys : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOCoDeSys)

 public:
  CPOCoDeSys() = default;
  CPOCoDeSys(CProjectObject* parent, CPOPrjDevice* device);

  void SetFile(const wxString& path, std::int64_t seconds) {
    m_path = path;
    m_time = seconds;
  }
  const wxString& GetPath() const { return m_path; }
  std::int64_t GetTime() const { return m_time; }

  // Builds the program and downloads it to its device. This version cannot run the
  // CoDeSys environment: it fails with CODESYS_NO_CONFIGURATION and leaves the report
  // to the caller.
  BOOL Download(BOOL quiet, int* error);

  TypeCode GetTypeCode() override { return TypeCode::CoDeSys; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  wxString GetColumnText(int column) override;
  int Compare(const CProjectObject* other, int column) override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;

 private:
  wxString m_path;
  std::int64_t m_time = 0;   // seconds
};
