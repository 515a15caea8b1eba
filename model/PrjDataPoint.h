#pragma once
// "Datenpunkte": the data-point folder of a project device. Its children are the
// device's networks, its direct data points and, when called for, the I/O
// configuration node; self-defined data points are checked against datpkt.set.
#include <cstdint>
#include <vector>

#include "model/ProjectObject.h"

class CPOPrjDataPoint : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOPrjDataPoint)

 public:
  CPOPrjDataPoint();
  CPOPrjDataPoint(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::PrjDataPoint; }
  int GetContextMenuId() override { return 470; }
  BOOL IsShownInTree() override { return TRUE; }
  BOOL KeepWhenEmpty() override { return TRUE; }
  BOOL HasTreeChildren() override;
  BOOL HasListChildren() override { return HasTreeChildren(); }
  BOOL WriteToClipboard(CArchive&) override { return TRUE; }
  BOOL Cut(CArchive&) override { return TRUE; }
  BOOL Delete() override { return TRUE; }
  std::span<ColumnDef> GetColumnDefs() override;
  BOOL LoadChildren() override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
  BOOL IsStale() override;
  wxString GetListCaption() override;

  // Checks the '7', '8' and '1' direct data points; the missing ones are listed in the
  // modeless list. FALSE only when the device plug-in is missing.
  BOOL CheckSelfDefinedDataPoints();

 private:
  BOOL CheckSelfDefined();

  std::int64_t m_networksTime = 0;     // NETZWERK.DBF's write time at the last load
  std::int64_t m_dataPointsTime = 0;   // DATPKT.DBF's write time at the last load
  std::int64_t m_localCheckTime = 0;
  std::int64_t m_globalCheckTime = 0;
  BOOL m_checkAfterLoad = TRUE;
};

class CPODataPoint;
namespace hv::db {
struct DatpktRow;
}
// Whether the device has direct data points or, else, any network.
BOOL HasDataPointRows(CPOPrjDevice* device);
// A direct data point takes a row's values; its last read value stays.
void FillFromRow(CPODataPoint& dp, const hv::db::DatpktRow& row);

// Write time of a device table file in nanoseconds; -1 when it cannot be read, 0
// when it does not exist.
std::int64_t TableTime(const wxString& folder, const wxString& table);
