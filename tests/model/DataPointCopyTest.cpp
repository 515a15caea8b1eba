#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ClipboardTransfer.h"
#include "framework/ClipboardStore.h"
#include "model/ClipboardBlock.h"
#include "model/DataPointRowScope.h"
#include "platform/Archive.h"
#include "platform/dbase/DbLib.h"
#include "tests/model/DataPointTestSupport.h"

using namespace dptest;
using hvtest::S;

namespace {

// The block each data point makes on its own, opening its table for its row.
std::string OneByOne(const std::vector<CPODirectDataPoint*>& points) {
  ClipboardBlockWriter writer(false);
  for (CPODirectDataPoint* p : points) {
    hv::Archive& ar = writer.BeginObject(*p);
    if (p->WriteToClipboard(ar)) writer.EndObject();
    else writer.DropObject();
  }
  return writer.Finish();
}

// A data point's own clipboard data as its row's texts give them.
std::string FromTheRowsTexts(const wxString& folder, std::uint32_t id) {
  hv::db::Table t;
  hv::db::DatpktRow row;
  if (!t.open(folder, hv::db::DatpktSchema()) || !hv::db::datpkt_select(t, row, hv::db::kSeek, "ID", {id})) return {};
  hv::Archive ar;
  ar.WriteU16(row.type);
  ar.WriteU16(row.access);
  ar.WriteU16(row.pickerAccess);
  ar.WriteU32(row.value32);
  for (const wxString* text : {&row.unit, &row.start, &row.sigMin, &row.sigMax, &row.measMin, &row.measMax})
    ar.WriteString(wxString(*text).Trim(true), false);
  for (const wxString& text : row.free) ar.WriteString(wxString(text).Trim(true), false);
  ar.WriteString(folder, true);
  return ar.Bytes();
}

struct DataPointCopy : DataPointFixture {
  MemoryClipboardStore store;
  ScopedClipboardStore useStore{store};

  std::vector<CPODirectDataPoint*> MakeMany(int n) {
    std::vector<PickedDataPoint> picked;
    for (int i = 0; i < n; ++i) picked.push_back(Picked(wxString::Format("8|M|W|81|%d|0|1", i), 8));
    int made = 0;
    EXPECT_TRUE(Make(picked, kDpAcceptAll, [&](DataPointSheetRequest& s) {
      s.dp.name = wxString::Format("P%02d", made);
      s.dp.description = wxString::Format(wxS("Zähler %d  "), made);
      s.values.unit = made % 2 ? wxS("bar") : wxS("");
      s.values.free = {"a", "b ", "c", "d", "e", "f"};
      ++made;
    }));
    return Points();
  }

  std::string Copied() {
    std::vector<ObjectRef> rows;
    for (CPODirectDataPoint* p : Points()) rows.emplace_back(p);
    ListCopy(rows);
    return store.Entries().empty() ? std::string() : store.Entries().front().bytes;
  }
};

}  // namespace

TEST_F(DataPointCopy, ManyPointsGiveTheBytesEachGivesOnItsOwn) {
  const std::vector<CPODirectDataPoint*> points = MakeMany(30);
  ASSERT_EQ(points.size(), 30u);
  const std::string expected = OneByOne(points);
  const std::string copied = Copied();
  EXPECT_EQ(copied, expected);
  const std::optional<ClipboardBlock> block = ParseClipboardBlock(copied);
  ASSERT_TRUE(block);
  EXPECT_EQ(block->items.size(), 30u);

  // Read through a scope, each row is still the one the point names.
  DataPointRowScope rows;
  EXPECT_EQ(OneByOne(points), expected);
}

TEST_F(DataPointCopy, ARowDeletedByAnotherProgramIsLeftOutAsBefore) {
  const std::vector<CPODirectDataPoint*> points = MakeMany(12);
  ASSERT_EQ(points.size(), 12u);
  // Another program removes one row after the list was read.
  {
    hv::db::Table t;
    ASSERT_TRUE(t.open(Folder(), hv::db::DatpktSchema()));
    hv::db::DatpktRow row;
    ASSERT_TRUE(hv::db::datpkt_select(t, row, hv::db::kSeek, "ID", {points[5]->GetId()}));
    ASSERT_TRUE(hv::db::datpkt_delete(t));
  }
  const std::string expected = OneByOne(points);
  const std::string copied = Copied();
  EXPECT_EQ(copied, expected);
  const std::optional<ClipboardBlock> block = ParseClipboardBlock(copied);
  ASSERT_TRUE(block);
  ASSERT_EQ(block->items.size(), 11u);
  for (const ClipboardBlockItem& item : block->items) {
    const auto* read = dynamic_cast<const CPODataPoint*>(item.object.get());
    ASSERT_TRUE(read);
    EXPECT_NE(read->GetId(), points[5]->GetId());
  }
}

TEST_F(DataPointCopy, TextsGoAsTheRowHoldsThemTrimmed) {
  const std::vector<CPODirectDataPoint*> points = MakeMany(1);
  ASSERT_EQ(points.size(), 1u);
  {
    hv::db::Table t;
    ASSERT_TRUE(t.open(Folder(), hv::db::DatpktSchema()));
    hv::db::DatpktRow row;
    ASSERT_TRUE(hv::db::datpkt_select(t, row, hv::db::kSeek, "ID", {points[0]->GetId()}));
    row.unit = wxString::FromUTF8("\xe2\x82\xac/h");   // a byte of 0x80..0x9F
    row.start = wxS("1\t");
    row.sigMin = wxS("x\r\n \t");
    row.sigMax = wxString::FromUTF8("Gr\xc3\xb6\xc3\x9f" "e");
    row.measMin = wxS(" 5");
    row.free = {wxS("a\x1f"), wxS(""), wxS("   "), wxS("\x7f"), wxString::FromUTF8("\xc2\xa0"), wxS("z\x0b")};
    ASSERT_TRUE(hv::db::datpkt_update(t, row));
  }
  const std::string expected = FromTheRowsTexts(Folder(), points[0]->GetId());
  ASSERT_FALSE(expected.empty());
  for (bool scoped : {false, true}) {
    std::optional<DataPointRowScope> rows;
    if (scoped) rows.emplace();
    hv::Archive ar;
    ASSERT_TRUE(points[0]->WriteToClipboard(ar));
    EXPECT_EQ(ar.Bytes(), expected) << (scoped ? "through a scope" : "on its own");
  }
}

TEST_F(DataPointCopy, RowsAskedInAnyOrderAreFound) {
  const std::vector<CPODirectDataPoint*> points = MakeMany(6);
  ASSERT_EQ(points.size(), 6u);
  DataPointRowScope rows;
  // The last row first: the walk goes past the others on the way.
  for (const std::size_t i : {5u, 0u, 1u, 3u, 2u, 4u}) {
    const std::optional<hv::db::Table*> found = DataPointRowScope::Seek(Folder(), points[i]->GetId());
    ASSERT_TRUE(found && *found) << i;
    hv::db::DatpktRow row;
    ASSERT_TRUE((*found)->current(row));
    EXPECT_EQ(row.id, points[i]->GetId());
    EXPECT_EQ(wxString(row.name).Trim(true), points[i]->GetName());
  }
  const std::optional<hv::db::Table*> none = DataPointRowScope::Seek(Folder(), points[5]->GetId() + 1000);
  ASSERT_TRUE(none);
  EXPECT_EQ(*none, nullptr);
}
