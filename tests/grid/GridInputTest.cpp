// Held arrow keys: acceleration by the sheet's divisor and the delay of slow repeats.
#include <gtest/gtest.h>

#include <algorithm>

#include "RecordingGrid.h"

using Lines = std::vector<std::string>;

namespace {

// Rows moved by each of `count` key-downs of the Down key held without release.
std::vector<int> HeldDownSteps(RecordingGrid& g, int count) {
  std::vector<int> steps;
  for (int i = 0; i < count; ++i) {
    const int before = g.Sheet().currentRow;
    g.CellAreaKeyDown(WXK_DOWN, 0);
    steps.push_back(g.Sheet().currentRow - before);
  }
  return steps;
}

}  // namespace

TEST(GridKeyAcceleration, DivisorFourMovesOneThenTwoThenNine) {
  RecordingGrid g(5, 200);
  EXPECT_EQ(HeldDownSteps(g, 3), (std::vector<int>{1, 1, 1}));  // no divisor: one row each
  g.CellAreaKeyUp(WXK_DOWN, 0);
  g.Sheet().keyAccelDivisor = 4;
  EXPECT_EQ(HeldDownSteps(g, 9), (std::vector<int>{1, 1, 1, 2, 2, 2, 2, 9, 9}));
  // Releasing the key starts again at one row.
  g.CellAreaKeyUp(WXK_DOWN, 0);
  EXPECT_EQ(HeldDownSteps(g, 1), (std::vector<int>{1}));
  // Gaining the focus starts the count again as well.
  g.CellAreaKeyUp(WXK_DOWN, 0);
  EXPECT_EQ(HeldDownSteps(g, 3), (std::vector<int>{1, 1, 1}));
  g.CellAreaFocused();
  EXPECT_EQ(HeldDownSteps(g, 1), (std::vector<int>{1}));
  // The divisor steers Up and the columns just the same.
  g.CellAreaKeyUp(WXK_DOWN, 0);
  g.MoveToCell(0, 100);
  for (int i = 0; i < 4; ++i) g.CellAreaKeyDown(WXK_UP, 0);
  EXPECT_EQ(g.Sheet().currentRow, 100 - 1 - 1 - 1 - 2);
}

TEST(GridKeyAcceleration, SlowRepeatsWaitForTheDelayWithoutBlocking) {
  RecordingGrid g(5, 200);
  g.Sheet().keyAccelDivisor = 4;
  g.Sheet().keyAccelDelay = 30;
  // The first key-down moves at once; the second waits for the delay.
  g.CellAreaKeyDown(WXK_DOWN, 0);
  EXPECT_EQ(g.Sheet().currentRow, 1);
  g.t.lines.clear();
  g.CellAreaKeyDown(WXK_DOWN, 0);
  EXPECT_EQ(g.Sheet().currentRow, 1);
  EXPECT_EQ(g.t.lines, (Lines{"view.KeyDelay 30"}));
  EXPECT_TRUE(g.IsKeyHeld());
  // Repeats that come in meanwhile merge into one and start no second wait.
  g.CellAreaKeyDown(WXK_DOWN, 0);
  g.CellAreaKeyDown(WXK_DOWN, 0);
  EXPECT_EQ(g.Sheet().currentRow, 1);
  EXPECT_EQ(g.t.lines.size(), 1u);
  // When the wait is over the held key moves (the host hears of it only now), and the
  // merged repeat is next: still slow, so it waits again.
  g.t.lines.clear();
  g.KeyDelayElapsed();
  EXPECT_EQ(g.Sheet().currentRow, 2);
  EXPECT_EQ(g.t.lines.front(), "KeyDown p0");
  EXPECT_EQ(g.t.lines.back(), "view.KeyDelay 30");
  g.KeyDelayElapsed();
  EXPECT_EQ(g.Sheet().currentRow, 3);
  EXPECT_FALSE(g.IsKeyHeld());
  // From the divisor's count on the moves are fast and do not wait.
  g.t.lines.clear();
  g.CellAreaKeyDown(WXK_DOWN, 0);
  EXPECT_EQ(g.Sheet().currentRow, 5);
  EXPECT_EQ(std::count(g.t.lines.begin(), g.t.lines.end(), "view.KeyDelay 30"), 0);
}

TEST(GridKeyAcceleration, AHeldMoveHappensBeforeTheNextInput) {
  RecordingGrid g(5, 200);
  g.Sheet().keyAccelDivisor = 4;
  g.Sheet().keyAccelDelay = 500;
  g.CellAreaKeyDown(WXK_DOWN, 0);
  g.CellAreaKeyDown(WXK_DOWN, 0);
  g.CellAreaKeyDown(WXK_DOWN, 0);
  EXPECT_EQ(g.Sheet().currentRow, 1);
  // Releasing the key: the held move and the merged repeat, then the release.
  g.t.lines.clear();
  g.CellAreaKeyUp(WXK_DOWN, 0);
  EXPECT_EQ(g.Sheet().currentRow, 3);
  EXPECT_EQ(g.t.lines.front(), "view.StopKeyDelay");
  EXPECT_FALSE(g.IsKeyHeld());
  // Another key lets a held move go first (and is itself a slow repeat that waits); a
  // click lets the held key move before the click is handled.
  g.CellAreaKeyDown(WXK_DOWN, 0);
  g.CellAreaKeyDown(WXK_DOWN, 0);
  g.CellAreaKeyDown(WXK_RIGHT, 0);
  EXPECT_EQ(g.Sheet().currentRow, 5);
  EXPECT_EQ(g.Sheet().currentColumn, 0);
  EXPECT_TRUE(g.IsKeyHeld());
  g.t.lines.clear();
  g.CellAreaLeftDown(GridPoint{1, 1}, kMkLeftButton);
  EXPECT_FALSE(g.IsKeyHeld());
  const auto key = std::find(g.t.lines.begin(), g.t.lines.end(), "KeyDown p0");
  const auto click = std::find(g.t.lines.begin(), g.t.lines.end(), "CellLeftClick down p0");
  EXPECT_TRUE(key < click && click != g.t.lines.end());
  g.CellAreaLeftUp(GridPoint{1, 1}, 0);
  // A view that cannot wait moves at once.
  g.CellAreaKeyUp(WXK_RIGHT, 0);
  g.view.canWait = false;
  g.MoveToCell(0, 10);
  g.CellAreaKeyDown(WXK_DOWN, 0);
  g.CellAreaKeyDown(WXK_DOWN, 0);
  EXPECT_EQ(g.Sheet().currentRow, 12);
  EXPECT_FALSE(g.IsKeyHeld());
}
