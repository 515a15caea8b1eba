#pragma once
// Timing of the benchmarks: the best of five runs, the least disturbed one.
#include <algorithm>
#include <chrono>
#include <functional>

inline double BestOfFive(const std::function<void()>& fn) {
  double best = 1e30;
  for (int run = 0; run < 5; ++run) {
    const auto t0 = std::chrono::steady_clock::now();
    fn();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  return best;
}
