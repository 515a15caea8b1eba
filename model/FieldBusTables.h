#pragma once
// Table work that networks and field-bus devices share: opening a device folder's
// table, its file time, and the data points a device carries through the clipboard.
#include <cstdint>
#include <vector>
#include <wx/string.h>

#include "platform/Archive.h"
#include "platform/dbase/DbLib.h"

namespace hv::fieldbus {

// Makes the folder the library's data folder and opens "<folder>/<table>".
bool OpenTable(const wxString& folder, const char* table, db::Table& t);
// Last write time of "<folder>/<table>.DBF" in nanoseconds; 0 when it cannot be read.
std::int64_t TableTimeNs(const wxString& folder, const char* table);
// The count and records of the device's DATPKT rows.
void WritePoints(Archive& ar, db::Table& points, std::uint16_t device);
// Reads what WritePoints wrote and inserts the points for `device`: free names, a used
// logical id becomes 65535 (0 stays). Inserted ids are appended to `inserted`; a failed
// insert throws ArchiveException.
void InsertPoints(Archive& ar, db::Table& points, std::uint16_t device, std::vector<std::uint32_t>& inserted);
// Removes the points of these ids (the undo of InsertPoints).
void RemovePoints(db::Table& points, const std::vector<std::uint32_t>& ids);

}  // namespace hv::fieldbus
