#pragma once
// The model's own implementations of its services, bound by start-up (app/Startup.cpp).
// Tests that need one part changed derive from these.
#include "model/DeviceServices.h"
#include "model/ModelServices.h"

class CProjectOperations : public hv::IProjectOperations {
 public:
  void Backup(CPOProject& project) override;
  wxString RunRestore(CPOProject& project) override;
  void ImportInto(CPOPrjFolder& folder) override;
  void RestoreInto(CPOPrjFolder& folder) override;
  void ExportDataPoints(CPOProject& project) override;
  void Download(CPOProject& project) override;
  std::unique_ptr<CProjectObject> MakeDocuments(CPOProject& project) override;
  std::unique_ptr<CProjectObject> LoadDevice(CPOProject& project, const wxString& deviceFolder) override;
};

class CPrjProjectServices : public CProjectServices {
 public:
  WORD GetDefaultLanguage(CPOProject& project) override;
  std::vector<LANGUAGE> GetLanguages(CPOProject& project) override;
  wxString GetProjectFolder(CProjectObject& project) override;
};

class CPrjDeviceServices : public CDeviceServices {
 public:
  CProjectObject* AsObject(CPOPrjDevice& device) override;
  wxString GetDeviceFolder(CPOPrjDevice& device) override;
  BOOL IsCFAvailable(CPOPrjDevice& device) override;
  BOOL SupportsKeypads(CPOPrjDevice& device) override;
  wxString GetDeviceParameters(CPOPrjDevice& device) override;
};

// What a device allows, from its configuration and its "device.set".
class CPrjDeviceCapabilities : public hv::IDeviceCapabilities {
 public:
  DeviceCapabilities Of(CProjectObject& object) override;
};

// Process-list check of the suite's tools.
class CSuiteProcessCheck : public hv::IProcessCheck {
 public:
  BOOL IsRunning(const wxString& program) override;
};
