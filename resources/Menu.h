#pragma once
// A menu of a device's display, edited in the menu editor.
#include "model/ProjectObject.h"

class CPOMenu : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOMenu)

 public:
  CPOMenu() = default;
  CPOMenu(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::Menu; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
};
