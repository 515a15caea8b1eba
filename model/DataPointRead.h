#pragma once
// Reading a data point's value once from the running device. The polling runs on a
// worker thread while the window waits through the UI facade, so it never freezes.
#include <atomic>

// The wait while a value is read: the window shows the busy state and may cancel;
// the runner returns once `done` is set.
struct DataPointReadWait {
  const std::atomic<bool>* done = nullptr;
  std::atomic<bool>* cancel = nullptr;
};

// Read buffers: a field-bus device's data point and a direct one.
constexpr unsigned kBusReadBuffer = 1012;
constexpr unsigned kDirectReadBuffer = 20468;
// How long a read polls for a value.
constexpr int kReadLimitMs = 5000;
