#include "resources/MaskRecords.h"

#include "model/ObjectSupport.h"
#include "platform/Paths.h"

using namespace hv::db;

namespace maskrec {

wxString TableName(const wxString& name) {
  wxString out = name.Left(kMaxScreenName);
  out.Trim(true);
  return out;
}

wxString RecordName(const MaskField& record) { return TableName(record.name); }

std::vector<MaskField> ScreenRecords(Table& table, const wxString& name) {
  std::vector<MaskField> out;
  const wxString wanted = TableName(name);
  if (wanted.empty()) return out;
  MaskField record;
  // The name alone positions on the screen's first record; the walk is bounded by the
  // table's size whatever the index does.
  std::uint32_t left = table.size();
  for (bool ok = msk_fld_select(table, record, kSeek, "MSK_FLD", {wanted}); ok && left > 0;
       ok = msk_fld_select(table, record, kNext, "MSK_FLD"), --left) {
    if (RecordName(record) != wanted) break;
    out.push_back(record);
  }
  return out;
}

bool FindHeader(Table& table, const wxString& name, MaskField* header) {
  const wxString wanted = TableName(name);
  MaskField record;
  if (wanted.empty() || !msk_fld_select(table, record, kSeek, "MSK_HEAD", {wanted})) return false;
  if (header) *header = record;
  return true;
}

bool DeleteScreen(Table& table, const wxString& name) {
  const wxString wanted = TableName(name);
  if (wanted.empty()) return true;
  MaskField record;
  std::uint32_t left = table.size();
  while (msk_fld_select(table, record, kSeek, "MSK_FLD", {wanted})) {
    // A record found again after its delete would never let the loop end.
    if (left-- == 0 || !msk_fld_delete(table)) return false;
  }
  return true;
}

bool TableTime(const wxString& deviceFolder, std::int64_t& timeNs) {
  FileEntry file;
  if (deviceFolder.empty() || !StatFile(hv::ResolvePath(hv::JoinPath(deviceFolder, wxS("MSKFLD.DBF"))), file))
    return false;
  timeNs = file.timeNs;
  return true;
}

}  // namespace maskrec
