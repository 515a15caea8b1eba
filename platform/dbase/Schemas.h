#pragma once
// The tables of the project list and of a device folder.
#include <string_view>
#include <vector>
#include <wx/string.h>

#include "platform/dbase/Schema.h"

namespace hv::db {

// Field indices, in schema order.
namespace projekt { enum : int { BEZEICH, PFAD, EBENE, PARENT }; }
namespace geraet {
enum : int { GNR, BEZEICH, TYP, NNR, KNOTEN, PARAM, MARKE, TEXT1, TEXT2, TEXT3, TEXT4, TEXT5, TEXT6 };
}
namespace netzwerk { enum : int { NNR, BEZEICH, TREIBER, SLOT, PARAM }; }
namespace datpkt {
enum : int {
  ID, BEZEICH, BESCHREIB, PHYSDP, TYP, GNR, START, SIGMIN, SIGMAX, MESSMIN, MESSMAX, EINHEIT,
  ZUGRIFF, ZUGRIFFDP, WERT32, FELD1, FELD2, FELD3, FELD4, FELD5, FELD6, LOG_ID
};
}
namespace einheit { enum : int { EINHEIT }; }
namespace eeprom { enum : int { NR, DATPKT, ADRESSE, LAENGE }; }
namespace mskfld { enum : int { NAME, NR, ID, TYP, X, Y, FLAG, LOG_ID, RES, DATA }; }
namespace textw { enum : int { IDTEXT, SPRACHE, LOG_ID, TEXT }; }
namespace bitmap { enum : int { ID, NAME, LOG_ID }; }

const Schema& ProjektSchema();
const Schema& GeraetSchema();
const Schema& NetzwerkSchema();
const Schema& DatpktSchema();
const Schema& EinheitSchema();
const Schema& EepromSchema();
const Schema& MskfldSchema();
const Schema& TextwSchema();
const Schema& BitmapSchema();
const Schema& FontSchema();

// A known table by name, case ignored; null when unknown.
const Schema* FindSchema(std::string_view tableName);

// The tables of a device folder, in the order dbank_create makes them.
const std::vector<const Schema*>& DeviceSchemas();

// The units a new EINHEIT table starts with.
const std::vector<wxString>& DefaultUnits();

// Number at `offset` of a mask-field record (the offsets of MaskField) that the
// "MSK_DATPKT" tag indexes: the element's main data-point reference, 0 for types
// without one.
std::int64_t MaskFieldMainDataPoint(const Record& record);

}  // namespace hv::db
