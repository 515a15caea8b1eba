#pragma once
// The menus folder of a device.
#include "model/ProjectObject.h"

class CPOResMenu : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOResMenu)

 public:
  CPOResMenu();
  CPOResMenu(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::ResMenu; }
  std::span<ColumnDef> GetColumnDefs() override;
  BOOL KeepWhenEmpty() override { return FALSE; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
};
