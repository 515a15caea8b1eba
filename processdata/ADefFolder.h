#pragma once
// The alarm definitions of a device.
#include "model/ProjectObject.h"

class CPOADefFolder : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOADefFolder)

 public:
  CPOADefFolder();
  CPOADefFolder(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::ADefFolder; }
  int GetImage() override { return 32; }
  int GetSelectedImage() override { return 32; }
  int GetContextMenuId() override { return 434; }
  std::span<ColumnDef> GetColumnDefs() override;
  BOOL KeepWhenEmpty() override { return FALSE; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
};
