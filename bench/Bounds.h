#pragma once
// The bounds of the benchmarks. Each compares our work with our own work of the same
// kind, measured in this process in processor time of the thread. A bound that fails is
// measured again, up to twice more, and fails only when every measurement fails: a fault
// fails each time, a moment's noise of the machine does not.
//
// Each bound ends with one line
//   bound: <what> = <figure> (limit <limit>) PASS|FAIL
// which bench/under_load.sh collects over repeated runs.
#include <cstdio>
#include <functional>
#include <string>

// `measure` makes a new measurement and returns the figure; the bound holds when the
// figure is at most `limit`. A measurement that cannot be made returns a negative figure
// and fails at once (nothing to measure again).
inline bool HoldsBound(const std::string& what, double limit, const std::function<double()>& measure,
                       const char* unit = "x") {
  constexpr int kMeasurements = 3;
  double figure = 0;
  for (int attempt = 1; attempt <= kMeasurements; ++attempt) {
    figure = measure();
    if (figure < 0) break;
    if (figure <= limit) {
      std::printf("bound: %s = %.3f%s (limit %.2f%s) PASS%s\n", what.c_str(), figure, unit, limit, unit,
                  attempt > 1 ? " (measured again)" : "");
      std::fflush(stdout);
      return true;
    }
    if (attempt < kMeasurements) {
      std::printf("  %s = %.3f%s above %.2f%s, measuring again\n", what.c_str(), figure, unit, limit, unit);
      std::fflush(stdout);
    }
  }
  std::printf("bound: %s = %.3f%s (limit %.2f%s) FAIL\n", what.c_str(), figure, unit, limit, unit);
  std::fflush(stdout);
  return false;
}
