// Every table's rows survive a write and a fresh read, and an independent reader
// (shapelib) sees the same values field by field; its files read back through us.
#include <tuple>

#include "tests/platform/dbase/DbTestSupport.h"

using namespace dbtest;

namespace {

const char* const kUmlauts = "°³äöüß";

// 128 characters of one unit and 64 surrogate pairs: 256 UTF-16 units, 640 UTF-8 bytes.
wxString LongWideText() {
  wxString s;
  for (int i = 0; i < 64; ++i) s += S("漢😀a");
  return s;
}

// Writes `row` into a fresh table (which numbers it) and reads it back from the file.
template <class Row>
Row RoundTrip(const wxString& folder, const Schema& schema, Row& row) {
  {
    Table t;
    Fresh(folder, schema, t);
    EXPECT_TRUE(t.insert(row)) << t.error();
  }
  DropCachedTables();
  Table t;
  EXPECT_TRUE(t.open(folder, schema));
  Row back;
  EXPECT_TRUE(t.select("", kFirst)) << t.error();
  EXPECT_TRUE(t.current(back));
  return back;
}

// Every field of a row, for comparing whole rows.
auto Fields(const ProjektRow& r) { return std::tie(r.name, r.path, r.level, r.parentKey); }
auto Fields(const GeraetRow& r) {
  return std::tie(r.number, r.name, r.type, r.network, r.node, r.param, r.marker, r.texts);
}
auto Fields(const NetzwerkRow& r) { return std::tie(r.number, r.name, r.driver, r.slot, r.param); }
auto Fields(const DatpktRow& r) {
  return std::tie(r.id, r.name, r.description, r.address, r.type, r.device, r.start, r.sigMin, r.sigMax, r.measMin,
                  r.measMax, r.unit, r.access, r.pickerAccess, r.value32, r.free, r.logId);
}
auto Fields(const EinheitRow& r) { return std::tie(r.unit); }
auto Fields(const EepromRow& r) { return std::tie(r.number, r.dataPoint, r.address, r.length); }
auto Fields(const TextwRow& r) { return std::tie(r.number, r.language, r.text, r.logId); }
auto Fields(const BitmapRow& r) { return std::tie(r.id, r.name, r.logId); }

template <class Row>
void ExpectRoundTrip(const wxString& folder, const Schema& schema, Row row) {
  const Row back = RoundTrip(folder, schema, row);
  EXPECT_TRUE(Fields(back) == Fields(row)) << schema.FileName();
}

}  // namespace

TEST(DbRoundTrip, EverySchemaKeepsItsValues) {
  hvtest::TempDir dir;
  const wxString u = S(kUmlauts);

  ProjektRow p;
  p.name = u + "Projekt";
  p.path = S("/home/ü/Projekte/") + u;
  p.level = 3;
  p.parentKey = S("$$$2$$$Ordner ß");
  ExpectRoundTrip(dir.Path(), ProjektSchema(), p);

  GeraetRow g;
  g.name = u + wxString('x', 42);   // 48 characters in full
  g.type = "COMBO167";
  g.network = 65535;
  g.node = "12";
  g.param = S("$$$DEVICEPATH$$$\\sym;ä;1.2.3.4");
  g.marker = 1;
  for (int i = 0; i < 6; ++i) g.texts[static_cast<std::size_t>(i)] = wxString::Format("T%d", i) + u;
  EXPECT_EQ(RoundTrip(dir.Path(), GeraetSchema(), g).number, 1);
  ExpectRoundTrip(dir.Path(), GeraetSchema(), g);

  NetzwerkRow n;
  n.name = u;
  n.driver = "MBTCP";
  n.slot = "TCP_0";
  n.param = "host=127.0.0.1 port=1502";
  ExpectRoundTrip(dir.Path(), NetzwerkSchema(), n);

  DatpktRow d;
  d.name = u + "_Temp";
  d.description = S("Außentemperatur ") + u;
  d.address = "4|40001|R4";
  d.type = 0x80;
  d.device = 32767;
  d.start = "-1.5";
  d.sigMin = "0";
  d.sigMax = "65535";
  d.measMin = "-40";
  d.measMax = "1e3";
  d.unit = S("°C");
  d.access = 0x303;
  d.pickerAccess = 0xFFFF;
  d.value32 = 0xFFFFFFFFu;
  for (int i = 0; i < 6; ++i) d.free[static_cast<std::size_t>(i)] = wxString::Format("Feld %d ", i) + u;
  d.logId = 65535;
  ExpectRoundTrip(dir.Path(), DatpktSchema(), d);

  EinheitRow e;
  e.unit = S("m³/h");
  ExpectRoundTrip(dir.Path(), EinheitSchema(), e);

  EepromRow ee;
  ee.dataPoint = 4000000000u;
  ee.address = 123456;
  ee.length = 65535;
  ExpectRoundTrip(dir.Path(), EepromSchema(), ee);

  MaskField m;
  m.name = u + wxString('M', 24);   // 30 characters
  m.setNumber(-32768);
  m.setType(16);
  m.setX(-5);
  m.setY(32767);
  m.setFlag(255);
  m.setLogId(65534);
  for (std::size_t i = MaskField::kResOffset; i < MaskField::kSize; ++i) m.buf[i] = static_cast<std::uint8_t>(i * 7);
  const MaskField mb = RoundTrip(dir.Path(), MskfldSchema(), m);
  EXPECT_EQ(mb.name, m.name);
  EXPECT_EQ(mb.id(), 1u);
  EXPECT_EQ(wxString::Format("%d %u %d %d %d %d", mb.number(), mb.type(), mb.x(), mb.y(), mb.flag(), mb.logId()),
            "-32768 16 -5 32767 255 65534");
  EXPECT_TRUE(std::equal(m.buf.begin() + MaskField::kResOffset, m.buf.end(), mb.buf.begin() + MaskField::kResOffset));

  TextwRow w;
  w.number = 0;   // asks for a new number
  w.language = 1031;
  w.text = LongWideText();
  w.logId = 9;
  EXPECT_EQ(RoundTrip(dir.Path(), TextwSchema(), w).number, 1u);
  ExpectRoundTrip(dir.Path(), TextwSchema(), w);

  for (const Schema* s : {&BitmapSchema(), &FontSchema()}) {
    BitmapRow b;
    b.name = S("ÄRGER.BMP");
    b.logId = 12;
    ExpectRoundTrip(dir.Path(), *s, b);
  }
}

TEST(DbRoundTrip, WideTextIsCutAtTheUnitLimitNeverInsideAPair) {
  hvtest::TempDir dir;
  TextwRow w;
  w.text = LongWideText() + S("😀");   // one pair past the limit
  EXPECT_EQ(RoundTrip(dir.Path(), TextwSchema(), w).text, LongWideText());
  w.text = LongWideText().Left(LongWideText().length() - 1) + S("😀");   // 255 units, then a pair
  EXPECT_EQ(RoundTrip(dir.Path(), TextwSchema(), w).text, LongWideText().Left(LongWideText().length() - 1));
}

TEST(DbRoundTrip, ShapelibReadsOurFilesFieldByField) {
  hvtest::TempDir dir;
  DatpktRow d;
  d.name = S("°³äöüß");
  d.description = S("Beschreibung ß");
  d.device = 7;
  d.unit = S("m³/h");
  d.value32 = 4294967295u;
  d.free[5] = S("letztes Feld ü");
  d.logId = 3;
  {
    Table t;
    Fresh(dir.Path(), DatpktSchema(), t);
    ASSERT_TRUE(datpkt_insert(t, d));
    DatpktRow gone;
    ASSERT_TRUE(datpkt_insert(t, gone));
    ASSERT_TRUE(datpkt_delete(t));
  }
  ShapeReader dp(TableFile(dir.Path(), DatpktSchema()));
  ASSERT_TRUE(dp.ok());
  ASSERT_EQ(dp.count(), 2);
  EXPECT_FALSE(dp.deleted(0));
  EXPECT_TRUE(dp.deleted(1));
  EXPECT_EQ(dp.num(0, "ID"), 1);
  EXPECT_EQ(dp.str(0, "BEZEICH"), Cp("°³äöüß"));
  EXPECT_EQ(dp.str(0, "BESCHREIB"), Cp("Beschreibung ß"));
  EXPECT_EQ(dp.num(0, "GNR"), 7);
  EXPECT_EQ(dp.str(0, "EINHEIT"), Cp("m³/h"));
  EXPECT_EQ(dp.num(0, "WERT32"), 4294967295LL);
  EXPECT_EQ(dp.str(0, "FELD6"), Cp("letztes Feld ü"));
  EXPECT_EQ(dp.num(0, "LOG_ID"), 3);

  TextwRow w;
  w.language = 1033;
  w.text = LongWideText();
  {
    Table t;
    Fresh(dir.Path(), TextwSchema(), t);
    ASSERT_TRUE(wtext_insert(t, w));
  }
  ShapeReader tw(TableFile(dir.Path(), TextwSchema()));
  ASSERT_TRUE(tw.ok());
  EXPECT_EQ(tw.lastFieldRaw(0), hv::ToUtf8(LongWideText()));
  EXPECT_EQ(tw.num(0, "SPRACHE"), 1033);
  EXPECT_EQ(tw.num(0, "IDTEXT"), 1);

  MaskField m;
  m.name = "Haupt";
  m.setType(3);
  m.setU32(72, 0xDEADBEEF);
  {
    Table t;
    Fresh(dir.Path(), MskfldSchema(), t);
    ASSERT_TRUE(msk_fld_insert_quick(t, m));
  }
  ShapeReader mk(TableFile(dir.Path(), MskfldSchema()));
  EXPECT_EQ(mk.str(0, "NAME"), "Haupt");
  EXPECT_EQ(mk.num(0, "TYP"), 3);
  const std::string data = mk.lastFieldRaw(0);
  EXPECT_EQ(data.size(), 784u);
  EXPECT_EQ(data.substr(8, 8), "EFBEADDE");
}

TEST(DbRoundTrip, WeReadShapelibFilesWithExtraAndMissingFields) {
  hvtest::TempDir dir;
  const std::string file = hv::ToFs(hv::JoinPath(dir.Path(), "GERAET.DBF"));
  {
    DBFHandle h = DBFCreateEx(file.c_str(), "LDID/87");
    ASSERT_NE(h, nullptr);
    DBFAddField(h, "EXTRA", FTString, 12, 0);
    DBFAddField(h, "gnr", FTInteger, 5, 0);
    DBFAddField(h, "BEZEICH", FTString, 40, 0);   // narrower than ours
    DBFAddField(h, "NNR", FTInteger, 5, 0);
    DBFAddField(h, "KNOTEN", FTString, 10, 0);
    DBFAddField(h, "RATE", FTDouble, 8, 2);
    const std::string name = Cp("Gerät ß");
    for (int r = 0; r < 2; ++r) {
      DBFWriteStringAttribute(h, r, 0, "keep me");
      DBFWriteIntegerAttribute(h, r, 1, 10 + r);
      DBFWriteStringAttribute(h, r, 2, (name + std::to_string(r)).c_str());
      DBFWriteIntegerAttribute(h, r, 3, 4);
      DBFWriteStringAttribute(h, r, 4, r == 0 ? "B" : "A");
      DBFWriteDoubleAttribute(h, r, 5, 2.5);
    }
    DBFClose(h);
  }
  ASSERT_TRUE(hv::IsFile(hv::JoinPath(dir.Path(), "GERAET.dbf")));   // shapelib's spelling
  Table t;
  ASSERT_TRUE(t.open(dir.Path(), GeraetSchema())) << t.error();
  GeraetRow g;
  ASSERT_TRUE(geraet_select(t, g, kSeek, "NETZWERK", {4}));
  EXPECT_EQ(g.name, S("Gerät ß1"));
  EXPECT_EQ(g.number, 11);
  EXPECT_TRUE(g.param.empty());   // not in this file
  g.param = "dropped";            // nowhere to go
  g.texts[0] = "also dropped";
  g.node = "Z";
  ASSERT_TRUE(geraet_update(t, g));
  GeraetRow added;
  added.name = "neu";
  ASSERT_TRUE(geraet_insert(t, added));
  EXPECT_EQ(added.number, 12);
  t.close();

  ShapeReader shp(hv::JoinPath(dir.Path(), "GERAET.dbf"));
  ASSERT_EQ(shp.count(), 3);
  EXPECT_EQ(shp.str(1, "EXTRA"), "keep me");
  EXPECT_EQ(shp.str(1, "KNOTEN"), "Z");
  EXPECT_EQ(shp.str(1, "RATE").substr(0, 3), "2.5");
  EXPECT_EQ(shp.str(2, "BEZEICH"), "neu");
  EXPECT_EQ(shp.num(2, "GNR"), 12);

  // Without a tag field the table cannot be used.
  const std::string other = hv::ToFs(hv::JoinPath(dir.Path(), "NETZWERK.DBF"));
  DBFHandle h = DBFCreateEx(other.c_str(), "LDID/87");
  DBFAddField(h, "NNR", FTInteger, 5, 0);
  DBFClose(h);
  Table n;
  EXPECT_FALSE(n.open(dir.Path(), NetzwerkSchema()));
  EXPECT_FALSE(n.error().empty());
}
