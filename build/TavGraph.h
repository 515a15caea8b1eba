#pragma once
// A graphical program of a device, made by its program folder only.
#include "model/ProjectObject.h"

class CPOTavGraph : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOTavGraph)

 public:
  CPOTavGraph() = default;
  CPOTavGraph(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::TavGraph; }
  int GetImage() override { return 13; }
  int GetSelectedImage() override { return 13; }
  int GetContextMenuId() override { return 490; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
};
