// The pattern matcher on a catastrophic pattern: a search that runs into the default
// step budget, against an ordinary search of the same text in the same run. The budget
// is meant to end such a search within a few seconds on any machine: the search must
// report that it hit the budget, and its fastest run must end within one second (about
// fifty times what a current desktop takes); else FAIL and a non-zero exit.
//
// Run: cmake --build out --target regexp_bench && out/bench/regexp_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <wx/string.h>

#include "bench/BenchSupport.h"
#include "framework/RegExp.h"

namespace {

const wxString kText(wxString('a', 60));

void CatastrophicSearchHitsTheBudget(benchmark::State& state) {
  CPatternMatcher m;
  m.Compile("(a|aa)*[c]");
  m.SetStepLimit(CPatternMatcher::kDefaultStepLimit);
  for (auto _ : state) {
    if (m.Find(kText) != -1 || !m.StepLimitHit()) state.SkipWithError("the search did not end at the step budget");
  }
}
BENCHMARK(CatastrophicSearchHitsTheBudget)->Unit(benchmark::kMillisecond);

void OrdinarySearch(benchmark::State& state) {
  CPatternMatcher m;
  m.Compile("a+$");
  for (auto _ : state) benchmark::DoNotOptimize(m.Find(kText));
}
BENCHMARK(OrdinarySearch)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  FastestReporter rep;
  benchmark::RunSpecifiedBenchmarks(&rep);
  benchmark::Shutdown();
  bool pass = rep.failed.empty();
  for (const std::string& f : rep.failed) std::printf("FAIL: %s\n", f.c_str());
  const auto budget = rep.ms.find("CatastrophicSearchHitsTheBudget");
  if (budget == rep.ms.end()) {
    std::printf("search at the step budget: no timing FAIL\n");
    pass = false;
  } else {
    const bool ok = budget->second <= 1000.0;
    std::printf("search at the step budget: %.1f ms (limit 1000 ms) %s\n", budget->second, ok ? "PASS" : "FAIL");
    pass = pass && ok;
  }
  std::puts(pass ? "PASS" : "FAIL");
  return pass ? 0 : 1;
}
