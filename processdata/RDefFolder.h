#pragma once
// The recipe definitions of a device.
#include "model/ProjectObject.h"

class CPORDefFolder : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPORDefFolder)

 public:
  CPORDefFolder();
  CPORDefFolder(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::RDefFolder; }
  BOOL KeepWhenEmpty() override { return FALSE; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
};
