#include "model/DataPointRowScope.h"

#include <algorithm>
#include <utility>

#include "platform/dbase/Schemas.h"

namespace {

// The copy runs on the user-interface thread; a worker never reads through a scope.
thread_local DataPointRowScope* t_innermost = nullptr;

constexpr std::uint32_t kNone = UINT32_MAX;

}  // namespace

DataPointRowScope::DataPointRowScope() : m_outer(t_innermost) { t_innermost = this; }

DataPointRowScope::~DataPointRowScope() { t_innermost = m_outer; }

bool DataPointRowScope::Rows::Find(std::uint32_t id, std::uint32_t& recno) const {
  if (!byId.empty()) {
    if (id >= byId.size() || byId[id] == kNone) return false;
    recno = byId[id];
    return true;
  }
  const auto at = recordOf.find(id);
  if (at == recordOf.end()) return false;
  recno = at->second;
  return true;
}

DataPointRowScope::Rows* DataPointRowScope::Open(const wxString& folder) {
  if (m_last && *m_lastFolder == folder) return m_last;
  auto it = m_tables.find(folder);
  if (it == m_tables.end()) {
    Rows rows;
    if (!rows.table.open(folder, hv::db::DatpktSchema())) return nullptr;
    // One walk in the records' own order; the first record of an id wins, as a
    // search in the id index finds it.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> found;
    found.reserve(rows.table.size());
    std::uint32_t top = 0;
    for (bool ok = rows.table.select({}, hv::db::kFirst); ok; ok = rows.table.select({}, hv::db::kNext)) {
      const std::int64_t id = rows.table.currentNumber(hv::db::datpkt::ID);
      if (id < 0 || id > static_cast<std::int64_t>(UINT32_MAX)) continue;
      found.emplace_back(static_cast<std::uint32_t>(id), rows.table.currentRecord());
      top = std::max(top, static_cast<std::uint32_t>(id));
    }
    if (top < 4 * found.size() + 4096) {
      rows.byId.assign(std::size_t{top} + 1, kNone);
      for (const auto& [id, recno] : found)
        if (rows.byId[id] == kNone) rows.byId[id] = recno;
    } else {
      rows.recordOf.reserve(found.size());
      for (const auto& [id, recno] : found) rows.recordOf.emplace(id, recno);
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
  std::uint32_t recno = 0;
  // A row deleted since the walk reads as missing.
  if (!rows->Find(id, recno) || !rows->table.selectRecord(recno)) return nullptr;
  return &rows->table;
}
