#pragma once
// A data-logger definition of a device.
#include "model/ProjectObject.h"

class CPODataLoger : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPODataLoger)

 public:
  CPODataLoger() = default;
  CPODataLoger(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::DataLoger; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
};
