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
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
};
