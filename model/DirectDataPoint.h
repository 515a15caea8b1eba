#pragma once
// A data point directly under the device's data-point folder, read through the
// project device's own connection.
#include "model/DataPoint.h"

class CPODirectDataPoint : public CPODataPoint {
  HV_DECLARE_PROJECT_OBJECT(CPODirectDataPoint)

 public:
  CPODirectDataPoint() = default;
  CPODirectDataPoint(CProjectObject* parent, CPOPrjDevice* device) : CPODataPoint(parent, device) {}

  TypeCode GetTypeCode() override { return TypeCode::DirectDataPoint; }
  int GetContextMenuId() override { return 435; }
  wxString GetClipboardFormatName() override;
  int Compare(const CProjectObject* other, int column) override;
  // Column 5 reads the value, any other edits.
  void OnColumnDblClick(int column) override;
  DataPointConnection Connection() override;

  HV_DECLARE_COMMAND_MAP()

 protected:
  std::unique_ptr<CPODataPoint> MakeSibling(CProjectObject* parent, CPOPrjDevice* device) override;
  void OnReadDirect();
  void OnUpdateReadDirect(CCmdUI* cmdUI);
};
