#pragma once
// The "Bitmaps" folder of a device: one row per picture file (".bmp", ".jpg", ".gif")
// of the device's bitmaps folder.
#include <cstdint>

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
  BOOL IsStale() override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;

 private:
  std::uint64_t m_stamp = 0;   // of the folder the children were loaded from
  bool m_stamped = false;
};
