#pragma once
// The program folder of a device: it groups the device's program kinds, each shown
// when it holds programs.
#include "model/ProjectObject.h"

class CPOProgram : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOProgram)

 public:
  CPOProgram();
  CPOProgram(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::Program; }
  BOOL KeepWhenEmpty() override { return FALSE; }
  BOOL HasTreeChildren() override { return HasListChildren(); }
  // TRUE when the device has programs.
  BOOL HasListChildren() override;
  BOOL LoadChildren() override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
};
