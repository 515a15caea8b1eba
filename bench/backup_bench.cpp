// Project backup and restore of a generated project (200 MB in 5,000 files by default)
// beside "zip -r -6 -q" and "unzip -q" of the same folder, in the same run; prints the
// time and size ratios against the targets, whether "unzip -t" accepts our archive and
// whether the restored project equals the original byte for byte. A second project of
// many small files (HV_BENCH_SMALL files of 1-4 KB, 24,000 by default) is restored beside
// "unzip -q" as well, the two taking turns. Each benchmark is repeated and its fastest run
// counts, since the machine may be shared. HV_BENCH_MB and HV_BENCH_FILES change the first project's size.
//
// Run: cmake --build out --target backup_bench && out/bench/backup_bench
// (and "taskset -c 0,1 out/bench/backup_bench" for two cores).
// Restore <= 0.35x unzip. Backup, by the threads the program uses on the cores it may run
// on: <= 0.25x zip with 8, 0.5x with 4 to 7, never slower than zip below.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <thread>

#include "archive/ZipDeflater.h"
#include "model/BackupController.h"
#include "model/RestoreController.h"
#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

namespace fs = std::filesystem;

namespace {

struct Setup {
  fs::path root;      // holds home/, src/P, out/
  fs::path project;
  int files = 0;
  long long bytes = 0;
};

Setup& Bench() {
  static Setup s;
  return s;
}

// The project of many small files, and its two archives.
Setup& Small() {
  static Setup s;
  return s;
}

int EnvInt(const char* name, int fallback) {
  const char* v = std::getenv(name);
  return v && std::atoi(v) > 0 ? std::atoi(v) : fallback;
}

// Half the files text-like (compress well), half random (do not); ten devices with
// folders of 100 files each.
void Generate() {
  Setup& s = Bench();
  std::string tmpl = (fs::temp_directory_path() / "hvbench-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) std::abort();
  s.root = tmpl;
  s.project = s.root / "src" / "P";
  s.files = EnvInt("HV_BENCH_FILES", 5000);
  const long long total = static_cast<long long>(EnvInt("HV_BENCH_MB", 200)) << 20;
  const size_t size = static_cast<size_t>(total / s.files);
  std::mt19937 rng(42);
  std::string text;
  while (text.size() < size) text += "Datenpunkt " + std::to_string(text.size()) + " = 0x1F; Wert 12.5 Grad\r\n";
  text.resize(size);
  std::string random(size, '\0');
  fs::create_directories(s.project);
  std::ofstream(s.project / "PROJECT.SET") << "[Config]\r\nName=P\r\n";
  for (int i = 0; i < s.files; ++i) {
    const fs::path folder = s.project / ("Geraet" + std::to_string(i % 10)) / ("Ordner" + std::to_string(i / 100));
    fs::create_directories(folder);
    const bool noisy = i % 2 == 1;
    if (noisy)
      for (char& c : random) c = static_cast<char>(rng());
    std::ofstream out(folder / ("datei" + std::to_string(i) + (noisy ? ".bin" : ".txt")), std::ios::binary);
    const std::string& data = noisy ? random : text;
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    s.bytes += static_cast<long long>(data.size());
  }
  fs::create_directories(s.root / "home");
  setenv("HALVORA_HOME", (s.root / "home").c_str(), 1);
  hv::InitRegistryStore();
}

template <class Controller>
bool RunToEnd(Controller& c) {
  while (!c.Poll()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  return true;
}

int Shell(const std::string& command) { return std::system(command.c_str()); }

std::string Q(const fs::path& p) {
  std::string quoted = "'";
  quoted += p.string();
  return quoted += "'";
}

bool Backup(const fs::path& project, const fs::path& archive) {
  BackupRequest request;
  request.sourceFolder = hv::FromFs(project.string());
  request.projectName = hv::FromFs(project.filename().string());
  BackupController backup(request);
  backup.SetArchiveCoDeSys(false);
  backup.SetTarget(hv::FromFs(archive.string()));
  return backup.Start() && RunToEnd(backup) && request.succeeded;
}

// Folders of 200 files, text of 1-4 KB each; archived by the program and by zip.
void GenerateSmall() {
  Setup& s = Small();
  s.root = Bench().root / "small";
  s.project = s.root / "src" / "S";
  s.files = EnvInt("HV_BENCH_SMALL", 24000);
  fs::create_directories(s.project);
  std::ofstream(s.project / "PROJECT.SET") << "[Config]\r\nName=S\r\n";
  std::string text;
  while (text.size() < 4096) text += "Maske " + std::to_string(text.size()) + "; Feld 3 = DP_17\r\n";
  for (int i = 0; i < s.files; ++i) {
    const fs::path folder = s.project / ("Geraet" + std::to_string(i % 12)) / ("Ordner" + std::to_string(i / 200));
    if (i % 200 < 12) fs::create_directories(folder);
    const std::size_t size = 1024 + static_cast<std::size_t>(i * 37 % 3072);
    std::ofstream(folder / ("m" + std::to_string(i) + ".txt"), std::ios::binary).write(text.data(), static_cast<std::streamsize>(size));
    s.bytes += static_cast<long long>(size);
  }
  fs::create_directories(s.root / "out");
  const auto t0 = std::chrono::steady_clock::now();
  const bool ours = Backup(s.project, s.root / "out" / "S_backup.zip");
  const auto t1 = std::chrono::steady_clock::now();
  const bool theirs = Shell("cd " + Q(s.project.parent_path()) + " && zip -r -6 -q " + Q(s.root / "out" / "iz.zip") + " S") == 0;
  const auto t2 = std::chrono::steady_clock::now();
  if (!ours || !theirs) std::fprintf(stderr, "small project: archives not made\n");
  else std::printf("small files: backup %.3f s, zip -r -6 -q %.3f s (one run each, no bound)\n",
                   std::chrono::duration<double>(t1 - t0).count(), std::chrono::duration<double>(t2 - t1).count());
}

const fs::path& OurArchive() {
  static const fs::path p = Bench().root / "out" / "P_backup.zip";
  return p;
}
const fs::path& InfoZipArchive() {
  static const fs::path p = Bench().root / "out" / "iz.zip";
  return p;
}

void BM_Backup(benchmark::State& state) {
  Setup& s = Bench();
  fs::create_directories(s.root / "out");
  for (auto _ : state) {
    fs::remove(OurArchive());
    BackupRequest request;
    request.sourceFolder = hv::FromFs(s.project.string());
    request.projectName = "P";
    BackupController backup(request);
    backup.SetArchiveCoDeSys(false);
    backup.SetTarget(hv::FromFs(OurArchive().string()));
    if (!backup.Start() || !RunToEnd(backup) || !request.succeeded) state.SkipWithError("backup failed");
  }
  state.SetBytesProcessed(state.iterations() * Bench().bytes);
}

void BM_ZipR(benchmark::State& state) {
  Setup& s = Bench();
  fs::create_directories(s.root / "out");
  for (auto _ : state) {
    fs::remove(InfoZipArchive());
    if (Shell("cd " + Q(s.project.parent_path()) + " && zip -r -6 -q " + Q(InfoZipArchive()) + " P") != 0)
      state.SkipWithError("zip failed");
  }
  state.SetBytesProcessed(state.iterations() * Bench().bytes);
}

// Each run extracts into a folder of its own, all removed at the end: deleting thousands
// of files just before creating thousands makes ext4 skip the freshly freed inodes one by
// one, which would charge whichever tool runs next.
fs::path FreshFolder(const char* stem) {
  static int counter = 0;
  return Bench().root / (stem + std::to_string(++counter));
}

fs::path& LastRestored() {
  static fs::path p;
  return p;
}

void BM_Restore(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path target = FreshFolder("restored");
    LastRestored() = target / "P";
    fs::create_directories(target);
    state.ResumeTiming();
    RestoreRequest request;
    RestoreController restore(request);
    if (!restore.ChooseArchive(hv::FromFs(OurArchive().string())) || !restore.Start(hv::FromFs(target.string())) ||
        !RunToEnd(restore) || !restore.Succeeded())
      state.SkipWithError("restore failed");
  }
  state.SetBytesProcessed(state.iterations() * Bench().bytes);
}

bool RestoreSmall(const fs::path& target) {
  RestoreRequest request;
  RestoreController restore(request);
  return restore.ChooseArchive(hv::FromFs((Small().root / "out" / "S_backup.zip").string())) &&
         restore.Start(hv::FromFs(target.string())) && RunToEnd(restore) && restore.Succeeded();
}

// Creating thousands of files costs what the file system's state makes it: on ext4
// without a journal, inodes freed in the last minute are skipped one by one, by whichever
// tool runs then. The two tools take turns, so that both meet the same states, and each
// one's fastest round counts.
bool SmallRounds(double& ours, double& theirs, fs::path& restored) {
  const int rounds = EnvInt("HV_BENCH_SMALL_ROUNDS", 4);
  ours = theirs = 1e9;
  for (int i = 0; i < rounds; ++i) {
    const fs::path a = FreshFolder("restoredSmall"), b = FreshFolder("unzippedSmall");
    fs::create_directories(a);
    auto t0 = std::chrono::steady_clock::now();
    if (!RestoreSmall(a)) return false;
    auto t1 = std::chrono::steady_clock::now();
    if (Shell("unzip -q " + Q(Small().root / "out" / "iz.zip") + " -d " + Q(b)) != 0) return false;
    auto t2 = std::chrono::steady_clock::now();
    const double x = std::chrono::duration<double>(t1 - t0).count(), y = std::chrono::duration<double>(t2 - t1).count();
    std::printf("small files, round %d: restore %.3f s, unzip -q %.3f s\n", i + 1, x, y);
    ours = std::min(ours, x);
    theirs = std::min(theirs, y);
    restored = a / "S";
  }
  return rounds > 0;
}

void BM_Unzip(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path target = FreshFolder("unzipped");
    state.ResumeTiming();
    if (Shell("unzip -q " + Q(InfoZipArchive()) + " -d " + Q(target)) != 0) state.SkipWithError("unzip failed");
  }
  state.SetBytesProcessed(state.iterations() * Bench().bytes);
}

// Keeps the fastest repetition's real time per iteration of each benchmark for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.iterations <= 0 || r.error_occurred || r.run_type != Run::RT_Iteration) continue;
      const double t = r.real_accumulated_time / static_cast<double>(r.iterations);
      auto [it, added] = seconds.emplace(r.run_name.function_name, t);
      if (!added && t < it->second) it->second = t;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> seconds;
};

// Same relative paths, and the same bytes in every file.
bool SameTree(const fs::path& a, const fs::path& b) {
  std::map<std::string, std::string> left, right;
  for (auto* side : {&left, &right}) {
    const fs::path& root = side == &left ? a : b;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
      std::string content = "<dir>";
      if (it->is_regular_file()) {
        std::ifstream in(it->path(), std::ios::binary);
        content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      }
      (*side)[fs::relative(it->path(), root).string()] = std::move(content);
    }
    if (ec) return false;
  }
  return !left.empty() && left == right;
}

bool Check(const char* label, double ratio, double limit) {
  const bool pass = ratio <= limit;
  std::printf("%-30s %.3f (target <= %.2f) %s\n", label, ratio, limit, pass ? "PASS" : "FAIL");
  return pass;
}

}  // namespace

BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();
BENCHMARK(BM_ZipR)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();
BENCHMARK(BM_Restore)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();
BENCHMARK(BM_Unzip)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  // Messages of a failed run go to standard error instead of a dialog.
  hv::Ui().SetMessageHandler([](UINT, const wxString& text, UINT) {
    std::fprintf(stderr, "%s\n", hv::ToUtf8(text).c_str());
    return static_cast<int>(IDOK);
  });
  Generate();
  GenerateSmall();
  std::printf("Project: %d files, %lld MB; small-file project: %d files, %lld MB\n", Bench().files,
              Bench().bytes >> 20, Small().files, Small().bytes >> 20);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto& t = reporter.seconds;
  int failed = 0, missing = 0;
  auto time = [&](const char* label, const char* ours, const char* theirs, double limit) {
    const auto a = t.find(ours), b = t.find(theirs);
    if (a == t.end() || b == t.end() || b->second <= 0) {
      std::printf("%-30s not measured\n", label);
      ++missing;
      return;
    }
    if (!Check(label, a->second / b->second, limit)) ++failed;
  };
  const unsigned threads = ZipDeflater::DefaultThreads();
  std::printf("Cores: %u, threads used: %u (the machine may be shared with other work)\n",
              std::thread::hardware_concurrency(), threads);
  time("backup time / zip -r -6 -q", "BM_Backup", "BM_ZipR", threads >= 8 ? 0.25 : threads >= 4 ? 0.5 : 1.0);
  time("restore time / unzip -q", "BM_Restore", "BM_Unzip", 0.35);
  double restoreTime = 0, unzipTime = 0;
  fs::path smallRestored;
  if (!SmallRounds(restoreTime, unzipTime, smallRestored) || unzipTime <= 0) {
    std::printf("%-30s not measured\n", "small files: restore / unzip");
    ++missing;
  } else {
    if (!Check("small files: restore / unzip", restoreTime / unzipTime, 0.35)) ++failed;
    const bool same = SameTree(Small().project, smallRestored);
    std::printf("%-30s %s\n", "small files byte-identical", same ? "PASS" : "FAIL");
    if (!same) ++failed;
  }
  std::error_code se, ze;
  const auto ours = fs::file_size(OurArchive(), se), theirs = fs::file_size(InfoZipArchive(), ze);
  if (se || ze || theirs == 0) {
    std::printf("%-30s not measured\n", "archive size / zip");
    ++missing;
  } else {
    std::printf("archive sizes: ours %ju bytes, zip %ju bytes\n", static_cast<std::uintmax_t>(ours),
                static_cast<std::uintmax_t>(theirs));
    if (!Check("archive size / zip", static_cast<double>(ours) / static_cast<double>(theirs), 1.01)) ++failed;
  }
  const bool tested = Shell("unzip -tqq " + Q(OurArchive())) == 0;
  std::printf("%-30s %s\n", "unzip -t of our archive", tested ? "PASS" : "FAIL");
  const bool same = !LastRestored().empty() && SameTree(Bench().project, LastRestored());
  std::printf("%-30s %s\n", "round trip byte-identical", same ? "PASS" : "FAIL");
  failed += (tested ? 0 : 1) + (same ? 0 : 1);
  std::error_code ec;
  fs::remove_all(Bench().root, ec);
  benchmark::Shutdown();
  return failed + missing > 0 ? 1 : 0;
}
