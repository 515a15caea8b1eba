#pragma once
// A C program of a device, built for the device or for the PC simulation; its source
// files are listed below it.
#include "model/ProjectObject.h"

class CPOTavSim : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOTavSim)

 public:
  CPOTavSim() = default;
  CPOTavSim(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::TavSim; }
  std::span<ColumnDef> GetColumnDefs() override;
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
};
