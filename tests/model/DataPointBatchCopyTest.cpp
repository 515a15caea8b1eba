// The copy of many data points in one go gives the bytes each data point gives on its
// own, whatever the rows hold and in whatever order the list has them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/ClipboardTransfer.h"
#include "framework/ClipboardStore.h"
#include "model/ClipboardBlock.h"
#include "model/ObjectFactory.h"
#include "platform/Archive.h"
#include "platform/dbase/DbLib.h"
#include "tests/model/DataPointTestSupport.h"

using namespace dptest;
using hvtest::S;

namespace {

// The block as each object writes its own frame, opening its table for its row; an
// object whose data cannot be written is left out.
std::string OneByOne(const std::vector<ObjectRef>& rows) {
  ClipboardBlockWriter writer(false);
  for (const ObjectRef& ref : rows) {
    CProjectObject* object = ref.Get();
    if (!object || !object->HasClipboardSupport()) continue;
    try {
      hv::Archive& ar = writer.BeginObject(*object);
      if (object->WriteToClipboard(ar)) writer.EndObject();
      else writer.DropObject();
    } catch (const hv::ArchiveException&) {
      writer.DropObject();
    }
  }
  return writer.Finish();
}

// Rewrites a data point's row through the table, as another program would.
void EditRow(const wxString& folder, std::uint32_t id, const std::function<void(hv::db::DatpktRow&)>& edit) {
  hv::db::Table t;
  ASSERT_TRUE(t.open(folder, hv::db::DatpktSchema()));
  hv::db::DatpktRow row;
  ASSERT_TRUE(hv::db::datpkt_select(t, row, hv::db::kSeek, "ID", {id}));
  edit(row);
  ASSERT_TRUE(hv::db::datpkt_update(t, row));
}

struct DataPointBatchCopy : DataPointFixture {
  MemoryClipboardStore store;
  ScopedClipboardStore useStore{store};

  // Points with plain texts, the kind the batch writes itself.
  std::vector<CPODirectDataPoint*> MakePlain(CPOPrjDataPoint* in, CPOPrjDevice* on, int n, const char* prefix) {
    std::vector<PickedDataPoint> picked;
    for (int i = 0; i < n; ++i) picked.push_back(Picked(wxString::Format("9|M|W|81|%d|0|1", i), 8));
    int made = 0;
    ui.Answer<DataPointPickRequest>([picked](DataPointPickRequest& r) {
      r.chosen = picked;
      return IDOK;
    });
    ui.Answer<DataPointSheetRequest>([&](DataPointSheetRequest& s) {
      s.dp.name = wxString::Format("%s%03d", prefix, made);
      s.dp.description = wxString::Format("Messwert %d", made);
      s.values.unit = made % 3 ? wxS("bar") : wxS("");
      s.values.free = {"a", "", "c ", "", "e", ""};
      ++made;
      return kDpWizardFinish;
    });
    CPODirectDataPoint maker;
    EXPECT_TRUE(maker.CreateNew(in, on, nullptr));
    std::vector<CPODirectDataPoint*> out;
    for (CProjectObject* c : in->GetChildren())
      if (auto* dp = dynamic_cast<CPODirectDataPoint*>(c); dp && dp->GetName().StartsWith(prefix)) out.push_back(dp);
    return out;
  }

  std::string Copied(const std::vector<ObjectRef>& rows) {
    store.Clear();
    ListCopy(rows);
    return store.Entries().empty() ? std::string() : store.Entries().front().bytes;
  }
};

}  // namespace

TEST_F(DataPointBatchCopy, OddRowsOfTwoDevicesInAnyOrderGiveTheBytesEachGivesOnItsOwn) {
  std::vector<CPODirectDataPoint*> first = MakePlain(folder, device, 24, "A");
  ASSERT_EQ(first.size(), 24u);
  CPOPrjDevice* second = Create(devtest::Named("Anzeige"));
  ASSERT_TRUE(second);
  if (!second->FindChildOfType(TypeCode::PrjDataPoint)) CPOPrjDataPoint().CreateNew(second, second, nullptr);
  auto* secondFolder = static_cast<CPOPrjDataPoint*>(second->FindChildOfType(TypeCode::PrjDataPoint));
  ASSERT_TRUE(secondFolder);
  std::vector<CPODirectDataPoint*> other = MakePlain(secondFolder, second, 10, "B");
  ASSERT_EQ(other.size(), 10u);

  // Every text of one row empty, every text of another as wide as its field.
  EditRow(Folder(), first[1]->GetId(), [](hv::db::DatpktRow& r) {
    r.unit = r.start = r.sigMin = r.sigMax = r.measMin = r.measMax = wxString();
    r.free = {};
    r.type = 0;
    r.access = 0;
    r.value32 = 0;
  });
  EditRow(Folder(), first[2]->GetId(), [](hv::db::DatpktRow& r) {
    r.unit = wxString('u', 20);
    for (wxString* t : {&r.start, &r.sigMin, &r.sigMax, &r.measMin, &r.measMax}) *t = wxString('9', 16);
    for (wxString& t : r.free) t = wxString('f', 30);
    r.pickerAccess = 0xFFFF;
    r.value32 = 0xFFFFFFFFu;
  });
  // Texts that go through a conversion: the object's own way inside the batch.
  EditRow(Folder(), first[3]->GetId(), [](hv::db::DatpktRow& r) { r.unit = wxString::FromUTF8("\xe2\x82\xac/h"); });
  EditRow(Folder(), first[4]->GetId(), [](hv::db::DatpktRow& r) { r.free[5] = wxS("z\t"); });
  {
    DataPointFields f = first[5]->Fields();
    f.description = wxS("Z\u00e4hler");
    first[5]->SetFields(f);
  }
  // A description just too long for a one-byte length, and a longest name.
  {
    DataPointFields f = first[6]->Fields();
    f.description = wxString('d', 255);
    first[6]->SetFields(f);
    first[7]->SetName(wxString('N', 30));
  }
  // Another program deletes a row after the list was read.
  {
    hv::db::Table t;
    ASSERT_TRUE(t.open(Folder(), hv::db::DatpktSchema()));
    hv::db::DatpktRow row;
    ASSERT_TRUE(hv::db::datpkt_select(t, row, hv::db::kSeek, "ID", {first[8]->GetId()}));
    ASSERT_TRUE(hv::db::datpkt_delete(t));
  }
  // A row removed from the model meanwhile.
  const ObjectRef removed(first[9]);
  folder->RemoveChild(first[9]);
  ASSERT_FALSE(removed.IsValid());

  // The list's order: backwards, the two devices interleaved.
  std::vector<ObjectRef> rows;
  for (std::size_t i = first.size(); i-- > 0;) {
    rows.emplace_back(i == 9 ? removed : ObjectRef(first[i]));
    if (i < other.size()) rows.emplace_back(other[(i * 7) % other.size()]);
  }
  const std::string expected = OneByOne(rows);
  const std::string copied = Copied(rows);
  EXPECT_EQ(copied, expected);
  const std::optional<ClipboardBlock> block = ParseClipboardBlock(copied);
  ASSERT_TRUE(block);
  // All but the deleted row and the removed object.
  EXPECT_EQ(block->items.size(), rows.size() - 2);
  const std::string frames(copied);
  EXPECT_NE(frames.find(std::string(255, 'd')), std::string::npos);
  EXPECT_NE(frames.find(std::string(30, 'f')), std::string::npos);
  // The block travels under the last row's format.
  ASSERT_EQ(store.Entries().size(), 1u);
  EXPECT_EQ(store.Entries().front().format, other[0]->GetClipboardFormatName());
}

TEST_F(DataPointBatchCopy, ARowWhoseTextTheClipboardCannotHoldIsNamedAndLeftOut) {
  std::vector<CPODirectDataPoint*> points = MakePlain(folder, device, 6, "C");
  ASSERT_EQ(points.size(), 6u);
  DataPointFields f = points[2]->Fields();
  f.description = wxS("\u03a9 Ohm");   // outside Windows-1252
  points[2]->SetFields(f);
  std::vector<ObjectRef> rows;
  for (auto it = points.rbegin(); it != points.rend(); ++it) rows.emplace_back(*it);
  const std::string expected = OneByOne(rows);
  ui.ExpectMessage(10980, IDOK);
  const std::string copied = Copied(rows);
  EXPECT_TRUE(ui.AllExpectationsMet());
  ASSERT_EQ(ui.MessageTexts().size(), 1u);
  EXPECT_NE(ui.MessageTexts().front().Find(S("C002")), wxNOT_FOUND);
  EXPECT_EQ(copied, expected);
  const std::optional<ClipboardBlock> block = ParseClipboardBlock(copied);
  ASSERT_TRUE(block);
  EXPECT_EQ(block->items.size(), 5u);
}

TEST_F(DataPointBatchCopy, DataPointsWithOtherObjectsGoOneByOneWithTheSameBytes) {
  std::vector<CPODirectDataPoint*> points = MakePlain(folder, device, 5, "D");
  ASSERT_EQ(points.size(), 5u);
  // The device's folder object beside its points: not a data point.
  std::vector<ObjectRef> rows{points[3], folder, points[0], points[4]};
  const std::string expected = OneByOne(rows);
  const std::string copied = Copied(rows);
  EXPECT_EQ(copied, expected);
  const std::optional<ClipboardBlock> block = ParseClipboardBlock(copied);
  ASSERT_TRUE(block);
  EXPECT_GE(block->items.size(), 3u);
}
