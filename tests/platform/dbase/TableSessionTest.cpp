// A session of one command: a table replaced by a new file or changed by another
// program within it is read again at the next open, not taken from the session.
#include <vector>

#include "tests/platform/dbase/DbTestSupport.h"

using namespace dbtest;

namespace {

std::vector<wxString> Names(Table& t) {
  std::vector<wxString> names;
  DatpktRow d;
  for (BOOL ok = datpkt_select(t, d, kFirst, "-DATPKT"); ok; ok = datpkt_select(t, d, kNext, "-DATPKT"))
    names.push_back(d.name);
  return names;
}

void Insert(Table& t, const char* name) {
  DatpktRow d;
  d.name = S(name);
  d.device = 1;
  ASSERT_TRUE(datpkt_insert(t, d));
}

}  // namespace

TEST(DbSession, ATableReplacedOrChangedWithinTheSessionIsReadAgain) {
  hvtest::TempDir dir;
  const wxString file = TableFile(dir.Path(), DatpktSchema());
  {
    Table t;
    Fresh(dir.Path(), DatpktSchema(), t);
    Insert(t, "a");
  }
  {
    TableSession session;
    {
      Table t;
      ASSERT_TRUE(t.open(dir.Path(), DatpktSchema()));
      Insert(t, "b");   // locked from here to the session's end
    }
    // Another writer puts a new file in its place (temp and rename).
    ASSERT_TRUE(CreateTable(file, DatpktSchema(), 1, [](std::size_t, Record& r) {
      DatpktRow d;
      d.name = S("theirs");
      d.id = 7;
      d.write(r);
    }));
    {
      Table t;
      ASSERT_TRUE(t.open(dir.Path(), DatpktSchema()));
      EXPECT_EQ(Names(t), (std::vector<wxString>{S("theirs")}));
      Insert(t, "c");
    }
    PauseTableSession();
    // Another program appends while the session waits on a question.
    DBFHandle h = DBFOpen(hv::ToFs(file).c_str(), "rb+");
    ASSERT_NE(h, nullptr);
    const int rec = DBFGetRecordCount(h);
    DBFWriteIntegerAttribute(h, rec, DBFGetFieldIndex(h, "ID"), 20);
    DBFWriteStringAttribute(h, rec, DBFGetFieldIndex(h, "BEZEICH"), "zweite");
    DBFClose(h);
    Table t;
    ASSERT_TRUE(t.open(dir.Path(), DatpktSchema()));
    EXPECT_EQ(Names(t), (std::vector<wxString>{S("c"), S("theirs"), S("zweite")}));
    Insert(t, "d");
  }
  DropCachedTables();
  Table t;
  ASSERT_TRUE(t.open(dir.Path(), DatpktSchema()));
  EXPECT_EQ(Names(t), (std::vector<wxString>{S("c"), S("d"), S("theirs"), S("zweite")}));
}

// Rows added within a session are counted in the file's header when the insert (or its
// bulk) ends, so a header that cannot be written fails that insert, where the command
// hears of it, and is not left for the session's end.
TEST(DbSession, RowsAddedWithinTheSessionAreCountedInTheFileAtOnce) {
  hvtest::TempDir dir;
  const wxString file = TableFile(dir.Path(), DatpktSchema());
  {
    Table t;
    Fresh(dir.Path(), DatpktSchema(), t);
    Insert(t, "a");
  }
  const auto countInFile = [&] {
    DBFHandle h = DBFOpen(hv::ToFs(file).c_str(), "rb");
    EXPECT_NE(h, nullptr);
    const int n = h ? DBFGetRecordCount(h) : -1;
    if (h) DBFClose(h);
    return n;
  };
  TableSession session;
  Table t;
  ASSERT_TRUE(t.open(dir.Path(), DatpktSchema()));
  Insert(t, "b");   // locks the table to the session's end
  EXPECT_EQ(countInFile(), 2);
  t.beginBulk();
  Insert(t, "c");
  Insert(t, "d");
  ASSERT_TRUE(t.endBulk());
  EXPECT_EQ(countInFile(), 4);
}
