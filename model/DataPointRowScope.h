#pragma once
// A copy of many data points reads one DATPKT row each. While a scope lives, the rows
// come from one handle per device table, opened at the first row of that device and
// kept for the whole copy, instead of an open, a file check and a seek per row.
//
//   DataPointRowScope rows;                 // for the copy of a selection
//   for (...) object->WriteToClipboard(ar);  // data points read through the scope
//
// Scopes nest; the innermost one serves. Without a scope every data point opens the
// table itself, as a single copy does.
#include <map>
#include <wx/string.h>

#include "platform/dbase/Table.h"

class DataPointRowScope {
 public:
  DataPointRowScope();
  ~DataPointRowScope();
  DataPointRowScope(const DataPointRowScope&) = delete;
  DataPointRowScope& operator=(const DataPointRowScope&) = delete;

  // The device folder's DATPKT, open; nullptr without a scope. A table that cannot
  // be opened is tried again at the next row, as it would be without the scope.
  static hv::db::Table* Table(const wxString& folder);

 private:
  std::map<wxString, hv::db::Table> m_tables;
  DataPointRowScope* m_outer;
};
