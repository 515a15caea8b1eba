#include "platform/dbase/Rows.h"

#include "platform/dbase/Schemas.h"

namespace hv::db {
namespace {

template <class T>
T As(const Record& r, int field) {
  return static_cast<T>(r.number(field));
}

}  // namespace

void ProjektRow::read(const Record& r) {
  r.readText(projekt::BEZEICH, name);
  r.readText(projekt::PFAD, path);
  level = As<std::int16_t>(r, projekt::EBENE);
  r.readText(projekt::PARENT, parentKey);
}

void ProjektRow::write(Record& r) const {
  r.setText(projekt::BEZEICH, name);
  r.setText(projekt::PFAD, path);
  r.setNumber(projekt::EBENE, level);
  r.setText(projekt::PARENT, parentKey);
}

void GeraetRow::read(const Record& r) {
  number = As<std::uint16_t>(r, geraet::GNR);
  r.readText(geraet::BEZEICH, name);
  r.readText(geraet::TYP, type);
  network = As<std::uint16_t>(r, geraet::NNR);
  r.readText(geraet::KNOTEN, node);
  r.readText(geraet::PARAM, param);
  marker = As<std::uint16_t>(r, geraet::MARKE);
  for (int i = 0; i < 6; ++i) r.readText(geraet::TEXT1 + i, texts[static_cast<std::size_t>(i)]);
}

void GeraetRow::write(Record& r) const {
  r.setNumber(geraet::GNR, number);
  r.setText(geraet::BEZEICH, name);
  r.setText(geraet::TYP, type);
  r.setNumber(geraet::NNR, network);
  r.setText(geraet::KNOTEN, node);
  r.setText(geraet::PARAM, param);
  r.setNumber(geraet::MARKE, marker);
  for (int i = 0; i < 6; ++i) r.setText(geraet::TEXT1 + i, texts[static_cast<std::size_t>(i)]);
}

void NetzwerkRow::read(const Record& r) {
  number = As<std::uint16_t>(r, netzwerk::NNR);
  r.readText(netzwerk::BEZEICH, name);
  r.readText(netzwerk::TREIBER, driver);
  r.readText(netzwerk::SLOT, slot);
  r.readText(netzwerk::PARAM, param);
}

void NetzwerkRow::write(Record& r) const {
  r.setNumber(netzwerk::NNR, number);
  r.setText(netzwerk::BEZEICH, name);
  r.setText(netzwerk::TREIBER, driver);
  r.setText(netzwerk::SLOT, slot);
  r.setText(netzwerk::PARAM, param);
}

void DatpktRow::read(const Record& r) {
  using namespace datpkt;
  id = As<std::uint32_t>(r, ID);
  r.readText(BEZEICH, name);
  r.readText(BESCHREIB, description);
  r.readText(PHYSDP, address);
  type = As<std::uint16_t>(r, TYP);
  device = As<std::uint16_t>(r, GNR);
  r.readText(START, start);
  r.readText(SIGMIN, sigMin);
  r.readText(SIGMAX, sigMax);
  r.readText(MESSMIN, measMin);
  r.readText(MESSMAX, measMax);
  r.readText(EINHEIT, unit);
  access = As<std::uint16_t>(r, ZUGRIFF);
  pickerAccess = As<std::uint16_t>(r, ZUGRIFFDP);
  value32 = As<std::uint32_t>(r, WERT32);
  for (int i = 0; i < 6; ++i) r.readText(FELD1 + i, free[static_cast<std::size_t>(i)]);
  logId = As<std::uint16_t>(r, LOG_ID);
}

void DatpktRow::write(Record& r) const {
  using namespace datpkt;
  r.setNumber(ID, id);
  r.setText(BEZEICH, name);
  r.setText(BESCHREIB, description);
  r.setText(PHYSDP, address);
  r.setNumber(TYP, type);
  r.setNumber(GNR, device);
  r.setText(START, start);
  r.setText(SIGMIN, sigMin);
  r.setText(SIGMAX, sigMax);
  r.setText(MESSMIN, measMin);
  r.setText(MESSMAX, measMax);
  r.setText(EINHEIT, unit);
  r.setNumber(ZUGRIFF, access);
  r.setNumber(ZUGRIFFDP, pickerAccess);
  r.setNumber(WERT32, value32);
  for (int i = 0; i < 6; ++i) r.setText(FELD1 + i, free[static_cast<std::size_t>(i)]);
  r.setNumber(LOG_ID, logId);
}

void EinheitRow::read(const Record& r) { r.readText(einheit::EINHEIT, unit); }
void EinheitRow::write(Record& r) const { r.setText(einheit::EINHEIT, unit); }

void EepromRow::read(const Record& r) {
  number = As<std::uint32_t>(r, eeprom::NR);
  dataPoint = As<std::uint32_t>(r, eeprom::DATPKT);
  address = As<std::uint32_t>(r, eeprom::ADRESSE);
  length = As<std::uint16_t>(r, eeprom::LAENGE);
}

void EepromRow::write(Record& r) const {
  r.setNumber(eeprom::NR, number);
  r.setNumber(eeprom::DATPKT, dataPoint);
  r.setNumber(eeprom::ADRESSE, address);
  r.setNumber(eeprom::LAENGE, length);
}

void TextwRow::read(const Record& r) {
  number = As<std::uint32_t>(r, textw::IDTEXT);
  language = As<std::uint16_t>(r, textw::SPRACHE);
  r.readText(textw::TEXT, text);
  logId = As<std::uint16_t>(r, textw::LOG_ID);
}

void TextwRow::write(Record& r) const {
  r.setNumber(textw::IDTEXT, number);
  r.setNumber(textw::SPRACHE, language);
  r.setText(textw::TEXT, text);
  r.setNumber(textw::LOG_ID, logId);
}

void BitmapRow::read(const Record& r) {
  id = As<std::uint32_t>(r, bitmap::ID);
  r.readText(bitmap::NAME, name);
  logId = As<std::uint16_t>(r, bitmap::LOG_ID);
}

void BitmapRow::write(Record& r) const {
  r.setNumber(bitmap::ID, id);
  r.setText(bitmap::NAME, name);
  r.setNumber(bitmap::LOG_ID, logId);
}

}  // namespace hv::db
