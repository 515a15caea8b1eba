// Reloading children keyed by their record: children found again keep their identity
// (and with it their tree items and list rows), removed rows drop theirs, new rows get
// new ones, the order is the table's, and the cost stays linear in the rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "model/ObjectSupport.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/model/DataPointTestSupport.h"
#include "tests/support/TestEnv.h"

using namespace dptest;
using namespace hv::db;

namespace {

class Named : public CProjectObject {
 public:
  explicit Named(const wxString& name) { SetName(name); }
};

std::vector<wxString> Names(CProjectObject& parent) {
  std::vector<wxString> out;
  for (CProjectObject* c : parent.GetChildren()) out.push_back(c->GetName());
  return out;
}

// Adds data points of `device` to DATPKT, in record order.
void AddRows(const wxString& folder, int device, const std::vector<wxString>& names) {
  Table t;
  ASSERT_TRUE(t.open(folder, DatpktSchema()));
  t.beginBulk();
  int i = 0;
  for (const wxString& name : names) {
    DatpktRow r;
    r.name = name;
    r.address = wxString::Format("9|M|W|81|%d|0|1", i++);
    r.type = 8;
    r.device = device;
    r.access = 3;
    ASSERT_TRUE(t.insert(r));
  }
  ASSERT_TRUE(t.endBulk());
}

bool EmptyTable(const wxString& folder) {
  return CreateTable(hv::ResolvePath(hv::JoinPath(folder, "DATPKT.DBF")), DatpktSchema());
}

void EraseRow(const wxString& folder, const wxString& name) {
  Table t;
  ASSERT_TRUE(t.open(folder, DatpktSchema()));
  DatpktRow r;
  for (bool found = t.select("", kFirst); found; found = t.select("", kNext)) {
    ASSERT_TRUE(t.current(r));
    if (wxString(r.name).Trim(true) == name) {
      ASSERT_TRUE(t.eraseCurrent());
      return;
    }
  }
  FAIL() << "no row " << name;
}

}  // namespace

TEST(ChildIndex, TakesByKeyInOldOrderEachChildOnceAndReleasesTheRest) {
  DispatchScope scope;
  Named parent("P");
  for (const char* n : {"A", "B", "A", "C"}) parent.AddChild(std::make_unique<Named>(n));
  const std::vector<CProjectObject*> old = parent.GetChildren();
  std::vector<ObjectRef> refs(old.begin(), old.end());
  {
    ChildPool pool(parent);
    auto byName = IndexChildren<wxString>(pool, [](CProjectObject& o) -> std::optional<wxString> {
      if (o.GetName() == "C") return std::nullopt;   // not taken this way
      return o.GetName();
    });
    auto a1 = byName.Take("A");
    auto a2 = byName.Take("A");
    EXPECT_EQ(a1.get(), old[0]);
    EXPECT_EQ(a2.get(), old[2]);
    EXPECT_EQ(byName.Take("A"), nullptr);
    EXPECT_EQ(byName.Take("C"), nullptr);
    EXPECT_EQ(byName.Take("Z"), nullptr);
    // A child taken otherwise is not handed out again.
    auto b = pool.TakeName("B");
    EXPECT_EQ(b.get(), old[1]);
    EXPECT_EQ(byName.Take("B"), nullptr);
    parent.AddChild(std::move(a2));
    parent.AddChild(std::move(a1));
  }
  EXPECT_EQ(Names(parent), (std::vector<wxString>{"A", "A"}));
  EXPECT_TRUE(refs[0].IsValid());
  EXPECT_TRUE(refs[2].IsValid());
  // B was taken and dropped by the test, C never taken: both are gone.
  EXPECT_FALSE(refs[1].IsValid());
  EXPECT_FALSE(refs[3].IsValid());
}

TEST_F(DataPointFixture, ReloadKeepsFoundPointsDropsRemovedAddsNewInTableOrder) {
  ASSERT_NE(folder, nullptr);
  const int own = device->GetDeviceNumber();
  AddRows(Folder(), own, {"P1", "P2", "Twin", "Twin", "P3"});
  AddRows(Folder(), own + 1, {"Other"});   // another device's row is not listed
  DispatchScope scope;
  ASSERT_TRUE(folder->LoadChildren());
  ASSERT_EQ(Names(*folder), (std::vector<wxString>{"P1", "P2", "Twin", "Twin", "P3"}));
  std::map<wxString, ObjectRef> before;
  const std::vector<CProjectObject*> first = folder->GetChildren();
  for (CProjectObject* c : first) before[c->GetName()] = ObjectRef(c);
  const ObjectRef twin1(first[2]), twin2(first[3]);

  EraseRow(Folder(), "P2");
  AddRows(Folder(), own, {"P4"});
  ASSERT_TRUE(folder->LoadChildren());

  const std::vector<CProjectObject*> again = folder->GetChildren();
  ASSERT_EQ(Names(*folder), (std::vector<wxString>{"P1", "Twin", "Twin", "P3", "P4"}));
  EXPECT_EQ(ObjectRef(again[0]), before["P1"]);
  EXPECT_EQ(ObjectRef(again[3]), before["P3"]);
  // Rows of one name each take one of the old children of that name, in order.
  EXPECT_EQ(ObjectRef(again[1]), twin1);
  EXPECT_EQ(ObjectRef(again[2]), twin2);
  EXPECT_FALSE(before["P2"].IsValid());
  EXPECT_FALSE(before.count("P4"));
  for (CProjectObject* c : again) EXPECT_EQ(c->GetParent(), folder);
}

TEST_F(DataPointFixture, ReloadOfManyPointsStaysLinear) {
  ASSERT_NE(folder, nullptr);
  const int own = device->GetDeviceNumber();
  // The cost of a reload per row, with the children there already (each found again).
  auto perRow = [&](int rows) {
    std::vector<wxString> names;
    for (int i = 0; i < rows; ++i) names.push_back(wxString::Format("N%06d", i));
    EXPECT_TRUE(EmptyTable(Folder()));
    AddRows(Folder(), own, names);
    DispatchScope scope;
    folder->LoadChildren();
    // The thread's own processor time: other work on the machine does not count.
    auto cpu = hvtest::ThreadSeconds;
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
      const double t0 = cpu();
      folder->LoadChildren();
      best = std::min(best, cpu() - t0);
    }
    EXPECT_EQ(folder->GetChildCount(), static_cast<std::size_t>(rows));
    return best / rows;
  };
  const double small = perRow(2000);
  const double large = perRow(20000);
  // A scan per row costs several times as much per row at ten times the rows.
  EXPECT_LT(large / small, 2.5) << "per row: " << small * 1e6 << " us at 2,000, " << large * 1e6 << " us at 20,000";
}
