#pragma once
// The "Fonts" folder of a device: its fonts folder's ".fnt" and ".ttf" files and the
// TrueType fonts of its hardware folder.
#include <cstdint>

#include "model/ProjectObject.h"

class CPOResFont : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOResFont)

 public:
  CPOResFont();
  CPOResFont(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::ResFont; }
  int GetImage() override { return 43; }
  int GetSelectedImage() override { return 43; }
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
