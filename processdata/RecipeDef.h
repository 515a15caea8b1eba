#pragma once
// A recipe definition of a device; its recipes are listed below it.
#include "model/ProjectObject.h"

class CPORecipeDef : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPORecipeDef)

 public:
  CPORecipeDef() = default;
  CPORecipeDef(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::RecipeDef; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
};
