#pragma once
// The CoDeSys program folder of a device: one program per project file (".pro") of
// the device's CoDeSys folder.
#include "model/ProjectObject.h"

enum : UINT {
  ID_IMPORT_CODESYS_PROJECT = 32917,   // handled by the device
};

class CPOPrgCoDeSys : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOPrgCoDeSys)

 public:
  CPOPrgCoDeSys();
  CPOPrgCoDeSys(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::PrgCoDeSys; }
  std::span<ColumnDef> GetColumnDefs() override;
  BOOL KeepWhenEmpty() override { return FALSE; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL HasListChildren() override;
  BOOL LoadChildren() override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;

  // Hands the import of a CoDeSys project file to the device; FALSE (routing goes on)
  // when there is no device to take it.
  BOOL OnImportProject(UINT id);

  HV_DECLARE_COMMAND_MAP()
};
