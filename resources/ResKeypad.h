#pragma once
// The "Keypads" folder of a device: the XML files and layout pictures of its keypads
// folder, and the keypad XML files its hardware type supplies.
#include <cstdint>

#include "model/ProjectObject.h"

class CPOResKeypad : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOResKeypad)

 public:
  CPOResKeypad();
  CPOResKeypad(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::ResKeypad; }
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
