// Long work on the user-interface thread shows the wait cursor (at once when it is
// known to be large, else from 0.1 s on) and its progress from a second on, and takes
// both away at its end; the data-point folder's load shows the wait cursor.
#include <gtest/gtest.h>

#include <thread>

#include "framework/Services.h"
#include "model/LongWork.h"
#include "model/ModelServices.h"
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
  int begins = 0, ends = 0, depth = 0;
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
  // a second, both gone at the end.
  loop.begins = loop.ends = 0;
  {
    hv::LongWork unknown;
    const auto start = std::chrono::steady_clock::now();
    bool busyInTime = false;
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(1200)) {
      unknown.Step();
      if (loop.depth == 1 && std::chrono::steady_clock::now() - start < std::chrono::milliseconds(150)) busyInTime = true;
      std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    EXPECT_TRUE(busyInTime);
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
