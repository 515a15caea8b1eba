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

bool DataPointRowScope::Rows::Known(std::uint32_t id, std::uint32_t& recno) const {
  if (id < byId.size() && byId[id] != kNone) {
    recno = byId[id];
    return true;
  }
  if (recordOf.empty()) return false;
  const auto at = recordOf.find(id);
  if (at == recordOf.end()) return false;
  recno = at->second;
  return true;
}

void DataPointRowScope::Rows::Note(std::uint32_t id, std::uint32_t recno) {
  // The first record of an id wins, as a search in the id index finds it.
  if (id < denseLimit) {
    if (id >= byId.size())
      byId.resize(std::min<std::size_t>(denseLimit, std::max<std::size_t>(std::size_t{id} + 1, byId.size() * 2)), kNone);
    if (byId[id] == kNone) byId[id] = recno;
  } else {
    recordOf.emplace(id, recno);
  }
}

bool DataPointRowScope::Rows::Find(std::uint32_t id, std::uint32_t& recno) {
  if (Known(id, recno)) return true;
  // The walk goes on in the records' own order until it meets the id.
  const std::uint32_t count = table.recordCount();
  while (walked < count) {
    const std::uint32_t at = walked++;
    // Each walked record is read in full soon after: fetch those a few ahead.
    constexpr std::uint32_t kAhead = 6;
    table.prefetchRecord(at + kAhead);
    if (!table.selectRecord(at)) continue;
    const std::int64_t found = table.currentNumber(hv::db::datpkt::ID);
    if (found < 0 || found > static_cast<std::int64_t>(UINT32_MAX)) continue;
    const auto own = static_cast<std::uint32_t>(found);
    const bool first = !Known(own, recno);
    if (first) Note(own, at);
    if (own == id && first) {
      recno = at;
      return true;
    }
  }
  return false;
}

DataPointRowScope::Rows* DataPointRowScope::Open(const wxString& folder) {
  if (m_last && *m_lastFolder == folder) return m_last;
  auto it = m_tables.find(folder);
  if (it == m_tables.end()) {
    Rows rows;
    if (!rows.table.open(folder, hv::db::DatpktSchema())) return nullptr;
    // Ids as the table gives them stay below this; others go to the hash.
    rows.denseLimit = static_cast<std::uint32_t>(std::min<std::uint64_t>(UINT32_MAX, 4ull * rows.table.size() + 4096));
    it = m_tables.emplace(folder, std::move(rows)).first;
  }
  m_lastFolder = &it->first;
  m_last = &it->second;
  return m_last;
}

std::optional<DataPointRowScope::Rows*> DataPointRowScope::TablesOf(const wxString& folder) {
  DataPointRowScope* scope = t_innermost;
  if (!scope) return std::nullopt;
  return folder.empty() ? nullptr : scope->Open(folder);
}

hv::db::Table* DataPointRowScope::Seek(Rows& rows, std::uint32_t id) {
  std::uint32_t recno = 0;
  // A row deleted since the walk reads as missing.
  if (!rows.Find(id, recno) || !rows.table.selectRecord(recno)) return nullptr;
  return &rows.table;
}

std::optional<hv::db::Table*> DataPointRowScope::Seek(const wxString& folder, std::uint32_t id) {
  const std::optional<Rows*> rows = TablesOf(folder);
  if (!rows) return std::nullopt;
  if (!*rows) return nullptr;
  return Seek(**rows, id);
}
