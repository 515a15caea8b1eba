#include "resources/NamedRecords.h"

#include "platform/Codec.h"

NamedRecords::NamedRecords(const wxString& deviceFolder, const hv::db::Schema& schema) {
  m_open = !deviceFolder.empty() && m_table.open(deviceFolder, schema);
}

bool NamedRecords::Find(const wxString& fileName, std::uint32_t& id, std::uint16_t& logId) {
  id = 0;
  logId = 0;
  std::string bytes;
  // Names are stored in Windows-1252 upper case; one without that form has no row.
  if (!m_open || !hv::ToCp1252(fileName, bytes)) return false;
  hv::db::UpperCp1252(bytes);
  hv::db::BitmapRow row;
  if (!hv::db::bitmap_select(m_table, row, hv::db::kSeek, "NAME", {hv::FromCp1252(bytes)})) return false;
  id = row.id;
  logId = row.logId;
  return true;
}
