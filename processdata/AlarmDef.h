#pragma once
// One alarm definition of a device.
#include "model/ProjectObject.h"

class CPOAlarmDef : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOAlarmDef)

 public:
  CPOAlarmDef() = default;
  CPOAlarmDef(CProjectObject* parent, CPOPrjDevice* device);

  BOOL IsUnicodeName() override { return TRUE; }
  TypeCode GetTypeCode() override { return TypeCode::AlarmDef; }
  int GetImage() override { return 32; }
  int GetSelectedImage() override { return 32; }
  int GetContextMenuId() override { return 303; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
};
