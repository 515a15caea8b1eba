// The pattern matcher on a catastrophic pattern: a search that runs into the default
// step budget, against an ordinary search of the same text in the same run. The ratio
// of the two is the budget's cost; it is meant to end such a search within a few
// seconds on any machine.
#include <benchmark/benchmark.h>

#include <wx/string.h>

#include "framework/RegExp.h"

namespace {

const wxString kText(wxString('a', 60));

void CatastrophicSearchHitsTheBudget(benchmark::State& state) {
  CPatternMatcher m;
  m.Compile("(a|aa)*[c]");
  m.SetStepLimit(CPatternMatcher::kDefaultStepLimit);
  for (auto _ : state) benchmark::DoNotOptimize(m.Find(kText));
  state.counters["limit_hit"] = m.StepLimitHit() ? 1 : 0;
}
BENCHMARK(CatastrophicSearchHitsTheBudget)->Unit(benchmark::kMillisecond);

void OrdinarySearch(benchmark::State& state) {
  CPatternMatcher m;
  m.Compile("a+$");
  for (auto _ : state) benchmark::DoNotOptimize(m.Find(kText));
}
BENCHMARK(OrdinarySearch)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
