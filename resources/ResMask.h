#pragma once
// The screens folder "Masken" of a device: one screen per header record of the
// device's MSKFLD table.
#include <cstdint>

#include "model/ProjectObject.h"

class CPOResMask : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOResMask)

 public:
  CPOResMask();
  CPOResMask(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::ResMask; }
  std::span<ColumnDef> GetColumnDefs() override;
  BOOL KeepWhenEmpty() override { return FALSE; }
  // Its screens show in the tree: the folder has an expander exactly when it holds one.
  BOOL HasTreeChildren() override { return HasListChildren(); }
  BOOL HasListChildren() override;
  BOOL LoadChildren() override;
  // TRUE when the screen table changed since the screens were read (only while some
  // are listed).
  BOOL IsStale() override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;

 private:
  wxString TableFile() const;
  bool m_loaded = false;
  std::int64_t m_loadTime = 0;   // last write of MSKFLD.DBF when it was read, ns
};
