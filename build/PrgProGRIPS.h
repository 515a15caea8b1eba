#pragma once
// The ProGRIPS program folder of a device.
#include "model/ProjectObject.h"

class CPOPrgProGRIPS : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOPrgProGRIPS)

 public:
  CPOPrgProGRIPS();
  CPOPrgProGRIPS(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::PrgProGRIPS; }
  std::span<ColumnDef> GetColumnDefs() override;
  BOOL KeepWhenEmpty() override { return FALSE; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
};
