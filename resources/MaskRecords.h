#pragma once
// The records of one screen in the device's MSKFLD table: its header (element 0) and
// its elements, found by the screen's name (at most 30 characters, compared without
// trailing blanks).
#include <vector>
#include <wx/string.h>

#include "platform/dbase/DbLib.h"

namespace maskrec {

// Longest screen name the table keeps.
constexpr size_t kMaxScreenName = 30;

// The name as the table compares it: cut to 30 characters, trailing blanks removed.
wxString TableName(const wxString& name);
// The record's screen name without its padding.
wxString RecordName(const hv::db::MaskField& record);

// Every record of the screen in element-number order.
std::vector<hv::db::MaskField> ScreenRecords(hv::db::Table& table, const wxString& name);
// The screen's header record (type 0, element 0); false when it has none.
bool FindHeader(hv::db::Table& table, const wxString& name, hv::db::MaskField* header = nullptr);
// Deletes every record of the screen. False when a delete fails (the records before
// it are gone).
bool DeleteScreen(hv::db::Table& table, const wxString& name);

// The last write of MSKFLD.DBF in the folder, nanoseconds; false when it is missing.
bool TableTime(const wxString& deviceFolder, std::int64_t& timeNs);

}  // namespace maskrec
