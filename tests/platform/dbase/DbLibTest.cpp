// The library operations the program calls by name.
#include <sys/stat.h>

#include <vector>

#include "tests/platform/dbase/DbTestSupport.h"

using namespace dbtest;

TEST(DbLib, DeviceTableSetIsMadeAllOrNothing) {
  hvtest::TempDir dir;
  const wxString dev = dir.Sub("Geraet1");
  EXPECT_FALSE(dbank_create(dev));   // no folder
  ASSERT_TRUE(hv::MakeFolders(dev));

  // A folder in the way of one table: nothing is left behind, no temporary file either.
  ASSERT_EQ(mkdir(hv::ToFs(hv::JoinPath(dev, "TEXTW.DBF")).c_str(), 0777), 0);
  EXPECT_FALSE(dbank_create(dev));
  EXPECT_EQ(hv::ListFolder(dev), std::vector<wxString>{"TEXTW.DBF"});
  rmdir(hv::ToFs(hv::JoinPath(dev, "TEXTW.DBF")).c_str());

  // An older folder's table stays as it is; the missing ones are made.
  hvtest::WriteAll(hv::JoinPath(dev, "geraet.dbf"), "keep");
  ASSERT_TRUE(dbank_create(dev));
  EXPECT_EQ(hvtest::ReadAll(hv::JoinPath(dev, "geraet.dbf")), "keep");
  EXPECT_EQ(hv::ListFolder(dev),
            (std::vector<wxString>{"BITMAP.DBF", "DATPKT.DBF", "EEPROM.DBF", "EINHEIT.DBF", "FONT.DBF",
                                   "geraet.dbf", "MSKFLD.DBF", "NETZWERK.DBF", "TEXTW.DBF"}));

  Table t;
  ASSERT_TRUE(db_open(hv::JoinPath(dev, "einheit"), t));
  std::vector<wxString> units;
  EinheitRow e;
  for (bool ok = einheit_select(t, e, kFirst); ok; ok = einheit_select(t, e, kNext)) units.push_back(e.unit);
  EXPECT_EQ(units, DefaultUnits());
  EXPECT_EQ(units.front(), S("°C"));
  EXPECT_FALSE(db_open(hv::JoinPath(dev, "UNKNOWN"), t));
  EXPECT_FALSE(db_open(hv::JoinPath(dev, "GERAET"), t));   // "keep" is no table

  // The project list, made with the caller's spelling and kept when it exists.
  const wxString list = dir.Sub("PROJEKT.DBF");
  ASSERT_TRUE(db_create_dbf(list));
  ASSERT_TRUE(db_open(dir.Sub("Projekt"), t));
  ProjektRow p;
  p.name = "Projekte";
  ASSERT_TRUE(projekt_insert(t, p));
  t.close();
  ASSERT_TRUE(db_create_dbf(list));
  ASSERT_TRUE(db_open(dir.Sub("PROJEKT"), t));
  EXPECT_TRUE(projekt_select(t, p, kSeek, "BEZEICH", {"PROJEKTE"}));
  EXPECT_FALSE(db_create_dbf(dir.Sub("NOTABLE.DBF")));
}

TEST(DbLib, BitmapsAndFontsAreFoundOrAddedByUpperCaseName) {
  hvtest::TempDir dir;
  ASSERT_TRUE(dbank_create(dir.Path()));
  const std::uint32_t a = bitmap_add(dir.Path(), S("logo_ä.bmp"));
  ASSERT_NE(a, 0u);
  EXPECT_EQ(bitmap_add(dir.Path(), S("LOGO_Ä.BMP")), a);
  const std::uint32_t b = bitmap_add(dir.Path(), "other.bmp");
  EXPECT_EQ(b, a + 1);
  EXPECT_EQ(font_add(dir.Path(), "Arial.ttf"), 1u);   // its own table
  EXPECT_EQ(font_add(dir.Path(), "ARIAL.TTF"), 1u);
  EXPECT_EQ(bitmap_add(dir.Path(), S("漢.bmp")), 0u);
  EXPECT_EQ(bitmap_add(dir.Path(), wxString('x', 241)), 0u);

  wxString name;
  ASSERT_TRUE(bitmap_get_name(dir.Path(), a, name));
  EXPECT_EQ(name, S("LOGO_Ä.BMP"));
  EXPECT_FALSE(bitmap_get_name(dir.Path(), 99, name));
  EXPECT_TRUE(name.empty());

  // FONT rows are read and changed with the bitmap operations.
  Table fonts;
  ASSERT_TRUE(fonts.open(dir.Path(), FontSchema()));
  BitmapRow f;
  ASSERT_TRUE(bitmap_select(fonts, f, kSeek, "-ID", {1}));
  f.logId = 4;
  ASSERT_TRUE(bitmap_update_current(fonts, f));
  ASSERT_TRUE(bitmap_select(fonts, f, kSeek, "LOG_ID", {4}));
  ASSERT_TRUE(bitmap_delete_current(fonts));
  EXPECT_EQ(font_add(dir.Path(), "arial.ttf"), 2u);   // the old number is not reused
}

TEST(DbLib, TextsGetNumbersAndAreFoundByNumberLanguageAndWording) {
  hvtest::TempDir dir;
  ASSERT_TRUE(dbank_create(dir.Path()));
  Table t;
  ASSERT_TRUE(t.open(dir.Path(), TextwSchema()));
  TextwRow de;
  de.language = 1031;
  de.text = S("Grüße");
  ASSERT_TRUE(wtext_insert(t, de));
  EXPECT_EQ(de.number, 1u);
  TextwRow en = de;   // the next language under the same number
  en.language = 1033;
  en.text = "Greetings";
  ASSERT_TRUE(wtext_insert(t, en));
  EXPECT_EQ(en.number, 1u);
  TextwRow far;
  far.number = 500;
  far.text = "far";
  ASSERT_TRUE(wtext_insert(t, far));
  TextwRow next;
  next.text = "next";
  ASSERT_TRUE(wtext_insert(t, next));
  EXPECT_EQ(next.number, 501u);

  TextwRow r;
  ASSERT_TRUE(wtext_select(t, r, kSeek, "IDTEXT", {1}));
  EXPECT_EQ(r.language, 1031);
  ASSERT_TRUE(wtext_select(t, r, kSeek, "IDTEXT", {1, 1033}));
  EXPECT_EQ(r.text, "Greetings");
  ASSERT_TRUE(wtext_selectw(t, r, kSeek, "TEXT__", S("Grüße")));
  EXPECT_EQ(r.number, 1u);
  t.close();

  wxString text;
  ASSERT_TRUE(wtext_get_text(dir.Path(), 1, 1033, text));
  EXPECT_EQ(text, "Greetings");
  EXPECT_FALSE(wtext_get_text(dir.Path(), 1, 1036, text));
  EXPECT_TRUE(text.empty());
}

TEST(DbLib, DataPointNamesAndNumbers) {
  hvtest::TempDir dir;
  ASSERT_TRUE(dbank_create(dir.Path()));
  Table t;
  ASSERT_TRUE(datpkt_open(dir.Path(), t));
  for (const char* n : {"Temp", "Temp_1", "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234"}) {
    DatpktRow d;
    d.name = n;
    ASSERT_TRUE(datpkt_insert(t, d));
  }
  wxString name = "Druck";
  ASSERT_TRUE(datpkt_get_new_name(t, name));
  EXPECT_EQ(name, "Druck");
  name = "TEMP   ";   // names ignore case here, as CoDeSys does
  ASSERT_TRUE(datpkt_get_new_name(t, name));
  EXPECT_EQ(name, "TEMP_2");
  name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ12345678";
  ASSERT_TRUE(datpkt_get_new_name(t, name));
  EXPECT_EQ(name, "ABCDEFGHIJKLMNOPQRSTUVWXYZ12_1");
  t.close();

  wxString got;
  ASSERT_TRUE(datpkt_get_name(dir.Path(), 2, got));
  EXPECT_EQ(got, "Temp_1");
  EXPECT_FALSE(datpkt_get_name(dir.Path(), 9, got));
  EXPECT_TRUE(got.empty());
}

TEST(DbLib, BulkInsertOfMaskRecordsGivesFreshIds) {
  hvtest::TempDir dir;
  ASSERT_TRUE(dbank_create(dir.Path()));
  Table t;
  ASSERT_TRUE(t.open(dir.Path(), MskfldSchema()));
  ASSERT_TRUE(msk_fld_insert_start(t));
  std::vector<std::uint32_t> ids;
  for (std::int16_t nr = 0; nr < 3; ++nr) {
    MaskField m;
    m.name = "Kopie";
    m.setNumber(nr);
    m.setId(7);   // the template's id: never kept
    ASSERT_TRUE(msk_fld_insert_quick(t, m));
    ids.push_back(m.id());
  }
  ASSERT_TRUE(msk_fld_insert_ende(t));
  EXPECT_EQ(ids, (std::vector<std::uint32_t>{1, 2, 3}));
  t.close();

  // The header was written at the end: a fresh reader sees all three.
  DropCachedTables();
  ASSERT_TRUE(t.open(dir.Path(), MskfldSchema()));
  EXPECT_EQ(t.size(), 3u);
  MaskField m;
  ASSERT_TRUE(msk_fld_select(t, m, kSeek, "MSK_FLD", {"Kopie", 2}));
  m.setX(10);
  ASSERT_TRUE(msk_fld_update(t, m));
  ASSERT_TRUE(msk_fld_select(t, m, kSeek, "MSK_ID", {3}));
  EXPECT_EQ(m.x(), 10);
  ASSERT_TRUE(msk_fld_delete(t));
  EXPECT_EQ(t.size(), 2u);
}

TEST(DbLib, InitialisationReportsTheVersionAndSetsTheLanguage) {
  EXPECT_EQ(rodozir_init(2910, "ENG"), 2910);
  EXPECT_EQ(sprache, 1033);
  EXPECT_EQ(rodozir_init(2910, "DEU"), 2910);
  EXPECT_EQ(sprache, 1031);
}
