// Long work on the user-interface thread shows the wait cursor (at once when it is
// known to be large, else from 0.1 s on) and its progress from a second on, and takes
// both away at its end; the data-point folder's load shows the wait cursor and can be
// cancelled, leaving the folder's children as they were.
#include <gtest/gtest.h>

#include <thread>

#include "framework/Services.h"
#include "model/LongWork.h"
#include "model/LiveObjects.h"
#include "model/ModelServices.h"
#include "platform/dbase/DbLib.h"
#include "model/DataPoint.h"
#include "tests/model/DataPointTestSupport.h"

namespace {

class RecordingLoop : public hv::IEventLoop {
 public:
  RecordingLoop() : m_bound(this) {}
  void BeginBusy() override {
    ++begins;
    ++depth;
  }
  void EndBusy() override {
    ++ends;
    --depth;
  }
  void ShowProgress(int percent) override { progress.push_back(percent); }
  bool CancelRequested() override { return cancel; }
  int begins = 0, ends = 0, depth = 0;
  bool cancel = false;   // the user holds the cancel key
  std::vector<int> progress;

 private:
  hv::ServiceOverride<hv::IEventLoop> m_bound;
};

}  // namespace

using dptest::DataPointFixture;

TEST(LongWork, WaitCursorAtOnceForLargeWorkAfterATenthOtherwiseProgressAfterASecond) {
  RecordingLoop loop;
  {
    hv::LongWork small(10);
    for (int i = 0; i < 10; ++i) small.Step();
    EXPECT_EQ(loop.begins, 0);   // short work leaves the cursor alone
  }
  {
    hv::LongWork large(hv::LongWork::kBusyAtOnce);
    EXPECT_EQ(loop.depth, 1);
  }
  EXPECT_EQ(loop.depth, 0);
  EXPECT_TRUE(loop.progress.empty());

  // Work of unknown size that turns out long: the cursor from 0.1 s, the progress from
  // a second, both gone at the end. The work looks at the time every 256 steps: each
  // burst of 256 either ended before 0.1 s had passed (no cursor yet) or began after it
  // (the cursor by its end), however long the machine holds the test back in between.
  loop.begins = loop.ends = 0;
  {
    using Clock = std::chrono::steady_clock;
    const auto before = Clock::now();
    hv::LongWork unknown;
    const auto after = Clock::now();
    bool early = false, late = false;
    while (Clock::now() - after < std::chrono::milliseconds(1200)) {
      const auto from = Clock::now();
      for (int i = 0; i < 256; ++i) unknown.Step();
      const auto to = Clock::now();
      if (to - before < std::chrono::milliseconds(100) && loop.depth != 0) early = true;
      if (from - after >= std::chrono::milliseconds(100) && loop.depth != 1) late = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_FALSE(early) << "the cursor before 0.1 s";
    EXPECT_FALSE(late) << "no cursor after 0.1 s";
    unknown.SetExpected(1000000000);
    for (int i = 0; i < 512; ++i) unknown.Step();
    EXPECT_FALSE(loop.progress.empty());
  }
  EXPECT_EQ(loop.begins, 1);
  EXPECT_EQ(loop.ends, 1);
  ASSERT_FALSE(loop.progress.empty());
  EXPECT_EQ(loop.progress.back(), -1);
  for (std::size_t i = 0; i + 1 < loop.progress.size(); ++i) EXPECT_GE(loop.progress[i], 0);
}

TEST_F(DataPointFixture, LoadingTheFolderShowsTheWaitCursor) {
  ASSERT_NE(folder, nullptr);
  RecordingLoop loop;
  ASSERT_TRUE(folder->LoadChildren());
  EXPECT_GE(loop.begins, 1);
  EXPECT_EQ(loop.begins, loop.ends);
}

TEST(LongWork, ACancelStopsCancelableWorkOfTheSameUserActionOnly) {
  RecordingLoop loop;
  {
    DispatchScope action;
    hv::LongWork plain(hv::LongWork::kBusyAtOnce);
    hv::LongWork cancelable(hv::LongWork::kBusyAtOnce);
    cancelable.AllowCancel();
    for (int i = 0; i < 255; ++i) cancelable.Step();
    EXPECT_FALSE(cancelable.Cancelled());
    loop.cancel = true;
    for (int i = 0; i < 256; ++i) {
      cancelable.Step();
      plain.Step();
    }
    EXPECT_TRUE(cancelable.Cancelled());
    EXPECT_FALSE(plain.Cancelled());   // work that cannot undo itself goes on
    // The key let go: later work of the same action stops at once.
    loop.cancel = false;
    hv::LongWork later(10);
    later.AllowCancel();
    EXPECT_TRUE(later.Cancelled());
  }
  DispatchScope next;
  hv::LongWork work(hv::LongWork::kBusyAtOnce);
  work.AllowCancel();
  for (int i = 0; i < 1024; ++i) work.Step();
  EXPECT_FALSE(work.Cancelled());
  EXPECT_EQ(loop.depth, 1);
}

TEST_F(DataPointFixture, ACancelledReloadLeavesTheOldChildrenAsTheyWere) {
  ASSERT_NE(folder, nullptr);
  RecordingLoop loop;
  using namespace hv::db;
  auto insert = [&](int from, int to) {
    Table t;
    ASSERT_TRUE(t.open(Folder(), DatpktSchema()));
    for (int i = from; i < to; ++i) {
      DatpktRow r;
      r.name = wxString::Format("P%04d", i);
      r.description = wxString::Format("Wert %d", i);
      r.address = wxString::Format("9|M|W|81|%d|0|1", i);
      r.type = 8;
      r.device = static_cast<std::uint16_t>(device->GetDeviceNumber());
      ASSERT_TRUE(t.insert(r));
    }
  };
  insert(0, 600);
  {
    DispatchScope action;
    ASSERT_TRUE(folder->LoadChildren());
  }
  std::vector<ObjectSerial> before;
  for (CProjectObject* child : folder->GetChildren()) before.push_back(child->GetSerial());
  ASSERT_EQ(before.size(), 600u);
  // Another program adds rows and changes one.
  insert(600, 700);
  {
    Table t;
    ASSERT_TRUE(t.open(Folder(), DatpktSchema()));
    DatpktRow r;
    ASSERT_TRUE(datpkt_select(t, r, kSeek, "ID", {static_cast<CPODataPoint*>(folder->GetChildren()[0])->GetId()}));
    r.description = wxS("Neu");
    ASSERT_TRUE(datpkt_update(t, r));
  }
  const std::size_t live = live::LiveCount();
  loop.cancel = true;
  {
    DispatchScope action;
    EXPECT_TRUE(folder->LoadChildren());
  }
  std::vector<ObjectSerial> after;
  for (CProjectObject* child : folder->GetChildren()) after.push_back(child->GetSerial());
  EXPECT_EQ(after, before);
  EXPECT_EQ(folder->GetChildren()[0]->GetColumnText(3), wxS("Wert 0"));
  EXPECT_EQ(live::LiveCount(), live);   // nothing made meanwhile is left over
  EXPECT_TRUE(ui.MessageIds().empty());
  EXPECT_EQ(loop.depth, 0);

  loop.cancel = false;
  {
    DispatchScope action;
    EXPECT_TRUE(folder->LoadChildren());
  }
  ASSERT_EQ(folder->GetChildCount(), 700u);
  EXPECT_EQ(folder->GetChildren()[0]->GetSerial(), before[0]);
  EXPECT_EQ(folder->GetChildren()[0]->GetColumnText(3), wxS("Neu"));
}
