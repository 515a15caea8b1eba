// Writing: auto numbers, shared handles, refused values, pack and its failure.
#include <vector>

#include "tests/platform/dbase/DbTestSupport.h"

using namespace dbtest;

namespace {

DatpktRow Point(const char* name, std::uint16_t device = 1) {
  DatpktRow d;
  d.name = S(name);
  d.device = device;
  return d;
}

// Sets the header's auto-number counter (bytes 16-19) as another program might leave it.
void SetCounter(const wxString& file, std::uint32_t counter) {
  std::string b = hvtest::ReadAll(file);
  for (int i = 0; i < 4; ++i) b[16 + i] = static_cast<char>(counter >> (8 * i));
  hvtest::WriteAll(file, b);
  // Same size, and the file time may not have moved on within one clock tick.
  DropCachedTables();
}

}  // namespace

TEST(DbWrite, AutoNumbersAreNeverGivenTwice) {
  hvtest::TempDir dir;
  const wxString file = TableFile(dir.Path(), DatpktSchema());
  {
    Table t;
    Fresh(dir.Path(), DatpktSchema(), t);
    for (const char* n : {"a", "b", "c"}) {
      DatpktRow d = Point(n);
      d.id = 77;   // ignored: the table numbers its rows
      ASSERT_TRUE(datpkt_insert(t, d));
    }
    DatpktRow d;
    ASSERT_TRUE(datpkt_select(t, d, kSeek, "ID", {3}));
    ASSERT_TRUE(datpkt_delete(t));
    d = Point("d");
    ASSERT_TRUE(datpkt_insert(t, d));
    EXPECT_EQ(d.id, 4u);
    ASSERT_TRUE(datpkt_select(t, d, kSeek, "ID", {4}));
    ASSERT_TRUE(datpkt_delete(t));
    ASSERT_TRUE(t.pack());
    EXPECT_EQ(t.size(), 2u);
  }
  DropCachedTables();
  {
    Table t;
    ASSERT_TRUE(t.open(dir.Path(), DatpktSchema()));
    DatpktRow d = Point("e");
    ASSERT_TRUE(datpkt_insert(t, d));
    EXPECT_EQ(d.id, 5u);
    // An update never changes a row's number.
    d.id = 1;
    ASSERT_TRUE(datpkt_update(t, d));
    DatpktRow back;
    ASSERT_TRUE(datpkt_select(t, back, kSeek, "ID", {5}));
    EXPECT_EQ(back.name, "e");
  }
  // A writer that left the counter at 0: the highest number of any record counts,
  // deleted ones included.
  {
    Table t;
    ASSERT_TRUE(t.open(dir.Path(), DatpktSchema()));
    DatpktRow d;
    ASSERT_TRUE(datpkt_select(t, d, kSeek, "ID", {5}));
    ASSERT_TRUE(datpkt_delete(t));
  }
  SetCounter(file, 0);
  Table t;
  ASSERT_TRUE(t.open(dir.Path(), DatpktSchema()));
  DatpktRow d = Point("f");
  ASSERT_TRUE(datpkt_insert(t, d));
  EXPECT_EQ(d.id, 6u);
}

TEST(DbWrite, NumberSpaceEndsAtTheFieldsLimit) {
  hvtest::TempDir dir;
  for (auto [schema, last] : {std::pair{&GeraetSchema(), 32767u}, {&NetzwerkSchema(), 65534u}}) {
    Table t;
    Fresh(dir.Path(), *schema, t);
    t.close();
    const wxString file = TableFile(dir.Path(), *schema);
    SetCounter(file, last - 1);
    ASSERT_TRUE(t.open(dir.Path(), *schema));
    if (schema == &GeraetSchema()) {
      GeraetRow g;
      ASSERT_TRUE(geraet_insert(t, g));
      EXPECT_EQ(g.number, last);
      const std::string before = hvtest::ReadAll(file);
      EXPECT_FALSE(geraet_insert(t, g));
      EXPECT_EQ(hvtest::ReadAll(file), before);
    } else {
      NetzwerkRow n;
      ASSERT_TRUE(netzwerk_insert(t, n));
      EXPECT_EQ(n.number, last);
      EXPECT_FALSE(netzwerk_insert(t, n));
    }
  }
  // Reserved header bytes holding what no number of the table can be are not ours.
  Table t;
  Fresh(dir.Path(), GeraetSchema(), t);
  t.close();
  SetCounter(TableFile(dir.Path(), GeraetSchema()), 0x12345678);
  ASSERT_TRUE(t.open(dir.Path(), GeraetSchema()));
  GeraetRow g;
  ASSERT_TRUE(geraet_insert(t, g));
  EXPECT_EQ(g.number, 1);
}

TEST(DbWrite, ValuesThatCannotBeStoredWriteNothing) {
  hvtest::TempDir dir;
  Table t;
  Fresh(dir.Path(), DatpktSchema(), t);
  DatpktRow d = Point("ok");
  ASSERT_TRUE(datpkt_insert(t, d));
  const wxString file = TableFile(dir.Path(), DatpktSchema());
  const std::string before = hvtest::ReadAll(file);

  DatpktRow bad = Point("Łódź");
  EXPECT_FALSE(datpkt_insert(t, bad));
  bad = d;
  bad.free[3] = S("漢字");
  ASSERT_TRUE(datpkt_select(t, d, kSeek, "ID", {1}));
  EXPECT_FALSE(datpkt_update(t, bad));
  EXPECT_EQ(hvtest::ReadAll(file), before);
  EXPECT_EQ(t.size(), 1u);

  Table p;
  Fresh(dir.Path(), ProjektSchema(), p);
  ProjektRow row;
  row.name = "x";
  row.level = -32768;   // six characters do not fit the five-wide level
  EXPECT_FALSE(projekt_insert(p, row));
  EXPECT_EQ(p.size(), 0u);

  // Texts longer than their field are cut, as the record buffers always were.
  d.description = wxString('x', 60);
  ASSERT_TRUE(datpkt_update(t, d));
  DatpktRow back;
  ASSERT_TRUE(datpkt_select(t, back, kSeek, "ID", {1}));
  EXPECT_EQ(back.description, wxString('x', 48));
}

TEST(DbWrite, TwoHandlesOnOneFileLoseNoUpdate) {
  hvtest::TempDir dir;
  Table a, b;
  Fresh(dir.Path(), DatpktSchema(), a);
  ASSERT_TRUE(b.open(dir.Path(), DatpktSchema()));
  DatpktRow d1 = Point("one"), d2 = Point("two");
  ASSERT_TRUE(datpkt_insert(a, d1));
  ASSERT_TRUE(datpkt_insert(b, d2));
  EXPECT_EQ(d2.id, 2u);

  DatpktRow ra, rb;
  ASSERT_TRUE(datpkt_select(a, ra, kSeek, "ID", {1}));
  ASSERT_TRUE(datpkt_select(b, rb, kSeek, "-DATPKT", {"ONE"}));   // b sees a's row at once
  ra.unit = "bar";
  ASSERT_TRUE(datpkt_update(a, ra));
  ASSERT_TRUE(datpkt_select(b, rb, kSeek, "ID", {2}));
  rb.unit = "mV";
  ASSERT_TRUE(datpkt_update(b, rb));
  // b erases what a stands on: a has no current record any more.
  ASSERT_TRUE(datpkt_select(b, rb, kSeek, "ID", {1}));
  ASSERT_TRUE(datpkt_select(a, ra, kSeek, "ID", {1}));
  ASSERT_TRUE(datpkt_delete(b));
  EXPECT_FALSE(a.hasCurrent());
  EXPECT_FALSE(datpkt_update(a, ra));
  a.close();
  b.close();

  ShapeReader shp(TableFile(dir.Path(), DatpktSchema()));
  ASSERT_TRUE(shp.ok());
  ASSERT_EQ(shp.count(), 2);
  EXPECT_TRUE(shp.deleted(0));
  EXPECT_EQ(shp.str(0, "EINHEIT"), "bar");
  EXPECT_EQ(shp.str(1, "EINHEIT"), "mV");
}

TEST(DbWrite, OpeningAndReadingLeaveTheFileAlone) {
  hvtest::TempDir dir;
  {
    Table t;
    Fresh(dir.Path(), DatpktSchema(), t);
    DatpktRow d = Point("a");
    ASSERT_TRUE(datpkt_insert(t, d));
  }
  const wxString file = TableFile(dir.Path(), DatpktSchema());
  const std::int64_t time = FileTimeNs(file);
  const std::string bytes = hvtest::ReadAll(file);
  DropCachedTables();
  for (int i = 0; i < 2; ++i) {
    Table t;
    ASSERT_TRUE(t.open(dir.Path(), DatpktSchema()));
    DatpktRow d;
    EXPECT_TRUE(datpkt_select(t, d, kFirst, "-DATPKT"));
  }
  EXPECT_EQ(FileTimeNs(file), time);
  EXPECT_EQ(hvtest::ReadAll(file), bytes);
}

TEST(DbWrite, ChangesByAnotherProgramAreSeenAtTheNextOpen) {
  hvtest::TempDir dir;
  {
    Table t;
    Fresh(dir.Path(), DatpktSchema(), t);
    DatpktRow d = Point("mine");
    ASSERT_TRUE(datpkt_insert(t, d));
  }
  {
    DBFHandle h = DBFOpen(hv::ToFs(TableFile(dir.Path(), DatpktSchema())).c_str(), "rb+");
    ASSERT_NE(h, nullptr);
    const int rec = DBFGetRecordCount(h);
    DBFWriteIntegerAttribute(h, rec, DBFGetFieldIndex(h, "ID"), 9);
    DBFWriteStringAttribute(h, rec, DBFGetFieldIndex(h, "BEZEICH"), "theirs");
    DBFClose(h);
  }
  Table t;
  ASSERT_TRUE(t.open(dir.Path(), DatpktSchema()));
  DatpktRow d;
  ASSERT_TRUE(datpkt_select(t, d, kSeek, "-DATPKT", {"theirs"}));
  d = Point("next");
  ASSERT_TRUE(datpkt_insert(t, d));
  EXPECT_EQ(d.id, 10u);
}

TEST(DbWrite, InterruptedPackLeavesTheOldFile) {
  hvtest::TempDir dir;
  Table t;
  Fresh(dir.Path(), DatpktSchema(), t);
  for (int i = 0; i < 40; ++i) {
    DatpktRow d = Point("p");
    d.name << i;
    ASSERT_TRUE(datpkt_insert(t, d));
  }
  DatpktRow d;
  ASSERT_TRUE(datpkt_select(t, d, kSeek, "ID", {1}));
  ASSERT_TRUE(datpkt_delete(t));
  const wxString file = TableFile(dir.Path(), DatpktSchema());
  const std::string before = hvtest::ReadAll(file);

  bool packed = true;
  {
    hvtest::FileSizeLimit limit(4096);   // the write of the packed copy fails midway
    packed = t.pack();
  }
  EXPECT_FALSE(packed);
  EXPECT_EQ(hvtest::ReadAll(file), before);
  EXPECT_EQ(hv::ListFolder(dir.Path()), std::vector<wxString>{"DATPKT.DBF"});
  ASSERT_TRUE(datpkt_select(t, d, kSeek, "ID", {2}));   // still usable
  ASSERT_TRUE(t.pack());
  EXPECT_EQ(t.size(), 39u);
  EXPECT_LT(hvtest::ReadAll(file).size(), before.size());
  ASSERT_TRUE(datpkt_select(t, d, kFirst, "ID"));
  EXPECT_EQ(d.id, 2u);
}
