#pragma once
// A ProGRIPS program of a device.
#include "model/ProjectObject.h"

class CPOProGRIPS : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOProGRIPS)

 public:
  CPOProGRIPS() = default;
  CPOProGRIPS(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::ProGRIPS; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
};
