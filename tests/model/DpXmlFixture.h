#pragma once
// A fixture project for the data-point export: two Ethernet devices and one on a
// field bus, with memory, I/O-module and unmappable points in their DATPKT tables.
#include <vector>
#include <wx/string.h>

#include "model/DataPointXml.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"

namespace hvtest {

struct DpRowSpec {
  const char* name;
  const char* address;
  std::uint16_t type;
  std::uint16_t pickerAccess;
};

// Makes the device's tables in folder and adds the rows for device number.
inline void AddDataPoints(const wxString& folder, DWORD number, const std::vector<DpRowSpec>& rows) {
  hv::MakeFolders(folder);
  hv::db::dbank_create(folder);
  hv::db::Table t;
  if (!hv::db::datpkt_open(folder, t)) return;
  for (const DpRowSpec& point : rows) {
    hv::db::DatpktRow row;
    row.name = wxString::FromUTF8(point.name);
    row.address = point.address;
    row.type = point.type;
    row.device = static_cast<std::uint16_t>(number);
    row.access = point.pickerAccess;
    row.pickerAccess = point.pickerAccess;
    hv::db::datpkt_insert(t, row);
  }
}

// The memory and I/O points of the fixture's first device (all mappable).
inline std::vector<DpRowSpec> MappedPoints() {
  return {
      {"Sollwert", "8|M|W|81|0|0|1", 8, 3},
      {"Zähler", "8|M|D|81|1|0|1", 32, 3},
      {"Temperatur", "8|M|R|81|2|0|1", 128, 3},
      {"Status", "8|M|W|81|3|0|1", 16, 1},
      {"Freigabe", "8|M|X|81|4|5|1", 4, 3},
      {"Reihe", "8|M|D|81|5|0|3", 32, 3},
      {"Taster <1> & \"2\"", "9|Digital Input|2.05", 4, 1},
      {"Druck", "9|Analog Input|0.00", 128, 1},
  };
}

// Two Ethernet devices (the second only with points that have no place) and a field-bus
// device, all under base.
inline std::vector<DpXmlDevice> MakeDpFixture(const wxString& base) {
  std::vector<DpXmlDevice> devices(3);
  devices[0] = {wxS("Presse & Co"), wxS("Ethernet"), wxS("MBTCP;TCP_0;192.168.0.10;502"), base + wxS("/dev1"), 1};
  devices[1] = {wxS("Kessel"), wxS("ETHERNET"), wxS("MBTCP;TCP_0;10.0.0.7"), base + wxS("/dev2"), 2};
  devices[2] = {wxS("Feldbus"), wxS("PROFIBUS"), wxS("PB;0;3"), base + wxS("/dev3"), 3};
  auto first = MappedPoints();
  first.push_back({"Ohne Adresse", "", 8, 3});
  first.push_back({"Anderer Typ", "7|x|y", 8, 3});
  AddDataPoints(devices[0].folder, 1, first);
  AddDataPoints(devices[1].folder, 2,
                {{"Zu weit", "9|Digital Input|16.00", 4, 1},      // offset 512, beyond 511
                 {"Oben", "8|M|D|180|0|0|2000", 64, 3},         // array runs past 0xFFFF
                 {"Bytes", "8|M|B|81|0|0|2", 2, 3}});
  AddDataPoints(devices[2].folder, 3, {{"Feld", "8|M|W|81|0|0|1", 8, 3}});
  return devices;
}

}  // namespace hvtest
