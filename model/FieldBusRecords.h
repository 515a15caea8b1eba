#pragma once
// Clipboard form of GERAET and DATPKT rows that networks and field-bus devices carry.
// Texts read back are cut to their field's width.
#include "platform/Archive.h"
#include "platform/dbase/Rows.h"

namespace hv {

void ArchiveDeviceRecord(Archive& ar, db::GeraetRow& row);
void ArchiveDataPointRecord(Archive& ar, db::DatpktRow& row);

}  // namespace hv
