#include "platform/dbase/Schemas.h"

#include <strings.h>

#include "platform/dbase/MaskField.h"

namespace hv::db {
namespace {

constexpr FieldKind C = FieldKind::Text;
constexpr FieldKind W = FieldKind::WideText;
constexpr FieldKind N = FieldKind::Number;

template <int F>
bool NonZero(const Record& r) {
  return r.number(F) != 0;
}

bool IsMaskHeader(const Record& r) { return r.number(mskfld::TYP) == 0; }
bool IsMaskHeaderWithLogId(const Record& r) {
  return r.number(mskfld::TYP) == 0 && r.number(mskfld::LOG_ID) != 0;
}
bool HasMainDataPoint(const Record& r) { return MaskFieldMainDataPoint(r) != 0; }

Schema MakeBitmapLike(const char* name) {
  Schema s;
  s.name = name;
  s.rowKind = RowKind::Bitmap;
  s.fields = {{"ID", N, 10}, {"NAME", C, 240}, {"LOG_ID", N, 5}};
  s.tags = {
      {"NAME", {{bitmap::NAME}}},
      {"LOG_ID", {{bitmap::LOG_ID}}, NonZero<bitmap::LOG_ID>},
      {"-ID", {{bitmap::ID}}},
  };
  s.autoField = bitmap::ID;
  s.autoMode = AutoNumber::Always;
  s.autoMax = 0xFFFFFFFFu;
  return s;
}

}  // namespace

std::int64_t MaskFieldMainDataPoint(const Record& r) {
  std::size_t offset;
  switch (r.number(mskfld::TYP)) {
    case 3: case 5: case 6: case 9: offset = 72; break;
    case 7: case 10: case 11: case 16: offset = 68; break;
    case 12: offset = 128; break;
    default: return 0;
  }
  return MaskField::DataU32(r.raw(mskfld::DATA), offset);
}

const Schema& ProjektSchema() {
  static const Schema s = [] {
    Schema s;
    s.name = "PROJEKT";
    s.rowKind = RowKind::Projekt;
    s.fields = {{"BEZEICH", C, 30}, {"PFAD", C, 255}, {"EBENE", N, 5}, {"PARENT", C, 60}};
    s.tags = {{"BEZEICH", {{projekt::BEZEICH, true}}}};
    return s;
  }();
  return s;
}

const Schema& GeraetSchema() {
  static const Schema s = [] {
    Schema s;
    s.name = "GERAET";
    s.rowKind = RowKind::Geraet;
    s.fields = {{"GNR", N, 5},     {"BEZEICH", C, 48}, {"TYP", C, 8},    {"NNR", N, 5},
                {"KNOTEN", C, 10}, {"PARAM", C, 255},  {"MARKE", N, 5},  {"TEXT1", C, 30},
                {"TEXT2", C, 30},  {"TEXT3", C, 30},   {"TEXT4", C, 30}, {"TEXT5", C, 30},
                {"TEXT6", C, 30}};
    s.tags = {
        {"-GNR", {{geraet::GNR}}},
        {"BEZEICH", {{geraet::BEZEICH, true}}},
        {"NETZWERK", {{geraet::NNR}, {geraet::KNOTEN}}},
    };
    s.autoField = geraet::GNR;
    s.autoMode = AutoNumber::Always;
    s.autoMax = 32767;
    return s;
  }();
  return s;
}

const Schema& NetzwerkSchema() {
  static const Schema s = [] {
    Schema s;
    s.name = "NETZWERK";
    s.rowKind = RowKind::Netzwerk;
    s.fields = {{"NNR", N, 5}, {"BEZEICH", C, 30}, {"TREIBER", C, 8}, {"SLOT", C, 10}, {"PARAM", C, 255}};
    s.tags = {
        {"NNR", {{netzwerk::NNR}}},
        {"-NETZWERK", {{netzwerk::BEZEICH}}},
    };
    s.autoField = netzwerk::NNR;
    s.autoMode = AutoNumber::Always;
    s.autoMax = 65534;   // 65535 marks the project device's own row
    return s;
  }();
  return s;
}

const Schema& DatpktSchema() {
  static const Schema s = [] {
    Schema s;
    s.name = "DATPKT";
    s.rowKind = RowKind::Datpkt;
    s.fields = {{"ID", N, 10},       {"BEZEICH", C, 30}, {"BESCHREIB", C, 48}, {"PHYSDP", C, 48},
                {"TYP", N, 5},       {"GNR", N, 5},      {"START", C, 16},     {"SIGMIN", C, 16},
                {"SIGMAX", C, 16},   {"MESSMIN", C, 16}, {"MESSMAX", C, 16},   {"EINHEIT", C, 20},
                {"ZUGRIFF", N, 5},   {"ZUGRIFFDP", N, 5}, {"WERT32", N, 11},   {"FELD1", C, 30},
                {"FELD2", C, 30},    {"FELD3", C, 30},   {"FELD4", C, 30},     {"FELD5", C, 30},
                {"FELD6", C, 30},    {"LOG_ID", N, 5}};
    s.tags = {
        {"ID", {{datpkt::ID}}},
        {"-DATPKT", {{datpkt::BEZEICH, true}}},
        {"GNR", {{datpkt::GNR}}},
        {"LOG_ID", {{datpkt::LOG_ID}}, NonZero<datpkt::LOG_ID>},
    };
    s.autoField = datpkt::ID;
    s.autoMode = AutoNumber::Always;
    s.autoMax = 0xFFFFFFFFu;
    return s;
  }();
  return s;
}

const Schema& EinheitSchema() {
  static const Schema s = [] {
    Schema s;
    s.name = "EINHEIT";
    s.rowKind = RowKind::Einheit;
    s.fields = {{"EINHEIT", C, 20, true}};
    return s;
  }();
  return s;
}

const Schema& EepromSchema() {
  static const Schema s = [] {
    Schema s;
    s.name = "EEPROM";
    s.rowKind = RowKind::Eeprom;
    s.fields = {{"NR", N, 10}, {"DATPKT", N, 10}, {"ADRESSE", N, 10}, {"LAENGE", N, 5}};
    s.tags = {{"DATPKT", {{eeprom::DATPKT}}}};
    s.autoField = eeprom::NR;
    s.autoMode = AutoNumber::Always;
    s.autoMax = 0xFFFFFFFFu;
    return s;
  }();
  return s;
}

const Schema& MskfldSchema() {
  static const Schema s = [] {
    Schema s;
    s.name = "MSKFLD";
    s.rowKind = RowKind::MaskField;
    s.fields = {{"NAME", C, 30},     {"NR", N, 6}, {"ID", N, 10},    {"TYP", N, 10, true},
                {"X", N, 6},         {"Y", N, 6},  {"FLAG", N, 3},   {"LOG_ID", N, 5},
                {"RES", C, 16},      {"DATA", C, 784, true}};
    KeyPartDef mainDataPoint;
    mainDataPoint.compute = MaskFieldMainDataPoint;
    s.tags = {
        {"MSK_HEAD", {{mskfld::NAME}}, IsMaskHeader},
        {"MSK_FLD", {{mskfld::NAME}, {mskfld::NR}}},
        {"MSK_ID", {{mskfld::ID}}},
        {"LOG_ID", {{mskfld::LOG_ID}}, IsMaskHeaderWithLogId},
        {"MSK_DATPKT", {mainDataPoint}, HasMainDataPoint},
        {"MSK_TYP", {{mskfld::TYP}}},
    };
    s.autoField = mskfld::ID;
    s.autoMode = AutoNumber::Always;
    s.autoMax = 0xFFFFFFFFu;
    return s;
  }();
  return s;
}

const Schema& TextwSchema() {
  static const Schema s = [] {
    Schema s;
    s.name = "TEXTW";
    s.rowKind = RowKind::Textw;
    // Wide fields go last: readers that take a character field's width from its low
    // byte alone still find every other field.
    s.fields = {{"IDTEXT", N, 10}, {"SPRACHE", N, 5}, {"LOG_ID", N, 5}, {"TEXT", W, 768}};
    s.tags = {
        {"IDTEXT", {{textw::IDTEXT}, {textw::SPRACHE}}},
        {"TEXT__", {{textw::TEXT}}},
        {"LOG_ID", {{textw::LOG_ID}}, NonZero<textw::LOG_ID>},
    };
    s.autoField = textw::IDTEXT;
    s.autoMode = AutoNumber::WhenZero;
    s.autoMax = 0xFFFFFFFFu;
    return s;
  }();
  return s;
}

const Schema& BitmapSchema() {
  static const Schema s = MakeBitmapLike("BITMAP");
  return s;
}

const Schema& FontSchema() {
  static const Schema s = MakeBitmapLike("FONT");
  return s;
}

const std::vector<const Schema*>& DeviceSchemas() {
  static const std::vector<const Schema*> all = {
      &GeraetSchema(), &NetzwerkSchema(), &DatpktSchema(), &EinheitSchema(), &EepromSchema(),
      &MskfldSchema(), &TextwSchema(),    &BitmapSchema(), &FontSchema()};
  return all;
}

const Schema* FindSchema(std::string_view tableName) {
  if (tableName.size() == 7 && strncasecmp(tableName.data(), "PROJEKT", 7) == 0) return &ProjektSchema();
  for (const Schema* s : DeviceSchemas())
    if (s->name.size() == tableName.size() && strncasecmp(s->name.data(), tableName.data(), tableName.size()) == 0)
      return s;
  return nullptr;
}

const std::vector<wxString>& DefaultUnits() {
  static const std::vector<wxString> units = {
      wxS("°C"), "K",  "%", "bar", "mbar", "Pa",    "V",        "mV", "A", "mA", "W",   "kW", "kWh",
      "Hz",      "U/min", "m", "mm", "m/s", "l",   "l/min", wxS("m³/h"), "kg", "s", "ms", "min", "h"};
  return units;
}

}  // namespace hv::db
