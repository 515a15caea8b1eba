#pragma once
// A copy of many data points reads one DATPKT row each. While a scope lives, the rows
// come from one handle per device table: at the first row of a device its table is
// opened and walked once for where each id stands, and every row is then read from
// there, instead of an open, a file check and an index search per row.
//
//   DataPointRowScope rows;                 // for the copy of a selection
//   for (...) object->WriteToClipboard(ar);  // data points read through the scope
//
// Scopes nest; the innermost one serves. Without a scope every data point opens the
// table itself, as a single copy does.
#include <cstdint>
#include <map>
#include <optional>
#include <unordered_map>
#include <vector>
#include <wx/string.h>

#include "platform/dbase/Table.h"

class DataPointRowScope {
 public:
  DataPointRowScope();
  ~DataPointRowScope();
  DataPointRowScope(const DataPointRowScope&) = delete;
  DataPointRowScope& operator=(const DataPointRowScope&) = delete;

  // The device folder's DATPKT positioned on the row of `id`; nullptr when the table
  // cannot be opened or holds no such row (deleted meanwhile, too); nullopt without a
  // scope. A table that cannot be opened is tried again at the next row.
  static std::optional<hv::db::Table*> Seek(const wxString& folder, std::uint32_t id);

 private:
  struct Rows {
    hv::db::Table table;
    // id -> record number: indexed by id while the ids are dense (as the table gives
    // them), else a hash.
    std::vector<std::uint32_t> byId;
    std::unordered_map<std::uint32_t, std::uint32_t> recordOf;
    bool Find(std::uint32_t id, std::uint32_t& recno) const;
  };
  Rows* Open(const wxString& folder);

  std::map<wxString, Rows> m_tables;
  const wxString* m_lastFolder = nullptr;
  Rows* m_last = nullptr;
  DataPointRowScope* m_outer;
};
