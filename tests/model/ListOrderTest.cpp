// The list's row order against the plain definition (stable sorts by lower-case name,
// then by the sort column), and the live registry under churn.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>
#include <vector>

#include "model/ListOrder.h"
#include "model/ProjectObject.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

namespace {

// Column 1 orders by a number that often repeats.
class Numbered : public CProjectObject {
 public:
  Numbered(const wxString& name, int value) : value(value) { SetName(name); }
  int Compare(const CProjectObject* other, int column) override {
    if (column != 1) return CProjectObject::Compare(other, column);
    const int b = static_cast<const Numbered*>(other)->value;
    return value < b ? -1 : value > b ? 1 : 0;
  }
  int value;
};

std::vector<CProjectObject*> Expected(std::vector<CProjectObject*> rows, int column, bool descending) {
  std::stable_sort(rows.begin(), rows.end(),
                   [](CProjectObject* a, CProjectObject* b) { return a->GetName().Lower() < b->GetName().Lower(); });
  if (column >= 0)
    std::stable_sort(rows.begin(), rows.end(), [&](CProjectObject* a, CProjectObject* b) {
      const int r = a->Compare(b, column);
      return descending ? r > 0 : r < 0;
    });
  return rows;
}

std::vector<CProjectObject*> Objects(const std::vector<ObjectRef>& refs) {
  std::vector<CProjectObject*> out;
  for (const ObjectRef& r : refs) out.push_back(r.Get());
  return out;
}

}  // namespace

TEST(ListOrder, RowsFollowNameThenColumnWithEqualsInNameOrder) {
  const wxString stems[] = {S("Maske"), S("maske"), S("MASKE 1"), S("Ölpumpe"), S("Olpumpe"), S("Zähler"),
                            S("zahler"), S("Maske 10"), S("Maske 2"), S("Ventil"), S("ventil"), S("")};
  std::mt19937 rng(5);
  std::vector<std::unique_ptr<Numbered>> owned;
  std::vector<CProjectObject*> rows;
  for (int i = 0; i < 400; ++i) {
    const wxString& stem = stems[rng() % std::size(stems)];
    owned.push_back(std::make_unique<Numbered>(i % 3 ? stem : stem + wxString::Format(" %d", static_cast<int>(rng() % 50)),
                                               static_cast<int>(rng() % 7)));
    rows.push_back(owned.back().get());
  }
  for (int column : {-1, 0, 1, 2})
    for (bool descending : {false, true})
      EXPECT_EQ(Objects(SortListRows(rows, column, descending)), Expected(rows, column, descending))
          << "column " << column << (descending ? " descending" : "");

  // Presorted and reversed input take the short way and still end the same.
  std::vector<CProjectObject*> ordered = Expected(rows, 1, false);
  EXPECT_EQ(Objects(SortListRows(ordered, 1, false)), ordered);
  std::reverse(ordered.begin(), ordered.end());
  EXPECT_EQ(Objects(SortListRows(ordered, 1, true)), Expected(ordered, 1, true));
  EXPECT_TRUE(SortListRows({}, 1, false).empty());
}

TEST(ListOrder, NameBeforeMatchesTheLowerCaseOrder) {
  Numbered a(S("ärger"), 0), b(S("Zorn"), 0), c(S("ZORN"), 0);
  EXPECT_EQ(NameBefore(a, b), a.GetName().Lower() < b.GetName().Lower());
  EXPECT_TRUE(NameBefore(b, a));   // 'z' before 'ä' as characters
  EXPECT_FALSE(NameBefore(b, c));
  EXPECT_FALSE(NameBefore(c, b));
}

TEST(LiveObjects, ManyObjectsComeAndGoWithoutMixUps) {
  const std::size_t before = live::LiveCount();
  std::vector<std::unique_ptr<CProjectObject>> kept;
  std::vector<ObjectRef> keptRefs, goneRefs;
  std::set<ObjectSerial> serials;
  for (int round = 0; round < 3; ++round) {
    std::vector<std::unique_ptr<CProjectObject>> batch;
    for (int i = 0; i < 3000; ++i) batch.push_back(std::make_unique<Numbered>(S("x"), i));
    for (std::size_t i = 0; i < batch.size(); ++i) {
      EXPECT_TRUE(serials.insert(batch[i]->GetSerial()).second);
      if (i % 3 == 0) {
        goneRefs.emplace_back(batch[i].get());
        CProjectObject::Discard(std::move(batch[i]));   // freed at once, its slot reused
      } else {
        keptRefs.emplace_back(batch[i].get());
        kept.push_back(std::move(batch[i]));
      }
    }
  }
  EXPECT_EQ(live::LiveCount(), before + kept.size());
  for (std::size_t i = 0; i < kept.size(); ++i) {
    ASSERT_EQ(keptRefs[i].Get(), kept[i].get());
    ASSERT_TRUE(CProjectObject::IsValidObject(kept[i].get()));
    ASSERT_EQ(ObjectRef(kept[i].get()).Serial(), kept[i]->GetSerial());
  }
  for (const ObjectRef& gone : goneRefs) ASSERT_FALSE(gone.IsValid());
  EXPECT_EQ(CProjectObject::FromSerial(0), nullptr);
  kept.clear();
  EXPECT_EQ(live::LiveCount(), before);
  for (const ObjectRef& ref : keptRefs) ASSERT_FALSE(ref.IsValid());
}
