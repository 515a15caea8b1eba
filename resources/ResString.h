#pragma once
// The texts folder of a device: one row per text number of the device's TEXTW table,
// with a column for each project language besides the default one.
#include <vector>

#include "model/ProjectObject.h"

class CPOResString : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOResString)

 public:
  CPOResString();
  CPOResString(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::ResString; }
  // "Text", "ID", "Log. ID", then one column per project language other than the
  // default one, keyed by the language number. Widths and positions the list wrote
  // into the table stay with their language while the languages change.
  std::span<ColumnDef> GetColumnDefs() override;
  // The language shown in a column (its sub-item); false for the fixed columns.
  bool LanguageOfColumn(int column, WORD& language);
  BOOL KeepWhenEmpty() override { return FALSE; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL HasListChildren() override;
  BOOL LoadChildren() override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;

 private:
  std::vector<ColumnDef> m_columns;
};
