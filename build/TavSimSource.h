#pragma once
// A source file of a C program.
#include "model/ProjectObject.h"

class CPOTavSimSource : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOTavSimSource)

 public:
  CPOTavSimSource() = default;
  CPOTavSimSource(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::TavSimSource; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
};
