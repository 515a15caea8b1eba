#pragma once
// A bound on the time a wait takes by the clock (a time-out, a cancel, an escape), which
// processor time cannot measure.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

namespace hvtest {

// `measure` does the work anew each time and returns how long the part under the bound
// took. The bound holds when a measurement is within `limit`; one above it is measured
// again, up to twice more, so that a stall of a busy machine does not fail it while a
// fault, slow each time, does.
inline ::testing::AssertionResult WaitEndsWithin(std::chrono::milliseconds limit,
                                                 const std::function<std::chrono::steady_clock::duration()>& measure) {
  std::string taken;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(measure()).count();
    if (ms <= limit.count()) return ::testing::AssertionSuccess();
    taken += (taken.empty() ? "" : ", ") + std::to_string(ms) + " ms";
  }
  return ::testing::AssertionFailure() << "took " << taken << ", each above " << limit.count() << " ms";
}

// How long `fn` takes by the clock.
template <class F>
std::chrono::steady_clock::duration Timed(F&& fn) {
  const auto start = std::chrono::steady_clock::now();
  fn();
  return std::chrono::steady_clock::now() - start;
}

}  // namespace hvtest
