// Table engine on DATPKT files of 50,000 and 500 records. Prints each bound with PASS
// or FAIL and PASS or FAIL for all of them; both compare the engine with itself, in
// processor time of the bench's thread:
//   look-up by name tag                 O(log n): 50,000 vs 500 records, <= 25x (log n
//                                       gives 1.7, the caches up to 4 more: 2.2 to 4.6;
//                                       a linear search 96 to 100)
//   4,000 inserts, each opened alone    <= 3 x the same inserts on one open table (1.2 to
//                                       1.3; a table read again at each open gives 9)
// With --peers (bench/run_bounds.sh) also against shapelib on the same 50,000 records:
//   open and index 50,000 records      <= 0.8 x a full shapelib scan
//   full scan in tag order              <= 1.2 x a full shapelib scan
//
// A failed insert, open or look-up, or a ratio without both timings, is a FAIL and
// makes the exit status non-zero. A bound that fails is measured again (bench/Bounds.h).
//
// Run: cmake --build out --target dbase_bench && out/bench/dbase_bench
// Google Benchmark repeats each case and reports the mean; on a busy machine add
// --benchmark_repetitions=5 --benchmark_report_aggregates_only=true to compare the
// fastest repetitions (the ratios then use the minimum). --quick (CI) runs each case
// briefly, five times, the cases interleaved, and compares the fastest runs.
#include <benchmark/benchmark.h>
#include <shapefil.h>
#include <stdlib.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Bounds.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"

using namespace hv::db;

namespace {

struct Data {
  wxString root;
  wxString big;     // 50,000 records
  wxString small;   // 500 records
  std::vector<wxString> bigNames, smallNames;
} g;

wxString NewFolder(const char* name) {
  const wxString f = hv::JoinPath(g.root, name);
  hv::MakeFolders(f);
  return f;
}

DatpktRow Row(int i, const wxString& name) {
  DatpktRow d;
  d.name = name;
  d.description = wxString::Format("Beschreibung %d", i);
  d.address = wxString::Format("4|%d|R4", 40001 + i);
  d.type = 0x80;
  d.device = static_cast<std::uint16_t>(1 + i % 100);
  d.start = "0";
  d.sigMax = "65535";
  d.measMax = "100";
  d.unit = "bar";
  d.access = 3;
  d.free[0] = "Feld";
  d.logId = static_cast<std::uint16_t>(i % 7 == 0 ? 1 + i % 60000 : 0);
  return d;
}

std::vector<wxString> ShuffledNames(int n, unsigned seed) {
  std::vector<wxString> names;
  for (int i = 0; i < n; ++i) names.push_back(wxString::Format("DP_%05d_Temp", i));
  std::shuffle(names.begin(), names.end(), std::mt19937(seed));
  return names;
}

// Any failure here would time something else than the engine's work: the run stops.
void Fill(const wxString& folder, const std::vector<wxString>& names) {
  Table t;
  if (!CreateTable(hv::JoinPath(folder, "DATPKT.DBF"), DatpktSchema()) || !t.open(folder, DatpktSchema())) {
    std::printf("FAIL: cannot make the table in %s\n", folder.utf8_str().data());
    std::exit(1);
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    DatpktRow d = Row(static_cast<int>(i), names[i]);
    if (!t.insert(d)) {
      std::printf("FAIL: insert failed: %s\n", t.error().utf8_str().data());
      std::exit(1);
    }
  }
}

void BM_Insert50k(benchmark::State& state) {
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const wxString f = NewFolder(wxString::Format("insert%d", round++).utf8_str());
    state.ResumeTiming();
    Fill(f, g.bigNames);
  }
}

void BM_OpenAndIndex50k(benchmark::State& state) {
  for (auto _ : state) {
    DropCachedTables();
    Table t;
    if (!t.open(g.big, DatpktSchema())) state.SkipWithError("open failed");
    benchmark::DoNotOptimize(t.size());
  }
}

void BM_ShapelibScan50k(benchmark::State& state) {
  const std::string file = hv::ToFs(hv::JoinPath(g.big, "DATPKT.DBF"));
  for (auto _ : state) {
    DBFHandle h = DBFOpen(file.c_str(), "rb");
    if (!h) {
      state.SkipWithError("shapelib cannot open the table");
      break;
    }
    const int fields = DBFGetFieldCount(h);
    std::size_t sum = 0;
    for (int r = 0; r < DBFGetRecordCount(h); ++r)
      for (int f = 0; f < fields; ++f) sum += std::string(DBFReadStringAttribute(h, r, f)).size();
    DBFClose(h);
    benchmark::DoNotOptimize(sum);
  }
}

void BM_FullScan50k(benchmark::State& state) {
  Table t;
  if (!t.open(g.big, DatpktSchema())) state.SkipWithError("open failed");
  for (auto _ : state) {
    DatpktRow d;
    std::size_t n = 0;
    for (bool ok = datpkt_select(t, d, kFirst, "-DATPKT"); ok; ok = datpkt_select(t, d, kNext, "-DATPKT")) ++n;
    if (n != g.bigNames.size()) state.SkipWithError("scan missed records");
  }
}

void BM_Lookups10k(benchmark::State& state) {
  const bool big = state.range(0) == 50000;
  const std::vector<wxString>& names = big ? g.bigNames : g.smallNames;
  Table t;
  if (!t.open(big ? g.big : g.small, DatpktSchema())) state.SkipWithError("open failed");
  std::mt19937 rng(7);
  std::vector<wxString> wanted;
  for (int i = 0; i < 10000; ++i) wanted.push_back(names[rng() % names.size()]);
  for (auto _ : state) {
    DatpktRow d;
    std::size_t found = 0;
    for (const wxString& w : wanted) found += datpkt_select(t, d, kSeek, "-DATPKT", {w});
    if (found != wanted.size()) state.SkipWithError("look-up failed");
  }
}

void InsertFourThousand(benchmark::State& state, bool eachOwnOpen) {
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const wxString f = NewFolder(wxString::Format("%s%d", eachOwnOpen ? "own" : "one", round++).utf8_str());
    if (!CreateTable(hv::JoinPath(f, "DATPKT.DBF"), DatpktSchema())) state.SkipWithError("create failed");
    DropCachedTables();
    state.ResumeTiming();
    Table t;
    if (!eachOwnOpen && !t.open(f, DatpktSchema())) state.SkipWithError("open failed");
    for (int i = 0; i < 4000; ++i) {
      if (eachOwnOpen && !t.open(f, DatpktSchema())) state.SkipWithError("open failed");
      DatpktRow d = Row(i, wxString::Format("N%05d", i));
      if (!t.insert(d)) state.SkipWithError("insert failed");
      if (eachOwnOpen) t.close();
    }
  }
}

void BM_Inserts4kOneOpen(benchmark::State& state) { InsertFourThousand(state, false); }
void BM_Inserts4kOwnOpen(benchmark::State& state) { InsertFourThousand(state, true); }

// Quick (CI): each case briefly, its runs interleaved with the others'. The engine's
// scans alone are only timed against shapelib's (peers).
void Register(bool quick, bool peers) {
  const double minTime = quick ? 0.05 : 1.0;
  if (!quick) benchmark::RegisterBenchmark("BM_Insert50k", BM_Insert50k)->Unit(benchmark::kMillisecond)->Iterations(1);
  if (peers) {
    benchmark::RegisterBenchmark("BM_OpenAndIndex50k", BM_OpenAndIndex50k)->Unit(benchmark::kMillisecond)->MinTime(minTime);
    benchmark::RegisterBenchmark("BM_ShapelibScan50k", BM_ShapelibScan50k)->Unit(benchmark::kMillisecond)->MinTime(minTime);
    auto* scan = benchmark::RegisterBenchmark("BM_FullScan50k", BM_FullScan50k)->Unit(benchmark::kMillisecond);
    if (quick) scan->MinTime(minTime);
  }
  auto* lookups = benchmark::RegisterBenchmark("BM_Lookups10k", BM_Lookups10k)->Unit(benchmark::kMillisecond)->Arg(500)->Arg(50000);
  benchmark::RegisterBenchmark("BM_Inserts4kOneOpen", BM_Inserts4kOneOpen)->Unit(benchmark::kMillisecond)->MinTime(minTime);
  benchmark::RegisterBenchmark("BM_Inserts4kOwnOpen", BM_Inserts4kOwnOpen)->Unit(benchmark::kMillisecond)->MinTime(minTime);
  if (quick) lookups->MinTime(minTime);
}

// Time of a benchmark by name; run options such as "/min_time:1.000" are appended.
double Find(const FastestReporter& rep, const std::string& name) {
  for (const auto& [key, ms] : rep.ms)
    if (key == name || (key.rfind(name + "/", 0) == 0 && key.find(':', name.size()) != std::string::npos))
      return ms;
  return -1;
}

bool allOk = true;

// The ratio of two benchmarks' fastest runs: from the first run of all of them, and
// when measured again from a new run of these two alone (the cases interleaved).
void Ratio(const FastestReporter& first, const char* what, const char* a, const char* b, double limit) {
  bool fresh = false;
  allOk = HoldsBound(what, limit, [&] {
    FastestReporter again;
    const FastestReporter* rep = &first;
    if (std::exchange(fresh, true)) {
      benchmark::RunSpecifiedBenchmarks(&again, "^(" + std::string(a) + "|" + std::string(b) + ")(/|$)");
      std::printf("\n");   // the report may end in a colour's reset: the bound's line starts anew
      rep = &again;
    }
    for (const std::string& f : again.failed) std::printf("FAIL: %s\n", f.c_str());
    const double ta = Find(*rep, a), tb = Find(*rep, b);
    if (ta <= 0 || tb <= 0 || !again.failed.empty()) {
      std::printf("%s: no timing of %s\n", what, ta <= 0 ? a : b);
      return -1.0;
    }
    return ta / tb;
  }) && allOk;
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_CTYPE, "C.UTF-8");
  bool quick = false, peers = false;
  // Our own flags go before Google Benchmark sees the arguments.
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--quick") quick = true;
    else if (arg == "--peers") peers = true;
    else argv[kept++] = argv[i];
  }
  argc = kept;
  // The quick runs compare the fastest of five runs of each case, interleaved.
  std::vector<char*> args(argv, argv + argc);
  std::string repetitions = "--benchmark_repetitions=5", interleave = "--benchmark_enable_random_interleaving=true";
  if (quick) {
    args.push_back(repetitions.data());
    args.push_back(interleave.data());
  }
  argc = static_cast<int>(args.size());
  argv = args.data();
  benchmark::Initialize(&argc, argv);
  Register(quick, peers);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::string tmpl = (std::filesystem::temp_directory_path() / "hvbench-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) return 1;
  g.root = hv::FromFs(tmpl);
  g.bigNames = ShuffledNames(50000, 1);
  g.smallNames = ShuffledNames(500, 2);
  g.big = NewFolder("big");
  g.small = NewFolder("small");
  Fill(g.big, g.bigNames);
  Fill(g.small, g.smallNames);

  FastestReporter rep;
  benchmark::RunSpecifiedBenchmarks(&rep);
  // A case that failed timed something else than the engine's work.
  for (const std::string& f : rep.failed) std::printf("FAIL: %s\n", f.c_str());
  allOk = rep.failed.empty();
  std::printf("\nRatios\n");
  // A hundred times the records: log n gives 1.7 and a linear search 100. The small
  // table's index stays in the nearest caches and the large one's not, which other
  // work on the machine makes cost up to 4 times more again.
  Ratio(rep, "10k look-ups at 50k / at 500 records", "BM_Lookups10k/50000", "BM_Lookups10k/500", 25.0);
  Ratio(rep, "4k inserts own open / one open", "BM_Inserts4kOwnOpen", "BM_Inserts4kOneOpen", 3.0);
  std::printf("(a linear look-up would give %.0f for the look-up ratio; log n gives %.2f)\n", 100.0,
              std::log2(50000.0) / std::log2(500.0));
  if (peers) {
    Ratio(rep, "open + index 50k / shapelib scan 50k", "BM_OpenAndIndex50k", "BM_ShapelibScan50k", 0.8);
    Ratio(rep, "full scan 50k (tag order) / shapelib scan", "BM_FullScan50k", "BM_ShapelibScan50k", 1.2);
  }
  std::printf("%s\n", allOk ? "PASS" : "FAIL");
  std::filesystem::remove_all(tmpl);
  benchmark::Shutdown();
  return allOk ? 0 : 1;
}
