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
