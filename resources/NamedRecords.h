#pragma once
// Look-up of the BITMAP or FONT row of a file name in a device's table, opened once for
// a whole folder listing. A missing table finds nothing.
#include <cstdint>
#include <wx/string.h>

#include "platform/dbase/DbLib.h"

class NamedRecords {
 public:
  NamedRecords(const wxString& deviceFolder, const hv::db::Schema& schema);
  // Record number and logical id of the file's row; false (both 0) when it has none.
  bool Find(const wxString& fileName, std::uint32_t& id, std::uint16_t& logId);

 private:
  hv::db::Table m_table;
  bool m_open = false;
};
