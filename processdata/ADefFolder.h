#pragma once
// The alarm definitions of a device.
#include "model/ProjectObject.h"

class CPOADefFolder : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOADefFolder)

 public:
  CPOADefFolder();
  CPOADefFolder(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::ADefFolder; }
  std::span<ColumnDef> GetColumnDefs() override;
  BOOL KeepWhenEmpty() override { return FALSE; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
};
