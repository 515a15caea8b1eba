// Tables as other writers leave them: numbers of up to 64 bits in wide numeric fields,
// headers padded past their terminator; and deleted records, which stay hidden when
// the table is read from the file again.
#include <functional>

#include "tests/platform/dbase/DbTestSupport.h"

using namespace dbtest;

namespace {

// Three GERAET rows "a", "b", "c" (numbers 1-3), as bytes.
std::string ThreeRows(const wxString& folder) {
  {
    Table t;
    Fresh(folder, GeraetSchema(), t);
    for (const char* n : {"a", "b", "c"}) {
      GeraetRow g;
      g.name = n;
      EXPECT_TRUE(geraet_insert(t, g));
    }
  }
  DropCachedTables();
  return hvtest::ReadAll(TableFile(folder, GeraetSchema()));
}

std::vector<wxString> NamesInOrder(Table& t, std::string_view tag) {
  std::vector<wxString> names;
  GeraetRow g;
  for (BOOL ok = geraet_select(t, g, kFirst, tag); ok; ok = geraet_select(t, g, kNext, tag))
    names.push_back(g.name);
  return names;
}

}  // namespace

TEST(DbForeign, NumbersUpToSixtyFourBitsAreExactAndLargerOnesRefused) {
  hvtest::TempDir dir;
  const std::string file = hv::ToFs(hv::JoinPath(dir.Path(), "GERAET.DBF"));
  // A writer's table whose network numbers are 20 characters wide.
  auto write = [&](const std::vector<std::string>& networks) {
    DBFHandle h = DBFCreateEx(file.c_str(), "LDID/87");
    ASSERT_NE(h, nullptr);
    DBFAddField(h, "GNR", FTInteger, 5, 0);
    DBFAddField(h, "BEZEICH", FTString, 48, 0);
    DBFAddField(h, "NNR", FTInteger, 20, 0);
    DBFAddField(h, "KNOTEN", FTString, 10, 0);
    for (int r = 0; r < static_cast<int>(networks.size()); ++r) {
      DBFWriteIntegerAttribute(h, r, 0, r + 1);
      DBFWriteStringAttribute(h, r, 1, ("g" + std::to_string(r)).c_str());
      std::string field = std::string(20 - networks[static_cast<std::size_t>(r)].size(), ' ') +
                          networks[static_cast<std::size_t>(r)];
      DBFWriteAttributeDirectly(h, r, 2, field.data());
      DBFWriteStringAttribute(h, r, 3, "K");
    }
    DBFClose(h);
    DropCachedTables();
  };
  const std::vector<std::pair<std::string, std::int64_t>> exact = {
      {"1234567890123456789", 1234567890123456789},
      {"1234567890123456788", 1234567890123456788},
      {"9223372036854775807", INT64_MAX},
      {"-9223372036854775808", INT64_MIN},
      {"00000000000000000042", 42},
      {"-999999999999999999", -999999999999999999},
  };
  std::vector<std::string> networks;
  for (const auto& [text, value] : exact) networks.push_back(text);
  write(networks);
  {
    Table t;
    ASSERT_TRUE(t.open(dir.Path(), GeraetSchema())) << t.error();
    // Each value finds its own record, and the order is the values' order.
    for (std::size_t i = 0; i < exact.size(); ++i) {
      GeraetRow g;
      ASSERT_TRUE(geraet_select(t, g, kSeek, "NETZWERK", {exact[i].second})) << exact[i].first;
      EXPECT_EQ(g.name, "g" + std::to_string(i)) << exact[i].first;
    }
    EXPECT_EQ(NamesInOrder(t, "NETZWERK"), (std::vector<wxString>{"g3", "g5", "g4", "g1", "g0", "g2"}));
  }

  // One value beyond 64 bits makes the table an error, never a 0.
  for (const char* tooLarge : {"9223372036854775808", "-9223372036854775809", "99999999999999999999"}) {
    SCOPED_TRACE(tooLarge);
    write({"7", tooLarge});
    Table t;
    EXPECT_FALSE(t.open(dir.Path(), GeraetSchema()));
    EXPECT_NE(t.error().find("NNR"), wxString::npos) << t.error();
  }
}

TEST(DbForeign, HeadersPaddedPastTheTerminatorRead) {
  hvtest::TempDir dir;
  const std::string good = ThreeRows(dir.Path());
  const unsigned headerLength = U16(good, 8);
  const wxString file = TableFile(dir.Path(), GeraetSchema());
  for (unsigned pad : {2u, 7u, 32u, 263u}) {
    SCOPED_TRACE(pad);
    std::string padded = good.substr(0, headerLength) + std::string(pad, '\0') + good.substr(headerLength);
    PutU16(padded, 8, headerLength + pad);
    hvtest::WriteAll(file, padded);
    DropCachedTables();
    Table t;
    ASSERT_TRUE(t.open(dir.Path(), GeraetSchema())) << t.error();
    EXPECT_EQ(NamesInOrder(t, "BEZEICH"), (std::vector<wxString>{"a", "b", "c"}));
    GeraetRow g;
    g.name = "d";
    ASSERT_TRUE(geraet_insert(t, g));
    EXPECT_EQ(g.number, 4);
    t.close();
    // The padding stays, and the appended record lies where other readers look.
    const std::string after = hvtest::ReadAll(file);
    EXPECT_EQ(U16(after, 8), headerLength + pad);
    EXPECT_EQ(after.substr(headerLength, pad), std::string(pad, '\0'));
    ShapeReader shp(file);
    ASSERT_TRUE(shp.ok());
    ASSERT_EQ(shp.count(), 4);
    EXPECT_EQ(shp.str(3, "BEZEICH"), "d");
    EXPECT_EQ(shp.num(3, "GNR"), 4);
  }
  // Shorter than the descriptors and terminator: refused, the file untouched.
  for (unsigned shorter : {1u, 2u, 32u}) {
    std::string cut = good;
    PutU16(cut, 8, headerLength - shorter);
    hvtest::WriteAll(file, cut);
    DropCachedTables();
    Table t;
    EXPECT_FALSE(t.open(dir.Path(), GeraetSchema())) << shorter;
    EXPECT_EQ(hvtest::ReadAll(file), cut);
  }
}

TEST(DbForeign, DeletedRecordsStayHiddenWhenTheTableIsReadAgain) {
  hvtest::TempDir dir;
  ThreeRows(dir.Path());
  {
    Table t;
    ASSERT_TRUE(t.open(dir.Path(), GeraetSchema()));
    GeraetRow g;
    ASSERT_TRUE(geraet_select(t, g, kSeek, "BEZEICH", {"b"}));
    ASSERT_TRUE(geraet_delete(t));
  }
  // The index is built from the file again, not carried over from the delete.
  DropCachedTables();
  Table t;
  ASSERT_TRUE(t.open(dir.Path(), GeraetSchema()));
  EXPECT_EQ(t.size(), 2u);
  EXPECT_EQ(NamesInOrder(t, "BEZEICH"), (std::vector<wxString>{"a", "c"}));
  EXPECT_EQ(NamesInOrder(t, "-GNR"), (std::vector<wxString>{"a", "c"}));
  EXPECT_EQ(NamesInOrder(t, ""), (std::vector<wxString>{"a", "c"}));
  GeraetRow g;
  EXPECT_FALSE(geraet_select(t, g, kSeek, "BEZEICH", {"b"}));
  EXPECT_FALSE(geraet_select(t, g, kSeek, "-GNR", {2}));
  ASSERT_TRUE(geraet_select(t, g, kSoftSeek, "BEZEICH", {"b"}));
  EXPECT_EQ(g.name, "c");
  // Its number is not given again.
  g = GeraetRow();
  g.name = "d";
  ASSERT_TRUE(geraet_insert(t, g));
  EXPECT_EQ(g.number, 4);
  t.close();
  ShapeReader shp(TableFile(dir.Path(), GeraetSchema()));
  ASSERT_EQ(shp.count(), 4);
  EXPECT_TRUE(shp.deleted(1));
}
