#pragma once
// Setup shared by the benchmarks: a filled data-point table.
#include <cstdio>
#include <cstdlib>

#include <wx/string.h>

#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"

// Makes `folder` a device folder whose DATPKT holds `rows` data points of device 1; a
// table that cannot be filled is FAIL and ends the benchmark with a non-zero exit.
inline wxString FilledDatpkt(const wxString& folder, int rows) {
  using namespace hv::db;
  hv::MakeFolders(folder);
  Table t;
  bool ok = dbank_create(folder) && t.open(folder, DatpktSchema());
  t.beginBulk();
  for (int i = 0; i < rows; ++i) {
    DatpktRow r;
    r.name = wxString::Format("DP_%06d", (i * 7919) % rows);
    r.description = wxString::Format("Beschreibung %d", i);
    r.address = wxString::Format("9|M|W|81|%d|0|1", i);
    r.type = 8;
    r.device = 1;
    r.access = 3;
    r.unit = "bar";
    ok = ok && t.insert(r);
  }
  if (!t.endBulk() || !ok) {
    std::printf("FAIL: cannot fill the table in %s\n", folder.utf8_str().data());
    std::exit(1);
  }
  return folder;
}
