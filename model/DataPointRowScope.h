#pragma once
// A copy of many data points reads one DATPKT row each. While a scope lives, the rows
// come from one handle per device table: the table is opened at the first row of a
// device and walked, as far as the ids asked for need, for where each id stands, and
// every row is then read from there, instead of an open, a file check and an index
// search per row. Rows asked for in record order are walked to just before they are
// read.
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

  // The same in two steps for a caller that reads many rows of one device: the
  // folder's tables found once (nullopt without a scope, nullptr when they cannot be
  // opened: ask again at the next row), good while the scope that gave them lives;
  // then the table positioned on the row of `id` (nullptr: no such row).
  struct Rows;
  static std::optional<Rows*> TablesOf(const wxString& folder);
  static hv::db::Table* Seek(Rows& rows, std::uint32_t id);

  // Opaque to callers.
  struct Rows {
    hv::db::Table table;
    // id -> record number of the records walked so far: indexed by id while the ids
    // stay dense (as the table gives them), else a hash.
    std::vector<std::uint32_t> byId;
    std::unordered_map<std::uint32_t, std::uint32_t> recordOf;
    std::uint32_t denseLimit = 0;
    std::uint32_t walked = 0;   // records before it are in the maps
    bool Find(std::uint32_t id, std::uint32_t& recno);

   private:
    bool Known(std::uint32_t id, std::uint32_t& recno) const;
    void Note(std::uint32_t id, std::uint32_t recno);
  };

 private:
  Rows* Open(const wxString& folder);

  std::map<wxString, Rows> m_tables;
  const wxString* m_lastFolder = nullptr;
  Rows* m_last = nullptr;
  DataPointRowScope* m_outer;
};
