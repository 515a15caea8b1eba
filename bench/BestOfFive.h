#pragma once
// Timing of the benchmarks: processor time of the thread (other work on the machine does
// not stretch it), and the best of five runs, the least disturbed one.
#include <time.h>

#include <algorithm>
#include <functional>

// Processor time of this thread in seconds.
inline double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

inline double BestOfFive(const std::function<void()>& fn) {
  double best = 1e30;
  for (int run = 0; run < 5; ++run) {
    const double t0 = ThreadSeconds();
    fn();
    best = std::min(best, ThreadSeconds() - t0);
  }
  return best;
}
