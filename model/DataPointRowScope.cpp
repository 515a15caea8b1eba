#include "model/DataPointRowScope.h"

#include "platform/dbase/Schemas.h"

namespace {

// The copy runs on the user-interface thread; a worker never reads through a scope.
thread_local DataPointRowScope* t_innermost = nullptr;

}  // namespace

DataPointRowScope::DataPointRowScope() : m_outer(t_innermost) { t_innermost = this; }

DataPointRowScope::~DataPointRowScope() { t_innermost = m_outer; }

hv::db::Table* DataPointRowScope::Table(const wxString& folder) {
  DataPointRowScope* scope = t_innermost;
  if (!scope || folder.empty()) return nullptr;
  auto it = scope->m_tables.find(folder);
  if (it != scope->m_tables.end()) return &it->second;
  hv::db::Table table;
  if (!table.open(folder, hv::db::DatpktSchema())) return nullptr;
  return &scope->m_tables.emplace(folder, std::move(table)).first->second;
}
