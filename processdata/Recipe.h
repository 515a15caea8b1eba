#pragma once
// One recipe of a recipe definition.
#include "model/ProjectObject.h"

class CPORecipe : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPORecipe)

 public:
  CPORecipe() = default;
  CPORecipe(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::Recipe; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
};
