#pragma once
// The resources node of a device: it groups the device's screens, bitmaps, fonts,
// texts and keypads, each folder shown when it has something to list.
#include "model/ProjectObject.h"

class CPOResource : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOResource)

 public:
  CPOResource();
  CPOResource(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::Resource; }
  BOOL KeepWhenEmpty() override { return FALSE; }
  // TRUE when the device has any resource content.
  BOOL HasTreeChildren() override;
  BOOL HasListChildren() override { return HasTreeChildren(); }
  BOOL LoadChildren() override;
  BOOL IsStale() override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
};
