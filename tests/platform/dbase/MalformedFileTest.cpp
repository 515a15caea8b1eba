// Damaged table files give an error, never a crash, and are left exactly as they were.
#include <functional>

#include "tests/platform/dbase/DbTestSupport.h"

using namespace dbtest;

namespace {

// A GERAET table with two rows, as bytes.
std::string GoodTable(const wxString& folder) {
  {
    Table t;
    Fresh(folder, GeraetSchema(), t);
    for (const char* n : {"a", "b"}) {
      GeraetRow g;
      g.name = n;
      EXPECT_TRUE(geraet_insert(t, g));
    }
  }
  DropCachedTables();
  return hvtest::ReadAll(TableFile(folder, GeraetSchema()));
}

}  // namespace

TEST(DbMalformed, DamagedFilesFailCleanlyAndStayByteIdentical) {
  hvtest::TempDir dir;
  const std::string good = GoodTable(dir.Path());
  const unsigned headerLength = U16(good, 8);
  const std::size_t firstWidth = 32 + 16;   // width byte of the first descriptor (GNR)

  const std::vector<std::pair<const char*, std::function<void(std::string&)>>> cases = {
      {"empty file", [](std::string& b) { b.clear(); }},
      {"truncated main header", [](std::string& b) { b.resize(20); }},
      {"truncated descriptors", [&](std::string& b) { b.resize(headerLength - 40); }},
      {"truncated records", [&](std::string& b) { b.resize(headerLength + 10); }},
      {"header length too small", [&](std::string& b) { PutU16(b, 8, headerLength - 32); }},
      {"header length too large", [&](std::string& b) { PutU16(b, 8, headerLength + 32); }},
      {"header length beyond the file", [](std::string& b) { PutU16(b, 8, 0xFFFF); }},
      {"record count beyond the file", [](std::string& b) { b[4] = 3; }},
      {"huge record count", [](std::string& b) { b[4] = b[5] = b[6] = b[7] = '\xFF'; }},
      {"record length off by one", [](std::string& b) { PutU16(b, 10, U16(b, 10) + 1); }},
      {"field widths do not add up", [&](std::string& b) { b[firstWidth] = 4; }},
      {"field of width 0", [&](std::string& b) { b[firstWidth] = 0; }},
      {"no terminator", [&](std::string& b) { b[headerLength - 1] = 'X'; }},
      {"no fields", [](std::string& b) { b = b.substr(0, 32) + "\r\x1A"; PutU16(b, 8, 33); PutU16(b, 10, 1); b[4] = 0; }},
  };
  const wxString file = TableFile(dir.Path(), GeraetSchema());
  for (const auto& [what, damage] : cases) {
    SCOPED_TRACE(what);
    std::string bytes = good;
    damage(bytes);
    hvtest::WriteAll(file, bytes);
    const std::int64_t time = FileTimeNs(file);
    Table t;
    EXPECT_FALSE(t.open(dir.Path(), GeraetSchema()));
    EXPECT_FALSE(t.error().empty());
    GeraetRow g;
    EXPECT_FALSE(geraet_insert(t, g));
    EXPECT_EQ(hvtest::ReadAll(file), bytes);
    EXPECT_EQ(FileTimeNs(file), time);
  }
}

TEST(DbMalformed, ToleratedVariantsStillRead) {
  hvtest::TempDir dir;
  const std::string good = GoodTable(dir.Path());
  const unsigned headerLength = U16(good, 8);
  const wxString file = TableFile(dir.Path(), GeraetSchema());

  // A zero byte after the terminator (as some writers leave it), no end mark, and
  // bytes past the last counted record (an append cut short).
  std::string b = good.substr(0, headerLength) + '\0' + good.substr(headerLength);
  PutU16(b, 8, headerLength + 1);
  b.pop_back();
  b += "garbage";
  hvtest::WriteAll(file, b);
  Table t;
  ASSERT_TRUE(t.open(dir.Path(), GeraetSchema())) << t.error();
  GeraetRow g;
  ASSERT_TRUE(geraet_select(t, g, kSeek, "BEZEICH", {"b"}));
  EXPECT_EQ(g.number, 2);
  g = GeraetRow();
  g.name = "c";
  ASSERT_TRUE(geraet_insert(t, g));   // written over the leftover bytes
  EXPECT_EQ(t.size(), 3u);
  t.close();
  DropCachedTables();
  ASSERT_TRUE(t.open(dir.Path(), GeraetSchema()));
  EXPECT_TRUE(geraet_select(t, g, kSeek, "BEZEICH", {"c"}));

  // Garbage in number and text fields reads as 0 and as text; nothing breaks.
  t.close();
  std::string odd = hvtest::ReadAll(file);
  const std::size_t rec = headerLength + 1 + 1;   // first record, after the flag
  odd.replace(rec, 5, "x-9z!");
  odd[rec + 5] = '\0';
  hvtest::WriteAll(file, odd);
  DropCachedTables();   // same size, possibly within the same file-time tick
  ASSERT_TRUE(t.open(dir.Path(), GeraetSchema()));
  ASSERT_TRUE(geraet_select(t, g, kFirst, ""));
  EXPECT_EQ(g.number, 0);
  EXPECT_EQ(g.name, "");
}
