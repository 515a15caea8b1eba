#include "model/FieldBusTables.h"

#include <sys/stat.h>

#include "model/FieldBusRecords.h"
#include "platform/Paths.h"

namespace hv::fieldbus {

bool OpenTable(const wxString& folder, const char* table, db::Table& t) {
  if (folder.empty()) return false;
  db::pfad_daten = folder;
  return db::db_open(JoinPath(folder, table), t) != FALSE;
}

std::int64_t TableTimeNs(const wxString& folder, const char* table) {
  struct stat st;
  const wxString file = ResolvePath(JoinPath(folder, wxString(table) + ".DBF"));
  if (stat(ToFs(file).c_str(), &st) != 0) return 0;
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

void WritePoints(Archive& ar, db::Table& points, std::uint16_t device) {
  std::vector<db::DatpktRow> rows;
  db::DatpktRow dp;
  for (bool ok = db::datpkt_select(points, dp, db::kSeek, "GNR", {device}); ok && dp.device == device;
       ok = db::datpkt_select(points, dp, db::kNext, "GNR"))
    rows.push_back(dp);
  ar.WriteU32(static_cast<std::uint32_t>(rows.size()));
  for (db::DatpktRow& p : rows) ArchiveDataPointRecord(ar, p);
}

void InsertPoints(Archive& ar, db::Table& points, std::uint16_t device, std::vector<std::uint32_t>& inserted) {
  const std::uint32_t count = ar.ReadU32();
  ar.CheckCount(count, 8);
  for (std::uint32_t i = 0; i < count; ++i) {
    db::DatpktRow dp;
    ArchiveDataPointRecord(ar, dp);
    dp.device = device;
    dp.id = 0;
    db::DatpktRow other;
    if (dp.logId != 0 && db::datpkt_select(points, other, db::kSeek, "LOG_ID", {dp.logId})) dp.logId = 65535;
    if (!db::datpkt_get_new_name(points, dp.name) || !db::datpkt_insert(points, dp))
      throw ArchiveException("data point row");
    inserted.push_back(dp.id);
  }
}

void RemovePoints(db::Table& points, const std::vector<std::uint32_t>& ids) {
  db::DatpktRow p;
  for (std::uint32_t id : ids)
    if (db::datpkt_select(points, p, db::kSeek, "ID", {id})) db::datpkt_delete(points);
}

}  // namespace hv::fieldbus
