#include "resources/LogicalIds.h"

#include "platform/Codec.h"

using namespace hv::db;

namespace logid {

namespace {

const Schema& SchemaOf(Kind kind) { return kind == Kind::Bitmap ? BitmapSchema() : FontSchema(); }

bool NameKey(const wxString& name, wxString& key) {
  std::string bytes;
  if (!hv::ToCp1252(name, bytes)) return false;
  UpperCp1252(bytes);
  key = hv::FromCp1252(bytes);
  return true;
}

}  // namespace

Records::Records(const wxString& deviceFolder, Kind kind) {
  m_open = !deviceFolder.empty() && m_table.open(deviceFolder, SchemaOf(kind));
}

bool Records::Taken(std::uint16_t id, std::uint32_t own) {
  if (!m_open || id == 0) return false;
  BitmapRow row;
  std::uint32_t left = m_table.size();
  for (bool ok = bitmap_select(m_table, row, kSeek, "LOG_ID", {id}); ok && left > 0;
       ok = bitmap_select(m_table, row, kNext, "LOG_ID"), --left) {
    if (row.logId != id) break;
    if (row.id != own) return true;
  }
  return false;
}

bool Records::FindName(const wxString& name, BitmapRow& row) {
  wxString key;
  return m_open && NameKey(name, key) && bitmap_select(m_table, row, kSeek, "NAME", {key});
}

bool Records::DeleteName(const wxString& name) {
  BitmapRow row;
  return FindName(name, row) && bitmap_delete_current(m_table);
}

bool Records::SetLogId(std::uint32_t record, std::uint16_t id) {
  BitmapRow row;
  if (!m_open || record == 0 || !bitmap_select(m_table, row, kSeek, "-ID", {record})) return false;
  row.logId = id;
  return bitmap_update_current(m_table, row);
}

void ShowTaken() {
  hv::ShowMessage(10015, wxS("Die logische ID ist bereits vergeben!"), MB_OK | MB_ICONINFORMATION);
}

bool ReportUse(Records& records, Kind kind, const wxString& fileName, const wxString& shown, BOOL& several) {
  BitmapRow row;
  if (!records.FindName(fileName, row) || row.id == 0) return false;
  const UINT style = several ? MB_OKCANCEL | MB_ICONINFORMATION : MB_OK | MB_ICONINFORMATION;
  int answer = IDOK;
  if (kind == Kind::Font && row.logId != 0) {
    answer = hv::ShowMessageF(10059, wxS("Der Font '%s' wird in einer Maske bzw. extern verwendet!"), style, shown);
  } else if (kind == Kind::Font) {
    answer = hv::ShowMessageF(10078,
                              wxS("Der Font '%s' wird in einer Maske verwendet!\n\nHinweis:\tOb ein Font nicht mehr "
                                  "in einer Maske verwendet wird,\n\tkann erst nach dem nächsten Erzeugen der "
                                  "Ressourcendatei erkannt werden"),
                              style, shown);
  } else if (row.logId != 0) {
    answer = hv::ShowMessageF(11605, wxS("Das Bitmap '%s' wird in einer Maske bzw. extern verwendet!"), style, shown);
  } else {
    answer = hv::ShowMessageF(11606,
                              wxS("Das Bitmap '%s' wird in einer Maske verwendet!\n\nHinweis:\tOb ein Bitmaps nicht "
                                  "mehr in einer Maske verwendet wird,\n\tkann erst nach dem nächsten Erzeugen der "
                                  "Ressourcendatei erkannt werden."),
                              style, shown);
  }
  if (answer == IDCANCEL) several = FALSE;
  return true;
}

std::uint32_t Register(const wxString& deviceFolder, Kind kind, const wxString& name, std::uint16_t id) {
  if (id == 0 || deviceFolder.empty()) return 0;
  const std::uint32_t record = kind == Kind::Bitmap ? bitmap_add(deviceFolder, name) : font_add(deviceFolder, name);
  if (record == 0) return 0;
  Records records(deviceFolder, kind);
  return records.SetLogId(record, id) ? record : 0;
}

std::uint16_t RegisterPasted(const wxString& deviceFolder, Kind kind, const wxString& name, std::uint16_t id,
                             std::uint32_t& record) {
  record = 0;
  if (id == 0) return 0;
  {
    Records records(deviceFolder, kind);
    if (!records.IsOpen()) return id;
    BitmapRow own;
    const std::uint32_t ownRecord = records.FindName(name, own) ? own.id : 0;
    if (records.Taken(id, ownRecord)) id = kHeldElsewhere;
  }
  record = Register(deviceFolder, kind, name, id);
  return id;
}

bool Change(const wxString& deviceFolder, Kind kind, const wxString& name, std::uint32_t& record,
            std::uint16_t& id) {
  if (deviceFolder.empty() || !Records(deviceFolder, kind).IsOpen()) return false;
  LogIdRequest request;
  request.logId = id == kHeldElsewhere ? 0 : id;
  for (;;) {
    if (hv::Ui().Run(request) != IDOK) return false;
    const auto wanted = static_cast<std::uint16_t>(request.logId);
    if (wanted == 0) {
      id = 0;
      // The row stays: the file still counts as used.
      Records(deviceFolder, kind).SetLogId(record, 0);
      return true;
    }
    if (Records(deviceFolder, kind).Taken(wanted, record)) {
      ShowTaken();
      continue;
    }
    if (record == 0) {
      record = kind == Kind::Bitmap ? bitmap_add(deviceFolder, name) : font_add(deviceFolder, name);
      if (record == 0) return false;
    }
    if (!Records(deviceFolder, kind).SetLogId(record, wanted)) return false;
    id = wanted;
    return true;
  }
}

}  // namespace logid
