#include "model/DataPointRowScope.h"

#include "platform/dbase/Schemas.h"

namespace {

// The copy runs on the user-interface thread; a worker never reads through a scope.
thread_local DataPointRowScope* t_innermost = nullptr;

}  // namespace

DataPointRowScope::DataPointRowScope() : m_outer(t_innermost) { t_innermost = this; }

DataPointRowScope::~DataPointRowScope() { t_innermost = m_outer; }

DataPointRowScope::Rows* DataPointRowScope::Open(const wxString& folder) {
  if (m_last && *m_lastFolder == folder) return m_last;
  auto it = m_tables.find(folder);
  if (it == m_tables.end()) {
    Rows rows;
    if (!rows.table.open(folder, hv::db::DatpktSchema())) return nullptr;
    // One walk in the records' own order; the first record of an id wins, as a
    // search in the id index finds it.
    rows.recordOf.reserve(rows.table.size());
    for (bool ok = rows.table.select({}, hv::db::kFirst); ok; ok = rows.table.select({}, hv::db::kNext)) {
      const std::int64_t id = rows.table.currentNumber(hv::db::datpkt::ID);
      if (id >= 0 && id <= static_cast<std::int64_t>(UINT32_MAX))
        rows.recordOf.emplace(static_cast<std::uint32_t>(id), rows.table.currentRecord());
    }
    it = m_tables.emplace(folder, std::move(rows)).first;
  }
  m_lastFolder = &it->first;
  m_last = &it->second;
  return m_last;
}

std::optional<hv::db::Table*> DataPointRowScope::Seek(const wxString& folder, std::uint32_t id) {
  DataPointRowScope* scope = t_innermost;
  if (!scope) return std::nullopt;
  Rows* rows = folder.empty() ? nullptr : scope->Open(folder);
  if (!rows) return nullptr;
  const auto at = rows->recordOf.find(id);
  // A row deleted since the walk reads as missing.
  if (at == rows->recordOf.end() || !rows->table.selectRecord(at->second)) return nullptr;
  return &rows->table;
}
