#pragma once
// The "Bitmaps" folder of a device: one row per picture file (".bmp", ".jpg", ".gif")
// of the device's bitmaps folder.
#include "model/ProjectObject.h"

class CPOResBitmap : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOResBitmap)

 public:
  CPOResBitmap();
  CPOResBitmap(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::ResBitmap; }
  std::span<ColumnDef> GetColumnDefs() override;
  BOOL KeepWhenEmpty() override { return FALSE; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL HasListChildren() override;
  BOOL LoadChildren() override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
};
